// The fixed curriculum: what each numbered lesson trains, and every lesson's
// title.
#pragma once
#include <array>
#include <cstdint>

struct LessonParams {
    int32_t noteCount;          // different notes trained, 1..8
    double delayMs;             // pause between listening and singing
    double maxDevCents;         // "max. Dev.": largest mean deviation that passes
    double maxTolCents;         // "max. Tol.": band every judged sample must stay in
    int32_t exercisesPerLesson; // equal to noteCount
};

constexpr int32_t firstParamsLesson = 2;
constexpr int32_t lastParamsLesson = 556;

// Indexed by lesson index 2..556; rows 0, 1 are zero and must not be used.
extern const std::array<LessonParams, lastParamsLesson + 1> lessonParamsTable;

// Titles per lesson index 0..557: "NoLessonSelected", "Introduction",
// "Lesson1".."Lesson555", "dummy".
extern const std::array<const char *, 558> lessonTitleTable;
