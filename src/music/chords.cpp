#include "music/chords.h"

#include "music/notes.h"

namespace {

constexpr const char *basicSuffixes[5] = {"", "m", "7", "X", "m7"};
constexpr const char *extendedSuffixes[8] = {"dim", "aug", "dim7", "Maj7", "aug7", "+M7", "m7b5", "mM7"};

// Chord roots count pitch classes from C; the spelling tables count from A.
const char *rootName(int32_t table, int32_t root) { return pitchClassSpellings[table][(root + 3) % 12]; }

std::string chordSymbol(int32_t chord, int32_t table)
{
    if (chord >= basicChordFirst && chord <= basicChordLast) {
        const int32_t k = chord - basicChordFirst;
        return std::string(rootName(table, k / 5)) + basicSuffixes[k % 5];
    }
    if (chord >= extendedChordFirst && chord <= extendedChordLast) {
        const int32_t k = chord - extendedChordFirst;
        return std::string(rootName(table, k / 8)) + extendedSuffixes[k % 8];
    }
    return "None";
}

} // namespace

int32_t chordIdFromSymbol(const std::string &symbol)
{
    if (symbol.empty()) return chordNone;
    for (int32_t root = 0; root < 12; ++root) {
        for (int32_t table : {namesSharps, namesFlats}) {
            const std::string name = rootName(table, root);
            if (symbol.compare(0, name.size(), name) != 0) continue;
            const std::string suffix = symbol.substr(name.size());
            for (int32_t kind = 0; kind < 5; ++kind)
                if (suffix == basicSuffixes[kind]) return basicChordFirst + 5 * root + kind;
            for (int32_t kind = 0; kind < 8; ++kind)
                if (suffix == extendedSuffixes[kind]) return extendedChordFirst + 8 * root + kind;
        }
    }
    return chordNone;
}

std::string chordSymbolSharp(int32_t chord) { return chordSymbol(chord, namesSharps); }

std::string chordSymbolFlat(int32_t chord) { return chordSymbol(chord, namesFlats); }
