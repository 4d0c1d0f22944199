// The teacher's mouth and figure by step, its impossible figures and steps,
// and the speech bubble's trace.
#include "intro_fakes.h"

#include "lessons/picture_sets.h"
#include "intro/speech_bubbles.h"
#include "intro/teacher_animation.h"

#include "base/shared.h"
#include "frame/text.h"
#include "intro/intro_tables.h"

#include <gtest/gtest.h>
#include <sstream>

TEST(Teacher, TalkingCyclesAndRests)
{
    const int cycle[6] = {0, 1, 2, 2, 1, 0};
    for (int tick = 0; tick < 12; ++tick) EXPECT_EQ(teacherMouth(0, tick, 100, 3), cycle[tick % 6]) << tick;
    // 44+32: talks 0..43, rests 44..48, talks 49..80 from mouth 0, rests from 81.
    struct Case {
        int tick, mouth;
    } cases[] = {{43, talkingMouthCycle[43 % 6]}, {44, 3}, {48, 3}, {49, 0}, {50, 1}, {80, talkingMouthCycle[31 % 6]},
                 {81, 3}, {500, 3}};
    for (const Case &c : cases)
        EXPECT_EQ(teacherMouthPhases(0, c.tick, 44, 3, 49, 81, 3, 0, 0, 3), c.mouth) << c.tick;
    // The Welcome row 66-153 is that row.
    EXPECT_EQ(welcomeTeacherFrame(66 + 49).mouth, 0);
    EXPECT_EQ(welcomeTeacherFrame(66 + 44).mouth, 3);
    // A span longer than its row talks through it: 277-282 F0 12+21.
    EXPECT_EQ(welcomeTeacherFrame(282).mouth, talkingMouthCycle[5]);
    EXPECT_EQ(welcomeTeacherFrame(283).figure, 4);
    // The walk-in frames.
    EXPECT_EQ(welcomeTeacherFrame(4).walkInFrame, 0);
    EXPECT_EQ(welcomeTeacherFrame(53).walkInFrame, 45);
}

TEST(Teacher, ClickGestureMouthTwoRowsAndTheClosingFrame)
{
    const int figures[] = {1, 1, 1, 2, 3, 2, 1, 1};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(laterTeacherFrame(6578 + i).figure, figures[i]) << i;
    EXPECT_EQ(laterTeacherFrame(6578 + 7).mouth, 3);
    // 13971: the gesture, then talking 13977..14033 counted from 13971.
    EXPECT_EQ(laterTeacherFrame(13974).figure, 2);
    EXPECT_EQ(laterTeacherFrame(13977).mouth, talkingMouthCycle[6 % 6]);
    EXPECT_EQ(laterTeacherFrame(13978).mouth, talkingMouthCycle[7 % 6]);
    EXPECT_EQ(laterTeacherFrame(14034).mouth, 3);
    EXPECT_EQ(laterTeacherFrame(8409).mouth, 2);
    EXPECT_EQ(laterTeacherFrame(8408).mouth, 3);
    const TeacherFrame closing = laterTeacherFrame(21389);
    EXPECT_EQ(closing.figure, 0);
    EXPECT_EQ(closing.mouth, 0);
}

TEST(TeacherDeathTest, ImpossibleFiguresPosesAndSteps)
{
    EXPECT_EXIT(teacherMouth(5, 0, 10, 3), testing::ExitedWithCode(7013 % 250), "stopNumber=7013 ");
    EXPECT_EXIT(teacherMouth(8, 0, 0, 3), testing::ExitedWithCode(7014 % 250), "unkown figure=8[^\n]*\n[^\n]*stopNumber=7014 ");
    EXPECT_EXIT(teacherMouth(2, 50, 10, 4), testing::ExitedWithCode(7010 % 250), "stopNumber=7010 ");
    EXPECT_EXIT(welcomeTeacherFrame(1427), testing::ExitedWithCode(7017 % 250), "stopNumber=7017 ");
    EXPECT_EXIT(welcomeTeacherFrame(3), testing::ExitedWithCode(7017 % 250), "stopNumber=7017 ");
    EXPECT_EXIT(laterTeacherFrame(24389), testing::ExitedWithCode(7026 % 250), "stopNumber=7026 ");
    EXPECT_EXIT(laterTeacherFrame(1336), testing::ExitedWithCode(7026 % 250), "stopNumber=7026 ");
}

