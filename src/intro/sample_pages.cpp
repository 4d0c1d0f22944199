#include "intro/sample_pages.h"

#include "intro/intro_slides.h"

#include "base/rounding.h"
#include "base/shared.h"
#include "base/small_routines.h"
#include "frame/gl_draw.h"
#include "frame/immediate_draw.h"
#include "frame/timer.h"
#include "lessons/picture_sets.h"
#include "intro/intro_tables.h"
#include "intro/sample_exercise.h"
#include "lessons/exercise_drawing.h"
#include "lessons/lesson_params.h"
#include "lessons/recording_start.h"
#include "music/note_labels.h"
#include "music/note_voices.h"
#include "music/notes.h"
#include "music/staff_drawing.h"
#include "music/staff_geometry.h"
#include "music/voice_sequencer.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// ---- Real hooks ---------------------------------------------------------------

// The notation and the pictures draw in GL only where a context exists
// (the tests run the pages through a recording facade without one).
void realStaffWithNote(int32_t note)
{
    if (!haveGlContext()) return;
    drawGrandStaff(100, 280, 0);
    drawGrandStaffClefs(100);
    drawStaffNote(220, 0, note, 1);
}

void realPoint(double x, double y, double z)
{
    if (!haveGlContext()) return;
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_POINT_SMOOTH);
    glPointSize(3);
    glBegin(GL_POINTS);
    glVertex3d(x, y, z);
    glEnd();
    glDisable(GL_POINT_SMOOTH);
    glPointSize(1);
}

void realVerdictIcon(double x, double y, int32_t picture)
{
    if (haveGlContext()) drawVerdictPicture(images44Textures + 1, x, y, picture);
}

void realArrow(int32_t style, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width)
{
    if (haveGlContext()) drawArrow(style, x1, y1, x2, y2, width);
}

// The small picture and the diagram pair are the other pages' pictures.
ImmediateDraw &draw();
void realSmallPicture(int32_t x, int32_t y) { drawSmallPicture(draw(), x, y); }
void realDiagramPair(int32_t n, int32_t x) { drawDiagramPair(draw(), n, x); }

void realSetUpVoices()
{
    setUpExerciseVoices(sample.note, sample.referenceHz);
    countShownVoices();
}

void realReferenceNote()
{
    highlightAllVoices();
    startVoiceSequence(6, 0);
}

void realTimedSequence(int32_t t1) { startTimedVoiceSequence({.state = 20, .waitFrames = 2, .playFrames = t1, .voiceCount = 1}); }

SampleDrawHooks makeRealHooks()
{
    return {realStaffWithNote, realArrow,       realPoint,       realVerdictIcon,   realSmallPicture,
            realDiagramPair,     realSetUpVoices, realReferenceNote, realTimedSequence, countShownVoices};
}

SampleDrawHooks hooks = makeRealHooks();
ImmediateDraw *pageDraw = nullptr;

ImmediateDraw &draw()
{
    if (pageDraw == nullptr) pageDraw = &glImmediateDraw();
    return *pageDraw;
}

// ---- Drawing pieces ------------------------------------------------------------

std::string oneDecimal(double v) { return fixedText(v, 1); }

std::string whole(double v) { return std::to_string(roundToInt32(v)); }

void grey(ImmediateDraw &d) { d.colour(0, 0, 0, 0.4f); }

const LessonParams &lessonRow() { return lessonParamsTable[sampleLessonIndex]; }

double staffY() { return roundToInt32(frequencyToStaffHeight(sample.referenceHz)) + 300.0; }

double plotHeight(double f) { return sampleDeviationToPlotY(samplePlotRangeCents, 160, f, sample.referenceHz); }

void ratingColour(ImmediateDraw &d, int32_t rating)
{
    switch (rating) {
    case 1: d.colour(1, 0, 1, 1); break;
    case 2: d.colour(0, 0.549f, 0, 1); break;
    case 3: d.colour(0.8f, 0.8f, 0, 1); break;
    default: d.colour(0, 0, 0, 1);
    }
}

