// The screens of a game: title, get-ready, wave end, wave complete, game over,
// and F1 back to the title.
#include "shell/game.h"
#include "shell/shell.h"

namespace vx {

void bonusdecorations(Game& g) {
    // The three scoring zones, and one small bee for each bonus bee that got away.
    g.gfx.drawimage(g.img.bonusimg, 160, 90, 0);
    g.gfx.drawimage(g.img.bonusimg, 320, 90, 1);
    g.gfx.drawimage(g.img.bonusimg, 480, 90, 2);
    for (int i = 0; i < g.escapectr; ++i) {
        g.gfx.setscale(0.5f, 0.5f);
        g.gfx.drawimage(g.img.beeimg, static_cast<float>(100 + 30 * i), 460, 0);
        g.gfx.setscale(1, 1);
    }
}

void titlestep(Game& g) {
    DrawLayer& gfx = g.gfx;
    gfx.setblend(kBlendAlpha);
    gfx.setalpha(1.0f);
    gfx.drawimage(g.img.titleimg, 320, 120);
    gfx.setblend(kBlendAlpha);
    gfx.setalpha(g.fadealpha);
    g.fadealpha -= 0.02f;
    if (g.fadealpha < 0) g.fadealpha = 1.0f;
    gfx.drawimage(g.img.startimg, 320, 290);
    gfx.setalpha(1.0f);
    int w = DrawLayer::textwidth(g.credits);
    gfx.setcolor(0, 80, 0);
    gfx.drawtext(g.credits, static_cast<float>(322 - w / 2), 464);
    gfx.setcolor(0, 250, 0);
    gfx.drawtext(g.credits, static_cast<float>(320 - w / 2), 462);
    gfx.setcolor(255, 255, 255);

    if (g.input.hit(Key::mouseleft)) {
        g.spawntmr = 0;
        g.spawndelay = 120;
        g.spawnctr = 0;
        g.madectr = 0;
        g.wavesize = 10;
        g.killctr = 0;
        g.escapectr = 0;
        playsfx(g, gstartsnd);
        g.seqtmr = 0;
        g.fadealpha = 1.0f;
        g.titlescr = 0;
        g.getready = 1;
        clearplayfield(g);
        g.wavetype = kNormalWaveA;
        g.input.flushkeys();
        g.input.flushmouse();
        g.player.reset(g);
        g.player.score = 0;
        g.player.wave = 1;
        g.player.newhs = 0;
    }
}

int wavetrack(int wavetype) {
    return wavetype == kBonusRound    ? kBonusTrack
           : wavetype == kNormalWaveB ? kNormalTrackB
                                      : kNormalTrackA;
}

void getreadystep(Game& g) {
    g.seqtmr += 1;
    if (g.seqtmr == 1) {
        stopmusic(g);
        playmusic(g, wavetrack(g.wavetype));
        g.player.reset(g);
    }
    if (g.seqtmr > 80) {
        g.gfx.setblend(kBlendAlpha);
        g.gfx.setalpha(g.fadealpha);
        g.gfx.drawimage(g.wavetype == kBonusRound ? g.img.bonusrndimg : g.img.getreadyimg, 320,
                        200);
        g.gfx.setalpha(1.0f);
        if (g.seqtmr > 100) g.fadealpha -= 0.006f;
        if (!(g.fadealpha > 0)) {
            g.player.reset(g);
            g.getready = 0;
            g.control = 1;
            g.fadealpha = 1.0f;
            g.seqtmr = 0;
            g.input.flushmouse();
        }
    }
}

void waveendtest(Game& g) {
    if (!((g.control == 1 && g.killctr >= g.wavesize) || g.escapectr >= 3)) return;
    clearplayfield(g);
    stopmusic(g);
    playsfx(g, flyawaysnd);
    g.control = 0;
    g.wavedone = 1;
    g.wavetype += 1;
    if (g.wavetype > kBonusRound) {
        // A bonus round has ended: no banner and no bonus.
        g.wavetype = kNormalWaveA;
        g.skipbanner = 1;
    } else {
        g.wavesize += 10;
        g.spawntmr = 0;
        g.spawndelay -= 10;
        if (g.spawndelay < 20) g.spawndelay = 20;
    }
    g.fadealpha = 1.0f;
    g.seqtmr = -1;
    g.escapectr = 0;
    g.killctr = 0;
    g.madectr = 0;
    g.spawnctr = 0;
}

void wavedonestep(Game& g) {
    DrawLayer& gfx = g.gfx;
    g.player.y -= 6;
    int y = g.player.y;
    gfx.setblend(kBlendAlpha);
    if (y < -30 && y > -999 && g.skipbanner == 0) {
        // A glowing copy behind the banner, new size and colour every frame.
        gfx.setalpha(g.rng.rnd(0.4f, 0.8f));
        float sx = 1.2f + g.rng.rnd(0, 0.8f);
        float sy = 1.4f + g.rng.rnd(0, 1.2f);
        gfx.setscale(sx, sy);
        int r = static_cast<int>(g.rng.rnd(0, 255));
        int gr = static_cast<int>(g.rng.rnd(0, 255));
        int b = static_cast<int>(g.rng.rnd(0, 255));
        gfx.setcolor(r, gr, b);
        gfx.drawimage(g.img.wavedoneimg, 320, 198);
        gfx.setscale(1, 1);
        gfx.setcolor(255, 255, 255);
    } else {
        g.fadealpha -= 0.006f;
    }
    gfx.setalpha(1.0f);
    if (y < -30 && g.skipbanner == 0) {
        if (y < -999) gfx.setalpha(g.fadealpha);
        gfx.setscale(1.2f, 1.4f);
        float bx = 318 + g.rng.rnd(0, 4);
        float by = 198 + g.rng.rnd(0, 4);
        gfx.drawimage(g.img.wavedoneimg, bx, by);
        gfx.setalpha(1.0f);
        gfx.setscale(1, 1);
        if (g.seqtmr == -1) {
            playsfx(g, endwavesnd);
            g.seqtmr = 0;
            g.player.score += 2000;
            g.player.wave += 1;
        }
    }
    if ((g.fadealpha <= 0 || g.skipbanner == 1) && y < -299) {
        g.getready = 1;
        g.wavedone = 0;
        g.fadealpha = 1.0f;
        g.seqtmr = 0;
        g.skipbanner = 0;
    }
}

void gameoverstep(Game& g) {
    g.gfx.setblend(kBlendAlpha);
    g.gfx.setalpha(g.fadealpha);
    g.gfx.drawimage(g.img.gameoverimg, 320, 200);
    g.gfx.setalpha(1.0f);
    // The ship's explosion plays out over the banner.
    walk(g, g.splatlist);
    walk(g, g.partlist);
    g.seqtmr += 1;
    if (g.seqtmr > 120) g.fadealpha -= 0.006f;
    if (!(g.fadealpha > 0)) {
        g.player.reset(g);
        g.gameover = 0;
        g.player.dead = 0;
        g.titlescr = 1;
        g.spawndelay = 30;
        g.wavetype = kNormalWaveA;
        playmusic(g, kTitleTrack);
        g.input.flushmouse();
    }
}

void f1step(Game& g) {
    stopmusic(g);
    g.gfx.cls();
    presentframe(g, "blank", false);
    g.pf.delay(1000);
    g.titlescr = 1;
    g.control = 0;
    g.getready = 0;
    g.wavedone = 0;
    g.gameover = 0;
    g.skipbanner = 0;
    g.player.dead = 0;
    playmusic(g, kTitleTrack);
    g.spawndelay = 25;
    g.wavetype = kNormalWaveA;
    clearplayfield(g);
    g.input.flushkeys();
    g.input.flushmouse();
    g.player.reset(g);
}

const char* screenname(const Game& g) {
    if (g.getready) return "getready";
    if (g.wavedone) return "wavedone";
    if (g.gameover) return "gameover";
    if (g.titlescr) return "title";
    return "play";
}

}  // namespace vx
