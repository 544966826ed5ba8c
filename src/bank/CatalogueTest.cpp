#include "bank/Catalogue.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace vexamo {
namespace {
namespace fs = std::filesystem;
using testing::GetLE32;
using testing::Hex;
using testing::PutLE32;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// ---- Fixtures written byte by byte ----

// Header with every reserved byte (0-7, 12-31, 56-63) holding a recognisable value.
std::string Header(int examTypes, int subjects) {
    std::string h(64, '\0');
    for (int i = 0; i < 64; ++i) h[i] = static_cast<char>(0xA0 + i);
    PutLE32(h, 8, 44);
    PutLE32(h, 32, static_cast<std::uint32_t>(examTypes));
    PutLE32(h, 36, 64);
    PutLE32(h, 40, 224);
    PutLE32(h, 44, static_cast<std::uint32_t>(subjects));
    PutLE32(h, 48, static_cast<std::uint32_t>(64 + 224 * examTypes));
    PutLE32(h, 52, 96);
    return h;
}

std::string ExamBytes(std::string_view name, std::string included = std::string(32, '\0'),
                      std::string counts = std::string(128, '\0')) {
    std::string r(64, '\0');
    r[0] = static_cast<char>(name.size());
    r.replace(1, name.size(), name);
    included.resize(32, '\0');
    counts.resize(128, '\0');
    return r + included + counts;
}

// A subject record; `indexTail` lands in the indexName field after "Off_Materia.bin\0",
// the way a careless writer may have left it.
std::string SubjectBytes(std::string_view name, std::uint32_t count,
                         std::string_view indexTail = "") {
    std::string r(96, '\0');
    r[0] = static_cast<char>(name.size());
    r.replace(1, name.size(), name);
    PutLE32(r, 64, count);
    r[68] = 15;
    r.replace(69, 15, "Off_Materia.bin");
    r.replace(85, indexTail.size(), indexTail);
    return r;
}

std::string Patterned(std::size_t size, int seed) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 37 + seed) & 0xFF);
    return s;
}

std::optional<unsigned> FileModeOf(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return std::nullopt;
    return st.st_mode & 0777u;
}

std::size_t FilesIn(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// Two exam types, three subjects ("Geografía" in Windows-1252 among them), each with a
// folder holding its two files.
struct Bank {
    TempDir dir;
    Catalogue cat{dir.Path()};
    std::string bytes;

    Bank() {
        std::string inc0(32, '\0');
        inc0[0] = 0x05; // subjects 0 and 2
        std::string cnt0(128, '\0');
        cnt0[0] = 10;
        cnt0[1] = 7; // kept while subject 1 is excluded
        cnt0[2] = 20;
        std::string inc1(32, '\0');
        inc1[0] = 0x02;
        std::string cnt1(128, '\0');
        cnt1[1] = 3;
        bytes = Header(2, 3) + ExamBytes("Oposiciones", inc0, cnt0) +
                ExamBytes("Repaso", inc1, cnt1) + SubjectBytes("Historia", 12) +
                SubjectBytes("Geograf\xED" "a", 4) + SubjectBytes("Arte", 0);
        WriteBytes(dir / "Vexamodat.bin", bytes);
        for (const char* name : {"Historia", "Geografía", "Arte"}) {
            fs::create_directory(dir / name);
            WriteBytes(dir / name / "Off_Materia.bin", std::string(4, '\0'));
            WriteBytes(dir / name / (std::string(name) + ".txt"), "");
        }
    }
    std::string File() const { return ReadBytes(dir / "Vexamodat.bin"); }
    // Writes the fixture with the 32-bit field at `at` set to `value`; returns those bytes.
    std::string WriteWithField(std::uint32_t at, std::uint32_t value) {
        std::string file = bytes;
        PutLE32(file, at, value);
        WriteBytes(dir / "Vexamodat.bin", file);
        return file;
    }
};

// ---- Loading ----

TEST(CatalogueLoad, ReadsHandBuiltFile) {
    Bank b;
    ASSERT_TRUE(b.cat.LoadCatalogue()) << b.cat.ErrorString();
    ASSERT_EQ(b.cat.ExamTypeCount(), 2);
    ASSERT_EQ(b.cat.SubjectCount(), 3);
    EXPECT_EQ(b.cat.examTypes[0].Name(), "Oposiciones");
    EXPECT_EQ(b.cat.examTypes[1].Name(), "Repaso");
    EXPECT_EQ(b.cat.subjectNames, (std::vector<std::string>{"Historia", "Geograf\xED" "a", "Arte"}));
    EXPECT_EQ(b.cat.subjects[0].QuestionCount(), 12u);
    EXPECT_EQ(b.cat.subjects[1].IndexName(), "Off_Materia.bin");
    EXPECT_TRUE(b.cat.examTypes[0].IsIncluded(0));
    EXPECT_FALSE(b.cat.examTypes[0].IsIncluded(1));
    EXPECT_TRUE(b.cat.examTypes[0].IsIncluded(2));
    EXPECT_EQ(b.cat.examTypes[0].QuestionsFor(1), 7);
    EXPECT_EQ(b.cat.FindSubject("Geograf\xED" "a"), 1);
    EXPECT_EQ(b.cat.FindSubject("Geografía"), -1); // UTF-8 is not the record's text
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.cat.header.data()), 64),
              b.bytes.substr(0, 64));
    // The folder of a Windows-1252 name reads as UTF-8 on disk.
    EXPECT_EQ(b.cat.SubjectFolder(1), b.dir / "Geografía");
    EXPECT_EQ(b.cat.QuestionFile(1), b.dir / "Geografía" / "Geografía.txt");
    EXPECT_EQ(b.cat.IndexFile(1), b.dir / "Geografía" / "Off_Materia.bin");
    EXPECT_TRUE(b.cat.SubjectFolder(3).empty());
}

