#include "lessons/exercise_drawing.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "frame/control_drawing.h"
#include "frame/gl_draw.h"
#include "frame/immediate_draw.h"
#include "frame/screen_frame.h"
#include "frame/message_panel.h"
#include "base/rounding.h"
#include "base/shared.h"
#include "base/small_routines.h"
#include "frame/text.h"
#include "frame/text_field.h"
#include "frame/texture_pack.h"
#include "lessons/picture_sets.h"
#include "lessons/exercise_judging.h"
#include "lessons/exercise_screen.h"
#include "lessons/lesson_params.h"
#include "lessons/lesson_state.h"
#include "music/note_labels.h"
#include "music/notes.h"
#include "music/staff_drawing.h"
#include "music/staff_geometry.h"
#include "sound/recording.h"

int32_t lessonScreenFont = 2;
int32_t scopeTriggerKind = 0;

void blockRatingColour(int32_t rating)
{
    switch (rating) {
    case 1: setColour(1, 0, 1, 1); break;
    case 2: setColour(0, 0.549f, 0, 1); break;
    case 3: setColour(0.8f, 0.8f, 0, 1); break;
    default: setColour(0, 0, 0, 1);
    }
}

namespace {

const ExerciseRunState &r = exerciseRun;

std::string oneDecimal(double v) { return fixedText(v, 1); }

std::string whole(double v) { return std::to_string(roundToInt32(v)); }

void lineWidth(float w) { glLineWidth(w); }

void point(double x, double y, double z)
{
    glPointSize(3);
    glBegin(GL_POINTS);
    glVertex3d(x, y, z);
    glEnd();
    glPointSize(1);
}

// Separate lines (x0, y0, x1, y1 each) in the current colour and width, in
// one batch: the pixels of as many drawLine calls, in their order.
void drawLines(std::initializer_list<double> xy, double z)
{
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_LINES);
    for (auto p = xy.begin(); p + 3 < xy.end(); p += 4) {
        glVertex3d(p[0], p[1], z);
        glVertex3d(p[2], p[3], z);
    }
    glEnd();
}

// A pitch trace over blocks 0..count at x0: a point or a 3 pixel wide line
// from the block before, in the block's rating colour. The lines between
// two points go in one batch, each with its colour (a colour may change
// between the lines of a batch), so a trace is a few draws, not one per block.
void drawTrace(const double *values, const double *meter, const int32_t *ratings, int32_t count, double x0)
{
    if (count >= exerciseArraySize) count = exerciseArraySize - 1;
    bool batch = false; // a GL_LINES batch is open
    for (int32_t j = 0; j <= count; ++j) {
        const TraceMark m = traceMark(values, meter, j);
        if (m == TraceMark::nothing) continue;
        const double x = tracePlotX(x0, j);
        const double y = 300 + values[j];
        if (m == TraceMark::point) {
            if (batch) {
                glEnd();
                lineWidth(1);
                batch = false;
            }
            blockRatingColour(ratings[j]);
            point(x, y, -6);
        } else {
            if (!batch) {
                glDisable(GL_TEXTURE_2D);
                lineWidth(3);
                glBegin(GL_LINES);
                batch = true;
            }
            blockRatingColour(ratings[j]);
            glVertex3d(tracePlotX(x0, j - 1), 300 + values[j - 1], -6);
            glVertex3d(x, y, -6);
        }
    }
    if (batch) {
        glEnd();
        lineWidth(1);
    }
}

void drawTrainingStaffTrace(int32_t n) { drawTrace(r.trainingStaffHeights, r.trainingMeterValues, r.trainingRatings, n, 175); }
void drawTestStaffTrace(int32_t n) { drawTrace(r.testStaffHeights, r.testMeterValues, r.testRatings, n, 175); }
void drawTrainingMeterTrace(int32_t n) { drawTrace(r.trainingMeterValues, r.trainingMeterValues, r.trainingRatings, n, 345); }
void drawTestMeterTrace(int32_t n) { drawTrace(r.testMeterValues, r.testMeterValues, r.testRatings, n, 615); }

