// The save file: what is written reads back the same, and nothing else reads at all.
#include "app/save_format.h"

#include "core/frame_state.h"
#include "render/render_setup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>

namespace {

constexpr GameIdentity GAME = {0x1122334455667788ull, 0x99aabbccddeeff00ull};
// Magic, version, game, contents, payload length.
constexpr std::size_t HEADER_BYTES = 32;

std::unique_ptr<SaveRecords> SampleRecords() {
    auto r = std::make_unique<SaveRecords>();
    r->frameNo = FRAME_SCENARIO;
    r->frameTime = 1002.5f;
    r->eVars[1] = 1;
    r->eVars[49] = -7;
    r->sVars[3] = 123456;
    r->builtMap = 2;
    r->wanderSeed = 987654321u;
    r->pickedPoint = {12.0f, 0.5f, -8.25f};
    r->renderMode = RENDER_MODE_FADE;
    r->fadeActive = 1;
    r->passCount = 2;
    r->fadeCounter = 130;
    r->fadeDestination = 3;
    r->fadeAlpha = 0.25f;
    r->characters[0].position = {25.0f, 1.0f, 14.0f};
    r->characters[0].state = LEAD_WALKING;
    r->characters[3] = r->characters[0];
    r->characters[3].number = 4;
    r->characters[3].mode = MODE_WANDER;
    r->characters[3].active = true;
    r->markers[5] = {{}, {6.0f, 0.0f, 8.0f}, 1, 1.5f, 0, 12, 0.75f, true};
    r->currentScenario = 12;
    r->pageSourceOffset = 345;
    r->pageEndOffset = 900;
    std::strcpy(r->messageBuffer, "page text");
    r->pageLength = 9;
    r->messagePos = 4;
    r->removedBytes = -3;
    r->textLine = 2;
    r->textColumn = 5;
    r->selectWait = true;
    std::strcpy(r->links[1].target, "yes");
    r->links[1].present = true;
    r->linkCount = 2;
    r->layers[4].picture = 3;
    r->layers[4].visible = true;
    r->bgmChannel = 2;
    r->bgmRequestedChannel = 2;
    r->channels[2] = {true, 44100};
    r->backlog = {"first page", std::string("\x82\xa0 second", 9), ""};
    return r;
}

std::vector<std::uint8_t> Encoded(const SaveRecords& records) {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(EncodeSave(records, GAME, &bytes));
    return bytes;
}

void Reseal(std::vector<std::uint8_t>* bytes) {
    const std::size_t body = bytes->size() - SAVE_CHECKSUM_BYTES;
    const std::uint32_t crc = SaveChecksum(bytes->data(), body);
    for (int i = 0; i < 4; ++i)
        (*bytes)[body + i] = static_cast<std::uint8_t>(crc >> (8 * i));
}

SaveDecodeResult Decode(const std::vector<std::uint8_t>& bytes, SaveRecords* out) {
    return DecodeSave(bytes.data(), bytes.size(), GAME, out);
}

TEST(SaveFormat, WhatIsWrittenReadsBackTheSame) {
    const auto records = SampleRecords();
    const std::vector<std::uint8_t> bytes = Encoded(*records);
    auto back = std::make_unique<SaveRecords>();
    ASSERT_EQ(Decode(bytes, back.get()), SAVE_DECODED);
    EXPECT_EQ(Encoded(*back), bytes);
    EXPECT_EQ(back->frameNo, FRAME_SCENARIO);
    EXPECT_EQ(back->eVars[49], -7);
    EXPECT_EQ(back->characters[3].number, 4);
    EXPECT_FLOAT_EQ(back->markers[5].spin, 0.75f);
    EXPECT_STREQ(back->links[1].target, "yes");
    EXPECT_EQ(back->channels[2].frame, 44100u);
    EXPECT_EQ(back->backlog, records->backlog);
}

TEST(SaveFormat, KnownChecksum) {
    const char* text = "123456789";
    EXPECT_EQ(SaveChecksum(reinterpret_cast<const std::uint8_t*>(text), 9), 0xCBF43926u);
}

TEST(SaveFormat, ACutOrAFlippedBitNeverReads) {
    const std::vector<std::uint8_t> bytes = Encoded(*SampleRecords());
    auto out = SampleRecords();
    out->eVars[0] = 4242;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + length);
        ASSERT_EQ(Decode(cut, out.get()), SAVE_DAMAGED) << "cut at " << length;
    }
    for (std::size_t at = 0; at < bytes.size(); at += 7) {
        std::vector<std::uint8_t> flipped = bytes;
        flipped[at] ^= static_cast<std::uint8_t>(1u << (at % 8));
        ASSERT_NE(Decode(flipped, out.get()), SAVE_DECODED) << "bit flipped at " << at;
    }
    EXPECT_EQ(out->eVars[0], 4242) << "a refused save changed the records";
}

