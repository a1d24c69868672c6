#include "effects/points.h"

#include "shell/game.h"

namespace vx {

void points_tag::Create(Game& g, float x, float y, int frame) {
    points_tag& p = g.pointslist.add();
    p.alpha = 1.0f;
    p.frame = frame;
    p.x = x;
    p.y = y;
}

void points_tag::update(Game& g) {
    DrawLayer& gfx = g.gfx;
    gfx.setblend(kBlendAlpha);
    gfx.setalpha(alpha);
    gfx.drawimage(g.img.ptsimg, x, y, frame);
    gfx.setalpha(1.0f);

    // In single precision a hundred steps of 0.01 leave a trace above zero,
    // so the popup is drawn a 101st, practically invisible time.
    alpha -= 0.01f;
    if (!(alpha > 0.0f)) g.pointslist.remove(this);
}

}  // namespace vx
