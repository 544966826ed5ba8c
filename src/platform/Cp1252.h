#pragma once
// Windows-1252 text: the encoding of every persistent text of the system.
// Core code keeps such text as std::string bytes; conversion to Unicode happens at the edges.

#include <cstdint>
#include <string>
#include <string_view>

namespace vexamo {

// Unicode code point of one Windows-1252 byte. The five bytes the code page leaves
// undefined (81, 8D, 8F, 90, 9D) map to the C1 control of the same value.
char32_t Cp1252ToUnicode(std::uint8_t byte);

// Windows-1252 byte for a code point, or -1 when the code page has none.
int UnicodeToCp1252(char32_t codePoint);

std::string Cp1252ToUtf8(std::string_view text);

// Bytes that are not valid UTF-8, and characters the code page lacks, become '?'.
// `lossless` (when given) tells whether every character was representable.
std::string Utf8ToCp1252(std::string_view text, bool* lossless = nullptr);

// Case folding of 8-bit text following the Windows-1252 letters: accented capitals
// (Á, Ñ, Š, Œ, Ÿ ...) are letters too. ß, µ and ÿ's lack of a Latin-1 capital are handled
// the way the code page does (ÿ <-> Ÿ at 9F).
std::uint8_t UpperCp1252(std::uint8_t byte);
std::uint8_t LowerCp1252(std::uint8_t byte);
std::string UpperCp1252(std::string_view text);
std::string LowerCp1252(std::string_view text);

// Folds only 'a'..'z' to 'A'..'Z'; every other byte is kept.
std::string FoldAsciiUpper(std::string_view text);

} // namespace vexamo
