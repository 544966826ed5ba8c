#include "bank/Catalogue.h"

#include "platform/Files.h"
#include "platform/LittleEndian.h"
#include "platform/RawFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace vexamo {
namespace fs = std::filesystem;

namespace {

// Header field offsets.
constexpr int kSubjectBlockPositionAt = 8;
constexpr int kExamTypeCountAt = 32;
constexpr int kExamTypeOffsetAt = 36;
constexpr int kExamTypeSizeAt = 40;
constexpr int kSubjectCountAt = 44;
constexpr int kSubjectOffsetAt = 48;
constexpr int kSubjectSizeAt = 52;

// Record field offsets.
constexpr int kNameAt = 1;
constexpr int kNameField = 63;
constexpr int kIncludedAt = 64;
constexpr int kIncludedBytes = 32;
constexpr int kCountsAt = 96;
constexpr int kQuestionCountAt = 64;
constexpr int kIndexNameLengthAt = 68;
constexpr int kIndexNameAt = 69;
constexpr int kIndexNameField = 27;

// Keeps file offsets well inside 32 bits.
constexpr std::int64_t kMaxExamTypes = 1'000'000;

std::int32_t GetI32(const std::uint8_t* p) { return static_cast<std::int32_t>(GetLE32(p)); }

std::string ReadName(const std::uint8_t* field, int width) {
    int n = 0;
    while (n < width && field[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(field), static_cast<std::size_t>(n));
}

// nameLength + zero-filled name; the text is cut to the field's 62 usable characters.
void WriteName(std::uint8_t* record, std::string_view name) {
    const std::size_t n = std::min<std::size_t>(name.size(), kMaxNameLength);
    record[0] = static_cast<std::uint8_t>(n);
    std::memset(record + kNameAt, 0, kNameField);
    std::memcpy(record + kNameAt, name.data(), n);
}

// A subject name is also a folder name: it must stay one path component.
bool IsSafeSubjectName(std::string_view name) {
    return Catalogue::IsValidName(name) && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos;
}

// Writing from an empty copy would replace the file with a header of zeros.
const char* kNotLoaded = "\nEl catálogo no está cargado.";

const char* kDamaged = "\nEl archivo del catálogo \"Vexamodat.bin\" está dañado: ";
const char* kCannotOpen = "\nNo se puede abrir el archivo del catálogo \"Vexamodat.bin\".";
const char* kCannotWrite = "\nNo se puede escribir el archivo del catálogo \"Vexamodat.bin\".";
const char* kNoSuchSubject = "\nMateria inexistente.";
const char* kSubjectExists = "\nEsa materia ya existe!";
const char* kBadSubjectName =
    "\nEl nombre de la materia debe tener entre 1 y 62 caracteres, sin \"/\".";
const char* kTooManySubjects = "\nNo caben más de 128 materias.";

// The question file inside a subject's folder: the subject's name with ".txt".
fs::path QuestionFileIn(const fs::path& folder, std::string_view name) {
    return PathFromCp1252(folder, std::string(name) + ".txt");
}

} // namespace

// ---- ExamTypeRecord ----

ExamTypeRecord ExamTypeRecord::Make(std::string_view name) {
    ExamTypeRecord r;
    r.SetName(name);
    return r;
}

std::string ExamTypeRecord::Name() const { return ReadName(bytes.data() + kNameAt, kNameField); }

void ExamTypeRecord::SetName(std::string_view name) { WriteName(bytes.data(), name); }

bool ExamTypeRecord::IsIncluded(int subject) const {
    if (subject < 0 || subject >= kMaxSubjects) return false;
    return (bytes[kIncludedAt + subject / 8] >> (subject % 8)) & 1;
}

void ExamTypeRecord::SetIncluded(int subject, bool included) {
    if (subject < 0 || subject >= kMaxSubjects) return;
    const auto bit = static_cast<std::uint8_t>(1u << (subject % 8));
    auto& b = bytes[kIncludedAt + subject / 8];
    b = included ? static_cast<std::uint8_t>(b | bit) : static_cast<std::uint8_t>(b & ~bit);
}

std::uint8_t ExamTypeRecord::QuestionsFor(int subject) const {
    if (subject < 0 || subject >= kMaxSubjects) return 0;
    return bytes[kCountsAt + subject];
}

void ExamTypeRecord::SetQuestionsFor(int subject, std::uint8_t count) {
    if (subject < 0 || subject >= kMaxSubjects) return;
    bytes[kCountsAt + subject] = count;
}

void ExamTypeRecord::RemoveSubject(int k) {
    if (k < 0 || k >= kMaxSubjects) return;
    std::uint8_t* bits = bytes.data() + kIncludedAt;
    // Byte k div 8: bits below k stay, bits above move down, bit 7 comes from the next byte.
    const int first = k / 8;
    const int bit = k % 8;
    const auto below = static_cast<std::uint8_t>((1u << bit) - 1u);
    const auto above = static_cast<std::uint8_t>((bits[first] >> 1) & ~below & 0x7F);
    bits[first] = static_cast<std::uint8_t>((bits[first] & below) | above |
                                            ((bits[first + 1] & 1u) << 7));
    // The following bytes up to byte 30 shift right; byte 31 stays as it is.
    for (int i = first + 1; i <= kIncludedBytes - 2; ++i)
        bits[i] = static_cast<std::uint8_t>((bits[i] >> 1) | ((bits[i + 1] & 1u) << 7));
    // Count bytes k+1..127 move down one place; byte 127 keeps its value.
    std::uint8_t* counts = bytes.data() + kCountsAt;
    for (int i = k; i < kMaxSubjects - 1; ++i) counts[i] = counts[i + 1];
}

// ---- SubjectRecord ----

SubjectRecord SubjectRecord::Make(std::string_view name, std::uint32_t questionCount) {
    SubjectRecord r;
    r.SetName(name);
    r.SetQuestionCount(questionCount);
    r.ResetIndexName();
    return r;
}

std::string SubjectRecord::Name() const { return ReadName(bytes.data() + kNameAt, kNameField); }

void SubjectRecord::SetName(std::string_view name) { WriteName(bytes.data(), name); }

std::uint32_t SubjectRecord::QuestionCount() const {
    return static_cast<std::uint32_t>(GetI32(bytes.data() + kQuestionCountAt));
}

void SubjectRecord::SetQuestionCount(std::uint32_t count) {
    PutLE32(bytes.data() + kQuestionCountAt, count);
}

std::string SubjectRecord::IndexName() const {
    return ReadName(bytes.data() + kIndexNameAt, kIndexNameField);
}

void SubjectRecord::ResetIndexName() {
    const std::size_t n = std::strlen(kIndexFileName);
    bytes[kIndexNameLengthAt] = static_cast<std::uint8_t>(n);
    std::memset(bytes.data() + kIndexNameAt, 0, kIndexNameField);
    std::memcpy(bytes.data() + kIndexNameAt, kIndexFileName, n);
}

// ---- Catalogue ----

Catalogue::Catalogue(fs::path dataFolder) : dataFolder_(std::move(dataFolder)) {}

fs::path Catalogue::FilePath() const { return dataFolder_ / kCatalogueFileName; }

fs::path Catalogue::SubjectFolder(int subject) const {
    if (subject < 0 || subject >= SubjectCount()) return {};
    return PathFromCp1252(dataFolder_, subjectNames[static_cast<std::size_t>(subject)]);
}

fs::path Catalogue::QuestionFile(int subject) const {
    if (subject < 0 || subject >= SubjectCount()) return {};
    return QuestionFileIn(SubjectFolder(subject), subjectNames[static_cast<std::size_t>(subject)]);
}

fs::path Catalogue::IndexFile(int subject) const {
    if (subject < 0 || subject >= SubjectCount()) return {};
    // The record's indexName always reads "Off_Materia.bin"; the fixed name keeps a damaged
    // record from pointing the index anywhere else.
    return SubjectFolder(subject) / kIndexFileName;
}

bool Catalogue::LoadCatalogue() {
    header = {};
    examTypes.clear();
    subjects.clear();
    subjectNames.clear();
    damagedCopy_.clear();

    RawFile fd(FilePath(), O_RDONLY | O_CLOEXEC);
    if (!fd.ok()) {
        error_ = "\nNo se puede abrir el archivo del catálogo \"Vexamodat.bin\": " +
                 std::string(std::strerror(errno)) + ".";
        return false;
    }
    const std::int64_t size = fd.Size();
    auto damaged = [&](const std::string& what) {
        error_ = kDamaged + what;
        return false;
    };
    if (size < kCatalogueHeaderSize) return damaged("es demasiado corto.");

    std::array<std::uint8_t, kCatalogueHeaderSize> h{};
    if (!fd.ReadAt(0, h.data(), h.size())) return damaged("no se puede leer la cabecera.");
    const std::int64_t examCount = GetI32(&h[kExamTypeCountAt]);
    const std::int64_t examOffset = GetI32(&h[kExamTypeOffsetAt]);
    const std::int64_t examSize = GetI32(&h[kExamTypeSizeAt]);
    const std::int64_t subjectCount = GetI32(&h[kSubjectCountAt]);
    const std::int64_t subjectOffset = GetI32(&h[kSubjectOffsetAt]);
    const std::int64_t subjectSize = GetI32(&h[kSubjectSizeAt]);
    const std::int64_t blockPosition = GetI32(&h[kSubjectBlockPositionAt]);

    if (examOffset != kCatalogueHeaderSize || examSize != kExamTypeRecordSize ||
        subjectSize != kSubjectRecordSize || blockPosition != kSubjectCountAt)
        return damaged("la disposición de los registros no es la esperada.");
    if (examCount < 1) return damaged("no contiene ningún tipo de examen.");
    if (examCount > (size - kCatalogueHeaderSize) / kExamTypeRecordSize)
        return damaged("el número de tipos de examen no cabe en el archivo.");
    if (subjectCount < 0 || subjectCount > kMaxSubjects)
        return damaged("el número de materias no es válido.");
    if (subjectOffset != kCatalogueHeaderSize + kExamTypeRecordSize * examCount)
        return damaged("la posición de las materias no es la esperada.");
    if (subjectOffset + kSubjectRecordSize * subjectCount > size)
        return damaged("el archivo es más corto de lo que indica su cabecera.");

    std::vector<ExamTypeRecord> exams(static_cast<std::size_t>(examCount));
    for (std::int64_t i = 0; i < examCount; ++i)
        if (!fd.ReadAt(examOffset + i * examSize, exams[i].bytes.data(), kExamTypeRecordSize))
            return damaged("no se pueden leer los tipos de examen.");
    std::vector<SubjectRecord> subs(static_cast<std::size_t>(subjectCount));
    std::vector<std::string> names;
    for (std::int64_t i = 0; i < subjectCount; ++i) {
        if (!fd.ReadAt(subjectOffset + i * subjectSize, subs[i].bytes.data(), kSubjectRecordSize))
            return damaged("no se pueden leer las materias.");
        names.push_back(subs[i].Name());
        if (!IsSafeSubjectName(names.back()))
            return damaged("la materia número " + std::to_string(i + 1) +
                           " no tiene un nombre válido.");
    }

    header = h;
    examTypes = std::move(exams);
    subjects = std::move(subs);
    subjectNames = std::move(names);
    error_.clear();
    return true;
}

bool Catalogue::LoadOrCreate() {
    if (LoadCatalogue()) return true;
    const std::string loadError = error_;
    std::error_code ec;
    fs::path aside;
    if (fs::exists(FilePath(), ec)) {
        // Keep the damaged file: a new catalogue must not cost the old one.
        for (int i = 1; i < 1000 && aside.empty(); ++i) {
            fs::path candidate = FilePath();
            candidate += i == 1 ? ".bak" : ".bak" + std::to_string(i);
            if (!fs::exists(candidate, ec)) aside = candidate;
        }
        if (aside.empty() || (fs::rename(FilePath(), aside, ec), ec)) {
            error_ = loadError + "\nNo se ha podido apartar el archivo dañado.";
            return false;
        }
    }

    std::array<std::uint8_t, kCatalogueHeaderSize> h{};
    PutLE32(&h[kSubjectBlockPositionAt], kSubjectCountAt);
    PutLE32(&h[kExamTypeCountAt], 1);
    PutLE32(&h[kExamTypeOffsetAt], kCatalogueHeaderSize);
    PutLE32(&h[kExamTypeSizeAt], kExamTypeRecordSize);
    PutLE32(&h[kSubjectCountAt], 0);
    PutLE32(&h[kSubjectOffsetAt], kCatalogueHeaderSize + kExamTypeRecordSize);
    PutLE32(&h[kSubjectSizeAt], kSubjectRecordSize);
    if (!WriteWhole(h, {ExamTypeRecord::Make(kDefaultExamTypeName)}, {})) return false;
    if (!LoadCatalogue()) return false;
    damagedCopy_ = aside;
    return true;
}

int Catalogue::FindSubject(std::string_view name) const {
    for (std::size_t i = 0; i < subjectNames.size(); ++i)
        if (subjectNames[i] == name) return static_cast<int>(i);
    return -1;
}

bool Catalogue::IsValidName(std::string_view name) {
    return !name.empty() && name.size() <= static_cast<std::size_t>(kMaxNameLength) &&
           name.find('\0') == std::string_view::npos;
}

bool Catalogue::SetSubjectInExam(int value, int subject, int examType) {
    if (value >= 9999) return true; // nothing to do
    if (value < -1 || subject < 0 || subject >= SubjectCount() || examType < 0 ||
        examType >= ExamTypeCount()) {
        error_ = "\nMateria o tipo de examen inexistente.";
        return false;
    }
    ExamTypeRecord record = examTypes[static_cast<std::size_t>(examType)];
    if (value == -1) {
        record.SetIncluded(subject, false);
    } else {
        record.SetIncluded(subject, true);
        record.SetQuestionsFor(subject, static_cast<std::uint8_t>(std::min(value, 255)));
    }
    if (!WriteAt(RecordAt(kExamTypeOffsetAt, examType), record.bytes.data(), record.bytes.size()))
        return false;
    examTypes[static_cast<std::size_t>(examType)] = record;
    return true;
}

bool Catalogue::AddExamType(std::string_view name) {
    if (!RequireLoaded()) return false;
    if (!IsValidName(name)) {
        error_ = "\nEl nombre debe tener entre 1 y 62 caracteres.";
        return false;
    }
    if (ExamTypeCount() >= kMaxExamTypes) {
        error_ = "\nNo caben más tipos de examen.";
        return false;
    }
    auto h = header;
    PutLE32(&h[kExamTypeCountAt], static_cast<std::uint32_t>(ExamTypeCount() + 1));
    PutLE32(&h[kSubjectOffsetAt],
            static_cast<std::uint32_t>(GetI32(&h[kSubjectOffsetAt]) + kExamTypeRecordSize));
    auto exams = examTypes;
    exams.push_back(ExamTypeRecord::Make(name));
    return WriteWhole(h, exams, subjects) && LoadCatalogue();
}

bool Catalogue::DeleteExamType(int examType) {
    if (examType < 0 || examType >= ExamTypeCount()) {
        error_ = "\nTipo de examen inexistente.";
        return false;
    }
    if (ExamTypeCount() == 1) {
        error_ = "\nNo se puede eliminar el único tipo de examen.";
        return false;
    }
    auto h = header;
    PutLE32(&h[kExamTypeCountAt], static_cast<std::uint32_t>(ExamTypeCount() - 1));
    PutLE32(&h[kSubjectOffsetAt],
            static_cast<std::uint32_t>(GetI32(&h[kSubjectOffsetAt]) - kExamTypeRecordSize));
    auto exams = examTypes;
    exams.erase(exams.begin() + examType);
    return WriteWhole(h, exams, subjects) && LoadCatalogue();
}

bool Catalogue::AddSubject(std::string_view name, int selectedExamType) {
    if (!RequireLoaded()) return false;
    if (!IsSafeSubjectName(name)) {
        error_ = kBadSubjectName;
        return false;
    }
    if (SubjectCount() >= kMaxSubjects) {
        error_ = kTooManySubjects;
        return false;
    }
    if (FindSubject(name) >= 0) {
        error_ = kSubjectExists;
        return false;
    }
    const fs::path folder = PathFromCp1252(dataFolder_, name);
    std::error_code ec;
    if (!fs::create_directory(folder, ec)) {
        error_ = kSubjectExists;
        return false;
    }
    const bool filesMade =
        WriteFileAtomically(folder / kIndexFileName, std::string_view("\0\0\0\0", 4),
                            fs::perms(0644)) &&
        WriteFileAtomically(QuestionFileIn(folder, name), "", fs::perms(0644));

    auto h = header;
    const int number = SubjectCount();
    PutLE32(&h[kSubjectCountAt], static_cast<std::uint32_t>(number + 1));
    auto exams = examTypes;
    if (selectedExamType >= 0 && selectedExamType < ExamTypeCount())
        exams[static_cast<std::size_t>(selectedExamType)].SetQuestionsFor(number, 0);
    auto subs = subjects;
    subs.push_back(SubjectRecord::Make(name));
    if (!filesMade || !WriteWhole(h, exams, subs)) {
        if (filesMade) error_ = "\nNo se puede escribir el catálogo.";
        else error_ = "\nNo se pueden crear los archivos de la materia.";
        fs::remove_all(folder, ec);
        return false;
    }
    return LoadCatalogue();
}

bool Catalogue::RenameSubject(int subject, std::string_view newName) {
    if (!RequireSubject(subject)) return false;
    if (!IsSafeSubjectName(newName)) {
        error_ = kBadSubjectName;
        return false;
    }
    const int other = FindSubject(newName);
    if (other >= 0 && other != subject) {
        error_ = kSubjectExists;
        return false;
    }
    const std::string oldName = subjectNames[static_cast<std::size_t>(subject)];
    const fs::path oldFolder = SubjectFolder(subject);
    const fs::path newFolder = PathFromCp1252(dataFolder_, newName);
    const bool renaming = oldName != newName;
    std::error_code ec;
    bool fileMoved = false;
    if (renaming) {
        // rename(2) would replace an empty folder of that name: refuse any existing one.
        if (fs::exists(fs::symlink_status(newFolder, ec))) {
            error_ = kSubjectExists;
            return false;
        }
        fs::rename(oldFolder, newFolder, ec);
        if (ec) {
            error_ = "\nNo se puede cambiar el nombre de la carpeta de la materia.";
            return false;
        }
        const fs::path oldFile = QuestionFileIn(newFolder, oldName);
        if (fs::exists(oldFile, ec)) {
            fs::rename(oldFile, QuestionFileIn(newFolder, newName), ec);
            if (ec) {
                fs::rename(newFolder, oldFolder, ec);
                error_ = "\nNo se puede cambiar el nombre del archivo de preguntas.";
                return false;
            }
            fileMoved = true;
        }
    }
    SubjectRecord record = subjects[static_cast<std::size_t>(subject)];
    record.SetName(newName);
    if (!WriteAt(RecordAt(kSubjectOffsetAt, subject), record.bytes.data(), record.bytes.size())) {
        if (renaming) {
            if (fileMoved)
                fs::rename(QuestionFileIn(newFolder, newName), QuestionFileIn(newFolder, oldName),
                           ec);
            fs::rename(newFolder, oldFolder, ec);
        }
        return false;
    }
    return LoadCatalogue();
}

bool Catalogue::SetQuestionCount(int subject, std::uint32_t count) {
    if (!RequireSubject(subject)) return false;
    if (subjects[static_cast<std::size_t>(subject)].QuestionCount() == count) return true;
    return WriteQuestionCount(subject, count);
}

bool Catalogue::WriteQuestionCount(int subject, std::uint32_t count) {
    if (subject < 0 || subject >= kMaxSubjects) {
        error_ = kNoSuchSubject;
        return false;
    }
    RawFile fd(FilePath(), O_RDWR | O_CLOEXEC);
    if (!fd.ok()) {
        error_ = kCannotOpen;
        return false;
    }
    const std::int64_t size = fd.Size();
    std::uint8_t v[4];
    std::uint8_t block[12];
    if (size < kCatalogueHeaderSize || !fd.ReadAt(kSubjectBlockPositionAt, v, 4)) {
        error_ = kDamaged + std::string("es demasiado corto.");
        return false;
    }
    const std::int64_t position = GetI32(v);
    // The subject block (count, offset, size) must lie inside the header.
    if (position < 0 || position + 12 > kCatalogueHeaderSize || !fd.ReadAt(position, block, 12)) {
        error_ = kDamaged + std::string("la posición del bloque de materias no es válida.");
        return false;
    }
    const std::int64_t stored = GetI32(block);
    const std::int64_t offset = GetI32(block + 4);
    const std::int64_t recordSize = GetI32(block + 8);
    if (subject >= stored || offset < kCatalogueHeaderSize || recordSize < kSubjectRecordSize ||
        offset + (subject + 1) * recordSize > size) {
        error_ = kDamaged + std::string("la materia no está donde indica la cabecera.");
        return false;
    }
    std::uint8_t bytes[4];
    PutLE32(bytes, count);
    if (!fd.WriteAt(offset + subject * recordSize + kQuestionCountAt, bytes, 4)) {
        error_ = "\nNo se puede escribir el archivo del catálogo.";
        return false;
    }
    return true;
}

bool Catalogue::DeleteSubject(int subject) {
    if (!RequireSubject(subject)) return false;
    const fs::path folder = SubjectFolder(subject);
    auto h = header;
    PutLE32(&h[kSubjectCountAt], static_cast<std::uint32_t>(SubjectCount() - 1));
    auto exams = examTypes;
    for (auto& e : exams) e.RemoveSubject(subject);
    std::vector<SubjectRecord> subs;
    for (int i = 0; i < SubjectCount(); ++i) {
        if (i == subject) continue;
        SubjectRecord r = subjects[static_cast<std::size_t>(i)];
        if (i > subject) r.ResetIndexName();
        subs.push_back(r);
    }
    if (!WriteWhole(h, exams, subs)) return false;

    // The subject's files, then its folder (left in place if it holds anything else).
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code rec;
        if (!it->is_directory(rec)) fs::remove(it->path(), rec);
    }
    fs::remove(folder, ec);
    return LoadCatalogue();
}

