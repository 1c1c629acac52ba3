// Searching the collision tree, and the trees kept per mesh frame.
#include <algorithm>
#include <cmath>
#include <limits>
#include <list>

#include "collision_tree.h"

namespace vtx {

namespace {

constexpr double kReach = 1e6;  // see CollisionTree: queries within this many mesh scales
constexpr int32_t kStackDepth = 128;

double MaxAbs(const double v[3]) { return std::max({std::fabs(v[0]), std::fabs(v[1]), std::fabs(v[2])}); }

// Squared distance from p to the box; 0 inside.
template <typename NodeT>
double BoxDistanceSquared(const NodeT& node, const double p[3]) {
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) {
        double d = 0.0;
        if (p[k] < node.low[k]) d = node.low[k] - p[k];
        else if (p[k] > node.high[k]) d = p[k] - node.high[k];
        sum += d * d;
    }
    return sum;
}

// The parameter interval over which start + dir t lies in the box.
template <typename NodeT>
bool Slab(const NodeT& node, const double s[3], const double dir[3], double& enter, double& leave) {
    enter = -std::numeric_limits<double>::infinity();
    leave = std::numeric_limits<double>::infinity();
    for (int k = 0; k < 3; ++k) {
        if (dir[k] == 0.0) {
            if (s[k] < node.low[k] || s[k] > node.high[k]) return false;
            continue;
        }
        double t0 = (node.low[k] - s[k]) / dir[k];
        double t1 = (node.high[k] - s[k]) / dir[k];
        if (t0 > t1) std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
    }
    return enter <= leave;
}

// The rule of the triangle walk: a nearer value wins, and among equal values
// the triangle earlier in the list.
inline bool Better(double t, int32_t index, double best, int32_t bestIndex, bool positive) {
    if (positive ? t < best : t > best) return true;
    return t == best && index < bestIndex;
}

}  // namespace

bool CollisionTree::CoversSphere(const double centre[3], double radius) const {
    const double reach = kReach * scale_;
    return MaxAbs(centre) <= reach && std::fabs(radius) <= reach;
}

bool CollisionTree::CoversBox(const OrientedBox& box) const {
    const double reach = kReach * scale_;
    if (MaxAbs(box.centre) > reach) return false;
    for (const auto& half : box.halfAxis) {
        if (MaxAbs(half) > reach) return false;
    }
    return true;
}

bool CollisionTree::CoversRay(const double start[3], const double dir[3]) const {
    const double length2 = dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2];
    return MaxAbs(start) <= kReach * scale_ && length2 >= 1e-30 && length2 <= 1e6;
}

template <typename Apart, typename Touches>
int32_t CollisionTree::FirstHit(const Apart& apart, const Touches& touches) const {
    int32_t best = std::numeric_limits<int32_t>::max();
    for (const Slot& slot : always_) {
        if (touches(slot)) {
            best = slot.firstVertex;
            break;
        }
    }
    if (nodes_.empty()) return best == std::numeric_limits<int32_t>::max() ? -1 : best;
    int32_t stack[kStackDepth];
    int32_t top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const Node& node = nodes_[static_cast<size_t>(stack[--top])];
        if (node.minIndex >= best || apart(node)) continue;
        if (node.count > 0) {
            for (int32_t i = node.first; i < node.first + node.count; ++i) {
                const Slot& slot = slots_[static_cast<size_t>(i)];
                if (slot.firstVertex >= best) break;
                if (touches(slot)) {
                    best = slot.firstVertex;
                    break;
                }
            }
            continue;
        }
        // The child holding the lower list indices first.
        const int32_t a = static_cast<int32_t>(&node - nodes_.data()) + 1;
        const int32_t b = node.first;
        const bool aFirst = nodes_[static_cast<size_t>(a)].minIndex <= nodes_[static_cast<size_t>(b)].minIndex;
        stack[top++] = aFirst ? b : a;
        stack[top++] = aFirst ? a : b;
    }
    return best == std::numeric_limits<int32_t>::max() ? -1 : best;
}

int32_t CollisionTree::FirstSphereHit(const double m[3], double r) const {
    const double reach = std::max(r, 0.0);
    const double reach2 = reach * reach;
    return FirstHit([&](const Node& node) { return BoxDistanceSquared(node, m) > reach2; },
                    [&](const Slot& slot) {
                        return SphereTouchesTriangle(slot.corner, slot.corner + 3, slot.corner + 6, m, r);
                    });
}

