#include <cstdio>

#include "persist/persist.h"
#include "platform/files.h"
#include "shell/game.h"

namespace vx {

void hiscorefile(Game& g, int save) {
    // Without a usable home there is no file: the start said so once.
    const std::string path = g.paths.hiscore();
    if (save == 0) {
        g.player.hscore = 0;
        if (path.empty() || !files::exists(path)) return;
        // Unreadable (a folder in its place, no permission): the best score starts at 0.
        if (auto bytes = files::readall(path)) g.player.hscore = readle32(*bytes, 0);
        return;
    }
    if (path.empty()) return;
    if (auto err = g.paths.makeuserdata()) {
        std::fprintf(stderr, "vexaloid: best score not saved: %s\n", err->c_str());
        return;
    }
    auto v = static_cast<uint32_t>(g.player.hscore);
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                                  static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    // Written beside the old file and renamed over it, so a crash never loses the record.
    if (auto err = files::replacefile(path, bytes))
        std::fprintf(stderr, "vexaloid: best score not saved: %s\n", err->c_str());
}

}  // namespace vx
