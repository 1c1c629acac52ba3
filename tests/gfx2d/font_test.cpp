// Bitmap fonts on a real GL context: glyph grids of every picture shape,
// pen positions, control characters, numbers, the current font, smoothing,
// keys, text in 3D space and the vertex scratch buffer. Pixels are read back
// from the back buffer before any ShowScreen.
#include "gfx2d/font_test_support.h"

namespace {

using namespace font_test;

TEST_F(FontTest, A128By64PictureHas8RowsOf8By8Cells) {
    LoadTestFont(128, 64, 1);
    EXPECT_EQ(vtx::CurrentFont(), 1);
    const std::string text = "Az~\x01\x7f\xc8";  // code 200 prints glyph 72
    PrintText(RtString(text.c_str()), 20, 30);
    ExpectCells(ReadBack(), text, 20, 30, 8, 8, 8);
    int32_t w = 0, h = 0;
    GetFontSize(w, h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 8);
}

TEST_F(FontTest, A256By512PictureServesEveryCode) {
    LoadTestFont(256, 512, 2);  // narrower than high: 16 rows of 16 x 32 cells
    const std::string text = "Hi\xc8\xff\x80";
    PrintText(RtString(text.c_str()), 100, 50);
    ExpectCells(ReadBack(), text, 100, 50, 16, 32, 16);
    double w = 0, h = 0;
    GetFontSize(w, h);
    EXPECT_EQ(w, 16.0);
    EXPECT_EQ(h, 32.0);
}

TEST_F(FontTest, A256By256PictureIsNotNarrowerThanHighSoHas8Rows) {
    // Only a picture narrower than high gets 16 rows: a square one has 8
    // rows of 16 x 32 cells, and code 200 prints glyph 72.
    LoadTestFont(256, 256, 2);
    const std::string text = "Hi\xc8\x7f";
    PrintText(RtString(text.c_str()), 100, 50);
    const Frame f = ReadBack();
    ExpectCells(f, text, 100, 50, 16, 32, 8);
    EXPECT_EQ(f.at(133, 51), CellColour(72));
    int32_t w = 0, h = 0;
    GetFontSize(w, h);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 32);
}

TEST_F(FontTest, A256By128PictureFoldsCode200OntoGlyph72) {
    LoadTestFont(256, 128, 3);
    const std::string text = "\xc8H";
    PrintText(RtString(text.c_str()), 40, 60);
    const Frame f = ReadBack();
    ExpectCells(f, text, 40, 60, 16, 16, 8);
    EXPECT_EQ(f.at(41, 61), CellColour(72));
    EXPECT_EQ(f.at(57, 61), CellColour(72));
    int32_t w = 0, h = 0;
    GetFontSize(w, h);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 16);
}

TEST_F(FontTest, ASquare128PictureUses8RowsOfTallCells) {
    LoadTestFont(128, 128, 4);
    const std::string text = "Q0\xd1";
    PrintText(RtString(text.c_str()), 300, 200);
    ExpectCells(ReadBack(), text, 300, 200, 8, 16, 8);
    int32_t w = 0, h = 0;
    GetFontSize(w, h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 16);
}

TEST_F(FontTest, ThePenStartsAtTheCeilingOfThePosition) {
    LoadTestFont(128, 64, 1);
    PrintText(RtString("AB"), 10.2, 5.7);
    ExpectCells(ReadBack(), "AB", 11, 6, 8, 8, 8);
    ClearFrame();
    PrintText(RtString("C"), -2.5, 7.0);  // ceil(-2.5) = -2: two columns cut off
    const Frame f = ReadBack();
    EXPECT_EQ(f.at(0, 7), CellColour('C'));
    EXPECT_EQ(f.at(5, 14), CellColour('C'));
    EXPECT_EQ(f.at(6, 7), kBlack);
}

TEST_F(FontTest, ControlCharactersAndLineBreaksPrintAsCellsOnTheLine) {
    LoadTestFont(128, 64, 1);
    const std::string text = "a\nb\r\tc";
    PrintText(RtString(text.c_str()), 50, 70);
    ExpectCells(ReadBack(), text, 50, 70, 8, 8, 8);
}

