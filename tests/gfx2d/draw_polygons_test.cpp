// Polygons on a real GL context: the three modes, strips separated by
// degenerate joins, modes that draw nothing, redrawing, texture mapping,
// per-vertex colours and the growth of the vertex buffer.
#include <climits>
#include <cmath>

#include "gfx2d/draw_test_support.h"

namespace {

using namespace draw_test;

constexpr Rgb kBlack = {0, 0, 0};
constexpr int32_t kWhiteColour = 0xFFFFFF;

using DrawPolygonsTest = DrawTest;

// A rectangle as a fan: corners clockwise from the top-left.
void FanRect(int x, int y, int w, int h, int32_t colour) {
    PolyVector(x, y, 0, 0, colour);
    PolyVector(x + w, y, 0, 0, colour);
    PolyVector(x + w, y + h, 0, 0, colour);
    PolyVector(x, y + h, 0, 0, colour);
}

// A rectangle as a strip: zig-zag from the top-left.
void StripRect(int x, int y, int w, int h, int32_t colour) {
    PolyVector(x, y, 0, 0, colour);
    PolyVector(x, y + h, 0, 0, colour);
    PolyVector(x + w, y, 0, 0, colour);
    PolyVector(x + w, y + h, 0, 0, colour);
}

TEST_F(DrawPolygonsTest, FanModeFillsTheOutline) {
    StartPoly(-1, 0);
    FanRect(10, 10, 20, 10, Colour(255, 0, 0));
    EndPoly();
    EXPECT_TRUE(RegionIs(8, 8, 24, 14, [](int i, int j) {
        const int x = 8 + i, y = 8 + j;
        return x >= 10 && x < 30 && y >= 10 && y < 20 ? Rgb{255, 0, 0} : kBlack;
    }));
}

TEST_F(DrawPolygonsTest, TriangleModeDrawsSeparateTriangles) {
    StartPoly(-1, 1);
    for (int x0 : {100, 140}) {
        PolyVector(x0, 100, 0, 0, Colour(0, 255, 0));
        PolyVector(x0 + 20, 100, 0, 0, Colour(0, 255, 0));
        PolyVector(x0, 120, 0, 0, Colour(0, 255, 0));
    }
    EndPoly();
    EXPECT_EQ(Pixel(102, 102), (Rgb{0, 255, 0}));
    EXPECT_EQ(Pixel(142, 102), (Rgb{0, 255, 0}));
    EXPECT_EQ(Pixel(130, 102), kBlack);  // between them
    EXPECT_EQ(Pixel(118, 118), kBlack);  // beyond the first one's diagonal
}

TEST_F(DrawPolygonsTest, StripModeDrawsAStrip) {
    StartPoly(-1, 2);
    StripRect(10, 50, 20, 10, Colour(0, 0, 255));
    EndPoly();
    EXPECT_TRUE(RegionIsColour(10, 50, 20, 10, {0, 0, 255}));
    EXPECT_EQ(Pixel(30, 50), kBlack);
    EXPECT_EQ(Pixel(10, 60), kBlack);
}

TEST_F(DrawPolygonsTest, NewStripsAreJoinedByDegenerateTrianglesOnly) {
    StartPoly(-1, 2);
    PolyNewStrip();  // empty buffer: nothing
    EXPECT_EQ(vtx::Drawing().polyCount, 0);
    StripRect(10, 100, 10, 10, Colour(255, 255, 0));
    PolyNewStrip();
    PolyNewStrip();  // already pending: nothing
    EXPECT_EQ(vtx::Drawing().polyCount, 5);
    StripRect(40, 100, 10, 10, Colour(255, 255, 0));
    EXPECT_EQ(vtx::Drawing().polyCount, 10);  // the first vertex of the new strip twice
    EXPECT_FALSE(vtx::Drawing().newStripPending);
    const vtx::PolyVertex* v = vtx::Drawing().polyBuffer.get();
    EXPECT_EQ(v[4].x, v[3].x);
    EXPECT_EQ(v[5].x, 40.0f);
    EXPECT_EQ(v[6].x, 40.0f);
    EndPoly();
    EXPECT_TRUE(RegionIsColour(10, 100, 10, 10, {255, 255, 0}));
    EXPECT_TRUE(RegionIsColour(40, 100, 10, 10, {255, 255, 0}));
    EXPECT_TRUE(RegionIsColour(20, 98, 20, 14, kBlack));  // nothing between the strips
}

TEST_F(DrawPolygonsTest, OtherModesDrawNothing) {
    for (int32_t mode : {3, -1, 4, INT_MAX}) {
        StartPoly(-1, mode);
        FanRect(10, 10, 20, 20, Colour(255, 0, 0));
        EndPoly();
    }
    EXPECT_TRUE(RegionIsColour(0, 0, 40, 40, kBlack));
}

TEST_F(DrawPolygonsTest, ASecondEndPolyDrawsThePolygonAgain) {
    SetAlphaMode(1.0);  // adding, so that two draws show
    StartPoly(-1, 0);
    FanRect(10, 10, 10, 10, Colour(40, 50, 60));
    EndPoly();
    EXPECT_EQ(Pixel(15, 15), (Rgb{40, 50, 60}));
    EndPoly();
    EXPECT_EQ(Pixel(15, 15), (Rgb{80, 100, 120}));
}

TEST_F(DrawPolygonsTest, WhiteVerticesAtAlphaOneUseTheCurrentColour) {
    StartPoly(-1, 0);
    FanRect(10, 10, 10, 10, kWhiteColour);
    FanRect(10, 10, 10, 10, static_cast<int32_t>(0xFFFFFFFFu));  // the top byte is ignored
    glColor4ub(255, 0, 0, 255);  // shows through only when no colour array is used
    EndPoly();
    EXPECT_EQ(Pixel(15, 15), (Rgb{255, 0, 0}));
    EXPECT_FALSE(vtx::Drawing().colourUsed);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[1], 0.0f);  // untouched
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_DITHER));
}

