// Linux stand-ins for the shell-folder lookups and file naming.
//
// The program builds its paths with "\" separators, the way its data folders
// and store names are written; nativePath turns them into "/". Data files are
// looked up case-insensitively inside their folder when the exact name is
// missing, so "Lesson7" and "lesson7" name the same folder.
#pragma once
#include <string>

// $XDG_DATA_HOME, or $HOME/.local/share; no trailing separator. Empty when
// neither is known.
std::string applicationDataFolder();

// The XDG documents folder (user-dirs.dirs), else $HOME/Documents when it
// exists, else $HOME.
std::string documentsFolder();

// "\" -> "/", and runs of "/" folded to one.
std::string nativePath(const std::string &path);

// nativePath, then: when the path does not exist, each missing component is
// matched case-insensitively against its folder's entries. A missing last
// component (a file about to be created) keeps its name inside the folders
// found; a missing folder on the way gives the native path unchanged.
std::string resolveDataPath(const std::string &path);

bool fileExists(const std::string &path);
