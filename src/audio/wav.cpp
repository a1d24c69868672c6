// Reading the game's sound files: RIFF WAVE with 8- or 16-bit PCM, mono or
// stereo. The layout accepted is
//
//   "RIFF" <u32 size> "WAVE"
//   "fmt " <u32 n >= 16> <u16 tag = 1> <u16 channels 1|2> <u32 rate> <u32 byte rate>
//          <u16 block align> <u16 bits 8|16> <n - 16 more bytes, skipped>
//   any other chunks, skipped
//   "data" <u32 n> <samples>
//
// Every chunk is followed by a pad byte when its size is odd. The RIFF size,
// byte rate and block align fields are not trusted: the frame size comes from
// the channel count and sample width. A data chunk that claims more bytes than
// the file holds is cut to the bytes present, and a trailing partial frame is
// dropped. A data chunk without any whole frame gives an empty sound (it plays
// nothing). A rate outside kMinRate to kMaxRate (4 to 192 kHz) is refused: no
// sound is recorded at less, and more is noise to every mixer.
//
// The layout is read through a reader of bytes at offsets, so a file need not
// be in memory: music tracks are streamed from it.
#include <algorithm>
#include <cstring>

#include "audio/audio.h"

namespace vx {

namespace {

// Bounds-checked little-endian reads at offsets of a file of `size` bytes.
class Bytes {
  public:
    Bytes(const WavReader& read, uint64_t size) : read_(read), size_(size) {}
    uint64_t left() const { return size_ - pos_; }
    uint64_t pos() const { return pos_; }
    bool has(uint64_t n) const { return left() >= n; }
    bool tag(const char* t) {
        uint8_t b[4];
        if (!has(4) || read_(pos_, b, 4) != 4 || std::memcmp(b, t, 4) != 0) return false;
        pos_ += 4;
        return true;
    }
    // Each read assumes has() was checked; bytes the reader cannot give read as 0.
    uint16_t u16() {
        uint8_t b[2] = {};
        read_(pos_, b, 2);
        pos_ += 2;
        return uint16_t(b[0] | (b[1] << 8));
    }
    uint32_t u32() {
        uint8_t b[4] = {};
        read_(pos_, b, 4);
        pos_ += 4;
        return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) |
               (uint32_t(b[3]) << 24);
    }
    void skip(uint64_t n) { pos_ += n; }
    // Skips a chunk body of n bytes and its pad byte; false when the file ends first.
    bool skipchunk(uint64_t n) {
        if (n > left()) return false;
        pos_ += n;
        if ((n & 1) && left() > 0) ++pos_;
        return true;
    }

  private:
    const WavReader& read_;
    uint64_t size_;
    uint64_t pos_ = 0;
};

}  // namespace

std::optional<WavLayout> readwavlayout(const WavReader& read, uint64_t size, const char** why) {
    const char* dummy = nullptr;
    const char*& reason = why ? *why : dummy;
    reason = "is not a PCM WAV file";
    Bytes in(read, size);
    if (!in.tag("RIFF") || !in.has(4)) return std::nullopt;
    in.u32();  // the RIFF size: the chunks themselves say where things are
    if (!in.tag("WAVE")) return std::nullopt;

    if (!in.tag("fmt ") || !in.has(4)) return std::nullopt;
    const uint32_t fmtsize = in.u32();
    if (fmtsize < 16 || !in.has(16)) return std::nullopt;
    const uint16_t formattag = in.u16();
    const uint16_t channels = in.u16();
    const uint32_t rate = in.u32();
    in.u32();  // byte rate
    in.u16();  // block align
    const uint16_t bits = in.u16();
    if (formattag != 1 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16))
        return std::nullopt;
    if (rate < uint32_t(kMinRate) || rate > uint32_t(kMaxRate)) {
        reason = "has a sample rate outside 4000 to 192000 Hz";
        return std::nullopt;
    }
    if (!in.skipchunk(fmtsize - 16)) return std::nullopt;  // extension bytes and pad

    for (;;) {
        if (!in.has(8)) return std::nullopt;  // no "data" chunk
        const bool isdata = in.tag("data");
        if (!isdata) in.skip(4);
        const uint32_t chunksize = in.u32();
        if (isdata) {
            WavLayout w;
            w.rate = int(rate);
            w.channels = channels;
            w.bits = bits;
            w.offset = in.pos();
            const uint64_t bytes = chunksize < in.left() ? chunksize : in.left();
            w.frames = bytes / (uint64_t(channels) * (bits / 8));
            reason = nullptr;
            return w;
        }
        if (!in.skipchunk(chunksize)) return std::nullopt;
    }
}

void decodewav(const WavLayout& w, const uint8_t* p, size_t frames, int16_t* out) {
    const size_t n = frames * size_t(w.channels);
    if (w.bits == 8) {
        for (size_t i = 0; i < n; ++i) out[i] = int16_t((int(p[i]) - 128) * 256);
    } else {
        for (size_t i = 0; i < n; ++i) out[i] = int16_t(uint16_t(p[2 * i] | (p[2 * i + 1] << 8)));
    }
}

std::shared_ptr<const Pcm> readwav(const uint8_t* data, size_t size, const char** why) {
    if (!data) {
        if (why) *why = "is not a PCM WAV file";
        return nullptr;
    }
    const WavReader read = [&](uint64_t at, uint8_t* out, size_t n) -> size_t {
        if (at >= size) return 0;
        const size_t got = std::min<uint64_t>(n, size - at);
        std::memcpy(out, data + at, got);
        return got;
    };
    const auto w = readwavlayout(read, size, why);
    if (!w) return nullptr;
    auto pcm = std::make_shared<Pcm>();
    pcm->rate = w->rate;
    pcm->channels = w->channels;
    pcm->samples.resize(size_t(w->frames) * size_t(w->channels));
    decodewav(*w, data + w->offset, size_t(w->frames), pcm->samples.data());
    return pcm;
}

}  // namespace vx
