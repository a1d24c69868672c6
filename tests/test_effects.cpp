// The effects: splats, score popups and particles.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fixture.h"

namespace vx {
namespace {

using test::expectneutral;
using test::GameFixture;
using test::imageops;

// ---------------------------------------------------------------- Splats

struct SplatRun {
    std::vector<DrawOp> draws;  // one per update that drew
    int updates = 0;            // updates until the splat left its list
};

SplatRun runsplat(GameFixture& f) {
    SplatRun r;
    while (!f.g.splatlist.empty() && r.updates < 100) {
        f.pf.gfx.clearops();
        walk(f.g, f.g.splatlist);
        ++r.updates;
        auto ops = imageops(f.pf.gfx, f.g.img.splatimg);
        EXPECT_LE(ops.size(), 1u);
        if (!ops.empty()) {
            EXPECT_EQ(r.draws.size() + 1, static_cast<size_t>(r.updates)) << "a gap in the draws";
            r.draws.push_back(ops[0]);
        }
        expectneutral(f.pf.gfx, kBlendAlpha);  // effects leave the alpha blend set
    }
    return r;
}

TEST(SplatLifetime, FortySevenDrawsThenRemovedInTheFortyEighthUpdate) {
    GameFixture f;
    beesplat_tag::Create(f.g, 150.5f, 220.25f, 0.5f);
    const float r0 = f.g.splatlist.front()->rotation;
    SplatRun r = runsplat(f);
    ASSERT_EQ(r.draws.size(), 47u);
    EXPECT_EQ(r.updates, 48);

    // Frames 1 to 6: seven updates of frame 1, eight of every other.
    struct Span {
        int frame, first, last;
    };
    const Span spans[] = {{1, 1, 7},   {2, 8, 15},  {3, 16, 23},
                          {4, 24, 31}, {5, 32, 39}, {6, 40, 47}};
    for (const Span& s : spans)
        for (int n = s.first; n <= s.last; ++n) EXPECT_EQ(r.draws[n - 1].frame, s.frame) << n;

    for (size_t i = 0; i < r.draws.size(); ++i) {
        SCOPED_TRACE(i);
        const DrawOp& op = r.draws[i];
        const float n = static_cast<float>(i);
        EXPECT_EQ(op.x, 150.5f);
        EXPECT_EQ(op.y, 220.25f);
        EXPECT_EQ(op.st.blend, kBlendAlpha);
        EXPECT_NEAR(op.st.alpha, 1.0f - 0.01f * n, 1e-5f);
        EXPECT_NEAR(op.st.rot, r0 + 15.0f * n, 1e-3f);
        EXPECT_EQ(op.st.sx, op.st.sy);
        EXPECT_NEAR(op.st.sx, 0.5f + 0.05f * n, 1e-5f);
    }
    EXPECT_NEAR(r.draws.back().st.alpha, 0.54f, 1e-5f);
    EXPECT_NEAR(r.draws.back().st.sx, 2.8f, 1e-5f);
}

TEST(SplatLifetime, ZeroScaleStartsInvisibleAndGrows) {
    GameFixture f;
    beesplat_tag::Create(f.g, 300, 300, 0.0f);
    SplatRun r = runsplat(f);
    ASSERT_EQ(r.draws.size(), 47u);
    EXPECT_EQ(r.draws[0].st.sx, 0.0f);
    EXPECT_EQ(r.draws[1].st.sx, 0.05f);
}

TEST(SplatCreate, RandomStartAngleDrawnOncePerSplat) {
    GameFixture f;
    Rng replay = f.g.rng;
    beesplat_tag::Create(f.g, 100, 100, 1.0f);
    beesplat_tag::Create(f.g, 100, 100, 1.0f);
    ASSERT_EQ(f.g.splatlist.size(), 2u);
    std::vector<const beesplat_tag*> s;
    f.g.splatlist.each([&](const beesplat_tag& b) { s.push_back(&b); });
    EXPECT_EQ(s[0]->rotation, replay.rnd(0, 360));
    EXPECT_EQ(s[1]->rotation, replay.rnd(0, 360));
    EXPECT_NE(s[0]->rotation, s[1]->rotation);
    EXPECT_EQ(f.g.rng.state(), replay.state());
    for (const beesplat_tag* b : s) {
        EXPECT_EQ(b->frame, 1);
        EXPECT_EQ(b->frametmr, 0);
        EXPECT_EQ(b->alpha, 1.0f);
        EXPECT_EQ(b->scale, 1.0f);
        EXPECT_GE(b->rotation, 0.0f);
        EXPECT_LT(b->rotation, 360.0f);
    }
}

// ---------------------------------------------------------------- Score popups

TEST(PopupLifetime, HundredAndOneDrawsInPlaceThenGone) {
    GameFixture f;
    points_tag::Create(f.g, 210.5f, 330.0f, 5);
    std::vector<DrawOp> draws;
    int updates = 0;
    while (!f.g.pointslist.empty() && updates < 200) {
        f.pf.gfx.clearops();
        walk(f.g, f.g.pointslist);
        ++updates;
        for (const DrawOp& op : imageops(f.pf.gfx, f.g.img.ptsimg)) draws.push_back(op);
        expectneutral(f.pf.gfx, kBlendAlpha);  // effects leave the alpha blend set
    }
    ASSERT_EQ(draws.size(), 101u);
    EXPECT_EQ(updates, 101);
    for (size_t i = 0; i < draws.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(draws[i].x, 210.5f);
        EXPECT_EQ(draws[i].y, 330.0f);
        EXPECT_EQ(draws[i].frame, 5);
        EXPECT_EQ(draws[i].st.sx, 1.0f);
        EXPECT_EQ(draws[i].st.rot, 0.0f);
        EXPECT_NEAR(draws[i].st.alpha, 1.0f - 0.01f * static_cast<float>(i), 1e-5f);
    }
    EXPECT_GT(draws.back().st.alpha, 0.0f);
    EXPECT_LT(draws.back().st.alpha, 1e-6f);
}

TEST(PopupLifetime, TwoPopupsFadeEachOnItsOwnCount) {
    GameFixture f;
    points_tag::Create(f.g, 100, 100, 0);
    for (int i = 0; i < 50; ++i) walk(f.g, f.g.pointslist);
    points_tag::Create(f.g, 100, 100, 7);
    f.walkn(f.g.pointslist, 51);
    ASSERT_EQ(f.g.pointslist.size(), 1u);
    EXPECT_EQ(f.g.pointslist.front()->frame, 7);
    f.walkn(f.g.pointslist, 50);
    EXPECT_TRUE(f.g.pointslist.empty());
}

// ---------------------------------------------------------------- Particles

TEST(ParticleCreate, CountZeroOrLessMakesNothing) {
    GameFixture f;
    const uint64_t before = f.g.rng.state();
    particle_tag::Create(f.g, 100, 100, 0, 0.5f, 0);
    particle_tag::Create(f.g, 100, 100, 0, 0.5f, -3);
    EXPECT_TRUE(f.g.partlist.empty());
    EXPECT_EQ(f.g.rng.state(), before);
}

TEST(ParticleCreate, FourDrawsPerParticleInOrder) {
    GameFixture f;
    Rng replay = f.g.rng;
    particle_tag::Create(f.g, 123.0f, 456.0f, 1, 0.4f, 80);
    ASSERT_EQ(f.g.partlist.size(), 80u);
    f.g.partlist.each([&](const particle_tag& p) {
        EXPECT_EQ(p.scale, replay.rnd(0.1f, 0.4f));
        EXPECT_EQ(p.rotation, replay.rnd(0, 360));
        EXPECT_EQ(p.xstp, replay.rnd(-2.5f, 2.5f));
        EXPECT_EQ(p.ystp, replay.rnd(-2.5f, 0));
        EXPECT_EQ(p.x, 123.0f);
        EXPECT_EQ(p.y, 456.0f);
        EXPECT_EQ(p.frame, 1);
        EXPECT_EQ(p.alpha, 1.0f);
        EXPECT_GE(p.xstp, -2.5f);
        EXPECT_LT(p.xstp, 2.5f);
        EXPECT_GE(p.ystp, -2.5f);
        EXPECT_LT(p.ystp, 0.0f);
        EXPECT_GE(p.rotation, 0.0f);
        EXPECT_LT(p.rotation, 360.0f);
    });
    EXPECT_EQ(f.g.rng.state(), replay.state());
}

struct ScaleCase {
    float maxscale, lo, hi;  // scales fall in [lo, hi)
};

class ParticleScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ParticleScale, BetweenPointOneAndMaxscale) {
    const ScaleCase& c = GetParam();
    GameFixture f;
    particle_tag::Create(f.g, 0, 0, 0, c.maxscale, 500);
    float smallest = 10, largest = -10;
    f.g.partlist.each([&](const particle_tag& p) {
        EXPECT_GE(p.scale, c.lo);
        EXPECT_LT(p.scale, c.hi);
        smallest = std::min(smallest, p.scale);
        largest = std::max(largest, p.scale);
    });
    // The whole range is used, not one end of it.
    EXPECT_LT(smallest, c.lo + (c.hi - c.lo) * 0.1f);
    EXPECT_GT(largest, c.hi - (c.hi - c.lo) * 0.1f);
}

INSTANTIATE_TEST_SUITE_P(Particle, ParticleScale,
                         ::testing::Values(ScaleCase{0.05f, 0.05f, 0.1f},
                                           ScaleCase{0.5f, 0.1f, 0.5f},
                                           ScaleCase{1.2f, 0.1f, 1.2f}));

TEST(ParticleUpdate, FirstDrawIsOneStepOnWithGravityAfterTheMove) {
    GameFixture f;
    particle_tag::Create(f.g, 200.0f, 150.0f, 0, 0.5f, 1);
    const particle_tag p0 = *f.g.partlist.front();
    Rng replay = f.g.rng;
    walk(f.g, f.g.partlist);
    auto ops = imageops(f.pf.gfx, f.g.img.splatimg);
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].x, p0.x + p0.xstp);
    EXPECT_EQ(ops[0].y, p0.y + p0.ystp);
    EXPECT_EQ(ops[0].frame, 0);
    EXPECT_EQ(ops[0].st.rot, p0.rotation + 15.0f);
    EXPECT_EQ(ops[0].st.sx, p0.scale);
    EXPECT_EQ(ops[0].st.sy, p0.scale);
    EXPECT_EQ(ops[0].st.alpha, 1.0f);
    EXPECT_EQ(ops[0].st.blend, kBlendAlpha);
    expectneutral(f.pf.gfx, kBlendAlpha);  // effects leave the alpha blend set

    const particle_tag& p = *f.g.partlist.front();
    EXPECT_EQ(p.ystp, p0.ystp + replay.rnd(0.01f, 0.1f));
    EXPECT_EQ(p.xstp, p0.xstp);
    EXPECT_EQ(p.alpha, 1.0f - 0.001f);
    EXPECT_EQ(p.scale, p0.scale);

    // The next draw shows the faded alpha of the previous step.
    f.pf.gfx.clearops();
    walk(f.g, f.g.partlist);
    EXPECT_EQ(imageops(f.pf.gfx, f.g.img.splatimg)[0].st.alpha, 1.0f - 0.001f);
}

