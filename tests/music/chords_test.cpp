#include "music/chords.h"

#include <gtest/gtest.h>

TEST(Chords, SymbolsToIds)
{
    struct Case { const char *symbol; int id; };
    const Case cases[] = {{"C", 160},      {"Bm7", 219},     {"C#", 165},      {"Db", 165},
                          {"Gbm", 191},    {"A#X", 213},     {"BbX", 213},     {"Cdim", 280},
                          {"Caug7", 284},  {"CMaj7", 283},   {"C#aug7", 292},  {"Dbaug7", 292},
                          {"D#aug7", 308}, {"F#aug7", 332},  {"BmM7", 375},    {"", 0},
                          {"H7", 0},       {"Cmaj7", 0},     {"Csus4", 0},     {"C7 ", 0},
                          {"am", 0},       {"A m", 0},       {"Cb", 0},        {"E#", 0}};
    for (const Case &c : cases) EXPECT_EQ(chordIdFromSymbol(c.symbol), c.id) << '"' << c.symbol << '"';
}

TEST(Chords, NamesRoundTripAndNoneOutsideTheRanges)
{
    EXPECT_EQ(chordSymbolSharp(201), "G#m");
    EXPECT_EQ(chordSymbolFlat(201), "Abm");
    EXPECT_EQ(chordSymbolSharp(293), "C#+M7"); // 280 + 8 + 5
    EXPECT_EQ(chordSymbolFlat(293), "Db+M7");
    for (int id : {0, 159, 220, 279, 376}) {
        EXPECT_EQ(chordSymbolSharp(id), "None");
        EXPECT_EQ(chordSymbolFlat(id), "None");
    }
    int named = 0;
    for (int id = 0; id < 400; ++id) {
        const std::string s = chordSymbolSharp(id);
        if (s == "None") continue;
        ++named;
        EXPECT_EQ(chordIdFromSymbol(s), id);
        EXPECT_EQ(chordIdFromSymbol(chordSymbolFlat(id)), id);
    }
    EXPECT_EQ(named, 156);
}
