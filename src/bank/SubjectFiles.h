#pragma once
// A subject's question file (Windows-1252 text, CR LF lines) and its offset index
// "Off_Materia.bin" (count, then one 32-bit entry per question: offset in bits 0-30,
// asked flag in bit 31). A missing file is an empty subject; a damaged one never leads to
// a read outside the file.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vexamo {

class Catalogue;

inline constexpr std::uint32_t kAskedFlag = 0x80000000u;
inline constexpr std::size_t kMaxLineLength = 1023;
inline constexpr std::size_t kQuestionBlockCapacity = 4096;

struct SubjectPaths {
    std::filesystem::path questionFile;
    std::filesystem::path indexFile;
};

SubjectPaths PathsOf(const Catalogue& catalogue, int subject);

struct Question {
    std::string text;                 // Windows-1252
    std::vector<std::string> answers; // 4 or 5 (fewer in a damaged file)
    std::string key;                  // the text after "=", as typed ("b", "C")
    int AnswerCount() const { return static_cast<int>(answers.size()); }
};

// Number of entries the index holds (its count, bounded by the entries really present);
// 0 when the index is missing.
std::uint32_t IndexCount(const SubjectPaths& paths);
// Entry n (offset and flag), or nullopt when it does not exist.
std::optional<std::uint32_t> IndexEntry(const SubjectPaths& paths, std::uint32_t n);

// Question n through its index entry; nullopt when it does not exist or cannot be read.
// Lines longer than 1023 characters are cut.
std::optional<Question> ReadQuestion(const SubjectPaths& paths, std::uint32_t n);

bool IsAsked(const SubjectPaths& paths, std::uint32_t n); // true for n beyond the count
void MarkAsked(const SubjectPaths& paths, std::uint32_t n);
void ClearAsked(const SubjectPaths& paths);

// Rebuilds the index from the question file (every asked flag is lost) and returns the
// number of questions found, or nullopt when the index cannot be written.
std::optional<std::uint32_t> RebuildIndexFile(const SubjectPaths& paths);
// RebuildIndexFile, then writes the count into the catalogue (the caller reloads it).
bool RebuildIndex(Catalogue& catalogue, int subject);

struct QuestionBlock {
    std::size_t bytes = 0;        // bytes read into the buffer
    std::uint32_t questions = 0;  // questions starting inside them, from the first
};

// Reads at most buffer.size() bytes of the question file from question `first` on.
// `questionCount` is the subject's count in the catalogue. While first < questionCount the
// block always covers at least one question, so a scan that moves on by `questions` ends:
// when nothing can be read (missing files, an entry past the end of the file, an empty
// buffer) it covers every remaining question with no bytes.
QuestionBlock ReadQuestionBlock(const SubjectPaths& paths, std::uint32_t first,
                                std::uint32_t questionCount, std::span<char> buffer);

} // namespace vexamo
