#include "DemoBank.h"

#include "TempDir.h"
#include "bank/Catalogue.h"
#include "bank/SubjectFiles.h"
#include "platform/Cp1252.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <sys/wait.h>

namespace vexamo::demo {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// The shipped sources, read independently of the builder's parser: blocks of non-empty lines
// separated by blank lines, "#" lines at the start of a block skipped.
struct PlainQuestion {
    std::vector<std::string> lines; // UTF-8: question, answers, key line
};

std::vector<PlainQuestion> ReadPlainQuestions(const fs::path& file) {
    std::vector<PlainQuestion> questions;
    std::string text = ReadBytes(file);
    std::erase(text, '\r');
    PlainQuestion current;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string line = text.substr(pos, end - pos);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
        if (line.empty()) {
            if (!current.lines.empty()) questions.push_back(current);
            current = {};
        } else if (!(line[0] == '#' && current.lines.empty())) {
            current.lines.push_back(line);
        }
        pos = end + 1;
    }
    if (!current.lines.empty()) questions.push_back(current);
    return questions;
}

std::vector<fs::path> SubjectFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".txt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(DemoBankTest, ShippedSourcesBuildALoadableBankWithEveryQuestionReadable) {
    const fs::path sources = VEXAMO_DEMO_SOURCE;
    TempDir data;
    DemoSource source;
    std::string error;
    ASSERT_TRUE(LoadDemoSource(sources, source, error)) << error;
    ASSERT_TRUE(BuildDemoBank(source, data.Path(), error)) << error;

    Catalogue catalogue(data.Path());
    ASSERT_TRUE(catalogue.LoadCatalogue()) << catalogue.ErrorString();

    const std::vector<fs::path> files = SubjectFiles(sources);
    ASSERT_GE(files.size(), 4u);
    ASSERT_EQ(catalogue.SubjectCount(), static_cast<int>(files.size()));
    int fiveAnswerQuestions = 0;
    int fourAnswerQuestions = 0;
    for (int s = 0; s < catalogue.SubjectCount(); ++s) {
        SCOPED_TRACE(files[s].filename().string());
        EXPECT_EQ(Cp1252ToUtf8(catalogue.subjectNames[s]), files[s].stem().string());
        EXPECT_TRUE(fs::is_directory(data / files[s].stem().string()));

        const std::vector<PlainQuestion> expected = ReadPlainQuestions(files[s]);
        ASSERT_GE(expected.size(), 25u);
        const SubjectPaths paths = PathsOf(catalogue, s);
        EXPECT_EQ(catalogue.subjects[s].QuestionCount(), expected.size());
        ASSERT_EQ(IndexCount(paths), expected.size());
        for (std::uint32_t n = 0; n < expected.size(); ++n) {
            SCOPED_TRACE("pregunta " + std::to_string(n));
            EXPECT_FALSE(IsAsked(paths, n));
            const std::optional<Question> q = ReadQuestion(paths, n);
            ASSERT_TRUE(q.has_value());
            const std::vector<std::string>& lines = expected[n].lines;
            ASSERT_GE(lines.size(), 6u);
            EXPECT_EQ(Cp1252ToUtf8(q->text), lines.front());
            ASSERT_EQ(q->answers.size(), lines.size() - 2);
            for (std::size_t a = 0; a < q->answers.size(); ++a)
                EXPECT_EQ(Cp1252ToUtf8(q->answers[a]), lines[a + 1]);
            EXPECT_EQ("=" + q->key, lines.back());
            ASSERT_EQ(q->key.size(), 1u);
            const int keyIndex = std::tolower(static_cast<unsigned char>(q->key[0])) - 'a';
            EXPECT_GE(keyIndex, 0);
            EXPECT_LT(keyIndex, q->AnswerCount());
            (q->AnswerCount() == 5 ? fiveAnswerQuestions : fourAnswerQuestions)++;
        }
    }
    EXPECT_GT(fiveAnswerQuestions, 0);
    EXPECT_GT(fourAnswerQuestions, 0);

    // Exam types: names in order; each includes exactly the subjects listed, with their counts.
    std::string list = ReadBytes(sources / kExamTypesFileName);
    std::erase(list, '\r');
    std::vector<std::string> examNames;
    std::vector<std::map<std::string, int>> included;
    std::size_t pos = 0;
    while (pos < list.size()) {
        const std::size_t end = std::min(list.find('\n', pos), list.size());
        const std::string line = list.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            examNames.push_back(line.substr(1, line.find(']') - 1));
            included.emplace_back();
            continue;
        }
        const std::size_t eq = line.rfind('=');
        std::string name = line.substr(0, eq);
        while (!name.empty() && name.back() == ' ') name.pop_back();
        included.back()[name] = std::stoi(line.substr(eq + 1));
    }
    ASSERT_GE(examNames.size(), 2u);
    ASSERT_EQ(catalogue.ExamTypeCount(), static_cast<int>(examNames.size()));
    for (int e = 0; e < catalogue.ExamTypeCount(); ++e) {
        const ExamTypeRecord& exam = catalogue.examTypes[e];
        EXPECT_EQ(Cp1252ToUtf8(exam.Name()), examNames[e]);
        for (int s = 0; s < catalogue.SubjectCount(); ++s) {
            const auto it = included[e].find(Cp1252ToUtf8(catalogue.subjectNames[s]));
            EXPECT_EQ(exam.IsIncluded(s), it != included[e].end()) << examNames[e] << " / " << s;
            if (it != included[e].end()) {
                EXPECT_EQ(exam.QuestionsFor(s), it->second);
                EXPECT_LE(static_cast<std::uint32_t>(it->second),
                          catalogue.subjects[s].QuestionCount());
            }
        }
        EXPECT_FALSE(included[e].empty());
    }
}

