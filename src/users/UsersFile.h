#pragma once
// The users file "Vexamousers.bin": administrator password, named users and their test
// histories, always stored encrypted. The object works on a decrypted copy in memory.

#include "users/Cipher.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vexamo {

inline constexpr const char* kUsersFileName = "Vexamousers.bin";
inline constexpr int kMaxUserNameLength = 16;
inline constexpr int kMaxPasswordLength = 16;

struct HistoryEntry {
    std::uint8_t presented = 0;
    std::uint8_t right = 0;
    std::uint8_t wrong = 0;
    bool operator==(const HistoryEntry&) const = default;
};

class TArchivo {
public:
    const TKey128& Key() const { return key_; }

protected:
    void DeriveKey(std::string_view passphrase);
    TKey128 key_{};
};

// Operations on a file that does not exist or is damaged throw: std::runtime_error for a file
// that cannot be opened, ECipherException ("Invalid file format") for a damaged one.
// Structures inside the plain content (counts, offsets, lengths) are checked against its size:
// a user whose entry points outside the content is not found. The changes that move records
// (AddUser, DeleteUser, a RecordResult that grows an area) return -1 / false and write nothing
// unless the records follow the directory one after the other as the format lays them out.
// Every change replaces the file in one atomic step; a file that cannot be written throws
// std::runtime_error. Texts longer than their fields throw std::invalid_argument.
class TArchivoVexamousers : public TArchivo {
public:
    struct UserInfo {
        int index = -1;
        std::int32_t recordOffset = 0;
        std::int32_t historyBytes = 0;
        int entryCount = 0;
    };

    TArchivoVexamousers(); // derives the key; OpenUsersFile sets the path

    void OpenUsersFile(const std::filesystem::path& path);
    void CreateUsersFile(const std::filesystem::path& path, std::string_view adminPassword);
    bool Exists() const;
    const std::filesystem::path& Path() const { return path_; }

    // Sorted as the Spanish collation does (case and accents aside first, Ñ after N);
    // empty when the file does not exist.
    std::vector<std::string> ListUsers();
    bool FindUser(std::string_view name, UserInfo& info);
    int UserExists(std::string_view name);   // -1, or historyBytes
    int CountHistory(std::string_view name); // -1 when there is no such user
    std::vector<HistoryEntry> ReadHistory(std::string_view name);
    int AddUser(std::string_view name, std::string_view password);
    std::string GetUserPassword(std::string_view name);
    std::string GetAdminPassword(); // throws std::runtime_error when the header is damaged
    bool SetUserPassword(std::string_view name, std::string_view password);
    bool SetAdminPassword(std::string_view password);
    bool ClearHistory(std::string_view name);
    bool DeleteUser(std::string_view name);
    bool DeleteAllUsers();
    // Counts are stored clamped to 0..254: a 255 in the first byte would end the list.
    bool RecordResult(std::string_view name, int presented, int right, int wrong);

    // The plain content as last loaded (tests and tools).
    const std::string& PlainContent();

private:
    void LoadUsersFile();
    void EnsureLoaded();
    std::int32_t ReadInt32(std::int64_t pos) const;
    // Number of users when the directory fits in the content, else -1.
    std::int32_t CheckedUserCount() const;
    // Directory entry `index` when it points at a whole record after the directory, with name
    // and password lengths that fit their fields.
    bool ReadEntry(std::int32_t userCount, std::int32_t index, UserInfo& info) const;
    int CountEntries(const UserInfo& info) const;
    // The invariants every structural change relies on: records follow the directory one
    // after the other, in directory order, and the content ends with the last one.
    bool LayoutConsistent() const;
    // Replaces the file with `plain`, encrypted, in one atomic step; the buffer turns stale.
    void SaveUsersFile(const std::string& plain, std::filesystem::perms mode);
    void SaveKeepingMode(const std::string& plain);

    std::filesystem::path path_;
    std::string buffer_; // plain content; size() is the valid length
    bool loaded_ = false;
};

} // namespace vexamo
