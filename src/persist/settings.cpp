#include "persist/persist.h"
#include "platform/files.h"
#include "shell/game.h"

namespace vx {

namespace {
// Eight values; nothing after them is read.
constexpr size_t kSettingsBytes = 32;
}  // namespace

int32_t readle32(const std::vector<uint8_t>& bytes, size_t index) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) {
        size_t at = index * 4 + i;
        if (at < bytes.size()) v |= static_cast<uint32_t>(bytes[at]) << (8 * i);
    }
    return static_cast<int32_t>(v);
}

void readsettings(Game& g) {
    // Read by its path from the start folder ("../config/settings.cfg" in a
    // portable run), so the working folder never changes.
    const std::string& path = g.paths.settings;
    if (path.empty()) return;
    // An entry that cannot be read (a folder, no permission) counts as no file.
    if (auto bytes = files::readhead(path, kSettingsBytes)) g.timerhz = readle32(*bytes, 3);
}

}  // namespace vx
