// The generator's data folder through the lesson's real loading: every pack
// holds pictures of the sizes the lesson reads (the pack reader stops on any
// other), every clip decodes and lasts about its teacher's talking time, and
// a whole run with the real sound calls (OpenAL's null device) deletes every
// clip buffer at the end.
#include "intro_fakes.h"

#include "common/generated_data.h"
#include "common/temp_folder.h"
#include "base/shared.h"
#include "frame/texture_pack.h"
#include "lessons/picture_sets.h"
#include "intro/intro_tables.h"
#include "intro/sample_pages.h"
#include "intro/speech_bubbles.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <future>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

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

namespace {
double clipSeconds[introClipCount + 1];
int32_t plays = 0, silentPlays = 0;

ALint bufferValue(int32_t clip, ALenum what)
{
    ALint v = 0;
    alGetBufferi(introClipBufferName(clip), what, &v);
    return v;
}

// The real reading of a clip, its length noted.
void noteClipLoad(int32_t clip)
{
    realIntroLessonHooks().loadClip(clip);
    const ALint frequency = bufferValue(clip, AL_FREQUENCY);
    if (frequency > 0) clipSeconds[clip] = bufferValue(clip, AL_SIZE) / 2.0 / frequency;
}

// The real start of a clip, counting the ones with no sound in their buffer.
void notePlay(int32_t clip)
{
    ++plays;
    if (!introClipHeld(clip) || bufferValue(clip, AL_SIZE) <= 0) ++silentPlays;
    realIntroLessonHooks().playClip(clip);
}
} // namespace

