// Screen 0, the loading screen: reads the users, time-line and score files,
// decides between first-time setup (2) and user management (3), then loads
// the pictures and sounds in 360 steps, one per frame, with a progress bar, a
// start tune and the logo animation. Its last step creates the controls of
// every other screen. Its Exit button ends the program at any step.
#pragma once
#include <cstdint>
#include <string>

#include "frame/controls.h"
#include "frame/screens.h"

// Numbered stops of this module.
constexpr int32_t stopStartTuneBuffers = 5252; // no buffers for the start tune
constexpr int32_t stopStartTuneSources = 5253; // no sources for the start tune
constexpr int32_t stopStartTuneFile = 5254;    // the start tune does not load


extern const ScreenHandlers loadingScreenHandlers;

// The five start tunes, chosen at random (randomBelow(5)).
extern const char *const startTuneFileNames[5];

// ---- The schedule, without drawing --------------------------------------

constexpr int32_t loadingStepCount = 360;
constexpr int32_t loadingExitAction = 25;

enum class LoadingWork : int32_t {
    nothing,
    startTune,           // step 1
    createSetupControls, // step 2
    images6PartA,        // steps 4..85
    images6PartB,        // steps 87..185
    images7,             // steps 187..302
    soundBank,           // steps 320..357
    finish,              // step 359: tune off, then every screen's controls
};
LoadingWork loadingStepWork(int32_t step);

// How many of the six loading lines a step shows (cumulative, 0..6).
int32_t loadingLinesShown(int32_t step);

// Right edge of the red part of the progress bar at a step.
double progressBarRight(int32_t step);

// The screens whose controls step 359 creates, in their order (after
// clearing the head of the recording buffer).
extern const int32_t finishScreenOrder[13];

// Everything the screen calls outside itself, so the schedule can run with
// recording fakes. draw false runs the steps without any GL call.
struct LoadingHooks {
    bool draw;
    void (*loadFrameAnimation)();      // the Images8 pack
    void (*loadImages9Step)(int32_t);
    bool (*usersFileNeedsFirstUse)();
    void (*loadUsersFiles)();
    void (*loadScoreFile)();
    void (*startTune)();
    void (*stopTune)();
    void (*loadImages6PartA)(int32_t);
    void (*loadImages6PartB)(int32_t);
    void (*loadImages7Step)(int32_t);
    void (*loadSoundBankStep)(int32_t);
    void (*clearRecordingHead)();
    void (*createScreenControls)(int32_t screenId); // the screen's create procedure
};
const LoadingHooks &realLoadingHooks();
void setLoadingHooks(const LoadingHooks &hooks);

// The screen's state, for the tests and the timing run.
struct LoadingState {
    int32_t phase = 0;                     // 0 before the first frame, 1 loading, 2 done
    int32_t step = 0;                      // the step of the next frame
    int32_t nextScreen = setupScreenId;    // setup or user management, decided in the first frame
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    ControlRecord exitButton;
};
extern LoadingState loadingState;

// Calls the create procedure of a screen through the screen table, when the
// screen is there and has one.
void createControlsOfScreen(int32_t screenId);
