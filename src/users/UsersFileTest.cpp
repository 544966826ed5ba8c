#include "users/UsersFile.h"

#include "TempDir.h"
#include "platform/Files.h"
#include "users/LibcryptoReference.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace vexamo {
namespace {

using testing::GetLE32;
using testing::Hex;
using testing::LibcryptoEde;
using testing::PutLE32;
using testing::ReadBytes;
using testing::TempDir;
using testing::WithFinalBlock;
using testing::WriteBytes;
namespace fs = std::filesystem;

// --- Hand-built plain content ----------------------------------------------------------------

std::string Header(std::uint32_t userCount, std::string_view admin) {
    std::string h(32, '\0');
    PutLE32(h, 0, userCount);
    PutLE32(h, 4, static_cast<std::uint32_t>(admin.size()));
    h.replace(8, admin.size(), admin);
    return h;
}

std::string Entry(std::uint32_t recordOffset, std::uint32_t historyBytes) {
    std::string e;
    PutLE32(e, 0, recordOffset);
    PutLE32(e, 4, historyBytes);
    return e;
}

std::string History(std::initializer_list<HistoryEntry> entries) {
    std::string s;
    for (const auto& e : entries) {
        s.push_back(static_cast<char>(e.presented));
        s.push_back(static_cast<char>(e.right));
        s.push_back(static_cast<char>(e.wrong));
    }
    return s;
}

struct Rec {
    std::string name;
    std::string password;
    std::string history; // entry bytes; the rest of the area is 0xFF
    std::uint32_t historyBytes = 16;
};

std::string Record(const Rec& r) {
    std::string s(64 + r.historyBytes, '\xFF');
    std::fill(s.begin(), s.begin() + 64, '\0');
    PutLE32(s, 0, static_cast<std::uint32_t>(r.name.size()));
    s.replace(4, r.name.size(), r.name);
    PutLE32(s, 32, static_cast<std::uint32_t>(r.password.size()));
    s.replace(36, r.password.size(), r.password);
    s.replace(64, r.history.size(), r.history);
    return s;
}

// Header, directory and records laid out one after the other.
std::string Layout(std::string_view admin, const std::vector<Rec>& records) {
    std::string s = Header(static_cast<std::uint32_t>(records.size()), admin);
    std::uint32_t offset = 32 + 8 * static_cast<std::uint32_t>(records.size());
    for (const auto& r : records) {
        s += Entry(offset, r.historyBytes);
        offset += 64 + r.historyBytes;
    }
    for (const auto& r : records) s += Record(r);
    return s;
}

std::vector<std::string> FolderEntries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class UsersFileTest : public ::testing::Test {
protected:
    UsersFileTest() { users.OpenUsersFile(file); }

    // Writes plain content encrypted by libcrypto, not by our writer.
    void WriteFixture(std::string_view plain) {
        WriteBytes(file, LibcryptoEde(UsersFileKey(), WithFinalBlock(std::string(plain)), true));
        ::chmod(file.c_str(), 0600);
        users.OpenUsersFile(file); // the buffer turns stale
    }

    // The file's plain content as libcrypto decrypts it, checked for its counted final block.
    std::string StoredPlain() {
        const std::string raw = LibcryptoEde(UsersFileKey(), ReadBytes(file), false);
        EXPECT_GE(raw.size(), 8u);
        const auto count = static_cast<std::size_t>(raw.back());
        EXPECT_LE(count, 7u);
        const std::size_t length = raw.size() - 8 + count;
        EXPECT_EQ(raw.substr(length), std::string(7 - count, '\0') + static_cast<char>(count));
        return raw.substr(0, length);
    }

    void ExpectStored(const std::string& expected) {
        EXPECT_EQ(Hex(StoredPlain()), Hex(expected));
        EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{kUsersFileName});
    }

    TempDir dir;
    fs::path file = dir / kUsersFileName;
    TArchivoVexamousers users;
};

// --- Creation and users ----------------------------------------------------------------------

TEST_F(UsersFileTest, CreateWritesTheBareHeaderOwnerOnly) {
    users.CreateUsersFile(file, "secreto");
    std::string expected(32, '\0');
    expected[4] = 7;
    expected.replace(8, 7, "secreto");
    ExpectStored(expected);
    EXPECT_EQ(ReadBytes(file).size(), 40u);
    EXPECT_EQ(*FileMode(file), kHiddenFileMode);
    EXPECT_TRUE(users.ListUsers().empty());
    EXPECT_EQ(users.GetAdminPassword(), "secreto");
    EXPECT_EQ(users.PlainContent(), expected);
}