TEST_F(DrawPolygonsTest, AlphaBelowOneTurnsOnTheColourArray) {
    SetAlphaMode(-0.5);
    StartPoly(-1, 0);
    FanRect(10, 10, 10, 10, kWhiteColour);
    glColor4ub(255, 0, 0, 255);
    EndPoly();
    EXPECT_TRUE(Near(Pixel(15, 15), {127, 127, 127}));  // white at alpha byte 127
    EXPECT_TRUE(vtx::Drawing().colourUsed);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(colour[3], 0.5f);
}

TEST_F(DrawPolygonsTest, VertexColoursAreSmoothedAndTheStateRestored) {
    StartPoly(-1, 2);
    PolyVector(100, 100, 0, 0, Colour(255, 0, 0));
    PolyVector(100, 110, 0, 0, Colour(255, 0, 0));
    PolyVector(200, 100, 0, 0, Colour(0, 0, 255));
    PolyVector(200, 110, 0, 0, Colour(0, 0, 255));
    EndPoly();
    const Rgb left = Pixel(101, 105), middle = Pixel(150, 105), right = Pixel(198, 105);
    EXPECT_GT(left[0], 240);
    EXPECT_LT(right[0], 15);
    EXPECT_TRUE(Near(middle, {127, 0, 127}, 3));
    GLint shade = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(shade, GL_FLAT);
    EXPECT_FALSE(glIsEnabled(GL_DITHER));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[2], 1.0f);
}

TEST_F(DrawPolygonsTest, TransparentVerticesAreCutOut) {
    Fill({9, 9, 9});
    StartPoly(-1, 0);
    FanRect(10, 10, 10, 10, kKeyColour);
    EndPoly();
    SetAlphaMode(-1.0);
    EndPoly();
    EXPECT_TRUE(RegionIsColour(10, 10, 10, 10, {9, 9, 9}));
}

TEST_F(DrawPolygonsTest, TexturedPolygonsMapPicturePixels) {
    MakeSprite(1, 4, 2, Gradient);
    StartPoly(1, 0);
    EXPECT_FLOAT_EQ(vtx::Drawing().uScale, 1.0f / 16.0f);
    EXPECT_FLOAT_EQ(vtx::Drawing().vScale, 1.0f / 16.0f);
    PolyVector(100, 100, 0, 0, kWhiteColour);
    PolyVector(108, 100, 4, 0, kWhiteColour);
    PolyVector(108, 104, 4, 2, kWhiteColour);
    PolyVector(100, 104, 0, 2, kWhiteColour);
    const vtx::PolyVertex* v = vtx::Drawing().polyBuffer.get();
    EXPECT_FLOAT_EQ(v[0].v, 2.0f / 16.0f);  // the picture's top row
    EXPECT_FLOAT_EQ(v[2].u, 4.0f / 16.0f);
    EXPECT_FLOAT_EQ(v[2].v, 0.0f);
    EndPoly();
    EXPECT_TRUE(RegionIs(100, 100, 8, 4, [](int i, int j) { return Gradient(i / 2, j / 2); }));
    EXPECT_EQ(Pixel(108, 100), kBlack);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
}

