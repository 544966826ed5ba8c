#pragma once
// Test assembly: from the main window's test settings to a TestPlan.
//
// Everything here is windowless. The window reads its controls into TestOptions, hands in a
// SubjectAccess (the question bank), a RandomSource and a callback for the one question the
// assembly may ask ("Sólo hay N preguntas..."), and shows the message of the result.
// Message texts are UTF-8 (convert with QString::fromUtf8); question text is Windows-1252.

#include "bank/SubjectFiles.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexamo {

class Catalogue;

inline constexpr int kMaxTestQuestions = 200;
// Block size of the topic scan. Any valid question record (seven lines of at most 1023
// characters) fits in it whole, so no question is cut at a block border.
inline constexpr std::size_t kTopicBlockCapacity = 256 * 1024;

// ---------------------------------------------------------------------------------------------
// The question bank as assembly sees it.

class SubjectAccess {
public:
    virtual ~SubjectAccess() = default;
    // The subject's questionCount as the catalogue holds it (0 for an unknown subject).
    virtual std::uint32_t QuestionCount(int subject) const = 0;
    virtual bool IsAsked(int subject, std::uint32_t question) = 0;
    virtual void ClearAsked(int subject) = 0;
    // ReadQuestionBlock of the subject's files (bytes from question `first` on).
    virtual QuestionBlock ReadBlock(int subject, std::uint32_t first, std::span<char> buffer) = 0;
};

// SubjectAccess over the real subject files.
class SubjectFilesAccess : public SubjectAccess {
public:
    // Counts from the catalogue's records, paths through PathsOf. The catalogue must outlive us.
    explicit SubjectFilesAccess(const Catalogue& catalogue);
    // Explicit subjects: subject k has paths[k] and counts[k].
    SubjectFilesAccess(std::vector<SubjectPaths> paths, std::vector<std::uint32_t> counts);

    std::uint32_t QuestionCount(int subject) const override;
    bool IsAsked(int subject, std::uint32_t question) override;
    void ClearAsked(int subject) override;
    QuestionBlock ReadBlock(int subject, std::uint32_t first, std::span<char> buffer) override;

private:
    bool Known(int subject) const;
    std::vector<SubjectPaths> paths_;
    std::vector<std::uint32_t> counts_;
};

// ---------------------------------------------------------------------------------------------
// Random numbers: a uniform integer 0 .. p-1. The caller seeds it (from the clock in the
// program, fixed in tests).

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual std::uint32_t Below(std::uint32_t p) = 0; // p >= 1
};

class Mt19937Random : public RandomSource {
public:
    explicit Mt19937Random(std::uint32_t seed) : engine_(seed) {}
    std::uint32_t Below(std::uint32_t p) override;

private:
    std::mt19937 engine_;
};

// ---------------------------------------------------------------------------------------------
// Plan and options.

struct TestSlot {
    std::int32_t subjectNumber = 0;
    std::int32_t questionNumber = 0; // 0-based inside the subject, index order
};

struct TestPlan {
    TestPlan() { order.fill(-1); }
    std::int32_t length = 0;                          // 0 .. 200
    std::array<TestSlot, kMaxTestQuestions> drawn{}; // drawing order
    std::array<std::int32_t, kMaxTestQuestions> order; // screen position -> slot; -1 beyond length
    // The slot shown at screen position `position` (0 .. length-1).
    const TestSlot& AtPosition(int position) const { return drawn[order[position]]; }
};

// One row of ListaMateriasIn: the subject and its "Num. preguntas" (a cell without a number
// counts as 0).
struct ExamRow {
    int subject = 0;
    int count = 0;
};

// The topic options of a specific test (CheckTemas, EditTemas, CheckInclResp, CheckMayMin).
struct TopicOptions {
    bool enabled = false;        // CheckTemas
    std::string text;            // EditTemas, Windows-1252
    bool includeAnswers = true;  // CheckInclResp
    bool matchCase = false;      // CheckMayMin
};

struct TestOptions {
    bool specific = false;             // TestEspecifico
    std::vector<ExamRow> rows;         // general test: the rows of ListaMateriasIn, in order
    int specificSubject = -1;          // specific test: subject of ListaMateriasOut's row (-1: none)
    bool forceNumber = false;          // CheckerNumPreguntas (ignored, always on, for specific)
    std::string numPreguntas = "20";   // text of NumPreguntas
    bool grouping = false;             // CheckerAgruparPreguntas
    bool noRepeat = false;             // CheckerNoRepetir
    TopicOptions topics;
};

// ---------------------------------------------------------------------------------------------
// The steps, usable one by one.

