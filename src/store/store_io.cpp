#include "store/store_io.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include "base/shared.h"
#include "base/stops.h"
#include "platform/paths.h"
#include "store/store_records.h"

// ---------------------------------------------------------------------------
// Groups and the transaction being built

struct StagedWrite {
    StoreFile file;
    uint64_t offset;
    std::vector<uint8_t> bytes;
};

static int32_t groupDepth = 0;
static std::vector<StoreSaver> wantedSavers;
static std::vector<StagedWrite> staged;
static bool collecting = false; // the outermost endStoreUpdate runs the savers
static bool commitInBackground = false; // the outermost end asked for the writer thread

static std::map<std::string, int64_t> writeCounts;

// The store files whose stale temporary files the start removes.
static constexpr const char *storeFileNames[] = {"UsersFile", "TimeLine", "ScoreFile"};
// The fixed size of each of storeFileNames.
static constexpr uint64_t storeFileSizes[] = {usersFileSize, timeLineFileSize, scoreFileSize};
static_assert(std::size(storeFileSizes) == std::size(storeFileNames));
static const char journalName[] = "StoreJournal";
// The files whose "<name>.tmp" a killed creation or save can leave: the store
// files and the replay recording (recording_file.h), saved the same way.
static constexpr const char *temporaryFileOwners[] = {"UsersFile", "TimeLine", "ScoreFile", "soundout.raw"};

// ---------------------------------------------------------------------------
// Fault injection and the I/O steps every store write goes through

static int32_t byteFaultKind = 0;
static int64_t byteFaultAfter = 0;
static int64_t bytesWrittenSinceArm = 0;
static int32_t stepFaultKind = 0;
static int64_t stepFaultAt = 0;
static int64_t stepsTaken = 0;

// Counts one I/O step; false when an injected fault makes it fail.
static bool takeStep()
{
    ++stepsTaken;
    if (stepFaultKind == 0 || stepsTaken != stepFaultAt) return true;
    if (stepFaultKind == 2) _exit(86); // dies like a crash or power loss: no clean-up
    stepFaultKind = 0;
    errno = EIO;
    return false;
}

// Writes all of `size` bytes (at `offset`, or at the file position when
// offset < 0), retrying interrupted and partial writes.
static bool writeAll(int fd, const uint8_t *p, std::size_t size, int64_t offset)
{
    if (!takeStep()) return false;
    while (size > 0) {
        std::size_t chunk = size;
        if (byteFaultKind != 0) {
            const int64_t room = byteFaultAfter - bytesWrittenSinceArm;
            if (room <= 0) {
                if (byteFaultKind == 2) _exit(86);
                byteFaultKind = 0;
                errno = ENOSPC;
                return false;
            }
            if (static_cast<int64_t>(chunk) > room) chunk = static_cast<std::size_t>(room);
        }
        const ssize_t n = offset < 0 ? ::write(fd, p, chunk) : ::pwrite(fd, p, chunk, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
        bytesWrittenSinceArm += n;
        if (offset >= 0) offset += n;
    }
    return true;
}

static bool syncFile(int fd) { return takeStep() && ::fsync(fd) == 0; }
static bool renameFile(const std::string &from, const std::string &to)
{
    return takeStep() && ::rename(from.c_str(), to.c_str()) == 0;
}
static bool unlinkFile(const std::string &path) { return takeStep() && ::unlink(path.c_str()) == 0; }

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

// Makes the folder's entries (a new name, a deleted journal) durable. Some
// file systems refuse to flush a folder; that is not a failure of the store.
static void syncFolderOf(const std::string &path)
{
    if (!takeStep()) return;
    int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);
    ::close(dir);
}

