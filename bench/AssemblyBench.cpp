// Topic filter throughput over a generated 50 MB subject, beside grep run on the same file with
// the same topics in the same process run (the anchor), and the ratio of the two.
//
//   bench_assembly [--benchmark_filter=...]
//
// Counters: ours_MBps, grep_MBps and ratio (ours / grep) from the best elapsed time of each;
// the same from processor time (ours_cpu_MBps, grep_cpu_MBps, cpu_ratio), which a machine busy
// with other work disturbs less; matches (ours) and grep_lines.

#include "test/TestAssembly.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <time.h>

namespace {

namespace fs = std::filesystem;
using vexamo::SubjectPaths;

constexpr std::size_t kTargetBytes = 50u * 1024 * 1024;

void PutLE32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A subject of ~50 MB: sentences of common Spanish words (Windows-1252), a few questions with
// the topic words in their statement or answers.
struct Subject {
    Subject() {
        folder = fs::temp_directory_path() / ("vexamo-bench-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        paths = {folder / "Materia.txt", folder / "Off_Materia.bin"};
        const std::vector<std::string> words = {
            "el", "la", "de", "que", "y", "en", "los", "del", "se", "las", "por", "un", "para",
            "con", "no", "una", "su", "al", "lo", "como", "m\xE1s", "pero", "sus", "le", "ya",
            "o", "este", "s\xED", "porque", "esta", "entre", "cuando", "muy", "sin", "sobre",
            "tambi\xE9n", "me", "hasta", "hay", "donde", "quien", "desde", "todo", "nos",
            "durante", "todos", "uno", "ley", "art\xED" "culo", "derecho", "Estado", "Gobierno",
            "Cortes", "tribunal", "recurso", "plazo", "procedimiento", "administraci\xF3n",
            "ciudadanos", "p\xFA" "blico", "norma", "reglamento", "competencia", "municipio"};
        std::mt19937 rng(12345);
        auto sentence = [&](int n) {
            std::string s;
            for (int i = 0; i < n; ++i) {
                if (i) s += ' ';
                s += words[rng() % words.size()];
            }
            return s;
        };
        std::string file, index;
        file.reserve(kTargetBytes + 4096);
        std::vector<std::uint32_t> offsets;
        while (file.size() < kTargetBytes) {
            offsets.push_back(static_cast<std::uint32_t>(file.size()));
            std::string q(1, '\xBF');
            q += sentence(14 + static_cast<int>(rng() % 12));
            const unsigned r = rng() % 100;
            if (r == 0) q += " de la CONSTITUCI\xD3N";
            if (r == 1) q += " de la Corona";
            q += "?";
            file += q;
            file += "\r\n";
            const int answers = rng() % 4 ? 4 : 5;
            for (int a = 0; a < answers; ++a) {
                std::string ans = sentence(4 + static_cast<int>(rng() % 6));
                if (rng() % 200 == 0) ans += " Constituci\xF3n";
                file += ans;
                file += "\r\n";
            }
            file += '=';
            file += static_cast<char>('a' + rng() % 4);
            file += "\r\n\r\n";
        }
        PutLE32(index, static_cast<std::uint32_t>(offsets.size()));
        for (std::uint32_t o : offsets) PutLE32(index, o);
        std::ofstream(paths.questionFile, std::ios::binary).write(file.data(), static_cast<std::streamsize>(file.size()));
        std::ofstream(paths.indexFile, std::ios::binary).write(index.data(), static_cast<std::streamsize>(index.size()));
        bytes = file.size();
        count = static_cast<std::uint32_t>(offsets.size());
    }
    ~Subject() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    fs::path folder;
    SubjectPaths paths;
    std::size_t bytes = 0;
    std::uint32_t count = 0;
};

Subject& TheSubject() {
    static Subject subject;
    return subject;
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

double ThreadCpuSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double ChildrenCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& tv) {
        return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct GrepTiming {
    double bestSeconds = 0;
    double bestCpuSeconds = 0; // user + system time of the shell and grep
    long lines = -1;
};

// Runs grep -c over the file `runs` times; returns the best times and the count it printed.
GrepTiming TimeGrep(const std::vector<std::string>& topics, bool ignoreCase,
                                 const fs::path& file, int runs) {
    std::string cmd = "LC_ALL=C grep -c -F";
    if (ignoreCase) cmd += " -i";
    for (const std::string& t : topics) {
        cmd += " -e ";
        cmd += Quote(t);
    }
    cmd += ' ';
    cmd += Quote(file.string());
    GrepTiming timing;
    timing.bestSeconds = timing.bestCpuSeconds = 1e30;
    for (int i = 0; i < runs; ++i) {
        const double cpuStart = ChildrenCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        FILE* pipe = ::popen(cmd.c_str(), "r");
        if (!pipe) return {};
        char out[64] = {};
        if (std::fgets(out, sizeof out, pipe)) timing.lines = std::atol(out);
        ::pclose(pipe);
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        timing.bestSeconds = std::min(timing.bestSeconds, s);
        timing.bestCpuSeconds = std::min(timing.bestCpuSeconds, ChildrenCpuSeconds() - cpuStart);
    }
    return timing;
}

void RunFilter(benchmark::State& state, const std::string& topicText,
               const std::vector<std::string>& grepTopics, bool includeAnswers, bool matchCase) {
    Subject& subject = TheSubject();
    vexamo::SubjectFilesAccess bank({subject.paths}, {subject.count});
    const vexamo::TopicOptions options{true, topicText, includeAnswers, matchCase};
    std::size_t matches = 0;
    double best = 1e30, bestCpu = 1e30;
    for (auto _ : state) {
        const double cpuStart = ThreadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const vexamo::CandidatePool pool = vexamo::FilterByTopics(bank, 0, options);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        bestCpu = std::min(bestCpu, ThreadCpuSeconds() - cpuStart);
        matches = pool.size;
        benchmark::DoNotOptimize(pool.numbers.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * subject.bytes));
    const GrepTiming grep = TimeGrep(grepTopics, !matchCase, subject.paths.questionFile, 9);
    const double mb = static_cast<double>(subject.bytes) / (1024.0 * 1024.0);
    auto rate = [mb](double seconds) { return seconds > 0 && seconds < 1e29 ? mb / seconds : 0.0; };
    state.counters["ours_MBps"] = rate(best);
    state.counters["grep_MBps"] = rate(grep.bestSeconds);
    state.counters["ratio"] = rate(grep.bestSeconds) > 0 ? rate(best) / rate(grep.bestSeconds) : 0;
    state.counters["ours_cpu_MBps"] = rate(bestCpu);
    state.counters["grep_cpu_MBps"] = rate(grep.bestCpuSeconds);
    state.counters["cpu_ratio"] =
        rate(grep.bestCpuSeconds) > 0 ? rate(bestCpu) / rate(grep.bestCpuSeconds) : 0;
    state.counters["matches"] = static_cast<double>(matches);
    state.counters["grep_lines"] = static_cast<double>(grep.lines);
}

void BM_FilterExactCase(benchmark::State& state) {
    RunFilter(state, "Corona, CONSTITUCI\xD3N", {"Corona", "CONSTITUCI\xD3N"}, true, true);
}
void BM_FilterFoldedCase(benchmark::State& state) {
    RunFilter(state, "constituci\xF3n", {"constituci\xF3n"}, true, false);
}
void BM_FilterFoldedStatementOnly(benchmark::State& state) {
    RunFilter(state, "constituci\xF3n, corona", {"constituci\xF3n", "corona"}, false, false);
}

BENCHMARK(BM_FilterExactCase)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_FilterFoldedCase)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_FilterFoldedStatementOnly)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

BENCHMARK_MAIN();
