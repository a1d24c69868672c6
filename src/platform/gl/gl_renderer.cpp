#include "platform/gl/gl_renderer.h"

#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
#else
#include <epoxy/gl.h>
#endif

#include <algorithm>
#include <cstdio>

#include "platform/image.h"
#include "platform/mathx.h"

namespace vx {

namespace {

constexpr int kAtlas = 2048;
// One draw call takes at most this many quads: their corners stay within the
// reach of 16-bit indices.
constexpr int kQuadsPerDraw = 65536 / 4;
constexpr int kMaxSlots = 64;

// OpenGL 3.3 on the desktop, OpenGL ES 3.0 (WebGL 2) in the browser: the
// shaders are the same past their first lines.
#ifdef __EMSCRIPTEN__
#define SHADER_HEAD "#version 300 es\nprecision highp float;\nprecision highp int;\n"
#else
#define SHADER_HEAD "#version 330 core\n"
#endif

const char* kVertexShader = SHADER_HEAD R"(
layout(location = 0) in vec2 pos;
layout(location = 1) in vec2 uv;
layout(location = 2) in vec4 colormode;
layout(location = 3) in float alpha;
out vec2 vuv;
out vec4 vcolor;
flat out int vmode;
uniform float nudge;
void main() {
    // The texel rule of the overlap test: texture coordinates pulled toward the
    // far corner by a shrinking nudge, so a pixel centre on a texel boundary
    // takes the texel after it and one at the far edge never leaves the frame.
    // Quads list their corners top-left, top-right, bottom-right, bottom-left.
    int corner = gl_VertexID & 3;
    vuv = uv + vec2(corner == 0 || corner == 3 ? nudge : 0.0, corner < 2 ? nudge : 0.0);
    vcolor = vec4(colormode.rgb, alpha);
    vmode = int(colormode.a * 255.0 + 0.5);
    // Picture row 0 is stored first, so reading back gives rows top to bottom.
    gl_Position = vec4(pos.x / 320.0 - 1.0, pos.y / 240.0 - 1.0, 0.0, 1.0);
}
)";

// Mask writes opaque texels whose alpha reaches one half; solid writes every
// texel; alpha blends (premultiplied, with blending ONE, ONE_MINUS_SRC_ALPHA).
const char* kFragmentShader = SHADER_HEAD R"(
uniform highp sampler2D atlas;
in vec2 vuv;
in vec4 vcolor;
flat in int vmode;
out vec4 outcolor;
void main() {
    vec4 t = texelFetch(atlas, ivec2(floor(vuv)), 0);
    vec3 rgb = t.rgb * vcolor.rgb;
    float a = t.a * vcolor.a;
    if (vmode == 1) {
        if (a < 0.5) discard;
        outcolor = vec4(rgb, 1.0);
    } else if (vmode == 2) {
        outcolor = vec4(rgb, 1.0);
    } else {
        outcolor = vec4(rgb * a, a);
    }
}
)";

unsigned compile(GLenum kind, const char* src) {
    unsigned s = glCreateShader(kind);
    glShaderSource(s, 1, &src, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024];
        glGetShaderInfoLog(s, sizeof log, nullptr, log);
        std::fprintf(stderr, "vexaloid: shader: %s\n", log);
        glDeleteShader(s);
        return 0;
    }
    return s;
}

}  // namespace

Viewport fitpicture(int dw, int dh) {
    Viewport vp;
    int k = std::min(dw / kScreenW, dh / kScreenH);
    if (k >= 1) {
        vp.w = kScreenW * k;
        vp.h = kScreenH * k;
    } else {
        // Smaller than the picture: shrink it, keeping its shape.
        vp.integer = false;
        if (dw * kScreenH < dh * kScreenW) {
            vp.w = dw;
            vp.h = dw * kScreenH / kScreenW;
        } else {
            vp.h = dh;
            vp.w = dh * kScreenW / kScreenH;
        }
    }
    vp.x = (dw - vp.w) / 2;
    vp.y = (dh - vp.h) / 2;
    return vp;
}

