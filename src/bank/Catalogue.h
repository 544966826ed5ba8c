#pragma once
// The catalogue file "Vexamodat.bin": exam types and subjects of the question bank.
//
// Layout (little-endian): a 64-byte header, the 224-byte exam type records, then the 96-byte
// subject records. Records are kept as their raw bytes so that every byte we do not
// interpret survives a rewrite exactly; accessors read and write the fields at their offsets.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vexamo {

inline constexpr int kCatalogueHeaderSize = 64;
inline constexpr int kExamTypeRecordSize = 224;
inline constexpr int kSubjectRecordSize = 96;
inline constexpr int kMaxSubjects = 128;
inline constexpr int kMaxNameLength = 62;
inline constexpr const char* kCatalogueFileName = "Vexamodat.bin";
inline constexpr const char* kIndexFileName = "Off_Materia.bin";
// Name of the exam type a new catalogue starts with.
inline constexpr const char* kDefaultExamTypeName = "Examen general";

class ExamTypeRecord {
public:
    std::array<std::uint8_t, kExamTypeRecordSize> bytes{};

    static ExamTypeRecord Make(std::string_view name); // empty: nothing included, counts 0
    std::string Name() const;                          // Windows-1252
    void SetName(std::string_view name);               // nameLength + zero-filled name
    bool IsIncluded(int subject) const;
    void SetIncluded(int subject, bool included);
    std::uint8_t QuestionsFor(int subject) const;
    void SetQuestionsFor(int subject, std::uint8_t count);
    // Removes subject k: higher bits and count bytes move down one place.
    void RemoveSubject(int k);
};

class SubjectRecord {
public:
    std::array<std::uint8_t, kSubjectRecordSize> bytes{};

    static SubjectRecord Make(std::string_view name, std::uint32_t questionCount = 0);
    std::string Name() const; // Windows-1252
    void SetName(std::string_view name);
    std::uint32_t QuestionCount() const;
    void SetQuestionCount(std::uint32_t count);
    std::string IndexName() const;
    void ResetIndexName(); // zero-fills the field and stores "Off_Materia.bin" again
};

// The in-memory copy of the catalogue and every operation that reads or writes the file.
// Names are Windows-1252 bytes; a subject's folder and question file carry its name in UTF-8.
class Catalogue {
public:
    explicit Catalogue(std::filesystem::path dataFolder);

    const std::filesystem::path& DataFolder() const { return dataFolder_; }
    std::filesystem::path FilePath() const;
    std::filesystem::path SubjectFolder(int subject) const;
    std::filesystem::path QuestionFile(int subject) const;
    std::filesystem::path IndexFile(int subject) const;

    // Reads the file. False, with ErrorString() set and the copy left empty, when the file is
    // missing or damaged: a layout other than the fixed one, counts out of range (no exam
    // type, more than 128 subjects), records past the end of the file, or a subject name that
    // cannot name a folder (empty, 63 characters, "/", "." or "..").
    bool LoadCatalogue();
    // Loads; when the file is missing or unreadable, writes a new catalogue with one exam type
    // (kDefaultExamTypeName) and no subjects, and loads that. False only if that fails too.
    // A damaged file is not overwritten: it is first renamed to "Vexamodat.bin.bak" (or
    // ".bak2", ".bak3" ...), which DamagedCopy() then names.
    bool LoadOrCreate();
    // Why the last operation failed: a Spanish message in UTF-8, beginning with a line feed.
    const std::string& ErrorString() const { return error_; }
    // Where LoadOrCreate put a damaged catalogue aside; empty when it did not.
    const std::filesystem::path& DamagedCopy() const { return damagedCopy_; }

    int ExamTypeCount() const { return static_cast<int>(examTypes.size()); }
    int SubjectCount() const { return static_cast<int>(subjects.size()); }
    // Index of the subject with exactly this name, or -1.
    int FindSubject(std::string_view name) const;
    // A name that fits the record: 1..62 characters, no NUL. A subject name must also be a
    // single folder name ("/", "." and ".." are refused).
    static bool IsValidName(std::string_view name);

    // -1 excludes; 0..9998 includes with that count (capped at 255); 9999 or more does nothing
    // and returns true. False, changing nothing, for a subject or exam type that does not
    // exist or when the record cannot be written where the header says.
    bool SetSubjectInExam(int value, int subject, int examType);
    bool AddExamType(std::string_view name);
    bool DeleteExamType(int examType);
    // False, changing nothing, when the name is invalid, the subject exists (its folder
    // cannot be created) or 128 subjects already exist. The new subject's count byte is set
    // to 0 in `selectedExamType` (its inclusion bit is not set).
    bool AddSubject(std::string_view name, int selectedExamType);
    // False, changing nothing, when the new name is invalid or already names a subject.
    bool RenameSubject(int subject, std::string_view newName);
    // Writes questionCount in place, located through the file's own header. Does nothing when
    // the in-memory count already equals `count`. The caller reloads.
    bool SetQuestionCount(int subject, std::uint32_t count);
    // The same write without the comparison (the question editor's form).
    bool WriteQuestionCount(int subject, std::uint32_t count);
    bool DeleteSubject(int subject);
    // Appends a complete record at the end of the file; the caller reloads.
    bool AppendSubjectRecord(const SubjectRecord& record);

    std::array<std::uint8_t, kCatalogueHeaderSize> header{};
    std::vector<ExamTypeRecord> examTypes;
    std::vector<SubjectRecord> subjects;
    std::vector<std::string> subjectNames;

private:
    // False, with ErrorString() set, when nothing is loaded or there is no such subject.
    bool RequireLoaded();
    bool RequireSubject(int subject);
    // File offset of record `index` of the block whose offset is at header byte
    // `offsetField` (its record size follows it).
    std::int64_t RecordAt(int offsetField, int index) const;
    // Whole-file rewrite: a new file beside the old one, renamed over it (mode 0600).
    bool WriteWhole(const std::array<std::uint8_t, kCatalogueHeaderSize>& h,
                    const std::vector<ExamTypeRecord>& exams,
                    const std::vector<SubjectRecord>& subs);
    // In-place write inside the existing file; with `extend`, it may also grow the file from
    // an offset no later than its end.
    bool WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t size,
                 bool extend = false);

    std::filesystem::path dataFolder_;
    std::string error_;
    std::filesystem::path damagedCopy_;
};

} // namespace vexamo
