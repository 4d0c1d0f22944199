// The introduction's illustrations: full-size slides, diagram pictures and
// pairs, small travelling icons, single pictures, a whole note marked on the
// staff, the ticking stopwatch dial and the accuracy-over-time graph. Each
// routine draws one thing in window pixels (y up) through the facade, keeps
// no state, and reads its textures from the picture sets (lessons/picture_sets.h).
#pragma once
#include <cstdint>

struct ImmediateDraw;

// Images50 picture n (1..14), 1024 x 1024 from (x - 140, 56), depth -8.
void drawSlide(ImmediateDraw &draw, int32_t n, int32_t x);
// Images50 picture 13 widened and heightened, from (90, 156), depth -6.
void drawGraphSlide(ImmediateDraw &draw, int32_t extraWidth, int32_t extraHeight);
// n 1..8: Images51 pictures 1, 2, 3, 33, 34, 37, 38, 39; 1024 square from (x - 80, y + 76), depth -11.
void drawDiagramPicture(ImmediateDraw &draw, int32_t n, int32_t x, int32_t y);
// n 1..4: Images51 pictures 4, 5, 6, 40; 256 square from (x + 180, y + 610), depth -8.
void drawDiagramIcon(ImmediateDraw &draw, int32_t n, int32_t x, int32_t y);
// Pair n 1..14: two Images51 pictures side by side at (x, 155) and (x + 700, 155), depth -11.
void drawDiagramPair(ImmediateDraw &draw, int32_t n, int32_t x);
// Images51 picture 40 + n (n 1..8), 128 square at (x, y), depth -8; green-tinted when highlighted.
void drawTransferIcon(ImmediateDraw &draw, int32_t n, int32_t x, int32_t y, bool highlighted);
// Icon n moving from (x1, y1) toward (x2, y2) at step t: t 1 highlighted at
// the start, 2..9 a ninth of the way further per step, anything else nothing.
void drawIconTransfer(ImmediateDraw &draw, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t t, int32_t n);
// Images0 pictures 32 (152 x 207) and 48 (scaled to 78 x 75), depth -7.
void drawPortraitPicture(ImmediateDraw &draw, int32_t x, int32_t y);
void drawSmallPicture(ImmediateDraw &draw, int32_t x, int32_t y);
// A whole note on the staff with a pink marker dot; colour 0..2.
void drawStaffMarkerNote(ImmediateDraw &draw, int32_t x, int32_t colour, float staffHeight);
// The stopwatch at (472, 218): a sector of tick + 7 units (3 degrees each)
// and its hand from tick 3 on; below that the hand straight up.
void drawTickingStopwatch(ImmediateDraw &draw, int32_t tick);
// Two slides, the stopwatch, the big arrow at tick 0, the graph slide and its title.
void drawAccuracyGraph(ImmediateDraw &draw, int32_t tick, int32_t extraWidth);

// Where a dial's point at u units (3 degrees each, clockwise from 12 o'clock)
// and radius r lies, unrounded.
struct DialPoint {
    double x, y;
};
DialPoint dialPointAt(double cx, double cy, double units, double radius);
// Where the travelling icon stands at step t 2..9.
int32_t iconTransferCoordinate(int32_t from, int32_t to, int32_t t);
