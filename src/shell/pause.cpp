// The pause: the frozen picture with the volume lines, F2 and F3 stepping the
// music and effect volumes.
#include <cstdio>
#include <string_view>

#include "player/scores.h"
#include "shell/game.h"
#include "shell/shell.h"

namespace vx {

void pausescreen(Game& g) {
    DrawLayer& gfx = g.gfx;
    Input& in = g.input;
    int savedx = g.player.x, savedy = g.player.y;
    drawscores(g);
    sidebars(g);
    presentframe(g, "pause", false);
    // The picture as it was shown, kept for the length of the pause.
    g.pf.grabpicture(g.pauseimg);
    in.flushkeys();
    in.flushmouse();

    // The two volume lines, built in place: the pause allocates nothing per frame.
    char musicbuf[64], sfxbuf[64];
    for (;;) {
        if (in.hit(Key::space)) break;
        if (in.hit(Key::f2)) {
            g.musicstep += 1;
            g.musicvol += 0.1f;
            if (g.musicstep > 10) {
                g.musicstep = 0;
                g.musicvol = 0.0f;
            }
            setmusicvolume(g, g.musicvol);
        }
        if (in.hit(Key::f3)) {
            g.sfxstep += 1;
            g.sfxvol += 0.1f;
            if (g.sfxstep > 10) {
                g.sfxstep = 0;
                g.sfxvol = 0.0f;
            }
            playsfx(g, shotsnd);
        }
        gfx.setblend(kBlendSolid);
        gfx.drawimage(g.pauseimg, 0, 0);
        gfx.setblend(kBlendMask);
        gfx.drawtext(pausetxt[0], static_cast<float>(320 - DrawLayer::textwidth(pausetxt[0]) / 2),
                     180);
        gfx.setcolor(255, 255, 0);
        std::snprintf(musicbuf, sizeof musicbuf, "%s%s", pausetxt[1], voltxt[g.musicstep]);
        std::snprintf(sfxbuf, sizeof sfxbuf, "%s%s", pausetxt[2], voltxt[g.sfxstep]);
        const std::string_view musicline = musicbuf, sfxline = sfxbuf;
        gfx.drawtext(musicline, static_cast<float>(320 - DrawLayer::textwidth(musicline) / 2), 210);
        gfx.drawtext(sfxline, static_cast<float>(320 - DrawLayer::textwidth(sfxline) / 2), 230);
        gfx.setcolor(255, 255, 255);
        presentframe(g, "pause");
        if (in.down(Key::escape) || in.down(Key::f1) || in.hit(Key::mouseleft)) break;
        // The window's close request ends the pause like Escape does.
        if (g.pf.quitrequested()) break;
    }
    g.player.x = savedx;
    g.player.y = savedy;
    g.pf.movemouse(savedx, savedy);
}

}  // namespace vx
