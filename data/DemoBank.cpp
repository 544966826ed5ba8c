#include "DemoBank.h"

#include "bank/Catalogue.h"
#include "bank/SubjectFiles.h"
#include "platform/Cp1252.h"
#include "platform/Files.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <set>

namespace vexamo::demo {
namespace fs = std::filesystem;

namespace {

constexpr int kMinAnswers = 4;
constexpr int kMaxAnswers = 5;
constexpr int kMaxCount = 255; // a count byte of the exam type record
constexpr fs::perms kQuestionFileMode = fs::perms::owner_read | fs::perms::owner_write |
                                       fs::perms::group_read | fs::perms::others_read;

struct Line {
    int number = 0;
    std::string text; // UTF-8, trailing blanks removed
};

std::string RightTrim(std::string_view s) {
    std::size_t end = s.size();
    while (end > 0 && (s[end - 1] == ' ' || s[end - 1] == '\t' || s[end - 1] == '\r')) --end;
    return std::string(s.substr(0, end));
}

std::string Trim(std::string_view s) {
    std::string t = RightTrim(s);
    std::size_t begin = 0;
    while (begin < t.size() && (t[begin] == ' ' || t[begin] == '\t')) ++begin;
    return t.substr(begin);
}

// Splits UTF-8 text into numbered lines (LF or CR LF), without a leading byte-order mark.
std::vector<Line> SplitLines(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<Line> lines;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        lines.push_back({++number, RightTrim(raw)});
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string At(const std::string& where, int line) {
    return where + ", línea " + std::to_string(line) + ": ";
}

bool IsKeyLetter(char c) { return (c >= 'A' && c <= 'E') || (c >= 'a' && c <= 'e'); }

// A line that ends in "=" and a key letter would be taken for a key line when the index is
// rebuilt from the question file.
bool LooksLikeKey(std::string_view line) {
    return line.size() >= 2 && line[line.size() - 2] == '=' && IsKeyLetter(line.back());
}

// The line in Windows-1252, checked to be storable in the question file.
bool ToStoredLine(const Line& line, const std::string& where, std::string& stored,
                  std::string& error) {
    bool lossless = true;
    stored = Utf8ToCp1252(line.text, &lossless);
    if (!lossless) {
        error = At(where, line.number) + "hay caracteres que no existen en Windows-1252.";
        return false;
    }
    if (stored.size() > kMaxLineLength) {
        error = At(where, line.number) + "la línea pasa de " + std::to_string(kMaxLineLength) +
                " caracteres.";
        return false;
    }
    return true;
}

bool FinishQuestion(const std::vector<Line>& block, const std::string& where,
                    SourceSubject& subject, std::string& error) {
    const int first = block.front().number;
    const int answers = static_cast<int>(block.size()) - 2;
    if (answers < kMinAnswers || answers > kMaxAnswers) {
        error = At(where, first) +
                "una pregunta lleva el enunciado, cuatro o cinco respuestas y la clave (=letra); "
                "esta tiene " +
                std::to_string(block.size()) + " líneas.";
        return false;
    }
    const Line& keyLine = block.back();
    if (keyLine.text.size() != 2 || keyLine.text[0] != '=' || !IsKeyLetter(keyLine.text[1])) {
        error =
            At(where, keyLine.number) + "se esperaba la clave: \"=\" y una letra de la a a la e.";
        return false;
    }
    const char key = keyLine.text[1];
    const int keyIndex = (key >= 'a' ? key - 'a' : key - 'A');
    if (keyIndex >= answers) {
        error = At(where, keyLine.number) + "la clave señala una respuesta que no existe.";
        return false;
    }
    SourceQuestion question;
    question.key = key;
    for (std::size_t i = 0; i + 1 < block.size(); ++i) {
        const Line& line = block[i];
        if (i > 0 && line.text.starts_with('=')) {
            error = At(where, line.number) + "una respuesta no puede empezar por \"=\".";
            return false;
        }
        if (LooksLikeKey(line.text)) {
            error = At(where, line.number) +
                    "la línea no puede terminar en \"=\" seguido de una letra de la a a la e.";
            return false;
        }
        std::string stored;
        if (!ToStoredLine(line, where, stored, error)) return false;
        if (i == 0)
            question.text = std::move(stored);
        else
            question.answers.push_back(std::move(stored));
    }
    subject.questions.push_back(std::move(question));
    return true;
}

std::string Display(const fs::path& file) { return file.filename().string(); }

// The whole file, or nullopt with the message naming it.
std::optional<std::string> ReadSource(const fs::path& file, std::string& error) {
    std::optional<std::string> text = ReadWholeFile(file);
    if (!text) error = "No se puede leer " + file.string() + ".";
    return text;
}

} // namespace

bool ParseSubjectText(std::string_view text, const std::string& where, SourceSubject& subject,
                      std::string& error) {
    subject.questions.clear();
    std::vector<Line> block;
    for (const Line& line : SplitLines(text)) {
        if (Trim(line.text).empty()) {
            if (!block.empty() && !FinishQuestion(block, where, subject, error)) return false;
            block.clear();
        } else if (line.text.starts_with('#') && block.empty()) {
            continue;
        } else {
            block.push_back(line);
        }
    }
    if (!block.empty() && !FinishQuestion(block, where, subject, error)) return false;
    if (subject.questions.empty()) {
        error = where + ": no contiene ninguna pregunta.";
        return false;
    }
    return true;
}

bool ParseExamTypesText(std::string_view text, const std::string& where,
                        std::vector<SourceExamType>& examTypes, std::string& error) {
    examTypes.clear();
    std::set<std::string> examNames;
    std::set<std::string> subjectsOfExam;
    for (const Line& line : SplitLines(text)) {
        const std::string content = Trim(line.text);
        if (content.empty() || content.starts_with('#')) continue;
        if (content.starts_with('[')) {
            if (!content.ends_with(']')) {
                error = At(where, line.number) + "falta el \"]\" que cierra el nombre del examen.";
                return false;
            }
            bool lossless = true;
            const std::string name = Utf8ToCp1252(
                Trim(std::string_view(content).substr(1, content.size() - 2)), &lossless);
            if (!lossless || !Catalogue::IsValidName(name)) {
                error = At(where, line.number) +
                        "el nombre del examen debe tener de 1 a 62 caracteres de Windows-1252.";
                return false;
            }
            if (!examNames.insert(name).second) {
                error = At(where, line.number) + "ese tipo de examen ya está en la lista.";
                return false;
            }
            examTypes.push_back({name, {}});
            subjectsOfExam.clear();
            continue;
        }
        if (examTypes.empty()) {
            error = At(where, line.number) + "falta antes el nombre del examen entre corchetes.";
            return false;
        }
        const std::size_t equals = content.rfind('=');
        if (equals == std::string::npos) {
            error = At(where, line.number) + "se esperaba \"materia = número de preguntas\".";
            return false;
        }
        bool lossless = true;
        const std::string subject =
            Utf8ToCp1252(Trim(std::string_view(content).substr(0, equals)), &lossless);
        const std::string countText = Trim(std::string_view(content).substr(equals + 1));
        const bool digitsOnly = !countText.empty() && countText.size() <= 3 &&
                                std::all_of(countText.begin(), countText.end(),
                                            [](char c) { return c >= '0' && c <= '9'; });
        const int count = digitsOnly ? std::stoi(countText) : -1;
        if (count < 0 || count > kMaxCount) {
            error = At(where, line.number) + "el número de preguntas debe ir de 0 a 255.";
            return false;
        }
        if (!lossless || subject.empty()) {
            error = At(where, line.number) + "nombre de materia no válido.";
            return false;
        }
        if (!subjectsOfExam.insert(subject).second) {
            error = At(where, line.number) + "esa materia ya está en este examen.";
            return false;
        }
        examTypes.back().counts.emplace_back(subject, count);
    }
    if (examTypes.empty()) {
        error = where + ": no define ningún tipo de examen.";
        return false;
    }
    return true;
}

bool LoadDemoSource(const fs::path& folder, DemoSource& source, std::string& error) {
    source = {};
    const fs::path examFile = folder / kExamTypesFileName;
    const std::optional<std::string> examText = ReadSource(examFile, error);
    if (!examText) return false;
    if (!ParseExamTypesText(*examText, Display(examFile), source.examTypes, error)) return false;

    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec) && it->path().extension() == kSubjectExtension)
            files.push_back(it->path());
    }
    if (ec) {
        error = "No se puede recorrer la carpeta " + folder.string() + ".";
        return false;
    }
    std::sort(files.begin(), files.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
    if (files.empty()) {
        error = "La carpeta " + folder.string() + " no tiene ninguna materia (*.txt).";
        return false;
    }
    if (files.size() > static_cast<std::size_t>(kMaxSubjects)) {
        error = "Hay más de 128 materias.";
        return false;
    }
    for (const fs::path& file : files) {
        SourceSubject subject;
        bool lossless = true;
        subject.name = Utf8ToCp1252(file.stem().string(), &lossless);
        if (!lossless || !Catalogue::IsValidName(subject.name)) {
            error = Display(file) + ": el nombre de la materia no es válido.";
            return false;
        }
        const std::optional<std::string> text = ReadSource(file, error);
        if (!text) return false;
        if (!ParseSubjectText(*text, Display(file), subject, error)) return false;
        source.subjects.push_back(std::move(subject));
    }

    for (const SourceExamType& exam : source.examTypes) {
        const std::string examName = Cp1252ToUtf8(exam.name);
        for (const auto& [name, count] : exam.counts) {
            const auto it = std::find_if(source.subjects.begin(), source.subjects.end(),
                                         [&](const SourceSubject& s) { return s.name == name; });
            if (it == source.subjects.end()) {
                error = Display(examFile) + ": el examen \"" + examName +
                        "\" incluye la materia \"" + Cp1252ToUtf8(name) +
                        "\", que no tiene archivo.";
                return false;
            }
            if (static_cast<std::size_t>(count) > it->questions.size()) {
                error = Display(examFile) + ": el examen \"" + examName + "\" pide " +
                        std::to_string(count) + " preguntas de \"" + Cp1252ToUtf8(name) +
                        "\", que sólo tiene " + std::to_string(it->questions.size()) + ".";
                return false;
            }
        }
    }
    return true;
}