// The plot family: values drawn over check; lines between neighbours that
// pass the previous-value test and stay under the jump limit, else points.
void drawPlot(ImmediateDraw &d, const double *value, const double *check, const int32_t *rating, int32_t n,
              double x0, bool prevNonZero, double jumpLimit)
{
    if (n >= sampleArraySize) n = sampleArraySize - 1;
    d.lineWidth(3);
    double prev = 0;
    for (int32_t i = 0; i <= n; ++i) {
        const double x = x0 + i / samplePlotFrames * 120;
        ratingColour(d, rating[i]);
        if (i == 0) {
            hooks.point(x0, value[0] + 300, -6);
        } else if (check[i] != 0) {
            const bool prevOk = prevNonZero ? prev != 0 : prev > 10;
            if (prevOk && value[i] != 0 && std::fabs(prev - value[i]) < jumpLimit)
                d.line(x0 + (i - 1) / samplePlotFrames * 120, prev + 300, x, value[i] + 300, -6);
            else
                hooks.point(x, value[i] + 300, -6);
        }
        prev = value[i];
    }
    d.lineWidth(1);
}

void drawTrainingPlot(ImmediateDraw &d, int32_t n)
{
    drawPlot(d, sample.trainingPlotY, sample.trainingPlotY, sample.trainingRating, n, 345, true, 62);
}

void drawTestPlot(ImmediateDraw &d, int32_t n)
{
    drawPlot(d, sample.testPlotY, sample.testPlotY, sample.testRating, n, 615, false, 320);
    if (n >= 22) { // the end of the judged samples
        const double x = 615 + 22 / samplePlotFrames * 120;
        d.colour(1, 0, 0, 0.4f);
        d.line(x, 300, x, 620, -6);
    }
}

void drawTrainingStaffTrace(ImmediateDraw &d, int32_t n)
{
    drawPlot(d, sample.trainingStaffY, sample.trainingPlotY, sample.trainingRating, n, 175, false, 320);
}

void drawTestStaffTrace(ImmediateDraw &d, int32_t n)
{
    drawPlot(d, sample.testStaffY, sample.testPlotY, sample.testRating, n, 175, false, 320);
}

void drawDeviationAxes(ImmediateDraw &d)
{
    grey(d);
    for (double x : {345.0, 615.0}) {
        d.line(x, 300, x, 620, -6);
        for (double y : {300.0, 380.0, 540.0, 620.0}) d.line(x - 5, y, x + 5, y, -6);
        d.line(x - 5, 460, x + 125, 460, -6);
        d.text(DrawnText::normal, lessonScreenFont, "Deviation", x - 46, 634);
        d.text(DrawnText::normal, lessonScreenFont, "+100", x - 46, 616);
        d.text(DrawnText::normal, lessonScreenFont, "+50", x - 37, 536);
        d.text(DrawnText::normal, lessonScreenFont, "0", x - 19, 456);
        d.text(DrawnText::normal, lessonScreenFont, "-50", x - 37, 376);
        d.text(DrawnText::normal, lessonScreenFont, "-100", x - 46, 296);
    }
}

void drawExercisesToDo(ImmediateDraw &d)
{
    d.colour(0, 0.6f, 0.6f, 0.4f);
    frameRect(d, 755, 628, 905, 683, -6);
    d.text(DrawnText::normal, lessonScreenFont, "Exercises To Do", 765, 668);
    d.text(DrawnText::large, lessonScreenFont, std::to_string(sample.exercisesToDo), 825, 638);
}

void drawDelayBar(ImmediateDraw &d)
{
    d.colour(0, 0, 0.9f, 0.9f);
    d.quad(345, 158, 615, 182, -12);
}

