#pragma once
// Test-only reference: two-key triple DES in ECB mode as libcrypto computes it, to check the
// encrypted bytes our code writes against an independent implementation.

#include "users/Cipher.h"

#include <openssl/evp.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace vexamo::testing {

inline std::string LibcryptoEde(const TKey128& key, std::string_view data, bool encrypt) {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    std::string out(data.size() + 16, '\0');
    int n = 0, m = 0;
    auto* dst = reinterpret_cast<unsigned char*>(out.data());
    bool ok = ctx != nullptr &&
              EVP_CipherInit_ex(ctx, EVP_des_ede_ecb(), nullptr, key.data(), nullptr, encrypt ? 1 : 0) == 1;
    ok = ok && EVP_CIPHER_CTX_set_padding(ctx, 0) == 1;
    ok = ok && EVP_CipherUpdate(ctx, dst, &n, reinterpret_cast<const unsigned char*>(data.data()),
                                static_cast<int>(data.size())) == 1;
    ok = ok && EVP_CipherFinal_ex(ctx, dst + n, &m) == 1;
    EVP_CIPHER_CTX_free(ctx);
    if (!ok) throw std::runtime_error("libcrypto DES-EDE failed");
    out.resize(static_cast<std::size_t>(n + m));
    return out;
}

// `plain` followed by the counted final block: the remaining bytes, zeros, and their count.
inline std::string WithFinalBlock(std::string plain) {
    const std::size_t rest = plain.size() % 8;
    plain.append(7 - rest, '\0');
    plain.push_back(static_cast<char>(rest));
    return plain;
}

} // namespace vexamo::testing
