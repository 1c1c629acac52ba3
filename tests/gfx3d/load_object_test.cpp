// LoadObject and SaveObject: single .ddd files, multi-part descriptions with
// names relative to their folder and parts from the pack archive.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "ddd_bytes.h"
#include "files/memory_names.h"
#include "files/pack_resolver_internal.h"
#include "gfx3d/multi_part.h"
#include "gfx3d/mesh.h"
#include "gfx3d/mesh_commands.h"
#include "gfx3d/object_slots.h"
#include "support/scratch_folder.h"

namespace {

class LoadObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        vtx::DeleteErrorLog();
        for (int32_t s = 0; s < 4; ++s) vtx::ResetObjectSlot(*vtx::ObjectSlotAt(s));
        SetSmoothingMode(0);
    }
    void TearDown() override { vtx::ReleaseResolverResult(vtx::LoaderResolver()); }
    std::string path(const std::string& name) const { return (folder_.path() / name).string(); }
    // A triangle of the given colour (and x offset) saved as a .ddd file.
    void SaveTriangle(const std::string& name, int32_t colour, double x = 0) {
        StartObject(3);
        AddVertex(x, 0, 0, 0, 0, colour);
        AddVertex(x + 1, 0, 0, 1, 0, colour);
        AddVertex(x, 1, 0, 0, 1, colour);
        EndObject();
        SaveObject(RtString(path(name).c_str()), 3);
        vtx::ResetObjectSlot(*vtx::ObjectSlotAt(3));
    }
    ScratchFolder folder_{"load-object"};
};

TEST_F(LoadObjectTest, SingleFileBecomesAValidSlot) {
    SaveTriangle("tri.ddd", 0x336699);
    ASSERT_TRUE(std::filesystem::exists(path("tri.ddd")));
    LoadObject(RtString(path("tri.ddd").c_str()), 0);
    const vtx::ObjectSlot& slot = *vtx::ObjectSlotAt(0);
    EXPECT_EQ(slot.valid, 1);
    EXPECT_EQ(slot.multiPart, 0);
    EXPECT_EQ(slot.partCount, 1);
    const vtx::MeshObjectX& mesh = slot.parts[0];
    ASSERT_EQ(mesh.frames[0].triangles.count(), 3);
    EXPECT_EQ(mesh.drawBuffer.count(), 3);
    EXPECT_FLOAT_EQ(mesh.frames[0].triangles[1].uv[0], 1.0f);
    EXPECT_FLOAT_EQ(mesh.frames[0].triangles[2].uv[1], -1.0f);
    EXPECT_EQ(mesh.frames[0].triangles[0].colour, 0x336699u);
    EXPECT_GT(mesh.frames[0].radius, 0.5f);
    EXPECT_EQ(mesh.usesColours, 1);
}

TEST_F(LoadObjectTest, BadFileLeavesTheSlotResetAndInvalid) {
    SaveTriangle("tri.ddd", 0);
    LoadObject(RtString(path("tri.ddd").c_str()), 1);
    ASSERT_EQ(vtx::ObjectSlotAt(1)->valid, 1);
    WriteBytes(path("broken.ddd"), {0x17, 0xB3, 0xC6, 0x00, 1, 2});
    LoadObject(RtString(path("broken.ddd").c_str()), 1);
    EXPECT_EQ(vtx::ObjectSlotAt(1)->valid, 0);
    EXPECT_EQ(vtx::ObjectSlotAt(1)->parts[0].frames.count(), 0);
    EXPECT_NE(ErrorLogText().find("# read error"), std::string::npos);
    LoadObject(RtString(path("tri.ddd").c_str()), 4096);  // no such slot: nothing happens
}

TEST_F(LoadObjectTest, MultiPartWithRelativeNames) {
    std::filesystem::create_directories(folder_.path() / "car" / "parts");
    SaveTriangle("car/body.ddd", 0xFF0000);
    SaveTriangle("car/parts/wheel.ddd", 0x00FF00, 5);
    WriteText(path("car/car.ddw"),
              ";DDW\r\n[textures]\r\ncount=2\r\n1=paint.png\r\n2=missing.png\r\n"
              "[objects]\r\ncount=3\r\n1=body.ddd\r\n1ta=2\r\n1tb=0\r\n2=parts\\wheel.ddd\r\n2ta=1\r\n"
              "3=nothing.ddd\r\n3tb=9\r\n");
    LoadObject(RtString(path("car/car.ddw").c_str()), 2);
    const vtx::ObjectSlot& slot = *vtx::ObjectSlotAt(2);
    EXPECT_EQ(slot.valid, 1);
    EXPECT_EQ(slot.multiPart, 1);
    ASSERT_EQ(slot.partCount, 3);
    ASSERT_EQ(slot.parts.size(), 3u);
    EXPECT_EQ(slot.textureCount, 2);  // entries stay empty without a GL context
    EXPECT_EQ(slot.parts[0].frames[0].triangles[0].colour, 0xFF0000u);
    EXPECT_FLOAT_EQ(slot.parts[1].frames[0].centre[0], 5.0f + 1.0f / 3.0f);
    EXPECT_EQ(slot.parts[2].frames.count(), 0);  // a missing part stays empty
    EXPECT_EQ(slot.parts[0].texturePair[0], 1);
    EXPECT_EQ(slot.parts[0].texturePair[1], 0);
    EXPECT_EQ(slot.parts[1].texturePair[0], 0);
    EXPECT_EQ(slot.parts[2].texturePair[1], -1);  // texture 9 of 2
}

