// Feeds arbitrary bytes to the PNG decoder of the embedded pictures, then the cutting of the
// images.
#include <cstdlib>

#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!vx::fuzz::checkpng(data, size)) std::abort();
    return 0;
}
