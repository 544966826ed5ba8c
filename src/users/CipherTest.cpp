#include "users/Cipher.h"

#include "TempDir.h"
#include "platform/Files.h"
#include "users/LibcryptoReference.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <sstream>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexamo {
namespace {

using testing::Hex;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

std::string OpenSslEde(const TKey128& key, std::string_view data, bool encrypt) {
    return testing::LibcryptoEde(key, data, encrypt);
}

using testing::WithFinalBlock;

TKey128 RandomKey(std::mt19937& rng) {
    TKey128 key;
    for (auto& b : key) b = static_cast<std::uint8_t>(rng());
    return key;
}

std::string RandomBytes(std::mt19937& rng, std::size_t n) {
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(rng());
    return s;
}

// --- LMD -------------------------------------------------------------------------------------

struct LmdCase {
    std::string input;
    std::string expected;
};

class LmdCheckValues : public ::testing::TestWithParam<LmdCase> {};

TEST_P(LmdCheckValues, HashOfSixteenBytes) {
    const LmdCase& c = GetParam();
    std::string out(16, '\0');
    HashLMD(out.data(), out.size(), c.input.data(), c.input.size());
    EXPECT_EQ(Hex(out), c.expected);
    std::string key(16, '\0');
    GenerateLMDKey(key.data(), key.size(), c.input);
    EXPECT_EQ(Hex(key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cipher, LmdCheckValues,
    ::testing::Values(LmdCase{"", "0b d1 32 aa 83 1c 56 ac 1f 92 e6 10 84 a3 42 d2"},
                      LmdCase{"abc", "2a a1 7b aa 76 a4 c4 cd 4b 73 a5 f9 34 b4 cc 1a"}));

TEST(Lmd, OutputLongerThanTheDigestStopsAt256Bytes) {
    std::string out(300, '\x5A');
    GenerateLMDKey(out.data(), out.size(), "abc");
    EXPECT_EQ(Hex(out.substr(0, 16)), "2a a1 7b aa 76 a4 c4 cd 4b 73 a5 f9 34 b4 cc 1a");
    EXPECT_EQ(out.substr(256), std::string(44, '\x5A'));
    EXPECT_NE(out.substr(16, 240), std::string(240, '\x5A'));
}

TEST(Lmd, PiecewiseUpdatesGiveTheSameDigestAsOneUpdate) {
    // 22 bytes: crosses two key mixes and leaves KeyIndex at 6 for the padding.
    const std::string text = "contrase\xF1" "a de prueba 1";
    std::string whole(32, '\0');
    HashLMD(whole.data(), whole.size(), text.data(), text.size());

    TLMDContext ctx;
    InitLMD(ctx);
    UpdateLMD(ctx, text.data(), 3);
    UpdateLMD(ctx, text.data() + 3, 9);
    UpdateLMD(ctx, text.data() + 12, text.size() - 12);
    EXPECT_EQ(ctx.keyIndex, 6);
    EXPECT_EQ(ctx.digestIndex, 22);
    std::string pieces(32, '\0');
    FinalizeLMD(ctx, pieces.data(), pieces.size());
    EXPECT_EQ(Hex(pieces), Hex(whole));
}

TEST(Lmd, InitialContextHoldsPiAndTheKeyPattern) {
    TLMDContext ctx;
    ctx.digestIndex = 9;
    ctx.keyIndex = 3;
    InitLMD(ctx);
    EXPECT_EQ(ctx.digestIndex, 0);
    EXPECT_EQ(ctx.keyIndex, 0);
    EXPECT_EQ(Hex(std::string(ctx.digest.begin(), ctx.digest.begin() + 16)),
              "24 3f 6a 88 85 a3 08 d3 13 19 8a 2e 03 70 73 44");
    EXPECT_EQ(std::string(ctx.key.begin(), ctx.key.end()), std::string(16, '\x55'));
}

TEST(Lmd, UsersFileKeyIsTheDigestOfThePassphraseBytes) {
    EXPECT_EQ(kUsersFilePassphrase.size(), 12u);
    EXPECT_EQ(static_cast<std::uint8_t>(kUsersFilePassphrase[11]), 0xE9);
    TKey128 expected{};
    HashLMD(expected.data(), expected.size(), "bolitrampez\xE9", 12);
    EXPECT_EQ(UsersFileKey(), expected);
    EXPECT_NE(UsersFileKey(), TKey128{});
}

TEST(Lbc, RoundsAreClampedAndDecryptionScheduleIsReversed) {
    const std::uint8_t key[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    TLBCContext low, four, enc, dec;
    InitEncryptLBC(key, low, 1, true);
    InitEncryptLBC(key, four, 4, true);
    EXPECT_EQ(low.rounds, 4);
    TLBCBlock a{}, b{};
    EncryptLBC(low, a);
    EncryptLBC(four, b);
    EXPECT_EQ(a, b);
    InitEncryptLBC(key, enc, 99, true);
    EXPECT_EQ(enc.rounds, 16);
    InitEncryptLBC(key, enc, 8, true);
    InitEncryptLBC(key, dec, 8, false);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(dec.subkeys[i], enc.subkeys[7 - i]);
    for (int i = 8; i < 16; ++i) EXPECT_EQ(dec.subkeys[i], enc.subkeys[i]);
}

// --- DES -------------------------------------------------------------------------------------

TDESBlock Block(std::initializer_list<int> v) {
    TDESBlock b{};
    std::size_t i = 0;
    for (int x : v) b[i++] = static_cast<std::uint8_t>(x);
    return b;
}

TEST(Des, KnownAnswerBothWays) {
    const TDESBlock key = Block({0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1});
    const TDESBlock plain = Block({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF});
    const TDESBlock cipher = Block({0x85, 0xE8, 0x13, 0x54, 0x0F, 0x0A, 0xB4, 0x05});
    TDESContext enc, dec;
    InitEncryptDES(key, enc, true);
    InitEncryptDES(key, dec, false);
    EXPECT_TRUE(enc.encrypt);
    EXPECT_FALSE(dec.encrypt);
    TDESBlock b = plain;
    EncryptDES(enc, b);
    EXPECT_EQ(b, cipher);
    EncryptDES(dec, b);
    EXPECT_EQ(b, plain);
}

TEST(Des, ParityBitsOfTheKeyAreIgnored) {
    const TDESBlock key = Block({0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1});
    TDESBlock flipped = key;
    for (auto& b : flipped) b ^= 1;
    TDESContext a, b;
    InitEncryptDES(key, a, true);
    InitEncryptDES(flipped, b, true);
    TDESBlock x = Block({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}), y = x;
    EncryptDES(a, x);
    EncryptDES(b, y);
    EXPECT_EQ(x, Block({0x85, 0xE8, 0x13, 0x54, 0x0F, 0x0A, 0xB4, 0x05}));
    EXPECT_EQ(x, y);
}

TEST(TripleDes, EqualHalvesReduceToSingleDes) {
    // E(K, D(K, E(K, x))) = E(K, x): the known answer holds for the key doubled.
    TKey128 key{};
    const TDESBlock k = Block({0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1});
    std::copy(k.begin(), k.end(), key.begin());
    std::copy(k.begin(), k.end(), key.begin() + 8);
    TTripleDESContext enc, dec;
    InitEncryptTripleDES(key, enc, true);
    InitEncryptTripleDES(key, dec, false);
    EXPECT_TRUE(enc.first.encrypt);
    EXPECT_FALSE(enc.second.encrypt);
    EXPECT_FALSE(dec.first.encrypt);
    EXPECT_TRUE(dec.second.encrypt);
    TDESBlock b = Block({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF});
    EncryptTripleDES(enc, b);
    EXPECT_EQ(b, Block({0x85, 0xE8, 0x13, 0x54, 0x0F, 0x0A, 0xB4, 0x05}));
    EncryptTripleDES(dec, b);
    EXPECT_EQ(b, Block({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}));
}

TEST(TripleDes, AgreesWithLibcryptoOnRandomKeysAndBlocks) {
    std::mt19937 rng(20261211);
    for (int round = 0; round < 50; ++round) {
        const TKey128 key = RandomKey(rng);
        const std::string plain = RandomBytes(rng, 8 * 16);
        const std::string reference = OpenSslEde(key, plain, true);

        TTripleDESContext enc, dec;
        InitEncryptTripleDES(key, enc, true);
        InitEncryptTripleDES(key, dec, false);
        std::string ours = plain;
        for (std::size_t off = 0; off < ours.size(); off += 8) {
            TDESBlock b;
            std::memcpy(b.data(), ours.data() + off, 8);
            EncryptTripleDES(enc, b);
            std::memcpy(ours.data() + off, b.data(), 8);
        }
        ASSERT_EQ(Hex(ours), Hex(reference)) << "round " << round;
        for (std::size_t off = 0; off < ours.size(); off += 8) {
            TDESBlock b;
            std::memcpy(b.data(), ours.data() + off, 8);
            EncryptTripleDES(dec, b);
            std::memcpy(ours.data() + off, b.data(), 8);
        }
        ASSERT_EQ(ours, plain);
    }
}

// --- Stream format ---------------------------------------------------------------------------

class StreamLengths : public ::testing::TestWithParam<std::size_t> {};

TEST_P(StreamLengths, EncryptedFormIsLibcryptoEcbOfDataPlusCountedBlock) {
    const std::size_t length = GetParam();
    std::mt19937 rng(static_cast<unsigned>(length) + 7);
    const TKey128 key = RandomKey(rng);
    const std::string plain = RandomBytes(rng, length);

    const std::string memory = TripleDESEncrypt(plain, key);
    ASSERT_EQ(memory.size(), 8 * (length / 8 + 1));
    EXPECT_EQ(Hex(memory), Hex(OpenSslEde(key, WithFinalBlock(plain), true)));

    std::istringstream in(plain);
    std::ostringstream out;
    TripleDESEncryptStream(in, out, key, true);
    EXPECT_EQ(out.str(), memory);

    EXPECT_EQ(TripleDESDecrypt(memory, key), plain);
    std::istringstream back(memory);
    std::ostringstream plainOut;
    TripleDESEncryptStream(back, plainOut, key, false);
    EXPECT_EQ(plainOut.str(), plain);
}

INSTANTIATE_TEST_SUITE_P(Cipher, StreamLengths,
                         ::testing::Values(0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 100u, 65536u + 3u));

TEST(Stream, FinalBlockOfFifteenBytesHoldsSevenBytesAndTheirCount) {
    const TKey128 key = UsersFileKey();
    const std::string plain = "0123456789ABCDE";
    const std::string enc = TripleDESEncrypt(plain, key);
    ASSERT_EQ(enc.size(), 16u);
    EXPECT_EQ(OpenSslEde(key, enc, false), "0123456789ABCDE\x07");
    const std::string empty = TripleDESEncrypt("", key);
    ASSERT_EQ(empty.size(), 8u);
    EXPECT_EQ(OpenSslEde(key, empty, false), std::string(8, '\0'));
}

class ShortInput : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ShortInput, DecryptionFailsWithInvalidFileFormatAndWritesNothing) {
    const std::string input(GetParam(), 'x');
    std::istringstream in(input);
    std::ostringstream out;
    try {
        TripleDESEncryptStream(in, out, UsersFileKey(), false);
        FAIL() << "no exception";
    } catch (const ECipherException& e) {
        EXPECT_STREQ(e.what(), "Invalid file format");
    }
    EXPECT_EQ(out.str(), "");
    EXPECT_THROW(TripleDESDecrypt(input, UsersFileKey()), ECipherException);
}

INSTANTIATE_TEST_SUITE_P(Cipher, ShortInput, ::testing::Values(0u, 1u, 4u, 7u));

TEST(Stream, RaggedTailAfterTheLastWholeBlockIsIgnored) {
    const TKey128 key = UsersFileKey();
    const std::string enc = TripleDESEncrypt("twelve bytes", key) + "tail";
    ASSERT_EQ(enc.size(), 20u);
    EXPECT_EQ(TripleDESDecrypt(enc, key), "twelve bytes");
    std::istringstream in(enc);
    std::ostringstream out;
    TripleDESEncryptStream(in, out, key, false);
    EXPECT_EQ(out.str(), "twelve bytes");
}

TEST(Stream, FinalCountAboveSevenIsADamagedFile) {
    const TKey128 key = UsersFileKey();
    for (int count : {8, 9, 0x80, 0xFF}) {
        // One data block, then a final block whose count byte no valid file holds.
        const std::string plain = std::string("ABCDEFGH") + Bytes({1, 2, 3, 4, 5, 6, 7, count});
        const std::string enc = OpenSslEde(key, plain, true);
        EXPECT_THROW(TripleDESDecrypt(enc, key), ECipherException) << count;
        std::istringstream in(enc);
        std::ostringstream out;
        EXPECT_THROW(TripleDESEncryptStream(in, out, key, false), ECipherException);
        EXPECT_EQ(out.str(), "ABCDEFGH") << "only the blocks before the damaged one";
    }
}

// A stream that can be read but not positioned, like a pipe.
class PipeBuf : public std::streambuf {
public:
    explicit PipeBuf(std::string data) : data_(std::move(data)) {
        setg(data_.data(), data_.data(), data_.data() + data_.size());
    }

private:
    std::string data_;
};

TEST(Stream, StreamThatCannotSeekIsReadWhole) {
    const TKey128 key = UsersFileKey();
    const std::string plain = "un flujo sin posicionamiento de 37 B";
    PipeBuf buf(plain);
    std::istream in(&buf);
    std::ostringstream out;
    TripleDESEncryptStream(in, out, key, true);
    EXPECT_EQ(out.str(), TripleDESEncrypt(plain, key));
}

TEST(Stream, ReadsFromTheCurrentPosition) {
    const TKey128 key = UsersFileKey();
    std::istringstream in("skipHello, world");
    in.seekg(4);
    std::ostringstream out;
    TripleDESEncryptStream(in, out, key, true);
    EXPECT_EQ(out.str(), TripleDESEncrypt("Hello, world", key));
}

TEST(CipherFile, EncryptsAndDecryptsFiles) {
    TempDir dir;
    const TKey128 key = UsersFileKey();
    const std::string plain = "contenido de prueba\r\nsegunda l\xEDnea";
    WriteBytes(dir / "plain", plain);
    TripleDESEncryptFile(dir / "plain", dir / "enc", key, true);
    EXPECT_EQ(ReadBytes(dir / "enc"), TripleDESEncrypt(plain, key));
    WriteBytes(dir / "out", "longer old content that must be truncated away........");
    TripleDESEncryptFile(dir / "enc", dir / "out", key, false);
    EXPECT_EQ(ReadBytes(dir / "out"), plain);
    EXPECT_THROW(TripleDESEncryptFile(dir / "missing", dir / "x", key, false), std::runtime_error);
    EXPECT_FALSE(fs::exists(dir / "x"));
}

// --- ReplaceRange ----------------------------------------------------------------------------

std::vector<std::string> FolderEntries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct SpliceCase {
    const char* what;
    std::int64_t offset;
    std::int64_t replaceCount;
    std::string data;
    std::string expected;
};

class ReplaceRangeSplices : public ::testing::TestWithParam<SpliceCase> {};

TEST_P(ReplaceRangeSplices, ResultIsTheSplicedContentEncrypted) {
    const SpliceCase& c = GetParam();
    TempDir dir;
    const TKey128 key = UsersFileKey();
    const fs::path file = dir / "Vexamousers.bin";
    WriteBytes(file, OpenSslEde(key, WithFinalBlock("0123456789ABCDEFGHIJ"), true));
    ::chmod(file.c_str(), 0640);

    const std::int64_t length = ReplaceRange(key, file, c.offset, c.replaceCount, c.data.data(),
                                             static_cast<std::int64_t>(c.data.size()));
    EXPECT_EQ(length, static_cast<std::int64_t>(c.expected.size()));
    const std::string stored = ReadBytes(file);
    EXPECT_EQ(OpenSslEde(key, stored, false), WithFinalBlock(c.expected));
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Vexamousers.bin"});
    EXPECT_EQ(*FileMode(file), static_cast<fs::perms>(0640));
}

INSTANTIATE_TEST_SUITE_P(
    Cipher, ReplaceRangeSplices,
    ::testing::Values(
        SpliceCase{"insert_front", 0, 0, "xy", "xy0123456789ABCDEFGHIJ"},
        SpliceCase{"insert_middle", 10, 0, "---", "0123456789---ABCDEFGHIJ"},
        SpliceCase{"append", -1, 0, "KLMN", "0123456789ABCDEFGHIJKLMN"},
        SpliceCase{"append_at_length", 20, 0, "K", "0123456789ABCDEFGHIJK"},
        SpliceCase{"delete", 2, 5, "", "01789ABCDEFGHIJ"},
        SpliceCase{"delete_all", 0, 20, "", ""},
        SpliceCase{"overwrite", 16, 4, "wxyz", "0123456789ABCDEFwxyz"},
        SpliceCase{"grow_in_place", 4, 2, "abcdefghij", "0123abcdefghij6789ABCDEFGHIJ"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(ReplaceRange, InsertIntoMissingFileCreatesItOwnerOnly) {
    TempDir dir;
    const TKey128 key = UsersFileKey();
    const fs::path file = dir / "Vexamousers.bin";
    EXPECT_EQ(ReplaceRange(key, file, 0, 0, "hola", 4), 4);
    EXPECT_EQ(OpenSslEde(key, ReadBytes(file), false), std::string("hola\0\0\0\x04", 8));
    EXPECT_EQ(*FileMode(file), kHiddenFileMode);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Vexamousers.bin"});
}

TEST(ReplaceRange, AppendToMissingFileCreatesIt) {
    TempDir dir;
    const fs::path file = dir / "f";
    EXPECT_EQ(ReplaceRange(UsersFileKey(), file, -1, 0, "abc", 3), 3);
    EXPECT_EQ(TripleDESDecrypt(ReadBytes(file), UsersFileKey()), "abc");
}

TEST(ReplaceRange, MissingFileWithPositiveOffsetDoesNothing) {
    TempDir dir;
    EXPECT_EQ(ReplaceRange(UsersFileKey(), dir / "f", 5, 0, "abc", 3), -1);
    EXPECT_EQ(ReplaceRange(UsersFileKey(), dir / "f", 1, 0, "abc", 3), -1);
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());
}

TEST(ReplaceRange, RangesOutsideTheContentLeaveTheFileAlone) {
    TempDir dir;
    const TKey128 key = UsersFileKey();
    const fs::path file = dir / "f";
    const std::string original = TripleDESEncrypt("0123456789", key);
    WriteBytes(file, original);
    struct { std::int64_t offset, count, dataLength; } cases[] = {
        {11, 0, 1}, {8, 3, 0}, {-2, 0, 1}, {0, -1, 1}, {2, 0, -1}, {0, 11, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(ReplaceRange(key, file, c.offset, c.count, "zzzz", c.dataLength), -1)
            << c.offset << " " << c.count << " " << c.dataLength;
        EXPECT_EQ(ReadBytes(file), original);
    }
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"f"});
}

TEST(ReplaceRange, DamagedFileThrowsAndStaysAsItWas) {
    TempDir dir;
    const fs::path file = dir / "f";
    WriteBytes(file, "short");
    EXPECT_THROW(ReplaceRange(UsersFileKey(), file, 0, 0, "a", 1), ECipherException);
    EXPECT_EQ(ReadBytes(file), "short");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"f"});
}

// Names of the files created in, or moved into, `dir` while `action` runs.
std::vector<std::pair<std::string, std::uint32_t>> WatchFolder(const fs::path& dir,
                                                                 const std::function<void()>& action) {
    const int fd = ::inotify_init1(IN_NONBLOCK);
    if (fd < 0) throw std::runtime_error("inotify");
    ::inotify_add_watch(fd, dir.c_str(), IN_CREATE | IN_MOVED_TO);
    action();
    std::vector<std::pair<std::string, std::uint32_t>> events;
    alignas(inotify_event) char buf[8192];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) {
        for (char* p = buf; p < buf + n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(p);
            events.emplace_back(e->len ? e->name : "", e->mask & (IN_CREATE | IN_MOVED_TO));
            p += sizeof(inotify_event) + e->len;
        }
    }
    ::close(fd);
    return events;
}

TEST(ReplaceRange, TargetIsReplacedByRenameWithoutAWorkCopy) {
    TempDir dir;
    const TKey128 key = UsersFileKey();
    const fs::path file = dir / "Vexamousers.bin";
    WriteBytes(file, TripleDESEncrypt("0123456789", key));
    const auto events = WatchFolder(dir.Path(), [&] { EXPECT_EQ(ReplaceRange(key, file, 3, 2, "x", 1), 9); });
    // One temporary file is created and renamed over the target; nothing else appears.
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].second, static_cast<std::uint32_t>(IN_CREATE));
    EXPECT_NE(events[0].first, "Vexamousers.bin");
    EXPECT_NE(events[0].first, "Vexamousers.bin_");
    EXPECT_EQ(events[1], (std::pair<std::string, std::uint32_t>{"Vexamousers.bin", IN_MOVED_TO}));
    EXPECT_EQ(TripleDESDecrypt(ReadBytes(file), key), "012x56789");
}

TEST(ReplaceRange, NoPlainBytesReachTheFolder) {
    // The plain content must never be written out, not even for a moment: watch every file
    // that exists after the call for the plain marker.
    TempDir dir;
    const TKey128 key = UsersFileKey();
    const fs::path file = dir / "Vexamousers.bin";
    const std::string secret = "CLAVESECRETA-1234";
    ASSERT_EQ(ReplaceRange(key, file, 0, 0, secret.data(), 17), 17);
    ASSERT_EQ(ReplaceRange(key, file, 17, 0, "+mas", 4), 21);
    for (const auto& e : fs::directory_iterator(dir.Path()))
        EXPECT_EQ(ReadBytes(e.path()).find("CLAVE"), std::string::npos) << e.path();
    EXPECT_FALSE(fs::exists(dir / "Vexamousers.bin_"));
}

} // namespace
} // namespace vexamo
