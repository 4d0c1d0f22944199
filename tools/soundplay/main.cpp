// tarnova-soundplay: developer tool that plays through the program's sound
// layer on the default output device, to hear and record what the bank and
// the tone synthesis produce before any screen uses them.
//
//   tarnova-soundplay tone HZ MS          a synthesised sine tone on the first
//                                         note-voice source, as a note voice plays it
//   tarnova-soundplay sample DATA_DIR ID  loads the whole sound bank from
//                                         DATA_DIR/sounds (loading steps 320..357)
//                                         and plays SoundId ID on the teacher's source
//   tarnova-soundplay bank DATA_DIR       only loads the bank and prints the time taken
//
// Returns when the sound has finished. Exit code 2 for bad arguments, 3 when
// no audio device opens; failures inside the sound layer end with its stops.
#include "base/shared.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

static int usage()
{
    std::fprintf(stderr, "usage: tarnova-soundplay tone HZ MS | sample DATA_DIR ID | bank DATA_DIR\n");
    return 2;
}

static void waitUntilStopped(ALuint source)
{
    ALint state = AL_PLAYING;
    while (state == AL_PLAYING) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        alGetSourcei(source, AL_SOURCE_STATE, &state);
    }
}

static void loadBank(const std::string &dataDir)
{
    soundsDir = dataDir + "/sounds/";
    const auto start = std::chrono::steady_clock::now();
    for (int32_t step = 320; step <= 357; ++step) loadSoundBankStep(step);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("sound bank loaded in %.1f ms\n", ms);
}

int main(int argc, char **argv)
{
    if (argc < 3) return usage();
    const std::string mode = argv[1];
    if (!((mode == "tone" && argc == 4) || (mode == "sample" && argc == 4) || (mode == "bank" && argc == 3)))
        return usage();

    ALCdevice *device = alcOpenDevice(nullptr);
    if (!device) {
        std::fprintf(stderr, "tarnova-soundplay: no audio output device\n");
        return 3;
    }
    ALCcontext *context = alcCreateContext(device, nullptr);
    alcMakeContextCurrent(context);
    initSoundLayer();

    if (mode == "tone") {
        const double hz = std::atof(argv[2]);
        const int ms = std::atoi(argv[3]);
        ALuint source = 0, buffer = 0;
        alGenSources(1, &source);
        alGenBuffers(1, &buffer);
        setupSource(source);
        synthSineTone(source, ms, buffer, hz);
        float position[3] = {0.0f, 1.5f, 1.0f};
        setSourceBufferGainPosition(source, buffer, 100, 0, 1, position);
        playSource(source);
        waitUntilStopped(source);
        stopSource(source);
        alDeleteSources(1, &source);
        alDeleteBuffers(1, &buffer);
    } else {
        loadBank(argv[2]);
        if (mode == "sample") {
            const int id = std::atoi(argv[3]);
            if (id < 1 || id > soundIdCount) return usage();
            playBufferOnSource(soundSources[teacherSource], soundBuffers[id]);
            waitUntilStopped(soundSources[teacherSource]);
            stopSource(soundSources[teacherSource]);
        }
        alDeleteSources(soundSourceCount, soundSources);
        alDeleteBuffers(soundIdCount + 1, soundBuffers);
        alDeleteBuffers(toneBufferCount, toneBuffers);
    }
    // Let the last samples leave the mixer before the device closes.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    return 0;
}
