// Binary .ddd files: both generations written byte by byte, round trips
// through SaveDDD, and malformed files of every kind.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "ddd_bytes.h"
#include "gfx3d/ddd_format.h"
#include "gfx3d/mesh.h"
#include "gfx3d/normal_table.h"
#include "support/scratch_folder.h"

namespace {

class DddBinaryTest : public ::testing::Test {
protected:
    void SetUp() override { vtx::DeleteErrorLog(); }
    std::string file(const char* name) const { return (folder_.path() / name).string(); }
    // Writes the bytes and loads them into mesh_.
    bool load(const std::vector<uint8_t>& bytes) {
        WriteBytes(file("m.ddd"), bytes);
        return vtx::LoadDDD(mesh_, file("m.ddd").c_str());
    }
    ScratchFolder folder_{"ddd-binary"};
    vtx::MeshObjectX mesh_;
};

// Two frames of a triangle, colours red and a strip marker, three pairs.
DddBytes Version20File() {
    DddBytes d;
    d.header(2.0, 2, 2, 3).u32(0x0000FF).u32(0xFFFFFFFE);
    d.f32(0.25f).f32(0.5f).f32(1).f32(0).f32(0).f32(1);
    for (int f = 0; f < 2; ++f) {
        d.i32(4).vertex20(0, 0, 0, 0, 1);
        d.vertex20(1.5f + f, 2, 3, 5, 0).vertex20(-1, 4, 0, 32, 0).vertex20(0, 0, -7, 84, 0);
    }
    return d;
}

TEST_F(DddBinaryTest, Version20FromBytes) {
    ASSERT_TRUE(load(Version20File().bytes));
    ASSERT_EQ(mesh_.frames.count(), 2);
    EXPECT_EQ(mesh_.normalsValid, 1);
    ASSERT_EQ(mesh_.colourTable.count(), 2);
    const vtx::Frame& f1 = mesh_.frames[1];
    ASSERT_EQ(f1.vertices.count(), 4);
    EXPECT_EQ(f1.vertices[0].colour, vtx::kMarkerStrip);
    EXPECT_FLOAT_EQ(f1.vertices[0].rgba[0], 1.0f);
    const vtx::Vertex& v = f1.vertices[1];
    EXPECT_FLOAT_EQ(v.position[0], 2.5f);
    EXPECT_FLOAT_EQ(v.position[2], 3.0f);
    EXPECT_EQ(v.colour, 0x0000FFu);
    EXPECT_EQ(v.colourIndex, 0);
    EXPECT_FLOAT_EQ(v.rgba[0], 1.0f);
    EXPECT_FLOAT_EQ(v.rgba[1], 0.0f);
    EXPECT_FLOAT_EQ(v.rgba[3], 1.0f);
    EXPECT_FLOAT_EQ(v.normal[2], vtx::kNormalTable[5][2]);
    EXPECT_FLOAT_EQ(v.uv[0], 1.0f);  // pair 1, v not negated in 2.0
    EXPECT_FLOAT_EQ(v.uv[1], 0.0f);
    EXPECT_FLOAT_EQ(f1.vertices[2].uv[1], 1.0f);
    // The fourth vertex has no pair of its own.
    EXPECT_FLOAT_EQ(f1.vertices[3].uv[0], 0.0f);
    mesh_.BuildTriangles();
    EXPECT_EQ(mesh_.frames[0].triangles.count(), 3);
}

TEST_F(DddBinaryTest, OlderVersionQuantisedPositions) {
    DddBytes d;
    d.header(1.02, 1, 1, 3).u32(0x00FF00);
    d.f32(0.5f).f32(0.25f).f32(0).f32(1).f32(0).f32(1);
    d.i32(3).f32(10).f32(0).f32(-1).f32(0.5f).f32(2).f32(1);
    d.u8(10).u8(0).u8(0).u8(0).u8(0);
    d.u8(12).u8(4).u8(255).u8(11).u8(0);
    d.u8(0).u8(1).u8(2).u8(161).u8(0);
    ASSERT_TRUE(load(d.bytes));
    ASSERT_EQ(mesh_.frames.count(), 1);
    const vtx::Frame& f = mesh_.frames[0];
    ASSERT_EQ(f.vertices.count(), 3);
    EXPECT_FLOAT_EQ(f.vertices[0].position[0], 0.0f);
    EXPECT_FLOAT_EQ(f.vertices[0].position[2], 1.0f);
    EXPECT_FLOAT_EQ(f.vertices[1].position[0], 1.0f);
    EXPECT_FLOAT_EQ(f.vertices[1].position[1], 8.0f);
    EXPECT_FLOAT_EQ(f.vertices[1].position[2], 256.0f);
    EXPECT_FLOAT_EQ(f.vertices[2].position[0], -5.0f);
    EXPECT_FLOAT_EQ(f.vertices[0].uv[1], -0.25f);  // v negated in the older versions
    EXPECT_FLOAT_EQ(f.vertices[2].normal[0], vtx::kNormalTable[161][0]);
    EXPECT_FLOAT_EQ(f.vertices[1].tangent[0], vtx::kNormalTable[0][0]);
    EXPECT_FLOAT_EQ(f.vertices[1].bitangent[2], vtx::kNormalTable[0][2]);
    EXPECT_FLOAT_EQ(f.vertices[1].rgba[1], 1.0f);
    EXPECT_FLOAT_EQ(f.vertices[1].rgba[0], 0.0f);
}

TEST_F(DddBinaryTest, VersionRange) {
    for (double version : {1.02, 1.5, 2.0}) {
        DddBytes d;
        d.header(version, 1, 1, 0).u32(0);
        if (version == 2.0) d.i32(1).vertex20(0, 0, 0, 0, 0);
        else d.i32(1).f32(0).f32(0).f32(0).f32(1).f32(1).f32(1).u8(0).u8(0).u8(0).u8(0).u8(0);
        EXPECT_TRUE(load(d.bytes)) << version;
    }
    EXPECT_EQ(ErrorLogText(), "");
    for (double version : {1.01, 2.5, -2.0, std::numeric_limits<double>::quiet_NaN()}) {
        vtx::DeleteErrorLog();
        DddBytes d;
        d.header(version, 1, 1, 0).u32(0).i32(1).vertex20(0, 0, 0, 0, 0);
        EXPECT_FALSE(load(d.bytes)) << version;
        EXPECT_EQ(mesh_.frames.count(), 0);
        EXPECT_EQ(ErrorLogText(), "Wrong .ddd version.\r\n") << version;
    }
}

TEST_F(DddBinaryTest, EveryTruncationFailsCleanly) {
    const std::vector<uint8_t> whole = Version20File().bytes;
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        vtx::DeleteErrorLog();
        ASSERT_FALSE(load(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cut)))) << cut;
        EXPECT_EQ(mesh_.frames.count(), 0) << cut;
        EXPECT_EQ(mesh_.colourTable.count(), 0) << cut;
        EXPECT_EQ(mesh_.normalsValid, 0) << cut;
        // Below four bytes there is no magic: the text reader refuses quietly.
        const std::string expected = cut < 4 ? "" : std::string("# read error\r\n").append(file("m.ddd")).append("\r\n");
        EXPECT_EQ(ErrorLogText(), expected) << cut;
    }
}

