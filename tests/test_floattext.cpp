// The web build's standard library has no floating-point to_chars, so its
// traces write floats with shortestfloat: it must give to_chars' text exactly.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>

#include "platform/mathx.h"

namespace {

TEST(FloatText, EdgeValuesMatchToChars) {
    const float table[] = {0.0f,
                           -0.0f,
                           1.0f,
                           0.1f,
                           0.5f,
                           1e-4f,
                           1e-5f,
                           0.001f,
                           100.0f,
                           1e10f,
                           1.5e-7f,
                           123456.0f,
                           1234567.0f,
                           1.0000001f,
                           12345678.0f,
                           240823472.0f,
                           3.4028235e38f,
                           1e-45f,
                           1.17549435e-38f,
                           -271614176.0f,
                           0.3f,
                           2.5f,
                           1e21f};
    for (float f : table) EXPECT_EQ(vx::shortestfloat(f), vx::floattext(f)) << f;
    EXPECT_EQ(vx::shortestfloat(std::numeric_limits<float>::infinity()), "Infinity");
    EXPECT_EQ(vx::shortestfloat(-std::numeric_limits<float>::infinity()), "-Infinity");
    EXPECT_EQ(vx::shortestfloat(std::numeric_limits<float>::quiet_NaN()), "NaN");
}

TEST(FloatText, RandomBitPatternsMatchToChars) {
    std::mt19937 gen(20261211);
    for (int i = 0; i < 200000; ++i) {
        const uint32_t bits = gen();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        ASSERT_EQ(vx::shortestfloat(f), vx::floattext(f)) << std::hex << bits;
    }
}

}  // namespace
