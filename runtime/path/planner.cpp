// Planner: request checks, the normalised cost grid and the memory of the
// search, shared by every planner.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <new>

#include "planner.h"

namespace vtx {

namespace {

// A map value as a cell cost before normalisation: a positive float, or
// -1 for a blocked cell. Zero, negative values, NaN and +-inf block the
// cell; finite values beyond the float range are the largest float, so a
// huge cost stays passable.
float RawCost(double value) {
    const bool passable = value > 0.0 && value != HUGE_VAL;
    const double clamped = !passable ? 1.0 : value > static_cast<double>(FLT_MAX) ? static_cast<double>(FLT_MAX) : value;
    const float c = passable ? static_cast<float>(clamped) : -1.0f;
    return c > 0.0f ? c : -1.0f;  // too small for a float counts as 0
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

    // Two passes without branches, so that the compiler can vectorise
    // them; the highest cost in four running maxima (max is exact in any
    // order, and no cost is NaN).
    const double* const map = request.map;
    float* const costs = costs_;
    for (size_t i = 0; i < cells; ++i) costs[i] = RawCost(map[i]);
    float highest4[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    size_t i = 0;
    for (; i + 4 <= cells; i += 4)
        for (size_t k = 0; k < 4; ++k) highest4[k] = costs[i + k] > highest4[k] ? costs[i + k] : highest4[k];
    for (; i < cells; ++i) highest4[0] = costs[i] > highest4[0] ? costs[i] : highest4[0];
    float highest = 0.0f;
    for (const float h : highest4)
        if (h > highest) highest = h;
    if (!(highest > 0.0f)) return false;
    // Open cells cost more than 1 and at most 2, so every step costs more
    // than the distance it covers and the distance heuristic never
    // overestimates at weight 0.5.
    for (size_t k = 0; k < cells; ++k) {
        const float c = costs[k];
        const float normalised = c / highest + 1.0f;
        costs[k] = c > 0.0f ? normalised : c;
    }

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
