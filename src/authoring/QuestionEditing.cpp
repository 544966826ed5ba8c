#include "authoring/QuestionEditing.h"

#include "bank/Catalogue.h"
#include "platform/Cp1252.h"
#include "platform/Files.h"
#include "platform/LittleEndian.h"
#include "platform/RawFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace vexamo {
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kOffsetMask = 0x7FFFFFFFu;
constexpr std::size_t kCopyChunk = 64 * 1024;

std::optional<std::uint32_t> ReadWord(const RawFile& fd, std::int64_t offset) {
    unsigned char b[4];
    if (!fd.ReadAt(offset, b, 4)) return std::nullopt;
    return GetLE32(b);
}

bool WriteWord(const RawFile& fd, std::int64_t offset, std::uint32_t value) {
    unsigned char b[4];
    PutLE32(b, value);
    return fd.WriteAt(offset, b, 4);
}

// Copies `size` bytes from `offset` of `from` into `sink`, a chunk at a time.
bool CopyRange(const RawFile& from, std::int64_t offset, std::int64_t size, FileSink& sink) {
    std::vector<char> chunk(kCopyChunk);
    while (size > 0) {
        const std::size_t take = static_cast<std::size_t>(std::min<std::int64_t>(size, kCopyChunk));
        if (!from.ReadAt(offset, chunk.data(), take) || !sink.Write(chunk.data(), take))
            return false;
        offset += static_cast<std::int64_t>(take);
        size -= static_cast<std::int64_t>(take);
    }
    return true;
}

fs::perms ModeOr(const fs::path& path, fs::perms fallback) {
    return FileMode(path).value_or(fallback);
}

constexpr fs::perms kNewFileMode = fs::perms::owner_read | fs::perms::owner_write |
                                   fs::perms::group_read | fs::perms::others_read;

bool IsKeyLetter(char c) { return (c >= 'A' && c <= 'E') || (c >= 'a' && c <= 'e'); }

std::string TrimTrailingBlanks(std::string s) {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.pop_back();
    return s;
}

// Every CR LF pair, CR or LF becomes one blank.
std::string BreaksToBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += ' ';
        } else {
            out += text[i];
        }
    }
    return out;
}

SaveResult Inconsistent() {
    return {SaveStatus::Inconsistent,
            "\nEl índice de la materia no coincide con su archivo de preguntas. Usa \"Detectar y "
            "reparar errores\" y vuelve a intentarlo."};
}

SaveResult WriteFailed() {
    return {SaveStatus::WriteFailed,
            "\nNo se ha podido guardar la pregunta: los archivos de la materia no se pueden "
            "escribir. La materia queda como estaba."};
}

} // namespace

// ---------------------------------------------------------------------------------------------

std::optional<QuestionTexts> ReadStoredQuestion(const SubjectPaths& paths, std::uint32_t n) {
    RawFile index(paths.indexFile, O_RDONLY | O_CLOEXEC);
    if (!index.ok()) return std::nullopt;
    const auto count = ReadWord(index, 0);
    if (!count || n >= *count) return std::nullopt;
    const auto entry = ReadWord(index, 4 + 4 * static_cast<std::int64_t>(n));
    if (!entry) return std::nullopt;
    RawFile file(paths.questionFile, O_RDONLY | O_CLOEXEC);
    if (!file.ok()) return std::nullopt;
    const std::int64_t size = file.Size();
    const std::int64_t offset = *entry & kOffsetMask;
    if (offset >= size) return std::nullopt;

    // Seven lines at most, each cut at 1023 characters.
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::int64_t>(size - offset, 7 * 4096));
    std::string bytes(want, '\0');
    if (!file.ReadAt(offset, bytes.data(), want)) return std::nullopt;

    QuestionTexts texts;
    std::size_t pos = 0;
    for (int slot = 0; slot < 7 && pos < bytes.size(); ++slot) {
        const std::size_t cr = bytes.find('\r', pos);
        const std::size_t end = cr == std::string::npos ? bytes.size() : cr;
        std::string line = bytes.substr(pos, std::min(end - pos, kMaxLineLength));
        pos = cr == std::string::npos ? bytes.size() : cr + 2; // the LF after the CR is skipped
        if (slot == 5 && !line.empty() && line.front() == '=') slot = 6;
        if (slot == 0)
            texts.question = std::move(line);
        else if (slot <= 5)
            texts.answers[static_cast<std::size_t>(slot - 1)] = std::move(line);
        else
            texts.letter = line.size() >= 2 ? line.substr(1, 1) : std::string();
    }
    return texts;
}

