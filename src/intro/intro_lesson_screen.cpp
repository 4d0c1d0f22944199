#include "intro/intro_lesson_screen.h"

#include "frame/capture.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "frame/picture_catalogue.h"
#include "base/rounding.h"
#include "base/shared.h"
#include "base/stops.h"
#include "frame/timer.h"
#include "frame/immediate_draw.h"
#include "intro/intro_pages.h"
#include "intro/intro_pictures.h"
#include "lessons/picture_sets.h"
#include "intro/sample_exercise.h"
#include "intro/sample_pages.h"
#include "intro/speech_bubbles.h"
#include "intro/teacher_animation.h"
#include "lessons/lesson_state.h"
#include "lessons/replay_link.h"
#include "music/notation_draw.h"
#include "music/staff_geometry.h"
#include "music/voice_sequencer.h"
#include "platform/memory.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"

#include <AL/al.h>
#include <algorithm>
#include <GL/freeglut.h>

IntroLessonState introLesson;

// ---- Sounds (the real hooks) ------------------------------------------------

constexpr int32_t introClipBufferCount = introClipCount + 2; // slots 0..213, 0 and 213 unused
static ALuint introClipBuffers[introClipBufferCount] = {};
constexpr int32_t loadingMusicSoundId = 254;
static const char *const loadingMusicFile = "HeIsAJollyGoodFellow.ogg";

static void stopOnAlError(int32_t stopNumber)
{
    if (alGetError() != AL_NO_ERROR) stopProgram(0, stopNumber);
}

static void stopAndDetach(int32_t source, int32_t stopOfStop, int32_t stopOfDetach)
{
    alSourceStop(soundSources[source]);
    stopOnAlError(stopOfStop);
    alSourcei(soundSources[source], AL_BUFFER, 0);
    stopOnAlError(stopOfDetach);
}

uint32_t introClipBufferName(int32_t clip) { return introClipBuffers[clip]; }

static int32_t realElapsedMs() { return glutGet(GLUT_ELAPSED_TIME); }

static void realStartLoadingMusic()
{
    stopAndDetach(musicSource, stopIntroLoadingMusicStop, stopIntroLoadingMusicDetach);
    if (!loadOggIntoBuffer(soundsDir + loadingMusicFile, soundBuffers[loadingMusicSoundId]))
        stopProgram(0, stopIntroLoadingMusicLoad);
    setupSourceWithBuffer(soundSources[musicSource], soundBuffers[loadingMusicSoundId]);
    alSourcePlay(soundSources[musicSource]);
    alGetError(); // a music that does not start leaves the loading silent
}

static void realStopLoadingMusic()
{
    alSourceStop(soundSources[musicSource]);
    stopOnAlError(stopIntroLoadingMusicEnd);
}

static void realMakeClipBuffers()
{
    alGetError();
    alGenBuffers(introClipBufferCount, introClipBuffers);
    stopOnAlError(stopIntroClipBuffers);
}

static void realLoadClip(int32_t clip)
{
    const std::string path = soundsDir + introClipFileNames[clip];
    if (clip < firstWavClip) {
        if (!loadOggIntoBuffer(path, introClipBuffers[clip])) stopProgram(0, stopIntroOggClipLoad);
    } else if (!loadWavIntoBuffer(path, introClipBuffers[clip])) {
        stopProgram(0, stopIntroWavClipLoad);
    }
}

static void realFreeClip(int32_t clip)
{
    // Only the teacher's source plays clips; stopped, it may still hold this one.
    ALint current = 0;
    alGetSourcei(soundSources[teacherSource], AL_BUFFER, &current);
    if (ALuint(current) == introClipBuffers[clip]) alSourcei(soundSources[teacherSource], AL_BUFFER, 0);
    alDeleteBuffers(1, &introClipBuffers[clip]);
    alGenBuffers(1, &introClipBuffers[clip]);
    stopOnAlError(stopIntroClipBuffers);
}

static void realPlayClip(int32_t clip)
{
    stopSource(soundSources[teacherSource]);
    playBufferOnSource(soundSources[teacherSource], introClipBuffers[clip]);
}

static void realPlayBankSound(int32_t soundId)
{
    stopSource(soundSources[teacherSource]);
    playBufferOnSource(soundSources[teacherSource], soundBuffers[soundId]);
}

static void realStopSource(IntroSource source) { stopSource(soundSources[static_cast<int32_t>(source)]); }

