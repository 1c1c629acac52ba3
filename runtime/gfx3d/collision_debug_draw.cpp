// Wire pictures of the collision tests, drawn with the camera's matrices.
#include "collision_debug_draw.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "gfx2d/draw_batch.h"
#include "host/gl_extensions.h"
#include "host/graphics_backend.h"
#include "host/project_settings.h"
#include "picking_view.h"

namespace vtx {

namespace {

constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kYellow = 0x00FFFF;

using Point = std::array<double, 3>;

bool DrawingWanted() {
    return ProjectSettings.debugMode != 0 && GraphicsBackEnd != nullptr && GraphicsBackEnd->contextReady != 0;
}

// The edges of a unit icosahedron with every face split in four, corners
// pushed out to the unit sphere: 42 corners, 120 edges.
const std::vector<std::pair<Point, Point>>& SphereEdges() {
    static const std::vector<std::pair<Point, Point>> edges = [] {
        const double g = (1.0 + std::sqrt(5.0)) * 0.5;
        std::vector<Point> corners = {{-1, g, 0}, {1, g, 0}, {-1, -g, 0}, {1, -g, 0}, {0, -1, g}, {0, 1, g},
                                      {0, -1, -g}, {0, 1, -g}, {g, 0, -1}, {g, 0, 1}, {-g, 0, -1}, {-g, 0, 1}};
        const int faces[20][3] = {{0, 11, 5}, {0, 5, 1}, {0, 1, 7}, {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
                                  {11, 10, 2}, {10, 7, 6}, {7, 1, 8}, {3, 9, 4}, {3, 4, 2}, {3, 2, 6}, {3, 6, 8},
                                  {3, 8, 9}, {4, 9, 5}, {2, 4, 11}, {6, 2, 10}, {8, 6, 7}, {9, 8, 1}};
        const auto unit = [](Point p) {
            const double l = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
            return Point{p[0] / l, p[1] / l, p[2] / l};
        };
        for (Point& p : corners) p = unit(p);
        std::map<std::pair<int, int>, int> middles;
        const auto middle = [&](int a, int b) {
            const auto key = std::minmax(a, b);
            if (auto it = middles.find(key); it != middles.end()) return it->second;
            const Point& p = corners[static_cast<size_t>(a)];
            const Point& q = corners[static_cast<size_t>(b)];
            corners.push_back(unit({p[0] + q[0], p[1] + q[1], p[2] + q[2]}));
            const int index = static_cast<int>(corners.size()) - 1;
            middles.emplace(key, index);
            return index;
        };
        std::map<std::pair<int, int>, bool> seen;
        std::vector<std::pair<Point, Point>> out;
        const auto edge = [&](int a, int b) {
            if (seen.emplace(std::minmax(a, b), true).second) {
                out.emplace_back(corners[static_cast<size_t>(a)], corners[static_cast<size_t>(b)]);
            }
        };
        for (const auto& f : faces) {
            const int ab = middle(f[0], f[1]), bc = middle(f[1], f[2]), ca = middle(f[2], f[0]);
            const int small[4][3] = {{f[0], ab, ca}, {f[1], bc, ab}, {f[2], ca, bc}, {ab, bc, ca}};
            for (const auto& s : small) {
                edge(s[0], s[1]);
                edge(s[1], s[2]);
                edge(s[2], s[0]);
            }
        }
        return out;
    }();
    return edges;
}

// Lines in world space with the camera's matrices, untextured and unlit; the
// GL state is put back afterwards.
void DrawLines(const std::vector<std::pair<Point, Point>>& lines, uint32_t colour, float width) {
    CameraMatricesRecord camera{};
    if (!CameraMatrices(camera)) return;
    FlushDrawBatch();
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_VIEWPORT_BIT | GL_TRANSFORM_BIT);
    glViewport(camera.viewport[0], camera.viewport[1], camera.viewport[2], camera.viewport[3]);
    if (GlExt.glActiveTextureARB != nullptr) {
        GlExt.glActiveTextureARB(GL_TEXTURE1_ARB);
        glDisable(GL_TEXTURE_2D);
        GlExt.glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadMatrixf(camera.projection);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadMatrixf(camera.view);
    glLineWidth(width);
    glColor4ub(static_cast<GLubyte>(colour & 0xFF), static_cast<GLubyte>((colour >> 8) & 0xFF),
               static_cast<GLubyte>((colour >> 16) & 0xFF), 255);
    glBegin(GL_LINES);
    for (const auto& [from, to] : lines) {
        glVertex3d(from[0], from[1], from[2]);
        glVertex3d(to[0], to[1], to[2]);
    }
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

}  // namespace

void DrawSphereProbe(const double centre[3], double radius, bool hit) {
    if (!DrawingWanted() || !std::isfinite(radius)) return;
    const double r = std::fabs(radius);
    std::vector<std::pair<Point, Point>> lines;
    for (const auto& [p, q] : SphereEdges()) {
        lines.emplace_back(Point{centre[0] + p[0] * r, centre[1] + p[1] * r, centre[2] + p[2] * r},
                           Point{centre[0] + q[0] * r, centre[1] + q[1] * r, centre[2] + q[2] * r});
    }
    DrawLines(lines, hit ? kRed : kGreen, hit ? 5.0f : 1.0f);
}

void DrawBoxProbe(const double centre[3], const double size[3], bool hit) {
    if (!DrawingWanted()) return;
    const auto corner = [&](int i) {
        return Point{centre[0] + ((i & 1) ? 0.5 : -0.5) * size[0], centre[1] + ((i & 2) ? 0.5 : -0.5) * size[1],
                     centre[2] + ((i & 4) ? 0.5 : -0.5) * size[2]};
    };
    std::vector<std::pair<Point, Point>> lines;
    for (int i = 0; i < 8; ++i) {
        for (int bit : {1, 2, 4}) {
            if ((i & bit) == 0) lines.emplace_back(corner(i), corner(i | bit));
        }
    }
    DrawLines(lines, hit ? kRed : kGreen, hit ? 5.0f : 1.0f);
}

void DrawRayProbe(const double start[3], const double dir[3], double distance) {
    if (!DrawingWanted()) return;
    const double length = distance != 0.0 ? distance : 1000.0;
    const Point from{start[0], start[1], start[2]};
    const Point to{start[0] + dir[0] * length, start[1] + dir[1] * length, start[2] + dir[2] * length};
    const uint32_t colour = distance > 0.0 ? kGreen : distance < 0.0 ? kYellow : kRed;
    DrawLines({{from, to}}, colour, distance != 0.0 ? 5.0f : 1.0f);
}

}  // namespace vtx
