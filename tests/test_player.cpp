// The player side: stars, the ship, laser shots and the score display.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fixture.h"
#include "player/scores.h"

namespace vx {
namespace {

using test::expectneutral;
using test::GameFixture;
using test::imageops;

int count(const std::vector<Sfx>& log, Sfx s) {
    return static_cast<int>(std::count(log.begin(), log.end(), s));
}

// ---------------------------------------------------------------- Starfield

TEST(StarLayout, ComesFromTheUnseededGeneratorInDrawOrder) {
    GameFixture f;
    starfield_tag::Create(f.g);
    ASSERT_EQ(f.g.starlist.size(), 300u);

    // A fresh generator replays the layout: size, column, row per star.
    Rng fresh;
    int sizes[3] = {};
    f.g.starlist.each([&](const starfield_tag& s) {
        EXPECT_EQ(s.size, static_cast<int>(fresh.rnd(0, 3)));
        EXPECT_EQ(s.x, static_cast<int>(fresh.rnd(80, 560)));
        EXPECT_EQ(s.y, static_cast<int>(fresh.rnd(0, 480)));
        ASSERT_GE(s.size, 0);
        ASSERT_LE(s.size, 2);
        EXPECT_GE(s.x, 80);
        EXPECT_LE(s.x, 559);
        EXPECT_GE(s.y, 0);
        EXPECT_LE(s.y, 479);
        ++sizes[s.size];
    });
    for (int n : sizes) EXPECT_GT(n, 50);

    // A second game starts from the very same picture.
    GameFixture again;
    starfield_tag::Create(again.g);
    std::vector<int> a, b;
    f.g.starlist.each([&](const starfield_tag& s) { a.insert(a.end(), {s.x, s.y, s.size}); });
    again.g.starlist.each([&](const starfield_tag& s) { b.insert(b.end(), {s.x, s.y, s.size}); });
    EXPECT_EQ(a, b);
}

struct StarCase {
    int size;
    int plots;   // pixels in the pattern
    int speed;   // rows per frame
    int centre;  // grey level of the centre pixel
    int starty;  // reaches row 482 after (482 - starty) / speed updates
};

class StarPattern : public ::testing::TestWithParam<StarCase> {};

TEST_P(StarPattern, DrawsBeforeMovingAndRecyclesOnlyPastRow482) {
    const StarCase& c = GetParam();
    GameFixture f;
    starfield_tag& s = f.g.starlist.add();
    s.size = c.size;
    s.x = 300;
    s.y = c.starty;

    const int steps = (482 - c.starty) / c.speed;
    for (int i = 0; i < steps; ++i) {
        f.pf.gfx.clearops();
        int drawnat = s.y;
        walk(f.g, f.g.starlist);
        const auto& ops = f.pf.gfx.ops();
        ASSERT_EQ(static_cast<int>(ops.size()), c.plots);
        // The centre comes first, at the position before the move.
        EXPECT_EQ(ops[0].kind, OpKind::plot);
        EXPECT_EQ(ops[0].x, 300.0f);
        EXPECT_EQ(ops[0].y, static_cast<float>(drawnat));
        EXPECT_EQ(ops[0].st.r, c.centre);
        EXPECT_EQ(ops[0].st.blend, kBlendMask);
        expectneutral(f.pf.gfx);
    }
    // Exactly 482 is still kept.
    EXPECT_EQ(s.y, 482);
    EXPECT_EQ(s.x, 300);

    walk(f.g, f.g.starlist);
    EXPECT_EQ(s.y, -3);
    EXPECT_EQ(s.size, c.size);
    EXPECT_GE(s.x, 80);
    EXPECT_LE(s.x, 559);
}

INSTANTIATE_TEST_SUITE_P(Star, StarPattern,
                         ::testing::Values(StarCase{0, 9, 3, 250, 479}, StarCase{1, 5, 2, 200, 480},
                                           StarCase{2, 1, 1, 150, 480}));

TEST(StarPattern, LargestStarHaloColoursAndOrder) {
    GameFixture f;
    starfield_tag& s = f.g.starlist.add();
    s.size = 0, s.x = 100, s.y = 50;
    walk(f.g, f.g.starlist);
    struct P {
        int x, y, g, b;
    };
    const P want[9] = {{100, 50, 250, 250}, {99, 50, 150, 250},  {101, 50, 150, 250},
                       {100, 49, 150, 250}, {100, 51, 150, 250}, {98, 50, 100, 150},
                       {102, 50, 100, 150}, {100, 48, 100, 150}, {100, 52, 100, 150}};
    const auto& ops = f.pf.gfx.ops();
    ASSERT_EQ(ops.size(), 9u);
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ops[i].x, static_cast<float>(want[i].x));
        EXPECT_EQ(ops[i].y, static_cast<float>(want[i].y));
        EXPECT_EQ(ops[i].st.g, want[i].g);
        EXPECT_EQ(ops[i].st.b, want[i].b);
    }
}

