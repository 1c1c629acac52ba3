// The bunnymark scene with SFML: N copies of the 32 x 32 picture, blended,
// bouncing across a 640 x 480 window, frame limit and vsync off, depth 24 and
// stencil 8 asked for. Mode "sprites" draws one sf::Sprite per bunny (one draw
// call each); mode "array" puts every bunny into one sf::VertexArray of quads.
// Prints "<N> <fps>" and the framebuffer that was granted on standard error.
// Usage: sfml_bunnymark PICTURE sprites|array N SECONDS
// A negative SECONDS -F measures exactly F frames.
#include <SFML/Graphics.hpp>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
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
    if (argc != 5) {
        std::fprintf(stderr, "usage: sfml_bunnymark PICTURE sprites|array N SECONDS\n");
        return 2;
    }
    const std::string mode = argv[2];
    const int count = std::atoi(argv[3]);
    const double seconds = std::atof(argv[4]);
    sf::ContextSettings settings(24, 8, 0);
    sf::RenderWindow window(sf::VideoMode(640, 480), "bunnymark", sf::Style::Titlebar | sf::Style::Close, settings);
    window.setVerticalSyncEnabled(false);
    window.setFramerateLimit(0);
    const sf::ContextSettings granted = window.getSettings();
    std::fprintf(stderr, "sfml: depth %u stencil %u\n", granted.depthBits, granted.stencilBits);
    sf::Texture texture;
    if (!texture.loadFromFile(argv[1])) return 1;
    texture.setSmooth(true);  // linear filtering, as the runtime's default
    std::vector<Bunny> bunnies = MakeBunnies(count);
    sf::Sprite sprite(texture);
    sf::VertexArray quads(sf::Quads, static_cast<size_t>(count) * 4);
    const auto frame = [&] {
        sf::Event event;
        while (window.pollEvent(event)) {
        }
        Move(bunnies);
        window.clear();
        if (mode == "sprites") {
            for (const Bunny& b : bunnies) {
                sprite.setPosition(static_cast<float>(static_cast<int>(b.x)), static_cast<float>(static_cast<int>(b.y)));
                window.draw(sprite);
            }
        } else {
            for (size_t i = 0; i < bunnies.size(); ++i) {
                const float x = static_cast<float>(static_cast<int>(bunnies[i].x));
                const float y = static_cast<float>(static_cast<int>(bunnies[i].y));
                sf::Vertex* q = &quads[i * 4];
                q[0] = sf::Vertex({x, y}, {0, 0});
                q[1] = sf::Vertex({x + 32, y}, {32, 0});
                q[2] = sf::Vertex({x + 32, y + 32}, {32, 32});
                q[3] = sf::Vertex({x, y + 32}, {0, 32});
            }
            window.draw(quads, &texture);
        }
        window.display();
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
    return 0;
}
