// The intro picture and the nine backgrounds: smooth procedural scenes, each
// with its own palette and motif.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "demo_media.h"
#include "gfx2d/font_store.h"
#include "gfx2d/picture_codecs.h"

namespace demo {
namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A small repeatable hash in [0, 1) for stars and bokeh.
double Hash(int i) {
    uint32_t x = static_cast<uint32_t>(i) * 2654435761u;
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return (x & 0xFFFFFF) / 16777216.0;
}

// Each background: a colour for pixel (x, y) with u = x / 640, v = y / 480.
Rgb Background(int n, double u, double v, int x, int y) {
    switch (n) {
    case 1: {  // dusk over hills
        Rgb sky = Mix({36, 20, 70}, {250, 140, 110}, v * 1.3);
        const double sun = std::hypot(u - 0.7, v - 0.55);
        if (sun < 0.09) sky = Mix({255, 230, 150}, sky, sun / 0.09 * 0.3);
        const double hill = 0.68 + 0.06 * std::sin(u * 9.0) + 0.03 * std::sin(u * 23.0 + 1.0);
        if (v > hill) return Mix({70, 30, 80}, {25, 10, 40}, (v - hill) * 4);
        return sky;
    }
    case 2: {  // disco plasma
        const double p = std::sin(u * 14) + std::sin(v * 11 + u * 5) + std::sin(std::hypot(u - 0.5, v - 0.5) * 30);
        return {128 + 110 * std::sin(p * 1.3), 90 + 80 * std::sin(p * 1.3 + 2.1), 150 + 100 * std::sin(p * 1.3 + 4.2)};
    }
    case 3: {  // rings in teal
        const double d = std::hypot(u - 0.62, (v - 0.5) * 0.75);
        const double ring = 0.5 + 0.5 * std::cos(d * 70);
        return Mix(Mix({8, 40, 50}, {20, 120, 120}, ring * (1 - d)), {0, 10, 20}, d * 0.8);
    }
    case 4: {  // night city
        Rgb c = Mix({6, 8, 30}, {40, 30, 90}, v);
        if (Hash(x * 7 + y * 13331) > 0.9985 && v < 0.6) c = {230, 230, 255};
        const int block = x / 40;
        const double top = 0.45 + 0.3 * Hash(block);
        if (v > top) {
            c = {14, 14, 30};
            if ((x % 40) > 6 && (x % 40) < 34 && (x % 10) < 5 && (y % 14) < 7 && Hash(x / 10 * 31 + y / 14) > 0.55)
                c = {255, 210, 120};
        }
        return c;
    }
    case 5: {  // warm home light
        const double glow = std::exp(-std::pow(std::hypot(u - 0.5, v - 0.6) * 3.0, 2));
        return Mix(Mix({60, 30, 20}, {120, 60, 30}, v), {255, 200, 120}, glow);
    }
    case 6: {  // sails on the sea
        Rgb c = v < 0.55 ? Mix({120, 180, 230}, {220, 235, 245}, v / 0.55)
                         : Mix({30, 90, 140}, {10, 40, 80}, (v - 0.55) / 0.45);
        if (v >= 0.55) c = Mix(c, {200, 230, 255}, 0.15 * (0.5 + 0.5 * std::sin(x * 0.15 + y * 0.9)));
        for (int s = 0; s < 3; ++s) {
            const double sx = 0.25 + 0.25 * s, base = 0.56, h = 0.18 - 0.04 * s;
            if (v < base && v > base - h && std::fabs(u - sx) < (v - (base - h)) * 0.45)
                c = Mix({250, 250, 245}, {210, 210, 220}, (u - sx + 0.1) * 4);
        }
        return c;
    }
    case 7: {  // crystal facets
        const double a = std::floor(u * 8 + v * 5), b = std::floor(u * 5 - v * 8);
        const double t = Hash(static_cast<int>(a * 17 + b * 131) + 1000);
        return Mix(Mix({60, 20, 90}, {30, 160, 180}, t), {10, 5, 20}, v * 0.5);
    }
    case 8: {  // bokeh
        Rgb c = Mix({20, 40, 30}, {10, 15, 25}, v);
        for (int i = 0; i < 40; ++i) {
            const double cx = Hash(i * 3), cy = Hash(i * 3 + 1), r = 0.03 + 0.06 * Hash(i * 3 + 2);
            const double d = std::hypot(u - cx, (v - cy) * 0.75);
            if (d < r) c = Mix(c, Mix({255, 220, 120}, {120, 255, 180}, Hash(i + 500)), 0.25 + 0.2 * (d / r));
        }
        return c;
    }
    default: {  // aurora
        Rgb c = Mix({4, 10, 25}, {15, 30, 60}, v);
        const double band = std::exp(-std::pow((v - 0.35 - 0.1 * std::sin(u * 7)) * 6, 2));
        const double curtain = 0.75 + 0.25 * std::sin(u * 60 + 3 * std::sin(v * 9));
        c = Mix(c, Mix({80, 255, 160}, {150, 90, 255}, v * 1.5 - 0.3), band * curtain * 0.85);
        if (Hash(x * 31 + y * 7919) > 0.998) c = {255, 255, 255};
        return c;
    }
    }
}

// Glyphs of the runtime's 5 x 6 designs, scaled, for the intro title.
void DrawText(Picture& p, const char* text, int x0, int y0, int scale, Rgb colour) {
    const auto& masks = vtx::BuiltinGlyphMasks();
    for (size_t i = 0; i < std::strlen(text); ++i) {
        const uint32_t mask = masks[static_cast<size_t>(text[i] - 32)];
        for (int gy = 0; gy < 6; ++gy)
            for (int gx = 0; gx < 5; ++gx) {
                if ((mask >> (gy * 5 + gx) & 1u) == 0) continue;
                for (int y = 0; y < scale; ++y)
                    for (int x = 0; x < scale; ++x) {
                        const int px = x0 + static_cast<int>(i) * 6 * scale + gx * scale + x;
                        const int py = y0 + gy * scale + y;
                        if (px >= 0 && px < p.width && py >= 0 && py < p.height)
                            p.Set(px, py, colour.r, colour.g, colour.b * (0.8 + 0.2 * y / scale));
                    }
            }
    }
}

}  // namespace

