#include "users/Cipher.h"

#include "platform/Files.h"
#include "platform/LittleEndian.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <fstream>
#include <istream>
#include <ostream>
#include <vector>

namespace vexamo {
namespace {

// ---------------------------------------------------------------------------------------------
// LMD digest and the LBC block cipher of its finalisation.

// The first 2048 bits of the fractional part of pi, most significant first.
constexpr std::uint8_t kPiFraction[256] = {
    0x24, 0x3F, 0x6A, 0x88, 0x85, 0xA3, 0x08, 0xD3, 0x13, 0x19, 0x8A, 0x2E, 0x03, 0x70, 0x73, 0x44,
    0xA4, 0x09, 0x38, 0x22, 0x29, 0x9F, 0x31, 0xD0, 0x08, 0x2E, 0xFA, 0x98, 0xEC, 0x4E, 0x6C, 0x89,
    0x45, 0x28, 0x21, 0xE6, 0x38, 0xD0, 0x13, 0x77, 0xBE, 0x54, 0x66, 0xCF, 0x34, 0xE9, 0x0C, 0x6C,
    0xC0, 0xAC, 0x29, 0xB7, 0xC9, 0x7C, 0x50, 0xDD, 0x3F, 0x84, 0xD5, 0xB5, 0xB5, 0x47, 0x09, 0x17,
    0x92, 0x16, 0xD5, 0xD9, 0x89, 0x79, 0xFB, 0x1B, 0xD1, 0x31, 0x0B, 0xA6, 0x98, 0xDF, 0xB5, 0xAC,
    0x2F, 0xFD, 0x72, 0xDB, 0xD0, 0x1A, 0xDF, 0xB7, 0xB8, 0xE1, 0xAF, 0xED, 0x6A, 0x26, 0x7E, 0x96,
    0xBA, 0x7C, 0x90, 0x45, 0xF1, 0x2C, 0x7F, 0x99, 0x24, 0xA1, 0x99, 0x47, 0xB3, 0x91, 0x6C, 0xF7,
    0x08, 0x01, 0xF2, 0xE2, 0x85, 0x8E, 0xFC, 0x16, 0x63, 0x69, 0x20, 0xD8, 0x71, 0x57, 0x4E, 0x69,
    0xA4, 0x58, 0xFE, 0xA3, 0xF4, 0x93, 0x3D, 0x7E, 0x0D, 0x95, 0x74, 0x8F, 0x72, 0x8E, 0xB6, 0x58,
    0x71, 0x8B, 0xCD, 0x58, 0x82, 0x15, 0x4A, 0xEE, 0x7B, 0x54, 0xA4, 0x1D, 0xC2, 0x5A, 0x59, 0xB5,
    0x9C, 0x30, 0xD5, 0x39, 0x2A, 0xF2, 0x60, 0x13, 0xC5, 0xD1, 0xB0, 0x23, 0x28, 0x60, 0x85, 0xF0,
    0xCA, 0x41, 0x79, 0x18, 0xB8, 0xDB, 0x38, 0xEF, 0x8E, 0x79, 0xDC, 0xB0, 0x60, 0x3A, 0x18, 0x0E,
    0x6C, 0x9E, 0x0E, 0x8B, 0xB0, 0x1E, 0x8A, 0x3E, 0xD7, 0x15, 0x77, 0xC1, 0xBD, 0x31, 0x4B, 0x27,
    0x78, 0xAF, 0x2F, 0xDA, 0x55, 0x60, 0x5C, 0x60, 0xE6, 0x55, 0x25, 0xF3, 0xAA, 0x55, 0xAB, 0x94,
    0x57, 0x48, 0x98, 0x62, 0x63, 0xE8, 0x14, 0x40, 0x55, 0xCA, 0x39, 0x6A, 0x2A, 0xAB, 0x10, 0xB6,
    0xB4, 0xCC, 0x5C, 0x34, 0x11, 0x41, 0xE8, 0xCE, 0xA1, 0x54, 0x86, 0xAF, 0x7C, 0x72, 0xE9, 0x93,
};

void Mix128(std::uint32_t& p, std::uint32_t& q, std::uint32_t& r, std::uint32_t& s) {
    p += s; s += p; p ^= p >> 7;
    q += p; p += q; q ^= q << 13;
    r += q; q += r; r ^= r >> 17;
    s += r; r += s; s ^= s << 9;
    p += s; s += p; p ^= p >> 3;
    q += p; p += q; q ^= q << 7;
    r += q; q += r; r ^= s >> 15; // s, not r
    s += r; r += s; s ^= s << 11;
}

void IsaacMix(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d,
              std::uint32_t& e, std::uint32_t& f, std::uint32_t& g, std::uint32_t& h) {
    a ^= b << 11; d += a; b += c;
    b ^= c >> 2;  e += b; c += d;
    c ^= d << 8;  f += c; d += e;
    d ^= e >> 16; g += d; e += f;
    e ^= f << 10; h += e; f += g;
    f ^= g >> 4;  a += f; g += h;
    g ^= h << 8;  b += g; h += a;
    h ^= a >> 9;  c += h; a += b;
}

// ---------------------------------------------------------------------------------------------
// DES tables (FIPS 46-3). Bits are numbered from 1, most significant first.

constexpr int kIP[64] = {58, 50, 42, 34, 26, 18, 10, 2,  60, 52, 44, 36, 28, 20, 12, 4,
                         62, 54, 46, 38, 30, 22, 14, 6,  64, 56, 48, 40, 32, 24, 16, 8,
                         57, 49, 41, 33, 25, 17, 9,  1,  59, 51, 43, 35, 27, 19, 11, 3,
                         61, 53, 45, 37, 29, 21, 13, 5,  63, 55, 47, 39, 31, 23, 15, 7};

constexpr int kP[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                        2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};

constexpr int kPC1[56] = {57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,
                          10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,
                          63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,
                          14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};

constexpr int kPC2[48] = {14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10,
                          23, 19, 12, 4,  26, 8,  16, 7,  27, 20, 13, 2,
                          41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48,
                          44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};

constexpr int kShifts[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

constexpr std::uint8_t kSBox[8][64] = {
    {14, 4,  13, 1, 2,  15, 11, 8,  3,  10, 6,  12, 5,  9,  0, 7,
     0,  15, 7,  4, 14, 2,  13, 1,  10, 6,  12, 11, 9,  5,  3, 8,
     4,  1,  14, 8, 13, 6,  2,  11, 15, 12, 9,  7,  3,  10, 5, 0,
     15, 12, 8,  2, 4,  9,  1,  7,  5,  11, 3,  14, 10, 0,  6, 13},
    {15, 1,  8,  14, 6,  11, 3,  4,  9,  7, 2,  13, 12, 0, 5,  10,
     3,  13, 4,  7,  15, 2,  8,  14, 12, 0, 1,  10, 6,  9, 11, 5,
     0,  14, 7,  11, 10, 4,  13, 1,  5,  8, 12, 6,  9,  3, 2,  15,
     13, 8,  10, 1,  3,  15, 4,  2,  11, 6, 7,  12, 0,  5, 14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7,  11, 4,  2,  8,
     13, 7,  0,  9,  3, 4,  6,  10, 2,  8,  5,  14, 12, 11, 15, 1,
     13, 6,  4,  9,  8, 15, 3,  0,  11, 1,  2,  12, 5,  10, 14, 7,
     1,  10, 13, 0,  6, 9,  8,  7,  4,  15, 14, 3,  11, 5,  2,  12},
    {7,  13, 14, 3, 0,  6,  9,  10, 1,  2, 8, 5,  11, 12, 4,  15,
     13, 8,  11, 5, 6,  15, 0,  3,  4,  7, 2, 12, 1,  10, 14, 9,
     10, 6,  9,  0, 12, 11, 7,  13, 15, 1, 3, 14, 5,  2,  8,  4,
     3,  15, 0,  6, 10, 1,  13, 8,  9,  4, 5, 11, 12, 7,  2,  14},
    {2,  12, 4,  1,  7,  10, 11, 6,  8,  5,  3,  15, 13, 0, 14, 9,
     14, 11, 2,  12, 4,  7,  13, 1,  5,  0,  15, 10, 3,  9, 8,  6,
     4,  2,  1,  11, 10, 13, 7,  8,  15, 9,  12, 5,  6,  3, 0,  14,
     11, 8,  12, 7,  1,  14, 2,  13, 6,  15, 0,  9,  10, 4, 5,  3},
    {12, 1,  10, 15, 9, 2,  6,  8,  0,  13, 3,  4,  14, 7,  5,  11,
     10, 15, 4,  2,  7, 12, 9,  5,  6,  1,  13, 14, 0,  11, 3,  8,
     9,  14, 15, 5,  2, 8,  12, 3,  7,  0,  4,  10, 1,  13, 11, 6,
     4,  3,  2,  12, 9, 5,  15, 10, 11, 14, 1,  7,  6,  0,  8,  13},
    {4,  11, 2,  14, 15, 0, 8,  13, 3,  12, 9, 7,  5,  10, 6, 1,
     13, 0,  11, 7,  4,  9, 1,  10, 14, 3,  5, 12, 2,  15, 8, 6,
     1,  4,  11, 13, 12, 3, 7,  14, 10, 15, 6, 8,  0,  5,  9, 2,
     6,  11, 13, 8,  1,  4, 10, 7,  9,  5,  0, 15, 14, 2,  3, 12},
    {13, 2,  8,  4, 6,  15, 11, 1,  10, 9,  3,  14, 5,  0,  12, 7,
     1,  15, 13, 8, 10, 3,  7,  4,  12, 5,  6,  11, 0,  14, 9,  2,
     7,  11, 4,  1, 9,  12, 14, 2,  0,  6,  10, 13, 15, 3,  5,  8,
     2,  1,  14, 7, 4,  10, 8,  13, 15, 12, 9,  0,  3,  5,  6,  11}};

constexpr int Bit64(std::uint64_t x, int n) { return static_cast<int>((x >> (64 - n)) & 1); }
constexpr int Bit32(std::uint32_t x, int n) { return static_cast<int>((x >> (32 - n)) & 1); }

// The round works on both halves rotated right by one bit: then the eight 6-bit groups of the
// expansion E are plain shifts of R (odd S-boxes) and of R rotated left by 4 (even S-boxes).
constexpr std::uint64_t InitialPermutation(std::uint64_t x) {
    std::uint64_t y = 0;
    for (int i = 1; i <= 64; ++i) y |= static_cast<std::uint64_t>(Bit64(x, kIP[i - 1])) << (64 - i);
    const auto l = std::rotr(static_cast<std::uint32_t>(y >> 32), 1);
    const auto r = std::rotr(static_cast<std::uint32_t>(y), 1);
    return (static_cast<std::uint64_t>(l) << 32) | r;
}

// Input: the rotated halves in output order (R16, L16); result: the ciphertext block.
constexpr std::uint64_t FinalPermutation(std::uint64_t z) {
    const auto hi = std::rotl(static_cast<std::uint32_t>(z >> 32), 1);
    const auto lo = std::rotl(static_cast<std::uint32_t>(z), 1);
    const std::uint64_t u = (static_cast<std::uint64_t>(hi) << 32) | lo;
    std::uint64_t y = 0;
    // FP is the inverse of IP: input bit i goes to output position kIP[i - 1].
    for (int i = 1; i <= 64; ++i) y |= static_cast<std::uint64_t>(Bit64(u, i)) << (64 - kIP[i - 1]);
    return y;
}

struct DesTables {
    std::uint64_t ip[8][256]{};
    std::uint64_t fp[8][256]{};
    std::uint32_t sp[8][64]{}; // S-box i followed by P, output rotated right by one
};

constexpr DesTables BuildDesTables() {
    DesTables t;
    for (int byte = 0; byte < 8; ++byte) {
        for (int v = 0; v < 256; ++v) {
            const std::uint64_t x = static_cast<std::uint64_t>(v) << (56 - 8 * byte);
            t.ip[byte][v] = InitialPermutation(x);
            t.fp[byte][v] = FinalPermutation(x);
        }
    }
    for (int box = 0; box < 8; ++box) {
        for (int x = 0; x < 64; ++x) {
            const int row = ((x >> 4) & 2) | (x & 1);
            const int col = (x >> 1) & 15;
            const std::uint32_t pre = static_cast<std::uint32_t>(kSBox[box][row * 16 + col])
                                      << (28 - 4 * box);
            std::uint32_t post = 0;
            for (int j = 1; j <= 32; ++j)
                post |= static_cast<std::uint32_t>(Bit32(pre, kP[j - 1])) << (32 - j);
            t.sp[box][x] = std::rotr(post, 1);
        }
    }
    return t;
}

constexpr DesTables kDes = BuildDesTables();

inline std::uint64_t LoadBE64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
    return v;
}

inline void StoreBE64(std::uint8_t* p, std::uint64_t v) {
    if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
    std::memcpy(p, &v, 8);
}

inline std::uint64_t Permute(const std::uint64_t (&table)[8][256], std::uint64_t x) {
    return table[0][x >> 56] | table[1][(x >> 48) & 0xFF] | table[2][(x >> 40) & 0xFF] |
           table[3][(x >> 32) & 0xFF] | table[4][(x >> 24) & 0xFF] |
           table[5][(x >> 16) & 0xFF] | table[6][(x >> 8) & 0xFF] | table[7][x & 0xFF];
}

inline std::uint32_t Feistel(std::uint32_t r, std::uint64_t subkey) {
    const std::uint32_t u = r ^ static_cast<std::uint32_t>(subkey >> 32);
    const std::uint32_t t = std::rotl(r, 4) ^ static_cast<std::uint32_t>(subkey);
    const auto& sp = kDes.sp;
    return sp[0][(u >> 26) & 63] ^ sp[2][(u >> 18) & 63] ^ sp[4][(u >> 10) & 63] ^
           sp[6][(u >> 2) & 63] ^ sp[1][(t >> 26) & 63] ^ sp[3][(t >> 18) & 63] ^
           sp[5][(t >> 10) & 63] ^ sp[7][(t >> 2) & 63];
}

inline void Rounds(const std::uint64_t* subkeys, std::uint32_t& l, std::uint32_t& r) {
    for (int i = 0; i < 16; i += 2) {
        l ^= Feistel(r, subkeys[i]);
        r ^= Feistel(l, subkeys[i + 1]);
    }
}

inline std::uint64_t TripleBlock(const TTripleDESContext& ctx, std::uint64_t x) {
    const std::uint64_t y = Permute(kDes.ip, x);
    std::uint32_t l = static_cast<std::uint32_t>(y >> 32);
    std::uint32_t r = static_cast<std::uint32_t>(y);
    // Between two DES operations the final and initial permutations cancel, leaving a swap.
    Rounds(ctx.first.subkeys.data(), l, r);
    Rounds(ctx.second.subkeys.data(), r, l);
    Rounds(ctx.first.subkeys.data(), l, r);
    return Permute(kDes.fp, (static_cast<std::uint64_t>(r) << 32) | l);
}

void TripleBlocks(const TTripleDESContext& ctx, const std::uint8_t* in, std::uint8_t* out,
                  std::size_t blocks) {
    for (std::size_t i = 0; i < blocks; ++i, in += 8, out += 8)
        StoreBE64(out, TripleBlock(ctx, LoadBE64(in)));
}

TTripleDESContext TripleContext(const TKey128& key, bool encrypt) {
    TTripleDESContext ctx;
    InitEncryptTripleDES(key, ctx, encrypt);
    return ctx;
}

[[noreturn]] void ThrowOpenError(const std::filesystem::path& file) {
    throw std::runtime_error("No se puede abrir el archivo \"" + file.string() + "\".");
}

// Reads from a stream whose length is known up front; falls back to buffering the rest of
// the stream when it cannot seek.
class StreamSource {
public:
    explicit StreamSource(std::istream& in) : in_(in) {
        const auto start = in.tellg();
        if (start != std::streampos(-1) && in.seekg(0, std::ios::end)) {
            const auto end = in.tellg();
            if (end != std::streampos(-1) && in.seekg(start)) {
                length_ = static_cast<std::uint64_t>(end - start);
                return;
            }
        }
        in.clear();
        buffered_ = true;
        rest_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        length_ = rest_.size();
    }

