// The 3D scene drawn into the window and read back: silhouettes against the
// projection, depth order, lights, fog, face culling, frame blending and
// culling against the view volume; with buffer objects and client arrays.
#include <cmath>

#include "scene_test_support.h"

namespace scene_test {
namespace {

constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kGreen = 0x00FF00;
constexpr int32_t kWhite = 0xFFFFFF;
const double kEye[3] = {0, 0, 10};

void BuildQuad(int32_t slot, double cx, double cy, double cz, double h, int32_t colour) {
    StartObject(slot);
    AddQuadZ(cx, cy, cz, h, colour);
    EndObject();
}

using SceneDrawTest = SceneTest;

TEST_P(SceneDrawTest, CubeSilhouetteMatchesTheProjection) {
    StartObject(0);
    const double centre[3] = {0, 0, 0};
    AddBox(centre, 1, kRed);
    EndObject();
    BeginScene3D(1, 100, 90);
    SetCamera(0, 0, 10, 0, 0, 0);
    DrawObjectFrame(0, 0);
    // the front face at z = 1 spans x and y from -1 to 1
    double left, top, right, bottom;
    const double a[3] = {-1, 1, 1}, b[3] = {1, -1, 1};
    Project(90, kEye, a, left, top);
    Project(90, kEye, b, right, bottom);
    EXPECT_NEAR(right - left, 2 * 320 / (9 * 640.0 / 480.0), 0.01);  // the test's own projection
    EXPECT_TRUE(Near(Pixel(320, 240), {255, 0, 0}));
    EXPECT_TRUE(Near(Pixel(static_cast<int>(left) + 2, 240), {255, 0, 0}));
    EXPECT_TRUE(Near(Pixel(static_cast<int>(right) - 2, 240), {255, 0, 0}));
    EXPECT_TRUE(Near(Pixel(static_cast<int>(left) - 2, 240), {0, 0, 0}));
    EXPECT_TRUE(Near(Pixel(static_cast<int>(right) + 2, 240), {0, 0, 0}));
    EXPECT_TRUE(Near(Pixel(320, static_cast<int>(top) + 2), {255, 0, 0}));
    EXPECT_TRUE(Near(Pixel(320, static_cast<int>(top) - 2), {0, 0, 0}));
    EXPECT_TRUE(Near(Pixel(320, static_cast<int>(bottom) + 2), {0, 0, 0}));
}

TEST_P(SceneDrawTest, NearerObjectHidesTheFartherInEitherOrder) {
    BuildQuad(0, 0, 0, 0, 2, kRed);     // far
    BuildQuad(1, 1, 0, 3, 2, kGreen);   // near, shifted right
    for (int order = 0; order < 2; ++order) {
        draw_test::Fill({0, 0, 0});
        BeginScene3D(1, 100, 90);
        SetCamera(0, 0, 10, 0, 0, 0);
        DrawObjectFrame(order == 0 ? 0 : 1, 0);
        DrawObjectFrame(order == 0 ? 1 : 0, 0);
        double x, y;
        const double overlap[3] = {0.5, 0, 3};
        Project(90, kEye, overlap, x, y);
        EXPECT_TRUE(Near(Pixel(static_cast<int>(x), static_cast<int>(y)), {0, 255, 0})) << "order " << order;
        const double farOnly[3] = {-1.8, 0, 0};
        Project(90, kEye, farOnly, x, y);
        EXPECT_TRUE(Near(Pixel(static_cast<int>(x), static_cast<int>(y)), {255, 0, 0})) << "order " << order;
    }
}

TEST_P(SceneDrawTest, DirectionalLightShadesByTheAngleOfTheFace) {
    SetSmoothingMode(1);
    BuildQuad(0, 0, 0, 0, 2, kWhite);
    BeginScene3D(1, 100, 90);
    SetCamera(0, 0, 10, 0, 0, 0);
    SetLight(0, kWhite, 0, 0, 10, 0, 0, -1, 180);  // shining along -z
    DrawObjectFrame(0, 0);
    const Rgb facing = Pixel(320, 240);
    EXPECT_GE(facing[0], 250);
    draw_test::Fill({0, 0, 0});
    ClearDepth3D();
    RotateEntity(60, 0, 1, 0);
    DrawObjectFrame(0, 0);
    // diffuse cos 60 = 0.5 plus the default ambient 0.2 x 0.2
    const Rgb turned = Pixel(320, 240);
    EXPECT_NEAR(turned[0], 255 * 0.54, 8);
    EXPECT_NEAR(turned[1], turned[0], 1);
    // switched off: lighting goes with the last light
    SetLight(0, kWhite, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(glIsEnabled(GL_LIGHTING), GL_FALSE);
    SetSmoothingMode(0);
}

TEST_P(SceneDrawTest, LinearFogBlendsByEyeDistance) {
    BuildQuad(0, 0, 0, 0, 2, kRed);
    BeginScene3D(1, 100, 90);
    SetCamera(0, 0, 10, 0, 0, 0);
    SetFog(0xFF0000, 0, 0, 20);  // blue, from 0 to 20: half way at the quad
    DrawObjectFrame(0, 0);
    EXPECT_TRUE(Near(Pixel(320, 240), {128, 0, 128}, 3));
    draw_test::Fill({0, 0, 0});
    ClearDepth3D();
    SetFog(0xFF0000, 0, 5, 15);  // the quad at distance 10 is again half way
    DrawObjectFrame(0, 0);
    EXPECT_TRUE(Near(Pixel(320, 240), {128, 0, 128}, 3));
    draw_test::Fill({0, 0, 0});
    ClearDepth3D();
    SetFog(-1, 0, 0, 0);
    DrawObjectFrame(0, 0);
    EXPECT_TRUE(Near(Pixel(320, 240), {255, 0, 0}));
}

TEST_P(SceneDrawTest, ZeroFogDistancesUseTheScenesNearAndFar) {
    BuildQuad(0, 0, 0, 0, 2, kRed);
    BeginScene3D(0, 20, 90);  // near 0 is refused for perspective: nothing drawn
    SetCamera(0, 0, 10, 0, 0, 0);
    DrawObjectFrame(0, 0);
    EXPECT_TRUE(Near(Pixel(320, 240), {0, 0, 0}));
    BeginScene3D(2, 18, 90);
    SetCamera(0, 0, 10, 0, 0, 0);
    SetFog(0xFF0000, 0, 0, 0);  // start 2, end 18: distance 10 is half way
    DrawObjectFrame(0, 0);
    EXPECT_TRUE(Near(Pixel(320, 240), {128, 0, 128}, 3));
}

TEST_P(SceneDrawTest, CullModesPickTheFrontFaces) {
    BuildQuad(0, 0, 0, 0, 2, kRed);  // counter-clockwise seen from the camera
    const struct {
        double mode;
        bool drawn;
    } cases[] = {{0, true}, {-1, true}, {1, false}, {-0.5, true}, {7, false}};
    for (const auto& c : cases) {
        draw_test::Fill({0, 0, 0});
        BeginScene3D(1, 100, 90);
        SetCamera(0, 0, 10, 0, 0, 0);
        SetCullMode(c.mode);
        DrawObjectFrame(0, 0);
        EXPECT_TRUE(Near(Pixel(320, 240), c.drawn ? Rgb{255, 0, 0} : Rgb{0, 0, 0})) << "cull mode " << c.mode;
    }
    // from behind, mode 1 shows the back
    draw_test::Fill({0, 0, 0});
    BeginScene3D(1, 100, 90);
    SetCamera(0, 0, -10, 0, 0, 0);
    SetCullMode(1);
    DrawObjectFrame(0, 0);
    EXPECT_TRUE(Near(Pixel(320, 240), {255, 0, 0}));
}

// Slot 0 gets a second frame: frame 0's positions moved by (dx, 0, 0).
void AddMovedFrame(int32_t slot, double dx) {
    vtx::MeshObjectX& mesh = vtx::ObjectSlotAt(slot)->parts[0];
    vtx::Frame* frame = mesh.frames.grow();
    ASSERT_NE(frame, nullptr);
    const vtx::Frame& first = mesh.frames[0];
    vtx::Vertex* v = frame->vertices.extend(first.vertices.count());
    for (int32_t i = 0; i < first.vertices.count(); ++i) {
        v[i] = first.vertices[i];
        v[i].position[0] += static_cast<float>(dx);
    }
    mesh.BuildTriangles();
    vtx::ComputeBounds(mesh);
}

TEST_P(SceneDrawTest, InterpolationDrawsHalfWayBetweenTwoFrames) {
    StartObject(0);
    AddQuadZ(-6, 0, 0, 0.5, kGreen);
    EndObject();
    AddMovedFrame(0, 12);  // frame 1 at x = 6
    BeginScene3D(1, 100, 90);
    SetCamera(0, 0, 10, 0, 0, 0);
    DrawObject(0, 0, 1, 0.5, 1);
    double x, y;
    const double half[3] = {0, 0, 0}, first[3] = {-6, 0, 0}, second[3] = {6, 0, 0};
    Project(90, kEye, half, x, y);
    EXPECT_TRUE(Near(Pixel(static_cast<int>(x), static_cast<int>(y)), {0, 255, 0}));
    Project(90, kEye, first, x, y);
    EXPECT_TRUE(Near(Pixel(static_cast<int>(x), static_cast<int>(y)), {0, 0, 0}));
    Project(90, kEye, second, x, y);
    EXPECT_TRUE(Near(Pixel(static_cast<int>(x), static_cast<int>(y)), {0, 0, 0}));
    // factor 1.5 is taken as 0.5; frames beyond the last clamp to it
    draw_test::Fill({0, 0, 0});
    ClearDepth3D();
    DrawObject(0, 0, 1, 1.5, 1);
    Project(90, kEye, half, x, y);
    EXPECT_TRUE(Near(Pixel(static_cast<int>(x), static_cast<int>(y)), {0, 255, 0}));
    draw_test::Fill({0, 0, 0});
    ClearDepth3D();
    DrawObjectFrame(0, 9);
    Project(90, kEye, second, x, y);
    EXPECT_TRUE(Near(Pixel(static_cast<int>(x), static_cast<int>(y)), {0, 255, 0}));
}

TEST_P(SceneDrawTest, ObjectJustOutsideTheRightPlaneIsCulledUnlessScaledUp) {
    // Frame 1 (radius 1 about the origin) decides the culling; drawn with a
    // weight of 0.001 on it, the picture is frame 0 at x - 10.
    StartObject(0);
    AddQuadZ(-10, 0, 0, 0.7071, kGreen);
    EndObject();
    AddMovedFrame(0, 10);
    ASSERT_NEAR(vtx::ObjectSlotAt(0)->parts[0].frames[1].radius, 1.0, 0.001);
    // The right plane through the eye (0, 0, 10) and x = 40 / 3 at z = 0: a
    // point (x, 0, 0) lies 8 - 0.6 x inside it.
    auto draw = [](double at, double scale) {
        draw_test::Fill({0, 0, 0});
        BeginScene3D(1, 100, 90);
        SetCamera(0, 0, 10, 0, 0, 0);
        MoveEntity(at, 0, 0);
        PushMatrix3D();
        ScaleEntity(scale, scale, scale);
        DrawObject(0, 0, 1, 0.001, 0);
        double x, y;
        const double picture[3] = {at - 10 * scale, 0, 0};
        Project(90, kEye, picture, x, y);
        return Pixel(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
    };
    EXPECT_TRUE(Near(draw((8 + 0.8) / 0.6, 1), {0, 255, 0}));  // 0.8 outside: within the radius
    EXPECT_TRUE(Near(draw((8 + 1.2) / 0.6, 1), {0, 0, 0}));    // 1.2 outside: culled
    EXPECT_TRUE(Near(draw((8 + 1.2) / 0.6, 2), {0, 255, 0}));  // radius doubled by the scale
}

TEST_P(SceneDrawTest, OrthographicScenesHaveAUsableBox) {
    BuildQuad(0, 0, 0, 0, 50, kRed);
    // fov 0: one unit per pixel; the quad is 100 pixels wide
    BeginScene3D(1, 100, 0);
    SetCamera(0, 0, 10, 0, 0, 0);
    DrawObjectFrame(0, 0);
    EXPECT_TRUE(Near(Pixel(320 + 48, 240), {255, 0, 0}));
    EXPECT_TRUE(Near(Pixel(320 + 52, 240), {0, 0, 0}));
    // fov -90 with near 1: half height 100, so the quad spans 120 pixels up
    draw_test::Fill({0, 0, 0});
    BeginScene3D(1, 100, -90);
    SetCamera(0, 0, 10, 0, 0, 0);
    DrawObjectFrame(0, 0);
    EXPECT_TRUE(Near(Pixel(320, 240 - 118), {255, 0, 0}));
    EXPECT_TRUE(Near(Pixel(320, 240 - 122), {0, 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(Arrays, SceneDrawTest, ::testing::Bool(), BufferName);

}  // namespace
}  // namespace scene_test