static void realQuitStopMusic() { stopAndDetach(musicSource, stopIntroQuitMusicStop, stopIntroQuitMusicDetach); }

static void realReleaseSources()
{
    for (int32_t source : {musicSource, clickSource, melodySource, 5})
        stopAndDetach(source, stopIntroReleaseStop, stopIntroReleaseDetach);
    stopAndDetach(teacherSource, stopIntroReleaseStop, stopIntroReleaseTeacherDetach);
}

static void realDeleteClipBuffers()
{
    alGetError();
    alDeleteBuffers(introClipBufferCount, introClipBuffers);
    stopOnAlError(stopIntroClipBuffersDelete);
    for (ALuint &b : introClipBuffers) b = 0;
}

static void realStopCapture() { stopCapture(); }

static void realTickVoices()
{
    nextShakeOffset(shakeStep);
    tickVoiceSequencer();
}

// Held again: the first few are read now, the rest by the frames after.
static void realHoldReplayPictures(bool held)
{
    if (held) readSomeImages6Pictures(images6PicturesPerFrame);
    else freeImages6Pictures();
}

static IntroLessonHooks makeRealHooks()
{
    IntroLessonHooks h{};
    h.draw = &glNotationDraw();
    h.elapsedMs = realElapsedMs;
    h.startLoadingMusic = realStartLoadingMusic;
    h.stopLoadingMusic = realStopLoadingMusic;
    h.makeClipBuffers = realMakeClipBuffers;
    h.loadClip = realLoadClip;
    h.freeClip = realFreeClip;
    h.playClip = realPlayClip;
    h.playBankSound = realPlayBankSound;
    h.stopSource = realStopSource;
    h.quitStopMusic = realQuitStopMusic;
    h.releaseSources = realReleaseSources;
    h.deleteClipBuffers = realDeleteClipBuffers;
    h.stopCapture = realStopCapture;
    h.tickVoices = realTickVoices;
    h.drawRowExtras = drawIntroRowExtras; // the sample rows through drawSampleRowExtras
    h.entryStep = sampleEntryStep;
    h.sampleExercise = sampleExerciseAtTick;
    h.holdReplayPictures = realHoldReplayPictures;
    return h;
}

static IntroLessonHooks hooks = makeRealHooks();

const IntroLessonHooks &realIntroLessonHooks()
{
    static const IntroLessonHooks real = makeRealHooks();
    return real;
}
static void stopTeacherSource() { stopIntroSource(IntroSource::teacher); }

// What the sample pages ask of the screen: its clips on the teacher's source.
static const SamplePagesSound samplePagesSound = {startIntroClip, stopTeacherSource};

void setIntroLessonHooks(const IntroLessonHooks &h)
{
    hooks = h;
    setSamplePagesDraw(*h.draw);
    setSamplePagesSound(samplePagesSound);
}

void startIntroClip(int32_t clip) { hooks.playClip(clip); }
void stopIntroSource(IntroSource source) { hooks.stopSource(source); }

// ---- Controls and input ---------------------------------------------------

static TemplateControl introControls[3] = {
    {&introLesson.previousPage, 0, 0, introPreviousPageAction, 0,
     "Release Button to repeat previous practice session", "Click to repeat previous practice session", 0},
    {&introLesson.nextPage, 0, 0, introNextPageAction, 0,
     "Release Button to leave current practice session and continue",
     "Click to leave current practice session and continue", introNextPageAction},
    {&introLesson.quit, 0, 0, introQuitAction, 0, "Release Button to return to the lessons choice menu",
     "Click to return to the lessons choice menu", 0},
};

static bool onTopicPage(int32_t progress) { return progress >= introFirstTopicPage && progress <= introLastTopicPage; }

static void setProgress(int32_t progress)
{
    introLesson.progress = progress;
    introLesson.inputActive = progress == introLoading || onTopicPage(progress) ? 1 : 0;
}

// Return turns the page only on a topic page (or in the finish state).
static bool introOwnKey(unsigned char key)
{
    return key == keyReturn && !(onTopicPage(introLesson.progress) || introLesson.progress == introFinish);
}

static void introAction(int32_t code);

static ScreenInput introInput = {
    .controls = introControls,
    .controlCount = 3,
    .pending = &introLesson.pendingAction,
    .deferred = &introLesson.deferredAction,
    .phase = &introLesson.inputActive,
    .runningPhase = 1,
    .frameCounter = &introLesson.step,
    .ownKey = introOwnKey,
    .action = introAction,
};

