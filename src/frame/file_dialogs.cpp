// The program's three file choosers.
#include "frame/file_dialogs.h"

#include "base/shared.h"
#include "platform/file_dialog.h"
#include "platform/paths.h"

#include <cstdio>

static const FileFilter allFiles = {"All files (*.*)", "*.*"};

// Whether the last chooser found no chooser program to start.
static bool lastChooserMissing = false;

static std::string runChooser(const FileDialogRequest &r)
{
    const std::string path = runFileChooser(r, 255, &lastChooserMissing);
    if (lastChooserMissing)
        std::fprintf(stderr, "%s\n", noFileChooserMessage);
    return path;
}

std::string emptyChoiceMessage(const std::string &cancelText)
{
    return lastChooserMissing ? noFileChooserMessage : cancelText;
}

std::string chooseMidiOrKaraokeFile()
{
    FileDialogRequest r;
    r.save = false;
    r.title = "Choose Midi or Karaoke File";
    // Its only caller imports the exported statistics, a text file.
    r.filters = {{"Text Files (*.txt)", "*.txt"}, allFiles};
    // Opens in the documents folder, where the user keeps files, rather than
    // at the root of the file system.
    r.initialFolder = nativePath(documentsDir);
    return runChooser(r);
}

std::string chooseRecordingSaveFile(const std::string &folder)
{
    FileDialogRequest r;
    r.save = true;
    r.title = "Save Recording as .wav";
    r.filters = {{"wav files (*.wav)", "*.wav"}, allFiles};
    r.defaultName = "soundout.wav";
    r.initialFolder = nativePath(folder);
    return runChooser(r);
}

std::string chooseSaveFileAs(const std::string &folder, const std::string &defaultName,
                             int32_t extension, const std::string &title,
                             const std::string &filterDescription)
{
    std::string pattern = "*.";
    for (int i = 0; i < 3; ++i) {
        const char c = char((uint32_t(extension) >> (8 * i)) & 0xFF);
        if (c == 0)
            break;
        pattern += c;
    }
    FileDialogRequest r;
    r.save = true;
    r.title = title;
    r.filters = {{filterDescription, pattern}, allFiles};
    r.defaultName = defaultName.substr(0, defaultName.find('\0'));
    r.initialFolder = nativePath(folder);
    return runChooser(r);
}
