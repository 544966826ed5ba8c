#pragma once
// The record-file cipher: the LMD digest (with the LBC block cipher in its finalisation),
// DES and two-key triple DES in ECB mode, the stream format with its counted final block,
// and ReplaceRange, the splice through which the users file changes.

#include <array>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vexamo {

using TKey128 = std::array<std::uint8_t, 16>;
using TDESBlock = std::array<std::uint8_t, 8>;
using TLBCBlock = std::array<std::uint8_t, 16>;

// Raised for a damaged encrypted stream; what() is "Invalid file format".
class ECipherException : public std::runtime_error {
public:
    ECipherException() : std::runtime_error("Invalid file format") {}
};

struct TDESContext {
    // The 16 round keys in the order applied, each as its eight 6-bit groups: groups 1, 3, 5, 7
    // in the high word and 2, 4, 6, 8 in the low word, at bits 26, 18, 10 and 2.
    std::array<std::uint64_t, 16> subkeys{};
    bool encrypt = true;
};

struct TTripleDESContext {
    TDESContext first;  // K1, requested direction
    TDESContext second; // K2, opposite direction
};

struct TLMDContext {
    std::int32_t digestIndex = 0;
    std::array<std::uint8_t, 256> digest{};
    std::int32_t keyIndex = 0;
    std::array<std::uint8_t, 16> key{};
};

struct TLBCContext {
    bool encrypt = true;
    int rounds = 8;
    std::array<std::array<std::uint32_t, 2>, 16> subkeys{};
};

// The passphrase's 12 Windows-1252 bytes ("bolitrampezé").
inline constexpr std::string_view kUsersFilePassphrase = "bolitrampez\xE9";

void InitLMD(TLMDContext& context);
void UpdateLMD(TLMDContext& context, const void* data, std::size_t length);
void FinalizeLMD(TLMDContext& context, void* output, std::size_t outputSize);
void HashLMD(void* output, std::size_t outputSize, const void* data, std::size_t length);
void GenerateLMDKey(void* key, std::size_t keySize, std::string_view text);
TKey128 UsersFileKey(); // GenerateLMDKey of the passphrase, 16 bytes

void InitEncryptLBC(const std::uint8_t (&key)[16], TLBCContext& context, int rounds, bool encrypt);
void EncryptLBC(const TLBCContext& context, TLBCBlock& block);

void InitEncryptDES(const TDESBlock& key, TDESContext& context, bool encrypt);
void EncryptDES(const TDESContext& context, TDESBlock& block);
void InitEncryptTripleDES(const TKey128& key, TTripleDESContext& context, bool encrypt);
void EncryptTripleDES(const TTripleDESContext& context, TDESBlock& block);

// Stream format: full 8-byte blocks, then a final block holding the remaining L mod 8 bytes,
// zeros, and the count in byte 7. Decryption throws ECipherException for a short input or a
// final count above 7; nothing is written from the failing block.
void TripleDESEncryptStream(std::istream& input, std::ostream& output, const TKey128& key,
                            bool encrypt);
// In-memory forms of the same format.
std::string TripleDESEncrypt(std::string_view plain, const TKey128& key);
std::string TripleDESDecrypt(std::string_view encrypted, const TKey128& key);
// Throws std::runtime_error when a file cannot be opened.
void TripleDESEncryptFile(const std::filesystem::path& input, const std::filesystem::path& output,
                          const TKey128& key, bool encrypt);

// Replaces `replaceCount` plain bytes at plain position `offset` (-1: the end) of the encrypted
// file with `data`. The splice happens in memory and the result replaces the file atomically,
// keeping the permission bits it had (owner-only for a new file). Returns the new plain
// length, or -1 when nothing was done (missing file with offset >= 1, a range outside the
// content, a write failure). A damaged file throws ECipherException and an unreadable one
// std::runtime_error; either way the file stays as it was.
std::int64_t ReplaceRange(const TKey128& key, const std::filesystem::path& file, std::int64_t offset,
                          std::int64_t replaceCount, const void* data, std::int64_t dataLength);

} // namespace vexamo
