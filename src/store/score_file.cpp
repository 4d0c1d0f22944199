#include "store/score_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "base/rounding.h"
#include "base/stops.h"
#include "store/store_io.h"
#include "store/user_table.h"

ScoreRecord scoreRecords[scoreLessonCount + 1];

// The reference scores follow runs of equal values; three run patterns
// cover lessons 2..551.
static constexpr std::array<int32_t, scoreLessonCount + 1> buildReferenceScores()
{
    struct Run {
        int32_t score;
        int32_t count;
    };
    constexpr Run patternA[] = {{680, 16}, {860, 16}, {1040, 16}, {1220, 17}, {860, 3}, {1040, 16}, {1220, 17}};
    constexpr Run patternB[] = {{680, 16}, {860, 16}, {1040, 16}, {1220, 17}, {860, 3}, {1040, 16}, {1220, 15}};
    constexpr Run patternC[] = {{680, 16}, {860, 16}, {1040, 16}, {1220, 2}};
    std::array<int32_t, scoreLessonCount + 1> r{};
    int32_t lesson = 1;
    r[lesson++] = 400;
    auto put = [&](const Run *runs, int n) {
        for (int i = 0; i < n; ++i)
            for (int32_t c = 0; c < runs[i].count; ++c) r[lesson++] = runs[i].score;
    };
    put(patternA, 7);
    put(patternB, 7);
    put(patternA, 7);
    put(patternB, 7);
    put(patternC, 4);
    put(patternC, 4);
    put(patternC, 4);
    while (lesson <= 556) r[lesson++] = 680;
    r[lesson++] = 1220;
    return r;
}

constexpr std::array<int32_t, scoreLessonCount + 1> referenceScores = buildReferenceScores();
static_assert(referenceScores[551] == 1220 && referenceScores[552] == 680 && referenceScores[557] == 1220);

static std::vector<uint8_t> savedScoreImage; // the file as it is on disk
static const char scoreFileName[] = "ScoreFile";

static bool validLesson(int32_t lesson) { return lesson >= 1 && lesson <= scoreLessonCount; }
static bool validKey(int32_t key) { return key >= 1 && key <= 10; }

static std::vector<uint8_t> scoreImage()
{
    std::vector<uint8_t> image(scoreFileSize);
    for (int32_t i = 0; i < scoreLessonCount; ++i) writeScoreRecord(scoreRecords[i + 1], image.data() + i * scoreRecordSize);
    return image;
}

static const StoreFile scoreStoreFile = {scoreFileName, scoreFileSize, stopScoreSaveName, stopScoreSaveOpen,
                                         stopScoreSaveWrite};

// First use: the whole file by temporary file and rename.
static void createScoreImage(const std::vector<uint8_t> &image)
{
    const int32_t stopName = stopScoreCreateName, stopOpen = stopScoreCreateOpen, stopWrite = stopScoreCreateWrite;
    std::string path = storeFilePath(scoreFileName);
    if (path.empty()) stopProgram(0, stopName);
    AtomicWrite w{-1, {}, {}, 0, false};
    if (!beginAtomicWrite(w, path)) {
        abandonAtomicWrite(w);
        stopProgram(0, stopOpen);
    }
    if (!storeWriteBytes(w, image.data(), image.size()) || !finishAtomicWrite(w)) {
        abandonAtomicWrite(w);
        stopProgram(0, stopWrite);
    }
    savedScoreImage = image;
}

void createScoreFile()
{
    for (int32_t lesson = 1; lesson <= scoreLessonCount; ++lesson) {
        scoreRecords[lesson] = ScoreRecord{};
        scoreRecords[lesson].referenceScore = referenceScores[lesson];
    }
    recoverStoreFolder();
    createScoreImage(scoreImage());
}

bool scoreFileIsNew(int fd)
{
    std::vector<uint8_t> fresh(scoreFileSize), file(scoreFileSize + 1);
    for (int32_t i = 0; i < scoreLessonCount; ++i) {
        ScoreRecord r{};
        r.referenceScore = referenceScores[i + 1];
        writeScoreRecord(r, fresh.data() + i * scoreRecordSize);
    }
    std::size_t got = 0;
    return storeReadBytes(fd, file.data(), file.size(), got) && got == scoreFileSize &&
           std::equal(fresh.begin(), fresh.end(), file.begin());
}

void loadScoreFile()
{
    recoverStoreFolder();
    std::vector<uint8_t> image;
    loadStoreImage(scoreFileName, scoreFileSize, image, stopScoreLoadName, stopScoreLoadOpen, stopScoreLoadRead);
    // Check every record before memory changes: a damaged file stops with
    // the lesson, user and field, nothing is written, the file stays for
    // inspection.
    std::vector<ScoreRecord> records(scoreLessonCount);
    for (int32_t i = 0; i < scoreLessonCount; ++i) {
        readScoreRecord(image.data() + i * scoreRecordSize, records[i]);
        const std::string fault = scoreRecordFault(records[i]);
        if (!fault.empty()) {
            writeDebugDetail("loadScoreFile: the score file " + storeFilePath(scoreFileName) + " is damaged: lesson " +
                             std::to_string(i + 1) + " " + fault);
            stopProgram(0, stopScoreFileDamaged);
        }
    }
    for (int32_t i = 0; i < scoreLessonCount; ++i) scoreRecords[i + 1] = records[i];
    savedScoreImage = std::move(image);
}

