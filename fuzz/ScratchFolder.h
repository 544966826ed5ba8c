#pragma once
// A fuzz target's scratch folder, made on first use and removed with everything in it when
// the process exits.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace vexamo::fuzz {

namespace scratch {
// Never destroyed, so that the removal at exit can still use it.
inline const std::filesystem::path* folder = nullptr;

inline void Remove() {
    std::error_code ec;
    std::filesystem::remove_all(*folder, ec);
}
} // namespace scratch

// <prefix>-XXXXXX under /dev/shm when there is one (tmpfs: the rewrites flush to disk), else
// under the system's temporary directory. Every call returns the folder of the first.
inline const std::filesystem::path& ScratchFolder(const char* prefix) {
    namespace fs = std::filesystem;
    if (!scratch::folder) {
        const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
        std::string tmpl = (base / (std::string(prefix) + "-XXXXXX")).string();
        if (!::mkdtemp(tmpl.data())) std::abort();
        std::atexit(scratch::Remove);
        scratch::folder = new fs::path(tmpl);
    }
    return *scratch::folder;
}

} // namespace vexamo::fuzz
