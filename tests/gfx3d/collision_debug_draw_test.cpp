// With debug mode on, the collision tests draw their shapes: green for a
// miss, red for a hit (a window and GL context under the test X server).
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gfx3d/collision_commands.h"
#include "gfx3d/mesh_commands.h"
#include "gfx3d/picking_view.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"

namespace {

// Looking down -z at x -10..10, y -7.5..7.5 over the 640 x 480 window.
bool OrthoCamera(vtx::CameraMatricesRecord& out) {
    const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float projection[16] = {0.1f, 0, 0, 0, 0, 1 / 7.5f, 0, 0, 0, 0, -0.01f, 0, 0, 0, 0, 1};
    std::memcpy(out.view, view, sizeof view);
    std::memcpy(out.projection, projection, sizeof projection);
    const int32_t viewport[4] = {0, 0, 640, 480};
    std::memcpy(out.viewport, viewport, sizeof viewport);
    return true;
}
bool Identity(float out[16]) {
    const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::memcpy(out, m, sizeof m);
    return true;
}
const vtx::PickingViewSource kSource = {OrthoCamera, Identity};

struct Counts {
    int green = 0, red = 0, yellow = 0;
};

Counts ReadColours() {
    std::vector<unsigned char> pixels(640 * 480 * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    Counts c;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        const bool r = pixels[i] > 200, g = pixels[i + 1] > 200, b = pixels[i + 2] > 200;
        c.green += !r && g && !b;
        c.red += r && !g && !b;
        c.yellow += r && g && !b;
    }
    return c;
}

void Clear() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

TEST(CollisionDebugDraw, ShapesAreDrawnInDebugModeOnly) {
    ApplyProjectSettings();
    InitEngine(nullptr, 10, ProjectSettings.title);
    ASSERT_TRUE(EngineWindowCreated());
    vtx::SetPickingViewSource(&kSource);
    StartObject(3);
    for (double p : {-1.0, 1.0}) {
        AddVertex(p, -1, 0, 0, 0, 0xFFFFFF);
        AddVertex(p, 1, 0, 0, 0, 0xFFFFFF);
        AddVertex(p, 0, 1, 0, 0, 0xFFFFFF);
    }
    EndObject();

    ProjectSettings.debugMode = 0;
    Clear();
    EXPECT_EQ(SphereHitsObject(3, 0, 1, 5, 5, 0), 0);
    Counts c = ReadColours();
    EXPECT_EQ(c.green + c.red, 0);

    ProjectSettings.debugMode = 1;
    Clear();
    EXPECT_EQ(SphereHitsObject(3, 0, 1, 5, 5, 0), 0);
    c = ReadColours();
    EXPECT_GT(c.green, 50);
    EXPECT_EQ(c.red, 0);

    Clear();
    EXPECT_EQ(SphereHitsObject(3, 0, 0.5, -1, 0, 0), 1);
    c = ReadColours();
    EXPECT_GT(c.red, 50);
    EXPECT_EQ(c.green, 0);

    Clear();
    EXPECT_EQ(BoxHitsObject(3, 0, 5, 5, 0, 2, 2, 2), 0);
    c = ReadColours();
    EXPECT_GT(c.green, 50);

    Clear();
    EXPECT_EQ(BoxHitsObject(3, 0, 1, 0, 0, 1, 1, 1), 1);
    c = ReadColours();
    EXPECT_GT(c.red, 50);

    // Rays: in front green, behind yellow, nothing met red.
    Clear();
    EXPECT_GT(RayHitsObject(3, 0, -5, 0, 0, 1, 0, 0), 0);
    c = ReadColours();
    EXPECT_GT(c.green, 50);
    Clear();
    EXPECT_LT(RayHitsObject(3, 0, 5, 0, 0, 1, 0, 0), 0);
    c = ReadColours();
    EXPECT_GT(c.yellow, 50);
    Clear();
    EXPECT_EQ(RayHitsObject(3, 0, -5, 5, 0, 1, 0, 0), 0);
    c = ReadColours();
    EXPECT_GT(c.red, 50);

    ProjectSettings.debugMode = 0;
    vtx::SetPickingViewSource(nullptr);
}

}  // namespace