void drawDeviationMeter()
{
    const int32_t font = lessonScreenFont;
    setColour(0, 0, 0, 0.4f);
    for (int32_t m = 0; m < 2; ++m) {
        const double x = m == 0 ? 345 : 615;
        const double lx = m == 0 ? 299 : 569;
        drawLines({x, 300, x, 620, x - 5, 300, x + 5, 300, x - 5, 380, x + 5, 380, x - 5, 540, x + 5, 540,
                   x - 5, 620, x + 5, 620, x, 460, x + 125, 460},
                  -6);
        drawText(font, "Deviation", lx, 634);
        drawText(font, "+100", lx, 616);
        drawText(font, "+50", lx + 9, 536);
        drawText(font, "0", lx + 27, 456);
        drawText(font, "-50", lx + 9, 376);
        drawText(font, "-100", lx, 296);
    }
}

void drawExerciseTimeline(int32_t answerPhase, int32_t step)
{
    const int32_t font = lessonScreenFont;
    setColour(0, 0, 0, 0.4f);
    drawLines({195, 195, 735, 195, 195, 190, 195, 200, 225, 190, 225, 200, 345, 190, 345, 200, 615, 190, 615, 200,
               735, 190, 735, 200},
              -11);
    setColour(0, 0.549f, 0, 1);
    drawText(font, "Designated", 240, 218);
    drawText(font, "Pitch", 240, 200);
    setColour(0.8f, 0.4f, 0.6f, 1);
    drawText(font, "Delay Time", 435, 200);
    setColour(1, 0, 0, 0.4f);
    drawText(font, "Tar-", 625, 218);
    drawText(font, "nova", 625, 200);
    const double h = timelineMarkerLength(answerPhase, step, r.exerciseDelayMs);
    if (h >= 0) {
        setColour(1, 0, 0, 0.4f);
        lineWidth(3);
        drawLine(195, 195, 195 + h, 195, -3);
        lineWidth(1);
    }
}

void drawExercisesToDoBox()
{
    setColour(0, 0.6f, 0.6f, 0.4f);
    drawFrameRect(755, 628, 905, 683, -6);
    drawText(lessonScreenFont, "Exercises To Do", 765, 668);
    drawLargeText(lessonScreenFont, std::to_string(r.exercisesLeft), 825, 638);
}

void drawProgressBand()
{
    setColour(0, 0, 1, 0.9f);
    fillRect(345, 158, 615, 182, -12);
    setColour(0, 0, 0.9f, 0.9f);
    fillRect(345, 158, 615, 182, -12);
}

void drawFeedbackIcon(double x, double y, int32_t kind) { drawVerdictPicture(images44Textures + 1, x, y, kind); }

void drawSignalAndFrequency()
{
    if (exerciseLessonInputs().showScope) drawSignalTrace();
}

std::string noteName(int32_t note) { return solfegeName(false, note); }

// Title, rule, timeline-independent parts every exercise frame shares.
void drawTitle()
{
    setColour(0, 0, 0, 0.4f);
    drawLargeText(lessonScreenFont, "Ear Training: " + whole(r.maxDeviationCents) + " cents", 300, 702);
    setColour(0.5f, 0.5f, 0.1f, 0.4f);
    drawLine(25, 697, 1065, 697, -11);
}

void drawStaffAndParameters()
{
    const int32_t L = exerciseLessonInputs().lesson;
    const bool known = L >= firstParamsLesson && L <= lastParamsLesson;
    const LessonParams p = known ? lessonParamsTable[L] : LessonParams{8, 1500, 50, 75, 8};
    drawGrandStaff(100, 280, 0);
    drawGrandStaffClefs(100);
    drawStaffNote(220, 0, r.currentExerciseNote, 1);
    setColour(0, 0, 0, 0.4f);
    drawLargeText(lessonScreenFont, noteName(r.currentExerciseNote), 220, 295);
    drawLargeText(lessonScreenFont, "Delay " + oneDecimal(p.delayMs / 1000) + " sec", 50, 637);
    drawLargeText(lessonScreenFont, std::to_string(p.noteCount) + " Notes", 50, 662);
    drawLargeText(lessonScreenFont, "max. Tol. " + whole(p.maxTolCents) + " cents", 910, 662);
    drawLargeText(lessonScreenFont, "max. Dev. " + whole(p.maxDevCents) + " cents", 910, 637);
    drawLargeText(lessonScreenFont, "Training", 298, 662);
    drawLargeText(lessonScreenFont, "Test", 570, 662);
    drawDeviationMeter();
}

void drawNavigation()
{
    drawLabelledPanel(lessonScreenFont, "Navigation:", 620, 77, 615, 22, 1067, 70);
    drawText(lessonScreenFont, "Quit Exercise ... ", 620, 28);
}

