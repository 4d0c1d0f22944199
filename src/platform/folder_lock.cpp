#include "platform/folder_lock.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/stops.h"
#include "platform/paths.h"

void lockDataFolderOrExit(const std::string &folder)
{
    const std::string path = resolveDataPath(folder + "/ResourceFiles/Tarnova.lock");
    // The descriptor stays open for the program's life: closing it would
    // release the lock. Close-on-exec keeps child programs (the file chooser)
    // from holding it after this program ended.
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        const int why = errno;
        // No ResourceFiles folder: nothing to guard, the debug log's creation
        // reports the folder.
        struct stat st;
        const std::string resources = resolveDataPath(folder + "/ResourceFiles");
        if (why == ENOENT && ::stat(resources.c_str(), &st) != 0) return;
        // A lock file that cannot be opened (read-only, immutable, not a
        // file) would leave the folder unguarded: a second program could
        // then overwrite what this one saves. Do not run.
        std::fprintf(stderr, "Tarnova: cannot lock the data folder %s: the lock file %s cannot be opened for writing (%s)\n",
                     folder.c_str(), path.c_str(), systemErrorText(why).c_str());
        std::fflush(stderr);
        _exit(dataFolderInUseExitCode);
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) {
            std::fprintf(stderr, "Tarnova: another program is using the data folder %s\n", folder.c_str());
            std::fflush(stderr);
            _exit(dataFolderInUseExitCode);
        }
        return; // a file system without locks: run unlocked as before
    }
}
