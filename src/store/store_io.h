// How the store reaches the disk.
//
// One transaction per user action. The stores (users file with its time line,
// score file) keep memory as the master copy and, when they save, stage the
// byte ranges of their files that changed (stageStoreWrite). Between
// beginStoreUpdate() and the matching outermost endStoreUpdate() a save only
// registers its saver; the outermost end runs every registered saver once, in
// the order they were first called, and commits everything they staged as one
// transaction. A save outside a group is a transaction of its own.
//
// A transaction is made crash-safe with a rollback journal,
// "ResourceFiles/StoreJournal". The commit first narrows what was staged to
// the 64-byte pieces whose bytes differ from the file's (a staged day that
// moved over a day much like it changes few bytes); then:
//  1. the old bytes of every range about to change are written to the
//     journal with a header (each file's name and size) and a CRC-32 of the
//     whole; the journal and the folder are flushed (fsync);
//  2. the new bytes are written in place and each file is flushed;
//  3. the journal is deleted (the commit) and the folder flushed.
// At start (recoverStoreFolder, run by the loads and by the first-use check
// before anything is read) a complete journal is played back, restoring every
// file as it was before the interrupted action, and deleted; a journal that
// is incomplete or fails its checksum was cut short while it was written,
// before any file changed, and is deleted. A complete journal with an entry
// this program never writes (an unknown file, a size other than the file's
// fixed size, a range past that size) is not played: it is renamed to
// "StoreJournal.damaged-<YYYYMMDD-HHMMSS>" beside the files and the start goes
// on. A journal whose files are gone (deleted by hand) cannot be played back
// either: it is renamed to "StoreJournal.orphaned-<YYYYMMDD-HHMMSS>" and the
// start goes on (to the first-time setup when the users file is gone). A
// journal whose file on disk has another size is refused: the program stops
// without touching anything.
//
// Creating a file (first use, the statistics export) keeps the
// temporary-and-rename path: "<name>.tmp" is written, flushed and renamed over
// the target. Stale "<store file>.tmp" left by a killed creation (and the
// replay recording's "soundout.raw.tmp") are removed at start. A file the
// user names (an export) gets a fresh temporary name instead
// (beginFreshAtomicWrite), so no file of the user's is overwritten but the
// target.
//
// A commit runs on the calling thread unless the outermost endStoreUpdate
// asks for the writer thread (StoreCommit::inBackground, the lesson end's
// choice: its frame must not wait for the disk). Memory holds the action's
// results at once either way; the journal, the writes in place, the flushes
// and the journal's deletion then run on the store's one writer thread, in
// the order committed. Whatever reaches the disk next waits for the writer
// first: a later commit, a load or read of a store file (the time line's
// days), the start's recovery and first use, a whole-file creation, and the
// program's end (quitProgram, stopProgram). A failure there ends the program
// with the failing file's stop, as on the calling thread.
#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

enum class StoreCommit {
    now,          // the disk work is done when endStoreUpdate returns
    inBackground, // on the writer thread; endStoreUpdate returns at once
};

void beginStoreUpdate();
// Only the outermost end's `commit` counts.
void endStoreUpdate(StoreCommit commit = StoreCommit::now);
// True while a group is open.
bool storeUpdateOpen();

// A store's save procedure. Called through deferStoreSave, it must stage its
// changes and then call commitStoreWrites.
using StoreSaver = void (*)();
// True when a group is open: the saver is remembered and runs at the group's
// end. False: the caller saves now.
bool deferStoreSave(StoreSaver saver);

// A store file as a transaction sees it: its name below ResourceFiles, its
// fixed size and the stops of a failed save.
struct StoreFile {
    const char *resourceName;
    uint64_t size;
    int32_t stopName;  // the path cannot be formed
    int32_t stopOpen;  // the file cannot be opened
    int32_t stopWrite; // a read, write, flush, or the journal failed
};
// Adds the new bytes of one range to the transaction being built. A later
// range over the same bytes wins.
void stageStoreWrite(const StoreFile &file, uint64_t offset, const uint8_t *bytes, std::size_t size);
// Commits what was staged, unless the outermost endStoreUpdate is collecting
// the savers of a group (it commits once they all ran). Ends the program with
// the failing file's stop; the files are then as before the action, or, when
// a failure left no way back, the journal restores them at the next start.
void commitStoreWrites();
// Stages the bytes of `now` that differ from `before` (same size), in runs of
// whole 512-byte pieces.
void stageChangedBytes(const StoreFile &file, const std::vector<uint8_t> &before, const std::vector<uint8_t> &now);
// The same, looking only at the pieces that overlap [from, to): the caller
// knows that `before` and `now` hold the same bytes outside that range. Runs
// within it are what stageChangedBytes stages there; a caller with several
// ranges must join those whose pieces touch or overlap (piece boundaries lie
// at multiples of 512 from the file's start).
void stageChangedBytesWithin(const StoreFile &file, const std::vector<uint8_t> &before,
                             const std::vector<uint8_t> &now, std::size_t from, std::size_t to);
