// A demo 3D scene (lit and fogged boxes, a toon quad, a shadow on a floor,
// lines and axes) compared with a reference picture kept beside the tests,
// with buffer objects and with client arrays. Run with
// VTX_WRITE_SCENE_REFERENCE=1 to write the reference again after a
// deliberate change in what the scene draws.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "gfx2d/image_buffer.h"
#include "gfx2d/picture_codecs.h"
#include "scene_test_support.h"

#ifndef VTX_SCENE_REFERENCE
#error "VTX_SCENE_REFERENCE names the reference picture of the demo scene"
#endif

namespace scene_test {
namespace {

constexpr int kW = 640, kH = 480;

void DrawDemoScene() {
    StartObject(0);
    AddFloor(8, 0xB4C8C8);
    EndObject();
    SetSmoothingMode(1);
    StartObject(1);
    const double centre[3] = {0, 0, 0};
    AddBox(centre, 1, 0xFFFFFF);
    EndObject();
    StartObject(2);
    AddQuadZ(0, 0, 0, 1, 0x40A0FF);
    EndObject();
    SetSmoothingMode(0);

    draw_test::Fill({20, 30, 60});
    BeginScene3D(1, 60, 60);
    SetCamera(4, 9, 12, 0, 1, 0);
    SetFog(0x3C1E14, 0, 10, 40);
    DrawObjectFrame(0, 0);
    SetLight(0, 0xE0FFFF, 5, 10, 5, -1, -2, -1, 180);
    MoveEntity(-2, 2, 0);
    RotateEntity(30, 0, 1, 0);
    RotateEntity(20, 1, 0, 0);
    DrawObjectFrame(1, 0);
    PushMatrix3D();
    MoveEntity(4, 0, 1);
    ScaleEntity(1.5, 0.5, 1);
    DrawObjectFrame(1, 0);
    PopMatrix3D();
    SetLight(0, 0, 0, 0, 0, 0, 0, 0, 0);
    SetFog(-1, 0, 0, 0);
    MoveEntity(2.5, 3.5, -2);
    SetLight(-2, 0xFFFFFF, 10, 10, 10, 0, 0, 0, 1);
    DrawObjectFrame(2, 0);
    SetLight(-2, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 0);
    MoveEntity(-2, 2, 0);
    RotateEntity(30, 0, 1, 0);
    RotateEntity(20, 1, 0, 0);
    SetLight(-3, 0xFFFFFF, 1, 12, 2, 0, 0, 0, 1);
    DrawObjectFrame(1, 0);
    SetLight(-3, 0xFFFFFF, 1, 12, 2, 0, 0, 0, 0);
    DrawLine3D(-6, 0.1, 6, 6, 0.1, 6, 3, 0x00FFFF);
    DrawAxes3D(5, 0.2, -5);
}

using SceneReferenceTest = SceneTest;

TEST_P(SceneReferenceTest, DemoSceneMatchesTheReferencePicture) {
    DrawDemoScene();
    vtx::FlushDrawBatch();
    std::vector<uint8_t> bgr(static_cast<size_t>(kW) * kH * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kW, kH, GL_BGR, GL_UNSIGNED_BYTE, bgr.data());
    const char* write = std::getenv("VTX_WRITE_SCENE_REFERENCE");
    if (write != nullptr && *write != 0 && *write != '0' && GetParam()) {
        ASSERT_TRUE(vtx::EncodePicture(VTX_SCENE_REFERENCE, bgr.data(), kW, kH, kW, vtx::RenderedKey{}));
        GTEST_SKIP() << "wrote " << VTX_SCENE_REFERENCE;
    }
    vtx::ImageBuffer reference;
    ASSERT_TRUE(vtx::DecodePng(reference, VTX_SCENE_REFERENCE, -1)) << VTX_SCENE_REFERENCE;
    ASSERT_EQ(reference.width, kW);
    ASSERT_EQ(reference.height, kH);
    int differing = 0, largest = 0, background = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const uint8_t* want = reference.pixels + (static_cast<size_t>(y) * kW + x) * 4;
            const uint8_t* got = &bgr[(static_cast<size_t>(kH - 1 - y) * kW + x) * 3];
            int diff = 0;
            for (int c = 0; c < 3; ++c) diff = std::max(diff, std::abs(int{want[c]} - int{got[2 - c]}));
            if (diff > 2) ++differing;
            largest = std::max(largest, diff);
            if (got[0] == 60 && got[1] == 30 && got[2] == 20) ++background;
        }
    EXPECT_LE(differing, kW * kH / 500) << "largest difference " << largest;
    EXPECT_LT(background, kW * kH * 3 / 4);  // the scene is not just background
}

INSTANTIATE_TEST_SUITE_P(Arrays, SceneReferenceTest, ::testing::Bool(), BufferName);

}  // namespace
}  // namespace scene_test
