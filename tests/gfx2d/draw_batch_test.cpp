// Collected drawing against drawing each command at once: mixed scenes of
// every 2D command, with state changes, alpha modes, text, polygons,
// collisions, reloads, viewport switches and read-backs in the middle, are
// drawn both ways in fresh engines; the back buffer, the presented frame,
// the read-backs and the GL state must be exactly equal.
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_test_support.h"
#include "gfx2d/font_commands.h"
#include "gfx2d/picture_commands.h"
#include "gfx2d/presented_frame.h"

namespace {

using namespace draw_test;

constexpr int kW = 640, kH = 480;

// Everything a scene leaves behind that batching must not change.
struct Outcome {
    std::vector<uint8_t> back;                // the whole back buffer, RGBA
    std::vector<uint8_t> presented;           // the kept presented frame, BGR
    std::vector<std::vector<uint8_t>> reads;  // read-backs and results during the scene
    std::vector<double> state;                // GL state beside the pixels, at checkpoints and at the end
};

// An RGBA picture written as PNG; f gives each pixel's bytes.
void WritePng(const std::string& path, int w, int h, const std::function<std::array<int, 4>(int, int)>& f) {
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::array<int, 4> p = f(x, y);
            for (int c = 0; c < 4; ++c) rgba[(static_cast<size_t>(y) * w + x) * 4 + c] = static_cast<uint8_t>(p[c]);
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGBA;
    ASSERT_NE(png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr), 0);
}

// A soft-edged disc: opaque inside, alpha falling off over the last pixels.
std::array<int, 4> Ball(int x, int y, int size) {
    const double dx = x + 0.5 - size / 2.0, dy = y + 0.5 - size / 2.0;
    const double edge = size / 2.0 - std::sqrt(dx * dx + dy * dy);
    const int alpha = static_cast<int>(std::clamp(edge * 64.0, 0.0, 255.0));
    return {40 + x * 6, 250 - y * 5, 90 + (x ^ y) * 4, alpha};
}

// Noise with varied alpha: any difference in sampling shows.
std::array<int, 4> Noise(int x, int y) {
    const uint32_t h = (static_cast<uint32_t>(x) * 73856093u) ^ (static_cast<uint32_t>(y) * 19349663u);
    return {static_cast<int>(h & 255), static_cast<int>((h >> 8) & 255), static_cast<int>((h >> 16) & 255),
            static_cast<int>(((h >> 24) & 127) + 128)};
}