constexpr std::size_t stagedPieceSize = 512;

// Returns when the writer thread has done all it was handed (at once when
// it has nothing, or when called from the writer thread itself).
void waitForStoreWrites();
// Hands disk work to the writer thread, after what it was handed before.
// The work must reach no memory that the main thread changes meanwhile.
void runOnStoreWriter(std::function<void()> work);

constexpr int32_t stopStoreJournalRefused = 3270;
// Plays back or removes the journal and removes stale temporary files of the
// store files. Idempotent; the loads and the first-use check call it.
void recoverStoreFolder();

// First use over earlier data: before the setup writes new store files, each
// store file that exists and is not empty is renamed to
// "<name>.before-setup-<YYYYMMDD-HHMMSS>" beside it (`now` in local time;
// "-2", "-3" ... follow when that name is taken). Nothing is deleted, and the
// start's clean-up (recoverStoreFolder) never touches these names. A journal
// is played back first. False, with a debug line naming the file, when one
// cannot be renamed: the caller must then not write over it.
// `holdsNoData` (when given) tells of an open store file that it holds
// nothing a user made (only what a new file holds: an interrupted setup's
// left-over): such a file stays where it is and the setup replaces it.
using StoreFileDataCheck = bool (*)(const char *resourceName, int fd);
bool setStoreFilesAsideBeforeSetup(std::time_t now, StoreFileDataCheck holdsNoData = nullptr);

// The full native path of a store file below userDataDir ("ResourceFiles\...").
std::string storeFilePath(const char *resourceName);

// Creating a whole file by temporary file and rename. The producer writes the
// body through storeWriteBytes.
struct AtomicWrite {
    int fd;
    std::string path;
    std::string tempPath;
    int64_t written;
    bool failed;
};
// Creates the temporary file "<path>.tmp"; false when it cannot be created.
bool beginAtomicWrite(AtomicWrite &w, const std::string &path);
// The same with a temporary file of a fresh name beside the target
// ("<path>.<six random characters>.tmp", created exclusively: an existing
// file of that name is never opened), for files the user names.
bool beginFreshAtomicWrite(AtomicWrite &w, const std::string &path);
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
// Reads a whole store file below userDataDir into `image`. Ends the program
// with `stopName` when there is no store folder, `stopOpen` when the file
// cannot be opened, and `stopRead` on a read error or a file of any other
// size than `size`.
void loadStoreImage(const char *resourceName, std::size_t size, std::vector<uint8_t> &image, int32_t stopName,
                    int32_t stopOpen, int32_t stopRead);

// Test hooks for the failure paths.
// injectStoreWriteFault: kinds 0 off; 1 the write after `bytesBeforeFault`
// bytes (counted over the writes of the next file or transaction) fails as on
// a full disk; 2 the process dies at that point without any clean-up.
void injectStoreWriteFault(int32_t kind, int64_t bytesBeforeFault);
// injectStoreStepFault: the `step`th store I/O step from now (1 = the next;
// each write, fsync, rename and unlink is a step) fails (kind 1) or the
// process dies just before it (kind 2). storeIoSteps counts the steps since
// the last injection call, so a test can walk every step of an action.
// Both faults count the writes of whichever thread writes: arm them while
// the writer thread is idle (or held).
void injectStoreStepFault(int32_t kind, int64_t step);
int64_t storeIoSteps();
// The writer thread starts no work until a waitForStoreWrites finds work
// handed to it (a later commit, a load, the program's end; a wait with
// nothing handed leaves the hold), so a test sees the state while a
// background commit is still under way.
void holdStoreWriterUntilWaited();
// Number of times each file was written (created or changed by a
// transaction) since start; tests and benchmarks check that unchanged files
// are not rewritten.
int64_t storeFilesWritten(const char *resourceName);
