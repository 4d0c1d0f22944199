// The raw recording file and the WAV export: golden header bytes, read-back
// through the program's own WAV parser, the raw loader at its edges, and
// writes that fail halfway.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "store/store_fixture.h"
#include "store/recording_file.h"
#include "sound/recording.h"
#include "sound/sound_layer.h"

namespace {

struct RecordingFileTest : StoreFolderTest {
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        recordedSampleCount = 0;
        replayBlockCount = 0;
        // A recognisable pattern over the first samples and just past the capacity.
        for (int32_t i = 0; i < 100000; ++i) recordingBuffer[i] = static_cast<int16_t>(7 * i - 30000);
        recordingBuffer[recordingCapacity] = 4321;
    }

    void writeRaw(const std::vector<uint8_t> &bytes) const
    {
        std::ofstream out(path("soundout.raw"), std::ios::binary);
        out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    static std::vector<uint8_t> readAt(const std::string &p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

} // namespace

TEST(WaveHeader, GoldenBytesForThreeSamples)
{
    const std::array<uint8_t, 44> expected = {
        'R', 'I', 'F', 'F', 42, 0, 0, 0,    'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16,  0, 0, 0, 1, 0,
        1,   0,   0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0,   16,  0,   'd', 'a', 't', 'a', 6, 0, 0, 0};
    EXPECT_EQ(waveExportHeader(3), expected);
}

TEST_F(RecordingFileTest, ExportOf44100SamplesReadsBackThroughTheWavParser)
{
    recordedSampleCount = 44100;
    std::string error;
    const std::string file = dir + "/one-second.wav";
    ASSERT_EQ(exportRecordingAsWave(file, error), ExportResult::exported) << error;
    const std::vector<uint8_t> image = readAt(file);
    ASSERT_EQ(image.size(), 44u + 2 * 44100);
    EXPECT_EQ(le32(image, 4), 2 * 44100 + 36);
    WavLayout layout;
    ASSERT_EQ(parseWavImage(image.data(), image.size(), layout), 0);
    EXPECT_EQ(layout.format, AL_FORMAT_MONO16);
    EXPECT_EQ(layout.rate, 44100);
    EXPECT_EQ(layout.dataBytes, 2u * 44100);
    bool same = true;
    for (int32_t i = 0; i < 44100 && same; ++i)
        same = static_cast<int16_t>(image[layout.dataOffset + 2 * i] | image[layout.dataOffset + 2 * i + 1] << 8) ==
               recordingBuffer[i];
    EXPECT_TRUE(same);
    struct stat st;
    EXPECT_NE(::stat((file + ".tmp").c_str(), &st), 0) << "no temporary left behind";
}

// The export's temporary file has a fresh name: a file of the user's named
// "<target>.tmp" is not touched, and nothing else is left beside the target,
// whether the export succeeds or the disk fills up.
TEST_F(RecordingFileTest, AnExportLeavesTheUsersOtherFilesAlone)
{
    recordedSampleCount = 20000;
    std::string error;
    const std::string file = dir + "/take.wav";
    { std::ofstream(file + ".tmp") << "the user's own file"; }
    auto namesBeside = [&] {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(dir))
            if (entry.path().filename().string().rfind("take.wav", 0) == 0) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    };
    ASSERT_EQ(exportRecordingAsWave(file, error), ExportResult::exported) << error;
    EXPECT_EQ(readAt(file).size(), 44u + 2 * 20000);
    injectStoreWriteFault(1, 1000);
    EXPECT_EQ(exportRecordingAsWave(file, error), ExportResult::failed);
    injectStoreWriteFault(0, 0);
    EXPECT_EQ(readAt(file).size(), 44u + 2 * 20000);
    const std::vector<uint8_t> mine = readAt(file + ".tmp");
    EXPECT_EQ(std::string(mine.begin(), mine.end()), "the user's own file");
    EXPECT_EQ(namesBeside(), (std::vector<std::string>{"take.wav", "take.wav.tmp"}));
    // Nor is a read-only one of that name removed.
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod((file + ".tmp").c_str(), 0444), 0);
        EXPECT_EQ(exportRecordingAsWave(file, error), ExportResult::exported) << error;
        EXPECT_EQ(readAt(file + ".tmp").size(), mine.size());
    }
}

TEST_F(RecordingFileTest, ExportWithoutARecordingWritesNothing)
{
    std::string error;
    const std::string file = dir + "/empty.wav";
    EXPECT_EQ(exportRecordingAsWave(file, error), ExportResult::nothingToSave);
    struct stat st;
    EXPECT_NE(::stat(file.c_str(), &st), 0);
}

