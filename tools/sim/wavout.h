// The simulator's sound file: 16-bit stereo PCM WAV, written as the run goes
// and its sizes filled in when it is closed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vx::sim {

class WavOut {
  public:
    ~WavOut();
    // Creates the file; false with a message when it cannot.
    bool open(const std::string& path, int rate, std::string& error);
    // Appends frames of interleaved stereo in -1..1 (anything past is clipped).
    void write(const float* frames, int count);
    // Fills in the sizes and closes; false with a message when anything failed.
    bool close(std::string& error);

  private:
    std::FILE* f_ = nullptr;
    std::string path_;
    int rate_ = 0;
    uint64_t databytes_ = 0;
    bool full_ = false;  // the 4 GiB a WAV file can hold are used up
    bool failed_ = false;
    std::vector<uint8_t> buf_;
};

}  // namespace vx::sim