void drawTimeLine(ImmediateDraw &d, int32_t phase, int32_t tick)
{
    d.colour(0, 0.549f, 0, 1);
    d.text(DrawnText::normal, lessonScreenFont, "Designated", 240, 218);
    d.text(DrawnText::normal, lessonScreenFont, "Pitch", 240, 200);
    d.colour(0.8f, 0.4f, 0.6f, 1);
    d.text(DrawnText::normal, lessonScreenFont, "Delay Time", 435, 200);
    d.colour(1, 0, 0, 0.4f);
    d.text(DrawnText::normal, lessonScreenFont, "Tar-", 625, 218);
    d.text(DrawnText::normal, lessonScreenFont, "nova", 625, 200);
    grey(d);
    d.line(195, 195, 735, 195, -11);
    for (double x : {195.0, 225.0, 345.0, 615.0, 735.0}) d.line(x, 190, x, 200, -11);
    const double c = sampleTimeLineLength(phase, tick, sample.delayMs);
    if (c != 0) {
        d.colour(1, 0, 0, 0.4f);
        d.lineWidth(3);
        d.line(195, 195, 195 + c, 195, -3);
        d.lineWidth(1);
    }
}

void bracket(ImmediateDraw &d, double x0, double x1)
{
    d.line(x0, 245, x1, 245, -7);
    d.line(x0, 240, x0, 250, -7);
    d.line(x1, 240, x1, 250, -7);
}

std::string syllable() { return solfegeName(false, sample.note); }

void drawWindowLabels(ImmediateDraw &d, bool test)
{
    grey(d);
    d.text(DrawnText::normal, lessonScreenFont, "Training", 360, 250);
    bracket(d, 345, 465);
    d.text(DrawnText::large, lessonScreenFont, syllable(), 360, 270);
    if (!test) return;
    d.text(DrawnText::normal, lessonScreenFont, "Test", 630, 250);
    bracket(d, 615, 735);
    d.text(DrawnText::large, lessonScreenFont, syllable(), 640, 270);
}

void drawDelayLine(ImmediateDraw &d)
{
    grey(d);
    d.text(DrawnText::large, lessonScreenFont, "Delay=" + oneDecimal(sample.delayMs / 1000) + " sec", 440, 130);
}

bool afterListen(int32_t phase)
{
    return phase == samplePhaseDelay || phase == samplePhaseSing || phase == samplePhaseFinished ||
           phase == samplePhaseFeedback;
}

void drawTriangle(ImmediateDraw &d)
{
    d.colour(0.6f, 1, 0.8f, 0.4f);
    d.triangle(241, staffY(), 337, 300, 337, 620, -12);
}

void drawStaffAndParameters(ImmediateDraw &d)
{
    hooks.staffWithNote(sample.note);
    grey(d);
    d.text(DrawnText::large, lessonScreenFont, syllable(), 220, 295);
}

void drawParameterLines(ImmediateDraw &d)
{
    const LessonParams &p = lessonRow();
    grey(d);
    d.text(DrawnText::large, lessonScreenFont, "Delay " + oneDecimal(p.delayMs / 1000) + " sec", 50, 637);
    d.text(DrawnText::large, lessonScreenFont, "max. Tol. " + whole(p.maxTolCents) + " cents", 910, 662);
    d.text(DrawnText::large, lessonScreenFont, "max. Dev. " + whole(p.maxDevCents) + " cents", 910, 637);
    d.text(DrawnText::large, lessonScreenFont, std::to_string(p.noteCount) + " Notes", 50, 662);
    d.text(DrawnText::large, lessonScreenFont, "Training", 298, 662);
    d.text(DrawnText::large, lessonScreenFont, "Test", 570, 662);
}

void drawNoteArrow() { hooks.arrow(1, 241, static_cast<int32_t>(staffY()), 320, 460, 3); }

void drawCursor(ImmediateDraw &d, double x)
{
    d.colour(1, 0, 1, 1);
    d.line(x, 240, x, 620, -6);
}

void drawEndLine(ImmediateDraw &d, double x)
{
    grey(d);
    d.line(x, 240, x, 620, -6);
}

