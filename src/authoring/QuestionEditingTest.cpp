#include "authoring/QuestionEditing.h"

#include "bank/Catalogue.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace vexamo {
namespace {

namespace fs = std::filesystem;
using vexamo::testing::Hex;
using vexamo::testing::PutLE32;
using vexamo::testing::ReadBytes;
using vexamo::testing::TempDir;
using vexamo::testing::WriteBytes;

// Three stored questions, written out by hand. Offsets 0, 22 and 52; the file is 74 bytes.
const std::string kR0 = "P1\r\nA\r\nB\r\nC\r\nD\r\n=a\r\n\r\n";              // 22 bytes
const std::string kR1 = "P2\r\nA2\r\nB2\r\nC2\r\nD2\r\nE2\r\n=e\r\n\r\n";     // 30 bytes
const std::string kR2 = "P3\r\nA\r\nB\r\nC\r\nD\r\n=B\r\n\r\n";              // 22 bytes

std::string Index(std::initializer_list<std::uint32_t> words) {
    std::string bytes(4 * words.size(), '\0');
    std::size_t at = 0;
    for (std::uint32_t w : words) {
        PutLE32(bytes, at, w);
        at += 4;
    }
    return bytes;
}

constexpr std::uint32_t kFlag = 0x80000000u;

QuestionTexts Texts(std::string question, std::array<std::string, 5> answers, std::string letter) {
    return {std::move(question), std::move(answers), std::move(letter)};
}

class SaveQuestionTest : public ::testing::Test {
protected:
    void SetUp() override {
        paths_ = {dir_ / "Materia.txt", dir_ / "Off_Materia.bin"};
        WriteBytes(paths_.questionFile, kR0 + kR1 + kR2);
        // Questions 1 and 2 carry the asked flag.
        WriteBytes(paths_.indexFile, Index({3, 0, 22 | kFlag, 52 | kFlag}));
    }
    EditorSubject Subject(std::uint32_t questionNumber, std::uint32_t count = 3) {
        return {paths_, 5, questionNumber, count};
    }
    // Edit mode must not touch the catalogue.
    WriteCatalogueCount NoCatalogueWrite() {
        return [](int, std::uint32_t) {
            ADD_FAILURE() << "the catalogue was written";
            return false;
        };
    }
    void ExpectFiles(const std::string& file, const std::string& index) {
        EXPECT_EQ(Hex(ReadBytes(paths_.questionFile)), Hex(file));
        EXPECT_EQ(Hex(ReadBytes(paths_.indexFile)), Hex(index));
        // Nothing left beside them.
        int entries = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_.Path())) ++entries;
        EXPECT_EQ(entries, 2);
    }
    TempDir dir_;
    SubjectPaths paths_;
};

TEST_F(SaveQuestionTest, AppendWritesRecordIndexWordAndCounts) {
    EditorSubject subject = Subject(3);
    std::vector<std::pair<int, std::uint32_t>> written;
    const SaveResult result = SaveQuestion(subject, Texts("Nueva", {"w", "x", "y", "z", ""}, "c"),
                                           [&](int s, std::uint32_t n) {
                                               written.emplace_back(s, n);
                                               return true;
                                           });
    ASSERT_TRUE(result.ok()) << result.message;
    ExpectFiles(kR0 + kR1 + kR2 + "Nueva\r\nw\r\nx\r\ny\r\nz\r\n=c\r\n\r\n",
                Index({4, 0, 22 | kFlag, 52 | kFlag, 74}));
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0], std::make_pair(5, 4u));
    EXPECT_EQ(subject.questionNumber, 4u); // a further save appends again
    EXPECT_EQ(subject.questionCount, 4u);
}

TEST_F(SaveQuestionTest, EditShorterLowersLaterWordsAndKeepsFlags) {
    EditorSubject subject = Subject(1);
    ASSERT_TRUE(SaveQuestion(subject, Texts("P", {"a", "b", "c", "d", ""}, "A"), NoCatalogueWrite()).ok());
    // 30 bytes become 21: question 2 moves from 52 to 43, its flag kept.
    ExpectFiles(kR0 + "P\r\na\r\nb\r\nc\r\nd\r\n=A\r\n\r\n" + kR2,
                Index({3, 0, 22 | kFlag, 43 | kFlag}));
    EXPECT_EQ(subject.questionNumber, 1u);
    EXPECT_EQ(subject.questionCount, 3u);
}

