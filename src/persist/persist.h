// The two stored files: the shared settings (read only) and the best score.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vx {

struct Game;

// What the program knows of the best-score file between its reads and writes.
struct HiscoreFile {
    // The file exists but cannot be read: it is never written, so a record the
    // program cannot see is never replaced.
    bool kept = false;
    // The best score the file holds as far as this run knows.
    int32_t stored = 0;
};

// Sets g.timerhz from the fourth value of the settings file (0 without it).
void readsettings(Game& g);
// save 0 reads hiscore.dat from the user data folder into player.hscore;
// save 1 writes it back.
void hiscorefile(Game& g, int save);
// Called after every frame: once a game has ended (game over, or F1 back to the
// title) with a new best score, it is stored at once, so a later crash, kill or
// power cut cannot take it.
void storenewbest(Game& g);

// The n-th little-endian 32-bit value of a file's bytes; bytes past the end
// read as 0, so short files are read as far as they go.
int32_t readle32(const std::vector<uint8_t>& bytes, size_t index);

}  // namespace vx
