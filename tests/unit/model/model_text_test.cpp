#include "render/model.h"

#include "platform/window/message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct HeaderCase {
    const char* name;
    const char* text;
    bool accepted;
    int vertices;
    int faces;
    const char* key;
};

class Model3DDHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(Model3DDHeader, ReadsCountsAndKey) {
    const HeaderCase& c = GetParam();
    std::string text = c.text;
    char* cursor = text.data();
    Model model;
    char* key = nullptr;
    ASSERT_EQ(Read3DDHeader(&cursor, &model, &key), c.accepted);
    EXPECT_EQ(model.vertexCount, c.vertices);
    EXPECT_EQ(model.faceCount, c.faces);
    if (c.accepted) {
        EXPECT_STREQ(key, c.key);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Model3DDHeader,
    testing::Values(
        HeaderCase{"NumberHeader", "1\n3\n1\n./X/tex.bmp\r\n", true, 3, 1, "./X/tex.bmp"},
        HeaderCase{"WordHeader", "3DD\n3\n1\n./X/tex.bmp\r\n", true, 3, 1, "./X/tex.bmp"},
        // The capital E ends the count's token: 1E2 is a count of 1, then 2 faces.
        HeaderCase{"CapitalExponent", "0 1E2 ./X/tex.bmp\r\n", true, 1, 2, "./X/tex.bmp"},
        // A key ending in a plain line feed keeps all its characters.
        HeaderCase{"PlainLineFeedKey", "0 3 1 ./X/tex.bmp\n", true, 3, 1, "./X/tex.bmp"},
        HeaderCase{"Decorated", "|0|, 3 ,=1] ./X/tex.bmp\r\n", true, 3, 1, "./X/tex.bmp"},
        HeaderCase{"CutShort", "0 3 1", false, 0, 0, ""},
        HeaderCase{"NegativeCount", "0 -3 1 ./X/tex.bmp\r\n", false, 0, 0, ""},
        HeaderCase{"AbsurdCount", "0 3 99999999 ./X/tex.bmp\r\n", false, 0, 0, ""}),
    [](const testing::TestParamInfo<HeaderCase>& info) { return info.param.name; });

// Parses a whole text past its header, as Parse3DD does once the texture is there.
void ReadModel(std::string* text, Model* model) {
    char* cursor = text->data();
    char* key = nullptr;
    ASSERT_TRUE(Read3DDHeader(&cursor, model, &key));
    Read3DDLists(&cursor, model);
}

TEST(Model3DDLists, ScalesPositionsOnlyAndSetsUpNormals) {
    std::string text = "0\r\n1\r\n1\r\n./X/t.bmp\r\n0.5,1,-0.5,0.25,0.75\r\n0,0,0\r\nEOF\r\n";
    Model model;
    ReadModel(&text, &model);
    ModelVertex out = {};
    FillModelVertices(model, 24.0f, 64.0f, 24.0f, &out);
    EXPECT_FLOAT_EQ(out.x, 12.0f);
    EXPECT_FLOAT_EQ(out.y, 64.0f);
    EXPECT_FLOAT_EQ(out.z, -12.0f);
    EXPECT_FLOAT_EQ(out.u, 0.25f);
    EXPECT_FLOAT_EQ(out.v, 0.75f);
    EXPECT_EQ(out.nx, 0.0f);
    EXPECT_EQ(out.ny, 1.0f);
    EXPECT_EQ(out.nz, 0.0f);
    // The stored vertex stays as read.
    EXPECT_FLOAT_EQ(model.vertices.data[0].x, 0.5f);
}

TEST(Model3DDLists, CarriageReturnsBeforeLineFeeds) {
    // A number right before CR LF keeps its value; a space before CR LF makes the
    // lone CR a token of its own that reads as 0 and shifts the later fields.
    std::string plain = "0 2 0 ./X/t.bmp\r\n1 2 3 4 5\r\n6 7 8 9 10\r\n";
    std::string spaced = "0 2 0 ./X/t.bmp\r\n1 2 3 4 5 \r\n6 7 8 9 10\r\n";
    Model a;
    Model b;
    ReadModel(&plain, &a);
    ReadModel(&spaced, &b);
    EXPECT_FLOAT_EQ(a.vertices.data[1].x, 6.0f);
    EXPECT_FLOAT_EQ(a.vertices.data[1].v, 10.0f);
    EXPECT_FLOAT_EQ(b.vertices.data[1].x, 0.0f);
    EXPECT_FLOAT_EQ(b.vertices.data[1].y, 6.0f);
}

TEST(Model3DDLists, IndicesKeepTheirLowBitsAndOutOfRangeFacesCollapse) {
    std::string text = "0 3 3 ./X/t.bmp\r\n"
                       "0 0 0 0 0\n1 0 0 0 0\n0 0 1 0 0\n"
                       "0 65537 2\n" // 65537 is vertex 1
                       "0 1 3\n"     // vertex 3 does not exist
                       "2 -65535 0\n";
    Model model;
    ReadModel(&text, &model);
    EXPECT_EQ(model.indices.data[1], 65537);
    std::vector<std::uint16_t> out(9, 0xffff);
    FillModelIndices(model, out.data());
    EXPECT_EQ(out, (std::vector<std::uint16_t>{0, 1, 2, 0, 0, 0, 2, 1, 0}));
}

TEST(Model3DDLists, MissingTokensReadAsZero) {
    std::string text = "0 2 1 ./X/t.bmp\r\n1 2 3";
    Model model;
    ReadModel(&text, &model);
    EXPECT_FLOAT_EQ(model.vertices.data[0].z, 3.0f);
    EXPECT_FLOAT_EQ(model.vertices.data[1].x, 0.0f);
    EXPECT_EQ(model.indices.data[0], 0);
}

TEST(GrowableArrayTest, GrowsByWholeStepsPastTheIndex) {
    GrowableArray<int> array;
    array.Reset(2, 3);
    array.Put(0, 7);
    array.Put(6, 9); // 2 -> 5 -> 8
    EXPECT_EQ(array.capacity, 8);
    EXPECT_EQ(array.data[0], 7);
    EXPECT_EQ(array.data[6], 9);
    array.Reset(0, 0);
    array.Put(4, 1); // no step to grow by: just past the index
    EXPECT_EQ(array.capacity, 5);
    EXPECT_EQ(array.data[4], 1);
}

} // namespace

namespace {

TEST(Model3DDLoad, MissingTextureLeavesZeroListsAndTheMessage) {
    ClearRecordedMessages();
    std::string text = "0 2 1 ./X/none.bmp\r\n1 2 3 4 5\r\n6 7 8 9 10\r\n0 1 1\r\n";
    Model model;
    Parse3DD(text.data(), &model);
    ASSERT_FALSE(GetRecordedMessages().empty());
    EXPECT_EQ(GetRecordedMessages().back().text, "Load3DD の読み込み失敗");
    EXPECT_EQ(GetRecordedMessages().back().caption, "ERROR");
    EXPECT_EQ(model.texture, nullptr);
    ASSERT_EQ(model.vertexCount, 2);
    EXPECT_EQ(model.vertices.data[1].x, 0.0f);
    EXPECT_EQ(model.indices.data[0], 0);
    // A model with no vertices gets no mesh.
    std::string empty = "0 0 0 ./X/none.bmp\r\n";
    EXPECT_EQ(Load3DD(&model, empty.data(), 1, 1, 1), E_FAIL);
    EXPECT_EQ(model.mesh, nullptr);
}

} // namespace
