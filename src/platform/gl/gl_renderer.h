// The OpenGL renderer: a frame's operations in one batched draw call from one
// texture atlas into a 640x480 target, then scaled onto the window.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/renderer.h"

namespace vx {

// Where the 640x480 picture goes on the window's drawable.
struct Viewport {
    int x = 0, y = 0, w = kScreenW, h = kScreenH;
    bool integer = true;  // a whole multiple, sampled nearest
};
// Aspect-correct and sharp: whole multiples where they fit, black borders around.
Viewport fitpicture(int drawablew, int drawableh);

class GlRenderer final : public Renderer {
  public:
    GlRenderer();
    ~GlRenderer() override;
    // Needs a current OpenGL 3.3 context; false when the shaders cannot be built.
    bool init();
    void render(const DrawLayer& layer) override;
    void readpixels(std::vector<uint8_t>& rgb) override;
    int drawcalls() const override { return drawcalls_; }
    // Shows the picture on the window's drawable (the default framebuffer).
    void blit(const Viewport& vp, int drawablew, int drawableh);

  private:
    // 20 bytes a corner, four corners a quad, drawn by a fixed index buffer.
    struct Vertex {
        float x, y;
        uint16_t u, v;          // atlas texel coordinates
        uint8_t r, g, b, mode;  // colour (normalised) and blend mode (raw)
        float a;
    };
    struct Slot {
        const Image* img;
        int x, y, w, h;
        uint64_t version;
    };
    const Slot* upload(const Image& img);
    void warmup();
    void quad(const float (&px)[4][2], int u0, int v0, int u1, int v1, const DrawState& st);
    void flushquads();

    unsigned prog_ = 0, vao_ = 0, vbo_ = 0, ibo_ = 0, atlas_ = 0, fbo_ = 0, target_ = 0;
    std::vector<Vertex> verts_;
    // The images on the atlas; a handful, so a short list searched in order.
    std::vector<Slot> slots_;
    size_t lastslot_ = 0;
    std::vector<uint8_t> readback_;  // RGBA rows for readpixels
    int shelfx_ = 0, shelfy_ = 0, shelfh_ = 0;
    int drawcalls_ = 0;
};

}  // namespace vx
