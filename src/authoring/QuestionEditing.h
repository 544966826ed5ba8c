#pragma once
// The file work of the question editor: reading a stored question, collecting and validating
// the input, the duplicate check and saving (append or edit) into the question file,
// "Off_Materia.bin" and the catalogue count. Windowless; texts are Windows-1252 bytes, messages
// UTF-8 (QString::fromUtf8).

#include "bank/SubjectFiles.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vexamo {

class Catalogue;

// The working question: statement, answers a) .. e) (e) may be empty) and the letter.
struct QuestionTexts {
    std::string question;
    std::array<std::string, 5> answers;
    std::string letter;
};

// The fields of the editor, for the focus after a failed check.
enum class EditorField { Question, Answer1, Answer2, Answer3, Answer4, Answer5, Letter };

inline EditorField AnswerField(int answer) { // 0 .. 4
    return static_cast<EditorField>(static_cast<int>(EditorField::Answer1) + answer);
}

// Where the editor works: the subject and its two numbers. Append mode when
// questionNumber == questionCount, edit mode when it is smaller.
struct EditorSubject {
    SubjectPaths paths;
    int subjectNumber = 0;
    std::uint32_t questionNumber = 0;
    std::uint32_t questionCount = 0;
    bool IsAppend() const { return questionNumber >= questionCount; }
};

// The stored question `n` (edit mode), read line by line from its offset: question, answers,
// letter. A line for answer e) that begins with "=" is the key line (answer e) empty). The
// letter is the character after "=". nullopt when no stored question starts there.
std::optional<QuestionTexts> ReadStoredQuestion(const SubjectPaths& paths, std::uint32_t n);

// The input as it is stored: the question without trailing CR/LF and with every other line
// break replaced by a blank; each answer with line breaks replaced by blanks and trailing
// blanks removed; the letter as typed.
QuestionTexts CollectInput(std::string_view question, const std::array<std::string, 5>& answers,
                           std::string_view letter);

inline constexpr std::size_t kMaxFieldLength = 1023;

struct ValidationFailure {
    std::string message; // UTF-8, error box with OK
    EditorField focus;
};

// The checks before saving, in order: an empty field ("\nRellena todos los campos..."), a
// letter after "E" or "E" with only four answers ("\nRevisa la solución proporcionada..."), a
// letter naming an empty answer ("\n¡La solución proporcionada está en blanco!"), a letter that
// is not A-D (or E with the fifth answer shown) ("\nComprueba la respuesta correcta..."); then
// a field longer than 1023 characters, and a line the reader would take for a key line (an
// answer beginning with "=", a text ending in "=" and a letter A-E). nullopt: all passed.
std::optional<ValidationFailure> ValidateQuestion(const QuestionTexts& texts, bool onlyFourAnswers);

// "Esta pregunta ya existe en la base de datos...\n¿Quieres añadirla de todas formas y tenerla
// repetida?" (warning, Yes / No / Cancel).
std::string DuplicateQuestionWarning();

// The record exactly as it is written: question and answers (e) only when not empty) each with
// CR LF, then "=", the first character of the letter, CR LF, CR LF.
std::string BuildQuestionRecord(const QuestionTexts& texts);

// Whether the subject already holds a question whose record equals the candidate's, blind only
// to the case of "a" to "z" (FoldAsciiUpper). The question being edited is part of the scan.
bool IsDuplicateQuestion(const SubjectPaths& paths, const QuestionTexts& texts);

enum class SaveStatus {
    Saved,
    Inconsistent, // the index disagrees with the count or the file; nothing was written
    WriteFailed,  // a file could not be written; the subject files are as they were
};

struct SaveResult {
    SaveStatus status = SaveStatus::Saved;
    std::string message; // UTF-8 error text when not saved
    bool ok() const { return status == SaveStatus::Saved; }
};

// Writes the count of a subject into the catalogue file (Catalogue::WriteQuestionCount).
using WriteCatalogueCount = std::function<bool(int subject, std::uint32_t count)>;

// SaveQuestion. Append mode: the record goes at the end of the question file (a subject without
// questions gets a new file), its offset at the end of the index, the count + 1 into the index
// and the catalogue, and both numbers of `subject` move on by one. Edit mode: the question file
// is rewritten beside itself (head, new record, tail, streamed) and renamed over the old one;
// then the index, its later offsets shifted by the change in length (asked flags kept), is
// replaced the same way; the catalogue is left alone. A crash leaves every file whole.
SaveResult SaveQuestion(EditorSubject& subject, const QuestionTexts& texts,
                        const WriteCatalogueCount& writeCount);
// The same, writing the count with catalogue.WriteQuestionCount (the caller reloads).
SaveResult SaveQuestion(EditorSubject& subject, const QuestionTexts& texts, Catalogue& catalogue);

} // namespace vexamo
