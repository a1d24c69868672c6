#include <cstdio>

#include "persist/persist.h"
#include "platform/files.h"
#include "shell/game.h"

namespace vx {

namespace {
constexpr const char* kHiscorePath = "data/hiscore.dat";
}

void hiscorefile(Game& g, int save) {
    if (save == 0) {
        g.player.hscore = 0;
        if (!files::exists(kHiscorePath)) return;
        // Unreadable (a folder in its place, no permission): the best score starts at 0.
        if (auto bytes = files::readall(kHiscorePath)) g.player.hscore = readle32(*bytes, 0);
        return;
    }
    auto v = static_cast<uint32_t>(g.player.hscore);
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                                  static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    // Written beside the old file and renamed over it, so a crash never loses the record.
    if (auto err = files::replacefile(kHiscorePath, bytes))
        std::fprintf(stderr, "vexaloid: best score not saved: %s\n", err->c_str());
}

}  // namespace vx