TEST_F(SaveQuestionTest, EditLongerRaisesLaterWords) {
    EditorSubject subject = Subject(0);
    ASSERT_TRUE(SaveQuestion(subject, Texts("Pregunta larga", {"A", "B", "C", "D", "E"}, "e"),
                             NoCatalogueWrite())
                    .ok());
    // 22 bytes become 37.
    ExpectFiles("Pregunta larga\r\nA\r\nB\r\nC\r\nD\r\nE\r\n=e\r\n\r\n" + kR1 + kR2,
                Index({3, 0, 37 | kFlag, 67 | kFlag}));
}

TEST_F(SaveQuestionTest, EditOfTheLastQuestionHasNoTail) {
    EditorSubject subject = Subject(2);
    ASSERT_TRUE(SaveQuestion(subject, Texts("P3 cambiada", {"A", "B", "C", "D", ""}, "c"),
                             NoCatalogueWrite())
                    .ok());
    ExpectFiles(kR0 + kR1 + "P3 cambiada\r\nA\r\nB\r\nC\r\nD\r\n=c\r\n\r\n",
                Index({3, 0, 22 | kFlag, 52 | kFlag}));
}

TEST_F(SaveQuestionTest, EditReplacesTheFileInsteadOfRewritingItInPlace) {
    // A second name for the old file: an in-place truncate-and-write would change it too.
    const fs::path oldCopy = dir_ / "old-link";
    ASSERT_EQ(::link(paths_.questionFile.c_str(), oldCopy.c_str()), 0);
    EditorSubject subject = Subject(1);
    ASSERT_TRUE(SaveQuestion(subject, Texts("P", {"a", "b", "c", "d", ""}, "A"), NoCatalogueWrite()).ok());
    EXPECT_EQ(ReadBytes(oldCopy), kR0 + kR1 + kR2);
    EXPECT_EQ(ReadBytes(paths_.questionFile), kR0 + "P\r\na\r\nb\r\nc\r\nd\r\n=A\r\n\r\n" + kR2);
}

TEST_F(SaveQuestionTest, EditOfALargeSubjectStreamsHeadAndTail) {
    // Head and tail larger than the copy chunk.
    std::string file, index(4, '\0');
    std::vector<std::uint32_t> offsets;
    const std::string record = "Pregunta de relleno algo larga\r\nA\r\nB\r\nC\r\nD\r\n=a\r\n\r\n";
    for (int i = 0; i < 6001; ++i) {
        offsets.push_back(static_cast<std::uint32_t>(file.size()));
        file += record;
    }
    PutLE32(index, 0, 6001);
    index.resize(4 + 4 * 6001);
    for (std::size_t i = 0; i < offsets.size(); ++i)
        PutLE32(index, 4 + 4 * i, offsets[i] | (i % 2 ? kFlag : 0));
    WriteBytes(paths_.questionFile, file);
    WriteBytes(paths_.indexFile, index);

    EditorSubject subject = Subject(3000, 6001);
    ASSERT_TRUE(SaveQuestion(subject, Texts("Corta", {"A", "B", "C", "D", ""}, "b"), NoCatalogueWrite()).ok());
    const std::string shorter = "Corta\r\nA\r\nB\r\nC\r\nD\r\n=b\r\n\r\n";
    const std::string expected = file.substr(0, offsets[3000]) + shorter + file.substr(offsets[3001]);
    EXPECT_EQ(ReadBytes(paths_.questionFile), expected);
    const std::string after = ReadBytes(paths_.indexFile);
    const std::uint32_t k = static_cast<std::uint32_t>(record.size() - shorter.size());
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const std::uint32_t want = (i <= 3000 ? offsets[i] : offsets[i] - k) | (i % 2 ? kFlag : 0);
        ASSERT_EQ(vexamo::testing::GetLE32(after, 4 + 4 * i), want) << i;
    }
}