void drawNoiseCue(ImmediateDraw &d)
{
    const double D = sample.delayMs;
    const int32_t dFrame = sample.delayFrame;
    if (dFrame < (D - 5000) / sampleFrameMs) return;
    grey(d);
    d.text(DrawnText::normal, lessonScreenFont, "Prepare", 510, 250);
    bracket(d, 495, 615);
    if (dFrame < (D - 4500) / sampleFrameMs) return;
    const int32_t P = roundToInt32((D - 4500) / sampleFrameMs);
    const double x = 495 + roundToInt32((dFrame - P) / 97.0 * 120);
    d.colour(1, 0, 1, 1);
    d.lineWidth(3);
    d.line(495, 245, x, 245, -6);
    d.lineWidth(1);
    d.line(x, 240, x, 620, -6);
}

// The judged-window box and the bands of the feedback stages.
void drawJudgedWindow(ImmediateDraw &d, int32_t stage)
{
    d.colour(0.8f, 1, 1, 0.4f);
    d.quad(615, 300, 675, 620, -12);
    auto band = [&](double cents) {
        const double k = std::pow(2.0, cents / 1200);
        d.colour(1, 1, 0.8f, 0.4f);
        d.quad(615, plotHeight(sample.referenceHz / k) + 300, 675, plotHeight(sample.referenceHz * k) + 300, -12);
    };
    if (!sample.answerValid || stage == 3) band(sample.maxTolCents);
    if (stage == 4) band(sample.maxDevCents);
}

void drawFeedbackWord(ImmediateDraw &d)
{
    d.colour(0, 0, 1, 1);
    d.text(DrawnText::large, lessonScreenFont, "Feedback", 760, 600);
}

void drawAllPlots(ImmediateDraw &d)
{
    drawTrainingPlot(d, sample.trainingLast - 1);
    drawTestPlot(d, sample.testLast - 1);
    drawTestStaffTrace(d, sample.testLast - 1);
}

} // namespace

const SampleDrawHooks &realSampleDrawHooks()
{
    static const SampleDrawHooks real = makeRealHooks();
    return real;
}
void setSampleDrawHooks(const SampleDrawHooks &h) { hooks = h; }
void setSamplePagesDraw(ImmediateDraw &d) { pageDraw = &d; }

namespace {
SamplePagesSound screenSound = {};
void startScreenClip(int32_t clip)
{
    if (screenSound.startClip) screenSound.startClip(clip);
}
void stopTeacher()
{
    if (screenSound.stopTeacher) screenSound.stopTeacher();
}
} // namespace

void setSamplePagesSound(const SamplePagesSound &sound) { screenSound = sound; }

void drawSampleReplay(ImmediateDraw &d)
{
    const SampleReplayFrame &f = lastSampleReplayFrame();
    const int32_t phase = sample.phase;
    // The delay bar lies behind everything (depth -12): without a depth
    // buffer it is drawn first, so the red part of the delay still to come
    // covers it.
    drawDelayBar(d);
    if (afterListen(f.phaseBefore)) drawTriangle(d);
    drawStaffAndParameters(d);
    drawDeviationAxes(d);
    drawParameterLines(d);
    drawExercisesToDo(d);
    drawTimeLine(d, phase, f.tick);
    if (phase == samplePhaseDelay) {
        d.colour(1, 0, 0, 1);
        d.quad(345 + sample.delayFrame * sampleFrameMs / sample.delayMs * 270, 156, 615, 184, -5);
        if (f.trainingShown >= 0) {
            drawTrainingStaffTrace(d, f.trainingShown);
            drawTrainingPlot(d, f.trainingShown);
            if (f.trainingCursor) drawCursor(d, 345 + sample.trainingCursorX);
            else drawEndLine(d, 465);
        }
    }
    if (phase == samplePhaseSing && f.testShown >= 0) {
        drawTestStaffTrace(d, f.testShown);
        drawTestPlot(d, f.testShown);
        if (f.testCursor) drawCursor(d, 615 + sample.testCursorX);
        else drawEndLine(d, 735);
    }
    if (afterListen(phase)) drawNoteArrow();
    if (phase == samplePhaseSing || phase == samplePhaseFinished) drawTrainingPlot(d, sample.trainingLast - 1);
    if (phase == samplePhaseFinished) {
        drawTestStaffTrace(d, 43);
        drawTestPlot(d, 43);
    }
    if (sample.delayMs >= 7500 && phase == samplePhaseDelay) drawNoiseCue(d);
    if (afterListen(phase)) drawWindowLabels(d, phase != samplePhaseDelay);
    drawDelayLine(d);
}