TEST_F(UsersFileTest, CreateRefusesToOverwriteAnExistingFile) {
    const std::string plain = Layout("admin", {{"ana", "pw", "", 16}});
    WriteFixture(plain);
    const std::string before = ReadBytes(file);
    EXPECT_THROW(users.CreateUsersFile(file, "otra"), std::runtime_error);
    EXPECT_EQ(ReadBytes(file), before);
}

TEST_F(UsersFileTest, TwoUsersAddedToAFreshFile) {
    users.CreateUsersFile(file, "admin");
    EXPECT_EQ(users.AddUser("ana", "pw1"), 1);
    EXPECT_EQ(users.AddUser("Luis", "clave"), 2);

    // Literal offsets: the directory ends at 48, the first record is 80 bytes long.
    std::string expected = Header(2, "admin") + Entry(48, 16) + Entry(128, 16);
    expected += Record({"ana", "pw1", "", 16}) + Record({"Luis", "clave", "", 16});
    ASSERT_EQ(expected.size(), 208u);
    ExpectStored(expected);
    EXPECT_EQ(expected, Layout("admin", {{"ana", "pw1", "", 16}, {"Luis", "clave", "", 16}}));
    EXPECT_EQ(*FileMode(file), kHiddenFileMode);

    EXPECT_EQ(users.GetUserPassword("ana"), "pw1");
    EXPECT_EQ(users.GetUserPassword("Luis"), "clave");
    EXPECT_EQ(users.UserExists("Luis"), 16);
    EXPECT_EQ(users.UserExists("luis"), -1);
    EXPECT_EQ(users.CountHistory("ana"), 0);
    TArchivoVexamousers::UserInfo info;
    ASSERT_TRUE(users.FindUser("Luis", info));
    EXPECT_EQ(info.index, 1);
    EXPECT_EQ(info.recordOffset, 128);
    EXPECT_EQ(info.historyBytes, 16);
    EXPECT_EQ(info.entryCount, 0);
}

TEST_F(UsersFileTest, AddUserRejectsTextsLongerThanTheirFields) {
    users.CreateUsersFile(file, "admin");
    const std::string before = ReadBytes(file);
    EXPECT_THROW(users.AddUser(std::string(29, 'n'), "pw"), std::invalid_argument);
    EXPECT_THROW(users.AddUser("ana", std::string(29, 'p')), std::invalid_argument);
    EXPECT_THROW(users.SetAdminPassword(std::string(25, 'p')), std::invalid_argument);
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(users.AddUser(std::string(28, 'n'), std::string(28, 'p')), 1);
    EXPECT_EQ(users.GetUserPassword(std::string(28, 'n')), std::string(28, 'p'));
}

TEST_F(UsersFileTest, NamesDifferingOnlyInCaseAreTwoUsers) {
    users.CreateUsersFile(file, "admin");
    users.AddUser("Ana", "mayus");
    users.AddUser("ana", "minus");
    EXPECT_EQ(users.GetUserPassword("Ana"), "mayus");
    EXPECT_EQ(users.GetUserPassword("ana"), "minus");
    EXPECT_EQ(users.GetUserPassword("ANA"), "");
    users.RecordResult("ana", 10, 9, 1);
    EXPECT_EQ(users.CountHistory("ana"), 1);
    EXPECT_EQ(users.CountHistory("Ana"), 0);
    EXPECT_EQ(users.ListUsers(), (std::vector<std::string>{"ana", "Ana"}));
}

TEST_F(UsersFileTest, ListUsersSortsIgnoringCaseAndAccents) {
    // Windows-1252 names: "Ñandú", "álvaro", "Éric".
    const std::vector<std::string> added = {"zoe", "\xD1" "and\xFA", "nico", "Bruno", "ana",
                                            "\xE1lvaro", "Ana", "\xC9ric", "beto", "10"};
    std::vector<Rec> records;
    for (const auto& n : added) records.push_back({n, "x", "", 16});
    WriteFixture(Layout("admin", records));
    EXPECT_EQ(users.ListUsers(),
              (std::vector<std::string>{"10", "\xE1lvaro", "ana", "Ana", "beto", "Bruno",
                                        "\xC9ric", "nico", "\xD1" "and\xFA", "zoe"}));
}

