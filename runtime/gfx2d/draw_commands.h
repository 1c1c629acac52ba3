// 2D drawing commands: sprites plain, stretched, zoomed and rotated,
// animation frames, textured polygons, pixels, lines and rectangles, the
// alpha mode, pixel-exact collision tests and the 3D billboard.
//
// Coordinates are pixels of the current viewport, (0, 0) at the top left
// and y growing downwards. Colours are colour integers: red in bits 0 to 7,
// green 8 to 15, blue 16 to 23; the transparent colour draws with alpha 0.
// Every command does nothing before start-up; slot numbers outside 0 to
// 65535 draw nothing and collide with nothing.
#pragma once

#include <cstdint>

// Blending of everything drawn afterwards: 0 opaque with alpha-tested
// cut-outs; a negative mode blends at opacity -mode; a positive mode adds
// at intensity mode (magnitudes above 1 count as 1).
void SetAlphaMode(double mode);

// The whole picture of a slot at (x, y) in its own size.
void DrawSprite(int32_t slot, int32_t x, int32_t y);
// The picture stretched to the rectangle; a negative size mirrors it.
void StretchSprite(int32_t slot, int32_t x, int32_t y, int32_t width, int32_t height);
// The picture scaled about its centre.
void ZoomSprite(int32_t slot, int32_t x, int32_t y, double zoomX, double zoomY);
// The picture turned about its centre; positive angles (degrees) turn
// counter-clockwise on screen.
void RotateSprite(int32_t slot, int32_t x, int32_t y, double angle);
// The picture turned and scaled about its centre.
void RotoZoomSprite(int32_t slot, int32_t x, int32_t y, double angle, double zoom);

// One animation frame in its own size. Frames count left to right, then top
// to bottom; a frame past the last is not wrapped round.
void DrawAnim(int32_t slot, int32_t frame, int32_t x, int32_t y);
// One animation frame stretched to the rectangle.
void StretchAnim(int32_t slot, int32_t frame, int32_t x, int32_t y, int32_t width, int32_t height);
// One animation frame turned and scaled about its centre.
void RotoZoomAnim(int32_t slot, int32_t frame, int32_t x, int32_t y, double angle, double zoom);

// Begins a polygon textured with a slot (negative: untextured); mode 0 is
// a triangle fan, 1 separate triangles, 2 a triangle strip.
void StartPoly(int32_t slot, int32_t mode);
// Appends a vertex at (x, y); (tx, ty) is a pixel of the picture, (0, 0)
// its top-left corner.
void PolyVector(double x, double y, double tx, double ty, int32_t colour);
// Starts a new strip within a strip polygon.
void PolyNewStrip();
// Draws the polygon; it stays, so a second EndPoly draws it again.
void EndPoly();

// One pixel.
void SetPixel(int32_t x, int32_t y, int32_t colour);
// A one-pixel line that includes both end points.
void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour);
// A filled rectangle; a negative size reaches back from the start point.
void DrawRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t colour);

// 1 when the pictures of two slots placed at the two positions share a pixel
// where neither is fully transparent, else 0.
int32_t SpriteCollision(int32_t slot1, int32_t x1, int32_t y1, int32_t slot2, int32_t x2, int32_t y2);
// The same for two animation frames.
int32_t AnimCollision(int32_t slot1, int32_t frame1, int32_t x1, int32_t y1, int32_t slot2, int32_t frame2,
                      int32_t x2, int32_t y2);

// A camera-facing sprite at (x, y, z) in 3D, size times its picture; used by
// the 3D commands.
void BillboardSprite(int32_t slot, double x, double y, double z, double size);
