// The score view's pictures and geometry per element kind, read from the
// recorded frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "score_view_fixture.h"

namespace {

struct ScoreView : testing::Test {
    RecordingDraw draw;
    void SetUp() override { resetScoreViewWorld(); }
    void TearDown() override { setScoreViewHooks(realScoreViewHooks()); }
    // A bare lesson of n quarter notes (C4 upward), 500 ms each, in 4/4 at 120.
    void quarters(int32_t n)
    {
        msPerBeat = 500;
        setScoreScale();
        tuneKeyIndex = 0;
        meterNumerator = meterDenominator = 4;
        scoreNotesStartX = 150;
        timeSignatureX = 90;
        lessonNoteCount = n;
        for (int32_t i = 0; i <= n; ++i) {
            TimedNote &t = lessonNotes[i];
            t = TimedNote{};
            t.letter = i < n ? 'C' : 'r';
            t.startMs = 500 * i;
            t.durationMs = 500;
            t.lengthUnits = 16;
            t.shownStaff = t.soundingStaff = 180 + 10 * (i % 5);
        }
        beatRecordCount = 0;
    }
    void full(int32_t t, int32_t noteIdx, int32_t chordIdx = 0) { drawReplayView(draw, t, noteIdx, chordIdx); }
    void sheet(int32_t t, int32_t noteIdx, int32_t chordIdx = 0) { drawReplaySheetView(draw, t, noteIdx, chordIdx); }
    std::vector<std::string> pictures(int32_t first, int32_t last) const
    {
        std::vector<std::string> out;
        for (const std::string &op : draw.ops) {
            int32_t p = 0;
            if (std::sscanf(op.c_str(), "picture %d", &p) == 1 && p >= first && p <= last) out.push_back(op);
            if (std::sscanf(op.c_str(), "picture4 %d", &p) == 1 && p >= first && p <= last) out.push_back(op);
        }
        return out;
    }
    bool has(const std::string &op) const { return std::find(draw.ops.begin(), draw.ops.end(), op) != draw.ops.end(); }
    // The op right after the last colour change before op (its colour).
    std::string colourOf(const std::string &op) const
    {
        std::string colour;
        for (const std::string &o : draw.ops) {
            if (o.rfind("colour", 0) == 0) colour = o;
            if (o == op) return colour;
        }
        return "missing " + op;
    }
};

} // namespace

// ---- Picture tables ------------------------------------------------------------

TEST(ScoreViewPictures, NotesByLengthBeamAndState)
{
    struct Case {
        int32_t length, beam, pictures[3];
    } cases[] = {
        {4, 0, {61, 62, 63}},  {6, 0, {64, 62, 63}},  {8, 0, {67, 68, 69}},  {12, 0, {70, 71, 72}},
        {16, 0, {73, 74, 75}}, {24, 0, {76, 77, 78}}, {32, 0, {79, 80, 81}}, {48, 0, {82, 83, 84}},
        {64, 0, {85, 86, 87}}, {10, 0, {73, 74, 75}}, {4, 2, {73, 74, 75}},  {6, 4, {76, 77, 78}},
        {8, 1, {73, 74, 75}},  {12, 3, {76, 77, 78}}, {32, 1, {79, 80, 81}}, {64, 1, {85, 86, 87}},
    };
    for (const Case &c : cases)
        for (int32_t s = 0; s < 3; ++s)
            EXPECT_EQ(scoreNotePicture(c.length, c.beam, s), c.pictures[s]) << c.length << " " << c.beam << " " << s;
    EXPECT_EQ(scoreNotePicture(64, 0, 3), 88);
}

TEST(ScoreViewPictures, RestsSignsAndMarks)
{
    struct RestCase {
        int32_t length, staff, state, picture, shift;
    } rests[] = {
        {4, 220, 0, 89, 12}, {4, 220, 2, 91, 12}, {6, 220, 1, 92, 0},   {8, 220, 0, 95, 0},   {12, 200, 1, 99, 0},
        {16, 200, 2, 103, 0}, {24, 200, 0, 104, 0}, {32, 215, 0, 107, 10}, {32, 220, 0, 107, 0}, {32, 100, 1, 108, 0},
        {48, 205, 2, 112, 10}, {64, 195, 0, 113, 10}, {40, 195, 0, 95, 10}, {10, 195, 0, 95, 0},
    };
    for (const RestCase &c : rests) {
        const RestPicture r = scoreRestPicture(c.length, c.staff, c.state);
        EXPECT_EQ(r.picture, c.picture) << c.length << " " << c.staff;
        EXPECT_EQ(r.shiftDown, c.shift) << c.length << " " << c.staff;
    }
    const char accidentals[] = {'^', '_', '='};
    for (int32_t k = 0; k < 3; ++k)
        for (int32_t s = 0; s < 3; ++s) EXPECT_EQ(scoreAccidentalPicture(accidentals[k], s), 44 + 3 * k + s);
    EXPECT_EQ(scoreAccidentalPicture(' ', 0), -1);
    struct MarkCase {
        char mark;
        int32_t upcoming;
    } marks[] = {{'.', 44}, {'H', 44}, {'M', 44}, {'L', 53}, {'T', 56}, {' ', -1}, {'R', -1}, {'~', -1}, {'u', -1}, {'v', -1}};
    for (const MarkCase &m : marks) {
        EXPECT_EQ(scoreMarkPicture(m.mark, 0), m.upcoming) << m.mark;
        if (m.upcoming >= 0) {
            EXPECT_EQ(scoreMarkPicture(m.mark, 2), m.upcoming + 2) << m.mark;
        }
    }
}

