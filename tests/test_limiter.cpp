// The master limiter: nothing reaches full scale at any volume and any number
// of voices, the gain moves without steps, and a mix under the ceiling comes
// out untouched, only delayed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/limiter.h"
#include "platform/mixer.h"

namespace vx {
namespace {

constexpr int kRate = 44100;

// Interleaved stereo: a sine of the given peak, the right side a quarter turn on.
std::vector<float> sine(int frames, float peak, double hz) {
    std::vector<float> s(2 * size_t(frames));
    for (int i = 0; i < frames; ++i) {
        const double a = 2 * std::numbers::pi * hz * i / kRate;
        s[2 * i] = float(peak * std::sin(a));
        s[2 * i + 1] = float(peak * std::cos(a));
    }
    return s;
}

float peakof(const std::vector<float>& s) {
    float p = 0.0f;
    for (float x : s) p = std::max(p, std::fabs(x));
    return p;
}

std::shared_ptr<const Pcm> pcm(std::vector<int16_t> samples, int channels) {
    auto p = std::make_shared<Pcm>();
    p->rate = kRate;
    p->channels = channels;
    p->samples = std::move(samples);
    return p;
}

// A mono sound: a sine of the given peak that starts at full height (a step).
std::shared_ptr<const Pcm> tone(int frames, int16_t peak, double hz) {
    std::vector<int16_t> s(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        s[i] = int16_t(std::lround(peak * std::cos(2 * std::numbers::pi * hz * i / kRate)));
    return pcm(s, 1);
}

TEST(Limiter, UnderTheCeilingTheMixComesOutUntouchedAndDelayed) {
    Limiter lim(kRate);
    ASSERT_GT(lim.latency(), 0);
    ASSERT_LE(lim.latency(), kRate / 200);  // a few milliseconds at most
    // -1 dBFS, the loudest any sound file is, in blocks of odd sizes.
    const std::vector<float> in = sine(5000, 0.891f, 997.0);
    std::vector<float> out = in;
    const int blocks[] = {1, 7, 64, 300, 735, 1024};
    for (int at = 0, k = 0; at < 5000; ++k) {
        const int n = std::min(blocks[k % 6], 5000 - at);
        lim.process(out.data() + 2 * at, n);
        at += n;
    }
    const int d = lim.latency();
    for (int i = 0; i < d; ++i) ASSERT_EQ(out[2 * i], 0.0f);
    for (int i = d; i < 5000; ++i) {
        ASSERT_EQ(out[2 * i], in[2 * (i - d)]) << i;
        ASSERT_EQ(out[2 * i + 1], in[2 * (i - d) + 1]) << i;
    }
}

// Loud input of every kind: nothing above the ceiling comes out, and the gain
// never steps: down by at most what the look-ahead ramp allows, up slowly.
TEST(Limiter, HoldsTheCeilingWithoutSteps) {
    struct Case {
        const char* what;
        std::vector<float> in;
    };
    std::vector<Case> cases;
    cases.push_back({"steady sine four times too loud", sine(20000, 3.8f, 440.0)});
    {
        // Quiet, then a single full-scale-times-ten sample, then quiet again.
        std::vector<float> s = sine(20000, 0.3f, 220.0);
        s[2 * 9000] = 10.0f;
        cases.push_back({"one lone spike", s});
    }
    {
        // A burst that starts at its full height after quiet.
        std::vector<float> s = sine(20000, 0.3f, 220.0);
        const std::vector<float> b = sine(6000, 6.0f, 3000.0);
        for (size_t i = 0; i < b.size(); ++i) s[2 * 8000 + i] += b[i];
        cases.push_back({"sudden burst", s});
    }
    {
        // One side only.
        std::vector<float> s(40000, 0.0f);
        for (int i = 0; i < 20000; ++i) s[2 * i + 1] = i % 2 ? 2.0f : -2.0f;
        cases.push_back({"right side alone", s});
    }
    for (const Case& c : cases) {
        Limiter lim(kRate);
        std::vector<float> out = c.in;
        const int frames = int(out.size() / 2);
        const float deepest = Limiter::kCeiling / peakof(c.in);
        const float maxdrop = (1.0f - deepest) / float(lim.latency()) + 1e-6f;
        float gain = 1.0f;
        for (int i = 0; i < frames; ++i) {
            lim.process(out.data() + 2 * i, 1);
            EXPECT_LE(gain - lim.gain(), maxdrop) << c.what << " at " << i;
            EXPECT_LE(lim.gain() - gain, 0.001f) << c.what << " at " << i;
            gain = lim.gain();
        }
        EXPECT_LE(peakof(out), Limiter::kCeiling * 1.000001f) << c.what;
        EXPECT_LT(lim.gain(), 1.0f) << c.what << ": the loud part was limited";
    }
}

// After a loud passage the gain returns to exactly 1: the quiet part that
// follows is the input again, sample for sample.
TEST(Limiter, RecoversFullyAfterALoudPassage) {
    Limiter lim(kRate);
    std::vector<float> loud = sine(kRate / 4, 5.0f, 500.0);
    lim.process(loud.data(), kRate / 4);
    const std::vector<float> quiet = sine(2 * kRate, 0.5f, 500.0);
    std::vector<float> out = quiet;
    lim.process(out.data(), 2 * kRate);
    EXPECT_EQ(lim.gain(), 1.0f);
    const int d = lim.latency();
    for (int i = kRate; i < 2 * kRate; ++i) ASSERT_EQ(out[2 * i], quiet[2 * (i - d)]) << i;
}

// The master output of the mixer: any number of loud voices, all at full
// volume, starting together on their loudest sample.
TEST(Limiter, MixerMasterOutputNeverReachesFullScale) {
    for (int voices : {1, 2, 8, 64, 300}) {
        Mixer m(kRate);
        for (int i = 0; i < voices; ++i)
            m.start(tone(kRate / 2, 32767, 110.0 * (1 + i % 7)), 1.0f, false, false);
        std::vector<float> out(2 * size_t(kRate));
        m.mix(out.data(), kRate);
        EXPECT_LE(peakof(out), Limiter::kCeiling * 1.000001f) << voices << " voices";
        EXPECT_GT(peakof(out), 0.9f) << voices << " voices";  // limited, not silenced
    }
}

// One voice of a sound file at -1 dBFS, at the default effect and music
// volumes, is the voice's own samples, only delayed.
TEST(Limiter, OneVoiceAtTheDefaultVolumesPassesUntouched) {
    for (float volume : {0.5f, 1.0f}) {
        const auto sound = pcm(
            [] {
                std::vector<int16_t> s(2 * 4000);
                for (int i = 0; i < 4000; ++i) {
                    s[2 * i] = int16_t(std::lround(29204 * std::sin(i * 0.05)));
                    s[2 * i + 1] = int16_t(-s[2 * i]);
                }
                return s;
            }(),
            2);
        Mixer dry(kRate), wet(kRate);
        dry.start(sound, volume, false, false);
        wet.start(sound, volume, false, false);
        std::vector<float> a(2 * 5000), b(2 * 5000);
        dry.sum(a.data(), 5000);
        wet.mix(b.data(), 5000);
        const int d = wet.latency();
        for (int i = 0; i + d < 5000; ++i) {
            ASSERT_EQ(b[2 * (i + d)], a[2 * i]) << volume << " at " << i;
            ASSERT_EQ(b[2 * (i + d) + 1], a[2 * i + 1]) << volume << " at " << i;
        }
    }
}

}  // namespace
}  // namespace vx