// ---------------------------------------------------------------- Laser shots

struct RiseCase {
    int fromrow;
    int draws;
    int lastrow;
};

class ShotRise : public ::testing::TestWithParam<RiseCase> {};

TEST_P(ShotRise, MovingShotDrawnUntilItPassesRow10) {
    const RiseCase& c = GetParam();
    GameFixture f;
    lazershot_tag::Create(f.g, 0, 320, c.fromrow);

    std::vector<int> rows;
    int frames = 0;
    while (!f.g.shotlist.empty() && frames < 200) {
        f.pf.gfx.clearops();
        walk(f.g, f.g.shotlist);
        ++frames;
        for (const DrawOp& op : imageops(f.pf.gfx, f.g.img.shotimg))
            if (op.st.sx == 0.9f) rows.push_back(static_cast<int>(op.y));
        expectneutral(f.pf.gfx);
    }
    ASSERT_EQ(static_cast<int>(rows.size()), c.draws);
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i], c.fromrow - 8 * static_cast<int>(i));
    EXPECT_EQ(rows.back(), c.lastrow);
    // The moving shot leaves in its last draw's update; the tracer it made
    // one update earlier fades out eight frames later.
    EXPECT_EQ(frames, c.draws + 8);
}

INSTANTIATE_TEST_SUITE_P(Shot, ShotRise,
                         ::testing::Values(RiseCase{280, 34, 16}, RiseCase{460, 57, 12}));

TEST(ShotRise, NewestTracerDrawnInTheSameFrameAboveTheShot) {
    GameFixture f;
    lazershot_tag::Create(f.g, 0, 200, 300);
    walk(f.g, f.g.shotlist);
    auto ops = imageops(f.pf.gfx, f.g.img.shotimg);
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].y, 300.0f);
    EXPECT_EQ(ops[0].st.sx, 0.9f);
    EXPECT_EQ(ops[0].st.blend, kBlendAlpha);
    EXPECT_EQ(ops[1].y, 292.0f);
    EXPECT_EQ(ops[1].x, 200.0f);
    EXPECT_EQ(ops[1].st.sx, 0.7f);
    EXPECT_EQ(ops[1].st.sy, 0.7f);
    EXPECT_EQ(ops[1].st.alpha, 1.0f);
    EXPECT_EQ(f.g.shotlist.size(), 2u);
}

TEST(ShotRise, LastTracerAboveRow10IsDrawnOnceThenGone) {
    GameFixture f;
    lazershot_tag::Create(f.g, 0, 200, 16);
    walk(f.g, f.g.shotlist);
    // The shot moved to row 8: it left, and its tracer was drawn once and left too.
    EXPECT_TRUE(f.g.shotlist.empty());
    auto ops = imageops(f.pf.gfx, f.g.img.shotimg);
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[1].y, 8.0f);
}

struct TracerCase {
    int row;
    int draws;
};

class ShotTracer : public ::testing::TestWithParam<TracerCase> {};

TEST_P(ShotTracer, FadesByTenthsUntilGone) {
    const TracerCase& c = GetParam();
    GameFixture f;
    lazershot_tag::Create(f.g, 7, 200, c.row);  // any non-zero makes a tracer
    ASSERT_EQ(f.g.shotlist.front()->tracer, 1);

    std::vector<float> alphas;
    for (int i = 0; i < 20 && !f.g.shotlist.empty(); ++i) {
        f.pf.gfx.clearops();
        walk(f.g, f.g.shotlist);
        for (const DrawOp& op : imageops(f.pf.gfx, f.g.img.shotimg)) {
            EXPECT_EQ(op.st.sx, 0.7f);
            EXPECT_EQ(op.y, static_cast<float>(c.row));  // tracers never move
            alphas.push_back(op.st.alpha);
        }
    }
    EXPECT_TRUE(f.g.shotlist.empty());
    ASSERT_EQ(static_cast<int>(alphas.size()), c.draws);
    for (size_t i = 0; i < alphas.size(); ++i)
        EXPECT_NEAR(alphas[i], 1.0f - 0.1f * static_cast<float>(i), 1e-5f);
}