TEST(ScoreViewPictures, SignaturesAndCountIn)
{
    const int32_t keyPictures[15] = {-1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 15};
    const int32_t keyY[15] = {0, 487, 467, 490, 470, 470, 490, 470, 490, 470, 490, 470, 490, 470, 490};
    for (int32_t k = 0; k < 15; ++k) {
        EXPECT_EQ(scoreKeySignature(k).picture, keyPictures[k]) << k;
        if (k) {
            EXPECT_EQ(scoreKeySignature(k).y, keyY[k]) << k;
        }
    }
    struct Meter {
        int32_t num, den, picture;
    } meters[] = {{2, 2, 17}, {7, 2, 19}, {12, 2, 22}, {4, 4, 25}, {5, 4, 36}, {8, 4, 37},
                  {3, 8, 30}, {12, 8, 34}, {3, 16, 35}, {11, 4, 35}, {10, 8, 35}};
    for (const Meter &m : meters)
        EXPECT_EQ(scoreTimeSignaturePicture(m.num, m.den), m.picture) << m.num << "/" << m.den;
    const int32_t frames[][2] = {{0, 162}, {11, 173}, {12, 173}, {13, 172}, {23, 162}, {24, -1}, {-1, -1}};
    for (const auto &f : frames) EXPECT_EQ(countInPicture(f[0]), f[1]) << f[0];
}

// ---- Geometry --------------------------------------------------------------------

static std::string g(double v)
{
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
}
static double xAt(double t, int32_t barTotal = 0)
{
    return (t + barTotal - viewOriginMs) * double(scoreViewPxPerMs) + scoreNotesStartX;
}
static std::string pic(int32_t texture, double x0, double y0, double x1, double y1, double z)
{
    return "picture " + std::to_string(texture) + " " + g(x0) + " " + g(y0) + " " + g(x1) + " " + g(y1) + " " + g(z);
}

TEST_F(ScoreView, FurnitureStandsWhereTheKeyAndMeterPutIt)
{
    quarters(2);
    tuneKeyIndex = 12; // C#: the notes begin at 245, the meter at 185
    scoreNotesStartX = 245;
    timeSignatureX = 185;
    meterNumerator = 5;
    lessonTempo = 120;
    tuneTitle = "Air";
    full(0, 0);
    EXPECT_EQ(draw.ops[0], "begin");
    EXPECT_TRUE(has(pic(7000, 20, 445, 110, 595.698, -11)));
    EXPECT_TRUE(has(pic(7001, 29, 377.5, 99, 447.5, -11)));
    EXPECT_TRUE(has(pic(7014, 100, 490, 195, 605, -11)));
    EXPECT_TRUE(has(pic(7014, 100, 350, 195, 465, -11)));
    EXPECT_TRUE(has(pic(7036, 185, 450, 245, 590, -11)));
    EXPECT_TRUE(has(pic(7036, 185, 330, 245, 470, -11)));
    for (int32_t y : {360, 380, 400, 420, 440, 480, 500, 520, 540, 560})
        EXPECT_TRUE(has("line 1 " + g(y) + " 1193 " + g(y) + " -11..-12")) << y;
    EXPECT_TRUE(has("text 295 750 Title:   Air"));
    EXPECT_TRUE(has("text 10 610 Tempo = 120"));
    EXPECT_TRUE(has("text 10 670 PitchHit = 0"));
    EXPECT_TRUE(has("loop 5,745 235,745 235,667 5,667 -6"));
    EXPECT_EQ(pictures(7073, 7073).front(), pic(7073, 243, 446, 293, 513, -10)); // note 0 at x 245

    tuneKeyIndex = 0; // C: no key signature, notes from 150
    scoreNotesStartX = 150;
    full(0, 0);
    EXPECT_TRUE(pictures(7002, 7016).empty());
    EXPECT_EQ(pictures(7073, 7073).front(), pic(7073, 148, 446, 198, 513, -10));
}

