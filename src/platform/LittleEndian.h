#pragma once
// 32-bit little-endian numbers as the data files store them, over byte buffers and over text
// buffers alike (std::string holds the users file in memory).

#include <concepts>
#include <cstdint>

namespace vexamo {

template <class Byte>
concept ByteLike = std::same_as<Byte, char> || std::same_as<Byte, unsigned char> ||
                   std::same_as<Byte, signed char>;

template <ByteLike Byte>
constexpr std::uint32_t GetLE32(const Byte* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(p[i]);
    return v;
}

template <ByteLike Byte>
constexpr void PutLE32(Byte* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<Byte>(static_cast<std::uint8_t>(v >> (8 * i)));
}

} // namespace vexamo