TEST_F(SaveQuestionTest, IndexThatDisagreesWithTheCountChangesNothing) {
    const std::string index = Index({2, 0, 22 | kFlag});
    WriteBytes(paths_.indexFile, index);
    for (std::uint32_t number : {0u, 3u}) {
        EditorSubject subject = Subject(number);
        const SaveResult result =
            SaveQuestion(subject, Texts("X", {"a", "b", "c", "d", ""}, "a"), NoCatalogueWrite());
        EXPECT_EQ(result.status, SaveStatus::Inconsistent);
        EXPECT_FALSE(result.message.empty());
        EXPECT_EQ(ReadBytes(paths_.questionFile), kR0 + kR1 + kR2);
        EXPECT_EQ(ReadBytes(paths_.indexFile), index);
    }
}

TEST(SaveQuestion, FirstQuestionOfAnEmptySubjectCreatesTheFile) {
    TempDir dir;
    const SubjectPaths paths{dir / "Vacia.txt", dir / "Off_Materia.bin"};
    WriteBytes(paths.indexFile, std::string(4, '\0'));
    EditorSubject subject{paths, 0, 0, 0};
    std::uint32_t written = 0;
    ASSERT_TRUE(SaveQuestion(subject, Texts("Q", {"1", "2", "3", "4", ""}, "b"),
                             [&](int, std::uint32_t n) {
                                 written = n;
                                 return true;
                             })
                    .ok());
    EXPECT_EQ(ReadBytes(paths.questionFile), "Q\r\n1\r\n2\r\n3\r\n4\r\n=b\r\n\r\n");
    EXPECT_EQ(Hex(ReadBytes(paths.indexFile)), "01 00 00 00 00 00 00 00");
    EXPECT_EQ(written, 1u);
}

TEST(SaveQuestion, FirstQuestionStartsAtZeroEvenAfterStrayBytes) {
    // Bytes no index entry refers to (a save that failed halfway): the new file holds only the
    // record, and its offset is 0, not the old file's size.
    TempDir dir;
    const SubjectPaths paths{dir / "Vacia.txt", dir / "Off_Materia.bin"};
    WriteBytes(paths.indexFile, std::string(4, '\0'));
    WriteBytes(paths.questionFile, "resto\r\n");
    EditorSubject subject{paths, 0, 0, 0};
    ASSERT_TRUE(SaveQuestion(subject, Texts("Q", {"1", "2", "3", "4", ""}, "a"), nullptr).ok());
    EXPECT_EQ(ReadBytes(paths.questionFile), "Q\r\n1\r\n2\r\n3\r\n4\r\n=a\r\n\r\n");
    EXPECT_EQ(Hex(ReadBytes(paths.indexFile)), "01 00 00 00 00 00 00 00");
}

TEST(SaveQuestion, AppendWritesTheCountIntoTheCatalogueFile) {
    TempDir dir;
    Catalogue catalogue(dir.Path());
    ASSERT_TRUE(catalogue.LoadOrCreate()) << catalogue.ErrorString();
    ASSERT_TRUE(catalogue.AddSubject("Historia", 0)) << catalogue.ErrorString();
    EditorSubject subject{PathsOf(catalogue, 0), 0, 0, 0};
    for (const char* question : {"Primera", "Segunda"})
        ASSERT_TRUE(SaveQuestion(subject, Texts(question, {"a", "b", "c", "d", ""}, "a"), catalogue).ok());
    Catalogue reloaded(dir.Path());
    ASSERT_TRUE(reloaded.LoadCatalogue());
    EXPECT_EQ(reloaded.subjects[0].QuestionCount(), 2u);
    EXPECT_EQ(IndexCount(subject.paths), 2u);
    const auto second = ReadQuestion(subject.paths, 1);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->text, "Segunda");
}

// ---------------------------------------------------------------------------------------------

TEST_F(SaveQuestionTest, ReadStoredQuestionFillsTheSevenSlots) {
    const auto five = ReadStoredQuestion(paths_, 1);
    ASSERT_TRUE(five.has_value());
    EXPECT_EQ(five->question, "P2");
    EXPECT_EQ(five->answers, (std::array<std::string, 5>{"A2", "B2", "C2", "D2", "E2"}));
    EXPECT_EQ(five->letter, "e");
    // Four answers: the key line takes the place of answer e).
    const auto four = ReadStoredQuestion(paths_, 2);
    ASSERT_TRUE(four.has_value());
    EXPECT_EQ(four->answers[4], "");
    EXPECT_EQ(four->letter, "B");
    EXPECT_FALSE(ReadStoredQuestion(paths_, 3).has_value());
}

