#include <algorithm>
#include <cmath>

#include "platform/renderer.h"

namespace vx {

CpuRenderer::CpuRenderer() : pix_(static_cast<size_t>(kScreenW) * kScreenH * 3, 0) {}

namespace {
uint8_t tobyte(float v) { return static_cast<uint8_t>(std::clamp(v, 0.0f, 255.0f) + 0.5f); }
}  // namespace

// One texel onto one pixel, by the blend mode of the drawing state.
void CpuRenderer::put(int x, int y, uint32_t texel, const DrawState& st) {
    if (x < 0 || y < 0 || x >= kScreenW || y >= kScreenH) return;
    float ta = alphaof(texel) / 255.0f;
    float a = ta * st.alpha;
    float r = (texel & 0xff) * (st.r / 255.0f);
    float g = ((texel >> 8) & 0xff) * (st.g / 255.0f);
    float b = ((texel >> 16) & 0xff) * (st.b / 255.0f);
    uint8_t* d = &pix_[(static_cast<size_t>(y) * kScreenW + x) * 3];
    switch (st.blend) {
        case kBlendMask:
            if (a < 0.5f) return;
            d[0] = tobyte(r), d[1] = tobyte(g), d[2] = tobyte(b);
            break;
        case kBlendSolid:
            d[0] = tobyte(r), d[1] = tobyte(g), d[2] = tobyte(b);
            break;
        default:
            if (a <= 0.0f) return;
            d[0] = tobyte(r * a + d[0] * (1.0f - a));
            d[1] = tobyte(g * a + d[1] * (1.0f - a));
            d[2] = tobyte(b * a + d[2] * (1.0f - a));
            break;
    }
}

void CpuRenderer::drawplaced(const Placement& p, const DrawState& st) {
    if (p.empty) return;
    const uint32_t* f = p.img->frame(p.frame);
    int x0 = std::max(p.x0, 0), x1 = std::min(p.x1, kScreenW);
    int y0 = std::max(p.y0, 0), y1 = std::min(p.y1, kScreenH);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            int t = p.texelat(x, y);
            if (t >= 0) put(x, y, f[t], st);
        }
}

void CpuRenderer::render(const DrawLayer& layer) {
    const uint32_t white = rgba(255, 255, 255, 255);
    for (const DrawOp& op : layer.ops()) {
        switch (op.kind) {
            case OpKind::cls:
                for (size_t i = 0; i < pix_.size(); i += 3)
                    pix_[i] = op.cr, pix_[i + 1] = op.cg, pix_[i + 2] = op.cb;
                break;
            case OpKind::image:
                if (op.img && op.frame >= 0 && op.frame < op.img->frames)
                    drawplaced(Placement(*op.img, op.frame, op.x, op.y, op.st.sx, op.st.sy, op.st.rot),
                               op.st);
                break;
            case OpKind::plot:
                put(static_cast<int>(op.x), static_cast<int>(op.y), white, op.st);
                break;
            case OpKind::rect: {
                // A pixel is covered when its centre lies inside the rectangle.
                int x0 = static_cast<int>(std::ceil(op.x - 0.5f));
                int y0 = static_cast<int>(std::ceil(op.y - 0.5f));
                int x1 = static_cast<int>(std::ceil(op.x + op.w - 0.5f));
                int y1 = static_cast<int>(std::ceil(op.y + op.h - 0.5f));
                for (int y = std::max(y0, 0); y < std::min(y1, kScreenH); ++y)
                    for (int x = std::max(x0, 0); x < std::min(x1, kScreenW); ++x) put(x, y, white, op.st);
                break;
            }
            case OpKind::text: {
                // Text is drawn unscaled and unrotated, one 8x16 cell per character.
                const Image& font = fontimage();
                std::string_view s = layer.text(op);
                for (size_t i = 0; i < s.size(); ++i) {
                    int c = static_cast<unsigned char>(s[i]);
                    if (c < 32 || c >= 128) continue;
                    drawplaced(Placement(font, c - 32, op.x + 8.0f * i, op.y, 1.0f, 1.0f, 0.0f), op.st);
                }
                break;
            }
        }
    }
}

}  // namespace vx