TEST_F(DddBinaryTest, CountsBeyondTheFileAreRefusedBeforeAllocating) {
    const int32_t bad[] = {0, -1, INT32_MIN, INT32_MAX, 0x40000000, 1000};
    for (int32_t count : bad) {
        DddBytes frames;
        frames.header(2.0, count, 1, 0).u32(0).i32(1).vertex20(0, 0, 0, 0, 0);
        EXPECT_FALSE(load(frames.bytes)) << "frames " << count;
        if (count == 0) continue;
        DddBytes colours;
        colours.header(2.0, 1, count, 0).u32(0).i32(1).vertex20(0, 0, 0, 0, 0);
        EXPECT_FALSE(load(colours.bytes)) << "colours " << count;
        DddBytes pairs;
        pairs.header(2.0, 1, 1, count).u32(0).i32(1).vertex20(0, 0, 0, 0, 0);
        EXPECT_FALSE(load(pairs.bytes)) << "pairs " << count;
        DddBytes vertices;
        vertices.header(2.0, 1, 1, 0).u32(0).i32(count).vertex20(0, 0, 0, 0, 0);
        EXPECT_FALSE(load(vertices.bytes)) << "vertices " << count;
        DddBytes old;
        old.header(1.5, 1, 1, 0).u32(0).i32(count).f32(0).f32(0).f32(0).f32(1).f32(1).f32(1);
        old.u8(0).u8(0).u8(0).u8(0).u8(0);
        EXPECT_FALSE(load(old.bytes)) << "old vertices " << count;
        EXPECT_EQ(mesh_.frames.count(), 0);
    }
}