static void createIntroLessonControls()
{
    introLesson.topic = 1;
    setProgress(introLoading);
    initControl(&introLesson.previousPage,
                {.kind = kindPushButton, .left = 810, .right = 930, .bottom = 50, .top = 68, .value = 1,
                 .caption = "PreviousPage"});
    initControl(&introLesson.nextPage,
                {.kind = kindPushButton, .left = 935, .right = 1055, .bottom = 50, .top = 68, .value = 1,
                 .caption = "NextPage", .previous = &introLesson.previousPage});
    initControl(&introLesson.quit,
                {.kind = kindPushButton, .left = 810, .right = 859, .bottom = 28, .top = 46, .value = 1,
                 .caption = "Quit", .previous = &introLesson.nextPage});
    initControl(&introLesson.mockPrev,
                {.kind = kindPushButton, .left = 30, .right = 90, .bottom = 172, .top = 190, .value = 1,
                 .caption = "Prev", .previous = &introLesson.quit});
    initControl(&introLesson.mockNext,
                {.kind = kindPushButton, .left = 870, .right = 930, .bottom = 172, .top = 190, .value = 1,
                 .caption = "Next", .previous = &introLesson.mockPrev});
    initControl(&introLesson.mockStartLesson,
                {.kind = kindPushButton, .left = 940, .right = 1060, .bottom = 172, .top = 190, .value = 1,
                 .caption = "StartLesson", .previous = &introLesson.mockNext});
}

static void introLessonKeyboard(unsigned char key, int x, int y) { templateKeyboard(introInput, key, x, y); }
static void introLessonSpecialKey(int key, int x, int y) { templateSpecialKey(introInput, key, x, y); }
static void introLessonMouse(int b, int s, int x, int y) { templateMouse(introInput, b, s, x, y); }
static void introLessonMotion(int x, int y) { templateMotion(introInput, x, y); }
static void introLessonPassiveMotion(int x, int y) { templatePassiveMotion(introInput, x, y); }
static void drawIntroLessonControls() { templateDrawControls(introInput); }
static void handleIntroLessonAction() { templateHandleAction(introInput); }

// ---- Step counter and topics ---------------------------------------------------

void setIntroStep(int32_t n)
{
    introLesson.step = n;
    introLesson.stepJustSet = 1;
}

void advanceIntroStep()
{
    if (introLesson.stepJustSet != 0) introLesson.stepJustSet = 0;
    else ++introLesson.step;
}

static void restartTickGrid()
{
    freeTickCount = 0;
    freeClockStart = hooks.elapsedMs();
}

// ---- Clips held ----------------------------------------------------------------

static bool clipHeld[introClipCount + 1] = {};

bool introClipHeld(int32_t clip) { return clip >= 1 && clip <= introClipCount && clipHeld[clip]; }

// Started by the sample exercise's events and its feedback, not by a row's
// step: held from the loading to the end.
static bool eventClip(int32_t clip) { return clip == 1 || clip == 3 || clip == 88 || clip == 89; }

static void holdClip(int32_t clip)
{
    if (clipHeld[clip]) return;
    hooks.loadClip(clip);
    clipHeld[clip] = true;
}

static void dropClip(int32_t clip)
{
    if (!clipHeld[clip] || eventClip(clip)) return;
    hooks.freeClip(clip);
    clipHeld[clip] = false;
}

// The loading reads a clip to check it, and keeps only the event clips.
static void checkClip(int32_t clip)
{
    hooks.loadClip(clip);
    clipHeld[clip] = true;
    dropClip(clip);
}

// The step at which a row starts its clip first.
static int32_t firstClipStep(const IntroPageRow &r)
{
    return r.clipStepsAt >= 0 && r.clipStepCount > 0 ? introClipSteps[r.clipStepsAt] : r.first;
}

