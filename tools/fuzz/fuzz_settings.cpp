// Feeds arbitrary bytes to the settings reader (../config/settings.cfg).
#include <cstdlib>

#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!vx::fuzz::checksettings(data, size)) std::abort();
    return 0;
}
