// Speech bubbles (a translucent box with up to three lines and a pointer
// toward the teacher), the word card and the separator line of the
// introductory lesson's pages. Coordinates are window pixels, y up; nothing
// is wrapped: the page gives the box size. A bubble whose box, pointer or
// lines would run past the window's right edge is drawn as far left as it
// takes to end there.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

struct ImmediateDraw;
struct IntroPageRow;

constexpr int32_t introLessonFont = 2; // the 9 x 15 bitmap font of the lesson screens

void drawSpeechBubbleDown(ImmediateDraw &draw, int32_t x, int32_t y, int32_t width, int32_t height,
                          int32_t pointerX, std::string_view line1, std::string_view line2,
                          std::string_view line3);
void drawSpeechBubbleUp(ImmediateDraw &draw, int32_t x, int32_t y, int32_t width, int32_t height,
                        int32_t pointerX, std::string_view line1, std::string_view line2,
                        std::string_view line3);
void drawSpeechBubbleRight(ImmediateDraw &draw, int32_t x, int32_t y, int32_t width, int32_t height,
                           int32_t pointerFromTop, std::string_view line1, std::string_view line2,
                           std::string_view line3);
void drawWordCard(ImmediateDraw &draw, int32_t x, int32_t y, std::string_view language, std::string_view word);
void drawIntroSeparatorLine(ImmediateDraw &draw);

// What the teacher's voice clip says of a row's bubble: its lines as one
// text, without the remarks in parentheses (written for the reader, as
// "(= 50 cents)") and without a leading dash. The data generator speaks it,
// the clips' test measures against it.
std::string spokenBubbleText(const IntroPageRow &row);
