// Replays: a recorded game as text. The header holds everything the game's
// start depends on, taken as the picture in which the click started the game
// (frame 0) was shown; then the input as script lines numbered from frame 1,
// with check lines (a hash of the whole game state, the score and the wave)
// every 60 frames and at the end. docs/replays.md describes the format.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "player/player.h"
#include "player/starfield.h"
#include "shell/script.h"

namespace vx {

struct Game;

constexpr int kReplayFormat = 1;
constexpr int kReplayCheckEvery = 60;

// The shell's numbers that a game's start leaves behind, by name.
constexpr std::array<const char*, 17> kReplayShellInts = {
    "titlescr",  "getready",   "control",    "wavedone",  "gameover", "wavetype",
    "wavesize",  "spawndelay", "spawntmr",   "spawnctr",  "madectr",  "killctr",
    "escapectr", "seqtmr",     "skipbanner", "musicstep", "sfxstep"};
constexpr std::array<const char*, 3> kReplayShellFloats = {"fadealpha", "musicvol", "sfxvol"};

struct ReplayStart {
    std::string version;  // the game's version that recorded it
    uint32_t seed = 0;    // the clock value the generator was seeded with at start-up
    uint64_t rng = 0;     // the generator's state
    int pointerx = 0, pointery = 0;
    std::array<int, kReplayShellInts.size()> shellints{};
    std::array<float, kReplayShellFloats.size()> shellfloats{};
    player_tag player;  // its hscore is the best score
    std::vector<starfield_tag> stars;
};

struct ReplayCheck {
    int frame = 0;
    uint64_t hash = 0;
    int score = 0, wave = 0;
    int line = 0;
};

struct Replay {
    ReplayStart start;
    std::vector<Event> events;
    std::vector<ReplayCheck> checks;  // in frame order, the end's check last
    int endframe() const { return checks.empty() ? 0 : checks.back().frame; }
};

struct ReplayError {
    int line = 0;
    std::string message;
};

// Reads a replay strictly: every line must be as written by the game; the
// first bad one is reported with its number.
std::optional<Replay> readreplay(const std::string& text, ReplayError& error);

// The state the game shows now, as a replay's header takes it.
ReplayStart capturestart(const Game& g, uint32_t seed);
// Puts a recorded start into the game.
void applystart(Game& g, const ReplayStart& s);
// The header's text, through the "input" line.
std::string starttext(const ReplayStart& s);

// FNV-1a 64-bit hash of the game state: the shell's flags, counters and
// volumes, the player, the generator, the pointer, the screen and every
// field of every entity in every list.
uint64_t statehash(const Game& g, int pointerx, int pointery);

// A check line ("120 check 0123456789abcdef score 50 wave 1") or, with end,
// the last line ("end 1234 0123456789abcdef score 50 wave 1"), with its
// newline; the length, or -1 when the buffer is too small.
int formatcheck(const ReplayCheck& c, bool end, char* buf, size_t size);

}  // namespace vx
