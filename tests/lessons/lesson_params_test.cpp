#include <string>

#include <gtest/gtest.h>

#include "lessons/lesson_params.h"

TEST(LessonParams, RowsAtTheTurnsOfTheCurriculum)
{
    struct Case { int32_t lesson, notes; double delay, dev, tol; };
    const Case cases[] = {
        {2, 8, 1500, 50, 95},      {3, 8, 1500, 50, 75},      {4, 8, 1500, 33, 63},
        {5, 8, 1500, 25, 50},      {6, 8, 3000, 50, 75},      {32, 8, 15000, 25, 50},
        {33, 7, 16500, 50, 75},    {212, 2, 105000, 25, 50},  {213, 1, 106500, 50, 75},
        {482, 1, 240000, 25, 50},  {483, 2, 240000, 50, 75},  {503, 8, 240000, 25, 50},
        {504, 8, 240000, 50, 50},  {506, 8, 240000, 33, 33},  {508, 8, 240000, 25, 25},
        {509, 8, 300000, 33, 33},  {510, 8, 300000, 25, 33},  {512, 8, 360000, 33, 33},
        {556, 8, 1200000, 25, 25},
    };
    for (const Case &c : cases) {
        const LessonParams &p = lessonParamsTable[c.lesson];
        EXPECT_EQ(p.noteCount, c.notes) << c.lesson;
        EXPECT_EQ(p.delayMs, c.delay) << c.lesson;
        EXPECT_EQ(p.maxDevCents, c.dev) << c.lesson;
        EXPECT_EQ(p.maxTolCents, c.tol) << c.lesson;
    }
    for (int32_t L = 2; L <= 556; ++L) {
        const LessonParams &p = lessonParamsTable[L];
        EXPECT_EQ(p.exercisesPerLesson, p.noteCount) << L;
        EXPECT_GE(p.delayMs, 1500) << L;
        EXPECT_EQ(static_cast<int64_t>(p.delayMs) % 1500, 0) << L;
    }
}

TEST(LessonTitles, NamesOfEveryIndex)
{
    EXPECT_STREQ(lessonTitleTable[0], "NoLessonSelected");
    EXPECT_STREQ(lessonTitleTable[1], "Introduction");
    EXPECT_STREQ(lessonTitleTable[2], "Lesson1");
    EXPECT_STREQ(lessonTitleTable[11], "Lesson10");
    EXPECT_STREQ(lessonTitleTable[101], "Lesson100");
    EXPECT_STREQ(lessonTitleTable[556], "Lesson555");
    EXPECT_STREQ(lessonTitleTable[557], "dummy");
}
