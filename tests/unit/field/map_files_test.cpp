#include "field_fixture.h"

#include "archive/archive.h"
#include "archive/archive_writer.h"
#include "field/map_files.h"
#include "scenario/variables.h"

#include "platform/window/message_box.h"
#include "temp_folder.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Map 1 and a broken map 2, packed into an archive that the loaders read.
class MapFileTest : public FieldTest {
  protected:
    void SetUp() override {
        FieldTest::SetUp();
        const std::vector<std::pair<std::string, std::string>> files = {
            // CR LF line ends with numbers before the CRs, then "EOF".
            {"./Data/map1base.dat", "0,20,-20\r\n0,0,0\r\n0\r\n2,2,2\r\n"
                                    "1,1,1\r\n1,1,1\r\n3,3,3\r\nEOF"},
            {"./Data/map1baseUV.dat", "UV\n0,23\n77,7\n"},
            {"./Data/map1attribute.dat", "A\n0 0 0 1\n0 0 0 0\n0 2 0 0\n0 0 0 51\n"},
            // Three records: one gated off by e.9, one with character number 9, and
            // one cut short by the end of the text (no closing 0).
            {"./Data/map1chara.dat",
             "C\n1 4 0 5 2 1 0\n1 6 0 7 3 9 0\n1 8 0 9 9 1 0\n1 10 0 11 4 1 0\n1 12 0"},
            // Three records, the second gated off; then more than the count.
            {"./Data/map1event.dat",
             "3\n1 1 2 0 3 2.9 0 7\n1 9 4 0 5 1 0 8\n2 1 6 0 7 1 0 9\n1 1 8 0 8 1 0 10\n"},
            {"./Data/map2base.dat", "0 20 -20 0 0 0 0 17 1 2\n"},
        };
        Pack(files);
        for (int k = 0; k < E_VAR_COUNT; ++k)
            g_eVars[k] = 0;
        g_eVars[1] = 1;
        ClearRecordedMessages();
    }
    void Pack(const std::vector<std::pair<std::string, std::string>>& files) {
        std::vector<ArchiveFileData> data;
        for (const auto& [key, text] : files)
            data.push_back({key, std::vector<std::uint8_t>(text.begin(), text.end())});
        std::vector<std::uint8_t> image;
        std::string error;
        ASSERT_TRUE(BuildArchiveImage(data, &image, &error)) << error;
        const std::string path = (folder_.Path() / "ZRN.dat").string();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(image.data(), 1, image.size(), file);
        std::fclose(file);
        ASSERT_EQ(OpenArchiveFile(path.c_str()), S_OK);
    }
    const TempFolder folder_{"field-maps"};
};

TEST_F(MapFileTest, TerrainCameraChipsAndAttributes) {
    g_mapTerrain.attributes[0][5] = 4; // outside map 1's 4 x 4 attribute rectangle
    ASSERT_TRUE(LoadMapTerrain(1));
    EXPECT_EQ(g_mapTerrain.W, 2);
    EXPECT_EQ(g_mapTerrain.H, 2);
    EXPECT_EQ(g_mapTerrain.S, 2);
    EXPECT_FLOAT_EQ(g_camera.eye.z, -20.0f);
    EXPECT_FLOAT_EQ(g_camera.yaw, std::atan2(0.0f, -20.0f));
    EXPECT_EQ(g_mapTerrain.vertexCount, 16);
    Vec3 point = {3.0f, 0.0f, 1.0f};
    GroundHeight(&point);
    EXPECT_FLOAT_EQ(point.y, 1.0f);
    const TerrainVertex* v = g_mapTerrain.vertexList.data;
    EXPECT_FLOAT_EQ(v[g_mapTerrain.quads[0][1].q0].u, 0.25f);
    EXPECT_FLOAT_EQ(v[g_mapTerrain.quads[0][1].q0].v, 0.375f);
    EXPECT_EQ(g_mapTerrain.attributes[0][3], 1);
    EXPECT_EQ(g_mapTerrain.attributes[2][1], 2);
    EXPECT_EQ(g_mapTerrain.attributes[3][3], 51);
    EXPECT_EQ(g_mapTerrain.attributes[0][5], 4);
    EXPECT_TRUE(GetRecordedMessages().empty());
}

