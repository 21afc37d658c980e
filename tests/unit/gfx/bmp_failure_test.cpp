// The reason given for a file that does not load as a bitmap: what an author reads on
// the console and in zrn lint, so each kind of mistake must get its own words.
#include "bmp_image.h"

#include "platform/gfx/bmp_failure.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(const char* text, std::size_t size) {
    return Bytes(text, text + size);
}

TEST(BitmapFailure, EachMistakeGetsItsOwnReason) {
    const Bytes good = MakeBmp24(4, 4, [](int, int) { return 0x336699u; });
    Bytes cut = good;
    cut.resize(cut.size() - 10);
    Bytes broken = good;
    broken[14] = 99; // an unknown header size
    const struct {
        const char* what;
        Bytes bytes;
        const char* reason; // the start of it; nullptr: it loads
    } cases[] = {
        {"a real bitmap", good, nullptr},
        {"PNG", Of("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "a PNG file, not a bitmap"},
        {"JPEG", Of("\xff\xd8\xff\xe0\0\x10JFIF", 10), "a JPEG file, not a bitmap"},
        {"GIF", Of("GIF89a\1\0\1\0", 10), "a GIF file, not a bitmap"},
        {"text", Of("hello, world", 12), "not a bitmap (no \"BM\" at its start)"},
        {"empty", Bytes(), "empty"},
        {"cut short", cut, "cut short"},
        {"broken header", broken, "a bitmap header the game cannot read"},
    };
    for (const auto& c : cases) {
        const char* reason =
            DescribeBitmapFailure(c.bytes.data(), static_cast<std::uint32_t>(c.bytes.size()));
        if (!c.reason) {
            EXPECT_EQ(reason, nullptr) << c.what;
            continue;
        }
        ASSERT_NE(reason, nullptr) << c.what;
        EXPECT_EQ(std::string(reason).rfind(c.reason, 0), 0u) << c.what << ": " << reason;
    }
}

} // namespace
