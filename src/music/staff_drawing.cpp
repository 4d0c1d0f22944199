#include "music/staff_drawing.h"

#include <GL/gl.h>

#include "frame/gl_draw.h"
#include "frame/picture_catalogue.h"
#include "music/note_voices.h"
#include "music/notes.h"
#include "music/staff_geometry.h"

namespace {

void staffLines(int32_t x1, int32_t x2, int32_t bottomY)
{
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_LINES);
    for (int32_t k = 0; k < 5; ++k) {
        glVertex3d(x1, bottomY + staffLineGap * k, -11);
        glVertex3d(x2, bottomY + staffLineGap * k, -12);
    }
    glEnd();
}

GLuint images7(int32_t slot)
{
    if (slot < 0 || slot >= images7Count) return 0;
    return images7Textures[slot];
}

void arrow(int32_t style, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width, double headLength,
           double halfWidth, double z)
{
    static constexpr float colours[7][4] = {{0, 0, 0, 0.4f},    {1, 0, 0, 0.4f},
                                            {0, 1, 0, 0.4f},    {1, 1, 0, 0.4f},
                                            {0.8f, 0.4f, 0.6f, 1}, {0, 140.0f / 255, 0, 1},
                                            {0.8f, 0.8f, 0, 1}};
    if (style >= 0 && style <= 6)
        setColour(colours[style][0], colours[style][1], colours[style][2], colours[style][3]);
    const ArrowHead h = arrowHeadPoints(x1, y1, x2, y2, headLength, halfWidth);
    glDisable(GL_TEXTURE_2D);
    glLineWidth(static_cast<GLfloat>(width));
    glBegin(GL_LINES);
    glVertex3d(x1, y1, z);
    glVertex3d(x2, y2, z);
    glVertex3d(h.leftX, h.leftY, z);
    glVertex3d(x2, y2, z);
    glVertex3d(h.rightX, h.rightY, z);
    glVertex3d(x2, y2, z);
    glEnd();
    glLineWidth(1);
}

} // namespace

void drawGrandStaff(int32_t x1, int32_t x2, int32_t x3)
{
    setColour(0, 0, 0, 0.4f);
    staffLines(x1, x2, trebleStaffBottomY);
    staffLines(x1, x2, bassStaffBottomY);
    if (x3 != 0) {
        glBegin(GL_LINES);
        glVertex3d(x3, bassStaffBottomY, -11);
        glVertex3d(x3, trebleStaffBottomY + 4 * staffLineGap, -11);
        glEnd();
    }
}

void drawTrebleStaff(int32_t x1, int32_t x2)
{
    setColour(0, 0, 0, 0.4f);
    staffLines(x1, x2, trebleStaffBottomY);
}

void drawTrebleClef(int32_t x)
{
    setColour(1, 1, 1, 0.4f);
    drawTexturedRect(images7(0), x, 445, x + 90, 445 + 150.69768, -11);
}

void drawGrandStaffClefs(int32_t x)
{
    drawTrebleClef(x);
    drawTexturedRect(images7(1), x + 9, 377.5, x + 79, 447.5, -11);
}

int32_t notePictureSlot(int32_t length, int32_t colour)
{
    int32_t base;
    switch (length) {
    case 4: base = 61; break;
    case 6: base = 64; break;
    case 8: base = 67; break;
    case 12: base = 70; break;
    case 16: base = 73; break;
    case 24: base = 76; break;
    case 32: base = 79; break;
    case 48: base = 82; break;
    case 64: base = 85; break;
    default: base = 73; break;
    }
    const int32_t variants = length == 64 ? 4 : 3;
    if (colour < 0 || colour >= variants) colour = 0;
    return base + colour;
}

int32_t accidentalPictureSlot(char mark, int32_t colour)
{
    if (colour < 0 || colour > 2) colour = 0;
    switch (mark) {
    case '^': return 44 + colour;
    case '_': return 47 + colour;
    case '=': return 50 + colour;
    default: return -1;
    }
}

void drawNoteImage(int32_t length, int32_t colour, int32_t x, int32_t y)
{
    drawTexturedRect(images7(notePictureSlot(length, colour)), x - 2, y - 34, x + 48, y + 33, -10);
}

void drawStaffNote(int32_t x, int32_t key, int32_t note, int32_t colour)
{
    const int32_t v = staffValueOfNote(note);
    char mark = ' ';
    const int32_t s = staffSlotForKey(v, key, mark);
    for (int32_t i = 1; i <= voiceCount; ++i) playingVoices[i] = noteVoices[i];
    playingVoices[1].note = note;
    playingVoices[1].staffValue = v;

    int32_t rows[2];
    const int32_t lines = ledgerLineRows(s, rows);
    setColour(0, 0, 0, 0.4f);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_LINES);
    for (int32_t k = 0; k < lines; ++k) {
        glVertex3d(x + 4, rows[k], -11);
        glVertex3d(x + 34, rows[k], -12);
    }
    glEnd();

    int32_t ax = x, ay = s + staffPictureOffsetY;
    if (noteVoices[1].highlighted == 1) {
        ax += noteShakeOffset.dx;
        ay += noteShakeOffset.dy;
    }
    const float p = noteVoices[1].percent / 100.0f;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    setColour(p, p, p, p);
    drawNoteImage(64, colour, ax, ay);
    const int32_t sign = accidentalPictureSlot(mark, colour);
    if (sign >= 0) {
        setColour(1, 1, 1, 0.4f);
        drawTexturedRect(images7(sign), ax - 15, ay - 33, ax + 5, ay - 5, -10);
    }
    // Culling and the alpha test stay on, as for every picture.
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);

    glEnable(GL_POINT_SMOOTH);
    glPointSize(3);
    setColour(1, 0.5f, 1, 0.4f);
    glBegin(GL_POINTS);
    glVertex3d(x + 18, v + staffHeadOffsetY, -9);
    glEnd();
    glPointSize(1);
}

void drawArrow(int32_t style, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width)
{
    arrow(style, x1, y1, x2, y2, width, 12, 4, -6);
}

void drawBigArrow(int32_t style, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width)
{
    arrow(style, x1, y1, x2, y2, width, 35, 13, -7);
}