    std::uint64_t Length() const { return length_; }

    std::size_t Read(std::uint8_t* dst, std::size_t n) {
        if (buffered_) {
            const std::size_t k = std::min(n, rest_.size() - pos_);
            std::memcpy(dst, rest_.data() + pos_, k);
            pos_ += k;
            return k;
        }
        in_.read(reinterpret_cast<char*>(dst), static_cast<std::streamsize>(n));
        return static_cast<std::size_t>(in_.gcount());
    }

private:
    std::istream& in_;
    bool buffered_ = false;
    std::string rest_;
    std::size_t pos_ = 0;
    std::uint64_t length_ = 0;
};

void WriteOut(std::ostream& out, const std::uint8_t* data, std::size_t n) {
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(n));
    if (!out) throw std::runtime_error("No se puede escribir el resultado del cifrado.");
}

// Full blocks, in chunks; blocks read whole are written before a short read fails.
void TransformBlocks(const TTripleDESContext& ctx, StreamSource& src, std::ostream& out,
                     std::uint64_t blocks) {
    constexpr std::size_t kChunkBlocks = 4096;
    std::vector<std::uint8_t> buf(kChunkBlocks * 8);
    while (blocks > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(blocks, kChunkBlocks));
        const std::size_t got = src.Read(buf.data(), want * 8);
        const std::size_t whole = got / 8;
        TripleBlocks(ctx, buf.data(), buf.data(), whole);
        WriteOut(out, buf.data(), whole * 8);
        if (whole < want) throw ECipherException();
        blocks -= want;
    }
}

} // namespace

