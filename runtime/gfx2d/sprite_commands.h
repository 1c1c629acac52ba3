// Sprite commands: loading pictures into slots and asking about them.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Loads a picture (disk, memory name or pack archive) into a sprite slot.
// On failure the slot stays empty and the last error becomes 3.
void LoadSprite(const RtString& file, int32_t slot);
// As LoadSprite, turning the picture into a normal map (bump texture).
void LoadBumpTexture(const RtString& file, int32_t slot);
// LoadSprite, then SetSpriteAnim with the frame size.
void LoadAnim(const RtString& file, int32_t slot, int32_t frameWidth, int32_t frameHeight);
// Stores the animation frame size of a slot that holds a picture.
void SetSpriteAnim(int32_t slot, int32_t frameWidth, int32_t frameHeight);
// The picture size of a slot; 0, 0 for an empty slot.
void GetSpriteSize(int32_t slot, int32_t& width, int32_t& height);
void GetSpriteSize(int32_t slot, double& width, double& height);
// The slot's OpenGL texture name (for 3D objects and shaders).
int32_t GetSpriteTexture(int32_t slot);
// The lowest empty sprite slot (0 to 65503); -1 when all are in use.
int32_t GenSprite();
// The lowest free font number (0 to 30); -1 when all are in use.
int32_t GenFont();
// Sets the transparent colour of sprites and of fonts loaded afterwards.
void SetTransparency(int32_t colour);
// Linear (non-zero) or nearest filtering when drawing 2D.
void SetSmoothing(int32_t smooth);