TEST_F(MapFileTest, CharactersTakeUsableRecordsUntilTheTextEnds) {
    PlaceLead(0.0f, 0.0f);
    g_fieldCharacters[3].active = true; // a character of the previous map
    LoadMapCharacters(1);
    EXPECT_TRUE(g_fieldCharacters[0].active);
    EXPECT_EQ(g_fieldCharacters[0].mode, MODE_LEAD);
    ASSERT_TRUE(g_fieldCharacters[1].active);
    EXPECT_FLOAT_EQ(g_fieldCharacters[1].position.x, 4.0f);
    EXPECT_FLOAT_EQ(g_fieldCharacters[1].nextZ, 5.0f);
    EXPECT_EQ(g_fieldCharacters[1].number, 2);
    EXPECT_EQ(g_fieldCharacters[1].mode, MODE_WANDER);
    ASSERT_TRUE(g_fieldCharacters[2].active);
    EXPECT_EQ(g_fieldCharacters[2].number, 4);
    for (int k = 3; k < FIELD_CHARACTER_COUNT; ++k)
        EXPECT_FALSE(g_fieldCharacters[k].active) << k;
    EXPECT_FLOAT_EQ(g_fieldCharacters[6].box.halfExtents.y, 3.0f);
}

TEST_F(MapFileTest, MoreThanSixCharactersLeaveTheRestOut) {
    PlaceLead(0.0f, 0.0f);
    std::string text = "C";
    for (int k = 0; k < 9; ++k)
        text += " 1 " + std::to_string(k) + " 0 1 1 1 0";
    text += " 0";
    ParseMapCharacters(text.data());
    for (int k = 1; k < FIELD_CHARACTER_COUNT; ++k)
        EXPECT_FLOAT_EQ(g_fieldCharacters[k].position.x, static_cast<float>(k - 1));
}

TEST_F(MapFileTest, EventRecordsKeepTheirObjectNumbers) {
    LoadEventObjects(1);
    EXPECT_TRUE(g_eventObjects[0].active);
    EXPECT_EQ(g_eventObjects[0].scenarioSlot, 7);
    EXPECT_FLOAT_EQ(g_eventObjects[0].size, 2.9f);
    EXPECT_FALSE(g_eventObjects[1].active);
    EXPECT_TRUE(g_eventObjects[2].active);
    EXPECT_EQ(g_eventObjects[2].kind, 2);
    EXPECT_FALSE(g_eventObjects[3].active);

    std::string many = "150";
    for (int k = 0; k < 150; ++k)
        many += " 1 1 " + std::to_string(k) + " 0 0 1 0 " + std::to_string(k);
    ParseEventObjects(many.data());
    EXPECT_TRUE(g_eventObjects[99].active);
    EXPECT_EQ(g_eventObjects[99].scenarioSlot, 99);
}

TEST_F(MapFileTest, UnusableOrMissingFilesLeaveThePreviousMap) {
    ASSERT_TRUE(LoadMapTerrain(1));
    ClearRecordedMessages();
    EXPECT_FALSE(LoadMapTerrain(2)); // W = 17
    ASSERT_EQ(GetRecordedMessages().size(), 1u);
    EXPECT_EQ(GetRecordedMessages()[0].text, "./Data/map2base.dat の読み込み失敗");
    ClearRecordedMessages();
    EXPECT_FALSE(LoadMapTerrain(3)); // not in the archive
    // The size query's message, then the read's two.
    ASSERT_GE(GetRecordedMessages().size(), 3u);
    EXPECT_EQ(GetRecordedMessages()[0].text, "結合ファイルNot Found");
    EXPECT_EQ(GetRecordedMessages()[1].text, "分割ファイルNot Found");
    EXPECT_EQ(GetRecordedMessages()[2].text, "結合ファイルデータNot Found");
    EXPECT_EQ(g_mapTerrain.W, 2);
    EXPECT_FLOAT_EQ(g_camera.eye.z, -20.0f);
    // No chara or event file: no characters, no markers.
    g_fieldCharacters[2].active = true;
    g_eventObjects[5].active = true;
    LoadMapCharacters(3);
    LoadEventObjects(3);
    EXPECT_FALSE(g_fieldCharacters[2].active);
    EXPECT_FALSE(g_eventObjects[5].active);
}

