// Building objects with the commands: primitives and their expansion,
// normals with and without smoothing, tangents, bounds, the slot table.
#include <gtest/gtest.h>

#include <cmath>

#include "ddd_bytes.h"
#include "gfx3d/mesh.h"
#include "gfx3d/mesh_commands.h"
#include "gfx3d/object_slots.h"
#include "support/scratch_folder.h"

namespace {

class MeshBuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int32_t s = 0; s < 8; ++s) vtx::ResetObjectSlot(*vtx::ObjectSlotAt(s));
        SetSmoothingMode(0);
    }
    static vtx::MeshObjectX& Mesh(int32_t slot) { return vtx::ObjectSlotAt(slot)->parts[0]; }
};

// The triangle list of frame 0 as (x of corner 0, x of corner 1, x of corner 2).
std::vector<std::array<float, 3>> Triangles(const vtx::MeshObjectX& mesh) {
    std::vector<std::array<float, 3>> out;
    const vtx::GrowList<vtx::Vertex>& t = mesh.frames[0].triangles;
    for (int32_t i = 0; i + 2 < t.count(); i += 3) out.push_back({t[i].position[0], t[i + 1].position[0], t[i + 2].position[0]});
    return out;
}

// Signed area of a triangle in the xy plane: the sign is the winding.
float Winding(const vtx::Vertex* t) {
    return (t[1].position[0] - t[0].position[0]) * (t[2].position[1] - t[0].position[1]) -
           (t[2].position[0] - t[0].position[0]) * (t[1].position[1] - t[0].position[1]);
}

TEST_F(MeshBuildTest, StripOfFiveGivesThreeTrianglesOfOneWinding) {
    StartObject(1);
    NewStrip();
    // A zig-zag strip a b c d e along x.
    for (int i = 0; i < 5; ++i) AddVertex(i, i % 2, 0, 0, 0, 0xFFFFFF);
    EndObject();
    const vtx::MeshObjectX& mesh = Mesh(1);
    const std::vector<std::array<float, 3>> expected = {{0, 1, 2}, {2, 1, 3}, {2, 3, 4}};
    EXPECT_EQ(Triangles(mesh), expected);
    const vtx::Vertex* t = mesh.frames[0].triangles.data();
    EXPECT_GT(Winding(t) * Winding(t + 3), 0);
    EXPECT_GT(Winding(t) * Winding(t + 6), 0);
    EXPECT_EQ(mesh.drawBuffer.count(), 9);
    EXPECT_EQ(vtx::ObjectSlotAt(1)->valid, 1);
}

TEST_F(MeshBuildTest, FanOfFiveSharesTheFirstVertex) {
    StartObject(2);
    AddVertex(0, 0, 0, 0, 0, -3);
    for (int i = 1; i <= 5; ++i) AddVertex(i, std::sin(i), 0, 0, 0, 0x00FF00);
    EndObject();
    const std::vector<std::array<float, 3>> expected = {{1, 2, 3}, {1, 3, 4}, {1, 4, 5}};
    EXPECT_EQ(Triangles(Mesh(2)), expected);
    EXPECT_EQ(Mesh(2).usesColours, 1);
}

TEST_F(MeshBuildTest, MarkersSwitchModes) {
    StartObject(0);
    for (int i = 0; i < 4; ++i) AddVertex(i, 0, 0, 0, 0, 0xFFFFFF);  // one triangle, one vertex left over
    AddVertex(0, 0, 0, 0, 0, -1);                                     // separate triangles again
    for (int i = 10; i < 16; ++i) AddVertex(i, 0, 0, 0, 0, 0xFFFFFF);
    EndObject();
    const std::vector<std::array<float, 3>> expected = {{0, 1, 2}, {10, 11, 12}, {13, 14, 15}};
    EXPECT_EQ(Triangles(Mesh(0)), expected);
    EXPECT_EQ(Mesh(0).usesColours, 0);  // white only
}

