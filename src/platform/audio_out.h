// The audio output: voices of decoded PCM mixed in the background, each with
// its own volume, looping or not, pausable. Every call is safe without a device.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace vx {

// Decoded sound: interleaved signed 16-bit samples.
struct Pcm {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;
    size_t frames() const { return channels ? samples.size() / channels : 0; }
};

class AudioOut {
public:
    virtual ~AudioOut() = default;
    // Starts a voice (paused when asked); returns its id, or 0 when nothing plays.
    virtual uint32_t start(std::shared_ptr<const Pcm> pcm, float volume, bool loop, bool paused) = 0;
    virtual void stop(uint32_t voice) = 0;
    virtual void pause(uint32_t voice) = 0;
    virtual void resume(uint32_t voice) = 0;
    virtual void setvolume(uint32_t voice, float volume) = 0;
};

// No device: every call does nothing.
class SilentAudio final : public AudioOut {
public:
    uint32_t start(std::shared_ptr<const Pcm>, float, bool, bool) override { return 0; }
    void stop(uint32_t) override {}
    void pause(uint32_t) override {}
    void resume(uint32_t) override {}
    void setvolume(uint32_t, float) override {}
};

}  // namespace vx
