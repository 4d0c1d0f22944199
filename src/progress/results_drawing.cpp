#include "progress/results_drawing.h"

#include <GL/gl.h>

#include <utility>

#include "frame/gl_draw.h"
#include "frame/text.h"
#include "music/notes.h"
#include "progress/results_logic.h"
#include "store/users_file.h"

void ratingColour(int32_t rating)
{
    switch (rating) {
    case 2: setColour(0, 192.0f / 255.0f, 0, 0.4f); break;
    case 3: setColour(0.65f, 0.65f, 0, 0.4f); break;
    case 4: setColour(1, 0, 0, 0.4f); break;
    default: setColour(0, 0, 1, 0.4f); break;
    }
}

void drawUserHeader(double y)
{
    setColour(0, 0, 0, 0.4f);
    drawText(font9By15, "User:", 130, y);
    drawText(font9By15, currentUserName, 190, y);
    drawText(font9By15, "Tessitura:", 330, y);
    drawText(font9By15, tessituraName(currentUserTessitura), 430, y);
}

// A quad shaded from the colour at x0 to the colour at x1, wound
// counter-clockwise whichever way round the x range is given (a negative
// deviation would otherwise give a back face, which culling drops).
static void shadedQuad(double x0, double x1, double y0, double y1, const float left[3], const float right[3], double z)
{
    if (x0 > x1) {
        std::swap(x0, x1);
        std::swap(left, right);
    }
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    setColour(left[0], left[1], left[2], 1);
    glVertex3d(x0, y0, z);
    setColour(right[0], right[1], right[2], 1);
    glVertex3d(x1, y0, z);
    glVertex3d(x1, y1, z);
    setColour(left[0], left[1], left[2], 1);
    glVertex3d(x0, y1, z);
    glEnd();
}

void drawNoteResultTable(const LessonBlock &block, int32_t notes)
{
    setColour(0, 0, 0, 0.4f);
    drawText(font9By15, "Note ", 30, 470);
    drawText(font9By15, "Deviation", 80, 470);
    drawText(font9By15, "Variance ", 180, 470);
    drawText(font9By15, "Fulfilled", 280, 470);
    setColour(0.2f, 0.1f, 0.3f, 0.9f);
    // The grid's five lines in one draw.
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_LINES);
    for (double x : {25.0, 75.0, 175.0, 275.0, 375.0}) {
        glVertex3d(x, 488, -9);
        glVertex3d(x, 305, -9);
    }
    glEnd();
    if (notes > 8) notes = 8;
    static const float yellow[3] = {1, 1, 0};
    static const float red[3] = {1, 0, 0};
    for (int32_t i = 1; i <= notes; ++i) {
        const NoteSlot &s = block.slots[i - 1];
        const double y = 470 - 20 * i;
        if (s.passed != 0)
            setColour(0.1f, 0.5f, 0.1f, 0.4f);
        else
            setColour(1, 0, 0, 0.9f);
        std::string name;
        spelledNoteName(0, s.note, name);
        drawText(font9By15, name, 30, y);
        drawText(font9By15, "  " + oneDecimal(s.mean), 80, y);
        drawText(font9By15, "  " + oneDecimal(s.standardDeviation), 180, y);
        drawText(font9By15, s.passed != 0 ? " passed" : " missed", 280, y);
        const DeviationBar bar = deviationBar(s);
        setColour(0.5f, 0, 0.3f, 0.9f);
        fillRect(439, y, 560, y + 18, -9);
        setColour(0.2f, 0.1f, 0.3f, 0.9f);
        drawLine(500, y - 2, 500, y + 20, -9);
        if (bar.shown) {
            shadedQuad(500 + bar.m - 1 - bar.d, 500 + bar.m - 1, y, y + 18, yellow, red, -6);
            shadedQuad(500 + bar.m, 500 + bar.m + bar.d, y, y + 18, red, yellow, -6);
            setColour(0, 1, 0, 0.9f);
            drawLine(500 + bar.m, y, 500 + bar.m, y + 18, -5);
        }
    }
}
