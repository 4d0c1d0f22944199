#include <string>

#include <gtest/gtest.h>

#include "store/password.h"

TEST(ScramblePassword, KnownBytesAndRoundTrip)
{
    std::string out;
    scramblePassword("Brisketmoo", out);
    const std::string expected = {0x09, 0x20, 0x3E, 0x27, 0x27, 0x28, 0x2E, 0x4D, 0x5A, 0x57};
    EXPECT_EQ(out, expected);

    struct Case { std::string text; const char *what; };
    std::string all255;
    for (int i = 0; i < 255; ++i) all255.push_back(static_cast<char>(i + 1));
    const Case cases[] = {
        {"", "empty"},
        {"KRWTLMZ", "equal to the key: all zero bytes"},
        {"abcdefghijklmnopqrstu", "longer than the key"},
        {all255, "255 characters"},
    };
    for (const Case &c : cases) {
        std::string scrambled, back;
        scramblePassword(c.text, scrambled);
        ASSERT_EQ(scrambled.size(), c.text.size()) << c.what;
        scramblePassword(scrambled, back);
        EXPECT_EQ(back, c.text) << c.what;
    }

    scramblePassword("KRWTLMZ", out);
    EXPECT_EQ(out, std::string(7, '\0'));
    // Character 18 uses key character 1 again ('K').
    std::string longer(18, 'K');
    scramblePassword(longer, out);
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(out[17], '\0');
    EXPECT_NE(out[1], '\0');
}
