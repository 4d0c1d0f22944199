// The introductory lesson's sounds: the 212 voice clips but the exercise's
// two (1 and 3), and the loading music. The spoken clips say the text of the
// speech bubble they belong to (espeak-ng), paced to the teacher's talking
// time over the rows they are spoken over: spoken once at a normal pace, then
// again at the pace that fits. A remark in parentheses in a bubble ("(= 50
// cents)") is written, not spoken: the teacher's talking time is that of the
// sentence without it. The speaker runs for several clips at once. The teacher's sung
// "Fa" (88 right after the note, 89 the answer after the delay) is a sung
// vowel whose pitch follows the sample exercise's stored tracks frame by
// frame, so what is heard is what its plots show.
#include "intro_art.h"
#include "make_data.h"
#include "sound_files.h"
#include "sound_synth.h"

#include "intro/intro_tables.h"
#include "intro/speech_bubbles.h"
#include "intro/sample_exercise.h"
#include "music/notes.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <thread>

static constexpr const char *introVoice = "en-us+m3";
static constexpr double stepSeconds = 0.04644;
static constexpr int normalPace = 175;
// Ogg Vorbis at 22050 Hz, espeak-ng's own rate (half the program's): the
// speech keeps all of its band. Quality 0.7: compared with the rendering it
// came from (tools/clip-clarity), the log-spectral distance falls from 6.8 dB
// at quality 0 to 5.3 dB here, against 5.05 dB at the codec's best (1.0).
static constexpr float speechQuality = 0.7f;
static constexpr int clipSerialBase = 0x54630000;

struct ClipPlan {
    int clip = 0;
    std::string text;      // spoken text; empty: not spoken
    double seconds = 0;    // talking time to fit
};

// The teacher's talking time while the clip of a page row plays: from the
// row's first step to the end of the last talking span (spans and the 5-step
// rests between them) of every teacher row that starts within the page row
// (a clip may be spoken over two teacher rows); the whole row when the
// teacher only rests.
static double talkingSeconds(const IntroPageRow &row)
{
    const TeacherRow *rows = row.first < 1337 ? welcomeTeacherRows : laterTeacherRows;
    const int count = row.first < 1337 ? welcomeTeacherRowsCount : laterTeacherRowsCount;
    int talkingEnd = -1; // the step after the last talking step
    for (int i = 0; i < count; ++i) {
        const TeacherRow &t = rows[i];
        if (t.first < row.first || t.first > row.last || t.spanCount == 0) continue;
        int steps = 0;
        for (int k = 0; k < t.spanCount; ++k) steps += t.spans[k] + (k > 0 ? 5 : 0);
        talkingEnd = t.first + std::min(steps, t.last - t.first + 1);
    }
    const int steps = talkingEnd >= 0 ? std::min(talkingEnd, row.last + 1) - row.first : row.last - row.first + 1;
    return steps * stepSeconds;
}

static std::vector<ClipPlan> spokenClips()
{
    std::vector<ClipPlan> plans;
    for (const IntroPageRow &row : introPageRows) {
        if (row.clip < 4 || row.clip == 88 || row.clip == 89 || row.bubble == IntroBubble::none) continue;
        ClipPlan p;
        p.clip = row.clip;
        p.text = spokenBubbleText(row);
        p.seconds = std::max(0.4, talkingSeconds(row));
        plans.push_back(p);
    }
    plans.push_back({208, "Hmmm?", 0.8});
    return plans;
}

static bool speakFitted(const std::string &dir, const ClipPlan &p, Samples &out, std::string &error)
{
    const std::string scratch = dir + ".intro" + std::to_string(p.clip) + ".wav";
    if (!speakText(p.text, introVoice, normalPace, scratch, out, error)) return false;
    const double spoken = static_cast<double>(out.size()) / synthRate;
    if (std::abs(spoken - p.seconds) <= 0.08 * p.seconds) return true;
    // Within a normal pace: at most a fifth slower or a quarter faster. A clip
    // that would need more keeps that pace (the teacher's mouth stops a
    // little early or late), rather than a drawl or a gabble.
    const int pace = std::clamp(static_cast<int>(normalPace * spoken / p.seconds), normalPace * 4 / 5,
                                normalPace * 5 / 4);
    return speakText(p.text, introVoice, pace, scratch, out, error);
}

static bool writeClip(const std::string &dir, const ClipPlan &p, std::string &error)
{
    const std::string path = dir + introClipFileNames[p.clip];
    Samples s;
    if (!speakFitted(dir, p, s, error)) return false;
    if (p.clip >= firstWavClip) return writeWavFile(path, s, error);
    return writeOggVorbisFile(path, halveRate(s), synthRate / 2, speechQuality, clipSerialBase + p.clip, error);
}

