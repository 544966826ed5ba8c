#include "platform/LittleEndian.h"
#include "platform/RawFile.h"

#include "TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace vexamo {
namespace {
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

TEST(RawFile, ReadsExactlyOrReportsTheShortEnd) {
    TempDir dir;
    WriteBytes(dir / "f.bin", "abcdef");
    RawFile file(dir / "f.bin", O_RDONLY | O_CLOEXEC);
    ASSERT_TRUE(file.ok());
    EXPECT_EQ(file.Size(), 6);

    char buffer[8] = {};
    EXPECT_TRUE(file.ReadAt(2, buffer, 4));
    EXPECT_EQ(std::string(buffer, 4), "cdef");
    // Two bytes are missing at the end: an exact read fails, a partial one says how many came.
    EXPECT_FALSE(file.ReadAt(4, buffer, 4));
    EXPECT_EQ(file.ReadSome(4, buffer, 4), 2);
    EXPECT_EQ(std::string(buffer, 2), "ef");
    EXPECT_EQ(file.ReadSome(6, buffer, 4), 0);
    EXPECT_EQ(file.ReadSome(100, buffer, 4), 0);
}

TEST(RawFile, WritesOnlyThroughAWritableDescriptor) {
    const struct {
        int flags;
        bool written;
        const char* after;
    } cases[] = {
        {O_RDWR, true, "abcdXYZ"}, // runs past the end: the file grows
        {O_RDONLY, false, "abcdef"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        TempDir dir;
        WriteBytes(dir / "f.bin", "abcdef");
        {
            RawFile file(dir / "f.bin", c.flags | O_CLOEXEC);
            ASSERT_TRUE(file.ok());
            EXPECT_EQ(file.WriteAt(4, "XYZ", 3), c.written);
        }
        EXPECT_EQ(ReadBytes(dir / "f.bin"), c.after);
    }
}

TEST(RawFile, AFileThatCannotBeOpenedIsNotOk) {
    TempDir dir;
    RawFile missing(dir / "missing.bin", O_RDONLY | O_CLOEXEC);
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(missing.Size(), -1);
    char buffer[4];
    EXPECT_EQ(missing.ReadSome(0, buffer, 4), -1);
    EXPECT_FALSE(missing.ReadAt(0, buffer, 4));
    EXPECT_FALSE(missing.WriteAt(0, "ab", 2));

    RawFile unnamed({}, O_RDONLY | O_CLOEXEC);
    EXPECT_FALSE(unnamed.ok());
}

TEST(RawFile, CreatesAFileWithTheGivenMode) {
    TempDir dir;
    {
        RawFile file(dir / "new.bin", O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        ASSERT_TRUE(file.ok());
        EXPECT_TRUE(file.WriteAt(0, "z", 1));
    }
    EXPECT_EQ(ReadBytes(dir / "new.bin"), "z");
    EXPECT_EQ(std::filesystem::status(dir / "new.bin").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(LittleEndian, LowByteComesFirst) {
    const std::uint8_t bytes[4] = {0x78, 0x56, 0x34, 0xF2};
    EXPECT_EQ(GetLE32(bytes), 0xF2345678u);
    const char text[4] = {'\x78', '\x56', '\x34', '\xF2'};
    EXPECT_EQ(GetLE32(text), 0xF2345678u);

    std::uint8_t out[4] = {};
    PutLE32(out, 0x8000FF01u);
    EXPECT_EQ(out[0], 0x01);
    EXPECT_EQ(out[1], 0xFF);
    EXPECT_EQ(out[2], 0x00);
    EXPECT_EQ(out[3], 0x80);
    std::string s(4, '\0');
    PutLE32(s.data(), 0x8000FF01u);
    EXPECT_EQ(s, std::string("\x01\xFF\x00\x80", 4));
}

} // namespace
} // namespace vexamo