struct Damage {
    const char* what;
    void (*apply)(std::string&);
};

const Damage kDamages[] = {
    {"examTypeCount 0", [](std::string& f) { PutLE32(f, 32, 0); }},
    {"examTypeCount negative", [](std::string& f) { PutLE32(f, 32, 0xFFFFFFFFu); }},
    {"examTypeCount huge", [](std::string& f) { PutLE32(f, 32, 0x7FFFFFFFu); }},
    {"examTypeCount larger than the file", [](std::string& f) { PutLE32(f, 32, 4); }},
    {"subjectCount 129", [](std::string& f) { PutLE32(f, 44, 129); }},
    {"subjectCount negative", [](std::string& f) { PutLE32(f, 44, 0x80000000u); }},
    {"subjectCount beyond the file", [](std::string& f) { PutLE32(f, 44, 4); }},
    {"examTypeOffset", [](std::string& f) { PutLE32(f, 36, 60); }},
    {"examTypeSize", [](std::string& f) { PutLE32(f, 40, 200); }},
    {"subjectOffset", [](std::string& f) { PutLE32(f, 48, 64 + 224); }},
    {"subjectOffset huge", [](std::string& f) { PutLE32(f, 48, 0x7FFFFFF0u); }},
    {"subjectSize", [](std::string& f) { PutLE32(f, 52, 0x7FFFFFFFu); }},
    {"subjectBlockPosition", [](std::string& f) { PutLE32(f, 8, 0x40000000u); }},
    {"truncated record", [](std::string& f) { f.resize(f.size() - 1); }},
    {"shorter than a header", [](std::string& f) { f.resize(63); }},
    {"empty file", [](std::string& f) { f.clear(); }},
    {"subject named ..", [](std::string& f) { f.replace(64 + 448 + 96 + 1, 9, "..\0\0\0\0\0\0\0", 9); }},
    {"subject name with /", [](std::string& f) { f[64 + 448 + 96 + 3] = '/'; }},
    {"empty subject name", [](std::string& f) { f[64 + 448 + 1] = '\0'; }},
    {"subject name filling its field", [](std::string& f) { f.replace(64 + 448 + 1, 63, 63, 'x'); }},
};

TEST(CatalogueLoad, DamagedFilesAreRefusedWithAMessage) {
    for (const Damage& d : kDamages) {
        SCOPED_TRACE(d.what);
        Bank b;
        ASSERT_TRUE(b.cat.LoadCatalogue());
        std::string file = b.bytes;
        d.apply(file);
        WriteBytes(b.dir / "Vexamodat.bin", file);
        EXPECT_FALSE(b.cat.LoadCatalogue());
        EXPECT_EQ(b.cat.ErrorString().rfind("\nEl archivo del catálogo", 0), 0u)
            << b.cat.ErrorString();
        EXPECT_EQ(b.cat.ExamTypeCount(), 0);
        EXPECT_EQ(b.cat.SubjectCount(), 0);
        EXPECT_TRUE(b.cat.subjectNames.empty());
        EXPECT_EQ(ReadBytes(b.dir / "Vexamodat.bin"), file); // reading never writes
    }
}

TEST(CatalogueLoad, MissingFileFails) {
    TempDir dir;
    Catalogue cat(dir.Path());
    EXPECT_FALSE(cat.LoadCatalogue());
    EXPECT_EQ(cat.ErrorString().rfind("\nNo se puede abrir", 0), 0u);
    EXPECT_FALSE(fs::exists(dir / "Vexamodat.bin"));
}

