// The bees and their shots, frame by frame: the swarm merge, attack-bee flight
// and firing, hits and what they are worth, bonus bees, escapes, the spawn step
// and the ship's destruction.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "bees/shiphit.h"
#include "bees/spawn.h"
#include "fixture.h"

namespace vx {
namespace {

// Makes every frame of an image fully opaque, so where a hit lands depends on
// the bee logic and not on the outline of the art.
void makesolid(Image& img) {
    for (uint32_t& p : img.pixels) p = rgba(255, 255, 255, 255);
}

// A game in play with the ship at the bottom; the colliding images are solid.
struct World : test::GameFixture {
    World() {
        makesolid(g.img.beeimg);
        makesolid(g.img.shotimg);
        makesolid(g.img.shipimg);
        makesolid(g.img.beeshotimg);
        g.titlescr = 0;
        g.control = 1;
        g.player.x = 320;
        g.player.y = 440;
    }

    // An attack bee that neither fires nor drifts unless a test asks for it.
    starbee_tag& attack(float x, float y, float rotation, int speed, float alpha, int valueid = 1,
                        float scale = 0.9f) {
        starbee_tag& b = g.beelist.add();
        b.btype = kAttackBee;
        b.x = x;
        b.y = y;
        b.rotation = rotation;
        b.speed = speed;
        b.alpha = alpha;
        b.valueid = valueid;
        b.scale = scale;
        b.shotctr = 100000;
        return b;
    }

    starbee_tag& bonus(float x, float y, int speed, int spinning, float ystp = 0.0f,
                       float rotation = 179.0f) {
        starbee_tag& b = g.beelist.add();
        b.btype = kBonusBee;
        b.x = x;
        b.y = y;
        b.speed = speed;
        b.spinning = spinning;
        b.ystp = ystp;
        b.rotation = rotation;
        b.alpha = 1.0f;
        b.scale = 0.5f;
        return b;
    }

    lazershot_tag& shot(int x, int y, int tracer = 0) {
        lazershot_tag& s = g.shotlist.add();
        s.x = x;
        s.y = y;
        s.tracer = tracer;
        s.alpha = 1.0f;
        return s;
    }

    void frame() { walk(g, g.beelist); }

