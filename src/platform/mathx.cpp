#include "platform/mathx.h"

#include <cmath>

namespace vx {

namespace {
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
}

float sindeg(float degrees) {
    return static_cast<float>(std::sin(degrees * kDegToRad));
}
float cosdeg(float degrees) {
    return static_cast<float>(std::cos(degrees * kDegToRad));
}

void Rng::seed(uint64_t s) {
    state_ = s;
}

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
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vx {

std::string shortestfloat(float v) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
    // The fewest significant digits that read back as the same float, rounded
    // from its exact value: "-d.ddde+XX".
    char sci[32];
    for (int prec = 0; prec <= 9; ++prec) {
        std::snprintf(sci, sizeof sci, "%.*e", prec, static_cast<double>(v));
        if (std::strtof(sci, nullptr) == v) break;
    }
    const bool neg = sci[0] == '-';
    const char* m = sci + (neg ? 1 : 0);
    const char* e = std::strchr(m, 'e');
    std::string digits;
    for (const char* p = m; p < e; ++p)
        if (*p != '.') digits += *p;
    const int exp = std::atoi(e + 1);
    // The same digits without an exponent.
    std::string fixed = neg ? "-" : "";
    const int n = static_cast<int>(digits.size());
    if (exp >= 0) {
        if (n <= exp + 1) {
            // A whole number is written out exactly, as printf's %.0f does.
            char whole[64];
            std::snprintf(whole, sizeof whole, "%.0f", static_cast<double>(v));
            fixed = whole;
        } else {
            fixed += digits.substr(0, static_cast<size_t>(exp + 1)) + "." +
                     digits.substr(static_cast<size_t>(exp + 1));
        }
    } else {
        fixed += "0." + std::string(static_cast<size_t>(-exp - 1), '0') + digits;
    }
    // The shorter of the two, the one without an exponent on a tie.
    return fixed.size() <= std::strlen(sci) ? fixed : std::string(sci);
}

std::string floattext(float v) {
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
#else
    // A standard library without floating-point to_chars (the web build's).
    return shortestfloat(v);
#endif
}

}  // namespace vx
