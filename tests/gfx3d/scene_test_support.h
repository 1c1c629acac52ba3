// Helpers of the 3D scene tests: an engine on the test's private X server,
// objects built from quads and boxes, and the projection of world points to
// window pixels computed independently of the scene code.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "../gfx2d/draw_test_support.h"
#include "gfx3d/mesh_commands.h"
#include "gfx3d/object_slots.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/scene_context.h"
#include "support/engine_in_folder.h"

namespace scene_test {

using draw_test::Near;
using draw_test::Pixel;
using draw_test::Rgb;

// A quad in the plane z = cz facing +z (counter-clockwise seen from +z),
// half size h, centred on (cx, cy), as two separate triangles.
inline void AddQuadZ(double cx, double cy, double cz, double h, int32_t colour) {
    const double x0 = cx - h, x1 = cx + h, y0 = cy - h, y1 = cy + h;
    AddVertex(x0, y0, cz, 0, 0, colour);
    AddVertex(x1, y0, cz, 1, 0, colour);
    AddVertex(x1, y1, cz, 1, 1, colour);
    AddVertex(x0, y0, cz, 0, 0, colour);
    AddVertex(x1, y1, cz, 1, 1, colour);
    AddVertex(x0, y1, cz, 0, 1, colour);
}

// A floor quad in the plane y = 0 facing +y, half size h.
inline void AddFloor(double h, int32_t colour) {
    AddVertex(-h, 0, h, 0, 0, colour);
    AddVertex(h, 0, h, 1, 0, colour);
    AddVertex(h, 0, -h, 1, 1, colour);
    AddVertex(-h, 0, h, 0, 0, colour);
    AddVertex(h, 0, -h, 1, 1, colour);
    AddVertex(-h, 0, -h, 0, 1, colour);
}

// A closed box centred on c with half size h, outward faces counter-clockwise.
inline void AddBox(const double c[3], double h, int32_t colour) {
    // each face: outward axis, and two in-plane axes u, v with u x v = outward
    const int faces[3][3] = {{2, 0, 1}, {0, 1, 2}, {1, 2, 0}};
    for (const auto& f : faces)
        for (int sign = -1; sign <= 1; sign += 2) {
            const int n = f[0];
            const int u = sign > 0 ? f[1] : f[2];
            const int v = sign > 0 ? f[2] : f[1];
            auto corner = [&](double a, double b) {
                double p[3] = {c[0], c[1], c[2]};
                p[n] += sign * h;
                p[u] += a * h;
                p[v] += b * h;
                AddVertex(p[0], p[1], p[2], (a + 1) / 2, (b + 1) / 2, colour);
            };
            corner(-1, -1);
            corner(1, -1);
            corner(1, 1);
            corner(-1, -1);
            corner(1, 1);
            corner(-1, 1);
        }
}

// The window pixel (x from the left, y from the top) of a world point for a
// camera at eye looking along -z with perspective fov degrees on the 640 x
// 480 window.
inline void Project(double fov, const double eye[3], const double p[3], double& px, double& py) {
    const double aspect = 640.0 / 480.0;
    const double t = std::tan(fov * 3.14159265358979323846 / 360.0);
    const double depth = eye[2] - p[2];
    const double nx = (p[0] - eye[0]) / (depth * aspect * t);
    const double ny = (p[1] - eye[1]) / (depth * t);
    px = (nx + 1) * 320.0;
    py = (1 - ny) * 240.0;
}

// The engine with a black frame; every test ends without a GL error.
class SceneTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartEngineIn(scratch_.path()));
        ShowScreen();
        draw_test::Fill({0, 0, 0});
        vtx::Scene3D()->useBufferObjects = GetParam();
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        std::filesystem::current_path("/");
        ShutdownEngine();
    }
    ScratchFolder scratch_{"scene"};
};

inline std::string BufferName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "BufferObjects" : "ClientArrays";
}

}  // namespace scene_test