    std::vector<const starbee_tag*> bees(int btype) const {
        std::vector<const starbee_tag*> out;
        g.beelist.each([&](const starbee_tag& b) {
            if (b.btype == btype) out.push_back(&b);
        });
        return out;
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const DrawOp& op : pf.gfx.ops())
            if (op.kind == OpKind::text) out.emplace_back(pf.gfx.text(op));
        return out;
    }
};

// The merge scale as the game sums it: 0.2, then 0.1 for every other survivor.
float mergescale(int n) {
    float m = 0.2f;
    for (int i = 1; i < n; ++i) m += 0.1f;
    return m;
}

TEST(SwarmMerge, SurvivorsGiveScaleValueAndSpeed) {
    struct Row {
        int alive;
        float scale;
        int valueid, speed, points;
    };
    const Row table[] = {{8, 0.9f, 1, 2, 50},   {7, 0.8f, 2, 3, 100}, {6, 0.7f, 3, 4, 200},
                         {5, 0.6f, 4, 5, 400},  {4, 0.5f, 5, 6, 800}, {3, 0.4f, 6, 7, 1600},
                         {2, 0.3f, 7, 8, 3200}, {1, 0.2f, 7, 8, 3200}};
    for (const Row& row : table) {
        SCOPED_TRACE("alive " + std::to_string(row.alive));
        World w;
        w.g.wavesize = 10;
        starbee_tag::Create(w.g, kSwarmBee, 0, 0, 0, 5, 0);
        ASSERT_EQ(w.g.beelist.size(), 8u);
        // The earliest members are lost, so a later one does the merge.
        std::vector<starbee_tag*> ring;
        w.g.beelist.walk([&](starbee_tag& b) { ring.push_back(&b); });
        for (int i = 0; i < 8 - row.alive; ++i) w.g.beelist.remove(ring[i]);
        const starbee_tag& merger = *ring[8 - row.alive];
        const float sx = merger.x, sy = merger.y;
        const float heading = merger.rotation;

        w.walkn(w.g.beelist, 76);

        auto attackers = w.bees(kAttackBee);
        ASSERT_EQ(attackers.size(), 1u);
        EXPECT_TRUE(w.bees(kSwarmBee).empty());
        const starbee_tag& a = *attackers[0];
        EXPECT_EQ(a.scale, mergescale(row.alive));
        EXPECT_NEAR(a.scale, row.scale, 1e-6);
        EXPECT_EQ(a.valueid, row.valueid);
        EXPECT_EQ(a.speed, row.speed);
        EXPECT_EQ(valuetab[a.valueid], row.points);
        // Made at the merger's whole-pixel position, 152 pixels along its heading;
        // the attack bee has since flown its own first update.
        const float ex = sx + 152.0f * sindeg(heading);
        const float ey = sy - 152.0f * cosdeg(heading);
        EXPECT_NEAR(a.x, ex, 1.0f + static_cast<float>(a.speed) + 0.01f);
        EXPECT_NEAR(a.y, ey, 1.0f + static_cast<float>(a.speed) + 0.01f);
        EXPECT_EQ(std::count(w.g.snd.log.sfx.begin(), w.g.snd.log.sfx.end(), lswarmsnd), 1);
    }
}

TEST(SwarmMerge, FirstMadeMemberMergesInThe76thFrameCountingTheRelease) {
    World w;
    w.g.wavesize = 10;
    w.g.spawndelay = 1;
    spawnstep(w.g);  // frame 1: the release, then the bees' first update
    ASSERT_EQ(w.g.beelist.size(), 8u);
    const starbee_tag* first = w.g.beelist.front();
    const float firstx = first->x;
    w.frame();
    for (int f = 2; f <= 75; ++f) w.frame();
    EXPECT_EQ(w.bees(kSwarmBee).size(), 8u);
    EXPECT_TRUE(w.bees(kAttackBee).empty());
    EXPECT_EQ(w.g.beelist.front()->spawntravel, 150);

    w.g.snd.log.clear();
    w.frame();  // frame 76
    auto attackers = w.bees(kAttackBee);
    ASSERT_EQ(attackers.size(), 1u);
    EXPECT_EQ(w.g.beelist.size(), 1u);
    // Member 0 started at the top of the ring and flew straight down: the attack
    // bee appears over the centre column.
    EXPECT_NEAR(attackers[0]->x, firstx, 3.0f + 0.01f);
    EXPECT_EQ(w.g.snd.log.sfx, std::vector<Sfx>{lswarmsnd});
    // In the merge frame only the merging member is drawn, then the new bee:
    // the others left the list before their turn.
    EXPECT_EQ(w.drawsof(w.g.img.beeimg), 75 * 8 + 2);
}

TEST(SwarmRelease, RingOfEightFacingTheCentre) {
    World w;
    w.g.wavesize = 10;
    starbee_tag::Create(w.g, kSwarmBee, 0, 0, 0, 9, 0);
    ASSERT_EQ(w.g.beelist.size(), 8u);
    int i = 0;
    const starbee_tag* top = w.g.beelist.front();
    const float cx = top->x, cy = top->y + 150.0f;
    EXPECT_EQ(cx, std::trunc(cx));
    w.g.beelist.each([&](const starbee_tag& b) {
        SCOPED_TRACE(i);
        const float angle = static_cast<float>(180 + 45 * i);
        EXPECT_EQ(b.rotation, angle);
        EXPECT_EQ(b.btype, kSwarmBee);
        EXPECT_EQ(b.spawnid, 9);
        EXPECT_EQ(b.alpha, 0.1f);
        EXPECT_EQ(b.scale, 0.2f);
        EXPECT_EQ(b.x, cx - 150.0f * sindeg(angle));
        EXPECT_EQ(b.y, cy + 150.0f * cosdeg(angle));
        ++i;
    });
    EXPECT_GE(cx, 140.0f);
    EXPECT_LT(cx, 500.0f);
    EXPECT_GE(cy, 20.0f);
    EXPECT_LT(cy, 200.0f);
}

TEST(SpawnStep, ReleasesByWaveKindAndLimit) {
    struct Row {
        const char* what;
        int wavetype, titlescr, spawndelay, wavesize, spawnctr, frames;
        int swarms, bonusbees, madectr, spawnctrafter, sounds, spawntmr;
    };
    const Row table[] = {
        // Two swarms are made; the third release makes nothing but still counts ids.
        {"normal wave, limit 2", 0, 0, 5, 2, 0, 15, 2, 0, 2, 3, 2, 0},
        {"normal wave, between releases", 0, 0, 5, 2, 0, 7, 1, 0, 1, 1, 1, 2},
        {"ids wrap after 150", 1, 0, 5, 10, 150, 5, 1, 0, 1, 0, 1, 0},
        {"title screen: no limit, silent", 0, 1, 5, 2, 0, 15, 3, 0, 3, 3, 0, 0},
        {"bonus round: every 140 frames", 2, 0, 5, 2, 0, 280, 0, 2, 0, 0, 2, 0},
        {"bonus round: not yet", 2, 0, 5, 2, 0, 139, 0, 0, 0, 0, 0, 139},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.what);
        World w;
        w.g.wavetype = row.wavetype;
        w.g.titlescr = row.titlescr;
        w.g.spawndelay = row.spawndelay;
        w.g.wavesize = row.wavesize;
        w.g.spawnctr = row.spawnctr;
        for (int f = 0; f < row.frames; ++f) spawnstep(w.g);
        EXPECT_EQ(w.bees(kSwarmBee).size(), static_cast<size_t>(8 * row.swarms));
        EXPECT_EQ(w.bees(kBonusBee).size(), static_cast<size_t>(row.bonusbees));
        EXPECT_EQ(w.g.madectr, row.madectr);
        EXPECT_EQ(w.g.spawnctr, row.spawnctrafter);
        EXPECT_EQ(static_cast<int>(w.g.snd.log.sfx.size()), row.sounds);
        EXPECT_EQ(w.g.spawntmr, row.spawntmr);
    }
}

