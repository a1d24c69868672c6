#include "platform/mixer.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

// A full-scale volume change takes this long; stops and pauses fade over it.
constexpr double kRampSeconds = 0.004;
// mix() takes the lock for this many frames at a time.
constexpr int kChunk = 256;

float clampvolume(float v) {
    if (!(v > 0.0f)) return 0.0f;  // also NaN
    return v > 1.0f ? 1.0f : v;
}

}  // namespace

Mixer::Mixer(int rate)
    : rate_(rate > 0 ? rate : 44100), ramp_(float(1.0 / (kRampSeconds * rate_))), limiter_(rate_) {
    voices_.reserve(64);
}

uint32_t Mixer::start(std::shared_ptr<const Pcm> pcm, float volume, bool loop, bool paused) {
    if (!pcm || pcm->rate <= 0 || pcm->channels <= 0 || pcm->frames() == 0) return 0;
    Voice v;
    v.pcm = std::move(pcm);
    v.step = double(v.pcm->rate) / double(rate_);
    v.volume = clampvolume(volume);
    // A sound starts from its own first sample: no fade in.
    v.gain = paused ? 0.0f : v.volume;
    v.loop = loop;
    v.paused = paused;

    // Declared before the lock, so finished sounds are freed after it is released.
    std::vector<std::shared_ptr<const Pcm>> dropped;
    std::lock_guard lock(mutex_);
    reap(dropped);
    v.id = nextid_++;
    if (nextid_ == 0) nextid_ = 1;
    voices_.push_back(std::move(v));
    return voices_.back().id;
}

void Mixer::stop(uint32_t voice) {
    std::lock_guard lock(mutex_);
    if (Voice* v = find(voice)) v->stopping = true;
}

void Mixer::pause(uint32_t voice) {
    std::lock_guard lock(mutex_);
    if (Voice* v = find(voice)) v->paused = true;
}

void Mixer::resume(uint32_t voice) {
    std::lock_guard lock(mutex_);
    if (Voice* v = find(voice)) v->paused = false;
}

void Mixer::setvolume(uint32_t voice, float volume) {
    std::lock_guard lock(mutex_);
    if (Voice* v = find(voice)) v->volume = clampvolume(volume);
}

size_t Mixer::voicecount() {
    std::vector<std::shared_ptr<const Pcm>> dropped;
    std::lock_guard lock(mutex_);
    reap(dropped);
    return voices_.size();
}

bool Mixer::playing(uint32_t voice) {
    std::lock_guard lock(mutex_);
    const Voice* v = find(voice);
    return v && !v->paused && !v->stopping;
}

Mixer::Voice* Mixer::find(uint32_t id) {
    if (id == 0) return nullptr;
    for (Voice& v : voices_)
        if (v.id == id) return v.done ? nullptr : &v;
    return nullptr;
}

void Mixer::reap(std::vector<std::shared_ptr<const Pcm>>& dropped) {
    size_t kept = 0;
    for (size_t i = 0; i < voices_.size(); ++i) {
        if (voices_[i].done) {
            dropped.push_back(std::move(voices_[i].pcm));
        } else {
            if (kept != i) voices_[kept] = std::move(voices_[i]);
            ++kept;
        }
    }
    voices_.erase(voices_.begin() + std::ptrdiff_t(kept), voices_.end());
}

void Mixer::mix(float* out, int frames) {
    if (!out || frames <= 0) return;
    sum(out, frames);
    limiter_.process(out, frames);
}

void Mixer::sum(float* out, int frames) {
    if (!out || frames <= 0) return;
    std::fill(out, out + 2 * size_t(frames), 0.0f);
    for (int at = 0; at < frames; at += kChunk) {
        const int n = std::min(kChunk, frames - at);
        std::lock_guard lock(mutex_);
        for (Voice& v : voices_)
            if (!v.done) mixvoice(v, out + 2 * size_t(at), n);
    }
}

void Mixer::mixvoice(Voice& v, float* out, int frames) {
    const Pcm& pcm = *v.pcm;
    const size_t length = pcm.frames();
    const size_t ch = size_t(pcm.channels);
    const size_t right = ch > 1 ? 1 : 0;  // mono plays on both sides
    const int16_t* s = pcm.samples.data();
    const bool silencing = v.paused || v.stopping;
    const float target = silencing ? 0.0f : v.volume;
    constexpr float kScale = 1.0f / 32768.0f;

    for (int i = 0; i < frames; ++i) {
        if (v.gain != target) {
            const float d = target - v.gain;
            v.gain = std::fabs(d) <= ramp_ ? target : v.gain + (d > 0 ? ramp_ : -ramp_);
        } else if (silencing) {
            // Faded out: a stopped voice is finished, a paused one holds its place.
            if (v.stopping) v.done = true;
            return;
        }
        const size_t i0 = size_t(v.pos);
        const float frac = float(v.pos - double(i0));
        const int16_t* a = s + i0 * ch;
        float l = a[0], r = a[right];
        if (frac > 0.0f) {
            // Interpolate towards the next frame: the first one again across a
            // loop point, silence after the end of a one-shot sound.
            float l1 = 0.0f, r1 = 0.0f;
            if (i0 + 1 < length || v.loop) {
                const int16_t* b = s + (i0 + 1 < length ? (i0 + 1) * ch : 0);
                l1 = b[0];
                r1 = b[right];
            }
            l += (l1 - l) * frac;
            r += (r1 - r) * frac;
        }
        const float g = v.gain * kScale;
        out[2 * i] += l * g;
        out[2 * i + 1] += r * g;

        v.pos += v.step;
        if (v.pos >= double(length)) {
            if (!v.loop) {
                v.done = true;
                return;
            }
            v.pos = std::fmod(v.pos, double(length));
        }
    }
}

}  // namespace vx
