#include "frame/stops.h"

#include <gtest/gtest.h>

TEST(StopExitCode, NumberModBlockNeverZero)
{
    struct Case { int32_t stop; int code; };
    const Case cases[] = {{0, 0}, {5251, 1}, {4012, 12}, {500, 1}, {263, 13}, {3755, 5}, {18023, 23}};
    for (const Case &c : cases) EXPECT_EQ(stopExitCode(c.stop), c.code) << c.stop;
}
