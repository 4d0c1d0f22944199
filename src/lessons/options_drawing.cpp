#include "lessons/options_drawing.h"

#include <GL/gl.h>
#include <cstdlib>
#include <string>

#include "base/shared.h"
#include "frame/gl_draw.h"
#include "frame/input_template.h"
#include "frame/screen_frame.h"
#include "frame/text.h"
#include "lessons/exercise_drawing.h"
#include "lessons/exercise_run.h"
#include "lessons/lesson_one_screen.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_state.h"
#include "lessons/note_check.h"
#include "lessons/options_screen.h"
#include "music/notes.h"
#include "music/staff_drawing.h"

namespace {

const OptionsScreenState &s = optionsScreen;

void green() { setColour(0.1f, 0.5f, 0.1f, 0.4f); }
void black() { setColour(0, 0, 0, 0.4f); }

void outline(double x0, double y0, double x1, double y1)
{
    drawFrameRect(x0, y0, x1, y1, -6);
}

void point(double x, double y)
{
    glPointSize(3);
    glBegin(GL_POINTS);
    glVertex3d(x, y, -6);
    glEnd();
    glPointSize(1);
}

// Whole-note pictures as the check's markers: the sung pitch and "no pitch"
// (at the lowest staff place).
void drawSungNoteMarker(double x, double y) { drawNoteImage(64, 1, static_cast<int32_t>(x), static_cast<int32_t>(y)); }
void drawNoPitchMarker(double x) { drawNoteImage(64, 0, static_cast<int32_t>(x), 300); }

void drawDialogFrame(int32_t state)
{
    black();
    const int32_t L = currentLesson;
    if (L >= 2 && L <= 65) drawText(s.font, optionsTitle(L) + progressName, 20, 702);
    setColour(0.5f, 0.5f, 0.1f, 0.4f);
    drawLine(15, 697, 1100, 697, -11);
    green();
    drawText(s.font, dialogCountLine(state, s.chosenNoteCount), 30, 665);
    outline(25, 292, 615, 658);
    outline(25, 185, 928, 252);
    drawText(s.font, "Control:", 470, 167);
    outline(465, 110, 928, 160);
    drawText(s.font, "Training mode: ", 70, 265);
    black();
    drawText(s.font, "Show Pitch Progression ...", 30, 229);
    drawText(s.font, "Show Scope ...............", 30, 209);
    drawText(s.font, "Random note every ........", 30, 189);
    drawText(s.font, "Play Note ...............", 340, 229);
    drawText(s.font, "Accept as correct mimimum", 340, 209);
    drawText(s.font, "No Animation Pause ......", 340, 189);
    drawText(s.font, "Show loudness ...", 720, 229);
    drawText(s.font, "Tempo ...........", 720, 209);
    drawText(s.font, "Start Exercise ................ ", 470, 140);
    drawText(s.font, "Change Lesson ................. ", 470, 116);
    // The chosen notes as tiles: three columns, six rows, top row first.
    setColour(1, 1, 1, 0.4f);
    for (int32_t p = 1; p <= maxChosenNotes; ++p) {
        const int32_t note = s.chosenNotes[p];
        if (note < firstKeyNote || note > lastKeyNote) continue;
        const double x = 960 + 45 * ((p - 1) % 3), y = 604 - 83 * ((p - 1) / 3);
        drawTexturedRect(noteKeyPictures[note - firstKeyNote], x, y, x + 128, y + 128, -12);
    }
    setColour(0.5f, 0.5f, 0.5f, 0.4f);
    outline(950, 187, 1093, 687);
}

// The bottom edge of the lowest row of keys.
constexpr int32_t dialogBandBottom = 300;

double noteLineY() { return staffValueOfNote(s.checkNote) + 280; }

void drawTargetLine()
{
    setColour(1, 0, 0, 0.4f);
    glLineWidth(3);
    drawLine(720, noteLineY(), 800, noteLineY(), -11);
    glLineWidth(1);
}

void drawTargetLabel()
{
    black();
    drawLargeText(s.font, "Tarnova", 825, noteLineY());
}

// Blocks 0..n of the answer.
void drawCheckPitchTrace(int32_t n)
{
    for (int32_t i = 0; i <= n && i < checkArraySize; ++i) {
        const double h = s.checkBlockHeight[i];
        if (h == 0 && i > 0) continue;
        blockRatingColour(s.checkBlockRating[i]);
        const double x = checkTraceX(750, i), y = h + 300;
        const double previous = i > 0 ? s.checkBlockHeight[i - 1] : 0;
        if (i > 0 && previous != 0 && std::abs(previous - h) < 62) {
            glLineWidth(3);
            drawLine(checkTraceX(750, i - 1), previous + 300, x, y, -6);
            glLineWidth(1);
        } else {
            point(i == 0 ? 750 : x, y);
        }
    }
}

void drawCursor(double x)
{
    setColour(1, 0, 1, 0.4f);
    drawLine(x, 300, x, 620, -6);
}

void drawListen(int32_t f)
{
    black();
    drawLargeText(s.font, "Hum or Sing the", 745, 620);
    if (f <= 39) drawStaffNote(780, 0, s.checkNote, 0);
    else if (f <= 54) drawStaffNote(slidingNoteX(f), 0, s.checkNote, 0);
    else if (f <= 58) drawStaffNote(700, 0, s.checkNote, 0);
    if (f >= 40) {
        drawTargetLine();
        drawTargetLabel();
    }
    if (f >= 59) {
        black();
        drawLargeText(s.font, "with this note", 665, 300);
        drawNoPitchMarker(820);
        black();
        drawLargeText(s.font, "Please", 865, 300);
    }
}

void drawSing(int32_t f)
{
    black();
    drawLargeText(s.font, "Hum or Sing Now!", 745, 620);
    if (f <= 0) {
        drawTargetLine();
        drawNoPitchMarker(820);
        return;
    }
    if (f <= checkBlocks) {
        if (showScope) drawSignalTrace();
        drawTargetLine();
        const int32_t i = recordingBlockIndex;
        const double h = i >= 0 && i < checkArraySize ? s.checkBlockHeight[i] : 0;
        if (h > 0) {
            const double hz = s.checkBlockPitch[i];
            drawSungNoteMarker(820, h + 300);
            const int32_t c = classifySungPitch(s.liveBandCents, hz, s.targetHz);
            if (c != 0) {
                blockRatingColour(c);
                glLineWidth(3);
                drawLine(checkTraceX(753, i), h + 300, 830, h + 300, -6);
                glLineWidth(1);
            }
        } else {
            drawNoPitchMarker(820);
        }
        drawCheckPitchTrace(i);
        drawCursor(checkTraceX(753, i));
        return;
    }
    drawTargetLine();
    drawCheckPitchTrace(checkBlocks - 1);
    drawCursor(917.397);
}

void drawVerdict()
{
    drawTargetLine();
    drawCheckPitchTrace(checkBlocks - 1);
    setColour(0.8f, 1, 1, 0.4f);
    fillRect(853, 300, 913, 620, -12);
    setColour(1, 0, 0, 0.4f);
    drawLine(861.669, 300, 861.669, 620, -6);
    black();
    if (s.checkPassed) {
        drawLargeText(s.font, "Good", 750, 650);
    } else {
        for (const PlacedText &line : failedCheckLines) drawLargeText(s.font, line.text, line.x, line.y);
    }
}

} // namespace