TEST_F(LoadObjectTest, DescriptionNamingItselfOrHugeCounts) {
    WriteText(path("self.ddw"), ";DDW\n[objects]\ncount=1\n1=self.ddw\n");
    LoadObject(RtString(path("self.ddw").c_str()), 0);
    EXPECT_EQ(vtx::ObjectSlotAt(0)->valid, 1);
    ASSERT_EQ(vtx::ObjectSlotAt(0)->partCount, 1);
    EXPECT_EQ(vtx::ObjectSlotAt(0)->parts[0].frames.count(), 0);

    for (const char* count : {"2147483647", "-1", "4"}) {
        WriteText(path("huge.ddw"), std::string(";DDW\n[objects]\ncount=").append(count).append("\n1=a.ddd\n2=b.ddd\n"));
        LoadObject(RtString(path("huge.ddw").c_str()), 1);
        EXPECT_EQ(vtx::ObjectSlotAt(1)->valid, 0) << count;
        EXPECT_EQ(vtx::ObjectSlotAt(1)->partCount, 1) << count;
    }
    WriteText(path("tex.ddw"), ";DDW\n[textures]\ncount=100000000\n");
    LoadObject(RtString(path("tex.ddw").c_str()), 1);
    EXPECT_EQ(vtx::ObjectSlotAt(1)->valid, 0);
    EXPECT_EQ(vtx::ObjectSlotAt(1)->textureCount, 0);
}

TEST_F(LoadObjectTest, PartsFromThePackArchive) {
    SaveTriangle("inner.ddd", 0x0000FF);
    WriteText(path("model.ddw"), ";DDW\n[objects]\ncount=1\n1=sub/inner.ddd\n");
    WriteText(path("game.bin"), "program bytes");
    const std::string command = std::string(VTXPACK).append(" add ").append(path("game.bin")).append(" ")
                                    .append(path("inner.ddd")).append(" ").append(path("model.ddw"))
                                    .append(" > /dev/null");
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::filesystem::remove(path("inner.ddd"));
    std::filesystem::remove(path("model.ddw"));
    SetPackFiles(RtString(path("game.bin").c_str()), RtString(path("game.bin").c_str()));
    LoadObject(RtString("data/model.ddw"), 0);
    const vtx::ObjectSlot& slot = *vtx::ObjectSlotAt(0);
    EXPECT_EQ(slot.multiPart, 1);
    ASSERT_EQ(slot.partCount, 1);
    ASSERT_EQ(slot.parts[0].frames.count(), 1);
    EXPECT_EQ(slot.parts[0].frames[0].triangles[0].colour, 0x0000FFu);
    SetPackFiles(RtString(""), RtString(""));
}

TEST_F(LoadObjectTest, MemoryNamesLoadLikeFiles) {
    SaveTriangle("tri.ddd", 0x445566);
    const std::vector<uint8_t> bytes = ReadBytes(path("tri.ddd"));
    const RtString name = vtx::RegisterMemoryBlock(bytes.data(), static_cast<uint32_t>(bytes.size()));
    LoadObject(name, 0);
    EXPECT_EQ(vtx::ObjectSlotAt(0)->valid, 1);
    EXPECT_EQ(vtx::ObjectSlotAt(0)->parts[0].frames[0].triangles[0].colour, 0x445566u);
    vtx::UnregisterMemoryBlock(name);
    // A block that ends early is a short file.
    const RtString cut = vtx::RegisterMemoryBlock(bytes.data(), static_cast<uint32_t>(bytes.size() - 1));
    vtx::MeshObjectX mesh;
    EXPECT_FALSE(vtx::LoadDDD(mesh, cut.c_str()));
    EXPECT_NE(ErrorLogText().find(std::string("# read error\r\n").append(cut.c_str())), std::string::npos);
    vtx::UnregisterMemoryBlock(cut);
    EXPECT_EQ(vtx::DescriptionFolder("mem://00000010.00001000"), "");
    EXPECT_EQ(vtx::DescriptionFolder("a/b\\c.ddw"), "a/b\\");
    EXPECT_EQ(vtx::DescriptionFolder("c.ddw"), "");
}

TEST_F(LoadObjectTest, MissingFileChangesNothing) {
    SaveTriangle("tri.ddd", 0);
    LoadObject(RtString(path("tri.ddd").c_str()), 0);
    LoadObject(RtString(path("absent.ddd").c_str()), 0);
    EXPECT_EQ(vtx::ObjectSlotAt(0)->valid, 1);
}

}  // namespace
