// The texts of the three lesson information screens (lesson overview,
// exercise information, exercise sample), chosen by the lesson index.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct InfoLine {
    std::string text;
    int32_t y; // drawn at x 130
};

// The lesson's title, "" for an index outside the title table.
std::string infoLessonTitle(int32_t lesson);

// The lesson overview's description of a lesson.
std::vector<InfoLine> lessonOverviewLines(int32_t lesson);
// The exercise information's and the exercise sample's two lines.
std::vector<InfoLine> exerciseInfoLines(int32_t lesson);
std::vector<InfoLine> exerciseSampleLines(int32_t lesson);

// Frames after which the exercise sample starts again: the sample's length
// (150 ms for lesson 1, 100 s for 2..557, 3 s otherwise) and 20 s, in frames.
double sampleRepeatFrames(int32_t lesson);
