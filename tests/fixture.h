// A game on the headless platform, with its images cut and its lists empty,
// for testing entities directly.
#pragma once

#include "platform/headless.h"
#include "shell/game.h"

namespace vx::test {

struct GameFixture {
    HeadlessPlatform pf;
    Game g{pf};

    GameFixture() {
        cutimages(g.img, sheetpicture());
        g.snd.log.enabled = true;
        g.player.wave = 1;
    }

    // Runs n updates of every member of a list.
    template <class T>
    void walkn(EntityList<T>& list, int n) {
        for (int i = 0; i < n; ++i) walk(g, list);
    }

    // Drawing operations recorded so far that draw the given image.
    int drawsof(const Image& img) const {
        int n = 0;
        for (const DrawOp& op : pf.gfx.ops())
            if (op.kind == OpKind::image && op.img == &img) ++n;
        return n;
    }
};

}  // namespace vx::test
