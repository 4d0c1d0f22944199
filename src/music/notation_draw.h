// The drawing facade with the notation's pieces: everything of
// glImmediateDraw() plus arrows, the treble staff and clef and staff notes,
// for screens that draw both (the introduction's pages, the lesson menu).
#pragma once
#include "frame/immediate_draw.h"

ImmediateDraw &glNotationDraw();
