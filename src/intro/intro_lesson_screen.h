// Screen 8, the introductory lesson: a narrated, animated presentation in
// nine topics by the teacher Brimble, about 16 minutes long. The display
// procedure is a state machine: loading (81 frames, one step each, with music
// and a progress bar), a wait for the timer to settle, then the nine topic
// pages. One drawn frame advances the step by one (46.44 ms); a page is a list
// of step ranges (intro_tables.h) that start clips and draw the teacher and
// the speech bubbles. PreviousPage / NextPage change the topic, Quit returns
// to the lesson menu; every visit loads the clips and teacher pictures again.
#pragma once
#include <cstdint>
#include <string>

#include "frame/controls.h"
#include "frame/screens.h"
#include "intro/intro_tables.h"

struct ImmediateDraw;

extern const ScreenHandlers introLessonScreenHandlers;

// Action codes of the navigation buttons.
constexpr int32_t introPreviousPageAction = 53;
constexpr int32_t introNextPageAction = 54;
constexpr int32_t introQuitAction = 55;

// Stop numbers.
constexpr int32_t stopIntroTopic = 7005;        // goToIntroTopic outside 1..10
constexpr int32_t stopIntroUnknownState = 7042; // display with an unknown state
// The sound of the screen (the real hooks): an OpenAL call that fails.
constexpr int32_t stopIntroReleaseStop = 7001;         // leaving: a source does not stop
constexpr int32_t stopIntroReleaseDetach = 7002;       // leaving: a source keeps its buffer
constexpr int32_t stopIntroReleaseTeacherDetach = 7003; // leaving: the teacher source keeps its buffer
constexpr int32_t stopIntroClipBuffersDelete = 7004;   // the clip buffers cannot be deleted
constexpr int32_t stopIntroQuitMusicStop = 7006;       // Quit: the music does not stop
constexpr int32_t stopIntroQuitMusicDetach = 7007;     // Quit: the music source keeps its buffer
constexpr int32_t stopIntroLoadingMusicStop = 7044;    // the loading music's source does not stop
constexpr int32_t stopIntroLoadingMusicDetach = 7045;  // ... nor gives up its buffer
constexpr int32_t stopIntroLoadingMusicLoad = 7046;    // the loading music cannot be loaded
constexpr int32_t stopIntroClipBuffers = 7047;         // the clip buffers cannot be made
constexpr int32_t stopIntroOggClipLoad = 7048;         // an Ogg clip cannot be loaded
constexpr int32_t stopIntroWavClipLoad = 7049;         // a WAV clip cannot be loaded
constexpr int32_t stopIntroLoadingMusicEnd = 7051;     // the loading music does not stop at the end

constexpr int32_t introLoadingLastStep = 80;
constexpr int32_t introLastStep = 21389;

// The screen's states (introLessonProgress): loading, the wait for the timer,
// then one per topic page (topic t is state t + 1); "finish" has a name but
// is never entered.
enum IntroProgress : int32_t {
    introLoading = 0,
    introWaiting = 1,
    introFirstTopicPage = 2, // Welcome, topic 1
    introLastTopicPage = 10, // The Orvale, topic 9
    introFinish = 11,
};

struct IntroLessonState {
    int32_t progress = introLoading; // an IntroProgress
    int32_t topic = 1;    // introTopic: 1..9, 10 leaves
    int32_t step = 0;     // introStep
    uint8_t stepJustSet = 0;
    int32_t pendingAction = 0;
    int32_t deferredAction = 0;
    bool clipBuffersMade = false;
    std::string progressName; // the state's name, drawn as the page title
    int32_t inputActive = 0;  // 1 while the mouse handlers act (states 0 and 2..10)
    int32_t lastSampleEvent = 0;
    ControlRecord previousPage, nextPage, quit;
    ControlRecord mockPrev, mockNext, mockStartLesson; // drawn only by the overview mock
};
extern IntroLessonState introLesson;

// The audio sources the lesson stops by number (indexes into soundSources).
enum class IntroSource : int32_t { teacher = 1, melody = 2, music = 4, click = 6 };

// Everything the screen calls outside itself, so a test can run the whole
// lesson with a recording draw facade, a controlled clock and fake sounds.
struct IntroLessonHooks {
    ImmediateDraw *draw;
    int32_t (*elapsedMs)();                // glutGet(GLUT_ELAPSED_TIME)
    void (*startLoadingMusic)();           // loading step 0: stop and detach the music source, decode, play
    void (*stopLoadingMusic)();            // loading step 80
    void (*makeClipBuffers)();             // the 214 buffer names
    void (*loadClip)(int32_t clip);        // decode clip 1..212 into its buffer
    void (*freeClip)(int32_t clip);        // hand back a (silent) clip's sound data
    void (*playClip)(int32_t clip);        // stop the teacher's source, play the clip on it
    void (*playBankSound)(int32_t soundId); // a sound-bank buffer on the teacher's source
    void (*stopSource)(IntroSource source);
    void (*quitStopMusic)();               // Quit: stop the music source and detach its buffer
    void (*releaseSources)();              // stop and detach sources 4, 6, 2, 5, 1
    void (*deleteClipBuffers)();
    void (*stopCapture)();
    void (*tickVoices)();                  // shake step and voice sequencer, topics 3..9
    // The page content beyond teacher and bubble, drawn before the teacher
    // into the screen's facade.
    void (*drawRowExtras)(ImmediateDraw &draw, const IntroPageRow &row, int32_t step);
    // An entry step of a topic beyond its pictures (sample exercise set-up).
    void (*entryStep)(int32_t topic, int32_t step);
    // Topic 5's sample exercise at a tick: its event code (0 nothing, 1..8).
    int32_t (*sampleExercise)(int32_t tick);
    // The replay's pictures, which the lesson never draws: false frees them
    // for the visit (loading step 0), true starts reading them again (the
    // lesson left).
    void (*holdReplayPictures)(bool held);
};
const IntroLessonHooks &realIntroLessonHooks();
void setIntroLessonHooks(const IntroLessonHooks &hooks);

// The engine's procedures, for the pages and the tests.
void setIntroStep(int32_t n);
void advanceIntroStep();
void goToIntroTopic(uint8_t unused);
void releaseIntroLessonResources();
// Whether clip 1..212's sound is held now. The loading reads every clip (a
// missing or spoilt one stops there) and keeps only the few the sample
// exercise starts on its events; a topic's other clips are read while it
// runs, a few steps before their rows, and handed back when it is left.
bool introClipHeld(int32_t clip);
// The teacher's place at a step of a row whose teacher moves.
void teacherPositionOfRow(const IntroPageRow &row, int32_t step, int32_t &x, int32_t &y);
// For the page content: start clip 1..212 on the teacher's source (stopping
// what it played), and stop a source.
void startIntroClip(int32_t clip);
void stopIntroSource(IntroSource source);
// The OpenAL buffer holding clip 1..212 (0 while the clips are not loaded).
uint32_t introClipBufferName(int32_t clip);
