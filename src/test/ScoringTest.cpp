#include "test/Scoring.h"

#include <gtest/gtest.h>

#include <vector>

namespace vexamo {
namespace {

struct GradeCase {
    int n, right, wrong;
    bool penalty;
    std::string divisor;
    std::string net, overTen;
};

class ComputeGradesTest : public ::testing::TestWithParam<GradeCase> {};

TEST_P(ComputeGradesTest, TruncatedTwoDecimalsWithComma) {
    const GradeCase& c = GetParam();
    const std::optional<Grades> grades = ComputeGrades(c.n, c.right, c.wrong, c.penalty, c.divisor);
    ASSERT_TRUE(grades.has_value());
    EXPECT_EQ(grades->net, c.net);
    EXPECT_EQ(grades->overTen, c.overTen);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ComputeGradesTest,
    ::testing::Values(GradeCase{50, 44, 6, true, "3", "42,00", "8,40"},
                      GradeCase{50, 28, 22, true, "3", "20,66", "4,13"},   // 20.666..., 4.1333...
                      GradeCase{50, 28, 0, true, "3", "28,00", "5,60"},    // 22 blank
                      GradeCase{12, 2, 10, true, "1", "-8,00", "-6,66"},   // -6.666... truncated
                      GradeCase{8, 1, 7, true, "3", "-1,33", "-1,66"},
                      GradeCase{50, 0, 1, true, "3", "-0,33", "-0,06"},    // sign kept below 1
                      GradeCase{50, 28, 22, false, "", "28,00", "5,60"},   // penalty off: divisor unused
                      GradeCase{3, 2, 1, false, "3", "2,00", "6,66"},
                      GradeCase{7, 7, 0, true, "100", "7,00", "10,00"}));

TEST(ComputeGrades, NothingForAnEmptyTestOrABadDivisor) {
    EXPECT_EQ(ComputeGrades(0, 0, 0, true, "3"), std::nullopt);
    for (const char* bad : {"", "0", "a", "-1", " 3"}) {
        EXPECT_EQ(ComputeGrades(10, 5, 5, true, bad), std::nullopt) << bad;
        EXPECT_FALSE(IsValidDivisor(bad)) << bad;
    }
    EXPECT_TRUE(IsValidDivisor("3"));
    EXPECT_EQ(InvalidDivisorMessage("a"),
              "\n\"a\" no es un número válido: escribe un número entero mayor que 0.");
}

TEST(FormatGrade, WholePartCommaAndTwoTruncatedDigits) {
    EXPECT_EQ(FormatGrade(62, 3), "20,66");
    EXPECT_EQ(FormatGrade(-4, 3), "-1,33");
    EXPECT_EQ(FormatGrade(1, 20), "0,05");
    EXPECT_EQ(FormatGrade(0, 7), "0,00");
    EXPECT_EQ(FormatGrade(12345, 1), "12345,00");
}

TEST(CountAnswers, GivingUpAtTheFifthOfTwenty) {
    AnswerSheet sheet;
    // Four answered (two right, two wrong), the fifth on screen without an answer.
    const std::uint8_t correct[5] = {0, 1, 2, 3, 4};
    const std::uint8_t given[5] = {0, 1, 0, 0, kNoAnswer};
    for (int p = 0; p < 5; ++p) {
        sheet.correct[static_cast<std::size_t>(p)] = correct[p];
        sheet.given[static_cast<std::size_t>(p)] = given[p];
    }
    std::vector<int> read;
    const TestCounts counts = CountAnswers(sheet, 20, [&](int p) {
        read.push_back(p);
        return static_cast<std::uint8_t>(p % 5);
    });
    EXPECT_EQ(counts.presented, 5);
    EXPECT_EQ(counts.right, 2);
    EXPECT_EQ(counts.wrong, 2);
    EXPECT_EQ(counts.blank, 16);
    EXPECT_EQ(counts.Failures(), 18);
    std::vector<int> expected;
    for (int p = 5; p < 20; ++p) expected.push_back(p);
    EXPECT_EQ(read, expected);
    EXPECT_EQ(sheet.correct[19], 4); // filled from the question read
    EXPECT_EQ(sheet.correct[20], kNoAnswer);
}

TEST(CountAnswers, AllRight) {
    AnswerSheet sheet;
    for (std::size_t p = 0; p < 3; ++p) sheet.correct[p] = sheet.given[p] = static_cast<std::uint8_t>(p);
    const TestCounts counts = CountAnswers(sheet, 3, [](int) -> std::uint8_t {
        ADD_FAILURE() << "every question was shown";
        return 0;
    });
    EXPECT_EQ(counts.presented, 3);
    EXPECT_EQ(counts.right, 3);
    EXPECT_EQ(counts.Failures(), 0);
}

TEST(CorrectAnswerOfKey, FirstLetterFromA) {
    EXPECT_EQ(CorrectAnswerOfKey("b"), 1);
    EXPECT_EQ(CorrectAnswerOfKey("B"), 1);
    EXPECT_EQ(CorrectAnswerOfKey("e"), 4);
    EXPECT_EQ(CorrectAnswerOfKey("A"), 0);
    EXPECT_EQ(CorrectAnswerOfKey(""), kNoAnswer);
}

} // namespace
} // namespace vexamo