TEST(BonusCreate, EntersAtASideEdgeHeadingIn) {
    World w;
    for (int i = 0; i < 40; ++i) starbee_tag::Create(w.g, kBonusBee, 0, 0, 0, 0, 0);
    EXPECT_EQ(w.g.snd.log.sfx, std::vector<Sfx>(40, sswarmsnd));
    int left = 0;
    w.g.beelist.each([&](const starbee_tag& b) {
        EXPECT_EQ(b.btype, kBonusBee);
        EXPECT_EQ(b.alpha, 1.0f);
        EXPECT_EQ(b.scale, 0.5f);
        EXPECT_GE(b.speed, 2);
        EXPECT_LE(b.speed, 5);
        EXPECT_GE(b.y, 200.0f);
        EXPECT_LT(b.y, 300.0f);
        EXPECT_EQ(b.valueid, 0);
        if (b.x == 60.0f) {
            ++left;
            EXPECT_GE(b.rotation, 45.0f);
            EXPECT_LT(b.rotation, 90.0f);
        } else {
            EXPECT_EQ(b.x, 580.0f);
            EXPECT_GE(b.rotation, 270.0f);
            EXPECT_LT(b.rotation, 315.0f);
        }
    });
    EXPECT_GT(left, 0);
    EXPECT_LT(left, 40);
}