static bool readAllAt(int fd, uint8_t *p, std::size_t size, uint64_t offset)
{
    while (size > 0) {
        const ssize_t n = ::pread(fd, p, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

// ---------------------------------------------------------------------------
// The writer thread
//
// Work handed to it (a transaction committed in the background, the replay
// recording's file) runs there one piece at a time, in the order handed. The
// thread starts when work arrives and ends when none is left, so an idle
// program has none. Every other store access to the disk waits until it has
// ended (waitForStoreWrites), as does every end of the program (stops.h).

static std::mutex writerLock;
static std::condition_variable writerChanged;
static std::deque<std::function<void()>> writerQueue;
static bool writerRunning = false; // a writer thread exists
static std::thread::id writerId;   // that thread, once it runs
static bool writerHeld = false;    // test hook: it starts no work until a wait begins

static void runWriter()
{
    std::unique_lock<std::mutex> lock(writerLock);
    writerId = std::this_thread::get_id();
    for (;;) {
        writerChanged.wait(lock, [] { return !writerHeld; });
        if (writerQueue.empty()) break;
        std::function<void()> work = std::move(writerQueue.front());
        writerQueue.pop_front();
        lock.unlock();
        work();
        lock.lock();
    }
    writerRunning = false;
    writerId = std::thread::id();
    writerChanged.notify_all();
}

void runOnStoreWriter(std::function<void()> work)
{
    {
        std::lock_guard<std::mutex> lock(writerLock);
        setWorkBeforeProgramEnds(waitForStoreWrites);
        writerQueue.push_back(std::move(work));
        if (writerRunning) return;
        try {
            std::thread(runWriter).detach();
            writerRunning = true;
            return;
        } catch (const std::system_error &) {
            // No thread to be had: the work is done here and now instead.
            work = std::move(writerQueue.back());
            writerQueue.pop_back();
        }
    }
    work();
}

void waitForStoreWrites()
{
    std::unique_lock<std::mutex> lock(writerLock);
    if (!writerRunning || std::this_thread::get_id() == writerId) return;
    writerHeld = false;
    writerChanged.notify_all();
    writerChanged.wait(lock, [] { return !writerRunning; });
}

void holdStoreWriterUntilWaited()
{
    std::lock_guard<std::mutex> lock(writerLock);
    writerHeld = true;
}

// ---------------------------------------------------------------------------
// The journal's bytes
//
// Header (32 bytes): magic "TNVSTJ01", int32 entry count, 4 reserved, int64
// total length of the journal, 8 reserved. Each entry: a 48-byte head (the
// file's name as a length byte and up to 23 characters, int64 file size at
// 24, int64 offset at 32, int64 length at 40) followed by the old bytes.
// Trailer: the CRC-32 of every byte before it. Little-endian.

namespace {
constexpr char journalMagic[8] = {'T', 'N', 'V', 'S', 'T', 'J', '0', '1'};
constexpr std::size_t journalCountAt = 8;
constexpr std::size_t journalLengthAt = 16;
constexpr std::size_t journalHeaderSize = 32;
constexpr std::size_t entryNameAt = 0;
constexpr std::size_t entryNameCapacity = 23;
constexpr std::size_t entryFileSizeAt = 24;
constexpr std::size_t entryOffsetAt = 32;
constexpr std::size_t entryLengthAt = 40;
constexpr std::size_t entryHeadSize = 48;
constexpr std::size_t journalTrailerSize = 4;
static_assert(journalLengthAt + 8 <= journalHeaderSize);
static_assert(entryNameAt + 1 + entryNameCapacity == entryFileSizeAt && entryLengthAt + 8 == entryHeadSize);

void put64(uint8_t *p, uint64_t v)
{
    for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t get64(const uint8_t *p)
{
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
    return v;
}

uint32_t checksum(const uint8_t *p, std::size_t size)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    while (size > 0) {
        const uInt chunk = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
        crc = crc32(crc, p, chunk);
        p += chunk;
        size -= chunk;
    }
    return static_cast<uint32_t>(crc);
}

struct JournalEntry {
    std::string name;
    uint64_t fileSize;
    uint64_t offset;
    const uint8_t *oldBytes;
    uint64_t length;
};

// False when the bytes are not a complete journal.
bool parseJournal(const std::vector<uint8_t> &j, std::vector<JournalEntry> &entries)
{
    entries.clear();
    if (j.size() < journalHeaderSize + journalTrailerSize) return false;
    if (std::memcmp(j.data(), journalMagic, 8) != 0) return false;
    if (get64(j.data() + journalLengthAt) != j.size()) return false;
    const std::size_t body = j.size() - journalTrailerSize;
    const uint8_t *t = j.data() + body;
    const uint32_t stored = static_cast<uint32_t>(t[0] | t[1] << 8 | t[2] << 16) | static_cast<uint32_t>(t[3]) << 24;
    if (stored != checksum(j.data(), body)) return false;
    const uint32_t count = static_cast<uint32_t>(get64(j.data() + journalCountAt) & 0xffffffffu);
    std::size_t at = journalHeaderSize;
    for (uint32_t i = 0; i < count; ++i) {
        if (body - at < entryHeadSize) return false;
        const uint8_t *h = j.data() + at;
        JournalEntry e;
        e.name.assign(reinterpret_cast<const char *>(h + entryNameAt + 1),
                      std::min<std::size_t>(h[entryNameAt], entryNameCapacity));
        e.fileSize = get64(h + entryFileSizeAt);
        e.offset = get64(h + entryOffsetAt);
        e.length = get64(h + entryLengthAt);
        at += entryHeadSize;
        if (e.length > body - at) return false;
        e.oldBytes = j.data() + at;
        at += e.length;
        entries.push_back(e);
    }
    return at == body;
}
} // namespace

// ---------------------------------------------------------------------------
// Groups

void beginStoreUpdate() { ++groupDepth; }

void endStoreUpdate(StoreCommit commit)
{
    if (groupDepth == 0) return;
    if (--groupDepth > 0) return;
    std::vector<StoreSaver> savers;
    savers.swap(wantedSavers);
    collecting = true;
    for (StoreSaver saver : savers) saver();
    collecting = false;
    commitInBackground = commit == StoreCommit::inBackground;
    commitStoreWrites();
    commitInBackground = false;
}

bool storeUpdateOpen() { return groupDepth > 0; }

bool deferStoreSave(StoreSaver saver)
{
    if (groupDepth == 0) return false;
    if (std::find(wantedSavers.begin(), wantedSavers.end(), saver) == wantedSavers.end())
        wantedSavers.push_back(saver);
    return true;
}

void stageStoreWrite(const StoreFile &file, uint64_t offset, const uint8_t *bytes, std::size_t size)
{
    if (size == 0) return;
    staged.push_back(StagedWrite{file, offset, std::vector<uint8_t>(bytes, bytes + size)});
}

void stageChangedBytes(const StoreFile &file, const std::vector<uint8_t> &before, const std::vector<uint8_t> &now)
{
    stageChangedBytesWithin(file, before, now, 0, std::min(before.size(), now.size()));
}

void stageChangedBytesWithin(const StoreFile &file, const std::vector<uint8_t> &before,
                             const std::vector<uint8_t> &now, std::size_t from, std::size_t to)
{
    constexpr std::size_t piece = stagedPieceSize;
    const std::size_t size = std::min(before.size(), now.size());
    const std::size_t last = std::min(size, to); // pieces starting before this are looked at
    std::size_t runStart = 0;
    bool inRun = false;
    std::size_t at = from / piece * piece;
    for (; at < last; at += piece) {
        const std::size_t n = std::min(piece, size - at);
        const bool differs = std::memcmp(before.data() + at, now.data() + at, n) != 0;
        if (differs && !inRun) {
            runStart = at;
            inRun = true;
        } else if (!differs && inRun) {
            stageStoreWrite(file, runStart, now.data() + runStart, at - runStart);
            inRun = false;
        }
    }
    if (inRun) stageStoreWrite(file, runStart, now.data() + runStart, std::min(at, size) - runStart);
}

// ---------------------------------------------------------------------------
// Commit

namespace {
struct OpenStoreFile {
    StoreFile file;
    std::string path;
    int fd = -1;
};

void closeAll(std::vector<OpenStoreFile> &files)
{
    for (OpenStoreFile &f : files)
        if (f.fd >= 0) ::close(f.fd);
    files.clear();
}

// Writes the old bytes back in reverse order and flushes; false on failure.
bool rollBack(std::vector<OpenStoreFile> &files, const std::vector<StagedWrite> &writes,
              const std::vector<std::vector<uint8_t>> &old, const std::vector<std::size_t> &fileOf)
{
    for (std::size_t i = writes.size(); i-- > 0;)
        if (!writeAll(files[fileOf[i]].fd, old[i].data(), old[i].size(), static_cast<int64_t>(writes[i].offset)))
            return false;
    for (OpenStoreFile &f : files)
        if (!syncFile(f.fd)) return false;
    return true;
}

// Narrows the transaction to the pieces whose new bytes differ from the
// file's (`old`, read before): what a save stages is often mostly what the
// file holds already (the first lesson of a new day moves every day of the
// user one place, over a neighbour much like it), and only the differing
// pieces are journalled and written. A write that overlaps another of the
// same transaction stays whole: which bytes it changes depends on the order.
void keepChangedPieces(std::vector<StagedWrite> &writes, std::vector<std::vector<uint8_t>> &old,
                       std::vector<std::size_t> &fileOf)
{
    constexpr std::size_t piece = 64;
    std::vector<std::size_t> order(writes.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return fileOf[a] != fileOf[b] ? fileOf[a] < fileOf[b] : writes[a].offset < writes[b].offset;
    });
    std::vector<bool> overlaps(writes.size(), false);
    // In offset order, a range overlaps a later one when it ends past the
    // next one's start, and an earlier one when it starts before the
    // furthest end so far.
    uint64_t furthest = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const std::size_t b = order[k];
        const uint64_t end = writes[b].offset + writes[b].bytes.size();
        if (k > 0 && fileOf[order[k - 1]] != fileOf[b]) furthest = 0;
        if (writes[b].offset < furthest) overlaps[b] = true;
        if (k + 1 < order.size() && fileOf[order[k + 1]] == fileOf[b] && end > writes[order[k + 1]].offset)
            overlaps[b] = true;
        furthest = std::max(furthest, end);
    }
    std::vector<StagedWrite> keptWrites;
    std::vector<std::vector<uint8_t>> keptOld;
    std::vector<std::size_t> keptFileOf;
    auto keep = [&](std::size_t i, std::size_t from, std::size_t to) {
        const auto first = writes[i].bytes.begin() + static_cast<std::ptrdiff_t>(from);
        const auto last = writes[i].bytes.begin() + static_cast<std::ptrdiff_t>(to);
        keptWrites.push_back(StagedWrite{writes[i].file, writes[i].offset + from, std::vector<uint8_t>(first, last)});
        keptOld.emplace_back(old[i].begin() + static_cast<std::ptrdiff_t>(from),
                             old[i].begin() + static_cast<std::ptrdiff_t>(to));
        keptFileOf.push_back(fileOf[i]);
    };
    for (std::size_t i = 0; i < writes.size(); ++i) {
        const std::size_t size = writes[i].bytes.size();
        if (overlaps[i]) {
            keep(i, 0, size);
            continue;
        }
        std::size_t runStart = 0;
        bool inRun = false;
        for (std::size_t at = 0; at < size; at += piece) {
            const std::size_t n = std::min(piece, size - at);
            const bool differs = std::memcmp(writes[i].bytes.data() + at, old[i].data() + at, n) != 0;
            if (differs && !inRun) {
                runStart = at;
                inRun = true;
            } else if (!differs && inRun) {
                keep(i, runStart, at);
                inRun = false;
            }
        }
        if (inRun) keep(i, runStart, size);
    }
    writes.swap(keptWrites);
    old.swap(keptOld);
    fileOf.swap(keptFileOf);
}
} // namespace

namespace {
// A transaction as the thread that writes it gets it: the staged writes and
// the paths of its files and of the journal, formed when it was committed.
struct Transaction {
    std::vector<StagedWrite> writes;
    std::vector<std::pair<std::string, std::string>> paths; // resource name, path
    std::string journalPath;
};
} // namespace

// The disk work of one transaction, on the thread that commits it or on the
// writer thread.
static void writeTransaction(Transaction &t)
{
    std::vector<StagedWrite> &writes = t.writes;
    const std::string &journalPath = t.journalPath;
    auto pathOf = [&](const char *resourceName) {
        for (const auto &p : t.paths)
            if (p.first == resourceName) return p.second;
        return std::string();
    };
    bytesWrittenSinceArm = 0;

    // Open every file of the transaction and check its size.
    std::vector<OpenStoreFile> files;
    std::vector<std::size_t> fileOf(writes.size());
    for (std::size_t i = 0; i < writes.size(); ++i) {
        const StoreFile &sf = writes[i].file;
        std::size_t k = 0;
        while (k < files.size() && std::strcmp(files[k].file.resourceName, sf.resourceName) != 0) ++k;
        if (k == files.size()) {
            OpenStoreFile f{sf, pathOf(sf.resourceName), -1};
            if (f.path.empty()) {
                closeAll(files);
                stopProgram(0, sf.stopName);
            }
            f.fd = ::open(f.path.c_str(), O_RDWR | O_CLOEXEC);
            if (f.fd < 0) {
                writeDebugDetail("store save: cannot open " + f.path + ": " + systemErrorText(errno));
                closeAll(files);
                stopProgram(0, sf.stopOpen);
            }
            struct stat st;
            if (::fstat(f.fd, &st) != 0 || static_cast<uint64_t>(st.st_size) != sf.size) {
                writeDebugDetail(std::string("store save: ") + sf.resourceName + " is not " +
                                 std::to_string(sf.size) + " bytes long");
                ::close(f.fd);
                closeAll(files);
                stopProgram(0, sf.stopWrite);
            }
            files.push_back(f);
        }
        fileOf[i] = k;
        if (writes[i].offset + writes[i].bytes.size() > sf.size) {
            closeAll(files);
            stopProgram(0, sf.stopWrite);
        }
    }
    const int32_t firstStop = writes.front().file.stopWrite;
    auto fail = [&](std::size_t i, const char *what) {
        writeDebugDetail(std::string("store save: ") + what + " failed for " + files[fileOf[i]].path + ": " +
                         systemErrorText(errno));
        const int32_t stop = writes[i].file.stopWrite;
        closeAll(files);
        stopProgram(0, stop);
    };

    // 1. The journal: the old bytes of every range, streamed through a
    // buffer (a user's deletion can move hundreds of days).
    std::vector<std::vector<uint8_t>> old(writes.size());
    uint64_t journalSize = journalHeaderSize + journalTrailerSize;
    for (std::size_t i = 0; i < writes.size(); ++i) {
        old[i].resize(writes[i].bytes.size());
        if (!readAllAt(files[fileOf[i]].fd, old[i].data(), old[i].size(), writes[i].offset)) fail(i, "reading");
    }
    keepChangedPieces(writes, old, fileOf);
    if (writes.empty()) { // every byte already as staged: nothing to do
        closeAll(files);
        return;
    }
    for (const std::vector<uint8_t> &o : old) journalSize += entryHeadSize + o.size();
    {
        int jfd = ::open(journalPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        bool ok = jfd >= 0;
        std::vector<uint8_t> buffer;
        uLong crc = crc32(0L, Z_NULL, 0);
        auto append = [&](const uint8_t *p, std::size_t n, bool last) {
            if (!last) crc = crc32(crc, p, static_cast<uInt>(n));
            buffer.insert(buffer.end(), p, p + n);
            if (ok && (last || buffer.size() >= (4u << 20))) {
                ok = writeAll(jfd, buffer.data(), buffer.size(), -1);
                buffer.clear();
            }
        };
        uint8_t head[entryHeadSize > journalHeaderSize ? entryHeadSize : journalHeaderSize] = {};
        std::memcpy(head, journalMagic, 8);
        put64(head + journalCountAt, writes.size());
        put64(head + journalLengthAt, journalSize);
        append(head, journalHeaderSize, false);
        for (std::size_t i = 0; i < writes.size() && ok; ++i) {
            std::memset(head, 0, sizeof head);
            const std::string name = writes[i].file.resourceName;
            const std::size_t n = std::min(name.size(), entryNameCapacity);
            head[entryNameAt] = static_cast<uint8_t>(n);
            std::memcpy(head + entryNameAt + 1, name.data(), n);
            put64(head + entryFileSizeAt, writes[i].file.size);
            put64(head + entryOffsetAt, writes[i].offset);
            put64(head + entryLengthAt, old[i].size());
            append(head, entryHeadSize, false);
            for (std::size_t at = 0; at < old[i].size(); at += 1u << 30)
                append(old[i].data() + at, std::min<std::size_t>(old[i].size() - at, 1u << 30), false);
        }
        uint8_t trailer[journalTrailerSize];
        for (int b = 0; b < 4; ++b) trailer[b] = static_cast<uint8_t>(static_cast<uint32_t>(crc) >> (8 * b));
        append(trailer, journalTrailerSize, true);
        ok = ok && syncFile(jfd);
        const int savedErrno = errno;
        if (jfd >= 0) ok = (::close(jfd) == 0) && ok;
        if (!ok) {
            // No file has changed yet: drop the journal and stop.
            ::unlink(journalPath.c_str());
            errno = savedErrno;
            writeDebugDetail("store save: writing the journal " + journalPath + " failed: " + systemErrorText(errno));
            closeAll(files);
            stopProgram(0, firstStop);
        }
        syncFolderOf(journalPath);
    }

    // 2. The new bytes in place.
    auto undo = [&](std::size_t i, const char *what) {
        const int savedErrno = errno;
        // Put the old bytes back now; when that fails too the journal stays
        // and restores them at the next start.
        if (rollBack(files, writes, old, fileOf) && unlinkFile(journalPath)) syncFolderOf(journalPath);
        errno = savedErrno;
        fail(i, what);
    };
    for (std::size_t i = 0; i < writes.size(); ++i)
        if (!writeAll(files[fileOf[i]].fd, writes[i].bytes.data(), writes[i].bytes.size(),
                      static_cast<int64_t>(writes[i].offset)))
            undo(i, "writing");
    for (std::size_t k = 0; k < files.size(); ++k)
        if (!syncFile(files[k].fd)) {
            std::size_t i = 0;
            while (fileOf[i] != k) ++i;
            undo(i, "flushing");
        }

    // 3. The commit: the journal goes.
    if (!unlinkFile(journalPath)) undo(0, "deleting the journal");
    syncFolderOf(journalPath);
    for (std::size_t k = 0; k < files.size(); ++k)
        if (std::find(fileOf.begin(), fileOf.end(), k) != fileOf.end()) ++writeCounts[files[k].file.resourceName];
    closeAll(files);
}

void commitStoreWrites()
{
    if (collecting || staged.empty()) return;
    waitForStoreWrites(); // transactions reach the disk one at a time, in order
    Transaction t;
    t.writes.swap(staged);
    for (const StagedWrite &w : t.writes) {
        const char *name = w.file.resourceName;
        if (std::none_of(t.paths.begin(), t.paths.end(), [&](const auto &p) { return p.first == name; }))
            t.paths.emplace_back(name, storeFilePath(name));
    }
    t.journalPath = storeFilePath(journalName);
    if (!commitInBackground) {
        writeTransaction(t);
        return;
    }
    auto shared = std::make_shared<Transaction>(std::move(t));
    runOnStoreWriter([shared] { writeTransaction(*shared); });
}

// ---------------------------------------------------------------------------
// Start

bool setStoreFilesAsideBeforeSetup(std::time_t now, StoreFileDataCheck holdsNoData)
{
    recoverStoreFolder();
    std::tm local{};
    char stamp[32] = "00000000-000000";
    if (::localtime_r(&now, &local) != nullptr) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    for (const char *name : storeFileNames) {
        const std::string path = storeFilePath(name);
        struct stat st;
        if (path.empty() || ::lstat(path.c_str(), &st) != 0 || st.st_size == 0) continue;
        if (holdsNoData != nullptr && S_ISREG(st.st_mode)) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            const bool empty = fd >= 0 && holdsNoData(name, fd);
            if (fd >= 0) ::close(fd);
            if (empty) {
                writeDebugDetail("setup: the earlier " + std::string(name) + " holds no data and is replaced");
                continue;
            }
        }
        std::string aside = path + ".before-setup-" + stamp;
        struct stat taken;
        for (int n = 2; ::lstat(aside.c_str(), &taken) == 0; ++n)
            aside = path + ".before-setup-" + stamp + "-" + std::to_string(n);
        if (!renameFile(path, aside)) {
            writeDebugDetail("setup: cannot keep " + path + " as " + baseName(aside) + ": " + systemErrorText(errno));
            return false;
        }
        syncFolderOf(aside);
        writeDebugDetail("setup: kept the earlier " + std::string(name) + " as " + baseName(aside));
    }
    return true;
}

// Renames a journal that is not to be played back to
// "StoreJournal.<kind>-<YYYYMMDD-HHMMSS>" beside it ("-2", "-3" ... when
// taken), for inspection; ends the program (3270) when it cannot be renamed.
static void setJournalAside(const std::string &journalPath, const char *kind)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32] = "00000000-000000";
    if (::localtime_r(&now, &local) != nullptr) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string prefix = journalPath + "." + kind + "-" + stamp;
    std::string aside = prefix;
    struct stat taken;
    for (int n = 2; ::lstat(aside.c_str(), &taken) == 0; ++n) aside = prefix + "-" + std::to_string(n);
    if (!renameFile(journalPath, aside)) {
        writeDebugDetail("store: journal refused: cannot set the " + std::string(kind) + " journal " + journalPath +
                         " aside as " + baseName(aside) + ": " + systemErrorText(errno));
        stopProgram(0, stopStoreJournalRefused);
    }
    syncFolderOf(aside);
    writeDebugDetail("store: kept the " + std::string(kind) + " journal as " + baseName(aside));
}

