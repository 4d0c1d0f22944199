// The logo animation every full-window screen draws.
#include "frame/screen_frame.h"

#include <gtest/gtest.h>

TEST(ScreenFrame, FrameAnimationIndexWraps)
{
    EXPECT_EQ(frameAnimationIndex(0), 0);
    EXPECT_EQ(frameAnimationIndex(37), 37);
    EXPECT_EQ(frameAnimationIndex(38), 0);
    EXPECT_EQ(frameAnimationIndex(359 / 5), 71 % 38);
    EXPECT_EQ(frameAnimationIndex(-1), 37);
}
