// The textures of multi-part descriptions, with a window and GL context:
// uploaded into the slot's texture list, deleted when the slot restarts.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "ddd_bytes.h"
#include "gfx3d/mesh_commands.h"
#include "gfx3d/object_slots.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"
#include "support/bmp_file.h"
#include "support/scratch_folder.h"
#include "support/engine_in_folder.h"

namespace {

class ObjectTexturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartEngineIn(scratch_.path()));
    }
    ScratchFolder scratch_{"object-textures"};
};

TEST_F(ObjectTexturesTest, DescriptionTexturesAreUploadedAndDeletedWithTheSlot) {
    std::filesystem::create_directories("model");
    test_support::WriteBmp("model/paint.bmp", 2, 2, std::vector<std::array<uint8_t, 3>>(4, {200, 100, 50}));
    StartObject(0);
    for (int i = 0; i < 3; ++i) AddVertex(i, i * i, 0, 0, 0, 0xFFFFFF);
    EndObject();
    SaveObject(RtString("model/part.ddd"), 0);
    WriteText("model/m.ddw", ";DDW\n[textures]\ncount=2\n1=missing.png\n2=paint.bmp\n"
                             "[objects]\ncount=1\n1=part.ddd\n1ta=2\n1tb=1\n");
    LoadObject(RtString("model/m.ddw"), 1);
    const vtx::ObjectSlot& slot = *vtx::ObjectSlotAt(1);
    ASSERT_EQ(slot.textureCount, 2);
    EXPECT_EQ(slot.textureNames[0], 0u);  // a picture that cannot be read leaves its entry empty
    const GLuint texture = slot.textureNames[1];
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(glIsTexture(texture), GL_TRUE);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    std::vector<uint8_t> texels(static_cast<size_t>(width) * width * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[0], 200);
    EXPECT_EQ(texels[1], 100);
    EXPECT_EQ(texels[2], 50);
    EXPECT_EQ(slot.parts[0].texturePair[0], 1);
    EXPECT_EQ(slot.parts[0].texturePair[1], 0);
    EXPECT_EQ(slot.parts[0].frames[0].triangles.count(), 3);

    StartObject(1);
    EXPECT_EQ(glIsTexture(texture), GL_FALSE);
    EXPECT_EQ(vtx::ObjectSlotAt(1)->textureCount, 0);
    EndObject();
}

}  // namespace
