// A renderer turns a frame's recorded drawing operations into pixels of the
// 640x480 picture. The back buffer keeps its content between presents, so the
// operations of a present are drawn over what the previous ones left.
#pragma once

#include <vector>

#include "platform/draw.h"

namespace vx {

class Renderer {
public:
    virtual ~Renderer() = default;
    virtual void render(const DrawLayer& layer) = 0;
    // The current picture as 640x480 RGB.
    virtual void readpixels(std::vector<uint8_t>& rgb) = 0;
    // Draw calls issued by the last render.
    virtual int drawcalls() const { return 0; }
};

// Draws the operations in software, with the same pixel placement as the
// overlap test.
class CpuRenderer final : public Renderer {
public:
    CpuRenderer();
    void render(const DrawLayer& layer) override;
    void readpixels(std::vector<uint8_t>& rgb) override { rgb = pix_; }
    const std::vector<uint8_t>& pixels() const { return pix_; }

private:
    void put(int x, int y, uint32_t texel, const DrawState& st);
    void drawplaced(const Placement& p, const DrawState& st);
    std::vector<uint8_t> pix_;  // 640*480*3
};

}  // namespace vx