INSTANTIATE_TEST_SUITE_P(Shot, ShotTracer,
                         ::testing::Values(TracerCase{200, 10}, TracerCase{10, 10},
                                           TracerCase{9, 1}));

// ---------------------------------------------------------------- Player ship

struct Ship : GameFixture {
    Ship() { g.player.reset(g); }
    // The ship's share of one frame in play: shots are walked before it.
    void frame(int control = 1) {
        pf.gfx.clearops();
        walk(g, g.shotlist);
        g.player.update(g, control);
    }
    int shotsfired() const { return count(g.snd.log.sfx, shotsnd); }
};

struct ClickCase {
    int gap;  // frames between the two clicks
    int shots;
};

class PlayerFire : public ::testing::TestWithParam<ClickCase> {};

TEST_P(PlayerFire, OneShotPerClickAndEightFramesCooldown) {
    const ClickCase& c = GetParam();
    Ship s;
    for (int i = 0; i < 30; ++i) {
        if (i == 0) s.pf.input.press(Key::mouseleft);
        if (i == c.gap) s.pf.input.press(Key::mouseleft);
        s.frame();
        // A press is used up in the frame it is seen, whether it fires or not.
        EXPECT_EQ(s.pf.input.pending(Key::mouseleft), 0);
    }
    EXPECT_EQ(s.shotsfired(), c.shots);
}

INSTANTIATE_TEST_SUITE_P(Player, PlayerFire,
                         ::testing::Values(ClickCase{0, 1},  // two presses in one frame
                                           ClickCase{1, 1}, ClickCase{7, 1}, ClickCase{8, 2},
                                           ClickCase{20, 2}));

TEST(PlayerFire, ShotStartsAtTheDrawnShipAndShowsNextFrame) {
    Ship s;
    s.pf.movemouse(200, 350);
    s.frame();  // the ship is drawn at (320, 400), then follows the pointer
    EXPECT_EQ(s.g.player.x, 200);
    s.pf.input.press(Key::mouseleft);
    s.frame();
    auto ship = imageops(s.pf.gfx, s.g.img.shipimg);
    ASSERT_EQ(ship.size(), 1u);
    EXPECT_EQ(ship[0].x, 200.0f);
    EXPECT_EQ(ship[0].y, 350.0f);
    EXPECT_EQ(s.drawsof(s.g.img.shotimg), 0);  // created after the walk of shots
    ASSERT_EQ(s.g.shotlist.size(), 1u);
    const lazershot_tag& shot = *s.g.shotlist.front();
    EXPECT_EQ(shot.x, 200);
    EXPECT_EQ(shot.y, 350);
    EXPECT_EQ(shot.tracer, 0);
    EXPECT_EQ(shot.alpha, 1.0f);
    EXPECT_EQ(s.g.player.shotctr, 8);

    s.frame();
    auto shots = imageops(s.pf.gfx, s.g.img.shotimg);
    ASSERT_FALSE(shots.empty());
    EXPECT_EQ(shots[0].y, 350.0f);
}

struct HyperCase {
    int second;  // frame of the second right click, counted from the first
    int faint;   // frames drawn at alpha 0.2
    int sounds;
};

class PlayerHyper : public ::testing::TestWithParam<HyperCase> {};

TEST_P(PlayerHyper, FaintForExactlyHundredFrames) {
    const HyperCase& c = GetParam();
    Ship s;
    int faint = 0, last = -1;
    for (int i = 0; i < 320; ++i) {
        if (i == 0 || i == c.second) s.pf.input.press(Key::mouseright);
        s.frame();
        auto ship = imageops(s.pf.gfx, s.g.img.shipimg);
        ASSERT_EQ(ship.size(), 1u);
        EXPECT_EQ(ship[0].st.blend, kBlendAlpha);
        if (ship[0].st.alpha == 0.2f) {
            ++faint;
            if (i == 0) ADD_FAILURE() << "faint in the click's own frame";
            last = i;
        } else {
            EXPECT_EQ(ship[0].st.alpha, 1.0f);
        }
        expectneutral(s.pf.gfx);
    }
    EXPECT_EQ(faint, c.faint);
    EXPECT_EQ(last, c.faint);  // frames 1..faint, without a gap
    EXPECT_EQ(count(s.g.snd.log.sfx, hyperspsnd), c.sounds);
}

INSTANTIATE_TEST_SUITE_P(Player, PlayerHyper,
                         ::testing::Values(HyperCase{50, 100, 1}, HyperCase{99, 100, 1},
                                           HyperCase{100, 200, 2}));

