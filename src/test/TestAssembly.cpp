#include "test/TestAssembly.h"

#include "bank/Catalogue.h"
#include "platform/Cp1252.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace vexamo {

// ---------------------------------------------------------------------------------------------
// SubjectFilesAccess

SubjectFilesAccess::SubjectFilesAccess(const Catalogue& catalogue) {
    for (int s = 0; s < catalogue.SubjectCount(); ++s) {
        paths_.push_back(PathsOf(catalogue, s));
        counts_.push_back(catalogue.subjects[static_cast<std::size_t>(s)].QuestionCount());
    }
}

SubjectFilesAccess::SubjectFilesAccess(std::vector<SubjectPaths> paths,
                                       std::vector<std::uint32_t> counts)
    : paths_(std::move(paths)), counts_(std::move(counts)) {
    counts_.resize(paths_.size(), 0);
}

bool SubjectFilesAccess::Known(int subject) const {
    return subject >= 0 && static_cast<std::size_t>(subject) < paths_.size();
}

std::uint32_t SubjectFilesAccess::QuestionCount(int subject) const {
    return Known(subject) ? counts_[static_cast<std::size_t>(subject)] : 0;
}

bool SubjectFilesAccess::IsAsked(int subject, std::uint32_t question) {
    return Known(subject) ? vexamo::IsAsked(paths_[static_cast<std::size_t>(subject)], question)
                          : true;
}

void SubjectFilesAccess::ClearAsked(int subject) {
    if (Known(subject)) vexamo::ClearAsked(paths_[static_cast<std::size_t>(subject)]);
}

QuestionBlock SubjectFilesAccess::ReadBlock(int subject, std::uint32_t first,
                                            std::span<char> buffer) {
    if (!Known(subject)) return {};
    return ReadQuestionBlock(paths_[static_cast<std::size_t>(subject)], first,
                             counts_[static_cast<std::size_t>(subject)], buffer);
}

std::uint32_t Mt19937Random::Below(std::uint32_t p) {
    if (p <= 1) return 0;
    return std::uniform_int_distribution<std::uint32_t>(0, p - 1)(engine_);
}

// ---------------------------------------------------------------------------------------------
// ComputeCounts

