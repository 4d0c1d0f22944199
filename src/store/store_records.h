// Records of the three store files (users, time line, scores) and their
// byte layout on disk.
//
// The structs below are the in-memory form; they are never copied to disk as
// they are. Each has an explicit writer and reader that put every field at its
// fixed offset (little-endian int32 and IEEE doubles, texts as a length byte
// followed by the characters). Writers fill reserved bytes and the unused
// bytes after a text with zero, so a file we write is byte-for-byte defined.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

constexpr int32_t emptyNoteIndex = 74;       // a NoteSlot holding this note is unused
constexpr double emptyDayNumber = 36651.0;   // 5 May 2000: the date of an unused time-line day
constexpr int32_t lessonBlockCount = 555;    // block L = lesson index - 2 ("Lesson1".."Lesson555")
constexpr int32_t userSlotCount = 20;        // slots of the users file
constexpr int32_t userKeySearchSlots = 10;   // keys are only looked for in slots 0..9
constexpr int32_t maxUsers = 6;              // slots 0..5 hold users (0 = administrator)
constexpr int32_t passwordSlot = 10;         // name field holds the scrambled password
constexpr int32_t timeLineDayCount = 100;    // training days kept per user
constexpr int32_t scoreLessonCount = 557;    // score records for lesson indexes 1..557
constexpr int32_t maxUserNameLength = 40;
constexpr int32_t firstTallyNote = 3;        // NoteTally entries exist for notes 3..63 (C2..C7)
constexpr int32_t lastTallyNote = 63;
constexpr int32_t rhythmClassCount = 16;

// Sizes of the records on disk.
constexpr std::size_t noteSlotSize = 32;
constexpr std::size_t lessonBlockSize = 264;
constexpr std::size_t noteTallySize = 48;
constexpr std::size_t rhythmTallySize = 72;
constexpr std::size_t userRecordSize = 150728;
constexpr std::size_t timeLineDaySize = 146528;
constexpr std::size_t scoreUserEntrySize = 12;
constexpr std::size_t scoreRecordSize = 136;
constexpr std::size_t usersFileSize = userRecordSize * userSlotCount;                          // 3,014,560
constexpr std::size_t timeLineBlockSize = timeLineDaySize * timeLineDayCount;                  // 14,652,800
constexpr std::size_t timeLineFileSize = timeLineBlockSize * userSlotCount;                    // 293,056,000
constexpr std::size_t scoreFileSize = scoreRecordSize * scoreLessonCount;                      // 75,752
// Offsets of the UserRecord fields the users file's check reads.
constexpr std::size_t userNameOffset = 0;
constexpr std::size_t userKeyOffset = 44;
constexpr std::size_t userTessituraOffset = 48;
constexpr std::size_t userCurrentLessonOffset = 112;
constexpr std::size_t userTimeLineFullOffset = 150720;
constexpr std::size_t userLessonBlocksOffset = 4200;
constexpr std::size_t noteSlotNoteOffset = 0;     // within a NoteSlot
constexpr std::size_t noteSlotPassedOffset = 24;  // within a NoteSlot
constexpr std::size_t lessonBlockDoneOffset = 256; // within a LessonBlock

// One trained note of a lesson result.
struct NoteSlot {
    int32_t note;             // NoteIndex; emptyNoteIndex = slot unused
    double mean;              // mean deviation in cents
    double standardDeviation; // in cents
    uint8_t passed;           // 1 = sung within the lesson's max. Dev.
};

// One lesson's result for one user (or for one training day).
struct LessonBlock {
    NoteSlot slots[8]; // slots[j - 1] is note slot j = 1..8
    uint8_t done;      // 1 when the lesson was passed
};

// Pitch tally of one NoteIndex, added to by the score overview.
struct NoteTally {
    std::string name;        // sharp note name, at most 4 characters
    int32_t presented;       // notes presented
    int32_t blocksMeasured;  // analysis blocks measured on those notes
    int32_t blocksInBand;    // blocks rated within the band
    int32_t blocksNear;      // blocks strictly between -3 and +4 semitones
    double sumLnHzSquared;   // sum of (ln Hz)^2 over the near blocks
    double sumHz;            // sum of Hz over the near blocks
    double sumLnHz;          // sum of ln Hz over the near blocks
};

