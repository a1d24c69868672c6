// Angles in degrees and the game's one random generator.
#pragma once

#include <cstdint>

namespace vx {

float sindeg(float degrees);
float cosdeg(float degrees);

// A small seedable generator of uniform reals with a fixed starting state, so
// everything drawn before the game seeds it is the same on every run.
class Rng {
  public:
    Rng() { seed(0x5eed); }
    void seed(uint64_t s);
    // Uniform real in [a, b) (or [b, a) when b < a), rounded to single precision.
    float rnd(float a, float b);
    uint64_t state() const { return state_; }

  private:
    uint64_t next();
    uint64_t state_ = 0;
};

}  // namespace vx

#include <string>

namespace vx {
// The shortest decimal text that reads back as the same single-precision value.
std::string floattext(float v);
// The same text made with printf and strtof, for standard libraries without
// floating-point to_chars; floattext uses it there.
std::string shortestfloat(float v);
}  // namespace vx
