#include "assets/assets.h"

#include <png.h>

#include <cstring>

namespace vx {

extern const uint8_t kSheetPng[];
extern const size_t kSheetPngSize;
extern const uint8_t kLogoPng[];
extern const size_t kLogoPngSize;

// The sheet's layout, in the order the images are made.
const SheetCell kSheetCells[15] = {
    {&Images::shipimg, "shipimg", 36, 58, 4, 1, 1, true},
    {&Images::beeimg, "beeimg", 61, 43, 3, 1, 62, true},
    {&Images::splatimg, "splatimg", 61, 45, 7, 1, 261, true},
    {&Images::ptsimg, "ptsimg", 35, 10, 8, 1, 309, true},
    {&Images::bonusimg, "bonusimg", 158, 99, 3, 1, 322, true},
    {&Images::shotimg, "shotimg", 7, 26, 1, 151, 1, true},
    {&Images::beeshotimg, "beeshotimg", 10, 10, 1, 177, 1, true},
    {&Images::titleimg, "titleimg", 352, 110, 1, 1, 109, true},
    {&Images::startimg, "startimg", 404, 18, 1, 230, 222, true},
    {&Images::getreadyimg, "getreadyimg", 160, 47, 1, 191, 56, true},
    {&Images::bonusrndimg, "bonusrndimg", 178, 41, 1, 408, 1, true},
    {&Images::wavedoneimg, "wavedoneimg", 213, 52, 1, 408, 45, true},
    {&Images::gameoverimg, "gameoverimg", 164, 47, 1, 399, 100, true},
    {&Images::labelimg, "labelimg", 84, 21, 3, 151, 30, false},
    {&Images::digitimg, "digitimg", 16, 16, 10, 223, 1, false},
};

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

void cutimages(Images& img, const Picture& sheet) {
    for (const SheetCell& c : kSheetCells) {
        Image& slot = img.*(c.slot);
        slot = makeimage(c.width, c.height, c.frames, c.centre);
        for (int i = 0; i < c.frames; ++i) cutframe(slot, i, sheet, c.x + i * (c.width + 1), c.y);
    }
}

const char* imagename(const Images& img, const Image* which) {
    for (const SheetCell& c : kSheetCells)
        if (&(img.*(c.slot)) == which) return c.name;
    return "?";
}

}  // namespace vx