struct BoxCase {
    int mx, my;  // where the pointer is moved
    int x, y;    // where ship and pointer end up
};

class PlayerBox : public ::testing::TestWithParam<BoxCase> {};

TEST_P(PlayerBox, ClampsPerAxisAndMovesThePointerBack) {
    const BoxCase& c = GetParam();
    Ship s;
    s.pf.movemouse(c.mx, c.my);
    s.frame();
    EXPECT_EQ(s.g.player.x, c.x);
    EXPECT_EQ(s.g.player.y, c.y);
    EXPECT_EQ(s.pf.mousex(), c.x);
    EXPECT_EQ(s.pf.mousey(), c.y);
    // Drawn where the previous frame left it, at the ship's own scale.
    auto ship = imageops(s.pf.gfx, s.g.img.shipimg);
    ASSERT_EQ(ship.size(), 1u);
    EXPECT_EQ(ship[0].x, 320.0f);
    EXPECT_EQ(ship[0].y, 400.0f);
    EXPECT_EQ(ship[0].st.sx, 0.9f);
    EXPECT_EQ(ship[0].st.sy, 0.7f);
    s.frame();
    ship = imageops(s.pf.gfx, s.g.img.shipimg);
    EXPECT_EQ(ship[0].x, static_cast<float>(c.x));
    EXPECT_EQ(ship[0].y, static_cast<float>(c.y));
}

INSTANTIATE_TEST_SUITE_P(Player, PlayerBox,
                         ::testing::Values(BoxCase{200, 300, 200, 300}, BoxCase{320, 279, 320, 280},
                                           BoxCase{320, 461, 320, 460}, BoxCase{94, 400, 95, 400},
                                           BoxCase{546, 400, 545, 400}, BoxCase{95, 280, 95, 280},
                                           BoxCase{545, 460, 545, 460}, BoxCase{0, 0, 95, 280},
                                           BoxCase{639, 479, 545, 460}, BoxCase{10, 470, 95, 460}));

TEST(PlayerShip, ControlZeroOnlyAnimatesAndDraws) {
    Ship s;
    s.pf.movemouse(10, 10);
    s.pf.input.press(Key::mouseleft);
    s.pf.input.press(Key::mouseright);
    for (int i = 0; i < 8; ++i) {
        s.frame(0);
        auto ship = imageops(s.pf.gfx, s.g.img.shipimg);
        ASSERT_EQ(ship.size(), 1u);
        EXPECT_EQ(ship[0].frame, (i + 1) % 4);  // 1, 2, 3, 0, ...
    }
    EXPECT_EQ(s.g.player.x, 320);
    EXPECT_EQ(s.g.player.y, 400);
    EXPECT_EQ(s.pf.mousex(), 10);
    EXPECT_EQ(s.pf.mousey(), 10);
    EXPECT_EQ(s.pf.input.pending(Key::mouseleft), 1);
    EXPECT_EQ(s.pf.input.pending(Key::mouseright), 1);
    EXPECT_TRUE(s.g.shotlist.empty());
    EXPECT_EQ(s.g.player.hyperctr, 0);
}

TEST(PlayerShip, DeadShipIsFrozenAndInvisible) {
    Ship s;
    s.g.player.dead = 1;
    s.g.player.hyperctr = 40;
    s.g.player.shotctr = 5;
    s.g.player.frame = 2;
    s.pf.input.press(Key::mouseleft);
    s.pf.movemouse(100, 300);
    for (int i = 0; i < 3; ++i) s.frame();
    EXPECT_TRUE(s.pf.gfx.ops().empty());
    EXPECT_EQ(s.g.player.hyperctr, 40);
    EXPECT_EQ(s.g.player.shotctr, 5);
    EXPECT_EQ(s.g.player.frame, 2);
    EXPECT_EQ(s.g.player.x, 320);
    EXPECT_TRUE(s.g.shotlist.empty());
}

