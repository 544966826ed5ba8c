#include "bank/SubjectFiles.h"

#include "bank/Catalogue.h"
#include "platform/Files.h"
#include "platform/LittleEndian.h"
#include "platform/RawFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexamo {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::uint32_t kOffsetMask = ~kAskedFlag;

// The number of entries an open index really holds: its count, bounded by its size.
std::uint32_t CountOf(const RawFile& index) {
    const std::int64_t size = index.Size();
    unsigned char b[4];
    if (size < 4 || !index.ReadAt(0, b, 4)) return 0;
    const auto present = static_cast<std::uint64_t>((size - 4) / 4);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(GetLE32(b), present));
}

std::optional<std::uint32_t> EntryOf(const RawFile& index, std::uint32_t count, std::uint32_t n) {
    if (n >= count) return std::nullopt;
    unsigned char b[4];
    if (!index.ReadAt(4 + 4 * static_cast<std::int64_t>(n), b, 4)) return std::nullopt;
    return GetLE32(b);
}

// Reads a file forwards through a fixed buffer.
class ChunkReader {
public:
    ChunkReader(const RawFile& file, std::int64_t offset) : file_(file), next_(offset) {}
    // The next byte, or -1 at the end of the file (or on a read error).
    int Get() {
        if (pos_ == len_ && !Fill()) return -1;
        return static_cast<unsigned char>(buffer_[pos_++]);
    }
    // Looks at the next byte without taking it.
    int Peek() {
        if (pos_ == len_ && !Fill()) return -1;
        return static_cast<unsigned char>(buffer_[pos_]);
    }

private:
    bool Fill() {
        const std::int64_t n = file_.ReadSome(next_, buffer_.data(), buffer_.size());
        if (n <= 0) return false;
        next_ += n;
        pos_ = 0;
        len_ = static_cast<std::size_t>(n);
        return true;
    }

    const RawFile& file_;
    std::int64_t next_;
    std::array<char, 4096> buffer_{};
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
};

// One line: the bytes up to CR (a following LF is skipped with it) or up to a lone LF.
// Only the first kMaxLineLength bytes are kept; the rest of a longer line is passed over.
// False at the end of the file when nothing was left to read.
bool ReadLine(ChunkReader& in, std::string& line) {
    line.clear();
    int c = in.Get();
    if (c < 0) return false;
    while (c >= 0 && c != '\r' && c != '\n') {
        if (line.size() < kMaxLineLength) line.push_back(static_cast<char>(c));
        c = in.Get();
    }
    if (c == '\r' && in.Peek() == '\n') in.Get();
    return true;
}

bool IsKeyLetter(int c) { return (c >= 'A' && c <= 'E') || (c >= 'a' && c <= 'e'); }

} // namespace

SubjectPaths PathsOf(const Catalogue& catalogue, int subject) {
    return {catalogue.QuestionFile(subject), catalogue.IndexFile(subject)};
}

std::uint32_t IndexCount(const SubjectPaths& paths) {
    RawFile index(paths.indexFile, O_RDONLY | O_CLOEXEC);
    return index.ok() ? CountOf(index) : 0;
}

std::optional<std::uint32_t> IndexEntry(const SubjectPaths& paths, std::uint32_t n) {
    RawFile index(paths.indexFile, O_RDONLY | O_CLOEXEC);
    if (!index.ok()) return std::nullopt;
    return EntryOf(index, CountOf(index), n);
}

std::optional<Question> ReadQuestion(const SubjectPaths& paths, std::uint32_t n) {
    const auto entry = IndexEntry(paths, n);
    if (!entry) return std::nullopt;
    const std::int64_t offset = *entry & kOffsetMask;
    RawFile file(paths.questionFile, O_RDONLY | O_CLOEXEC);
    if (!file.ok() || offset >= file.Size()) return std::nullopt;

    ChunkReader in(file, offset);
    Question q;
    if (!ReadLine(in, q.text)) return std::nullopt;
    std::string line;
    // Up to five answers, then the key line: seven lines at most.
    for (int i = 0; i < 6 && ReadLine(in, line); ++i) {
        if (!line.empty() && line[0] == '=') {
            q.key = line.substr(1);
            break;
        }
        if (i == 5) break; // a sixth answer line: no key within the record's seven lines
        q.answers.push_back(line);
    }
    return q;
}

