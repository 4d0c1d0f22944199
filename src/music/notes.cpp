#include "music/notes.h"

#include <cmath>

#include "base/stops.h"

namespace {

constexpr int32_t stopBadNoteName = 18023;

// Tonic pitch classes (from A) per key: major, relative minor.
constexpr int32_t majorTonic[keyCount] = {3, 5, 4, 7, 6, 8, 10, 9, 0, 11, 2, 1, 4, 2, 9};
constexpr int32_t minorTonic[keyCount] = {0, 2, 1, 4, 3, 5, 7, 6, 9, 8, 11, 10, 1, 11, 6};

constexpr int32_t keyNameTable[keyCount] = {
    namesSharps, namesSharps, namesFlats, namesSharps, namesFlats, namesFlats, namesSharps,
    namesFlatsWithCb, namesSharps, namesFlats, namesSharps, namesFlats, namesSharpsWithEsBs,
    namesFlatsWithCbFb, namesSharpsWithEs};

} // namespace

bool isFlatKey(int32_t key)
{
    switch (key) {
    case 2: case 4: case 5: case 7: case 9: case 11: case 13: return true;
    default: return false;
    }
}

int32_t nameTableForKey(int32_t key)
{
    if (key < 0 || key >= keyCount) return -1;
    return keyNameTable[key];
}

std::string noteNameInTable(int32_t table, int32_t note)
{
    if (table < 0 || table >= nameTableCount || note < 0 || note > noteB7) return std::string();
    const int32_t pitchClass = note % 12;
    int32_t octave = (note + 9) / 12 + 1;
    const char *spelling = pitchClassSpellings[table][pitchClass];
    // A written B# belongs to the octave below the C it sounds as, a written
    // Cb to the octave above the B.
    if (spelling[0] == 'B' && spelling[1] == '#') octave -= 1;
    if (spelling[0] == 'C' && spelling[1] == 'b') octave += 1;
    std::string name(spelling);
    name += static_cast<char>('0' + octave);
    return name;
}

int32_t staffValueOfNote(int32_t note)
{
    if (note < 0) return 5 * (note + 3);
    if (note >= 111) return 5 * note;
    const int32_t pc = note % 12;
    return 5 * (note + 4 + 2 * (note / 12) + (pc >= 3 ? 1 : 0) + (pc >= 8 ? 1 : 0));
}

int32_t noteOfStaffValue(int32_t value)
{
    // The C and F positions divided by 5; each one passed adds a half step
    // that belongs to no note.
    static constexpr int32_t thresholds[18] = {8,  14, 22, 28, 36,  42,  50,  56,  64,
                                               70, 78, 84, 92, 98, 106, 112, 120, 126};
    const int32_t q = value / 5;
    if (q < 0) return q;
    int32_t passed = 0;
    for (int32_t t : thresholds)
        if (t <= q) ++passed;
    return q - 4 - passed;
}

int32_t staffSlotForKey(int32_t value, int32_t key, char &mark)
{
    if (value % 2 != 0) {
        if (isFlatKey(key)) {
            mark = accidentalFlat;
            return value + 5;
        }
        mark = accidentalSharp;
        return value - 5;
    }
    mark = accidentalNone;
    return value;
}

void spelledNoteName(int32_t key, int32_t note, std::string &name)
{
    const int32_t table = nameTableForKey(key);
    if (table < 0) return;
    name = noteNameInTable(table, note);
}

int32_t tryParseNoteName(const std::string &name)
{
    if (name.empty()) return -1;
    int32_t letter;
    switch (name[0]) {
    case 'A': letter = 0; break;
    case 'B': letter = 2; break;
    case 'C': letter = 3; break;
    case 'D': letter = 5; break;
    case 'E': letter = 7; break;
    case 'F': letter = 8; break;
    case 'G': letter = 10; break;
    default: return -1;
    }
    size_t digitPos = 1;
    int32_t shift = 0;
    if (name.size() > 1 && (name[1] == '#' || name[1] == 'b')) {
        shift = name[1] == '#' ? 1 : -1;
        digitPos = 2;
    }
    if (digitPos >= name.size()) return -1;
    const char digit = name[digitPos];
    if (digit < '1' || digit > '7') return -1;
    const int32_t octave = digit - '0';
    int32_t n = letter <= 2 ? letter + (octave - 1) * 12 : letter + (octave - 2) * 12;
    n += shift;
    if (n < 0 || n > noteB7) return -1;
    return n;
}

int32_t parseNoteName(const std::string &name)
{
    const int32_t n = tryParseNoteName(name);
    if (n < 0) {
        writeDebugDetail("parseNoteName: name=" + name.substr(0, 255));
        stopProgram(0, stopBadNoteName);
    }
    return n;
}

int32_t keyTonicPitchClass(bool minor, int32_t key)
{
    if (key < 0 || key >= keyCount) return minor ? 0 : 3;
    return minor ? minorTonic[key] : majorTonic[key];
}

double centsOfHz(double hz) { return 1200.0 * std::log(hz) / std::log(2.0); }
