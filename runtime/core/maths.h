// Maths commands: trigonometry in degrees, roots, powers, remainders,
// absolute values and box overlap. (RandomInt and SeedRandom: random.h.)
#pragma once

#include <cstdint>

// Sine, cosine and tangent of an angle in degrees.
double SinDeg(double angle);
double CosDeg(double angle);
double TanDeg(double angle);
// Arc sine in degrees; x is held to -1..1 (2 gives 90, -2 gives -90).
double ASinDeg(double x);
// Arc cosine in degrees; x is held to -1..1 (2 gives 0, -2 gives 180).
double ACosDeg(double x);
// The angle of the point (x, y) in degrees, -180 to 180.
double ATan2Deg(double y, double x);

// Square root; a negative x gives NaN.
double SquareRoot(double x);
// base raised to exponent (the standard pow).
double Power(double base, double exponent);
// The floating remainder of x / y with the sign of x; 0 when y is 0.
double FloatMod(double x, double y);
// a % b truncated toward zero (sign of a); 0 when b is 0, and for
// -2147483648 % -1 (whose quotient has no 32-bit value).
int32_t IntMod(int32_t a, int32_t b);
// Absolute value.
double AbsValue(double x);
// Absolute value; -2147483648 stays itself.
int32_t IntAbs(int32_t a);

// True when two boxes (position, size on each axis) share a pixel. A size s
// covers p..p+s-1, a negative one p+s+1..p, and 0 just p; touching edges do
// not overlap.
bool BoxesOverlap(int32_t x1, int32_t y1, int32_t w1, int32_t h1, int32_t x2, int32_t y2, int32_t w2, int32_t h2);