bool IsAsked(const SubjectPaths& paths, std::uint32_t n) {
    const auto entry = IndexEntry(paths, n);
    return !entry || (*entry & kAskedFlag) != 0;
}

void MarkAsked(const SubjectPaths& paths, std::uint32_t n) {
    RawFile index(paths.indexFile, O_RDWR | O_CLOEXEC);
    if (!index.ok()) return;
    const auto entry = EntryOf(index, CountOf(index), n);
    if (!entry || (*entry & kAskedFlag)) return;
    unsigned char b[4];
    PutLE32(b, *entry | kAskedFlag);
    index.WriteAt(4 + 4 * static_cast<std::int64_t>(n), b, 4);
}

void ClearAsked(const SubjectPaths& paths) {
    RawFile index(paths.indexFile, O_RDWR | O_CLOEXEC);
    if (!index.ok()) return;
    const std::uint32_t count = CountOf(index);
    std::array<unsigned char, kChunk> buffer;
    for (std::uint32_t n = 0; n < count;) {
        const std::uint32_t take =
            std::min<std::uint32_t>(count - n, static_cast<std::uint32_t>(buffer.size() / 4));
        const std::int64_t at = 4 + 4 * static_cast<std::int64_t>(n);
        const std::size_t bytes = 4 * static_cast<std::size_t>(take);
        if (!index.ReadAt(at, buffer.data(), bytes)) return;
        bool changed = false;
        for (std::size_t i = 3; i < bytes; i += 4) {
            if (buffer[i] & 0x80) {
                buffer[i] &= 0x7F;
                changed = true;
            }
        }
        if (changed && !index.WriteAt(at, buffer.data(), bytes)) return;
        n += take;
    }
}

std::optional<std::uint32_t> RebuildIndexFile(const SubjectPaths& paths) {
    if (paths.indexFile.empty()) return std::nullopt;
    // A missing question file is an empty subject: its index holds the count 0.
    RawFile questions(paths.questionFile, O_RDONLY | O_CLOEXEC);

    // The new index goes to a temporary file beside the old one and replaces it only when
    // complete; the count at offset 0 is written last, once known.
    std::string tmpl = paths.indexFile.string() + ".tmpXXXXXX";
    const int tmpFd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (tmpFd < 0) return std::nullopt;
    ::close(tmpFd);
    const fs::path tmp(tmpl);
    bool ok = false;
    std::uint32_t count = 0;
    {
        RawFile out(tmp, O_RDWR | O_CLOEXEC);
        // The new index keeps the permissions of the one it replaces.
        const auto mode = FileMode(paths.indexFile).value_or(fs::perms(0644));
        ok = out.ok() && ::fchmod(out.fd(), static_cast<mode_t>(mode)) == 0;
        std::array<unsigned char, kChunk> pending{};
        std::size_t used = 0;
        std::int64_t written = 4;
        auto flush = [&] {
            ok = ok && out.WriteAt(written, pending.data(), used);
            written += static_cast<std::int64_t>(used);
            used = 0;
        };

        if (ok && questions.ok()) {
            std::array<unsigned char, kChunk> in{};
            std::int64_t base = 0;       // file offset of in[0]
            std::int64_t start = 0;      // the pending start: where the next question begins
            bool skipping = true;        // in a run of CR/LF whose end is the pending start
            int state = 0;               // 0: looking for '=', 1: after '=', 2: after the letter
            for (;;) {
                const std::int64_t n = questions.ReadSome(base, in.data(), in.size());
                if (n < 0) ok = false;
                if (n <= 0) break;
                const unsigned char* data = in.data();
                for (std::int64_t i = 0; i < n && ok;) {
                    const unsigned char c = data[i];
                    const bool eol = c == '\r' || c == '\n';
                    if (skipping) {
                        if (eol) {
                            ++i;
                            continue;
                        }
                        skipping = false;
                        start = base + i;
                    }
                    if (state == 0) {
                        // Nothing matters until the next "=".
                        const void* eq = std::memchr(data + i, '=', static_cast<std::size_t>(n - i));
                        if (!eq) break;
                        i = static_cast<const unsigned char*>(eq) - data + 1;
                        state = 1;
                        continue;
                    }
                    ++i;
                    if (state == 1) {
                        state = IsKeyLetter(c) ? 2 : 0;
                        continue;
                    }
                    state = 0;
                    if (!eol) continue;
                    if (start > static_cast<std::int64_t>(kOffsetMask)) {
                        ok = false; // offsets past 2 GiB do not fit an entry
                        break;
                    }
                    PutLE32(&pending[used], static_cast<std::uint32_t>(start));
                    used += 4;
                    if (used == pending.size()) flush();
                    ++count;
                    skipping = true;
                }
                if (!ok) break;
                base += n;
            }
        }
        flush();
        unsigned char b[4];
        PutLE32(b, count);
        ok = ok && out.WriteAt(0, b, 4) && ::fsync(out.fd()) == 0;
    }
    std::error_code ec;
    if (ok) fs::rename(tmp, paths.indexFile, ec);
    if (!ok || ec) {
        fs::remove(tmp, ec);
        return std::nullopt;
    }
    return count;
}

