// Bee shots: sparks that fall 5 pixels a frame, spin and flicker, drifting
// toward the column the ship was in when they were fired.
#include "bees/beeshot.h"

#include "bees/shiphit.h"
#include "shell/game.h"

namespace vx {

void beeshot_tag::Create(Game& g, float x, float y) {
    beeshot_tag& s = g.beeshotlist.add();
    s.x = x;
    s.y = y;
    // Aimed once: a shot fired from the ship's own column drifts left.
    if (x >= static_cast<float>(g.player.x))
        s.xstp = g.rng.rnd(-2.0f, -0.5f);
    else
        s.xstp = g.rng.rnd(0.5f, 2.0f);
}

void beeshot_tag::update(Game& g) {
    float s = g.rng.rnd(0.5f, 1.5f);
    g.gfx.setblend(kBlendMask);
    rotation += 15.0f;
    x += xstp;
    y += 5.0f;
    g.gfx.setrotation(rotation);
    g.gfx.setscale(s, s);
    g.gfx.drawimage(g.img.beeshotimg, x, y, 0);
    g.gfx.setrotation(0.0f);
    g.gfx.setscale(1.0f, 1.0f);
    if (g.titlescr == 0) {
        if (touchesship(g, x, y)) destroyship(g);
    }
    if (x < kPlayLeft || x > kPlayRight || y > 480.0f) g.beeshotlist.remove(this);
}

}  // namespace vx