// --- History ---------------------------------------------------------------------------------

TEST_F(UsersFileTest, SixthResultGrowsTheAreaAndShiftsLaterRecords) {
    WriteFixture(Layout("admin", {{"ana", "a", "", 16}, {"bea", "b", "", 16}, {"carlos", "c", "", 16}}));
    const std::vector<HistoryEntry> results = {
        {10, 7, 2}, {20, 15, 5}, {30, 0, 0}, {5, 5, 0}, {200, 100, 50}, {12, 6, 6}};
    for (std::size_t i = 0; i < 5; ++i)
        ASSERT_TRUE(users.RecordResult("bea", results[i].presented, results[i].right, results[i].wrong));
    const std::string five = History({{10, 7, 2}, {20, 15, 5}, {30, 0, 0}, {5, 5, 0}, {200, 100, 50}});
    ExpectStored(Layout("admin", {{"ana", "a", "", 16}, {"bea", "b", five, 16}, {"carlos", "c", "", 16}}));
    EXPECT_EQ(users.UserExists("bea"), 16);

    ASSERT_TRUE(users.RecordResult("bea", 12, 6, 6));
    std::string expected = Header(3, "admin") + Entry(56, 16) + Entry(136, 32) + Entry(232, 16);
    expected += Record({"ana", "a", "", 16});
    expected += Record({"bea", "b", five + History({{12, 6, 6}}), 32});
    expected += Record({"carlos", "c", "", 16});
    ExpectStored(expected);
    EXPECT_EQ(users.UserExists("bea"), 32);
    EXPECT_EQ(users.ReadHistory("bea"), results);
    EXPECT_EQ(users.GetUserPassword("carlos"), "c");
    EXPECT_EQ(users.CountHistory("carlos"), 0);
}

TEST_F(UsersFileTest, AreaGrowsBySixteenWheneverTheNextEntryDoesNotFit) {
    users.CreateUsersFile(file, "admin");
    users.AddUser("ana", "a");
    users.AddUser("bea", "b");
    std::vector<HistoryEntry> expected;
    // After k results the area holds 16, 32, 48 or 64 bytes: 5, 10, 16 and 21 entries fit.
    const auto areaFor = [](int k) { return k <= 5 ? 16 : k <= 10 ? 32 : k <= 16 ? 48 : 64; };
    for (int k = 1; k <= 21; ++k) {
        const HistoryEntry e{static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(k / 2),
                             static_cast<std::uint8_t>(k % 3)};
        ASSERT_TRUE(users.RecordResult("ana", e.presented, e.right, e.wrong));
        expected.push_back(e);
        EXPECT_EQ(users.UserExists("ana"), areaFor(k)) << k;
        EXPECT_EQ(users.CountHistory("ana"), k);
    }
    EXPECT_EQ(users.ReadHistory("ana"), expected);
    std::string history;
    for (const auto& e : expected) history += History({e});
    ExpectStored(Layout("admin", {{"ana", "a", history, 64}, {"bea", "b", "", 16}}));
}

TEST_F(UsersFileTest, ClearHistoryKeepsTheAreaAndTheNextResultStartsIt) {
    std::string eight;
    for (int i = 0; i < 8; ++i) eight += History({{20, 10, 5}});
    WriteFixture(Layout("admin", {{"ana", "a", eight, 32}, {"bea", "b", History({{1, 1, 0}}), 16}}));
    ASSERT_TRUE(users.ClearHistory("ana"));
    ExpectStored(Layout("admin", {{"ana", "a", "", 32}, {"bea", "b", History({{1, 1, 0}}), 16}}));
    EXPECT_EQ(users.UserExists("ana"), 32);
    EXPECT_EQ(users.CountHistory("ana"), 0);
    ASSERT_TRUE(users.RecordResult("ana", 9, 8, 1));
    ExpectStored(Layout("admin", {{"ana", "a", History({{9, 8, 1}}), 32},
                                  {"bea", "b", History({{1, 1, 0}}), 16}}));
    EXPECT_FALSE(users.ClearHistory("nadie"));
}