TEST(AttackCreate, HeadingSpeedAndFade) {
    World w;
    for (int v = 0; v < 8; ++v) starbee_tag::Create(w.g, kAttackBee, 100.0f, 200.0f, 0.5f, 3, v);
    int v = 0;
    w.g.beelist.each([&](const starbee_tag& b) {
        EXPECT_EQ(b.btype, kAttackBee);
        EXPECT_EQ(b.speed, v + 1);
        EXPECT_EQ(b.valueid, v);
        EXPECT_EQ(b.spawnid, 0);
        EXPECT_EQ(b.alpha, 0.1f);
        EXPECT_TRUE((b.rotation >= 0.0f && b.rotation < 45.0f) ||
                    (b.rotation >= 315.0f && b.rotation < 360.0f));
        EXPECT_GE(b.shotctr, 20);
        EXPECT_LE(b.shotctr, 99);
        ++v;
    });
    EXPECT_EQ(starbee_tag::Create(w.g, 5, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(w.g.beelist.size(), 8u);
}

TEST(AttackFlight, DiveStartsByStartHeading) {
    struct Row {
        float heading;
        int diveupdate;
    };
    const Row table[] = {{0.5f, 179},   {44.9f, 135}, {359.5f, 179},
                         {315.1f, 135}, {0.0f, 180},  {45.0f, 135}};
    for (const Row& row : table) {
        SCOPED_TRACE(row.heading);
        World w;
        w.g.player.x = 5000;  // far away: no drift decides anything here
        starbee_tag& b = w.attack(320.0f, 240.0f, row.heading, 1, 1.02f);
        int dive = 0;
        for (int k = 1; k <= 200 && dive == 0; ++k) {
            const float y0 = b.y;
            const int shots0 = b.shotctr;
            w.frame();
            if (b.y - y0 > 3.0f) {
                dive = k;
                EXPECT_EQ(b.shotctr, shots0);  // a diver no longer counts down to fire
            } else {
                EXPECT_EQ(b.shotctr, shots0 - 1);
            }
        }
        EXPECT_EQ(dive, row.diveupdate);
    }
}

TEST(AttackFlight, WrapsSideways) {
    struct Row {
        float x, expect;
    };
    const Row table[] = {{29.5f, 630.0f}, {630.5f, 30.0f}, {30.0f, 30.0f}, {630.0f, 630.0f}};
    for (const Row& row : table) {
        SCOPED_TRACE(row.x);
        World w;
        starbee_tag& b = w.attack(row.x, 200.0f, 90.0f, 0, 1.02f);
        w.frame();
        EXPECT_EQ(b.x, row.expect);
        EXPECT_EQ(b.y, 200.0f);
    }
}

TEST(AttackFlight, DiverDriftsTowardTheShipsColumn) {
    struct Row {
        float x;
        bool right;
    };
    const Row table[] = {{300.0f, true}, {299.5f, true}, {300.5f, false}};
    for (const Row& row : table) {
        SCOPED_TRACE(row.x);
        World w;
        w.g.player.x = 300;
        starbee_tag& b = w.attack(row.x, 100.0f, 180.5f, 0, 1.02f);
        w.frame();
        EXPECT_EQ(b.rotation, 179.5f);
        EXPECT_EQ(b.y, 104.0f);
        const float drift = b.x - row.x;
        EXPECT_GE(std::fabs(drift), 0.09f);
        EXPECT_LT(std::fabs(drift), 1.0f);
        EXPECT_EQ(drift > 0.0f, row.right);
        EXPECT_TRUE(w.g.beeshotlist.empty());
    }
}

TEST(AttackFlight, DiverLeavingTheBottomComesBackAtTheTop) {
    struct Row {
        int titlescr;
        size_t bees;
    };
    for (const Row row : {Row{0, 1u}, Row{1, 0u}}) {
        SCOPED_TRACE(row.titlescr);
        World w;
        w.g.titlescr = row.titlescr;
        w.g.player.x = 320;
        starbee_tag& b = w.attack(150.0f, 477.0f, 180.5f, 2, 1.02f);
        w.frame();
        EXPECT_EQ(w.g.beelist.size(), row.bees);
        EXPECT_EQ(w.drawsof(w.g.img.beeimg), 1);  // drawn in the frame it leaves
        if (row.bees == 1) {
            EXPECT_EQ(b.y, -20.0f);
            EXPECT_GE(b.x, 100.0f);
            EXPECT_LT(b.x, 540.0f);
            EXPECT_EQ(b.rotation, 179.5f);
        }
    }
}

TEST(AttackFire, FiresWhileTurningButNotOnTheTitleScreen) {
    for (int titlescr : {0, 1}) {
        SCOPED_TRACE(titlescr);
        World w;
        w.g.titlescr = titlescr;
        starbee_tag& b = w.attack(200.0f, 150.0f, 90.0f, 2, 1.02f);
        b.shotctr = 1;
        w.frame();
        if (titlescr == 0) {
            ASSERT_EQ(w.g.beeshotlist.size(), 1u);
            const beeshot_tag& s = *w.g.beeshotlist.front();
            EXPECT_EQ(s.x, b.x);
            EXPECT_EQ(s.y, b.y);
            EXPECT_GE(b.shotctr, 20);
            EXPECT_LE(b.shotctr, 99);
        } else {
            EXPECT_TRUE(w.g.beeshotlist.empty());
            EXPECT_EQ(b.shotctr, 1);
        }
    }
}

TEST(BeeShot, AimedOnceTowardTheShipsColumn) {
    struct Row {
        float x;
        bool left;
    };
    const Row table[] = {{300.0f, true}, {300.5f, true}, {299.9f, false}, {80.0f, false}};
    for (const Row& row : table) {
        SCOPED_TRACE(row.x);
        World w;
        w.g.player.x = 300;
        beeshot_tag::Create(w.g, row.x, 100.0f);
        ASSERT_EQ(w.g.beeshotlist.size(), 1u);
        beeshot_tag& s = *w.g.beeshotlist.front();
        const float xstp = s.xstp;
        if (row.left) {
            EXPECT_GE(xstp, -2.0f);
            EXPECT_LT(xstp, -0.5f);
        } else {
            EXPECT_GE(xstp, 0.5f);
            EXPECT_LT(xstp, 2.0f);
        }
        // The ship moves across; the shot keeps its drift.
        w.g.player.x = row.left ? 560 : 80;
        walk(w.g, w.g.beeshotlist);
        EXPECT_EQ(s.xstp, xstp);
        EXPECT_EQ(s.x, row.x + xstp);
        EXPECT_EQ(s.y, 105.0f);
        EXPECT_EQ(s.rotation, 15.0f);
    }
}

TEST(BeeShot, LeavesOnlyBeyondThePlayfieldAndIsDrawnAsItGoes) {
    struct Row {
        float x, y, xstp;
        bool stays;
    };
    const Row table[] = {{559.0f, 200.0f, 1.0f, true}, {559.0f, 200.0f, 1.5f, false},
                         {81.0f, 200.0f, -1.0f, true}, {81.0f, 200.0f, -1.5f, false},
                         {300.0f, 475.0f, 0.5f, true}, {300.0f, 475.5f, 0.5f, false}};
    for (const Row& row : table) {
        SCOPED_TRACE(std::to_string(row.x) + "," + std::to_string(row.y));
        World w;
        w.g.player.y = 2000;
        beeshot_tag& s = w.g.beeshotlist.add();
        s.x = row.x;
        s.y = row.y;
        s.xstp = row.xstp;
        walk(w.g, w.g.beeshotlist);
        EXPECT_EQ(w.g.beeshotlist.size(), row.stays ? 1u : 0u);
        EXPECT_EQ(w.drawsof(w.g.img.beeshotimg), 1);
        const DrawState st = w.g.gfx.state();
        EXPECT_EQ(st.rot, 0.0f);
        EXPECT_EQ(st.sx, 1.0f);
        EXPECT_EQ(st.blend, kBlendMask);
    }
}

TEST(BeeHit, ShotOverTwoBeesIsTakenByTheEarlierThatHasFadedIn) {
    struct Row {
        float firstalpha;
        bool firsttakes;
    };
    for (const Row row : {Row{1.02f, true}, Row{0.1f, false}}) {
        SCOPED_TRACE(row.firstalpha);
        World w;
        starbee_tag& a = w.attack(300.0f, 200.0f, 90.0f, 0, row.firstalpha, 1);
        starbee_tag& b = w.attack(300.0f, 200.0f, 90.0f, 0, 1.02f, 2);
        w.shot(300, 200);
        w.frame();
        EXPECT_TRUE(w.g.shotlist.empty());
        EXPECT_EQ(w.g.killctr, 1);
        ASSERT_EQ(w.g.beelist.size(), 1u);
        EXPECT_EQ(w.g.beelist.front(), row.firsttakes ? &b : &a);
        EXPECT_EQ(w.g.player.score, row.firsttakes ? 50 : 100);
    }
}

TEST(BeeHit, FadingInBeeLetsShotsThroughFor22Updates) {
    World w;
    starbee_tag::Create(w.g, kAttackBee, 320.0f, 200.0f, 0.9f, 0, 1);
    starbee_tag& b = *w.g.beelist.front();
    b.shotctr = 100000;
    for (int k = 1; k <= 23; ++k) {
        SCOPED_TRACE(k);
        w.g.shotlist.clear();
        w.shot(static_cast<int>(b.x), static_cast<int>(b.y));
        w.frame();
        if (k <= 22) {
            EXPECT_LT(b.alpha, 1.0f);
            ASSERT_EQ(w.g.beelist.size(), 1u);
            EXPECT_EQ(w.g.shotlist.size(), 1u);
            EXPECT_EQ(w.g.killctr, 0);
        } else {
            EXPECT_GE(b.alpha, 1.0f);
            EXPECT_NEAR(b.alpha, 1.02f, 1e-5);
            EXPECT_TRUE(w.g.beelist.empty());
            EXPECT_TRUE(w.g.shotlist.empty());
            EXPECT_EQ(w.g.killctr, 1);
        }
    }
}

TEST(BeeHit, TracersNeverHit) {
    World w;
    w.attack(300.0f, 200.0f, 90.0f, 0, 1.02f);
    w.shot(300, 200, 1);
    w.frame();
    EXPECT_EQ(w.g.beelist.size(), 1u);
    EXPECT_EQ(w.g.shotlist.size(), 1u);
}

TEST(BeeHit, EffectsAndCountersByKind) {
    struct Row {
        const char* what;
        int btype, valueid;
        float scale;
        std::vector<Sfx> sounds;
        int killctr, score;
        size_t popups, splats, particles, bees;
        int popupframe;
        float splatscale;
    };
    const std::vector<Row> table = {
        {"attack bee", kAttackBee, 3, 0.7f, {bhitsnd, sbdiesnd}, 1, 200, 1, 1, 15, 0, 3, 0.7f},
        {"attack bee 3200",
         kAttackBee,
         7,
         0.2f,
         {bhitsnd, sbdiesnd},
         1,
         3200,
         1,
         1,
         15,
         0,
         7,
         0.2f},
        // The other swarm member keeps the swarm alive: no kill yet.
        {"swarm bee", kSwarmBee, 0, 0.2f, {bhit1snd}, 0, 25, 1, 1, 0, 1, 0, 0.0f},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.what);
        World w;
        starbee_tag& b = w.attack(300.0f, 200.0f, 90.0f, 0, 1.02f, row.valueid, row.scale);
        b.btype = row.btype;
        if (row.btype == kSwarmBee) {
            b.spawnid = 4;
            b.alpha = 0.5f;
            starbee_tag& mate = w.g.beelist.add();
            mate.btype = kSwarmBee;
            mate.spawnid = 4;
            mate.x = 500.0f;
            mate.y = 100.0f;
            mate.scale = 0.2f;
            mate.rotation = 90.0f;
        }
        w.shot(300, 200);
        w.shot(300, 200);  // a second shot at the same spot is not used up
        w.frame();
        EXPECT_EQ(w.g.snd.log.sfx, row.sounds);
        EXPECT_EQ(w.g.killctr, row.killctr);
        EXPECT_EQ(w.g.player.score, row.score);
        EXPECT_EQ(w.g.shotlist.size(), 1u);
        EXPECT_EQ(w.g.beelist.size(), row.bees);
        ASSERT_EQ(w.g.pointslist.size(), row.popups);
        EXPECT_EQ(w.g.pointslist.front()->frame, row.popupframe);
        ASSERT_EQ(w.g.splatlist.size(), row.splats);
        EXPECT_EQ(w.g.splatlist.front()->scale, row.splatscale);
        EXPECT_EQ(w.g.splatlist.front()->x, b.x);
        EXPECT_EQ(w.g.partlist.size(), row.particles);
        // Hit and gone, but still drawn in this frame.
        EXPECT_EQ(w.drawsof(w.g.img.beeimg), row.btype == kSwarmBee ? 2 : 1);
    }
}

TEST(BeeDraw, FrameCycleAndNeutralStateAfter) {
    World w;
    starbee_tag& b = w.attack(300.0f, 200.0f, 90.0f, 0, 0.5f);
    std::vector<int> frames;
    for (int k = 0; k < 4; ++k) {
        w.frame();
        frames.push_back(b.frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 0, 1}));
    const DrawOp& op = w.pf.gfx.ops().back();
    EXPECT_EQ(op.img, &w.g.img.beeimg);
    EXPECT_EQ(op.frame, 1);
    EXPECT_EQ(op.st.blend, kBlendAlpha);
    EXPECT_NEAR(op.st.alpha, b.alpha, 1e-6);
    EXPECT_EQ(op.st.rot, b.rotation);
    EXPECT_EQ(op.st.sx, 0.9f);
    const DrawState st = w.g.gfx.state();
    EXPECT_EQ(st.alpha, 1.0f);
    EXPECT_EQ(st.rot, 0.0f);
    EXPECT_EQ(st.sx, 1.0f);
    EXPECT_EQ(st.r, 255);
    EXPECT_EQ(st.g, 255);
    EXPECT_EQ(st.b, 255);
    EXPECT_EQ(st.blend, kBlendAlpha);
}

