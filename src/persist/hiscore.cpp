#include <cerrno>
#include <cstdio>
#include <cstring>

#include "persist/persist.h"
#include "platform/files.h"
#include "shell/game.h"

namespace vx {

namespace {
// The record is the file's first four bytes; nothing after them is read.
constexpr size_t kHiscoreBytes = 4;
}  // namespace

void hiscorefile(Game& g, int save) {
    HiscoreFile& file = g.hiscore;
    // Without a usable home there is no file: the start said so once.
    const std::string path = g.paths.hiscore();
    if (save == 0) {
        g.player.hscore = 0;
        file = HiscoreFile{};
        if (path.empty()) return;
        int error = 0;
        if (auto bytes = files::readhead(path, kHiscoreBytes, &error)) {
            g.player.hscore = readle32(*bytes, 0);
            file.stored = g.player.hscore;
        } else if (error != ENOENT && error != ENOTDIR) {
            // It is there but cannot be read (no permission, a folder or a
            // broken link in its place): the record it may hold is kept.
            file.kept = true;
            std::fprintf(stderr,
                         "vexaloid: cannot read %s (%s); it is left as it is and this run's best "
                         "score is not stored\n",
                         path.c_str(),
                         error == EISDIR ? "not a regular file" : std::strerror(error));
        }
        return;
    }
    if (path.empty() || file.kept) return;
    // Tried once per new value: a folder that cannot be written is not retried every frame.
    file.stored = g.player.hscore;
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

void storenewbest(Game& g) {
    const bool ingame = !g.titlescr && !g.gameover;
    if (ingame || g.hiscore.kept || g.player.hscore <= g.hiscore.stored) return;
    hiscorefile(g, 1);
}

}  // namespace vx
