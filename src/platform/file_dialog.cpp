#include "platform/file_dialog.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// On this platform "*.*" would hide files without an extension; "all files"
// means every file.
static std::string nativePattern(const std::string &pattern)
{
    return pattern == "*.*" ? "*" : pattern;
}

static std::string proposedPath(const FileDialogRequest &r)
{
    std::string folder = r.initialFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder + r.defaultName;
}

std::vector<std::string> zenityArguments(const FileDialogRequest &r)
{
    std::vector<std::string> a = {"zenity", "--file-selection", "--title=" + r.title};
    if (r.save)
        a.push_back("--save");
    const std::string start = proposedPath(r);
    if (!start.empty())
        a.push_back("--filename=" + start);
    for (const FileFilter &f : r.filters)
        a.push_back("--file-filter=" + f.description + " | " + nativePattern(f.pattern));
    return a;
}

std::vector<std::string> kdialogArguments(const FileDialogRequest &r)
{
    std::vector<std::string> a = {"kdialog", "--title", r.title,
                                  r.save ? "--getsavefilename" : "--getopenfilename"};
    std::string start = proposedPath(r);
    a.push_back(start.empty() ? "." : start);
    std::string filter;
    for (const FileFilter &f : r.filters) {
        if (!filter.empty())
            filter += '\n';
        filter += nativePattern(f.pattern) + "|" + f.description;
    }
    if (!filter.empty())
        a.push_back(filter);
    return a;
}

std::string findOnPath(const std::string &program)
{
    const char *path = std::getenv("PATH");
    if (path == nullptr || program.empty())
        return {};
    std::string all = path;
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find(':', start);
        if (end == std::string::npos)
            end = all.size();
        std::string dir = all.substr(start, end - start);
        if (dir.empty())
            dir = ".";
        const std::string candidate = dir + "/" + program;
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

// Exit status of the child when exec fails (the shell's "cannot execute").
static constexpr int execFailedStatus = 127;

bool runAndCapture(const std::string &path, const std::vector<std::string> &args, std::string &out,
                   bool *notStarted)
{
    out.clear();
    if (notStarted != nullptr)
        *notStarted = true;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    std::vector<char *> argv;
    for (const std::string &s : args)
        argv.push_back(const_cast<char *>(s.c_str()));
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (child == 0) {
        dup2(fds[1], STDOUT_FILENO);
        const int devNull = open("/dev/null", O_RDWR);
        if (devNull >= 0) {
            dup2(devNull, STDIN_FILENO);
            dup2(devNull, STDERR_FILENO); // the choosers' toolkit chatter
        }
        execv(path.c_str(), argv.data());
        _exit(execFailedStatus);
    }
    close(fds[1]);
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n > 0)
            out.append(buffer, size_t(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return false;
    if (notStarted != nullptr)
        *notStarted = WIFEXITED(status) && WEXITSTATUS(status) == execFailedStatus;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string runFileChooser(const FileDialogRequest &request, size_t maxPath, bool *noChooser)
{
    if (noChooser != nullptr)
        *noChooser = false;
    // zenity first; kdialog when zenity is missing or cannot be started.
    std::string out;
    bool started = false;
    bool ok = false;
    const std::string zenity = findOnPath("zenity");
    if (!zenity.empty()) {
        bool notStarted = false;
        ok = runAndCapture(zenity, zenityArguments(request), out, &notStarted);
        started = !notStarted;
    }
    if (!started) {
        const std::string kdialog = findOnPath("kdialog");
        if (!kdialog.empty()) {
            bool notStarted = false;
            ok = runAndCapture(kdialog, kdialogArguments(request), out, &notStarted);
            started = !notStarted;
        }
    }
    if (!started) {
        if (noChooser != nullptr)
            *noChooser = true;
        return {};
    }
    if (!ok)
        return {};
    // One path on the first line.
    const size_t eol = out.find('\n');
    if (eol != std::string::npos)
        out.resize(eol);
    if (!out.empty() && out.back() == '\r')
        out.pop_back();
    if (out.size() > maxPath)
        return {};
    return out;
}