TEST_F(UsersFileTest, FirstByte255EndsTheList) {
    const std::string history = History({{10, 8, 1}, {255, 5, 5}, {12, 3, 4}});
    WriteFixture(Layout("admin", {{"ana", "a", history, 16}}));
    EXPECT_EQ(users.CountHistory("ana"), 1);
    EXPECT_EQ(users.ReadHistory("ana"), (std::vector<HistoryEntry>{{10, 8, 1}}));
    // The next result takes the position of the end marker.
    ASSERT_TRUE(users.RecordResult("ana", 7, 7, 0));
    ExpectStored(Layout("admin", {{"ana", "a", History({{10, 8, 1}, {7, 7, 0}, {12, 3, 4}}), 16}}));
    EXPECT_EQ(users.CountHistory("ana"), 3);
}

TEST_F(UsersFileTest, CountsAreClampedBelowTheEndMarker) {
    WriteFixture(Layout("admin", {{"ana", "a", "", 16}}));
    ASSERT_TRUE(users.RecordResult("ana", 255, 256, -3));
    ASSERT_TRUE(users.RecordResult("ana", 1000, 254, 253));
    EXPECT_EQ(users.ReadHistory("ana"), (std::vector<HistoryEntry>{{254, 254, 0}, {254, 254, 253}}));
    ExpectStored(Layout("admin", {{"ana", "a", History({{254, 254, 0}, {254, 254, 253}}), 16}}));
}

TEST_F(UsersFileTest, UnknownUserChangesNothing) {
    const std::string plain = Layout("admin", {{"ana", "a", History({{3, 2, 1}}), 16}});
    WriteFixture(plain);
    const std::string before = ReadBytes(file);
    EXPECT_FALSE(users.RecordResult("Ana", 1, 1, 0));
    EXPECT_FALSE(users.SetUserPassword("bea", "x"));
    EXPECT_FALSE(users.DeleteUser("an"));
    EXPECT_FALSE(users.ClearHistory("anab"));
    EXPECT_EQ(users.CountHistory("bea"), -1);
    EXPECT_EQ(users.UserExists("bea"), -1);
    EXPECT_TRUE(users.ReadHistory("bea").empty());
    EXPECT_EQ(users.GetUserPassword("bea"), "");
    EXPECT_EQ(ReadBytes(file), before);
}

// --- Deleting and passwords ------------------------------------------------------------------

struct DeleteCase {
    const char* what;
    std::string victim;
    std::vector<Rec> remaining;
};

class DeleteUserTest : public UsersFileTest, public ::testing::WithParamInterface<DeleteCase> {};

const Rec kAna{"ana", "a", History({{10, 5, 5}}), 16};
const Rec kBea{"bea", "bb",
               History({{1, 1, 0}, {2, 1, 1}, {3, 0, 3}, {4, 4, 0}, {5, 2, 2}, {6, 6, 0}}), 32};
const Rec kCarlos{"carlos", "ccc", History({{7, 3, 4}, {8, 8, 0}}), 16};

TEST_P(DeleteUserTest, RemainingUsersKeepTheirRecords) {
    WriteFixture(Layout("admin", {kAna, kBea, kCarlos}));
    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(users.DeleteUser(GetParam().victim));
    ExpectStored(Layout("admin", GetParam().remaining));
    EXPECT_EQ(*FileMode(file), kHiddenFileMode);
    EXPECT_EQ(users.UserExists(GetParam().victim), -1);
    for (const Rec& r : GetParam().remaining) {
        EXPECT_EQ(users.GetUserPassword(r.name), r.password);
        EXPECT_EQ(users.CountHistory(r.name), static_cast<int>(r.history.size() / 3));
    }
}

