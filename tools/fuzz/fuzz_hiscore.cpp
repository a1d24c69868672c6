// Feeds arbitrary bytes to the best-score reader (data/hiscore.dat).
#include <cstdlib>

#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!vx::fuzz::checkhiscore(data, size)) std::abort();
    return 0;
}
