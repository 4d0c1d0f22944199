// Every pitched sample the data generator writes for the sound bank (flute,
// male voice and sine, C2 to C6, the flat spellings too) is read by the pitch
// detector at its note's frequency: decoded, doubled from its stored 22050 Hz
// to 44100 Hz as a player would, and run block by block as a capturing screen
// does. These are the notes the program plays as references, so the detector
// must agree with them.
#include "sound/pitch_detector.h"
#include "sound/sound_bank.h"
#include "sound/sound_layer.h"
#include "music/notes.h"
#include "common/generated_data.h"

#include "../../tools/pitchscan/voice_signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<int16_t> decodeAt44100(const std::string &file)
{
    static std::vector<uint8_t> bytes(sampleBufferBytes);
    int32_t size = 0, rate = 0;
    ALenum format = 0;
    decodeOggFile(file.c_str(), bytes.data(), int32_t(bytes.size()), size, rate, format);
    std::vector<int16_t> samples(size_t(size) / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return rate == 22050 ? voicesignals::doubleRate(samples) : samples;
}

struct BankRow {
    std::string sample;
    double hz;
    double medianCents; // over blocks 1.. that measured a pitch
    int32_t measured, blocks;
};

} // namespace

TEST(PitchBank, EveryBankNoteReadsWithinTwoCents)
{
    const std::string data = generatedData();

    std::vector<BankRow> table;
    for (int32_t id = 1; id <= soundIdCount; ++id) {
        const int32_t note = soundNoteIndex(id);
        if (note < 0) continue;
        const double hz = noteFrequencies[note];
        if (hz > 1050.0) continue; // flute notes above C6: no note key asks for them
        BankRow row{soundBankFileName(id), hz, 0.0, 0, 0};
        const auto blocks = voicesignals::runBlocks(decodeAt44100(data + "sounds/" + row.sample));
        std::vector<double> errors;
        for (size_t k = 1; k < blocks.size(); ++k)
            if (blocks[k].frequency > 10.0) errors.push_back(voicesignals::cents(blocks[k].frequency, hz));
        std::sort(errors.begin(), errors.end());
        row.measured = int32_t(errors.size());
        row.blocks = int32_t(blocks.size()) - 1;
        row.medianCents = errors.empty() ? 0.0 : errors[errors.size() / 2];
        table.push_back(row);
    }
    // 49 flute, 49 + 20 male and 49 sine notes.
    ASSERT_EQ(table.size(), 167u);
    for (const BankRow &row : table) {
        EXPECT_GE(row.measured, row.blocks * 3 / 4) << row.sample;
        EXPECT_LE(std::fabs(row.medianCents), 2.0)
            << row.sample << " (" << row.hz << " Hz) median " << row.medianCents << " cents";
    }
    if (HasFailure()) {
        for (const BankRow &row : table)
            std::printf("%-18s %8.2f Hz %+9.2f cents %d/%d blocks\n", row.sample.c_str(), row.hz,
                        row.medianCents, row.measured, row.blocks);
    }
}
