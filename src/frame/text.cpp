// GLUT bitmap text.
#include "frame/text.h"

#include <GL/freeglut.h>

#include "frame/controls.h"
#include "platform/fonts.h"

bool textHiddenByPopup(double x, double y)
{
    if (!popupOpen || popupItemCount < 1 || popupItemCount > maxPopupItems)
        return false;
    const ControlRecord &anchor = popupAnchor;
    const ControlRecord &last = popupEntries[popupItemCount - 1];
    return anchor.left - 2 < x && x < anchor.right + 2 && last.bottom - 2 < y &&
           y < anchor.bottom - 2;
}

// GLUT's advance widths of Times Roman 24 for the characters 32..126.
static constexpr uint8_t timesRoman24Widths[95] = {
    6,  8,  10, 13, 12, 19, 18, 8,  8,  8,  12, 14, 7,  14, 6,  7,  12, 12, 12, 12, 12, 12, 12, 12,
    12, 12, 6,  7,  13, 14, 13, 11, 22, 17, 16, 16, 17, 15, 14, 18, 19, 8,  11, 17, 14, 22, 18, 18,
    15, 18, 16, 13, 16, 18, 17, 23, 18, 16, 15, 8,  7,  8,  11, 13, 7,  11, 12, 11, 12, 11, 7,  12,
    13, 6,  6,  12, 6,  20, 13, 12, 12, 12, 8,  10, 7,  13, 11, 17, 13, 11, 10, 10, 6,  10, 13};

TextBox textBox(int32_t font, std::string_view text, double x, double y)
{
    const size_t n = text.size() < size_t(maxTextLength) ? text.size() : size_t(maxTextLength);
    double width = 0;
    const bool times = font == fontTimesRoman24;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        width += !times ? 9 : (c >= 32 && c <= 126 ? timesRoman24Widths[c - 32] : 22);
    }
    return times ? TextBox{x, y - 5, x + width, y + 17} : TextBox{x, y - 3, x + width, y + 11};
}

static TextObserver textObserver = nullptr;

void setTextObserver(TextObserver observer) { textObserver = observer; }

static void rasterText(int32_t font, std::string_view text, double x, double y, double z)
{
    if (textObserver != nullptr) textObserver(font, text, x, y);
    void *handle = glutBitmapFont(font);
    glDisable(GL_TEXTURE_2D);
    glRasterPos3d(x, y, z);
    const size_t n = text.size() < size_t(maxTextLength) ? text.size() : size_t(maxTextLength);
    for (size_t i = 0; i < n; ++i)
        glutBitmapCharacter(handle, static_cast<unsigned char>(text[i]));
}

void drawText(int32_t font, std::string_view text, double x, double y)
{
    if (!textHiddenByPopup(x, y))
        rasterText(font, text, x, y, -5);
}

void drawScoreText(int32_t font, std::string_view text, double x, double y)
{
    if (!textHiddenByPopup(x, y))
        rasterText(font, text, x, y, -11);
}

void drawLargeText(int32_t, std::string_view text, double x, double y)
{
    if (!textHiddenByPopup(x, y))
        rasterText(fontTimesRoman24, text, x, y, -5);
}

void drawControlText(int32_t font, std::string_view text, double x, double y)
{
    rasterText(font, text, x, y, -2);
}

void drawUnderscoreRow(int32_t font, int32_t count, double x, double y)
{
    if (count <= 0)
        return;
    static const std::string underscores(size_t(maxTextLength), '_');
    rasterText(font, std::string_view(underscores).substr(0, size_t(count)), x, y, -5);
}
