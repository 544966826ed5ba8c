#include "platform/Files.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace vexamo {
namespace {
namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

TEST(Files, AtomicWriteReplacesContentAndSetsMode) {
    TempDir dir;
    const auto target = dir / "f.bin";
    WriteBytes(target, "old");
    ASSERT_TRUE(WriteFileAtomically(target, std::string_view("new\0x", 5), kHiddenFileMode));
    EXPECT_EQ(ReadBytes(target), std::string("new\0x", 5));
    EXPECT_EQ(*FileMode(target), kHiddenFileMode);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(Files, FailingWriterLeavesTargetAndNoTemporary) {
    TempDir dir;
    const auto target = dir / "f.bin";
    WriteBytes(target, "keep");
    EXPECT_FALSE(ReplaceFileAtomically(target, kHiddenFileMode, [](FileSink& sink) {
        sink.Write("partial");
        return false;
    }));
    EXPECT_EQ(ReadBytes(target), "keep");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(Files, MissingFolderFails) {
    TempDir dir;
    EXPECT_FALSE(WriteFileAtomically(dir / "no" / "f.bin", "x", kHiddenFileMode));
    EXPECT_FALSE(FileMode(dir / "no").has_value());
    EXPECT_FALSE(ReadWholeFile(dir / "no").has_value());
}

TEST(Files, Cp1252NamesBecomeUtf8Paths) {
    EXPECT_EQ(PathFromCp1252("/d", "Geograf\xED" "a").string(), "/d/Geografía");
}

} // namespace
} // namespace vexamo