void Picture::Set(int32_t x, int32_t y, double r, double g, double b) {
    uint8_t* p = At(x, y);
    p[0] = static_cast<uint8_t>(std::clamp(b, 0.0, 255.0));
    p[1] = static_cast<uint8_t>(std::clamp(g, 0.0, 255.0));
    p[2] = static_cast<uint8_t>(std::clamp(r, 0.0, 255.0));
}

bool WritePicture(const std::string& path, const Picture& picture) {
    // A key colour no demo picture uses: nothing is keyed.
    const vtx::RenderedKey unusedKey{1, 2, 3};
    return vtx::EncodePicture(path.c_str(), picture.bgr.data(), picture.width, picture.height, picture.width,
                              unusedKey);
}

bool WritePictures(const std::string& folder) {
    Picture intro(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const double u = x / double(kWidth), v = y / double(kHeight);
            const double d = std::hypot(u - 0.5, (v - 0.45) * 0.75);
            const Rgb c = Mix(Mix({30, 10, 60}, {5, 5, 20}, d * 1.6), {90, 40, 140},
                              0.25 * (0.5 + 0.5 * std::cos(d * 2 * kPi * 9)) * (1 - d));
            intro.Set(x, y, c.r, c.g, c.b);
        }
    DrawText(intro, "ravlo", 320 - 5 * 6 * 14 / 2 + 7, 150, 14, {255, 225, 150});
    DrawText(intro, "a jukebox", 320 - 9 * 6 * 4 / 2 + 2, 270, 4, {200, 190, 255});
    if (!WritePicture(folder + "/intro.png", intro)) return false;

    for (int n = 1; n <= 9; ++n) {
        Picture bg(kWidth, kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const Rgb c = Background(n, x / double(kWidth), y / double(kHeight), x, y);
                bg.Set(x, y, c.r, c.g, c.b);
            }
        if (!WritePicture(folder + "/bg" + std::to_string(n) + ".png", bg)) return false;
    }
    return true;
}

}  // namespace demo