TEST(CatalogueLoad, LoadOrCreateWritesOneDefaultExamType) {
    TempDir dir;
    Catalogue cat(dir.Path());
    ASSERT_TRUE(cat.LoadOrCreate()) << cat.ErrorString();
    std::string expected(64, '\0');
    PutLE32(expected, 8, 44);
    PutLE32(expected, 32, 1);
    PutLE32(expected, 36, 64);
    PutLE32(expected, 40, 224);
    PutLE32(expected, 48, 288);
    PutLE32(expected, 52, 96);
    expected += ExamBytes("Examen general");
    EXPECT_EQ(Hex(ReadBytes(dir / "Vexamodat.bin")), Hex(expected));
    EXPECT_EQ(*FileModeOf(dir / "Vexamodat.bin"), 0600);
    EXPECT_EQ(cat.ExamTypeCount(), 1);
    EXPECT_EQ(cat.examTypes[0].Name(), kDefaultExamTypeName);
    EXPECT_EQ(cat.SubjectCount(), 0);
    EXPECT_TRUE(cat.DamagedCopy().empty());
    // An existing sound catalogue is only loaded.
    Bank b;
    ASSERT_TRUE(b.cat.LoadOrCreate());
    EXPECT_EQ(b.File(), b.bytes);
    EXPECT_EQ(b.cat.SubjectCount(), 3);
}

TEST(CatalogueLoad, LoadOrCreateKeepsADamagedFileAside) {
    Bank b;
    const std::string damaged = b.WriteWithField(32, 0);
    WriteBytes(b.dir / "Vexamodat.bin.bak", "an older copy");
    ASSERT_TRUE(b.cat.LoadOrCreate());
    EXPECT_EQ(b.cat.DamagedCopy(), b.dir / "Vexamodat.bin.bak2");
    EXPECT_EQ(ReadBytes(b.dir / "Vexamodat.bin.bak2"), damaged);
    EXPECT_EQ(ReadBytes(b.dir / "Vexamodat.bin.bak"), "an older copy");
    EXPECT_EQ(b.cat.ExamTypeCount(), 1);
    EXPECT_EQ(b.cat.SubjectCount(), 0);
}

TEST(CatalogueLoad, NothingIsWrittenFromAFailedLoad) {
    Bank b;
    const std::string damaged = b.WriteWithField(44, 200);
    ASSERT_FALSE(b.cat.LoadCatalogue());
    EXPECT_FALSE(b.cat.AddExamType("Otro"));
    EXPECT_EQ(b.cat.ErrorString(), "\nEl catálogo no está cargado.");
    EXPECT_FALSE(b.cat.AddSubject("Otra", 0));
    EXPECT_FALSE(b.cat.AppendSubjectRecord(SubjectRecord::Make("Otra")));
    EXPECT_FALSE(b.cat.DeleteExamType(0));
    EXPECT_FALSE(b.cat.DeleteSubject(0));
    EXPECT_FALSE(b.cat.RenameSubject(0, "Otra"));
    EXPECT_FALSE(b.cat.SetSubjectInExam(1, 0, 0));
    EXPECT_EQ(ReadBytes(b.dir / "Vexamodat.bin"), damaged);
    EXPECT_FALSE(fs::exists(b.dir / "Otra"));
}

// ---- Whole-file rewrites ----

TEST(CatalogueRewrite, AddExamTypeAppendsAndKeepsReservedBytes) {
    Bank b;
    ASSERT_TRUE(b.cat.LoadCatalogue());
    // A second name for the old file shows that it is replaced, not written over.
    ASSERT_EQ(::link((b.dir / "Vexamodat.bin").c_str(), (b.dir / "old-link").c_str()), 0);
    ASSERT_TRUE(b.cat.AddExamType("Nuevo \xC1mbito")) << b.cat.ErrorString();

    std::string expected = b.bytes;
    PutLE32(expected, 32, 3);
    PutLE32(expected, 48, 64 + 3 * 224);
    expected.insert(64 + 2 * 224, ExamBytes("Nuevo \xC1mbito"));
    EXPECT_EQ(Hex(b.File()), Hex(expected));
    EXPECT_EQ(ReadBytes(b.dir / "old-link"), b.bytes);
    EXPECT_EQ(*FileModeOf(b.dir / "Vexamodat.bin"), 0600);
    EXPECT_EQ(FilesIn(b.dir.Path()), 5u); // catalogue, link, three folders: no temporary left
    ASSERT_EQ(b.cat.ExamTypeCount(), 3);
    EXPECT_EQ(b.cat.examTypes[2].Name(), "Nuevo \xC1mbito");
}

