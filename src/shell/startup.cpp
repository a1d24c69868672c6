// Start-up: everything made once, in order, up to the title screen.
#include "bees/starbee.h"
#include "persist/persist.h"
#include "player/scores.h"
#include "shell/game.h"
#include "shell/shell.h"

namespace vx {

bool startup(Game& g) {
    Platform& pf = g.pf;
    pf.settitle("Vexaloid");
    readsettings(g);
    if (g.timerhz != 0) pf.createtimer(g.timerhz);
    if (!pf.opendisplay()) return false;
    g.gfx.setblend(kBlendMask);
    g.player = player_tag{};
    g.player.wave = 1;
    starfield_tag::Create(g);
    g.snd.musicchan.attach(&pf.audio());
    pf.hidepointer();
    // The images come straight from the decoded sheet; the back buffer is left clear.
    cutimages(g.img, sheetpicture());
    g.gfx.cls();
    loadsounds(g);
    hiscorefile(g, 0);
    g.player.reset(g);
    splash(g);
    g.titlescr = 1;
    g.rng.seed(pf.clockseed());
    g.fadealpha = 1.0f;
    g.seqtmr = 0;
    g.skipbanner = 0;
    return true;
}

}  // namespace vx
