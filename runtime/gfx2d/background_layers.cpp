// Background layers and the clear colour: LoadBackground, GrabBackground,
// ClearScreen, and the layer operations frames and the line editor use.
#include "gfx2d/background_layers.h"

#include <GL/gl.h>

#include <algorithm>

#include "files/last_error_internal.h"
#include "files/pack_resolver_internal.h"
#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_state.h"
#include "gfx2d/image_buffer.h"
#include "gfx2d/picture_codecs.h"
#include "gfx2d/screen_commands.h"
#include "gfx2d/sprite_store.h"
#include "host/debug_output.h"
#include "host/gl_extensions.h"
#include "host/graphics_backend.h"

namespace vtx {
namespace {

constexpr uint32_t kNoSuchFile = 3;
constexpr int32_t kTilesPerSide = 8;
constexpr int32_t kLoadTileLimit = 512;

// Tile (column c, row r) is entry c * 8 + r; every tile is a square texture
// of one size t drawn at (c * t, r * t).
struct BackgroundLayer {
    GLuint textures[kTilesPerSide * kTilesPerSide] = {};
    int32_t textureWidths[kTilesPerSide * kTilesPerSide] = {};
    int32_t textureHeights[kTilesPerSide * kTilesPerSide] = {};
    int32_t widths[kTilesPerSide * kTilesPerSide] = {};
    int32_t heights[kTilesPerSide * kTilesPerSide] = {};
    int32_t columns = 0;  // 0 = empty
    int32_t rows = 0;
};

BackgroundLayer Layers[kBackgroundLayers];

bool IsLayer(int32_t layer) { return layer >= 0 && layer < kBackgroundLayers; }

bool ContextAlive() { return GraphicsBackEnd != nullptr && GraphicsBackEnd->contextReady != 0; }

GLint MaxTextureSize() {
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size;
}

// Deletes the tiles (only while the context that owns them is alive).
void EmptyLayer(BackgroundLayer& l) {
    if (ContextAlive()) {
        FlushDrawBatch();
        for (GLuint& t : l.textures)
            if (t != 0) glDeleteTextures(1, &t);
    }
    l = BackgroundLayer{};
}

}  // namespace

bool LoadBackgroundLayer(int32_t layer, const char* resolvedName) {
    if (!IsLayer(layer) || GraphicsBackEnd == nullptr) return false;
    ImageBuffer picture;                                                      // 1
    if (!DecodePicture(picture, resolvedName, kNoColorKey) || picture.width == 0 || picture.height == 0)
        return false;
    const int32_t t = std::min<int32_t>(MaxTextureSize(), kLoadTileLimit);    // 2
    BackgroundLayer& l = Layers[layer];
    EmptyLayer(l);                                                            // 3
    // A picture wider or taller than 8 tiles is cropped to 8 x 8 tiles.
    for (int32_t r = 0; r < kTilesPerSide && r * t < picture.height; ++r) {  // 4
        int32_t c = 0;
        for (; c < kTilesPerSide && c * t < picture.width; ++c) {
            const int32_t i = c * kTilesPerSide + r;
            if (!UploadTexture(picture, c * t, r * t, t, t, l.textures[i], nullptr, false, false)) return false;
            l.textureWidths[i] = l.textureHeights[i] = l.widths[i] = l.heights[i] = t;
        }
        l.columns = std::max(l.columns, c);
        l.rows = r + 1;
    }
    return true;                                                              // 5
}

void GrabBackgroundLayer(int32_t layer) {
    if (!IsLayer(layer) || GraphicsBackEnd == nullptr) return;
    FlushDrawBatch();
    const int32_t W = GraphicsBackEnd->width, H = GraphicsBackEnd->height;
    const GLint maxSize = MaxTextureSize();
    int32_t t = 128;                                                          // 1
    while (t < std::max(W, H) && t < maxSize) t *= 2;
    BackgroundLayer& l = Layers[layer];
    int32_t columns = 0, rows = 0;
    for (int32_t r = 0; r < kTilesPerSide && r * t < H; ++r) {               // 2
        int32_t c = 0;
        for (; c < kTilesPerSide && c * t < W; ++c) {
            const int32_t i = c * kTilesPerSide + r;
            const int32_t w = std::min(t, W - c * t), h = std::min(t, H - r * t);
            l.widths[i] = w;
            l.heights[i] = h;
            if (l.textures[i] != 0 && l.textureWidths[i] == t && l.textureHeights[i] == t) {
                glBindTexture(GL_TEXTURE_2D, l.textures[i]);
            } else {
                SetUnpackState();
                NewTexture(l.textures[i], GL_LINEAR, GL_LINEAR);
                glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, t, t, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
            }
            glReadBuffer(GL_BACK);
            glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, c * t, H - r * t - h, w, h);
            l.textureWidths[i] = l.textureHeights[i] = t;
        }
        columns = std::max(columns, c);
        rows = r + 1;
    }
    l.columns = columns;                                                      // 3
    l.rows = rows;
}

