// 3D scene drawing: objects of a 1 000-triangle mesh per frame that hold 60
// fps with each drawing mode (plain, lit, fogged, toon, bump, shadowed), and
// the largest triangle count of one object at 60 fps. The anchor, measured
// in the same run, draws the same mesh with plain GL vertex arrays (what a
// hand-written renderer gets): ratios are against it.
//
// Run (needs an X server): tests/harness/vtx-test-env --xvfb build/bench/bench_scene [--seconds S]
#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "gfx3d/object_slots.h"
#include "vantrix.h"

namespace {

double measureSeconds = 1.0;

// A grid of 2 x cells x cells triangles in the plane z = 0, size 1 x 1,
// facing +z, as separate triangles.
void BuildGrid(int32_t slot, int cells) {
    StartObject(slot);
    const double step = 1.0 / cells;
    for (int j = 0; j < cells; ++j)
        for (int i = 0; i < cells; ++i) {
            const double x0 = -0.5 + i * step, y0 = -0.5 + j * step, x1 = x0 + step, y1 = y0 + step;
            const double u0 = i * step, v0 = j * step, u1 = u0 + step, v1 = v0 + step;
            AddVertex(x0, y0, 0, u0, v0, 0xFFFFFF);
            AddVertex(x1, y0, 0, u1, v0, 0xFFFFFF);
            AddVertex(x1, y1, 0, u1, v1, 0xFFFFFF);
            AddVertex(x0, y0, 0, u0, v0, 0xFFFFFF);
            AddVertex(x1, y1, 0, u1, v1, 0xFFFFFF);
            AddVertex(x0, y1, 0, u0, v1, 0xFFFFFF);
        }
    EndObject();
}

double MeasureFps(const std::function<void()>& frame) { return bench::FramesPerSecond(frame, measureSeconds, 3); }

// The largest n with fps(n) >= 60: doubling, then bisection.
int LargestAt60(const std::function<double(int)>& fps) {
    int low = 0, high = 1;
    while (high < (1 << 16) && fps(high) >= 60) {
        low = high;
        high *= 2;
    }
    while (high - low > 1 && (high - low) * 20 > low) {
        const int mid = (low + high) / 2;
        if (fps(mid) >= 60) low = mid;
        else high = mid;
    }
    return low;
}

// The objects of a frame: small, spread over a 10 x 10 grid at z = 0.
void Place(int i) {
    MoveEntity((i % 10) - 4.5, ((i / 10) % 10) - 4.5, -(i / 100) * 0.01);
}

void SceneStart() {
    BeginScene3D(1, 100, 60);
    SetCamera(0, 0, 12, 0, 0, 0);
}

enum class Mode { kPlain, kLit, kFogged, kToon, kBump, kShadowed };
const char* const kModeNames[] = {"plain", "lit", "fogged", "toon", "bump", "shadowed"};

double ObjectsFps(Mode mode, int32_t slot, int count) {
    return MeasureFps([&] {
        SceneStart();
        if (mode == Mode::kLit) SetLight(0, 0xFFFFFF, 0, 0, 10, 0, 0, -1, 180);
        if (mode == Mode::kFogged) SetFog(0x808080, 0, 5, 30);
        if (mode == Mode::kToon) SetLight(-2, 0xFFFFFF, 0, 0, 10, 0, 0, 0, 1);
        if (mode == Mode::kBump) {
            SetTexture3D(1, 2);
            SetLight(-1, 0xFFFFFF, 0, 0, 10, 0, 0, 0, 1);
        }
        for (int i = 0; i < count; ++i) {
            Place(i);
            DrawObjectFrame(slot, 0);
        }
        if (mode == Mode::kShadowed) {
            SetLight(-3, 0xFFFFFF, 0, 0, 10, 0, 0, 0, 1);
            for (int i = 0; i < count; ++i) {
                Place(i);
                DrawObjectFrame(slot, 0);
            }
            SetLight(-3, 0xFFFFFF, 0, 0, 10, 0, 0, 0, 0);
        }
        SetFog(-1, 0, 0, 0);
        ShowScreen();
    });
}

// The anchor: the same triangles as one packed position array, drawn with
// glDrawArrays after a translation, in the same projection.
double AnchorFps(const std::vector<float>& positions, int count) {
    return MeasureFps([&] {
        SceneStart();
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, positions.data());
        for (int i = 0; i < count; ++i) {
            glPushMatrix();
            glTranslatef(static_cast<float>((i % 10) - 4.5), static_cast<float>(((i / 10) % 10) - 4.5),
                         static_cast<float>(-(i / 100) * 0.01));
            glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(positions.size() / 3));
            glPopMatrix();
        }
        glDisableClientState(GL_VERTEX_ARRAY);
        ShowScreen();
    });
}