void recoverStoreFolder()
{
    waitForStoreWrites(); // a journal of the writer's own is no interrupted save
    if (userDataDir.empty()) return;
    for (const char *name : temporaryFileOwners) {
        const std::string tmp = storeFilePath(name) + ".tmp";
        if (::unlink(tmp.c_str()) == 0) writeDebugDetail("store: removed a stale " + baseName(tmp));
    }
    const std::string journalPath = storeFilePath(journalName);
    int jfd = ::open(journalPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (jfd < 0) return;
    std::vector<uint8_t> journal;
    struct stat st;
    bool readOk = ::fstat(jfd, &st) == 0;
    if (readOk) {
        journal.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        readOk = storeReadBytes(jfd, journal.data(), journal.size(), got) && got == journal.size();
    }
    ::close(jfd);
    std::vector<JournalEntry> entries;
    if (!readOk || !parseJournal(journal, entries)) {
        // Cut short while it was written: no file had been changed yet.
        writeDebugDetail("store: removed an incomplete journal of " + std::to_string(journal.size()) + " bytes");
        ::unlink(journalPath.c_str());
        syncFolderOf(journalPath);
        return;
    }

    // A journal this program wrote names only the store files, at their
    // fixed sizes, and ranges inside them. One that does not (a crafted or
    // garbled journal whose checksum still holds) is never played: no byte
    // of it is written, it is set aside beside the files for inspection and
    // the start goes on with the files as they are. The range test cannot
    // wrap: offset + length is never formed.
    std::string damage;
    for (std::size_t i = 0; i < entries.size() && damage.empty(); ++i) {
        const JournalEntry &e = entries[i];
        const std::size_t k = std::find(std::begin(storeFileNames), std::end(storeFileNames), e.name) -
                              std::begin(storeFileNames);
        const std::string what = "entry " + std::to_string(i + 1) + " ";
        if (k == std::size(storeFileNames))
            damage = what + "names an unknown file " + e.name;
        else if (e.fileSize != storeFileSizes[k])
            damage = what + "gives " + e.name + " a size of " + std::to_string(e.fileSize) + " bytes, not " +
                     std::to_string(storeFileSizes[k]);
        else if (e.length > e.fileSize || e.offset > e.fileSize - e.length)
            damage = what + "has a range beyond the end of " + e.name + " (offset " + std::to_string(e.offset) +
                     ", length " + std::to_string(e.length) + ")";
    }
    if (!damage.empty()) {
        writeDebugDetail("store: the journal is damaged and was not played back: " + damage);
        setJournalAside(journalPath, "damaged");
        return;
    }

    // A journal whose files were deleted by hand cannot be played back:
    // what it would restore is gone. It is set aside like a damaged one and
    // the start goes on; without a users file that is the first-time setup.
    for (const JournalEntry &e : entries) {
        const std::string file = storeFilePath(e.name.c_str());
        struct stat fs;
        if (::lstat(file.c_str(), &fs) == 0 || errno != ENOENT) continue;
        writeDebugDetail("store: the journal was not played back: the file it restores, " + file + ", is gone");
        setJournalAside(journalPath, "orphaned");
        return;
    }

    // Check every file before changing any.
    std::vector<int> fds;
    auto refuse = [&](const std::string &detail) {
        for (int fd : fds) ::close(fd);
        writeDebugDetail("store: journal refused: " + detail);
        stopProgram(0, stopStoreJournalRefused);
    };
    std::vector<std::size_t> fdOf;
    std::vector<std::string> names;
    for (const JournalEntry &e : entries) {
        std::size_t k = std::find(names.begin(), names.end(), e.name) - names.begin();
        if (k == names.size()) {
            int fd = ::open(storeFilePath(e.name.c_str()).c_str(), O_RDWR | O_CLOEXEC);
            if (fd < 0) refuse("cannot open " + storeFilePath(e.name.c_str()) + ": " + systemErrorText(errno));
            fds.push_back(fd);
            names.push_back(e.name);
            struct stat fs;
            if (::fstat(fd, &fs) != 0 || static_cast<uint64_t>(fs.st_size) != e.fileSize)
                refuse(e.name + " is not " + std::to_string(e.fileSize) + " bytes long");
        }
        fdOf.push_back(k);
    }
    for (std::size_t i = entries.size(); i-- > 0;)
        if (!writeAll(fds[fdOf[i]], entries[i].oldBytes, entries[i].length, static_cast<int64_t>(entries[i].offset)))
            refuse("writing back " + storeFilePath(entries[i].name.c_str()) + " failed: " + systemErrorText(errno));
    for (int fd : fds)
        if (!syncFile(fd)) refuse("flushing the played-back files failed: " + systemErrorText(errno));
    for (int fd : fds) ::close(fd);
    fds.clear();
    if (!unlinkFile(journalPath))
        refuse("cannot delete the played-back journal " + journalPath + ": " + systemErrorText(errno));
    syncFolderOf(journalPath);
    writeDebugDetail("store: played back the journal of an interrupted save (" + std::to_string(entries.size()) +
                     " ranges)");
}

// ---------------------------------------------------------------------------
// Whole files by temporary file and rename

std::string storeFilePath(const char *resourceName)
{
    if (userDataDir.empty()) return std::string();
    return resolveDataPath(userDataDir + "ResourceFiles\\" + resourceName);
}

bool beginAtomicWrite(AtomicWrite &w, const std::string &path)
{
    w.path = path;
    waitForStoreWrites();
    w.tempPath = path + ".tmp";
    w.written = 0;
    w.failed = false;
    bytesWrittenSinceArm = 0;
    w.fd = ::open(w.tempPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (w.fd < 0) {
        w.failed = true;
        return false;
    }
    return true;
}

bool beginFreshAtomicWrite(AtomicWrite &w, const std::string &path)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static uint64_t state = static_cast<uint64_t>(std::time(nullptr)) * 6364136223846793005u ^
                            static_cast<uint64_t>(::getpid()) << 20;
    waitForStoreWrites();
    w.path = path;
    w.written = 0;
    w.failed = false;
    bytesWrittenSinceArm = 0;
    w.fd = -1;
    for (int attempt = 0; attempt < 100 && w.fd < 0; ++attempt) {
        std::string suffix;
        for (int i = 0; i < 6; ++i) {
            state = state * 6364136223846793005u + 1442695040888963407u;
            suffix += letters[(state >> 33) % (sizeof letters - 1)];
        }
        w.tempPath = path + "." + suffix + ".tmp";
        w.fd = ::open(w.tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (w.fd < 0 && errno != EEXIST) break;
    }
    if (w.fd < 0) {
        w.tempPath.clear(); // nothing of ours to remove
        w.failed = true;
        return false;
    }
    return true;
}

bool storeWriteBytes(AtomicWrite &w, const void *data, std::size_t size)
{
    if (w.failed) return false;
    if (!writeAll(w.fd, static_cast<const uint8_t *>(data), size, -1)) {
        w.failed = true;
        return false;
    }
    w.written += static_cast<int64_t>(size);
    return true;
}

bool syncAtomicWrite(AtomicWrite &w)
{
    if (w.failed || w.fd < 0) return false;
    bool ok = syncFile(w.fd);
    ok = (::close(w.fd) == 0) && ok;
    w.fd = -1;
    if (!ok) w.failed = true;
    return ok;
}

bool commitAtomicWrite(AtomicWrite &w)
{
    if (w.failed) return false;
    if (!renameFile(w.tempPath, w.path)) {
        w.failed = true;
        return false;
    }
    syncFolderOf(w.path);
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
    waitForStoreWrites();
    std::string path = storeFilePath(resourceName);
    if (path.empty()) stopProgram(0, stopName);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) stopProgram(0, stopOpen);
    struct stat st;
    if (::fstat(fd, &st) != 0 || static_cast<uint64_t>(st.st_size) != size) {
        writeDebugDetail(std::string("store load: ") + resourceName + " is " + std::to_string(st.st_size) +
                         " bytes, not " + std::to_string(size));
        ::close(fd);
        stopProgram(0, stopRead);
    }
    image.assign(size, 0);
    std::size_t got = 0;
    const bool ok = storeReadBytes(fd, image.data(), size, got);
    ::close(fd);
    if (!ok || got < size) stopProgram(0, stopRead);
}

// ---------------------------------------------------------------------------
// Test hooks

void injectStoreWriteFault(int32_t kind, int64_t bytesBeforeFault)
{
    byteFaultKind = kind;
    byteFaultAfter = bytesBeforeFault;
    bytesWrittenSinceArm = 0;
}

void injectStoreStepFault(int32_t kind, int64_t step)
{
    stepFaultKind = kind;
    stepFaultAt = step;
    stepsTaken = 0;
}

int64_t storeIoSteps()
{
    waitForStoreWrites();
    return stepsTaken;
}

int64_t storeFilesWritten(const char *resourceName)
{
    waitForStoreWrites();
    auto it = writeCounts.find(resourceName);
    return it == writeCounts.end() ? 0 : it->second;
}
