// The sprite store: 65536 slots, each the OpenGL texture of one picture with
// the numbers drawing needs. Font n lives in slot 65504 + n.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace vtx {

struct ImageBuffer;

inline constexpr int32_t kSlotCount = 65536;
inline constexpr int32_t kFirstFontSlot = 65504;
inline constexpr int32_t kScratchSlot = 65503;  // the emulated off-screen screen saves the frame here
inline constexpr int32_t kFontCount = 32;

struct SpriteSlot {
    GLuint texture = 0;      // 2D texture; 0 = none
    GLuint mipTexture = 0;   // square mip-mapped copy for 3D drawing; 0 = none
    float uMax = 1.0f;       // picture width / texture width
    float vMax = 1.0f;       // picture height / texture height
    int16_t texWidth = -1;   // texture size in texels (a power of two)
    int16_t texHeight = -1;
    int16_t width = 0;       // picture size in pixels; 0 = empty slot
    int16_t height = 0;
    int16_t frameWidth = 0;  // animation frame size; 0 = not set
    int16_t frameHeight = 0;
};

struct SpriteStore {
    SpriteStore();
    std::unique_ptr<SpriteSlot[]> slots;
    // Alpha of each slot's texture, rows bottom first, read back on demand
    // by the collision tests and dropped whenever the slot's pixels change.
    std::unique_ptr<std::unique_ptr<uint8_t[]>[]> collisionMasks;
    int32_t transparentColour = 0x8000FF;  // key of sprite pictures: red 255, green 0, blue 128
    int32_t fontTransparentColour = 0;     // key of font pictures: black
    bool smoothing = true;                 // linear filtering when drawing 2D
    int32_t currentTextureSlot = -1;       // the slot BindSlot made current
};

// The store of the graphics back-end; null before start-up and after shutdown.
SpriteStore* Sprites();

bool IsSlotNumber(int32_t slot);

// Deletes the slot's textures (while a context is alive), resets its
// numbers (keeping the frame size) and drops its collision mask.
void ResetSlot(int32_t slot);
// Makes a texture from a rectangle of image (w or h 0: to the edge). See
// sprite_upload.cpp for the padding, flip, bleeding, filters and mips.
bool UploadTexture(const ImageBuffer& image, int32_t x, int32_t y, int32_t w, int32_t h, GLuint& texture,
                   GLuint* mipTexture, bool normalMap, bool font);
// Decodes a resolved file name into the slot; false when nothing decodes.
bool LoadIntoSlot(int32_t slot, const char* name, int32_t key, bool normalMap);
// Makes a slot's texture current for drawing (see sprite_binding.cpp).
void BindSlot(int32_t slot, int32_t secondSlot = -1, bool useMipTexture = false, const GLuint* nameTable = nullptr);
// The slot's alpha channel, read back from its texture on first use.
const uint8_t* CollisionMask(int32_t slot, int32_t& width, int32_t& height);
// Colour bleeding of a tw x th RGBA texel buffer, in place (used by UploadTexture).
void BleedColours(std::vector<uint8_t>& texels, int32_t tw, int32_t th);
// Plain unpacking: rows aligned to 4 bytes, no row length, nothing skipped.
void SetUnpackState();
// Replaces name with a new bound texture, wrap repeat, the given filters.
void NewTexture(GLuint& name, GLint magFilter, GLint minFilter);
// The power of two that holds n texels, at least 16.
int32_t TextureSizeFor(int32_t n);

}  // namespace vtx