void drawDelayLine()
{
    setColour(0, 0, 0, 0.4f);
    drawLargeText(lessonScreenFont, "Delay=" + oneDecimal(r.exerciseDelayMs / 1000) + " sec", 440, 130);
}

void drawScale(double x0, double x1)
{
    setColour(0, 0, 0, 0.4f);
    drawLines({x0, 245, x1, 245, x0, 240, x0, 250, x1, 240, x1, 250}, -7);
}

void drawTrainingLabel()
{
    drawScale(345, 465);
    drawText(lessonScreenFont, "Training", 360, 250);
    drawLargeText(lessonScreenFont, noteName(r.currentExerciseNote), 360, 270);
}

void drawTestLabel()
{
    drawScale(615, 735);
    drawText(lessonScreenFont, "test", 630, 250);
    drawLargeText(lessonScreenFont, noteName(r.currentExerciseNote), 640, 270);
}

void drawFrameTail(int32_t icon, const char *status)
{
    setColour(1, 0, 1, 0.4f);
    drawLine(1, 100, 1065, 100, -11);
    exerciseScreenHandlers.drawControls();
    drawPopupList();
    drawTextCaret();
    drawLessonMessagePanel(icon, status);
    glFlush();
    glutSwapBuffers();
}

void clearFrame()
{
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
}

void drawPreparationFrame(int32_t step)
{
    clearFrame();
    drawFrameAnimation(step < 20 ? step / 5 : step);
    setColour(0, 0, 0, 0.5f);
    drawLargeText(lessonScreenFont, "Pellomar ", 130, 680);
    setColour(0.5f, 0.5f, 0.1f, 0.4f);
    drawLine(25, 697, 1065, 697, -11);
    drawNavigation();
    setColour(0.5f, 0, 0.3f, 0.9f);
    fillRect(615, 100, 865, 120, -9);
    setColour(1, 0, 0.3f, 0.9f);
    if (step > 0) fillRect(615, 100, 615 + step / 29.0 * 250, 120, -6);
    exerciseScreenHandlers.drawControls();
    drawPopupList();
    drawTextCaret();
    drawLessonMessagePanel(1, "Please wait: Initializing");
    glFlush();
    glutSwapBuffers();
}

// Drawn after the frame was cleared and after what lies under it.
void drawCommonElements(int32_t answerPhase, int32_t step)
{
    drawTitle();
    drawStaffAndParameters();
    drawExerciseTimeline(answerPhase, step);
    drawExercisesToDoBox();
    drawNavigation();
    drawProgressBand();
}

// The running or finished traces of one recording.
void drawRecording(bool training)
{
    const int32_t index = training ? r.trainingIndex : r.testIndex;
    const int32_t start = training ? r.trainingStart : r.testStart;
    const int32_t end = training ? r.trainingEnd : r.testEnd;
    const double x0 = training ? 345 : 615;
    if (index < start) return;
    if (index <= end) {
        const int32_t k = index - start;
        if (training) {
            drawTrainingStaffTrace(k);
            drawTrainingMeterTrace(k);
        } else {
            drawTestStaffTrace(k);
            drawTestMeterTrace(k);
        }
        setColour(1, 0, 1, 1);
        const double x = tracePlotX(x0, k);
        drawLine(x, 240, x, 620, -6);
        drawSignalAndFrequency();
    } else {
        if (training) {
            drawTrainingStaffTrace(end - start);
            drawTrainingMeterTrace(end - start);
        } else {
            drawTestStaffTrace(end - start);
            drawTestMeterTrace(end - start);
        }
        setColour(0, 0, 0, 0.4f);
        drawLine(x0 + 120, 240, x0 + 120, 620, -6);
    }
}

