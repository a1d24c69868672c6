// Screenshots as PNG files for builds without a PNG library (the web): every
// row stored uncompressed in the zlib stream. Any PNG reader takes them.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/draw.h"
#include "shotpng.h"

namespace vx::sim {

namespace {

uint32_t crc32(const uint8_t* p, size_t n, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

void chunk(std::vector<uint8_t>& out, const char* tag, const std::vector<uint8_t>& body) {
    put32(out, static_cast<uint32_t>(body.size()));
    size_t at = out.size();
    out.insert(out.end(), tag, tag + 4);
    out.insert(out.end(), body.begin(), body.end());
    put32(out, crc32(out.data() + at, out.size() - at));
}

}  // namespace

bool writepng(const std::string& path, const std::vector<uint8_t>& rgb, std::string& error) {
    std::vector<uint8_t> ihdr;
    put32(ihdr, kScreenW);
    put32(ihdr, kScreenH);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, not interlaced

    // Each row (filter byte 0, then the pixels) is one stored deflate block.
    const size_t row = static_cast<size_t>(kScreenW) * 3;
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;  // Adler-32 of the raw stream
    for (int y = 0; y < kScreenH; ++y) {
        const uint16_t len = static_cast<uint16_t>(row + 1);
        z.push_back(y == kScreenH - 1 ? 1 : 0);
        z.insert(z.end(), {static_cast<uint8_t>(len), static_cast<uint8_t>(len >> 8),
                           static_cast<uint8_t>(~len), static_cast<uint8_t>(~len >> 8)});
        z.push_back(0);
        const uint8_t* p = &rgb[static_cast<size_t>(y) * row];
        z.insert(z.end(), p, p + row);
        b = (b + a) % 65521;  // the filter byte
        for (size_t i = 0; i < row; ++i) a = (a + p[i]) % 65521, b = (b + a) % 65521;
    }
    put32(z, (b << 16) | a);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    chunk(out, "IHDR", ihdr);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", {});
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(out.data(), 1, out.size(), f) == out.size();
    if (f) ok = std::fclose(f) == 0 && ok;
    if (!ok) error = "cannot write " + path + ": " + std::strerror(errno);
    return ok;
}

}  // namespace vx::sim
