#include "persist/persist.h"
#include "platform/files.h"
#include "shell/game.h"

namespace vx {

int32_t readle32(const std::vector<uint8_t>& bytes, size_t index) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) {
        size_t at = index * 4 + i;
        if (at < bytes.size()) v |= static_cast<uint32_t>(bytes[at]) << (8 * i);
    }
    return static_cast<int32_t>(v);
}

void readsettings(Game& g) {
    std::string here = files::cwd();
    if (files::changedir("..")) {
        if (files::exists("config/settings.cfg")) {
            // An entry that cannot be read (a folder, no permission) counts as no file.
            if (auto bytes = files::readall("config/settings.cfg")) g.timerhz = readle32(*bytes, 3);
        }
        files::changedir(here);
    }
}

}  // namespace vx
