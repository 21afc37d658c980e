// Archives written byte by byte, including the broken ones the builder refuses to make.
#pragma once

#include "archive/archive.h"
#include "archive/archive_writer.h"
#include "platform/window/message_box.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

struct RawEntry {
    std::string name; // up to 128 bytes; padded with NULs
    std::uint32_t size;
    std::uint32_t offset;
};

// Header with count, then the entries' table; data is added with AppendData.
inline std::vector<std::uint8_t> MakeRawTable(std::uint32_t count,
                                              const std::vector<RawEntry>& entries) {
    std::vector<std::uint8_t> stored;
    EncodeArchiveNumber(count, &stored);
    for (const RawEntry& entry : entries) {
        std::uint8_t name[ARCHIVE_NAME_SIZE] = {};
        std::copy(entry.name.begin(), entry.name.end(), name);
        EncodeArchiveBytes(name, ARCHIVE_NAME_SIZE, &stored);
        EncodeArchiveNumber(entry.size, &stored);
        EncodeArchiveNumber(entry.offset, &stored);
    }
    return stored;
}

// Encodes text at word index offset, growing the image as needed.
inline void PutData(std::vector<std::uint8_t>* stored, std::uint32_t offset,
                    const std::string& text) {
    std::vector<std::uint8_t> words;
    EncodeArchiveBytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), &words);
    if (stored->size() < 4 * offset + words.size())
        stored->resize(4 * offset + words.size());
    std::copy(words.begin(), words.end(), stored->begin() + 4 * offset);
}

inline std::uint32_t TableWords(std::uint32_t entries) {
    return ARCHIVE_HEADER_WORDS + ARCHIVE_ENTRY_WORDS * entries;
}

class ArchiveFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageBoxHeadless(true);
        ClearRecordedMessages();
        path_ = (dir_ / "test.dat").string();
    }
    void TearDown() override { g_archiveIndex.clear(); }

    void Write(const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    HRESULT WriteAndOpen(const std::vector<std::uint8_t>& bytes) {
        Write(bytes);
        return OpenArchiveFile(path_.c_str());
    }
    HRESULT BuildAndOpen(const std::vector<ArchiveFileData>& files) {
        std::vector<std::uint8_t> image;
        std::string error;
        EXPECT_TRUE(BuildArchiveImage(files, &image, &error)) << error;
        return WriteAndOpen(image);
    }
    // The decoded text of key, read into a buffer of the size the size query asks for.
    std::string ReadText(const char* key) {
        const std::uint32_t size = GetArchiveFileSize(key);
        if (size == ARCHIVE_SIZE_NOT_FOUND)
            return "<size query failed>";
        std::vector<char> buffer(size + 1, 'x');
        if (FAILED(ReadArchiveFile(key, buffer.data())))
            return "<read failed>";
        return std::string(buffer.data(), DecodedLength(size));
    }
    std::vector<std::string> MessageTexts() {
        std::vector<std::string> texts;
        for (const RecordedMessage& message : GetRecordedMessages()) {
            EXPECT_EQ(message.caption, "Error");
            texts.push_back(message.text);
        }
        return texts;
    }

    TempFolder folder_{"archive"};
    const std::filesystem::path dir_ = folder_.Path();
    std::string path_;
};
