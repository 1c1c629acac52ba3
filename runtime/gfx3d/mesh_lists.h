// The unit of every mesh list (Vertex), the growable list the mesh keeps its
// vertices, frames and colours in, and the animation frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "platform/memory_blocks.h"

namespace vtx {

// Primitive markers: colour values that start a new primitive instead of
// naming a colour. Until the first marker a frame is read as triangles.
inline constexpr uint32_t kMarkerTriangles = 0xFFFFFFFFu;  // -1
inline constexpr uint32_t kMarkerStrip = 0xFFFFFFFEu;      // -2
inline constexpr uint32_t kMarkerFan = 0xFFFFFFFDu;        // -3
inline constexpr bool IsMarker(uint32_t colour) { return colour >= 0xFFFFFFFCu; }

// 23 32-bit slots, 92 bytes: the same layout in memory and in every buffer
// handed to GL (stride 92).
struct Vertex {
    float position[3];   // slots 0-2
    float normal[3];     // 3-5
    float uv[2];         // 6-7
    float light[3];      // 8-10: light vector written by the bump-mapping draw
    float tangent[3];    // 11-13
    float bitangent[3];  // 14-16 (14-15 double as toon-texture coordinates)
    uint32_t colour;     // 17: red bits 0-7, green 8-15, blue 16-23, or a marker
    uint8_t colourIndex; // 18: first byte; index into the colour table
    uint8_t unused[3];
    float rgba[4];       // 19-22: colour as floats 0..1, alpha 1
};
static_assert(sizeof(Vertex) == 92, "Vertex is 23 slots of 4 bytes");
static_assert(offsetof(Vertex, colour) == 17 * 4 && offsetof(Vertex, rgba) == 19 * 4);

// Sets colour value and floats: a marker is white (1, 1, 1, 1), a colour
// gives its bytes / 255 with alpha 1.
void SetVertexColour(Vertex& v, uint32_t colour);

// A growable list: when an append needs more room the new capacity is the
// minimum capacity if that suffices, otherwise growth x (needed / growth + 1).
// Elements move to the new block; the old one is freed. Growing reports
// failure (false) instead of throwing when memory runs out.
template <typename T>
class GrowList {
public:
    explicit GrowList(int32_t growth = 128, int32_t minimum = 512) : growth_(growth), minimum_(minimum) {}
    ~GrowList() { Free(items_); }
    GrowList(const GrowList&) = delete;
    GrowList& operator=(const GrowList&) = delete;
    GrowList(GrowList&& other) noexcept { *this = std::move(other); }
    GrowList& operator=(GrowList&& other) noexcept {
        if (this != &other) {
            Free(items_);
            items_ = std::exchange(other.items_, nullptr);
            count_ = std::exchange(other.count_, 0);
            capacity_ = std::exchange(other.capacity_, 0);
            growth_ = other.growth_;
            minimum_ = other.minimum_;
        }
        return *this;
    }

    void setGrowth(int32_t growth, int32_t minimum) {
        growth_ = growth < 1 ? 1 : growth;
        minimum_ = minimum < 0 ? 0 : minimum;
    }
    // Makes room for needed elements in all; false when memory ran out.
    bool reserve(int64_t needed) {
        if (needed <= capacity_) return true;
        if (needed > INT32_MAX / 2) return false;
        int64_t wanted = minimum_;
        if (wanted < needed) wanted = static_cast<int64_t>(growth_) * (needed / growth_ + 1);
        T* block = Allocate(static_cast<size_t>(wanted));
        if (block == nullptr) return false;
        if constexpr (kPlain) {
            if (count_ > 0) std::memcpy(block, items_, sizeof(T) * static_cast<size_t>(count_));
        } else {
            for (int32_t i = 0; i < count_; ++i) block[i] = std::move(items_[i]);
        }
        Free(items_);
        items_ = block;
        capacity_ = static_cast<int32_t>(wanted);
        return true;
    }
    bool push(T item) {
        if (!reserve(static_cast<int64_t>(count_) + 1)) return false;
        items_[count_++] = std::move(item);
        return true;
    }
    // Appends a default element and returns it; null when memory ran out.
    T* grow() {
        if (!reserve(static_cast<int64_t>(count_) + 1)) return nullptr;
        items_[count_] = T();
        return &items_[count_++];
    }
    // Appends n elements for the caller to fill (left as default
    // initialisation makes them); null when memory ran out.
    T* extend(int32_t n) {
        if (n < 0 || !reserve(static_cast<int64_t>(count_) + n)) return nullptr;
        T* first = items_ + count_;
        count_ += n;
        return first;
    }
    // Empties the list; keeps the block unless release is set.
    void clear(bool release) {
        if (release) {
            Free(items_);
            items_ = nullptr;
            capacity_ = 0;
        } else if constexpr (!kPlain) {
            for (int32_t i = 0; i < count_; ++i) items_[i] = T();
        }
        count_ = 0;
    }
    int32_t count() const { return count_; }
    int32_t capacity() const { return capacity_; }
    T* data() { return items_; }
    const T* data() const { return items_; }
    T& operator[](int32_t i) { return items_[i]; }
    const T& operator[](int32_t i) const { return items_[i]; }
    T* begin() { return items_; }
    T* end() { return items_ + count_; }
    const T* begin() const { return items_; }
    const T* end() const { return items_ + count_; }

private:
    // Plain elements (vertices, colours) live in platform blocks, copied
    // byte for byte; others (frames) are constructed and moved.
    static constexpr bool kPlain = std::is_trivially_copyable_v<T> && std::is_trivially_default_constructible_v<T>;
    static T* Allocate(size_t n) {
        if constexpr (kPlain) {
            if (n > SIZE_MAX / sizeof(T)) return nullptr;
            return static_cast<T*>(platform::AllocateBlock(n * sizeof(T)));
        } else {
            return new (std::nothrow) T[n];
        }
    }
    static void Free(T* items) {
        if constexpr (kPlain) platform::FreeBlock(items);
        else delete[] items;
    }

    T* items_ = nullptr;
    int32_t count_ = 0;
    int32_t capacity_ = 0;
    int32_t growth_ = 128;
    int32_t minimum_ = 512;
};

// One animation frame: the vertices as built or loaded (markers included)
// and their expansion into a plain triangle list with its bounding sphere.
struct Frame {
    GrowList<Vertex> vertices;
    GrowList<Vertex> triangles;
    float radius = 0.0f;
    float centre[3] = {0.0f, 0.0f, 0.0f};
};

}  // namespace vtx