TEST(BonusHit, ThreeHitsRiseToTheBoardsForFifteenHundred) {
    World w;
    starbee_tag& b = w.bonus(450.0f, 300.0f, 0, 0);
    for (int hit = 1; hit <= 3; ++hit) {
        SCOPED_TRACE(hit);
        w.shot(450, static_cast<int>(b.y));
        w.frame();
        EXPECT_TRUE(w.g.shotlist.empty());
        EXPECT_EQ(b.valueid, hit);
        EXPECT_EQ(b.spinning, 1);
        EXPECT_EQ(b.ystp, -4.0f);
        EXPECT_EQ(w.texts().back(), "x" + std::to_string(hit));
        if (hit < 3) w.walkn(w.g.beelist, 20);
    }
    EXPECT_EQ(w.g.player.score, 0);
    int frames = 0;
    while (!w.g.beelist.empty() && frames < 200) {
        w.g.gfx.clearops();
        w.frame();
        ++frames;
    }
    EXPECT_TRUE(w.g.beelist.empty());
    EXPECT_LT(b.y, 100.0f);
    EXPECT_EQ(b.x, 450.0f);
    EXPECT_EQ(w.g.player.score, 1500);
    EXPECT_EQ(w.g.escapectr, 0);
    EXPECT_EQ(w.texts(), std::vector<std::string>{"x3"});  // drawn as it bursts
    EXPECT_EQ(w.g.snd.log.sfx, (std::vector<Sfx>{sbhitsnd, sbhitsnd, sbhitsnd, sbdiesnd}));
    EXPECT_EQ(w.g.splatlist.size(), 1u);
    EXPECT_EQ(w.g.partlist.size(), 40u);
    EXPECT_TRUE(w.g.pointslist.empty());
}