TEST_F(ScoreView, PlayCursorTakesTheBarTotalOfThePreviousNote)
{
    quarters(3);
    lessonNotes[0].barTotal = 100;
    lessonNotes[1].barTotal = 307;
    full(0, 0); // no previous note: note 0's bar total
    EXPECT_TRUE(has("line " + g(xAt(0, 100)) + " 90 " + g(xAt(0, 100)) + " 650 -9"));
    EXPECT_EQ(colourOf("line " + g(xAt(0, 100)) + " 90 " + g(xAt(0, 100)) + " 650 -9"), "colour 0.4 0 1 0.4");
    full(700, 2);
    EXPECT_TRUE(has("line " + g(xAt(700, 307)) + " 90 " + g(xAt(700, 307)) + " 650 -9"));
    EXPECT_TRUE(has("line 1 120 1023 120 -11")); // the guide line
}

TEST_F(ScoreView, NotesStandWhereTheyWereReachedOrAreScheduled)
{
    quarters(5);
    waitShiftMs = 100;
    lessonNotes[0].reachedMs = 0;
    lessonNotes[1].reachedMs = 600; // reached late: stands right of its place
    currentNoteRow = 1;
    full(650, 2);
    const auto notes = pictures(7061, 7088);
    ASSERT_EQ(notes.size(), 5u);
    EXPECT_EQ(notes[0], pic(7075, xAt(0) - 2, 446, xAt(0) + 48, 513, -10));      // passed
    EXPECT_EQ(notes[1], pic(7074, xAt(600) - 2, 456, xAt(600) + 48, 523, -10));  // current, reached
    EXPECT_EQ(notes[2], pic(7073, xAt(1100) - 2, 466, xAt(1100) + 48, 533, -10)); // upcoming + wait
    // The target dot at the sounding pitch, 20 under the anchor, x rounded.
    EXPECT_TRUE(has("point " + g(std::nearbyint(xAt(600)) + 18) + " 470 -9 size 3"));

    // A passed note never reached is skipped; the current one not yet
    // reached is upcoming at its scheduled place.
    lessonNotes[1].reachedMs = -1;
    currentNoteRow = 2;
    lessonNotes[2].reachedMs = -1;
    full(650, 2);
    const auto again = pictures(7061, 7088);
    ASSERT_EQ(again.size(), 4u);
    EXPECT_EQ(again[1], pic(7073, xAt(1100) - 2, 466, xAt(1100) + 48, 533, -10));

    // Upcoming notes end at the view's right edge.
    viewWindowMs = 1600; // notes 3 (1600) and 4 lie beyond
    full(650, 2);
    EXPECT_EQ(pictures(7061, 7088).size(), 2u);
}

TEST_F(ScoreView, RestsHiddenNotesAndLedgerLines)
{
    quarters(4);
    lessonNotes[0].letter = 'r';
    lessonNotes[0].lengthUnits = 8;
    lessonNotes[0].shownStaff = 220; // eighth rest: lower left at (x - 2, 487)
    lessonNotes[1].letter = 'r';
    lessonNotes[1].lengthUnits = 4;
    lessonNotes[1].shownStaff = 220; // sixteenth: 12 lower
    lessonNotes[2].intervalMark = 1;
    lessonNotes[3].ledgerCount = 2;
    lessonNotes[3].ledgerFirst = 160;
    full(0, 0);
    EXPECT_TRUE(has(pic(7095, 148, 487, 198, 554, -9)));
    const double x1 = std::nearbyint(xAt(500));
    EXPECT_TRUE(has(pic(7089, x1 - 2, 475, x1 + 48, 542, -9)));
    const double x2 = std::nearbyint(xAt(1000));
    EXPECT_TRUE(has(pic(7059, x2 - 2, 365, x2 + 48, 564, -9)));
    EXPECT_EQ(pictures(7061, 7088).size(), 1u); // the hidden note shows only its cover
    const double x3 = xAt(1500);
    EXPECT_TRUE(has("line " + g(x3 + 4) + " 460 " + g(x3 + 34) + " 460 -11..-12"));
    EXPECT_TRUE(has("line " + g(x3 + 4) + " 480 " + g(x3 + 34) + " 480 -11..-12"));

    // Once passed, the hidden note is shown where it was reached.
    for (int32_t i = 0; i < 3; ++i) lessonNotes[i].reachedMs = 500 * i;
    currentNoteRow = 3;
    full(1600, 4);
    EXPECT_TRUE(pictures(7059, 7059).empty());
    EXPECT_TRUE(has(pic(7075, xAt(1000) - 2, 466, xAt(1000) + 48, 533, -10)));
}