QuestionTexts CollectInput(std::string_view question, const std::array<std::string, 5>& answers,
                           std::string_view letter) {
    QuestionTexts texts;
    while (!question.empty() && (question.back() == '\r' || question.back() == '\n'))
        question.remove_suffix(1);
    texts.question = BreaksToBlanks(question);
    for (std::size_t i = 0; i < answers.size(); ++i)
        texts.answers[i] = TrimTrailingBlanks(BreaksToBlanks(answers[i]));
    texts.letter = BreaksToBlanks(letter);
    return texts;
}

std::optional<ValidationFailure> ValidateQuestion(const QuestionTexts& texts, bool onlyFourAnswers) {
    // 1. Every field but answer e) must hold something.
    if (texts.question.empty())
        return ValidationFailure{"\nRellena todos los campos...", EditorField::Question};
    for (int a = 0; a < 4; ++a)
        if (texts.answers[static_cast<std::size_t>(a)].empty())
            return ValidationFailure{"\nRellena todos los campos...", AnswerField(a)};
    if (texts.letter.empty())
        return ValidationFailure{"\nRellena todos los campos...", EditorField::Letter};

    const char u = static_cast<char>(UpperCp1252(static_cast<std::uint8_t>(texts.letter.front())));
    // 2. A letter beyond the answers there can be.
    if ((u > 'E' && u <= 'Z') || (u == 'E' && onlyFourAnswers))
        return ValidationFailure{"\nRevisa la solución proporcionada...", EditorField::Letter};
    // 3. The letter names an empty answer.
    if (u >= 'A' && u <= 'E' && texts.answers[static_cast<std::size_t>(u - 'A')].empty())
        return ValidationFailure{"\n¡La solución proporcionada está en blanco!", AnswerField(u - 'A')};
    // 4. Anything else that is not a usable letter.
    if (!((u >= 'A' && u <= 'D') || (u == 'E' && !onlyFourAnswers)))
        return ValidationFailure{"\nComprueba la respuesta correcta...", EditorField::Letter};

    // Lines the readers could not read back.
    const std::string tooLong = "\nUn campo no puede tener más de 1023 caracteres...";
    if (texts.question.size() > kMaxFieldLength)
        return ValidationFailure{tooLong, EditorField::Question};
    for (int a = 0; a < 5; ++a)
        if (texts.answers[static_cast<std::size_t>(a)].size() > kMaxFieldLength)
            return ValidationFailure{tooLong, AnswerField(a)};

    // Lines the readers would take for the key line.
    const std::string keyLike =
        "\nUna respuesta no puede empezar por \"=\", ni un texto acabar en \"=\" seguido de una "
        "letra de la A a la E...";
    auto endsLikeKey = [](const std::string& s) {
        return s.size() >= 2 && s[s.size() - 2] == '=' && IsKeyLetter(s.back());
    };
    if (endsLikeKey(texts.question)) return ValidationFailure{keyLike, EditorField::Question};
    for (int a = 0; a < 5; ++a) {
        const std::string& answer = texts.answers[static_cast<std::size_t>(a)];
        if ((!answer.empty() && answer.front() == '=') || endsLikeKey(answer))
            return ValidationFailure{keyLike, AnswerField(a)};
    }
    return std::nullopt;
}

std::string DuplicateQuestionWarning() {
    return "Esta pregunta ya existe en la base de datos...\n¿Quieres añadirla de todas formas y "
           "tenerla repetida?";
}

std::string BuildQuestionRecord(const QuestionTexts& texts) {
    std::string record;
    record += texts.question;
    record += "\r\n";
    for (std::size_t i = 0; i < 5; ++i) {
        if (i == 4 && texts.answers[i].empty()) break;
        record += texts.answers[i];
        record += "\r\n";
    }
    record += '=';
    if (!texts.letter.empty()) record += texts.letter.front();
    record += "\r\n\r\n";
    return record;
}

