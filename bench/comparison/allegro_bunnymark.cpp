// The bunnymark scene with Allegro 5: N copies of the 32 x 32 picture,
// blended, bouncing across a 640 x 480 OpenGL window, vsync off, depth 24
// and stencil 8 required, every frame drawn with held bitmap drawing
// (al_hold_bitmap_drawing), linear filtering.
// Prints "<N> <fps>" and the framebuffer that was granted on standard error.
// Usage: allegro_bunnymark PICTURE N SECONDS
// A negative SECONDS -F measures exactly F frames.
#include <allegro5/allegro.h>
#include <allegro5/allegro_image.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Bunny {
    double x, y, vx, vy;
};

// The Park-Miller generator every implementation uses.
double NextRandom(double& state) {
    state = std::fmod(state * 16807.0, 2147483647.0);
    return state / 2147483647.0;
}

// Start positions and speeds as in bench/bunnymark.cpp.
std::vector<Bunny> MakeBunnies(int count) {
    double state = 12345.0;
    std::vector<Bunny> bunnies(static_cast<size_t>(count));
    for (Bunny& b : bunnies) {
        b.x = NextRandom(state) * (640 - 32);
        b.y = NextRandom(state) * (480 - 32);
        b.vx = NextRandom(state) * 8.0 - 4.0;
        b.vy = NextRandom(state) * 8.0 - 4.0;
    }
    return bunnies;
}

// One step of every bunny, bouncing off the edges.
void Move(std::vector<Bunny>& bunnies) {
    const double maxX = 640 - 32, maxY = 480 - 32;
    for (Bunny& b : bunnies) {
        b.x += b.vx;
        b.y += b.vy;
        if (b.x < 0) { b.x = -b.x; b.vx = -b.vx; }
        if (b.x > maxX) { b.x = 2 * maxX - b.x; b.vx = -b.vx; }
        if (b.y < 0) { b.y = -b.y; b.vy = -b.vy; }
        if (b.y > maxY) { b.y = 2 * maxY - b.y; b.vy = -b.vy; }
    }
}

}  // namespace

// Runs the scene and prints its frames per second.
int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: allegro_bunnymark PICTURE N SECONDS\n");
        return 2;
    }
    const int count = std::atoi(argv[2]);
    const double seconds = std::atof(argv[3]);
    if (!al_init() || !al_init_image_addon()) return 1;
    al_set_new_display_flags(ALLEGRO_OPENGL | ALLEGRO_WINDOWED);
    al_set_new_display_option(ALLEGRO_DEPTH_SIZE, 24, ALLEGRO_REQUIRE);
    al_set_new_display_option(ALLEGRO_STENCIL_SIZE, 8, ALLEGRO_REQUIRE);
    al_set_new_display_option(ALLEGRO_VSYNC, 2, ALLEGRO_SUGGEST);  // 2: off
    ALLEGRO_DISPLAY* display = al_create_display(640, 480);
    if (display == nullptr) return 1;
    std::fprintf(stderr, "allegro: depth %d stencil %d\n", al_get_display_option(display, ALLEGRO_DEPTH_SIZE),
                 al_get_display_option(display, ALLEGRO_STENCIL_SIZE));
    al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP | ALLEGRO_MIN_LINEAR | ALLEGRO_MAG_LINEAR);
    ALLEGRO_BITMAP* picture = al_load_bitmap(argv[1]);
    if (picture == nullptr) return 1;
    std::vector<Bunny> bunnies = MakeBunnies(count);
    const auto frame = [&] {
        Move(bunnies);
        al_clear_to_color(al_map_rgb(0, 0, 0));
        al_hold_bitmap_drawing(true);
        for (const Bunny& b : bunnies)
            al_draw_bitmap(picture, static_cast<float>(static_cast<int>(b.x)), static_cast<float>(static_cast<int>(b.y)), 0);
        al_hold_bitmap_drawing(false);
        al_flip_display();
    };
    for (int i = 0; i < 5; ++i) frame();
    const auto start = std::chrono::steady_clock::now();
    int frames = 0;
    double elapsed = 0;
    do {
        frame();
        ++frames;
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    } while (seconds < 0 ? frames < -seconds : elapsed < seconds || frames < 3);
    std::printf("%d %.1f\n", count, frames / elapsed);
    al_destroy_bitmap(picture);
    al_destroy_display(display);
    return 0;
}
