// The pages of the sample exercise (topics 5 to 7, and topic 4's hand-over
// steps 8302-8342): what a row draws besides the teacher and its bubble.
#pragma once
#include <cstdint>

// row: index into introPageRows, or -1 on a topic's entry frames.
void drawSampleRowExtras(int32_t row, int32_t step);
