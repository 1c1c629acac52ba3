// FadeToBackground: an additive cross-fade from the current frame to a
// picture, timed by the runtime clock, which then becomes the background.
#include <GL/gl.h>

#include "files/last_error_internal.h"
#include "files/pack_resolver_internal.h"
#include "gfx2d/background_layers.h"
#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/screen_commands.h"
#include "host/clock.h"
#include "host/debug_output.h"
#include "host/frames_internal.h"
#include "host/graphics_backend.h"

namespace vtx {
namespace {

constexpr uint32_t kNoSuchFile = 3;
constexpr int32_t kNewPicture = 1;
constexpr int32_t kOldFrame = 2;

}  // namespace
}  // namespace vtx

void FadeToBackground(const RtString& file, int32_t duration) {
    using namespace vtx;
    ClearLastError();                                                         // 1
    if (GraphicsBackEnd == nullptr) return;
    OpenGLRidezoda& gfx = *GraphicsBackEnd;
    RtString resolved;
    if (!ResolveFile(LoaderResolver(), file, resolved, true)) {
        SetLastError(kNoSuchFile);
        ReportFailedLoad("FadeToBackground", file, "no such file");
        return;
    }
    GrabBackgroundLayer(kOldFrame);                                           // 2
    LoadBackgroundLayer(kNewPicture, resolved.c_str());
    ClearBackgroundLayer(0);
    FlushDrawBatch();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // A duration of 0 or less has no frames to fade over: the first frame
    // is shown once and the fade ends.
    const double end = ReadClock() + duration;                                // 3
    double h = 0.9;
    do {                                                                      // 4
        SetAlphaMode(h);
        DrawBackgroundLayer(kOldFrame);
        SetAlphaMode(1.0 - h);
        DrawBackgroundLayer(kNewPicture);
        PresentFrame(gfx, LookUpMessageHook());
        h = duration > 0 ? (end - ReadClock()) / duration : 0.0;
    } while (h > 0.0 && h < 1.0);
    ClearBackgroundLayer(kNewPicture);                                        // 5
    ClearBackgroundLayer(kOldFrame);
    if (!LoadBackgroundLayer(0, resolved.c_str())) {
        SetLastError(kNoSuchFile);
        ReportFailedLoad("FadeToBackground", file, "not a BMP, PNG or JPEG picture that can be read");
    }
    SetAlphaMode(0);
    DrawBackgroundLayer(0);
    PresentFrame(gfx, LookUpMessageHook());
}
