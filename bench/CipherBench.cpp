// Triple-DES stream encryption and decryption of one 8 MB buffer, beside libcrypto's two-key
// triple DES in ECB mode on the same buffer in the same run. Speeds are per CPU second, so
// other load on the machine weighs less.

#include "users/Cipher.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdio>
#include <map>
#include <random>
#include <sstream>
#include <string>

namespace {

constexpr std::size_t kBufferSize = 8u << 20;

const vexamo::TKey128& Key() {
    static const vexamo::TKey128 key = vexamo::UsersFileKey();
    return key;
}

const std::string& Plain() {
    static const std::string data = [] {
        std::string s(kBufferSize, '\0');
        std::mt19937 rng(42);
        for (auto& c : s) c = static_cast<char>(rng());
        return s;
    }();
    return data;
}

const std::string& Encrypted() {
    static const std::string data = vexamo::TripleDESEncrypt(Plain(), Key());
    return data;
}

void RunStream(benchmark::State& state, const std::string& input, bool encrypt) {
    for (auto _ : state) {
        std::istringstream in(input);
        std::ostringstream out;
        vexamo::TripleDESEncryptStream(in, out, Key(), encrypt);
        benchmark::DoNotOptimize(out.str().size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBufferSize));
}

void BM_StreamEncrypt(benchmark::State& state) { RunStream(state, Plain(), true); }
void BM_StreamDecrypt(benchmark::State& state) { RunStream(state, Encrypted(), false); }

void BM_MemoryEncrypt(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(vexamo::TripleDESEncrypt(Plain(), Key()).size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBufferSize));
}

void BM_MemoryDecrypt(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(vexamo::TripleDESDecrypt(Encrypted(), Key()).size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBufferSize));
}

// The anchor: EVP DES-EDE-ECB over the same bytes, without padding.
void RunLibcrypto(benchmark::State& state, const std::string& input, bool encrypt) {
    std::string out(input.size() + 16, '\0');
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    for (auto _ : state) {
        int n = 0, m = 0;
        auto* dst = reinterpret_cast<unsigned char*>(out.data());
        if (EVP_CipherInit_ex(ctx, EVP_des_ede_ecb(), nullptr, Key().data(), nullptr, encrypt) != 1 ||
            EVP_CIPHER_CTX_set_padding(ctx, 0) != 1 ||
            EVP_CipherUpdate(ctx, dst, &n, reinterpret_cast<const unsigned char*>(input.data()),
                             static_cast<int>(input.size() / 8 * 8)) != 1 ||
            EVP_CipherFinal_ex(ctx, dst + n, &m) != 1) {
            state.SkipWithError("libcrypto failed");
            break;
        }
        benchmark::DoNotOptimize(out.data());
    }
    EVP_CIPHER_CTX_free(ctx);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBufferSize));
}

void BM_LibcryptoEncrypt(benchmark::State& state) { RunLibcrypto(state, Plain(), true); }
void BM_LibcryptoDecrypt(benchmark::State& state) { RunLibcrypto(state, Encrypted(), false); }

BENCHMARK(BM_StreamEncrypt)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LibcryptoEncrypt)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_StreamDecrypt)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LibcryptoDecrypt)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_MemoryEncrypt)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_MemoryDecrypt)->Unit(benchmark::kMillisecond)->MinTime(1.0);

class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && r.run_type == Run::RT_Iteration)
                speed[r.run_name.function_name] = r.counters.at("bytes_per_second").value;
    }
    std::map<std::string, double> speed;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Encrypted(); // build the buffers before timing
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto line = [&](const char* what, const char* ours, const char* anchor) {
        const double a = collector.speed[ours], b = collector.speed[anchor];
        if (a > 0 && b > 0)
            std::printf("%s 8 MB: ours %.1f MB/s, libcrypto DES-EDE-ECB %.1f MB/s, ratio %.2f (goal >= 0.80)\n",
                        what, a / 1e6, b / 1e6, a / b);
    };
    line("Stream encryption", "BM_StreamEncrypt", "BM_LibcryptoEncrypt");
    line("Stream decryption", "BM_StreamDecrypt", "BM_LibcryptoDecrypt");
    line("In-memory encryption", "BM_MemoryEncrypt", "BM_LibcryptoEncrypt");
    line("In-memory decryption", "BM_MemoryDecrypt", "BM_LibcryptoDecrypt");
    benchmark::Shutdown();
    return 0;
}
