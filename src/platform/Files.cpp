#include "platform/Files.h"

#include "platform/Cp1252.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vexamo {
namespace fs = std::filesystem;

bool FileSink::Write(const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::string> ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return data;
}

std::optional<fs::perms> FileMode(const fs::path& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st)) return std::nullopt;
    return st.permissions() & fs::perms::mask;
}

bool ReplaceFileAtomically(const fs::path& target, fs::perms mode,
                           const std::function<bool(FileSink&)>& writer) {
    std::string tmpl = target.string() + ".tmpXXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return false;
    const fs::path tmp(tmpl);
    bool ok = ::fchmod(fd, static_cast<mode_t>(mode)) == 0;
    if (ok) {
        FileSink sink(fd);
        ok = writer(sink);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok) {
        std::error_code ec;
        fs::remove(tmp, ec);
        return false;
    }
    // Make the rename itself durable.
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

bool WriteFileAtomically(const fs::path& target, std::string_view content, fs::perms mode) {
    return ReplaceFileAtomically(target, mode,
                                 [&](FileSink& sink) { return sink.Write(content); });
}

fs::path PathFromCp1252(const fs::path& folder, std::string_view name) {
    return folder / fs::path(Cp1252ToUtf8(name)); // native paths are UTF-8 bytes
}

} // namespace vexamo