struct DuplicateCase {
    std::string name;
    QuestionTexts texts;
    bool duplicate;
};

class DuplicateTest : public ::testing::TestWithParam<DuplicateCase> {};

TEST_P(DuplicateTest, BlindOnlyToAsciiCase) {
    TempDir dir;
    const SubjectPaths paths{dir / "m.txt", dir / "Off_Materia.bin"};
    const std::string spanish = "Capital de Espa\xF1" "a\r\nMadrid\r\nParis\r\nRoma\r\nLisboa\r\n=a\r\n\r\n";
    WriteBytes(paths.questionFile, kR0 + spanish + kR1);
    WriteBytes(paths.indexFile, Index({3, 0, 22 | kFlag, static_cast<std::uint32_t>(22 + spanish.size())}));
    EXPECT_EQ(IsDuplicateQuestion(paths, GetParam().texts), GetParam().duplicate);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DuplicateTest,
    ::testing::Values(
        DuplicateCase{"Same", Texts("P1", {"A", "B", "C", "D", ""}, "a"), true},
        DuplicateCase{"AsciiCase", Texts("p1", {"a", "b", "c", "d", ""}, "A"), true},
        DuplicateCase{"LastQuestion", Texts("p2", {"a2", "b2", "c2", "d2", "e2"}, "E"), true},
        DuplicateCase{"AccentedCaseCounts",
                      Texts("CAPITAL DE ESPA\xD1" "A", {"MADRID", "PARIS", "ROMA", "LISBOA", ""}, "a"), false},
        DuplicateCase{"AccentedSameByte",
                      Texts("CAPITAL DE ESPA\xF1" "A", {"MADRID", "PARIS", "ROMA", "LISBOA", ""}, "a"), true},
        DuplicateCase{"OtherLetter", Texts("P1", {"A", "B", "C", "D", ""}, "b"), false},
        DuplicateCase{"FifthAnswer", Texts("P1", {"A", "B", "C", "D", "E"}, "a"), false},
        DuplicateCase{"Blank", Texts("P1 ", {"A", "B", "C", "D", ""}, "a"), false}),
    [](const ::testing::TestParamInfo<DuplicateCase>& info) { return info.param.name; });

TEST(IsDuplicateQuestion, EmptySubjectHasNoDuplicate) {
    TempDir dir;
    const SubjectPaths paths{dir / "m.txt", dir / "Off_Materia.bin"};
    WriteBytes(paths.indexFile, std::string(4, '\0'));
    EXPECT_FALSE(IsDuplicateQuestion(paths, Texts("P", {"a", "b", "c", "d", ""}, "a")));
}

// ---------------------------------------------------------------------------------------------

struct ValidationCase {
    std::string name;
    QuestionTexts texts;
    bool onlyFour;
    std::string message; // empty: valid
    EditorField focus;
};

class ValidateQuestionTest : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(ValidateQuestionTest, MessageAndFocus) {
    const ValidationCase& c = GetParam();
    const auto failure = ValidateQuestion(c.texts, c.onlyFour);
    if (c.message.empty()) {
        EXPECT_FALSE(failure.has_value()) << failure->message;
        return;
    }
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->message, c.message);
    EXPECT_EQ(failure->focus, c.focus);
}

const std::string kFill = "\nRellena todos los campos...";
const std::string kRevisa = "\nRevisa la solución proporcionada...";
const std::string kBlank = "\n¡La solución proporcionada está en blanco!";
const std::string kComprueba = "\nComprueba la respuesta correcta...";
const std::string kTooLong = "\nUn campo no puede tener más de 1023 caracteres...";
const std::string kKeyLike =
    "\nUna respuesta no puede empezar por \"=\", ni un texto acabar en \"=\" seguido de una letra "
    "de la A a la E...";