TEST_F(MapFileTest, CarriageReturnOnlyFilesReadLikeTheirLineFeedTwins) {
    // Map 1's base file and a chara file with CR-only line ends: carriage returns
    // are no delimiter, so without the conversion every line would run into the next.
    Pack({{"./Data/map1base.dat", "0,20,-20\r0,0,0\r0\r2,2,2\r1,1,1\r1,1,1\r3,3,3\rEOF"},
          {"./Data/map1chara.dat", "C\r1 4 0 5 2 1 0\r"}});
    ASSERT_TRUE(LoadMapTerrain(1));
    EXPECT_EQ(g_mapTerrain.W, 2);
    EXPECT_EQ(g_mapTerrain.H, 2);
    EXPECT_FLOAT_EQ(g_camera.eye.z, -20.0f);
    Vec3 point = {3.0f, 0.0f, 1.0f};
    GroundHeight(&point);
    EXPECT_FLOAT_EQ(point.y, 1.0f);
    PlaceLead(0.0f, 0.0f);
    LoadMapCharacters(1);
    EXPECT_TRUE(g_fieldCharacters[1].active);
    EXPECT_FLOAT_EQ(g_fieldCharacters[1].position.x, 4.0f);
    EXPECT_EQ(g_fieldCharacters[1].number, 2);
}

TEST(MapTextTest, DecorationAndCarriageReturns) {
    struct BaseCase {
        const char* name;
        const char* text;
        float firstHeight, lastHeight;
    };
    const BaseCase cases[] = {
        {"plain", "1 2 3 4 5 6 0 1 1 1\n7 8\n9 10\n", 7, 10},
        {"EOF and decoration", "|1,2,3|=4,5,6]0 1 1 1\n7 8\n9 10\nEOF\n", 7, 10},
        {"CR before LF", "1 2 3 4 5 6 0 1 1 1\r\n7 8\r\n9 10\r\n", 7, 10},
        // A space before CR LF makes the CR a token of its own: it reads as 0 and
        // every later field moves by one.
        {"space before CR", "1 2 3 4 5 6 0 1 1 1 \r\n7 8\r\n9 10\r\n", 0, 9},
    };
    for (const BaseCase& c : cases) {
        std::string text = c.text;
        MapBase base = {};
        TerrainGrids grids = {};
        ASSERT_TRUE(ParseMapBase(text.data(), &base, &grids)) << c.name;
        EXPECT_FLOAT_EQ(base.at.z, 6.0f) << c.name;
        EXPECT_FLOAT_EQ(grids.heights[0][0], c.firstHeight) << c.name;
        EXPECT_FLOAT_EQ(grids.heights[1][1], c.lastHeight) << c.name;
    }
    for (const char* bad : {"1 2 3 4 5 6 0 0 1 1", "1 2 3 4 5 6 0 1 17 1", "1 2 3 4 5 6 0 1"}) {
        std::string text = bad;
        MapBase base = {};
        TerrainGrids grids = {};
        EXPECT_FALSE(ParseMapBase(text.data(), &base, &grids)) << bad;
    }
}

TEST(MapTextTest, AttributeGridOverThirtyTwoKeepsWhatFits) {
    std::string text = "A";
    for (int r = 0; r < 48; ++r) {
        for (int c = 0; c < 48; ++c)
            text += " " + std::to_string(r == c ? 3 : 0);
    }
    ParseMapAttributes(text.data(), 16, 16, 3);
    EXPECT_EQ(g_mapTerrain.attributes[31][31], 3);
    EXPECT_EQ(g_mapTerrain.attributes[31][30], 0);
    EXPECT_EQ(g_mapTerrain.attributes[1][1], 3);
}

} // namespace
