#include "intro/teacher_animation.h"

#include "base/stops.h"
#include "frame/immediate_draw.h"
#include "lessons/picture_sets.h"
#include "intro/intro_tables.h"

#include <string>

static int32_t restMouth(int32_t figure, int32_t pose)
{
    if (figure >= 0 && figure <= 4) {
        if (pose < 0 || pose > 3) stopProgram(0, stopTeacherPose + figure);
        return pose;
    }
    if (figure == 5) {
        if (pose != 4) stopProgram(0, stopTeacherPoseFigure5);
        return 4;
    }
    if (figure == 6 || figure == 7) {
        if (pose < 0 || pose > 4) stopProgram(0, figure == 6 ? stopTeacherPoseFigure6 : stopTeacherPoseFigure7);
        return pose;
    }
    writeDebugDetail("drawBrimbleTalkingCycles: unkown figure=" + std::to_string(figure));
    stopProgram(0, stopTeacherPoseFigure6);
}

int32_t teacherMouth(int32_t figure, int32_t tick, int32_t talkEnd, int32_t pose)
{
    if (figure == 5) return restMouth(figure, pose);
    if (tick < talkEnd && figure >= 0 && figure <= 7) return talkingMouthCycle[tick % 6];
    return restMouth(figure, pose);
}

int32_t teacherMouthPhases(int32_t figure, int32_t tick, int32_t end1, int32_t pose1, int32_t start2,
                           int32_t end2, int32_t pose2, int32_t start3, int32_t end3, int32_t pose3)
{
    if (figure < 0 || figure > 5) {
        writeDebugDetail("drawBrimbleTalkingCycles: unkown figure=" + std::to_string(figure));
        stopProgram(0, stopTeacherPoseFigure6);
    }
    if (figure == 5) return restMouth(figure, pose1);
    if (tick < end1) return talkingMouthCycle[tick % 6];
    if (tick < start2) return restMouth(figure, pose1);
    if (tick < end2) return talkingMouthCycle[(tick - start2) % 6];
    if (tick < start3) return restMouth(figure, pose2);
    if (tick < end3) return talkingMouthCycle[(tick - start3) % 6];
    return restMouth(figure, pose3);
}

static TeacherFrame frameOfRow(const TeacherRow &r, int32_t step)
{
    const int32_t tick = step - r.first;
    if (r.click) {
        if (r.talkFrom != 0 && step >= r.talkFrom && step <= r.talkTo)
            return {1, talkingMouthCycle[tick % 6], -1};
        static constexpr int32_t gesture[6] = {1, 1, 1, 2, 3, 2};
        return {tick < 6 ? gesture[tick] : 1, restMouth(1, r.restMouth), -1};
    }
    if (r.spanCount <= 1)
        return {r.figure, teacherMouth(r.figure, tick, r.spanCount == 1 ? r.spans[0] : 0, r.restMouth), -1};
    const int32_t end1 = r.spans[0];
    const int32_t start2 = end1 + 5, end2 = start2 + r.spans[1];
    const int32_t start3 = r.spanCount == 3 ? end2 + 5 : 0;
    const int32_t end3 = r.spanCount == 3 ? start3 + r.spans[2] : 0;
    return {r.figure,
            teacherMouthPhases(r.figure, tick, end1, r.restMouth, start2, end2, r.restMouth, start3, end3,
                               r.restMouth),
            -1};
}

static const TeacherRow *findRow(const TeacherRow *rows, int32_t count, int32_t step)
{
    int32_t lo = 0, hi = count - 1;
    while (lo <= hi) {
        const int32_t mid = (lo + hi) / 2;
        if (step < rows[mid].first) hi = mid - 1;
        else if (step > rows[mid].last) lo = mid + 1;
        else return &rows[mid];
    }
    return nullptr;
}

TeacherFrame welcomeTeacherFrame(int32_t step)
{
    if (step < 4 || step > 1426) stopProgram(0, stopWelcomeTeacherStep);
    if (step <= 48) return {0, 0, step - 4};
    if (step <= welcomeWalkInLastStep) return {0, 0, 45};
    const TeacherRow *r = findRow(welcomeTeacherRows, welcomeTeacherRowsCount, step);
    if (r == nullptr) stopProgram(0, stopWelcomeTeacherStep);
    return frameOfRow(*r, step);
}

TeacherFrame laterTeacherFrame(int32_t step)
{
    const TeacherRow *r = step < 1337 || step > 24388 ? nullptr
                                                      : findRow(laterTeacherRows, laterTeacherRowsCount, step);
    if (r == nullptr) stopProgram(0, stopLaterTeacherStep);
    return frameOfRow(*r, step);
}

static uint32_t bodyTexture(int32_t figure)
{
    if (figure <= 4) return teacherFigureTextures[5 * figure];
    return teacherExtraTextures[figure - 6];
}

static uint32_t mouthTexture(int32_t figure, int32_t mouth)
{
    if (figure == 5) return teacherFigureTextures[29];
    if (figure >= 6) return mouth == 4 ? teacherExtraTextures[2] : teacherFigureTextures[5 + 1 + mouth];
    return teacherFigureTextures[5 * figure + 1 + mouth];
}

void drawTeacherFigure(ImmediateDraw &draw, int32_t figure, int32_t mouth)
{
    if (figure != 5) draw.picture(bodyTexture(figure), 0, 0, teacherPictureSide, teacherPictureHeight, -3.0);
    draw.picture(mouthTexture(figure, mouth), 0, 0, teacherPictureSide, teacherPictureHeight, -2.0);
}

static void drawFrame(ImmediateDraw &draw, int32_t x, int32_t y, const TeacherFrame &f)
{
    draw.pushTranslate(x, y);
    draw.colour(1, 1, 1, 0.4f);
    if (f.walkInFrame >= 0)
        draw.picture(walkInTextures[f.walkInFrame], 0, 0, teacherPictureSide, teacherPictureHeight, -6.0);
    else
        drawTeacherFigure(draw, f.figure, f.mouth);
    draw.pop();
}

void drawBrimbleWelcomeTimeline(ImmediateDraw &draw, int32_t x, int32_t y, int32_t step)
{
    drawFrame(draw, x, y, welcomeTeacherFrame(step));
}

void drawBrimbleTimeline(ImmediateDraw &draw, int32_t x, int32_t y, int32_t step)
{
    drawFrame(draw, x, y, laterTeacherFrame(step));
}