TEST(BonusHit, ScoresByTheZoneItRisesInto) {
    struct Row {
        float x;
        int valueid, score;
    };
    const Row table[] = {{100.0f, 2, 250},  {239.5f, 1, 125}, {240.0f, 1, 250}, {399.5f, 2, 500},
                         {450.0f, 3, 1500}, {559.5f, 1, 500}, {560.0f, 1, 0},   {79.5f, 4, 0}};
    for (const Row& row : table) {
        SCOPED_TRACE(row.x);
        World w;
        starbee_tag& b = w.bonus(row.x, 102.0f, 0, 1, -4.0f);
        b.valueid = row.valueid;
        w.frame();
        EXPECT_TRUE(w.g.beelist.empty());
        EXPECT_EQ(w.g.player.score, row.score);
        EXPECT_EQ(w.g.escapectr, 0);
        EXPECT_EQ(w.g.snd.log.sfx, std::vector<Sfx>{sbdiesnd});
    }
}

TEST(BonusHit, ShotRightOfCentreReversesIt) {
    struct Row {
        int shotx, speed;
    };
    const Row table[] = {{300, 3}, {299, 3}, {301, -3}};
    for (const Row& row : table) {
        SCOPED_TRACE(row.shotx);
        World w;
        // Heading 179 turns to 180: straight down, x unchanged by the move.
        starbee_tag& b = w.bonus(300.0f, 250.0f, 3, 0);
        w.shot(row.shotx, 253);
        w.frame();
        EXPECT_EQ(b.x, 300.0f);
        EXPECT_EQ(b.spinning, 1);
        EXPECT_EQ(b.speed, row.speed);
        EXPECT_EQ(w.g.snd.log.sfx, std::vector<Sfx>{sbhitsnd});
    }
}

TEST(BonusFlight, SpinningBeeMovesSlowsAndBouncesOffTheBars) {
    struct Row {
        float x;
        int speed;
        float nextx;
        int nextspeed;
    };
    const Row table[] = {{300.0f, 3, 303.0f, 3},
                         {81.0f, -3, 78.0f, 3},
                         {558.0f, 3, 561.0f, -3},
                         {83.0f, -3, 80.0f, -3}};
    for (const Row& row : table) {
        SCOPED_TRACE(row.x);
        World w;
        starbee_tag& b = w.bonus(row.x, 300.0f, row.speed, 1, -4.0f, 10.0f);
        w.frame();
        const float ystp = -4.0f + 0.06f;
        EXPECT_EQ(b.x, row.nextx);
        EXPECT_EQ(b.y, 296.0f);
        EXPECT_EQ(b.speed, row.nextspeed);
        EXPECT_EQ(b.ystp, ystp);
        EXPECT_EQ(b.rotation, 10.0f + static_cast<float>(row.nextspeed) * ystp * 3.0f);
        EXPECT_EQ(b.frame, 0);
    }
}

