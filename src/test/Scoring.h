#pragma once
// Scoring of a finished test: the answer sheet, the counts of EndTest and the two grades.
// Windowless; the test window shows the results.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vexamo {

inline constexpr std::uint8_t kNoAnswer = 255;
inline constexpr int kAnswerSheetSize = 200;

// Per screen position: the correct answer 0..4 (255 until the question has been on screen) and
// the given answer 0..4 (255 for no answer).
struct AnswerSheet {
    AnswerSheet() { Reset(); }
    void Reset() {
        correct.fill(kNoAnswer);
        given.fill(kNoAnswer);
    }
    std::array<std::uint8_t, kAnswerSheetSize> correct;
    std::array<std::uint8_t, kAnswerSheetSize> given;
};

// The correct answer of a key text: its first character lower-cased, counted from "a"
// ("b" and "B" give 1). An empty key gives 255 (never equal to a given answer).
std::uint8_t CorrectAnswerOfKey(std::string_view key);

struct TestCounts {
    int presented = 0; // positions whose correct answer was known at the end (shown on screen)
    int right = 0;
    int wrong = 0;
    int blank = 0;
    int Failures() const { return wrong + blank; }
};

// EndTest's count over positions 0 .. n-1. A position whose correct answer is still unknown
// gets it from `readCorrect` (the caller reads the question) and does not count as presented.
TestCounts CountAnswers(AnswerSheet& sheet, int n,
                        const std::function<std::uint8_t(int position)>& readCorrect);

struct Grades {
    std::string net;     // Nota1 / Nota1b: right, minus wrong / d with the penalty
    std::string overTen; // Nota2 / Nota2b: net x 10 / n
};

// A value p / q (q > 0) as the grades show it: "-" when negative, the whole part, ",", and two
// digits of hundredths, all truncated ("-1,33", "20,66", "8,40").
std::string FormatGrade(std::int64_t numerator, std::int64_t denominator);

// ComputeGrades. nullopt when n is 0 (nothing to show), or when the penalty is on and
// `divisorText` (NumPreguntasRestar) is not a whole number above 0: then InvalidDivisorMessage
// is shown and the grades keep their previous texts.
std::optional<Grades> ComputeGrades(int n, int right, int wrong, bool penalty,
                                    std::string_view divisorText);
bool IsValidDivisor(std::string_view divisorText);
std::string InvalidDivisorMessage(std::string_view divisorText); // UTF-8

} // namespace vexamo
