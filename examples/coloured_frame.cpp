// Opens the program's window and shows a slowly changing coloured frame for
// five seconds. Escape (or Alt+F4, or closing the window) ends it earlier.
// The drawing commands arrive later; until then this example draws with
// plain OpenGL in the runtime's 2D projection (pixels, (0, 0) at the top left).
#include <GL/gl.h>

#include <cmath>

#include <vantrix/vantrix.h>

void ApplyProjectSettings() {
    ProjectSettings.title = "Vantrix: coloured frame";
}

void AppMain() {
    LimitFps(60);
    while (GetElapsedTime() < 5000.0) {
        const double t = GetElapsedTime() / 1000.0;
        const float r = static_cast<float>(0.5 + 0.5 * std::sin(t * 1.3));
        const float g = static_cast<float>(0.5 + 0.5 * std::sin(t * 1.7 + 2.0));
        const float b = static_cast<float>(0.5 + 0.5 * std::sin(t * 2.3 + 4.0));
        // Border: the frame colour; inside: a darker shade of it.
        glColor3f(r, g, b);
        glRecti(0, 0, 640, 480);
        glColor3f(r * 0.25f, g * 0.25f, b * 0.25f);
        glRecti(40, 40, 600, 440);
        ShowScreen();
    }
}
