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
// nothing). A rate of 0 or above what an int holds is not accepted.
#include <climits>
#include <cstring>

#include "audio/audio.h"

namespace vx {

namespace {

// Bounds-checked little-endian reads over the file's bytes.
class Bytes {
  public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t left() const { return size_ - pos_; }
    size_t pos() const { return pos_; }
    bool has(size_t n) const { return left() >= n; }
    bool tag(const char* t) {
        if (!has(4) || std::memcmp(data_ + pos_, t, 4) != 0) return false;
        pos_ += 4;
        return true;
    }
    // Each read assumes has() was checked.
    uint16_t u16() {
        const uint16_t v = uint16_t(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    uint32_t u32() {
        const uint32_t v = uint32_t(data_[pos_]) | (uint32_t(data_[pos_ + 1]) << 8) |
                           (uint32_t(data_[pos_ + 2]) << 16) | (uint32_t(data_[pos_ + 3]) << 24);
        pos_ += 4;
        return v;
    }
    void skip(size_t n) { pos_ += n; }
    // Skips a chunk body of n bytes and its pad byte; false when the file ends first.
    bool skipchunk(uint64_t n) {
        if (n > left()) return false;
        pos_ += size_t(n);
        if ((n & 1) && left() > 0) ++pos_;
        return true;
    }
    const uint8_t* here() const { return data_ + pos_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace

std::shared_ptr<const Pcm> readwav(const uint8_t* data, size_t size) {
    if (!data) return nullptr;
    Bytes in(data, size);
    if (!in.tag("RIFF") || !in.has(4)) return nullptr;
    in.u32();  // the RIFF size: the chunks themselves say where things are
    if (!in.tag("WAVE")) return nullptr;

    if (!in.tag("fmt ") || !in.has(4)) return nullptr;
    const uint32_t fmtsize = in.u32();
    if (fmtsize < 16 || !in.has(16)) return nullptr;
    const uint16_t formattag = in.u16();
    const uint16_t channels = in.u16();
    const uint32_t rate = in.u32();
    in.u32();  // byte rate
    in.u16();  // block align
    const uint16_t bits = in.u16();
    if (formattag != 1 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16))
        return nullptr;
    if (rate == 0 || rate > uint32_t(INT_MAX)) return nullptr;
    if (!in.skipchunk(fmtsize - 16)) return nullptr;  // extension bytes and pad

    for (;;) {
        if (!in.has(8)) return nullptr;  // no "data" chunk
        const bool isdata = in.tag("data");
        if (!isdata) in.skip(4);
        const uint32_t chunksize = in.u32();
        if (isdata) {
            const size_t framebytes = size_t(channels) * (bits / 8);
            const size_t bytes = chunksize < in.left() ? size_t(chunksize) : in.left();
            const size_t frames = bytes / framebytes;
            auto pcm = std::make_shared<Pcm>();
            pcm->rate = int(rate);
            pcm->channels = channels;
            pcm->samples.resize(frames * channels);
            const uint8_t* p = in.here();
            if (bits == 8) {
                for (size_t i = 0; i < pcm->samples.size(); ++i)
                    pcm->samples[i] = int16_t((int(p[i]) - 128) * 256);
            } else {
                for (size_t i = 0; i < pcm->samples.size(); ++i)
                    pcm->samples[i] = int16_t(uint16_t(p[2 * i] | (p[2 * i + 1] << 8)));
            }
            return pcm;
        }
        if (!in.skipchunk(chunksize)) return nullptr;
    }
}

}  // namespace vx
