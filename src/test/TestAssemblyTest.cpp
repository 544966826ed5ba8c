#include "test/TestAssembly.h"

#include "TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <set>

namespace vexamo {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using vexamo::testing::PutLE32;
using vexamo::testing::TempDir;
using vexamo::testing::WriteBytes;

// ---------------------------------------------------------------------------------------------
// Helpers

// Question bank held in memory: counts and asked flags; records every flag lookup.
class FakeBank : public SubjectAccess {
public:
    explicit FakeBank(std::vector<std::uint32_t> counts) : counts_(std::move(counts)) {
        flags_.resize(counts_.size());
        for (std::size_t s = 0; s < counts_.size(); ++s) flags_[s].assign(counts_[s], false);
    }
    std::uint32_t QuestionCount(int subject) const override {
        return counts_.at(static_cast<std::size_t>(subject));
    }
    bool IsAsked(int subject, std::uint32_t q) override {
        ++lookups;
        const auto& f = flags_.at(static_cast<std::size_t>(subject));
        const bool asked = q >= f.size() || f[q];
        if (asked) ++flaggedLookups;
        return asked;
    }
    void ClearAsked(int subject) override {
        clearCalls.push_back({subject, flaggedLookups});
        if (!stuckFlags) std::fill(flags_[static_cast<std::size_t>(subject)].begin(),
                                   flags_[static_cast<std::size_t>(subject)].end(), false);
    }
    QuestionBlock ReadBlock(int, std::uint32_t, std::span<char>) override {
        ADD_FAILURE() << "the topic scan was not expected here";
        return {};
    }
    void Flag(int subject, std::uint32_t q) { flags_[static_cast<std::size_t>(subject)][q] = true; }
    bool Flagged(int subject, std::uint32_t q) const {
        return flags_[static_cast<std::size_t>(subject)][q];
    }

    int lookups = 0;
    int flaggedLookups = 0;
    std::vector<std::pair<int, int>> clearCalls; // (subject, flagged lookups so far)
    bool stuckFlags = false;                     // a ClearAsked that cannot write

private:
    std::vector<std::uint32_t> counts_;
    std::vector<std::vector<bool>> flags_;
};

// Returns scripted numbers (each taken modulo p), then falls back to 0.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<std::uint32_t> values) : values_(values.begin(), values.end()) {}
    std::uint32_t Below(std::uint32_t p) override {
        if (values_.empty()) return 0;
        const std::uint32_t v = values_.front();
        values_.pop_front();
        return v % p;
    }

private:
    std::deque<std::uint32_t> values_;
};

std::string Record(const std::string& question, const std::vector<std::string>& answers,
                   char key) {
    std::string r = question + "\r\n";
    for (const std::string& a : answers) r += a + "\r\n";
    r += '=';
    r += key;
    r += "\r\n\r\n";
    return r;
}

// Writes a subject's question file and index from whole records.
SubjectPaths WriteSubject(const TempDir& dir, const std::string& name,
                          const std::vector<std::string>& records) {
    SubjectPaths paths{dir / (name + ".txt"), dir / (name + ".bin")};
    std::string file, index(4 + 4 * records.size(), '\0');
    PutLE32(index, 0, static_cast<std::uint32_t>(records.size()));
    for (std::size_t i = 0; i < records.size(); ++i) {
        PutLE32(index, 4 + 4 * i, static_cast<std::uint32_t>(file.size()));
        file += records[i];
    }
    WriteBytes(paths.questionFile, file);
    WriteBytes(paths.indexFile, index);
    return paths;
}

std::vector<std::uint32_t> Numbers(const CandidatePool& pool) {
    EXPECT_FALSE(pool.everyQuestion);
    return pool.numbers;
}

// ---------------------------------------------------------------------------------------------
// ComputeCounts

struct CountsCase {
    std::vector<int> rows;
    bool forced;
    int target;
    std::vector<int> expected;
};

class ComputeCountsTest : public ::testing::TestWithParam<CountsCase> {};

