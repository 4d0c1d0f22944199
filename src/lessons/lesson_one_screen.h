// Screen 17, the exercise screen id of lesson index 2, whose note choice is
// made on the options screen instead: it has its Pause and Stop buttons but
// its state never leaves 0, so it draws nothing and runs no action. What
// matters is its set-up, which loads the texture pack "Images36" with the
// options screen's note keys and backdrop (once per program run).
#pragma once
#include <GL/gl.h>
#include <cstdint>

#include "frame/controls.h"
#include "frame/screens.h"

extern const ScreenHandlers lessonOneScreenHandlers;

// Images36, in its stored order: pictures 1..49 the note keys C2..C6 (notes
// 3..51) at rest, 50..98 the same keys chosen, 99..108 spare (all 128 x 128),
// then the 512 x 512 backdrop of the options dialog.
constexpr int32_t noteKeyCount = 49;
constexpr int32_t images36SmallPictures = 108;
constexpr int32_t images36PictureSize = 128;
// A note key of the options dialog: its rectangle, in which its 128 x 128
// picture (drawn from the key's lower left corner) has its body and label;
// the rest of the picture is transparent, so keys 45 pixels apart do not
// cover each other.
constexpr int32_t noteKeyWidth = 36;
constexpr int32_t noteKeyHeight = 80;
constexpr int32_t optionsBackdropSize = 512;
// The part of the backdrop that is drawn (the rest is transparent): from its
// lower left corner at (650, 340), left of the chosen notes' list (x 950) and
// under the count line (y 665).
constexpr int32_t optionsBackdropShownWidth = 290;
constexpr int32_t optionsBackdropShownHeight = 315;
extern GLuint noteKeyPictures[images36SmallPictures]; // 0..48 normal keys, 49..97 chosen, 98..107 spare
extern GLuint optionsBackdrop;

// Called at start-up and before every lesson start: state 0, the two
// buttons, and Images36 unless it is already loaded.
void setUpLessonOneScreen();
// One step of loading Images36: 0 opens the pack, 1..108 one small picture
// each, 109 the backdrop, 110 closes it; true at step 110 or when the pack
// is already loaded.
bool loadImages36Step(int32_t step);
bool images36Loaded();

// The screen's state, for tests.
struct LessonOneState {
    int32_t phase = 0; // always 0: the screen never leaves its entry state
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    ControlRecord pauseControl;
    ControlRecord stopControl;
};
extern LessonOneState lessonOneState;