TEST_F(ScoreView, BarLinesByKindAndState)
{
    quarters(3);
    lessonNotes[1].barKind = 2; // double bar: lines at x - 3 and x - 7
    lessonNotes[3].barKind = 6; // the end record carries the final bar line
    full(0, 0);
    const double x1 = std::nearbyint(xAt(500)), x3 = std::nearbyint(xAt(1500));
    for (double x : {x1 - 3, x1 - 7, x3 - 3}) {
        EXPECT_TRUE(has("line " + g(x) + " 480 " + g(x) + " 560 -12")) << x;
        EXPECT_TRUE(has("line " + g(x) + " 360 " + g(x) + " 440 -12")) << x;
        EXPECT_EQ(colourOf("line " + g(x) + " 480 " + g(x) + " 560 -12"), "colour 0 0 0 0.4");
    }
    EXPECT_FALSE(has("line " + g(x3 - 7) + " 480 " + g(x3 - 7) + " 560 -12"));
    // Reached: note 1 current (magenta) at its reached x.
    lessonNotes[0].reachedMs = 0;
    lessonNotes[1].reachedMs = 540;
    full(560, 2);
    const double r1 = std::nearbyint(xAt(540));
    EXPECT_EQ(colourOf("line " + g(r1 - 3) + " 480 " + g(r1 - 3) + " 560 -12"), "colour 1 0 1 0.4");
    full(1100, 3);
    EXPECT_EQ(colourOf("line " + g(r1 - 3) + " 480 " + g(r1 - 3) + " 560 -12"), "colour 0.4 0.3 1 0.4");
}

TEST_F(ScoreView, AccidentalsAndMarksBesideAndAboveTheirNotes)
{
    quarters(3);
    lessonNotes[0].accidental = '_';
    lessonNotes[1].loudness = 'L';
    lessonNotes[2].accidental = '^';
    lessonNotes[2].intervalMark = 1; // hidden: no sign
    lessonNotes[0].reachedMs = 0;
    full(100, 1);
    const double x0 = std::nearbyint(xAt(0)), x1 = std::nearbyint(xAt(500));
    EXPECT_TRUE(has(pic(7048, x0 - 7, 180 + 300 - 33, x0 + 13, 180 + 300 - 5, -10))); // current, reached
    EXPECT_TRUE(has(pic(7053, x1 + 17, 190 + 300 + 25, x1 + 37, 190 + 300 + 55, -10))); // upcoming mark
    EXPECT_TRUE(pictures(7044, 7046).empty());
    full(600, 2);
    EXPECT_TRUE(has(pic(7049, x0 - 7, 447, x0 + 13, 475, -10))); // passed
}

// The quads of the primary beams (depth -11, corner 0 and corner 1).
struct Segment {
    double x1, y1, x2, y2;
};
static std::vector<Segment> beams(const RecordingDraw &d)
{
    std::vector<Segment> out;
    for (const std::string &op : d.ops) {
        Segment s{};
        if (std::sscanf(op.c_str(), "polygon %lf,%lf %lf,%lf", &s.x1, &s.y1, &s.x2, &s.y2) == 4) out.push_back(s);
    }
    return out;
}

TEST_F(ScoreView, FourEighthsShareOneBeamLineAnchoredAtTheHighest)
{
    loadScoreTune("X:1\nM:4/4\nL:1/8\nQ:120\nK:C\nCDGE z4 |]\n");
    ASSERT_EQ(lessonNotes[2].beamTop, 2);
    full(0, 0);
    const auto segs = beams(draw);
    ASSERT_EQ(segs.size(), 4u);
    double xt[4];
    for (int32_t i = 0; i < 4; ++i) xt[i] = std::nearbyint(xAt(lessonNotes[i].startMs));
    const double expectX1[4] = {xt[0], xt[1] - 16, xt[2] - 16, xt[3] - 16};
    const double expectX2[4] = {xt[1] - 16, xt[2] - 16, xt[3] - 16, xt[3]};
    const double s = double(lessonNotes[3].shownStaff - lessonNotes[0].shownStaff) / (xt[3] - xt[0]);
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(segs[i].x1, expectX1[i] + 25) << i;
        EXPECT_DOUBLE_EQ(segs[i].x2, expectX2[i] + 25) << i;
        // On the line through the highest note with the first-to-last slope.
        EXPECT_NEAR(segs[i].y1, lessonNotes[2].shownStaff + 300 + (expectX1[i] - xt[2]) * s + 24, 1e-3) << i;
    }
    // Stem extensions for notes one, two and four, not for the highest.
    const auto stems = pictures(7038, 7040);
    ASSERT_EQ(stems.size(), 3u);
    const int32_t stemNotes[3] = {0, 1, 3};
    for (int32_t k = 0; k < 3; ++k) {
        double x = 0;
        ASSERT_EQ(std::sscanf(stems[k].c_str(), "picture 7038 %lf", &x), 1);
        EXPECT_NEAR(x, xAt(lessonNotes[stemNotes[k]].startMs) - 2, 1e-3) << k;
    }
    // Beamed eighths are drawn as quarter notes.
    EXPECT_EQ(pictures(7073, 7073).size(), 4u);
}