// Holds the clips of the topic's rows: frees the ones of other topics (the
// topic change stopped the teacher, the only source that plays clips),
// reads those this step starts and, at most one per frame, those starting
// within the lead.
static void holdTopicClips(int32_t topic, int32_t step)
{
    static bool ofTopic[introClipCount + 1];
    std::fill(std::begin(ofTopic), std::end(ofTopic), false);
    int32_t ahead = 0, aheadStep = 0;
    for (const IntroPageRow &r : introPageRows) {
        if (r.topic != topic || r.clip == 0) continue;
        ofTopic[r.clip] = true;
        if (clipHeld[r.clip]) continue;
        const int32_t at = firstClipStep(r);
        if (at <= step) holdClip(r.clip);
        else if (at <= step + introPictureLead && (ahead == 0 || at < aheadStep)) ahead = r.clip, aheadStep = at;
    }
    if (ahead != 0 && !clipHeld[ahead]) holdClip(ahead);
    bool dropped = false;
    for (int32_t k = 1; k <= introClipCount; ++k)
        if (!ofTopic[k] && clipHeld[k] && !eventClip(k)) {
            dropClip(k);
            dropped = true;
        }
    if (dropped) returnFreeMemoryToSystem();
}

// Every way out of the lesson frees all it loaded: its own packs and the
// ones it shares (a later visit, the exercise or the lesson menu loads
// again what it draws).
void releaseIntroLessonResources()
{
    freeImages1Textures();
    freeImages14Textures();
    freeImages50Textures();
    freeImages25Textures();
    freeImages49Textures();
    freeImages51Textures();
    freeImages44Textures();
    deleteImages0Textures();
    hooks.releaseSources();
    if (introLesson.clipBuffersMade) {
        hooks.deleteClipBuffers();
        introLesson.clipBuffersMade = false;
    }
    std::fill(std::begin(clipHeld), std::end(clipHeld), false);
    hooks.holdReplayPictures(true);
}

static void leaveToLessonMenu()
{
    setKeyboardFocus(nullptr);
    currentScreen = lessonMenuScreenId;
}

void goToIntroTopic(uint8_t)
{
    hooks.stopSource(IntroSource::teacher);
    hooks.stopSource(IntroSource::click);
    hooks.stopSource(IntroSource::melody);
    hooks.stopCapture();
    restartTickGrid();
    introLesson.step = 0;
    const int32_t topic = introLesson.topic;
    if (topic == 1) {
        introLesson.step = 1;
        setProgress(introFirstTopicPage);
    } else if (topic >= 2 && topic <= 9) {
        hooks.stopSource(IntroSource::teacher);
        hooks.stopSource(IntroSource::music);
        setIntroStep(introTopicStartSteps[topic]);
        setProgress(introFirstTopicPage + topic - 1);
    } else if (topic == 10) {
        hooks.stopSource(IntroSource::teacher);
        hooks.stopSource(IntroSource::music);
        releaseIntroLessonResources();
        setIntroStep(0);
        setProgress(introLoading);
        leaveToLessonMenu();
    } else {
        stopProgram(0, stopIntroTopic);
    }
}

static void introAction(int32_t code)
{
    switch (code) {
    case introPreviousPageAction:
    case introNextPageAction:
        if (introLesson.progress != introLoading) {
            if (code == introPreviousPageAction && introLesson.topic > 1) --introLesson.topic;
            if (code == introNextPageAction && introLesson.topic < 11) ++introLesson.topic;
            goToIntroTopic(1);
        }
        (code == introPreviousPageAction ? introLesson.previousPage : introLesson.nextPage).state = stateIdle;
        promptLine.clear();
        introLesson.pendingAction = 0;
        break;
    case introQuitAction:
        hooks.stopSource(IntroSource::teacher);
        hooks.quitStopMusic();
        closeOpenPicturePack(); // Quit in the middle of loading a pack
        hooks.stopCapture();
        restartTickGrid();
        setKeyboardFocus(nullptr);
        introLesson.step = 0;
        introLesson.stepJustSet = 0;
        setProgress(introLoading);
        releaseIntroLessonResources();
        currentScreen = lessonMenuScreenId;
        introLesson.quit.state = stateIdle;
        promptLine.clear();
        introLesson.pendingAction = 0;
        break;
    default: break;
    }
}

// ---- Frame pieces -------------------------------------------------------------

static const char *const stateNames[introFinish + 1] = {"preparation",
                                           "waitInitialisation",
                                           "Welcome",
                                           "Use of Absolute and Perfect Pitch",
                                           "Brimble's Pitch Point",
                                           "Training Program Overview",
                                           "Sample Exercise",
                                           "Exercise Feedback",
                                           "Commented Exercise",
                                           "How to Train Muscle Memory",
                                           "The Orvale",
                                           "finish"};