DrawCounts ComputeCounts(std::span<const int> rowCounts, bool forced, int target) {
    DrawCounts result;
    result.perRow.assign(rowCounts.size(), 0);
    if (rowCounts.empty()) return result;

    long long sum = 0;
    for (int c : rowCounts) sum += std::max(c, 0);
    float ratio = 1.0f;
    if (forced && sum != 0)
        ratio = static_cast<float>(static_cast<double>(target) / static_cast<double>(sum));

    for (std::size_t i = 0; i < rowCounts.size(); ++i) {
        // The product is taken in double: 10 x 0.7f is 6.99999988..., which truncates to 6.
        const int share = static_cast<int>(static_cast<double>(std::max(rowCounts[i], 0)) *
                                           static_cast<double>(ratio));
        result.perRow[i] = share;
        result.total += share;
    }

    if (forced && target >= 0 && result.total != target) {
        const int step = result.total < target ? +1 : -1;
        // A full round in which no row can take the step ends the walk (only possible when
        // lowering); otherwise the walk stops the moment the total reaches the target.
        bool changedInRound = true;
        while (result.total != target && changedInRound) {
            changedInRound = false;
            for (std::size_t i = 0; i < result.perRow.size() && result.total != target; ++i) {
                if (step > 0 || result.perRow[i] > 0) {
                    result.perRow[i] += step;
                    result.total += step;
                    changedInRound = true;
                }
            }
        }
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// Topics

std::string NormaliseTopicText(std::string_view text) {
    std::string s(text);
    // 1. Leading blanks and commas.
    const std::size_t first = s.find_first_not_of(" ,");
    s.erase(0, first == std::string::npos ? s.size() : first);
    std::size_t at = 0;
    // 2. " ," -> "," (delete the space).
    while ((at = s.find(" ,")) != std::string::npos) s.erase(at, 1);
    // 3. ", " -> "," (delete the space).
    while ((at = s.find(", ")) != std::string::npos) s.erase(at + 1, 1);
    // 4. ",," -> "," (delete the second comma).
    while ((at = s.find(",,")) != std::string::npos) s.erase(at + 1, 1);
    // 5. Trailing commas.
    while (!s.empty() && s.back() == ',') s.pop_back();
    return s;
}

std::vector<std::string> SplitTopics(std::string_view text) {
    const std::string s = NormaliseTopicText(text);
    std::vector<std::string> topics;
    if (s.empty()) return topics;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = s.find(',', start);
        std::string topic = s.substr(start, comma == std::string::npos ? std::string::npos
                                                                      : comma - start);
        if (!topic.empty()) topics.push_back(std::move(topic));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return topics;
}

// ---------------------------------------------------------------------------------------------
// FilterByTopics

namespace {

std::array<char, 256> LowerTable() {
    std::array<char, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[static_cast<std::size_t>(b)] =
            static_cast<char>(LowerCp1252(static_cast<std::uint8_t>(b)));
    return table;
}

// The Windows-1252 lower-case mapping written as arithmetic, so that the compiler can fold a
// whole block with vector instructions: A-Z and À-Þ (but ×) +32; Š Œ Ž +16; Ÿ -> ÿ.
inline unsigned char LowerByArithmetic(unsigned char c) {
    // Bitwise operators, not && and ||: no branches, so the loop vectorises.
    const unsigned plus32 = static_cast<unsigned>(static_cast<unsigned char>(c - 'A') < 26) |
                            (static_cast<unsigned>(static_cast<unsigned char>(c - 0xC0) < 31) &
                             static_cast<unsigned>(c != 0xD7));
    const unsigned plus16 = static_cast<unsigned>(c == 0x8A) | static_cast<unsigned>(c == 0x8C) |
                            static_cast<unsigned>(c == 0x8E);
    const unsigned yDiaeresis = static_cast<unsigned>(c == 0x9F);
    return static_cast<unsigned char>(c + (plus32 << 5) + (plus16 << 4) + yDiaeresis * 0x60);
}

void FoldLower(char* data, std::size_t size, const std::array<char, 256>& table) {
    // The fast form is used only when it agrees with the character set's own table.
    static const bool arithmeticAgrees = [&table] {
        for (int b = 0; b < 256; ++b)
            if (static_cast<char>(LowerByArithmetic(static_cast<unsigned char>(b))) !=
                table[static_cast<std::size_t>(b)])
                return false;
        return true;
    }();
    auto* p = reinterpret_cast<unsigned char*>(data);
    if (arithmeticAgrees) {
        for (std::size_t i = 0; i < size; ++i) p[i] = LowerByArithmetic(p[i]);
    } else {
        for (std::size_t i = 0; i < size; ++i) p[i] = static_cast<unsigned char>(table[p[i]]);
    }
}

// First CR LF at or after `from` (position of the CR), or npos.
std::size_t FindLineEnd(const char* data, std::size_t from, std::size_t size) {
    while (from + 1 < size) {
        const void* cr = std::memchr(data + from, '\r', size - from - 1);
        if (!cr) return std::string::npos;
        const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
        if (data[at + 1] == '\n') return at;
        from = at + 1;
    }
    return std::string::npos;
}

// First CR LF "=" at or after `from` (position of the CR), or npos.
std::size_t FindKeyMarker(const char* data, std::size_t from, std::size_t size) {
    std::size_t at = from + 2;
    while (at < size) {
        const void* eq = std::memchr(data + at, '=', size - at);
        if (!eq) return std::string::npos;
        at = static_cast<std::size_t>(static_cast<const char*>(eq) - data);
        if (data[at - 1] == '\n' && data[at - 2] == '\r') return at - 2;
        ++at;
    }
    return std::string::npos;
}

// Where the next question begins after a key marker (CR LF "=" at `marker`): past the key line
// and the run of CR and LF bytes that follows it. npos when the block ends first.
std::size_t NextQuestionStart(const char* data, std::size_t marker, std::size_t size) {
    std::size_t at = marker + 3;
    while (at < size && data[at] != '\r' && data[at] != '\n') ++at;
    while (at < size && (data[at] == '\r' || data[at] == '\n')) ++at;
    return at < size ? at : std::string::npos;
}

// Estimated frequency, per mille, of a byte in Spanish text (Windows-1252): blanks and common
// lower-case letters are frequent, capitals, accented letters and signs are rare.
int ByteFrequency(unsigned char c) {
    static const std::array<int, 256> table = [] {
        std::array<int, 256> t{};
        t.fill(1);
        const char* letters = "eaosrnidlctumpbgvyqhfzjxkw";
        const int perMille[] = {115, 105, 72, 66, 57, 56, 52, 49, 41, 39, 38, 32, 26,
                                21,  12,  8,  8,  8,  7,  6,  6,  4,  3,  2,  1,  1};
        for (int i = 0; letters[i]; ++i) t[static_cast<unsigned char>(letters[i])] = perMille[i];
        t[' '] = 170;
        t[','] = 8;
        t['.'] = 6;
        for (unsigned char c : {0xE1, 0xE9, 0xED, 0xF3, 0xFA}) t[c] = 4; // á é í ó ú
        for (int c = 'A'; c <= 'Z'; ++c) t[static_cast<std::size_t>(c)] = 3;
        for (int c = '0'; c <= '9'; ++c) t[static_cast<std::size_t>(c)] = 2;
        return t;
    }();
    return table[c];
}

// Finds a topic in a block. A topic holding a rare byte is found by looking for that byte
// (memchr) and comparing the rest; a topic made only of frequent bytes goes through memmem.
class TopicFinder {
public:
    explicit TopicFinder(std::string topic) : topic_(std::move(topic)) {
        int best = 1000;
        for (std::size_t i = 0; i < topic_.size(); ++i) {
            const int f = ByteFrequency(static_cast<unsigned char>(topic_[i]));
            if (f < best) {
                best = f;
                anchor_ = i;
            }
        }
        byAnchor_ = best < 30;
    }

    // First occurrence starting at or after `from` and lying wholly inside the block, or npos.
    std::size_t Find(const char* data, std::size_t from, std::size_t size) const {
        const std::size_t n = topic_.size();
        if (n == 0 || size < n || from > size - n) return std::string::npos;
        if (!byAnchor_) {
            const void* hit = memmem(data + from, size - from, topic_.data(), n);
            return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data)
                       : std::string::npos;
        }
        const char key = topic_[anchor_];
        const std::size_t last = size - n + anchor_; // last place the key byte may sit
        for (std::size_t at = from + anchor_; at <= last;) {
            const void* hit = std::memchr(data + at, key, last - at + 1);
            if (!hit) break;
            const std::size_t h = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
            const std::size_t start = h - anchor_;
            if (std::memcmp(data + start, topic_.data(), n) == 0) return start;
            at = h + 1;
        }
        return std::string::npos;
    }

private:
    std::string topic_;
    std::size_t anchor_ = 0;
    bool byAnchor_ = false;
};

struct TopicSearch {
    TopicFinder finder;
    std::size_t next = 0; // position of the next occurrence in the block, or npos
    bool valid = false;
};

} // namespace

CandidatePool FilterByTopics(SubjectAccess& bank, int subject, const TopicOptions& options,
                             std::size_t blockCapacity) {
    CandidatePool pool;
    const std::uint32_t count = bank.QuestionCount(subject);
    pool.size = count;
    if (!options.enabled || options.text.empty()) return pool;
    std::vector<std::string> topics = SplitTopics(options.text);
    if (topics.empty()) return pool; // only blanks and commas: no filter, as with an empty box

    static const std::array<char, 256> lower = LowerTable();
    if (!options.matchCase)
        for (std::string& t : topics)
            for (char& c : t) c = lower[static_cast<unsigned char>(c)];

    pool.everyQuestion = false;
    pool.size = 0;
    if (count == 0) return pool;

    blockCapacity = std::max<std::size_t>(blockCapacity, 16);
    std::unique_ptr<char[]> buffer(new char[blockCapacity]);
    std::vector<TopicSearch> searches;
    for (std::string& t : topics) searches.push_back({TopicFinder(std::move(t)), 0, false});

    std::uint32_t first = 0;
    while (first < count) {
        const QuestionBlock block =
            bank.ReadBlock(subject, first, std::span<char>(buffer.get(), blockCapacity));
        if (block.bytes == 0 || block.questions == 0) break;
        const char* data = buffer.get();
        const std::size_t size = block.bytes;
        const bool atEnd = size < blockCapacity;
        if (!options.matchCase) FoldLower(buffer.get(), size, lower);
        for (TopicSearch& t : searches) t.valid = false;

        std::uint32_t done = 0;
        std::size_t start = 0;
        while (done < block.questions) {
            const std::size_t keyMarker = FindKeyMarker(data, start, size);
            // A question cut by the block's end is searched again whole in the next block,
            // unless it is the block's first (it cannot fit any better).
            if (keyMarker == std::string::npos && !atEnd && done > 0) break;
            std::size_t end = keyMarker;
            if (!options.includeAnswers) {
                const std::size_t lineEnd = FindLineEnd(data, start, size);
                end = std::min(end, lineEnd);
            }
            if (end == std::string::npos) end = size;

            bool matched = false;
            for (TopicSearch& s : searches) {
                if (!s.valid || s.next < start) {
                    // Occurrence search over the rest of the block: amortised, since the next
                    // occurrence is kept for the following questions.
                    s.next = s.finder.Find(data, start, size);
                    s.valid = true;
                }
                if (s.next != std::string::npos && s.next < end) {
                    matched = true;
                    break;
                }
            }
            if (matched) pool.numbers.push_back(first + done);
            ++done;
            if (keyMarker == std::string::npos) break;
            const std::size_t next = NextQuestionStart(data, keyMarker, size);
            if (next == std::string::npos) break;
            start = next;
        }
        first += std::max<std::uint32_t>(done, 1);
        if (atEnd && done >= block.questions) break;
    }
    pool.size = static_cast<std::uint32_t>(pool.numbers.size());
    return pool;
}

// ---------------------------------------------------------------------------------------------
// DrawQuestions and OrderQuestions

void DrawQuestions(std::span<const DrawSource> sources, bool noRepeat, SubjectAccess& bank,
                   RandomSource& random, TestPlan& plan) {
    std::array<std::uint32_t, kMaxTestQuestions> cycleDrawn{};
    int slot = 0;
    for (const DrawSource& source : sources) {
        if (source.count <= 0 || !source.pool || source.pool->size == 0) continue;
        const std::uint32_t p = source.pool->size;
        bool flagsCleared = false;
        for (int k = 0; k < source.count && slot < kMaxTestQuestions; ++k) {
            const std::uint32_t n = static_cast<std::uint32_t>(k) % p;
            std::uint32_t q = 0;
            std::uint64_t flaggedDraws = 0;
            for (;;) {
                q = source.pool->At(random.Below(p));
                // Once the subject's flags have been cleared they are not consulted again for
                // this subject, so a clearing that fails on disk cannot make the loop endless.
                if (noRepeat && !flagsCleared && bank.IsAsked(source.subject, q)) {
                    if (++flaggedDraws > 3ull * p) {
                        bank.ClearAsked(source.subject);
                        flagsCleared = true;
                    }
                    continue;
                }
                if (std::find(cycleDrawn.begin(), cycleDrawn.begin() + n, q) !=
                    cycleDrawn.begin() + n)
                    continue;
                break;
            }
            cycleDrawn[n] = q;
            plan.drawn[static_cast<std::size_t>(slot)] = {source.subject,
                                                          static_cast<std::int32_t>(q)};
            ++slot;
        }
    }
    plan.length = slot;
}

void OrderQuestions(bool inDrawingOrder, RandomSource& random, TestPlan& plan) {
    plan.order.fill(-1);
    const int n = std::clamp(plan.length, 0, kMaxTestQuestions);
    for (int i = 0; i < n; ++i) {
        if (inDrawingOrder) {
            plan.order[static_cast<std::size_t>(i)] = i;
            continue;
        }
        std::int32_t r = 0;
        do {
            r = static_cast<std::int32_t>(random.Below(static_cast<std::uint32_t>(n)));
        } while (std::find(plan.order.begin(), plan.order.begin() + i, r) !=
                 plan.order.begin() + i);
        plan.order[static_cast<std::size_t>(i)] = r;
    }
}

// ---------------------------------------------------------------------------------------------
// AssembleTest

namespace {

AssemblyResult Failure(AssemblyStatus status, AssemblyMessageKind kind, std::string message) {
    AssemblyResult r;
    r.status = status;
    r.kind = kind;
    r.message = std::move(message);
    return r;
}

AssemblyResult NotANumber(std::string_view text) {
    return Failure(AssemblyStatus::NotANumber, AssemblyMessageKind::Error,
                   "\n\"" + Cp1252ToUtf8(text) +
                       "\" no es un número válido de preguntas. Escribe un número entero.");
}

AssemblyResult TooMany() {
    return Failure(AssemblyStatus::TooManyQuestions, AssemblyMessageKind::Warning,
                   "\nUn test no puede tener más de 200 preguntas...");
}

AssemblyResult NothingSelected() {
    return Failure(AssemblyStatus::NothingSelected, AssemblyMessageKind::Warning,
                   "\nNo has seleccionado preguntas de ninguna materia...");
}

} // namespace

std::optional<int> ParseWholeNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string FewerCandidatesQuestion(int candidateCount) {
    const std::string n = std::to_string(candidateCount);
    return "\nSólo hay " + n + " preguntas que cumplan los requisitos\n¿Deseas hacer el test de estas " +
           n + " preguntas?";
}

AssemblyResult CheckStartTest(const TestOptions& options) {
    if (!options.specific && options.rows.empty())
        return Failure(AssemblyStatus::NoSubjectInExam, AssemblyMessageKind::Warning,
                       "\nNo has seleccionado ninguna materia...");
    return {};
}

AssemblyResult AssembleTest(const TestOptions& options, SubjectAccess& bank, RandomSource& random,
                            const ConfirmFewer& confirmFewer, TestPlan& plan) {
    std::vector<CandidatePool> pools;
    std::vector<DrawSource> sources;

    if (options.specific) {
        if (options.specificSubject < 0)
            return Failure(AssemblyStatus::NoSubjectChosen, AssemblyMessageKind::Warning,
                           "\nElige en la lista de materias disponibles la materia del test...");
        const std::optional<int> requested = ParseWholeNumber(options.numPreguntas);
        if (!requested) return NotANumber(options.numPreguntas);
        if (*requested > kMaxTestQuestions) return TooMany();
        pools.push_back(FilterByTopics(bank, options.specificSubject, options.topics));
        const int candidates = static_cast<int>(pools.back().size);
        if (candidates == 0)
            return Failure(AssemblyStatus::NoMatchingQuestion, AssemblyMessageKind::Error,
                           "\nNo se ha encontrado ninguna pregunta que cumpla los requisitos...");
        int total = *requested;
        if (candidates < *requested) {
            if (!confirmFewer || !confirmFewer(FewerCandidatesQuestion(candidates), candidates))
                return Failure(AssemblyStatus::Declined, AssemblyMessageKind::None, {});
            total = candidates;
        }
        if (total == 0) return NothingSelected();
        sources.push_back({options.specificSubject, &pools.back(), total});
    } else {
        int target = 0;
        if (options.forceNumber) {
            const std::optional<int> forced = ParseWholeNumber(options.numPreguntas);
            if (!forced) return NotANumber(options.numPreguntas);
            target = *forced;
            if (target > kMaxTestQuestions) return TooMany();
        }
        std::vector<int> rowCounts;
        for (const ExamRow& row : options.rows) rowCounts.push_back(row.count);
        const DrawCounts counts = ComputeCounts(rowCounts, options.forceNumber, target);
        if (counts.total == 0) return NothingSelected();
        if (counts.total > kMaxTestQuestions) return TooMany();
        pools.reserve(options.rows.size());
        for (std::size_t i = 0; i < options.rows.size(); ++i) {
            CandidatePool pool;
            pool.size = bank.QuestionCount(options.rows[i].subject);
            pools.push_back(pool);
            sources.push_back({options.rows[i].subject, &pools.back(), counts.perRow[i]});
        }
    }

    TestPlan drawn = plan;
    DrawQuestions(sources, options.noRepeat, bank, random, drawn);
    if (drawn.length == 0)
        return Failure(AssemblyStatus::EmptySubjects, AssemblyMessageKind::Warning,
                       "\nLas materias elegidas no tienen ninguna pregunta...");
    OrderQuestions(options.specific || options.grouping, random, drawn);
    plan = drawn;
    AssemblyResult ok;
    ok.totalQuestions = drawn.length;
    return ok;
}

} // namespace vexamo