TEST_F(ScoreView, TwoEighthsHaveNoStemExtensionAndSixteenthsASecondBeam)
{
    loadScoreTune("X:1\nM:4/4\nL:1/8\nQ:120\nK:C\nCD z2 z4 |]\n");
    full(0, 0);
    EXPECT_EQ(beams(draw).size(), 2u);
    EXPECT_TRUE(pictures(7038, 7040).empty());

    loadScoreTune("X:1\nM:4/4\nL:1/16\nQ:120\nK:C\nCDEF z4 z8 |]\n");
    ASSERT_EQ(lessonNotes[0].beamKind, 2);
    ASSERT_EQ(lessonNotes[1].beamKind, 5);
    full(0, 0);
    EXPECT_EQ(beams(draw).size(), 8u); // primary and secondary per note
}

TEST_F(ScoreView, ABeamWhoseLastNoteStandsOnePixelLeftOfItsFirstStaysFinite)
{
    quarters(3);
    for (int32_t i : {0, 1}) {
        lessonNotes[i].lengthUnits = 8;
        lessonNotes[i].beamFirst = 0;
        lessonNotes[i].beamLast = 1;
        lessonNotes[i].beamTop = 1;
    }
    lessonNotes[0].beamKind = 1;
    lessonNotes[1].beamKind = 7;
    lessonNotes[1].shownStaff = 200;
    // Note 0 was reached 7 ms after note 1's scheduled start: P(0) = P(1) + 1.
    lessonNotes[0].reachedMs = 507;
    currentNoteRow = 1;
    ASSERT_EQ(std::nearbyint(xAt(507)) - std::nearbyint(xAt(500)), 1);
    full(520, 2);
    ASSERT_EQ(beams(draw).size(), 2u);
    for (const std::string &op : draw.ops) {
        EXPECT_EQ(op.find("nan"), std::string::npos) << op;
        EXPECT_EQ(op.find("inf"), std::string::npos) << op;
    }
}

TEST_F(ScoreView, TripletDigitOverTheMiddleNote)
{
    loadScoreTune("X:1\nM:4/4\nL:1/8\nQ:120\nK:C\n(3CEG z2 z4 |]\n");
    ASSERT_EQ(lessonNotes[1].tupletRole, 2);
    full(0, 0);
    const auto segs = beams(draw);
    ASSERT_EQ(segs.size(), 3u);
    const double xt = std::nearbyint(xAt(lessonNotes[1].startMs));
    const double mid = ((segs[1].y1 - 24) + (segs[1].y2 - 24)) / 2 + 40;
    EXPECT_TRUE(has("text " + g(xt + 20) + " " + g(mid) + " 3"));
}

TEST_F(ScoreView, SlurPictureFollowsTheNotes)
{
    loadScoreTune("X:1\nM:4/4\nL:1/4\nQ:120\nK:C\nC D E F- | F G (AB) |]\n");
    int32_t first = -1;
    for (int32_t i = 0; i < lessonNoteCount; ++i)
        if (lessonNotes[i].slurRole == 1 && first < 0) first = i;
    ASSERT_EQ(first, 3); // the tie across the bar line
    const int32_t last = lessonNotes[3].slurLast;
    ASSERT_EQ(last, 4);
    auto slurPicture = [&] {
        for (const std::string &op : draw.ops)
            if (op.rfind("picture4 ", 0) == 0) return std::stoi(op.substr(9, 4));
        return -1;
    };
    full(0, 0);
    EXPECT_EQ(slurPicture(), 7041);
    const double xa = std::nearbyint(xAt(lessonNotes[3].startMs, lessonNotes[3].barTotal));
    const double xb = std::nearbyint(xAt(lessonNotes[4].startMs, lessonNotes[4].barTotal));
    const double ya = lessonNotes[3].shownStaff, yb = lessonNotes[4].shownStaff;
    EXPECT_TRUE(has("picture4 7041 " + g(xa + 15) + "," + g(ya + 258) + " " + g(xb + 15) + "," + g(yb + 258) + " " +
                    g(xb + 15) + "," + g(yb + 278) + " " + g(xa + 15) + "," + g(ya + 278) + " -11"));
    playUpTo(3, lessonNotes[3].startMs);
    full(lessonNotes[3].startMs, 4);
    EXPECT_EQ(slurPicture(), 7042);
    playUpTo(5, lessonNotes[5].startMs);
    full(lessonNotes[5].startMs, 6);
    EXPECT_EQ(slurPicture(), 7043);
}

