// The one pass over a loaded recording and the shared rater.
#include "replay/replay_tracks.h"

#include <algorithm>
#include <cstring>

#include "lessons/lesson_loader.h"
#include "lessons/lesson_options.h"
#include "lessons/lesson_state.h"
#include "music/staff_geometry.h"
#include "replay/replay_state.h"
#include "sound/pitch_detector.h"
#include "sound/recording.h"

int32_t barOffsetAt(int32_t t)
{
    int32_t offset = 0;
    for (int32_t i = 0; i <= lessonNoteCount && lessonNotes[i].startMs <= t; ++i) offset = lessonNotes[i].barTotal;
    return offset;
}

void fillReplayBlockTracks(int32_t lastBlock, int32_t recordedSamples)
{
    lastBlock = std::min(lastBlock, blockTrackSize - 1);
    // What lies past the recording is no sound of it.
    const int32_t from = std::clamp(recordedSamples, 0, recordingBufferLength);
    const int32_t to = std::min(recordingBufferLength, from + analysisWindowLength);
    std::fill(recordingBuffer + from, recordingBuffer + to, int16_t{0});
    PitchTracker tracker;
    int32_t note = 0; // the note sounding at the block's time, for its bar offset
    for (int32_t b = 0; b <= lastBlock; ++b) {
        const int32_t t = replayBlockTimeMs(b);
        while (note < lessonNoteCount && lessonNotes[note + 1].startMs <= t) ++note;
        blockTimeMs[b] = t;
        blockBarOffset[b] = lessonNoteCount >= 0 ? lessonNotes[note].barTotal : 0;
        if (2048 * b > lastWindowStart) {
            // Past the buffer's last whole window: silence.
            blockEnvelope[b] = blockLoudness[b] = blockPeakOffset[b] = 0;
            pitchSamples[b] = pitchTooQuiet;
            continue;
        }
        tracker.analysisPos = 2048 * b;
        analyseWindow(tracker);
        blockEnvelope[b] = tracker.amplitude;
        blockLoudness[b] = tracker.amplitude;
        blockPeakOffset[b] = tracker.extremeIndex;
        pitchSamples[b] = tracker.frequency;
    }
}

ReplayRater &replayRater()
{
    static ReplayRater rater;
    rater.notes = lessonNotes;
    rater.noteCount = lessonNoteCount;
    rater.chords = lessonChords;
    rater.chordCount = lessonChordCount;
    rater.track = {pitchSamples,         blockEnvelope,       blockLoudness,      blockTraceInts,
                   blockTraceReals,      blockSkipWaitMarks,  blockPitchRating,   blockLoudnessRating,
                   recheckPitchRating,   recheckAltPitchRating, blockStaffHeight};
    rater.beatAccuracy = beatAccuracy;
    rater.waitTilHit = waitTilHit != 0;
    rater.playAccompaniment = playAccompaniment != 0;
    return rater;
}

void publishReplayTallies()
{
    const ReplayTallies &t = replayRater().tallies;
    pitchHitCount = t.pitchHitCount;
    loudnessOkCount = t.loudnessOkCount;
    noteOkCount = t.noteOkCount;
    onBeatScore = t.onBeatScore;
}
