// The desktop's file chooser as a blocking child process: zenity, or kdialog
// when zenity is not installed. The program waits for it (no frames are drawn
// meanwhile) and takes the chosen path from its output. Arguments go straight
// to exec, never through a shell.
#pragma once
#include <string>
#include <vector>

struct FileFilter {
    std::string description; // "wav files (*.wav)"
    std::string pattern;     // "*.wav"
};

struct FileDialogRequest {
    bool save = false;            // save: the file may be new; open: it must exist
    std::string title;
    std::vector<FileFilter> filters;
    std::string defaultName;      // proposed file name (save dialogs)
    std::string initialFolder;    // native path of the folder to open in; may be empty
};

// Shows the chooser and returns the chosen path; empty when the user cancels,
// no chooser is installed, it cannot be started, or the path is longer than
// maxPath characters (a cut path would name another file). noChooser, when
// given, tells whether the empty result came from neither chooser starting.
std::string runFileChooser(const FileDialogRequest &request, size_t maxPath = 255,
                           bool *noChooser = nullptr);

// The argument vectors (program name first) for each chooser.
std::vector<std::string> zenityArguments(const FileDialogRequest &request);
std::vector<std::string> kdialogArguments(const FileDialogRequest &request);

// Full path of an executable found on PATH; empty when there is none.
std::string findOnPath(const std::string &program);

// Runs a program with arguments, waits for it, and returns its standard output
// when it exits with status 0; false otherwise. notStarted, when given, tells
// whether the program could not be started at all (fork or exec failed).
bool runAndCapture(const std::string &path, const std::vector<std::string> &args, std::string &out,
                   bool *notStarted = nullptr);
