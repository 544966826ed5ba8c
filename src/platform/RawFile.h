#pragma once
// An open file descriptor, closed when it goes out of scope, with positioned reads and writes
// that carry on after a signal interrupts them.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <sys/types.h>

namespace vexamo {

class RawFile {
public:
    // Opens `path` with open(2) `flags` (and `mode` when they create it). An empty path or a
    // failed open leaves the object !ok(), with errno as open left it; every use checks ok()
    // first.
    RawFile(const std::filesystem::path& path, int flags, mode_t mode = 0644);
    ~RawFile();
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // The file's size in bytes; -1 when it cannot be told.
    std::int64_t Size() const;
    // Reads exactly `size` bytes at `offset`; false on an error or when the file ends first.
    bool ReadAt(std::int64_t offset, void* data, std::size_t size) const;
    // Reads up to `size` bytes at `offset`: the number read (short only at the end of the
    // file), -1 on an error.
    std::int64_t ReadSome(std::int64_t offset, void* data, std::size_t size) const;
    // Writes all `size` bytes at `offset`; false when any of them cannot be written.
    bool WriteAt(std::int64_t offset, const void* data, std::size_t size) const;

private:
    int fd_;
};

} // namespace vexamo
