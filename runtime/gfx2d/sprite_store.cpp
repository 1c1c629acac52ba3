// The sprite store, slot resets, loading pictures into slots, and the
// sprite commands.
#include "gfx2d/sprite_store.h"

#include "files/last_error_internal.h"
#include "files/pack_resolver_internal.h"
#include "gfx2d/draw_batch.h"
#include "gfx2d/image_buffer.h"
#include "gfx2d/picture_codecs.h"
#include "gfx2d/sprite_commands.h"
#include "host/debug_output.h"
#include "host/graphics_backend.h"

namespace vtx {

namespace {
constexpr uint32_t kNoSuchFile = 3;
constexpr uint32_t kOutOfBounds = 9;
}  // namespace

SpriteStore::SpriteStore()
    : slots(new SpriteSlot[kSlotCount]), collisionMasks(new std::unique_ptr<uint8_t[]>[kSlotCount]) {}

SpriteStore* Sprites() { return GraphicsBackEnd != nullptr ? &GraphicsBackEnd->sprites : nullptr; }

bool IsSlotNumber(int32_t slot) { return slot >= 0 && slot < kSlotCount; }

void ResetSlot(int32_t slot) {
    SpriteStore* store = Sprites();
    if (store == nullptr || !IsSlotNumber(slot)) return;
    FlushDrawBatch();  // the batch may still draw with the slot's texture
    SpriteSlot& s = store->slots[slot];
    if (GraphicsBackEnd->contextReady != 0) {
        if (s.texture != 0) glDeleteTextures(1, &s.texture);
        if (s.mipTexture != 0) glDeleteTextures(1, &s.mipTexture);
    }
    s.texture = 0;
    s.mipTexture = 0;
    s.uMax = 1.0f;
    s.vMax = 1.0f;
    s.texWidth = -1;
    s.texHeight = -1;
    s.width = 0;
    s.height = 0;
    store->collisionMasks[slot].reset();
}

bool LoadIntoSlot(int32_t slot, const char* name, int32_t key, bool normalMap) {
    SpriteStore* store = Sprites();
    if (store == nullptr || !IsSlotNumber(slot)) return false;
    ResetSlot(slot);                                                          // 1
    ImageBuffer image;                                                        // 2
    if (!DecodePicture(image, name, key)) return false;
    if (image.width == 0 || image.height == 0) return false;                  // 3
    // A picture larger than the biggest texture is cropped to it, and the
    // slot describes the part that is kept.
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const int32_t limit = std::min<int32_t>(maxSize, 16384);
    const int32_t width = std::min(image.width, limit);
    const int32_t height = std::min(image.height, limit);
    SpriteSlot& s = store->slots[slot];
    const bool font = slot >= kFirstFontSlot;                                 // 4, 5
    UploadTexture(image, 0, 0, width, height, s.texture, font ? nullptr : &s.mipTexture, font ? false : normalMap,
                  font);
    s.texWidth = static_cast<int16_t>(TextureSizeFor(width));                 // 6
    s.texHeight = static_cast<int16_t>(TextureSizeFor(height));
    s.width = static_cast<int16_t>(width);
    s.height = static_cast<int16_t>(height);
    s.uMax = static_cast<float>(s.width) / static_cast<float>(s.texWidth);
    s.vMax = static_cast<float>(s.height) / static_cast<float>(s.texHeight);
    return true;
}

namespace {

// Resolves and loads a picture file into a sprite slot for the commands.
void LoadSpriteFile(const char* command, const RtString& file, int32_t slot, bool normalMap) {
    ClearLastError();
    SpriteStore* store = Sprites();
    if (store == nullptr || !IsSlotNumber(slot)) {
        SetLastError(kOutOfBounds);
        ReportFailedLoad(command, file, store == nullptr ? "no graphics window" : "sprite slot out of range");
        return;
    }
    ResetSlot(slot);
    RtString resolved;
    if (!ResolveFile(LoaderResolver(), file, resolved, true)) {
        SetLastError(kNoSuchFile);
        ReportFailedLoad(command, file, "no such file");
    } else if (!LoadIntoSlot(slot, resolved.c_str(), store->transparentColour, normalMap)) {
        SetLastError(kNoSuchFile);
        ReportFailedLoad(command, file, "not a BMP, PNG or JPEG picture that can be read");
    }
}

}  // namespace
}  // namespace vtx

void LoadSprite(const RtString& file, int32_t slot) { vtx::LoadSpriteFile("LoadSprite", file, slot, false); }

void LoadBumpTexture(const RtString& file, int32_t slot) { vtx::LoadSpriteFile("LoadBumpTexture", file, slot, true); }

void LoadAnim(const RtString& file, int32_t slot, int32_t frameWidth, int32_t frameHeight) {
    vtx::LoadSpriteFile("LoadAnim", file, slot, false);
    SetSpriteAnim(slot, frameWidth, frameHeight);
}

void SetSpriteAnim(int32_t slot, int32_t frameWidth, int32_t frameHeight) {
    vtx::SpriteStore* store = vtx::Sprites();
    if (store == nullptr || !vtx::IsSlotNumber(slot)) return;
    vtx::SpriteSlot& s = store->slots[slot];
    if (s.width <= 0) return;
    s.frameWidth = static_cast<int16_t>(frameWidth);
    s.frameHeight = static_cast<int16_t>(frameHeight);
}

void GetSpriteSize(int32_t slot, int32_t& width, int32_t& height) {
    const vtx::SpriteStore* store = vtx::Sprites();
    if (store == nullptr || !vtx::IsSlotNumber(slot)) {
        width = height = 0;
        return;
    }
    width = store->slots[slot].width;
    height = store->slots[slot].height;
}

void GetSpriteSize(int32_t slot, double& width, double& height) {
    int32_t w = 0, h = 0;
    GetSpriteSize(slot, w, h);
    width = w;
    height = h;
}

int32_t GetSpriteTexture(int32_t slot) {
    const vtx::SpriteStore* store = vtx::Sprites();
    if (store == nullptr || !vtx::IsSlotNumber(slot)) return 0;
    return static_cast<int32_t>(store->slots[slot].texture);
}

int32_t GenSprite() {
    const vtx::SpriteStore* store = vtx::Sprites();
    if (store == nullptr) return -1;
    for (int32_t slot = 0; slot < vtx::kFirstFontSlot; ++slot)
        if (store->slots[slot].width == 0) return slot;
    return -1;
}

int32_t GenFont() {
    const vtx::SpriteStore* store = vtx::Sprites();
    if (store == nullptr) return -1;
    // Font 31 is never offered, though LoadFont accepts it.
    for (int32_t font = 0; font < vtx::kFontCount - 1; ++font)
        if (store->slots[vtx::kFirstFontSlot + font].width / 16 == 0) return font;
    return -1;
}

void SetTransparency(int32_t colour) {
    vtx::SpriteStore* store = vtx::Sprites();
    if (store == nullptr) return;
    store->transparentColour = colour;
    store->fontTransparentColour = colour;
}

void SetSmoothing(int32_t smooth) {
    vtx::SpriteStore* store = vtx::Sprites();
    if (store != nullptr) store->smoothing = smooth != 0;
}
