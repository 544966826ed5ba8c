#pragma once
// The demo question bank: its text sources and the builder that turns them into a data folder
// (catalogue, subject folders, question files and indexes) through the bank's own operations.
//
// Source folder:
//   examenes.lst   the exam types: a line "[name]" starts one; each following line
//                  "subject = count" includes that subject with that many questions.
//   <subject>.txt  one file per subject, named after it. Questions separated by blank lines:
//                  the question line, four or five answer lines (a to e), and "=" followed by
//                  the letter of the right answer.
// Both are UTF-8 (LF or CR LF); lines starting with "#" are comments. Subjects enter the
// catalogue in the order of their file names.

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexamo::demo {

inline constexpr const char* kExamTypesFileName = "examenes.lst";
inline constexpr const char* kSubjectExtension = ".txt";

// Texts are Windows-1252, as the bank stores them.
struct SourceQuestion {
    std::string text;
    std::vector<std::string> answers;
    char key = 'a'; // as written in the source
};

struct SourceSubject {
    std::string name;
    std::vector<SourceQuestion> questions;
};

struct SourceExamType {
    std::string name;
    std::vector<std::pair<std::string, int>> counts; // subject name, questions per test
};

struct DemoSource {
    std::vector<SourceExamType> examTypes;
    std::vector<SourceSubject> subjects;
};

// Parsers of the two kinds of file. `where` names the file in messages. On failure they
// return false with a Spanish message naming the file and line.
bool ParseSubjectText(std::string_view text, const std::string& where, SourceSubject& subject,
                      std::string& error);
bool ParseExamTypesText(std::string_view text, const std::string& where,
                        std::vector<SourceExamType>& examTypes, std::string& error);

// Reads and checks a whole source folder: every subject an exam type names exists and has at
// least the questions the exam type takes of it.
bool LoadDemoSource(const std::filesystem::path& folder, DemoSource& source, std::string& error);

// A subject's question file as the question editor writes it: per question the question and
// answer lines, "=" and the key letter, and an empty line, each ending with CR LF.
std::string QuestionFileBytes(const SourceSubject& subject);

// Builds the bank into `dataFolder` (created when missing). Refuses when the folder already
// holds a catalogue or a folder of one of the subjects. When a step fails, what this call
// created is removed again. False with a Spanish message on failure.
bool BuildDemoBank(const DemoSource& source, const std::filesystem::path& dataFolder,
                   std::string& error);

// The console program: "vexamo_demobank <sourceFolder> <dataFolder>". Returns the exit code:
// 0 built, 1 refused or failed, 2 wrong arguments.
int RunDemoBankBuilder(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

} // namespace vexamo::demo