static void drawPageHead(ImmediateDraw &draw)
{
    draw.colour(0, 0, 0, 0.4f);
    draw.text(DrawnText::normal, introLessonFont, introLesson.progressName, 20, 702);
    draw.colour(0.5f, 0.5f, 0.1f, 0.4f);
    draw.line(15, 697, 1100, 697, -11);
    drawIntroSeparatorLine(draw);
}

static void drawNavigation(ImmediateDraw &draw)
{
    draw.colour(0.1f, 0.5f, 0.1f, 0.4f);
    draw.text(DrawnText::normal, introLessonFont, "Navigation:", 620, 77);
    frameRect(draw, 615, 22, 1103, 70, -6);
    draw.colour(0, 0, 0, 0.4f);
    draw.text(DrawnText::normal, introLessonFont, "Change Topic ........ ", 620, 50);
    draw.text(DrawnText::normal, introLessonFont, "Quit Introduction ... ", 620, 28);
    draw.controls();
}

static void drawBar(ImmediateDraw &draw, double right)
{
    draw.colour(0.5f, 0, 0.3f, 0.9f);
    draw.quad(615, 100, 865, 120, -9);
    draw.colour(1, 0, 0.3f, 0.9f);
    draw.quad(615, 100, right, 120, -6);
}

// ---- Loading --------------------------------------------------------------------

struct ClipGroup {
    int16_t first, last;
};
static constexpr ClipGroup oggClipGroups[11] = {{1, 13},    {14, 22},   {23, 34},   {35, 46},
                                                {47, 66},   {67, 83},   {84, 101},  {102, 176},
                                                {177, 188}, {189, 198}, {199, 207}};

static void runLoadingStep(int32_t step)
{
    if (step == 0) {
        introLesson.topic = 1;
        introLesson.clipBuffersMade = false;
        hooks.holdReplayPictures(false);
        restartTickGrid();
        recordingBlockIndex = 0;
        setSamplePagesSound(samplePagesSound);
        startSampleLesson();
        hintLine.clear();
        promptLine.clear();
        showAlert("", "Please wait - loading animation images", "");
        hooks.startLoadingMusic();
    } else if (step == 1) {
        loadImages1Textures();
    } else if (step == 2) {
        loadImages14Textures();
    } else if (step == 3) {
        openImages0();
    } else if (step == 4) {
        loadImages0Picture(1);
    } else if (step >= 17 && step <= 63) {
        loadImages0Picture(step - 15);
    } else if (step == 64) {
        closeImages0();
    } else if (step == 65) {
        showAlert("", "Please wait - loading animation images", "Please wait - loading animation sounds");
        hooks.makeClipBuffers();
        introLesson.clipBuffersMade = true;
        std::fill(std::begin(clipHeld), std::end(clipHeld), false);
    } else if (step >= 66 && step <= 76) {
        const ClipGroup g = oggClipGroups[step - 66];
        for (int32_t k = g.first; k <= g.last; ++k) checkClip(k);
    } else if (step == 79) {
        for (int32_t k = firstWavClip; k <= introClipCount; ++k) checkClip(k);
    } else if (step == introLoadingLastStep) {
        freeClockStart = hooks.elapsedMs();
        hooks.stopLoadingMusic();
        showAlert("", "", "");
        setProgress(introWaiting);
        setKeyboardFocus(&introLesson.nextPage);
    }
}

static void loadingFrame(ImmediateDraw &draw)
{
    alertKind = 0;
    if (introLesson.pendingAction != 0 || introLesson.deferredAction != 0) {
        if (introLesson.step != 0) {
            handleIntroLessonAction();
            return;
        }
        // Queued before the first loading step: dropped, so loading never stalls.
        introLesson.pendingAction = 0;
        introLesson.deferredAction = 0;
    }
    const int32_t step = introLesson.step;
    draw.beginFrame();
    draw.frameAnimation(step < 66 ? step / 5 : step);
    drawPageHead(draw);
    draw.colour(1, 1, 1, 0.5f);
    draw.quad(100, 230, 940, 650, -11);
    draw.colour(0, 0, 0, 0.5f);
    draw.text(DrawnText::normal, introLessonFont,
              "The introductory lesson contains a lot of animations. Depending on your computers ", 130, 620);
    draw.text(DrawnText::normal, introLessonFont,
              "performance this may take a while to load. Please be patient.", 130, 600);
    draw.text(DrawnText::normal, introLessonFont, "loading animation images ...", 130, 560);
    if (step >= 65) draw.text(DrawnText::normal, introLessonFont, "loading animation sounds ...", 130, 540);
    runLoadingStep(step);
    drawNavigation(draw);
    draw.popupList();
    draw.lessonMessagePanel(1, "Please wait: Initializing");
    drawBar(draw, 615 + 250.0 * step / 80);
    draw.endFrame();
    advanceIntroStep();
    freeClockStart = introLesson.progress == introWaiting ? 0 : -20000;
}

