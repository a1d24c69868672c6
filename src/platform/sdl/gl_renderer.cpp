#include "platform/sdl/gl_renderer.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstdio>

#include "platform/mathx.h"

namespace vx {

namespace {

constexpr int kAtlas = 2048;

const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 pos;
layout(location = 1) in vec2 uv;
layout(location = 2) in vec4 color;
layout(location = 3) in float mode;
out vec2 vuv;
out vec4 vcolor;
flat out int vmode;
void main() {
    vuv = uv;
    vcolor = color;
    vmode = int(mode + 0.5);
    // Picture row 0 is stored first, so reading back gives rows top to bottom.
    gl_Position = vec4(pos.x / 320.0 - 1.0, pos.y / 240.0 - 1.0, 0.0, 1.0);
}
)";

// Mask writes opaque texels whose alpha reaches one half; solid writes every
// texel; alpha blends (premultiplied, with blending ONE, ONE_MINUS_SRC_ALPHA).
const char* kFragmentShader = R"(#version 330 core
uniform sampler2D atlas;
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

GlRenderer::GlRenderer() { verts_.reserve(1 << 16); }

GlRenderer::~GlRenderer() {
    if (prog_) glDeleteProgram(prog_);
    if (vbo_) glDeleteBuffers(1, &vbo_);
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

    glGenVertexArrays(1, &vao_);
    glBindVertexArray(vao_);
    glGenBuffers(1, &vbo_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    auto attrib = [](int i, int n, size_t offset) {
        glEnableVertexAttribArray(i);
        glVertexAttribPointer(i, n, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(offset));
    };
    attrib(0, 2, offsetof(Vertex, x));
    attrib(1, 2, offsetof(Vertex, u));
    attrib(2, 4, offsetof(Vertex, r));
    attrib(3, 1, offsetof(Vertex, mode));

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
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kScreenW, kScreenH, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glGenFramebuffers(1, &fbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target_, 0);
    bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return complete;
}

const GlRenderer::Slot* GlRenderer::upload(const Image& img) {
    auto it = slots_.find(&img);
    if (it != slots_.end() && it->second.version == img.version) return &it->second;
    int w = img.width * img.frames, h = img.height;
    if (it == slots_.end() || it->second.w != w || it->second.h != h) {
        // A new place on the shelves, one pixel apart.
        if (shelfx_ + w > kAtlas) shelfx_ = 0, shelfy_ += shelfh_ + 1, shelfh_ = 0;
        if (w > kAtlas || shelfy_ + h > kAtlas) return nullptr;
        it = slots_.insert_or_assign(&img, Slot{shelfx_, shelfy_, w, h, 0}).first;
        shelfx_ += w + 1;
        shelfh_ = std::max(shelfh_, h);
    }
    // Frames side by side, as one strip.
    std::vector<uint32_t> strip(static_cast<size_t>(w) * h);
    for (int f = 0; f < img.frames; ++f)
        for (int y = 0; y < h; ++y)
            std::copy_n(img.frame(f) + y * img.width, img.width, &strip[static_cast<size_t>(y) * w + f * img.width]);
    glBindTexture(GL_TEXTURE_2D, atlas_);
    glTexSubImage2D(GL_TEXTURE_2D, 0, it->second.x, it->second.y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, strip.data());
    it->second.version = img.version;
    return &it->second;
}

void GlRenderer::quad(const float (&p)[4][2], float u0, float v0, float u1, float v1, const DrawState& st) {
    float r = st.r / 255.0f, g = st.g / 255.0f, b = st.b / 255.0f, a = st.alpha, m = st.blend;
    // Corners in the order top-left, top-right, bottom-right, bottom-left.
    Vertex c[4] = {{p[0][0], p[0][1], u0, v0, r, g, b, a, m},
                   {p[1][0], p[1][1], u1, v0, r, g, b, a, m},
                   {p[2][0], p[2][1], u1, v1, r, g, b, a, m},
                   {p[3][0], p[3][1], u0, v1, r, g, b, a, m}};
    verts_.insert(verts_.end(), {c[0], c[1], c[2], c[0], c[2], c[3]});
}

void GlRenderer::render(const DrawLayer& layer) {
    drawcalls_ = 0;
    verts_.clear();
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glViewport(0, 0, kScreenW, kScreenH);
    for (const DrawOp& op : layer.ops()) {
        switch (op.kind) {
            case OpKind::cls:
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
                const double vs[4] = {0.0 - im.hy, 0.0 - im.hy, im.height - im.hy, im.height - im.hy};
                for (int i = 0; i < 4; ++i) {
                    p[i][0] = static_cast<float>(op.x + us[i] * op.st.sx * c - vs[i] * op.st.sy * sn);
                    p[i][1] = static_cast<float>(op.y + us[i] * op.st.sx * sn + vs[i] * op.st.sy * c);
                }
                float u0 = static_cast<float>(s->x + op.frame * im.width);
                quad(p, u0, static_cast<float>(s->y), u0 + im.width, static_cast<float>(s->y + im.height), op.st);
                break;
            }
            case OpKind::plot:
            case OpKind::rect: {
                float x0 = op.x, y0 = op.y, x1 = op.x + op.w, y1 = op.y + op.h;
                float p[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
                quad(p, 0.5f, 0.5f, 1.5f, 1.5f, op.st);
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
                    float u0 = static_cast<float>(s->x + (ch - 32) * 8);
                    quad(p, u0, static_cast<float>(s->y), u0 + 8, static_cast<float>(s->y + 16), op.st);
                }
                break;
            }
        }
    }
    if (!verts_.empty()) {
        glUseProgram(prog_);
        glBindVertexArray(vao_);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, atlas_);
        glBindBuffer(GL_ARRAY_BUFFER, vbo_);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(verts_.size() * sizeof(Vertex)), verts_.data(),
                     GL_STREAM_DRAW);
        glEnable(GL_BLEND);
        glBlendFuncSeparate(GL_ONE, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(verts_.size()));
        ++drawcalls_;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void GlRenderer::blit(const Viewport& vp, int dw, int dh) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, dw, dh);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
    // The target holds picture row 0 first; the window's origin is at the bottom.
    glBlitFramebuffer(0, 0, kScreenW, kScreenH, vp.x, dh - vp.y, vp.x + vp.w, dh - vp.y - vp.h,
                      GL_COLOR_BUFFER_BIT, vp.integer ? GL_NEAREST : GL_LINEAR);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    ++drawcalls_;
}

void GlRenderer::readpixels(std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> rgba(static_cast<size_t>(kScreenW) * kScreenH * 4);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, kScreenW, kScreenH, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    rgb.resize(static_cast<size_t>(kScreenW) * kScreenH * 3);
    for (size_t i = 0, n = static_cast<size_t>(kScreenW) * kScreenH; i < n; ++i)
        rgb[i * 3] = rgba[i * 4], rgb[i * 3 + 1] = rgba[i * 4 + 1], rgb[i * 3 + 2] = rgba[i * 4 + 2];
}

}  // namespace vx
