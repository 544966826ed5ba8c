#include "platform/Cp1252.h"

#include <array>

namespace vexamo {
namespace {

// 0x80..0x9F, the only range where Windows-1252 differs from Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr std::array<std::uint8_t, 256> MakeUpperTable() {
    std::array<std::uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<std::uint8_t>(i);
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<std::uint8_t>(c - 32);
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7) t[c] = static_cast<std::uint8_t>(c - 32); // ÷ has no capital
    t[0x9A] = 0x8A; // š Š
    t[0x9C] = 0x8C; // œ Œ
    t[0x9E] = 0x8E; // ž Ž
    t[0xFF] = 0x9F; // ÿ Ÿ
    return t;
}

constexpr std::array<std::uint8_t, 256> MakeLowerTable() {
    std::array<std::uint8_t, 256> up = MakeUpperTable();
    std::array<std::uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 256; ++i)
        if (up[i] != i) t[up[i]] = static_cast<std::uint8_t>(i);
    return t;
}

constexpr auto kUpper = MakeUpperTable();
constexpr auto kLower = MakeLowerTable();

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

char32_t Cp1252ToUnicode(std::uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

int UnicodeToCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c) return static_cast<int>(0x80 + i);
    return -1;
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char ch : text) AppendUtf8(out, Cp1252ToUnicode(static_cast<std::uint8_t>(ch)));
    return out;
}

std::string Utf8ToCp1252(std::string_view text, bool* lossless) {
    std::string out;
    out.reserve(text.size());
    bool ok = true;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b0 = static_cast<std::uint8_t>(text[i]);
        int extra = 0;
        char32_t cp = 0;
        if (b0 < 0x80) {
            cp = b0;
        } else if ((b0 & 0xE0) == 0xC0) {
            extra = 1;
            cp = b0 & 0x1F;
        } else if ((b0 & 0xF0) == 0xE0) {
            extra = 2;
            cp = b0 & 0x0F;
        } else if ((b0 & 0xF8) == 0xF0) {
            extra = 3;
            cp = b0 & 0x07;
        } else {
            out += '?';
            ok = false;
            ++i;
            continue;
        }
        bool valid = i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto b = static_cast<std::uint8_t>(text[i + k]);
            if ((b & 0xC0) != 0x80) valid = false;
            else cp = (cp << 6) | (b & 0x3F);
        }
        if (!valid) {
            out += '?';
            ok = false;
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(extra) + 1;
        const int byte = UnicodeToCp1252(cp);
        if (byte < 0) {
            out += '?';
            ok = false;
        } else {
            out += static_cast<char>(byte);
        }
    }
    if (lossless) *lossless = ok;
    return out;
}

std::uint8_t UpperCp1252(std::uint8_t byte) { return kUpper[byte]; }
std::uint8_t LowerCp1252(std::uint8_t byte) { return kLower[byte]; }

std::string UpperCp1252(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(kUpper[static_cast<std::uint8_t>(c)]);
    return out;
}

std::string LowerCp1252(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(kLower[static_cast<std::uint8_t>(c)]);
    return out;
}

std::string FoldAsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

} // namespace vexamo
