// Collision and picking against the scene's own camera and transform
// stack: what the picking commands see is what the scene draws.
#include "gfx3d/collision_commands.h"
#include "scene_test_support.h"

namespace scene_test {
namespace {

using ScenePickingTest = SceneTest;

TEST_P(ScenePickingTest, WorldToScreenFollowsTheSceneCamera) {
    BeginScene3D(1, 100, 90);
    SetCamera(0, 0, 10, 0, 0, 0);
    double sx = -1, sy = -1, sz = -1;
    ASSERT_EQ(WorldToScreen(0, 0, 0, sx, sy, sz), 1);
    EXPECT_NEAR(sx, 320, 1e-3);
    EXPECT_NEAR(sy, 240, 1e-3);
    // a corner of a drawn quad lands where the independent projection puts it
    const double eye[3] = {0, 0, 10}, corner[3] = {1, -1, 1};
    double px, py;
    Project(90, eye, corner, px, py);
    ASSERT_EQ(WorldToScreen(corner[0], corner[1], corner[2], sx, sy, sz), 1);
    EXPECT_NEAR(sx, px, 1e-2);
    EXPECT_NEAR(sy, py, 1e-2);
    double x, y, z;
    ASSERT_EQ(ScreenToWorld(sx, sy, sz, x, y, z), 1);
    EXPECT_NEAR(x, 1, 1e-3);
    EXPECT_NEAR(y, -1, 1e-3);
    EXPECT_NEAR(z, 1, 1e-3);
}

TEST_P(ScenePickingTest, RaysMeetTheEntityWhereTheSceneMovedIt) {
    StartObject(0);
    AddQuadZ(0, 0, 0, 1, 0xFFFFFF);  // a quad at z = 0, half size 1
    EndObject();
    BeginScene3D(1, 100, 90);
    SetCamera(0, 0, 10, 0, 0, 0);
    PushMatrix3D();
    MoveEntity(5, 0, 0);
    EXPECT_NEAR(RayHitsObject(0, 0, 5, 0, 10, 0, 0, -1), 10, 1e-4);
    EXPECT_EQ(RayHitsObject(0, 0, 0, 0, 10, 0, 0, -1), 0);  // where the quad was before the move
    PopMatrix3D();
    EXPECT_NEAR(RayHitsObject(0, 0, 0, 0, 10, 0, 0, -1), 10, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Arrays, ScenePickingTest, ::testing::Bool(), BufferName);

}  // namespace
}  // namespace scene_test