bool IsDuplicateQuestion(const SubjectPaths& paths, const QuestionTexts& texts) {
    const std::string candidate = FoldAsciiUpper(BuildQuestionRecord(texts));
    RawFile index(paths.indexFile, O_RDONLY | O_CLOEXEC);
    RawFile file(paths.questionFile, O_RDONLY | O_CLOEXEC);
    if (!index.ok() || !file.ok()) return false;
    const std::int64_t fileSize = file.Size();
    const std::int64_t indexSize = index.Size();
    const auto count = ReadWord(index, 0);
    if (!count || fileSize < 0 || indexSize < 4) return false;
    const std::uint32_t n =
        std::min<std::uint32_t>(*count, static_cast<std::uint32_t>((indexSize - 4) / 4));

    std::vector<unsigned char> entries;
    std::string stored(candidate.size(), '\0');
    const std::uint32_t perChunk = 16384;
    std::int64_t previous = -1;
    // Walks the offsets in chunks; the span of question i ends where question i + 1 begins.
    auto check = [&](std::int64_t begin, std::int64_t end) {
        if (end - begin != static_cast<std::int64_t>(candidate.size()) || begin < 0 || end > fileSize)
            return false;
        if (!file.ReadAt(begin, stored.data(), stored.size())) return false;
        return FoldAsciiUpper(stored) == candidate;
    };
    for (std::uint32_t i = 0; i < n; i += perChunk) {
        const std::uint32_t take = std::min(perChunk, n - i);
        entries.resize(4 * static_cast<std::size_t>(take));
        if (!index.ReadAt(4 + 4 * static_cast<std::int64_t>(i), entries.data(), entries.size()))
            return false;
        for (std::uint32_t j = 0; j < take; ++j) {
            const std::int64_t offset = GetLE32(&entries[4 * j]) & kOffsetMask;
            if (previous >= 0 && check(previous, offset)) return true;
            previous = offset;
        }
    }
    return previous >= 0 && check(previous, fileSize);
}

// ---------------------------------------------------------------------------------------------
// Saving

