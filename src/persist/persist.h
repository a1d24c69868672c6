// The two stored files: the shared settings (read only) and the best score.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vx {

struct Game;

// Sets g.timerhz from the fourth value of the settings file (0 without it).
void readsettings(Game& g);
// save 0 reads hiscore.dat from the user data folder into player.hscore;
// save 1 writes it back.
void hiscorefile(Game& g, int save);

// The n-th little-endian 32-bit value of a file's bytes; bytes past the end
// read as 0, so short files are read as far as they go.
int32_t readle32(const std::vector<uint8_t>& bytes, size_t index);

}  // namespace vx
