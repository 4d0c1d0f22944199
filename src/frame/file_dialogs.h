// The three file choosers of the program. Each returns the chosen full path
// (at most 255 characters), or the empty text when the user cancels or no
// chooser can be shown.
#pragma once
#include <cstdint>
#include <string>

// The alert line when neither chooser program can be started; the same line
// goes to standard error.
inline constexpr const char *noFileChooserMessage = "No file chooser found: please install zenity";

// The alert for an empty chooser result: noFileChooserMessage when the last
// chooser found no chooser program, else the caller's cancel text.
std::string emptyChoiceMessage(const std::string &cancelText);

// Open: a statistics file to import ("Choose Midi or Karaoke File"); lists
// text files first, then all files.
std::string chooseMidiOrKaraokeFile();
// Save: the WAV export of a recording ("Save Recording as .wav", "soundout.wav").
std::string chooseRecordingSaveFile(const std::string &folder);
// Save with the caller's title, default name and filter: extension holds three
// characters, the first in the lowest byte ("txt" = 't' | 'x' << 8 | 't' << 16).
std::string chooseSaveFileAs(const std::string &folder, const std::string &defaultName,
                             int32_t extension, const std::string &title,
                             const std::string &filterDescription);

// Packs a three-letter extension the way chooseSaveFileAs takes it.
constexpr int32_t packExtension(char a, char b, char c)
{
    return int32_t(uint8_t(a)) | int32_t(uint8_t(b)) << 8 | int32_t(uint8_t(c)) << 16;
}