struct DrawCounts {
    std::vector<int> perRow; // questions drawn from each row's subject, in row order
    int total = 0;           // their sum
};

// The number of questions per row. Not forced: the rows' counts. Forced to `target`: each row
// count scaled by the ratio target / sum (held as a 32-bit float), truncated, then balanced
// one question at a time, cycling over the rows from the first, until the total is the target.
DrawCounts ComputeCounts(std::span<const int> rowCounts, bool forced, int target);

// The topic text after normalisation (leading blanks and commas, blanks around commas, double
// commas and trailing commas removed), and its topics. No topic when nothing is left.
std::string NormaliseTopicText(std::string_view text);
std::vector<std::string> SplitTopics(std::string_view text); // normalises first

// The candidate pool of a subject: either every question (0 .. size-1) or a list of numbers.
struct CandidatePool {
    bool everyQuestion = true;
    std::uint32_t size = 0;
    std::vector<std::uint32_t> numbers; // ascending; used when !everyQuestion
    std::uint32_t At(std::uint32_t i) const { return everyQuestion ? i : numbers[i]; }
};

// The questions of `subject` that contain one of the topics. Without the option, or with a
// topic text that leaves no topic, the pool is every question. With includeAnswers off only the
// statement line is searched; with it on the statement and the answers, never the key line.
// Without matchCase, topics and text are compared folded to lower case (Windows-1252 letters).
CandidatePool FilterByTopics(SubjectAccess& bank, int subject, const TopicOptions& options,
                             std::size_t blockCapacity = kTopicBlockCapacity);

// One source of questions for DrawQuestions.
struct DrawSource {
    int subject = 0;
    const CandidatePool* pool = nullptr; // the first pool->size entries are drawn from
    int count = 0;
};

// Draws into plan.drawn from slot 0 on, source after source. A subject gives each of its pool's
// questions once per cycle of pool-size draws. With noRepeat, flagged questions are rejected;
// after more than 3 x pool-size flagged draws for one question the subject's flags are
// cleared. A source with an empty pool gives no question. Sets plan.length to the slots filled.
void DrawQuestions(std::span<const DrawSource> sources, bool noRepeat, SubjectAccess& bank,
                   RandomSource& random, TestPlan& plan);

// Fills plan.order: drawing order when `inDrawingOrder`, else a random permutation.
void OrderQuestions(bool inDrawingOrder, RandomSource& random, TestPlan& plan);

// ---------------------------------------------------------------------------------------------
// The whole assembly.

enum class AssemblyStatus {
    Ok,
    NoSubjectInExam,      // "\nNo has seleccionado ninguna materia..." (StartTest only)
    NothingSelected,      // "\nNo has seleccionado preguntas de ninguna materia..."
    NoMatchingQuestion,   // "\nNo se ha encontrado ninguna pregunta que cumpla los requisitos..."
    Declined,             // the user said No or Cancel: no further message
    NotANumber,           // NumPreguntas holds no whole number
    TooManyQuestions,     // more than 200 questions asked for
    NoSubjectChosen,      // specific test without a chosen subject
    EmptySubjects,        // the chosen subjects hold no question at all
};

enum class AssemblyMessageKind { None, Warning, Error };

struct AssemblyResult {
    AssemblyStatus status = AssemblyStatus::Ok;
    AssemblyMessageKind kind = AssemblyMessageKind::None; // how to show `message` (OK button)
    std::string message;                  // UTF-8; empty when nothing is to be shown
    int totalQuestions = 0;               // valid when ok()
    bool ok() const { return status == AssemblyStatus::Ok; }
};

// Asked when a specific test finds fewer candidates than requested; `text` is the information
// box's text (buttons Yes, No, Cancel). Return true for Yes only.
using ConfirmFewer = std::function<bool(const std::string& text, int candidateCount)>;

// "\nSólo hay N preguntas que cumplan los requisitos\n¿Deseas hacer el test de estas N preguntas?"
std::string FewerCandidatesQuestion(int candidateCount);

// StartTest's first check: a general test whose exam type includes no subject.
AssemblyResult CheckStartTest(const TestOptions& options);

// Counts, draws and orders. On success fills `plan`; on failure `plan` keeps its content and
// the result carries the message to show (none after Declined).
AssemblyResult AssembleTest(const TestOptions& options, SubjectAccess& bank, RandomSource& random,
                            const ConfirmFewer& confirmFewer, TestPlan& plan);

// A whole number typed in a number box: digits only (at most 9), surrounding blanks allowed.
std::optional<int> ParseWholeNumber(std::string_view text);

} // namespace vexamo
