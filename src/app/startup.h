// Start-up: folders, debug log, audio devices, the window and the callbacks;
// then GLUT's main loop for the rest of the run.
#pragma once
#include <cstdint>
#include <AL/alc.h>

// Numbered stops of this module.
constexpr int32_t stopCaptureDefaultQuery = 263;     // asking for the default capture device failed
constexpr int32_t stopCaptureEnumerationQuery = 264; // asking for device enumeration failed
constexpr int32_t stopCaptureDeviceQuery = 265;      // asking for the capture devices failed
constexpr int32_t stopCaptureCheckDevice = 266;      // the capture check device reports an error


// The start's capture checks, which end in stops 263-266 when OpenAL reports
// an error after a query: checkCaptureSupport asks for the default capture
// device, the enumeration and the capture devices; openCapture opens the
// capture device (none: the unsupported-device screen) and checks it.
void checkCaptureSupport();
void openCapture();

// What those checks call, so a test can make OpenAL report an error.
struct StartupAudioHooks {
    ALCenum (*alcError)(ALCdevice *device); // alcGetError
    ALCdevice *(*openCaptureDevice)();      // the capture device of the frame
};
const StartupAudioHooks &realStartupAudioHooks();
void setStartupAudioHooks(const StartupAudioHooks &hooks);

// The program body. Ends only through stopProgram / quitProgram, or with exit
// code 7 or 8 when the debug log cannot be created.
int runTarnova(int argc, char **argv);

// Opens the program's one window: 1124 x 765 at (25, 25), "Tarnova", double
// buffered RGBA with alpha and no depth buffer (drawing order decides what
// covers what; on a visual that has depth bits anyway, depth writes are
// switched off). Closing it makes glutMainLoop return. Calls glutInit.
void createMainWindow(int *argc, char **argv);

// The main window as the program draws in it: the window's size, the window,
// the pixel projection, the clear colour, the screen table handed to the
// dispatcher and the dispatcher's display callback (input callbacks are the
// caller's).
void openProgramWindow(int *argc, char **argv);

// The safeguard createMainWindow applies on a visual with depth bits: the
// depth buffer cleared to the far value and depth writes off, for the current
// GL context.
void keepDepthFromDeciding();

extern ALCdevice *outputDevice;   // OpenAL output; null when none could be opened
extern ALCcontext *outputContext; // current for the whole run