// "He is a jolly good fellow" on a flute, twice.
static Samples loadingMusic()
{
    struct Note {
        int note;     // NoteIndex (27 C4, 29 D4, 31 E4, 32 F4, 34 G4, 22 G3)
        double beats; // eighths of the 6/8 bar
    };
    static constexpr Note melody[] = {{22, 1}, {31, 2}, {31, 1}, {31, 2}, {29, 1}, {31, 2}, {32, 1}, {31, 3},
                                      {31, 2}, {29, 1}, {29, 2}, {29, 1}, {29, 2}, {27, 1}, {29, 2}, {31, 1},
                                      {27, 3}, {27, 2}, {22, 1}, {31, 2}, {31, 1}, {31, 2}, {29, 1}, {31, 2},
                                      {32, 1}, {34, 3}, {34, 2}, {32, 1}, {31, 2}, {29, 1}, {27, 6}};
    const double eighth = 0.22;
    Samples music;
    for (int round = 0; round < 2; ++round)
        for (const Note &n : melody) {
            Samples s = fluteNote(noteFrequencies[n.note], n.beats * eighth, 4000 + n.note);
            music.insert(music.end(), s.begin(), s.end());
        }
    normalisePeak(music, 0.6);
    return music;
}

// The teacher singing one of the sample's pitch tracks: a voiced "ah" whose
// pitch in frame k (46.44 ms each) is track entry k - lead (the first entry
// before that), entries 0..last; the pitch glides over 10 ms between frames.
static Samples sungTrack(const double *track, int lead, int last)
{
    const double frameSeconds = sampleFrameMs / 1000.0;
    const int frames = last + lead + 1;
    const size_t n = static_cast<size_t>(frames * frameSeconds * synthRate);
    Samples s(n, 0.0f);
    auto pitchAt = [&](int frame) { return track[std::clamp(frame - lead, 0, last)]; };
    constexpr int harmonics = 24;
    double phase[harmonics + 1] = {};
    double hz = pitchAt(0);
    const double glide = 1.0 - std::exp(-1.0 / (0.010 * synthRate));
    for (size_t i = 0; i < n; ++i) {
        const int frame = static_cast<int>(static_cast<double>(i) / synthRate / frameSeconds);
        hz += (pitchAt(frame) - hz) * glide;
        double v = 0;
        for (int k = 1; k <= harmonics && hz * k < 10000; ++k) {
            phase[k] += 2 * M_PI * hz * k / synthRate;
            if (phase[k] > 2 * M_PI) phase[k] -= 2 * M_PI;
            v += formantGain(hz * k) / k * std::sin(phase[k]);
        }
        s[i] = static_cast<float>(v);
    }
    fadeEdges(s, 0.04, 0.12);
    normalisePeak(s, 0.7);
    return s;
}

bool makeIntroClips(const std::string &dataDir)
{
    const std::string dir = dataDir + "/sounds/";
    std::string error;
    auto fail = [&error] {
        std::fprintf(stderr, "tarnova-make-data: introduction clips: %s\n", error.c_str());
        return false;
    };
    // The non-spoken ones first.
    if (!writeOggVorbisFile(dir + introClipFileNames[2], countClick(0, 0x2c11c), synthRate, 0.2f, clipSerialBase + 2,
                            error))
        return fail();
    for (int k : {88, 89}) {
        Samples fa = k == 88 ? sungTrack(sampleTrainingTrack, 1, 44) : sungTrack(sampleTestTrack, 2, 101);
        if (!writeOggVorbisFile(dir + introClipFileNames[k], halveRate(fa), synthRate / 2, speechQuality,
                                clipSerialBase + k, error))
            return fail();
    }
    if (!writeOggVorbisFile(dir + "HeIsAJollyGoodFellow.ogg", loadingMusic(), synthRate, 0.3f, clipSerialBase + 0x999,
                            error))
        return fail();

    const std::vector<ClipPlan> plans = spokenClips();
    const int total = static_cast<int>(plans.size()) + 3; // and 2, 88, 89
    std::atomic<int> next{0}, done{3};
    std::atomic<bool> failed{false};
    std::mutex errorLock;
    const int workers = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 2, 8);
    std::vector<std::thread> pool;
    for (int w = 0; w < workers; ++w)
        pool.emplace_back([&] {
            for (int i = next++; i < static_cast<int>(plans.size()) && !failed; i = next++) {
                std::string e;
                if (!writeClip(dir, plans[i], e)) {
                    std::lock_guard<std::mutex> g(errorLock);
                    error = e;
                    failed = true;
                }
                ++done;
            }
        });
    int shown = -1;
    while (done < total && !failed) {
        if (done != shown) showProgress("introduction voice clips", shown = done, total);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    for (std::thread &t : pool) t.join();
    if (failed) return fail();
    showProgress("introduction voice clips", total, total);
    return true;
}
