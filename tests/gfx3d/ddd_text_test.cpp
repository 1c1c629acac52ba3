// Text .ddd files ("DDDA"): with and without normals, comments, and every
// kind of missing or out-of-range field.
#include <gtest/gtest.h>

#include <filesystem>

#include "ddd_bytes.h"
#include "gfx3d/ddd_format.h"
#include "gfx3d/mesh.h"
#include "support/scratch_folder.h"

namespace {

class DddTextTest : public ::testing::Test {
protected:
    void SetUp() override { vtx::DeleteErrorLog(); }
    bool load(const std::string& text) {
        WriteText(path_, text);
        return vtx::LoadDDD(mesh_, path_.c_str());
    }
    ScratchFolder folder_{"ddd-text"};
    std::string path_ = (folder_.path() / "t.ddd").string();
    vtx::MeshObjectX mesh_;
};

// A quad of two texture pairs as one polygon, two frames.
const char* kQuad =
    "DDDA\r\n"
    "1.0 # version\n"
    "2  0.25 0.5   1 1\n"
    "1\n"
    "255 128 0  4  0 0  1 1  2 0  3 1\n"
    "2\n"
    "4  0 0 0  1 0 0  1 1 0  0 1 0\n"
    "4\t0 0 5  1 0 5  1 1 5  0 1 5\n";

TEST_F(DddTextTest, PolygonBecomesAFanPerFrame) {
    ASSERT_TRUE(load(kQuad));
    ASSERT_EQ(mesh_.frames.count(), 2);
    EXPECT_EQ(mesh_.normalsValid, 0);
    const vtx::Frame& f = mesh_.frames[1];
    ASSERT_EQ(f.vertices.count(), 5);
    EXPECT_EQ(f.vertices[0].colour, vtx::kMarkerFan);
    EXPECT_FLOAT_EQ(f.vertices[0].rgba[1], 1.0f);
    const vtx::Vertex& v = f.vertices[3];
    EXPECT_FLOAT_EQ(v.position[0], 1.0f);
    EXPECT_FLOAT_EQ(v.position[1], 1.0f);
    EXPECT_FLOAT_EQ(v.position[2], 5.0f);
    EXPECT_FLOAT_EQ(v.uv[0], 0.25f);
    EXPECT_FLOAT_EQ(v.uv[1], -0.5f);
    EXPECT_EQ(v.colour, 0x0080FFu);
    EXPECT_FLOAT_EQ(v.rgba[1], 128.0f / 255.0f);
    // Colour table in order of first appearance: the marker, then the colour.
    ASSERT_EQ(mesh_.colourTable.count(), 2);
    EXPECT_EQ(mesh_.colourTable[0], vtx::kMarkerFan);
    EXPECT_EQ(v.colourIndex, 1);
    mesh_.BuildTriangles();
    EXPECT_EQ(mesh_.frames[0].triangles.count(), 6);
}

TEST_F(DddTextTest, NormalsFromVersion11) {
    ASSERT_TRUE(load("DDDA\n1.1\n0\n1 10 20 30 3 0 0 1 0 2 0\n1\n3\n"
                     "0 0 0 0 0 1\n1 0 0 0 0 1\n0 1 0 0.6 0 0.8\n"));
    EXPECT_EQ(mesh_.normalsValid, 1);
    const vtx::Frame& f = mesh_.frames[0];
    ASSERT_EQ(f.vertices.count(), 4);
    EXPECT_FLOAT_EQ(f.vertices[3].normal[0], 0.6f);
    EXPECT_FLOAT_EQ(f.vertices[3].normal[2], 0.8f);
    EXPECT_FLOAT_EQ(f.vertices[1].uv[0], 0.0f);  // no texture pairs
}

TEST_F(DddTextTest, NotATextObjectFailsQuietly) {
    for (const char* text : {"DDDB\n1.0 0 0 1 0\n", "DDDA 1.0\n0 0 1 0\n", "", "DDD", "DDDA\n1.2\n0 0 1 0\n",
                             " DDDA\n1.0 0 0 1 0\n"}) {
        EXPECT_FALSE(load(text)) << text;
        EXPECT_EQ(mesh_.frames.count(), 0);
    }
    EXPECT_FALSE(std::filesystem::exists(vtx::ErrorLogPath()));
}

TEST_F(DddTextTest, MissingFieldsAndBadIndicesFail) {
    const char* bad[] = {
        "DDDA\n",                                        // no version
        "DDDA\n1.0\n2 0 0 1\n",                          // a pair short
        "DDDA\n1.0\n0\n1 255 0 0 3 0 0 1 0\n",           // a corner short
        "DDDA\n1.0\n0\n1 255 0 0 3 0 0 1 0 2 0\n1\n3 0 0 0 0 0 0 0 0\n",  // a coordinate short
        "DDDA\n1.0\n0\n1 255 0 0 3 0 0 1 0 3 0\n1\n3 0 0 0 1 0 0 0 1 0\n",  // vertex index 3 of 3
        "DDDA\n1.0\n1 0 0\n1 255 0 0 3 0 0 1 1 2 0\n1\n3 0 0 0 1 0 0 0 1 0\n",  // texture index 1 of 1
        "DDDA\n1.0\n0\n1 255 0 0 3 0 0 1 0 -1 0\n1\n3 0 0 0 1 0 0 0 1 0\n",   // negative index
        "DDDA\n1.0\n-1\n",                               // negative count
        "DDDA\n1.0\n2147483648\n",                       // count of 2^31
        "DDDA\n1.0\n0\n2147483647 1 2 3 0\n",            // more polygons than the file holds
        "DDDA\n1.0\n0\n0\n0\n",                          // no frames
        "DDDA\n1.0\n0\n1 255 0 0 3 0 0 1 0 2 0\n1\n3 0 0 0 1 nan 0 0 1 0\n",  // NaN position
        "DDDA\n1.1\n0\n1 255 0 0 3 0 0 1 0 2 0\n1\n3 0 0 0 0 0 1 1 0 0 0 0 1 0 1 0 0 0\n",  // normal short
        "DDDA\n1.0\nzero\n",                             // a word that is no number
    };
    for (const char* text : bad) {
        vtx::DeleteErrorLog();
        EXPECT_FALSE(load(text)) << text;
        EXPECT_EQ(mesh_.frames.count(), 0) << text;
        EXPECT_EQ(ErrorLogText(), std::string("# read error\r\n").append(path_).append("\r\n")) << text;
    }
}

TEST_F(DddTextTest, ExpansionOfRepeatedPolygonsIsCapped) {
    // 100 polygons of 50 corners repeated over 5000 empty frames would be
    // 25 million vertices from a file of a few kilobytes.
    std::string text = "DDDA\n1.0\n0\n100\n";
    for (int p = 0; p < 100; ++p) {
        text += "1 2 3 50";
        for (int k = 0; k < 50; ++k) text += " 0 0";
        text += "\n";
    }
    text += "5000\n";
    for (int f = 0; f < 5000; ++f) text += "1 0 0 0\n";
    EXPECT_FALSE(load(text));
    EXPECT_EQ(mesh_.frames.count(), 0);
    // The same polygons over two frames load.
    std::string small = text.substr(0, text.find("5000\n")).append("2\n1 0 0 0\n1 0 0 0\n");
    ASSERT_TRUE(load(small));
    EXPECT_EQ(mesh_.frames[1].vertices.count(), 100 * 51);
}

TEST_F(DddTextTest, EveryTruncationFailsOrLoadsAPrefix) {
    const std::string whole = kQuad;
    for (size_t cut = 0; cut + 1 < whole.size(); ++cut) {
        const bool loaded = load(whole.substr(0, cut));
        // Only a cut inside the last number can still read as a whole file.
        if (loaded) EXPECT_GE(cut, whole.size() - 2) << cut;
        else EXPECT_EQ(mesh_.frames.count(), 0) << cut;
    }
}

}  // namespace