// The pictures every scene uses, loaded into slots 1 to 7 and font 1.
void LoadPictures() {
    WritePng("noise.png", 64, 64, Noise);
    LoadSprite(RtString("noise.png"), 5);
    WritePng("noise2.png", 50, 37, Noise);
    LoadSprite(RtString("noise2.png"), 6);
    WritePng("tiny.png", 3, 5, Noise);
    LoadSprite(RtString("tiny.png"), 7);
    WritePng("ball.png", 32, 32, [](int x, int y) { return Ball(x, y, 32); });
    LoadSprite(RtString("ball.png"), 1);
    MakeSprite(2, 16, 16, [](int x, int y) { return (x + y) % 5 == 0 ? kKey : Rgb{x * 15, y * 15, 200}; });
    WritePng("strip.png", 64, 32, [](int x, int y) { return Ball(x % 16, y % 16, 16); });
    LoadAnim(RtString("strip.png"), 3, 16, 16);
    WritePng("odd.png", 20, 12, [](int x, int y) { return std::array<int, 4>{x * 12, y * 20, 128, (x * y * 7) & 255}; });
    LoadSprite(RtString("odd.png"), 4);
    std::vector<Rgb> font(128 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            font[static_cast<size_t>(y) * 128 + x] = (x + y) % 3 == 0 ? Rgb{0, 0, 0} : Rgb{x * 2, y * 4, 255 - x};
    WriteBmp("font.bmp", 128, 64, font);
    LoadFont(RtString("font.bmp"), 1);
    SetFont(0);
}

// The whole back buffer, after the batch has been drawn.
std::vector<uint8_t> ReadAll() {
    vtx::FlushDrawBatch();
    std::vector<uint8_t> p(static_cast<size_t>(kW) * kH * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    return p;
}

// GL state that is not pixels, read without drawing the batch first: the
// collected commands set it as they are called.
void SnapshotState(std::vector<double>& out) {
    for (GLenum cap : {GL_BLEND, GL_ALPHA_TEST, GL_TEXTURE_2D, GL_DITHER, GL_VERTEX_ARRAY, GL_TEXTURE_COORD_ARRAY,
                       GL_COLOR_ARRAY, GL_COLOR_MATERIAL})
        out.push_back(glIsEnabled(cap));
    for (GLenum name : {GL_TEXTURE_BINDING_2D, GL_BLEND_SRC, GL_BLEND_DST, GL_MATRIX_MODE, GL_SHADE_MODEL}) {
        GLint v = 0;
        glGetIntegerv(name, &v);
        out.push_back(v);
    }
    for (GLenum name : {GL_CURRENT_COLOR, GL_MODELVIEW_MATRIX, GL_PROJECTION_MATRIX, GL_VIEWPORT}) {
        GLfloat v[16] = {};
        glGetFloatv(name, v);
        out.insert(out.end(), v, v + 16);
    }
    out.push_back(vtx::Sprites()->currentTextureSlot);
    out.push_back(vtx::CurrentAlpha());
}

// The GL state and the whole back buffer in the middle of a scene.
void Checkpoint(Outcome& out) {
    SnapshotState(out.state);
    out.reads.push_back(ReadAll());
}

// Wrap modes and filters of the textures the scenes draw with (binds them).
void SnapshotTextures(std::vector<double>& out) {
    for (int32_t slot : {1, 2, 3, 4, 5, 6, 7, 65504, 65505}) {
        glBindTexture(GL_TEXTURE_2D, vtx::Sprites()->slots[slot].texture);
        for (GLenum name : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER}) {
            GLint v = 0;
            glGetTexParameteriv(GL_TEXTURE_2D, name, &v);
            out.push_back(v);
        }
    }
}

// Describes where two byte arrays of pixels first differ and how often.
std::string Differences(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int bytesPerPixel, int width) {
    if (a.size() != b.size()) return "sizes differ";
    size_t count = 0, first = a.size();
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) {
            if (first == a.size()) first = i;
            ++count;
        }
    if (count == 0) return "";
    std::ostringstream text;
    const size_t pixel = first / static_cast<size_t>(bytesPerPixel);
    text << count << " bytes differ, first at x " << pixel % static_cast<size_t>(width) << ", row from the bottom "
         << pixel / static_cast<size_t>(width);
    return text.str();
}

// A small deterministic generator, so that both runs issue the same calls.
class Dice {
public:
    // Starts the sequence of a seed.
    explicit Dice(uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    // A whole number from lo to hi.
    int Int(int lo, int hi) {
        state_ = state_ * 1664525u + 1013904223u;
        return lo + static_cast<int>((state_ >> 8) % static_cast<uint32_t>(hi - lo + 1));
    }
    // A real number from lo to hi in steps of 1/4.
    double Real(double lo, double hi) { return lo + Int(0, static_cast<int>((hi - lo) * 4)) / 4.0; }

private:
    uint32_t state_;
};

// Each scene runs in an engine of its own, collected or at once.
class DrawBatchTest : public ::testing::Test {
protected:
    // Remembers the switch the process started with.
    void SetUp() override { initial_ = vtx::DrawBatching(); }
    // Puts the switch back.
    void TearDown() override { vtx::SetDrawBatching(initial_); }

    // Starts an engine, draws the scene collected or at once, and keeps what
    // it left behind.
    Outcome Run(bool batching, const std::function<void(Outcome&)>& scene) {
        Outcome out;
        vtx::SetDrawBatching(batching);
        ApplyProjectSettings();
        InitEngine(nullptr, 10, ProjectSettings.title);
        EXPECT_TRUE(EngineWindowCreated());
        if (!EngineWindowCreated()) return out;
        std::filesystem::current_path(scratch_.path());
        ShowScreen();
        Fill({20, 30, 40});
        LoadPictures();
        scene(out);
        SnapshotState(out.state);
        out.back = ReadAll();
        SnapshotTextures(out.state);
        int32_t w = 0, h = 0;
        vtx::ReadPresentedFrame(*vtx::GraphicsBackEnd, out.presented, w, h);
        std::filesystem::current_path("/");
        ShutdownEngine();
        return out;
    }

