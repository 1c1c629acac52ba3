// Maths commands: trigonometry in degrees, roots, powers, remainders,
// absolute values and box overlap.
#include "core/maths_internal.h"

#include <cmath>

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kDegreesPerRadian = 57.29577951308232;

// The whole-number range [low, high] a box covers on one axis; 64-bit, so
// p + s never wraps.
struct Span {
    int64_t low;
    int64_t high;
};

Span Cover(int32_t p, int32_t s) {
    if (s > 0) return {p, int64_t{p} + s - 1};
    if (s < 0) return {int64_t{p} + s + 1, p};
    return {p, p};
}

bool Intersect(Span a, Span b) {
    const int64_t low = a.low > b.low ? a.low : b.low;
    const int64_t high = a.high < b.high ? a.high : b.high;
    return low <= high;
}

}  // namespace

double SinDeg(double angle) { return std::sin(angle * kRadiansPerDegree); }
double CosDeg(double angle) { return std::cos(angle * kRadiansPerDegree); }
double TanDeg(double angle) { return std::tan(angle * kRadiansPerDegree); }

double ASinDeg(double x) {
    if (x >= 1) return 90;
    if (x <= -1) return -90;
    return std::asin(x) * kDegreesPerRadian;
}

double ACosDeg(double x) {
    if (x >= 1) return 0;
    if (x <= -1) return 180;
    return std::acos(x) * kDegreesPerRadian;
}

double ATan2Deg(double y, double x) { return std::atan2(y, x) * kDegreesPerRadian; }

double SquareRoot(double x) { return std::sqrt(x); }

double Power(double base, double exponent) { return std::pow(base, exponent); }

double FloatMod(double x, double y) { return y == 0 ? 0 : std::fmod(x, y); }

int32_t IntMod(int32_t a, int32_t b) {
    // Any a % -1 is 0; computing -2147483648 % -1 traps on x86.
    if (b == 0 || b == -1) return 0;
    return a % b;
}

double AbsValue(double x) { return std::fabs(x); }

int32_t IntAbs(int32_t a) {
    // Through unsigned arithmetic: -2147483648 comes back as itself.
    return a < 0 ? static_cast<int32_t>(0u - static_cast<uint32_t>(a)) : a;
}

bool BoxesOverlap(int32_t x1, int32_t y1, int32_t w1, int32_t h1, int32_t x2, int32_t y2, int32_t w2, int32_t h2) {
    return Intersect(Cover(x1, w1), Cover(x2, w2)) && Intersect(Cover(y1, h1), Cover(y2, h2));
}

namespace vtx {

int32_t RealToInteger(double value) noexcept {
    if (std::isnan(value)) return 0;
    if (value <= -2147483648.0) return INT32_MIN;
    if (value >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(value);
}

}  // namespace vtx