TEST(CatalogueRewrite, DeleteExamTypeInTheMiddle) {
    Bank b;
    ASSERT_TRUE(b.cat.LoadCatalogue());
    ASSERT_TRUE(b.cat.AddExamType("Tercero"));
    const std::string three = b.File();
    ASSERT_TRUE(b.cat.DeleteExamType(1));
    std::string expected = three;
    expected.erase(64 + 224, 224);
    PutLE32(expected, 32, 2);
    PutLE32(expected, 48, 64 + 2 * 224);
    EXPECT_EQ(Hex(b.File()), Hex(expected));
    EXPECT_EQ(GetLE32(three, 48) - GetLE32(b.File(), 48), 224u);
    ASSERT_EQ(b.cat.ExamTypeCount(), 2);
    EXPECT_EQ(b.cat.examTypes[0].Name(), "Oposiciones");
    EXPECT_EQ(b.cat.examTypes[1].Name(), "Tercero");
    EXPECT_EQ(*FileModeOf(b.dir / "Vexamodat.bin"), 0600);
}

TEST(CatalogueRewrite, LastExamTypeAndBadNumbersAreRefused) {
    TempDir dir;
    Catalogue cat(dir.Path());
    ASSERT_TRUE(cat.LoadOrCreate());
    const std::string before = ReadBytes(dir / "Vexamodat.bin");
    EXPECT_FALSE(cat.DeleteExamType(0));
    EXPECT_FALSE(cat.DeleteExamType(1));
    EXPECT_FALSE(cat.DeleteExamType(-1));
    EXPECT_FALSE(cat.AddExamType(""));
    EXPECT_FALSE(cat.AddExamType(std::string(63, 'x')));
    EXPECT_FALSE(cat.ErrorString().empty());
    EXPECT_EQ(ReadBytes(dir / "Vexamodat.bin"), before);
    EXPECT_EQ(cat.ExamTypeCount(), 1);
    ASSERT_TRUE(cat.AddExamType(std::string(62, 'x'))); // the longest name that fits
    EXPECT_EQ(cat.examTypes[1].Name(), std::string(62, 'x'));
}

// ---- Inclusion of subjects in exam types ----

TEST(CatalogueExam, ExcludeThenIncludeBringsBackTheFormerCount) {
    Bank b;
    ASSERT_TRUE(b.cat.LoadCatalogue());
    const std::size_t rec = 64; // exam type 0
    ASSERT_TRUE(b.cat.SetSubjectInExam(-1, 2, 0));
    std::string expected = b.bytes;
    expected[rec + 64] = 0x01; // bit 2 cleared
    EXPECT_EQ(Hex(b.File()), Hex(expected));
    EXPECT_FALSE(b.cat.examTypes[0].IsIncluded(2));
    EXPECT_EQ(b.cat.examTypes[0].QuestionsFor(2), 20); // count byte left as it was

    ASSERT_TRUE(b.cat.SetSubjectInExam(b.cat.examTypes[0].QuestionsFor(2), 2, 0));
    EXPECT_EQ(b.File(), b.bytes);
    EXPECT_TRUE(b.cat.examTypes[0].IsIncluded(2));

    // Subject 1 was excluded with 7 kept: including it with that count sets only the bit.
    ASSERT_TRUE(b.cat.SetSubjectInExam(b.cat.examTypes[0].QuestionsFor(1), 1, 0));
    expected = b.bytes;
    expected[rec + 64] = 0x07;
    EXPECT_EQ(Hex(b.File()), Hex(expected));
    EXPECT_EQ(b.cat.examTypes[0].QuestionsFor(1), 7);
}

TEST(CatalogueExam, CountsAreStoredInOneByte) {
    const struct {
        int value;
        std::uint8_t stored;
    } cases[] = {{0, 0}, {1, 1}, {255, 255}, {256, 255}, {300, 255}, {9998, 255}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        Bank b;
        ASSERT_TRUE(b.cat.LoadCatalogue());
        ASSERT_TRUE(b.cat.SetSubjectInExam(c.value, 2, 1));
        std::string expected = b.bytes;
        expected[64 + 224 + 64] = 0x06;
        expected[64 + 224 + 96 + 2] = static_cast<char>(c.stored);
        EXPECT_EQ(Hex(b.File()), Hex(expected));
        EXPECT_EQ(b.cat.examTypes[1].QuestionsFor(2), c.stored);
    }
}