TEST_P(ComputeCountsTest, SharesAndBalancing) {
    const CountsCase& c = GetParam();
    const DrawCounts counts = ComputeCounts(c.rows, c.forced, c.target);
    EXPECT_EQ(counts.perRow, c.expected);
    int sum = 0;
    for (int v : c.expected) sum += v;
    EXPECT_EQ(counts.total, sum);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ComputeCountsTest,
    ::testing::Values(
        // 0.7 as a 32-bit float lies below 0.7: shares 6, 3, 3, then +1 to the first two rows.
        CountsCase{{10, 5, 5}, true, 14, {7, 4, 3}},
        // A row configured with 0 receives a question from the balancing.
        CountsCase{{0, 3, 3}, true, 7, {1, 3, 3}},
        CountsCase{{30, 20, 10}, true, 20, {11, 6, 3}},
        // Not forced: the rows as they are, whatever NumPreguntas says.
        CountsCase{{10, 5, 5}, false, 14, {10, 5, 5}},
        // Forced with rows adding up to 0: ratio 1, everything comes from the balancing.
        CountsCase{{0, 0}, true, 3, {2, 1}},
        // Forced to exactly the rows' sum: unchanged.
        CountsCase{{7, 13}, true, 20, {7, 13}},
        // Forced to 0: nothing.
        CountsCase{{4, 4}, true, 0, {0, 0}}));

TEST(ComputeCounts, NoRowsNeverLoops) {
    const DrawCounts counts = ComputeCounts({}, true, 5);
    EXPECT_TRUE(counts.perRow.empty());
    EXPECT_EQ(counts.total, 0);
}

// ---------------------------------------------------------------------------------------------
// Topics

struct TopicCase {
    std::string text;
    std::string normalised;
    std::vector<std::string> topics;
};

class TopicNormalisationTest : public ::testing::TestWithParam<TopicCase> {};

TEST_P(TopicNormalisationTest, NormalisesAndSplits) {
    const TopicCase& c = GetParam();
    EXPECT_EQ(NormaliseTopicText(c.text), c.normalised);
    EXPECT_EQ(SplitTopics(c.text), c.topics);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TopicNormalisationTest,
    ::testing::Values(
        TopicCase{" , ,ab ,, cd, ", "ab,cd", {"ab", "cd"}},
        // Inner double blank and the trailing blank stay.
        TopicCase{"  derechos  fundamentales ,  , corona ", "derechos  fundamentales,corona ",
                  {"derechos  fundamentales", "corona "}},
        TopicCase{"rey", "rey", {"rey"}},
        // Only blanks and commas: no topic is left.
        TopicCase{" , ,, ", "", {}}));

class FilterByTopicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // 0: the topic in capitals in the statement; 1: capitalised, in an answer only;
        // 2: nowhere (its key line is "=c"); 3: lower case in the statement;
        // 4: "constitución" in the last answer.
        paths_ = WriteSubject(dir_, "s",
                              {Record("Art\xED" "culo 1 de la CONSTITUCI\xD3N", {"a", "b", "c", "d"}, 'a'),
                               Record("Pregunta sin tema", {"uno", "la Constituci\xF3n", "tres", "cuatro"}, 'b'),
                               Record("Otra pregunta", {"x", "y", "z", "w", "v"}, 'c'),
                               Record("Sobre la constituci\xF3n", {"s", "t", "u", "v"}, 'D'),
                               Record("Quinta", {"p", "q", "r", "de la constituci\xF3n"}, 'a')});
    }
    CandidatePool Run(const std::string& topics, bool includeAnswers, bool matchCase,
                      std::size_t capacity = kTopicBlockCapacity) {
        SubjectFilesAccess bank({paths_}, {5});
        return FilterByTopics(bank, 0, {true, topics, includeAnswers, matchCase}, capacity);
    }
    TempDir dir_;
    SubjectPaths paths_;
};

TEST_F(FilterByTopicsTest, CaseFoldingFollowsWindows1252Letters) {
    // Folded: "constitución" finds CONSTITUCIÓN (Ó folded to ó) and Constitución.
    EXPECT_THAT(Numbers(Run("constituci\xF3n", true, false)), ElementsAre(0, 1, 3, 4));
    EXPECT_THAT(Numbers(Run("CONSTITUCI\xD3N", true, false)), ElementsAre(0, 1, 3, 4));
    // Exact bytes: only the lower-case occurrences.
    EXPECT_THAT(Numbers(Run("constituci\xF3n", true, true)), ElementsAre(3, 4));
}

