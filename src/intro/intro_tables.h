// The introductory lesson's constant tables: the 212 voice clips, the page
// rows (one per step range: the clip it starts, where the teacher stands, the
// speech bubble it shows) and the two teacher timelines (figure and talking
// spans by step). The .cpp is generated from the lesson's script by
// tools/intro-tables/extract_intro_tables.py; what a row draws besides the
// teacher and its bubble is drawn by the page code keyed by the row.
#pragma once
#include <cstdint>

constexpr int32_t introClipCount = 212;
// File names in the sounds folder, by clip number 1..212 (entry 0 is empty).
// 1..207 are Ogg Vorbis, 208..212 WAV.
extern const char *const introClipFileNames[introClipCount + 1];
constexpr int32_t firstWavClip = 208;

enum class IntroBubble : int8_t { none, down, up, right };

struct IntroPageRow {
    int16_t topic;      // 1..9
    int16_t first;      // first and last step of the range (inclusive)
    int16_t last;
    int16_t clip;       // voice clip started by the row, 0 none
    int16_t bankSound;  // a sound-bank buffer played on the teacher's source at the first step, 0 none
    int16_t clipStepsAt; // -1: the clip starts at the first step; else index into introClipSteps
    int16_t clipStepCount;
    bool clipOnEvent;   // the clip is started by the sample exercise's event, not by the step
    bool teacherMoves;  // the teacher's position is computed per step (teacherPositionOfRow)
    int16_t teacherX;
    int16_t teacherY;
    IntroBubble bubble;
    int16_t bubbleX, bubbleY, bubbleWidth, bubbleHeight, bubblePointer;
    const char *lines[3]; // empty lines are not drawn
};

constexpr int32_t introPageRowCount = 246;
extern const IntroPageRow introPageRows[introPageRowCount];

// First step of topics 1..9 (index 1..9).
constexpr int32_t introTopicStartSteps[10] = {0, 1, 1337, 3888, 6217, 8345, 8903, 9178, 14078, 17588};
// The step whose frame moves on to the next topic, by topic.
constexpr int32_t introTerminatorSteps[10] = {0, 1327, 3848, 6180, 8342, 8863, 9168, 14068, 17578, 21389};

// The row of the topic's page holding the step, or nullptr (the rows are
// ordered by step).
inline const IntroPageRow *introRowAt(int32_t topic, int32_t step)
{
    int32_t lo = 0, hi = introPageRowCount - 1;
    while (lo <= hi) {
        const int32_t mid = (lo + hi) / 2;
        const IntroPageRow &r = introPageRows[mid];
        if (step < r.first) hi = mid - 1;
        else if (step > r.last) lo = mid + 1;
        else return r.topic == topic ? &r : nullptr;
    }
    return nullptr;
}
// The steps of the rows whose clip (the mouse click) starts at steps of its own.
constexpr int32_t introClipStepCount = 22;
extern const int32_t introClipSteps[introClipStepCount];

// One row of a teacher timeline: a figure resting, or talking for up to three
// spans separated by 5-step rests; or the click gesture (figure 1, 2 on the
// fourth step, 3 on the fifth, 2 on the sixth, then 1 resting), optionally
// followed by talking from talkFrom to talkTo.
struct TeacherRow {
    int16_t first;
    int16_t last;
    int8_t figure;
    int8_t spanCount;   // 0 resting, 1..3 talking spans
    int16_t spans[3];   // talking lengths in steps
    bool click;
    int8_t restMouth;   // the rest pose (3, or 2 in two rows)
    int16_t talkFrom;   // click rows: talking after the gesture, 0 none
    int16_t talkTo;
};
constexpr int32_t welcomeTeacherRowsCount = 22;
constexpr int32_t laterTeacherRowsCount = 240;
extern const TeacherRow welcomeTeacherRows[welcomeTeacherRowsCount];
extern const TeacherRow laterTeacherRows[laterTeacherRowsCount];