// A hand-built source folder, checked byte for byte against the files the builder writes.
TEST(DemoBankTest, QuestionFileAndIndexHoldExactlyTheEditorsRecords) {
    TempDir sources;
    WriteBytes(sources / kExamTypesFileName,
               "# prueba\n[Química]\nQuímica básica = 2\n\n[Vacío]\n");
    WriteBytes(sources / "Química básica.txt",
               "# comentario\r\n"
               "¿Símbolo del sodio?\r\nNa\r\nS\r\nSo\r\nNi\r\n=a\r\n\r\n\r\n"
               "¿Cuál es un gas noble?\n  Neón\nOxígeno\nCloro\nHidrógeno\nNitrógeno\n=A\n");
    TempDir data;
    DemoSource source;
    std::string error;
    ASSERT_TRUE(LoadDemoSource(sources.Path(), source, error)) << error;
    ASSERT_TRUE(BuildDemoBank(source, data.Path(), error)) << error;

    const std::string first = "\xBFS\xEDmbolo del sodio?\r\nNa\r\nS\r\nSo\r\nNi\r\n=a\r\n\r\n";
    const std::string second =
        "\xBF" "Cu\xE1l es un gas noble?\r\n  Ne\xF3n\r\nOx\xEDgeno\r\nCloro\r\nHidr\xF3geno\r\n"
        "Nitr\xF3geno\r\n=A\r\n\r\n";
    const fs::path folder = data / "Química básica";
    EXPECT_EQ(ReadBytes(folder / "Química básica.txt"), first + second);
    std::string index(12, '\0');
    testing::PutLE32(index, 0, 2);
    testing::PutLE32(index, 4, 0);
    testing::PutLE32(index, 8, static_cast<std::uint32_t>(first.size()));
    EXPECT_EQ(testing::Hex(ReadBytes(folder / kIndexFileName)), testing::Hex(index));

    Catalogue catalogue(data.Path());
    ASSERT_TRUE(catalogue.LoadCatalogue());
    ASSERT_EQ(catalogue.ExamTypeCount(), 2);
    EXPECT_EQ(catalogue.examTypes[0].Name(), "Qu\xEDmica");
    EXPECT_EQ(catalogue.examTypes[1].Name(), "Vac\xEDo");
    ASSERT_EQ(catalogue.SubjectCount(), 1);
    EXPECT_EQ(catalogue.subjectNames[0], "Qu\xEDmica b\xE1sica");
    EXPECT_EQ(catalogue.subjects[0].QuestionCount(), 2u);
    EXPECT_TRUE(catalogue.examTypes[0].IsIncluded(0));
    EXPECT_EQ(catalogue.examTypes[0].QuestionsFor(0), 2);
    EXPECT_FALSE(catalogue.examTypes[1].IsIncluded(0));
}

