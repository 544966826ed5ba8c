// The catalogue reader on arbitrary bytes, then a few operations on what it loaded. Every
// operation that reports success must leave a file that loads again.
//
// Input: one mode byte, then the file. Mode bit 0 set: the file's layout fields are made
// consistent first, so that the operations are reached often; clear: the bytes go as they
// are. The last bytes of the input choose the operations.

#include "bank/Catalogue.h"
#include "platform/LittleEndian.h"
#include "ScratchFolder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {
namespace fs = std::filesystem;

const fs::path& Folder() { return vexamo::fuzz::ScratchFolder("vexamo-fuzz-catalogue"); }

void Put32(std::string& s, std::size_t at, std::uint32_t v) {
    vexamo::PutLE32(s.data() + at, v);
}

void MustReload(vexamo::Catalogue& cat) {
    vexamo::Catalogue again(cat.DataFolder());
    if (!again.LoadCatalogue()) std::abort(); // an operation left a file that does not load
    if (again.ExamTypeCount() != cat.ExamTypeCount() || again.SubjectCount() != cat.SubjectCount())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const fs::path& dir = Folder();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) fs::remove_all(entry.path(), ec);

    std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 1) {
        file.resize(std::max<std::size_t>(file.size(), 64), '\0');
        const int exams = 1 + static_cast<std::uint8_t>(file[32]) % 3;
        int subjects = static_cast<std::uint8_t>(file[44]) % 6;
        Put32(file, 8, 44);
        Put32(file, 32, static_cast<std::uint32_t>(exams));
        Put32(file, 36, 64);
        Put32(file, 40, 224);
        Put32(file, 44, static_cast<std::uint32_t>(subjects));
        Put32(file, 48, static_cast<std::uint32_t>(64 + 224 * exams));
        Put32(file, 52, 96);
        const std::size_t subjectsAt = 64 + 224 * static_cast<std::size_t>(exams);
        file.resize(subjectsAt + 96 * static_cast<std::size_t>(subjects), '\0');
        // Subject names of 1 to 62 characters that can name a folder.
        for (int i = 0; i < subjects; ++i) {
            char* rec = file.data() + subjectsAt + 96 * static_cast<std::size_t>(i);
            rec[63] = '\0';
            if (rec[1] == '\0' || rec[1] == '.') rec[1] = static_cast<char>('a' + i);
            for (int k = 1; k < 63; ++k)
                if (rec[k] == '/') rec[k] = '_';
        }
    }
    {
        std::ofstream out(dir / vexamo::kCatalogueFileName, std::ios::binary);
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
    }

    vexamo::Catalogue cat(dir);
    if (!cat.LoadCatalogue()) {
        if (cat.ErrorString().empty()) std::abort();
        return 0;
    }
    const std::uint8_t op = size >= 2 ? data[size - 1] : 0;
    const std::uint8_t arg = size >= 3 ? data[size - 2] : 0;
    const int subject = cat.SubjectCount() ? arg % cat.SubjectCount() : 0;
    const int exam = arg % cat.ExamTypeCount();
    bool changed = false;
    switch (op % 9) {
    case 0: changed = cat.SetSubjectInExam(static_cast<int>(arg) * 40 - 1, subject, exam); break;
    case 1: changed = cat.SetQuestionCount(subject, arg); break;
    case 2: changed = cat.WriteQuestionCount(subject, arg); break;
    case 3: changed = cat.AddExamType(std::string(1 + arg % 70, 'E')); break;
    case 4: changed = cat.DeleteExamType(exam); break;
    case 5: changed = cat.AddSubject(std::string(1 + arg % 70, 'S'), exam); break;
    case 6: changed = cat.RenameSubject(subject, arg & 1 ? "Otra" : cat.subjectNames.empty() ? "x" : cat.subjectNames[0]); break;
    case 7: changed = cat.DeleteSubject(subject); break;
    case 8: changed = cat.AppendSubjectRecord(vexamo::SubjectRecord::Make("A\xF1" "adida", arg)); break;
    }
    if (changed) MustReload(cat);
    // Record accessors on every number, inside and outside the records.
    for (const auto& e : cat.examTypes) {
        for (int s = -1; s <= vexamo::kMaxSubjects; ++s) {
            if (e.IsIncluded(s) && (s < 0 || s >= vexamo::kMaxSubjects)) std::abort();
            (void)e.QuestionsFor(s);
        }
        if (e.Name().size() > 63) std::abort();
    }
    return 0;
}