std::string QuestionFileBytes(const SourceSubject& subject) {
    std::string bytes;
    for (const SourceQuestion& q : subject.questions) {
        bytes += q.text + "\r\n";
        for (const std::string& answer : q.answers) bytes += answer + "\r\n";
        bytes += '=';
        bytes += q.key;
        bytes += "\r\n\r\n";
    }
    return bytes;
}

namespace {

// Removes what a failed build created, so that the builder can simply run again.
class Undo {
public:
    explicit Undo(fs::path catalogue) : catalogue_(std::move(catalogue)) {}
    ~Undo() {
        if (done_) return;
        std::error_code ec;
        for (const fs::path& folder : folders_) fs::remove_all(folder, ec);
        fs::remove(catalogue_, ec);
    }
    void AddFolder(fs::path folder) { folders_.push_back(std::move(folder)); }
    void Keep() { done_ = true; }

private:
    fs::path catalogue_;
    std::vector<fs::path> folders_;
    bool done_ = false;
};

std::string Why(const Catalogue& catalogue) {
    const std::string& e = catalogue.ErrorString();
    return e.empty() ? std::string() : " " + Trim(e.starts_with('\n') ? e.substr(1) : e);
}

} // namespace

bool BuildDemoBank(const DemoSource& source, const fs::path& dataFolder, std::string& error) {
    std::error_code ec;
    fs::create_directories(dataFolder, ec);
    if (!fs::is_directory(dataFolder, ec)) {
        error = "No se puede crear la carpeta de datos " + dataFolder.string() + ".";
        return false;
    }
    Catalogue catalogue(dataFolder);
    if (fs::exists(catalogue.FilePath(), ec)) {
        error = "La carpeta de datos ya contiene " + std::string(kCatalogueFileName) +
                ": no se crea el banco de demostración.";
        return false;
    }
    for (const SourceSubject& subject : source.subjects) {
        if (fs::exists(PathFromCp1252(dataFolder, subject.name), ec)) {
            error = "La carpeta de datos ya contiene una carpeta \"" + Cp1252ToUtf8(subject.name) +
                    "\": no se crea el banco de demostración.";
            return false;
        }
    }

    Undo undo(catalogue.FilePath());
    if (!catalogue.LoadOrCreate()) {
        error = "No se ha podido crear el catálogo." + Why(catalogue);
        return false;
    }
    // A new catalogue starts with one exam type: ours come after it, then it goes.
    const int initialExamTypes = catalogue.ExamTypeCount();
    for (const SourceExamType& exam : source.examTypes) {
        if (!catalogue.AddExamType(exam.name)) {
            error = "No se ha podido añadir el examen \"" + Cp1252ToUtf8(exam.name) + "\"." +
                    Why(catalogue);
            return false;
        }
    }
    for (int i = 0; i < initialExamTypes; ++i) {
        if (!catalogue.DeleteExamType(0)) {
            error = "No se ha podido quitar el examen inicial." + Why(catalogue);
            return false;
        }
    }

    for (const SourceSubject& subject : source.subjects) {
        const std::string name = Cp1252ToUtf8(subject.name);
        if (!catalogue.AddSubject(subject.name, 0)) {
            error = "No se ha podido crear la materia \"" + name + "\"." + Why(catalogue);
            return false;
        }
        undo.AddFolder(PathFromCp1252(dataFolder, subject.name));
        const int number = catalogue.FindSubject(subject.name);
        const SubjectPaths paths = PathsOf(catalogue, number);
        if (number < 0 || !WriteFileAtomically(paths.questionFile, QuestionFileBytes(subject),
                                               kQuestionFileMode)) {
            error = "No se han podido escribir las preguntas de \"" + name + "\".";
            return false;
        }
        if (!RebuildIndex(catalogue, number) || !catalogue.LoadCatalogue()) {
            error = "No se ha podido crear el índice de \"" + name + "\"." + Why(catalogue);
            return false;
        }
        const std::uint32_t expected = static_cast<std::uint32_t>(subject.questions.size());
        if (catalogue.subjects[number].QuestionCount() != expected ||
            IndexCount(paths) != expected) {
            error = "El índice de \"" + name + "\" no tiene las " + std::to_string(expected) +
                    " preguntas escritas.";
            return false;
        }
    }

    for (std::size_t e = 0; e < source.examTypes.size(); ++e) {
        for (const auto& [name, count] : source.examTypes[e].counts) {
            const int number = catalogue.FindSubject(name);
            if (number < 0 || !catalogue.SetSubjectInExam(count, number, static_cast<int>(e))) {
                error = "No se ha podido incluir \"" + Cp1252ToUtf8(name) + "\" en el examen \"" +
                        Cp1252ToUtf8(source.examTypes[e].name) + "\"." + Why(catalogue);
                return false;
            }
        }
    }
    if (!catalogue.LoadCatalogue()) {
        error = "El catálogo escrito no se puede leer." + Why(catalogue);
        return false;
    }
    undo.Keep();
    return true;
}

int RunDemoBankBuilder(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    if (argc != 3) {
        err << "Uso: vexamo_demobank <carpeta de fuentes> <carpeta de datos>\n"
               "Crea el banco de preguntas de demostración en la carpeta de datos.\n";
        return 2;
    }
    const fs::path sourceFolder = argv[1];
    const fs::path dataFolder = argv[2];
    std::error_code ec;
    if (fs::exists(dataFolder / kCatalogueFileName, ec)) {
        err << "La carpeta de datos " << dataFolder.string() << " ya contiene "
            << kCatalogueFileName << ": no se crea el banco de demostración.\n";
        return 1;
    }
    DemoSource source;
    std::string error;
    if (!LoadDemoSource(sourceFolder, source, error) || !BuildDemoBank(source, dataFolder, error)) {
        err << error << '\n';
        return 1;
    }
    std::size_t questions = 0;
    for (const SourceSubject& s : source.subjects) questions += s.questions.size();
    out << "Banco de demostración creado en " << dataFolder.string() << ": "
        << source.examTypes.size() << " tipos de examen, " << source.subjects.size()
        << " materias, " << questions << " preguntas.\n";
    return 0;
}

} // namespace vexamo::demo