TEST_F(ScoreView, TextRowsColourPassedCurrentAndUpcoming)
{
    quarters(4);
    const char *lyrics[4] = {"la", "lo", "li", "lu"};
    for (int32_t i = 0; i < 4; ++i) lessonNotes[i].lyric = lyrics[i];
    lessonNotes[2].stepDown = 1;
    for (int32_t i = 0; i < 2; ++i) lessonNotes[i].reachedMs = 500 * i;
    full(600, 2);
    EXPECT_EQ(colourOf("stext " + g(xAt(0) + 10) + " 294.5 la"), "colour 0 0 1 0.4");
    EXPECT_EQ(colourOf("stext " + g(xAt(500) + 10) + " 294.5 lo"), "colour 0 0.533333 0 0.4");
    EXPECT_EQ(colourOf("stext " + g(xAt(1000) + 10) + " 294.5 li"), "colour 0 0 0 0.4");
    EXPECT_TRUE(has("text " + g(xAt(1000) + 10) + " 294.5 __")); // stepped down: underlined
    EXPECT_FALSE(has("text " + g(xAt(1500) + 10) + " 294.5 __"));

    // Labels (and no part band) only with a label mode; a degree's caret
    // stands over its digit.
    lessonNotes[2].label = "^4";
    lessonNotes[3].label = "^#4";
    currentPartFirst = 0;
    currentPartLast = 3;
    full(600, 2);
    EXPECT_TRUE(draw.matching("quad").size() > 0);
    EXPECT_FALSE(has("stext " + g(xAt(1000) + 10) + " 265 4"));
    noteLabelMode = 3;
    full(600, 2);
    EXPECT_TRUE(has("stext " + g(xAt(1000) + 10) + " 265 4"));
    EXPECT_TRUE(has("stext " + g(xAt(1000) + 10) + " 271 ^"));
    EXPECT_TRUE(has("stext " + g(xAt(1500) + 10) + " 265 #4"));
    EXPECT_TRUE(has("stext " + g(xAt(1500) + 19) + " 271 ^"));
    EXPECT_TRUE(draw.matching("quad").empty());
}

TEST_F(ScoreView, ChordSymbolsAndAccents)
{
    quarters(2);
    lessonChordCount = 3;
    const char *names[3] = {"C", "G7", "Am"};
    for (int32_t i = 0; i <= 3; ++i) {
        lessonChords[i] = TimedNote{};
        lessonChords[i].startMs = 1000 * i;
        if (i < 3) lessonChords[i].chordText = names[i];
    }
    lessonChords[2].loudness = 'L';
    lessonChords[2].startMs = 100000; // far right of the view: its symbol is left out, its accent not
    lessonChords[0].reachedMs = 0;
    full(100, 1, 1);
    EXPECT_EQ(colourOf("text " + g(xAt(0) + 10) + " 580 C"), "colour 0 0.533333 0 0.4");
    EXPECT_EQ(colourOf("text " + g(xAt(1000) + 10) + " 580 G7"), "colour 0 0 0 0.4");
    EXPECT_TRUE(draw.matching("text " + g(xAt(100000) + 10) + " 580").empty());
    EXPECT_TRUE(has("text " + g(xAt(100000) + 10) + " 590 >"));
}

TEST_F(ScoreView, CountingHintsShowBeatsAndNoteStarts)
{
    loadScoreTune("X:1\nM:4/4\nL:1/4\nQ:120\nK:C\nC D z F | G4 |]\n");
    showCountingHints = 1;
    full(0, 0);
    std::vector<std::string> texts;
    for (const std::string &op : draw.ops)
        if (op.rfind("stext", 0) == 0 && op.find(" 279 ") != std::string::npos) texts.push_back(op.substr(op.size() - 1));
    // Beats 1 to 4 of the first bar, then the beats of the whole note's bar.
    EXPECT_EQ(texts, (std::vector<std::string>{"1", "2", "3", "4", "1", "2", "3", "4"}));
    EXPECT_EQ(colourOf("stext " + g(xAt(0) + 10) + " 279 1"), "colour 0.1 0.1 0.1 0.4");
    EXPECT_EQ(colourOf("stext " + g(xAt(1000) + 10) + " 279 3"), "colour 0.8 0.8 0.4 0.4"); // a rest starts there
    playUpTo(1, 600);
    full(600, 2);
    EXPECT_EQ(colourOf("stext " + g(xAt(0) + 10) + " 279 1"), "colour 0.1 0.1 1 0.4");
    showCountingHints = 0;
    full(600, 2);
    EXPECT_TRUE(draw.matching("stext").size() == 0);
}

TEST_F(ScoreView, PartBandShadesOutsideThePart)
{
    quarters(6);
    currentPartFirst = 2;
    currentPartLast = 3;
    full(0, 0);
    const double xa = std::nearbyint(1000 * double(scoreViewPxPerMs));
    const double xb = std::nearbyint(2000 * double(scoreViewPxPerMs));
    EXPECT_TRUE(has("quad 125 255 " + g(150 + xa) + " 280 -9"));
    EXPECT_EQ(colourOf("quad 125 255 " + g(150 + xa) + " 280 -9"), "colour 1 0.5 0.3 0.9");
    EXPECT_TRUE(has("quad " + g(150 + xb) + " 255 1193 280 -9"));
    currentPartFirst = -1;
    full(0, 0);
    EXPECT_TRUE(draw.matching("quad 125 255").empty());
}

