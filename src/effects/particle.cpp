#include "effects/particle.h"

#include "shell/game.h"

namespace vx {

namespace {
constexpr float kMinScale = 0.1f;
constexpr float kBottom = 480.0f;  // a particle leaves once it is below this row
}  // namespace

void particle_tag::Create(Game& g, float x, float y, int frame, float maxscale, int count) {
    for (int i = 0; i < count; ++i) {
        particle_tag& p = g.partlist.add();
        p.frame = frame;
        p.alpha = 1.0f;
        p.x = x;
        p.y = y;
        // Four draws in a fixed order: scale, angle, then the launch velocity.
        // A maxscale below 0.1 gives the range [maxscale, 0.1).
        p.scale = g.rng.rnd(kMinScale, maxscale);
        p.rotation = g.rng.rnd(0, 360);
        p.xstp = g.rng.rnd(-2.5f, 2.5f);
        p.ystp = g.rng.rnd(-2.5f, 0);
    }
}

void particle_tag::update(Game& g) {
    DrawLayer& gfx = g.gfx;
    gfx.setblend(kBlendAlpha);
    gfx.setalpha(alpha);

    x += xstp;
    y += ystp;
    // A fresh gravity draw every frame pulls the particle down.
    ystp += g.rng.rnd(0.01f, 0.1f);
    rotation += 15.0f;
    alpha -= 0.001f;

    gfx.setrotation(rotation);
    gfx.setscale(scale, scale);
    gfx.drawimage(g.img.splatimg, x, y, frame);
    gfx.setrotation(0.0f);
    gfx.setscale(1.0f, 1.0f);
    gfx.setalpha(1.0f);

    // Particles only leave at the bottom; above the top or beside the
    // playfield they go on flying.
    if (alpha <= 0.0f || y > kBottom) g.partlist.remove(this);
}

}  // namespace vx