std::vector<float> PositionsOf(int32_t slot) {
    const vtx::Frame& frame = vtx::ObjectSlotAt(slot)->parts[0].frames[0];
    std::vector<float> p;
    for (int32_t i = 0; i < frame.triangles.count(); ++i)
        for (float c : frame.triangles[i].position) p.push_back(c);
    return p;
}

void WriteFlatPicture(const char* name, uint8_t r, uint8_t g, uint8_t b) {
    // a 16 x 16 24-bit BMP of one colour
    const int w = 16, h = 16, row = w * 3, size = 54 + row * h;
    std::vector<uint8_t> f(static_cast<size_t>(size), 0);
    auto put32 = [&](int at, uint32_t v) {
        for (int k = 0; k < 4; ++k) f[static_cast<size_t>(at + k)] = static_cast<uint8_t>(v >> (8 * k));
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, static_cast<uint32_t>(size));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    f[26] = 1;
    f[28] = 24;
    for (int i = 0; i < w * h; ++i) {
        f[static_cast<size_t>(54 + i * 3)] = b;
        f[static_cast<size_t>(54 + i * 3 + 1)] = g;
        f[static_cast<size_t>(54 + i * 3 + 2)] = r;
    }
    FILE* out = std::fopen(name, "wb");
    if (out == nullptr) return;
    std::fwrite(f.data(), 1, f.size(), out);
    std::fclose(out);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) measureSeconds = std::atof(argv[++i]);
    ApplyProjectSettings();
    InitEngine(nullptr, 10, ProjectSettings.title);
    LimitFps(100000);
    const std::string folder = std::string(std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp");
    WriteFlatPicture((folder + "/bench-white.bmp").c_str(), 255, 255, 255);
    WriteFlatPicture((folder + "/bench-normal.bmp").c_str(), 128, 128, 255);
    LoadSprite(RtString((folder + "/bench-white.bmp").c_str()), 1);
    LoadSprite(RtString((folder + "/bench-normal.bmp").c_str()), 2);
    BuildGrid(0, 22);  // 968 triangles
    const std::vector<float> positions = PositionsOf(0);
    std::printf("mesh: %zu triangles\n", positions.size() / 9);
    const int anchor = LargestAt60([&](int n) { return AnchorFps(positions, n); });
    std::printf("anchor: plain GL vertex arrays  %6d objects per frame at 60 fps\n", anchor);
    for (int m = 0; m < 6; ++m) {
        const int n = LargestAt60([&](int k) { return ObjectsFps(static_cast<Mode>(m), 0, k); });
        std::printf("%-9s %6d objects per frame at 60 fps  %.2fx the anchor\n", kModeNames[m], n,
                    anchor > 0 ? static_cast<double>(n) / anchor : 0.0);
    }
    // one object of growing size: the largest triangle count at 60 fps
    int low = 0, high = 0;
    for (int cells = 16; cells <= 1024; cells *= 2) {
        BuildGrid(1, cells);
        if (ObjectsFps(Mode::kPlain, 1, 1) < 60) {
            high = 2 * cells * cells;
            break;
        }
        low = 2 * cells * cells;
    }
    std::printf("one object: %d triangles hold 60 fps (%s)\n", low,
                high > 0 ? (std::string("not ") + std::to_string(high)).c_str() : "the largest tried");
    ShutdownEngine();
    return 0;
}