int32_t CollisionTree::FirstBoxHit(const OrientedBox& box) const {
    // The box's extent along the object axes.
    double low[3], high[3];
    for (int k = 0; k < 3; ++k) {
        const double extent = std::fabs(box.halfAxis[0][k]) + std::fabs(box.halfAxis[1][k]) + std::fabs(box.halfAxis[2][k]);
        low[k] = box.centre[k] - extent;
        high[k] = box.centre[k] + extent;
    }
    return FirstHit(
        [&](const Node& node) {
            bool apart = false;
            for (int k = 0; k < 3; ++k) apart = apart || node.low[k] > high[k] || node.high[k] < low[k];
            return apart;
        },
        [&](const Slot& slot) { return BoxTouchesTriangle(slot.corner, slot.corner + 3, slot.corner + 6, box); });
}

bool CollisionTree::NearestRayHit(const double s[3], const double dir[3], double& distance,
                                  int32_t& firstVertex) const {
    // In front first; only when nothing lies in front, the hit behind
    // nearest to the start.
    for (const bool positive : {true, false}) {
        double best = positive ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
        int32_t bestIndex = -1;
        const auto consider = [&](const Slot& slot) {
            double t = 0.0;
            if (!RayMeetsTriangle(slot.corner, slot.corner + 3, slot.corner + 6, s, dir, t)) return;
            if ((positive ? t > 0.0 : t < 0.0) && Better(t, slot.firstVertex, best, bestIndex, positive)) {
                best = t;
                bestIndex = slot.firstVertex;
            }
        };
        for (const Slot& slot : always_) consider(slot);
        if (!nodes_.empty()) {
            int32_t stack[kStackDepth];
            int32_t top = 0;
            stack[top++] = 0;
            while (top > 0) {
                const int32_t at = stack[--top];
                const Node& node = nodes_[static_cast<size_t>(at)];
                double enter, leave;
                if (!Slab(node, s, dir, enter, leave)) continue;
                if (positive ? (leave < 0.0 || enter > best) : (enter > 0.0 || leave < best)) continue;
                if (node.count > 0) {
                    for (int32_t i = node.first; i < node.first + node.count; ++i) consider(slots_[static_cast<size_t>(i)]);
                    continue;
                }
                // The child the search meets first goes on top.
                const int32_t a = at + 1;
                const int32_t b = node.first;
                double enterA, leaveA, enterB, leaveB;
                const bool hitA = Slab(nodes_[static_cast<size_t>(a)], s, dir, enterA, leaveA);
                const bool hitB = Slab(nodes_[static_cast<size_t>(b)], s, dir, enterB, leaveB);
                if (hitA && hitB) {
                    const bool aFirst = positive ? enterA <= enterB : leaveA >= leaveB;
                    stack[top++] = aFirst ? b : a;
                    stack[top++] = aFirst ? a : b;
                } else if (hitA) {
                    stack[top++] = a;
                } else if (hitB) {
                    stack[top++] = b;
                }
            }
        }
        if (bestIndex >= 0) {
            distance = best;
            firstVertex = bestIndex;
            return true;
        }
    }
    return false;
}

// --- Trees kept per mesh frame -----------------------------------------------

namespace {

struct KeptTree {
    const MeshObject* mesh;
    int32_t frame;
    uint64_t revision;
    const Vertex* triangles;
    int32_t vertexCount;
    std::unique_ptr<CollisionTree> tree;
};

// Most recently used first. Trees of meshes that changed or went away are
// dropped when the budget of kept triangles is exceeded.
constexpr int64_t kKeptTriangleBudget = 4'000'000;

std::list<KeptTree>& KeptTrees() {
    static std::list<KeptTree> kept;
    return kept;
}

}  // namespace

const CollisionTree* CollisionTreeFor(const MeshObject& mesh, int32_t frame) {
    if (frame < 0 || frame >= mesh.frames.count()) return nullptr;
    const Frame& f = mesh.frames[frame];
    std::list<KeptTree>& kept = KeptTrees();
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->mesh != &mesh || it->frame != frame) continue;
        if (it->revision == mesh.trianglesRevision && it->triangles == f.triangles.data() &&
            it->vertexCount == f.triangles.count()) {
            kept.splice(kept.begin(), kept, it);
            return kept.front().tree.get();
        }
        kept.erase(it);
        break;
    }
    auto tree = std::make_unique<CollisionTree>(f.triangles.data(), f.triangles.count());
    kept.push_front({&mesh, frame, mesh.trianglesRevision, f.triangles.data(), f.triangles.count(), std::move(tree)});
    int64_t total = 0;
    for (auto it = kept.begin(); it != kept.end();) {
        total += it->tree->triangleCount();
        if (total > kKeptTriangleBudget && it != kept.begin()) it = kept.erase(it);
        else ++it;
    }
    return kept.front().tree.get();
}

void ClearCollisionTrees() { KeptTrees().clear(); }

}  // namespace vtx
