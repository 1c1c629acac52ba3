// Bad input to the scene commands: nothing drawn or the documented result,
// never a crash or a GL error; and the limits of the transform stack.
#include <cmath>
#include <limits>

#include "core/rt_array.h"
#include "gfx3d/camera.h"
#include "scene_test_support.h"

namespace scene_test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int32_t kRed = 0x0000FF;

using SceneInputTest = SceneTest;

void Matrix(float out[16]) { ASSERT_TRUE(vtx::CurrentEntityTransform(out)); }

bool SameMatrix(const float a[16], const float b[16]) {
    for (int i = 0; i < 16; ++i)
        if (std::fabs(a[i] - b[i]) > 1e-5f) return false;
    return true;
}

void Scene() {
    BeginScene3D(1, 100, 90);
    SetCamera(0, 0, 10, 0, 0, 0);
}

TEST_P(SceneInputTest, BadSlotsAndObjectsDrawNothing) {
    StartObject(0);
    AddQuadZ(0, 0, 0, 2, kRed);
    EndObject();
    Scene();
    for (int32_t slot : {-1, 4096, 1 << 30, 5}) EXPECT_EQ(DrawObjectFrame(slot, 0), 0);
    StartObject(6);  // half built
    AddVertex(0, 0, 0, 0, 0, kRed);
    DrawObjectFrame(6, 0);
    AddVertex(1, 0, 0, 0, 0, kRed);
    EndObject();  // two vertices: stays invalid
    DrawObjectFrame(6, 0);
    EXPECT_TRUE(Near(Pixel(320, 240), {0, 0, 0}));
    DrawObject(0, kNaN, 0, 0, 1);
    DrawObject(0, 0, 0, kNaN, 1);
    DrawObject(0, 0, 0, std::numeric_limits<double>::infinity(), 1);
    EXPECT_TRUE(Near(Pixel(320, 240), {0, 0, 0}));
    DrawObjectFrame(0, 1e9);  // beyond the last frame: the last frame
    EXPECT_TRUE(Near(Pixel(320, 240), {255, 0, 0}));
}

TEST_P(SceneInputTest, UnusableScenesDrawNothingUntilAGoodOne) {
    StartObject(0);
    AddQuadZ(0, 0, 0, 2, kRed);
    EndObject();
    const double cases[][3] = {{0, 100, 90}, {-1, 100, 90}, {5, 5, 90}, {10, 1, 90}, {1, 100, 180},
                               {1, 100, 270}, {kNaN, 100, 90}, {1, kNaN, 90}, {1, 100, kNaN}, {0, 100, -45}};
    for (const auto& c : cases) {
        BeginScene3D(c[0], c[1], c[2]);
        SetCamera(0, 0, 10, 0, 0, 0);
        DrawObjectFrame(0, 0);
        EXPECT_TRUE(Near(Pixel(320, 240), {0, 0, 0})) << c[0] << " " << c[1] << " " << c[2];
    }
    Scene();
    DrawObjectFrame(0, 0);
    EXPECT_TRUE(Near(Pixel(320, 240), {255, 0, 0}));
}

TEST_P(SceneInputTest, DegenerateCamerasAndNaNArgumentsLeaveNoGlError) {
    StartObject(0);
    AddQuadZ(0, 0, 0, 2, kRed);
    EndObject();
    Scene();
    SetCameraUp(0, 0, 0);
    SetCamera(0, 0, 10, 0, 0, 0);
    DrawObjectFrame(0, 0);
    SetCameraUp(0, 1, 0);
    SetCamera(3, 3, 3, 3, 3, 3);  // eye on the target
    DrawObjectFrame(0, 0);
    SetCamera(kNaN, 0, 0, 0, 0, 0);  // ignored
    vtx::CameraView view{};
    ASSERT_TRUE(vtx::CurrentCameraView(view));
    EXPECT_EQ(view.eye[0], 3.0f);
    SetCamera(0, 0, 10, 0, 0, 0);
    MoveEntity(kNaN, 0, 0);
    ScaleEntity(1, kNaN, 1);
    RotateEntity(kNaN, 0, 0, 1);
    RotateEntity(30, kNaN, 0, 1);
    SetLight(0, 0xFFFFFF, kNaN, 0, 0, 0, 0, -1, 180);
    SetLight(0, 0xFFFFFF, 0, 0, 0, 0, 0, -1, kNaN);
    SetFog(0xFFFFFF, 0, kNaN, 10);
    SetFog(0xFFFFFF, 1, -1, 0);  // negative density
    SetFog(-1, 0, 0, 0);
    SetTextureOffset3D(kNaN, 0);
    SetCullMode(kNaN);
    DrawLine3D(0, 0, 0, kNaN, 0, 0, 1, kRed);
    DrawDot3D(0, 0, 0, kNaN, kRed);  // size NaN: 1
    DrawLine3D(0, 0, 0, 1, 1, 1, 1e9, kRed);
    draw_test::Fill({0, 0, 0});
    ClearDepth3D();
    float m[16];
    Matrix(m);
    float identity[16];
    vtx::MatIdentity(identity);
    EXPECT_TRUE(SameMatrix(m, identity));
    DrawObjectFrame(0, 0);
    EXPECT_TRUE(Near(Pixel(320, 240), {255, 0, 0}));
}

