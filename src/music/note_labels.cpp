#include "music/note_labels.h"

#include "base/rounding.h"
#include "music/notes.h"

namespace {

constexpr const char *solfegeSharps[12] = {"Do", "Di", "Re", "Ri", "Mi", "Fa", "Fi", "So", "Si", "La", "Li", "Ti"};
constexpr const char *solfegeFlats[12] = {"Do", "Ra", "Re", "Me", "Mi", "Fa", "Se", "So", "Le", "La", "Te", "Ti"};

} // namespace

void ledgerLinesForShownStaff(int32_t v, int32_t &count, int32_t &first)
{
    count = 0;
    if (v == 180) {
        count = 1;
        first = 160;
    } else if (v >= 300) {
        first = 280;
        count = v >= 320 ? 2 : 1;
    } else if (v <= 40) {
        count = 2;
        first = 20;
    } else if (v <= 60) {
        count = 1;
        first = 40;
    }
}

std::string solfegeName(bool flat, int32_t note)
{
    const int32_t p = positiveMod12(note + 9);
    return flat ? solfegeFlats[p] : solfegeSharps[p];
}

int32_t tupletNoteDurationMs(int32_t role, int32_t lengthUnits, double beatMs, int32_t n)
{
    const double plain = lengthUnits * beatMs / 16;
    if (role == 0 || n <= 0) return roundToInt32(plain);
    const double share = plain * 2 / n;
    if (role == 1 || role == 2) return roundToInt32(share);
    return roundToInt32(plain * 2) - (n - 1) * roundToInt32(share);
}
