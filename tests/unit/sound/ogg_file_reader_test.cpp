#include "sound/ogg_file_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Fixture(const char* name) {
    const char* dir = std::getenv("TAVELLE_FIXTURES");
    return std::string(dir ? dir : "tests/fixtures") + "/sound/" + name;
}

TEST(OggFileReaderTest, OpensOnceAndMeasuresTheStream) {
    struct Case {
        const char* file;
        std::uint16_t channels;
        std::uint16_t blockAlign;
        std::uint32_t frames;
        bool isLong;
    };
    const Case cases[] = {{"mono_132300.ogg", 1, 2, 132300, false},
                          {"stereo_132301.ogg", 2, 4, 132301, true}};
    for (const Case& c : cases) {
        sslib2::COggFileReader reader;
        EXPECT_FALSE(reader.IsOpen());
        ASSERT_TRUE(reader.Open(Fixture(c.file).c_str())) << c.file;
        EXPECT_FALSE(reader.Open(Fixture(c.file).c_str())) << "second open of " << c.file;
        EXPECT_TRUE(reader.IsOpen());
        sslib2::PcmFormat format = {};
        reader.GetFormat(&format);
        EXPECT_EQ(format.formatTag, 1);
        EXPECT_EQ(format.channels, c.channels);
        EXPECT_EQ(format.samplesPerSec, 44100u);
        EXPECT_EQ(format.avgBytesPerSec, 44100u * c.blockAlign);
        EXPECT_EQ(format.blockAlign, c.blockAlign);
        EXPECT_EQ(format.bitsPerSample, 16);
        EXPECT_EQ(reader.GetLength(), c.frames);
        EXPECT_EQ(reader.GetLoopEnd(), c.frames);
        EXPECT_EQ(reader.GetLoopCount(), 0);
        EXPECT_EQ(reader.IsLong(), c.isLong) << c.file;
        // The first open survived the refused second one.
        std::uint32_t count = 0;
        std::vector<char> block(4096);
        EXPECT_TRUE(reader.Read(block.data(), 4096, &count));
        EXPECT_EQ(count, 4096u);
        EXPECT_EQ(reader.Tell(), std::int32_t(4096 / c.blockAlign));
    }
}

TEST(OggFileReaderTest, ReadsToTheEndAndASeekClearsIt) {
    sslib2::COggFileReader reader;
    ASSERT_TRUE(reader.Open(Fixture("stereo_132301.ogg").c_str()));
    const std::uint32_t total = 132301 * 4;
    std::vector<char> buffer(total + 1000);
    std::uint32_t count = 0;
    EXPECT_TRUE(reader.Read(buffer.data(), total + 1000, &count));
    EXPECT_EQ(count, total);
    EXPECT_TRUE(reader.IsEnd());
    EXPECT_TRUE(reader.Seek(0));
    EXPECT_FALSE(reader.IsEnd());
    EXPECT_EQ(reader.Tell(), 0);
    EXPECT_TRUE(reader.Read(buffer.data(), 400, nullptr)); // no count wanted
    EXPECT_FALSE(reader.IsEnd());
}

TEST(OggFileReaderTest, RefusesWhatItCannotDecode) {
    const std::string notOgg = Fixture("make_fixtures.sh");
    const char* paths[] = {"no/such/file.ogg", notOgg.c_str(), "."};
    for (const char* path : paths) {
        sslib2::COggFileReader reader;
        EXPECT_FALSE(reader.Open(path)) << path;
        EXPECT_FALSE(reader.IsOpen());
        char byte;
        EXPECT_FALSE(reader.Read(&byte, 1, nullptr));
        EXPECT_FALSE(reader.Seek(0));
        EXPECT_EQ(reader.Tell(), 0);
    }
}

TEST(OggFileReaderTest, OpensBackslashPathsOfTheGame) {
    std::string path = Fixture("mono_132300.ogg");
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    sslib2::COggFileReader reader;
    EXPECT_TRUE(reader.Open(path.c_str()));
}

} // namespace
