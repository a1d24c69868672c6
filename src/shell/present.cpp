// The picture's last steps: the side bars, the present at the vertical blank
// with the frame timer's wait, and the suspension check.
#include "shell/game.h"
#include "shell/shell.h"

namespace vx {

void sidebars(Game& g) {
    g.gfx.setblend(kBlendSolid);
    g.gfx.setcolor(0, 0, 0);
    g.gfx.drawrect(0, 0, kPlayLeft, 480);
    g.gfx.drawrect(kPlayRight, 0, 640 - kPlayRight, 480);
    g.gfx.setcolor(255, 255, 255);
}

void presentframe(Game& g, const char* screen, bool timerwait) {
    g.screen = screen;
    if (g.watcher) g.watcher->presented(g);
    g.pf.flip();
    if (timerwait && g.timerhz != 0) g.pf.waittimer();
}

void suspensioncheck(Game& g) {
    if (!g.pf.suspended()) return;
    pausemusic(g);
    while (g.pf.suspended() && !g.pf.quitrequested()) g.pf.waitevents();
    resumemusic(g);
}

}  // namespace vx