TEST_F(ScoreView, PitchTrackJoinsBlocksUnlessTheyJumpOrFallSilent)
{
    quarters(4);
    showPitchProgression = 1;
    recordingBlockIndex = 4;
    analysisTimeMs = 1000;
    const float heights[5] = {200, 260, 322, 322, 330}; // +60 joined, +62 a new point
    const int32_t envelopes[5] = {500, 500, 500, 0, 500};  // block 3 silent: block 4 starts anew
    for (int32_t b = 0; b < 5; ++b) {
        blockTimeMs[b] = 46 * b;
        blockBarOffset[b] = 0;
        blockStaffHeight[b] = heights[b];
        blockEnvelope[b] = envelopes[b];
        recheckPitchRating[b] = 2;
        blockTraceInts[b] = 0;
    }
    recheckPitchRating[1] = 3;
    full(1000, 1);
    const auto points = draw.matching("point");
    const auto lines = draw.matching("line");
    auto px = [](int32_t b) { return g(150 + double(scoreViewPxPerMs) * (46 * b)); };
    EXPECT_TRUE(has("point " + px(0) + " 500 -6 size 3"));
    EXPECT_TRUE(has("line " + px(0) + " 500 " + px(1) + " 560 -6"));
    EXPECT_EQ(colourOf("line " + px(0) + " 500 " + px(1) + " 560 -6"), "colour 0.8 0.8 0 1");
    EXPECT_TRUE(has("point " + px(2) + " 622 -6 size 3"));
    EXPECT_TRUE(has("point " + px(4) + " 630 -6 size 3"));
    EXPECT_FALSE(has("line " + px(3) + " 622 " + px(4) + " 630 -6"));
    EXPECT_TRUE(has("width 3.000000"));
    EXPECT_EQ(draw.ops.back(), "text 10 670 PitchHit = 0"); // the scores come last

    showPitchProgression = 0;
    full(1000, 1);
    EXPECT_TRUE(draw.matching("point " + px(0)).empty());
}

TEST_F(ScoreView, AmplitudeBarsByLoudnessAndRating)
{
    quarters(2);
    showAmplitudeProgression = 1;
    recordingBlockIndex = 3;
    analysisTimeMs = 100;
    const int32_t loudness[4] = {20480, 0, 10240, 5000};
    const int32_t ratings[4] = {1, 2, 0, 3};
    for (int32_t b = 0; b < 4; ++b) {
        blockTimeMs[b] = 46 * b;
        blockBarOffset[b] = 0;
        blockLoudness[b] = loudness[b];
        blockLoudnessRating[b] = ratings[b];
    }
    full(100, 1);
    auto x = [](int32_t b) { return g(150 + double(scoreViewPxPerMs) * (46 * b) + 1); };
    EXPECT_TRUE(has("line 151 620 1023 620 -11"));
    EXPECT_TRUE(has("line " + x(0) + " 620 " + x(0) + " 640 -11"));
    EXPECT_EQ(colourOf("line " + x(0) + " 620 " + x(0) + " 640 -11"), "colour 0.6 0.411765 0.247059 0.9");
    EXPECT_TRUE(draw.matching("line " + x(1) + " 620").empty()); // loudness 0
    EXPECT_TRUE(draw.matching("line " + x(2) + " 620").empty()); // not rated
    EXPECT_TRUE(draw.matching("line " + x(3) + " 620").empty()); // after analysisTimeMs
}

TEST_F(ScoreView, OnBeatBarsByTheOnsetsDistanceFromTheTarget)
{
    // beatAccuracy 12: 120 ms either way is on time, within 60 ms a hit.
    struct Case {
        int32_t lateMs;
        int32_t onsetLevel;
        const char *colour; // of the bar from 600
        bool hit;
    } cases[] = {
        {130, 9000, "colour 0 0 1 0.4", false},
        {110, 9000, "colour 0 0.752941 0 0.4", false},
        {50, 9000, "colour 0 0.752941 0 0.4", true},
        {70, 9000, "colour 0 0.752941 0 0.4", false},
        {-130, 9000, "colour 1 1 0 0.4", false},
    };
    for (const Case &c : cases) {
        quarters(3);
        showOnBeatHints = 1;
        beatAccuracy = 12;
        for (int32_t i = 0; i < 2; ++i) lessonNotes[i].reachedMs = 500 * i;
        currentNoteRow = 2;
        TimedNote &n = lessonNotes[1];
        n.onsetPeakPos = (500 + c.lateMs) * 441 / 10; // samples
        n.onsetPeakLevel = c.onsetLevel;
        n.bodyPeakLevel = 2000;
        full(1000, 2);
        const double t = n.onsetPeakPos / 44100.0 * 1000;
        const std::string bar = "line " + g(xAt(t) + 1) + " 600 " + g(xAt(t) + 1) + " " + g(620 + 9000 / 1024) + " -9";
        EXPECT_EQ(colourOf(bar), c.colour) << c.lateMs;
        EXPECT_EQ(has("line " + g(xAt(t) + 1) + " " + g(620 + 9000 / 1024) + " " + g(xAt(t) + 1) + " 680 -9"), c.hit)
            << c.lateMs;
    }
}

