#include "platform/RawFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexamo {

RawFile::RawFile(const std::filesystem::path& path, int flags, mode_t mode)
    : fd_(path.empty() ? -1 : ::open(path.c_str(), flags, mode)) {}

RawFile::~RawFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::int64_t RawFile::Size() const {
    struct stat st {};
    return ::fstat(fd_, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

bool RawFile::ReadAt(std::int64_t offset, void* data, std::size_t size) const {
    return ReadSome(offset, data, size) == static_cast<std::int64_t>(size);
}

std::int64_t RawFile::ReadSome(std::int64_t offset, void* data, std::size_t size) const {
    auto* p = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd_, p + done, size - done, offset + static_cast<std::int64_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

bool RawFile::WriteAt(std::int64_t offset, const void* data, std::size_t size) const {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, p, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        offset += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace vexamo
