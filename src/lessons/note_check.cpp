#include "lessons/note_check.h"

#include <cmath>
#include <cstdio>

#include "base/rounding.h"
#include "music/notes.h"

namespace {

double bandFactor(double bandCents) { return std::pow(2.0, bandCents / 1200.0); }

} // namespace

int32_t classifySungPitch(int32_t bandCents, double sungHz, double targetHz)
{
    const double factor = bandFactor(bandCents);
    const double upper = targetHz * factor;
    if (targetHz / factor < sungHz && sungHz < upper) return 2;
    if (sungHz >= upper) return 3;
    return sungHz > 55.0 ? 1 : 0;
}

bool lastSamplesWithinTolerance(const double *samples, int32_t n, double meanLimitCents, double bandCents,
                                double targetHz)
{
    const double factor = bandFactor(bandCents);
    const double lower = targetHz / factor, upper = targetHz * factor;
    double sum = 0.0;
    for (int32_t i = 58; i >= 59 - n; --i) {
        const double s = samples[i];
        if (!(lower <= s && s <= upper)) return false; // a no-pitch code lies far below
        sum += centsOfHz(s);
    }
    const double mean = sum / n;
    const double target = centsOfHz(targetHz);
    return target - meanLimitCents <= mean && mean <= target + meanLimitCents;
}

int32_t checkBlockRatingOf(double hz, double targetHz)
{
    const double factor = bandFactor(50);
    if (hz > targetHz * factor) return 3;
    if (hz >= targetHz / factor) return 2;
    return 1;
}

double checkTraceX(double x0, double block) { return x0 + 120.0 * block / 43.06640625; }

int32_t slidingNoteX(int32_t frame) { return roundToInt32(780.0 - (frame - 40) / 15.0 * 80.0); }

std::string optionsTitle(int32_t lesson)
{
    if (lesson < 2 || lesson > 65) return "";
    static const int32_t sensitivities[11] = {480, 220, 120, 75, 50, 33, 25, 20, 16, 12, 7};
    static const int32_t counts[6] = {2, 3, 5, 8, 12, 18};
    const int32_t k = lesson - 2;
    char s[8];
    std::snprintf(s, sizeof s, "%3d", sensitivities[k / 6]);
    return std::string("Select Options: PitchSensitivity ") + s + " %, " + std::to_string(counts[k % 6]) + " notes ";
}

std::string noteCountLine(int32_t chosenCount)
{
    return (chosenCount < 8 ? "Select notes you can sing easily: " : "Click Go or deselect a note: ") +
           std::to_string(chosenCount);
}

std::string dialogCountLine(int32_t state, int32_t chosenCount)
{
    if (state == 1) return noteCountLine(chosenCount);
    return "Select the notes to include in the test by clicking on the desired notes: " + std::to_string(chosenCount);
}

std::string keyNoteName(int32_t note) { return noteNameInTable(0, note); }