// -------------------------------------------------------------------------------------------------
// LMD

void InitLMD(TLMDContext& context) {
    context.digestIndex = 0;
    std::memcpy(context.digest.data(), kPiFraction, sizeof kPiFraction);
    context.keyIndex = 0;
    for (int w = 0; w < 4; ++w) PutLE32(context.key.data() + 4 * w, 0x55555555u);
}

void UpdateLMD(TLMDContext& context, const void* data, std::size_t length) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    // Indexes are kept in range whatever a caller left in the context.
    int di = context.digestIndex & 0xFF;
    int ki = std::clamp(context.keyIndex, 0, 7);
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t b = bytes[i];
        context.digest[static_cast<std::size_t>(di)] ^= b;
        di = (di + 1) & 0xFF;
        context.key[static_cast<std::size_t>(ki)] ^= b;
        if (++ki == 8) {
            std::uint8_t* k = context.key.data();
            std::uint32_t p = GetLE32(k + 12), q = GetLE32(k + 8), r = GetLE32(k + 4),
                          s = GetLE32(k);
            for (int round = 0; round < 4; ++round) Mix128(p, q, r, s);
            PutLE32(k, p);
            PutLE32(k + 4, q);
            PutLE32(k + 8, r);
            PutLE32(k + 12, s);
            ki = 0;
        }
    }
    context.digestIndex = di;
    context.keyIndex = ki;
}