TEST_F(FilterByTopicsTest, AnswersAreSearchedOnlyWithIncludeAnswers) {
    EXPECT_THAT(Numbers(Run("constituci\xF3n", false, false)), ElementsAre(0, 3));
    EXPECT_THAT(Numbers(Run("la constituci\xF3n", false, false)), ElementsAre(0, 3));
    EXPECT_THAT(Numbers(Run("la constituci\xF3n", true, false)), ElementsAre(0, 1, 3, 4));
}

TEST_F(FilterByTopicsTest, KeyLineIsNeverSearched) {
    EXPECT_TRUE(Numbers(Run("=c", true, true)).empty());
    // "v" is an answer of questions 2 and 3; the key line "=D" of question 3 holds no "v".
    EXPECT_THAT(Numbers(Run("=d", true, false)), ElementsAre());
}

TEST_F(FilterByTopicsTest, AnyTopicSelects) {
    EXPECT_THAT(Numbers(Run("quinta , otra", false, false)), ElementsAre(2, 4));
    EXPECT_THAT(Numbers(Run("sin tema,,  nada", false, false)), ElementsAre(1));
}

TEST_F(FilterByTopicsTest, WithoutTopicsThePoolIsEveryQuestion) {
    SubjectFilesAccess bank({paths_}, {5});
    for (const TopicOptions& options :
         {TopicOptions{false, "constituci\xF3n", true, false}, TopicOptions{true, "", true, false},
          TopicOptions{true, " ,, , ", true, false}}) {
        const CandidatePool pool = FilterByTopics(bank, 0, options);
        EXPECT_TRUE(pool.everyQuestion);
        EXPECT_EQ(pool.size, 5u);
        EXPECT_EQ(pool.At(3), 3u);
    }
}

TEST_F(FilterByTopicsTest, SmallBlocksGiveTheSameResult) {
    // Blocks shorter than two records: questions cross block borders and must still be
    // searched whole.
    for (std::size_t capacity : {60u, 64u, 97u, 128u, 200u}) {
        SCOPED_TRACE(capacity);
        EXPECT_THAT(Numbers(Run("constituci\xF3n", true, false, capacity)), ElementsAre(0, 1, 3, 4));
        EXPECT_THAT(Numbers(Run("la constituci\xF3n", false, false, capacity)), ElementsAre(0, 3));
    }
}

class TopicAcrossBlocksTest : public ::testing::TestWithParam<std::string> {};

TEST_P(TopicAcrossBlocksTest, TopicAtTheEndOfQuestionsAcrossManyBlocks) {
    // Every third question holds the topic in its last answer, right before the key line; the
    // statement of every fifth question holds it too.
    const std::string word = GetParam();
    TempDir dir;
    std::vector<std::string> records;
    std::vector<std::uint32_t> withAnswers, statementOnly;
    for (int i = 0; i < 300; ++i) {
        const bool inStatement = i % 5 == 0;
        const bool inAnswer = i % 3 == 0;
        records.push_back(Record("Pregunta " + std::to_string(i) + (inStatement ? " " + word : ""),
                                 {"a", "b", "c", inAnswer ? "la " + word : "d"}, 'a'));
        if (inStatement || inAnswer) withAnswers.push_back(static_cast<std::uint32_t>(i));
        if (inStatement) statementOnly.push_back(static_cast<std::uint32_t>(i));
    }
    const SubjectPaths paths = WriteSubject(dir, "s", records);
    SubjectFilesAccess bank({paths}, {300});
    for (std::size_t capacity : std::vector<std::size_t>{64, 100, 4096, kTopicBlockCapacity}) {
        SCOPED_TRACE(capacity);
        EXPECT_THAT(Numbers(FilterByTopics(bank, 0, {true, word, true, false}, capacity)),
                    ElementsAreArray(withAnswers));
        EXPECT_THAT(Numbers(FilterByTopics(bank, 0, {true, word, false, false}, capacity)),
                    ElementsAreArray(statementOnly));
    }
}

// Words of frequent letters only, and words with a rare letter, are searched differently.
INSTANTIATE_TEST_SUITE_P(Words, TopicAcrossBlocksTest,
                         ::testing::Values("corona", "zumo", "ca\xF1\xF3n", "x"));

