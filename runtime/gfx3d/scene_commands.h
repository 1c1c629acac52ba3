// 3D scene commands: scene set-up, camera, transforms, lights, fog, object
// drawing and the 3D helpers (lines, dots, axes, billboards, text).
#pragma once

#include <cstdint>

#include "../core/rt_array.h"
#include "../core/rt_string.h"

// Ends a shadow pass, clears the depth buffer, sets viewport, projection and
// default camera. fov > 0: perspective; fov < 0: orthographic box 100 times
// the height; fov 0: orthographic, one unit per pixel of the viewport.
void BeginScene3D(double nearDistance, double farDistance, double fov);
// Ends a shadow pass and clears the depth buffer.
void ClearDepth3D();
void SetCamera(double eyeX, double eyeY, double eyeZ, double targetX, double targetY, double targetZ);
void SetCameraUp(double x, double y, double z);
// 0 no face culling, 1 clockwise front faces, -1 counter-clockwise (by sign).
void SetCullMode(double value);
// index -1, -2, -3: the effect light (bump, toon, shadow volumes); 0 .. n: GL
// light n mod 8, off with cutoff 0.
void SetLight(int32_t index, int32_t colour, double x, double y, double z, double dx, double dy, double dz,
              double cutoff);
void SetCameraLight(int32_t index, int32_t colour);
// colour -1: off; otherwise exponential (density a) or linear (start a, end b).
void SetFog(int32_t colour, int32_t exponential, double a, double b);
void SetTexture3D(int32_t texture1, int32_t texture2);
void SetTextureMode3D(int32_t mode);
void SetSphereMapping(int32_t on);
void SetTextureOffset3D(double du, double dv);
void SetToonRamp(const RtArray<double>& ramp);
void PushMatrix3D();
void PopMatrix3D();
void MoveEntity(double x, double y, double z);
void ScaleEntity(double x, double y, double z);
void RotateEntity(double angle, double x, double y, double z);
void MultiplyEntityMatrix(const RtArray<double>& matrix);
// Draws an object slot with two frames blended (factor, interpolate).
int32_t DrawObject(int32_t slot, double frameA, double frameB, double factor, int32_t interpolate);
int32_t DrawObjectFrame(int32_t slot, double frame);
void DrawLine3D(double x1, double y1, double z1, double x2, double y2, double z2, double width, int32_t colour);
void DrawDot3D(double x, double y, double z, double size, int32_t colour);
void DrawAxes3D(double x, double y, double z);
void BillboardSprite3D(int32_t slot, double x, double y, double z, double size);
void PrintText3DScene(const RtString& text, double x, double y, double z, double size);