// ---- Wait -------------------------------------------------------------------------

static void waitFrame()
{
    if (nextTimerDelay < 20) return;
    resetReplayPosition();
    eventSyncMode = 0;
    introLesson.step = 0;
    introLesson.stepJustSet = 0;
    setProgress(introFirstTopicPage);
}

// ---- Pages ------------------------------------------------------------------------


// First step of the first row of a topic's page.
static int32_t firstRowStep(int32_t topic)
{
    for (const IntroPageRow &r : introPageRows)
        if (r.topic == topic) return r.first;
    return introTopicStartSteps[topic];
}

static int32_t scaled(int32_t d, int32_t of, int32_t by) { return roundToInt32(double(d) / of * by); }

void teacherPositionOfRow(const IntroPageRow &row, int32_t step, int32_t &x, int32_t &y)
{
    const int32_t d = step - row.first;
    x = row.teacherX;
    y = row.teacherY;
    switch (row.first) {
    case 154: x = 150 + scaled(d, 20, 638), y = 390 - scaled(d, 20, 302); break;
    case 277: x = 758 - scaled(d, 6, 40), y = 88 + scaled(d, 6, 142); break;
    case 6563: x = 800 + scaled(d, 15, 60), y = 168 - scaled(d, 15, 60); break;
    case 6748: x = 1080 - 70 * d, y = 108 + 15 * d; break;
    case 6941: {
        static constexpr int16_t pickX[7] = {90, 180, 225, 315, 405, 495, 540};
        if (step < 7011) x = pickX[d / 10], y = 338;
        else x = 1020, y = 278;
        break;
    }
    case 7275: x = 920 - scaled(d, 15, 656), y = 108; break;
    case 8305:
        if (d < 16) x = 1030 - 10 * d, y = 108 + 2 * d;
        else x = 870, y = 140;
        break;
    default: break;
    }
}

// Rows without a clip whose first step silences the teacher.
static bool rowStopsTeacher(int32_t first)
{
    static constexpr int16_t steps[] = {54, 64, 6177, 6563, 6748, 7275, 7717, 7824, 9168, 14058, 14068, 17578};
    for (int16_t s : steps)
        if (s == first) return true;
    return false;
}

// The teacher's place on the entry frames of a topic (before its first row).
static constexpr int16_t entryTeacher[10][2] = {{0, 0},     {0, 0},     {718, 230}, {870, 398}, {800, 168},
                                                {870, 140}, {870, 140}, {870, 140}, {870, 400}, {870, 390}};

static void drawTeacherAt(ImmediateDraw &draw, int32_t topic, int32_t x, int32_t y, int32_t step)
{
    if (topic == 1) drawBrimbleWelcomeTimeline(draw, x, y, step);
    else drawBrimbleTimeline(draw, x, y, step);
}

static void drawRowBubble(ImmediateDraw &draw, const IntroPageRow &row)
{
    std::string fallback[3];
    const char *l1 = row.lines[0], *l2 = row.lines[1], *l3 = row.lines[2];
    if (row.first == 8863) { // topic 5's fallback terminator shows the exercise's state
        fallback[0] = "Never should come here !!!!!!!!!!!  " + std::to_string(sample.phase);
        fallback[1] = "ActionToTake= " + std::to_string(sample.replayEvent);
        l1 = fallback[0].c_str();
        l2 = fallback[1].c_str();
    }
    switch (row.bubble) {
    case IntroBubble::down:
        drawSpeechBubbleDown(draw, row.bubbleX, row.bubbleY, row.bubbleWidth, row.bubbleHeight, row.bubblePointer,
                             l1, l2, l3);
        break;
    case IntroBubble::up:
        drawSpeechBubbleUp(draw, row.bubbleX, row.bubbleY, row.bubbleWidth, row.bubbleHeight, row.bubblePointer,
                           l1, l2, l3);
        break;
    case IntroBubble::right:
        drawSpeechBubbleRight(draw, row.bubbleX, row.bubbleY, row.bubbleWidth, row.bubbleHeight,
                              row.bubblePointer, l1, l2, l3);
        break;
    case IntroBubble::none: break;
    }
}

