// Images: frames of equal size with a handle, masked (pure black is transparent)
// and sampled nearest-neighbour, plus the placement rule shared by the CPU
// renderer and the pixel-accurate overlap test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vx {

// A decoded 8-bit RGB picture (the sprite sheet, the logo).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3
};

struct Image {
    int width = 0;
    int height = 0;
    int frames = 0;
    float hx = 0.0f;  // handle, in frame pixels from the top-left corner
    float hy = 0.0f;
    // Frames one after another, each width*height RGBA (alpha 0 or 255).
    std::vector<uint32_t> pixels;
    // A number unique to each content the pixels have had, so a renderer knows
    // when to upload them again.
    uint64_t version = 0;

    const uint32_t* frame(int f) const { return pixels.data() + static_cast<size_t>(f) * width * height; }
    uint32_t* frame(int f) { return pixels.data() + static_cast<size_t>(f) * width * height; }
};

// RGBA packing used by images: r in the low byte, alpha in the high byte.
inline uint32_t rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    return r | (g << 8) | (b << 16) | (static_cast<uint32_t>(a) << 24);
}
inline uint8_t alphaof(uint32_t p) { return static_cast<uint8_t>(p >> 24); }

// An empty image of the given size and frame count with the centre handle
// (or top-left when centre is false); all pixels transparent.
Image makeimage(int width, int height, int frames, bool centre);

// A fresh version number for an image whose pixels just changed.
uint64_t nextversion();

// Copies a rectangle of a picture into frame f: exact black becomes transparent,
// every other pixel opaque.
void cutframe(Image& img, int f, const Picture& pic, int x, int y);

// Where a frame lands on the screen: the handle at (x, y), scaled by (sx, sy),
// turned clockwise by rot degrees. Maps screen pixel centres back into the frame.
struct Placement {
    const Image* img = nullptr;
    int frame = 0;
    float x = 0, y = 0, sx = 1, sy = 1, rot = 0;
    // Derived: the inverse mapping and the covered pixel box (inclusive-exclusive).
    double ia = 0, ib = 0, ic = 0, id = 0;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty = true;

    Placement() = default;
    Placement(const Image& image, int f, float px, float py, float scalex, float scaley, float rotation);

    // The frame's texel under the centre of screen pixel (px, py), or -1 when outside.
    int texelat(int px, int py) const;
};

// How far past a sampling point the texel is chosen, so that points a rounding
// error away from a texel boundary pick the same texel in every renderer.
constexpr double kTexelNudge = 1.0 / 64.0;

// True when an opaque pixel of one placed frame covers an opaque pixel of the other.
bool imagesoverlap(const Placement& a, const Placement& b);

}  // namespace vx