TEST_F(MeshBuildTest, AddVertexStoresWhatTheProgramGave) {
    StartObject(3);
    AddVertex(1, 2, 3, 0.25, 0.75, 0x804020);
    AddVertex(0, 0, 0, 0, 0, -1);
    AddVertex(4, 5, 6, 0, 0, 0);
    const vtx::Frame& f = Mesh(3).frames[0];
    ASSERT_EQ(f.vertices.count(), 3);
    EXPECT_FLOAT_EQ(f.vertices[0].uv[1], -0.75f);
    EXPECT_EQ(f.vertices[0].colour, 0x804020u);
    EXPECT_FLOAT_EQ(f.vertices[0].rgba[0], 32.0f / 255.0f);
    EXPECT_FLOAT_EQ(f.vertices[0].rgba[2], 128.0f / 255.0f);
    EXPECT_EQ(f.vertices[1].colour, vtx::kMarkerTriangles);
    for (float c : f.vertices[1].rgba) EXPECT_FLOAT_EQ(c, 1.0f);
    EXPECT_EQ(vtx::ObjectSlotAt(3)->building, 1);
    EndObject();
    EXPECT_EQ(vtx::ObjectSlotAt(3)->building, 0);
    EXPECT_EQ(vtx::Objects().buildingSlot, -1);
    AddVertex(9, 9, 9, 0, 0, 0);  // nothing is being built
    EXPECT_EQ(Mesh(3).frames[0].vertices.count(), 3);
    // Starting another object leaves an unfinished one not building.
    StartObject(5);
    StartObject(6);
    EXPECT_EQ(vtx::ObjectSlotAt(5)->building, 0);
    EXPECT_EQ(vtx::ObjectSlotAt(6)->building, 1);
    AddVertex(1, 1, 1, 0, 0, 0);
    EXPECT_EQ(Mesh(6).frames[0].vertices.count(), 1);
    EXPECT_EQ(Mesh(5).frames[0].vertices.count(), 0);
    EndObject();
}

TEST_F(MeshBuildTest, FewerThanThreeVerticesLeaveTheSlotInvalidAndEmpty) {
    StartObject(4);
    AddVertex(0, 0, 0, 0, 0, 0);
    AddVertex(1, 0, 0, 0, 0, 0);
    EndObject();
    EXPECT_EQ(vtx::ObjectSlotAt(4)->valid, 0);
    EXPECT_EQ(Mesh(4).frames.count(), 0);
    EXPECT_EQ(GetFreeObjectSlot(), 0);
    StartObject(0);
    for (int i = 0; i < 3; ++i) AddVertex(i, i * i, 0, 0, 0, 0);
    EndObject();
    EXPECT_EQ(GetFreeObjectSlot(), 1);
    StartObject(-1);  // out of range: nothing starts
    EXPECT_EQ(vtx::Objects().buildingSlot, -1);
    StartObject(4096);
    EXPECT_EQ(vtx::Objects().buildingSlot, -1);
}

// Two triangles sharing the edge (1,0,0)-(0,1,0), folded along it.
void BuildFold(int32_t slot) {
    StartObject(slot);
    AddVertex(0, 0, 0, 0, 0, 0xFFFFFF);
    AddVertex(1, 0, 0, 0, 0, 0xFFFFFF);
    AddVertex(0, 1, 0, 0, 0, 0xFFFFFF);
    AddVertex(1, 0, 0, 0, 0, 0xFFFFFF);
    AddVertex(1, 1, 1, 0, 0, 0xFFFFFF);
    AddVertex(0, 1, 0, 0, 0, 0xFFFFFF);
    EndObject();
}

TEST_F(MeshBuildTest, SmoothingSharesNormalsAtSharedPositions) {
    SetSmoothingMode(2);
    BuildFold(5);
    const vtx::Frame& f = Mesh(5).frames[0];
    EXPECT_EQ(Mesh(5).normalsValid, 1);
    for (int k = 0; k < 3; ++k) {
        EXPECT_FLOAT_EQ(f.vertices[1].normal[k], f.vertices[3].normal[k]);
        EXPECT_FLOAT_EQ(f.vertices[2].normal[k], f.vertices[5].normal[k]);
    }
    const float* n = f.vertices[1].normal;
    EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-5f);
    // The unshared corner keeps its own face's normal: (0, 0, 1).
    EXPECT_FLOAT_EQ(f.vertices[0].normal[2], 1.0f);
    EXPECT_FLOAT_EQ(f.vertices[1].normal[0], f.vertices[1].normal[1]);
    EXPECT_GT(f.vertices[1].normal[2], f.vertices[4].normal[2]);
}

TEST_F(MeshBuildTest, FlatNormalsStayPerFace) {
    SetSmoothingMode(4);  // 4 mod 3 = 1: flat
    BuildFold(6);
    const vtx::Frame& f = Mesh(6).frames[0];
    EXPECT_FLOAT_EQ(f.vertices[1].normal[2], 1.0f);
    EXPECT_NE(f.vertices[3].normal[2], 1.0f);
    const float third = 1.0f / std::sqrt(3.0f);
    EXPECT_NEAR(f.vertices[3].normal[0], -third, 1e-6f);
    EXPECT_NEAR(f.vertices[3].normal[1], -third, 1e-6f);
    EXPECT_NEAR(f.vertices[3].normal[2], third, 1e-6f);
}

TEST_F(MeshBuildTest, NoSmoothingModeLeavesNormalsAlone) {
    BuildFold(7);
    EXPECT_EQ(Mesh(7).normalsValid, 0);
    EXPECT_FLOAT_EQ(Mesh(7).frames[0].vertices[0].normal[2], 0.0f);
}