void FinalizeLMD(TLMDContext& context, void* output, std::size_t outputSize) {
    static constexpr std::uint8_t kPad[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    UpdateLMD(context, kPad, static_cast<std::size_t>(8 - std::clamp(context.keyIndex, 0, 7)));
    std::uint8_t key[16];
    std::memcpy(key, context.key.data(), 16);
    TLBCContext lbc;
    InitEncryptLBC(key, lbc, 8, true);
    for (std::size_t b = 0; b < 16; ++b) {
        TLBCBlock block;
        std::memcpy(block.data(), context.digest.data() + 16 * b, 16);
        EncryptLBC(lbc, block);
        std::memcpy(context.digest.data() + 16 * b, block.data(), 16);
    }
    if (output != nullptr)
        std::memcpy(output, context.digest.data(), std::min<std::size_t>(256, outputSize));
}

void HashLMD(void* output, std::size_t outputSize, const void* data, std::size_t length) {
    TLMDContext context;
    InitLMD(context);
    UpdateLMD(context, data, length);
    FinalizeLMD(context, output, outputSize);
}

void GenerateLMDKey(void* key, std::size_t keySize, std::string_view text) {
    HashLMD(key, keySize, text.data(), text.size());
}

TKey128 UsersFileKey() {
    static const TKey128 key = [] {
        TKey128 k{};
        GenerateLMDKey(k.data(), k.size(), kUsersFilePassphrase);
        return k;
    }();
    return key;
}

// -------------------------------------------------------------------------------------------------
// LBC

void InitEncryptLBC(const std::uint8_t (&key)[16], TLBCContext& context, int rounds, bool encrypt) {
    static constexpr std::uint32_t kSalts[4] = {0x55555555u, 0xAAAAAAAAu, 0x33333333u,
                                                0xCCCCCCCCu};
    context.encrypt = encrypt;
    context.rounds = std::clamp(rounds, 4, 16);
    const std::uint32_t k0 = GetLE32(key), k1 = GetLE32(key + 4), k2 = GetLE32(key + 8),
                        k3 = GetLE32(key + 12);
    for (int j = 0; j < 4; ++j) {
        std::uint32_t a = k0, b = kSalts[j], c = k1, d = kSalts[j], e = k2, f = kSalts[j],
                      g = k3, h = kSalts[j];
        for (int i = 0; i < 8; ++i) IsaacMix(a, b, c, d, e, f, g, h);
        context.subkeys[4 * j] = {a, b};
        context.subkeys[4 * j + 1] = {c, d};
        context.subkeys[4 * j + 2] = {e, f};
        context.subkeys[4 * j + 3] = {g, h};
    }
    if (!encrypt) std::reverse(context.subkeys.begin(), context.subkeys.begin() + context.rounds);
}

void EncryptLBC(const TLBCContext& context, TLBCBlock& block) {
    std::uint32_t l0 = GetLE32(block.data()), l1 = GetLE32(block.data() + 4);
    std::uint32_t r0 = GetLE32(block.data() + 8), r1 = GetLE32(block.data() + 12);
    const int rounds = std::clamp(context.rounds, 4, 16);
    for (int i = 0; i < rounds; ++i) {
        std::uint32_t p = l0, q = context.subkeys[static_cast<std::size_t>(i)][0], r = l1,
                      s = context.subkeys[static_cast<std::size_t>(i)][1];
        Mix128(p, q, r, s);
        std::swap(p, r);
        std::swap(q, s);
        Mix128(p, q, r, s);
        const std::uint32_t t0 = r0 ^ p ^ q;
        const std::uint32_t t1 = r1 ^ r ^ s;
        r0 = l0;
        r1 = l1;
        l0 = t0;
        l1 = t1;
    }
    PutLE32(block.data(), r0);
    PutLE32(block.data() + 4, r1);
    PutLE32(block.data() + 8, l0);
    PutLE32(block.data() + 12, l1);
}

// -------------------------------------------------------------------------------------------------
// DES and triple DES

void InitEncryptDES(const TDESBlock& key, TDESContext& context, bool encrypt) {
    const std::uint64_t k = LoadBE64(key.data());
    std::uint32_t c = 0, d = 0; // 28 bits each
    for (int i = 1; i <= 28; ++i) {
        c |= static_cast<std::uint32_t>(Bit64(k, kPC1[i - 1])) << (28 - i);
        d |= static_cast<std::uint32_t>(Bit64(k, kPC1[i + 27])) << (28 - i);
    }
    for (int round = 0; round < 16; ++round) {
        const int s = kShifts[round];
        c = ((c << s) | (c >> (28 - s))) & 0x0FFFFFFFu;
        d = ((d << s) | (d >> (28 - s))) & 0x0FFFFFFFu;
        const std::uint64_t cd = (static_cast<std::uint64_t>(c) << 28) | d; // bit 1 at 2^55
        std::uint64_t sub = 0;                                             // bit 1 at 2^47
        for (int j = 1; j <= 48; ++j) sub |= ((cd >> (56 - kPC2[j - 1])) & 1) << (48 - j);
        // Odd S-boxes' groups in the high word, even ones in the low word, each group at the
        // shift where the round extracts it.
        std::uint32_t odd = 0, even = 0;
        for (int g = 0; g < 8; ++g) {
            const auto group = static_cast<std::uint32_t>((sub >> (42 - 6 * g)) & 63);
            (g % 2 == 0 ? odd : even) |= group << (26 - 8 * (g / 2));
        }
        context.subkeys[static_cast<std::size_t>(round)] =
            (static_cast<std::uint64_t>(odd) << 32) | even;
    }
    if (!encrypt) std::reverse(context.subkeys.begin(), context.subkeys.end());
    context.encrypt = encrypt;
}

void EncryptDES(const TDESContext& context, TDESBlock& block) {
    const std::uint64_t y = Permute(kDes.ip, LoadBE64(block.data()));
    std::uint32_t l = static_cast<std::uint32_t>(y >> 32);
    std::uint32_t r = static_cast<std::uint32_t>(y);
    Rounds(context.subkeys.data(), l, r);
    StoreBE64(block.data(), Permute(kDes.fp, (static_cast<std::uint64_t>(r) << 32) | l));
}

void InitEncryptTripleDES(const TKey128& key, TTripleDESContext& context, bool encrypt) {
    TDESBlock k1, k2;
    std::memcpy(k1.data(), key.data(), 8);
    std::memcpy(k2.data(), key.data() + 8, 8);
    InitEncryptDES(k1, context.first, encrypt);
    InitEncryptDES(k2, context.second, !encrypt);
}

void EncryptTripleDES(const TTripleDESContext& context, TDESBlock& block) {
    StoreBE64(block.data(), TripleBlock(context, LoadBE64(block.data())));
}

// -------------------------------------------------------------------------------------------------
// Stream format

void TripleDESEncryptStream(std::istream& input, std::ostream& output, const TKey128& key,
                            bool encrypt) {
    const TTripleDESContext ctx = TripleContext(key, encrypt);
    StreamSource src(input);
    const std::uint64_t length = src.Length();
    const std::uint64_t fullBlocks = length / 8;
    std::uint8_t last[8] = {};
    if (encrypt) {
        TransformBlocks(ctx, src, output, fullBlocks);
        const auto rest = static_cast<std::size_t>(length % 8);
        if (src.Read(last, rest) != rest) throw ECipherException();
        last[7] = static_cast<std::uint8_t>(rest);
        TripleBlocks(ctx, last, last, 1);
        WriteOut(output, last, 8);
        return;
    }
    if (fullBlocks == 0) throw ECipherException();
    TransformBlocks(ctx, src, output, fullBlocks - 1);
    if (src.Read(last, 8) != 8) throw ECipherException();
    TripleBlocks(ctx, last, last, 1);
    if (last[7] > 7) throw ECipherException(); // a valid file never counts more than 7
    WriteOut(output, last, last[7]);
}

std::string TripleDESEncrypt(std::string_view plain, const TKey128& key) {
    const TTripleDESContext ctx = TripleContext(key, true);
    const std::size_t full = plain.size() / 8;
    std::string out(8 * (full + 1), '\0');
    auto* dst = reinterpret_cast<std::uint8_t*>(out.data());
    TripleBlocks(ctx, reinterpret_cast<const std::uint8_t*>(plain.data()), dst, full);
    std::uint8_t* last = dst + 8 * full;
    const std::size_t rest = plain.size() % 8;
    std::memcpy(last, plain.data() + 8 * full, rest);
    last[7] = static_cast<std::uint8_t>(rest);
    TripleBlocks(ctx, last, last, 1);
    return out;
}

std::string TripleDESDecrypt(std::string_view encrypted, const TKey128& key) {
    const std::size_t full = encrypted.size() / 8;
    if (full == 0) throw ECipherException();
    const TTripleDESContext ctx = TripleContext(key, false);
    const auto* src = reinterpret_cast<const std::uint8_t*>(encrypted.data());
    std::uint8_t last[8];
    TripleBlocks(ctx, src + 8 * (full - 1), last, 1);
    if (last[7] > 7) throw ECipherException();
    std::string out(8 * (full - 1) + last[7], '\0');
    auto* dst = reinterpret_cast<std::uint8_t*>(out.data());
    TripleBlocks(ctx, src, dst, full - 1);
    std::memcpy(dst + 8 * (full - 1), last, last[7]);
    return out;
}

void TripleDESEncryptFile(const std::filesystem::path& input, const std::filesystem::path& output,
                          const TKey128& key, bool encrypt) {
    std::ifstream in(input, std::ios::binary);
    if (!in) ThrowOpenError(input);
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    if (!out) ThrowOpenError(output);
    TripleDESEncryptStream(in, out, key, encrypt);
    out.close();
    if (!out) throw std::runtime_error("No se puede escribir el archivo \"" + output.string() + "\".");
}

// -------------------------------------------------------------------------------------------------
// ReplaceRange

std::int64_t ReplaceRange(const TKey128& key, const std::filesystem::path& file, std::int64_t offset,
                          std::int64_t replaceCount, const void* data, std::int64_t dataLength) {
    const std::optional<std::filesystem::perms> mode = FileMode(file);
    if (!mode && offset >= 1) return -1;
    if (replaceCount < 0 || dataLength < 0 || (dataLength > 0 && data == nullptr)) return -1;

    // The plain content only ever lives in memory: no work copy is written beside the file.
    std::string plain;
    if (mode) {
        const std::optional<std::string> encrypted = ReadWholeFile(file);
        if (!encrypted) ThrowOpenError(file);
        plain = TripleDESDecrypt(*encrypted, key);
    }
    const auto length = static_cast<std::int64_t>(plain.size());
    if (offset == -1) offset = length;
    if (offset < 0 || offset > length || replaceCount > length - offset) return -1;

    const std::string_view inserted(dataLength > 0 ? static_cast<const char*>(data) : "",
                                    static_cast<std::size_t>(dataLength));
    plain.replace(static_cast<std::size_t>(offset), static_cast<std::size_t>(replaceCount),
                  inserted);
    const std::string encrypted = TripleDESEncrypt(plain, key);
    if (!WriteFileAtomically(file, encrypted, mode.value_or(kHiddenFileMode))) return -1;
    return length - replaceCount + dataLength;
}

} // namespace vexamo