TEST_F(DrawPolygonsTest, TexturedVertexColoursTintThePicture) {
    MakeSprite(1, 4, 4, [](int, int) { return Rgb{200, 200, 200}; });
    StartPoly(1, 0);
    PolyVector(0, 0, 0, 0, Colour(255, 0, 0));
    PolyVector(16, 0, 4, 0, Colour(255, 0, 0));
    PolyVector(16, 16, 4, 4, Colour(255, 0, 0));
    PolyVector(0, 16, 0, 4, Colour(255, 0, 0));
    EndPoly();
    EXPECT_EQ(Pixel(8, 8), (Rgb{200, 0, 0}));
}

TEST_F(DrawPolygonsTest, SlotsBeyondTheStoreDrawNothing) {
    StartPoly(70000, 0);
    FanRect(10, 10, 10, 10, Colour(255, 0, 0));
    PolyNewStrip();
    EndPoly();
    EXPECT_EQ(vtx::Drawing().polyCount, 0);
    EXPECT_TRUE(RegionIsColour(0, 0, 30, 30, kBlack));
    StartPoly(-5, 0);  // any negative slot: untextured
    FanRect(10, 10, 10, 10, Colour(255, 0, 0));
    EndPoly();
    EXPECT_EQ(Pixel(15, 15), (Rgb{255, 0, 0}));
}

TEST_F(DrawPolygonsTest, TheBufferStartsAt512AndGrowsInSteppedSizes) {
    vtx::Drawing().polyBuffer.reset();  // as at the first polygon of a process
    vtx::Drawing().polyCapacity = 0;
    StartPoly(-1, 0);
    EXPECT_EQ(vtx::PolygonCapacity(), 512);
    // A many-sided disc about (300, 200), radius 50, as a fan.
    const int sides = 700;
    PolyVector(300, 200, 0, 0, Colour(0, 200, 0));
    for (int k = 0; k <= sides; ++k) {
        const double a = 2.0 * M_PI * k / sides;
        PolyVector(300 + 50 * std::cos(a), 200 + 50 * std::sin(a), 0, 0, Colour(0, 200, 0));
        const int32_t count = vtx::Drawing().polyCount;
        const int32_t expected = count <= 512 ? 512 : 128 * ((count - 1) / 128 + 1);
        ASSERT_EQ(vtx::PolygonCapacity(), expected) << count;
    }
    EXPECT_EQ(vtx::Drawing().polyCount, sides + 2);
    EXPECT_EQ(vtx::PolygonCapacity(), 768);
    EndPoly();
    EXPECT_EQ(Pixel(300, 200), (Rgb{0, 200, 0}));
    EXPECT_EQ(Pixel(340, 200), (Rgb{0, 200, 0}));
    EXPECT_EQ(Pixel(300, 160), (Rgb{0, 200, 0}));
    EXPECT_EQ(Pixel(300, 260), kBlack);
    StartPoly(-1, 0);  // never shrinks
    EXPECT_EQ(vtx::PolygonCapacity(), 768);
}

TEST_F(DrawPolygonsTest, GrowthRuleAtTheEdges) {
    vtx::Drawing().polyBuffer.reset();
    vtx::Drawing().polyCapacity = 0;
    StartPoly(-1, 2);
    for (int k = 0; k < 512; ++k) PolyVector(k, 0, 0, 0, kWhiteColour);
    EXPECT_EQ(vtx::PolygonCapacity(), 512);
    PolyNewStrip();  // vertex 513 does not fit: 128 * (513 / 128 + 1)
    EXPECT_EQ(vtx::PolygonCapacity(), 640);
    EXPECT_EQ(vtx::Drawing().polyBuffer[512].x, 511.0f);  // copied over
    EXPECT_EQ(vtx::Drawing().polyBuffer[0].x, 0.0f);
    for (int k = 513; k < 640; ++k) PolyVector(k, 0, 0, 0, kWhiteColour);
    EXPECT_EQ(vtx::Drawing().polyCount, 641);  // the first after the join went in twice
    EXPECT_EQ(vtx::PolygonCapacity(), 768);
}

TEST_F(DrawPolygonsTest, ExtremeCoordinatesDoNotMisbehave) {
    StartPoly(-1, 0);
    PolyVector(1e300, -1e300, 1e300, NAN, 0);
    PolyVector(NAN, INFINITY, 0, 0, 0);
    PolyVector(0, 0, 0, 0, 0);
    EndPoly();
    SUCCEED();
}

}  // namespace
