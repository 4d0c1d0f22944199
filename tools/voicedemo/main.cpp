// tarnova-voicedemo: developer tool that shows one note on the grand staff
// and plays it through note voice 1 with the voice sequencer, as an exercise
// screen presents a reference note: the staff from x 100 to 280 with its
// clefs, the note at x 220, and the timed sequence (wait 2 frames, sound 32
// frames, stop). The sequence starts after 20 frames, once the freshly opened
// audio stream is running: a note started at once would lose its first half
// second to the stream's start-up. The window stays open HOLD_MS after the
// sequence has ended.
//
//   tarnova-voicedemo DATA_DIR NOTE KIND [HZ MS] [--hold HOLD_MS]
//     NOTE   NoteIndex (27 = C4)
//     KIND   0 silence, 1 flute samples, 2 sine samples
//     HZ MS  play a synthesised sine tone instead of the sample
//
// Window title "Tarnova voices", 1124 x 765 at (25, 25). Exit code 0 after
// the hold time, 2 for bad arguments, 3 when no audio device opens.
#include <AL/al.h>
#include <AL/alc.h>
#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "frame/picture_catalogue.h"
#include "base/shared.h"
#include "music/note_voices.h"
#include "music/staff_drawing.h"
#include "music/staff_geometry.h"
#include "music/voice_sequencer.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"

static int32_t demoNote = 27;
static int32_t holdFrames = 43;
static int32_t framesAfterSequence = -1;
static bool sequenceStarted = false;
static int32_t warmUpFrames = 0;

static void drawFrame()
{
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    drawGrandStaff(100, 280, 0);
    drawGrandStaffClefs(100);
    drawStaffNote(220, 0, demoNote, 1);
    glutSwapBuffers();
}

static void tick(int)
{
    if (!sequenceStarted && ++warmUpFrames > 20) {
        sequenceStarted = true;
        startTimedVoiceSequence({.state = 20, .waitFrames = 2, .playFrames = 32, .voiceCount = 1});
    }
    tickVoiceSequencer();
    drawFrame();
    nextShakeOffset(shakeStep);
    if (sequenceStarted && voiceSequencerState == 0) {
        if (framesAfterSequence < 0) std::printf("sequence ended\n");
        std::fflush(stdout);
        if (++framesAfterSequence >= holdFrames) {
            stopAllVoices();
            std::exit(0);
        }
    }
    glutTimerFunc(46, tick, 0);
}

static void display() { drawFrame(); }

static void reshape(int w, int h)
{
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w, 0, h, -1, 16);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

static int usage()
{
    std::fprintf(stderr, "usage: tarnova-voicedemo DATA_DIR NOTE KIND [HZ MS] [--hold HOLD_MS]\n");
    return 2;
}

int main(int argc, char **argv)
{
    glutInit(&argc, argv);
    std::string args[8];
    int n = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--hold" && i + 1 < argc) {
            holdFrames = std::atoi(argv[++i]) / 46 + 1;
            continue;
        }
        if (n >= 8) return usage();
        args[n++] = argv[i];
    }
    if (n != 3 && n != 5) return usage();
    const std::string dataDir = args[0];
    demoNote = std::atoi(args[1].c_str());
    const int32_t kind = std::atoi(args[2].c_str());
    if (demoNote < 0 || demoNote > 74 || kind < 0 || kind > 2) return usage();

    ALCdevice *device = alcOpenDevice(nullptr);
    if (!device) {
        std::fprintf(stderr, "tarnova-voicedemo: no audio output device\n");
        return 3;
    }
    ALCcontext *context = alcCreateContext(device, nullptr);
    alcMakeContextCurrent(context);
    initSoundLayer();

    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_ALPHA);
    glutInitWindowSize(1124, 765);
    glutInitWindowPosition(25, 25);
    glutCreateWindow("Tarnova voices");
    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    reshape(1124, 765);
    glClearColor(0.9f, 0.9f, 0.9f, 1.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    imagesDir = dataDir + "/images.prod/";
    soundsDir = dataDir + "/sounds/";
    for (int32_t step = 187; step <= 302; ++step) loadImages7Step(step);
    for (int32_t step = 320; step <= 357; ++step) loadSoundBankStep(step);

    initNoteVoices();
    setSingleVoice(demoNote);
    noteVoices[1].kind = kind;
    if (n == 5) {
        noteVoices[1].toneHz = std::atof(args[3].c_str());
        noteVoices[1].toneMs = std::atoi(args[4].c_str());
    }
    playingVoices[1] = noteVoices[1];

    glutTimerFunc(46, tick, 0);
    glutMainLoop();
    return 0;
}
