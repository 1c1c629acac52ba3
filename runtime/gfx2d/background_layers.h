// Background layers: full-screen pictures split into square texture tiles,
// loaded from a file or grabbed from the frame, drawn behind the frame.
// Layer 0 belongs to the language commands and is drawn after every frame
// clear; layers 1 and 2 hold the two pictures of a cross-fade; layer 3 keeps
// the frame while the line editor reads a text.
#pragma once

#include <cstdint>

namespace vtx {

constexpr int32_t kBackgroundLayers = 8;

// Copies the whole frame into the layer.
void GrabBackgroundLayer(int32_t layer);
// Draws the layer's tiles from the window's top-left corner; nothing when
// the layer is empty.
void DrawBackgroundLayer(int32_t layer);
// Deletes the layer's tiles and empties it.
void ClearBackgroundLayer(int32_t layer);
// Decodes a resolved picture name (BMP, PNG or JPEG, no colour key) into
// the layer's tiles without drawing it; false when nothing decodes.
bool LoadBackgroundLayer(int32_t layer, const char* resolvedName);
// Empties every layer (at shutdown; tiles are deleted while the context lives).
void ForgetBackgroundLayers();
// The layer's tile columns, rows and tile size; 0 when it is empty.
int32_t BackgroundLayerColumns(int32_t layer);
int32_t BackgroundLayerRows(int32_t layer);
int32_t BackgroundLayerTileSize(int32_t layer);

}  // namespace vtx