TEST(Teacher, DrawsBodyThenMouthAtThePlace)
{
    RecordingDraw d;
    for (int i = 0; i < 30; ++i) teacherFigureTextures[i] = 100 + i;
    d.beginFrame();
    drawBrimbleTimeline(d, 718, 230, 1347); // F1 talking, tick 0: mouth 0
    const std::vector<std::string> expected = {"begin", "translate 718 230", "colour 1 1 1 0.4",
                                               "picture 105 0 0 190 210 -3", "picture 106 0 0 190 210 -2", "pop"};
    EXPECT_EQ(d.ops, expected);
    for (uint32_t &t : teacherFigureTextures) t = 0;
}

TEST(SpeechBubble, DownBubbleTraceAndEmptyLines)
{
    RecordingDraw d;
    d.beginFrame();
    drawSpeechBubbleDown(d, 150, 555, 305, 50, 50, "In the last program", "", "");
    const std::vector<std::string> expected = {
        "begin", "translate 150 555", "colour 1 1 1 0.5", "quad 0 0 305 50 -3", "triangle 50 0 57 -10 62 0 -3",
        "colour 0 0 1 0.5", "ctext 5 30 In the last program", "colour 0 0 0 0.5",
        "strip 0,0 50,0 57,-10 62,0 305,0 305,50 0,50 0,0 -2", "pop"};
    EXPECT_EQ(d.ops, expected);
    d.beginFrame();
    drawSpeechBubbleUp(d, 0, 0, 100, 50, 0, "", "second", "");
    EXPECT_EQ(d.matching("ctext"), (std::vector<std::string>{"ctext 5 10 second"}));
    EXPECT_EQ(d.matching("triangle"), (std::vector<std::string>{"triangle 0 50 12 50 7 100 -3"}));
    d.beginFrame();
    drawSpeechBubbleRight(d, 0, 0, 30, 30, 5, "Fa", "", "");
    EXPECT_EQ(d.matching("triangle"), (std::vector<std::string>{"triangle 30 13 48 18 30 25 -3"}));
}

// Every bubble of the lesson's pages, with its pointer and its lines, lies
// inside the window; one laid out past the right edge moves left just enough.
TEST(SpeechBubble, EveryPageBubbleLiesInsideTheWindow)
{
    RecordingDraw d;
    int drawn = 0;
    for (const IntroPageRow &row : introPageRows) {
        if (row.bubble == IntroBubble::none) continue;
        d.beginFrame();
        auto draw = row.bubble == IntroBubble::down ? drawSpeechBubbleDown
                    : row.bubble == IntroBubble::up ? drawSpeechBubbleUp
                                                     : drawSpeechBubbleRight;
        draw(d, row.bubbleX, row.bubbleY, row.bubbleWidth, row.bubbleHeight, row.bubblePointer, row.lines[0],
             row.lines[1], row.lines[2]);
        ++drawn;
        double ox = 0, oy = 0;
        for (const std::string &op : d.ops) {
            std::istringstream in(op);
            std::string kind;
            in >> kind;
            if (kind == "translate") {
                in >> ox >> oy;
            } else if (kind == "ctext") {
                double x, y;
                in >> x >> y;
                std::string text;
                std::getline(in, text);
                const TextBox b = textBox(introLessonFont, text.substr(1), ox + x, oy + y);
                EXPECT_TRUE(b.left >= 0 && b.right <= mainWindowWidth && b.bottom >= 0 && b.top <= mainWindowHeight)
                    << "row " << row.first << ": " << text << " at " << ox + x << ", " << oy + y;
            } else if (kind == "strip") {
                std::string point;
                while (in >> point && point.find(',') != std::string::npos) {
                    const double x = ox + std::stod(point), y = oy + std::stod(point.substr(point.find(',') + 1));
                    EXPECT_TRUE(x >= 0 && x <= mainWindowWidth && y >= 0 && y <= mainWindowHeight)
                        << "row " << row.first << ": the outline at " << x << ", " << y;
                }
            }
        }
    }
    EXPECT_GT(drawn, 100);
    // A bubble laid out past the edge keeps its size and ends at the edge.
    d.beginFrame();
    drawSpeechBubbleDown(d, 1000, 300, 200, 50, 20, "a line", "", "");
    EXPECT_EQ(d.matching("translate"), (std::vector<std::string>{"translate 924 300"}));
}