    // Draws the scene both ways and expects identical outcomes.
    void ExpectSameBothWays(const std::function<void(Outcome&)>& scene) {
        const Outcome immediate = Run(false, scene);
        const Outcome collected = Run(true, scene);
        EXPECT_EQ(Differences(immediate.back, collected.back, 4, kW), "") << "back buffer";
        EXPECT_EQ(Differences(immediate.presented, collected.presented, 3, kW), "") << "presented frame";
        ASSERT_EQ(immediate.reads.size(), collected.reads.size());
        for (size_t i = 0; i < immediate.reads.size(); ++i)
            EXPECT_EQ(Differences(immediate.reads[i], collected.reads[i], 4, kW), "") << "read-back " << i;
        EXPECT_EQ(immediate.state, collected.state) << "GL state";
        // The scene must have drawn over much of the screen for the comparison to count.
        size_t drawn = 0;
        for (size_t i = 0; i + 3 < immediate.back.size(); i += 4)
            if (immediate.back[i] != 20 || immediate.back[i + 1] != 30 || immediate.back[i + 2] != 40) ++drawn;
        EXPECT_GT(drawn, static_cast<size_t>(kW * kH / 10));
    }

    bool initial_ = true;
    ScratchFolder scratch_{"batch"};
};

// One random command of every kind the runtime has, with random arguments;
// now and then a reload, a save, a viewport switch or a shown frame.
void RandomCommand(Dice& d, Outcome& out) {
    static const int32_t kSlots[] = {1, 2, 3, 4, 5, 6, 7, 6, 99, 70000, -5, 65504};
    static const double kModes[] = {0.0, -1.0, -0.5, 0.6, 1.0, -0.3, -2.0};
    const int32_t slot = kSlots[d.Int(0, 11)];
    const int x = d.Int(-40, 660), y = d.Int(-40, 500);
    const int32_t colour = d.Int(0, 9) == 0 ? kKeyColour : d.Int(0, 0xFFFFFF);
    switch (d.Int(0, 25)) {
        case 0: case 1: case 2: DrawSprite(slot, x, y); break;
        case 3: StretchSprite(slot, x, y, d.Int(-60, 60), d.Int(-60, 60)); break;
        case 4: ZoomSprite(slot, x, y, d.Real(-2.5, 2.5), d.Real(-2.5, 2.5)); break;
        case 5: RotoZoomSprite(slot, x, y, d.Real(-360, 360), d.Real(0.25, 3)); break;
        case 6: DrawAnim(3, d.Int(0, 9), x, y); break;
        case 7: StretchAnim(3, d.Int(0, 8), x, y, d.Int(-50, 50), d.Int(-50, 50)); break;
        case 8: RotoZoomAnim(3, d.Int(0, 8), x, y, d.Real(-360, 360), d.Real(0.25, 3)); break;
        case 9: SetPixel(x, y, colour); break;
        case 10: DrawLine(x, y, d.Int(-40, 660), d.Int(-40, 500), colour); break;
        case 11: DrawRect(x, y, d.Int(-40, 40), d.Int(-40, 40), colour); break;
        case 12: SetAlphaMode(kModes[d.Int(0, 6)]); break;
        case 13: {
            SetFont(d.Int(0, 2));
            std::string text;
            for (int n = d.Int(1, 30); n > 0; --n) text += static_cast<char>(d.Int(1, 255));
            PrintText(RtString(text.c_str()), d.Real(-20, 600), d.Real(-10, 470));
            break;
        }
        case 14: PrintNumber(d.Real(-1000, 1000), x, y); break;
        case 15: {
            StartPoly(d.Int(0, 3) == 0 ? -1 : slot, d.Int(0, 3));
            for (int n = d.Int(3, 9); n > 0; --n) {
                if (d.Int(0, 4) == 0) PolyNewStrip();
                PolyVector(x + d.Real(-50, 50), y + d.Real(-50, 50), d.Real(-4, 36), d.Real(-4, 36),
                           d.Int(0, 2) == 0 ? 0xFFFFFF : colour);
            }
            EndPoly();
            if (d.Int(0, 3) == 0) EndPoly();
            break;
        }
        case 16: SetSmoothing(d.Int(0, 1)); break;
        case 17:
            out.reads.push_back({static_cast<uint8_t>(SpriteCollision(1, x, y, d.Int(1, 7), x + d.Int(-30, 30), y)),
                                 static_cast<uint8_t>(AnimCollision(3, d.Int(0, 7), x, y, 3, d.Int(0, 7), x + 5, y))});
            break;
        case 18: SetTransparency(d.Int(0, 1) == 0 ? 0x8000FF : 0x000000); break;
        case 19: LoadSprite(RtString(d.Int(0, 1) == 0 ? "noise2.png" : "tiny.png"), 6); break;
        case 20: BillboardSprite(slot, x, y, 0, d.Real(0.5, 2)); break;
        case 21: if (d.Int(0, 10) == 0) PrintText3D(RtString("3D"), x, y, 0, 0); break;
        case 22:
            if (d.Int(0, 3) == 0)
                vtx::SetViewport2D(*vtx::GraphicsBackEnd, d.Int(0, 200), d.Int(0, 200), d.Int(100, 440), d.Int(100, 280));
            else if (d.Int(0, 1) == 0)
                vtx::SetViewport2D(*vtx::GraphicsBackEnd, 0, 0, 0, 0);
            break;
        case 23: if (d.Int(0, 20) == 0) SaveSprite(RtString("sprite.bmp"), 5); break;
        case 24: if (d.Int(0, 60) == 0) ShowScreen(); break;
        default: if (d.Int(0, 3) == 0) SetAlphaMode(kModes[d.Int(0, 6)]); break;
    }
}

TEST_F(DrawBatchTest, RandomScenesAreIdenticalBothWays) {
    for (uint32_t seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        ExpectSameBothWays([seed](Outcome& out) {
            Dice d(seed);
            for (int i = 1; i <= 3000; ++i) {
                RandomCommand(d, out);
                if (i % 150 == 0) Checkpoint(out);
            }
        });
    }
}

// Every command interleaved with every state change, in a fixed order, with
// checkpoints between the parts.
void FixedScene(Outcome& out) {
    SetSmoothing(1);
    SetAlphaMode(-1);
    for (int i = 0; i < 40; ++i) {
        DrawSprite(1 + i % 2, i * 15, i * 7);          // texture switches
        DrawSprite(1, i * 15 + 3, 200 - i * 3);
    }
    SetAlphaMode(-1);  // the same mode again: nothing changes
    StretchSprite(1, 300, 20, 45, 33);                  // clamp on the texture of slot 1...
    DrawSprite(1, 300, 60);                             // ...then repeat again for DrawSprite
    StretchSprite(4, 400, 60, -57, 31);
    SetSmoothing(0);                                    // the same texture and wrap, other filters
    StretchSprite(4, 460, 60, 57, 31);
    SetSmoothing(1);
    StretchSprite(4, 460, 100, 57, 31);
    ZoomSprite(4, 420, 120, 2.3, -1.7);
    DrawAnim(3, 5, 10, 300);
    DrawAnim(3, 8, 30, 300);                            // the frame beyond the last
    StretchAnim(3, 2, 50, 300, 37, -23);
    RotoZoomAnim(3, 6, 90, 300, 33.0, 1.7);
    RotateSprite(1, 150, 300, 30.0);
    RotoZoomSprite(4, 200, 300, -75.0, 2.2);
    Checkpoint(out);
    SetAlphaMode(0.6);
    for (int i = 0; i < 30; ++i) {
        SetPixel(i * 3, 400, Colour(255, i * 8, 0));
        DrawLine(i * 5, 410, 200 - i * 3, 470, Colour(0, 255 - i * 8, 255));
        DrawRect(250 + i * 4, 400, i % 2 == 0 ? 9 : -9, -7, i % 3 == 0 ? kKeyColour : Colour(i * 8, 90, 200));
        DrawSprite(2, 250 + i * 6, 420);
    }
    SetAlphaMode(0.6);  // primitives switched the alpha test on: the mode is set again in full
    DrawSprite(1, 500, 400);
    DrawSprite(6, 540, 400);
    SetAlphaMode(0);
    DrawRect(600, 10, 30, 30, kKeyColour);
    Checkpoint(out);
    SetFont(1);
    PrintText(RtString("Batched text\ttab\x01\xC8"), 10.5, 440.25);
    SetFont(0);
    PrintNumber(-12.5, 300, 440);
    PrintText(RtString(std::string(20000, 'W').c_str()), -159000, 460);  // longer than one batch
    SetSmoothing(0);
    DrawSprite(65504, 500, 300);                        // the font picture as a sprite
    PrintText(RtString("after"), 500, 290);
    StartPoly(2, 0);
    PolyVector(500, 100, 0, 0, 0xFFFFFF);
    PolyVector(560, 110, 16, 0, Colour(255, 0, 0));
    PolyVector(540, 170, 16, 16, 0xFFFFFF);
    EndPoly();
    DrawSprite(2, 520, 120);
    EndPoly();
    Checkpoint(out);
    out.reads.push_back({static_cast<uint8_t>(SpriteCollision(1, 0, 0, 3, 10, 10))});
    SetAlphaMode(-1);
    DrawSprite(1, 600, 200);
    WritePng("ball2.png", 24, 24, [](int x, int y) { return Ball(y, x, 24); });
    LoadSprite(RtString("ball2.png"), 1);               // the slot changes while the batch uses it
    DrawSprite(1, 610, 230);
    DrawSprite(5, 560, 300);
    SaveSprite(RtString("slot5.bmp"), 5);
    DrawSprite(5, 570, 310);
    SaveScreen(RtString("mid.bmp"));
    Checkpoint(out);
    DrawSprite(6, 150, 60);
    vtx::SetViewport2D(*vtx::GraphicsBackEnd, 100, 50, 200, 150);  // a screen switch
    SetAlphaMode(-0.5);
    DrawSprite(1, 10, 10);
    StretchSprite(4, -10, -10, 300, 300);
    vtx::SetViewport2D(*vtx::GraphicsBackEnd, 0, 0, 0, 0);
    Checkpoint(out);
    SetAlphaMode(-1);
    for (int i = 0; i < 20000; ++i) DrawSprite(7, 560 + i % 80, 400 + (i * 7) % 80);  // handed over in parts
    for (int i = 0; i < 9000; ++i) SetPixel(i % 500, 440 + i / 500, Colour(i % 256, 255 - i % 256, 60));
    DrawLine(0, 0, 639, 479, Colour(255, 255, 255));
}

TEST_F(DrawBatchTest, AFixedSceneOfEveryCommandIsIdenticalBothWays) {
    ExpectSameBothWays([](Outcome& out) {
        FixedScene(out);
        ShowScreen();
        FixedScene(out);
    });
}

TEST_F(DrawBatchTest, ARepeatedAlphaModeKeepsTheBatchAndAChangeDrawsIt) {
    Run(true, [](Outcome&) {
        SetAlphaMode(-1);
        DrawSprite(1, 10, 10);
        DrawSprite(1, 50, 10);
        EXPECT_EQ(vtx::PendingBatchVertices(), 8);
        SetAlphaMode(-1);
        EXPECT_EQ(vtx::PendingBatchVertices(), 8);
        SetAlphaMode(-0.5);
        EXPECT_EQ(vtx::PendingBatchVertices(), 0);
        DrawRect(0, 0, 5, 5, 0);
        DrawSprite(1, 10, 10);
        SetAlphaMode(-0.5);  // the rectangle switched the alpha test on
        EXPECT_EQ(vtx::PendingBatchVertices(), 0);
    });
}

TEST_F(DrawBatchTest, EveryGlUseOfTheRuntimeDrawsTheBatchFirst) {
    Run(true, [](Outcome&) {
        const std::vector<std::pair<const char*, std::function<void()>>> uses = {
            {"BindSlot", [] { vtx::BindSlot(2); }},
            {"collision", [] { SpriteCollision(1, 0, 0, 4, 0, 0); }},
            {"LoadSprite", [] { LoadSprite(RtString("odd.png"), 4); }},
            {"SaveScreen", [] { SaveScreen(RtString("x.bmp")); }},
            {"SaveSprite", [] { SaveSprite(RtString("y.bmp"), 2); }},
            {"viewport", [] { vtx::SetViewport2D(*vtx::GraphicsBackEnd, 0, 0, 0, 0); }},
            {"ShowScreen", [] { ShowScreen(); }},
            {"polygon", [] { StartPoly(-1, 0); }},
            {"EndPoly", [] { EndPoly(); }},
            {"RotateSprite", [] { RotateSprite(1, 5, 5, 10); }},
            {"PrintText3D", [] { PrintText3D(RtString("a"), 1, 1, 0, 0); }},
            {"LoadFont", [] { LoadFont(RtString("font.bmp"), 2); }},
        };
        for (const auto& [name, use] : uses) {
            DrawSprite(1, 10, 10);
            PrintText(RtString("ab"), 3, 3);
            DrawRect(1, 1, 4, 4, 255);
            EXPECT_GT(vtx::PendingBatchVertices(), 0) << name;
            use();
            EXPECT_EQ(vtx::PendingBatchVertices(), 0) << name;
        }
    });
}

// A quad as DrawSprite and DrawAnim make them: at whole pixels, showing a
// w x h rectangle of texels of the 64 x 64 texture of slot 5, in GL_QUADS
// order.
std::vector<vtx::PolyVertex> SpriteQuad(Dice& d) {
    const int w = d.Int(1, 64), h = d.Int(1, 64);
    const float x = static_cast<float>(d.Int(-40, 640)), y = static_cast<float>(d.Int(-40, 480));
    const float uLeft = static_cast<float>(d.Int(0, 64 - w)) / 64.0f, uRight = uLeft + static_cast<float>(w) / 64.0f;
    const float vBottom = static_cast<float>(d.Int(0, 64 - h)) / 64.0f, vTop = vBottom + static_cast<float>(h) / 64.0f;
    return {{x + static_cast<float>(w), y, uRight, vTop}, {x, y, uLeft, vTop}, {x, y + static_cast<float>(h), uLeft, vBottom},
            {x + static_cast<float>(w), y + static_cast<float>(h), uRight, vBottom}};
}

// Vertices of a shape that no command makes: skewed corners with unrelated
// texture coordinates, so that any other split or vertex order shows.
std::vector<vtx::PolyVertex> SkewedShape(Dice& d, int count) {
    std::vector<vtx::PolyVertex> v(static_cast<size_t>(count));
    const double cx = d.Real(0, 640), cy = d.Real(0, 480);
    for (vtx::PolyVertex& p : v) {
        p.x = static_cast<float>(cx + d.Real(-40, 40));
        p.y = static_cast<float>(cy + d.Real(-40, 40));
        p.u = static_cast<float>(d.Real(-0.5, 1.5));
        p.v = static_cast<float>(d.Real(-0.5, 1.5));
    }
    return v;
}

// Draws shapes the driver's way (one glBegin each, binding before each as
// the commands do) or through the batch. A quad drawn alone takes a path of
// its own in the driver, whose pixels equal those of triangles only for the
// quads DrawSprite and DrawAnim make (whole pixels, whole texels): those
// are the quads drawn here. Fans and strips are any shapes.
void DrawShapes(bool batched, uint32_t seed) {
    Dice d(seed);
    SetAlphaMode(-0.7);
    for (int i = 0; i < 900; ++i) {
        if (i % 300 == 0) SetSmoothing(i / 300 % 2);
        const int kind = i % 3;  // a quad, a fan, a text strip of 3 cells
        const std::vector<vtx::PolyVertex> v = kind == 0 ? SpriteQuad(d) : SkewedShape(d, kind == 2 ? 12 : 4);
        if (batched) {
            vtx::BatchTexturedCommand(5, kind == 1, kind != 2);
            if (kind == 0) vtx::BatchQuad(v.data());
            if (kind == 1) vtx::BatchFan(v.data());
            if (kind == 2) {
                std::vector<float> five;
                for (const vtx::PolyVertex& p : v) five.insert(five.end(), {p.x, p.y, 0.0f, p.u, p.v});
                vtx::BatchTextStrip(five.data(), 12);
            }
            continue;
        }
        vtx::BindSlot(5);
        if (kind != 2) vtx::ApplySmoothingFilters();
        if (kind == 1) vtx::ClampBoundTexture();
        glBegin(kind == 0 ? GL_QUADS : kind == 1 ? GL_TRIANGLE_FAN : GL_TRIANGLE_STRIP);
        for (int k = 0; k < static_cast<int>(v.size()); ++k) {
            // A strip's cells are joined by triangles of no area, as in text.
            if (kind == 2 && k % 4 == 0 && k > 0) {
                glTexCoord2f(v[k - 1].u, v[k - 1].v);
                glVertex2f(v[k - 1].x, v[k - 1].y);
                glTexCoord2f(v[k].u, v[k].v);
                glVertex2f(v[k].x, v[k].y);
            }
            glTexCoord2f(v[k].u, v[k].v);
            glVertex2f(v[k].x, v[k].y);
        }
        glEnd();
    }
}

TEST_F(DrawBatchTest, TheBatchSplitsShapesAsTheDriverDoes) {
    for (uint32_t seed : {7u, 8u, 9u}) {
        const Outcome driver = Run(false, [seed](Outcome&) { DrawShapes(false, seed); });
        const Outcome batch = Run(true, [seed](Outcome&) { DrawShapes(true, seed); });
        EXPECT_EQ(Differences(driver.back, batch.back, 4, kW), "") << seed;
    }
}

TEST(DrawBatchSwitch, FollowsTheEnvironmentAtStartUp) {
    const char* value = std::getenv("VTX_NO_BATCH");
    const bool wanted = value == nullptr || *value == '\0' || std::string(value) == "0";
    EXPECT_EQ(vtx::DrawBatching(), wanted);
}

}  // namespace
