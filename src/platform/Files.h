#pragma once
// File helpers shared by the readers and writers of the data files.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vexamo {

// Linux has no hidden attribute: a file the system marks hidden is written owner-only.
inline constexpr std::filesystem::perms kHiddenFileMode =
    std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

// Sink handed to ReplaceFileAtomically's writer; returns false when a write fails.
class FileSink {
public:
    explicit FileSink(int fd) : fd_(fd) {}
    bool Write(const void* data, std::size_t size);
    bool Write(std::string_view data) { return Write(data.data(), data.size()); }

private:
    int fd_;
};

// The whole content of a file; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Permission bits of an existing file; nullopt when it does not exist.
std::optional<std::filesystem::perms> FileMode(const std::filesystem::path& path);

// Replaces `target` so that a crash leaves either the old file or the new one, never neither:
// the writer fills a temporary file beside the target, which is flushed to disk and renamed
// over it. The new file gets `mode`. When the writer or any step fails, the temporary file is
// removed, the target is left as it was and false is returned.
bool ReplaceFileAtomically(const std::filesystem::path& target, std::filesystem::perms mode,
                           const std::function<bool(FileSink&)>& writer);

// Shorthand for content already in memory.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view content,
                         std::filesystem::perms mode);

// Path of a file or folder named with Windows-1252 text: the name is converted to UTF-8.
std::filesystem::path PathFromCp1252(const std::filesystem::path& folder, std::string_view name);

} // namespace vexamo
