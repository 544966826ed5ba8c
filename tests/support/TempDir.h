#pragma once
// A fresh folder under the system's temporary directory, removed with everything in it
// when the object goes away.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vexamo::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Helpers for byte fixtures written by hand in tests.
std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);
void PutLE32(std::string& bytes, std::size_t offset, std::uint32_t value);
std::uint32_t GetLE32(std::string_view bytes, std::size_t offset);
std::string Hex(std::string_view bytes); // "0b d1 32 ..."

} // namespace vexamo::testing