void drawAnswerFrame(int32_t step)
{
    const int32_t phase = r.answerPhase;
    const double D = r.exerciseDelayMs;
    const double f = exerciseFrameMs;
    clearFrame();
    const double targetY = 300 + roundToInt32(frequencyToStaffHeight(r.targetFrequency));
    const int32_t before = r.previousAnswerPhase;
    if (before == answerDelay || before == answerSing || before == answerEvaluate) {
        // Under the staff and the meter.
        setColour(0.6f, 1, 0.8f, 0.4f);
        fillTriangle(241, targetY, 337, 300, 337, 620, -12);
    }
    drawCommonElements(phase, step);
    if (phase == answerDelay) {
        setColour(1, 0, 0, 1);
        fillRect(345 + r.delayFrame * f / D * 270, 156, 615, 184, -5);
        drawRecording(true);
    }
    if (phase == answerSing) drawRecording(false);
    if (phase == answerDelay || phase == answerSing || phase == answerEvaluate) {
        drawArrow(1, 241, static_cast<int32_t>(targetY), 320, 460, 3);
        drawTrainingLabel();
        if (phase != answerDelay) drawTestLabel();
        if (phase != answerDelay) drawTrainingMeterTrace(r.trainingEnd - r.trainingStart);
        if (phase == answerEvaluate) {
            drawTestStaffTrace(r.testEnd - r.testStart);
            drawTestMeterTrace(r.testEnd - r.testStart);
        }
    }
    if (step >= 54) {
        setColour(0, 0, 0, 0.4f);
        const int32_t shown = noteOfStaffValue(roundToInt32(frequencyToStaffHeight(r.targetFrequency) + 20.0));
        drawLargeText(lessonScreenFont, noteName(shown), 360, 270);
    }
    drawDelayLine();
    if (D >= 7500 && phase == answerDelay && r.delayFrame >= (D - 5000) / f) {
        drawScale(495, 615);
        drawText(lessonScreenFont, "Prepare", 510, 250);
        if (r.delayFrame >= (D - 4500) / f) {
            const double xb = 495 + roundToInt32((r.delayFrame - roundToInt32((D - 4500) / f)) / 97.0 * 120);
            setColour(1, 0, 1, 1);
            lineWidth(3);
            drawLine(495, 245, xb, 245, -6);
            lineWidth(1);
            drawLine(xb, 240, xb, 620, -6);
        }
    }
    const bool trainingRunning = r.trainingIndex <= r.trainingEnd;
    const ExerciseStatus st = answerStatus(phase, step, D, trainingRunning);
    drawFrameTail(st.icon, st.text);
}

void drawFeedbackFrame(int32_t step)
{
    clearFrame();
    drawTitle();
    drawExerciseTimeline(answerFeedback, step);
    drawExercisesToDoBox();
    drawTrainingLabel();
    drawTestLabel();
    drawDelayLine();
    drawNavigation();
    if (step >= 103 && step <= 202) {
        // Under the meter and its traces.
        setColour(0.8f, 1, 1, 0.4f);
        fillRect(615, 300, 675, 620, -11);
        if (!r.answerValid) {
            const double t = r.targetFrequency;
            const double k = std::pow(2.0, r.maxToleranceCents / 1200);
            setColour(1, 1, 0.8f, 0.4f);
            fillRect(615, 300 + deviationToMeterY(r.meterRange, 160, t, t / k), 675,
                     300 + deviationToMeterY(r.meterRange, 160, t, t * k), -10);
        }
    }
    if (step >= 60 && step <= 202) {
        drawStaffAndParameters();
        drawTrainingMeterTrace(r.trainingEnd - r.trainingStart);
        drawTestMeterTrace(r.testEnd - r.testStart);
        drawTestStaffTrace(r.testEnd - r.testStart);
        drawProgressBand();
    }
    if (step >= 103 && step <= 142) {
        setColour(0, 0, 1, 1);
        drawLargeText(lessonScreenFont, "Feedback", 760, 600);
    }
    if (step >= 143 && step <= 202) {
        if (r.answerValid) {
            const double y = 300 + deviationToMeterY(r.meterRange, 160, r.targetFrequency, r.sungFrequency);
            setColour(0, 0, 1, 1);
            drawLine(615, y, 675, y, -11);
        }
        drawFeedbackIcon(880, 482, r.notePassed ? 3 : 2);
        if (r.answerValid) {
            const double dev = centsOfHz(r.sungFrequency) - centsOfHz(r.targetFrequency);
            setColour(0, 0, 1, 1);
            drawLargeText(lessonScreenFont, "Mean Deviation in cents=" + whole(dev), 740, 455);
            drawLargeText(lessonScreenFont, "STD=" + whole(r.stdDeviationCents), 740, 430);
        } else {
            drawOutOfPrecision(glImmediateDraw());
        }
    }
    drawFrameTail(3, "See the answer");
}

} // namespace

void drawOutOfPrecision(ImmediateDraw &d)
{
    d.colour(0.85f, 0.1f, 0.1f, 1);
    d.text(DrawnText::large, lessonScreenFont, "Out of required precision", 760, 455);
}

void drawVerdictPicture(const unsigned int *pictures, double x, double y, int32_t kind)
{
    if (kind < 1 || kind > 3) return;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    setColour(1, 1, 1, 1);
    drawTexturedRect(pictures[kind - 1], x, y, x + 128, y + 128, -8);
    glDisable(GL_BLEND);
}

