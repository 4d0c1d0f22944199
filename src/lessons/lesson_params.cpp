#include "lessons/lesson_params.h"

// The curriculum. Lessons 3..482: groups of three with one delay, the delay
// growing by 1.5 s per group, the deviation limits tightening inside each
// group, the note count falling from 8 to 1. Lessons 483..503 bring the note
// count back up at 240 s; 504..508 narrow the band; 509..556 lengthen the
// delay in 60 s steps to 20 minutes.
static constexpr std::array<LessonParams, lastParamsLesson + 1> buildLessonParams()
{
    struct Limits {
        double dev;
        double tol;
    };
    constexpr Limits regular[3] = {{50, 75}, {33, 63}, {25, 50}};
    constexpr Limits band[5] = {{50, 50}, {33, 50}, {33, 33}, {25, 33}, {25, 25}};
    constexpr Limits longDelay[3] = {{33, 33}, {25, 33}, {25, 25}};
    std::array<LessonParams, lastParamsLesson + 1> t{};
    t[2] = LessonParams{8, 1500, 50, 95, 8};
    for (int32_t L = 3; L <= 482; ++L) {
        int32_t notes = 8 - (L - 3) / 30;
        if (notes < 1) notes = 1;
        const Limits &lim = regular[(L - 3) % 3];
        t[L] = LessonParams{notes, 1500.0 * ((L - 3) / 3 + 1), lim.dev, lim.tol, notes};
    }
    for (int32_t L = 483; L <= 503; ++L) {
        const int32_t notes = 2 + (L - 483) / 3;
        const Limits &lim = regular[(L - 483) % 3];
        t[L] = LessonParams{notes, 240000, lim.dev, lim.tol, notes};
    }
    for (int32_t L = 504; L <= 508; ++L) t[L] = LessonParams{8, 240000, band[L - 504].dev, band[L - 504].tol, 8};
    for (int32_t L = 509; L <= 556; ++L) {
        const Limits &lim = longDelay[(L - 509) % 3];
        t[L] = LessonParams{8, 300000.0 + 60000.0 * ((L - 509) / 3), lim.dev, lim.tol, 8};
    }
    return t;
}

constexpr std::array<LessonParams, lastParamsLesson + 1> lessonParamsTable = buildLessonParams();
static_assert(sizeof(LessonParams) == 40);
static_assert(lessonParamsTable[482].delayMs == 240000 && lessonParamsTable[556].delayMs == 1200000);

struct TitleTexts {
    char text[558][17];
};

static constexpr TitleTexts buildTitles()
{
    TitleTexts t{};
    auto copy = [](char *out, const char *in) {
        while (*in) *out++ = *in++;
        *out = '\0';
    };
    copy(t.text[0], "NoLessonSelected");
    copy(t.text[1], "Introduction");
    for (int32_t L = 2; L <= 556; ++L) {
        char digits[4] = {};
        int32_t n = L - 1, len = 0;
        char reversed[4] = {};
        while (n > 0) {
            reversed[len++] = static_cast<char>('0' + n % 10);
            n /= 10;
        }
        for (int32_t i = 0; i < len; ++i) digits[i] = reversed[len - 1 - i];
        copy(t.text[L], "Lesson");
        for (int32_t i = 0; i < len; ++i) t.text[L][6 + i] = digits[i];
        t.text[L][6 + len] = '\0';
    }
    copy(t.text[557], "dummy");
    return t;
}

static constexpr TitleTexts titleTexts = buildTitles();

static constexpr std::array<const char *, 558> buildTitlePointers()
{
    std::array<const char *, 558> p{};
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = titleTexts.text[i];
    return p;
}

constexpr std::array<const char *, 558> lessonTitleTable = buildTitlePointers();
