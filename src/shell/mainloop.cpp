// The main loop: one frame per displayed picture, then the program's end.
#include "bees/spawn.h"
#include "persist/persist.h"
#include "player/scores.h"
#include "shell/game.h"
#include "shell/shell.h"

namespace vx {

void framesteps(Game& g) {
    Input& in = g.input;
    g.gfx.cls();
    walk(g, g.starlist);
    walk(g, g.shotlist);
    if (!g.getready && !g.wavedone && !g.gameover) {
        if (g.wavetype == kBonusRound) bonusdecorations(g);
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
    if (g.watcher) g.watcher->programending(g);
    if (g.snd.musicchan.playing()) {
        stopmusic(g);
        g.pf.delay(500);
    }
    hiscorefile(g, 1);
}

int rungame(Game& g) {
    if (!startup(g)) return 1;
    while (mainframe(g)) storenewbest(g);
    programend(g);
    return 0;
}

}  // namespace vx
