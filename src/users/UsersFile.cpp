#include "users/UsersFile.h"

#include "platform/Cp1252.h"
#include "platform/Files.h"
#include "platform/LittleEndian.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace vexamo {
namespace {

constexpr std::int64_t kHeaderSize = 32;
constexpr std::int64_t kEntrySize = 8;
constexpr std::int64_t kRecordFixedSize = 64; // name and password fields before the history
constexpr std::size_t kRecordFieldSize = 28;
constexpr std::size_t kAdminFieldSize = 24;
constexpr std::int32_t kInitialHistoryBytes = 16;
constexpr std::int32_t kHistoryGrowth = 16;
constexpr char kEndOfList = '\xFF';
constexpr int kMaxStoredCount = 254;

void PutInt32(std::string& bytes, std::size_t pos, std::int32_t value) {
    PutLE32(bytes.data() + pos, static_cast<std::uint32_t>(value));
}

// A length followed by the text zero-filled to `width`.
std::string LengthAndField(std::string_view text, std::size_t width) {
    std::string out(4 + width, '\0');
    PutInt32(out, 0, static_cast<std::int32_t>(text.size()));
    std::copy(text.begin(), text.end(), out.begin() + 4);
    return out;
}

void CheckFits(std::string_view text, std::size_t width, const char* what) {
    if (text.size() > width)
        throw std::invalid_argument(std::string(what) + " tiene más de " + std::to_string(width) +
                                    " caracteres.");
}

char StoredCount(int count) { return static_cast<char>(std::clamp(count, 0, kMaxStoredCount)); }

// Letters compare by their base letter first (accents and case aside), with Ñ a letter of its
// own after N, as the Spanish collation does; then accents, then lower case before upper.
int PrimaryWeight(std::uint8_t byte) {
    const std::uint8_t l = LowerCp1252(byte);
    int base = l;
    if (l >= 0xE0 && l <= 0xE5) base = 'a';
    else if (l == 0xE7) base = 'c';
    else if (l >= 0xE8 && l <= 0xEB) base = 'e';
    else if (l >= 0xEC && l <= 0xEF) base = 'i';
    else if (l == 0xF1) return 'n' * 2 + 1;
    else if ((l >= 0xF2 && l <= 0xF6) || l == 0xF8) base = 'o';
    else if (l >= 0xF9 && l <= 0xFC) base = 'u';
    else if (l == 0xFD || l == 0xFF) base = 'y';
    else if (l == 0x9A) base = 's';
    else if (l == 0x9E) base = 'z';
    return base * 2;
}

template <class Weight>
int CompareBy(std::string_view a, std::string_view b, Weight weight) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int wa = weight(static_cast<std::uint8_t>(a[i]));
        const int wb = weight(static_cast<std::uint8_t>(b[i]));
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool CollatesBefore(std::string_view a, std::string_view b) {
    if (const int c = CompareBy(a, b, PrimaryWeight)) return c < 0;
    if (const int c = CompareBy(a, b, [](std::uint8_t x) { return int{LowerCp1252(x)}; })) return c < 0;
    if (const int c = CompareBy(a, b, [](std::uint8_t x) { return LowerCp1252(x) != x ? 1 : 0; }))
        return c < 0;
    return a < b;
}

} // namespace

void TArchivo::DeriveKey(std::string_view passphrase) {
    GenerateLMDKey(key_.data(), key_.size(), passphrase);
}

TArchivoVexamousers::TArchivoVexamousers() { DeriveKey(kUsersFilePassphrase); }

void TArchivoVexamousers::OpenUsersFile(const std::filesystem::path& path) {
    path_ = path;
    buffer_.clear();
    buffer_.reserve(16384);
    loaded_ = false;
}

bool TArchivoVexamousers::Exists() const {
    std::error_code ec;
    return !path_.empty() && std::filesystem::exists(path_, ec);
}

void TArchivoVexamousers::CreateUsersFile(const std::filesystem::path& path,
                                          std::string_view adminPassword) {
    path_ = path;
    CheckFits(adminPassword, kAdminFieldSize, "La contraseña");
    // Writing a header in front of existing users would destroy them.
    if (Exists())
        throw std::runtime_error("El archivo de usuarios \"" + path_.string() + "\" ya existe.");
    std::string header(4, '\0');
    header += LengthAndField(adminPassword, kAdminFieldSize);
    SaveUsersFile(header, kHiddenFileMode);
}

