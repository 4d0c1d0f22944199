// How the store reaches the disk: atomic replacement of whole files, and the
// grouping of the saves of one user action.
//
// Atomic replacement: a file is written to "<name>.tmp" in the same folder,
// flushed to disk (fsync), renamed over the old file, and the folder is
// flushed. A failure at any step removes the temporary file, leaves the old
// file exactly as it was, and ends the program with the caller's stop number.
// A process killed mid-write leaves only a stale ".tmp", which the next save
// truncates.
//
// Writing only what changed, once per user action:
//  - Each store keeps track of whether its file differs from what it last
//    wrote: the users and score stores compare the serialised bytes with the
//    last written image (so direct edits of userRecords/scoreRecords are
//    caught too), the time line keeps a changed flag that every write access
//    (editTimeLineDay, resetUserTimeLine, addTimeLineEntry, ...) sets.
//    A save of an unchanged file writes nothing.
//  - Operations that "save" call saveUsersFiles / saveScoreFile. Between
//    beginStoreUpdate() and the matching endStoreUpdate() those calls only
//    mark the file as wanted; the outermost endStoreUpdate() writes every
//    wanted, changed file once. Groups nest. A caller that makes several
//    store calls for one user action (the end of a lesson: lesson block,
//    time-line entry, current lesson, score) wraps them in one group, so the
//    293 MB time line is written at most once for the action.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

void beginStoreUpdate();
void endStoreUpdate();
// True while a group is open.
bool storeUpdateOpen();

// Which file a deferred save is for (internal to the store modules).
enum StoreFileId : int32_t { usersStoreFiles = 1, scoreStoreFile = 2 };
// Called by saveUsersFiles / saveScoreFile: true when the save must wait for
// the end of the open group (the file is then remembered as wanted).
bool deferStoreSave(StoreFileId file);

// The full native path of a store file below userDataDir ("ResourceFiles\...").
std::string storeFilePath(const char *resourceName);

// Low-level writing of one file. The producer writes the body through
// storeWriteBytes and returns false when a write failed.
// Returns false (and removes the temporary) on failure; the caller stops.
struct AtomicWrite {
    int fd;
    std::string path;
    std::string tempPath;
    int64_t written;
    bool failed;
};
// Creates the temporary file; false when it cannot be created.
bool beginAtomicWrite(AtomicWrite &w, const std::string &path);
bool storeWriteBytes(AtomicWrite &w, const void *data, std::size_t size);
// fsync and close of the temporary file. False on failure.
bool syncAtomicWrite(AtomicWrite &w);
// Rename over the old file and fsync of the folder. False on failure.
bool commitAtomicWrite(AtomicWrite &w);
// syncAtomicWrite, then commitAtomicWrite.
bool finishAtomicWrite(AtomicWrite &w);
// Closes and removes the temporary file after a failure.
void abandonAtomicWrite(AtomicWrite &w);

// Reads up to `size` bytes from `fd`, retrying interrupted reads; `got` is
// less than `size` only at the end of a shorter file. False on a read error.
bool storeReadBytes(int fd, void *buffer, std::size_t size, std::size_t &got);
// Reads the first `size` bytes of a store file below userDataDir into `image`.
// Ends the program with `stopName` when there is no store folder, `stopOpen`
// when the file cannot be opened, and `stopRead` on a read error or a file
// shorter than `size`.
void loadStoreImage(const char *resourceName, std::size_t size, std::vector<uint8_t> &image, int32_t stopName,
                    int32_t stopOpen, int32_t stopRead);

// Test hook for the failure paths. Kinds: 0 off; 1 the write after
// `bytesBeforeFault` bytes of the next file fails as on a full disk; 2 the
// process dies at that point without any clean-up (a crash or power loss).
void injectStoreWriteFault(int32_t kind, int64_t bytesBeforeFault);
// Number of files actually written since start (tests and benchmarks check
// that unchanged files are not rewritten).
int64_t storeFilesWritten(const char *resourceName);