TEST(BonusFlight, OneHitLiftsAbout135PixelsIn67Frames) {
    World w;
    starbee_tag& b = w.bonus(300.0f, 400.0f, 0, 1, -4.0f);
    float top = b.y;
    int topframe = 0;
    for (int k = 1; k <= 100; ++k) {
        w.frame();
        if (b.y < top) top = b.y, topframe = k;
    }
    EXPECT_EQ(topframe, 67);
    EXPECT_GT(400.0f - top, 135.0f);
    EXPECT_LT(400.0f - top, 136.0f);
    EXPECT_EQ(w.g.beelist.size(), 1u);
}

TEST(BonusEscape, CountsBeesLeavingThePlayfield) {
    struct Row {
        const char* what;
        float x, y;
        int speed, spinning;
        float ystp, rotation;
        bool escapes;
    };
    const Row table[] = {
        {"unhit, falls out the bottom", 300.0f, 478.0f, 3, 0, 0.0f, 179.0f, true},
        {"unhit, still in", 300.0f, 476.0f, 3, 0, 0.0f, 179.0f, false},
        {"spinning, falls out the bottom", 300.0f, 479.0f, 0, 1, 1.5f, 0.0f, true},
        {"spinning, left of 60", 61.0f, 300.0f, -2, 1, 0.0f, 0.0f, true},
        {"spinning, right of 580", 579.0f, 300.0f, 2, 1, 0.0f, 0.0f, true},
        {"spinning, at 580", 578.0f, 300.0f, 2, 1, 0.0f, 0.0f, false},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.what);
        World w;
        w.g.player.y = 2000;
        w.bonus(row.x, row.y, row.speed, row.spinning, row.ystp, row.rotation);
        w.frame();
        EXPECT_EQ(w.g.escapectr, row.escapes ? 1 : 0);
        EXPECT_EQ(w.g.beelist.size(), row.escapes ? 0u : 1u);
        EXPECT_EQ(w.drawsof(w.g.img.beeimg), 1);
        EXPECT_EQ(w.g.player.score, 0);
    }
}

// Lists filled with one of everything, as in the middle of a game.
void populate(World& w) {
    w.shot(100, 100);
    beesplat_tag::Create(w.g, 100.0f, 100.0f, 0.5f);
    points_tag::Create(w.g, 100.0f, 100.0f, 1);
    particle_tag::Create(w.g, 100.0f, 100.0f, 0, 0.5f, 3);
}

void expectshipdestroyed(const World& w) {
    const Game& g = w.g;
    EXPECT_EQ(g.player.dead, 1);
    EXPECT_EQ(g.control, 0);
    EXPECT_EQ(g.gameover, 1);
    EXPECT_EQ(g.snd.log.sfx, std::vector<Sfx>{shipdiesnd});
    EXPECT_EQ(g.snd.log.music, std::vector<std::string>{"stop"});
    EXPECT_TRUE(g.beelist.empty());
    EXPECT_TRUE(g.shotlist.empty());
    EXPECT_TRUE(g.beeshotlist.empty());
    EXPECT_TRUE(g.pointslist.empty());
    ASSERT_EQ(g.splatlist.size(), 1u);
    g.splatlist.each([&](const beesplat_tag& s) {
        EXPECT_EQ(s.x, static_cast<float>(g.player.x));
        EXPECT_EQ(s.y, static_cast<float>(g.player.y));
        EXPECT_EQ(s.scale, 0.5f);
    });
    ASSERT_EQ(g.partlist.size(), 80u);
    g.partlist.each([&](const particle_tag& p) {
        EXPECT_EQ(p.frame, 1);
        EXPECT_EQ(p.x, static_cast<float>(g.player.x));
        EXPECT_LE(p.scale, 0.4f);
    });
}

TEST(BeeShip, AttackBeeOnTheShipEndsTheGameAndTheBeeWalk) {
    World w;
    w.attack(150.0f, 100.0f, 90.0f, 0, 1.02f);
    w.attack(320.0f, 470.0f, 90.0f, 0, 0.3f);  // its probe meets the ship's tail
    w.attack(500.0f, 100.0f, 90.0f, 0, 1.02f);
    populate(w);
    beeshot_tag::Create(w.g, 200.0f, 100.0f);
    w.frame();
    expectshipdestroyed(w);
    // The first two bees were drawn; the third was never updated.
    EXPECT_EQ(w.drawsof(w.g.img.beeimg), 2);
}

TEST(BeeShip, BeeShotOnTheShipEndsTheGameAndTheShotWalk) {
    World w;
    w.g.beeshotlist.add() = beeshot_tag{200.0f, 100.0f, 0.0f, 1.0f};
    w.g.beeshotlist.add() = beeshot_tag{330.0f, 410.0f, 0.0f, 1.0f};
    w.g.beeshotlist.add() = beeshot_tag{400.0f, 100.0f, 0.0f, 1.0f};
    w.attack(150.0f, 100.0f, 90.0f, 0, 1.02f);
    populate(w);
    walk(w.g, w.g.beeshotlist);
    expectshipdestroyed(w);
    EXPECT_EQ(w.drawsof(w.g.img.beeshotimg), 2);
    w.frame();
    EXPECT_EQ(w.drawsof(w.g.img.beeimg), 0);
}