void TArchivoVexamousers::LoadUsersFile() {
    loaded_ = false;
    const std::optional<std::string> encrypted = ReadWholeFile(path_);
    if (!encrypted) {
        if (!Exists())
            throw std::runtime_error("No se encuentra el archivo de usuarios \"" + path_.string() +
                                     "\".");
        throw std::runtime_error("No se puede abrir el archivo de usuarios \"" + path_.string() +
                                 "\".");
    }
    buffer_ = TripleDESDecrypt(*encrypted, key_);
    loaded_ = true;
}

void TArchivoVexamousers::EnsureLoaded() {
    if (!loaded_) LoadUsersFile();
}

const std::string& TArchivoVexamousers::PlainContent() {
    EnsureLoaded();
    return buffer_;
}

std::int32_t TArchivoVexamousers::ReadInt32(std::int64_t pos) const {
    if (pos < 0 || pos + 4 > static_cast<std::int64_t>(buffer_.size())) return -1;
    return static_cast<std::int32_t>(GetLE32(buffer_.data() + pos));
}

std::int32_t TArchivoVexamousers::CheckedUserCount() const {
    const std::int32_t n = ReadInt32(0);
    if (n < 0 || kHeaderSize + kEntrySize * n > static_cast<std::int64_t>(buffer_.size())) return -1;
    return n;
}

bool TArchivoVexamousers::ReadEntry(std::int32_t userCount, std::int32_t index,
                                    UserInfo& info) const {
    const std::int64_t size = static_cast<std::int64_t>(buffer_.size());
    const std::int32_t offset = ReadInt32(kHeaderSize + kEntrySize * index);
    const std::int32_t historyBytes = ReadInt32(kHeaderSize + kEntrySize * index + 4);
    if (offset < kHeaderSize + kEntrySize * userCount || historyBytes < 0 ||
        offset + kRecordFixedSize + historyBytes > size)
        return false;
    // A damaged password length must not read as an empty password that anybody could type.
    const std::int32_t nameLength = ReadInt32(offset);
    const std::int32_t passwordLength = ReadInt32(static_cast<std::int64_t>(offset) + 32);
    constexpr auto kField = static_cast<std::int32_t>(kRecordFieldSize);
    if (nameLength < 0 || nameLength > kField || passwordLength < 0 || passwordLength > kField)
        return false;
    info.index = index;
    info.recordOffset = offset;
    info.historyBytes = historyBytes;
    return true;
}

int TArchivoVexamousers::CountEntries(const UserInfo& info) const {
    // Only whole entries inside the area count, so no entry ever reaches past it.
    const std::size_t area = static_cast<std::size_t>(info.recordOffset + kRecordFixedSize);
    int k = 0;
    while (3 * k + 3 <= info.historyBytes && buffer_[area + 3 * static_cast<std::size_t>(k)] != kEndOfList)
        ++k;
    return k;
}

bool TArchivoVexamousers::LayoutConsistent() const {
    const std::int32_t n = CheckedUserCount();
    if (n < 0) return false;
    std::int64_t expected = kHeaderSize + kEntrySize * n;
    for (std::int32_t i = 0; i < n; ++i) {
        UserInfo info;
        if (!ReadEntry(n, i, info) || info.recordOffset != expected) return false;
        expected += kRecordFixedSize + info.historyBytes;
    }
    return expected == static_cast<std::int64_t>(buffer_.size());
}

bool TArchivoVexamousers::FindUser(std::string_view name, UserInfo& info) {
    EnsureLoaded();
    const std::int32_t n = CheckedUserCount();
    for (std::int32_t i = 0; i < n; ++i) {
        UserInfo candidate;
        if (!ReadEntry(n, i, candidate)) continue;
        const auto length = static_cast<std::size_t>(ReadInt32(candidate.recordOffset));
        if (std::string_view(buffer_).substr(static_cast<std::size_t>(candidate.recordOffset) + 4,
                                             length) != name)
            continue;
        candidate.entryCount = CountEntries(candidate);
        info = candidate;
        return true;
    }
    return false;
}

std::vector<std::string> TArchivoVexamousers::ListUsers() {
    std::vector<std::string> names;
    if (!Exists()) return names;
    EnsureLoaded();
    const std::int32_t n = CheckedUserCount();
    for (std::int32_t i = 0; i < n; ++i) {
        UserInfo info;
        if (!ReadEntry(n, i, info)) continue;
        names.push_back(buffer_.substr(static_cast<std::size_t>(info.recordOffset) + 4,
                                       static_cast<std::size_t>(ReadInt32(info.recordOffset))));
    }
    std::stable_sort(names.begin(), names.end(), CollatesBefore);
    return names;
}

int TArchivoVexamousers::UserExists(std::string_view name) {
    UserInfo info;
    return FindUser(name, info) ? info.historyBytes : -1;
}

