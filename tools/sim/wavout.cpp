#include "wavout.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace vx::sim {

namespace {

// A RIFF size field counts the bytes after it; data past this does not fit.
constexpr uint64_t kMaxData = 0xFFFFFFFFull - 36;

void put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}

// The 44-byte header of a 16-bit stereo PCM file with databytes of samples.
void header(uint8_t* h, int rate, uint32_t databytes) {
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, 36 + databytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1);  // PCM
    put16(h + 22, 2);  // stereo
    put32(h + 24, uint32_t(rate));
    put32(h + 28, uint32_t(rate) * 4);
    put16(h + 32, 4);
    put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, databytes);
}

}  // namespace

WavOut::~WavOut() {
    if (f_) std::fclose(f_);
}

bool WavOut::open(const std::string& path, int rate, std::string& error) {
    path_ = path;
    f_ = std::fopen(path.c_str(), "wb");
    if (!f_) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    uint8_t h[44];
    header(h, rate, 0);
    failed_ = std::fwrite(h, 1, sizeof h, f_) != sizeof h;
    rate_ = rate;
    return true;
}

void WavOut::write(const float* frames, int count) {
    if (!f_ || failed_ || full_ || count <= 0) return;
    uint64_t bytes = uint64_t(count) * 4;
    if (databytes_ + bytes > kMaxData) {
        full_ = true;
        bytes = (kMaxData - databytes_) / 4 * 4;
    }
    buf_.resize(size_t(bytes));
    for (size_t i = 0; i < bytes / 2; ++i) {
        const float x = std::clamp(frames[i], -1.0f, 1.0f);
        put16(&buf_[2 * i], uint32_t(uint16_t(int16_t(std::lround(x * 32767.0f)))));
    }
    if (std::fwrite(buf_.data(), 1, buf_.size(), f_) != buf_.size()) failed_ = true;
    databytes_ += bytes;
}

bool WavOut::close(std::string& error) {
    if (!f_) return true;
    uint8_t h[44];
    header(h, rate_, uint32_t(databytes_));
    if (!failed_ &&
        (std::fseek(f_, 0, SEEK_SET) != 0 || std::fwrite(h, 1, sizeof h, f_) != sizeof h))
        failed_ = true;
    if (std::fclose(f_) != 0) failed_ = true;
    f_ = nullptr;
    if (failed_) {
        error = "cannot write " + path_ + ": " + std::strerror(errno);
        return false;
    }
    if (full_) {
        error = path_ + " holds only the first " + std::to_string(databytes_ / 4) +
                " frames of sound: a WAV file cannot hold more";
        return false;
    }
    return true;
}

}  // namespace vx::sim
