#include "bank/SubjectFiles.h"

#include "bank/Catalogue.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace vexamo {
namespace {
namespace fs = std::filesystem;
using testing::Hex;
using testing::PutLE32;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// An index written byte by byte: the count, then one entry per value.
std::string IndexBytes(std::uint32_t count, const std::vector<std::uint32_t>& entries) {
    std::string s;
    PutLE32(s, 0, count);
    for (std::size_t i = 0; i < entries.size(); ++i) PutLE32(s, 4 + 4 * i, entries[i]);
    return s;
}

std::string IndexBytes(const std::vector<std::uint32_t>& entries) {
    return IndexBytes(static_cast<std::uint32_t>(entries.size()), entries);
}

struct Subject {
    TempDir dir;
    SubjectPaths paths{dir / "Materia.txt", dir / "Off_Materia.bin"};

    void Write(std::string_view questions, std::string_view index) const {
        WriteBytes(paths.questionFile, questions);
        WriteBytes(paths.indexFile, index);
    }
};

// Records of 22 bytes each: "P0\r\n", four answers, "=A\r\n\r\n".
const std::string kQ0 = "P0\r\na\r\nb\r\nc\r\nd\r\n=A\r\n\r\n";
const std::string kQ1 = "P1\r\na\r\nb\r\nc\r\nd\r\n=B\r\n\r\n";
const std::string kQ2 = "P2\r\na\r\nb\r\nc\r\nd\r\n=C\r\n\r\n";

// ---- RebuildIndex ----

struct RebuildCase {
    const char* what;
    std::string questions;
    std::vector<std::uint32_t> offsets;
};

const RebuildCase kRebuildCases[] = {
    {"records as the editor writes them", kQ0 + kQ1, {0, 22}},
    {"four and five answers", "P\r\na\r\nb\r\nc\r\nd\r\ne\r\n=E\r\n\r\n" + kQ1, {0, 24}},
    {"leading empty lines", "\r\n\r\n\n" + kQ0 + kQ1, {5, 27}},
    {"last record without its empty line", kQ0 + "P1\r\na\r\nb\r\nc\r\nd\r\n=D\r\n", {0, 22}},
    {"last key without any line end", kQ0 + "P1\r\na\r\nb\r\nc\r\nd\r\n=D", {0}},
    {"key pattern at the end of a question line",
     "x=c\r\na\r\nb\r\nc\r\nd\r\n=d\r\n\r\n" + kQ1, {0, 5, 23}},
    {"key pattern inside a line is not at a line end", "x=cy\r\na\r\nb\r\nc\r\nd\r\n=d\r\n\r\n", {0}},
    {"lower-case keys", "P\r\na\r\nb\r\nc\r\nd\r\n=e\r\n\r\nQ\r\na\r\nb\r\nc\r\nd\r\n=a\n", {0, 21}},
    {"CR-only line ends", "P\ra\rb\rc\rd\r=B\r\rQ\ra\rb\rc\rd\r=c\r\r", {0, 14}},
    {"LF-only line ends", "P\na\nb\nc\nd\n=B\n\nQ\na\nb\nc\nd\n=c\n\n", {0, 14}},
    {"letters past E are no key", "P\r\n=F\r\n=f\r\n=AB\r\n=A\r\n\r\n", {0}},
    {"the byte that breaks a match is not looked at again", "P\r\n==A\r\n=AA\r\n", {}},
    {"text after the last key is no question", kQ0 + "Pregunta sin clave\r\n", {0}},
    {"empty file", "", {}},
    {"only line ends", "\r\n\r\n\n\r", {}},
};

TEST(RebuildIndex, AwkwardFilesGiveTheseExactIndexes) {
    for (const RebuildCase& c : kRebuildCases) {
        SCOPED_TRACE(c.what);
        Subject s;
        s.Write(c.questions, IndexBytes({0x80000000u, 0x80000007u, 0x12345678u}));
        const auto count = RebuildIndexFile(s.paths);
        ASSERT_TRUE(count.has_value());
        EXPECT_EQ(*count, c.offsets.size());
        EXPECT_EQ(Hex(ReadBytes(s.paths.indexFile)), Hex(IndexBytes(c.offsets)));
        EXPECT_EQ(ReadBytes(s.paths.questionFile), c.questions);
    }
}

TEST(RebuildIndex, ReplacesTheIndexAsAWholeAndLeavesNoTemporary) {
    Subject s;
    const std::string old = IndexBytes({0x80000000u});
    s.Write(kQ0 + kQ1, old);
    ASSERT_EQ(::link(s.paths.indexFile.c_str(), (s.dir / "old-link").c_str()), 0);
    ASSERT_EQ(RebuildIndexFile(s.paths), 2u);
    EXPECT_EQ(ReadBytes(s.dir / "old-link"), old); // not rewritten in place
    EXPECT_EQ(ReadBytes(s.paths.indexFile), IndexBytes({0, 22}));
    EXPECT_EQ(std::distance(fs::directory_iterator(s.dir.Path()), fs::directory_iterator()), 3);
    // The permissions of the replaced index carry over.
    fs::permissions(s.paths.indexFile, fs::perms(0640));
    ASSERT_EQ(RebuildIndexFile(s.paths), 2u);
    EXPECT_EQ(fs::status(s.paths.indexFile).permissions() & fs::perms::mask, fs::perms(0640));
}

TEST(RebuildIndex, MissingFiles) {
    Subject s;
    // No question file: an empty subject.
    WriteBytes(s.paths.indexFile, IndexBytes({0, 22}));
    EXPECT_EQ(RebuildIndexFile(s.paths), 0u);
    EXPECT_EQ(ReadBytes(s.paths.indexFile), IndexBytes({}));
    // No folder: nothing can be written.
    const SubjectPaths gone{s.dir / "no" / "Materia.txt", s.dir / "no" / "Off_Materia.bin"};
    EXPECT_FALSE(RebuildIndexFile(gone).has_value());
    EXPECT_FALSE(fs::exists(s.dir / "no"));
    EXPECT_FALSE(RebuildIndexFile(SubjectPaths{}).has_value());
}

// Records of many lengths, so that keys and line-end runs fall across every read boundary.
TEST(RebuildIndex, LongFileAcrossReadBoundaries) {
    Subject s;
    std::string text;
    std::vector<std::uint32_t> offsets;
    for (int i = 0; i < 4000; ++i) {
        offsets.push_back(static_cast<std::uint32_t>(text.size()));
        text += "Pregunta " + std::string(static_cast<std::size_t>(i % 97), 'q') + "\r\n";
        for (char a = 'a'; a <= 'd'; ++a) text += std::string(1 + i % 13, a) + "\r\n";
        text += i % 2 ? "=b\r\n\r\n" : "=C\r\n\r\n\r\n";
    }
    s.Write(text, "");
    ASSERT_EQ(RebuildIndexFile(s.paths), offsets.size());
    EXPECT_EQ(ReadBytes(s.paths.indexFile), IndexBytes(offsets));
}

TEST(RebuildIndex, WritesTheCountIntoTheCatalogue) {
    TempDir dir;
    Catalogue cat(dir.Path());
    ASSERT_TRUE(cat.LoadOrCreate());
    ASSERT_TRUE(cat.AddSubject("Qu\xEDmica", 0));
    ASSERT_TRUE(cat.AddSubject("Vac\xED" "a", 0));
    const SubjectPaths paths = PathsOf(cat, 0);
    EXPECT_EQ(paths.questionFile, dir / "Química" / "Química.txt");
    EXPECT_EQ(paths.indexFile, dir / "Química" / "Off_Materia.bin");
    WriteBytes(paths.questionFile, kQ0 + kQ1 + kQ2);
    WriteBytes(paths.indexFile, IndexBytes(7, {0x80000000u}));
    ASSERT_TRUE(RebuildIndex(cat, 0));
    EXPECT_EQ(ReadBytes(paths.indexFile), IndexBytes({0, 22, 44}));
    ASSERT_TRUE(cat.LoadCatalogue());
    EXPECT_EQ(cat.subjects[0].QuestionCount(), 3u);
    EXPECT_EQ(cat.subjects[1].QuestionCount(), 0u);

    fs::remove_all(dir / "Química");
    EXPECT_FALSE(RebuildIndex(cat, 0));
    ASSERT_TRUE(cat.LoadCatalogue());
    EXPECT_EQ(cat.subjects[0].QuestionCount(), 3u);
    EXPECT_FALSE(RebuildIndex(cat, 2));
    EXPECT_TRUE(PathsOf(cat, 2).indexFile.empty());
}

// ---- ReadQuestion ----

TEST(ReadQuestion, AnswersAndKeyAsWritten) {
    const struct {
        const char* what;
        std::string record;
        std::vector<std::string> answers;
        std::string key;
    } cases[] = {
        {"four answers", "\xBFQu\xE9?\r\nuno\r\ndos\r\ntres\r\ncuatro\r\n=C\r\n\r\n",
         {"uno", "dos", "tres", "cuatro"}, "C"},
        {"five answers", "\xBFQu\xE9?\r\nuno\r\ndos\r\ntres\r\ncuatro\r\ncinco\r\n=e\r\n\r\n",
         {"uno", "dos", "tres", "cuatro", "cinco"}, "e"},
        {"lower-case key", "\xBFQu\xE9?\r\nuno\r\ndos\r\ntres\r\ncuatro\r\n=b\r\n\r\n",
         {"uno", "dos", "tres", "cuatro"}, "b"},
        {"empty answer line", "\xBFQu\xE9?\r\nuno\r\n\r\ntres\r\ncuatro\r\n=A\r\n\r\n",
         {"uno", "", "tres", "cuatro"}, "A"},
        {"LF-only line ends", "\xBFQu\xE9?\nuno\ndos\ntres\ncuatro\n=D\n\n",
         {"uno", "dos", "tres", "cuatro"}, "D"},
        {"no key within seven lines", "\xBFQu\xE9?\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n=A\r\n",
         {"1", "2", "3", "4", "5"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Subject s;
        s.Write(kQ0 + c.record + kQ1, IndexBytes({0, 0x80000000u | 22u, 22u + static_cast<std::uint32_t>(c.record.size())}));
        const auto q = ReadQuestion(s.paths, 1); // the asked flag is not part of the offset
        ASSERT_TRUE(q.has_value());
        EXPECT_EQ(q->text, "\xBFQu\xE9?");
        EXPECT_EQ(q->answers, c.answers);
        EXPECT_EQ(q->AnswerCount(), static_cast<int>(c.answers.size()));
        EXPECT_EQ(q->key, c.key);
    }
}

TEST(ReadQuestion, LongLinesAreCutAndTheRestOfTheLineSkipped) {
    Subject s;
    const std::string longText(1500, 'x');
    const std::string exact(1023, 'y');
    s.Write(longText + "\r\n" + exact + "\r\n" + std::string(1024, 'z') + "\r\nc\r\nd\r\n=A\r\n\r\n",
            IndexBytes({0}));
    const auto q = ReadQuestion(s.paths, 0);
    ASSERT_TRUE(q.has_value());
    EXPECT_EQ(q->text, std::string(1023, 'x'));
    EXPECT_EQ(q->answers,
              (std::vector<std::string>{exact, std::string(1023, 'z'), "c", "d"}));
    EXPECT_EQ(q->key, "A");
}

TEST(ReadQuestion, RecordCutShortByTheEndOfTheFile) {
    Subject s;
    s.Write(kQ0 + "\xBFQu\xE9?\r\nuno\r\ndos", IndexBytes({0, 22}));
    const auto q = ReadQuestion(s.paths, 1);
    ASSERT_TRUE(q.has_value());
    EXPECT_EQ(q->text, "\xBFQu\xE9?");
    EXPECT_EQ(q->answers, (std::vector<std::string>{"uno", "dos"}));
    EXPECT_EQ(q->key, "");
}

TEST(ReadQuestion, NothingToReadGivesNothing) {
    Subject s;
    EXPECT_FALSE(ReadQuestion(s.paths, 0).has_value()); // neither file exists
    s.Write(kQ0, IndexBytes(3, {0, 22}));                // count larger than the entries
    EXPECT_TRUE(ReadQuestion(s.paths, 0).has_value());
    EXPECT_FALSE(ReadQuestion(s.paths, 1).has_value());  // offset at the end of the file
    EXPECT_FALSE(ReadQuestion(s.paths, 2).has_value());  // entry missing from the file
    EXPECT_FALSE(ReadQuestion(s.paths, 0xFFFFFFFFu).has_value());
    s.Write(kQ0, IndexBytes({0x7FFFFFFFu}));             // offset far past the end
    EXPECT_FALSE(ReadQuestion(s.paths, 0).has_value());
    s.Write("", IndexBytes({0}));
    fs::remove(s.paths.questionFile);
    EXPECT_FALSE(ReadQuestion(s.paths, 0).has_value());
    EXPECT_FALSE(fs::exists(s.paths.questionFile));
}

// ---- Asked flags ----

TEST(AskedFlags, ReadAndSetInPlace) {
    Subject s;
    s.Write(kQ0 + kQ1 + kQ2, IndexBytes({0, 0x80000000u | 22u, 44}));
    EXPECT_EQ(IndexCount(s.paths), 3u);
    EXPECT_FALSE(IsAsked(s.paths, 0));
    EXPECT_TRUE(IsAsked(s.paths, 1));
    EXPECT_FALSE(IsAsked(s.paths, 2));
    MarkAsked(s.paths, 2);
    EXPECT_EQ(Hex(ReadBytes(s.paths.indexFile)),
              Hex(IndexBytes({0, 0x80000000u | 22u, 0x80000000u | 44u})));
    MarkAsked(s.paths, 1); // already set: unchanged
    EXPECT_EQ(Hex(ReadBytes(s.paths.indexFile)),
              Hex(IndexBytes({0, 0x80000000u | 22u, 0x80000000u | 44u})));
    EXPECT_EQ(IndexEntry(s.paths, 2), 0x80000000u | 44u);
    ClearAsked(s.paths);
    EXPECT_EQ(Hex(ReadBytes(s.paths.indexFile)), Hex(IndexBytes({0, 22, 44})));
}

TEST(AskedFlags, BeyondTheCountIsAskedAndNeverWritten) {
    Subject s;
    // The count says 5 but only 2 entries are there.
    const std::string index = IndexBytes(5, {0, 22});
    s.Write(kQ0 + kQ1, index);
    EXPECT_EQ(IndexCount(s.paths), 2u);
    for (std::uint32_t n : {2u, 3u, 4u, 5u, 1000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(n);
        EXPECT_TRUE(IsAsked(s.paths, n));
        MarkAsked(s.paths, n);
        EXPECT_FALSE(IndexEntry(s.paths, n).has_value());
    }
    EXPECT_EQ(ReadBytes(s.paths.indexFile), index);
    ClearAsked(s.paths);
    EXPECT_EQ(ReadBytes(s.paths.indexFile), index);
}

TEST(AskedFlags, MissingOrShortIndex) {
    Subject s;
    EXPECT_EQ(IndexCount(s.paths), 0u);
    EXPECT_TRUE(IsAsked(s.paths, 0));
    MarkAsked(s.paths, 0);
    ClearAsked(s.paths);
    EXPECT_FALSE(fs::exists(s.paths.indexFile));
    WriteBytes(s.paths.indexFile, "\x05\x00");
    EXPECT_EQ(IndexCount(s.paths), 0u);
    EXPECT_TRUE(IsAsked(s.paths, 0));
}

TEST(AskedFlags, ClearAskedOverManyEntries) {
    Subject s;
    std::vector<std::uint32_t> flagged, clear;
    for (std::uint32_t i = 0; i < 40000; ++i) {
        clear.push_back(i * 3);
        flagged.push_back(i % 3 ? (i * 3) | 0x80000000u : i * 3);
    }
    s.Write("", IndexBytes(flagged));
    ClearAsked(s.paths);
    EXPECT_EQ(ReadBytes(s.paths.indexFile), IndexBytes(clear));
}

// ---- ReadQuestionBlock ----

struct BlockCase {
    const char* what;
    std::uint32_t first;
    std::uint32_t questionCount; // as the catalogue says
    std::size_t capacity;
    std::size_t bytes;
    std::uint32_t questions;
};

const BlockCase kBlockCases[] = {
    {"last question, rest longer than the block", 2, 3, 10, 10, 1},
    {"block ending exactly at the end of the file", 0, 3, 66, 66, 3},
    {"from the middle to exactly the end", 1, 3, 44, 44, 2},
    {"block larger than the rest", 1, 3, 4096, 44, 2},
    {"second question starts inside", 0, 3, 23, 23, 2},
    {"block ends where the second question starts", 0, 3, 22, 22, 1},
    {"one byte", 0, 3, 1, 1, 1},
    {"first beyond the count", 3, 3, 100, 0, 0},
    {"catalogue count above the index: the index ends first", 2, 5, 10, 10, 3},
    {"catalogue count below the index", 0, 2, 50, 50, 2},
};

TEST(ReadQuestionBlock, CountsTheQuestionsStartingInside) {
    for (const BlockCase& c : kBlockCases) {
        SCOPED_TRACE(c.what);
        Subject s;
        const std::string text = kQ0 + kQ1 + kQ2;
        s.Write(text, IndexBytes({0x80000000u, 22, 0x80000000u | 44u}));
        std::vector<char> buffer(c.capacity, '#');
        const QuestionBlock b =
            ReadQuestionBlock(s.paths, c.first, c.questionCount, std::span<char>(buffer));
        EXPECT_EQ(b.bytes, c.bytes);
        EXPECT_EQ(b.questions, c.questions);
        if (c.bytes > 0) {
            const std::size_t from = 22 * c.first;
            EXPECT_EQ(std::string(buffer.data(), b.bytes), text.substr(from, b.bytes));
        }
        for (std::size_t i = b.bytes; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '#');
    }
}

TEST(ReadQuestionBlock, UnreadableSubjectIsCoveredAtOnce) {
    Subject s;
    std::vector<char> buffer(64);
    // Missing files: nothing read, every remaining question covered, so a scan ends.
    QuestionBlock b = ReadQuestionBlock(s.paths, 1, 4, std::span<char>(buffer));
    EXPECT_EQ(b.bytes, 0u);
    EXPECT_EQ(b.questions, 3u);
    // An offset past the end of the question file.
    s.Write(kQ0, IndexBytes({0, 5000}));
    b = ReadQuestionBlock(s.paths, 1, 2, std::span<char>(buffer));
    EXPECT_EQ(b.bytes, 0u);
    EXPECT_EQ(b.questions, 1u);
    // No room to read into.
    b = ReadQuestionBlock(s.paths, 0, 2, std::span<char>());
    EXPECT_EQ(b.bytes, 0u);
    EXPECT_EQ(b.questions, 2u);
}

// Scanning a long subject block by block, the way the topic filter does.
TEST(ReadQuestionBlock, ScanOfALongSubjectVisitsEveryQuestionOnce) {
    Subject s;
    std::string text;
    std::vector<std::uint32_t> offsets;
    for (int i = 0; i < 3000; ++i) {
        offsets.push_back(static_cast<std::uint32_t>(text.size()));
        text += "P" + std::string(static_cast<std::size_t>(i % 300), 'p') +
                "\r\na\r\nb\r\nc\r\nd\r\n=A\r\n\r\n";
    }
    s.Write(text, IndexBytes(offsets));
    const auto count = static_cast<std::uint32_t>(offsets.size());
    std::vector<char> buffer(kQuestionBlockCapacity);
    std::uint32_t first = 0;
    int blocks = 0;
    while (first < count) {
        const QuestionBlock b = ReadQuestionBlock(s.paths, first, count, std::span<char>(buffer));
        const std::size_t end = offsets[first] + b.bytes;
        std::uint32_t expected = 0;
        while (first + expected < count && offsets[first + expected] < end) ++expected;
        if (end == text.size()) expected = count - first;
        ASSERT_EQ(b.questions, expected) << "block from question " << first;
        ASSERT_EQ(std::string(buffer.data(), b.bytes), text.substr(offsets[first], b.bytes));
        first += b.questions;
        ++blocks;
    }
    EXPECT_EQ(first, count);
    EXPECT_GT(blocks, 100); // the file is far larger than one block
}

} // namespace
} // namespace vexamo