int TArchivoVexamousers::CountHistory(std::string_view name) {
    UserInfo info;
    return FindUser(name, info) ? info.entryCount : -1;
}

std::vector<HistoryEntry> TArchivoVexamousers::ReadHistory(std::string_view name) {
    std::vector<HistoryEntry> entries;
    UserInfo info;
    if (!FindUser(name, info)) return entries;
    const std::size_t area = static_cast<std::size_t>(info.recordOffset + kRecordFixedSize);
    for (int k = 0; k < info.entryCount; ++k) {
        const std::size_t at = area + 3 * static_cast<std::size_t>(k);
        entries.push_back({static_cast<std::uint8_t>(buffer_[at]),
                           static_cast<std::uint8_t>(buffer_[at + 1]),
                           static_cast<std::uint8_t>(buffer_[at + 2])});
    }
    return entries;
}

std::string TArchivoVexamousers::GetUserPassword(std::string_view name) {
    UserInfo info;
    if (!FindUser(name, info)) return {};
    return buffer_.substr(static_cast<std::size_t>(info.recordOffset) + 36,
                          static_cast<std::size_t>(ReadInt32(info.recordOffset + 32)));
}

std::string TArchivoVexamousers::GetAdminPassword() {
    EnsureLoaded();
    const std::int32_t length = ReadInt32(4);
    // An empty text would let anybody in with an empty password: a damaged header is an error.
    if (static_cast<std::int64_t>(buffer_.size()) < kHeaderSize || length < 0 ||
        length > static_cast<std::int32_t>(kAdminFieldSize))
        throw std::runtime_error("El archivo de usuarios \"" + path_.string() + "\" está dañado.");
    return buffer_.substr(8, static_cast<std::size_t>(length));
}

int TArchivoVexamousers::AddUser(std::string_view name, std::string_view password) {
    CheckFits(name, kRecordFieldSize, "El nombre");
    CheckFits(password, kRecordFieldSize, "La contraseña");
    EnsureLoaded();
    const std::int32_t n = CheckedUserCount();
    const auto size = static_cast<std::int64_t>(buffer_.size());
    if (!LayoutConsistent() || n == std::numeric_limits<std::int32_t>::max() ||
        size + kEntrySize + kRecordFixedSize + kInitialHistoryBytes >
            std::numeric_limits<std::int32_t>::max())
        return -1;
    // The file as the count, directory-entry and record splices leave it, built in one go:
    // the directory grows by one entry, every older record moves 8 bytes on, and the new
    // record goes at the end.
    const auto directoryEnd = static_cast<std::size_t>(kHeaderSize + kEntrySize * n);
    std::string plain;
    plain.reserve(static_cast<std::size_t>(size + kEntrySize + kRecordFixedSize + kInitialHistoryBytes));
    plain.append(buffer_, 0, directoryEnd);
    PutInt32(plain, 0, n + 1);
    for (std::int32_t i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(kHeaderSize + kEntrySize * i);
        PutInt32(plain, at, ReadInt32(static_cast<std::int64_t>(at)) + static_cast<std::int32_t>(kEntrySize));
    }
    std::string entry(8, '\0');
    PutInt32(entry, 0, static_cast<std::int32_t>(size + kEntrySize));
    PutInt32(entry, 4, kInitialHistoryBytes);
    plain += entry;
    plain.append(buffer_, directoryEnd);
    plain += LengthAndField(name, kRecordFieldSize);
    plain += LengthAndField(password, kRecordFieldSize);
    plain.append(static_cast<std::size_t>(kInitialHistoryBytes), kEndOfList);
    SaveUsersFile(plain, kHiddenFileMode);
    return n + 1;
}

bool TArchivoVexamousers::SetUserPassword(std::string_view name, std::string_view password) {
    CheckFits(password, kRecordFieldSize, "La contraseña");
    UserInfo info;
    if (!FindUser(name, info)) return false;
    std::string plain = buffer_;
    plain.replace(static_cast<std::size_t>(info.recordOffset) + 32, 4 + kRecordFieldSize,
                  LengthAndField(password, kRecordFieldSize));
    SaveKeepingMode(plain);
    return true;
}

bool TArchivoVexamousers::SetAdminPassword(std::string_view password) {
    CheckFits(password, kAdminFieldSize, "La contraseña");
    EnsureLoaded();
    if (static_cast<std::int64_t>(buffer_.size()) < kHeaderSize) return false;
    std::string plain = buffer_;
    plain.replace(4, 4 + kAdminFieldSize, LengthAndField(password, kAdminFieldSize));
    SaveKeepingMode(plain);
    return true;
}