// The work of a topic's entry steps; true when the frame is an entry frame.
static bool runEntryStep(ImmediateDraw &draw, int32_t topic, int32_t step)
{
    const int32_t start = introTopicStartSteps[topic];
    if (topic == 1) {
        if (step < 1 || step > 3) return false;
        if (step == 1) {
            hooks.stopSource(IntroSource::teacher);
            hooks.stopSource(IntroSource::music);
        } else if (step == 2) {
            loadImages1Textures();
        }
        drawBar(draw, std::min(615 + 250.0 * (step - 1) / 3, 865.0));
        if (step == 3) {
            checkPicturePack("Images50"); // its slides are read when the page comes to them
            restartTickGrid();
            setIntroStep(54);
        }
        return true;
    }
    const bool entry = step >= start && step < start + 3;
    if (entry) {
        if (step == start) {
            hooks.stopSource(IntroSource::teacher);
            hooks.stopSource(IntroSource::music);
            // The diagrams are read when the page comes to them: the pack is
            // only checked here (also when topic 2's entry was skipped).
            if (topic >= 3) checkPicturePack("Images51");
            // The sample exercise draws only the three verdict pictures of Images44.
            if (topic >= 6) loadImages44VerdictPictures();
        }
        // Images25 and Images49 are never drawn: loading them would hold about
        // 100 MB of textures, so they are only checked as the reader checks a
        // pack (a missing or spoilt pack still stops where it did).
        if (topic == 2 && step == start + 1) {
            checkPicturePack("Images25");
            checkPicturePack("Images51");
        }
        if ((topic == 2 || topic == 3) && step == start + 2) {
            checkPicturePack("Images50");
            checkPicturePack("Images49");
            restartTickGrid();
        }
        if (topic >= 6 && step == start + 2) restartTickGrid();
        hooks.entryStep(topic, step);
        if (topic == 4 && step == start + 2) setIntroStep(6227);
        if (topic == 5 && step == start + 2) setIntroStep(8355);
    }
    return entry;
}

static void moveOn()
{
    ++introLesson.topic;
    goToIntroTopic(0);
}

static void sampleExerciseEvents(int32_t step)
{
    if (step == 8355) hooks.stopSource(IntroSource::teacher);
    const int32_t event = hooks.sampleExercise(step - 8355);
    introLesson.lastSampleEvent = event;
    switch (event) {
    case 2: hooks.playClip(88); break;
    case 4: hooks.playClip(3); break;
    case 6: hooks.playClip(89); break;
    case 3:
    case 5:
    case 7: hooks.stopSource(IntroSource::teacher); break;
    default: break;
    }
}

static IntroPictureMasks loadedIntroPictures()
{
    IntroPictureMasks m;
    for (int32_t p = 1; p <= images51PictureCount; ++p)
        if (diagramTextures[p] != 0) m.images51 |= uint64_t{1} << (p - 1);
    for (int32_t p = 1; p <= images50PictureCount; ++p)
        if (slideTextures[p] != 0) m.images50 |= uint32_t{1} << (p - 1);
    return m;
}

// Holds the diagrams and slides the topic draws at this step or within the
// lead: frees the others, reads the ones this frame draws, and reads ahead
// at most one more per frame, so a page never waits for a whole pack.
static void holdTopicPictures(int32_t topic, int32_t step)
{
    const IntroPictureMasks wanted = introPicturesWanted(topic, step, introPictureLead);
    const IntroPictureMasks loaded = loadedIntroPictures();
    const IntroPictureMasks unwanted = {loaded.images51 & ~wanted.images51, loaded.images50 & ~wanted.images50};
    freeImages51Pictures(unwanted.images51);
    freeImages50Pictures(unwanted.images50);
    // The walk-in pictures serve only the welcome's first steps; topic 1's
    // entry reads them again when the lesson goes back to it.
    const bool walkInDone = images1Loaded && (topic != 1 || step > welcomeWalkInLastStep);
    if (walkInDone) freeImages1Textures();
    // The heap would keep the freed texture memory for later allocations.
    if (unwanted.images51 != 0 || unwanted.images50 != 0 || walkInDone) returnFreeMemoryToSystem();
    const IntroPictureMasks now = introPicturesWanted(topic, step, 0);
    loadImages51Pictures(now.images51);
    loadImages50Pictures(now.images50);
    const IntroPictureMasks ahead = nextIntroPictureToRead(topic, wanted, loadedIntroPictures());
    loadImages51Pictures(ahead.images51);
    loadImages50Pictures(ahead.images50);
}