struct BadSource {
    const char* what;
    const char* text;
    const char* message; // part of the expected message
};

std::string CaseName(const ::testing::TestParamInfo<BadSource>& info) {
    std::string name = info.param.what;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

class BadSubjectTest : public ::testing::TestWithParam<BadSource> {};

TEST_P(BadSubjectTest, IsRefusedNamingTheLine) {
    SourceSubject subject;
    std::string error;
    EXPECT_FALSE(ParseSubjectText(GetParam().text, "m.txt", subject, error));
    EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
}

const std::string kLongLine(1024, 'x');
const std::string kLongQuestion = "P\nA\nB\nC\n" + kLongLine + "\n=a\n";

INSTANTIATE_TEST_SUITE_P(
    Questions, BadSubjectTest,
    ::testing::Values(
        BadSource{"three answers", "P\nA\nB\nC\n=a\n", "m.txt, línea 1: una pregunta lleva"},
        BadSource{"six answers", "P\nA\nB\nC\nD\nE\nF\n=a\n", "línea 1: una pregunta lleva"},
        BadSource{"no key line", "P\nA\nB\nC\nD\nE\n", "línea 6: se esperaba la clave"},
        BadSource{"key beyond the answers", "\nP\nA\nB\nC\nD\n=e\n",
                  "línea 7: la clave señala una respuesta que no existe"},
        BadSource{"key letter f", "P\nA\nB\nC\nD\nE\n=f\n", "línea 7: se esperaba la clave"},
        BadSource{"answer that starts like a key", "P\nA\n=B\nC\nD\n=a\n",
                  "línea 3: una respuesta no puede empezar"},
        BadSource{"line that ends like a key", "P\nA\nB\nC\nx=c\n=a\n",
                  "línea 5: la línea no puede terminar"},
        BadSource{"character outside Windows-1252", "P\nA\nB\n\xE4\xB8\xAD\nD\n=a\n",
                  "línea 4: hay caracteres que no existen"},
        BadSource{"line too long", kLongQuestion.c_str(), "línea 5: la línea pasa de 1023"},
        BadSource{"second question broken", "P\nA\nB\nC\nD\n=a\n\nQ\nA\nB\n=a\n",
                  "línea 8: una pregunta lleva"},
        BadSource{"no questions", "# nada\n\n", "m.txt: no contiene ninguna pregunta"}),
    CaseName);

class BadExamListTest : public ::testing::TestWithParam<BadSource> {};

TEST_P(BadExamListTest, IsRefusedNamingTheLine) {
    std::vector<SourceExamType> exams;
    std::string error;
    EXPECT_FALSE(ParseExamTypesText(GetParam().text, "examenes.lst", exams, error));
    EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    ExamTypes, BadExamListTest,
    ::testing::Values(
        BadSource{"subject before any exam", "Historia = 3\n", "línea 1: falta antes el nombre"},
        BadSource{"unclosed name", "[Examen\n", "línea 1: falta el \"]\""},
        BadSource{"count above a byte", "[E]\nHistoria = 256\n", "línea 2: el número de preguntas"},
        BadSource{"count not a number", "[E]\nHistoria = diez\n",
                  "línea 2: el número de preguntas"},
        BadSource{"negative count", "[E]\nHistoria = -1\n", "línea 2: el número de preguntas"},
        BadSource{"no count", "[E]\nHistoria\n", "línea 2: se esperaba"},
        BadSource{"subject twice", "[E]\nA = 1\nA = 2\n", "línea 3: esa materia ya está"},
        BadSource{"exam twice", "[E]\n[E]\n", "línea 2: ese tipo de examen ya está"},
        BadSource{"name too long",
                  "[123456789012345678901234567890123456789012345678901234567890123]\n",
                  "línea 1: el nombre del examen"},
        BadSource{"no exam at all", "# vacío\n", "no define ningún tipo de examen"}),
    CaseName);

TEST(DemoBankTest, ExamTypesMustNameExistingSubjectsWithEnoughQuestions) {
    const char* const question = "P\nA\nB\nC\nD\n=b\n";
    const struct {
        const char* list;
        const char* message;
    } cases[] = {
        {"[E]\nHistoria = 2\n", "pide 2 preguntas de \"Historia\", que sólo tiene 1"},
        {"[E]\nGeografía = 1\n", "incluye la materia \"Geografía\", que no tiene archivo"},
    };
    for (const auto& c : cases) {
        TempDir sources;
        WriteBytes(sources / kExamTypesFileName, c.list);
        WriteBytes(sources / "Historia.txt", question);
        DemoSource source;
        std::string error;
        EXPECT_FALSE(LoadDemoSource(sources.Path(), source, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

TEST(DemoBankTest, ExistingSubjectFolderStopsTheBuildBeforeAnythingIsWritten) {
    TempDir sources;
    WriteBytes(sources / kExamTypesFileName, "[E]\nHistoria = 1\n");
    WriteBytes(sources / "Historia.txt", "P\nA\nB\nC\nD\n=b\n");
    TempDir data;
    fs::create_directory(data / "Historia");
    WriteBytes(data / "Historia" / "notas", "mías");
    DemoSource source;
    std::string error;
    ASSERT_TRUE(LoadDemoSource(sources.Path(), source, error)) << error;
    EXPECT_FALSE(BuildDemoBank(source, data.Path(), error));
    EXPECT_NE(error.find("ya contiene una carpeta \"Historia\""), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(data / kCatalogueFileName));
    EXPECT_EQ(ReadBytes(data / "Historia" / "notas"), "mías");
}

int RunProgram(const std::string& arguments) {
    const std::string command =
        std::string("'") + VEXAMO_DEMOBANK_EXE + "' " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const fs::path& p) { return "'" + p.string() + "'"; }

TEST(DemoBankTest, ProgramBuildsOnceAndThenRefusesToTouchTheCatalogue) {
    TempDir data;
    const fs::path target = data / "banco";
    const std::string args = Quoted(VEXAMO_DEMO_SOURCE) + " " + Quoted(target);
    ASSERT_EQ(RunProgram(args), 0);
    ASSERT_TRUE(fs::exists(target / kCatalogueFileName));
    const std::string catalogue = ReadBytes(target / kCatalogueFileName);

    EXPECT_EQ(RunProgram(args), 1);
    EXPECT_EQ(ReadBytes(target / kCatalogueFileName), catalogue);

    // The refusal does not depend on the subjects: any catalogue in the folder stops it.
    TempDir other;
    WriteBytes(other / kCatalogueFileName, "x");
    EXPECT_EQ(RunProgram(Quoted(VEXAMO_DEMO_SOURCE) + " " + Quoted(other.Path())), 1);
    EXPECT_EQ(ReadBytes(other / kCatalogueFileName), "x");
    EXPECT_EQ(std::distance(fs::directory_iterator(other.Path()), fs::directory_iterator()), 1);
}

TEST(DemoBankTest, ProgramWantsExactlyTwoFolders) {
    EXPECT_EQ(RunProgram(""), 2);
    EXPECT_EQ(RunProgram("a b c"), 2);
}

TEST(DemoBankTest, ProgramReportsBrokenSourcesAndWritesNothing) {
    TempDir sources;
    WriteBytes(sources / kExamTypesFileName, "[E]\nHistoria = 1\n");
    WriteBytes(sources / "Historia.txt", "P\nA\nB\nC\n=b\n");
    TempDir data;
    EXPECT_EQ(RunProgram(Quoted(sources.Path()) + " " + Quoted(data.Path())), 1);
    EXPECT_TRUE(fs::is_empty(data.Path()));
}

} // namespace
} // namespace vexamo::demo
