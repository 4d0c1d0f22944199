// Three replay frames recorded whole and compared with their stored traces
// (tests/replay/score_view_traces/*.txt). After a deliberate change of the
// view, TARNOVA_UPDATE_TRACES=1 writes the new traces, to be read over before
// they are committed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "score_view_fixture.h"

namespace {

std::string traceDir()
{
    const std::string file = __FILE__;
    return file.substr(0, file.find_last_of('/')) + "/score_view_traces/";
}

void checkTrace(const RecordingDraw &draw, const std::string &name)
{
    std::string got;
    for (const std::string &op : draw.ops) got += op + "\n";
    const std::string path = traceDir() + name + ".txt";
    if (std::getenv("TARNOVA_UPDATE_TRACES")) {
        std::ofstream(path) << got;
        return;
    }
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    std::stringstream want;
    want << in.rdbuf();
    EXPECT_EQ(got, want.str()) << name;
}

struct ScoreViewTrace : testing::Test {
    RecordingDraw draw;
    void TearDown() override { setScoreViewHooks(realScoreViewHooks()); }
    void showAll()
    {
        showCountingHints = showOnBeatHints = showAmplitudeProgression = showPitchProgression = showTeacher = 1;
        rhythmKick = 1;
    }
};

} // namespace

// A bar of beamed eighths in Bb with the third note in progress.
TEST_F(ScoreViewTrace, BeamedBar)
{
    loadScoreTune("X:1\nT:Beamed bar\nC:Test\nM:4/4\nL:1/8\nQ:120\nK:Bb\nB,DFD ^GAB=B | c4 z4 |]\n");
    showAll();
    playUpTo(2, 1100);
    recordingBlockIndex = 23;
    for (int32_t b = 0; b <= 23; ++b) {
        blockTimeMs[b] = 46 * b;
        blockBarOffset[b] = 0;
        blockStaffHeight[b] = 150 + 2 * b;
        blockEnvelope[b] = 400;
        blockLoudness[b] = 12000;
        blockLoudnessRating[b] = 2;
        recheckPitchRating[b] = 1 + b % 3;
        blockTraceInts[b] = 0;
    }
    buildBatonCurve(audioClockMs, scorePixelsPerMs);
    drawReplayView(draw, audioClockMs, nextMelodyNote, 0);
    checkTrace(draw, "beamed_bar");
}

// A note tied across the bar line, the tie's second note current and held
// back by the wait shift.
TEST_F(ScoreViewTrace, TiedNoteAcrossTheBarLine)
{
    loadScoreTune("X:1\nT:Tie\nM:3/4\nL:1/4\nQ:90\nK:G\nG A B- | B d2 | g3 |]\n");
    showAll();
    waitShiftMs = 200;
    playUpTo(3, lessonNotes[3].startMs + 250);
    currentNoteRow = 3;
    drawReplayView(draw, audioClockMs, nextMelodyNote, 0);
    checkTrace(draw, "tied_note");
}

// A triplet with lyrics and chord symbols, degrees as labels, the sheet view
// of the count-off with its count-in picture.
TEST_F(ScoreViewTrace, TripletWithLyricsAndChords)
{
    loadScoreTune("X:1\nT:Triplet\nM:2/4\nL:1/8\nQ:100\nK:F\n(3FGA B2 | c4 |]\nw:one two three four five\n",
                  "X:1\nM:2/4\nL:1/4\nQ:100\nK:F\n\"F\"z \"Bb\"z | \"C7\"z2 |]\n");
    noteLabelMode = 3;
    const char *labels[5] = {"^1", "^2", "^3", "^4", "^5"};
    for (int32_t i = 0; i < 5; ++i) lessonNotes[i].label = labels[i];
    showCountingHints = 1;
    countInBeat = 2;
    scoreViewSheetOnly = 1;
    scoreViewTimeMs = scoreViewNoteIdx = scoreViewChordIdx = 0;
    scoreViewCountInFrame = 5;
    drawScoreView(draw);
    checkTrace(draw, "triplet_lyrics_chords");
}
