// RecordResult on a users file of 1,000 users with 50 results each, beside its floor measured
// in the same run on the same file: one decryption plus one encryption of the whole file.
// A second fixture holds 53 results per user, so that each result grows the user's area.

#include "users/UsersFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

namespace {
namespace fs = std::filesystem;

constexpr int kUsers = 1000;

fs::path gFolder;

void PutLE32(std::string& s, std::size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>(static_cast<std::uint32_t>(v) >> (8 * i));
}

// The plain layout of `kUsers` users with `results` entries each, in areas grown 16 bytes at a
// time as the results would have grown them.
std::string PlainUsers(int results) {
    int area = 16;
    while (3 * results > area) area += 16;
    std::string plain(32 + 8 * kUsers, '\0');
    PutLE32(plain, 0, kUsers);
    PutLE32(plain, 4, 5);
    plain.replace(8, 5, "admin");
    std::int32_t offset = 32 + 8 * kUsers;
    for (int u = 0; u < kUsers; ++u) {
        PutLE32(plain, 32 + 8 * static_cast<std::size_t>(u), offset);
        PutLE32(plain, 36 + 8 * static_cast<std::size_t>(u), area);
        offset += 64 + area;
    }
    for (int u = 0; u < kUsers; ++u) {
        std::string record(64 + static_cast<std::size_t>(area), '\xFF');
        std::fill(record.begin(), record.begin() + 64, '\0');
        const std::string name = "usuario" + std::to_string(u);
        PutLE32(record, 0, static_cast<std::int32_t>(name.size()));
        record.replace(4, name.size(), name);
        PutLE32(record, 32, 4);
        record.replace(36, 4, "pass");
        for (int k = 0; k < results; ++k) {
            record[64 + 3 * static_cast<std::size_t>(k)] = static_cast<char>(20 + k % 30);
            record[65 + 3 * static_cast<std::size_t>(k)] = static_cast<char>(10 + k % 10);
            record[66 + 3 * static_cast<std::size_t>(k)] = static_cast<char>(k % 7);
        }
        plain += record;
    }
    return plain;
}

fs::path WriteUsersFile(const std::string& plain, const char* name) {
    const fs::path file = gFolder / name;
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        << vexamo::TripleDESEncrypt(plain, vexamo::UsersFileKey());
    return file;
}

std::map<int, fs::path> gFiles; // by results per user

void RunRecordResult(benchmark::State& state) {
    const int results = static_cast<int>(state.range(0));
    const fs::path file = WriteUsersFile(PlainUsers(results), "Vexamousers.bin");
    vexamo::TArchivoVexamousers users;
    users.OpenUsersFile(file);
    int u = 0;
    for (auto _ : state) {
        // A different user each time, so that with 53 results each call grows an area.
        if (!users.RecordResult("usuario" + std::to_string(u), 40, 30, 5)) {
            state.SkipWithError("RecordResult failed");
            break;
        }
        u = (u + 1) % kUsers;
    }
    state.counters["file_kB"] = static_cast<double>(fs::file_size(file)) / 1024.0;
}

// The floor: decrypting the file once and encrypting it once, in memory.
void RunFloor(benchmark::State& state) {
    const int results = static_cast<int>(state.range(0));
    const std::string encrypted = vexamo::TripleDESEncrypt(PlainUsers(results), vexamo::UsersFileKey());
    for (auto _ : state) {
        const std::string plain = vexamo::TripleDESDecrypt(encrypted, vexamo::UsersFileKey());
        benchmark::DoNotOptimize(vexamo::TripleDESEncrypt(plain, vexamo::UsersFileKey()).size());
    }
    state.counters["file_kB"] = static_cast<double>(encrypted.size()) / 1024.0;
}

void BM_RecordResult(benchmark::State& state) { RunRecordResult(state); }
void BM_DecryptPlusEncrypt(benchmark::State& state) { RunFloor(state); }

BENCHMARK(BM_RecordResult)->Arg(50)->Arg(53)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_DecryptPlusEncrypt)->Arg(50)->Arg(53)->Unit(benchmark::kMillisecond)->MinTime(1.0);

class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && r.run_type == Run::RT_Iteration)
                seconds[r.run_name.function_name + "/" + r.run_name.args] =
                    r.real_accumulated_time / static_cast<double>(r.iterations);
    }
    std::map<std::string, double> seconds;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    char tmpl[] = "/tmp/vexamo-bench-users-XXXXXX";
    if (!::mkdtemp(tmpl)) return 1;
    gFolder = tmpl;
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    for (const char* results : {"50", "53"}) {
        const double ours = collector.seconds[std::string("BM_RecordResult/") + results];
        const double floor = collector.seconds[std::string("BM_DecryptPlusEncrypt/") + results];
        if (ours > 0 && floor > 0)
            std::printf("RecordResult, 1000 users with %s results: %.2f ms; decrypt + encrypt floor "
                        "%.2f ms; ratio %.2f (goal <= 3)\n",
                        results, ours * 1e3, floor * 1e3, ours / floor);
    }
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(gFolder, ec);
    return 0;
}