void drawSampleFeedback(ImmediateDraw &d, int32_t stage, int32_t tick)
{
    const int32_t phase = sample.phase;
    drawDelayBar(d); // behind everything, as in the replay
    const bool shownPhase = phase == samplePhaseDelay || phase == samplePhaseSing || phase == samplePhaseFinished;
    if (shownPhase) drawTriangle(d);
    drawStaffAndParameters(d);
    drawParameterLines(d);
    drawExercisesToDo(d);
    drawWindowLabels(d, true);
    drawDelayLine(d);
    drawTimeLine(d, phase, tick);
    if (shownPhase) drawNoteArrow();
    if (phase == samplePhaseSing || phase == samplePhaseFinished) drawTrainingPlot(d, sample.trainingLast - 1);
    if (phase == samplePhaseFinished) {
        drawTestStaffTrace(d, 43);
        drawTestPlot(d, 43);
    }
    if (stage == 0) {
        drawAllPlots(d);
    } else if (stage >= 1 && stage <= 4) {
        drawJudgedWindow(d, stage == 1 ? 1 : stage);
        drawDeviationAxes(d);
        drawExercisesToDo(d);
        drawAllPlots(d);
        if (stage >= 2) {
            if (sample.answerValid) {
                const double y = plotHeight(sample.meanHz) + 300;
                d.colour(0, 0, 1, 1);
                d.line(615, y, 675, y, -11);
            }
            hooks.verdictIcon(880, 482, sample.answerPassed ? 3 : 2);
            if (sample.answerValid) {
                d.colour(0, 0, 1, 1);
                const double dev = centsOfHz(sample.meanHz) - centsOfHz(sample.referenceHz);
                d.text(DrawnText::large, lessonScreenFont, "Mean Deviation in cents=" + whole(dev), 780, 455);
                d.text(DrawnText::large, lessonScreenFont, "STD=" + whole(sample.stdCents), 780, 430);
            } else {
                drawOutOfPrecision(d);
            }
        }
        drawFeedbackWord(d);
    }
    drawDelayLine(d);
}

// ---- Pages ------------------------------------------------------------------------

