// Drawing of the grand staff, its clefs, one note with ledger lines,
// accidental and pitch dot, note pictures by length, and arrows, in window
// pixels (origin bottom left) inside the frame a screen is drawing. Pictures
// come from images7Textures.
#pragma once
#include <cstdint>

// Treble lines y 480..560 and bass lines y 360..440 from x1 to x2, black at
// alpha 0.4; a vertical line over both staves at x3 unless x3 is 0.
void drawGrandStaff(int32_t x1, int32_t x2, int32_t x3);
void drawTrebleStaff(int32_t x1, int32_t x2);
void drawTrebleClef(int32_t x);
void drawGrandStaffClefs(int32_t x);

// A whole note of NoteIndex note written in KeyIndex key at x, colour
// variant 0..3, shaken while voice 1 is highlighted and faded by voice 1's
// percent. Copies the voices into the play copies (copy 1 carries the note).
void drawStaffNote(int32_t x, int32_t key, int32_t note, int32_t colour);

// images7Textures slot of a note picture by length in sixty-fourths and
// colour variant (3 only for the whole note).
int32_t notePictureSlot(int32_t length, int32_t colour);
// images7Textures slot of an accidental mark ('^', '_', '='), -1 for ' '.
int32_t accidentalPictureSlot(char mark, int32_t colour);
// A note picture as a 50 x 67 quad with its lower left corner at
// (x - 2, y - 34).
void drawNoteImage(int32_t length, int32_t colour, int32_t x, int32_t y);

// Arrows from (x1, y1) with the head at (x2, y2): style colours 0..6 (any
// other style keeps the current colour), line width reset to 1 afterwards.
void drawArrow(int32_t style, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width);
void drawBigArrow(int32_t style, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width);
