// Feeds arbitrary bytes to the replay reader.
#include <cstdlib>

#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!vx::fuzz::checkreplay(data, size)) std::abort();
    return 0;
}