namespace {

// R(t): the replay at tick t, drawn.
int32_t replayAt(int32_t tick)
{
    const int32_t e = runSampleExerciseReplay(1, sample.phase, sample.delayFrame, sample.trainingCounter,
                                              sample.testCounter, tick);
    drawSampleReplay(draw());
    return e;
}

// F(s, t): the feedback stage s at tick t, drawn.
int32_t feedbackAt(int32_t stage, int32_t tick)
{
    const int32_t e = showSampleExerciseFeedback(stage, sample.phase, sample.delayFrame, sample.trainingCounter, tick);
    drawSampleFeedback(draw(), stage, tick);
    return e;
}

void presetTraining(int32_t c)
{
    sample.delayFrame = c;
    sample.trainingCounter = c;
}

void ellipse(double cx, double cy, double rx, double ry)
{
    ImmediateDraw &d = draw();
    double xy[200];
    ellipseOutlineVertices(static_cast<int32_t>(cx), static_cast<int32_t>(cy), 100, rx, ry, xy);
    d.colour(1, 0, 0, 0.4f);
    d.lineWidth(3);
    d.lineLoop(xy, 100, 0);
    d.lineWidth(1);
}

// Topic 5's fallback range and topic 6's feedback.
void feedbackPage(int32_t row, int32_t step)
{
    const int32_t d = step - row;
    if (row == 8903) {
        if (feedbackAt(0, d) == sampleEventFeedback) startScreenClip(1);
    } else if (row == 8913) {
        if (step == 8923) stopTeacher();
        feedbackAt(1, d);
    } else if (row >= 8953 && row < 9168) {
        if (step == 8953) {
            stopTeacher();
            hooks.countShownVoices();
            hooks.referenceNote();
        }
        feedbackAt(2, step - 8953);
    }
}

// ---- Topic 7: the exercise frozen at a row's moment, and what the teacher
// points at. Each step of a row: its entry, the counters it presets, what it
// shows and its mark, in that order.

// What a row does on its first step (restart and listening: on every step).
enum class Entry : int8_t {
    none,
    restart,       // every step: not started
    listening,     // every step: the listening phase
    start,         // not started, the training counters at 0
    listen,        // the listening phase
    delay,         // the delay phase
    timedSequence, // the reference note and the voices' sequence over the delay
    sing,          // the singing phase
};

enum class Shown : int8_t {
    replay,      // the replay at `tick`, frozen or on a ramp (below)
    feedback,    // the feedback at stage `tick`, at replay tick 258
    diagramPair, // diagram pair 7
};

enum class Mark : int8_t {
    none,
    ellipse,      // the red ellipse round (a, b) with radii (c, d)
    smallPicture, // the small picture at (a, b)
    noteArrows,   // two arrows from the sung note
    windowArrows, // two arrows along the judged window and its end line
    passedDashes, // the three green dashes of a passed answer
};

// A ramp: the replay stays at `tick` for `hold` steps, then moves on a tick
// a step up to `lastTick` (openEnd: as long as the row lasts), where
// `endTraining` / `endTest` preset the counters (-1: kept) from then on.
struct Ramp {
    int16_t hold = 0, lastTick = 0;
    int16_t endTraining = -1, endTest = -1;
};

struct CommentedRow {
    int16_t row; // the row's first step
    Entry entry;
    int16_t training; // delay frame and training counter preset on every step (-1: kept)
    int16_t test;     // test counter set on every step (-1: kept)
    Shown shown;
    int16_t tick;
    Ramp ramp = {};
    Mark mark = Mark::none;
    int16_t a = 0, b = 0, c = 0, d = 0;
};

constexpr int16_t kept = -1;
constexpr int16_t openEnd = 32767;
constexpr Ramp frozen = {};
constexpr CommentedRow commentedRows[] = {
    {9178, Entry::restart, 0, 0, Shown::replay, 0},
    {9188, Entry::start, kept, kept, Shown::replay, 0, frozen, Mark::ellipse, 465, 200, 320, 50},
    {9286, Entry::none, kept, kept, Shown::replay, 0, {66, 10}, Mark::smallPicture, 168, 160},
    {9419, Entry::listen, kept, kept, Shown::replay, 11, frozen, Mark::ellipse, 285, 200, 80, 40},
    {9477, Entry::listen, kept, kept, Shown::replay, 11, {0, openEnd}, Mark::ellipse, 285, 200, 80, 40},
    {9517, Entry::listening, 0, kept, Shown::replay, 53, frozen, Mark::ellipse, 285, 200, 80, 40},
    {9603, Entry::delay, 0, kept, Shown::replay, 54},
    {9676, Entry::timedSequence, 0, kept, Shown::replay, 54},
    {9815, Entry::none, 0, kept, Shown::replay, 54, frozen, Mark::ellipse, 405, 260, 80, 40},
    {9889, Entry::none, 0, kept, Shown::replay, 54, frozen, Mark::ellipse, 405, 260, 80, 40},
    {9959, Entry::none, 0, kept, Shown::replay, 54, frozen, Mark::ellipse, 344, 430, 10, 200},
    {10021, Entry::none, kept, kept, Shown::replay, 54, {0, 85, 31, kept}},
    {10084, Entry::none, 31, kept, Shown::replay, 85, frozen, Mark::noteArrows},
    {10222, Entry::none, 50, kept, Shown::replay, 104},
    {10342, Entry::none, 50, kept, Shown::replay, 104},
    {10467, Entry::none, 50, kept, Shown::replay, 104},
    {10556, Entry::none, 50, kept, Shown::replay, 104},
    {10704, Entry::none, 50, kept, Shown::replay, 104},
    {10736, Entry::none, 50, kept, Shown::replay, 104},
    {10780, Entry::none, 50, kept, Shown::replay, 104},
    {10851, Entry::none, 50, kept, Shown::replay, 104},
    {10932, Entry::none, 50, kept, Shown::replay, 104},
    {11078, Entry::none, 65, kept, Shown::replay, 119, frozen, Mark::smallPicture, 458, 210},
    {11161, Entry::none, 65, kept, Shown::replay, 119, frozen, Mark::ellipse, 555, 248, 80, 20},
    {11228, Entry::none, 100, kept, Shown::replay, 154, frozen, Mark::ellipse, 540, 430, 10, 200},
    {11333, Entry::none, 100, kept, Shown::replay, 154},
    {11398, Entry::none, 100, kept, Shown::replay, 154, frozen, Mark::windowArrows},
    {11510, Entry::none, 100, kept, Shown::replay, 154, frozen, Mark::ellipse, 555, 468, 80, 40},
    {11597, Entry::sing, 161, 0, Shown::replay, 216, frozen, Mark::ellipse, 675, 260, 80, 40},
    {11680, Entry::none, kept, kept, Shown::replay, 216, {0, 258, kept, 42}},
    {11739, Entry::none, kept, 42, Shown::replay, 258},
    {11854, Entry::none, kept, 42, Shown::replay, 258},
    {11937, Entry::none, kept, 42, Shown::replay, 258},
    {12092, Entry::none, kept, 42, Shown::replay, 258, frozen, Mark::smallPicture, 578, 500},
    {12250, Entry::none, kept, kept, Shown::replay, 258}, // the test runs on to its end
    {12309, Entry::none, kept, kept, Shown::feedback, 1},
    {12385, Entry::none, kept, kept, Shown::feedback, 2},
    {12454, Entry::none, kept, kept, Shown::feedback, 2},
    {12499, Entry::none, kept, kept, Shown::feedback, 3},
    {12642, Entry::none, kept, kept, Shown::feedback, 4},
    {12815, Entry::none, kept, kept, Shown::feedback, 4},
    {13007, Entry::none, kept, kept, Shown::feedback, 2},
    {13089, Entry::none, kept, kept, Shown::feedback, 3, frozen, Mark::smallPicture, 573, 540},
    {13224, Entry::none, kept, kept, Shown::feedback, 3, frozen, Mark::passedDashes},
    {13330, Entry::none, kept, kept, Shown::feedback, 3},
    {13567, Entry::none, kept, kept, Shown::feedback, 2},
    {13635, Entry::none, kept, kept, Shown::feedback, 2},
    {13782, Entry::none, kept, kept, Shown::feedback, 2},
    {13850, Entry::none, kept, kept, Shown::diagramPair, 0},
    {13971, Entry::none, kept, kept, Shown::diagramPair, 0},
};

void enterRow(Entry entry, bool first)
{
    if (entry == Entry::restart) sample.phase = samplePhaseNotStarted;
    if (entry == Entry::listening) sample.phase = samplePhaseListen;
    if (!first) return;
    switch (entry) {
    case Entry::start:
        sample.phase = samplePhaseNotStarted;
        presetTraining(0);
        break;
    case Entry::listen: sample.phase = samplePhaseListen; break;
    case Entry::delay: sample.phase = samplePhaseDelay; break;
    case Entry::timedSequence: hooks.timedSequence(roundToInt32((sample.delayMs + 4000) / sampleFrameMs)); break;
    case Entry::sing: sample.phase = samplePhaseSing; break;
    default: break;
    }
}

void drawMark(const CommentedRow &r)
{
    switch (r.mark) {
    case Mark::none: break;
    case Mark::ellipse: ellipse(r.a, r.b, r.c, r.d); break;
    case Mark::smallPicture: hooks.smallPicture(r.a, r.b); break;
    case Mark::noteArrows:
        hooks.arrow(1, 432, 215, 432, 240, 3);
        hooks.arrow(1, 432, 215, 397, 200, 3);
        break;
    case Mark::windowArrows:
        hooks.arrow(1, 580, 275, 540, 275, 1);
        hooks.arrow(1, 580, 275, 614, 275, 1);
        draw().colour(1, 0, 0, 0.4f);
        draw().line(614, 267, 614, 283, -11);
        break;
    case Mark::passedDashes: {
        ImmediateDraw &dr = draw();
        dr.colour(0, 0.549f, 0, 1);
        dr.lineWidth(3);
        for (double x : {532.0, 562.0, 592.0}) dr.line(x, 460, x + 20, 460, -11);
        dr.lineWidth(1);
        break;
    }
    }
}

void commentedPage(int32_t row, int32_t step)
{
    const CommentedRow *r = nullptr;
    for (const CommentedRow &c : commentedRows)
        if (c.row == row) r = &c;
    if (r == nullptr) return;
    enterRow(r->entry, step == row);
    if (r->training != kept) presetTraining(r->training);
    if (r->test != kept) sample.testCounter = r->test;
    switch (r->shown) {
    case Shown::replay: {
        int32_t tick = r->tick;
        const Ramp &p = r->ramp;
        if (p.lastTick > r->tick) {
            tick = std::max<int32_t>(r->tick, r->tick + (step - row) - p.hold);
            if (tick >= p.lastTick) {
                tick = p.lastTick;
                if (p.endTraining != kept) presetTraining(p.endTraining);
                if (p.endTest != kept) sample.testCounter = p.endTest;
            }
        }
        replayAt(tick);
        break;
    }
    case Shown::feedback: feedbackAt(r->tick, 258); break;
    case Shown::diagramPair: hooks.diagramPair(7, 0); break;
    }
    drawMark(*r);
}

// The frame's capture counters and tick grid, for the model.
void countFedBlock() { samplesConsumed += 2048; }
void restartGridAtFrame()
{
    freeTickCount = 0;
    freeClockStart = frameTime;
}

} // namespace