TEST_F(DddBinaryTest, BadIndicesAndValues) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* what;
        DddBytes file;
    };
    std::vector<Case> cases(6);
    cases[0].what = "colour index beyond the table";
    cases[0].file.header(2.0, 1, 2, 0).u32(0).u32(1).i32(1).vertex20(0, 0, 0, 0, 2);
    cases[1].what = "colour index with an empty table";
    cases[1].file.header(2.0, 1, 0, 0).i32(1).vertex20(0, 0, 0, 0, 0);
    cases[2].what = "normal index 162";
    cases[2].file.header(2.0, 1, 1, 0).u32(0).i32(1).vertex20(0, 0, 0, 162, 0);
    cases[3].what = "NaN position";
    cases[3].file.header(2.0, 1, 1, 0).u32(0).i32(1).vertex20(0, nan, 0, 0, 0);
    cases[4].what = "infinite scale of an older file";
    cases[4].file.header(1.1, 1, 1, 0).u32(0).i32(1).f32(0).f32(0).f32(0).f32(inf).f32(1).f32(1);
    cases[4].file.u8(1).u8(0).u8(0).u8(0).u8(0);
    cases[5].what = "NaN texture coordinate";
    cases[5].file.header(2.0, 1, 1, 1).u32(0).f32(nan).f32(0).i32(1).vertex20(0, 0, 0, 0, 0);
    for (const Case& c : cases) {
        vtx::DeleteErrorLog();
        EXPECT_FALSE(load(c.file.bytes)) << c.what;
        EXPECT_EQ(mesh_.frames.count(), 0) << c.what;
        EXPECT_EQ(ErrorLogText().rfind("# read error\r\n", 0), 0u) << c.what;
    }
}

TEST_F(DddBinaryTest, EmptyFramesLoadInBothGenerations) {
    DddBytes current;
    current.header(2.0, 2, 1, 0).u32(0).i32(0).i32(1).vertex20(1, 2, 3, 0, 0);
    ASSERT_TRUE(load(current.bytes));
    ASSERT_EQ(mesh_.frames.count(), 2);
    EXPECT_EQ(mesh_.frames[0].vertices.count(), 0);
    EXPECT_EQ(mesh_.frames[1].vertices.count(), 1);
    DddBytes old;
    old.header(1.5, 1, 0, 0).i32(0).f32(0).f32(0).f32(0).f32(1).f32(1).f32(1);
    ASSERT_TRUE(load(old.bytes));
    EXPECT_EQ(mesh_.frames[0].vertices.count(), 0);
}

TEST_F(DddBinaryTest, MissingFileFailsSilently) {
    mesh_.frames.grow();
    EXPECT_FALSE(vtx::LoadDDD(mesh_, file("absent.ddd").c_str()));
    EXPECT_EQ(mesh_.frames.count(), 0);
    EXPECT_FALSE(std::filesystem::exists(vtx::ErrorLogPath()));
}

// A mesh of two frames with colours, markers, texture coordinates and normals.
void FillMesh(vtx::MeshObjectX& mesh) {
    for (int f = 0; f < 2; ++f) {
        vtx::Frame* frame = mesh.frames.grow();
        for (int i = 0; i < 7; ++i) {
            vtx::Vertex v{};
            if (i == 3) {
                vtx::SetVertexColour(v, vtx::kMarkerFan);
            } else {
                v.position[0] = 0.1f * static_cast<float>(i) + static_cast<float>(f);
                v.position[1] = -3.75f * static_cast<float>(i);
                v.position[2] = 1e6f / static_cast<float>(i + 1);
                v.uv[0] = 0.125f * static_cast<float>(i);
                v.uv[1] = -0.5f * static_cast<float>(i);
                v.normal[0] = static_cast<float>(i);
                v.normal[1] = 1.0f;
                v.normal[2] = -0.5f;
                vtx::SetVertexColour(v, i % 2 == 0 ? 0x123456u : 0xFFFFFFu);
            }
            frame->vertices.push(v);
        }
    }
    vtx::RebuildColourTable(mesh);
}

TEST_F(DddBinaryTest, SaveThenLoadRoundTrip) {
    vtx::MeshObjectX saved;
    FillMesh(saved);
    ASSERT_TRUE(vtx::SaveDDD(saved, file("round.ddd").c_str()));
    const std::vector<uint8_t> bytes = ReadBytes(file("round.ddd"));
    ASSERT_GE(bytes.size(), 24u);
    EXPECT_EQ(bytes[0], 0x17);
    double version = 0;
    std::memcpy(&version, bytes.data() + 4, 8);
    EXPECT_EQ(version, 2.0);
    EXPECT_EQ(bytes.size(), 24u + 4 * 3 + 8 * 7 + 2 * (4 + 14 * 7));

    ASSERT_TRUE(vtx::LoadDDD(mesh_, file("round.ddd").c_str()));
    ASSERT_EQ(mesh_.frames.count(), 2);
    ASSERT_EQ(mesh_.colourTable.count(), saved.colourTable.count());
    for (int32_t c = 0; c < saved.colourTable.count(); ++c) EXPECT_EQ(mesh_.colourTable[c], saved.colourTable[c]);
    for (int32_t f = 0; f < 2; ++f) {
        ASSERT_EQ(mesh_.frames[f].vertices.count(), 7);
        for (int32_t i = 0; i < 7; ++i) {
            const vtx::Vertex& a = saved.frames[f].vertices[i];
            const vtx::Vertex& b = mesh_.frames[f].vertices[i];
            for (int k = 0; k < 3; ++k) EXPECT_EQ(a.position[k], b.position[k]);
            EXPECT_EQ(a.colourIndex, b.colourIndex);
            EXPECT_EQ(a.colour, b.colour);
            // Texture pairs come from frame 0 for every frame.
            EXPECT_EQ(saved.frames[0].vertices[i].uv[0], b.uv[0]);
            EXPECT_EQ(saved.frames[0].vertices[i].uv[1], b.uv[1]);
            const float* expected = vtx::kNormalTable[vtx::NearestNormalIndex(a.normal)];
            for (int k = 0; k < 3; ++k) EXPECT_EQ(b.normal[k], expected[k]);
        }
    }
}

