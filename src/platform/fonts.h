// GLUT font ids as the program numbers them (the classic GLUT numbering:
// 0, 1 stroke fonts; 2 9x15, 3 8x13, 4 Times Roman 10, 5 Times Roman 24,
// 6 Helvetica 10, 7 Helvetica 12, 8 Helvetica 18) mapped to freeglut's font
// handles.
#pragma once
#include <cstdint>

// The bitmap font handle for an id; ids that name no bitmap font (the stroke
// fonts, anything unknown) give the 9x15 font, so text is always drawable.
void *glutBitmapFont(int32_t fontId);

