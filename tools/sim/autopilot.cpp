#include "autopilot.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/headless.h"
#include "platform/mathx.h"
#include "shell/game.h"

namespace vx::sim {

namespace {

// The ship's frame is 36x58; a spark or a bee's centre probe touches it within
// about these distances of the ship's centre, plus a safety margin.
constexpr int kReachX = 26;
constexpr int kReachY = 38;
// Frames looked ahead for sparks and diving bees.
constexpr int kLookahead = 28;
// The row the ship keeps when nothing forces it elsewhere: low, for the most
// time to see sparks coming.
constexpr int kHomeY = 440;

struct Mover {
    float x, y, vx, vy;
};

// Where a bee will be heading for the next frames, roughly.
Mover beemotion(const starbee_tag& b, int shipx) {
    float speed = static_cast<float>(b.speed);
    Mover m{b.x, b.y, sindeg(b.rotation) * speed, -cosdeg(b.rotation) * speed};
    if (b.btype == kAttackBee && b.rotation > 179.0f && b.rotation < 181.0f) {
        m.vy += 4.0f;  // diving
        m.vx += b.x <= static_cast<float>(shipx) ? 0.55f : -0.55f;
    }
    if (b.btype == kSwarmBee) {
        m.vx = 2.0f * sindeg(b.rotation);
        m.vy = -2.0f * cosdeg(b.rotation);
    }
    if (b.btype == kBonusBee && b.spinning == 1) {
        m.vx = speed;
        m.vy = b.ystp;
    }
    return m;
}

}  // namespace

void Autopilot::click() {
    pf_.input.press(Key::mouseleft);
    pf_.input.release(Key::mouseleft);
}

int Autopilot::danger(int x, int y) const {
    const Game& g = g_;
    int worst = 0;
    auto consider = [&](Mover m) {
        for (int k = 1; k <= kLookahead; ++k) {
            float tx = m.x + m.vx * static_cast<float>(k);
            float ty = m.y + m.vy * static_cast<float>(k);
            if (std::fabs(tx - static_cast<float>(x)) < kReachX &&
                std::fabs(ty - static_cast<float>(y)) < kReachY) {
                worst = std::max(worst, kLookahead + 1 - k);
                return;
            }
        }
    };
    g.beeshotlist.each([&](const beeshot_tag& s) { consider({s.x, s.y, s.xstp, 5.0f}); });
    g.beelist.each([&](const starbee_tag& b) {
        // Only attack bees harm the ship; a bee leaving the bottom comes back at the top.
        if (b.btype == kAttackBee) consider(beemotion(b, g.player.x));
    });
    return worst;
}

int Autopilot::targetcolumn() const {
    const Game& g = g_;
    const float sx = static_cast<float>(g.player.x), sy = static_cast<float>(g.player.y);
    float bestcost = 1e30f;
    int best = -1;
    g.beelist.each([&](const starbee_tag& b) {
        if (b.y < 0.0f || b.y > sy - 40.0f || b.x < kPlayLeft || b.x > kPlayRight) return;
        // A bonus round lasts until three bonus bees get away: play it for about
        // half a minute, then let them go, as a tiring player would.
        if (b.btype == kBonusBee && bonusframes_ > kBonusFrames) return;
        // Attack bees first (they end the wave), bonus bees while they can still
        // be knocked up, swarm bees last.
        float rank = b.btype == kAttackBee ? 0.0f : b.btype == kBonusBee ? 40.0f : 160.0f;
        if (b.btype == kAttackBee && b.alpha < 1.0f) rank += 60.0f;
        Mover m = beemotion(b, g.player.x);
        // A laser climbs 8 pixels a frame from the ship's row.
        float t = (sy - b.y) / 8.0f;
        float lead = std::clamp(b.x + m.vx * t, static_cast<float>(kShipLeft),
                                static_cast<float>(kShipRight));
        float cost = rank + std::fabs(lead - sx) + 0.3f * (sy - b.y);
        if (cost < bestcost) bestcost = cost, best = static_cast<int>(lead);
    });
    return best;
}

void Autopilot::play() {
    const Game& g = g_;
    const int x = g.player.x, y = g.player.y;
    int target = targetcolumn();
    if (target < 0) target = 320;

    // Of the places the hand can reach this frame, the safest, then the one
    // nearest the target column, then the one nearest the home row.
    int bestx = x, besty = y;
    long bestscore = LONG_MAX;
    for (int dy = -kMaxStep; dy <= kMaxStep; dy += 6) {
        int cy = std::clamp(y + dy, kShipTop, kShipBottom);
        for (int dx = -kMaxStep; dx <= kMaxStep; dx += 4) {
            int cx = std::clamp(x + dx, kShipLeft, kShipRight);
            long score =
                10000L * danger(cx, cy) + 4L * std::abs(cx - target) + std::abs(cy - kHomeY);
            if (score < bestscore) bestscore = score, bestx = cx, besty = cy;
        }
    }
    pf_.movemouse(bestx, besty);
    // Fire whenever lined up with something; the ship's cooldown paces the shots.
    if (std::abs(bestx - target) < 30) click();
}

void Autopilot::step(int) {
    const Game& g = g_;
    bool playing = g.control == 1 && g.player.dead == 0;
    if (playing && !wasplaying_ && g.player.wave == 1 && g.player.score == 0) ++games_;
    wasplaying_ = playing;
    bestwave_ = std::max(bestwave_, g.player.wave);
    bestscore_ = std::max(bestscore_, g.player.score);

    if (std::strcmp(g.screen, "splash") == 0) {
        // Watch the logo a moment, then click it away.
        if (pf_.frame() % 60 == 59) click();
        return;
    }
    if (g.titlescr) {
        // Let the attract display run for a second, then start a game.
        if (++titleframes_ >= 60) {
            titleframes_ = 0;
            click();
        }
        return;
    }
    titleframes_ = 0;
    bonusframes_ = playing && g.wavetype == kBonusRound ? bonusframes_ + 1 : 0;
    if (playing) play();
}

}  // namespace vx::sim