bool RebuildIndex(Catalogue& catalogue, int subject) {
    if (subject < 0 || subject >= catalogue.SubjectCount()) return false;
    const auto count = RebuildIndexFile(PathsOf(catalogue, subject));
    return count && catalogue.SetQuestionCount(subject, *count);
}

QuestionBlock ReadQuestionBlock(const SubjectPaths& paths, std::uint32_t first,
                                std::uint32_t questionCount, std::span<char> buffer) {
    QuestionBlock block;
    if (first >= questionCount) return block;
    // Until an offset past the bytes read is found, the block covers every remaining
    // question: with nothing readable, a caller that moves on by `questions` still reaches
    // the end.
    block.questions = questionCount - first;

    RawFile index(paths.indexFile, O_RDONLY | O_CLOEXEC);
    const std::uint32_t indexed = index.ok() ? CountOf(index) : 0;
    const auto entry = index.ok() ? EntryOf(index, indexed, first) : std::nullopt;
    RawFile file(paths.questionFile, O_RDONLY | O_CLOEXEC);
    const std::int64_t size = file.ok() ? file.Size() : -1;
    const std::int64_t offset = entry ? (*entry & kOffsetMask) : 0;
    if (!entry || size < 0 || offset >= size || buffer.empty()) return block;
    const std::int64_t got = file.ReadSome(offset, buffer.data(), buffer.size());
    if (got < 0) return block;
    block.bytes = static_cast<std::size_t>(got);
    const std::int64_t end = offset + got;
    if (end >= size) return block;
    // Questions from `first` on whose offsets lie before the end of the bytes read.
    // The first of them is `first` itself, so a caller always moves on. When the index ends
    // before an offset past the block is found, every remaining question counts.
    std::array<unsigned char, 4096> entries;
    for (std::uint32_t n = first; n < questionCount && n < indexed;) {
        const std::uint32_t take = std::min<std::uint32_t>(
            {indexed - n, questionCount - n, static_cast<std::uint32_t>(entries.size() / 4)});
        const std::size_t bytes = 4 * static_cast<std::size_t>(take);
        if (!index.ReadAt(4 + 4 * static_cast<std::int64_t>(n), entries.data(), bytes)) break;
        for (std::uint32_t i = 0; i < take; ++i) {
            if ((GetLE32(&entries[4 * i]) & kOffsetMask) >= end) {
                block.questions = n + i - first;
                return block;
            }
        }
        n += take;
    }
    return block;
}

} // namespace vexamo
