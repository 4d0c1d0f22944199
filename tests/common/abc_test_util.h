// Reads tune text through a temporary file into arrays of a test's own.
#pragma once
#include <cstdio>
#include <unistd.h>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "music/abc_reader.h"

struct TestTune {
    std::vector<AbcNoteRecord> rec = std::vector<AbcNoteRecord>(abcMaxRecordIndex + 1);
    std::vector<BeatRecord> beats = std::vector<BeatRecord>(abcMaxBeatIndex + 1);
    int32_t count = 0, lastBeat = 0, key = -1, minor = -1, num = 4, den = 0, tempo = -1, pickup = -1;
    std::string title, composer, source;
};

inline std::string writeTuneFile(const std::string &text)
{
    static int serial = 0;
    const std::string path = testTempRoot() + "tune_" + std::to_string(getpid()) + "_" + std::to_string(++serial) + ".txt";
    std::FILE *f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return path;
}

// The reader's arguments that fill a test's tune from `fileName`.
inline AbcTuneRead tuneRead(TestTune &t, const std::string &fileName, int32_t capacity = abcMaxRecordIndex,
                            int32_t beatCapacity = abcMaxBeatIndex, int32_t tessitura = 0)
{
    return {.fileName = fileName,
            .tessitura = tessitura,
            .records = t.rec.data(),
            .capacity = capacity,
            .count = &t.count,
            .beats = t.beats.data(),
            .beatCapacity = beatCapacity,
            .lastBeatIndex = &t.lastBeat,
            .keyIndex = &t.key,
            .minor = &t.minor,
            .meterNumerator = &t.num,
            .meterDenominator = &t.den,
            .tempo = &t.tempo,
            .pickup = &t.pickup,
            .title = &t.title,
            .composer = &t.composer,
            .source = &t.source};
}

inline TestTune readTune(const std::string &text, int32_t capacity = abcMaxRecordIndex,
                         int32_t beatCapacity = abcMaxBeatIndex, int32_t tessitura = 0)
{
    TestTune t;
    readAbcTuneFile(tuneRead(t, writeTuneFile(text), capacity, beatCapacity, tessitura));
    return t;
}
