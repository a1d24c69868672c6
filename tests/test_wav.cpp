// Reading sound files: the accepted layouts, everything else refused, and never
// a read outside the bytes given (the sanitizer build checks that part).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "audio/audio.h"

namespace vx {
namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
void tag(Bytes& b, const char* t) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(t[i]));
}

struct Chunk {
    std::string id;
    uint32_t size;  // as written in the header
    Bytes body;     // as written in the file (pad byte included when wanted)
};

// A file built field by field; each field can be forged.
struct Wav {
    const char* riff = "RIFF";
    uint32_t riffsize = 0;  // 0: the true size
    const char* wave = "WAVE";
    uint32_t fmtsize = 16;
    uint16_t format = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t blockalign = 0;  // 0: the true value
    uint16_t bits = 16;
    Bytes fmtextra;             // bytes after the first 16 of "fmt "
    std::vector<Chunk> before;  // chunks between "fmt " and "data"
    bool hasdata = true;
    uint32_t datasize = 0xFFFFFFFF - 1;  // this value: the true size
    Bytes data;

    Bytes bytes() const {
        Bytes b;
        tag(b, riff);
        put32(b, 0);
        tag(b, wave);
        tag(b, "fmt ");
        put32(b, fmtsize);
        put16(b, format);
        put16(b, channels);
        put32(b, rate);
        const uint16_t align = blockalign ? blockalign : uint16_t(channels * bits / 8);
        put32(b, rate * align);
        put16(b, align);
        put16(b, bits);
        b.insert(b.end(), fmtextra.begin(), fmtextra.end());
        for (const Chunk& c : before) {
            tag(b, c.id.c_str());
            put32(b, c.size);
            b.insert(b.end(), c.body.begin(), c.body.end());
        }
        if (hasdata) {
            tag(b, "data");
            put32(b, datasize == 0xFFFFFFFF - 1 ? uint32_t(data.size()) : datasize);
            b.insert(b.end(), data.begin(), data.end());
        }
        const uint32_t size = riffsize ? riffsize : uint32_t(b.size() - 8);
        for (int i = 0; i < 4; ++i) b[4 + i] = uint8_t(size >> (8 * i));
        return b;
    }
};

// Four 16-bit mono samples: 0, 1000, -1000, 32767.
const Bytes kFour16 = {0x00, 0x00, 0xE8, 0x03, 0x18, 0xFC, 0xFF, 0x7F};

std::shared_ptr<const Pcm> read(const Bytes& b) {
    return readwav(b.data(), b.size());
}

Wav plain() {
    Wav w;
    w.data = kFour16;
    return w;
}

struct Bad {
    const char* name;
    std::function<Bytes()> make;
};

Bytes with(const std::function<void(Wav&)>& change) {
    Wav w = plain();
    change(w);
    return w.bytes();
}

const Bad kBad[] = {
    {"empty", [] { return Bytes{}; }},
    {"not RIFF", [] { return with([](Wav& w) { w.riff = "RIFX"; }); }},
    {"not WAVE", [] { return with([](Wav& w) { w.wave = "AVI "; }); }},
    {"fmt size 0", [] { return with([](Wav& w) { w.fmtsize = 0; }); }},
    {"fmt size 15", [] { return with([](Wav& w) { w.fmtsize = 15; }); }},
    {"fmt size past the end", [] { return with([](Wav& w) { w.fmtsize = 0xFFFFFFFF; }); }},
    {"fmt size 24 but 16 bytes", [] { return with([](Wav& w) { w.fmtsize = 24; }); }},
    {"format tag 3 (float)", [] { return with([](Wav& w) { w.format = 3; }); }},
    {"format tag 0xFFFE (extensible)", [] { return with([](Wav& w) { w.format = 0xFFFE; }); }},
    {"format tag 0", [] { return with([](Wav& w) { w.format = 0; }); }},
    {"zero channels", [] { return with([](Wav& w) { w.channels = 0; }); }},
    {"three channels", [] { return with([](Wav& w) { w.channels = 3; }); }},
    {"65535 channels", [] { return with([](Wav& w) { w.channels = 0xFFFF; }); }},
    {"24 bits", [] { return with([](Wav& w) { w.bits = 24; }); }},
    {"0 bits", [] { return with([](Wav& w) { w.bits = 0; }); }},
    {"32 bits", [] { return with([](Wav& w) { w.bits = 32; }); }},
    {"rate 0", [] { return with([](Wav& w) { w.rate = 0; }); }},
    {"rate past an int", [] { return with([](Wav& w) { w.rate = 0x80000000u; }); }},
    {"rate 2147483647", [] { return with([](Wav& w) { w.rate = 2147483647u; }); }},
    {"rate just under 4 kHz", [] { return with([](Wav& w) { w.rate = 3999; }); }},
    {"rate just over 192 kHz", [] { return with([](Wav& w) { w.rate = 192001; }); }},
    {"missing data",
     [] {
         return with([](Wav& w) {
             w.hasdata = false;
             w.before = {{"LIST", 4, {'I', 'N', 'F', 'O'}}};
         });
     }},
    {"chunk size 0xFFFFFFFF before data",
     [] { return with([](Wav& w) {
              w.before = {{"LIST", 0xFFFFFFFF, {'I', 'N', 'F', 'O'}}};
          }); }},
    {"chunk size one past the end",
     [] { return with([](Wav& w) {
              w.before = {{"junk", 4 + 8 + 8 + 1, {1, 2, 3, 4}}};
          }); }},
    {"odd chunk without its pad byte",
     [] { return with([](Wav& w) {
              w.before = {{"junk", 3, {1, 2, 3}}};
          }); }},
    {"data before fmt",
     [] {
         Bytes b;
         tag(b, "RIFF");
         put32(b, 4 + 8 + 4 + 8 + 16);
         tag(b, "WAVE");
         tag(b, "data");
         put32(b, 4);
         put32(b, 0);
         tag(b, "fmt ");
         put32(b, 16);
         put16(b, 1);
         put16(b, 1);
         put32(b, 22050);
         put32(b, 44100);
         put16(b, 2);
         put16(b, 16);
         return b;
     }},
    {"a chunk between WAVE and fmt",
     [] {
         Bytes b = plain().bytes();
         const Bytes junk = {'j', 'u', 'n', 'k', 2, 0, 0, 0, 0, 0};
         b.insert(b.begin() + 12, junk.begin(), junk.end());
         return b;
     }},
};