TEST(PlayerShip, ResetKeepsHyperspaceAnimationAndProgress) {
    GameFixture f;
    player_tag& p = f.g.player;
    p.x = 100, p.y = 290, p.shotctr = 6, p.hyperctr = 70, p.frame = 3, p.dead = 1;
    p.score = 500, p.hscore = 900, p.wave = 4, p.newhs = 1;
    f.pf.movemouse(5, 5);
    p.reset(f.g);
    EXPECT_EQ(p.x, 320);
    EXPECT_EQ(p.y, 400);
    EXPECT_EQ(p.shotctr, 0);
    EXPECT_EQ(f.pf.mousex(), 320);
    EXPECT_EQ(f.pf.mousey(), 400);
    EXPECT_EQ(p.hyperctr, 70);
    EXPECT_EQ(p.frame, 3);
    EXPECT_EQ(p.dead, 1);
    EXPECT_EQ(p.score, 500);
    EXPECT_EQ(p.hscore, 900);
    EXPECT_EQ(p.wave, 4);
    EXPECT_EQ(p.newhs, 1);
}

// ---------------------------------------------------------------- Score display

struct Digit {
    int x, frame;
    bool operator==(const Digit&) const = default;
};

struct HudCase {
    int score, hscore, wave;
    std::vector<Digit> digits;  // score, best, wave, left to right
};

class ScoreDisplay : public ::testing::TestWithParam<HudCase> {};

TEST_P(ScoreDisplay, LabelsAndDigitsInPlace) {
    const HudCase& c = GetParam();
    GameFixture f;
    f.g.player.score = c.score;
    f.g.player.hscore = c.hscore;
    f.g.player.wave = c.wave;
    drawscores(f.g);

    auto labels = imageops(f.pf.gfx, f.g.img.labelimg);
    ASSERT_EQ(labels.size(), 3u);
    const float labelx[3] = {80, 278, 478};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(labels[i].x, labelx[i]);
        EXPECT_EQ(labels[i].y, 0.0f);
        EXPECT_EQ(labels[i].frame, i);
        EXPECT_EQ(labels[i].st.blend, kBlendMask);
    }
    std::vector<Digit> got;
    for (const DrawOp& op : imageops(f.pf.gfx, f.g.img.digitimg)) {
        EXPECT_EQ(op.y, 22.0f);
        EXPECT_EQ(op.st.blend, kBlendMask);
        got.push_back({static_cast<int>(op.x), op.frame});
    }
    EXPECT_EQ(got, c.digits);
    expectneutral(f.pf.gfx);
}

INSTANTIATE_TEST_SUITE_P(
    Score, ScoreDisplay,
    ::testing::Values(
        // Start-up: 00, 00, 01.
        HudCase{0, 0, 1, {{80, 0}, {97, 0}, {304, 0}, {321, 0}, {528, 0}, {545, 1}}},
        HudCase{25, 25, 12, {{80, 2}, {97, 5}, {304, 2}, {321, 5}, {528, 1}, {545, 2}}},
        HudCase{7, 10, 3, {{80, 0}, {97, 7}, {304, 1}, {321, 0}, {528, 0}, {545, 3}}},
        HudCase{12345,
                12345,
                100,
                {{80, 1},
                 {97, 2},
                 {114, 3},
                 {131, 4},
                 {148, 5},  // score
                 {280, 1},
                 {297, 2},
                 {314, 3},
                 {331, 4},
                 {348, 5},  // best: 320 - 8 * 5
                 {512, 1},
                 {529, 0},
                 {546, 0}}}));  // wave: 560 - 16 * 3

TEST(ScoreDisplay, BestFollowsScoreAndRecordSoundsOncePerGame) {
    GameFixture f;
    player_tag& p = f.g.player;
    p.hscore = 5000;
    struct Step {
        int score;
        int newgame;  // the game start clears newhs and the score
        int hscore;   // best score after the display
        int sounds;   // record sounds so far
    };
    const Step steps[] = {
        {0, 0, 5000, 0},    {5000, 0, 5000, 0},  // equal is no record
        {5025, 0, 5025, 1}, {5100, 0, 5100, 1}, {5100, 0, 5100, 1},
        {0, 1, 5100, 1},    {25, 0, 5100, 1},   {5125, 0, 5125, 2},
    };
    for (const Step& st : steps) {
        SCOPED_TRACE(st.score);
        if (st.newgame) p.newhs = 0;
        p.score = st.score;
        f.pf.gfx.clearops();
        drawscores(f.g);
        EXPECT_EQ(p.hscore, st.hscore);
        EXPECT_EQ(count(f.g.snd.log.sfx, hscoresnd), st.sounds);
        // The best score is drawn as just updated.
        auto digits = imageops(f.pf.gfx, f.g.img.digitimg);
        ASSERT_GE(digits.size(), 8u);
        EXPECT_EQ(static_cast<int>(digits[digits.size() - 3].x), 320 - 8 * 4 + 17 * 3);
    }
}

}  // namespace
}  // namespace vx
