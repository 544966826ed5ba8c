// A subject's index and question file from arbitrary bytes: question reads, asked flags,
// block reads and the index rebuild, which must never read outside the files and always
// produce an index of increasing offsets inside the question file.
//
// Input: two bytes giving the index length L, L bytes of index, then the question file.

#include "bank/SubjectFiles.h"
#include "ScratchFolder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;

const fs::path& Folder() { return vexamo::fuzz::ScratchFolder("vexamo-fuzz-subject"); }

void Write(const fs::path& file, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// Scans the subject block by block; every block must move on.
void ScanBlocks(const vexamo::SubjectPaths& paths, std::uint32_t count, std::size_t capacity) {
    std::vector<char> buffer(capacity);
    std::uint32_t first = 0;
    while (first < count) {
        const auto block = vexamo::ReadQuestionBlock(paths, first, count, std::span<char>(buffer));
        if (block.questions == 0 || block.questions > count - first || block.bytes > capacity)
            std::abort();
        first += block.questions;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const fs::path& dir = Folder();
    const vexamo::SubjectPaths paths{dir / "Materia.txt", dir / "Off_Materia.bin"};
    const std::size_t indexLength = std::min<std::size_t>(size - 2, data[0] | (data[1] & 0x0F) << 8);
    const bool noIndex = data[1] & 0x10;
    const bool noQuestions = data[1] & 0x20;
    std::error_code ec;
    fs::remove(paths.indexFile, ec);
    fs::remove(paths.questionFile, ec);
    if (!noIndex) Write(paths.indexFile, data + 2, indexLength);
    if (!noQuestions) Write(paths.questionFile, data + 2 + indexLength, size - 2 - indexLength);
    const std::uint64_t fileSize = noQuestions ? 0 : size - 2 - indexLength;

    const std::uint32_t count = vexamo::IndexCount(paths);
    for (std::uint32_t n = 0; n < std::min<std::uint32_t>(count, 8) + 1; ++n) {
        if (const auto q = vexamo::ReadQuestion(paths, n)) {
            if (q->text.size() > vexamo::kMaxLineLength || q->answers.size() > 5) std::abort();
        }
        (void)vexamo::IsAsked(paths, n);
    }
    const std::uint32_t claimed = count + (data[1] >> 6); // a catalogue count a little off
    ScanBlocks(paths, std::min<std::uint32_t>(claimed, 64), 1 + data[0] % 64);
    vexamo::MarkAsked(paths, data[0] % 4);
    vexamo::ClearAsked(paths);
    if (count && vexamo::IsAsked(paths, 0)) std::abort(); // ClearAsked cleared every flag

    const auto rebuilt = vexamo::RebuildIndexFile(paths);
    if (!rebuilt) std::abort();
    if (vexamo::IndexCount(paths) != *rebuilt) std::abort();
    std::int64_t previous = -1;
    for (std::uint32_t n = 0; n < *rebuilt; ++n) {
        const auto entry = vexamo::IndexEntry(paths, n);
        if (!entry || (*entry & vexamo::kAskedFlag)) std::abort();
        if (static_cast<std::int64_t>(*entry) <= previous || *entry >= fileSize) std::abort();
        previous = *entry;
        if (n < 4 && !vexamo::ReadQuestion(paths, n)) std::abort();
    }
    ScanBlocks(paths, std::min<std::uint32_t>(*rebuilt, 64), 16);
    return 0;
}
