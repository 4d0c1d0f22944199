// Scores: per lesson index 1..557 the reference score, each user's personal
// best and skip-introduction flag, and the lesson best with its holder
// ("ResourceFiles\ScoreFile", 557 records). Saves are atomic and skipped when
// nothing changed; inside a store update group they wait for its end.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "store/store_records.h"

// The in-memory mirror, indexed by lesson index 1..557 (index 0 unused).
extern ScoreRecord scoreRecords[scoreLessonCount + 1];
// Reference score per lesson index 0..557 (index 0 holds 0).
extern const std::array<int32_t, scoreLessonCount + 1> referenceScores;

constexpr int32_t stopScoreCreateName = 3260;
constexpr int32_t stopScoreCreateOpen = 3261;
constexpr int32_t stopScoreCreateWrite = 3262;
constexpr int32_t stopScoreLoadName = 3263;
constexpr int32_t stopScoreLoadOpen = 3264;
constexpr int32_t stopScoreLoadRead = 3265;
constexpr int32_t stopScoreSaveName = 3266;
constexpr int32_t stopScoreSaveOpen = 3267;
constexpr int32_t stopScoreSaveWrite = 3268;
// A score file that breaks what the format fixes (scoreRecordFault).
constexpr int32_t stopScoreFileDamaged = 3272;

void createScoreFile();
// What the format fixes of a record: per key the skip-introduction flag 0 or
// 1, a best of at least 0 and a tessitura 0..3; a reference score and a
// lesson best of at least 0 (a zero-filled file holds 0), the holder key
// 0..10 and holder tessitura 0..3. "" when it holds, else the key (where
// there is one), field and value that do not.
std::string scoreRecordFault(const ScoreRecord &record);
// Reads the 557 records; a record that breaks what the format fixes ends in
// stop 3272 with a debug line naming the file, lesson, key and field.
void loadScoreFile();
// True when the open file holds exactly what createScoreFile writes.
bool scoreFileIsNew(int fd);
void saveScoreFile();

// ScoreRating 0..4 of a score against a reference score R (bounds R/10, R/3,
// 2R/3, 0.9R, each rounded to nearest, ties to even).
int32_t scoreRatingFor(int32_t score, int32_t reference);
// rating := ScoreRating of the score against the lesson's reference score.
void ratingForScore(int32_t score, int32_t lesson, int32_t &rating);
int32_t getUserScore(int32_t lesson, int32_t key);
int32_t getUserScoreRating(int32_t lesson, int32_t key, int32_t &tessitura, int32_t &rating);
int32_t getLessonBest(int32_t lesson, int32_t &holderKey, int32_t &holderTessitura, int32_t &rating,
                      std::string &holderName);
uint8_t getSkipIntroFlag(int32_t lesson, int32_t key);
// Changes (and save) only for a key a present user holds.
void setSkipIntroFlag(int32_t lesson, int32_t key, uint8_t flag); // saves
// Stores the score when it is at least the personal best (saves); true on a
// new lesson best. A key no present user holds changes nothing.
bool recordScore(int32_t lesson, int32_t key, int32_t tessitura, int32_t score);

// Used by addUser / deleteUser: clear a key's entries; give a deleted
// holder's lesson bests to the best remaining user (lowest key on ties).
void clearScoreEntriesOfKey(int32_t key);
void reassignLessonBestsOfKey(int32_t key);