TEST(CatalogueExam, ValuesFrom9999AreIgnoredWithoutTouchingTheFile) {
    Bank b;
    ASSERT_TRUE(b.cat.LoadCatalogue());
    fs::remove(b.dir / "Vexamodat.bin"); // any attempt to write would now fail
    const auto before = b.cat.examTypes[0].bytes;
    for (int value : {9999, 10000, 1 << 30}) {
        EXPECT_TRUE(b.cat.SetSubjectInExam(value, 1, 0));
        EXPECT_EQ(b.cat.examTypes[0].bytes, before);
    }
    EXPECT_FALSE(fs::exists(b.dir / "Vexamodat.bin"));
    // A real change does try the file, fails, and leaves the copy as it was.
    EXPECT_FALSE(b.cat.SetSubjectInExam(5, 1, 0));
    EXPECT_EQ(b.cat.examTypes[0].bytes, before);
    EXPECT_FALSE(fs::exists(b.dir / "Vexamodat.bin"));
}

TEST(CatalogueExam, BadArgumentsChangeNothing) {
    Bank b;
    ASSERT_TRUE(b.cat.LoadCatalogue());
    EXPECT_FALSE(b.cat.SetSubjectInExam(3, 3, 0));  // no subject 3
    EXPECT_FALSE(b.cat.SetSubjectInExam(3, -1, 0));
    EXPECT_FALSE(b.cat.SetSubjectInExam(3, 0, 2));  // no exam type 2
    EXPECT_FALSE(b.cat.SetSubjectInExam(-2, 0, 0));
    EXPECT_EQ(b.File(), b.bytes);
}

// ---- Subjects ----

TEST(CatalogueSubject, AddSubjectCreatesFolderFilesAndRecord) {
    Bank b;
    // Garbage in exam type 1's count byte for subject 3 shows which exam type is set to 0.
    b.bytes[64 + 96 + 3] = 9;
    b.bytes[64 + 224 + 96 + 3] = 9;
    WriteBytes(b.dir / "Vexamodat.bin", b.bytes);
    ASSERT_TRUE(b.cat.LoadCatalogue());
    ASSERT_TRUE(b.cat.AddSubject("Matem\xE1ticas", 1)) << b.cat.ErrorString();

    std::string expected = b.bytes;
    PutLE32(expected, 44, 4);
    expected[64 + 224 + 96 + 3] = 0;
    expected += SubjectBytes("Matem\xE1ticas", 0);
    EXPECT_EQ(Hex(b.File()), Hex(expected));
    EXPECT_EQ(*FileModeOf(b.dir / "Vexamodat.bin"), 0600);

    const fs::path folder = b.dir / "Matemáticas";
    ASSERT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(ReadBytes(folder / "Off_Materia.bin"), std::string(4, '\0'));
    EXPECT_EQ(ReadBytes(folder / "Matemáticas.txt"), "");
    EXPECT_EQ(FilesIn(folder), 2u);
    ASSERT_EQ(b.cat.SubjectCount(), 4);
    EXPECT_EQ(b.cat.subjectNames[3], "Matem\xE1ticas");
    for (const auto& e : b.cat.examTypes) EXPECT_FALSE(e.IsIncluded(3));
}

TEST(CatalogueSubject, AddSubjectRefusals) {
    const struct {
        const char* what;
        std::string name;
    } cases[] = {
        {"empty", ""},
        {"63 characters", std::string(63, 'a')},
        {"name in use", "Historia"},
        {"folder already there", "Suelta"},
        {"slash", "a/b"},
        {"dot dot", ".."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bank b;
        fs::create_directory(b.dir / "Suelta");
        WriteBytes(b.dir / "Suelta" / "nota", "x");
        ASSERT_TRUE(b.cat.LoadCatalogue());
        EXPECT_FALSE(b.cat.AddSubject(c.name, 0));
        EXPECT_FALSE(b.cat.ErrorString().empty());
        EXPECT_EQ(b.File(), b.bytes);
        EXPECT_EQ(b.cat.SubjectCount(), 3);
        EXPECT_EQ(FilesIn(b.dir.Path()), 5u);
        EXPECT_EQ(ReadBytes(b.dir / "Suelta" / "nota"), "x");
    }
}

std::string FullCatalogue(int subjects) {
    std::string f = Header(1, subjects) + ExamBytes("Todo");
    for (int i = 0; i < subjects; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "M%03d", i);
        f += SubjectBytes(name, static_cast<std::uint32_t>(i), "\xEE\xEE");
    }
    return f;
}