TEST_F(RecordingFileTest, AFailedExportLeavesNoPartialFileAndKeepsAnOldOne)
{
    recordedSampleCount = 50000;
    std::string error;
    const std::string file = dir + "/old.wav";
    { std::ofstream(file) << "old contents"; }
    injectStoreWriteFault(1, 1000); // the disk fills after 1000 bytes
    EXPECT_EQ(exportRecordingAsWave(file, error), ExportResult::failed);
    EXPECT_EQ(error, "cannot write " + file + ": no space left on the device (errno 28)");
    std::vector<uint8_t> old = readAt(file);
    EXPECT_EQ(std::string(old.begin(), old.end()), "old contents");
    struct stat st;
    EXPECT_NE(::stat((file + ".tmp").c_str(), &st), 0);
    // A folder that does not exist fails at once.
    EXPECT_EQ(exportRecordingAsWave(dir + "/missing/x.wav", error), ExportResult::failed);
}

TEST_F(RecordingFileTest, RawLoaderTakesWholeSamplesUpToTheCapacity)
{
    struct Case {
        const char *name;
        int64_t bytes;
        int32_t samples; // read into the buffer
    };
    const Case cases[] = {
        {"even", 1000, 500},
        {"odd", 1001, 500}, // the last byte is half a sample
        {"empty", 0, 0},
        {"oversized", 2 * int64_t(recordingCapacity) + 20, recordingCapacity},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        std::vector<uint8_t> bytes(static_cast<size_t>(c.bytes));
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const uint16_t v = static_cast<uint16_t>(1000 + i / 2);
            bytes[i] = v & 0xff;
            bytes[i + 1] = v >> 8;
        }
        writeRaw(bytes);
        std::string error;
        ASSERT_TRUE(loadReplayRecording(error)) << error;
        EXPECT_EQ(recordedSampleCount, c.samples);
        EXPECT_EQ(replayBlockCount, analysisBlocksIn(c.samples));
        if (c.samples > 0) {
            EXPECT_EQ(recordingBuffer[0], 1000);
            EXPECT_EQ(recordingBuffer[c.samples - 1], static_cast<int16_t>(1000 + c.samples - 1));
        }
        if (c.samples < 100000) {
            EXPECT_EQ(recordingBuffer[c.samples], static_cast<int16_t>(7 * c.samples - 30000));
        }
        EXPECT_EQ(recordingBuffer[recordingCapacity], 4321);
    }
}

TEST_F(RecordingFileTest, AMissingRawFileIsReportedAndChangesNothing)
{
    recordedSampleCount = 77;
    std::string error;
    EXPECT_FALSE(loadReplayRecording(error));
    EXPECT_NE(error.find("soundout.raw"), std::string::npos) << error;
    EXPECT_EQ(recordedSampleCount, 77);
    EXPECT_EQ(recordingBuffer[0], -30000);
    // A folder in place of the file cannot be read either.
    ::mkdir(path("soundout.raw").c_str(), 0755);
    EXPECT_FALSE(loadReplayRecording(error));
}

TEST_F(RecordingFileTest, SavedRecordingIsTheBufferUpToTheWritePositionAndLoadsBack)
{
    const int32_t end = 2048 + 5 * 2048 + 100; // head, five blocks, a partial one
    std::string error;
    ASSERT_TRUE(saveReplayRecording(end, RecordingKind::sungTune, error)) << error;
    EXPECT_EQ(recordedSampleCount, end);
    EXPECT_EQ(replayBlockCount, 5);
    const std::vector<uint8_t> bytes = readFile("soundout.raw");
    ASSERT_EQ(bytes.size(), 2u * end);
    EXPECT_EQ(static_cast<int16_t>(bytes[2 * 6000] | bytes[2 * 6000 + 1] << 8), recordingBuffer[6000]);
    recordingBuffer[6000] = 0;
    ASSERT_TRUE(loadReplayRecording(error));
    EXPECT_EQ(recordingBuffer[6000], static_cast<int16_t>(7 * 6000 - 30000));
    EXPECT_EQ(recordedSampleCount, end);
}

TEST_F(RecordingFileTest, AFailedSaveKeepsTheOldFileWhole)
{
    std::string error;
    ASSERT_TRUE(saveReplayRecording(4096, RecordingKind::sungTune, error));
    injectStoreWriteFault(1, 3000);
    EXPECT_FALSE(saveReplayRecording(40000, RecordingKind::sungTune, error));
    EXPECT_EQ(fileSize("soundout.raw"), 2 * 4096);
    EXPECT_EQ(fileSize("soundout.raw.tmp"), -1);
    // The recording itself is still the last one, for the export.
    EXPECT_EQ(recordedSampleCount, 40000);
}

TEST(RecordingBlocks, WholeAnalysisBlocksNeedTheirFullWindow)
{
    struct Case { int32_t samples, blocks; };
    const Case cases[] = {{0, 0}, {2048, 0}, {4095, 0}, {4096, 1}, {6143, 1}, {6144, 2}, {recordingCapacity, 6458}};
    for (const Case &c : cases) EXPECT_EQ(analysisBlocksIn(c.samples), c.blocks) << c.samples;
}
