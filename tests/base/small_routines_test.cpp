// Byte swap, random numbers, the lenient decimal reader and the outline maths.
#include "base/small_routines.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SmallRoutines, SwapBytes32)
{
    EXPECT_EQ(swapBytes32(0x04030201u), 0x01020304u);
    EXPECT_EQ(swapBytes32(0xFF000000u), 0x000000FFu);
    EXPECT_EQ(swapBytes32(swapBytes32(0xDEADBEEFu)), 0xDEADBEEFu);
}

TEST(SmallRoutines, DecimalTextToReal)
{
    struct Case {
        const char *text;
        double value;
    };
    const Case cases[] = {
        {"1.5", 1.5},   {"1.x5", 1.05}, {"12a3", 123}, {"", 0},     {"abc", 0},
        {"-2", 2},      {"0.25", 0.25}, {"3.", 3},     {".5", 0.5}, {"1.2.3", 1.203},
        {"0.0001", 0.0001},
    };
    for (const Case &c : cases) EXPECT_DOUBLE_EQ(decimalTextToReal(c.text), c.value) << c.text;
    // A fraction longer than nine places keeps adding smaller and smaller
    // amounts instead of going wrong when the place value grows large.
    EXPECT_NEAR(decimalTextToReal("0.123456789012345"), 0.123456789012345, 1e-15);
    EXPECT_NEAR(decimalTextToReal("2." + std::string(40, '0') + "9"), 2.0, 1e-15);
    EXPECT_GE(decimalTextToReal("2." + std::string(40, '0') + "9"), 2.0);
}

TEST(SmallRoutines, RandomBelowStaysInRange)
{
    seedRandomGenerator(12345);
    int seen[5] = {};
    for (int i = 0; i < 2000; ++i) {
        const int32_t r = randomBelow(5);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 5);
        ++seen[r];
    }
    for (int count : seen) EXPECT_GT(count, 300); // every value comes up
    EXPECT_EQ(randomBelow(1), 0);
    EXPECT_EQ(randomBelow(0), 0);
    EXPECT_EQ(randomBelow(-3), 0);
}

TEST(SmallRoutines, EllipseOutlineByRotation)
{
    double xy[8];
    ellipseOutlineVertices(100, 50, 4, 10, 6, xy); // a diamond
    const double expected[8] = {110, 50, 100, 56, 90, 50, 100, 44};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(xy[i], expected[i], 1e-9) << i;

    double circle[2 * 36];
    ellipseOutlineVertices(0, 0, 36, 20, 20, circle);
    for (int i = 0; i < 36; ++i)
        EXPECT_NEAR(std::hypot(circle[2 * i], circle[2 * i + 1]), 20, 1e-9) << i;
}

TEST(SmallRoutines, FixedTextNeverShowsMinusZero)
{
    struct Case { double v; int decimals; const char *text; };
    const Case cases[] = {{-0.04, 1, "0.0"}, {-0.0, 1, "0.0"}, {-0.06, 1, "-0.1"}, {0.04, 1, "0.0"},
                          {-12.34, 1, "-12.3"}, {-0.4, 0, "0"}, {-0.6, 0, "-1"}, {-0.0, 0, "0"},
                          {-100.0, 0, "-100"}, {2.5, 0, "2"}};
    for (const Case &c : cases) EXPECT_EQ(fixedText(c.v, c.decimals), c.text) << c.v << " " << c.decimals;
}
