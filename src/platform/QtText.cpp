#include "platform/QtText.h"

#include "platform/Cp1252.h"

namespace vexamo {

QString ToQString(std::string_view cp1252) {
    std::u32string codePoints;
    codePoints.reserve(cp1252.size());
    for (const char c : cp1252) codePoints.push_back(Cp1252ToUnicode(static_cast<std::uint8_t>(c)));
    return QString::fromStdU32String(codePoints);
}

std::string ToCp1252(const QString& text, bool* lossless) {
    bool allKnown = true;
    std::string bytes;
    const std::u32string codePoints = text.toStdU32String();
    bytes.reserve(codePoints.size());
    for (const char32_t cp : codePoints) {
        const int byte = UnicodeToCp1252(cp);
        if (byte < 0) {
            allKnown = false;
            bytes.push_back('?');
        } else {
            bytes.push_back(static_cast<char>(byte));
        }
    }
    if (lossless) *lossless = allKnown;
    return bytes;
}

} // namespace vexamo