bool Catalogue::AppendSubjectRecord(const SubjectRecord& record) {
    if (!RequireLoaded()) return false;
    if (SubjectCount() >= kMaxSubjects) {
        error_ = kTooManySubjects;
        return false;
    }
    if (!IsSafeSubjectName(record.Name())) {
        error_ = "\nEl nombre de la materia no es válido.";
        return false;
    }
    if (FindSubject(record.Name()) >= 0) {
        error_ = kSubjectExists;
        return false;
    }
    const std::int64_t at = RecordAt(kSubjectOffsetAt, SubjectCount());
    auto h = header;
    PutLE32(&h[kSubjectCountAt], static_cast<std::uint32_t>(SubjectCount() + 1));
    // The record first: until the header counts it, a crash leaves the old catalogue.
    if (!WriteAt(at, record.bytes.data(), record.bytes.size(), true)) return false;
    if (!WriteAt(0, h.data(), h.size())) return false;
    return LoadCatalogue();
}

bool Catalogue::RequireLoaded() {
    if (ExamTypeCount() > 0) return true;
    error_ = kNotLoaded;
    return false;
}

bool Catalogue::RequireSubject(int subject) {
    if (subject >= 0 && subject < SubjectCount()) return true;
    error_ = kNoSuchSubject;
    return false;
}

