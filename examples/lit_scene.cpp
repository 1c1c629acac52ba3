// A lit 3D scene: a chequered floor fading into fog, a ring loaded from
// "Media/ring.ddd" (made at build time from examples/Media-source/ring.obj
// with `vtxmesh import`) lit by a light, a ball drawn with toon shading, and
// the shadows of both cast onto the floor with shadow volumes. The ring
// spins, the ball bobs and the camera circles slowly round them. Escape
// ends it; unattended runs as in unattended.h.
#include <cmath>

#include <vantrix/vantrix.h>

#include "unattended.h"

void ApplyProjectSettings() {
    ProjectSettings.title = "Vantrix: a lit 3D scene";
}

namespace {

constexpr double kPi = 3.14159265358979323846;

// Object slots (0 to 4095).
constexpr int32_t kFloor = 1, kRing = 2, kBall = 3;

// Colours are 0xBBGGRR.
constexpr int32_t kSky = 0x604838;   // the background, and the fog that fades into it
constexpr int32_t kTileLight = 0xB8C8C8, kTileDark = 0x788890;
constexpr int32_t kBallColour = 0x50E050;  // toon shading turns it into bands of green
constexpr int32_t kWhite = 0xFFFFFF;

// Where the light is. The lit objects, the toon bands and the shadows all
// take their light from here.
constexpr double kLightX = 6, kLightY = 14, kLightZ = 4;

// A square floor in the plane y = 0 of tiles x tiles tiles, centred on the
// origin, facing up (counter-clockwise seen from above). Smoothing mode 1
// gives it flat normals: without normals a lit object stays dark.
void BuildFloor(int tiles, double tileSize) {
    SetSmoothingMode(1);
    StartObject(kFloor);
    const double start = -tiles * tileSize / 2;
    for (int i = 0; i < tiles; ++i)
        for (int k = 0; k < tiles; ++k) {
            const double x0 = start + i * tileSize, x1 = x0 + tileSize;
            const double z0 = start + k * tileSize, z1 = z0 + tileSize;
            const int32_t colour = (i + k) % 2 == 0 ? kTileLight : kTileDark;
            AddVertex(x0, 0, z1, 0, 0, colour);
            AddVertex(x1, 0, z1, 1, 0, colour);
            AddVertex(x1, 0, z0, 1, 1, colour);
            AddVertex(x0, 0, z1, 0, 0, colour);
            AddVertex(x1, 0, z0, 1, 1, colour);
            AddVertex(x0, 0, z0, 0, 1, colour);
        }
    EndObject();
    SetSmoothingMode(0);
}

// A point of the ball's surface: latitude step j of `rows`, longitude step i
// of `columns`, radius r.
void BallVertex(int j, int i, int rows, int columns, double r) {
    const double latitude = kPi * j / rows - kPi / 2;  // -90 .. 90 degrees
    const double longitude = 2 * kPi * i / columns;
    AddVertex(r * std::cos(latitude) * std::cos(longitude), r * std::sin(latitude),
              -r * std::cos(latitude) * std::sin(longitude), 0, 0, kBallColour);
}

// A closed ball of radius r: a fan of single triangles at each pole and two
// triangles per quad between them, every face counter-clockwise seen from
// outside. Closed, so that its shadow volume has no holes; the shared corners
// also give smooth normals (smoothing mode 2), which the toon bands follow.
void BuildBall(double r) {
    const int rows = 10, columns = 16;
    SetSmoothingMode(2);
    StartObject(kBall);
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            if (j > 0) {  // the lower triangle of the quad (none at the south pole)
                BallVertex(j, i, rows, columns, r);
                BallVertex(j, i + 1, rows, columns, r);
                BallVertex(j + 1, i + 1, rows, columns, r);
            }
            if (j < rows - 1) {  // the upper one (none at the north pole)
                BallVertex(j, i, rows, columns, r);
                BallVertex(j + 1, i + 1, rows, columns, r);
                BallVertex(j + 1, i, rows, columns, r);
            }
        }
    EndObject();
    SetSmoothingMode(0);
}

