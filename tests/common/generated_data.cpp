#include "common/generated_data.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

std::string generatedData()
{
    namespace fs = std::filesystem;
    static std::string dir;
    if (!dir.empty()) return dir;
    const fs::path buildDir = fs::read_symlink("/proc/self/exe").parent_path();
    const fs::path generator = buildDir / "tarnova-make-data";
    const fs::path folder = buildDir / "test-data-frame";
    const fs::path stamp = folder / ".complete";
    if (!fs::exists(generator))
        throw std::runtime_error("no generated data folder: the data generator " + generator.string() +
                                 " is not built; build it with `cmake --build build --target tarnova-make-data` "
                                 "(the test makes " + folder.string() + " with it)");
    // A lock keeps parallel test processes from generating it twice at once.
    const int lock = open((buildDir / "test-data-frame.lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    if (lock >= 0) flock(lock, LOCK_EX);
    std::error_code ec;
    if (!fs::exists(stamp) || fs::last_write_time(stamp, ec) < fs::last_write_time(generator, ec)) {
        fs::remove_all(folder, ec);
        fs::create_directories(folder, ec);
        const std::string command = generator.string() + " " + folder.string() + " > /dev/null";
        if (std::system(command.c_str()) == 0) std::ofstream(stamp).put('\n');
    }
    if (fs::exists(stamp)) dir = folder.string() + "/";
    if (lock >= 0) close(lock);
    if (dir.empty())
        throw std::runtime_error("no generated data folder: " + generator.string() + " " + folder.string() +
                                 " failed; run it by hand to see why");
    return dir;
}
