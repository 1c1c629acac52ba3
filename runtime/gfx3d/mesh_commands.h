// 3D object commands: building an object vertex by vertex, loading and
// saving .ddd files into the object slots (0 to 4095).
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Resets the slot to one empty part and starts building into it.
void StartObject(int32_t slot);
// Appends a vertex to frame 0 of the object being built; v is stored
// negated. A colour of -1, -2 or -3 starts triangles, a strip or a fan.
void AddVertex(double x, double y, double z, double u, double v, int32_t colour);
// Starts a new triangle strip in the object being built.
void NewStrip();
// Finishes the object: valid with at least 3 vertices, otherwise emptied.
void EndObject();
// Loads a .ddd file or a multi-part description (";DDW") into the slot.
void LoadObject(const RtString& file, int32_t slot);
// Saves the slot's mesh as a .ddd file (version 2.0).
void SaveObject(const RtString& file, int32_t slot);
// The lowest slot that holds no object, or -1.
int32_t GetFreeObjectSlot();
// How EndObject prepares normals: 0 not at all, 1 flat, 2 smoothed (mod 3).
void SetSmoothingMode(int32_t mode);
