// Stand-in for the score view until it is built: the staff lines, the play
// cursor and the scores box.
#include "replay/score_view.h"

#include <string>

#include "lessons/lesson_loader.h"
#include "replay/replay_state.h"
#include "replay/replay_view.h"

void drawScoreView(ImmediateDraw &draw)
{
    draw.colour(0, 0, 0, 0.4f);
    for (int line = 0; line < 5; ++line) {
        draw.line(100, 300 + 12 * line, 1260, 300 + 12 * line, -10);
        draw.line(100, 420 + 12 * line, 1260, 420 + 12 * line, -10);
    }
    if (!scoreViewSheetOnly) {
        const double x = 100 + scoreViewPxPerMs * (scoreViewClockMs - viewOriginMs);
        draw.colour(1, 0, 0, 0.4f);
        draw.line(x, 280, x, 500, -7);
    }
    draw.colour(0, 0, 0, 1);
    draw.text(DrawnText::normal, 2, "Pitch: " + std::to_string(pitchHitCount), 1000, 200);
    draw.text(DrawnText::normal, 2, "Loudness: " + std::to_string(loudnessOkCount), 1000, 180);
    draw.text(DrawnText::normal, 2, "Note ok: " + std::to_string(noteOkCount), 1000, 160);
    draw.text(DrawnText::normal, 2, "On Beat: " + std::to_string(onBeatScore), 1000, 140);
}
