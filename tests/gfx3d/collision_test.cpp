// Collision commands against independent references (closest point, box
// clipping, Moller-Trumbore), the edge cases of the tests, bad input, and
// the collision tree answering exactly as the triangle walk.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>

#include "collision_reference.h"
#include "gfx3d/collision_commands_internal.h"
#include "gfx3d/collision_queries.h"
#include "gfx3d/collision_tree.h"
#include "gfx3d/mesh_commands.h"
#include "gfx3d/object_slots.h"
#include "gfx3d/picking_view.h"
#include "support/scratch_folder.h"

namespace {

namespace ref = collision_reference;
using ref::V;

// The entity matrix the commands see in these tests.
float entity_[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
bool TestEntity(float out[16]) {
    std::memcpy(out, entity_, sizeof entity_);
    return true;
}
bool NoCamera(vtx::CameraMatricesRecord&) { return false; }
const vtx::PickingViewSource kTestSource = {NoCamera, TestEntity};

void SetEntity(std::initializer_list<float> m) { std::copy(m.begin(), m.end(), entity_); }
void IdentityEntity() { SetEntity({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}); }

// Builds slot from separate triangles with the object commands.
void BuildSlot(int32_t slot, const std::vector<std::array<V, 3>>& triangles) {
    StartObject(slot);
    for (const auto& t : triangles) {
        for (const V& p : t) AddVertex(p[0], p[1], p[2], 0, 0, 0xFFFFFF);
    }
    EndObject();
}

// The six faces of the cube [-1, 1]^3, two triangles each.
std::vector<std::array<V, 3>> Cube() {
    std::vector<std::array<V, 3>> out;
    for (int axis = 0; axis < 3; ++axis) {
        for (double side : {-1.0, 1.0}) {
            const int u = (axis + 1) % 3, w = (axis + 2) % 3;
            const auto corner = [&](double a, double b) {
                V p{};
                p[static_cast<size_t>(axis)] = side;
                p[static_cast<size_t>(u)] = a;
                p[static_cast<size_t>(w)] = b;
                return p;
            };
            out.push_back({corner(-1, -1), corner(1, -1), corner(1, 1)});
            out.push_back({corner(-1, -1), corner(1, 1), corner(-1, 1)});
        }
    }
    return out;
}

class CollisionTest : public ::testing::Test {
protected:
    void SetUp() override {
        IdentityEntity();
        vtx::SetPickingViewSource(&kTestSource);
        vtx::SetCollisionSearch(vtx::CollisionSearch::kAutomatic);
    }
    void TearDown() override {
        vtx::SetPickingViewSource(nullptr);
        vtx::SetCollisionSearch(vtx::CollisionSearch::kAutomatic);
        vtx::ClearCollisionTrees();
    }
};

TEST_F(CollisionTest, SphereFirstVertexAndEdgeRules) {
    BuildSlot(1, {{V{0, 0, 0}, V{10, 0, 0}, V{0, 10, 0}}});
    // The first vertex inside the sphere is enough.
    EXPECT_EQ(SphereHitsObject(1, 0, 0.5, 0.1, 0.1, 0.3), 1);
    EXPECT_EQ(LastHitTriangle(), 0);
    // Centre beside the edge y = 0, its projection outside the triangle:
    // exactly at the radius is no hit, just inside it is.
    EXPECT_EQ(SphereHitsObject(1, 0, 1.0, 5, -1, 0), 0);
    EXPECT_EQ(SphereHitsObject(1, 0, 1.0001, 5, -1, 0), 1);
    // Above the face: the plane distance decides.
    EXPECT_EQ(SphereHitsObject(1, 0, 0.5, 2, 2, 0.49), 1);
    EXPECT_EQ(SphereHitsObject(1, 0, 0.5, 2, 2, 0.51), 0);
    EXPECT_EQ(LastHitTriangle(), 0);
}

TEST_F(CollisionTest, RayDistancesInsideBehindAndScaledDirection) {
    BuildSlot(2, Cube());
    // From inside the closed cube: the wall in front.
    EXPECT_NEAR(RayHitsObject(2, 0, 0, 0, 0, 1, 0, 0), 1.0, 1e-12);
    EXPECT_NEAR(RayHitsObject(2, 0, 0.5, 0, 0, 1, 0, 0), 0.5, 1e-12);
    // Pointing away from the cube: the nearest wall behind, negative.
    EXPECT_NEAR(RayHitsObject(2, 0, 5, 0.2, 0.3, 1, 0, 0), -4.0, 1e-12);
    // The direction's length does not change the distance.
    EXPECT_NEAR(RayHitsObject(2, 0, -5, 0.2, 0.3, 2, 0, 0), 4.0, 1e-12);
    EXPECT_NEAR(RayHitsObject(2, 0, -5, 0.2, 0.3, 0.5, 0, 0), 4.0, 1e-12);
    // A miss: 0, and the last hit triangle reads 0.
    EXPECT_EQ(RayHitsObject(2, 0, -5, 3, 0, 1, 0, 0), 0.0);
    EXPECT_EQ(LastHitTriangle(), 0);
    EXPECT_EQ(vtx::LastHitPart(), -1);
}

TEST_F(CollisionTest, LastHitTriangleNamesTheTriangleOfTheDistanceReturned) {
    // Triangle 0 lies in front of the start, triangle 1 behind it; the walk
    // meets the one behind last.
    BuildSlot(3, {{V{5, -1, -1}, V{5, 1, -1}, V{5, 0, 2}}, {V{-2, -1, -1}, V{-2, 1, -1}, V{-2, 0, 2}},
                  {V{-9, -1, -1}, V{-9, 1, -1}, V{-9, 0, 2}}});
    EXPECT_NEAR(RayHitsObject(3, 0, 0, 0, 0, 1, 0, 0), 5.0, 1e-12);
    EXPECT_EQ(LastHitTriangle(), 0);
    EXPECT_NEAR(RayHitsObject(3, 0, 0, 0, 0, -1, 0, 0), 2.0, 1e-12);
    EXPECT_EQ(LastHitTriangle(), 1);
    EXPECT_NEAR(RayHitsObject(3, 0, 7, 0, 0, 1, 0, 0), -2.0, 1e-12);
    EXPECT_EQ(LastHitTriangle(), 0);
    EXPECT_NEAR(RayHitsObject(3, 0, -5, 0, 0, 1, 0, 0), 3.0, 1e-12);
    EXPECT_EQ(LastHitTriangle(), 1);
}

TEST_F(CollisionTest, EntityTransformMovesAndRotatesButDoesNotScale) {
    BuildSlot(4, Cube());
    // Moved to x = 10 and turned 90 degrees about z.
    SetEntity({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 10, 0, 0, 1});
    EXPECT_NEAR(RayHitsObject(4, 0, 0, 0.5, 0, 1, 0, 0), 9.0, 1e-6);
    EXPECT_EQ(SphereHitsObject(4, 0, 0.5, 10, 1.4, 0), 1);
    EXPECT_EQ(SphereHitsObject(4, 0, 0.5, 10, 1.6, 0), 0);
    EXPECT_EQ(BoxHitsObject(4, 0, 11.9, 0, 0, 2, 0.2, 0.2), 1);
    EXPECT_EQ(BoxHitsObject(4, 0, 12.1, 0, 0, 2, 0.2, 0.2), 0);
    // Scaled by 2: still tested at the unscaled size.
    SetEntity({2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1});
    EXPECT_NEAR(RayHitsObject(4, 0, -5, 0, 0, 1, 0, 0), 4.0, 1e-6);
    EXPECT_EQ(SphereHitsObject(4, 0, 0.5, 1.6, 0, 0), 0);
    EXPECT_EQ(SphereHitsEntityBox(1.6, 0, 0, 0.5, 2, 2, 2), 0);
    EXPECT_EQ(SphereHitsEntityBox(1.4, 0, 0, 0.5, 2, 2, 2), 1);
}

TEST_F(CollisionTest, SphereHitsEntityBoxAgainstClosestPoint) {
    SetEntity({0.6f, 0.8f, 0, 0, -0.8f, 0.6f, 0, 0, 0, 0, 1, 0, 3, -2, 1, 1});
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-6, 6), size(0.2, 4), radius(0.05, 2);
    int hits = 0, checked = 0;
    for (int i = 0; i < 2000; ++i) {
        const V p{coordinate(random), coordinate(random), coordinate(random)};
        const V s{size(random), size(random), size(random)};
        const double r = radius(random);
        // Reference: the point in entity space by the inverse rotation, then
        // the distance to the box by clamping.
        const V d = ref::Sub(p, V{3, -2, 1});
        const V local{0.6 * d[0] + 0.8 * d[1], -0.8 * d[0] + 0.6 * d[1], d[2]};
        double distance2 = 0;
        for (size_t k = 0; k < 3; ++k) {
            const double c = std::clamp(local[k], -s[k] / 2, s[k] / 2);
            distance2 += (local[k] - c) * (local[k] - c);
        }
        const double distance = std::sqrt(distance2);
        if (std::fabs(distance - r) < 1e-4) continue;
        ++checked;
        const int32_t expected = distance <= r ? 1 : 0;
        hits += expected;
        EXPECT_EQ(SphereHitsEntityBox(p[0], p[1], p[2], r, s[0], s[1], s[2]), expected) << i;
    }
    EXPECT_GT(hits, 50);
    EXPECT_GT(checked - hits, 50);
}

// Random triangles and queries, each command against its reference.
TEST_F(CollisionTest, CommandsAgreeWithReferences) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> coordinate(-5, 5), unit(-1, 1), positive(0.05, 3);
    std::vector<std::array<V, 3>> triangles;
    for (int i = 0; i < 60; ++i) {
        const V centre{coordinate(random), coordinate(random), coordinate(random)};
        std::array<V, 3> t;
        for (V& p : t) p = ref::Add(centre, V{unit(random) * 2, unit(random) * 2, unit(random) * 2});
        triangles.push_back(t);
    }
    BuildSlot(5, triangles);
    // The mesh as stored (floats).
    std::vector<std::array<V, 3>> stored;
    const vtx::Frame& frame = vtx::ObjectSlotAt(5)->parts[0].frames[0];
    for (int32_t i = 0; i < frame.triangles.count(); i += 3) {
        std::array<V, 3> t;
        for (int c = 0; c < 3; ++c) {
            for (int k = 0; k < 3; ++k) t[static_cast<size_t>(c)][static_cast<size_t>(k)] = frame.triangles[i + c].position[k];
        }
        stored.push_back(t);
    }
    int sphereHits = 0, boxHits = 0, rayHits = 0;
    for (int q = 0; q < 3000; ++q) {
        const V m{coordinate(random), coordinate(random), coordinate(random)};
        // Sphere: hit when the nearest triangle point is closer than the radius.
        const double r = positive(random);
        double nearest = std::numeric_limits<double>::infinity();
        bool nearEdgeTolerance = false;
        for (const auto& t : stored) {
            nearest = std::min(nearest, ref::Distance(m, ref::ClosestPoint(m, t[0], t[1], t[2])));
            // The inside test allows 1% of the angle sum: projections just
            // outside a triangle (within 1% of its edges) may count as inside.
            const V n = ref::Cross(ref::Sub(t[1], t[0]), ref::Sub(t[2], t[0]));
            const double ln = std::sqrt(ref::Dot(n, n));
            const double h = ref::Dot(ref::Sub(m, t[0]), n) / ln;
            const V p = ref::Sub(m, ref::Mul(n, h / ln));
            const double lateral = ref::Distance(p, ref::ClosestPoint(p, t[0], t[1], t[2]));
            const double edge = std::max({ref::Distance(t[0], t[1]), ref::Distance(t[1], t[2]), ref::Distance(t[2], t[0])});
            if (std::fabs(h) <= r && lateral > 0 && lateral < 0.01 * edge) nearEdgeTolerance = true;
        }
        if (std::fabs(nearest - r) > 1e-4 && !nearEdgeTolerance) {
            const int32_t expected = nearest < r ? 1 : 0;
            sphereHits += expected;
            EXPECT_EQ(SphereHitsObject(5, 0, r, m[0], m[1], m[2]), expected) << q;
        }
        // Box: hit when clipping the triangle by the box leaves something.
        const V size{positive(random), positive(random), positive(random)};
        const auto meets = [&](double grow) {
            const V h{size[0] / 2 + grow, size[1] / 2 + grow, size[2] / 2 + grow};
            for (const auto& t : stored) {
                if (ref::TriangleMeetsBox({ref::Sub(t[0], m), ref::Sub(t[1], m), ref::Sub(t[2], m)}, h)) return true;
            }
            return false;
        };
        if (meets(1e-4) == meets(-1e-4)) {
            const int32_t expected = meets(0) ? 1 : 0;
            boxHits += expected;
            EXPECT_EQ(BoxHitsObject(5, 0, m[0], m[1], m[2], size[0], size[1], size[2]), expected) << q;
        }
        // Ray: nearest positive, else nearest negative, by Moller-Trumbore.
        V d{unit(random), unit(random), unit(random)};
        const double length = std::sqrt(ref::Dot(d, d));
        d = ref::Mul(d, 1 / length);
        double front = std::numeric_limits<double>::infinity(), behind = -front;
        int32_t frontTriangle = -1, behindTriangle = -1;
        for (size_t i = 0; i < stored.size(); ++i) {
            double t = 0;
            if (!ref::MollerTrumbore(m, d, stored[i][0], stored[i][1], stored[i][2], t)) continue;
            if (t > 0 && t < front) front = t, frontTriangle = static_cast<int32_t>(i);
            if (t < 0 && t > behind) behind = t, behindTriangle = static_cast<int32_t>(i);
        }
        const double got = RayHitsObject(5, 0, m[0], m[1], m[2], d[0] * length, d[1] * length, d[2] * length);
        if (frontTriangle >= 0) {
            ++rayHits;
            EXPECT_NEAR(got, front, 1e-6) << q;
            if (std::fabs(got - front) < 1e-6) {
                EXPECT_EQ(LastHitTriangle(), frontTriangle) << q;
            }
        } else if (behindTriangle >= 0) {
            EXPECT_NEAR(got, behind, 1e-6) << q;
            EXPECT_EQ(LastHitTriangle(), behindTriangle) << q;
        } else {
            EXPECT_EQ(got, 0.0) << q;
        }
    }
    EXPECT_GT(sphereHits, 100);
    EXPECT_GT(boxHits, 100);
    EXPECT_GT(rayHits, 100);
}

