#include "player/lazershot.h"

#include "shell/game.h"

namespace vx {

namespace {
constexpr int kSpeed = 8;  // pixels per frame, upwards
constexpr int kTopRow = 10;
}  // namespace

void lazershot_tag::Create(Game& g, int tracer, int x, int y) {
    lazershot_tag& s = g.shotlist.add();
    s.alpha = 1.0f;
    s.x = x;
    s.y = y;
    s.tracer = tracer != 0 ? 1 : 0;
}

void lazershot_tag::update(Game& g) {
    DrawLayer& gfx = g.gfx;
    gfx.setblend(kBlendAlpha);
    gfx.setalpha(alpha);
    if (tracer != 0)
        gfx.setscale(0.7f, 0.7f);
    else
        gfx.setscale(0.9f, 0.9f);
    gfx.drawimage(g.img.shotimg, static_cast<float>(x), static_cast<float>(y), 0);
    gfx.setalpha(1.0f);
    gfx.setscale(1.0f, 1.0f);

    if (tracer != 0) {
        // Ten single-precision steps of 0.1 end just below zero: ten draws.
        alpha -= 0.1f;
    } else {
        y -= kSpeed;
        // The walk of shotlist reaches the new tracer in this same frame.
        Create(g, 1, x, y);
    }
    if (y < kTopRow || alpha <= 0.0f) g.shotlist.remove(this);
}

}  // namespace vx
