#include "base/stops.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <unistd.h>

static FILE *debugLog = nullptr;
static std::string debugLogPath;
// The store's writer thread writes debug lines and may stop the program
// while the main thread writes or closes the log.
static std::mutex debugLogLock;
// Taken by the first thread that ends the process and never given back.
static std::mutex endingLock;
static std::atomic<void (*)()> workBeforeEnd{nullptr};

std::string systemErrorText(int err)
{
    if (err == 0) err = EIO;
    const char *words = nullptr;
    switch (err) {
    case ENOSPC: words = "no space left on the device"; break;
    case EDQUOT: words = "the disk quota is used up"; break;
    case EROFS: words = "the file system is read-only"; break;
    case EACCES: words = "permission denied"; break;
    case EPERM: words = "the operation is not permitted"; break;
    case ENOENT: words = "no such file or folder"; break;
    case EIO: words = "an input/output error of the device"; break;
    case EFBIG: words = "the file is too large"; break;
    case EMFILE:
    case ENFILE: words = "too many open files"; break;
    case EISDIR: words = "it is a folder"; break;
    case ENOTDIR: words = "a part of the path is not a folder"; break;
    default: break;
    }
    std::string text;
    if (words != nullptr) {
        text = words;
    } else {
        text = std::strerror(err);
        if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
    }
    return text + " (errno " + std::to_string(err) + ")";
}

int openDebugLog(const std::string &path)
{
    if (path.empty()) return 7;
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return 8;
    debugLog = f;
    debugLogPath = path;
    return 0;
}

[[noreturn]] static void failDebugLogIo()
{
    const std::string why = systemErrorText(errno);
    std::fprintf(stderr, "Tarnova: cannot write the debug log %s: %s\n", debugLogPath.c_str(), why.c_str());
    std::fflush(nullptr);
    _exit(ioErrorExitCode);
}

void closeDebugLog()
{
    std::lock_guard<std::mutex> lock(debugLogLock);
    if (debugLog) {
        FILE *f = debugLog;
        debugLog = nullptr;
        if (std::fclose(f) != 0) failDebugLogIo();
    }
}

void setWorkBeforeProgramEnds(void (*finish)()) { workBeforeEnd = finish; }

static void finishWorkBeforeEnd()
{
    if (void (*finish)() = workBeforeEnd.load()) finish();
}

void quitProgram()
{
    finishWorkBeforeEnd();
    closeDebugLog();
    stopProgram(0, 0);
}

static void writeLogLine(const std::string &line)
{
    std::lock_guard<std::mutex> lock(debugLogLock);
    std::fprintf(stderr, "%s\n", line.c_str());
    if (debugLog) {
        std::string text = line + "\r\n";
        if (std::fwrite(text.data(), 1, text.size(), debugLog) != text.size() || std::fflush(debugLog) != 0)
            failDebugLogIo();
    }
}

void writeDebugDetail(const std::string &line) { writeLogLine(line); }

int stopExitCode(int32_t stopNumber)
{
    int code = stopNumber % 250;
    if (code < 0) code = -code;
    return code == 0 ? (stopNumber == 0 ? 0 : 1) : code;
}

std::string stopLine(int32_t errorHint, int32_t stopNumber)
{
    return "Harrowdeen: strange situation detected stopNumber=" + std::to_string(stopNumber) +
           " errorHint=" + std::to_string(errorHint);
}

void stopProgram(int32_t errorHint, int32_t stopNumber)
{
    // Before the ending lock: the work waited for may itself stop.
    finishWorkBeforeEnd();
    endingLock.lock();
    if (stopNumber == 0) {
        std::fflush(nullptr);
        _exit(0);
    }
    writeLogLine(stopLine(errorHint, stopNumber));
    closeDebugLog();
    std::fflush(nullptr);
    // _exit: audio threads of the sound library must not run exit handlers
    // that could change the exit code.
    _exit(stopExitCode(stopNumber));
}