TEST_F(ScoreView, CueFigureWalksWithTheCursorAndKicksBeforeNotes)
{
    quarters(4);
    lessonNotes[1].letter = 'r';
    showTeacher = 1;
    auto cue = [&] {
        const auto p = pictures(6000, 6107);
        return p.size() == 1 ? std::stoi(p[0].substr(8, 4)) - 6000 : -1;
    };
    full(0, 0); // before the first block: frame 0 of the singing loop
    EXPECT_EQ(cue(), 0);
    EXPECT_TRUE(has(pic(6000, 150 - 190 + 22, 90, 150 + 22, 300, -6)));
    recordingBlockIndex = 30;
    nextMelodyNote = 2; // after the rest: the rest loop
    audioClockMs = 600;
    full(600, 2);
    EXPECT_EQ(cue(), 81 + 3);
    // With the kick: kick 1, kick 2, kick 1 and the singing loop over the
    // last four steps before note 2 (at 1000 ms).
    rhythmKick = 1;
    const int32_t clocks[4] = {1000 - 180, 1000 - 130, 1000 - 80, 1000 - 30};
    const int32_t bases[4] = {27, 54, 27, 0};
    for (int32_t k = 0; k < 4; ++k) {
        audioClockMs = clocks[k];
        full(clocks[k], 2);
        EXPECT_EQ(cue(), bases[k] + 3) << k;
    }
    showTeacher = 0;
    full(900, 2);
    EXPECT_EQ(cue(), -1);
}

TEST_F(ScoreView, SheetViewAndBlindExerciseLeaveOutTheirPieces)
{
    quarters(3);
    showTeacher = showAmplitudeProgression = showOnBeatHints = showPitchProgression = 1;
    batonPointCount = 2;
    batonX[0] = 0, batonX[1] = 500;
    batonHeight[0] = batonHeight[1] = 15;
    batonSegmentStart[0] = batonSegmentStart[1] = 0;
    full(0, 0);
    EXPECT_FALSE(pictures(6000, 6200).empty());
    EXPECT_FALSE(draw.matching("strip").empty());
    EXPECT_FALSE(draw.matching("line 151 620").empty());
    sheet(0, 0);
    EXPECT_TRUE(pictures(6000, 6200).empty());
    EXPECT_TRUE(draw.matching("strip").empty());
    EXPECT_TRUE(draw.matching("line 151 620").empty());
    EXPECT_EQ(pictures(7073, 7073).size(), 3u);

    blindExercise = 1;
    lessonNotes[1].barKind = 1;
    lessonNotes[1].lyric = "la";
    sheet(0, 0);
    EXPECT_TRUE(pictures(7038, 7115).empty());
    EXPECT_FALSE(draw.matching("stext " + g(xAt(500) + 10) + " 294.5 la").empty());
    EXPECT_FALSE(draw.matching("line " + g(std::nearbyint(xAt(500)) - 3) + " 480").empty());
}

TEST_F(ScoreView, ScrollIndicatorAndBatonStrokes)
{
    quarters(3);
    scrollActive = true;
    scrollOffsetMs = 1000;
    batonPointCount = 4;
    const double xs[4] = {0, 500, 807, 1000}, hs[4] = {30, 15, 30, 0};
    const uint8_t starts[4] = {0, 0, 1, 0};
    for (int32_t i = 0; i < 4; ++i) batonX[i] = xs[i], batonHeight[i] = hs[i], batonSegmentStart[i] = starts[i];
    full(0, 0);
    const double x1 = 150 + double(scoreViewPxPerMs) * 1000;
    EXPECT_TRUE(has("line 150 150 " + g(x1) + " 150 -11"));
    EXPECT_TRUE(has("quad 150 98 " + g(x1) + " 140 -9"));
    auto bx = [](double x) { return g(150 + 3 + double(scoreViewPxPerMs) * x); };
    // A stroke at each beat point; the bar line starts a new strip.
    EXPECT_TRUE(has("line " + bx(0) + " 680 " + bx(0) + " 600 -11"));
    EXPECT_TRUE(has("line " + bx(807) + " 680 " + bx(807) + " 600 -11"));
    EXPECT_TRUE(has("strip " + bx(0) + ",680 " + bx(500) + ",665 -11"));
    EXPECT_TRUE(has("strip " + bx(807) + ",680 " + bx(1000) + ",650 -11"));
    EXPECT_EQ(draw.matching("strip").size(), 2u);
}

TEST_F(ScoreView, CountInPictureSwingsOncePerBeat)
{
    quarters(2);
    countInBeat = 3;
    scoreViewSheetOnly = 1;
    scoreViewCountInFrame = 12;
    drawScoreView(draw);
    EXPECT_TRUE(has(pic(6173, -40, 90, 150, 300, -6)));
    EXPECT_TRUE(has("large 55 280 3"));
    scoreViewCountInFrame = -1;
    drawScoreView(draw);
    EXPECT_TRUE(pictures(6162, 6173).empty());
}
