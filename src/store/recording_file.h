// The recording of the last exercise on disk: the raw recording file
// "ResourceFiles/soundout.raw" (headerless 16-bit little-endian mono samples
// at 44100 Hz) that the exercise writes at its end and the replay reads, and
// the WAV export of the recording that the replay options offer.
//
// The recording starts with the cleared 2048-sample head of recordingBuffer,
// so block b of the replay (window at 2048 x b) is the block the exercise
// analysed as b.
#pragma once
#include <array>
#include <cstdint>
#include <string>

constexpr const char *rawRecordingName = "ResourceFiles/soundout.raw";

// Samples of the last recording (head included), and the whole analysis
// blocks in it: a block needs its full 4096-sample window.
extern int32_t recordedSampleCount;
extern int32_t replayBlockCount;

// What the last recording of this run holds. The replay plays a recording
// against the lesson's notes, so it fits only a recording of the lesson's
// tune as the user sang it; the exercise run records one answer (the last
// test of a single note), which no tune of the lesson describes.
enum class RecordingKind : int32_t {
    none,      // nothing recorded in this run
    oneAnswer, // one sung answer of the exercise run
    sungTune,  // the lesson's melody, sung from its start
};
extern RecordingKind lastRecordingKind;

// Full path of the raw recording file below userDataDir.
std::string rawRecordingPath();

// The number of whole analysis blocks in a recording of `samples` samples.
int32_t analysisBlocksIn(int32_t samples);

// The exercise's end: writes recordingBuffer[0 .. endPos) to the raw recording
// file atomically (the old file stays whole when the write fails) and makes it
// the last recording (recordedSampleCount, replayBlockCount, lastRecordingKind
// := kind). endPos is cut to 0..recordingCapacity. Returns false with `error`
// set when the file could not be written; the counts are set either way, the
// recording is in memory.
bool saveReplayRecording(int32_t endPos, RecordingKind kind, std::string &error);
// The same with the file written on the store's writer thread (store_io.h),
// after the saves handed to it before; the samples are copied first. The
// counts are set at once; a failure writes a debug line starting with
// recordingNotSaved. loadReplayRecording waits for the file.
void saveReplayRecordingInBackground(int32_t endPos, RecordingKind kind);
constexpr const char *recordingNotSaved = "the recording for the replay was not saved: ";

// Fills recordingBuffer from index 0 with the raw recording file (at most
// recordingCapacity samples; an odd last byte is no sample) and makes it the
// last recording. Samples past the file's end keep their values. A missing or
// unreadable file returns false with `error` set and changes nothing.
bool loadReplayRecording(std::string &error);

// The 44-byte header of a WAV file holding `samples` samples.
constexpr int32_t waveHeaderSize = 44;
std::array<uint8_t, waveHeaderSize> waveExportHeader(int32_t samples);

enum class ExportResult {
    exported,      // the file holds the header and the recording
    nothingToSave, // no recording (0 samples): nothing written
    failed,        // the file could not be written; an old file is unchanged
};
// Writes the header and recordingBuffer[0 .. recordedSampleCount) to
// fileName atomically (a temporary beside it, renamed over it at the end).
ExportResult exportRecordingAsWave(const std::string &fileName, std::string &error);