namespace {

SaveResult Append(EditorSubject& subject, const std::string& record,
                  const WriteCatalogueCount& writeCount) {
    const SubjectPaths& paths = subject.paths;
    const std::uint32_t count = subject.questionCount;
    std::uint32_t offset = 0;
    {
        RawFile index(paths.indexFile, O_RDONLY | O_CLOEXEC);
        if (index.ok()) {
            const auto stored = ReadWord(index, 0);
            if (!stored || *stored != count || index.Size() < 4 + 4 * static_cast<std::int64_t>(count))
                return Inconsistent();
        } else if (count != 0) {
            return Inconsistent();
        }
    }

    if (count == 0) {
        // A subject without questions starts its question file anew.
        if (!WriteFileAtomically(paths.questionFile, record, ModeOr(paths.questionFile, kNewFileMode)))
            return WriteFailed();
    } else {
        RawFile file(paths.questionFile, O_WRONLY | O_CLOEXEC);
        if (!file.ok()) return WriteFailed();
        const std::int64_t size = file.Size();
        if (size < 0) return WriteFailed();
        if (size + static_cast<std::int64_t>(record.size()) > kOffsetMask) return WriteFailed();
        offset = static_cast<std::uint32_t>(size);
        if (!file.WriteAt(size, record.data(), record.size())) {
            if (::ftruncate(file.fd(), size) != 0) { /* the index still ends before it */ }
            return WriteFailed();
        }
    }

    // The new word first, then the count: a crash in between leaves the old count, which
    // still describes the file.
    RawFile index(paths.indexFile, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (!index.ok() || !WriteWord(index, 4 + 4 * static_cast<std::int64_t>(count), offset) ||
        !WriteWord(index, 0, count + 1))
        return WriteFailed();

    subject.questionNumber = count + 1;
    subject.questionCount = count + 1;
    if (writeCount && !writeCount(subject.subjectNumber, count + 1))
        return {SaveStatus::WriteFailed,
                "\nLa pregunta se ha guardado, pero el catálogo no se ha podido actualizar. Usa "
                "\"Detectar y reparar errores\"."};
    return {};
}

SaveResult Edit(EditorSubject& subject, const std::string& record) {
    const SubjectPaths& paths = subject.paths;
    const std::uint32_t count = subject.questionCount;
    const std::uint32_t n = subject.questionNumber;

    RawFile index(paths.indexFile, O_RDONLY | O_CLOEXEC);
    RawFile file(paths.questionFile, O_RDONLY | O_CLOEXEC);
    if (!index.ok() || !file.ok()) return Inconsistent();
    const std::int64_t indexSize = index.Size();
    const std::int64_t size = file.Size();
    const auto stored = ReadWord(index, 0);
    if (!stored || *stored != count || indexSize < 4 + 4 * static_cast<std::int64_t>(count) ||
        size < 0)
        return Inconsistent();
    const auto entryE = ReadWord(index, 4 + 4 * static_cast<std::int64_t>(n));
    if (!entryE) return Inconsistent();
    const std::int64_t e = *entryE & kOffsetMask;
    std::int64_t x = size; // end of the edited question
    const bool hasTail = n + 1 < count;
    if (hasTail) {
        const auto entryX = ReadWord(index, 4 + 4 * static_cast<std::int64_t>(n + 1));
        if (!entryX) return Inconsistent();
        x = *entryX & kOffsetMask;
    }
    if (e > x || x > size) return Inconsistent();
    const std::int64_t tail = hasTail ? size - x : 0;
    const std::int64_t newSize = e + static_cast<std::int64_t>(record.size()) + tail;
    if (newSize > kOffsetMask) return WriteFailed();
    const auto shift = static_cast<std::uint32_t>(e + static_cast<std::int64_t>(record.size()) - x);

    // Keep the old question file reachable until the index is in place too, so that a failure
    // of the second replacement can put the first one back.
    const fs::path backup = paths.questionFile.string() + ".old";
    std::error_code ec;
    fs::remove(backup, ec);
    const bool haveBackup = ::link(paths.questionFile.c_str(), backup.c_str()) == 0;

    const bool fileOk = ReplaceFileAtomically(
        paths.questionFile, ModeOr(paths.questionFile, kNewFileMode), [&](FileSink& sink) {
            return CopyRange(file, 0, e, sink) && sink.Write(record) &&
                   CopyRange(file, x, tail, sink);
        });
    if (!fileOk) {
        if (haveBackup) fs::remove(backup, ec);
        return WriteFailed();
    }

    const bool indexOk = ReplaceFileAtomically(
        paths.indexFile, ModeOr(paths.indexFile, kNewFileMode), [&](FileSink& sink) {
            std::vector<unsigned char> chunk(kCopyChunk);
            for (std::int64_t at = 0; at < indexSize;) {
                const std::size_t take =
                    static_cast<std::size_t>(std::min<std::int64_t>(indexSize - at, kCopyChunk));
                if (!index.ReadAt(at, chunk.data(), take)) return false;
                // Chunks are multiples of 4 bytes, so words never straddle them.
                for (std::size_t k = 0; k + 4 <= take; k += 4) {
                    const std::int64_t word = (at + static_cast<std::int64_t>(k)) / 4; // 0 = count
                    if (word == 0)
                        PutLE32(&chunk[k], count);
                    else if (word - 1 > n && word - 1 < count)
                        PutLE32(&chunk[k], GetLE32(&chunk[k]) + shift); // flag bit rides along
                }
                if (!sink.Write(chunk.data(), take)) return false;
                at += static_cast<std::int64_t>(take);
            }
            return true;
        });
    if (!indexOk) {
        if (haveBackup) fs::rename(backup, paths.questionFile, ec);
        return WriteFailed();
    }
    if (haveBackup) fs::remove(backup, ec);
    return {};
}

} // namespace

SaveResult SaveQuestion(EditorSubject& subject, const QuestionTexts& texts,
                        const WriteCatalogueCount& writeCount) {
    const std::string record = BuildQuestionRecord(texts);
    return subject.IsAppend() ? Append(subject, record, writeCount) : Edit(subject, record);
}

SaveResult SaveQuestion(EditorSubject& subject, const QuestionTexts& texts, Catalogue& catalogue) {
    return SaveQuestion(subject, texts, [&catalogue](int s, std::uint32_t count) {
        return catalogue.WriteQuestionCount(s, count);
    });
}

} // namespace vexamo
