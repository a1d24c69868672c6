// The OpenGL renderer: a frame's operations in one batched draw call from one
// texture atlas into a 640x480 target, then scaled onto the window.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
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
    struct Vertex {
        float x, y, u, v;
        float r, g, b, a;
        float mode;
    };
    struct Slot {
        int x, y, w, h;
        uint64_t version;
    };
    const Slot* upload(const Image& img);
    void quad(const float (&px)[4][2], float u0, float v0, float u1, float v1, const DrawState& st);

    unsigned prog_ = 0, vao_ = 0, vbo_ = 0, atlas_ = 0, fbo_ = 0, target_ = 0;
    std::vector<Vertex> verts_;
    std::unordered_map<const Image*, Slot> slots_;
    int shelfx_ = 0, shelfy_ = 0, shelfh_ = 0;
    int drawcalls_ = 0;
};

}  // namespace vx