TEST_F(CollisionTest, BadInputGivesNoHitAndNoCrash) {
    BuildSlot(6, Cube());
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (int32_t slot : {-1, 4096, 100000, 7}) {  // outside the table, or empty
        EXPECT_EQ(SphereHitsObject(slot, 0, 1, 0, 0, 0), 0);
        EXPECT_EQ(BoxHitsObject(slot, 0, 0, 0, 0, 1, 1, 1), 0);
        EXPECT_EQ(RayHitsObject(slot, 0, 0, 0, 0, 1, 0, 0), 0.0);
        EXPECT_EQ(CountFaces(slot), 0);
    }
    for (int32_t frame : {-1, 1, INT32_MAX}) {
        EXPECT_EQ(SphereHitsObject(6, frame, 1, 0, 0, 1), 0);
        EXPECT_EQ(RayHitsObject(6, frame, 0, 0, 0, 1, 0, 0), 0.0);
    }
    EXPECT_EQ(SphereHitsObject(6, 0, nan, 0, 0, 1), 0);
    EXPECT_EQ(SphereHitsObject(6, 0, 1, nan, 0, 1), 0);
    EXPECT_EQ(SphereHitsObject(6, 0, inf, 0, 0, 1), 0);
    EXPECT_EQ(BoxHitsObject(6, 0, 0, 0, nan, 1, 1, 1), 0);
    EXPECT_EQ(BoxHitsObject(6, 0, 0, 0, 0, nan, 1, 1), 0);
    EXPECT_EQ(RayHitsObject(6, 0, 0, nan, 0, 1, 0, 0), 0.0);
    EXPECT_EQ(RayHitsObject(6, 0, 0, 0, 0, inf, 0, 0), 0.0);
    EXPECT_EQ(SphereHitsEntityBox(nan, 0, 0, 1, 1, 1, 1), 0);
    // A ray of length 0 meets nothing.
    EXPECT_EQ(RayHitsObject(6, 0, -5, 0, 0, 0, 0, 0), 0.0);
    // Radius 0 touches only what the centre lies on; a negative radius never
    // reaches a face (only the first-vertex rule could accept it).
    EXPECT_EQ(SphereHitsObject(6, 0, 0, 0.5, 0.5, 1), 1);
    EXPECT_EQ(SphereHitsObject(6, 0, 0, 0.5, 0.5, 1.001), 0);
    EXPECT_EQ(SphereHitsObject(6, 0, -0.5, 0.5, 0.5, 1), 0);
    // A box of zero size is a point.
    EXPECT_EQ(BoxHitsObject(6, 0, 0.5, 0.5, 1, 0, 0, 0), 1);
    EXPECT_EQ(BoxHitsObject(6, 0, 0.5, 0.5, 0.5, 0, 0, 0), 0);
    // A NaN entity matrix: no hits.
    SetEntity({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, std::numeric_limits<float>::quiet_NaN(), 0, 0, 1});
    EXPECT_EQ(SphereHitsObject(6, 0, 1, 0, 0, 1), 0);
    EXPECT_EQ(RayHitsObject(6, 0, 0, 0, 0, 1, 0, 0), 0.0);
    EXPECT_EQ(BoxHitsObject(6, 0, 0, 0, 1, 1, 1, 1), 0);
    IdentityEntity();
    // Degenerate triangles (a line, a point) beside a real one.
    BuildSlot(7, {{V{0, 0, 0}, V{1, 1, 1}, V{2, 2, 2}}, {V{3, 3, 3}, V{3, 3, 3}, V{3, 3, 3}},
                  {V{5, 0, 0}, V{6, 0, 0}, V{5, 1, 0}}});
    EXPECT_EQ(RayHitsObject(7, 0, 5.2, 0.2, -1, 0, 0, 1), 1.0);
    EXPECT_EQ(LastHitTriangle(), 2);
    EXPECT_EQ(RayHitsObject(7, 0, 1, 1, -1, 0, 0, 1), 0.0);
    EXPECT_EQ(SphereHitsObject(7, 0, 0.1, 3, 3, 3.05), 1);
    EXPECT_EQ(BoxHitsObject(7, 0, 1, 1, 1, 0.1, 0.1, 0.1), 1);
}

