// Fuzzes the users file: decryption of arbitrary bytes, and every lookup and change over
// arbitrary plain content (the input is encrypted and written as the users file first).

#include "users/UsersFile.h"

#include "ScratchFolder.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;

const fs::path& Folder() { return vexamo::fuzz::ScratchFolder("vexamo-fuzz-users"); }

void Check(bool condition) {
    if (!condition) std::abort();
}

void Decryption(const std::string& bytes, const vexamo::TKey128& key) {
    std::string memory;
    bool memoryFailed = false;
    try {
        memory = vexamo::TripleDESDecrypt(bytes, key);
    } catch (const vexamo::ECipherException&) {
        memoryFailed = true;
    }
    std::istringstream in(bytes);
    std::ostringstream out;
    bool streamFailed = false;
    try {
        vexamo::TripleDESEncryptStream(in, out, key, false);
    } catch (const vexamo::ECipherException&) {
        streamFailed = true;
    }
    Check(memoryFailed == streamFailed);
    if (!memoryFailed) {
        Check(out.str() == memory);
        // Whole blocks but the last, then the 0 to 7 bytes its count keeps; a tail is ignored.
        const std::size_t blocks = bytes.size() / 8;
        Check(memory.size() >= 8 * (blocks - 1) && memory.size() <= 8 * (blocks - 1) + 7);
        Check(memory.compare(0, 8 * (blocks - 1), vexamo::TripleDESDecrypt(bytes.substr(0, 8 * blocks), key), 0,
                             8 * (blocks - 1)) == 0);
    }
    Check(vexamo::TripleDESDecrypt(vexamo::TripleDESEncrypt(bytes, key), key) == bytes);
}

void Lookups(vexamo::TArchivoVexamousers& users, const std::string& extraName) {
    try {
        Check(users.GetAdminPassword().size() <= 24);
    } catch (const std::runtime_error&) {
        // a damaged header
    }
    std::vector<std::string> names = users.ListUsers();
    names.push_back(extraName);
    for (const auto& name : names) {
        vexamo::TArchivoVexamousers::UserInfo info;
        const bool found = users.FindUser(name, info);
        const int count = users.CountHistory(name);
        const auto history = users.ReadHistory(name);
        Check(found == (count >= 0));
        Check(history.size() == static_cast<std::size_t>(found ? count : 0));
        Check(users.UserExists(name) == (found ? info.historyBytes : -1));
        Check(users.GetUserPassword(name).size() <= 28);
        if (found) Check(info.entryCount * 3 <= info.historyBytes);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const vexamo::TKey128 key = vexamo::UsersFileKey();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Decryption(bytes, key);

    const fs::path file = Folder() / vexamo::kUsersFileName;
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << vexamo::TripleDESEncrypt(bytes, key);
    }
    vexamo::TArchivoVexamousers users;
    users.OpenUsersFile(file);
    const std::string extra = size > 0 ? bytes.substr(0, std::min<std::size_t>(size, data[0] % 20)) : "";
    Lookups(users, extra);

    // Changes, each followed by the lookups on what it wrote.
    const std::vector<std::string> names = users.ListUsers();
    const std::string target = names.empty() ? extra : names[size % names.size()];
    const int p = size > 1 ? data[1] * 2 - 30 : 10;
    users.RecordResult(target, p, p / 2, p / 3);
    Lookups(users, target);
    users.SetUserPassword(target, "nueva");
    users.ClearHistory(target);
    users.RecordResult(target, 300, 255, -1);
    Lookups(users, target);
    const int before = static_cast<int>(users.ListUsers().size());
    const int added = users.AddUser("fuzz", "clave");
    if (added >= 0) Check(static_cast<int>(users.ListUsers().size()) >= before);
    Lookups(users, "fuzz");
    users.DeleteUser(target);
    Lookups(users, target);
    users.SetAdminPassword("admin");
    Lookups(users, extra);
    if (users.DeleteAllUsers()) Check(users.ListUsers().empty());
    return 0;
}