TEST_P(SceneInputTest, LightNumbersOutsideTheRange) {
    Scene();
    SetLight(-4, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 1);  // no such effect: ignored
    EXPECT_FALSE(vtx::Scene3D()->effectOn);
    SetLight(1000, 0xFFFFFF, 0, 0, 0, 0, 0, -1, 180);  // light 1000 mod 8 = 0
    EXPECT_EQ(vtx::Scene3D()->lightMask, 1u);
    SetLight(-1001, 0xFFFFFF, 0, 0, 0, 0, 0, -1, 180);
    EXPECT_EQ(vtx::Scene3D()->lightMask, 1u);
    SetLight(8, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(vtx::Scene3D()->lightMask, 0u);
    EXPECT_EQ(glIsEnabled(GL_LIGHTING), GL_FALSE);
}

TEST_P(SceneInputTest, BumpMappingAMeshWithoutTextureCoordinates) {
    StartObject(0);
    AddVertex(-2, -2, 0, 0, 0, kRed);
    AddVertex(2, -2, 0, 0, 0, kRed);
    AddVertex(0, 2, 0, 0, 0, kRed);
    EndObject();
    Scene();
    SetLight(-1, 0xFFFFFF, 0, 0, 5, 0, 0, 0, 1);
    DrawObjectFrame(0, 0);
    const vtx::Vertex& v = vtx::ObjectSlotAt(0)->parts[0].drawBuffer[0];
    for (float f : v.light) EXPECT_TRUE(std::isfinite(f));
    SetLight(-2, 0xFFFFFF, 0, 0, 5, 0, 0, 0, 1);
    DrawObjectFrame(0, 0);
    SetLight(-3, 0xFFFFFF, 0, 0, 5, 0, 0, 0, 1);
    DrawObjectFrame(0, 0);  // an open triangle: edges without neighbours
    SetLight(-3, 0xFFFFFF, 0, 0, 5, 0, 0, 0, 0);
}

TEST_P(SceneInputTest, TransformStackLimits) {
    Scene();
    for (int i = 0; i < 16; ++i) RotateEntity(10, 0, 0, 1);
    float sixteen[16];
    Matrix(sixteen);
    RotateEntity(10, 0, 0, 1);  // the 17th is ignored
    float seventeen[16];
    Matrix(seventeen);
    EXPECT_TRUE(SameMatrix(sixteen, seventeen));
    EXPECT_NEAR(sixteen[0], std::cos(160 * 3.14159265358979 / 180), 1e-5);

    // pushes beyond depth 15 are ignored; pops at depth 0 reset level 0
    MoveEntity(1, 0, 0);
    for (int i = 0; i < 20; ++i) PushMatrix3D();
    EXPECT_EQ(vtx::Scene3D()->depth, 15);
    MoveEntity(0, 1, 0);
    float deep[16];
    Matrix(deep);
    EXPECT_FLOAT_EQ(deep[12], 1);
    EXPECT_FLOAT_EQ(deep[13], 1);
    for (int i = 0; i < 20; ++i) PopMatrix3D();
    EXPECT_EQ(vtx::Scene3D()->depth, 0);
    float top[16], identity[16];
    Matrix(top);
    vtx::MatIdentity(identity);
    EXPECT_TRUE(SameMatrix(top, identity));

    // only a one-dimensional array of 16 numbers is a matrix; 16 at most per level
    RtArray<double> wrong;
    DimArray(wrong, 15);
    MultiplyEntityMatrix(wrong);
    RtArray<double> square;
    DimArray(square, 4, 4);
    MultiplyEntityMatrix(square);
    Matrix(top);
    EXPECT_TRUE(SameMatrix(top, identity));
    RtArray<double> shift;
    DimArray(shift, 16);
    for (int i = 0; i < 16; ++i) ArrayElement(shift, i) = (i % 5 == 0) ? 1 : 0;
    ArrayElement(shift, 12) = 0.5;
    for (int i = 0; i < 17; ++i) MultiplyEntityMatrix(shift);
    Matrix(top);
    EXPECT_FLOAT_EQ(top[12], 8);  // 16 kept, the 17th rejected
}

INSTANTIATE_TEST_SUITE_P(Arrays, SceneInputTest, ::testing::Bool(), BufferName);

}  // namespace
}  // namespace scene_test
