// Planner: request checks, the normalised cost grid and the memory of the
// search, shared by every planner.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "planner.h"

namespace vtx {

namespace {

// A map value as a cell cost before normalisation: a positive float, or
// -1 for a blocked cell. Zero, negative values, NaN and +-inf block the
// cell; finite values beyond the float range are the largest float, so a
// huge cost stays passable.
float RawCost(double value) {
    if (!(value > 0.0) || value == HUGE_VAL) return -1.0f;
    const float c = value > static_cast<double>(FLT_MAX) ? FLT_MAX : static_cast<float>(value);
    return c > 0.0f ? c : -1.0f;  // too small for a float counts as 0
}

// The raw costs of cells map values; returns the highest (0 when none is
// positive). Four values at a time where the processor has SSE2: the same
// comparisons and conversions, so the same floats.
float StoreRawCosts(const double* map, float* costs, size_t cells) {
    size_t i = 0;
    float highest = 0.0f;
#ifdef __SSE2__
    const __m128d zero = _mm_setzero_pd(), infinity = _mm_set1_pd(HUGE_VAL);
    const __m128d largest = _mm_set1_pd(static_cast<double>(FLT_MAX)), blocked = _mm_set1_pd(-1.0);
    const __m128 zerof = _mm_setzero_ps(), blockedf = _mm_set1_ps(-1.0f);
    __m128 highest4 = _mm_setzero_ps();
    auto two = [&](const double* at) {
        const __m128d v = _mm_loadu_pd(at);
        const __m128d passable = _mm_and_pd(_mm_cmpgt_pd(v, zero), _mm_cmpneq_pd(v, infinity));
        const __m128d clamped = _mm_min_pd(v, largest);  // NaN is not passable anyway
        return _mm_cvtpd_ps(_mm_or_pd(_mm_and_pd(passable, clamped), _mm_andnot_pd(passable, blocked)));
    };
    for (; i + 4 <= cells; i += 4) {
        const __m128 c = _mm_movelh_ps(two(map + i), two(map + i + 2));
        const __m128 positive = _mm_cmpgt_ps(c, zerof);  // too small for a float counts as 0
        const __m128 raw = _mm_or_ps(_mm_and_ps(positive, c), _mm_andnot_ps(positive, blockedf));
        _mm_storeu_ps(costs + i, raw);
        highest4 = _mm_max_ps(highest4, raw);
    }
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, highest4);
    for (const float h : lanes)
        if (h > highest) highest = h;
#endif
    for (; i < cells; ++i) {
        costs[i] = RawCost(map[i]);
        if (costs[i] > highest) highest = costs[i];
    }
    return highest;
}

// Every positive cost c becomes c / highest + 1 (four at a time with SSE2:
// the same division and addition, so the same floats).
void Normalise(float* costs, size_t cells, float highest) {
    size_t i = 0;
#ifdef __SSE2__
    const __m128 h = _mm_set1_ps(highest), one = _mm_set1_ps(1.0f), zero = _mm_setzero_ps();
    for (; i + 4 <= cells; i += 4) {
        const __m128 c = _mm_loadu_ps(costs + i);
        const __m128 normalised = _mm_add_ps(_mm_div_ps(c, h), one);
        const __m128 positive = _mm_cmpgt_ps(c, zero);
        _mm_storeu_ps(costs + i, _mm_or_ps(_mm_and_ps(positive, normalised), _mm_andnot_ps(positive, c)));
    }
#endif
    for (; i < cells; ++i)
        if (costs[i] > 0.0f) costs[i] = costs[i] / highest + 1.0f;
}

}  // namespace

Planner::~Planner() { delete[] costs_; }

bool Planner::Setup(const PathRequest& request) {
    if (request.startX < 0 || request.startX >= request.width || request.goalX < 0 ||
        request.goalX >= request.width)
        return false;
    if (request.startY < 0 || request.startY >= request.height || request.goalY < 0 ||
        request.goalY >= request.height)
        return false;
    if (request.startX == request.goalX && request.startY == request.goalY) return false;
    if (!request.map) return false;

    delete[] costs_;
    costs_ = nullptr;
    request_ = PathRequest{};
    result_ = nullptr;
    const size_t cells = static_cast<size_t>(request.width) * static_cast<size_t>(request.height);
    if (cells > static_cast<size_t>(INT32_MAX)) return false;
    costs_ = new (std::nothrow) float[cells];
    if (!costs_) return false;

    const double* const map = request.map;
    float* const costs = costs_;
    const float highest = StoreRawCosts(map, costs, cells);
    if (!(highest > 0.0f)) return false;
    // Open cells cost more than 1 and at most 2, so every step costs more
    // than the distance it covers and the distance heuristic never
    // overestimates at weight 0.5.
    Normalise(costs, cells, highest);

    request_ = request;
    const int32_t cellCount = static_cast<int32_t>(cells);
    const int32_t poolSize = request.nodePoolSize > 0 ? request.nodePoolSize : cellCount;
    const int32_t openSize = request.openListCapacity > 0 ? request.openListCapacity : cellCount;
    if (!pool_.Reserve(poolSize) || !ReserveOpenList(static_cast<size_t>(openSize)) ||
        !closed_.Init(request.hashBits)) {
        request_ = PathRequest{};
        return false;
    }

    // A NaN weight orders by cost alone, as 0 does.
    float weight = request.weight;
    if (!(weight > 0.0f)) weight = 0.0f;
    if (weight > 1.0f) weight = 1.0f;
    request_.weight = weight;
    result_ = nullptr;
    idle_ = true;
    return true;
}

bool Planner::ReserveOpenList(size_t capacity) { return open_.Init(static_cast<unsigned>(capacity)); }

void Planner::Begin() {
    idle_ = false;
    result_ = nullptr;
}

void Planner::Release() {
    const unsigned size = open_.Size();
    for (unsigned i = 0; i < size; ++i)
        if (open_.At(i)) pool_.GiveBack();
    open_.Clear();
    closed_.Clear(pool_);
    result_ = nullptr;
    idle_ = true;
}

}  // namespace vtx
