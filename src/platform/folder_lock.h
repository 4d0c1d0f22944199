// One program per data folder.
//
// Two programs saving into one data folder would overwrite each other's
// store files. At start the program takes an exclusive lock (flock) on the
// lock file "ResourceFiles/Tarnova.lock" of the data folder, beside the store
// files, before it opens the debug log,
// and keeps it until it ends (the kernel releases it on any exit, a crash
// included). A second program on the same folder writes one line to standard
// error and exits with code 250 (numbered stops use 1..249), without writing
// anything in the data folder. A lock file that cannot be opened for writing
// (read-only, immutable, a folder) ends the program the same way, with a line
// naming the lock file and the reason: it never runs unguarded.
#pragma once
#include <string>

constexpr int dataFolderInUseExitCode = 250;

// `folder` is the data folder's native path. A folder without ResourceFiles
// is not locked here and nothing is created: the debug log's creation reports
// it.
void lockDataFolderOrExit(const std::string &folder);