// The ship's whole frame 0 is its hit area: its flames reach 28 pixels below
// the centre, under the engines 6 pixels either side of it.
TEST(BeeShip, TheHitAreaReachesTheEndOfTheFlames) {
    const struct {
        float dx, dy;
        bool hit;
    } table[] = {
        {-6.0f, 31.0f, true}, {6.0f, 31.0f, true},   {-6.0f, 33.0f, true},
        {6.0f, 29.0f, true},  {-6.0f, 35.0f, false}, {-6.0f, -35.0f, false},
    };
    World w;
    for (const auto& row : table) {
        SCOPED_TRACE(testing::Message() << row.dx << ", " << row.dy);
        const float x = static_cast<float>(w.g.player.x) + row.dx;
        const float y = static_cast<float>(w.g.player.y) + row.dy;
        EXPECT_EQ(touchesship(w.g, x, y), row.hit);
    }
}

TEST(BeeShip, HarmlessOnTheTitleScreen) {
    World w;
    w.g.titlescr = 1;
    w.g.control = 0;
    w.attack(320.0f, 440.0f, 90.0f, 0, 1.02f);
    w.g.beeshotlist.add() = beeshot_tag{320.0f, 430.0f, 0.0f, 0.0f};
    walk(w.g, w.g.beeshotlist);
    w.frame();
    EXPECT_EQ(w.g.player.dead, 0);
    EXPECT_EQ(w.g.gameover, 0);
    EXPECT_EQ(w.g.beelist.size(), 1u);
    EXPECT_EQ(w.g.beeshotlist.size(), 1u);
    EXPECT_TRUE(w.g.snd.log.sfx.empty());
}

TEST(SwarmAttract, TitleScreenMergeIsSilentWithValueZero) {
    World w;
    w.g.titlescr = 1;
    w.g.control = 0;
    starbee_tag::Create(w.g, kSwarmBee, 0, 0, 0, 1, 0);
    w.walkn(w.g.beelist, 76);
    auto attackers = w.bees(kAttackBee);
    ASSERT_EQ(attackers.size(), 1u);
    EXPECT_EQ(attackers[0]->valueid, 0);
    EXPECT_EQ(attackers[0]->speed, 1);
    EXPECT_GE(attackers[0]->scale, 0.2f);
    EXPECT_LT(attackers[0]->scale, 1.0f);
    EXPECT_TRUE(w.g.snd.log.sfx.empty());
    EXPECT_EQ(w.g.madectr, 1);
}

// A swarm shot down to its last member before merging counts as the attack
// bee it would have made, so the wave's kill target stays reachable.
TEST(SwarmKill, LastMemberShotCountsTowardTheWave) {
    for (int titlescr : {0, 1}) {
        SCOPED_TRACE(titlescr);
        World w;
        w.g.titlescr = titlescr;
        w.g.wavesize = 10;
        starbee_tag::Create(w.g, kSwarmBee, 0, 0, 0, 7, 0);
        // A member of another swarm stays alive throughout.
        starbee_tag& other = w.g.beelist.add();
        other.btype = kSwarmBee;
        other.spawnid = 8;
        other.x = 5.0f;
        other.y = 470.0f;
        other.scale = 0.2f;
        other.rotation = 0.0f;
        for (int n = 0; n < 8; ++n) {
            SCOPED_TRACE(n);
            const starbee_tag* target = w.bees(kSwarmBee)[0];
            ASSERT_EQ(target->spawnid, 7);
            w.shot(static_cast<int>(target->x), static_cast<int>(target->y));
            w.frame();
            EXPECT_TRUE(w.g.shotlist.empty());
            EXPECT_EQ(w.g.killctr, titlescr == 0 && n == 7 ? 1 : 0);
        }
        EXPECT_EQ(w.g.beelist.size(), 1u);
        EXPECT_EQ(w.g.player.score, 8 * 25);
    }
}

TEST(SwarmKill, MergedSwarmCountsOnlyThroughItsAttackBee) {
    World w;
    w.g.wavesize = 10;
    starbee_tag::Create(w.g, kSwarmBee, 0, 0, 0, 7, 0);
    std::vector<starbee_tag*> ring;
    w.g.beelist.walk([&](starbee_tag& b) { ring.push_back(&b); });
    for (int i = 1; i < 8; ++i) w.g.beelist.remove(ring[i]);
    w.walkn(w.g.beelist, 75);
    // The lone survivor merges in its next update, and a shot meets it there.
    starbee_tag& last = *ring[0];
    const float nx = last.x + 2.0f * sindeg(last.rotation);
    const float ny = last.y - 2.0f * cosdeg(last.rotation);
    w.shot(static_cast<int>(nx), static_cast<int>(ny));
    w.frame();
    EXPECT_EQ(w.g.killctr, 0);
    EXPECT_EQ(w.g.player.score, 25);
    ASSERT_EQ(w.bees(kAttackBee).size(), 1u);
    EXPECT_EQ(w.bees(kAttackBee)[0]->valueid, 7);
}

}  // namespace
}  // namespace vx
