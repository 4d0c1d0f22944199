// The teacher Brimble: a 190 x 210 body picture with a mouth picture on top.
// While a clip is spoken the mouth runs the six-frame cycle 0 1 2 2 1 0; at
// rest it shows the row's rest pose. Which figure talks when is looked up by
// step in the two timelines (intro_tables.h); the pages only give the place.
#pragma once
#include <cstdint>

struct ImmediateDraw;

constexpr int32_t talkingMouthCycle[6] = {0, 1, 2, 2, 1, 0};

// What one frame of the teacher shows. walkInFrame >= 0: only that walk-in
// picture (Images1) is drawn; else figure with mouth (0..3, 4 the pose-4
// picture).
struct TeacherFrame {
    int32_t figure;
    int32_t mouth;
    int32_t walkInFrame;
};

// Stops of the teacher's figures: a rest pose figure f (0..4) cannot show is
// stopTeacherPose + f; figure 5 shows pose 4 only; figure 6 (or an unknown
// figure, with the debug line) and 7 have their own.
constexpr int32_t stopTeacherPose = 7008;       // .. 7012 for figures 0..4
constexpr int32_t stopTeacherPoseFigure5 = 7013;
constexpr int32_t stopTeacherPoseFigure6 = 7014; // also an unknown figure
constexpr int32_t stopTeacherPoseFigure7 = 7015;
constexpr int32_t stopWelcomeTeacherStep = 7017; // a Welcome step without a teacher row
constexpr int32_t stopLaterTeacherStep = 7026;   // a later page's step without a teacher row

// The mouth of drawBrimbleTalkingCycles / drawBrimbleTalkingPhases; a pose
// the figure cannot show ends the program (7008..7015), an unknown figure
// with the debug line and 7014.
int32_t teacherMouth(int32_t figure, int32_t tick, int32_t talkEnd, int32_t pose);
int32_t teacherMouthPhases(int32_t figure, int32_t tick, int32_t end1, int32_t pose1, int32_t start2,
                           int32_t end2, int32_t pose2, int32_t start3, int32_t end3, int32_t pose3);

// The welcome's teacher walks in (the Images1 pictures) up to this step and
// never again.
constexpr int32_t welcomeWalkInLastStep = 53;

// Lookups by step: stop 7017 outside 4..1426 (Welcome), 7026 outside
// 1337..24388 (the later pages).
TeacherFrame welcomeTeacherFrame(int32_t step);
TeacherFrame laterTeacherFrame(int32_t step);

// Draws a figure at the current origin (the timelines translate first).
void drawTeacherFigure(ImmediateDraw &draw, int32_t figure, int32_t mouth);
void drawBrimbleWelcomeTimeline(ImmediateDraw &draw, int32_t x, int32_t y, int32_t step);
void drawBrimbleTimeline(ImmediateDraw &draw, int32_t x, int32_t y, int32_t step);
