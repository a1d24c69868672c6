// A game on the headless platform, with its images cut and its lists empty,
// for testing entities directly.
#pragma once

#include <gtest/gtest.h>

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

// The drawing state every update must leave behind: white, opaque, unscaled,
// unturned. The blend mode is the update's own; it is checked when given.
inline void expectneutral(const DrawLayer& gfx, int blend = 0) {
    const DrawState& st = gfx.state();
    EXPECT_EQ(st.r, 255);
    EXPECT_EQ(st.g, 255);
    EXPECT_EQ(st.b, 255);
    EXPECT_EQ(st.alpha, 1.0f);
    EXPECT_EQ(st.sx, 1.0f);
    EXPECT_EQ(st.sy, 1.0f);
    EXPECT_EQ(st.rot, 0.0f);
    if (blend) {
        EXPECT_EQ(st.blend, blend);
    }
}

}  // namespace vx::test