TEST(SaveFormat, RefusesOtherGamesNewerFormatsAndImpossibleRecords) {
    struct Case {
        const char* name;
        std::function<void(std::vector<std::uint8_t>*)> change;
        SaveDecodeResult expected;
    };
    const Case cases[] = {
        {"newer format", [](auto* b) { (*b)[8] = SAVE_FORMAT_VERSION + 1; }, SAVE_NEWER_FORMAT},
        {"format 0", [](auto* b) { (*b)[8] = 0; }, SAVE_DAMAGED},
        {"another game", [](auto* b) { (*b)[12] ^= 1; }, SAVE_OTHER_GAME},
        {"changed game", [](auto* b) { (*b)[20] ^= 1; }, SAVE_CHANGED_GAME},
        {"wrong magic", [](auto* b) { (*b)[0] = 'X'; }, SAVE_DAMAGED},
        {"payload length", [](auto* b) { (*b)[28] ^= 1; }, SAVE_DAMAGED},
        {"loading frame state", [](auto* b) { (*b)[HEADER_BYTES] = FRAME_STARTUP_LOAD; },
         SAVE_DAMAGED},
        {"extra byte",
         [](auto* b) {
             b->insert(b->end() - SAVE_CHECKSUM_BYTES, 0);
             (*b)[28]++;
         },
         SAVE_DAMAGED},
    };
    const std::vector<std::uint8_t> bytes = Encoded(*SampleRecords());
    for (const Case& c : cases) {
        std::vector<std::uint8_t> changed = bytes;
        c.change(&changed);
        Reseal(&changed);
        auto out = std::make_unique<SaveRecords>();
        EXPECT_EQ(Decode(changed, out.get()), c.expected) << c.name;
    }
}

TEST(SaveFormat, ValuesNoGameCanHaveAreNeitherWrittenNorRead) {
    struct Case {
        const char* name;
        std::function<void(SaveRecords*)> change;
    };
    const Case cases[] = {
        {"map 0", [](SaveRecords* r) { r->builtMap = 0; }},
        {"map 4", [](SaveRecords* r) { r->builtMap = 4; }},
        {"position past the page", [](SaveRecords* r) { r->messagePos = r->pageLength + 1; }},
        {"page longer than the buffer",
         [](SaveRecords* r) { r->pageLength = MESSAGE_BUFFER_SIZE + 1; }},
        {"slot 100", [](SaveRecords* r) { r->currentScenario = 100; }},
        {"offset past the slot", [](SaveRecords* r) { r->pageSourceOffset = 65535; }},
        {"link target with no end",
         [](SaveRecords* r) { std::memset(r->links[0].target, 'a', LINK_TARGET_SIZE); }},
        {"eleven links", [](SaveRecords* r) { r->linkCount = LINK_COUNT + 1; }},
        {"character sheet 7", [](SaveRecords* r) { r->characters[2].number = 7; }},
        {"lead state 3", [](SaveRecords* r) { r->characters[0].state = 3; }},
        {"render mode 5", [](SaveRecords* r) { r->renderMode = 5; }},
        {"music channel 50", [](SaveRecords* r) { r->bgmChannel = STREAM_CHANNEL_COUNT; }},
        {"not a number", [](SaveRecords* r) { r->characters[1].position.x = std::nanf(""); }},
        {"infinite", [](SaveRecords* r) { r->fadeAlpha = INFINITY; }},
        {"101 backlog pages", [](SaveRecords* r) { r->backlog.resize(BACKLOG_PAGE_COUNT + 1); }},
        {"long backlog page",
         [](SaveRecords* r) { r->backlog[0].assign(MESSAGE_BUFFER_SIZE + 1, 'x'); }},
    };
    for (const Case& c : cases) {
        auto records = SampleRecords();
        c.change(records.get());
        std::vector<std::uint8_t> bytes;
        EXPECT_FALSE(EncodeSave(*records, GAME, &bytes)) << c.name;
        EXPECT_TRUE(bytes.empty()) << c.name;
    }
}

} // namespace
