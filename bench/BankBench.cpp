// Subject files at scale: the index rebuild against a plain read of the same question file,
// and the peak memory of the rebuild and of a block-by-block scan for a 5 MB and a 50 MB
// subject, which must not grow with the subject.

#include "bank/SubjectFiles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <map>
#include <span>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {
namespace fs = std::filesystem;
using vexamo::SubjectPaths;

fs::path gFolder;
std::map<int, SubjectPaths> gSubjects; // by size in MB

// A question file of about `megabytes` MB of records of varied lengths.
SubjectPaths MakeSubject(int megabytes) {
    const fs::path dir = gFolder / ("Materia" + std::to_string(megabytes));
    fs::create_directories(dir);
    SubjectPaths paths{dir / "Materia.txt", dir / "Off_Materia.bin"};
    std::ofstream out(paths.questionFile, std::ios::binary);
    const std::size_t target = static_cast<std::size_t>(megabytes) << 20;
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    const std::string words[] = {"ley ", "art\xED" "culo ", "plazo ", "recurso ", "\xF3rgano ",
                                 "procedimiento ", "de ", "la ", "el ", "administraci\xF3n "};
    std::string record;
    std::size_t written = 0;
    while (written < target) {
        record.clear();
        auto line = [&](std::uint32_t minWords, std::uint32_t spread) {
            for (std::uint32_t w = minWords + next(spread); w > 0; --w) record += words[next(10)];
            record += "\r\n";
        };
        line(8, 30);
        const int answers = next(4) == 0 ? 5 : 4;
        for (int a = 0; a < answers; ++a) line(2, 12);
        record += '=';
        record += static_cast<char>('A' + next(static_cast<std::uint32_t>(answers)));
        record += "\r\n\r\n";
        out << record;
        written += record.size();
    }
    out.close();
    vexamo::RebuildIndexFile(paths);
    return paths;
}

long StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + key.size());
    return -1;
}

// Peak resident memory added by `work`: the high-water mark is reset to the current size
// first (clear_refs "5"), so earlier peaks of the process do not hide the figure.
template <typename Work>
long PeakGrowthKb(Work&& work) {
    {
        std::ofstream reset("/proc/self/clear_refs");
        reset << "5";
    }
    const long before = StatusKb("VmRSS");
    work();
    return StatusKb("VmHWM") - before;
}

std::uint64_t FileSize(const SubjectPaths& p) { return fs::file_size(p.questionFile); }

// The subject whose size in MB is the benchmark's argument.
const SubjectPaths& SubjectOf(const benchmark::State& state) {
    return gSubjects.at(static_cast<int>(state.range(0)));
}

void BM_PlainRead(benchmark::State& state) {
    const SubjectPaths& p = SubjectOf(state);
    std::vector<char> buffer(64 * 1024);
    for (auto _ : state) {
        const int fd = ::open(p.questionFile.c_str(), O_RDONLY);
        std::uint64_t sum = 0;
        ssize_t n;
        while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) sum += buffer[n - 1];
        ::close(fd);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileSize(p)));
}

void BM_RebuildIndex(benchmark::State& state) {
    const SubjectPaths& p = SubjectOf(state);
    std::uint32_t count = 0;
    for (auto _ : state) count = vexamo::RebuildIndexFile(p).value_or(0);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileSize(p)));
    state.counters["questions"] = count;
}

std::uint32_t ScanBlocks(const SubjectPaths& p) {
    const std::uint32_t count = vexamo::IndexCount(p);
    std::vector<char> buffer(vexamo::kQuestionBlockCapacity);
    std::uint32_t first = 0;
    while (first < count) {
        const auto block = vexamo::ReadQuestionBlock(p, first, count, std::span<char>(buffer));
        benchmark::DoNotOptimize(buffer.data());
        first += block.questions;
    }
    return first;
}

void BM_RebuildIndexPeakMemory(benchmark::State& state) {
    const SubjectPaths& p = SubjectOf(state);
    long peak = 0;
    for (auto _ : state)
        peak = std::max(peak, PeakGrowthKb([&] { vexamo::RebuildIndexFile(p); }));
    state.counters["peak_kB"] = static_cast<double>(peak);
    state.counters["MB"] = static_cast<double>(FileSize(p) >> 20);
}

void BM_ScanBlocksPeakMemory(benchmark::State& state) {
    const SubjectPaths& p = SubjectOf(state);
    long peak = 0;
    std::uint32_t questions = 0;
    for (auto _ : state)
        peak = std::max(peak, PeakGrowthKb([&] { questions = ScanBlocks(p); }));
    state.counters["peak_kB"] = static_cast<double>(peak);
    state.counters["questions"] = questions;
}

// Anchor for the memory figures: loading the whole file, which the subject files never do,
// shows that the meter sees memory that grows with the subject.
void BM_WholeFilePeakMemory(benchmark::State& state) {
    const SubjectPaths& p = SubjectOf(state);
    long peak = 0;
    for (auto _ : state) {
        peak = std::max(peak, PeakGrowthKb([&] {
            std::ifstream in(p.questionFile, std::ios::binary);
            std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            benchmark::DoNotOptimize(all.data());
        }));
    }
    state.counters["peak_kB"] = static_cast<double>(peak);
}

BENCHMARK(BM_PlainRead)->Arg(50)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildIndex)->Arg(50)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildIndexPeakMemory)->Arg(5)->Arg(50)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanBlocksPeakMemory)->Arg(5)->Arg(50)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeFilePeakMemory)->Arg(5)->Arg(50)->Iterations(3)->Unit(benchmark::kMillisecond);

// Keeps the figures the summary lines need.
class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            for (const auto& [name, counter] : r.counters) values[r.benchmark_name()][name] = counter.value;
    }
    std::map<std::string, std::map<std::string, double>> values;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    char tmpl[] = "/tmp/vexamo-bench-bank-XXXXXX";
    if (!::mkdtemp(tmpl)) return 1;
    gFolder = tmpl;
    gSubjects[5] = MakeSubject(5);
    gSubjects[50] = MakeSubject(50);

    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto& v = collector.values;
    const double plain = v["BM_PlainRead/50/real_time"]["bytes_per_second"];
    const double rebuild = v["BM_RebuildIndex/50/real_time"]["bytes_per_second"];
    if (plain > 0 && rebuild > 0)
        std::printf("RebuildIndex 50 MB: %.0f MB/s; plain read: %.0f MB/s; ratio %.2f (goal >= 0.30)\n",
                    rebuild / 1e6, plain / 1e6, rebuild / plain);
    auto peak = [&](const char* bench, int mb) {
        return v[std::string(bench) + "/" + std::to_string(mb) + "/iterations:3"]["peak_kB"];
    };
    const std::pair<const char*, const char*> memoryLines[] = {
        {"Peak memory growth, RebuildIndex", "BM_RebuildIndexPeakMemory"},
        {"Peak memory growth, ReadQuestionBlock scan", "BM_ScanBlocksPeakMemory"},
        {"Anchor, whole file loaded", "BM_WholeFilePeakMemory"},
    };
    for (const auto& [label, bench] : memoryLines)
        std::printf("%s: 5 MB subject %.0f kB, 50 MB subject %.0f kB\n", label, peak(bench, 5),
                    peak(bench, 50));
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(gFolder, ec);
    return 0;
}
