// Pure geometry of the staff drawing: where staff lines, ledger lines and
// arrow heads lie, the shake of a highlighted note, and the height on the
// staff of a sung frequency. No GL here.
#pragma once
#include <cstdint>

// Window y of the five treble and five bass staff lines.
constexpr int32_t trebleStaffBottomY = 480;
constexpr int32_t bassStaffBottomY = 360;
constexpr int32_t staffLineGap = 20;
// A StaffValue v is drawn with its picture anchored at y = v + 300; the head
// centre lies at v + 280.
constexpr int32_t staffPictureOffsetY = 300;
constexpr int32_t staffHeadOffsetY = 280;

// Ledger lines of a written staff position s: how many (0..2) and the window
// y of each (lines[0] the lowest).
int32_t ledgerLineRows(int32_t s, int32_t lines[2]);

// The shake of a highlighted note: offset of steps 0..9, a ten-step cycle
// that returns to (0, 0).
struct ShakeOffset {
    int32_t dx;
    int32_t dy;
};
extern ShakeOffset noteShakeOffset;
extern int32_t shakeStep;
ShakeOffset shakeOffsetForStep(int32_t step);
// Sets noteShakeOffset for the step and advances it (9 wraps to 0).
void nextShakeOffset(int32_t &step);

// The two head points of an arrow from (x1, y1) to (x2, y2) whose head is
// headLength long along the shaft and reaches halfWidth to each side
// (12 and 4 for drawArrow, 35 and 13 for drawBigArrow). An arrow of length 0
// has both head points at its tip.
struct ArrowHead {
    double leftX, leftY, rightX, rightY;
};
ArrowHead arrowHeadPoints(int32_t x1, int32_t y1, int32_t x2, int32_t y2, double headLength,
                          double halfWidth);

// Height of a frequency on the grand staff: StaffValue - 20 of the pitch, 0
// for A1 and 160 for middle C, linear in log2(f) between the note anchors;
// 0 below 55 Hz and from 1318.5102 Hz (E6) on.
float frequencyToStaffHeight(double hz);
