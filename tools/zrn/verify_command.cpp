// zrn verify: the archive's table as stored, checked against the file and against
// itself. The game tolerates most of these problems by skipping entries or failing
// single reads; an author wants to hear of every one.
#include "zrn_commands.h"

#include "archive/archive.h"

#include "platform/files/host_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

namespace {

constexpr const char* COMMAND = "verify";

struct Verifier {
    const char* path;
    std::uint64_t fileSize;
    int problems = 0;

    void Report(const std::string& text) {
        std::fprintf(stderr, "%s: %s\n", path, text.c_str());
        ++problems;
    }
    void ReportEntry(std::size_t index, const std::string& key, const std::string& text) {
        Report("entry " + std::to_string(index) + " '" + key + "': " + text);
    }
};

struct DataRange {
    std::uint64_t begin; // bytes
    std::uint64_t end;
    std::size_t index;
};

void CheckFileSize(Verifier* verifier) {
    if (verifier->fileSize > ARCHIVE_MAX_FILE_SIZE)
        verifier->Report("the file is larger than " + std::to_string(ARCHIVE_MAX_FILE_SIZE) +
                         " bytes");
    if (verifier->fileSize % 4 != 0)
        verifier->Report(std::to_string(verifier->fileSize % 4) +
                         " bytes after the last whole word");
}

// Numbers, name and place of one entry; adds its data to ranges when it has any.
void CheckEntry(Verifier* verifier, std::size_t index, const ArchiveTableEntry& entry,
                std::uint64_t tableEnd, std::vector<DataRange>* ranges) {
    if (!entry.nameHasNul)
        verifier->ReportEntry(index, entry.key, "the name has no NUL in its 128 bytes");
    else if (entry.key.empty())
        verifier->ReportEntry(index, entry.key, "empty key");
    if (entry.size >= ARCHIVE_WORD_COUNT_LIMIT || entry.offset >= ARCHIVE_WORD_COUNT_LIMIT) {
        verifier->ReportEntry(index, entry.key,
                              "size " + std::to_string(entry.size) + " or offset " +
                                  std::to_string(entry.offset) + " words is 2^30 or more");
        return;
    }
    const std::uint64_t begin = 4 * static_cast<std::uint64_t>(entry.offset);
    const std::uint64_t end = begin + 4 * static_cast<std::uint64_t>(entry.size);
    if (entry.size == 0)
        return;
    if (end > ARCHIVE_MAX_FILE_SIZE)
        verifier->ReportEntry(index, entry.key, "data reaches past byte 2^31 - 1");
    if (end > verifier->fileSize)
        verifier->ReportEntry(index, entry.key,
                              "data (bytes " + std::to_string(begin) + " to " +
                                  std::to_string(end) + ") runs past the end of the file");
    if (begin < tableEnd)
        verifier->ReportEntry(index, entry.key, "data overlaps the header or the table");
    ranges->push_back({begin, end, index});
}

void CheckOverlaps(Verifier* verifier, std::vector<DataRange> ranges,
                   const std::vector<std::string>& keys) {
    std::sort(ranges.begin(), ranges.end(),
              [](const DataRange& a, const DataRange& b) { return a.begin < b.begin; });
    std::size_t reach = 0; // the range reaching furthest so far
    for (std::size_t i = 1; i < ranges.size(); ++i) {
        if (ranges[i].begin < ranges[reach].end)
            verifier->ReportEntry(ranges[i].index, keys[ranges[i].index],
                                  "data overlaps that of entry " +
                                      std::to_string(ranges[reach].index) + " '" +
                                      keys[ranges[reach].index] + "'");
        if (ranges[i].end > ranges[reach].end)
            reach = i;
    }
}

} // namespace

int RunVerifyCommand(int argc, char** argv) {
    if (argc != 2)
        return ReportUsageError(argv[0]);
    Verifier verifier{argv[1], 0};
    std::FILE* file = OpenHostFile(verifier.path, "rb");
    if (!file || !GetHostFileSize(verifier.path, &verifier.fileSize)) {
        // A folder or a device opens, but has no size to check an archive against.
        const std::string why = file ? "not a regular file" : std::strerror(errno);
        PrintError(COMMAND, std::string("cannot open ") + verifier.path + ": " + why);
        if (file)
            std::fclose(file);
        return EXIT_PROBLEM;
    }
    CheckFileSize(&verifier);

    std::uint32_t count = 0;
    std::vector<std::string> keys;
    std::vector<DataRange> ranges;
    if (!ReadArchiveHeader(file, &count)) {
        verifier.Report("the file ends inside the header");
    } else {
        const std::uint64_t tableEnd =
            4 * (ARCHIVE_HEADER_WORDS + static_cast<std::uint64_t>(ARCHIVE_ENTRY_WORDS) * count);
        std::map<std::string, std::size_t, ArchiveKeyLess> firstWithKey;
        ArchiveTableEntry entry;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (!ReadArchiveTableEntry(file, &entry)) {
                verifier.Report("the table ends after " + std::to_string(i) + " of its " +
                                std::to_string(count) + " entries");
                break;
            }
            keys.push_back(entry.key);
            const auto [first, inserted] = firstWithKey.try_emplace(entry.key, i);
            if (!inserted)
                verifier.ReportEntry(i, entry.key,
                                     "duplicate of entry " + std::to_string(first->second) +
                                         ", which the game uses");
            CheckEntry(&verifier, i, entry, tableEnd, &ranges);
        }
    }
    std::fclose(file);
    CheckOverlaps(&verifier, ranges, keys);

    if (verifier.problems > 0) {
        std::fprintf(stderr, "%s: %d problem%s\n", verifier.path, verifier.problems,
                     verifier.problems == 1 ? "" : "s");
        return EXIT_PROBLEM;
    }
    std::printf("%s: ok, %u entries\n", verifier.path, count);
    return 0;
}
