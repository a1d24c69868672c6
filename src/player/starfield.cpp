#include "player/starfield.h"

#include "shell/game.h"

namespace vx {

namespace {
constexpr int kStars = 300;
// A star is recycled once it has passed this row, two rows below the screen,
// so the halo of the largest stars has left the picture.
constexpr int kBottom = 482;

int randomcolumn(Game& g) {
    return static_cast<int>(g.rng.rnd(kPlayLeft, kPlayRight));
}
}  // namespace

void starfield_tag::Create(Game& g) {
    // Runs before the generator is seeded, so the first layout never changes.
    for (int i = 0; i < kStars; ++i) {
        starfield_tag& star = g.starlist.add();
        star.size = static_cast<int>(g.rng.rnd(0, 3));
        star.x = randomcolumn(g);
        star.y = static_cast<int>(g.rng.rnd(0, 480));
    }
}

void starfield_tag::update(Game& g) {
    DrawLayer& gfx = g.gfx;
    gfx.setblend(kBlendMask);
    // Larger stars are brighter and faster, which gives the parallax.
    switch (size) {
        case 0:
            gfx.setcolor(250, 250, 250);
            gfx.plot(x, y);
            gfx.setcolor(0, 150, 250);
            gfx.plot(x - 1, y);
            gfx.plot(x + 1, y);
            gfx.plot(x, y - 1);
            gfx.plot(x, y + 1);
            gfx.setcolor(0, 100, 150);
            gfx.plot(x - 2, y);
            gfx.plot(x + 2, y);
            gfx.plot(x, y - 2);
            gfx.plot(x, y + 2);
            y += 3;
            break;
        case 1:
            gfx.setcolor(200, 200, 200);
            gfx.plot(x, y);
            gfx.setcolor(0, 50, 100);
            gfx.plot(x - 1, y);
            gfx.plot(x + 1, y);
            gfx.plot(x, y - 1);
            gfx.plot(x, y + 1);
            y += 2;
            break;
        default:
            gfx.setcolor(150, 150, 150);
            gfx.plot(x, y);
            y += 1;
            break;
    }
    if (y > kBottom) {
        x = randomcolumn(g);
        y = -3;
    }
    gfx.setcolor(255, 255, 255);
}

}  // namespace vx
