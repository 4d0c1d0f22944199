#include "music/chords.h"

namespace {

constexpr const char *sharpRoots[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
constexpr const char *flatRoots[12] = {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"};
constexpr const char *basicSuffixes[5] = {"", "m", "7", "X", "m7"};
constexpr const char *extendedSuffixes[8] = {"dim", "aug", "dim7", "Maj7", "aug7", "+M7", "m7b5", "mM7"};

std::string chordSymbol(int32_t chord, const char *const roots[12])
{
    if (chord >= basicChordFirst && chord <= basicChordLast) {
        const int32_t k = chord - basicChordFirst;
        return std::string(roots[k / 5]) + basicSuffixes[k % 5];
    }
    if (chord >= extendedChordFirst && chord <= extendedChordLast) {
        const int32_t k = chord - extendedChordFirst;
        return std::string(roots[k / 8]) + extendedSuffixes[k % 8];
    }
    return "None";
}

} // namespace

int32_t chordIdFromSymbol(const std::string &symbol)
{
    if (symbol.empty()) return chordNone;
    for (int32_t root = 0; root < 12; ++root) {
        for (const char *const *roots : {sharpRoots, flatRoots}) {
            const std::string rootName = roots[root];
            if (symbol.compare(0, rootName.size(), rootName) != 0) continue;
            const std::string suffix = symbol.substr(rootName.size());
            for (int32_t kind = 0; kind < 5; ++kind)
                if (suffix == basicSuffixes[kind]) return basicChordFirst + 5 * root + kind;
            for (int32_t kind = 0; kind < 8; ++kind)
                if (suffix == extendedSuffixes[kind]) return extendedChordFirst + 8 * root + kind;
        }
    }
    return chordNone;
}

std::string chordSymbolSharp(int32_t chord) { return chordSymbol(chord, sharpRoots); }

std::string chordSymbolFlat(int32_t chord) { return chordSymbol(chord, flatRoots); }
