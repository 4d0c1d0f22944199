// Bitmap text at window pixel positions (x, y = left end of the base line,
// y up), in the current colour. Font ids are GLUT's numbering: 2 is the 9 x 15
// font (one character advances 9 pixels), 5 Times Roman 24. Texts longer than
// 255 characters are cut.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

constexpr int32_t font9By15 = 2;
constexpr int32_t fontTimesRoman24 = 5;

// True when an open pop-up list covers (x, y): the text routines that honour
// the list draw nothing there, so text does not show through its entries.
bool textHiddenByPopup(double x, double y);

// The box a text covers at (x, y), in pixel edges: its advance widths (9
// pixels a character in the 9 x 15 font, GLUT's widths in Times Roman 24)
// from x, and the rows GLUT inks from the lowest descender to the tallest
// glyph, the base line's row being y (9 x 15: 3 rows below, rows y..y+10;
// Times Roman 24: 5 below, rows y..y+16).
struct TextBox {
    double left, bottom, right, top;
};
TextBox textBox(int32_t font, std::string_view text, double x, double y);

// Watches every text line the routines below draw (tests check where they
// lie); nullptr (the default) watches nothing.
using TextObserver = void (*)(int32_t font, std::string_view text, double x, double y);
void setTextObserver(TextObserver observer);

// Text is drawn from each font's glyph atlas (GLUT's bitmaps copied into a
// texture once, the same pixels at a fraction of the cost) where the
// renderer allows it; false draws every text with GLUT's bitmaps (the tests
// compare the two).
void setTextAtlasAllowed(bool allowed);
// True when the font's texts come from its atlas (made here if need be).
bool textAtlasReady(int32_t font);

void drawText(int32_t font, std::string_view text, double x, double y);      // z -5, hidden under a list
void drawScoreText(int32_t font, std::string_view text, double x, double y); // z -11, hidden under a list
void drawLargeText(int32_t font, std::string_view text, double x, double y); // always Times Roman 24, z -5
void drawControlText(int32_t font, std::string_view text, double x, double y); // z -2, never hidden
void drawUnderscoreRow(int32_t font, int32_t count, double x, double y);        // count '_', z -5
