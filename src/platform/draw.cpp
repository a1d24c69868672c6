#include "platform/draw.h"

#include <algorithm>

namespace vx {

namespace {
uint8_t clampbyte(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }
}  // namespace

void DrawLayer::setcolor(int r, int g, int b) {
    st_.r = clampbyte(r);
    st_.g = clampbyte(g);
    st_.b = clampbyte(b);
}

void DrawLayer::setalpha(float a) { st_.alpha = std::clamp(a, 0.0f, 1.0f); }

void DrawLayer::setclscolor(int r, int g, int b) {
    clr_ = clampbyte(r);
    clg_ = clampbyte(g);
    clb_ = clampbyte(b);
}

void DrawLayer::cls() {
    // A clear hides everything before it; drop those operations.
    clearops();
    DrawOp op;
    op.kind = OpKind::cls;
    op.st = st_;
    op.cr = clr_, op.cg = clg_, op.cb = clb_;
    ops_.push_back(op);
}

void DrawLayer::drawimage(const Image& img, float x, float y, int frame) {
    DrawOp op;
    op.kind = OpKind::image;
    op.st = st_;
    op.img = &img;
    op.frame = frame;
    op.x = x, op.y = y;
    ops_.push_back(op);
}

void DrawLayer::plot(int x, int y) {
    DrawOp op;
    op.kind = OpKind::plot;
    op.st = st_;
    op.x = static_cast<float>(x), op.y = static_cast<float>(y);
    op.w = 1, op.h = 1;
    ops_.push_back(op);
}

void DrawLayer::drawrect(float x, float y, float w, float h) {
    DrawOp op;
    op.kind = OpKind::rect;
    op.st = st_;
    op.x = x, op.y = y, op.w = w, op.h = h;
    ops_.push_back(op);
}

void DrawLayer::drawtext(std::string_view text, float x, float y) {
    DrawOp op;
    op.kind = OpKind::text;
    op.st = st_;
    op.x = x, op.y = y;
    op.textpos = static_cast<uint32_t>(textbuf_.size());
    op.textlen = static_cast<uint32_t>(text.size());
    textbuf_.append(text);
    ops_.push_back(op);
}

const Image& fontimage() {
    static const Image font = [] {
        Image img = makeimage(8, 16, 96, false);
        for (int c = 0; c < 96; ++c) {
            uint32_t* f = img.frame(c);
            for (int v = 0; v < 16; ++v)
                for (int u = 0; u < 8; ++u)
                    if (kFont8x16[c][v] & (0x80 >> u)) f[v * 8 + u] = rgba(255, 255, 255, 255);
        }
        img.version = nextversion();
        return img;
    }();
    return font;
}

}  // namespace vx