static void pageTimeline(ImmediateDraw &draw)
{
    const int32_t topic = introLesson.progress - introFirstTopicPage + 1;
    const int32_t step = introLesson.step;
    holdTopicPictures(topic, step);
    holdTopicClips(topic, step);
    const bool entry = runEntryStep(draw, topic, step);
    if (topic == 1 && entry) return;
    if (topic == 5 && step >= 8355 && step < 8863) {
        sampleExerciseEvents(step);
        if (introLesson.lastSampleEvent == 8) {
            moveOn();
            setIntroStep(introTopicStartSteps[6]);
            return;
        }
    }
    const IntroPageRow *row = introRowAt(topic, step);
    if (row == nullptr) {
        // Entry frames up to the page's first row: the teacher at the page's first place.
        const int32_t start = introTopicStartSteps[topic];
        const int32_t firstRow = firstRowStep(topic);
        if (topic >= 2 && step >= start && step < firstRow) {
            IntroPageRow entryRow{};
            entryRow.topic = int16_t(topic);
            entryRow.first = int16_t(start);
            entryRow.last = int16_t(firstRow - 1);
            hooks.drawRowExtras(*hooks.draw, entryRow, step);
            drawTeacherAt(draw, topic, entryTeacher[topic][0], entryTeacher[topic][1], step);
        }
        return;
    }
    if (step == row->first) {
        if (row->clip != 0 && !row->clipOnEvent && row->clipStepsAt < 0) hooks.playClip(row->clip);
        if (row->bankSound != 0) hooks.playBankSound(row->bankSound);
        if (row->clip == 0 && rowStopsTeacher(row->first)) hooks.stopSource(IntroSource::teacher);
    }
    if (row->clipStepsAt >= 0)
        for (int32_t i = 0; i < row->clipStepCount; ++i)
            if (introClipSteps[row->clipStepsAt + i] == step) hooks.playClip(row->clip);
    hooks.drawRowExtras(*hooks.draw, *row, step);
    int32_t x = row->teacherX, y = row->teacherY;
    if (row->teacherMoves) teacherPositionOfRow(*row, step, x, y);
    drawTeacherAt(draw, topic, x, y, step);
    drawRowBubble(draw, *row);
    if (step == introTerminatorSteps[topic]) moveOn();
}

static void pageFrame(ImmediateDraw &draw)
{
    if (introLesson.pendingAction != 0 || introLesson.deferredAction != 0) {
        handleIntroLessonAction();
        return;
    }
    const int32_t progress = introLesson.progress;
    draw.beginFrame();
    drawPageHead(draw);
    drawNavigation(draw);
    pageTimeline(draw);
    draw.lessonMessagePanel(3, "Learn how the program works");
    if (progress >= introFirstTopicPage + 2) hooks.tickVoices(); // from topic 3 on
    draw.endFrame();
    advanceIntroStep();
}

static void displayIntroLessonScreen()
{
    const int32_t progress = introLesson.progress;
    if (progress < introLoading || progress > introFinish) {
        introLesson.progressName = "unknown lessonprogress" + std::to_string(progress);
        stopProgram(0, stopIntroUnknownState);
    }
    introLesson.progressName = stateNames[progress];
    ImmediateDraw &draw = *hooks.draw;
    if (progress == introLoading) loadingFrame(draw);
    else if (progress == introWaiting) waitFrame();
    else if (progress <= introLastTopicPage) pageFrame(draw);
}

const ScreenHandlers introLessonScreenHandlers = {
    .create = createIntroLessonControls,
    .keyboard = introLessonKeyboard,
    .specialKey = introLessonSpecialKey,
    .mouse = introLessonMouse,
    .motion = introLessonMotion,
    .passiveMotion = introLessonPassiveMotion,
    .drawControls = drawIntroLessonControls,
    .handleAction = handleIntroLessonAction,
    .display = displayIntroLessonScreen,
};
