#include "platform/image.h"

#include <algorithm>
#include <cmath>

#include "platform/mathx.h"

namespace vx {

uint64_t nextversion() {
    static uint64_t counter = 0;
    return ++counter;
}

Image makeimage(int width, int height, int frames, bool centre) {
    Image img;
    img.width = width;
    img.height = height;
    img.frames = frames;
    if (centre) {
        img.hx = static_cast<float>(width) * 0.5f;
        img.hy = static_cast<float>(height) * 0.5f;
    }
    img.pixels.assign(static_cast<size_t>(width) * height * frames, 0u);
    img.version = nextversion();
    return img;
}

void cutframe(Image& img, int f, const Picture& pic, int x, int y) {
    uint32_t* out = img.frame(f);
    for (int v = 0; v < img.height; ++v) {
        for (int u = 0; u < img.width; ++u) {
            int px = x + u, py = y + v;
            uint32_t p = 0;
            if (px >= 0 && py >= 0 && px < pic.width && py < pic.height) {
                const uint8_t* s = &pic.rgb[(static_cast<size_t>(py) * pic.width + px) * 3];
                if (s[0] | s[1] | s[2]) p = rgba(s[0], s[1], s[2], 255);
            }
            out[v * img.width + u] = p;
        }
    }
    img.version = nextversion();
}

Placement::Placement(const Image& image, int f, float px, float py, float scalex, float scaley,
                     float rotation)
    : img(&image), frame(f), x(px), y(py), sx(scalex), sy(scaley), rot(rotation) {
    if (sx == 0.0f || sy == 0.0f || image.width <= 0 || image.height <= 0) return;
    double c = cosdeg(rot), s = sindeg(rot);
    // Inverse: screen offset (dx, dy) -> ((u - hx), (v - hy)).
    ia = c / sx;
    ib = s / sx;
    ic = -s / sy;
    id = c / sy;
    double minx = 1e30, miny = 1e30, maxx = -1e30, maxy = -1e30;
    const double us[2] = {0.0 - image.hx, image.width - image.hx};
    const double vs[2] = {0.0 - image.hy, image.height - image.hy};
    for (double u : us) {
        for (double v : vs) {
            double X = x + u * sx * c - v * sy * s;
            double Y = y + u * sx * s + v * sy * c;
            minx = std::min(minx, X);
            maxx = std::max(maxx, X);
            miny = std::min(miny, Y);
            maxy = std::max(maxy, Y);
        }
    }
    // Pixels whose centres may fall inside the frame.
    x0 = static_cast<int>(std::floor(minx - 0.5)) + 1;
    y0 = static_cast<int>(std::floor(miny - 0.5)) + 1;
    x1 = static_cast<int>(std::ceil(maxx - 0.5));
    y1 = static_cast<int>(std::ceil(maxy - 0.5));
    empty = x1 <= x0 || y1 <= y0;
}

int Placement::texelat(int px, int py) const {
    double dx = px + 0.5 - x, dy = py + 0.5 - y;
    double u = img->hx + dx * ia + dy * ib;
    double v = img->hy + dx * ic + dy * id;
    if (u < 0.0 || v < 0.0 || u >= img->width || v >= img->height) return -1;
    // A pixel centre that lands exactly on a texel boundary (a scale of 0.7 does
    // that every few rows) takes the texel after it, whichever way the last bit
    // rounded. The nudge shrinks toward the far edge, so it never leaves the
    // frame; the OpenGL renderer interpolates the same nudge.
    int tu = static_cast<int>(u + kTexelNudge * (1.0 - u / img->width));
    int tv = static_cast<int>(v + kTexelNudge * (1.0 - v / img->height));
    return tv * img->width + tu;
}

bool imagesoverlap(const Placement& a, const Placement& b) {
    if (a.empty || b.empty) return false;
    int x0 = std::max(a.x0, b.x0), x1 = std::min(a.x1, b.x1);
    int y0 = std::max(a.y0, b.y0), y1 = std::min(a.y1, b.y1);
    if (x0 >= x1 || y0 >= y1) return false;
    const uint32_t* fa = a.img->frame(a.frame);
    const uint32_t* fb = b.img->frame(b.frame);
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            int ta = a.texelat(px, py);
            if (ta < 0 || alphaof(fa[ta]) == 0) continue;
            int tb = b.texelat(px, py);
            if (tb >= 0 && alphaof(fb[tb]) != 0) return true;
        }
    }
    return false;
}

}  // namespace vx
