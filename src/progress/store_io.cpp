#include "progress/store_io.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "base/shared.h"
#include "base/stops.h"
#include "platform/paths.h"
#include "progress/score_file.h"
#include "progress/users_file.h"

static int32_t groupDepth = 0;
static bool usersSaveWanted = false;
static bool scoreSaveWanted = false;

static int32_t faultKind = 0;
static int64_t faultAfterBytes = 0;
static bool faultArmed = false; // applies to the write in progress

static std::map<std::string, int64_t> writeCounts;

void beginStoreUpdate() { ++groupDepth; }

void endStoreUpdate()
{
    if (groupDepth == 0) return;
    if (--groupDepth > 0) return;
    if (usersSaveWanted) {
        usersSaveWanted = false;
        saveUsersFiles();
    }
    if (scoreSaveWanted) {
        scoreSaveWanted = false;
        saveScoreFile();
    }
}

bool storeUpdateOpen() { return groupDepth > 0; }

bool deferStoreSave(StoreFileId file)
{
    if (groupDepth == 0) return false;
    if (file == usersStoreFiles) usersSaveWanted = true;
    if (file == scoreStoreFile) scoreSaveWanted = true;
    return true;
}

std::string storeFilePath(const char *resourceName)
{
    if (userDataDir.empty()) return std::string();
    return resolveDataPath(userDataDir + "ResourceFiles\\" + resourceName);
}

static std::string baseName(const std::string &path)
{
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

static std::string folderOf(const std::string &path)
{
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool beginAtomicWrite(AtomicWrite &w, const std::string &path)
{
    w.path = path;
    w.tempPath = path + ".tmp";
    w.written = 0;
    w.failed = false;
    faultArmed = faultKind != 0;
    w.fd = ::open(w.tempPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (w.fd < 0) {
        w.failed = true;
        return false;
    }
    return true;
}

bool storeWriteBytes(AtomicWrite &w, const void *data, std::size_t size)
{
    if (w.failed) return false;
    const char *p = static_cast<const char *>(data);
    while (size > 0) {
        std::size_t chunk = size;
        if (faultArmed) {
            int64_t room = faultAfterBytes - w.written;
            if (room <= 0) {
                if (faultKind == 2) _exit(86); // dies like a crash: no clean-up at all
                faultKind = 0;
                faultArmed = false;
                w.failed = true;
                errno = ENOSPC;
                return false;
            }
            if (static_cast<int64_t>(chunk) > room) chunk = static_cast<std::size_t>(room);
        }
        ssize_t n = ::write(w.fd, p, chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            w.failed = true;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
        w.written += n;
    }
    return true;
}

bool syncAtomicWrite(AtomicWrite &w)
{
    if (w.failed || w.fd < 0) return false;
    bool ok = ::fsync(w.fd) == 0;
    ok = (::close(w.fd) == 0) && ok;
    w.fd = -1;
    if (!ok) w.failed = true;
    return ok;
}

bool commitAtomicWrite(AtomicWrite &w)
{
    if (w.failed) return false;
    if (::rename(w.tempPath.c_str(), w.path.c_str()) != 0) {
        w.failed = true;
        return false;
    }
    // Make the new name itself durable; a folder that cannot be synced
    // (some file systems refuse) still holds the complete new file.
    int dir = ::open(folderOf(w.path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    ++writeCounts[baseName(w.path)];
    return true;
}

bool finishAtomicWrite(AtomicWrite &w) { return syncAtomicWrite(w) && commitAtomicWrite(w); }

void abandonAtomicWrite(AtomicWrite &w)
{
    if (w.fd >= 0) {
        ::close(w.fd);
        w.fd = -1;
    }
    if (!w.tempPath.empty()) ::unlink(w.tempPath.c_str());
    w.failed = true;
}

bool storeReadBytes(int fd, void *buffer, std::size_t size, std::size_t &got)
{
    char *p = static_cast<char *>(buffer);
    got = 0;
    while (got < size) {
        ssize_t n = ::read(fd, p + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

void loadStoreImage(const char *resourceName, std::size_t size, std::vector<uint8_t> &image, int32_t stopName,
                    int32_t stopOpen, int32_t stopRead)
{
    std::string path = storeFilePath(resourceName);
    if (path.empty()) stopProgram(0, stopName);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) stopProgram(0, stopOpen);
    image.assign(size, 0);
    std::size_t got = 0;
    const bool ok = storeReadBytes(fd, image.data(), size, got);
    ::close(fd);
    if (!ok || got < size) stopProgram(0, stopRead);
}

void injectStoreWriteFault(int32_t kind, int64_t bytesBeforeFault)
{
    faultKind = kind;
    faultAfterBytes = bytesBeforeFault;
    faultArmed = false;
}

int64_t storeFilesWritten(const char *resourceName)
{
    auto it = writeCounts.find(resourceName);
    return it == writeCounts.end() ? 0 : it->second;
}