TEST(FilterByTopics, SubjectLargerThanTheOldPoolTakesPartInFull) {
    TempDir dir;
    std::vector<std::string> records;
    for (int i = 0; i < 5000; ++i)
        records.push_back(Record(i == 4999 || i == 10 ? "tema raro" : "normal", {"a", "b", "c", "d"}, 'b'));
    SubjectFilesAccess bank({WriteSubject(dir, "s", records)}, {5000});
    EXPECT_THAT(Numbers(FilterByTopics(bank, 0, {true, "raro", false, false})), ElementsAre(10, 4999));
}

// ---------------------------------------------------------------------------------------------
// DrawQuestions

std::vector<std::int32_t> Questions(const TestPlan& plan, int from, int to) {
    std::vector<std::int32_t> q;
    for (int i = from; i < to; ++i) q.push_back(plan.drawn[static_cast<std::size_t>(i)].questionNumber);
    return q;
}

TEST(DrawQuestions, MoreQuestionsThanTheSubjectHoldsComeInCycles) {
    FakeBank bank({4});
    CandidatePool pool;
    pool.size = 4;
    const DrawSource source{0, &pool, 6};
    for (std::uint32_t seed = 1; seed <= 25; ++seed) {
        Mt19937Random random(seed);
        TestPlan plan;
        DrawQuestions({&source, 1}, false, bank, random, plan);
        ASSERT_EQ(plan.length, 6);
        const auto firstFour = Questions(plan, 0, 4);
        EXPECT_EQ(std::set<std::int32_t>(firstFour.begin(), firstFour.end()),
                  (std::set<std::int32_t>{0, 1, 2, 3}));
        EXPECT_NE(plan.drawn[4].questionNumber, plan.drawn[5].questionNumber);
    }
    EXPECT_EQ(bank.lookups, 0); // flags are not consulted without the option
}

TEST(DrawQuestions, FlaggedQuestionsAreAvoided) {
    FakeBank bank({10});
    for (std::uint32_t q = 0; q < 8; ++q) bank.Flag(0, q);
    CandidatePool pool;
    pool.size = 10;
    const DrawSource source{0, &pool, 2};
    Mt19937Random random(7);
    TestPlan plan;
    DrawQuestions({&source, 1}, true, bank, random, plan);
    ASSERT_EQ(plan.length, 2);
    const auto drawn = Questions(plan, 0, 2);
    EXPECT_EQ(std::set<std::int32_t>(drawn.begin(), drawn.end()), (std::set<std::int32_t>{8, 9}));
    EXPECT_TRUE(bank.clearCalls.empty());
}

TEST(DrawQuestions, The31stFlaggedDrawClearsTheSubject) {
    FakeBank bank({5, 10});
    for (std::uint32_t q = 0; q < 10; ++q) bank.Flag(1, q);
    bank.Flag(0, 2);
    CandidatePool pool;
    pool.size = 10;
    const DrawSource source{1, &pool, 10};
    Mt19937Random random(3);
    TestPlan plan;
    DrawQuestions({&source, 1}, true, bank, random, plan);
    ASSERT_EQ(bank.clearCalls.size(), 1u);
    EXPECT_EQ(bank.clearCalls[0], std::make_pair(1, 31)); // after 30 flagged draws, not before
    EXPECT_EQ(bank.flaggedLookups, 31);                   // no rejection by flag afterwards
    ASSERT_EQ(plan.length, 10);
    const auto drawn = Questions(plan, 0, 10);
    EXPECT_EQ(std::set<std::int32_t>(drawn.begin(), drawn.end()).size(), 10u);
    EXPECT_TRUE(bank.Flagged(0, 2)); // another subject keeps its flags
}

TEST(DrawQuestions, FlagsThatCannotBeClearedDoNotHangTheDraw) {
    FakeBank bank({3});
    for (std::uint32_t q = 0; q < 3; ++q) bank.Flag(0, q);
    bank.stuckFlags = true;
    CandidatePool pool;
    pool.size = 3;
    const DrawSource source{0, &pool, 3};
    Mt19937Random random(11);
    TestPlan plan;
    DrawQuestions({&source, 1}, true, bank, random, plan);
    EXPECT_EQ(plan.length, 3);
    EXPECT_EQ(bank.clearCalls.size(), 1u);
}

