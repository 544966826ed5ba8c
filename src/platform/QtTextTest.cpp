#include "platform/QtText.h"

#include <gtest/gtest.h>

namespace vexamo {
namespace {

struct TextCase {
    const char* cp1252;   // bytes as stored
    const char16_t* text; // as shown
};

// Accented letters, the euro and typographic quotes live in different ranges of the code
// page; each row covers one of them.
const TextCase kCases[] = {
    {"", u""},
    {"Materia 1", u"Materia 1"},
    {"Espa\xF1" "a \xC1rbol", u"España Árbol"},
    {"\x80 \x93" "cita\x94", u"€ “cita”"},
    {"\xBF" "Seguro?", u"¿Seguro?"},
    {"\x8A\x9F\xFF", u"ŠŸÿ"},
};

class QtTextRoundTrip : public ::testing::TestWithParam<TextCase> {};

TEST_P(QtTextRoundTrip, BytesAndTextMatchBothWays) {
    const TextCase& c = GetParam();
    const QString expected = QString::fromUtf16(c.text);
    EXPECT_EQ(ToQString(c.cp1252), expected);
    bool lossless = false;
    EXPECT_EQ(ToCp1252(expected, &lossless), std::string(c.cp1252));
    EXPECT_TRUE(lossless);
}

INSTANTIATE_TEST_SUITE_P(Samples, QtTextRoundTrip, ::testing::ValuesIn(kCases));

TEST(QtText, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    bool lossless = true;
    // Greek alpha, a CJK ideograph and an emoji outside the basic plane (a surrogate pair).
    EXPECT_EQ(ToCp1252(QString::fromUtf16(u"a\u03B1b\u4E2D\U0001F600c"), &lossless), "a?b??c");
    EXPECT_FALSE(lossless);
}

TEST(QtText, EmbeddedZeroBytesAreKept) {
    const std::string bytes("a\0b", 3);
    const QString text = ToQString(bytes);
    ASSERT_EQ(text.size(), 3);
    EXPECT_EQ(ToCp1252(text), bytes);
}

} // namespace
} // namespace vexamo