INSTANTIATE_TEST_SUITE_P(Users, DeleteUserTest,
                         ::testing::Values(DeleteCase{"first", "ana", {kBea, kCarlos}},
                                           DeleteCase{"middle", "bea", {kAna, kCarlos}},
                                           DeleteCase{"last", "carlos", {kAna, kBea}}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(UsersFileTest, DeletingTheOnlyUserLeavesTheHeader) {
    WriteFixture(Layout("clave", {kBea}));
    ASSERT_TRUE(users.DeleteUser("bea"));
    ExpectStored(Header(0, "clave"));
    EXPECT_TRUE(users.ListUsers().empty());
}

TEST_F(UsersFileTest, DeletedUserCanBeAddedAgain) {
    users.CreateUsersFile(file, "admin");
    users.AddUser("ana", "1");
    users.AddUser("bea", "2");
    users.AddUser("carlos", "3");
    users.RecordResult("bea", 4, 3, 1);
    ASSERT_TRUE(users.DeleteUser("ana"));
    EXPECT_EQ(users.AddUser("ana", "9"), 3);
    ExpectStored(Layout("admin", {{"bea", "2", History({{4, 3, 1}}), 16}, {"carlos", "3", "", 16},
                                  {"ana", "9", "", 16}}));
}

TEST_F(UsersFileTest, DeleteAllUsersKeepsTheAdministratorPassword) {
    WriteFixture(Layout("jefa", {kAna, kBea, kCarlos}));
    EXPECT_TRUE(users.DeleteAllUsers());
    ExpectStored(Header(0, "jefa"));
    EXPECT_EQ(users.GetAdminPassword(), "jefa");
    EXPECT_TRUE(users.ListUsers().empty());
}

TEST_F(UsersFileTest, SetAdminPasswordTouchesOnlyTheHeaderField) {
    WriteFixture(Layout("larga-clave-antigua", {kAna, kBea}));
    ::chmod(file.c_str(), 0640);
    EXPECT_TRUE(users.SetAdminPassword("nueva"));
    ExpectStored(Layout("nueva", {kAna, kBea}));
    EXPECT_EQ(users.GetAdminPassword(), "nueva");
    EXPECT_EQ(users.ListUsers(), (std::vector<std::string>{"ana", "bea"}));
    EXPECT_EQ(users.ReadHistory("bea").size(), 6u);
    EXPECT_EQ(*FileMode(file), static_cast<fs::perms>(0640));
}

TEST_F(UsersFileTest, SetUserPasswordRewritesTheWholeField) {
    WriteFixture(Layout("admin", {{"ana", "una-clave-larga", "", 16}, kBea}));
    ::chmod(file.c_str(), 0640);
    EXPECT_TRUE(users.SetUserPassword("ana", "corta"));
    ExpectStored(Layout("admin", {{"ana", "corta", "", 16}, kBea}));
    EXPECT_EQ(users.GetUserPassword("ana"), "corta");
    EXPECT_EQ(*FileMode(file), static_cast<fs::perms>(0640));
}

// --- Damaged content and missing file --------------------------------------------------------

struct DamageCase {
    const char* what;
    std::function<void(std::string&)> damage;
};

class DamagedDirectory : public UsersFileTest, public ::testing::WithParamInterface<DamageCase> {};

// Two users; the damage makes "bea" unreachable while "ana" stays intact.
TEST_P(DamagedDirectory, UserBehindTheDamageIsNotFoundAndNothingIsWritten) {
    std::string plain = Layout("admin", {kAna, {"bea", "pw", History({{9, 9, 0}}), 16}});
    GetParam().damage(plain);
    WriteFixture(plain);
    const std::string before = ReadBytes(file);
    TArchivoVexamousers::UserInfo info;
    EXPECT_FALSE(users.FindUser("bea", info));
    EXPECT_EQ(users.UserExists("bea"), -1);
    EXPECT_EQ(users.CountHistory("bea"), -1);
    EXPECT_TRUE(users.ReadHistory("bea").empty());
    EXPECT_EQ(users.GetUserPassword("bea"), "");
    EXPECT_FALSE(users.RecordResult("bea", 1, 1, 0));
    EXPECT_FALSE(users.SetUserPassword("bea", "x"));
    EXPECT_FALSE(users.ClearHistory("bea"));
    EXPECT_FALSE(users.DeleteUser("bea"));
    EXPECT_EQ(ReadBytes(file), before);
    const auto listed = users.ListUsers();
    EXPECT_EQ(std::count(listed.begin(), listed.end(), "bea"), 0);
}

const DamageCase kDamages[] = {
    {"record_offset_past_end", [](std::string& p) { PutLE32(p, 40, 100000); }},
    {"record_offset_negative", [](std::string& p) { PutLE32(p, 40, 0xFFFFFFF0u); }},
    {"record_offset_in_directory", [](std::string& p) { PutLE32(p, 40, 36); }},
    {"record_overruns_end", [](std::string& p) { PutLE32(p, 40, static_cast<std::uint32_t>(p.size()) - 70); }},
    {"history_bytes_negative", [](std::string& p) { PutLE32(p, 44, 0xFFFFFFFFu); }},
    {"history_bytes_past_end", [](std::string& p) { PutLE32(p, 44, 17); }},
    {"history_bytes_huge", [](std::string& p) { PutLE32(p, 44, 0x7FFFFFFFu); }},
    {"name_length_29", [](std::string& p) { PutLE32(p, 128, 29); }},
    {"name_length_negative", [](std::string& p) { PutLE32(p, 128, 0xFFFFFFFFu); }},
    {"user_count_cuts_directory", [](std::string& p) { PutLE32(p, 0, 1); }},
};

INSTANTIATE_TEST_SUITE_P(Users, DamagedDirectory, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(UsersFileTest, ImpossibleUserCountsReadAsNoUsers) {
    for (std::uint32_t count : {1000000u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        std::string plain = Layout("admin", {kAna, kBea});
        PutLE32(plain, 0, count);
        WriteFixture(plain);
        const std::string before = ReadBytes(file);
        EXPECT_TRUE(users.ListUsers().empty()) << count;
        EXPECT_EQ(users.CountHistory("ana"), -1);
        EXPECT_FALSE(users.RecordResult("ana", 1, 1, 0));
        EXPECT_EQ(users.AddUser("dani", "d"), -1);
        EXPECT_EQ(ReadBytes(file), before);
        EXPECT_EQ(users.GetAdminPassword(), "admin");
    }
}

// Damage that leaves every read inside the content but breaks the chain of records: the
// changes that move records would spread it, so they are refused.
class InconsistentLayout : public UsersFileTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(InconsistentLayout, StructuralChangesAreRefused) {
    std::string five = History({{1, 1, 0}, {2, 2, 0}, {3, 3, 0}, {4, 4, 0}, {5, 5, 0}});
    std::string plain = Layout("admin", {{"ana", "a", five, 16}, {"bea", "b", five, 16}});
    GetParam().damage(plain);
    WriteFixture(plain);
    const std::string before = ReadBytes(file);
    EXPECT_EQ(users.AddUser("dani", "d"), -1);
    EXPECT_FALSE(users.DeleteUser("bea"));
    EXPECT_FALSE(users.RecordResult("bea", 6, 6, 0)); // would grow the area
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(users.CountHistory("bea"), 5);
}

const DamageCase kInconsistencies[] = {
    {"user_count_too_high", [](std::string& p) { PutLE32(p, 0, 3); p += std::string(80, '\0'); }},
    {"gap_between_records", [](std::string& p) {
         PutLE32(p, 40, GetLE32(p, 40) + 8);
         p.insert(GetLE32(p, 40) - 8, 8, 'x');
     }},
    {"trailing_bytes", [](std::string& p) { p += "zz"; }},
    {"records_swapped", [](std::string& p) {
         const std::string first = p.substr(48, 80);
         p.erase(48, 80);
         p += first;
         PutLE32(p, 32, 128);
         PutLE32(p, 40, 48);
     }},
    {"password_length_too_long", [](std::string& p) { PutLE32(p, 48 + 32, 29); }},
};

INSTANTIATE_TEST_SUITE_P(Users, InconsistentLayout, ::testing::ValuesIn(kInconsistencies),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(UsersFileTest, DamagedPasswordLengthsNeverReadAsEmptyPasswords) {
    // An empty text would let an empty password in: the user is not found, and the
    // administrator's password is an error.
    for (std::uint32_t length : {29u, 0xFFFFFFFFu}) {
        std::string plain = Layout("admin", {kAna, kBea});
        PutLE32(plain, 48 + 32, length);
        WriteFixture(plain);
        EXPECT_EQ(users.ListUsers(), std::vector<std::string>{"bea"});
        EXPECT_EQ(users.CountHistory("ana"), -1);
        EXPECT_EQ(users.GetUserPassword("bea"), "bb");
        EXPECT_EQ(users.GetAdminPassword(), "admin");
        PutLE32(plain, 4, length == 29 ? 25 : length);
        WriteFixture(plain);
        EXPECT_THROW(users.GetAdminPassword(), std::runtime_error);
    }
}

TEST_F(UsersFileTest, PartialEntryAtTheEndOfTheAreaIsNotCounted) {
    // Five entries fill 15 bytes; a stray byte 16 of the area is not an entry.
    std::string five = History({{1, 1, 0}, {2, 2, 0}, {3, 3, 0}, {4, 4, 0}, {5, 5, 0}});
    std::string plain = Layout("admin", {{"ana", "a", five + "\x07", 16}});
    WriteFixture(plain);
    EXPECT_EQ(users.CountHistory("ana"), 5);
    EXPECT_EQ(users.ReadHistory("ana").size(), 5u);
}

TEST_F(UsersFileTest, HeaderShorterThan32Bytes) {
    WriteFixture(std::string("\0\0\0\0\x05\0\0\0abc", 11));
    EXPECT_TRUE(users.ListUsers().empty());
    EXPECT_THROW(users.GetAdminPassword(), std::runtime_error);
    EXPECT_FALSE(users.SetAdminPassword("x"));
    EXPECT_FALSE(users.DeleteAllUsers());
    EXPECT_EQ(users.AddUser("ana", "a"), -1);
    EXPECT_EQ(StoredPlain(), std::string("\0\0\0\0\x05\0\0\0abc", 11));
}

TEST_F(UsersFileTest, EmptyPlainContent) {
    WriteFixture("");
    EXPECT_TRUE(users.ListUsers().empty());
    EXPECT_THROW(users.GetAdminPassword(), std::runtime_error);
    EXPECT_EQ(users.CountHistory("ana"), -1);
}

TEST_F(UsersFileTest, MissingFileListsNobodyAndOtherOperationsThrow) {
    EXPECT_TRUE(users.ListUsers().empty());
    const std::vector<std::pair<const char*, std::function<void()>>> operations = {
        {"GetAdminPassword", [&] { users.GetAdminPassword(); }},
        {"CountHistory", [&] { users.CountHistory("ana"); }},
        {"UserExists", [&] { users.UserExists("ana"); }},
        {"ReadHistory", [&] { users.ReadHistory("ana"); }},
        {"GetUserPassword", [&] { users.GetUserPassword("ana"); }},
        {"AddUser", [&] { users.AddUser("ana", "a"); }},
        {"SetUserPassword", [&] { users.SetUserPassword("ana", "a"); }},
        {"SetAdminPassword", [&] { users.SetAdminPassword("a"); }},
        {"ClearHistory", [&] { users.ClearHistory("ana"); }},
        {"DeleteUser", [&] { users.DeleteUser("ana"); }},
        {"DeleteAllUsers", [&] { users.DeleteAllUsers(); }},
        {"RecordResult", [&] { users.RecordResult("ana", 1, 1, 0); }},
    };
    for (const auto& [name, op] : operations) {
        try {
            op();
            ADD_FAILURE() << name << " did not throw";
        } catch (const ECipherException&) {
            ADD_FAILURE() << name << " reported a damaged file";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find("No se encuentra el archivo de usuarios"),
                      std::string::npos)
                << name << ": " << e.what();
        }
    }
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());
}

TEST_F(UsersFileTest, DamagedEncryptedFileRaisesInvalidFileFormat) {
    WriteBytes(file, "1234567");
    EXPECT_THROW(users.GetAdminPassword(), ECipherException);
    // A final block counting more than 7 bytes.
    std::string raw = Header(0, "admin") + std::string(7, '\0') + '\x09';
    WriteBytes(file, LibcryptoEde(UsersFileKey(), raw, true));
    users.OpenUsersFile(file);
    EXPECT_THROW(users.ListUsers(), ECipherException);
}

TEST_F(UsersFileTest, WriteFailureIsReportedNotSwallowed) {
    const fs::path nowhere = dir / "no-such-folder" / kUsersFileName;
    try {
        users.CreateUsersFile(nowhere, "admin");
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("No se puede escribir"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(dir / "no-such-folder"));
}

TEST_F(UsersFileTest, SeveralObjectsSeeEachOthersChanges) {
    users.CreateUsersFile(file, "admin");
    TArchivoVexamousers other;
    other.OpenUsersFile(file);
    EXPECT_EQ(other.GetAdminPassword(), "admin");
    users.AddUser("ana", "a");
    EXPECT_EQ(users.ListUsers(), std::vector<std::string>{"ana"});
    TArchivoVexamousers third;
    third.OpenUsersFile(file);
    EXPECT_EQ(third.GetUserPassword("ana"), "a");
    EXPECT_EQ(users.Key(), UsersFileKey());
}

} // namespace
} // namespace vexamo