// Onset tally of one note-length class c (length 4 (c + 1) sixty-fourths).
// Index [0]: the note follows a sung note; [1]: it follows a rest.
struct RhythmTally {
    int32_t classNumber;
    int32_t notes[2];
    int32_t onsetsWithinAccuracy[2]; // within beat accuracy x 10 ms
    int32_t onsetsNotMeasured[2];
    int32_t onsetsWithin240[2];      // within 240 ms
    double sumSquaredDeviation[2];   // ms^2
    double sumDeviation[2];          // ms
};

// One slot of the users file.
struct UserRecord {
    std::string name;      // at most 40 characters; slot 10: scrambled password
    int32_t key;           // UserKey, 0 = free slot
    int32_t tessitura;     // Tessitura 0..3
    int32_t currentLesson; // lesson index the lesson menu opens at
    NoteTally noteTallies[lastTallyNote + 1]; // indexed by NoteIndex; only 3..63 are stored
    RhythmTally rhythmTallies[rhythmClassCount];
    LessonBlock lessonBlocks[lessonBlockCount];
    uint8_t timeLineFull;  // 1 once the 100th training day was taken into use
};

// One training day of a user's time line.
struct TimeLineDay {
    double date; // whole days since 30 December 1899; emptyDayNumber = unused day
    LessonBlock lessonBlocks[lessonBlockCount];
};

// One user's entry in a lesson's score record.
struct ScoreUserEntry {
    uint8_t skipIntro; // 1 = skip the lesson's introduction
    int32_t best;      // personal best score, 0 = none
    int32_t tessitura; // tessitura of that best
};

// Scores of one lesson index.
struct ScoreRecord {
    ScoreUserEntry entries[10]; // entries[key - 1] for UserKey 1..10
    int32_t referenceScore;
    int32_t lessonBest;      // 0 = none
    int32_t holderKey;       // 0 = none
    int32_t holderTessitura;
};

// The empty lesson result: every slot note 74, mean and deviation 100.0, not passed.
LessonBlock emptyLessonBlock();
// Number of slots whose note is not 74.
int32_t lessonBlockNotesInUse(const LessonBlock &block);
bool isEmptyLessonBlock(const LessonBlock &block);
bool sameLessonBlock(const LessonBlock &a, const LessonBlock &b); // field by field, exact
// A day as resetUserTimeLine leaves it: empty date and 555 empty blocks.
bool isEmptyTimeLineDay(const TimeLineDay &day);

// Writers fill exactly the record's size in bytes at `out`; readers take the
// same number of bytes from `in`. Texts longer than their field are cut.
void writeLessonBlock(const LessonBlock &block, uint8_t *out);
void readLessonBlock(const uint8_t *in, LessonBlock &block);
void writeUserRecord(const UserRecord &record, uint8_t *out);
void readUserRecord(const uint8_t *in, UserRecord &record);
void writeTimeLineDay(const TimeLineDay &day, uint8_t *out);
void readTimeLineDay(const uint8_t *in, TimeLineDay &day);
void writeScoreRecord(const ScoreRecord &record, uint8_t *out);
void readScoreRecord(const uint8_t *in, ScoreRecord &record);

// Stop numbers of the users and time-line files.
constexpr int32_t stopUsersCreateName = 3251;
constexpr int32_t stopUsersCreateOpen = 3252;
constexpr int32_t stopUsersCreateWrite = 3253;
constexpr int32_t stopUsersLoadName = 3254;
constexpr int32_t stopUsersLoadOpen = 3255;
constexpr int32_t stopUsersLoadRead = 3256;
constexpr int32_t stopUsersSaveName = 3257;
constexpr int32_t stopUsersSaveOpen = 3258;
constexpr int32_t stopUsersSaveWrite = 3259;
