#include "frame/screen_frame.h"

#include <GL/gl.h>

#include "frame/gl_draw.h"
#include "frame/picture_catalogue.h"
#include "base/version.h"
#include "frame/text.h"

void clearScreenFrame()
{
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
}

void drawTitleRule()
{
    setColour(0.5f, 0.5f, 0.1f, 0.4f);
    drawLine(25, 675, 985, 675, -6);
}

void drawInfoPanel(int32_t font, const char *heading)
{
    setColour(1, 1, 1, 0.5f);
    fillRect(100, 230, 940, 650, -11);
    setColour(0, 0, 0, 0.5f);
    drawText(font, heading, 130, 620);
}

void drawLabelledPanel(int32_t font, const char *heading, double x, double y, double left, double bottom,
                       double right, double top)
{
    setColour(0.1f, 0.5f, 0.1f, 0.4f);
    drawText(font, heading, x, y);
    drawFrameRect(left, bottom, right, top, -6);
    setColour(0, 0, 0, 0.4f);
}

void drawControlBox(int32_t font, const char *buttonLabel)
{
    drawLabelledPanel(font, "Control:", 350, 185, 345, 130, 983, 178);
    drawText(font, buttonLabel, 350, 158);
}

void drawVersionLines(int32_t font)
{
    drawText(font, ownershipNotice, 130, 420);
    drawText(font, "Version", 130, 340);
    drawText(font, programVersionText, 130, 320);
}

int32_t frameAnimationIndex(int32_t n)
{
    int32_t i = n % frameAnimationCount;
    return i < 0 ? i + frameAnimationCount : i;
}

void drawFrameAnimation(int32_t n)
{
    glPushMatrix();
    glTranslatef(175.0f, 150.0f, 0.0f);
    setColour(1.0f, 1.0f, 1.0f, 0.4f);
    drawTexturedRect(frameAnimationTextures[frameAnimationIndex(n)], -115, -50, 115, 50, -6);
    glPopMatrix();
}