void loadExercisePicturePack(int32_t pack)
{
    // The screen draws only the verdict pictures; Images25, Images49 and the
    // rest of Images44 would be loaded without being drawn (about 160 MB of
    // textures), so the first two are only checked as the reader checks a pack.
    if (pack == 25) checkPicturePack("Images25");
    else if (pack == 49) checkPicturePack("Images49");
    else if (pack == 44) loadImages44VerdictPictures();
}

void freeExercisePictures() { freeImages44Textures(); }

void drawExerciseFrame(const ExerciseFrame &frame)
{
    switch (frame.kind) {
    case ExerciseFrameKind::preparation: drawPreparationFrame(frame.step); break;
    case ExerciseFrameKind::prepareExercise:
        clearFrame();
        drawCommonElements(answerPreparing, 0);
        drawFrameTail(1, "Preparing Exercise");
        break;
    case ExerciseFrameKind::answer: drawAnswerFrame(frame.step); break;
    case ExerciseFrameKind::feedback: drawFeedbackFrame(frame.step); break;
    }
}

// ---- Layout rules --------------------------------------------------------

double timelineMarkerLength(int32_t answerPhase, int32_t step, double D)
{
    const double f = exerciseFrameMs;
    switch (answerPhase) {
    case answerRelax: return step * f / 500 * 30;
    case answerListen: return step * f / 2500 * 150;
    case answerDelay: return 150 + (step - listenFrameLimit) * f / D * 270;
    case answerSing: return 420 + (step - (D + 2500) / f) * f / 2000 * 120;
    case answerEvaluate:
    case answerFeedback: return 540;
    default: return -1;
    }
}

ExerciseStatus answerStatus(int32_t answerPhase, int32_t step, double D, bool trainingRunning)
{
    switch (answerPhase) {
    case answerRelax: return {1, "Relax"};
    case answerListen: return {5, "Listen"};
    case answerDelay:
        if (trainingRunning) return {7, "Sing"};
        if (step >= (D + 2500 - 5000) / exerciseFrameMs) return {6, "Prepare"};
        return {1, "relax"};
    default: return {7, "Sing"};
    }
}

TraceMark traceMark(const double *values, const double *meter, int32_t j)
{
    if (j == 0) return TraceMark::point;
    if (meter[j] == 0) return TraceMark::nothing;
    if (values[j - 1] > 10 && values[j] != 0 && std::fabs(values[j] - values[j - 1]) < 320) return TraceMark::line;
    return TraceMark::point;
}

std::string scopeReadout(double hz)
{
    const int64_t v = roundToInt64(100 * hz);
    const int64_t i = v / 100; // toward zero
    const int64_t rest = v - 100 * i;
    std::string text;
    if (i < 9) {
        text = "f=    0.";
    } else {
        const char *prefix = i > 999 ? "f=" : i > 99 ? "f= " : i > 9 ? "f=  " : "f=    ";
        text = prefix + std::to_string(i) + ".";
    }
    if (rest < 10) text += "0";
    text += std::to_string(rest);
    return text;
}

void drawSignalTrace()
{
    int32_t start = 0;
    int32_t t = -1;
    for (int32_t i = 0; i < 1000 && t < 0; ++i)
        if (eventTypeAtSample[i] == 1) t = i;
    if (t >= 0) {
        start = t;
        if (scopeTriggerKind != 1) {
            int32_t found = -1;
            for (int32_t i = t; i < 1000 && found < 0; ++i)
                if (eventTypeAtSample[i] == scopeTriggerKind) found = i;
            if (found < 0) scopeTriggerKind = 1;
            else start = found;
        }
    }
    double xy[2 * 301];
    for (int32_t k = 0; k <= 300; ++k) {
        xy[2 * k] = 150 + k;
        xy[2 * k + 1] = std::trunc(analysisWindow[start + k] / 1024.0) + 32;
    }
    setColour(0.6f, 0.5f, 0.3f, 0.9f);
    drawLineStrip(xy, 301, -9);
    setColour(1, 0, 1, 0.4f);
    drawLine(150, 32, 454, 32, -11);
    setColour(0, 0, 0, 0.4f);
    const int32_t b = recordingBlockIndex >= 0 && recordingBlockIndex < blockTrackSize ? recordingBlockIndex : 0;
    drawText(lessonScreenFont, scopeReadout(pitchSamples[b]), 364, 10);
}