GlRenderer::GlRenderer() {
    verts_.reserve(static_cast<size_t>(kQuadsPerDraw) * 4);
    slots_.reserve(kMaxSlots);
    readback_.reserve(static_cast<size_t>(kScreenW) * kScreenH * 4);
}

GlRenderer::~GlRenderer() {
    if (prog_) glDeleteProgram(prog_);
    if (vbo_) glDeleteBuffers(1, &vbo_);
    if (ibo_) glDeleteBuffers(1, &ibo_);
    if (vao_) glDeleteVertexArrays(1, &vao_);
    if (atlas_) glDeleteTextures(1, &atlas_);
    if (target_) glDeleteTextures(1, &target_);
    if (fbo_) glDeleteFramebuffers(1, &fbo_);
}

bool GlRenderer::init() {
    unsigned vs = compile(GL_VERTEX_SHADER, kVertexShader);
    unsigned fs = compile(GL_FRAGMENT_SHADER, kFragmentShader);
    if (!vs || !fs) return false;
    prog_ = glCreateProgram();
    glAttachShader(prog_, vs);
    glAttachShader(prog_, fs);
    glLinkProgram(prog_);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(prog_, GL_LINK_STATUS, &ok);
    if (!ok) return false;
    glUseProgram(prog_);
    glUniform1f(glGetUniformLocation(prog_, "nudge"), static_cast<float>(kTexelNudge));

    glGenVertexArrays(1, &vao_);
    glBindVertexArray(vao_);
    glGenBuffers(1, &vbo_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    auto attrib = [](int i, int n, GLenum type, bool normalised, size_t offset) {
        glEnableVertexAttribArray(i);
        glVertexAttribPointer(i, n, type, normalised ? GL_TRUE : GL_FALSE, sizeof(Vertex),
                              reinterpret_cast<void*>(offset));
    };
    attrib(0, 2, GL_FLOAT, false, offsetof(Vertex, x));
    attrib(1, 2, GL_UNSIGNED_SHORT, false, offsetof(Vertex, u));
    attrib(2, 4, GL_UNSIGNED_BYTE, true, offsetof(Vertex, r));
    attrib(3, 1, GL_FLOAT, false, offsetof(Vertex, a));
    // Two triangles a quad: top-left, top-right, bottom-right and top-left,
    // bottom-right, bottom-left.
    {
        std::vector<uint16_t> index(static_cast<size_t>(kQuadsPerDraw) * 6);
        for (int q = 0; q < kQuadsPerDraw; ++q) {
            const uint16_t b = static_cast<uint16_t>(q * 4);
            const uint16_t six[6] = {b, static_cast<uint16_t>(b + 1), static_cast<uint16_t>(b + 2),
                                     b, static_cast<uint16_t>(b + 2), static_cast<uint16_t>(b + 3)};
            std::copy_n(six, 6, &index[static_cast<size_t>(q) * 6]);
        }
        glGenBuffers(1, &ibo_);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo_);  // kept in the vertex array's state
        glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(index.size() * sizeof(uint16_t)), index.data(),
                     GL_STATIC_DRAW);
    }

    // The atlas starts with a white block that plotted pixels and rectangles sample.
    glGenTextures(1, &atlas_);
    glBindTexture(GL_TEXTURE_2D, atlas_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kAtlas, kAtlas, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    const uint32_t white[4] = {0xffffffffu, 0xffffffffu, 0xffffffffu, 0xffffffffu};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 2, 2, GL_RGBA, GL_UNSIGNED_BYTE, white);
    shelfx_ = 4;

    glGenTextures(1, &target_);
    glBindTexture(GL_TEXTURE_2D, target_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kScreenW, kScreenH, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glGenFramebuffers(1, &fbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target_, 0);
    bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (complete) warmup();
    return complete;
}

