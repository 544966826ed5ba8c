#include "test/Scoring.h"

#include "platform/Cp1252.h"

#include <algorithm>
#include <cstdlib>

namespace vexamo {

std::uint8_t CorrectAnswerOfKey(std::string_view key) {
    if (key.empty()) return kNoAnswer;
    return static_cast<std::uint8_t>(LowerCp1252(static_cast<std::uint8_t>(key.front())) - 'a');
}

TestCounts CountAnswers(AnswerSheet& sheet, int n,
                        const std::function<std::uint8_t(int position)>& readCorrect) {
    TestCounts counts;
    n = std::clamp(n, 0, kAnswerSheetSize);
    for (int p = 0; p < n; ++p) {
        const auto i = static_cast<std::size_t>(p);
        if (sheet.correct[i] == kNoAnswer) {
            if (readCorrect) sheet.correct[i] = readCorrect(p);
        } else {
            ++counts.presented;
        }
        if (sheet.given[i] == kNoAnswer)
            ++counts.blank;
        else if (sheet.given[i] == sheet.correct[i])
            ++counts.right;
        else
            ++counts.wrong;
    }
    return counts;
}

std::string FormatGrade(std::int64_t numerator, std::int64_t denominator) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    std::string text = numerator < 0 ? "-" : "";
    const std::uint64_t p = numerator < 0 ? static_cast<std::uint64_t>(-numerator)
                                          : static_cast<std::uint64_t>(numerator);
    const auto q = static_cast<std::uint64_t>(denominator);
    const std::uint64_t hundredths = p * 100 / q; // truncated
    text += std::to_string(hundredths / 100);
    text += ',';
    const std::uint64_t cents = hundredths % 100;
    if (cents < 10) text += '0';
    text += std::to_string(cents);
    return text;
}

namespace {

std::optional<int> Divisor(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value <= 0) return std::nullopt;
    return value;
}

} // namespace

bool IsValidDivisor(std::string_view divisorText) { return Divisor(divisorText).has_value(); }

std::string InvalidDivisorMessage(std::string_view divisorText) {
    return "\n\"" + Cp1252ToUtf8(divisorText) +
           "\" no es un número válido: escribe un número entero mayor que 0.";
}

std::optional<Grades> ComputeGrades(int n, int right, int wrong, bool penalty,
                                    std::string_view divisorText) {
    if (n <= 0) return std::nullopt;
    std::int64_t d = 1;
    std::int64_t netNumerator = right; // net = netNumerator / d, exactly
    if (penalty) {
        const std::optional<int> divisor = Divisor(divisorText);
        if (!divisor) return std::nullopt;
        d = *divisor;
        netNumerator = static_cast<std::int64_t>(right) * d - wrong;
    }
    Grades grades;
    grades.net = FormatGrade(netNumerator, d);
    grades.overTen = FormatGrade(netNumerator * 10, d * n);
    return grades;
}

} // namespace vexamo
