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

static void rasterText(int32_t font, std::string_view text, double x, double y, double z)
{
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