const GlRenderer::Slot* GlRenderer::upload(const Image& img) {
    Slot* it = nullptr;
    if (lastslot_ < slots_.size() && slots_[lastslot_].img == &img) {
        it = &slots_[lastslot_];
    } else {
        for (size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].img == &img) {
                it = &slots_[i];
                lastslot_ = i;
                break;
            }
    }
    if (it && it->version == img.version) return it;
    int w = img.width * img.frames, h = img.height;
    if (!it || it->w != w || it->h != h) {
        // A new place on the shelves, one pixel apart.
        if (shelfx_ + w > kAtlas) shelfx_ = 0, shelfy_ += shelfh_ + 1, shelfh_ = 0;
        if (w > kAtlas || shelfy_ + h > kAtlas) return nullptr;
        if (!it) {
            if (slots_.size() == slots_.capacity()) return nullptr;  // never grows mid-game
            slots_.push_back(Slot{&img, 0, 0, 0, 0, 0});
            it = &slots_.back();
            lastslot_ = slots_.size() - 1;
        }
        *it = Slot{&img, shelfx_, shelfy_, w, h, 0};
        shelfx_ += w + 1;
        shelfh_ = std::max(shelfh_, h);
    }
    // Frames side by side, as one strip: each frame is a block of its own rows.
    glBindTexture(GL_TEXTURE_2D, atlas_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    for (int f = 0; f < img.frames; ++f)
        glTexSubImage2D(GL_TEXTURE_2D, 0, it->x + f * img.width, it->y, img.width, h, GL_RGBA,
                        GL_UNSIGNED_BYTE, img.frame(f));
    it->version = img.version;
    return it;
}

void GlRenderer::quad(const float (&p)[4][2], int u0, int v0, int u1, int v1, const DrawState& st) {
    if (verts_.size() == verts_.capacity()) flushquads();
    const uint16_t U0 = static_cast<uint16_t>(u0), V0 = static_cast<uint16_t>(v0);
    const uint16_t U1 = static_cast<uint16_t>(u1), V1 = static_cast<uint16_t>(v1);
    // Corners in the order top-left, top-right, bottom-right, bottom-left.
    verts_.push_back({p[0][0], p[0][1], U0, V0, st.r, st.g, st.b, st.blend, st.alpha});
    verts_.push_back({p[1][0], p[1][1], U1, V0, st.r, st.g, st.b, st.blend, st.alpha});
    verts_.push_back({p[2][0], p[2][1], U1, V1, st.r, st.g, st.b, st.blend, st.alpha});
    verts_.push_back({p[3][0], p[3][1], U0, V1, st.r, st.g, st.b, st.blend, st.alpha});
}

void GlRenderer::flushquads() {
    if (verts_.empty()) return;
    glUseProgram(prog_);
    glBindVertexArray(vao_);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, atlas_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(verts_.size() * sizeof(Vertex)),
                 verts_.data(), GL_STREAM_DRAW);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_ONE, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(verts_.size() / 4 * 6), GL_UNSIGNED_SHORT,
                   nullptr);
    ++drawcalls_;
    verts_.clear();
}

