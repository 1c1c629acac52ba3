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

}  // namespace vtx