std::int64_t Catalogue::RecordAt(int offsetField, int index) const {
    // The record size follows the offset in the header.
    return static_cast<std::int64_t>(GetI32(&header[offsetField])) +
           static_cast<std::int64_t>(index) * GetI32(&header[offsetField + 4]);
}

bool Catalogue::WriteWhole(const std::array<std::uint8_t, kCatalogueHeaderSize>& h,
                           const std::vector<ExamTypeRecord>& exams,
                           const std::vector<SubjectRecord>& subs) {
    std::string content;
    content.reserve(kCatalogueHeaderSize + exams.size() * kExamTypeRecordSize +
                    subs.size() * kSubjectRecordSize);
    content.append(reinterpret_cast<const char*>(h.data()), h.size());
    for (const auto& e : exams)
        content.append(reinterpret_cast<const char*>(e.bytes.data()), e.bytes.size());
    for (const auto& s : subs)
        content.append(reinterpret_cast<const char*>(s.bytes.data()), s.bytes.size());
    if (!WriteFileAtomically(FilePath(), content, kHiddenFileMode)) {
        error_ = kCannotWrite;
        return false;
    }
    return true;
}

bool Catalogue::WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t size,
                        bool extend) {
    RawFile fd(FilePath(), O_RDWR | O_CLOEXEC);
    if (!fd.ok()) {
        error_ = kCannotOpen;
        return false;
    }
    const std::int64_t fileSize = fd.Size();
    const std::int64_t end = offset + static_cast<std::int64_t>(size);
    // In place means inside the file; an append may only start at its end or before.
    if (offset < 0 || fileSize < 0 || (extend ? offset > fileSize : end > fileSize)) {
        error_ = kDamaged + std::string("el registro no está donde indica la cabecera.");
        return false;
    }
    if (!fd.WriteAt(offset, data, size)) {
        error_ = kCannotWrite;
        return false;
    }
    return true;
}

} // namespace vexamo