struct EdgeCase {
    float y, ystp, alpha;
    bool removed;  // after one update
};

class ParticleEdge : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(ParticleEdge, LeavesOnlyBelowRow480OrWhenFaded) {
    const EdgeCase& c = GetParam();
    GameFixture f;
    particle_tag& p = f.g.partlist.add();
    p.x = 300, p.y = c.y, p.ystp = c.ystp, p.alpha = c.alpha, p.scale = 0.3f;
    p.xstp = -400;  // far off the playfield's side changes nothing
    walk(f.g, f.g.partlist);
    EXPECT_EQ(f.g.partlist.empty(), c.removed);
    // It is drawn in its last update all the same.
    EXPECT_EQ(f.drawsof(f.g.img.splatimg), 1);
}

INSTANTIATE_TEST_SUITE_P(Particle, ParticleEdge,
                         ::testing::Values(EdgeCase{470.0f, 10.0f, 1.0f, false},  // exactly 480
                                           EdgeCase{470.0f, 10.5f, 1.0f, true},
                                           EdgeCase{479.0f, 1.5f, 1.0f, true},
                                           EdgeCase{-300.0f, -5.0f, 1.0f, false},  // above
                                           EdgeCase{200.0f, 0.0f, 0.001f, true},   // faded
                                           EdgeCase{200.0f, 0.0f, 0.0015f, false}));

TEST(ParticleUpdate, EveryBurstFallsOffTheBottom) {
    GameFixture f;
    particle_tag::Create(f.g, 300.0f, 100.0f, 1, 0.4f, 80);
    int frames = 0;
    float lowestalpha = 1.0f;
    while (!f.g.partlist.empty() && frames < 1001) {
        f.g.partlist.each(
            [&](const particle_tag& p) { lowestalpha = std::min(lowestalpha, p.alpha); });
        walk(f.g, f.g.partlist);
        f.pf.gfx.clearops();
        ++frames;
    }
    EXPECT_TRUE(f.g.partlist.empty());
    EXPECT_GT(lowestalpha, 0.35f);  // gone by falling, long before fading out
}

}  // namespace
}  // namespace vx
