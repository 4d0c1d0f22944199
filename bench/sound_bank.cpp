// Start-up cost of the sound bank: decoding and uploading all 275 files
// (loading steps 320..357) from a generated data folder, and one note sample.
//
// Data: $TARNOVA_DATA (a folder made by tarnova-make-data), else the folder is
// generated once into a temporary folder with ./tarnova-make-data (run from
// the build folder). Audio: the null OpenAL device, no sound card needed.
#include "base/shared.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

static std::string dataFolder()
{
    static std::string folder;
    if (!folder.empty()) return folder;
    if (const char *d = std::getenv("TARNOVA_DATA")) return folder = d;
    folder = "/tmp/tarnova-bench-sounds-" + std::to_string(getpid());
    const std::string command = "./tarnova-make-data " + folder;
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "cannot run %s\n", command.c_str());
    return folder;
}

static void openNullDevice()
{
    static bool open = false;
    if (open) return;
    setenv("ALSOFT_DRIVERS", "null", 1);
    ALCdevice *device = alcOpenDevice(nullptr);
    alcMakeContextCurrent(alcCreateContext(device, nullptr));
    open = true;
}

static void BM_LoadWholeSoundBank(benchmark::State &state)
{
    openNullDevice();
    soundsDir = dataFolder() + "/sounds/";
    for (auto _ : state) {
        for (int32_t step = 320; step <= 357; ++step) loadSoundBankStep(step);
        state.PauseTiming();
        alDeleteSources(soundSourceCount, soundSources);
        alDeleteBuffers(soundIdCount + 1, soundBuffers);
        alDeleteBuffers(toneBufferCount, toneBuffers);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadWholeSoundBank)->Unit(benchmark::kMillisecond)->Iterations(5);

static void BM_LoadOneFluteSample(benchmark::State &state)
{
    openNullDevice();
    const std::string file = dataFolder() + "/sounds/fluteA4.ogg";
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    for (auto _ : state) loadOggIntoBuffer(file, buffer);
    alDeleteBuffers(1, &buffer);
}
BENCHMARK(BM_LoadOneFluteSample)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
