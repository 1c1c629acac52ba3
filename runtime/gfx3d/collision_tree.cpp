// The collision tree: built with binned surface-area splits over widened
// triangle boxes, searched depth first.
#include "collision_tree.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace vtx {

namespace {

constexpr int32_t kLeafSize = 4;
constexpr int32_t kBins = 12;
// Widening of every box, in mesh scales: far above double rounding.
constexpr double kSlack = 1e-6;
// Largest coordinate a tree triangle may have; beyond it squares overflow
// too easily and the triangle is tested for every query instead.
constexpr double kLargest = 1e15;

float Down(double v) {
    float f = static_cast<float>(v);
    if (static_cast<double>(f) > v) f = std::nextafter(f, -std::numeric_limits<float>::infinity());
    return f;
}
float Up(double v) {
    float f = static_cast<float>(v);
    if (static_cast<double>(f) < v) f = std::nextafter(f, std::numeric_limits<float>::infinity());
    return f;
}

double Length(const double v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// True when the ray test's barycentric division is badly conditioned for
// this triangle (but the triangle has a normal, so the test may hit).
bool IllConditionedForRays(const float* a, const float* b, const float* c) {
    double e1[3], e2[3];
    for (int k = 0; k < 3; ++k) {
        e1[k] = static_cast<double>(b[k]) - a[k];
        e2[k] = static_cast<double>(c[k]) - a[k];
    }
    const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    if (n[0] == 0.0 && n[1] == 0.0 && n[2] == 0.0) return false;  // never met by a ray
    const double d00 = e1[0] * e1[0] + e1[1] * e1[1] + e1[2] * e1[2];
    const double d11 = e2[0] * e2[0] + e2[1] * e2[1] + e2[2] * e2[2];
    const double d01 = e1[0] * e2[0] + e1[1] * e2[1] + e1[2] * e2[2];
    const double denominator = d00 * d11 - d01 * d01;
    return !(denominator > 1e-6 * d00 * d11);
}

double SurfaceArea(const float low[3], const float high[3]) {
    const double x = static_cast<double>(high[0]) - low[0];
    const double y = static_cast<double>(high[1]) - low[1];
    const double z = static_cast<double>(high[2]) - low[2];
    return 2.0 * (x * y + y * z + z * x);
}

void Grow(float low[3], float high[3], const float* box) {
    for (int k = 0; k < 3; ++k) {
        low[k] = std::min(low[k], box[k]);
        high[k] = std::max(high[k], box[3 + k]);
    }
}

void Empty(float low[3], float high[3]) {
    for (int k = 0; k < 3; ++k) {
        low[k] = std::numeric_limits<float>::infinity();
        high[k] = -std::numeric_limits<float>::infinity();
    }
}

}  // namespace

CollisionTree::CollisionTree(const Vertex* triangles, int32_t vertexCount) {
    triangleCount_ = vertexCount / 3;
    double largest = 0.0;
    for (int32_t i = 0; i < triangleCount_; ++i) {
        const Vertex* v = triangles + 3 * static_cast<size_t>(i);
        Slot slot{};
        for (int c = 0; c < 3; ++c) std::memcpy(slot.corner + 3 * c, v[c].position, sizeof(float) * 3);
        slot.firstVertex = 3 * i;
        bool usable = true;
        double magnitude = 0.0;
        for (float x : slot.corner) {
            if (!std::isfinite(x)) usable = false;
            else magnitude = std::max(magnitude, std::fabs(static_cast<double>(x)));
        }
        if (!usable || magnitude > kLargest) {
            always_.push_back(slot);
            continue;
        }
        largest = std::max(largest, magnitude);
        if (IllConditionedForRays(slot.corner, slot.corner + 3, slot.corner + 6)) always_.push_back(slot);
        slots_.push_back(slot);
    }
    scale_ = 1.0 + largest;
    if (slots_.empty()) return;

    // Widened boxes: beyond the reach of every test (the angle-sum inside
    // test accepts the centre's projection up to 0.008 of an edge outside a
    // triangle, and up to 0.3 of an edge when the normal is too short to be
    // normalised) plus the slack for rounding.
    std::vector<float> boxes(slots_.size() * 6);
    std::vector<float> centres(slots_.size() * 3);
    const double slack = kSlack * scale_;
    for (size_t s = 0; s < slots_.size(); ++s) {
        const float* a = slots_[s].corner;
        const float* b = a + 3;
        const float* c = a + 6;
        double ab[3], bc[3], ca[3], ba[3];
        for (int k = 0; k < 3; ++k) {
            ab[k] = static_cast<double>(b[k]) - a[k];
            bc[k] = static_cast<double>(c[k]) - b[k];
            ca[k] = static_cast<double>(a[k]) - c[k];
            ba[k] = -ab[k];
        }
        const double longest = std::max({Length(ab), Length(bc), Length(ca)});
        const double cab[3] = {-ca[0], -ca[1], -ca[2]};  // c - a
        const double n[3] = {cab[1] * ba[2] - cab[2] * ba[1], cab[2] * ba[0] - cab[0] * ba[2],
                             cab[0] * ba[1] - cab[1] * ba[0]};
        const double normal2 = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
        const double widen = slack + (normal2 > 2e-7 ? 0.02 : 0.31) * longest;
        for (int k = 0; k < 3; ++k) {
            const double low = std::min({static_cast<double>(a[k]), static_cast<double>(b[k]), static_cast<double>(c[k])});
            const double high = std::max({static_cast<double>(a[k]), static_cast<double>(b[k]), static_cast<double>(c[k])});
            boxes[s * 6 + k] = Down(low - widen);
            boxes[s * 6 + 3 + k] = Up(high + widen);
            centres[s * 3 + k] = static_cast<float>((low + high) * 0.5);
        }
    }
    BuildInput in{std::vector<int32_t>(slots_.size()), boxes, centres, {}};
    for (size_t s = 0; s < in.order.size(); ++s) in.order[s] = static_cast<int32_t>(s);
    in.placed.reserve(slots_.size());
    nodes_.reserve(slots_.size() / 2 + 1);
    BuildNode(in, 0, static_cast<int32_t>(in.order.size()), 0);
    slots_ = std::move(in.placed);
}

// Builds the subtree of order[begin, end) at the end of nodes_ and returns
// its node. Below depth 64 the split falls back to halves, so pathological
// surface-area splits cannot make the tree (and this recursion) deep.
int32_t CollisionTree::BuildNode(BuildInput& in, int32_t begin, int32_t end, int32_t depth) {
    const int32_t index = static_cast<int32_t>(nodes_.size());
    nodes_.push_back(Node{});
    Node node{};
    Empty(node.low, node.high);
    float centreLow[3], centreHigh[3];
    Empty(centreLow, centreHigh);
    for (int32_t i = begin; i < end; ++i) {
        const size_t s = static_cast<size_t>(in.order[static_cast<size_t>(i)]);
        Grow(node.low, node.high, &in.boxes[s * 6]);
        for (int k = 0; k < 3; ++k) {
            centreLow[k] = std::min(centreLow[k], in.centres[s * 3 + k]);
            centreHigh[k] = std::max(centreHigh[k], in.centres[s * 3 + k]);
        }
    }
    const int32_t count = end - begin;
    if (count <= kLeafSize) {
        node.first = static_cast<int32_t>(in.placed.size());
        node.count = count;
        for (int32_t i = begin; i < end; ++i) in.placed.push_back(slots_[static_cast<size_t>(in.order[static_cast<size_t>(i)])]);
        std::sort(in.placed.begin() + node.first, in.placed.end(),
                  [](const Slot& x, const Slot& y) { return x.firstVertex < y.firstVertex; });
        node.minIndex = in.placed[static_cast<size_t>(node.first)].firstVertex;
        nodes_[static_cast<size_t>(index)] = node;
        return index;
    }
    int axis = 0;
    for (int k = 1; k < 3; ++k) {
        if (centreHigh[k] - centreLow[k] > centreHigh[axis] - centreLow[axis]) axis = k;
    }
    const double extent = static_cast<double>(centreHigh[axis]) - centreLow[axis];
    const auto first = in.order.begin() + begin;
    const auto last = in.order.begin() + end;
    int32_t split = -1;
    if (extent > 0.0 && depth < 64) split = SurfaceAreaSplit(in, begin, end, axis, centreLow[axis], extent);
    if (split <= begin || split >= end) {
        split = begin + count / 2;
        std::nth_element(first, in.order.begin() + split, last, [&](int32_t x, int32_t y) {
            return in.centres[static_cast<size_t>(x) * 3 + axis] < in.centres[static_cast<size_t>(y) * 3 + axis];
        });
    }
    const int32_t left = BuildNode(in, begin, split, depth + 1);
    const int32_t right = BuildNode(in, split, end, depth + 1);
    node.count = 0;
    node.first = right;
    node.minIndex = std::min(nodes_[static_cast<size_t>(left)].minIndex, nodes_[static_cast<size_t>(right)].minIndex);
    nodes_[static_cast<size_t>(index)] = node;
    return index;
}

// The binned surface-area split of order[begin, end) along axis; returns the
// first position of the right part, or -1 when no split separates.
int32_t CollisionTree::SurfaceAreaSplit(BuildInput& in, int32_t begin, int32_t end, int axis, float centreLow,
                                         double extent) {
    const auto binOf = [&](int32_t s) {
        const double t = (in.centres[static_cast<size_t>(s) * 3 + axis] - centreLow) / extent;
        return std::clamp(static_cast<int>(t * kBins), 0, kBins - 1);
    };
    int32_t binCount[kBins] = {};
    float binBox[kBins][6];
    for (auto& box : binBox) Empty(box, box + 3);
    for (int32_t i = begin; i < end; ++i) {
        const int32_t s = in.order[static_cast<size_t>(i)];
        const int b = binOf(s);
        ++binCount[b];
        Grow(binBox[b], binBox[b] + 3, &in.boxes[static_cast<size_t>(s) * 6]);
    }
    double rightCost[kBins] = {};
    float box[6];
    Empty(box, box + 3);
    int32_t n = 0;
    for (int b = kBins - 1; b > 0; --b) {
        n += binCount[b];
        if (binCount[b] > 0) Grow(box, box + 3, binBox[b]);
        rightCost[b] = n > 0 ? SurfaceArea(box, box + 3) * n : 0.0;
    }
    Empty(box, box + 3);
    n = 0;
    double best = std::numeric_limits<double>::infinity();
    int bestBin = -1;
    for (int b = 0; b < kBins - 1; ++b) {
        n += binCount[b];
        if (binCount[b] > 0) Grow(box, box + 3, binBox[b]);
        if (n == 0 || n == end - begin) continue;
        const double cost = SurfaceArea(box, box + 3) * n + rightCost[b + 1];
        if (cost < best) {
            best = cost;
            bestBin = b;
        }
    }
    if (bestBin < 0) return -1;
    const auto middle = std::partition(in.order.begin() + begin, in.order.begin() + end,
                                       [&](int32_t s) { return binOf(s) <= bestBin; });
    return static_cast<int32_t>(middle - in.order.begin());
}

}  // namespace vtx