void DrawBackgroundLayer(int32_t layer) {
    if (!IsLayer(layer) || GraphicsBackEnd == nullptr) return;
    const BackgroundLayer& l = Layers[layer];
    if (l.columns == 0) return;
    FlushDrawBatch();
    glDisable(GL_ALPHA_TEST);
    if (GlExt.glActiveTextureARB != nullptr) {
        GlExt.glActiveTextureARB(GL_TEXTURE1_ARB);
        glDisable(GL_TEXTURE_2D);
        GlExt.glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glEnable(GL_TEXTURE_2D);
    for (int32_t c = 0; c < l.columns; ++c) {
        for (int32_t r = 0; r < l.rows; ++r) {
            const int32_t i = c * kTilesPerSide + r;
            if (l.textures[i] == 0) continue;  // a shorter row of a cropped picture
            const float t = static_cast<float>(l.textureWidths[i]);
            const float x = static_cast<float>(c) * t, y = static_cast<float>(r) * t;
            const float tw = static_cast<float>(l.widths[i]), th = static_cast<float>(l.heights[i]);
            const float u = tw / static_cast<float>(l.textureWidths[i]);
            const float v = th / static_cast<float>(l.textureHeights[i]);
            glBindTexture(GL_TEXTURE_2D, l.textures[i]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
            glBegin(GL_TRIANGLE_FAN);
            glTexCoord2f(0.0f, 0.0f);
            glVertex2f(x, y + th);
            glTexCoord2f(u, 0.0f);
            glVertex2f(x + tw, y + th);
            glTexCoord2f(u, v);
            glVertex2f(x + tw, y);
            glTexCoord2f(0.0f, v);
            glVertex2f(x, y);
            glEnd();
        }
    }
    glEnable(GL_ALPHA_TEST);
    BindSlot(-1);
    ApplySmoothingFilters();
}

void ClearBackgroundLayer(int32_t layer) {
    if (IsLayer(layer)) EmptyLayer(Layers[layer]);
}

int32_t BackgroundLayerColumns(int32_t layer) { return IsLayer(layer) ? Layers[layer].columns : 0; }
int32_t BackgroundLayerRows(int32_t layer) { return IsLayer(layer) ? Layers[layer].rows : 0; }
int32_t BackgroundLayerTileSize(int32_t layer) { return IsLayer(layer) ? Layers[layer].textureWidths[0] : 0; }

void ForgetBackgroundLayers() {
    for (BackgroundLayer& l : Layers) EmptyLayer(l);
}

}  // namespace vtx

void ClearScreen(int32_t colour) {
    using namespace vtx;
    if (GraphicsBackEnd == nullptr) return;
    ClearBackgroundLayer(0);
    FlushDrawBatch();
    glClearColor(static_cast<float>(colour & 255) / 255.0f, static_cast<float>((colour >> 8) & 255) / 255.0f,
                 static_cast<float>((colour >> 16) & 255) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void LoadBackground(const RtString& file) {
    using namespace vtx;
    ClearLastError();
    if (GraphicsBackEnd == nullptr) return;
    RtString resolved;
    const bool found = ResolveFile(LoaderResolver(), file, resolved, true);
    if (found && LoadBackgroundLayer(0, resolved.c_str())) {
        DrawBackgroundLayer(0);
        return;
    }
    SetLastError(kNoSuchFile);
    ReportFailedLoad("LoadBackground", file, found ? "not a BMP, PNG or JPEG picture that can be read" : "no such file");
    ClearBackgroundLayer(0);
    FlushDrawBatch();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void GrabBackground() { vtx::GrabBackgroundLayer(0); }