TEST_F(MeshBuildTest, StripNormalsFaceOneWay) {
    SetSmoothingMode(1);
    StartObject(1);
    NewStrip();
    for (int i = 0; i < 6; ++i) AddVertex(i, i % 2, 0, 0, 0, 0xFFFFFF);
    EndObject();
    const vtx::Frame& f = Mesh(1).frames[0];
    for (int32_t i = 1; i < f.vertices.count(); ++i) EXPECT_FLOAT_EQ(f.vertices[i].normal[2], f.vertices[1].normal[2]) << i;
    EXPECT_FLOAT_EQ(std::fabs(f.vertices[1].normal[2]), 1.0f);
}

TEST_F(MeshBuildTest, TangentsFollowTheTextureDirections) {
    StartObject(2);
    AddVertex(0, 0, 0, 0, 0, 0xFFFFFF);
    AddVertex(2, 0, 0, 1, 0, 0xFFFFFF);
    AddVertex(0, 3, 0, 0, -1, 0xFFFFFF);  // stored v = 1
    EndObject();
    vtx::MeshObjectX& mesh = Mesh(2);
    vtx::PrepareMesh(mesh, false, false, true);
    EXPECT_EQ(mesh.tangentsValid, 1);
    EXPECT_EQ(mesh.normalsValid, 0);
    const vtx::Vertex& v = mesh.frames[0].vertices[0];
    EXPECT_FLOAT_EQ(v.tangent[0], 1.0f);
    EXPECT_FLOAT_EQ(v.tangent[1], 0.0f);
    EXPECT_FLOAT_EQ(v.bitangent[1], 1.0f);
    // Already valid: a second call changes nothing.
    mesh.frames[0].vertices[0].tangent[0] = 5;
    vtx::PrepareMesh(mesh, false, false, true);
    EXPECT_FLOAT_EQ(mesh.frames[0].vertices[0].tangent[0], 5.0f);
}

TEST_F(MeshBuildTest, BoundsAreTheMeanAndTheFarthestCorner) {
    StartObject(3);
    AddVertex(-1, 0, 0, 0, 0, 0);
    AddVertex(3, 0, 0, 0, 0, 0);
    AddVertex(1, 4, 0, 0, 0, 0);
    EndObject();
    const vtx::Frame& f = Mesh(3).frames[0];
    EXPECT_FLOAT_EQ(f.centre[0], 1.0f);
    EXPECT_FLOAT_EQ(f.centre[1], 4.0f / 3.0f);
    EXPECT_FLOAT_EQ(f.radius, 8.0f / 3.0f);
}

TEST_F(MeshBuildTest, MoreColoursThanTheIndexNamesStillExpandRight) {
    // Colour 256 wraps to index 0 in the 8-bit index, where a marker sits.
    StartObject(4);
    AddVertex(0, 0, 0, 0, 0, -1);
    for (int i = 0; i < 258; ++i) AddVertex(i, 0, 0, 0, 0, i);
    EndObject();
    EXPECT_EQ(Mesh(4).colourTable.count(), 259);
    EXPECT_EQ(Mesh(4).frames[0].triangles.count(), 258);
    ScratchFolder folder("mesh-colours");
    SaveObject(RtString((folder.path() / "c.ddd").c_str()), 4);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "c.ddd"));
}

TEST_F(MeshBuildTest, ClearMeshEmptiesEverything) {
    SetSmoothingMode(2);
    BuildFold(5);
    vtx::MeshObjectX& mesh = Mesh(5);
    vtx::ClearMesh(mesh, true);
    EXPECT_EQ(mesh.frames.count(), 0);
    EXPECT_EQ(mesh.frames.capacity(), 0);
    EXPECT_EQ(mesh.drawBuffer.count(), 0);
    EXPECT_EQ(mesh.colourTable.count(), 0);
    EXPECT_EQ(mesh.normalsValid, 0);
}

TEST(GrowListTest, GrowsByTheMinimumThenBySteps) {
    vtx::GrowList<int> list(128, 512);
    EXPECT_TRUE(list.push(1));
    EXPECT_EQ(list.capacity(), 512);
    for (int i = 0; i < 512; ++i) list.push(i);
    EXPECT_EQ(list.capacity(), 128 * (513 / 128 + 1));
    vtx::GrowList<int> ones(1, 1);
    ones.push(1);
    ones.push(2);
    EXPECT_EQ(ones.capacity(), 3);  // 1 x (2 / 1 + 1)
    EXPECT_FALSE(ones.reserve(int64_t{1} << 40));
    EXPECT_EQ(ones.count(), 2);
}

}  // namespace
