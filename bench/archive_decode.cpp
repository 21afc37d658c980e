// Decoding speed of the archive's words against the step-by-step exponentiation and a
// plain copy of the same 16 MiB, and the start-up read of a whole archive (the demo
// game's ZRN.dat when it has been built, else a generated one of similar make).
#include "archive/archive.h"
#include "archive/archive_writer.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace {

constexpr std::size_t BUFFER_BYTES = 16u << 20;
constexpr std::size_t WORD_COUNT = BUFFER_BYTES / 4;

// Words as a packer writes them: encoded random bytes.
const std::vector<std::uint32_t>& PackedWords() {
    static const std::vector<std::uint32_t> words = [] {
        std::vector<std::uint32_t> result(WORD_COUNT);
        std::mt19937 random(1);
        for (std::uint32_t& word : result)
            word = EncodeArchiveByte(static_cast<std::uint8_t>(random()));
        return result;
    }();
    return words;
}

// Any 32-bit word, for the full-computation path.
const std::vector<std::uint32_t>& RandomWords() {
    static const std::vector<std::uint32_t> words = [] {
        std::vector<std::uint32_t> result(WORD_COUNT);
        std::mt19937 random(2);
        for (std::uint32_t& word : result)
            word = random();
        return result;
    }();
    return words;
}

void BM_DecodeByExponent(benchmark::State& state) {
    const auto& words = PackedWords();
    std::vector<std::uint8_t> out(WORD_COUNT);
    for (auto _ : state) {
        for (std::size_t i = 0; i < WORD_COUNT; ++i)
            out[i] = DecodeArchiveWordByExponent(words[i]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * BUFFER_BYTES);
}

void DecodeWith(benchmark::State& state, const std::vector<std::uint32_t>& words) {
    std::vector<std::uint8_t> out(WORD_COUNT);
    for (auto _ : state) {
        DecodeArchiveWords(words.data(), out.data(), WORD_COUNT);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * BUFFER_BYTES);
}

void BM_DecodeArchiveWords(benchmark::State& state) {
    DecodeWith(state, PackedWords());
}
void BM_DecodeArchiveWordsAnyWord(benchmark::State& state) {
    DecodeWith(state, RandomWords());
}

void BM_MemcpyWords(benchmark::State& state) {
    const auto& words = PackedWords();
    std::vector<std::uint32_t> out(WORD_COUNT);
    for (auto _ : state) {
        std::memcpy(out.data(), words.data(), BUFFER_BYTES);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * BUFFER_BYTES);
}

std::string StartupArchivePath() {
    const std::string demo = std::string(TAVELLE_GAME_DIR) + "/" + ARCHIVE_FILE_NAME;
    if (std::filesystem::exists(demo))
        return demo;
    // Roughly the demo's make: many small text files and some bitmaps.
    const std::string generated =
        (std::filesystem::temp_directory_path() / "tavelle-bench-archive.dat").string();
    std::vector<ArchiveFileData> files;
    std::mt19937 random(3);
    for (int i = 0; i < 120; ++i) {
        const std::size_t size = i % 4 == 0 ? 192 * 1024 : 6 * 1024;
        ArchiveFileData file{"./Data/file" + std::to_string(i) + ".dat",
                             std::vector<std::uint8_t>(size)};
        for (std::uint8_t& byte : file.data)
            byte = static_cast<std::uint8_t>(random());
        files.push_back(std::move(file));
    }
    std::vector<std::uint8_t> image;
    std::string error;
    BuildArchiveImage(files, &image, &error);
    std::ofstream(generated, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    return generated;
}

// What start-up does with the archive: the index, then every entry once through the
// size query and a read into a buffer of that size.
void BM_StartupRead(benchmark::State& state) {
    const std::string path = StartupArchivePath();
    const double archiveMiB = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
    for (auto _ : state) {
        OpenArchiveFile(path.c_str());
        for (const auto& [key, entry] : g_archiveIndex) {
            std::vector<char> buffer(GetArchiveFileSize(key.c_str()));
            ReadArchiveFile(key.c_str(), buffer.data());
            benchmark::DoNotOptimize(buffer.data());
        }
    }
    state.SetLabel(path);
    // Reported as time per MiB of archive.
    state.counters["per_MiB"] = benchmark::Counter(
        archiveMiB, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_DecodeByExponent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeArchiveWords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeArchiveWordsAnyWord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyWords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupRead)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
