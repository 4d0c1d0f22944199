// What one run of a lesson leaves to the screens after it: the transposition
// and label mode the notes are shown with, the scores of the replay's
// re-rating (the exercise clears them for a new run, the replay fills them,
// the score overview reads them), and the sounds the replay left on the
// melody and chord sources (a new exercise run forgets them).
#pragma once
#include <cstdint>

extern int32_t transposition;  // semitones -12..12
extern int32_t noteLabelMode;  // 0 Lyrics, 1 PitchNotation, 2 Solfege, 3 Degrees,
                               // 4 (rel. Solfege), 5 HalfStepChanges

// Scores of the replay's re-rating; 0 at program start.
extern int32_t pitchHitCount;
extern int32_t onBeatScore;
extern int32_t noteOkCount;
extern int32_t loudnessOkCount;

// The sound ids last started on the melody and chord sources (0 none).
extern int32_t melodySoundId;
extern int32_t chordTrackSoundId; // chordSoundId names the sound bank's chord-id rule
