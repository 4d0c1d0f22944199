// The structure of the generated page and teacher tables and the picture
// sizes: what a mistake in the script or in its extraction would break.
#include "intro/intro_lesson_screen.h"
#include "lessons/picture_sets.h"
#include "intro/intro_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

static void expectContiguous(const TeacherRow *rows, int32_t count, int32_t first, int32_t last)
{
    EXPECT_EQ(rows[0].first, first);
    EXPECT_EQ(rows[count - 1].last, last);
    for (int32_t i = 0; i < count; ++i) {
        EXPECT_LE(rows[i].first, rows[i].last) << "row " << rows[i].first;
        if (i > 0) {
            EXPECT_EQ(rows[i].first, rows[i - 1].last + 1) << "gap or overlap before " << rows[i].first;
        }
        EXPECT_TRUE(rows[i].figure == 0 || rows[i].figure == 1 || rows[i].figure == 4) << rows[i].first;
    }
}

TEST(IntroTables, TeacherTimelinesAreContiguous)
{
    expectContiguous(welcomeTeacherRows, welcomeTeacherRowsCount, 54, 1426);
    expectContiguous(laterTeacherRows, laterTeacherRowsCount, 1337, 24388);
    int clicks = 0, mouth2 = 0;
    for (const TeacherRow &r : laterTeacherRows) {
        clicks += r.click;
        mouth2 += r.restMouth == 2;
    }
    EXPECT_EQ(clicks, 16);
    EXPECT_EQ(mouth2, 2);
}

TEST(IntroTables, EachTopicsRowsRunContiguouslyFromEntryToTerminator)
{
    // Where each page continues after its entry steps, its terminator step
    // and where the next topic starts, as the lesson's pages give them.
    const int32_t continueAt[10] = {0, 54, 1340, 3891, 6227, 8355, 8903, 9188, 14088, 17623};
    const int32_t terminatorAt[10] = {0, 1327, 3848, 6180, 8342, 8863, 9168, 14068, 17578, 21389};
    const int32_t startAt[10] = {0, 1, 1337, 3888, 6217, 8345, 8903, 9178, 14078, 17588};
    for (int32_t topic = 1; topic <= 9; ++topic) {
        EXPECT_EQ(introTerminatorSteps[topic], terminatorAt[topic]) << "topic " << topic;
        EXPECT_EQ(introTopicStartSteps[topic], startAt[topic]) << "topic " << topic;
    }
    for (int32_t topic = 1; topic <= 9; ++topic) {
        std::vector<const IntroPageRow *> rows;
        for (const IntroPageRow &r : introPageRows)
            if (r.topic == topic) rows.push_back(&r);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.front()->first, continueAt[topic]) << "topic " << topic;
        const int32_t terminator = terminatorAt[topic];
        EXPECT_LE(rows.back()->first, terminator) << "topic " << topic;
        EXPECT_GE(rows.back()->last, terminator) << "topic " << topic;
        for (size_t i = 1; i < rows.size(); ++i)
            EXPECT_EQ(rows[i]->first, rows[i - 1]->last + 1) << "topic " << topic << " row " << rows[i]->first;
        if (topic < 9) {
            EXPECT_LT(rows.back()->last, startAt[topic + 1]);
        }
    }
}

TEST(IntroTables, VoiceClipsStartOnceEachInOrderAndTheWavClipsAtTheirRows)
{
    std::vector<int32_t> oggOrder;
    std::vector<std::pair<int32_t, int32_t>> wav; // clip, row
    for (const IntroPageRow &r : introPageRows) {
        if (r.clip >= 4 && r.clip < firstWavClip) oggOrder.push_back(r.clip);
        if (r.clip >= firstWavClip) wav.push_back({r.clip, r.first});
    }
    std::vector<int32_t> expected;
    for (int32_t k = 4; k <= 207; ++k)
        if (k != 88 && k != 89) expected.push_back(k);
    EXPECT_EQ(oggOrder, expected);
    const std::vector<std::pair<int32_t, int32_t>> expectedWav = {{209, 485}, {210, 505}, {211, 7685}, {212, 10704}};
    EXPECT_EQ(wav, expectedWav);
}

TEST(IntroTables, ClipNamesAreUniqueAndTyped)
{
    std::set<std::string> names;
    for (int32_t k = 1; k <= introClipCount; ++k) {
        const std::string n = introClipFileNames[k];
        names.insert(n);
        EXPECT_EQ(n.rfind("Brimble", 0), 0u) << k;
        EXPECT_EQ(n.substr(n.size() - 4), k < firstWavClip ? ".ogg" : ".wav") << k;
    }
    EXPECT_EQ(names.size(), 212u);
    EXPECT_STREQ(introClipFileNames[4], "BrimbleInTheLastProgramIintroduced.ogg");
    EXPECT_STREQ(introClipFileNames[212], "BrimbleThatIsOokay.wav");
}

TEST(IntroTables, BubblesHaveTextWithinTheLineLimit)
{
    int bubbles = 0;
    for (const IntroPageRow &r : introPageRows) {
        if (r.bubble == IntroBubble::none) continue;
        ++bubbles;
        if (r.first != 8863) {
            EXPECT_STRNE(r.lines[0], "") << r.first;
        }
        for (const char *line : r.lines) EXPECT_LE(std::string(line).size(), 255u);
        EXPECT_GT(r.bubbleWidth, 0);
        EXPECT_GT(r.bubbleHeight, 0);
    }
    EXPECT_EQ(bubbles, 209);
    // The one line the script spells out in words.
    const IntroPageRow *r = introRowAt(1, 332);
    ASSERT_NE(r, nullptr);
    EXPECT_STREQ(r->lines[1], "\"Absolut Pitch Point\"-seconds,");
}

TEST(IntroTables, PictureSizes)
{
    EXPECT_EQ(images0Sizes[0].width, 758);
    EXPECT_EQ(images0Sizes[0].height, 409);
    for (int i = 1; i <= 30; ++i) {
        EXPECT_EQ(images0Sizes[i].width, 190);
        EXPECT_EQ(images0Sizes[i].height, 210);
    }
    EXPECT_EQ(images0Sizes[31].width, 152);
    EXPECT_EQ(images0Sizes[47].width, 85);
    EXPECT_EQ(images0Sizes[47].height, 82);
    int n1024 = 0, n256 = 0, n128 = 0;
    for (int16_t s : images51Sides) (s == 1024 ? n1024 : s == 256 ? n256 : n128) += 1;
    EXPECT_EQ(n1024, 36);
    EXPECT_EQ(n256, 4);
    EXPECT_EQ(n128, 8);
    EXPECT_EQ(images51Sides[3], 256);
    EXPECT_EQ(images51Sides[39], 256);
    n1024 = n256 = n128 = 0;
    for (int16_t s : images44Sides) (s == 1024 ? n1024 : s == 256 ? n256 : n128) += 1;
    EXPECT_EQ(n1024, 12);
    EXPECT_EQ(n256, 3);
    EXPECT_EQ(n128, 3);
}
