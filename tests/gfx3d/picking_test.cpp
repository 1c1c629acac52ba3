// WorldToScreen and ScreenToWorld through a camera built here: a look-at
// view and a perspective projection, as the 3D scene makes them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "gfx3d/collision_commands.h"
#include "gfx3d/picking_projection.h"
#include "gfx3d/picking_view.h"

namespace {

vtx::CameraMatricesRecord camera_;
bool TestCamera(vtx::CameraMatricesRecord& out) {
    out = camera_;
    return true;
}
bool Identity(float out[16]) {
    const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::memcpy(out, m, sizeof m);
    return true;
}
const vtx::PickingViewSource kSource = {TestCamera, Identity};

void Normalise(double v[3]) {
    const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int k = 0; k < 3; ++k) v[k] /= l;
}

// The classic look-at: rows s, u, f, then a translation by -eye.
void LookAt(const double eye[3], const double target[3], float out[16]) {
    double f[3] = {eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]};
    Normalise(f);
    const double up[3] = {0, 1, 0};
    double s[3] = {up[1] * f[2] - up[2] * f[1], up[2] * f[0] - up[0] * f[2], up[0] * f[1] - up[1] * f[0]};
    Normalise(s);
    const double u[3] = {f[1] * s[2] - f[2] * s[1], f[2] * s[0] - f[0] * s[2], f[0] * s[1] - f[1] * s[0]};
    const double* rows[3] = {s, u, f};
    std::memset(out, 0, sizeof(float) * 16);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) out[c * 4 + r] = static_cast<float>(rows[r][c]);
        out[12 + r] = static_cast<float>(-(rows[r][0] * eye[0] + rows[r][1] * eye[1] + rows[r][2] * eye[2]));
    }
    out[15] = 1;
}

// glFrustum(-aspect h, aspect h, -h, h, n, f) with h = n tan(fov / 2).
void Perspective(double fov, double aspect, double n, double f, float out[16]) {
    const double h = n * std::tan(fov * M_PI / 360.0);
    const double w = aspect * h;
    std::memset(out, 0, sizeof(float) * 16);
    out[0] = static_cast<float>(n / w);
    out[5] = static_cast<float>(n / h);
    out[10] = static_cast<float>(-(f + n) / (f - n));
    out[11] = -1;
    out[14] = static_cast<float>(-2 * f * n / (f - n));
}

class PickingTest : public ::testing::Test {
protected:
    void SetUp() override {
        const double eye[3] = {3, 4, 10}, target[3] = {1, 0.5, -2};
        LookAt(eye, target, camera_.view);
        Perspective(45, 640.0 / 480.0, 1, 1000, camera_.projection);
        const int32_t viewport[4] = {0, 0, 640, 480};
        std::memcpy(camera_.viewport, viewport, sizeof viewport);
        vtx::SetPickingViewSource(&kSource);
    }
    void TearDown() override { vtx::SetPickingViewSource(nullptr); }
};

TEST_F(PickingTest, CameraTargetIsTheViewportCentre) {
    double x = 0, y = 0, z = 0;
    ASSERT_EQ(WorldToScreen(1, 0.5, -2, x, y, z), 1);
    EXPECT_NEAR(x, 320, 1e-3);
    EXPECT_NEAR(y, 240, 1e-3);
    EXPECT_GT(z, 0);
    EXPECT_LT(z, 1);
    // Above the target appears higher on the screen: y grows downward.
    ASSERT_EQ(WorldToScreen(1, 1.5, -2, x, y, z), 1);
    EXPECT_LT(y, 240);
}

TEST_F(PickingTest, ScreenToWorldInvertsWorldToScreen) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coordinate(-20, 20);
    for (int32_t viewportY : {0, 37}) {
        camera_.viewport[1] = viewportY;
        camera_.viewport[0] = viewportY / 2;
        for (int i = 0; i < 500; ++i) {
            const double p[3] = {coordinate(random), coordinate(random), coordinate(random) - 30};
            double sx, sy, sz, x, y, z;
            ASSERT_EQ(WorldToScreen(p[0], p[1], p[2], sx, sy, sz), 1);
            ASSERT_EQ(ScreenToWorld(sx, sy, sz, x, y, z), 1);
            const double tolerance = 1e-3 * (1 + std::fabs(p[2] - 10));
            EXPECT_NEAR(x, p[0], tolerance);
            EXPECT_NEAR(y, p[1], tolerance);
            EXPECT_NEAR(z, p[2], tolerance);
            // And the screen position comes back the same, to the row.
            double sx2, sy2, sz2;
            ASSERT_EQ(WorldToScreen(x, y, z, sx2, sy2, sz2), 1);
            EXPECT_NEAR(sx2, sx, 1e-3);
            EXPECT_NEAR(sy2, sy, 1e-3);
        }
    }
}

TEST_F(PickingTest, UnusableCasesAnswerZero) {
    double x = 7, y = 7, z = 7;
    // A point on the camera plane: clip w is 0.
    Identity(camera_.view);
    EXPECT_EQ(WorldToScreen(1, 2, 0, x, y, z), 0);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(WorldToScreen(std::nan(""), 0, 0, x, y, z), 0);
    EXPECT_EQ(ScreenToWorld(std::nan(""), 0, 0.5, x, y, z), 0);
    camera_.viewport[2] = 0;
    EXPECT_EQ(ScreenToWorld(10, 10, 0.5, x, y, z), 0);
    camera_.viewport[2] = 640;
    std::memset(camera_.projection, 0, sizeof camera_.projection);  // cannot be inverted
    EXPECT_EQ(ScreenToWorld(10, 10, 0.5, x, y, z), 0);
    EXPECT_EQ(WorldToScreen(1, 2, 3, x, y, z), 0);
    vtx::SetPickingViewSource(nullptr);
}

}  // namespace