void drawOptionsFrame(int32_t state, int32_t f)
{
    if (!haveGlContext()) return;
    clearScreenFrame();
    drawFrameAnimation(((f % 190) + 190) % 190 / 5);
    drawDialogFrame(state);
    int32_t icon = 4;
    std::string status = "Choose the options with which you want to do the exercise and click \"Go\"";
    if (state == optionsDialog) {
        setColour(1, 1, 1, 0.4f);
        // Above the keys' bottom edge the dialog draws the same pixels frame
        // after frame (title, count line, frames, chosen tiles, backdrop,
        // keys; the animation and the other controls lie below): kept after
        // one frame and copied back while what decides them stays the same.
        const std::string keys = optionsKeysSignature();
        std::string band;
        if (!keys.empty()) {
            band = keys + progressName + '\0' + std::to_string(currentLesson);
            for (const int32_t v : {s.font, s.chosenNoteCount, static_cast<int32_t>(optionsBackdrop)})
                band += ' ' + std::to_string(v);
            for (const int32_t note : s.chosenNotes) band += ' ' + std::to_string(note);
        }
        const int32_t height = windowHeight - dialogBandBottom;
        if (!band.empty() && drawKeptBox(band, 0, dialogBandBottom, windowWidth, height)) {
            leaveTexturedRectState(optionsBackdrop);
            drawOptionsDialogControls(false);
        } else {
            drawTexturedRect(optionsBackdrop, 650, 340, 650 + optionsBackdropSize, 340 + optionsBackdropSize, -12);
            drawOptionsDialogControls(true);
            if (!band.empty()) keepBox(band, 0, dialogBandBottom, windowWidth, height);
        }
        finishScreenFrame(icon, status);
        return;
    } else {
        drawGrandStaff(640, 920, 0);
        drawGrandStaffClefs(640);
        if (state == optionsListen) {
            drawListen(f);
            icon = f < 40 ? 5 : 6;
            status = f < 40 ? "Listen to the pitch" : "Prepare to sing";
        } else if (state == optionsSing) {
            drawSing(f);
            icon = 7;
            status = "Sing the note";
        } else {
            drawVerdict();
            icon = 3;
            status = s.checkPassed ? "Note accepted" : "Sorry, note out of range";
        }
    }
    exerciseOptionsScreenHandlers.drawControls();
    finishScreenFrame(icon, status);
}
