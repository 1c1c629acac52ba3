// PlayMovie: a movie over the program's window, until it ends or a key or a
// mouse button is pressed.
#include <GL/gl.h>

#include <memory>

#include "audio/audio_engine.h"
#include "audio/movie_layout.h"
#include "audio/movie_player.h"
#include "audio/music_commands.h"
#include "audio/music_service.h"
#include "files/pack_resolver_internal.h"
#include "gfx2d/draw_batch.h"
#include "gfx2d/presented_frame.h"
#include "host/clock.h"
#include "host/debug_output.h"
#include "host/frames_internal.h"
#include "host/graphics_backend.h"
#include "input/keyboard_state.h"
#include "platform/mouse_buttons.h"
#include "platform/window.h"

namespace vtx {
namespace {

// A key or mouse button held, or pressed since pressesBefore (a tap shorter
// than a frame ends the movie too; one from before the movie does not).
bool AnyKeyOrButtonDown(uint32_t pressesBefore) {
    PollKeyboardState();
    if (PressCount() != pressesBefore) return true;
    for (int code = 0; code < kKeyCount; ++code)
        if (KeyHeld(code)) return true;
    return platform::AnyMouseButtonDown();
}

// One picture in the destination rectangle, black around it, then shown.
class MovieScreen {
public:
    MovieScreen(OpenGLRidezoda& gfx, const MoviePlayer& movie, MovieRect rect) : gfx_(gfx), rect_(rect) {
        FlushDrawBatch();
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, movie.Width(), movie.Height(), 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        width_ = movie.Width();
        height_ = movie.Height();
    }
    ~MovieScreen() {
        glDeleteTextures(1, &texture_);
        glPopClientAttrib();
        glPopAttrib();
    }
    MovieScreen(const MovieScreen&) = delete;
    MovieScreen& operator=(const MovieScreen&) = delete;

    void Show(const std::vector<uint8_t>& rgba) {
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glViewport(0, 0, gfx_.width, gfx_.height);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0.0, gfx_.width, gfx_.height, 0.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        for (GLenum cap : {GL_BLEND, GL_ALPHA_TEST, GL_DEPTH_TEST, GL_STENCIL_TEST, GL_LIGHTING, GL_CULL_FACE})
            glDisable(cap);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0), glVertex2i(rect_.left, rect_.top);
        glTexCoord2f(1, 0), glVertex2i(rect_.right, rect_.top);
        glTexCoord2f(1, 1), glVertex2i(rect_.right, rect_.bottom);
        glTexCoord2f(0, 1), glVertex2i(rect_.left, rect_.bottom);
        glEnd();
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        KeepPresentedFrame(gfx_);  // what the user sees, for read-backs
        platform::SwapBuffers(gfx_.window);
    }

private:
    OpenGLRidezoda& gfx_;
    MovieRect rect_;
    GLuint texture_ = 0;
    int32_t width_ = 0, height_ = 0;
};

}  // namespace
}  // namespace vtx

int32_t PlayMovie(const RtString& file, int32_t loop) {
    using namespace vtx;
    RtString name;
    if (!ResolveFile(MediaResolver(), file, name, false)) {                           // 1
        ReportFailedLoad("PlayMovie", file, "no such file");
        return 3;
    }
    if (GraphicsBackEnd == nullptr) return 3;
    OpenGLRidezoda& gfx = *GraphicsBackEnd;
    StartAudioOutput();                                                               // 2
    MoviePlayer movie(Audio().mixer);
    if (!movie.Open(name.c_str())) {
        ReportFailedLoad("PlayMovie", file, "not a movie that can be played");
        return 3;
    }
    const double end = movie.LengthMs();                                              // 3
    // The picture fills the window keeping its shape, centred; the whole
    // rectangle is drawn (nothing is cut off at the right).
    const MovieRect rect = MovieDestination(movie.Width(), movie.Height(), gfx.width, gfx.height);  // 4
    std::unique_ptr<MovieScreen> screen;
    if (movie.Width() > 0) screen = std::make_unique<MovieScreen>(gfx, movie, rect);
    for (uint32_t presses = PressCount(); AnyKeyOrButtonDown(presses); presses = PressCount()) {  // 5
        MusicLoopService();
        PumpMessages(gfx, LookUpMessageHook());
        SleepMs(10);
    }
    const uint32_t pressesBefore = PressCount();
    movie.Play();                                                                     // 6
    double started = ReadClock();
    double position = 0;
    while (position < end) {                                                          // 7
        position = ReadClock() - started;
        if (AnyKeyOrButtonDown(pressesBefore)) break;
        MusicLoopService();
        PumpMessages(gfx, LookUpMessageHook());  // a close request ends the program here
        if (movie.Advance(position) && screen != nullptr) screen->Show(movie.Picture());
        if (loop != 0 && position >= end) {
            if (!movie.Rewind()) break;
            started = ReadClock();
            position = -1;
        }
        SleepMs(2);
    }
    return 0;                                                                         // 8
}

int32_t PlayMovie(const RtString& file) { return PlayMovie(file, 0); }
