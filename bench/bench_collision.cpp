// Ray and sphere queries against a 100 000-triangle object: the walk over
// every triangle against the collision tree, in the same run, with the
// tree's build time. Both searches must give the same answers; the program
// counts any difference.
//
//   build/bench/bench_collision
#include <cmath>
#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "gfx3d/collision_commands.h"
#include "gfx3d/collision_queries.h"
#include "gfx3d/collision_tree.h"
#include "gfx3d/mesh_commands.h"
#include "gfx3d/object_slots.h"

namespace {

constexpr int kSlot = 1;

// A bumpy sphere of radius about 10: rings x segments x 2 triangles.
void BuildObject(int rings, int segments) {
    StartObject(kSlot);
    const auto point = [&](int i, int j, double out[3]) {
        const double theta = M_PI * i / rings, phi = 2 * M_PI * j / segments;
        const double r = 10 + 0.3 * std::sin(7 * theta) * std::cos(5 * phi);
        out[0] = r * std::sin(theta) * std::cos(phi);
        out[1] = r * std::cos(theta);
        out[2] = r * std::sin(theta) * std::sin(phi);
    };
    for (int i = 0; i < rings; ++i) {
        for (int j = 0; j < segments; ++j) {
            double a[3], b[3], c[3], d[3];
            point(i, j, a);
            point(i + 1, j, b);
            point(i + 1, j + 1, c);
            point(i, j + 1, d);
            for (const double* p : {a, b, c, a, c, d}) AddVertex(p[0], p[1], p[2], 0, 0, 0xFFFFFF);
        }
    }
    EndObject();
}

double Uniform(bench::Xorshift& random, double low, double high) {
    return low + (high - low) * static_cast<double>(random.next() >> 11) / 9007199254740992.0;
}

struct Ray {
    double s[3], d[3];
};
struct Sphere {
    double m[3], r;
};

}  // namespace

int main() {
    BuildObject(250, 200);  // 100 000 triangles
    std::printf("object: %d triangles\n", CountFaces(kSlot));
    bench::Xorshift random;
    std::vector<Ray> rays(400);
    for (Ray& ray : rays) {
        for (int k = 0; k < 3; ++k) ray.s[k] = Uniform(random, -30, 30);
        for (int k = 0; k < 3; ++k) ray.d[k] = Uniform(random, -12, 12) - ray.s[k];
    }
    std::vector<Sphere> spheres(400);
    for (Sphere& s : spheres) {
        for (int k = 0; k < 3; ++k) s.m[k] = Uniform(random, -12, 12);
        s.r = Uniform(random, 0.05, 1.5);
    }

    // Build time of the tree, best of 5.
    const vtx::MeshObject& mesh = vtx::ObjectSlotAt(kSlot)->parts[0];
    const double build = bench::Best(5, [&] {
        vtx::ClearCollisionTrees();
        vtx::CollisionTreeFor(mesh, 0);
    });

    std::vector<double> walkRay(rays.size()), treeRay(rays.size());
    std::vector<int32_t> walkRayTri(rays.size()), treeRayTri(rays.size());
    std::vector<int32_t> walkSphere(spheres.size()), treeSphere(spheres.size()), walkSphereTri(spheres.size()),
        treeSphereTri(spheres.size());
    const auto runRays = [&](std::vector<double>& out, std::vector<int32_t>& tri, int repeat) {
        for (int r = 0; r < repeat; ++r) {
            for (size_t i = 0; i < rays.size(); ++i) {
                const Ray& q = rays[i];
                out[i] = RayHitsObject(kSlot, 0, q.s[0], q.s[1], q.s[2], q.d[0], q.d[1], q.d[2]);
                tri[i] = LastHitTriangle();
            }
        }
    };
    const auto runSpheres = [&](std::vector<int32_t>& out, std::vector<int32_t>& tri, int repeat) {
        for (int r = 0; r < repeat; ++r) {
            for (size_t i = 0; i < spheres.size(); ++i) {
                const Sphere& q = spheres[i];
                out[i] = SphereHitsObject(kSlot, 0, q.r, q.m[0], q.m[1], q.m[2]);
                tri[i] = LastHitTriangle();
            }
        }
    };
    vtx::SetCollisionSearch(vtx::CollisionSearch::kWalk);
    const double walkRays = bench::Best(3, [&] { runRays(walkRay, walkRayTri, 1); });
    const double walkSpheres = bench::Best(3, [&] { runSpheres(walkSphere, walkSphereTri, 1); });
    vtx::SetCollisionSearch(vtx::CollisionSearch::kTree);
    constexpr int kRepeat = 50;
    const double treeRays = bench::Best(3, [&] { runRays(treeRay, treeRayTri, kRepeat); }) / kRepeat;
    const double treeSpheres = bench::Best(3, [&] { runSpheres(treeSphere, treeSphereTri, kRepeat); }) / kRepeat;

    int differences = 0, rayHits = 0, sphereHits = 0;
    for (size_t i = 0; i < rays.size(); ++i) {
        differences += walkRay[i] != treeRay[i] || walkRayTri[i] != treeRayTri[i];
        rayHits += walkRay[i] != 0;
    }
    for (size_t i = 0; i < spheres.size(); ++i) {
        differences += walkSphere[i] != treeSphere[i] || walkSphereTri[i] != treeSphereTri[i];
        sphereHits += walkSphere[i];
    }
    const double n = static_cast<double>(rays.size());
    std::printf("rays:    walk %10.0f /s   tree %10.0f /s   tree / walk %7.1fx   (%d of %zu hit)\n", n / walkRays,
                n / treeRays, walkRays / treeRays, rayHits, rays.size());
    std::printf("spheres: walk %10.0f /s   tree %10.0f /s   tree / walk %7.1fx   (%d of %zu hit)\n",
                spheres.size() / walkSpheres, spheres.size() / treeSpheres, walkSpheres / treeSpheres, sphereHits,
                spheres.size());
    std::printf("tree build: %.2f ms = %.1f walked rays\n", build * 1e3, build / (walkRays / n));
    std::printf("answers that differ between walk and tree: %d\n", differences);
    return differences == 0 ? 0 : 1;
}
