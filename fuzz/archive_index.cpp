// The archive from outside: the input is an archive file. It is indexed, and every
// entry found is read into a buffer of exactly the size the game would allocate, so
// any write past the decoded bytes hits the sanitizer. The fast decoder must also
// agree with the step-by-step one on the input's words.
#include "archive/archive.h"
#include "platform/window/message_box.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr std::size_t MAX_ENTRIES_READ = 64;
constexpr std::size_t MAX_WORDS_COMPARED = 256;

// The input lives in an anonymous memory file that reads reopen by its /proc path:
// nothing is left on disk however the fuzzer ends.
int g_archiveFd = -1;

const std::string& ArchivePath() {
    static const std::string path = [] {
        g_archiveFd = memfd_create("tavelle-fuzz-archive", 0);
        return "/proc/self/fd/" + std::to_string(g_archiveFd);
    }();
    return path;
}

bool StoreInput(const std::uint8_t* data, std::size_t size) {
    ArchivePath();
    return g_archiveFd >= 0 && ftruncate(g_archiveFd, 0) == 0 &&
           pwrite(g_archiveFd, data, size, 0) == static_cast<ssize_t>(size);
}

void CheckDecoder(const std::uint8_t* data, std::size_t size) {
    const std::size_t n = std::min(size / 4, MAX_WORDS_COMPARED);
    std::uint8_t fast[MAX_WORDS_COMPARED];
    DecodeArchiveBytes(data, fast, n);
    for (std::size_t i = 0; i < n; ++i) {
        std::uint32_t word;
        std::memcpy(&word, data + 4 * i, 4); // the fuzzing hosts are little-endian
        if (fast[i] != DecodeArchiveWordByExponent(word))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SetMessageBoxHeadless(true);
    ClearRecordedMessages();
    CheckDecoder(data, size);

    if (!StoreInput(data, size))
        return 0;

    OpenArchiveFile(ArchivePath().c_str());
    std::size_t read = 0;
    for (const auto& [key, entry] : g_archiveIndex) {
        if (++read > MAX_ENTRIES_READ)
            break;
        const std::uint32_t length = GetArchiveFileSize(key.c_str());
        if (length != entry.length)
            std::abort();
        // A length the file cannot hold must fail before writing; give it no room.
        const std::size_t room = length <= size ? length : 0;
        const auto buffer = std::make_unique<char[]>(room);
        const HRESULT hr = ReadArchiveFile(key.c_str(), buffer.get());
        if (SUCCEEDED(hr) && room != length)
            std::abort();
    }
    // A key of 128 bytes can never be found.
    const std::string tooLong(ARCHIVE_NAME_SIZE, 'a');
    if (g_archiveIndex.count(tooLong))
        std::abort();
    return 0;
}