std::string scoreRecordFault(const ScoreRecord &r)
{
    for (int32_t k = 1; k <= 10; ++k) {
        const ScoreUserEntry &e = r.entries[k - 1];
        const std::string entry = "key " + std::to_string(k) + " field ";
        if (e.skipIntro > 1) return entry + "skipIntro value " + std::to_string(e.skipIntro);
        if (e.best < 0) return entry + "best value " + std::to_string(e.best);
        if (e.tessitura < 0 || e.tessitura > 3) return entry + "tessitura value " + std::to_string(e.tessitura);
    }
    if (r.referenceScore < 0) return "field referenceScore value " + std::to_string(r.referenceScore);
    if (r.lessonBest < 0) return "field lessonBest value " + std::to_string(r.lessonBest);
    if (r.holderKey < 0 || r.holderKey > 10) return "field holderKey value " + std::to_string(r.holderKey);
    if (r.holderTessitura < 0 || r.holderTessitura > 3)
        return "field holderTessitura value " + std::to_string(r.holderTessitura);
    return std::string();
}

void saveScoreFile()
{
    if (deferStoreSave(saveScoreFile)) return;
    std::vector<uint8_t> image = scoreImage();
    if (savedScoreImage.size() != image.size()) savedScoreImage.assign(image.size(), 0); // never loaded: all of it
    stageChangedBytes(scoreStoreFile, savedScoreImage, image);
    savedScoreImage = std::move(image);
    commitStoreWrites();
}

int32_t scoreRatingFor(int32_t score, int32_t reference)
{
    const double r = reference;
    const double b1 = roundNearest(r / 10.0);
    const double b2 = roundNearest(r / 3.0);
    const double b3 = roundNearest((r / 3.0) * 2.0);
    const double b4 = roundNearest(r * 0.9);
    if (score < b1) return 0;
    if (score < b2) return 1;
    if (score < b3) return 2;
    if (score < b4) return 3;
    return 4;
}

void ratingForScore(int32_t score, int32_t lesson, int32_t &rating)
{
    rating = validLesson(lesson) ? scoreRatingFor(score, scoreRecords[lesson].referenceScore) : 0;
}

int32_t getUserScore(int32_t lesson, int32_t key)
{
    if (!validLesson(lesson) || !validKey(key)) return 0;
    return scoreRecords[lesson].entries[key - 1].best;
}

int32_t getUserScoreRating(int32_t lesson, int32_t key, int32_t &tessitura, int32_t &rating)
{
    tessitura = 0;
    rating = 0;
    if (!validLesson(lesson) || !validKey(key)) return 0;
    const ScoreUserEntry &e = scoreRecords[lesson].entries[key - 1];
    tessitura = e.tessitura;
    rating = scoreRatingFor(e.best, scoreRecords[lesson].referenceScore);
    return e.best;
}

int32_t getLessonBest(int32_t lesson, int32_t &holderKey, int32_t &holderTessitura, int32_t &rating,
                      std::string &holderName)
{
    holderKey = 0;
    holderTessitura = 0;
    rating = 0;
    holderName.clear();
    if (!validLesson(lesson)) return 0;
    const ScoreRecord &r = scoreRecords[lesson];
    holderKey = r.holderKey;
    holderTessitura = r.holderTessitura;
    rating = scoreRatingFor(r.lessonBest, r.referenceScore);
    int32_t slot = userSlotForKey(r.holderKey);
    if (slot >= 0) holderName = userRecords[slot].name;
    return r.lessonBest;
}

uint8_t getSkipIntroFlag(int32_t lesson, int32_t key)
{
    if (!validLesson(lesson) || !validKey(key)) return 0;
    return scoreRecords[lesson].entries[key - 1].skipIntro;
}

void setSkipIntroFlag(int32_t lesson, int32_t key, uint8_t flag)
{
    if (!validLesson(lesson) || userSlotForKey(key) < 0) return;
    scoreRecords[lesson].entries[key - 1].skipIntro = flag;
    saveScoreFile();
}

bool recordScore(int32_t lesson, int32_t key, int32_t tessitura, int32_t score)
{
    // Only a present user can hold a score: a lesson best must always name one.
    if (!validLesson(lesson) || userSlotForKey(key) < 0) return false;
    ScoreRecord &r = scoreRecords[lesson];
    ScoreUserEntry &e = r.entries[key - 1];
    if (e.best > score) return false;
    e.best = score;
    e.tessitura = tessitura;
    bool newLessonBest = false;
    if (r.lessonBest < score) {
        r.lessonBest = score;
        r.holderKey = key;
        r.holderTessitura = tessitura;
        newLessonBest = true;
    }
    saveScoreFile();
    return newLessonBest;
}

void clearScoreEntriesOfKey(int32_t key)
{
    if (!validKey(key)) return;
    for (int32_t lesson = 1; lesson <= scoreLessonCount; ++lesson) scoreRecords[lesson].entries[key - 1] = ScoreUserEntry{};
}

void reassignLessonBestsOfKey(int32_t key)
{
    if (!validKey(key)) return;
    for (int32_t lesson = 1; lesson <= scoreLessonCount; ++lesson) {
        ScoreRecord &r = scoreRecords[lesson];
        if (r.holderKey != key) continue;
        int32_t best = 0, holder = 0, holderTessitura = 0;
        for (int32_t k = 1; k <= 10; ++k) {
            if (k == key) continue;
            const ScoreUserEntry &e = r.entries[k - 1];
            if (e.best > best) {
                best = e.best;
                holder = k;
                holderTessitura = e.tessitura;
            }
        }
        r.lessonBest = best;
        r.holderKey = holder;
        r.holderTessitura = holderTessitura;
    }
}
