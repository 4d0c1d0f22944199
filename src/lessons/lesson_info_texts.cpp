#include "lessons/lesson_info_texts.h"

#include "lessons/lesson_params.h"

namespace {

std::vector<InfoLine> linesFrom540(std::initializer_list<const char *> texts)
{
    std::vector<InfoLine> lines;
    int32_t y = 540;
    for (const char *t : texts) {
        lines.push_back({t, y});
        y -= 20;
    }
    return lines;
}

std::vector<InfoLine> noInformation(int32_t lesson)
{
    return {{"No Introdutory Informaion available yet", 420},
            {"for this Lesson:" + infoLessonTitle(lesson), 400}};
}

// The interval ladder of the challenge lines, easiest first.
const char *const pitchLadder[16] = {
    "Perfect Octave", "Perfect Fifth", "Perfect Fourth", "Major Third", "minor Third", "Major Second",
    "minor Second",   "75 cents",      "50 cents",       "33 cents",    "25 cents",    "20 cents",
    "16 cents",       "12 cents",      " 7 cents",       "Match to the cent"};

std::string challenge(const char *pitch, const char *seconds)
{
    return std::string("Pitch challenge: ") + pitch + ". Timing challenge: " + seconds + " seconds";
}

} // namespace

std::string infoLessonTitle(int32_t lesson)
{
    if (lesson < 0 || lesson >= static_cast<int32_t>(lessonTitleTable.size())) return "";
    return lessonTitleTable[lesson];
}

std::vector<InfoLine> lessonOverviewLines(int32_t lesson)
{
    switch (lesson) {
    case 1:
        return linesFrom540({"This Lesson gives a short overview about the", "importance of tuning.",
                             "It shows you the two main dimensions of tuning:", "pitch and time. ",
                             "If you stretch the time, you can see the bridge from relative",
                             "pitch to absolute pitch.",
                             "Usually the bride starts to crack after a few seconds. That is because ",
                             "your brain is not willing to keep the sound longer in your \"inner ear\".",
                             "Therefore, if you wish to acquire absolute pitch, you have to find ",
                             "a way to tell your brain to push the sound aside for later retrieval. ",
                             "One way is to store muscle positions: muscle memory. Start actively singing",
                             "or humming the pitch for a short time and ask your brain to keep that situation",
                             "in the short term memory. With practice the stored muscle memory patterns will ",
                             "cross over to the long term memory. "});
    case 2:
        return linesFrom540({"This is the starting lesson. It makes it very easy too get started",
                             "with the tuning process.",
                             "The sounds to differentiate are either the same or an octave away. ",
                             "The time betwee the sounds is only 1.5 seconds.",
                             "By comparing the sounds, it will be easy to hit the right answer.",
                             "You will soon find it boring to continue, since it will be no challenge.",
                             "Therefore move on to the next lessons, until you find it challanging again.",
                             "Practice and push the challanging point until you become a tuning expert."});
    case 17:
        return linesFrom540({"Match the pitch lets you do pitch exercises to the cent.",
                             "In this exercise, you have to move a slider to the position",
                             "of the heard pitch. Unfortunately, the slider sounds the pitch",
                             "of the current slider position. This will distract you from the ",
                             "originally sounded pitch. Making it harder to remember the originally ",
                             "sounded pitch. In this first Match the Pitch exercise you have to",
                             "wait 1.5 seconds until you can start the slider."});
    case 557: return {{"Dummy Lesson. How did you come here?", 540}};
    default: break;
    }
    if (lesson >= 3 && lesson <= 16) return {{challenge(pitchLadder[lesson - 2], "1.5"), 540}};
    if (lesson >= 18 && lesson <= 65) {
        static const char *const seconds[3] = {"15", "150", "1500"};
        const int32_t group = (lesson - 18) / 16;
        std::vector<InfoLine> lines = {{challenge(pitchLadder[(lesson - 18) % 16], seconds[group]), 540}};
        if (lesson == 65) {
            lines.push_back({"If you have mastered this exercise then you can claim Absolute Pitch", 520});
            lines.push_back({"Congratulations", 500});
        }
        return lines;
    }
    return noInformation(lesson);
}

std::vector<InfoLine> exerciseInfoLines(int32_t lesson)
{
    if (lesson == 1) return {{"Not Possible", 540}};
    if (lesson >= 2 && lesson <= 557) return {{"No Comment", 540}, {"Not possible", 520}};
    return {{"No Introdutory Informaion available yet", 540}, {"for this Lesson:" + infoLessonTitle(lesson), 520}};
}

std::vector<InfoLine> exerciseSampleLines(int32_t lesson)
{
    if (lesson == 1) return {{"Not Possible", 540}};
    if (lesson >= 2 && lesson <= 557) return {{"No Sample recorded", 540}, {"", 520}};
    return {{"No Informaion available yet", 540}, {"for this Lesson:" + infoLessonTitle(lesson), 520}};
}

double sampleRepeatFrames(int32_t lesson)
{
    const double sampleMs = lesson == 1 ? 150.0 : (lesson >= 2 && lesson <= 557 ? 100000.0 : 3000.0);
    return (sampleMs + 20000.0) / 46.44;
}