TEST_F(CollisionTest, FacesCountedAndCopiedOverParts) {
    ScratchFolder scratch("collision-faces");
    const auto folder = scratch.path();
    BuildSlot(8, {{V{0, 0, 0}, V{1, 0, 0}, V{0, 1, 0}}});
    SaveObject(RtString((folder / "one.ddd").string().c_str()), 8);
    BuildSlot(8, Cube());
    SaveObject(RtString((folder / "cube.ddd").string().c_str()), 8);
    {
        std::FILE* f = std::fopen((folder / "two.ddw").string().c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(";DDW\n[objects]\ncount=2\n1=one.ddd\n2=cube.ddd\n", f);
        std::fclose(f);
    }
    LoadObject(RtString((folder / "two.ddw").string().c_str()), 9);
    ASSERT_EQ(vtx::ObjectSlotAt(9)->parts.size(), 2u);
    EXPECT_EQ(CountFaces(9), 13);
    RtArray<double> face;
    GetFace(9, 0, 1, face);  // the cube's first triangle
    EXPECT_EQ(ArrayBounds(face, 0), 3);
    EXPECT_EQ(ArrayBounds(face, 1), 9);
    EXPECT_EQ(ArrayElement(face, 0, 0), -1.0);
    EXPECT_EQ(ArrayElement(face, 2, 1), 1.0);
    EXPECT_EQ(ArrayElement(face, 1, 5), static_cast<double>(0xFFFFFF));
    GetFace(9, 0, 13, face);  // beyond the last triangle
    for (int v = 0; v < 3; ++v) {
        for (int k = 0; k < 9; ++k) EXPECT_EQ(ArrayElement(face, v, k), 0.0);
    }
    GetFace(9, 0, 0, face);
    EXPECT_EQ(ArrayElement(face, 1, 0), 1.0);
    GetFace(9, 3, 0, face);  // no such frame
    EXPECT_EQ(ArrayElement(face, 1, 0), 0.0);
    GetFace(-1, 0, 0, face);
    EXPECT_EQ(ArrayBounds(face, 0), 3);

    // Rays over parts: the nearest positive over both; the part is named.
    EXPECT_NEAR(RayHitsObject(9, 0, 0.2, 0.2, 5, 0, 0, -1), 4.0, 1e-12);  // cube's top before the triangle at z 0
    EXPECT_EQ(vtx::LastHitPart(), 1);
    EXPECT_NEAR(RayHitsObject(9, 0, 0.2, 0.2, 0.5, 0, 0, -1), 0.5, 1e-12);  // the triangle of part 0 first
    EXPECT_EQ(vtx::LastHitPart(), 0);
    EXPECT_EQ(LastHitTriangle(), 0);
    // Spheres stop at the first part hit.
    EXPECT_EQ(SphereHitsObject(9, 0, 0.1, 0.2, 0.2, 0.05), 1);
    EXPECT_EQ(vtx::LastHitPart(), 0);
    EXPECT_EQ(SphereHitsObject(9, 0, 0.1, 0.2, 0.2, -0.95), 1);
    EXPECT_EQ(vtx::LastHitPart(), 1);
}

// --- The collision tree against the walk --------------------------------------

// A random mesh of small triangles on a noisy sphere with slivers, repeated
// triangles (ties), degenerate and non-finite ones mixed in.
void RandomMesh(vtx::MeshObjectX& mesh, std::mt19937& random, int32_t triangles) {
    std::uniform_real_distribution<double> unit(-1, 1);
    vtx::Frame* frame = mesh.frames.grow();
    ASSERT_NE(frame, nullptr);
    const auto add = [&](V p) {
        vtx::Vertex v{};
        for (int k = 0; k < 3; ++k) v.position[k] = static_cast<float>(p[static_cast<size_t>(k)]);
        vtx::SetVertexColour(v, 0xFFFFFF);
        frame->vertices.push(v);
    };
    std::vector<std::array<V, 3>> made;
    for (int32_t i = 0; i < triangles; ++i) {
        const int kind = static_cast<int>(random() % 50);
        if (kind == 0 && !made.empty()) {  // the same triangle again
            for (const V& p : made[random() % made.size()]) add(p);
            continue;
        }
        V c{unit(random), unit(random), unit(random)};
        c = ref::Mul(c, 10 / std::sqrt(ref::Dot(c, c)));
        const double s = 0.3 + 0.7 * (unit(random) + 1);
        std::array<V, 3> t{c, ref::Add(c, V{unit(random) * s, unit(random) * s, unit(random) * s}),
                           ref::Add(c, V{unit(random) * s, unit(random) * s, unit(random) * s})};
        if (kind == 1) t[2] = ref::Add(t[0], ref::Mul(ref::Sub(t[1], t[0]), 0.5 + 1e-7));  // sliver
        if (kind == 2) t[1] = t[0];                                                        // degenerate
        if (kind == 3) t[2][1] = std::numeric_limits<double>::quiet_NaN();
        if (kind == 4) t[0][0] = std::numeric_limits<double>::infinity();
        if (kind == 5) t = {ref::Mul(c, 0.001), ref::Mul(c, 0.0010002), ref::Add(ref::Mul(c, 0.001), V{1e-4, 0, 0})};  // tiny
        made.push_back(t);
        for (const V& p : t) add(p);
    }
    mesh.BuildTriangles();
    vtx::ComputeBounds(mesh);
}

TEST_F(CollisionTest, TreeAnswersExactlyAsTheWalk) {
    std::mt19937 random(2024);
    std::uniform_real_distribution<double> unit(-1, 1), along(0, 14), radius(0, 3);
    int sphereHits = 0, boxHits = 0, rayFront = 0, rayBehind = 0, lensHits = 0, smallHits = 0;
    for (int round = 0; round < 3; ++round) {
        vtx::MeshObjectX mesh;
        RandomMesh(mesh, random, 1500 + round * 1000);
        const vtx::CollisionTree* tree = vtx::CollisionTreeFor(mesh, 0);
        ASSERT_NE(tree, nullptr);
        EXPECT_GT(tree->alwaysTestedCount(), 0);
        // Centres just outside an edge, in the triangle's plane, with a
        // radius below that distance: the inside test's 1 % tolerance
        // still accepts many, and the tree must find them too.
        const vtx::Frame& frame = mesh.frames[0];
        for (int32_t i = 0; i + 2 < frame.triangles.count(); i += 3) {
            V c[3];
            for (int v = 0; v < 3; ++v) {
                for (int k = 0; k < 3; ++k) c[v][static_cast<size_t>(k)] = frame.triangles[i + v].position[k];
            }
            const V middle = ref::Mul(ref::Add(c[0], c[1]), 0.5);
            const V inward = ref::Sub(c[2], ref::ClosestPoint(c[2], c[0], c[1], c[0]));
            const double length = std::sqrt(ref::Dot(inward, inward));
            if (!(length > 0)) continue;
            const double edge = ref::Distance(c[0], c[1]);
            const V m = ref::Sub(middle, ref::Mul(inward, (0.002 + 0.002 * (i % 3)) * edge / length));
            const double centre[3] = {m[0], m[1], m[2]};
            const double r = 1e-4 * edge;
            const int32_t walk = vtx::SphereHitsFrame(mesh, 0, centre, r, vtx::CollisionSearch::kWalk);
            ASSERT_EQ(vtx::SphereHitsFrame(mesh, 0, centre, r, vtx::CollisionSearch::kTree), walk) << i;
            lensHits += walk == i;
            // A triangle too small for its normal to be normalised: the
            // plane distance says little, the inside test decides.
            const V n = ref::Cross(ref::Sub(c[2], c[0]), ref::Sub(c[1], c[0]));
            if (ref::Dot(n, n) > 1e-7) continue;
            const V centroid = ref::Mul(ref::Add(ref::Add(c[0], c[1]), c[2]), 1.0 / 3);
            const V above = ref::Add(centroid, ref::Mul(n, (0.01 + 0.02 * (i % 4)) * edge / std::sqrt(ref::Dot(n, n) + 1e-300)));
            const double up[3] = {above[0], above[1], above[2]};
            const int32_t small = vtx::SphereHitsFrame(mesh, 0, up, 1e-9 * edge, vtx::CollisionSearch::kWalk);
            ASSERT_EQ(vtx::SphereHitsFrame(mesh, 0, up, 1e-9 * edge, vtx::CollisionSearch::kTree), small) << i;
            smallHits += small == i;
        }
        for (int q = 0; q < 1000; ++q) {
            V m{unit(random), unit(random), unit(random)};
            m = ref::Mul(m, along(random) / std::sqrt(ref::Dot(m, m)));
            const double r = q % 10 == 0 ? -radius(random) : radius(random) * (q % 3 == 0 ? 0.01 : 1);
            const double centre[3] = {m[0], m[1], m[2]};
            const int32_t walkSphere = vtx::SphereHitsFrame(mesh, 0, centre, r, vtx::CollisionSearch::kWalk);
            ASSERT_EQ(vtx::SphereHitsFrame(mesh, 0, centre, r, vtx::CollisionSearch::kTree), walkSphere) << q;
            sphereHits += walkSphere > 0;

            float turn[16] = {0.36f, 0.48f, -0.8f, 0, -0.8f, 0.6f, 0, 0, 0.48f, 0.64f, 0.6f, 0, 0, 0, 0, 1};
            const double size[3] = {radius(random), radius(random), q % 7 == 0 ? 0 : radius(random)};
            const vtx::OrientedBox box = vtx::WorldBoxToObject(vtx::RigidInverseOf(turn), centre, size);
            const int32_t walkBox = vtx::BoxHitsFrame(mesh, 0, box, vtx::CollisionSearch::kWalk);
            ASSERT_EQ(vtx::BoxHitsFrame(mesh, 0, box, vtx::CollisionSearch::kTree), walkBox) << q;
            boxHits += walkBox >= 0;

            V d{unit(random), unit(random), unit(random)};
            const double length = q % 5 == 0 ? 1e-4 : std::sqrt(ref::Dot(d, d));
            const double dir[3] = {d[0] / length, d[1] / length, d[2] / length};
            const vtx::RayFrameHit walk = vtx::RayHitsFrame(mesh, 0, centre, dir, vtx::CollisionSearch::kWalk);
            const vtx::RayFrameHit fast = vtx::RayHitsFrame(mesh, 0, centre, dir, vtx::CollisionSearch::kTree);
            ASSERT_EQ(fast.firstVertex, walk.firstVertex) << q;
            ASSERT_EQ(fast.distance, walk.distance) << q;
            rayFront += walk.distance > 0;
            rayBehind += walk.distance < 0;
        }
    }
    EXPECT_GT(sphereHits, 150);
    EXPECT_GT(lensHits, 50);
    EXPECT_GT(smallHits, 5);
    EXPECT_GT(boxHits, 150);
    EXPECT_GT(rayFront, 150);
    EXPECT_GT(rayBehind, 150);
}

TEST_F(CollisionTest, TreeFollowsARebuiltMesh) {
    std::vector<std::array<V, 3>> many;
    for (int i = 0; i < 2000; ++i) many.push_back({V{i * 1.0, 0, 0}, V{i + 1.0, 0, 0}, V{i * 1.0, 1, 0}});
    BuildSlot(10, many);
    vtx::SetCollisionSearch(vtx::CollisionSearch::kTree);
    EXPECT_NEAR(RayHitsObject(10, 0, 100.2, 0.2, 5, 0, 0, -1), 5.0, 1e-12);
    EXPECT_EQ(LastHitTriangle(), 100);
    // The same slot rebuilt one unit lower: the kept tree must not answer.
    for (auto& t : many) {
        for (V& p : t) p[2] = -1;
    }
    BuildSlot(10, many);
    EXPECT_NEAR(RayHitsObject(10, 0, 100.2, 0.2, 5, 0, 0, -1), 6.0, 1e-12);
    EXPECT_EQ(LastHitTriangle(), 100);
}

}  // namespace
