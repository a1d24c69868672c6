// The software mixer's voices: they sum, volumes apply and glide, loops wrap
// without a seam, one-shot voices end and are released, pause holds the place,
// and resampling keeps a sound's duration. The master stage after the sum is
// tested in test_limiter.cpp.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "platform/mixer.h"

namespace vx {
namespace {

constexpr int kRate = 44100;
constexpr float kUnit = 1.0f / 32768.0f;

std::shared_ptr<const Pcm> pcm(int rate, int channels, std::vector<int16_t> samples) {
    auto p = std::make_shared<Pcm>();
    p->rate = rate;
    p->channels = channels;
    p->samples = std::move(samples);
    return p;
}

std::shared_ptr<const Pcm> constant(int frames, int16_t value, int rate = kRate) {
    return pcm(rate, 1, std::vector<int16_t>(size_t(frames), value));
}

// A ramp of the given step per frame, mono.
std::shared_ptr<const Pcm> ramp(int frames, int16_t step, int rate = kRate) {
    std::vector<int16_t> s(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) s[i] = int16_t(i * step);
    return pcm(rate, 1, s);
}

// Sums the voices for frames and returns the left channel.
std::vector<float> left(Mixer& m, int frames) {
    std::vector<float> out(size_t(frames) * 2, 123.0f);
    m.sum(out.data(), frames);
    std::vector<float> l(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) l[i] = out[2 * i];
    return l;
}

// The number of frames a full-scale glide may take.
constexpr int kRampFrames = int(kRate * 0.005);

TEST(Mixer, VoicesOverlapAndSum) {
    Mixer m(kRate);
    const uint32_t a = m.start(constant(1000, 8192), 1.0f, false, false);
    const uint32_t b = m.start(constant(1000, 4096), 1.0f, false, false);
    const uint32_t c = m.start(constant(1000, 4096), 1.0f, false, false);  // same sound twice
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, b);
    EXPECT_NE(b, c);
    std::vector<float> out(200, 0.0f);
    m.sum(out.data(), 100);
    for (int i = 0; i < 100; ++i) {
        EXPECT_FLOAT_EQ(out[2 * i], 16384 * kUnit);
        EXPECT_FLOAT_EQ(out[2 * i + 1], 16384 * kUnit);  // mono on both sides
    }
}

TEST(Mixer, NoLimitOnVoices) {
    Mixer m(kRate);
    for (int i = 0; i < 300; ++i) m.start(constant(100, 100), 1.0f, false, false);
    EXPECT_EQ(m.voicecount(), 300u);
    EXPECT_FLOAT_EQ(left(m, 1)[0], 300 * 100 * kUnit);
}

TEST(Mixer, StereoKeepsItsSides) {
    Mixer m(kRate);
    m.start(pcm(kRate, 2, {1000, -2000, 1000, -2000}), 1.0f, false, false);
    float out[4];
    m.sum(out, 2);
    EXPECT_FLOAT_EQ(out[0], 1000 * kUnit);
    EXPECT_FLOAT_EQ(out[1], -2000 * kUnit);
}

TEST(Mixer, NothingToPlayGivesNoVoice) {
    Mixer m(kRate);
    EXPECT_EQ(m.start(nullptr, 1.0f, false, false), 0u);
    EXPECT_EQ(m.start(pcm(kRate, 1, {}), 1.0f, true, false), 0u);
    EXPECT_EQ(m.start(pcm(0, 1, {1, 2}), 1.0f, false, false), 0u);
    EXPECT_EQ(m.start(pcm(kRate, 0, {1, 2}), 1.0f, false, false), 0u);
    // Unknown ids are ignored.
    m.stop(0);
    m.stop(12345);
    m.pause(777);
    m.resume(777);
    m.setvolume(777, 0.5f);
    EXPECT_EQ(m.voicecount(), 0u);
    for (float x : left(m, 10)) EXPECT_EQ(x, 0.0f);
}

TEST(Mixer, VolumeIsAppliedAndClamped) {
    struct Case {
        float volume, applied;
    };
    const Case cases[] = {{0.5f, 0.5f},       {0.0f, 0.0f},
                          {1.0000001f, 1.0f}, {2.0f, 1.0f},
                          {-0.5f, 0.0f},      {std::numeric_limits<float>::quiet_NaN(), 0.0f}};
    for (const Case& c : cases) {
        Mixer m(kRate);
        const uint32_t v = m.start(constant(kRate, 10000), c.volume, false, false);
        EXPECT_FLOAT_EQ(left(m, 1)[0], 10000 * kUnit * c.applied) << "start at " << c.volume;
        // setvolume clamps the same way, once the glide is over.
        m.setvolume(v, 0.25f);
        left(m, kRampFrames);
        m.setvolume(v, c.volume);
        EXPECT_FLOAT_EQ(left(m, kRampFrames + 1).back(), 10000 * kUnit * c.applied)
            << "set to " << c.volume;
    }
}

// Volume changes, stops and pauses glide over a few milliseconds: no step in
// the output larger than the glide allows.
TEST(Mixer, ChangesGlideWithoutClicks) {
    const float maxstep = 20000 * kUnit / (kRate * 0.002f);  // full swing in under 2 ms is a click
    const auto changes = {+[](Mixer& m, uint32_t v) { m.setvolume(v, 0.0f); },
                          +[](Mixer& m, uint32_t v) { m.stop(v); },
                          +[](Mixer& m, uint32_t v) { m.pause(v); }};
    for (auto change : changes) {
        Mixer m(kRate);
        const uint32_t v = m.start(constant(kRate, 20000), 1.0f, true, false);
        float prev = left(m, 100).back();
        change(m, v);
        const std::vector<float> out = left(m, 2 * kRampFrames);
        for (float x : out) {
            EXPECT_LE(std::fabs(x - prev), maxstep);
            prev = x;
        }
        EXPECT_EQ(out.back(), 0.0f);
    }
}

TEST(Mixer, StoppedVoiceIsReleased) {
    Mixer m(kRate);
    const uint32_t v = m.start(constant(kRate, 1000), 1.0f, true, false);
    EXPECT_TRUE(m.playing(v));
    m.stop(v);
    EXPECT_FALSE(m.playing(v));
    left(m, 2 * kRampFrames);
    EXPECT_EQ(m.voicecount(), 0u);
}

TEST(Mixer, OneShotVoiceEndsAndIsReleased) {
    Mixer m(kRate);
    const auto sound = ramp(100, 10);
    const uint32_t v = m.start(sound, 1.0f, false, false);
    const std::vector<float> out = left(m, 150);
    for (int i = 0; i < 100; ++i) EXPECT_FLOAT_EQ(out[i], i * 10 * kUnit);
    for (int i = 100; i < 150; ++i) EXPECT_EQ(out[i], 0.0f);
    EXPECT_EQ(m.voicecount(), 0u);
    EXPECT_FALSE(m.playing(v));
    EXPECT_EQ(sound.use_count(), 1);  // the mixer holds no reference any more
}

TEST(Mixer, LoopIsSeamless) {
    Mixer m(kRate);
    m.start(ramp(100, 10), 1.0f, true, false);
    const std::vector<float> out = left(m, 350);
    for (int i = 0; i < 350; ++i) EXPECT_FLOAT_EQ(out[i], (i % 100) * 10 * kUnit) << i;
    EXPECT_EQ(m.voicecount(), 1u);
}

// Resampled, the loop interpolates from the last frame into the first: a cosine
// of whole periods continues across the seam (its first frame is not zero).
TEST(Mixer, ResampledLoopWrapsItsInterpolation) {
    const int n = 90;  // three periods of 30 frames
    std::vector<int16_t> s(n);
    for (int i = 0; i < n; ++i)
        s[i] = int16_t(std::lround(12000 * std::cos(2 * std::numbers::pi * i / 30.0)));
    Mixer m(kRate);
    m.start(pcm(kRate / 2, 1, s), 1.0f, true, false);
    const std::vector<float> out = left(m, 4 * n);
    for (int j = 0; j < 4 * n; ++j) {
        const int i = (j / 2) % n;
        const float a = s[i], b = s[(i + 1) % n];
        const float want = (j % 2 ? (a + b) / 2 : a) * kUnit;
        EXPECT_NEAR(out[j], want, 1e-6f) << j;
    }
}

TEST(Mixer, ResamplingKeepsTheDuration) {
    struct Case {
        int from, to;
    };
    const Case cases[] = {{22050, 44100}, {11025, 44100}, {44100, 48000}, {48000, 44100}};
    for (const Case& c : cases) {
        Mixer m(c.to);
        const int frames = c.from / 10;  // a tenth of a second
        m.start(constant(frames, 10000, c.from), 1.0f, false, false);
        std::vector<float> out(size_t(c.to) * 2);
        m.sum(out.data(), c.to / 2);
        int sounding = 0;
        while (sounding < c.to / 2 && out[2 * sounding] != 0.0f) ++sounding;
        EXPECT_NEAR(sounding, double(frames) * c.to / c.from, 1.0) << c.from << " -> " << c.to;
        for (int i = sounding; i < c.to / 2; ++i) ASSERT_EQ(out[2 * i], 0.0f);
        EXPECT_EQ(m.voicecount(), 0u);
    }
}

TEST(Mixer, PauseHoldsThePlaceAndResumeContinues) {
    Mixer m(kRate);
    const uint32_t v = m.start(ramp(3000, 10), 1.0f, false, false);
    left(m, 500);
    m.pause(v);
    EXPECT_FALSE(m.playing(v));
    left(m, kRampFrames);
    for (float x : left(m, 1000)) EXPECT_EQ(x, 0.0f);  // held, not playing on
    EXPECT_EQ(m.voicecount(), 1u);
    m.resume(v);
    EXPECT_TRUE(m.playing(v));
    const std::vector<float> out = left(m, 400);
    // Once faded back in, the ramp goes on from where the fade-out left it.
    const float at = out[kRampFrames] / (10 * kUnit);
    EXPECT_GE(at, 500 + kRampFrames);
    EXPECT_LE(at, 500 + 2 * kRampFrames);
    for (int i = kRampFrames; i < 400; ++i)
        EXPECT_NEAR(out[i], (at + (i - kRampFrames)) * 10 * kUnit, 1e-6f);
}

TEST(Mixer, StartedPausedWaitsForResume) {
    Mixer m(kRate);
    const uint32_t v = m.start(ramp(1000, 10), 0.5f, false, true);
    EXPECT_NE(v, 0u);
    EXPECT_FALSE(m.playing(v));
    for (float x : left(m, 300)) EXPECT_EQ(x, 0.0f);
    m.resume(v);
    const std::vector<float> out = left(m, 400);
    // It starts from its first frame.
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(out[399], 399 * 10 * kUnit * 0.5f);
}

TEST(Mixer, WorksThroughTheAudioOutInterface) {
    Mixer m(kRate);
    AudioOut& out = m;
    const uint32_t v = out.start(constant(1000, 4000), 1.0f, true, false);
    out.setvolume(v, 0.5f);
    EXPECT_FLOAT_EQ(left(m, kRampFrames + 1).back(), 2000 * kUnit);
    out.stop(v);
    left(m, kRampFrames + 1);
    EXPECT_EQ(m.voicecount(), 0u);
}

}  // namespace
}  // namespace vx