TEST(DrawQuestions, SourcesFillSlotsInOrderAndEmptyPoolsGiveNothing) {
    FakeBank bank({0, 3, 9});
    CandidatePool empty, three, filtered;
    three.size = 3;
    filtered.everyQuestion = false;
    filtered.numbers = {2, 5, 8};
    filtered.size = 3;
    const std::vector<DrawSource> sources{{0, &empty, 2}, {1, &three, 2}, {2, &filtered, 3}};
    // Place 1 twice in a row for subject 1: the repeat inside the cycle is rejected.
    ScriptedRandom random({1, 1, 0, 2, 0, 1});
    TestPlan plan;
    DrawQuestions(sources, false, bank, random, plan);
    ASSERT_EQ(plan.length, 5);
    EXPECT_EQ(plan.drawn[0].subjectNumber, 1);
    EXPECT_EQ(plan.drawn[1].subjectNumber, 1);
    EXPECT_THAT(Questions(plan, 0, 2), ElementsAre(1, 0));
    for (int i = 2; i < 5; ++i) EXPECT_EQ(plan.drawn[static_cast<std::size_t>(i)].subjectNumber, 2);
    EXPECT_THAT(Questions(plan, 2, 5), ElementsAre(8, 2, 5)); // pool entries, not places
}

TEST(DrawQuestions, QuestionNumbersBeyond4096AreDrawn) {
    FakeBank bank({6000});
    CandidatePool pool;
    pool.size = 6000;
    const DrawSource source{0, &pool, 2};
    ScriptedRandom random({5999, 4100});
    TestPlan plan;
    DrawQuestions({&source, 1}, false, bank, random, plan);
    EXPECT_THAT(Questions(plan, 0, 2), ElementsAre(5999, 4100));
}

// ---------------------------------------------------------------------------------------------
// OrderQuestions

