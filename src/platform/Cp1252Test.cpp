#include "platform/Cp1252.h"

#include <gtest/gtest.h>

namespace vexamo {
namespace {

TEST(Cp1252, HighRangeMapsToTheCodePageCharacters) {
    EXPECT_EQ(Cp1252ToUnicode(0x80), U'\u20AC'); // €
    EXPECT_EQ(Cp1252ToUnicode(0x9F), U'\u0178'); // Ÿ
    EXPECT_EQ(Cp1252ToUnicode(0x81), U'\u0081'); // undefined byte kept as control
    EXPECT_EQ(Cp1252ToUnicode(0xED), U'\u00ED'); // í
}

TEST(Cp1252, RoundTripsEveryByteThroughUtf8) {
    std::string all;
    for (int i = 1; i < 256; ++i) all += static_cast<char>(i);
    bool lossless = false;
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all), &lossless), all);
    EXPECT_TRUE(lossless);
}

TEST(Cp1252, AccentedNameBecomesReadableUtf8) {
    EXPECT_EQ(Cp1252ToUtf8("Geograf\xED" "a"), "Geografía");
    EXPECT_EQ(Utf8ToCp1252("Geografía"), "Geograf\xED" "a");
}

TEST(Cp1252, UnrepresentableOrBrokenUtf8BecomesQuestionMark) {
    bool lossless = true;
    EXPECT_EQ(Utf8ToCp1252("a\xE4\xB8\xAD" "b", &lossless), "a?b"); // 中
    EXPECT_FALSE(lossless);
    EXPECT_EQ(Utf8ToCp1252("x\xC3", &lossless), "x?"); // truncated sequence
    EXPECT_EQ(Utf8ToCp1252("\xFF", &lossless), "?");
}

struct CaseRow {
    const char* lower;
    const char* upper;
};

class Cp1252Case : public ::testing::TestWithParam<CaseRow> {};

TEST_P(Cp1252Case, FoldsBothWays) {
    const auto& row = GetParam();
    EXPECT_EQ(UpperCp1252(row.lower), row.upper);
    EXPECT_EQ(LowerCp1252(row.upper), row.lower);
}

INSTANTIATE_TEST_SUITE_P(Letters, Cp1252Case,
                         ::testing::Values(CaseRow{"constituci\xF3n", "CONSTITUCI\xD3N"},
                                           CaseRow{"a\xF1o", "A\xD1O"},
                                           CaseRow{"\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"},
                                           CaseRow{"1+2 \xF7", "1+2 \xF7"}));

TEST(Cp1252, SharpSAndMicroHaveNoCapital) {
    EXPECT_EQ(UpperCp1252(std::uint8_t{0xDF}), 0xDF);
    EXPECT_EQ(UpperCp1252(std::uint8_t{0xB5}), 0xB5);
}

TEST(Cp1252, FoldAsciiUpperLeavesAccentsAlone) {
    EXPECT_EQ(FoldAsciiUpper("ca\xF1\xF3n z"), "CA\xF1\xF3N Z");
}

} // namespace
} // namespace vexamo