bool TArchivoVexamousers::ClearHistory(std::string_view name) {
    UserInfo info;
    if (!FindUser(name, info)) return false;
    std::string plain = buffer_;
    std::fill_n(plain.begin() + info.recordOffset + kRecordFixedSize, info.historyBytes, kEndOfList);
    SaveKeepingMode(plain);
    return true;
}

bool TArchivoVexamousers::DeleteUser(std::string_view name) {
    UserInfo info;
    if (!FindUser(name, info) || !LayoutConsistent()) return false;
    const std::int32_t n = CheckedUserCount();
    const std::int64_t recordLength = kRecordFixedSize + info.historyBytes;
    // Count, directory and record splices in one: the directory loses the entry (records move
    // 8 bytes back), and the records that followed the removed one move back by its length.
    std::string plain;
    plain.reserve(buffer_.size());
    plain.append(buffer_, 0, static_cast<std::size_t>(kHeaderSize));
    PutInt32(plain, 0, n - 1);
    for (std::int32_t j = 0; j < n; ++j) {
        if (j == info.index) continue;
        const std::int64_t at = kHeaderSize + kEntrySize * j;
        const std::int32_t original = ReadInt32(at);
        std::int64_t offset = static_cast<std::int64_t>(original) - kEntrySize;
        if (original > info.recordOffset) offset -= recordLength;
        std::string entry(8, '\0');
        PutInt32(entry, 0, static_cast<std::int32_t>(offset));
        PutInt32(entry, 4, ReadInt32(at + 4));
        plain += entry;
    }
    const auto directoryEnd = static_cast<std::size_t>(kHeaderSize + kEntrySize * n);
    const auto recordStart = static_cast<std::size_t>(info.recordOffset);
    plain.append(buffer_, directoryEnd, recordStart - directoryEnd);
    plain.append(buffer_, recordStart + static_cast<std::size_t>(recordLength));
    SaveUsersFile(plain, kHiddenFileMode);
    return true;
}

bool TArchivoVexamousers::DeleteAllUsers() {
    EnsureLoaded();
    if (static_cast<std::int64_t>(buffer_.size()) < kHeaderSize) return false;
    std::string plain = buffer_.substr(0, static_cast<std::size_t>(kHeaderSize));
    PutInt32(plain, 0, 0);
    SaveUsersFile(plain, kHiddenFileMode);
    return true;
}

bool TArchivoVexamousers::RecordResult(std::string_view name, int presented, int right, int wrong) {
    UserInfo info;
    if (!FindUser(name, info)) return false;
    const std::string entry = {StoredCount(presented), StoredCount(right), StoredCount(wrong)};
    const std::size_t pos = static_cast<std::size_t>(info.recordOffset + kRecordFixedSize) +
                            3 * static_cast<std::size_t>(info.entryCount);
    std::string plain;
    if (3 * info.entryCount + 3 <= info.historyBytes) {
        plain = buffer_;
        plain.replace(pos, 3, entry);
        SaveKeepingMode(plain);
        return true;
    }
    if (!LayoutConsistent() ||
        static_cast<std::int64_t>(buffer_.size()) + kHistoryGrowth > std::numeric_limits<std::int32_t>::max())
        return false;
    // The area is full: it grows by 16 bytes (the entry and thirteen end markers) at the
    // entry's position, and every record after this one moves 16 bytes on.
    plain.reserve(buffer_.size() + kHistoryGrowth);
    plain.append(buffer_, 0, pos);
    plain += entry;
    plain.append(kHistoryGrowth - 3, kEndOfList);
    plain.append(buffer_, pos);
    const std::int32_t n = CheckedUserCount();
    for (std::int32_t j = 0; j < n; ++j) {
        const std::int64_t at = kHeaderSize + kEntrySize * j;
        const std::int32_t offset = ReadInt32(at);
        if (j == info.index)
            PutInt32(plain, static_cast<std::size_t>(at + 4), info.historyBytes + kHistoryGrowth);
        else if (offset > info.recordOffset)
            PutInt32(plain, static_cast<std::size_t>(at), offset + kHistoryGrowth);
    }
    SaveUsersFile(plain, kHiddenFileMode);
    return true;
}

void TArchivoVexamousers::SaveUsersFile(const std::string& plain, std::filesystem::perms mode) {
    loaded_ = false;
    if (!WriteFileAtomically(path_, TripleDESEncrypt(plain, key_), mode))
        throw std::runtime_error("No se puede escribir el archivo de usuarios \"" + path_.string() +
                                 "\".");
}

void TArchivoVexamousers::SaveKeepingMode(const std::string& plain) {
    SaveUsersFile(plain, FileMode(path_).value_or(kHiddenFileMode));
}

} // namespace vexamo
