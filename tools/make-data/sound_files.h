// Writing generated sounds to disk (16-bit PCM WAV, Ogg Vorbis) and rendering
// spoken words with espeak-ng. Each returns false after putting the reason
// into error.
#pragma once
#include "sound_synth.h"

#include <cstdint>
#include <string>

bool writeWavFile(const std::string &path, const Samples &samples, std::string &error);

// rate: the samples' rate in Hz (synthRate, or synthRate / 2 after
// halveRate). quality: libvorbisenc's VBR quality (-0.1 .. 1.0). serial: the
// Ogg stream serial number; fixed per file so the output is the same on every run.
bool writeOggVorbisFile(const std::string &path, const Samples &samples, int rate, float quality,
                        int serial, std::string &error);

// Speaks text with espeak-ng (voice, words per minute), resampled to 44100 Hz,
// leading and trailing silence trimmed, short fades, peak at 0.7.
// scratchPath: a file name the WAV from espeak-ng may be written to.
bool speakText(const std::string &text, const std::string &voice, int wordsPerMinute,
               const std::string &scratchPath, Samples &out, std::string &error);

// The trimming used for speech: drops the quiet head and tail (below 2.5% of
// the peak), keeping 3 ms before the first and 20 ms after the last loud sample.
Samples trimSilence(const Samples &s);

// Doubles the sample rate with a windowed-sinc interpolator.
Samples upsampleTwice(const Samples &s);

// Halves the sample rate: a windowed-sinc low-pass at 9.5 kHz, then every
// second sample. For sounds whose content lies below that.
Samples halveRate(const Samples &s);
