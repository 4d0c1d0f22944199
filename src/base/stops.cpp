#include "base/stops.h"

#include <cstdio>
#include <unistd.h>

static FILE *debugLog = nullptr;

int openDebugLog(const std::string &path)
{
    if (path.empty()) return 7;
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return 8;
    debugLog = f;
    return 0;
}

[[noreturn]] static void failDebugLogIo()
{
    std::fprintf(stderr, "Tarnova: cannot write the debug log %s\n", "debug.txt");
    std::fflush(nullptr);
    _exit(ioErrorExitCode);
}

void closeDebugLog()
{
    if (debugLog) {
        FILE *f = debugLog;
        debugLog = nullptr;
        if (std::fclose(f) != 0) failDebugLogIo();
    }
}

void quitProgram()
{
    closeDebugLog();
    stopProgram(0, 0);
}

static void writeLogLine(const std::string &line)
{
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