TEST(OrderQuestions, DrawingOrderOrRandomPermutation) {
    TestPlan plan;
    plan.length = 12;
    OrderQuestions(true, *std::make_unique<Mt19937Random>(1), plan);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(plan.order[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(plan.order[12], -1);

    Mt19937Random random(5);
    OrderQuestions(false, random, plan);
    std::vector<std::int32_t> shown(plan.order.begin(), plan.order.begin() + 12);
    std::vector<std::int32_t> sorted = shown;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_THAT(sorted, ElementsAre(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11));
    EXPECT_NE(shown, sorted); // seed 5 does not give the identity
    EXPECT_TRUE(std::all_of(plan.order.begin() + 12, plan.order.end(), [](int v) { return v == -1; }));
}

// ---------------------------------------------------------------------------------------------
// AssembleTest

ConfirmFewer NoQuestionExpected() {
    return [](const std::string& text, int) {
        ADD_FAILURE() << "unexpected question: " << text;
        return false;
    };
}

std::map<int, int> PerSubject(const TestPlan& plan) {
    std::map<int, int> m;
    for (int i = 0; i < plan.length; ++i) ++m[plan.drawn[static_cast<std::size_t>(i)].subjectNumber];
    return m;
}

TEST(AssembleTest, GroupedGeneralTestListsSubjectsInExamOrder) {
    FakeBank bank({50, 50, 50, 50});
    TestOptions options;
    options.rows = {{3, 10}, {0, 5}, {2, 5}};
    options.forceNumber = true;
    options.numPreguntas = "14";
    options.grouping = true;
    Mt19937Random random(9);
    TestPlan plan;
    const AssemblyResult result = AssembleTest(options, bank, random, NoQuestionExpected(), plan);
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(result.totalQuestions, 14);
    ASSERT_EQ(plan.length, 14);
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(plan.order[static_cast<std::size_t>(i)], i);
        EXPECT_EQ(plan.AtPosition(i).subjectNumber, i < 7 ? 3 : i < 11 ? 0 : 2);
    }
}

TEST(AssembleTest, UngroupedGeneralTestShufflesTheSameQuestions) {
    FakeBank bank({50, 50});
    TestOptions options;
    options.rows = {{0, 6}, {1, 4}};
    Mt19937Random random(4);
    TestPlan plan;
    ASSERT_TRUE(AssembleTest(options, bank, random, NoQuestionExpected(), plan).ok());
    EXPECT_EQ(PerSubject(plan), (std::map<int, int>{{0, 6}, {1, 4}}));
    std::vector<std::int32_t> order(plan.order.begin(), plan.order.begin() + 10);
    std::vector<std::int32_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_THAT(sorted, ElementsAre(0, 1, 2, 3, 4, 5, 6, 7, 8, 9));
    EXPECT_NE(order, sorted);
}

struct RefusalCase {
    std::string name;
    TestOptions options;
    AssemblyStatus status;
    AssemblyMessageKind kind;
    std::string message;
};

TestOptions General(std::vector<ExamRow> rows, bool forced = false, std::string num = "20") {
    TestOptions o;
    o.rows = std::move(rows);
    o.forceNumber = forced;
    o.numPreguntas = std::move(num);
    return o;
}

class AssemblyRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(AssemblyRefusalTest, RefusesAndKeepsThePlan) {
    const RefusalCase& c = GetParam();
    FakeBank bank({0, 30, 30});
    Mt19937Random random(1);
    TestPlan plan;
    plan.length = 1;
    plan.drawn[0] = {2, 17};
    plan.order[0] = 0;
    const AssemblyResult result = AssembleTest(c.options, bank, random, NoQuestionExpected(), plan);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.kind, c.kind);
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(plan.length, 1);
    EXPECT_EQ(plan.drawn[0].questionNumber, 17);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AssemblyRefusalTest,
    ::testing::Values(
        RefusalCase{"CountsAddUpToZero", General({{1, 0}, {2, 0}}), AssemblyStatus::NothingSelected,
                    AssemblyMessageKind::Warning, "\nNo has seleccionado preguntas de ninguna materia..."},
        RefusalCase{"ForcedToZero", General({{1, 5}}, true, "0"), AssemblyStatus::NothingSelected,
                    AssemblyMessageKind::Warning, "\nNo has seleccionado preguntas de ninguna materia..."},
        RefusalCase{"RowsAbove200", General({{1, 150}, {2, 51}}), AssemblyStatus::TooManyQuestions,
                    AssemblyMessageKind::Warning, "\nUn test no puede tener más de 200 preguntas..."},
        RefusalCase{"ForcedAbove200", General({{1, 5}}, true, "201"), AssemblyStatus::TooManyQuestions,
                    AssemblyMessageKind::Warning, "\nUn test no puede tener más de 200 preguntas..."},
        RefusalCase{"ForcedNotANumber", General({{1, 5}}, true, ""), AssemblyStatus::NotANumber,
                    AssemblyMessageKind::Error,
                    "\n\"\" no es un número válido de preguntas. Escribe un número entero."},
        RefusalCase{"OnlyEmptySubjects", General({{0, 4}}), AssemblyStatus::EmptySubjects,
                    AssemblyMessageKind::Warning, "\nLas materias elegidas no tienen ninguna pregunta..."},
        RefusalCase{"SpecificWithoutSubject",
                    [] {
                        TestOptions o;
                        o.specific = true;
                        return o;
                    }(),
                    AssemblyStatus::NoSubjectChosen, AssemblyMessageKind::Warning,
                    "\nElige en la lista de materias disponibles la materia del test..."},
        RefusalCase{"SpecificOnEmptySubject",
                    [] {
                        TestOptions o;
                        o.specific = true;
                        o.specificSubject = 0;
                        return o;
                    }(),
                    AssemblyStatus::NoMatchingQuestion, AssemblyMessageKind::Error,
                    "\nNo se ha encontrado ninguna pregunta que cumpla los requisitos..."}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

TEST(AssembleTest, ForcedTotalPassesOverAnEmptySubject) {
    FakeBank bank({0, 30});
    Mt19937Random random(2);
    TestPlan plan;
    const AssemblyResult result =
        AssembleTest(General({{0, 0}, {1, 3}}, true, "7"), bank, random, NoQuestionExpected(), plan);
    ASSERT_TRUE(result.ok());
    // The balancing gives the empty subject 1 of the 7; it has nothing to give.
    EXPECT_EQ(result.totalQuestions, 6);
    EXPECT_EQ(PerSubject(plan), (std::map<int, int>{{1, 6}}));
}

TEST(AssembleTest, StartTestNeedsASubjectInTheExam) {
    const AssemblyResult result = CheckStartTest(General({}));
    EXPECT_EQ(result.status, AssemblyStatus::NoSubjectInExam);
    EXPECT_EQ(result.kind, AssemblyMessageKind::Warning);
    EXPECT_EQ(result.message, "\nNo has seleccionado ninguna materia...");
    EXPECT_TRUE(CheckStartTest(General({{0, 1}})).ok());
    TestOptions specific;
    specific.specific = true;
    EXPECT_TRUE(CheckStartTest(specific).ok());
}

class SpecificTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<std::string> records;
        for (int i = 0; i < 10; ++i)
            records.push_back(Record(i < 7 ? "El rey y la corona" : "Otra cosa", {"a", "b", "c", "d"}, 'a'));
        bank_ = std::make_unique<SubjectFilesAccess>(
            std::vector<SubjectPaths>{{}, WriteSubject(dir_, "s", records)},
            std::vector<std::uint32_t>{0, 10});
        options_.specific = true;
        options_.specificSubject = 1;
        options_.numPreguntas = "20";
        options_.topics = {true, "Corona", false, false};
    }
    TempDir dir_;
    std::unique_ptr<SubjectFilesAccess> bank_;
    TestOptions options_;
};