INSTANTIATE_TEST_SUITE_P(
    Cases, ValidateQuestionTest,
    ::testing::Values(
        ValidationCase{"Valid", Texts("Q", {"a", "b", "c", "d", ""}, "b"), false, "", EditorField::Letter},
        ValidationCase{"LowerE", Texts("Q", {"a", "b", "c", "d", "e"}, "e"), false, "", EditorField::Letter},
        ValidationCase{"HiddenFifthKept", Texts("Q", {"a", "b", "c", "d", "e"}, "a"), true, "", EditorField::Letter},
        ValidationCase{"NoQuestion", Texts("", {"a", "b", "c", "d", ""}, "a"), false, kFill, EditorField::Question},
        ValidationCase{"NoThirdAnswer", Texts("Q", {"a", "b", "", "d", ""}, "a"), false, kFill, EditorField::Answer3},
        ValidationCase{"NoLetter", Texts("Q", {"a", "b", "c", "d", ""}, ""), false, kFill, EditorField::Letter},
        ValidationCase{"LetterF", Texts("Q", {"a", "b", "c", "d", "e"}, "F"), false, kRevisa, EditorField::Letter},
        ValidationCase{"LetterZ", Texts("Q", {"a", "b", "c", "d", "e"}, "z"), false, kRevisa, EditorField::Letter},
        ValidationCase{"EWithFour", Texts("Q", {"a", "b", "c", "d", "e"}, "E"), true, kRevisa, EditorField::Letter},
        ValidationCase{"EEmpty", Texts("Q", {"a", "b", "c", "d", ""}, "E"), false, kBlank, EditorField::Answer5},
        ValidationCase{"Digit", Texts("Q", {"a", "b", "c", "d", ""}, "1"), false, kComprueba, EditorField::Letter},
        ValidationCase{"Accented", Texts("Q", {"a", "b", "c", "d", ""}, "\xE1"), false, kComprueba, EditorField::Letter},
        ValidationCase{"Punctuation", Texts("Q", {"a", "b", "c", "d", ""}, "["), false, kComprueba, EditorField::Letter},
        ValidationCase{"Longest", Texts(std::string(1023, 'q'), {"a", "b", "c", "d", ""}, "a"), false, "", EditorField::Letter},
        ValidationCase{"TooLong", Texts("Q", {"a", std::string(1024, 'b'), "c", "d", ""}, "a"), false, kTooLong, EditorField::Answer2},
        ValidationCase{"AnswerLikeKey", Texts("Q", {"a", "b", "=5", "d", ""}, "a"), false, kKeyLike, EditorField::Answer3},
        ValidationCase{"QuestionEndsLikeKey", Texts("Si x=a", {"a", "b", "c", "d", ""}, "a"), false, kKeyLike, EditorField::Question},
        ValidationCase{"EqualsInside", Texts("2+2=4?", {"x=1", "b", "c", "d", ""}, "a"), false, "", EditorField::Letter}),
    [](const ::testing::TestParamInfo<ValidationCase>& info) { return info.param.name; });

TEST(CollectInput, BreaksAndTrailingBlanks) {
    const QuestionTexts texts =
        CollectInput("Hola\r\nmundo\ny\rmas\r\n\n", {"  uno  ", "dos\r\ntres", "   ", "x\t ", ""}, "b");
    EXPECT_EQ(texts.question, "Hola mundo y mas");
    EXPECT_EQ(texts.answers, (std::array<std::string, 5>{"  uno", "dos tres", "", "x", ""}));
    EXPECT_EQ(texts.letter, "b");
    EXPECT_EQ(CollectInput("\r\n\r\n", {}, "").question, "");
}

TEST(BuildQuestionRecord, FourOrFiveAnswersAndTheLetterAsTyped) {
    EXPECT_EQ(BuildQuestionRecord(Texts("Q", {"a", "b", "c", "d", ""}, "b")),
              "Q\r\na\r\nb\r\nc\r\nd\r\n=b\r\n\r\n");
    EXPECT_EQ(BuildQuestionRecord(Texts("Q", {"a", "b", "c", "d", "e"}, "E")),
              "Q\r\na\r\nb\r\nc\r\nd\r\ne\r\n=E\r\n\r\n");
}

} // namespace
} // namespace vexamo
