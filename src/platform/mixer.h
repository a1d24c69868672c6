// The software mixer behind the audio output: any number of voices, each a
// decoded sound with its own volume, looping or not, pausable, resampled to the
// output rate and summed into interleaved stereo floats, then passed through
// the master limiter (platform/limiter.h). The real game's device and the
// simulator's sound file are both fed by mix().
//
// The game thread starts and controls voices while the audio thread calls
// mix(); a mutex guards the voice table for short stretches, and mix() neither
// allocates nor frees: finished voices are released by the next call from the
// game thread.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio_out.h"
#include "platform/limiter.h"

namespace vx {

class Mixer final : public AudioOut {
  public:
    // rate: the output rate in frames per second.
    explicit Mixer(int rate);

    // Returns the voice's id (never 0), or 0 when there is nothing to play
    // (no sound, no frames, no rate, or no channels).
    uint32_t start(std::shared_ptr<const Pcm> pcm, float volume, bool loop, bool paused) override;
    // Unknown or finished ids are ignored. Stopping and pausing fade out over a
    // few milliseconds, volume changes glide, so nothing clicks.
    void stop(uint32_t voice) override;
    void pause(uint32_t voice) override;
    void resume(uint32_t voice) override;
    void setvolume(uint32_t voice, float volume) override;  // clamped to 0..1

    // Writes frames of interleaved stereo (left, right) at the output rate:
    // the voices' sum through the limiter, latency() frames late.
    void mix(float* out, int frames);
    // The voices' sum alone, with no master stage: each voice's own samples.
    void sum(float* out, int frames);
    int latency() const { return limiter_.latency(); }

    int rate() const { return rate_; }
    // Voices not yet finished (playing, paused or fading out).
    size_t voicecount();
    // True while the voice exists and is not paused or stopped.
    bool playing(uint32_t voice);

  private:
    struct Voice {
        uint32_t id = 0;
        std::shared_ptr<const Pcm> pcm;
        double pos = 0.0;     // in source frames
        double step = 1.0;    // source frames per output frame
        float volume = 1.0f;  // what the voice is set to
        float gain = 0.0f;    // what it plays at now, gliding towards the target
        bool loop = false;
        bool paused = false;
        bool stopping = false;
        bool done = false;  // set by mix(); released on the game thread
    };

    Voice* find(uint32_t id);
    // Takes finished voices out of the table; the caller drops them unlocked.
    void reap(std::vector<std::shared_ptr<const Pcm>>& dropped);
    void mixvoice(Voice& v, float* out, int frames);

    const int rate_;
    const float ramp_;  // largest gain change per output frame
    Limiter limiter_;   // only mix() uses it, on the audio thread
    std::mutex mutex_;
    std::vector<Voice> voices_;
    uint32_t nextid_ = 1;
};

}  // namespace vx