// The toon ramp: four bands of brightness, from the side turned away from
// the light to the side facing it.
void UseFourToonBands() {
    RtArray<double> ramp;
    DimArray(ramp, 4);
    ArrayElement(ramp, 0) = 70;
    ArrayElement(ramp, 1) = 140;
    ArrayElement(ramp, 2) = 200;
    ArrayElement(ramp, 3) = 255;
    SetToonRamp(ramp);
}

// The two objects that cast shadows, placed for this frame. Drawn twice: in
// colour, then again inside the shadow pass, where the same calls draw
// only their shadow volumes.
void PlaceRing(int frame) {
    MoveEntity(0, 1.9, 0);
    RotateEntity(62, 1, 0, 0);          // stood up, leaning back a little
    RotateEntity(frame * 1.0, 0, 1, 0);  // spinning about the vertical, a degree a frame
}

void PlaceBall(int frame) {
    MoveEntity(2.6, 1.2 + 0.3 * std::sin(frame * 2 * kPi / 120), 1.4);  // bobs every two seconds
}

void DrawRing(int frame) {
    PushMatrix3D();
    PlaceRing(frame);
    DrawObjectFrame(kRing, 0);
    PopMatrix3D();
}

void DrawBall(int frame) {
    PushMatrix3D();
    PlaceBall(frame);
    DrawObjectFrame(kBall, 0);
    PopMatrix3D();
}

}  // namespace

void AppMain() {
    const UnattendedRun run = ReadUnattendedRun();
    LimitFps(60);

    BuildFloor(24, 1.5);
    LoadObject("Media/ring.ddd", kRing);
    BuildBall(0.8);
    UseFourToonBands();

    for (int frame = 0; run.Continues(frame); ++frame) {
        // 2D first: the 3D scene draws over the cleared screen and leaves
        // the text where only sky is behind it.
        ClearScreen(kSky);
        PrintText("floor and fog / lit ring from Media/ring.ddd / toon ball / shadow volumes", 8, 8);

        // The scene: near and far planes, a 55 degree field of view; the
        // camera circles the middle once a minute at 60 frames a second.
        BeginScene3D(0.5, 80, 55);
        const double around = frame * 2 * kPi / 3600 + 0.4;
        SetCamera(10 * std::sin(around), 5, 10 * std::cos(around), 0, 1.2, 0);
        SetCullMode(-1);  // front faces are counter-clockwise: back faces are not drawn

        // Fog in the colour of the sky, linear from 9 to 24 units away.
        SetFog(kSky, 0, 9, 24);

        // The toon ball first, with the effect light in toon mode (-2): its
        // brightness comes from the ramp's bands, not from the lights.
        SetLight(-2, kWhite, kLightX, kLightY, kLightZ, 0, 0, 0, 1);
        DrawBall(frame);
        SetLight(-2, kWhite, 0, 0, 0, 0, 0, 0, 0);  // cutoff 0: the effect off again

        // Light 0 shines from far away along the direction light -> origin
        // (cutoff 180: a directional light); floor and ring are lit by it.
        SetLight(0, 0xE8F4FF, kLightX, kLightY, kLightZ, -kLightX, -kLightY, -kLightZ, 180);
        // and a dim light 1 from the camera, so the sides turned away from
        // light 0 are not black
        SetCameraLight(1, 0x484848);
        DrawObjectFrame(kFloor, 0);
        DrawRing(frame);

        // Shadows: the effect light in shadow mode (-3) with a non-zero
        // cutoff starts the shadow pass; the objects drawn now only mark
        // their shadow volumes. Cutoff 0 ends the pass and darkens what lies
        // in a shadow.
        SetLight(-3, kWhite, kLightX, kLightY, kLightZ, 0, 0, 0, 1);
        DrawRing(frame);
        DrawBall(frame);
        SetLight(-3, kWhite, kLightX, kLightY, kLightZ, 0, 0, 0, 0);

        ShowScreen();
    }
    run.Finish();
}