TEST(IntroGeneratedData, LoadsWholeAndRunsToTheEndWithRealSounds)
{
    const std::string data = generatedData();
    openNullAudio();
    soundsDir = data + "sounds/";
    imagesDir = data + "images.prod/";
    userDataDirAlt = data;

    IntroWorld w;
    installIntroFakes(w);
    IntroLessonHooks h = realIntroLessonHooks();
    h.draw = &w.draw;
    h.elapsedMs = fakeElapsed;
    h.loadClip = noteClipLoad;
    h.playClip = notePlay;
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
    EXPECT_EQ(uploaded, 46 + 3 + 48 - 16) << "Images0 pictures 1 and 33..47 are never drawn";
    for (int32_t k = 1; k <= introClipCount; ++k) {
        ASSERT_GT(clipSeconds[k], 0.0) << introClipFileNames[k] << " was not read while loading";
        const double seconds = clipSeconds[k];
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
    EXPECT_EQ(silentPlays, 0) << "a clip started without its sound held";
    EXPECT_GT(plays, 150);
    EXPECT_FALSE(alIsBuffer(clip4));
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
    // Every picture read was freed when the lesson ended.
    EXPECT_GT(uploaded, images51PictureCount + images44PictureCount);
    EXPECT_EQ(uploaded - deleted, 0);

    setTextureUploader(nullptr);
    setSampleDrawHooks(realSampleDrawHooks());
    removeIntroFakes();
}

namespace {

// The alpha of a pack picture's pixel at window (x, y) when the page draws it
// from (ox, oy) at w x h; pictures are stored top row first.
struct PackedPicture {
    int32_t side = 0;
    std::vector<uint8_t> rgba;
    int alphaAt(double x, double y, double ox, double oy, double w, double h) const
    {
        const int px = int((x - ox) * side / w), py = int(side - (y - oy) * side / h);
        if (px < 0 || py < 0 || px >= side || py >= side) return -1;
        return rgba[(size_t(py) * side + px) * 4 + 3];
    }
};

std::vector<PackedPicture> readPack(const std::string &path, const int16_t *sides, int count)
{
    std::vector<PackedPicture> out;
    if (packOpenFile(path) != 0) return out;
    for (int i = 0; i < count; ++i) {
        const uint8_t *pixels = nullptr;
        if (packReadPicture(sides[i], sides[i], &pixels) != 0) break;
        out.push_back({sides[i], std::vector<uint8_t>(pixels, pixels + size_t(sides[i]) * sides[i] * 4)});
    }
    packClose();
    return out;
}

} // namespace

// The drawn pictures line up with what the pages draw over them, and their
// grounds are clear where pictures are stacked.
TEST(IntroGeneratedData, SlidesAndDiagramsLineUpWithThePages)
{
    const std::string data = generatedData();
    int16_t slideSides[images50PictureCount];
    for (int i = 0; i < images50PictureCount; ++i) slideSides[i] = i < 14 ? 1024 : 256;
    const std::vector<PackedPicture> slides =
        readPack(data + "images.prod/Images50", slideSides, images50PictureCount);
    ASSERT_EQ(slides.size(), size_t(images50PictureCount));
    // The accuracy curve (slide 13, 1524 wide from (90, 156)) passes the
    // pages' cross at (735, 408) and leaves the rest of the graph clear.
    const PackedPicture &curve = slides[12];
    EXPECT_GT(curve.alphaAt(735, 408, 90, 156, 1524, 1024), 200);
    EXPECT_EQ(curve.alphaAt(300, 600, 90, 156, 1524, 1024), 0);
    // The graph halves carry the deviation axis at x 100 and the time axis at y 180.
    EXPECT_GT(slides[10].alphaAt(100, 400, -140, 56, 1024, 1024), 200);
    EXPECT_GT(slides[9].alphaAt(600, 180, 185, 56, 1024, 1024), 200);
    EXPECT_EQ(slides[9].alphaAt(600, 400, 185, 56, 1024, 1024), 0);

    const std::vector<PackedPicture> diagrams =
        readPack(data + "images.prod/Images51", images51Sides, images51PictureCount);
    ASSERT_EQ(diagrams.size(), size_t(images51PictureCount));
    // The overview backdrop is opaque under the mock's chart; the day
    // calendar and the selection pairs are clear away from their lines.
    EXPECT_EQ(diagrams[0].alphaAt(600, 400, -80, 76, 1024, 1024), 255);
    EXPECT_EQ(diagrams[38].alphaAt(600, 480, 70, 176, 1024, 1024), 0);
    // The note list's eight places lie where the travelling notes land.
    for (int pick = 0; pick < 7; ++pick) {
        const PackedPicture &right = diagrams[14 + 2 * pick + 1]; // pictures 16, 18, ... 28
        EXPECT_GT(right.alphaAt(960 + 21, 600 + 21, 700, 155, 1024, 1024), 200) << pick;
    }
    // Every travelling note glyph is drawn.
    for (int n = 41; n <= 48; ++n) EXPECT_GT(diagrams[n - 1].alphaAt(52, 40, 0, 0, 128, 128), 200) << n;
}

namespace {

// Seconds of espeak-ng speaking text at its normal pace (the voice the
// generator uses); -1 when it cannot be run.
double normalPaceSeconds(const std::string &text, int id)
{
    const std::string wav = testTempRoot() + "pace-" + std::to_string(::getpid()) + "-" + std::to_string(id) + ".wav";
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    quoted += "'";
    const std::string command = "espeak-ng -v en-us+m3 -s 175 -w '" + wav + "' " + quoted + " 2>/dev/null";
    if (std::system(command.c_str()) != 0) return -1;
    std::FILE *f = std::fopen(wav.c_str(), "rb");
    if (!f) return -1;
    uint8_t header[44];
    const bool ok = std::fread(header, 1, 44, f) == 44;
    std::fseek(f, 0, SEEK_END);
    const long bytes = std::ftell(f);
    std::fclose(f);
    std::remove(wav.c_str());
    if (!ok) return -1;
    const uint32_t rate = header[24] | header[25] << 8 | header[26] << 16 | uint32_t(header[27]) << 24;
    return rate ? (bytes - 44) / 2.0 / rate : -1;
}

} // namespace

// Every spoken clip lasts about as long as espeak-ng takes to say its text at
// a normal pace: fitted to all the teacher rows it is spoken over, no clip is
// rushed (a clip fitted to the first of two rows played twice as fast).
TEST(IntroGeneratedData, VoiceClipsSpeakAtANormalPace)
{
    const std::string data = generatedData();
    std::vector<uint8_t> area(8000000);
    std::vector<std::future<std::pair<int32_t, double>>> normal;
    for (const IntroPageRow &row : introPageRows) {
        if (row.clip < 4 || row.clip >= firstWavClip || row.clip == 88 || row.clip == 89 ||
            row.bubble == IntroBubble::none)
            continue;
        const std::string text = spokenBubbleText(row);
        const int32_t clip = row.clip;
        normal.push_back(std::async(std::launch::async, [text, clip] { return std::make_pair(clip, normalPaceSeconds(text, clip)); }));
    }
    int32_t checked = 0;
    for (auto &n : normal) {
        const auto [clip, spoken] = n.get();
        ASSERT_GT(spoken, 0) << "espeak-ng (the generator's speaker) must run";
        int32_t size = 0, rate = 0;
        ALenum format = 0;
        decodeOggFile((data + "sounds/" + introClipFileNames[clip]).c_str(), area.data(),
                      static_cast<int32_t>(area.size()), size, rate, format);
        ASSERT_GT(rate, 0) << introClipFileNames[clip];
        const double seconds = size / 2.0 / rate;
        EXPECT_GT(seconds / spoken, 0.7) << "clip " << clip << " " << introClipFileNames[clip] << ": rushed to "
                                         << spoken / seconds << " times a normal pace";
        EXPECT_LT(seconds / spoken, 1.45) << "clip " << clip << " " << introClipFileNames[clip] << ": dragged";
        ++checked;
    }
    EXPECT_GT(checked, 190);
}

// Images0 picture 32, drawn beside "Brimble's Pitch Point", is the teacher's
// portrait: a face of the teacher's skin under the teacher's hair, opaque in
// its frame, not a labelled card.
TEST(IntroGeneratedData, ThePortraitShowsTheTeacher)
{
    const std::string data = generatedData();
    ASSERT_EQ(packOpenFile(data + "images.prod/Images0"), 0);
    const uint8_t *pixels = nullptr;
    for (int p = 1; p <= 32; ++p) {
        const PictureSize s = images0Sizes[p - 1];
        ASSERT_EQ(packReadPicture(s.width, s.height, &pixels), 0) << p;
    }
    const std::vector<uint8_t> portrait(pixels, pixels + 152 * 207 * 4);
    packClose();
    auto near = [](const uint8_t *px, int r, int g, int b) {
        return std::abs(px[0] - r) <= 3 && std::abs(px[1] - g) <= 3 && std::abs(px[2] - b) <= 3 && px[3] == 255;
    };
    int skin = 0, hair = 0, clear = 0;
    for (size_t i = 0; i < portrait.size(); i += 4) {
        skin += near(&portrait[i], 245, 204, 168);
        hair += near(&portrait[i], 115, 71, 31);
        clear += portrait[i + 3] < 255;
    }
    const int all = 152 * 207;
    EXPECT_GT(skin, all / 10) << "the face";
    EXPECT_GT(hair, all / 50) << "the hair";
    EXPECT_LT(clear, all / 100) << "an opaque picture in its frame";
    // The face sits in the upper middle, the ground around it is pale.
    EXPECT_TRUE(near(&portrait[(size_t(100) * 152 + 76) * 4], 245, 204, 168));
}
