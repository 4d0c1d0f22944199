// tarnova-lessondemo: developer tool that runs the program unchanged, except
// that the loading screen hands over to the lesson loader for lesson 3 of the
// user in slot 0, whose lesson-2 choice is taken to be the eight notes
// 27, 29, 31, 32, 34, 36, 38, 39 (C4 .. C5; held in memory only), as the
// lesson menu and the options dialog would. So an exercise, with its
// reference notes on the speakers, can be run end to end before the lesson
// menu leads there. The data folder must hold store files with a user in
// slot 0. Every change of screen is printed on standard output as "screen N".
//
//   tarnova-lessondemo       (same environment and data folder as tarnova)
#include "../common/demo_handover.h"
#include "lessons/lesson_state.h"
#include "store/store_records.h"
#include "store/users_file.h"

static constexpr int32_t demoNotes[8] = {27, 29, 31, 32, 34, 36, 38, 39};

// Runs once the loading's first frame has read the store files (phase 1):
// nothing else touches the users or the lesson until the hand-over.
static void chooseLessonThree()
{
    LessonBlock choice = emptyLessonBlock();
    for (int k = 0; k < 8; ++k) choice.slots[k].note = demoNotes[k];
    LessonBlock seeded = choice;
    choice.done = 1;
    UserRecord &user = userRecords[0];
    user.lessonBlocks[0] = choice;
    user.lessonBlocks[1] = seeded;
    currentUserSlot = 0;
    currentUserKey = user.key;
    currentUserName = user.name;
    currentUserTessitura = user.tessitura;
    currentLesson = 3;
}

int main(int argc, char **argv)
{
    return runWithLoadingHandOver(argc, argv, lessonLoaderScreenId, chooseLessonThree);
}
