// The drawing effects read back from the window: stencil shadow volumes and
// their pass, toon ramp bands, bump mapping toward the light.
#include <cmath>

#include "core/rt_array.h"
#include "scene_test_support.h"

namespace scene_test {
namespace {

constexpr int32_t kWhite = 0xFFFFFF;

using SceneEffectsTest = SceneTest;

// A floor and a box above it, seen from (0, 10, 10); the light at (0, 20, 0).
class ShadowScene {
public:
    ShadowScene() {
        StartObject(0);
        AddFloor(10, 0xC8C8C8);
        EndObject();
        StartObject(1);
        const double centre[3] = {0, 3, 0};
        AddBox(centre, 1, 0x0000FF);
        EndObject();
    }
    void Draw() {
        BeginScene3D(1, 100, 90);
        SetCamera(0, 10, 10, 0, 0, 0);
        DrawObjectFrame(0, 0);
        DrawObjectFrame(1, 0);
    }
};

std::vector<uint8_t> ReadColours() {
    std::vector<uint8_t> p(640 * 480 * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    return p;
}

int StencilAt(int x, int y) {
    GLubyte v = 0;
    glReadPixels(x, 479 - y, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &v);
    return v;
}

TEST_P(SceneEffectsTest, ShadowVolumesMarkOnlyTheStencilThenDarkenTheFloor) {
    ShadowScene scene;
    scene.Draw();
    const Rgb floorLit = Pixel(320 + 120, 240);
    const Rgb floorUnder = Pixel(320, 240);
    const Rgb boxTop = Pixel(320, 180);
    ASSERT_TRUE(Near(floorUnder, {200, 200, 200}));
    ASSERT_TRUE(Near(boxTop, {255, 0, 0}));
    const std::vector<uint8_t> before = ReadColours();

    SetLight(-3, kWhite, 0, 20, 0, 0, 0, 0, 1);  // effect light, shadows on: the pass starts
    DrawObjectFrame(1, 0);
    EXPECT_TRUE(ReadColours() == before);  // no colour pixel changed
    EXPECT_NE(StencilAt(320, 240), 0);
    EXPECT_EQ(StencilAt(320 + 120, 240), 0);
    EXPECT_EQ(StencilAt(320, 180), 0);  // the box's own lit top is not in its shadow

    SetLight(-3, kWhite, 0, 20, 0, 0, 0, 0, 0);  // the pass ends: the dark cover
    EXPECT_TRUE(Near(Pixel(320, 240), {100, 100, 100}, 2));
    EXPECT_TRUE(Near(Pixel(320 + 120, 240), floorLit));
    EXPECT_TRUE(Near(Pixel(320, 180), boxTop));
    EXPECT_EQ(StencilAt(320, 240), 0);  // cleared after the cover
    EXPECT_EQ(glIsEnabled(GL_STENCIL_TEST), GL_FALSE);

    // a closed box lit from above: every edge has a neighbour, and the
    // silhouette is the rim of the top face
    const vtx::MeshObjectX& box = vtx::ObjectSlotAt(1)->parts[0];
    ASSERT_EQ(box.frames[0].vertices.count(), 36) << box.frames[0].triangles.count();
    ASSERT_EQ(box.edgeNeighbour.size(), 36u);
    for (int32_t n : box.edgeNeighbour) EXPECT_NE(n, -1);
    int silhouette = 0;
    for (uint8_t s : box.edgeSilhouette) silhouette += s;
    EXPECT_EQ(silhouette, 4);
}

TEST_P(SceneEffectsTest, FramePresentationEndsTheShadowPass) {
    ShadowScene scene;
    scene.Draw();
    SetLight(-3, kWhite, 0, 20, 0, 0, 0, 0, 1);
    DrawObjectFrame(1, 0);
    EXPECT_TRUE(vtx::Scene3D()->shadowPass);
    ShowScreen();
    EXPECT_FALSE(vtx::Scene3D()->shadowPass);
    // a second scene draws in colour again: the pass left no masks behind
    draw_test::Fill({0, 0, 0});
    scene.Draw();
    EXPECT_TRUE(Near(Pixel(320, 240), {200, 200, 200}));
}

void SetRamp(std::initializer_list<double> values) {
    RtArray<double> ramp;
    DimArray(ramp, static_cast<int32_t>(values.size()));
    int32_t i = 0;
    for (double v : values) ArrayElement(ramp, i++) = v;
    SetToonRamp(ramp);
}

// Brightness of the middle of a white quad drawn in toon mode, turned by
// angle degrees away from the effect light far along +z.
int ToonBrightness(double angle) {
    draw_test::Fill({0, 0, 0});
    BeginScene3D(1, 100, 90);
    SetCamera(0, 0, 10, 0, 0, 0);
    SetLight(-2, kWhite, 0, 0, 100000, 0, 0, 0, 1);
    RotateEntity(angle, 0, 1, 0);
    DrawObjectFrame(0, 0);
    return Pixel(320, 240)[0];
}

TEST_P(SceneEffectsTest, ToonShadingDrawsTheRampsBands) {
    StartObject(0);
    AddQuadZ(0, 0, 0, 3, kWhite);
    EndObject();
    // default ramp: 100, 160 x 6, 207, 255 x 8
    EXPECT_NEAR(ToonBrightness(0), 255, 2);
    EXPECT_NEAR(ToonBrightness(80), 160, 2);
    const GLuint first = vtx::ObjectSlotAt(0)->parts[0].toonTexture;
    EXPECT_NE(first, 0u);
    SetRamp({50, 200});
    EXPECT_EQ(vtx::ObjectSlotAt(0)->parts[0].toonTexture, 0u);  // rebuilt with the new ramp
    EXPECT_NEAR(ToonBrightness(0), 200, 2);
    EXPECT_NEAR(ToonBrightness(80), 50, 2);
    SetRamp({});  // the one-step ramp
    ASSERT_EQ(vtx::Scene3D()->toonRamp.size(), 1u);
    EXPECT_EQ(vtx::Scene3D()->toonRamp[0], 255);
    EXPECT_NEAR(ToonBrightness(80), 255, 2);
}

TEST_P(SceneEffectsTest, BumpMappedQuadIsBrighterTowardTheLight) {
    draw_test::MakeSprite(1, 16, 16, [](int, int) { return Rgb{255, 255, 255}; });
    draw_test::MakeSprite(2, 16, 16, [](int, int) { return Rgb{128, 128, 255}; });  // flat normal map
    StartObject(0);
    AddQuadZ(0, 0, 0, 4, kWhite);
    EndObject();
    BeginScene3D(1, 100, 90);
    SetCamera(0, 0, 10, 0, 0, 0);
    SetTexture3D(1, 2);
    SetLight(-1, kWhite, -4, 0, 3, 0, 0, 0, 1);  // above the left edge
    DrawObjectFrame(0, 0);
    // The normal map is flat, so DOT3 gives 2 (l - 0.5) with l = 0.5 + 0.5
    // (normal . light vector), interpolated from the corners along y = 0.
    const double cornerLeft = 0.5 + 0.5 * 3 / 5.0;                       // light vector (0, 4, 3) / 5
    const double cornerRight = 0.5 + 0.5 * 3 / std::sqrt(64.0 + 16 + 9);  // (-8, 4, 3)
    auto expected = [&](double x) {
        const double l = cornerLeft + (cornerRight - cornerLeft) * (x + 4) / 8;
        return 255 * 2 * (l - 0.5);
    };
    double x, y;
    const double eye[3] = {0, 0, 10};
    for (double at : {-3.5, 0.0, 3.5}) {
        const double p[3] = {at, 0, 0};
        Project(90, eye, p, x, y);
        const Rgb got = Pixel(static_cast<int>(x), static_cast<int>(y));
        EXPECT_NEAR(got[0], expected(at), 8) << "at x = " << at;
        EXPECT_NEAR(got[1], got[0], 2) << "DOT3 gives grey";
    }
    const double l[3] = {-3.5, 0, 0}, r[3] = {3.5, 0, 0};
    Project(90, eye, l, x, y);
    const int left = Pixel(static_cast<int>(x), static_cast<int>(y))[0];
    Project(90, eye, r, x, y);
    EXPECT_GT(left, Pixel(static_cast<int>(x), static_cast<int>(y))[0] + 40);
}

INSTANTIATE_TEST_SUITE_P(Arrays, SceneEffectsTest, ::testing::Bool(), BufferName);

}  // namespace
}  // namespace scene_test
