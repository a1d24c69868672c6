// The whole game's state: the shell's flags, counters and tables, the player,
// the seven entity lists, the images and the sounds. One instance runs the game.
#pragma once

#include <array>
#include <string>

#include "assets/assets.h"
#include "audio/audio.h"
#include "bees/beeshot.h"
#include "bees/starbee.h"
#include "effects/beesplat.h"
#include "effects/particle.h"
#include "effects/points.h"
#include "entities/entitylist.h"
#include "persist/persist.h"
#include "platform/mathx.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "player/lazershot.h"
#include "player/player.h"
#include "player/starfield.h"

namespace vx {

// The playfield between the side bars: kPlayLeft <= x < kPlayRight.
constexpr int kPlayLeft = 80;
constexpr int kPlayRight = 560;

// The wave kinds, the values of wavetype: two normal waves, then a bonus round.
constexpr int kNormalWaveA = 0;
constexpr int kNormalWaveB = 1;
constexpr int kBonusRound = 2;

constexpr std::array<const char*, 3> pausetxt = {
    "** Paused **", "F2=Adjust Music Volume:", "F3=Adjust SoundFX Volume:"};
constexpr std::array<const char*, 11> voltxt = {"(off)", "(10%)", "(20%)", "(30%)",
                                                "(40%)", "(50%)", "(60%)", "(70%)",
                                                "(80%)", "(90%)", "(100%)"};
constexpr std::array<int, 8> speedtab = {1, 2, 3, 4, 5, 6, 7, 8};
constexpr std::array<int, 8> valuetab = {25, 50, 100, 200, 400, 800, 1600, 3200};

struct Game;

// Told of every picture just before it is shown, and of the program's end:
// the replay recorder and the replay player.
class FrameWatcher {
  public:
    virtual ~FrameWatcher() = default;
    virtual void presented(Game& g) = 0;
    virtual void programending(Game&) {}
};

struct Game {
    explicit Game(Platform& platform) : pf(platform), gfx(platform.gfx), input(platform.input) {}

    Platform& pf;
    DrawLayer& gfx;
    Input& input;
    Rng rng;
    // Where the sounds, the settings and the best score are (portable unless
    // the program entry finds otherwise).
    Paths paths;
    uint32_t seed = 0;  // the clock value the generator was seeded with

    // Screen flags
    int titlescr = 0, getready = 0, wavedone = 0, gameover = 0, control = 0;
    // Wave counters
    int wavetype = 0, spawndelay = 30, spawntmr = 0, spawnctr = 0, madectr = 0, wavesize = 0;
    int killctr = 0, escapectr = 0;
    int timerhz = 0;
    // Volumes
    float musicvol = 1.0f, sfxvol = 0.5f;
    int musicstep = 10, sfxstep = 5;
    std::string credits = "Vexaloid v1.0 (c) Marrowfinch Softworks - Press ESC to Quit";

    // Main-loop variables shared by the screens
    float fadealpha = 1.0f;
    int seqtmr = 0;
    int skipbanner = 0;

    player_tag player;
    EntityList<lazershot_tag> shotlist{"shotlist", 512};
    EntityList<starbee_tag> beelist{"beelist", 256};
    EntityList<beeshot_tag> beeshotlist{"beeshotlist", 256};
    EntityList<beesplat_tag> splatlist{"splatlist", 128};
    EntityList<points_tag> pointslist{"pointslist", 128};
    EntityList<particle_tag> partlist{"partlist", 1024};
    EntityList<starfield_tag> starlist{"starlist", 300};

    Images img;
    Image logoimg;   // only while the splash runs
    Image pauseimg;  // the frozen picture while the pause runs
    Audio snd;
    HiscoreFile hiscore;

    // What the picture being presented shows, for traces: "title", "pause", ...
    const char* screen = "splash";
    // Set when Escape (or the window's close request) ends the main loop.
    bool quitting = false;
    FrameWatcher* watcher = nullptr;
};

// Walks a list, calling each member's update.
template <class T>
void walk(Game& g, EntityList<T>& list) {
    list.walk([&g](T& e) { e.update(g); });
}

// Calls f on each gameplay list in declaration order: every entity list but the
// stars. A new gameplay list is added here and in Game, nowhere else.
template <class G, class F>
void eachplaylist(G& g, F&& f) {
    f(g.shotlist);
    f(g.beelist);
    f(g.beeshotlist);
    f(g.splatlist);
    f(g.pointslist);
    f(g.partlist);
}

// Calls f on every entity list in declaration order: the gameplay lists, then
// the stars.
template <class G, class F>
void eachlist(G& g, F&& f) {
    eachplaylist(g, f);
    f(g.starlist);
}

// Empties the gameplay lists.
void clearplayfield(Game& g);

}  // namespace vx
