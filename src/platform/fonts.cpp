#include "platform/fonts.h"

#include <GL/freeglut.h>

void *glutBitmapFont(int32_t fontId)
{
    switch (fontId) {
    case 3: return GLUT_BITMAP_8_BY_13;
    case 4: return GLUT_BITMAP_TIMES_ROMAN_10;
    case 5: return GLUT_BITMAP_TIMES_ROMAN_24;
    case 6: return GLUT_BITMAP_HELVETICA_10;
    case 7: return GLUT_BITMAP_HELVETICA_12;
    case 8: return GLUT_BITMAP_HELVETICA_18;
    default: return GLUT_BITMAP_9_BY_15;
    }
}
