// The 2D drawing layer: a current drawing state and the operations of a frame.
// Operations are recorded in order and handed to a renderer at present time,
// so the OpenGL renderer can batch them and the simulator can trace them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/image.h"

namespace vx {

constexpr int kScreenW = 640;
constexpr int kScreenH = 480;

enum Blend : uint8_t { kBlendMask = 1, kBlendSolid = 2, kBlendAlpha = 3 };

struct DrawState {
    uint8_t r = 255, g = 255, b = 255;
    uint8_t blend = kBlendMask;
    float alpha = 1.0f;
    float sx = 1.0f, sy = 1.0f;
    float rot = 0.0f;
};

enum class OpKind : uint8_t { cls, image, plot, rect, text };

struct DrawOp {
    OpKind kind = OpKind::cls;
    DrawState st;
    const Image* img = nullptr;
    int frame = 0;
    float x = 0, y = 0, w = 0, h = 0;
    uint32_t textpos = 0, textlen = 0;  // into DrawLayer::textbuf
    uint8_t cr = 0, cg = 0, cb = 0;     // clear colour for cls
};

class DrawLayer {
public:
    DrawLayer() {
        ops_.reserve(8192);
        textbuf_.reserve(4096);
    }

    // State
    void setcolor(int r, int g, int b);
    void setalpha(float a);
    void setblend(int mode) { st_.blend = static_cast<uint8_t>(mode); }
    void setscale(float sx, float sy) { st_.sx = sx, st_.sy = sy; }
    void setrotation(float deg) { st_.rot = deg; }
    void setclscolor(int r, int g, int b);
    const DrawState& state() const { return st_; }

    // Operations
    void cls();
    void drawimage(const Image& img, float x, float y, int frame = 0);
    void plot(int x, int y);
    void drawrect(float x, float y, float w, float h);
    void drawtext(std::string_view text, float x, float y);
    static int textwidth(std::string_view text) { return static_cast<int>(text.size()) * 8; }

    // What was drawn since the last present.
    const std::vector<DrawOp>& ops() const { return ops_; }
    std::string_view text(const DrawOp& op) const { return {textbuf_.data() + op.textpos, op.textlen}; }
    void clearops() {
        ops_.clear();
        textbuf_.clear();
    }

private:
    DrawState st_;
    uint8_t clr_ = 0, clg_ = 0, clb_ = 0;
    std::vector<DrawOp> ops_;
    std::string textbuf_;
};

// The built-in 8x16 font for the character codes 32 to 127: one byte a row,
// the leftmost pixel in the high bit.
extern const uint8_t kFont8x16[96][16];
// The font as a 96-frame white image (codes 32 to 127), for renderers.
const Image& fontimage();

}  // namespace vx
