// The generated lessons 40..43 hold what the score view draws (beams of
// eighths and sixteenths, a flat key, accidentals, a tie across a bar line,
// a slur, a triplet, rests, lyrics and chord symbols), and each draws without
// a non-finite coordinate.
#include <gtest/gtest.h>

#include <set>

#include "common/generated_data.h"
#include "score_view_fixture.h"

TEST(ScoreViewLessons, GeneratedTunesShowEveryKindOfItem)
{
    const std::string data = generatedData();
    resourceDir = data;
    std::set<std::string> seen;
    RecordingDraw draw;
    for (int32_t lesson = 40; lesson <= 43; ++lesson) {
        resetScoreViewWorld();
        setUpTestUser(3);
        currentLesson = lesson;
        loadLesson();
        ASSERT_EQ(lessonNoteCount, 7) << lesson;
        if (tuneKeyIndex == 11 || tuneKeyIndex == 5) seen.insert("flat key");
        for (int32_t i = 0; i < lessonNoteCount; ++i) {
            const TimedNote &n = lessonNotes[i];
            if (n.beamKind == 1) seen.insert("eighth beam");
            if (n.beamKind == 2) seen.insert("sixteenth beam");
            if (n.tieRole != 0 && n.barKind == 0 && lessonNotes[i + 1].barKind != 0) seen.insert("tie over a bar line");
            if (n.slurRole == 1 && n.tieRole == 0) seen.insert("slur");
            if (n.tupletRole == 2) seen.insert("triplet");
            if (n.letter == 'r') seen.insert("rest");
            if (n.accidental != ' ') seen.insert("accidental");
            if (!n.lyric.empty()) seen.insert("lyrics");
        }
        for (int32_t i = 0; i < lessonChordCount; ++i)
            if (!lessonChords[i].chordText.empty()) seen.insert("chords");
        playUpTo(2, lessonNotes[2].startMs + 10);
        drawReplayView(draw, audioClockMs, nextMelodyNote, 1);
        for (const std::string &op : draw.ops) {
            ASSERT_EQ(op.find("nan"), std::string::npos) << lesson << ": " << op;
            ASSERT_EQ(op.find("inf"), std::string::npos) << lesson << ": " << op;
        }
    }
    EXPECT_EQ(seen, (std::set<std::string>{"flat key", "eighth beam", "sixteenth beam", "tie over a bar line", "slur",
                                           "triplet", "rest", "accidental", "lyrics", "chords"}));
}
