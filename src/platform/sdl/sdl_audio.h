// The audio output on the system's default sound device, mixed in software.
#pragma once

#include <memory>

#include "platform/audio_out.h"

namespace vx {

// Opens the default audio device for stereo float output and mixes every voice
// into it. When no device can be opened, says so once on stderr and returns an
// output that plays nothing. Every call stays safe if the device goes away.
std::unique_ptr<AudioOut> opensdlaudio();

}  // namespace vx
