// The generator's data folder through the lesson's real loading: every pack
// holds pictures of the sizes the lesson reads (the pack reader stops on any
// other), every clip decodes and lasts about its teacher's talking time, and
// a whole run with the real sound calls (OpenAL's null device) deletes every
// clip buffer at the end.
#include "intro_fakes.h"

#include "common/generated_data.h"
#include "base/shared.h"
#include "frame/texture_pack.h"
#include "intro/intro_pictures.h"
#include "intro/intro_tables.h"
#include "intro/sample_pages.h"
#include "sound/sound_bank.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace {

int32_t uploaded = 0;
std::map<int32_t, std::pair<int32_t, int32_t>> uploadedSizes;
GLuint recordUpload(int32_t width, int32_t height, int32_t, const uint8_t *)
{
    ++uploaded;
    uploadedSizes[uploaded] = {width, height};
    return static_cast<GLuint>(uploaded);
}
int32_t deleted = 0;
void countDelete(uint32_t) { ++deleted; }
int32_t fakeClock = 0;
int32_t fakeElapsed() { return fakeClock; }

void openNullAudio()
{
    static bool open = false;
    if (open) return;
    setenv("ALSOFT_DRIVERS", "null", 1);
    ALCdevice *device = alcOpenDevice(nullptr);
    ASSERT_NE(device, nullptr);
    ALCcontext *context = alcCreateContext(device, nullptr);
    ASSERT_NE(context, nullptr);
    alcMakeContextCurrent(context);
    loadSoundBankStep(320); // the bank's buffers (254 holds the loading music) and sources
    open = true;
}

} // namespace

TEST(IntroGeneratedData, LoadsWholeAndRunsToTheEndWithRealSounds)
{
    const std::string data = generatedData();
    ASSERT_FALSE(data.empty()) << "tarnova-make-data must be built and work";
    openNullAudio();
    soundsDir = data + "sounds/";
    imagesDir = data + "images.prod/";
    userDataDirAlt = data;

    IntroWorld w;
    installIntroFakes(w);
    IntroLessonHooks h = realIntroLessonHooks();
    h.draw = &w.draw;
    h.elapsedMs = fakeElapsed;
    setIntroLessonHooks(h);
    // The note voices' sources are not made here: the sample exercise's
    // reference note stays silent.
    SampleDrawHooks voiceless = realSampleDrawHooks();
    voiceless.setUpVoices = voiceless.referenceNote = voiceless.countShownVoices = [] {};
    voiceless.timedSequence = [](int32_t) {};
    setSampleDrawHooks(voiceless);
    PictureSetHooks p = realPictureSetHooks();
    p.deleteTexture = countDelete;
    setPictureSetHooks(p);
    setTextureUploader(recordUpload);

    for (int i = 0; i < 200 && introLesson.progress != 2; ++i) {
        fakeClock += 46;
        introLessonScreenHandlers.display();
    }
    ASSERT_EQ(introLesson.progress, 2);
    EXPECT_EQ(uploaded, 46 + 3 + 48);
    for (int32_t k = 1; k <= introClipCount; ++k) {
        ALint size = 0, frequency = 0;
        alGetBufferi(introClipBufferName(k), AL_SIZE, &size);
        alGetBufferi(introClipBufferName(k), AL_FREQUENCY, &frequency);
        ASSERT_GT(size, 0) << introClipFileNames[k];
        const double seconds = size / 2.0 / frequency;
        EXPECT_LT(seconds, 12.0) << introClipFileNames[k];
        const IntroPageRow *row = nullptr;
        for (const IntroPageRow &r : introPageRows)
            if (r.clip == k && r.bubble != IntroBubble::none) row = &r;
        // A spoken clip ends before its row does (the next row stops it).
        if (row != nullptr) {
            EXPECT_LE(seconds, (row->last - row->first + 1) * 0.04644 + 0.3) << introClipFileNames[k];
        }
    }
    const ALuint clip4 = introClipBufferName(4);

    for (int i = 0; i < 30000 && currentScreen == introLessonScreenId; ++i) {
        fakeClock += 46;
        introLessonScreenHandlers.display();
    }
    EXPECT_EQ(currentScreen, lessonMenuScreenId);
    EXPECT_FALSE(alIsBuffer(clip4));
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
    // The 1024-square slides and diagrams were read in their sizes.
    EXPECT_EQ(uploaded - deleted, images51PictureCount + images44PictureCount);

    setTextureUploader(nullptr);
    setSampleDrawHooks(realSampleDrawHooks());
    removeIntroFakes();
}