TEST_F(FontTest, EmptyTextsAndEmptyFontsDrawNothing) {
    LoadTestFont(128, 64, 1);
    const Frame before = ReadBack();
    PrintText(RtString(""), 10, 10);
    LoadFont(RtString(""), 1);  // empties the slot
    EXPECT_EQ(vtx::LastErrorCode(), 0u);
    EXPECT_EQ(FontSlot(1).width, 0);
    EXPECT_EQ(FontSlot(1).texture, 0u);
    SetFont(1);
    PrintText(RtString("ABC"), 10, 10);
    EXPECT_TRUE(ReadBack() == before);
    int32_t w = 5, h = 5;
    GetFontSize(w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}

TEST_F(FontTest, NumbersPrintTheirNumberText) {
    LoadTestFont(128, 64, 1);
    const std::vector<std::pair<double, const char*>> cases = {{3.0, "3"}, {0.5, "0.5"}, {-12.25, "-12.25"}};
    for (const auto& [value, text] : cases) {
        ClearFrame();
        PrintText(RtString(text), 8, 8);
        const Frame expected = ReadBack();
        ExpectCells(expected, text, 8, 8, 8, 8, 8);
        ClearFrame();
        PrintNumber(value, 8, 8);
        EXPECT_TRUE(ReadBack() == expected) << text;
    }
}

TEST_F(FontTest, SetFontClampsTheNumber) {
    SetFont(40);
    EXPECT_EQ(vtx::CurrentFont(), 31);
    SetFont(-3);
    EXPECT_EQ(vtx::CurrentFont(), 0);
    SetFont(17);
    EXPECT_EQ(vtx::CurrentFont(), 17);
    LoadTestFont(256, 128, 5);
    SetFont(0);
    int32_t w = 0, h = 0;
    GetFontSize(w, h);
    EXPECT_EQ(w, 8);  // the built-in font
    SetFont(5);
    GetFontSize(w, h);
    EXPECT_EQ(w, 16);
}

TEST_F(FontTest, SmoothingDoesNotFilterText) {
    LoadTestFont(128, 64, 1);
    SetSmoothing(1);
    PrintText(RtString("Wm"), 33.5, 17);
    const Frame smooth = ReadBack();
    ExpectCells(smooth, "Wm", 34, 17, 8, 8, 8);
    ClearFrame();
    SetSmoothing(0);
    PrintText(RtString("Wm"), 33.5, 17);
    EXPECT_TRUE(ReadBack() == smooth);
    // Magnified text stays unfiltered too.
    ClearFrame();
    SetSmoothing(1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glScalef(3.0f, 3.0f, 1.0f);
    PrintText(RtString("W"), 10, 10);
    vtx::FlushDrawBatch();  // drawn under the scaled matrix
    glPopMatrix();
    const Frame big = ReadBack();
    for (int32_t y = 30; y < 54; ++y)
        for (int32_t x = 30; x < 54; ++x)
            ASSERT_EQ(big.at(x, y), (x < 33 && y < 33) ? kMarker : CellColour('W')) << x << "," << y;
}

TEST_F(FontTest, FontPicturesAreKeyedWithTheFontTransparentColour) {
    // Black is the font key: a black cell prints nothing.
    std::vector<Rgb> pixels(128 * 64, Rgb{200, 100, 50});
    for (int32_t y = 32; y < 40; ++y)
        for (int32_t x = 8; x < 16; ++x) pixels[y * 128 + x] = kBlack;  // glyph 65, 'A'
    WriteBytes("keyed.bmp", BmpBytes(128, 64, pixels));
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    LoadFont(RtString("keyed.bmp"), 9);
    PrintText(RtString("AB"), 0, 0);
    const Frame f = ReadBack();
    EXPECT_EQ(f.at(3, 3), Rgb({0, 0, 255}));
    EXPECT_EQ(f.at(11, 3), Rgb({200, 100, 50}));
}

TEST_F(FontTest, TextAtAProjectedPointIsCentredAboveIt) {
    LoadTestFont(128, 64, 1);
    GLdouble before[16], after[16];
    glGetDoublev(GL_PROJECTION_MATRIX, before);
    // The 2D projection with the identity model-view maps (x, y) to pixel
    // (x, y): the text is centred on x and its cells end at y.
    PrintText3D(RtString("AB"), 200, 100, 0, 0);
    ExpectCells(ReadBack(), "AB", 192, 92, 8, 8, 8);
    glGetDoublev(GL_PROJECTION_MATRIX, after);
    EXPECT_TRUE(std::equal(before, before + 16, after));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    ClearFrame();
    PrintText3D(RtString("xyz"), 300.5, 150.25, 0.5, 0);  // 288.5, 142.25 round up
    ExpectCells(ReadBack(), "xyz", 289, 143, 8, 8, 8);
    // A translated model-view moves the point with it.
    ClearFrame();
    glPushMatrix();
    glTranslatef(40.0f, 16.0f, 0.0f);
    PrintText3D(RtString("Q"), 100, 100, 0, 0);
    glPopMatrix();
    ExpectCells(ReadBack(), "Q", 136, 108, 8, 8, 8);
    // Centring uses the current font's cells.
    ClearFrame();
    LoadTestFont(256, 512, 2);
    PrintText3D(RtString("AB"), 200, 100, 0, 0);
    ExpectCells(ReadBack(), "AB", 184, 68, 16, 32, 16);
}

TEST_F(FontTest, APointWithZeroProjectedWDrawsNothing) {
    LoadTestFont(128, 64, 1);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1, 10);  // w = -z: zero in the eye plane
    glMatrixMode(GL_MODELVIEW);
    const Frame before = ReadBack();
    PrintText3D(RtString("ABC"), 0.5, 0.5, 0, 0);
    EXPECT_TRUE(ReadBack() == before);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

TEST_F(FontTest, SizedTextIsMadeOfSquaresAlongTheModelViewAxes) {
    LoadTestFont(128, 64, 1);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT_AND_BACK);
    glEnable(GL_LIGHTING);
    // Identity model-view: right is +x, up is +y (down on this screen), so
    // each glyph shows upside down; squares of side 2 x 8 pixels.
    PrintText3D(RtString("AB"), 300, 200, 0, 2);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    const Frame f = ReadBack();
    for (int32_t k = 0; k < 2; ++k) {
        const int32_t left = 284 + 16 * k;
        const Rgb colour = CellColour(k == 0 ? 'A' : 'B');
        for (int32_t y = 200; y < 216; ++y)
            for (int32_t x = left; x < left + 16; ++x) {
                const bool marker = x < left + 2 && y >= 214;
                ASSERT_EQ(f.at(x, y), marker ? kMarker : colour) << x << "," << y;
            }
    }
    EXPECT_EQ(f.at(283, 205), kBlack);
    EXPECT_EQ(f.at(316, 205), kBlack);
    EXPECT_EQ(f.at(290, 199), kBlack);
    EXPECT_EQ(f.at(290, 216), kBlack);
    // A 256 x 128 font: cells 16 x 16, squares of side 0.5 x 16.
    ClearFrame();
    LoadTestFont(256, 128, 3);
    PrintText3D(RtString("\xc8"), 100, 100, 0, 0.5);
    const Frame g = ReadBack();
    EXPECT_EQ(g.at(96, 100), CellColour(72));
    EXPECT_EQ(g.at(103, 107), CellColour(72));
    EXPECT_EQ(g.at(95, 104), kBlack);
    EXPECT_EQ(g.at(104, 104), kBlack);
    EXPECT_EQ(g.at(100, 99), kBlack);
    EXPECT_EQ(g.at(100, 108), kBlack);
}

TEST_F(FontTest, TheVertexScratchBufferGrowsInStepsOf128) {
    LoadTestFont(128, 64, 1);
    const int32_t first = vtx::TextVertexCapacity();
    PrintText(RtString("x"), 0, 0);
    const int32_t started = vtx::TextVertexCapacity();
    EXPECT_EQ(started, first == 0 ? 512 : first);
    const int32_t n = started / 4 + 1;  // one text too long for the buffer
    PrintText(RtString(std::string(static_cast<size_t>(n), 'a').c_str()), 0, 0);
    const int32_t grown = vtx::TextVertexCapacity();
    EXPECT_EQ(grown, 128 * (4 * n / 128 + 1));
    PrintText(RtString("short"), 0, 0);
    EXPECT_EQ(vtx::TextVertexCapacity(), grown);
    // Growing keeps what the buffer held.
    float* v = vtx::ReserveTextVertices(2);
    v[0] = 1.5f;
    v[9] = -7.0f;
    v = vtx::ReserveTextVertices(grown + 1);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(vtx::TextVertexCapacity(), 128 * ((grown + 1) / 128 + 1));
    EXPECT_EQ(v[0], 1.5f);
    EXPECT_EQ(v[9], -7.0f);
    EXPECT_EQ(vtx::ReserveTextVertices(-1), nullptr);
}

TEST_F(FontTest, CommandsDoNothingWithoutTheBackEnd) {
    ShutdownEngine();
    ASSERT_EQ(vtx::Sprites(), nullptr);
    LoadFont(RtString("missing.bmp"), 3);
    SetFont(5);
    PrintText(RtString("A"), 0, 0);
    PrintNumber(1, 0, 0);
    PrintText3D(RtString("A"), 0, 0, 0, 0);
    PrintText3D(RtString("A"), 0, 0, 0, 1);
    vtx::SetBuiltinFont(0);
    vtx::LoadDefaultFont();
    int32_t w = 1, h = 1;
    GetFontSize(w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}

}  // namespace
