// Numbered stops and the debug log.
//
// Every failure the user cannot cause ends the program through stopProgram:
// one line in ResourceFiles/debug.txt (and on standard error, so a person who
// started the program from a terminal sees why it ended), then the process ends
// with the stop number mod 250 as its exit code (1 when that is 0).
#pragma once
#include <cstdint>
#include <string>

// Opens (creates or truncates) the debug log. Returns 0 on success, 7 when the
// path cannot be used at all (empty), 8 when the file cannot be created.
int openDebugLog(const std::string &path);

// Closes the debug log. Safe when not open. An I/O error while closing ends
// the process with the fatal I/O error code (ioErrorExitCode).
void closeDebugLog();

// The normal end (screen 579, lost window): closes the debug log, exit code 0.
[[noreturn]] void quitProgram();

// Work the program finishes before any end, normal or numbered: the store
// sets it to wait for the saves its writer thread still has under way, so a
// quit or a stop never cuts a saved action short. The procedure runs on the
// thread that ends the program and must return at once when that thread is
// the one whose work it waits for. nullptr: nothing to finish.
void setWorkBeforeProgramEnds(void (*finish)());

// Exit code of a failed write or close of the debug log ("disk write error"):
// the program cannot record why it would stop, so it ends at once, saying on
// standard error which file failed and why.
constexpr int ioErrorExitCode = 101;

// A failed system call's reason in words for the messages and the debug log,
// with its number: "no space left on the device (errno 28)". 0 reads as an
// input/output error (a short write that set no errno).
std::string systemErrorText(int err);

// Writes one detail line ("procedure: text=value") before a stop. Any thread
// may write: lines never interleave.
void writeDebugDetail(const std::string &line);

// Exit code a stop number ends the process with.
int stopExitCode(int32_t stopNumber);

// The exact stop line, without the CR LF.
std::string stopLine(int32_t errorHint, int32_t stopNumber);

// Never returns. Stop 0 is the normal end: nothing written, exit code 0.
// When two threads stop at once, the first to write its line ends the
// process; the other waits for that.
[[noreturn]] void stopProgram(int32_t errorHint, int32_t stopNumber);