TEST(ReadWav, RefusesWhatIsNotAnAcceptedLayout) {
    for (const Bad& c : kBad) {
        const Bytes b = c.make();
        EXPECT_EQ(read(b), nullptr) << c.name;
    }
    EXPECT_EQ(readwav(nullptr, 100), nullptr);
}

// The rates at the ends of the accepted range play; past them the reason names the rate.
TEST(ReadWav, SampleRatesFrom4To192KHzAreAccepted) {
    const struct {
        uint32_t rate;
        bool accepted;
    } cases[] = {
        {4000, true}, {192000, true}, {3999, false}, {192001, false}, {2147483647u, false}};
    for (const auto& c : cases) {
        const Bytes b = with([&](Wav& w) { w.rate = c.rate; });
        const char* why = nullptr;
        const auto pcm = readwav(b.data(), b.size(), &why);
        EXPECT_EQ(pcm != nullptr, c.accepted) << c.rate;
        if (!c.accepted) {
            EXPECT_STREQ(why, "has a sample rate outside 4000 to 192000 Hz") << c.rate;
        }
    }
}

// Cut anywhere inside the header: refused. Cut inside the samples: the whole
// frames present.
TEST(ReadWav, TruncatedAtEveryByte) {
    Wav w = plain();
    w.channels = 2;
    w.data = kFour16;  // two stereo frames
    const Bytes full = w.bytes();
    ASSERT_EQ(full.size(), 44u + 8u);
    for (size_t n = 0; n < full.size(); ++n) {
        const auto pcm = readwav(full.data(), n);
        if (n < 44) {
            EXPECT_EQ(pcm, nullptr) << "cut at " << n;
        } else {
            ASSERT_NE(pcm, nullptr) << "cut at " << n;
            EXPECT_EQ(pcm->frames(), (n - 44) / 4) << "cut at " << n;
            EXPECT_EQ(pcm->samples.size(), pcm->frames() * 2);
        }
    }
}

struct Good {
    const char* name;
    Bytes file;
    int rate, channels;
    std::vector<int16_t> samples;
};

