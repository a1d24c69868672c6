// Feeds arbitrary bytes to the WAV reader: it must never read outside them, and
// whatever it accepts must be a well-formed sound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "audio/audio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto pcm = vx::readwav(data, size);
    if (pcm) {
        const bool wellformed = (pcm->channels == 1 || pcm->channels == 2) && pcm->rate > 0 &&
                                pcm->samples.size() % size_t(pcm->channels) == 0 &&
                                pcm->samples.size() <= size;
        if (!wellformed) std::abort();
    }
    return 0;
}
