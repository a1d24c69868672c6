#include "platform/mathx.h"

#include <cmath>

namespace vx {

namespace {
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
}

float sindeg(float degrees) { return static_cast<float>(std::sin(degrees * kDegToRad)); }
float cosdeg(float degrees) { return static_cast<float>(std::cos(degrees * kDegToRad)); }

void Rng::seed(uint64_t s) { state_ = s; }

// splitmix64: tiny, fast and identical on every compiler.
uint64_t Rng::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float Rng::rnd(float a, float b) {
    if (b < a) {
        float t = a;
        a = b;
        b = t;
    }
    double u = static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0);  // [0, 1)
    float r = static_cast<float>(a + (static_cast<double>(b) - a) * u);
    // Rounding to single precision may reach b; keep the range half-open.
    if (r >= b && b > a) r = std::nextafter(b, a);
    return r;
}

}  // namespace vx

#include <charconv>

namespace vx {

std::string floattext(float v) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

}  // namespace vx
