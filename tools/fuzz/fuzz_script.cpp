// Feeds arbitrary bytes to the simulator's input script reader.
#include <cstdlib>

#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!vx::fuzz::checkscript(data, size)) std::abort();
    return 0;
}
