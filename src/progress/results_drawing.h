// Drawing shared by the result screens (GL, immediate mode).
#pragma once
#include <cstdint>
#include <string>

#include "store/store_records.h"

// Rating colours of the score overview (alpha 0.4): 0, 1 blue; 2 green; 3 yellow-brown; 4 red.
void ratingColour(int32_t rating);

// "Note", "Deviation", "Variance", "Fulfilled", the grid and one row per
// trained note (i = 1..notes at y 470 - 20 i) with its deviation bar.
void drawNoteResultTable(const LessonBlock &block, int32_t notes);

// "User:", the name, "Tessitura:" and the tessitura's name at height y
// (x 130, 190, 330, 430), in black.
void drawUserHeader(double y);