std::vector<Good> goodcases() {
    std::vector<Good> v;
    const std::vector<int16_t> four = {0, 1000, -1000, 32767};
    v.push_back({"16-bit mono", plain().bytes(), 22050, 1, four});
    v.push_back({"16-bit stereo", with([](Wav& w) {
                     w.channels = 2;
                     w.rate = 44100;
                 }),
                 44100, 2, four});
    v.push_back({"8-bit mono",
                 with([](Wav& w) {
                     w.bits = 8;
                     w.data = {0, 128, 255, 129};
                 }),
                 22050,
                 1,
                 {-32768, 0, 32512, 256}});
    v.push_back({"8-bit stereo",
                 with([](Wav& w) {
                     w.bits = 8;
                     w.channels = 2;
                     w.rate = 11025;
                     w.data = {0, 255, 128, 127};
                 }),
                 11025,
                 2,
                 {-32768, 32512, 0, -256}});
    v.push_back({"fmt with 2 extra bytes", with([](Wav& w) {
                     w.fmtsize = 18;
                     w.fmtextra = {0, 0};
                 }),
                 22050, 1, four});
    v.push_back({"fmt odd size with pad", with([](Wav& w) {
                     w.fmtsize = 17;
                     w.fmtextra = {7, 0};
                 }),
                 22050, 1, four});
    v.push_back({"LIST chunk before data", with([](Wav& w) {
                     w.before = {{"LIST", 4, {'I', 'N', 'F', 'O'}}};
                 }),
                 22050, 1, four});
    v.push_back({"odd chunk with pad, then another", with([](Wav& w) {
                     w.before = {{"junk", 3, {1, 2, 3, 0}}, {"fact", 4, {4, 0, 0, 0}}};
                 }),
                 22050, 1, four});
    v.push_back({"data size past the end is cut to the bytes present",
                 with([](Wav& w) { w.datasize = 0xFFFFFFFF; }), 22050, 1, four});
    v.push_back({"data size 2 GB", with([](Wav& w) { w.datasize = 0x80000000u; }), 22050, 1, four});
    v.push_back({"trailing half frame dropped", with([](Wav& w) {
                     w.channels = 2;
                     w.data.push_back(5);
                     w.data.push_back(6);
                     w.data.push_back(7);
                 }),
                 22050, 2, four});
    v.push_back(
        {"block align disagreeing", with([](Wav& w) { w.blockalign = 3; }), 22050, 1, four});
    v.push_back(
        {"RIFF size forged", with([](Wav& w) { w.riffsize = 0xFFFFFFFF; }), 22050, 1, four});
    v.push_back({"data size smaller than the bytes",
                 with([](Wav& w) { w.datasize = 4; }),
                 22050,
                 1,
                 {0, 1000}});
    v.push_back({"empty data", with([](Wav& w) { w.data.clear(); }), 22050, 1, {}});
    return v;
}

TEST(ReadWav, AcceptsTheFourFormatsAndSkipsWhatItMay) {
    for (const Good& c : goodcases()) {
        const auto pcm = read(c.file);
        ASSERT_NE(pcm, nullptr) << c.name;
        EXPECT_EQ(pcm->rate, c.rate) << c.name;
        EXPECT_EQ(pcm->channels, c.channels) << c.name;
        EXPECT_EQ(pcm->samples, c.samples) << c.name;
    }
}

// The sound set written by the build: every file accepted, 16-bit 44.1 kHz,
// peaks at or below -1 dBFS, effects starting from silence, music tracks of
// 30 to 60 seconds that loop without a jump.
TEST(ReadWav, EveryGeneratedSoundIsAccepted) {
    const std::string dir = VEXALOID_BINARY_DIR "/data/";
    std::vector<std::string> files(std::begin(kSfxFiles), std::end(kSfxFiles));
    files.insert(files.end(), std::begin(kMusicFiles), std::end(kMusicFiles));
    const int peakmax = int(32767 * std::pow(10.0, -1.0 / 20.0));
    for (size_t k = 0; k < files.size(); ++k) {
        const bool music = k >= size_t(kSfxCount);
        std::ifstream in(dir + files[k], std::ios::binary);
        const Bytes b{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const auto pcm = read(b);
        ASSERT_NE(pcm, nullptr) << files[k];
        EXPECT_EQ(pcm->rate, 44100) << files[k];
        EXPECT_EQ(pcm->channels, music ? 2 : 1) << files[k];
        const double seconds = double(pcm->frames()) / pcm->rate;
        if (music) {
            EXPECT_GE(seconds, 30.0) << files[k];
            EXPECT_LE(seconds, 60.0) << files[k];
        } else {
            EXPECT_GT(seconds, 0.05) << files[k];
            EXPECT_LT(seconds, 3.0) << files[k];
        }
        int peak = 0;
        for (int16_t s : pcm->samples) peak = std::max(peak, std::abs(int(s)));
        EXPECT_LE(peak, peakmax) << files[k];
        // Not silent; the levels themselves are checked in test_soundset.cpp
        // (the music peaks near -13 dBFS, under the effects).
        EXPECT_GT(peak, peakmax / 10) << files[k];

        const int ch = pcm->channels;
        const size_t n = pcm->samples.size();
        for (int c = 0; c < ch; ++c) {
            const int first = pcm->samples[c], last = pcm->samples[n - ch + c];
            if (music) {
                EXPECT_LT(std::abs(first - last), 1000) << files[k] << " loop seam";
            } else {
                EXPECT_LT(std::abs(first), 100) << files[k] << " starts with a click";
                EXPECT_LT(std::abs(last), 100) << files[k] << " ends with a click";
            }
        }
    }
}

}  // namespace
}  // namespace vx