TEST_F(SpecificTest, FewerCandidatesAskedAndYesTakesThem) {
    std::vector<std::pair<std::string, int>> asked;
    Mt19937Random random(6);
    TestPlan plan;
    const AssemblyResult result = AssembleTest(
        options_, *bank_, random,
        [&](const std::string& text, int n) {
            asked.emplace_back(text, n);
            return true;
        },
        plan);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first,
              "\nSólo hay 7 preguntas que cumplan los requisitos\n¿Deseas hacer el test de estas 7 preguntas?");
    EXPECT_EQ(asked[0].second, 7);
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(plan.length, 7);
    std::set<std::int32_t> drawn;
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(plan.order[static_cast<std::size_t>(i)], i); // drawing order
        EXPECT_EQ(plan.drawn[static_cast<std::size_t>(i)].subjectNumber, 1);
        drawn.insert(plan.drawn[static_cast<std::size_t>(i)].questionNumber);
    }
    EXPECT_EQ(drawn, (std::set<std::int32_t>{0, 1, 2, 3, 4, 5, 6}));
}

TEST_F(SpecificTest, NoToTheQuestionAssemblesNothing) {
    Mt19937Random random(6);
    TestPlan plan;
    const AssemblyResult result =
        AssembleTest(options_, *bank_, random, [](const std::string&, int) { return false; }, plan);
    EXPECT_EQ(result.status, AssemblyStatus::Declined);
    EXPECT_EQ(result.kind, AssemblyMessageKind::None);
    EXPECT_TRUE(result.message.empty());
    EXPECT_EQ(plan.length, 0);
}

TEST_F(SpecificTest, EnoughCandidatesAsksNothing) {
    options_.numPreguntas = "5";
    Mt19937Random random(6);
    TestPlan plan;
    const AssemblyResult result = AssembleTest(options_, *bank_, random, NoQuestionExpected(), plan);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(plan.length, 5);
    for (int i = 0; i < 5; ++i) EXPECT_LT(plan.drawn[static_cast<std::size_t>(i)].questionNumber, 7);
}

TEST_F(SpecificTest, NoMatchIsAnError) {
    options_.topics.text = "inexistente";
    Mt19937Random random(6);
    TestPlan plan;
    const AssemblyResult result = AssembleTest(options_, *bank_, random, NoQuestionExpected(), plan);
    EXPECT_EQ(result.status, AssemblyStatus::NoMatchingQuestion);
    EXPECT_EQ(result.kind, AssemblyMessageKind::Error);
}

TEST(ParseWholeNumber, DigitsOnly) {
    EXPECT_EQ(ParseWholeNumber("20"), 20);
    EXPECT_EQ(ParseWholeNumber(" 05 "), 5);
    EXPECT_EQ(ParseWholeNumber("0"), 0);
    for (const char* bad : {"", " ", "-5", "1a", "2.5", "1234567890"})
        EXPECT_EQ(ParseWholeNumber(bad), std::nullopt) << bad;
}

} // namespace
} // namespace vexamo
