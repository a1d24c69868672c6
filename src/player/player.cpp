#include "player/player.h"

#include "shell/game.h"

namespace vx {

namespace {
constexpr int kStartX = 320, kStartY = 400;
constexpr int kShotCooldown = 8;
constexpr int kHyperFrames = 100;
}  // namespace

void player_tag::reset(Game& g) {
    shotctr = 0;
    x = kStartX;
    y = kStartY;
    g.pf.movemouse(kStartX, kStartY);
}

void player_tag::update(Game& g, int control) {
    // A destroyed ship is neither drawn nor counted down.
    if (dead) return;
    DrawLayer& gfx = g.gfx;
    gfx.setblend(kBlendAlpha);

    // Counting down before the tests allows one shot every 8 frames exactly.
    if (shotctr != 0) --shotctr;
    if (hyperctr != 0) {
        --hyperctr;
        gfx.setalpha(0.2f);
    } else {
        gfx.setalpha(1.0f);
    }

    frame += 1;
    if (frame > 3) frame = 0;

    // Drawn before it moves: a shot fired this frame starts at the drawn ship.
    gfx.setscale(0.9f, 0.7f);
    gfx.drawimage(g.img.shipimg, static_cast<float>(x), static_cast<float>(y), frame);
    gfx.setscale(1.0f, 1.0f);

    if (control != 0) {
        // The presses are read even during the cooldown, so a press that comes
        // too early is used up and each shot needs its own click.
        bool fire = g.input.hit(Key::mouseleft);
        if (fire && shotctr == 0) {
            shotctr = kShotCooldown;
            playsfx(g, shotsnd);
            lazershot_tag::Create(g, 0, x, y);
        }
        bool hyper = g.input.hit(Key::mouseright);
        if (hyper && hyperctr == 0) {
            hyperctr = kHyperFrames;
            playsfx(g, hyperspsnd);
        }

        int mx = g.pf.mousex();
        int my = g.pf.mousey();
        if (mx != x || my != y) {
            x = mx;
            y = my;
        }

        // Each correction moves the pointer too, so it cannot drift out of the box;
        // outside on both axes it is moved twice and ends at the corner.
        if (y < kShipTop) {
            y = kShipTop;
            g.pf.movemouse(x, kShipTop);
        }
        if (y > kShipBottom) {
            y = kShipBottom;
            g.pf.movemouse(x, kShipBottom);
        }
        if (x < kShipLeft) {
            x = kShipLeft;
            g.pf.movemouse(kShipLeft, y);
        }
        if (x > kShipRight) {
            x = kShipRight;
            g.pf.movemouse(kShipRight, y);
        }
    }

    gfx.setalpha(1.0f);
}

}  // namespace vx
