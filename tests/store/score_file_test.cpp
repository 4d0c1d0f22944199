#include <string>

#include <gtest/gtest.h>

#include "store/user_actions.h"
#include "store_fixture.h"

TEST(ReferenceScores, RunsOfThePatterns)
{
    // Every change of value, with the lesson before it.
    struct Case { int32_t lesson, score; };
    const Case cases[] = {
        {1, 400},    {2, 680},    {17, 680},   {18, 860},   {33, 860},   {34, 1040},  {49, 1040},
        {50, 1220},  {66, 1220},  {67, 860},   {69, 860},   {70, 1040},  {85, 1040},  {86, 1220},
        {102, 1220}, {103, 680},  {167, 1220}, {168, 860},  {187, 1220}, {201, 1220}, {202, 680},
        {302, 1220}, {303, 680},  {401, 1220}, {402, 680},  {449, 1040}, {450, 1220}, {451, 1220},
        {452, 680},  {501, 1220}, {502, 680},  {550, 1220}, {551, 1220}, {552, 680},  {556, 680},
        {557, 1220}, {0, 0},
    };
    for (const Case &c : cases) EXPECT_EQ(referenceScores[c.lesson], c.score) << c.lesson;
    int32_t counts[4] = {};
    for (int32_t lesson = 2; lesson <= 556; ++lesson)
        counts[referenceScores[lesson] == 680 ? 0 : referenceScores[lesson] == 860 ? 1 : referenceScores[lesson] == 1040 ? 2 : 3]++;
    // 4 patterns A/B and 3 patterns C, plus five trailing 680s.
    EXPECT_EQ(counts[0], 16 * 7 + 5);
    EXPECT_EQ(counts[1], 19 * 4 + 16 * 3);
    EXPECT_EQ(counts[2], 32 * 4 + 16 * 3);
    EXPECT_EQ(counts[3], 34 * 2 + 32 * 2 + 2 * 3);
}

TEST(ScoreRating, BoundsOfEveryReferenceScore)
{
    struct Case { int32_t reference, b1, b2, b3, b4; };
    const Case cases[] = {
        {400, 40, 133, 267, 360}, {680, 68, 227, 453, 612}, {860, 86, 287, 573, 774},
        {1040, 104, 347, 693, 936}, {1220, 122, 407, 813, 1098},
    };
    for (const Case &c : cases) {
        const int32_t bounds[4] = {c.b1, c.b2, c.b3, c.b4};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(scoreRatingFor(bounds[i] - 1, c.reference), i) << c.reference << " bound " << i;
            EXPECT_EQ(scoreRatingFor(bounds[i], c.reference), i + 1) << c.reference << " bound " << i;
        }
    }
    EXPECT_EQ(scoreRatingFor(-5, 680), 0);
    EXPECT_EQ(scoreRatingFor(5000, 680), 4);
    EXPECT_EQ(scoreRatingFor(0, 0), 4);
    // Ties go to the even neighbour: 25 / 10 = 2.5 -> 2, 35 / 10 = 3.5 -> 4.
    EXPECT_EQ(scoreRatingFor(2, 25), 1);
    EXPECT_EQ(scoreRatingFor(3, 35), 0);
}

using ScoreFile = StoreFolderTest;

TEST_F(ScoreFile, RecordScoreKeepsBestsAndWritesOnlyChanges)
{
    createStore();
    addUser("Bea");
    int32_t holder, holderTessitura, rating;
    std::string name = "x";
    EXPECT_EQ(getLessonBest(30, holder, holderTessitura, rating, name), 0);
    EXPECT_EQ(holder + holderTessitura + rating, 0);
    EXPECT_EQ(name, "");

    EXPECT_TRUE(recordScore(30, 2, 1, 500));
    EXPECT_FALSE(recordScore(30, 1, 3, 500)); // equal best: the first holder stays
    int64_t writes = storeFilesWritten("ScoreFile");
    EXPECT_FALSE(recordScore(30, 2, 2, 400)); // lower: nothing changes or is written
    EXPECT_EQ(storeFilesWritten("ScoreFile"), writes);
    EXPECT_FALSE(recordScore(30, 2, 2, 500)); // equal: the new tessitura is stored
    EXPECT_EQ(storeFilesWritten("ScoreFile"), writes + 1);

    loadScoreFile();
    int32_t tessitura;
    EXPECT_EQ(getUserScoreRating(30, 2, tessitura, rating), 500);
    EXPECT_EQ(tessitura, 2);
    EXPECT_EQ(rating, 2); // R = 860: 500 lies between 287 and 573
    EXPECT_EQ(getLessonBest(30, holder, holderTessitura, rating, name), 500);
    EXPECT_EQ(holder, 2);
    EXPECT_EQ(holderTessitura, 1);
    EXPECT_EQ(name, "Bea");

    setSkipIntroFlag(30, 2, 1);
    loadScoreFile();
    EXPECT_EQ(getSkipIntroFlag(30, 2), 1);
    EXPECT_EQ(getSkipIntroFlag(30, 1), 0);
}
