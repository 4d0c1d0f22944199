#include "platform/paths.h"

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <strings.h>
#include <sys/stat.h>

static std::string envOrEmpty(const char *name)
{
    const char *v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

static bool isDirectory(const std::string &p)
{
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool fileExists(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string applicationDataFolder()
{
    std::string xdg = envOrEmpty("XDG_DATA_HOME");
    if (!xdg.empty()) return xdg;
    std::string home = envOrEmpty("HOME");
    if (home.empty()) return std::string();
    return home + "/.local/share";
}

// Reads XDG_DOCUMENTS_DIR from ~/.config/user-dirs.dirs ("$HOME/..." form).
static std::string xdgDocumentsDir(const std::string &home)
{
    std::string config = envOrEmpty("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "XDG_DOCUMENTS_DIR=";
        if (line.compare(0, key.size(), key) != 0) continue;
        std::string v = line.substr(key.size());
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        if (v.compare(0, 5, "$HOME") == 0) v = home + v.substr(5);
        return v;
    }
    return std::string();
}

std::string documentsFolder()
{
    std::string home = envOrEmpty("HOME");
    if (home.empty()) return std::string();
    std::string xdg = xdgDocumentsDir(home);
    if (!xdg.empty() && isDirectory(xdg)) return xdg;
    if (isDirectory(home + "/Documents")) return home + "/Documents";
    return home;
}

std::string nativePath(const std::string &path)
{
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '\\') c = '/';
        if (c == '/' && !out.empty() && out.back() == '/') continue;
        out.push_back(c);
    }
    return out;
}

std::string resolveDataPath(const std::string &path)
{
    std::string native = nativePath(path);
    if (native.empty() || fileExists(native)) return native;

    // Walk component by component, fixing the case of those that are missing.
    std::string built;
    size_t pos = 0;
    if (native[0] == '/') { built = "/"; pos = 1; }
    while (pos <= native.size()) {
        size_t next = native.find('/', pos);
        bool last = next == std::string::npos;
        std::string part = native.substr(pos, last ? std::string::npos : next - pos);
        if (!part.empty()) {
            std::string candidate = built + part;
            if (!fileExists(candidate)) {
                DIR *d = opendir(built.empty() ? "." : built.c_str());
                if (!d) return native;
                std::string found;
                while (dirent *e = readdir(d)) {
                    if (strcasecmp(e->d_name, part.c_str()) == 0) { found = e->d_name; break; }
                }
                closedir(d);
                // A file still to be created keeps its own name inside the
                // folders found; a missing folder on the way leaves the path as asked.
                if (found.empty()) return last ? candidate : native;
                candidate = built + found;
            }
            built = candidate;
            if (!last) built += "/";
        } else if (!last && !built.empty() && built.back() != '/') {
            built += "/";
        }
        if (last) break;
        pos = next + 1;
    }
    return built;
}
