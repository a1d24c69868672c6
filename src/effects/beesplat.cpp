#include "effects/beesplat.h"

#include "shell/game.h"

namespace vx {

namespace {
constexpr int kFrameUpdates = 7;  // frametmr passes this to step the frame
constexpr int kLastFrame = 6;     // frame 0 (the green splash) is for particles
}  // namespace

void beesplat_tag::Create(Game& g, float x, float y, float scale) {
    beesplat_tag& s = g.splatlist.add();
    s.frame = 1;
    s.alpha = 1.0f;
    s.scale = scale;
    s.x = x;
    s.y = y;
    s.rotation = g.rng.rnd(0, 360);
}

void beesplat_tag::update(Game& g) {
    DrawLayer& gfx = g.gfx;
    gfx.setblend(kBlendAlpha);

    // Starting from frametmr 0, frame 1 is shown seven times, the others eight.
    frametmr += 1;
    if (frametmr > kFrameUpdates) {
        frametmr = 0;
        frame += 1;
        if (frame > kLastFrame) {
            g.splatlist.remove(this);
            return;
        }
    }

    gfx.setalpha(alpha);
    gfx.setrotation(rotation);
    gfx.setscale(scale, scale);
    gfx.drawimage(g.img.splatimg, x, y, frame);
    gfx.setrotation(0.0f);
    gfx.setscale(1.0f, 1.0f);

    // Spins, grows and fades a little with every draw.
    rotation += 15.0f;
    scale += 0.05f;
    alpha -= 0.01f;

    gfx.setalpha(1.0f);
}

}  // namespace vx
