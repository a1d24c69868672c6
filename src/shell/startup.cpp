// Start-up: everything made once, in order, up to the title screen.
#include "bees/starbee.h"
#include "persist/persist.h"
#include "player/scores.h"
#include "shell/game.h"
#include "shell/replay.h"
#include "shell/shell.h"

namespace vx {

bool setup(Game& g) {
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
    return true;
}

bool startup(Game& g) {
    if (!setup(g)) return false;
    splash(g);
    g.titlescr = 1;
    g.seed = g.pf.clockseed();
    g.rng.seed(g.seed);
    g.fadealpha = 1.0f;
    g.seqtmr = 0;
    g.skipbanner = 0;
    return true;
}

bool replaystartup(Game& g, const ReplayStart& s) {
    if (!setup(g)) return false;
    g.gfx.setclscolor(0, 0, 8);
    g.seed = s.seed;
    applystart(g, s);
    // As the frame that started the game left them: its get-ready music, and
    // the blend mode of the side bars.
    playmusic(g, wavetrack(g.wavetype));
    g.gfx.setblend(kBlendSolid);
    return true;
}

}  // namespace vx
