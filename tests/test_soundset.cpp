// The sound set this build synthesised into data/, read by the game's own WAV
// reader: its levels at the default volumes (music 1.0, effects 0.5), its
// peaks, the music's loop seams, and the effects that must not be mistaken
// for one another.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "audio/audio.h"

namespace vx {
namespace {

const std::string kData = std::string(VEXALOID_BINARY_DIR) + "/data/";

std::shared_ptr<const Pcm> load(const std::string& name) {
    std::ifstream f(kData + name + ".wav", std::ios::binary);
    std::ostringstream ss;
    ss << f.rdbuf();
    const std::string b = ss.str();
    return readwav(reinterpret_cast<const uint8_t*>(b.data()), b.size());
}

double db(double x) {
    return 20.0 * std::log10(x);
}

double rms(const Pcm& p) {
    double sum = 0.0;
    for (int16_t s : p.samples) sum += double(s) * s;
    return std::sqrt(sum / double(p.samples.size())) / 32768.0;
}

// The RMS of the loudest 50 ms.
double loudest(const Pcm& p) {
    const size_t window = std::min(size_t(p.rate / 20) * size_t(p.channels), p.samples.size());
    double sum = 0.0, best = 0.0;
    for (size_t i = 0; i < p.samples.size(); ++i) {
        sum += double(p.samples[i]) * p.samples[i];
        if (i >= window) sum -= double(p.samples[i - window]) * p.samples[i - window];
        best = std::max(best, sum);
    }
    return std::sqrt(best / double(window)) / 32768.0;
}

const char* const kTracks[] = {"techno1", "techno2", "techno3", "techno4"};
const char* const kEffects[] = {"shot1",   "hypersp", "gstart",  "endwave", "bhit",
                                "bhit1",   "lswarm",  "sswarm",  "sbhit",   "sbdie",
                                "shipdie", "flyaway", "beewarp", "hscore"};

TEST(SoundSet, EveryFileIsThereAndPeaksAtMinusOneDbfsAtMost) {
    std::vector<std::string> all(std::begin(kTracks), std::end(kTracks));
    all.insert(all.end(), std::begin(kEffects), std::end(kEffects));
    for (const std::string& name : all) {
        const auto p = load(name);
        ASSERT_TRUE(p) << name;
        EXPECT_EQ(p->rate, 44100) << name;
        EXPECT_GT(p->frames(), size_t(p->rate / 20)) << name;
        int peak = 0;
        for (int16_t s : p->samples) peak = std::max(peak, std::abs(int(s)));
        EXPECT_LE(db(peak / 32768.0), -1.0) << name;
    }
}

// The four tracks sit between -24 and -21 dBFS within 1.5 dB of one another,
// and every effect's loudest 50 ms at half volume stands at least 6 dB over
// the music's mean.
TEST(SoundSet, EffectsStandClearOfTheMusic) {
    std::vector<double> levels;
    double mean = 0.0;
    for (const char* name : kTracks) {
        const auto p = load(name);
        ASSERT_TRUE(p) << name;
        ASSERT_EQ(p->channels, 2) << name;
        mean += rms(*p) / 4.0;
        levels.push_back(db(rms(*p)));
        EXPECT_GE(levels.back(), -24.0) << name;
        EXPECT_LE(levels.back(), -21.0) << name;
    }
    const auto [low, high] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_LE(*high - *low, 1.5);
    for (const char* name : kEffects) {
        const auto p = load(name);
        ASSERT_TRUE(p) << name;
        EXPECT_GE(db(0.5 * loudest(*p)) - db(mean), 6.0) << name;
    }
}

// A track's last frame leads into its first as any frame into the next: the
// step across the seam is no larger than most of the track's own steps.
TEST(SoundSet, MusicLoopsWithoutASeam) {
    for (const char* name : kTracks) {
        const auto p = load(name);
        ASSERT_TRUE(p) << name;
        const size_t n = p->frames();
        for (size_t c = 0; c < 2; ++c) {
            std::vector<int> steps;
            steps.reserve(n);
            for (size_t i = 0; i + 1 < n; ++i)
                steps.push_back(std::abs(p->samples[2 * (i + 1) + c] - p->samples[2 * i + c]));
            std::nth_element(steps.begin(), steps.begin() + steps.size() * 95 / 100, steps.end());
            const int ordinary = steps[steps.size() * 95 / 100];
            const int seam = std::abs(p->samples[c] - p->samples[2 * (n - 1) + c]);
            EXPECT_LE(seam, ordinary) << name << " channel " << c;
        }
    }
}

// How much a sound repeats itself: the mean, over its 10 ms stretches that
// are not near silence, of the best normalised correlation with itself 20 to
// 400 frames later. A tone scores near 1, noise far lower.
double periodicity(const Pcm& p) {
    const int ch = p.channels, n = 441;
    std::vector<double> x(p.frames());
    for (size_t i = 0; i < x.size(); ++i) x[i] = p.samples[i * ch];
    double peak = 0.0;
    for (double v : x) peak = std::max(peak, std::fabs(v));
    double total = 0.0;
    int counted = 0;
    for (size_t at = 0; at + n + 400 <= x.size(); at += n) {
        double e = 0.0;
        for (int i = 0; i < n; ++i) e += x[at + i] * x[at + i];
        if (std::sqrt(e / n) < 0.05 * peak) continue;
        double best = 0.0;
        for (int lag = 20; lag < 400; ++lag) {
            double ab = 0.0, bb = 0.0;
            for (int i = 0; i < n; ++i) {
                ab += x[at + i] * x[at + i + lag];
                bb += x[at + i + lag] * x[at + i + lag];
            }
            best = std::max(best, ab / (std::sqrt(e * bb) + 1e-9));
        }
        total += best;
        ++counted;
    }
    return counted ? total / counted : 0.0;
}

// The hyperspace shimmer is a tone where the fly-away whoosh is air; the
// laser is a tone where the swarm bee's hit is a noisy pop.
TEST(SoundSet, LookAlikeEffectsAreToneAgainstNoise) {
    struct Pair {
        const char *tone, *noise;
    };
    for (const Pair& pr : {Pair{"hypersp", "flyaway"}, Pair{"shot1", "bhit1"}}) {
        const auto t = load(pr.tone), n = load(pr.noise);
        ASSERT_TRUE(t && n) << pr.tone << " " << pr.noise;
        const double pt = periodicity(*t), pn = periodicity(*n);
        EXPECT_GE(pt, 0.75) << pr.tone;
        EXPECT_LE(pn, 0.5) << pr.noise;
        EXPECT_GE(pt - pn, 0.35) << pr.tone << " against " << pr.noise;
    }
}

}  // namespace
}  // namespace vx