void GlRenderer::render(const DrawLayer& layer) {
    drawcalls_ = 0;
    verts_.clear();
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glViewport(0, 0, kScreenW, kScreenH);
    for (const DrawOp& op : layer.ops()) {
        switch (op.kind) {
            case OpKind::cls:
                // What was batched so far lies under the cleared picture: dropped.
                verts_.clear();
                glClearColor(op.cr / 255.0f, op.cg / 255.0f, op.cb / 255.0f, 1.0f);
                glClear(GL_COLOR_BUFFER_BIT);
                break;
            case OpKind::image: {
                if (!op.img || op.frame < 0 || op.frame >= op.img->frames) break;
                if (op.st.sx == 0.0f || op.st.sy == 0.0f) break;
                const Slot* s = upload(*op.img);
                if (!s) break;
                const Image& im = *op.img;
                double c = cosdeg(op.st.rot), sn = sindeg(op.st.rot);
                float p[4][2];
                const double us[4] = {0.0 - im.hx, im.width - im.hx, im.width - im.hx, 0.0 - im.hx};
                const double vs[4] = {0.0 - im.hy, 0.0 - im.hy, im.height - im.hy,
                                      im.height - im.hy};
                for (int i = 0; i < 4; ++i) {
                    p[i][0] =
                        static_cast<float>(op.x + us[i] * op.st.sx * c - vs[i] * op.st.sy * sn);
                    p[i][1] =
                        static_cast<float>(op.y + us[i] * op.st.sx * sn + vs[i] * op.st.sy * c);
                }
                int u0 = s->x + op.frame * im.width;
                quad(p, u0, s->y, u0 + im.width, s->y + im.height, op.st);
                break;
            }
            case OpKind::plot:
            case OpKind::rect: {
                float x0 = op.x, y0 = op.y, x1 = op.x + op.w, y1 = op.y + op.h;
                float p[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
                quad(p, 0, 0, 2, 2, op.st);
                break;
            }
            case OpKind::text: {
                const Image& font = fontimage();
                const Slot* s = upload(font);
                if (!s) break;
                std::string_view text = layer.text(op);
                for (size_t i = 0; i < text.size(); ++i) {
                    int ch = static_cast<unsigned char>(text[i]);
                    if (ch < 32 || ch >= 128) continue;
                    float x0 = op.x + 8.0f * i, y0 = op.y;
                    float p[4][2] = {{x0, y0}, {x0 + 8, y0}, {x0 + 8, y0 + 16}, {x0, y0 + 16}};
                    int u0 = s->x + (ch - 32) * 8;
                    quad(p, u0, s->y, u0 + 8, s->y + 16, op.st);
                }
                break;
            }
        }
    }
    flushquads();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void GlRenderer::blit(const Viewport& vp, int dw, int dh) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, dw, dh);
    // Only the borders around the picture are cleared: the blit covers the rest.
    glClearColor(0, 0, 0, 1);
    glEnable(GL_SCISSOR_TEST);
    const int top = vp.y, bottom = dh - vp.y - vp.h;  // in window rows
    const int bands[4][4] = {{0, 0, vp.x, dh},
                             {vp.x + vp.w, 0, dw - vp.x - vp.w, dh},
                             {vp.x, 0, vp.w, bottom},
                             {vp.x, dh - top, vp.w, top}};
    for (const auto& b : bands) {
        if (b[2] <= 0 || b[3] <= 0) continue;
        glScissor(b[0], b[1], b[2], b[3]);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
    // The target holds picture row 0 first; the window's origin is at the bottom.
    glBlitFramebuffer(0, 0, kScreenW, kScreenH, vp.x, dh - vp.y, vp.x + vp.w, dh - vp.y - vp.h,
                      GL_COLOR_BUFFER_BIT, vp.integer ? GL_NEAREST : GL_LINEAR);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    ++drawcalls_;
}

void GlRenderer::warmup() {
    // One of every kind of drawing, once: a software driver compiles what each
    // needs on first use, and that belongs to start-up, not to play.
    DrawLayer layer;
    layer.cls();
    for (int mode : {kBlendMask, kBlendSolid, kBlendAlpha}) {
        layer.setblend(mode);
        layer.setalpha(0.5f);
        layer.plot(1, 1);
        layer.drawrect(2, 2, 3, 3);
        layer.setscale(0.7f, 0.9f);
        layer.setrotation(30.0f);
        layer.drawimage(fontimage(), 20, 20, 33);
        layer.setscale(1, 1);
        layer.setrotation(0);
        layer.drawtext("Vx", 30, 30);
    }
    render(layer);
    layer.cls();
    render(layer);
}

void GlRenderer::readpixels(std::vector<uint8_t>& rgb) {
    std::vector<uint8_t>& rgba = readback_;
    rgba.resize(static_cast<size_t>(kScreenW) * kScreenH * 4);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, kScreenW, kScreenH, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    rgb.resize(static_cast<size_t>(kScreenW) * kScreenH * 3);
    for (size_t i = 0, n = static_cast<size_t>(kScreenW) * kScreenH; i < n; ++i)
        rgb[i * 3] = rgba[i * 4], rgb[i * 3 + 1] = rgba[i * 4 + 1],
                rgb[i * 3 + 2] = rgba[i * 4 + 2];
}

}  // namespace vx