void startSampleLesson()
{
    setSampleRecordingHooks({restartCaptureCounters, countFedBlock, restartGridAtFrame});
    setUpSampleForLesson();
}

// The first step of the page row holding the step, or the topic's start
// step on its entry frames (before the first row).
static int32_t rowFirstStep(int32_t step)
{
    const int32_t topic = step >= introTopicStartSteps[7] ? 7 : step >= introTopicStartSteps[6] ? 6 : 5;
    const IntroPageRow *r = introRowAt(topic, step);
    return r != nullptr ? r->first : introTopicStartSteps[topic];
}

void drawSampleRowExtras(int32_t, int32_t step)
{
    const int32_t row = rowFirstStep(step);
    if (step >= 8302 && step <= 8342) { // topic 4 hands over: the exercise's first frame
        prepareSampleExercise(false);
        replayAt(0);
    } else if (step >= 8345 && step <= 8347) {
        replayAt(0);
    } else if (step >= 8863 && step <= 8902) {
        replayAt(step - 8863 + 508);
    } else if (step >= 8903 && step <= 9168) {
        feedbackPage(row, step);
    } else if (step >= 9178 && step <= 14068) {
        commentedPage(row, step);
    }
}

void drawSampleRowExtrasOfRow(ImmediateDraw &, const IntroPageRow &row, int32_t step)
{
    if ((step >= 8302 && step <= 8342) || (row.topic >= 5 && row.topic <= 7)) drawSampleRowExtras(row.first, step);
}

void sampleEntryStep(int32_t topic, int32_t step)
{
    if (topic == 5 && step == 8347) {
        prepareSampleExercise(true);
        hooks.setUpVoices();
    } else if ((topic >= 6 && topic <= 9) && step == introTopicStartSteps[topic]) {
        sample.clockRebasePending = false;
        sample.phase = samplePhaseFeedback;
    }
    if (topic == 6 && step == 8904) fillSamplePlotsFromTracks();
}

int32_t sampleExerciseAtTick(int32_t tick)
{
    if (tick == 0) sample.phase = samplePhaseNotStarted;
    const int32_t event = replayAt(tick);
    if (event == sampleEventListen) hooks.referenceNote();
    return event;
}