TEST_F(DddBinaryTest, NearestNormalIsTheClosestDirection) {
    for (int i = 0; i < vtx::kNormalCount; ++i) {
        const float* e = vtx::kNormalTable[i];
        const float scaled[3] = {e[0] * 3, e[1] * 3, e[2] * 3};
        EXPECT_EQ(vtx::NearestNormalIndex(scaled), i);
    }
    const float up[3] = {0.01f, 1.0f, 0.02f};
    EXPECT_EQ(vtx::NearestNormalIndex(up), 32);  // (0, 1, 0)
    const float zero[3] = {0, 0, 0};
    EXPECT_EQ(vtx::NearestNormalIndex(zero), 0);
}

TEST_F(DddBinaryTest, TooManyColoursAreNotSaved) {
    vtx::MeshObjectX mesh;
    vtx::Frame* frame = mesh.frames.grow();
    for (uint32_t i = 0; i < 257; ++i) {
        vtx::Vertex v{};
        vtx::SetVertexColour(v, i);
        frame->vertices.push(v);
    }
    vtx::RebuildColourTable(mesh);
    EXPECT_EQ(mesh.colourTable.count(), 257);
    WriteText(file("old.ddd"), "previous");
    EXPECT_FALSE(vtx::SaveDDD(mesh, file("old.ddd").c_str()));
    EXPECT_FALSE(vtx::SaveDDD(mesh, file("new.ddd").c_str()));
    EXPECT_FALSE(std::filesystem::exists(file("new.ddd")));
    const std::vector<uint8_t> old = ReadBytes(file("old.ddd"));
    EXPECT_EQ(std::string(old.begin(), old.end()), "previous");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 1);  // no temporary left
    // 256 values fit.
    frame->vertices.clear(false);
    for (uint32_t i = 0; i < 256; ++i) {
        vtx::Vertex v{};
        vtx::SetVertexColour(v, i);
        frame->vertices.push(v);
    }
    vtx::RebuildColourTable(mesh);
    EXPECT_TRUE(vtx::SaveDDD(mesh, file("new.ddd").c_str()));
    ASSERT_TRUE(vtx::LoadDDD(mesh_, file("new.ddd").c_str()));
    EXPECT_EQ(mesh_.frames[0].vertices[255].colour, 255u);
}

TEST_F(DddBinaryTest, NothingToSave) {
    vtx::MeshObjectX empty;
    EXPECT_FALSE(vtx::SaveDDD(empty, file("empty.ddd").c_str()));
    EXPECT_FALSE(std::filesystem::exists(file("empty.ddd")));
    vtx::MeshObjectX mesh;
    FillMesh(mesh);
    EXPECT_FALSE(vtx::SaveDDD(mesh, "mem://00000010.00001000"));
    // A colour index beyond the table would write a file that cannot load.
    mesh.frames[0].vertices[0].colourIndex = 200;
    EXPECT_FALSE(vtx::SaveDDD(mesh, file("bad.ddd").c_str()));
    EXPECT_FALSE(std::filesystem::exists(file("bad.ddd")));
}

TEST_F(DddBinaryTest, ReplacesAnExistingFileWhole) {
    vtx::MeshObjectX mesh;
    FillMesh(mesh);
    WriteBytes(file("x.ddd"), std::vector<uint8_t>(5000, 0xAB));
    ASSERT_TRUE(vtx::SaveDDD(mesh, file("x.ddd").c_str()));
    std::vector<uint8_t> expected;
    ASSERT_TRUE(vtx::EncodeDdd(mesh, expected));
    EXPECT_EQ(ReadBytes(file("x.ddd")), expected);
}

}  // namespace
