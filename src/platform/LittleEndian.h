#pragma once
// 32-bit little-endian numbers as the data files store them.

#include <cstdint>

namespace vexamo {

constexpr std::uint32_t GetLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

constexpr void PutLE32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

// The same over text buffers (std::string holds the users file in memory).
constexpr std::uint32_t GetLE32(const char* p) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(p[0])) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(p[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(p[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(p[3])) << 24;
}

constexpr void PutLE32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(static_cast<std::uint8_t>(v >> (8 * i)));
}

} // namespace vexamo
