#include <cstdio>

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

void framesteps(Game& g) {
    Input& in = g.input;
    g.gfx.cls();
    walk(g, g.starlist);
    walk(g, g.shotlist);
    if (!g.getready && !g.wavedone && !g.gameover) {
        if (g.wavetype == 2) bonusdecorations(g);
        spawnstep(g);
        walk(g, g.beeshotlist);
        walk(g, g.beelist);
        walk(g, g.splatlist);
        walk(g, g.partlist);
        walk(g, g.pointslist);
    }
    g.player.update(g, g.control);
    if (g.titlescr) titlestep(g);
    if (g.getready) getreadystep(g);
    waveendtest(g);
    if (g.wavedone) wavedonestep(g);
    if (g.gameover) gameoverstep(g);
    // Space is read only during play; a press made elsewhere waits for it.
    if (g.control == 1 && in.hit(Key::space)) pausescreen(g);
    if (in.hit(Key::f1)) f1step(g);
    drawscores(g);
    sidebars(g);
}

bool mainframe(Game& g) {
    framesteps(g);
    presentframe(g, screenname(g));
    suspensioncheck(g);
    if (g.input.hit(Key::escape) || g.pf.quitrequested()) g.quitting = true;
    return !g.quitting;
}

void programend(Game& g) {
    if (g.snd.musicchan.playing()) {
        stopmusic(g);
        g.pf.delay(500);
    }
    hiscorefile(g, 1);
}

int rungame(Game& g) {
    if (!startup(g)) return 1;
    while (mainframe(g)) {
    }
    programend(g);
    return 0;
}

}  // namespace vx