TEST(CatalogueSubject, A129thSubjectIsRefused) {
    TempDir dir;
    WriteBytes(dir / "Vexamodat.bin", FullCatalogue(128));
    Catalogue cat(dir.Path());
    ASSERT_TRUE(cat.LoadCatalogue()) << cat.ErrorString();
    EXPECT_FALSE(cat.AddSubject("Otra", 0));
    EXPECT_FALSE(fs::exists(dir / "Otra"));
    EXPECT_FALSE(cat.AppendSubjectRecord(SubjectRecord::Make("Otra")));
    EXPECT_EQ(ReadBytes(dir / "Vexamodat.bin"), FullCatalogue(128));
    EXPECT_EQ(cat.SubjectCount(), 128);
}

TEST(CatalogueSubject, RenameMovesFolderAndQuestionFile) {
    Bank b;
    WriteBytes(b.dir / "Geografía" / "Geografía.txt", "P\r\na\r\nb\r\nc\r\nd\r\n=a\r\n\r\n");
    WriteBytes(b.dir / "Geografía" / "Off_Materia.bin", std::string("\1\0\0\0\0\0\0\x80", 8));
    ASSERT_TRUE(b.cat.LoadCatalogue());
    ASSERT_TRUE(b.cat.RenameSubject(1, "Geograf\xED" "a f\xEDsica")) << b.cat.ErrorString();

    std::string expected = b.bytes;
    expected.replace(64 + 448 + 96, 64, SubjectBytes("Geograf\xED" "a f\xEDsica", 0).substr(0, 64));
    EXPECT_EQ(Hex(b.File()), Hex(expected));
    const fs::path folder = b.dir / "Geografía física";
    EXPECT_FALSE(fs::exists(b.dir / "Geografía"));
    EXPECT_EQ(ReadBytes(folder / "Geografía física.txt"), "P\r\na\r\nb\r\nc\r\nd\r\n=a\r\n\r\n");
    EXPECT_EQ(ReadBytes(folder / "Off_Materia.bin"), std::string("\1\0\0\0\0\0\0\x80", 8));
    EXPECT_EQ(FilesIn(folder), 2u);
    EXPECT_EQ(b.cat.subjectNames[1], "Geograf\xED" "a f\xEDsica");
    EXPECT_EQ(b.cat.subjects[1].QuestionCount(), 4u);
}

TEST(CatalogueSubject, RenameToTheSameNameWritesTheRecordBack) {
    Bank b;
    ASSERT_TRUE(b.cat.LoadCatalogue());
    ASSERT_TRUE(b.cat.RenameSubject(0, "Historia"));
    EXPECT_EQ(b.File(), b.bytes);
    EXPECT_TRUE(fs::exists(b.dir / "Historia" / "Historia.txt"));
}

