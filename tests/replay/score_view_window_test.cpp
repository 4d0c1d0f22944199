// The score view of a generated lesson in a real window (the test rig's X
// server), drawn with the generated picture packs: a replay in progress is
// set up by hand (until the replay screen draws the view itself), the frame
// is checked at a few pixels and written as a PNG for looking at
// (TARNOVA_SCORE_VIEW_SHOT, else build/score_view_shot.png).
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "app/startup.h"
#include "base/shared.h"
#include "common/generated_data.h"
#include "frame/dispatch.h"
#include "frame/immediate_draw.h"
#include "frame/picture_catalogue.h"
#include "score_view_fixture.h"

namespace {

struct Rgb {
    int r, g, b;
};

std::vector<unsigned char> frame;

void readFrame()
{
    glFinish();
    glReadBuffer(GL_BACK);
    frame.assign(size_t(1124) * 765 * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1124, 765, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
}

// Window pixels, y up.
Rgb pixel(int x, int y)
{
    const unsigned char *p = &frame[(size_t(y) * 1124 + x) * 3];
    return {p[0], p[1], p[2]};
}

// Pixels in a rectangle drawn on (darker than the background's 0.9 grey in
// some channel).
int darkIn(int left, int bottom, int right, int top)
{
    int n = 0;
    for (int y = bottom; y <= top; ++y)
        for (int x = left; x <= right; ++x) {
            const Rgb c = pixel(x, y);
            n += c.r < 150 || c.g < 150 || c.b < 150;
        }
    return n;
}

void writeShot(const std::string &png)
{
    const std::string ppm = png + ".ppm";
    std::ofstream out(ppm, std::ios::binary);
    out << "P6\n1124 765\n255\n";
    for (int y = 764; y >= 0; --y) out.write(reinterpret_cast<const char *>(&frame[size_t(y) * 1124 * 3]), 1124 * 3);
    out.close();
    const std::string command = "convert " + ppm + " " + png + " 2>/dev/null && rm -f " + ppm;
    if (std::system(command.c_str()) != 0) std::rename(ppm.c_str(), (png + ".ppm").c_str());
}

void fail(int code, const char *what, Rgb c)
{
    std::fprintf(stderr, "%s: %d %d %d\n", what, c.r, c.g, c.b);
    _exit(code);
}

// Runs in a child process (GLUT starts once per process); exits with the
// number of the first check that failed.
[[noreturn]] void drawLessonScoreView(const std::string &data, const std::string &shot)
{
    int argc = 1;
    char name[] = "score_view";
    char *argv[] = {name, nullptr};
    createMainWindow(&argc, argv);
    glutDisplayFunc([] {});
    for (int i = 0; i < 20; ++i) glutMainLoopEvent();
    initProjection();
    glClearColor(0.9f, 0.9f, 0.9f, 1.0f);

    resourceDir = data;
    imagesDir = data + "images.prod/";
    for (int32_t s = 4; s <= 85; ++s) loadImages6PartA(s);
    for (int32_t s = 87; s <= 185; ++s) loadImages6PartB(s);
    for (int32_t s = 187; s <= 302; ++s) loadImages7Step(s);

    // Lesson 40 ("Beams in B flat"), its fourth note being sung.
    resetScoreViewWorld();
    setScoreViewHooks(realScoreViewHooks());
    setUpTestUser(3);
    const char *lesson = std::getenv("TARNOVA_SCORE_VIEW_LESSON"); // 40..43; 40 by default
    currentLesson = lesson && *lesson ? std::atoi(lesson) : 40;
    loadLesson();
    for (int32_t i = 0; i <= lessonNoteCount; ++i) lessonNotes[i].reachedMs = -1;
    showCountingHints = showPitchProgression = showTeacher = showAmplitudeProgression = 1;
    noteLabelMode = 0;
    currentPartFirst = 0;
    currentPartLast = lessonNoteCount - 1;
    const int32_t now = lessonNotes[3].startMs + lessonNotes[3].durationMs / 2;
    playUpTo(3, now);
    recordingBlockIndex = now * 441 / 20480;
    for (int32_t b = 0; b <= recordingBlockIndex; ++b) {
        const int32_t t = b * 20480 / 441;
        int32_t n = 0;
        while (n + 1 < lessonNoteCount && lessonNotes[n + 1].startMs <= t) ++n;
        blockTimeMs[b] = t;
        blockBarOffset[b] = lessonNotes[n].barTotal;
        blockStaffHeight[b] = float(lessonNotes[n].soundingStaff - 20 + (b % 4) - 1);
        blockEnvelope[b] = 300;
        blockLoudness[b] = 18000 + 1000 * (b % 5);
        blockLoudnessRating[b] = 2;
        recheckPitchRating[b] = b % 7 == 3 ? 3 : 2;
    }
    buildBatonCurve(now, scorePixelsPerMs);

    drawReplayView(glImmediateDraw(), now, nextMelodyNote, 1);
    readFrame();
    writeShot(shot);

    // The background, a staff line, the treble clef, the first note's head,
    // the play cursor and the scores box's text.
    if (Rgb c = pixel(600, 320); !(c.r > 220 && c.g > 220 && c.b > 220)) fail(10, "background", c);
    if (darkIn(1100, 519, 1100, 521) < 1) fail(11, "staff line", pixel(1100, 520));
    if (darkIn(30, 450, 100, 590) < 300) fail(12, "treble clef", pixel(60, 520));
    const TimedNote &first = lessonNotes[0];
    const int hx = int(std::nearbyint((first.reachedMs + first.barTotal - viewOriginMs) * scoreViewPxPerMs +
                                      scoreNotesStartX)) + 18;
    const int hy = first.shownStaff + 300 - 20;
    if (darkIn(hx - 6, hy - 4, hx + 6, hy + 4) < 20) fail(13, "note head", pixel(hx, hy));
    const int cx = int(std::nearbyint((now + lessonNotes[3].barTotal - viewOriginMs) * scoreViewPxPerMs +
                                      scoreNotesStartX));
    bool cursor = false;
    for (int x = cx - 1; x <= cx + 1; ++x) {
        const Rgb c = pixel(x, 330);
        cursor = cursor || (c.r < 130 && c.g < 40 && c.b > 200);
    }
    if (!cursor) fail(14, "play cursor", pixel(cx, 330));
    if (darkIn(10, 668, 140, 682) < 30) fail(15, "scores", pixel(20, 672));
    _exit(0);
}

} // namespace

TEST(ScoreViewWindow, GeneratedLessonDrawnWithItsPictures)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    const std::string data = generatedData();
    const char *given = std::getenv("TARNOVA_SCORE_VIEW_SHOT");
    const std::string shot = given && *given ? given : data + "../score_view_shot.png";
    EXPECT_EXIT(drawLessonScoreView(data, shot), ::testing::ExitedWithCode(0), "");
}
