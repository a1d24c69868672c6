// The maker's logo over the moving stars, before the title screen.
#include "player/scores.h"
#include "shell/game.h"
#include "shell/shell.h"

namespace vx {

void splash(Game& g) {
    DrawLayer& gfx = g.gfx;
    Picture logo = logopicture();
    g.logoimg = makeimage(logo.width, logo.height, 1, true);
    cutframe(g.logoimg, 0, logo, 0, 0);
    gfx.setclscolor(0, 0, 8);
    playmusic(g, kTitleTrack);
    int logoctr = 0;
    float logoalpha = 1.0f;
    for (;;) {
        gfx.cls();
        walk(g, g.starlist);
        gfx.setblend(kBlendAlpha);
        gfx.setalpha(logoalpha);
        gfx.drawimage(g.logoimg, 320, 220);
        if (logoalpha == 1.0f) logoctr += 1;
        if (logoctr > 250) logoalpha -= 0.01f;
        if (logoalpha < 0) {
            logoalpha = 0.0f;
            logoctr += 1;
        }
        gfx.setalpha(1.0f);
        drawscores(g);
        sidebars(g);
        presentframe(g, "splash");
        suspensioncheck(g);
        if (logoctr >= 300) break;
        if (logoctr < 300 && g.input.hit(Key::mouseleft)) break;
        if (g.pf.quitrequested()) break;
    }
    g.input.flushkeys();
    g.input.flushmouse();
    g.logoimg = Image{};
}

}  // namespace vx
