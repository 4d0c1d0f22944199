#include "music/note_labels.h"

#include <gtest/gtest.h>

TEST(StaffSlot, LedgerLinesOfShownStaff)
{
    struct Case { int shown, count, first; };
    const Case cases[] = {{40, 2, 20}, {20, 2, 20}, {60, 1, 40}, {300, 1, 280},
                          {330, 2, 280}, {320, 2, 280}, {200, 0, -7}, {290, 0, -7}};
    for (const Case &c : cases) {
        int32_t count = 9, first = -7;
        ledgerLinesForShownStaff(c.shown, count, first);
        EXPECT_EQ(count, c.count) << c.shown;
        EXPECT_EQ(first, c.first) << c.shown;
    }
}

TEST(Labels, FixedDoSolfege)
{
    EXPECT_EQ(solfegeName(false, 0), "La");
    EXPECT_EQ(solfegeName(false, 27), "Do");
    EXPECT_EQ(solfegeName(false, 28), "Di");
    EXPECT_EQ(solfegeName(true, 28), "Ra");
}
