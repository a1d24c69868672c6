// The bees: how each kind is made, flies, is hit and is drawn.
//
// Every update runs four steps in order: colour back to white, the kind's own
// step, the shot pass and the drawing. The last two run even when the kind's
// step has taken the bee out of beelist (a merge, a bonus bee scoring or
// escaping, an attract bee leaving the bottom) or has destroyed the ship, so a
// bee is always shot-tested and drawn in the frame it goes.
#include "bees/starbee.h"

#include <string>

#include "bees/beeshot.h"
#include "bees/shiphit.h"
#include "shell/game.h"

namespace vx {

namespace {

int trunc(float v) {
    return static_cast<int>(v);
}

void createattack(Game& g, float x, float y, float scale, int valueid) {
    int side = trunc(g.rng.rnd(0.0f, 2.0f));
    starbee_tag& b = g.beelist.add();
    b.valueid = valueid;
    b.x = x;
    b.y = y;
    b.btype = kAttackBee;
    // Heading roughly up the screen, tilted right (side 1) or left (side 0).
    b.rotation = side == 1 ? g.rng.rnd(0.0f, 45.0f) : g.rng.rnd(315.0f, 360.0f);
    b.shotctr = trunc(g.rng.rnd(20.0f, 100.0f));
    b.alpha = 0.1f;
    b.scale = scale;
    b.speed = speedtab[valueid];
}

void createbonus(Game& g) {
    int side = trunc(g.rng.rnd(0.0f, 2.0f));
    starbee_tag& b = g.beelist.add();
    b.btype = kBonusBee;
    playsfx(g, sswarmsnd);
    b.alpha = 1.0f;
    b.speed = trunc(g.rng.rnd(2.0f, 6.0f));
    b.scale = 0.5f;
    b.y = g.rng.rnd(200.0f, 300.0f);
    if (side == 0) {
        b.x = 60.0f;
        b.rotation = g.rng.rnd(45.0f, 90.0f);
    } else {
        b.x = 580.0f;
        b.rotation = g.rng.rnd(270.0f, 315.0f);
    }
}

// Eight bees on a ring of radius 150, each facing its centre.
void createswarm(Game& g, int spawnid) {
    if (g.titlescr == 0 && g.madectr == g.wavesize) return;
    ++g.madectr;
    if (g.titlescr == 0) playsfx(g, beewarpsnd);
    int cx = trunc(g.rng.rnd(140.0f, 500.0f));
    int cy = trunc(g.rng.rnd(20.0f, 200.0f));
    for (int i = 0; i < 8; ++i) {
        float angle = static_cast<float>(180 + 45 * i);
        starbee_tag& b = g.beelist.add();
        b.spawnid = spawnid;
        b.x = static_cast<float>(cx) - 150.0f * sindeg(angle);
        b.y = static_cast<float>(cy) + 150.0f * cosdeg(angle);
        b.alpha = 0.1f;
        b.scale = 0.2f;
        b.rotation = angle;
        b.btype = kSwarmBee;
    }
}

bool inbeelist(Game& g, const starbee_tag* bee) {
    bool found = false;
    g.beelist.each([&](const starbee_tag& b) { found = found || &b == bee; });
    return found;
}

// A swarm shot down to its last member before it could merge never makes its
// attack bee; it counts as that attack bee's kill so the wave can still end.
void creditlostswarm(Game& g, const starbee_tag& bee, bool wasmember) {
    if (g.titlescr != 0 || !wasmember) return;
    bool others = false;
    g.beelist.each([&](const starbee_tag& b) {
        others = others || (&b != &bee && b.btype == kSwarmBee && b.spawnid == bee.spawnid);
    });
    if (!others) ++g.killctr;
}

// Conservative box test of a laser shot against the bee's placed frame, so
// shots far from the bee cost a few comparisons and no placement.
bool nearbee(const Placement& bee, const Image& shot, int sx, int sy) {
    float left = static_cast<float>(sx) - shot.hx;
    float top = static_cast<float>(sy) - shot.hy;
    float right = left + static_cast<float>(shot.width);
    float bottom = top + static_cast<float>(shot.height);
    return left - 1.0f < static_cast<float>(bee.x1) && right + 1.0f > static_cast<float>(bee.x0) &&
           top - 1.0f < static_cast<float>(bee.y1) && bottom + 1.0f > static_cast<float>(bee.y0);
}

}  // namespace

int starbee_tag::Create(Game& g, int btype, float x, float y, float scale, int spawnid,
                        int valueid) {
    switch (btype) {
        case kAttackBee:
            createattack(g, x, y, scale, valueid);
            break;
        case kBonusBee:
            createbonus(g);
            break;
        case kSwarmBee:
            createswarm(g, spawnid);
            break;
        default:
            break;
    }
    return 0;
}

namespace {

// Turns one degree toward straight down; once there the heading alternates
// between the two values either side of 180.
void turndown(starbee_tag& bee) {
    if (bee.rotation <= 180.0f)
        bee.rotation += 1.0f;
    else
        bee.rotation -= 1.0f;
}

void movealong(starbee_tag& bee) {
    float speed = static_cast<float>(bee.speed);
    bee.x += sindeg(bee.rotation) * speed;
    bee.y -= cosdeg(bee.rotation) * speed;
}

void attackstep(Game& g, starbee_tag& bee) {
    if (bee.alpha < 1.0f) bee.alpha += 0.04f;
    turndown(bee);
    movealong(bee);
    if (bee.rotation > 179.0f && bee.rotation < 181.0f) {
        // Diving: falls faster and drifts toward the ship's column.
        bee.y += 4.0f;
        if (bee.x <= static_cast<float>(g.player.x))
            bee.x += g.rng.rnd(0.1f, 1.0f);
        else
            bee.x -= g.rng.rnd(0.1f, 1.0f);
    } else if (g.titlescr == 0) {
        --bee.shotctr;
        if (bee.shotctr <= 0) {
            bee.shotctr = trunc(g.rng.rnd(20.0f, 100.0f));
            beeshot_tag::Create(g, bee.x, bee.y);
        }
    }
    if (bee.x < 30.0f) bee.x = 630.0f;
    if (bee.x > 630.0f) bee.x = 30.0f;
    if (bee.y > 480.0f) {
        if (g.titlescr != 0) {
            g.beelist.remove(&bee);
        } else {
            bee.x = g.rng.rnd(100.0f, 540.0f);
            bee.y = -20.0f;
        }
    }
    if (g.titlescr == 0 && touchesship(g, bee.x, bee.y)) destroyship(g);
}

void bonusstep(Game& g, starbee_tag& bee) {
    if (bee.spinning == 1) {
        bee.x += static_cast<float>(bee.speed);
        bee.y += bee.ystp;
        if (bee.x < kPlayLeft || bee.x > kPlayRight) bee.speed = -bee.speed;
        bee.ystp += 0.06f;
        bee.rotation += static_cast<float>(bee.speed) * bee.ystp * 3.0f;
        if (bee.y < 100.0f) {
            // Reached the bonus boards: scores by the zone it rose into.
            playsfx(g, sbdiesnd);
            beesplat_tag::Create(g, bee.x, bee.y, 0.5f);
            particle_tag::Create(g, bee.x, bee.y, 0, 0.5f, 40);
            if (bee.x >= kPlayLeft && bee.x < 240.0f)
                g.player.score += bee.valueid * 125;
            else if (bee.x >= 240.0f && bee.x < 400.0f)
                g.player.score += bee.valueid * 250;
            else if (bee.x >= 400.0f && bee.x < kPlayRight)
                g.player.score += bee.valueid * 500;
            g.beelist.remove(&bee);
        }
    } else {
        // Unhit: flickers in a new random colour every frame.
        int r = trunc(g.rng.rnd(0.0f, 255.0f));
        int gr = trunc(g.rng.rnd(0.0f, 255.0f));
        int b = trunc(g.rng.rnd(0.0f, 255.0f));
        g.gfx.setcolor(r, gr, b);
        turndown(bee);
        movealong(bee);
    }
    if (bee.x < 60.0f || bee.x > 580.0f || bee.y > 480.0f) {
        g.beelist.remove(&bee);
        ++g.escapectr;
    }
}

// Flies toward the ring's centre; the first member to have flown 150 pixels
// merges the survivors of its swarm into one attack bee.
void swarmstep(Game& g, starbee_tag& bee) {
    bee.alpha += 0.01f;
    if (bee.alpha > 1.0f) bee.alpha = 1.0f;
    bee.x += 2.0f * sindeg(bee.rotation);
    bee.y -= 2.0f * cosdeg(bee.rotation);
    if (bee.spawntravel >= 150) {
        int id = bee.spawnid;
        float mx = static_cast<float>(trunc(bee.x));
        float my = static_cast<float>(trunc(bee.y));
        float m = 0.2f;
        int v = 8;
        g.beelist.remove(&bee);
        g.beelist.walk([&](starbee_tag& other) {
            if (other.btype == kSwarmBee && other.spawnid == id) {
                m += 0.1f;
                --v;
                g.beelist.remove(&other);
            }
        });
        if (g.titlescr != 0) {
            starbee_tag::Create(g, kAttackBee, mx, my, g.rng.rnd(0.2f, 1.0f), 0, 0);
        } else {
            playsfx(g, lswarmsnd);
            if (v > 7) v = 7;
            starbee_tag::Create(g, kAttackBee, mx, my, m, 0, v);
        }
    }
    bee.spawntravel += 2;
}

void shotpass(Game& g, starbee_tag& bee);
void drawbee(Game& g, starbee_tag& bee);

}  // namespace

void starbee_tag::update(Game& g) {
    g.gfx.setcolor(255, 255, 255);
    switch (btype) {
        case kAttackBee:
            attackstep(g, *this);
            break;
        case kBonusBee:
            bonusstep(g, *this);
            break;
        case kSwarmBee:
            swarmstep(g, *this);
            break;
        default:
            break;
    }
    shotpass(g, *this);
    drawbee(g, *this);
}

namespace {

void shotpass(Game& g, starbee_tag& bee) {
    if (g.shotlist.empty()) return;
    const Image& shotimg = g.img.shotimg;
    // The bee's frame is placed once; every shot is tested against it.
    const Placement beepl(g.img.beeimg, bee.frame, static_cast<float>(trunc(bee.x)),
                          static_cast<float>(trunc(bee.y)), bee.scale, bee.scale, bee.rotation);
    if (beepl.empty) return;
    bool done = false;
    g.shotlist.walk([&](lazershot_tag& shot) {
        if (done || shot.tracer != 0) return;
        if (!nearbee(beepl, shotimg, shot.x, shot.y)) return;
        const Placement shotpl(shotimg, 0, static_cast<float>(shot.x), static_cast<float>(shot.y),
                               1.0f, 1.0f, 0.0f);
        if (!imagesoverlap(shotpl, beepl)) return;
        switch (bee.btype) {
            case kSwarmBee: {
                bool wasmember = inbeelist(g, &bee);
                playsfx(g, bhit1snd);
                points_tag::Create(g, bee.x, bee.y, 0);
                beesplat_tag::Create(g, bee.x, bee.y, 0.0f);
                g.player.score += valuetab[0];
                g.beelist.remove(&bee);
                g.shotlist.remove(&shot);
                creditlostswarm(g, bee, wasmember);
                done = true;
                break;
            }
            case kAttackBee:
                // Still fading in: the shot flies through.
                if (bee.alpha < 1.0f) return;
                ++g.killctr;
                playsfx(g, bhitsnd);
                playsfx(g, sbdiesnd);
                points_tag::Create(g, bee.x, bee.y, bee.valueid);
                beesplat_tag::Create(g, bee.x, bee.y, bee.scale);
                particle_tag::Create(g, bee.x, bee.y, 0, bee.scale, 15);
                g.player.score += valuetab[bee.valueid];
                g.beelist.remove(&bee);
                g.shotlist.remove(&shot);
                done = true;
                break;
            case kBonusBee:
                ++bee.valueid;
                bee.spinning = 1;
                bee.ystp = -4.0f;
                if (static_cast<float>(shot.x) > bee.x) bee.speed = -bee.speed;
                g.shotlist.remove(&shot);
                playsfx(g, sbhitsnd);
                done = true;
                break;
            default:
                break;
        }
    });
}

void drawbee(Game& g, starbee_tag& bee) {
    DrawLayer& gfx = g.gfx;
    gfx.setalpha(bee.alpha);
    gfx.setblend(kBlendAlpha);
    if (bee.spinning == 1) {
        bee.frame = 0;
        gfx.setcolor(255, 255, 0);
        gfx.drawtext("x" + std::to_string(bee.valueid), bee.x - 8.0f, bee.y - 22.0f);
        gfx.setcolor(255, 255, 255);
    } else {
        ++bee.frame;
        if (bee.frame > 2) bee.frame = 0;
    }
    gfx.setrotation(bee.rotation);
    gfx.setscale(bee.scale, bee.scale);
    gfx.drawimage(g.img.beeimg, bee.x, bee.y, bee.frame);
    gfx.setcolor(255, 255, 255);
    gfx.setrotation(0.0f);
    gfx.setscale(1.0f, 1.0f);
    gfx.setalpha(1.0f);
}

}  // namespace

}  // namespace vx
