#pragma once
// Conversion between the Windows-1252 bytes kept by the core and the QString shown by the
// windows. Characters the code page lacks become '?'.

#include <QString>
#include <string>
#include <string_view>

namespace vexamo {

QString ToQString(std::string_view cp1252);
// `lossless` (when given) tells whether every character had a Windows-1252 byte.
std::string ToCp1252(const QString& text, bool* lossless = nullptr);

} // namespace vexamo
