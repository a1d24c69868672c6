// A game on the headless platform, with its images cut and its lists empty,
// for testing entities directly.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless.h"
#include "shell/game.h"

namespace vx::test {

// The draws of one image among the operations recorded since the last clear.
inline std::vector<DrawOp> imageops(const DrawLayer& gfx, const Image& img) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : gfx.ops())
        if (op.kind == OpKind::image && op.img == &img) out.push_back(op);
    return out;
}

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
    int drawsof(const Image& img) const { return static_cast<int>(imageops(pf.gfx, img).size()); }
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