TEST(CatalogueSubject, RenameRefusalsLeaveFoldersAndRecord) {
    const struct {
        const char* what;
        std::string name;
    } cases[] = {
        {"name of another subject", "Arte"},
        {"folder of that name exists", "Suelta"},
        {"too long", std::string(63, 'r')},
        {"empty", ""},
        {"slash", "x/y"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bank b;
        fs::create_directory(b.dir / "Suelta"); // an empty folder rename(2) would replace
        ASSERT_TRUE(b.cat.LoadCatalogue());
        EXPECT_FALSE(b.cat.RenameSubject(0, c.name));
        EXPECT_FALSE(b.cat.ErrorString().empty());
        EXPECT_EQ(b.File(), b.bytes);
        EXPECT_TRUE(fs::exists(b.dir / "Historia" / "Historia.txt"));
        EXPECT_TRUE(fs::exists(b.dir / "Arte" / "Arte.txt"));
        EXPECT_TRUE(fs::is_directory(b.dir / "Suelta"));
        EXPECT_EQ(b.cat.subjectNames[0], "Historia");
    }
}

// ---- Question counts ----

TEST(CatalogueCount, SetQuestionCountWritesOnlyThatField) {
    Bank b;
    ASSERT_TRUE(b.cat.LoadCatalogue());
    ASSERT_TRUE(b.cat.SetQuestionCount(2, 0x01020304));
    std::string expected = b.bytes;
    PutLE32(expected, 64 + 448 + 2 * 96 + 64, 0x01020304);
    EXPECT_EQ(Hex(b.File()), Hex(expected));
    EXPECT_EQ(b.cat.subjects[2].QuestionCount(), 0u); // the caller reloads
    ASSERT_TRUE(b.cat.LoadCatalogue());
    EXPECT_EQ(b.cat.subjects[2].QuestionCount(), 0x01020304u);
}

TEST(CatalogueCount, SameCountDoesNotOpenTheFile) {
    Bank b;
    ASSERT_TRUE(b.cat.LoadCatalogue());
    fs::remove(b.dir / "Vexamodat.bin");
    EXPECT_TRUE(b.cat.SetQuestionCount(0, 12));
    EXPECT_FALSE(fs::exists(b.dir / "Vexamodat.bin"));
    EXPECT_FALSE(b.cat.SetQuestionCount(0, 13)); // a different count needs the file
    EXPECT_FALSE(b.cat.WriteQuestionCount(0, 12));
    EXPECT_FALSE(fs::exists(b.dir / "Vexamodat.bin"));
}

TEST(CatalogueCount, LocatesTheRecordThroughTheFileAndChecksWhatItReads) {
    const struct {
        const char* what;
        std::uint32_t at;
        std::uint32_t value;
    } cases[] = {
        {"block position past the header", 8, 60},
        {"block position negative", 8, 0xFFFFFFFCu},
        {"block position huge", 8, 0x7FFFFFFFu},
        {"subject offset past the end", 48, 0x7FFFFF00u},
        {"subject offset negative", 48, 0x80000000u},
        {"record size too small", 52, 4},
        {"record size huge", 52, 0x40000000u},
        {"subject count below the subject", 44, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bank b;
        ASSERT_TRUE(b.cat.LoadCatalogue());
        const std::string damaged = b.WriteWithField(c.at, c.value); // damaged after the load
        EXPECT_FALSE(b.cat.WriteQuestionCount(2, 99));
        EXPECT_EQ(b.cat.ErrorString().rfind("\nEl archivo del catálogo", 0), 0u);
        EXPECT_EQ(ReadBytes(b.dir / "Vexamodat.bin"), damaged);
    }
    // A file that still follows its own header is written where that header says.
    Bank b;
    ASSERT_TRUE(b.cat.LoadCatalogue());
    std::string moved = b.bytes;
    PutLE32(moved, 8, 20); // block at 20: count at 20, offset at 24, size at 28
    PutLE32(moved, 20, 3);
    PutLE32(moved, 24, 64 + 448);
    PutLE32(moved, 28, 96);
    WriteBytes(b.dir / "Vexamodat.bin", moved);
    ASSERT_TRUE(b.cat.WriteQuestionCount(1, 77));
    PutLE32(moved, 64 + 448 + 96 + 64, 77);
    EXPECT_EQ(Hex(ReadBytes(b.dir / "Vexamodat.bin")), Hex(moved));
}

TEST(CatalogueCount, InPlaceWritesRefuseAShortenedFile) {
    Bank b;
    ASSERT_TRUE(b.cat.LoadCatalogue());
    const std::string cut = b.bytes.substr(0, 64 + 224);
    WriteBytes(b.dir / "Vexamodat.bin", cut);
    EXPECT_FALSE(b.cat.SetSubjectInExam(3, 0, 1)); // exam type 1 is no longer in the file
    EXPECT_FALSE(b.cat.RenameSubject(2, "Arte moderno"));
    EXPECT_EQ(ReadBytes(b.dir / "Vexamodat.bin"), cut);
    EXPECT_TRUE(fs::exists(b.dir / "Arte" / "Arte.txt")); // folder renamed back
    EXPECT_FALSE(fs::exists(b.dir / "Arte moderno"));
}

TEST(CatalogueCount, AppendSubjectRecordAddsItAtTheEnd) {
    Bank b;
    ASSERT_TRUE(b.cat.LoadCatalogue());
    SubjectRecord r = SubjectRecord::Make("Importada", 42);
    ASSERT_TRUE(b.cat.AppendSubjectRecord(r));
    std::string expected = b.bytes;
    PutLE32(expected, 44, 4);
    expected += SubjectBytes("Importada", 42);
    EXPECT_EQ(Hex(b.File()), Hex(expected));
    ASSERT_TRUE(b.cat.LoadCatalogue());
    EXPECT_EQ(b.cat.subjectNames[3], "Importada");
    EXPECT_EQ(b.cat.subjects[3].QuestionCount(), 42u);
    EXPECT_FALSE(b.cat.examTypes[0].IsIncluded(3));
}

// ---- Deleting a subject ----

TEST(CatalogueDelete, RemoveSubjectShiftsBitsAcrossBytes) {
    ExamTypeRecord r;
    r.bytes[64] = 0xAD; // 1010 1101
    r.bytes[65] = 0x01;
    r.bytes[64 + 31] = 0x81;
    r.bytes[64 + 30] = 0x00;
    r.RemoveSubject(3);
    // Bits 0-2 stay (101), bits 4-7 move to 3-6 (1010), bit 7 is bit 0 of byte 1.
    EXPECT_EQ(r.bytes[64], 0xD5);
    EXPECT_EQ(r.bytes[65], 0x00);
    EXPECT_EQ(r.bytes[64 + 30], 0x80); // took bit 0 of byte 31
    EXPECT_EQ(r.bytes[64 + 31], 0x81); // byte 31 stays
}

// The shift written bit by bit: bits 0..k-1 stay, bit i takes bit i+1 up to bit 247,
// byte 31 stays; counts 0..k-1 stay, count i takes count i+1 up to 126, count 127 stays.
std::string ShiftedExam(const std::string& rec, int k) {
    auto bit = [&](int i) { return (static_cast<unsigned char>(rec[64 + i / 8]) >> (i % 8)) & 1; };
    std::string out = rec;
    for (int i = 0; i < 248; ++i) {
        const int v = i < k ? bit(i) : bit(i + 1);
        auto& byte = out[64 + i / 8];
        byte = static_cast<char>((static_cast<unsigned char>(byte) & ~(1u << (i % 8))) | (v << (i % 8)));
    }
    for (int i = k; i < 127; ++i) out[96 + i] = rec[96 + i + 1];
    return out;
}

TEST(CatalogueDelete, DeleteSubjectShiftsEveryExamTypeAndCleansLaterRecords) {
    for (int k : {0, 5, 7, 8, 63, 100, 126, 127}) {
        SCOPED_TRACE(k);
        TempDir dir;
        const std::string exam0 = ExamBytes("Uno", Patterned(32, 3), Patterned(128, 11));
        const std::string exam1 = ExamBytes("Dos", Patterned(32, 200), Patterned(128, 90));
        std::string file = Header(2, 128) + exam0 + exam1;
        std::vector<std::string> records;
        for (int i = 0; i < 128; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "M%03d", i);
            records.push_back(SubjectBytes(name, static_cast<std::uint32_t>(i), "\xEE\xEE"));
            file += records.back();
        }
        WriteBytes(dir / "Vexamodat.bin", file);
        char victim[16];
        std::snprintf(victim, sizeof victim, "M%03d", k);
        fs::create_directory(dir / victim);
        WriteBytes(dir / victim / "Off_Materia.bin", std::string(4, '\0'));
        WriteBytes(dir / victim / (std::string(victim) + ".txt"), "");
        fs::create_directory(dir / "M200"); // an unrelated folder survives

        Catalogue cat(dir.Path());
        ASSERT_TRUE(cat.LoadCatalogue()) << cat.ErrorString();
        ASSERT_TRUE(cat.DeleteSubject(k)) << cat.ErrorString();

        std::string expected = Header(2, 127) + ShiftedExam(exam0, k) + ShiftedExam(exam1, k);
        for (int i = 0; i < 128; ++i) {
            if (i == k) continue;
            if (i < k) {
                expected += records[i];
            } else {
                std::string clean = records[i];
                clean.replace(85, 2, "\0\0", 2);
                expected += clean;
            }
        }
        EXPECT_EQ(Hex(ReadBytes(dir / "Vexamodat.bin")), Hex(expected));
        EXPECT_FALSE(fs::exists(dir / victim));
        EXPECT_TRUE(fs::exists(dir / "M200"));
        ASSERT_EQ(cat.SubjectCount(), 127);
        if (k < 127) {
            EXPECT_EQ(cat.subjects[k].QuestionCount(), static_cast<std::uint32_t>(k + 1));
        }
    }
}

TEST(CatalogueDelete, LaterSubjectTakesThePlaceWithItsInclusionAndCount) {
    Bank b;
    ASSERT_TRUE(b.cat.LoadCatalogue());
    ASSERT_TRUE(b.cat.DeleteSubject(1));
    ASSERT_EQ(b.cat.subjectNames, (std::vector<std::string>{"Historia", "Arte"}));
    EXPECT_TRUE(b.cat.examTypes[0].IsIncluded(0));
    EXPECT_TRUE(b.cat.examTypes[0].IsIncluded(1));
    EXPECT_EQ(b.cat.examTypes[0].QuestionsFor(0), 10);
    EXPECT_EQ(b.cat.examTypes[0].QuestionsFor(1), 20);
    EXPECT_FALSE(b.cat.examTypes[1].IsIncluded(0));
    EXPECT_FALSE(b.cat.examTypes[1].IsIncluded(1));
    EXPECT_FALSE(fs::exists(b.dir / "Geografía"));
    EXPECT_TRUE(fs::exists(b.dir / "Arte" / "Arte.txt"));
    EXPECT_EQ(*FileModeOf(b.dir / "Vexamodat.bin"), 0600);
    EXPECT_FALSE(b.cat.DeleteSubject(2));
}

} // namespace
} // namespace vexamo
