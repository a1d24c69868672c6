// The two embedded pictures, decoded by libpng when the game needs them.
#include <png.h>

#include <cstring>

#include "assets/assets.h"

namespace vx {

extern const uint8_t kSheetPng[];
extern const size_t kSheetPngSize;
extern const uint8_t kLogoPng[];
extern const size_t kLogoPngSize;

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

void readbytes(png_structp png, png_bytep out, png_size_t n) {
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    if (n > r->size - r->pos) png_error(png, "truncated");
    std::memcpy(out, r->data + r->pos, n);
    r->pos += n;
}

}  // namespace

std::optional<Picture> decodepng(const uint8_t* data, size_t size) {
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return std::nullopt;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return std::nullopt;
    png_infop info = png_create_info_struct(png);
    Picture pic;
    std::vector<png_bytep> rows;
    Reader reader{data, size, 0};
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return std::nullopt;
    }
    png_set_read_fn(png, &reader, readbytes);
    // Refuse absurd sizes before allocating anything.
    png_set_user_limits(png, 4096, 4096);
    png_read_info(png, info);
    png_uint_32 w = 0, h = 0;
    int depth = 0, type = 0, interlace = 0;
    png_get_IHDR(png, info, &w, &h, &depth, &type, &interlace, nullptr, nullptr);
    if (depth != 8 || type != PNG_COLOR_TYPE_RGB || interlace != PNG_INTERLACE_NONE) {
        png_destroy_read_struct(&png, &info, nullptr);
        return std::nullopt;
    }
    pic.width = static_cast<int>(w);
    pic.height = static_cast<int>(h);
    pic.rgb.resize(static_cast<size_t>(w) * h * 3);
    rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y) rows[y] = &pic.rgb[static_cast<size_t>(y) * w * 3];
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return pic;
}

Picture sheetpicture() {
    return decodepng(kSheetPng, kSheetPngSize).value_or(Picture{});
}

Picture logopicture() {
    return decodepng(kLogoPng, kLogoPngSize).value_or(Picture{});
}

}  // namespace vx
