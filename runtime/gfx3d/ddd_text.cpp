// The text .ddd reader: a "DDDA" line, then numbers separated by white space
// ("#" comments to the end of the line): version, texture pairs, polygons
// (colour and index pairs), frames of vertices. Each polygon becomes a fan.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ddd_format.h"

namespace vtx {
namespace {

class NumberReader {
public:
    NumberReader(const uint8_t* data, size_t size, size_t start) : data_(data), size_(size), at_(start) {}

    // The next number; false at the end of the data or on a word that is
    // not a number as a whole.
    bool number(double& value) {
        skipSeparators();
        const size_t start = at_;
        while (at_ < size_ && !IsSeparator(data_[at_]) && data_[at_] != '#') ++at_;
        const size_t length = at_ - start;
        if (length == 0 || length >= sizeof word_) return false;
        std::memcpy(word_, data_ + start, length);
        word_[length] = 0;
        char* end = nullptr;
        value = std::strtod(word_, &end);
        return end == word_ + length;
    }
    // A finite number.
    bool finite(float& value) {
        double d = 0;
        if (!number(d) || !std::isfinite(d) || std::fabs(d) > 3.4e38) return false;
        value = static_cast<float>(d);
        return true;
    }
    // A count or index: truncated toward zero, 0 .. INT32_MAX.
    bool whole(int32_t& value) {
        double d = 0;
        if (!number(d) || !(d > -1.0 && d < 2147483648.0)) return false;
        value = static_cast<int32_t>(d);
        return true;
    }

private:
    static bool IsSeparator(uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    void skipSeparators() {
        while (at_ < size_) {
            if (IsSeparator(data_[at_])) {
                ++at_;
            } else if (data_[at_] == '#') {
                while (at_ < size_ && data_[at_] != '\n') ++at_;
            } else {
                break;
            }
        }
    }

    const uint8_t* data_;
    size_t size_;
    size_t at_;
    char word_[128];
};

struct Corner {
    int32_t vertex;
    int32_t texture;
};

struct Polygon {
    uint32_t colour;
    std::vector<Corner> corners;
};

struct FilePoint {
    float position[3];
    float normal[3];
};

}  // namespace

DddResult ReadTextDdd(MeshObject& mesh, const uint8_t* data, size_t size) {
    // First line: up to the line feed, at most 511 characters, CR removed.
    size_t lineEnd = 0;
    while (lineEnd < size && lineEnd < 511 && data[lineEnd] != '\n') ++lineEnd;
    size_t lineLength = lineEnd;
    if (lineLength > 0 && data[lineLength - 1] == '\r') --lineLength;
    if (lineLength != 4 || std::memcmp(data, "DDDA", 4) != 0) return DddResult::kNotDdd;
    NumberReader in(data, size, lineEnd);

    double version = 0;
    if (!in.number(version)) return DddResult::kReadError;
    if (!(version <= kDddTextVersion)) return DddResult::kNotDdd;
    const bool withNormals = version >= kDddTextVersion;

    // Lists grow with what is actually read, never with a count alone.
    int32_t pairCount = 0;
    if (!in.whole(pairCount)) return DddResult::kReadError;
    std::vector<float> pairs;
    for (int32_t i = 0; i < pairCount; ++i) {
        float u = 0;
        float v = 0;
        if (!in.finite(u) || !in.finite(v)) return DddResult::kReadError;
        pairs.push_back(u);
        pairs.push_back(v);
    }

    int32_t polygonCount = 0;
    if (!in.whole(polygonCount)) return DddResult::kReadError;
    std::vector<Polygon> polygons;
    int64_t perFrame = 0;  // vertices one frame expands to
    for (int32_t p = 0; p < polygonCount; ++p) {
        float rgb[3];
        int32_t k = 0;
        if (!in.finite(rgb[0]) || !in.finite(rgb[1]) || !in.finite(rgb[2]) || !in.whole(k))
            return DddResult::kReadError;
        Polygon polygon;
        uint32_t colour = 0;
        for (int c = 0; c < 3; ++c) {
            const float clamped = rgb[c] < 0 ? 0 : (rgb[c] > 255 ? 255 : rgb[c]);
            colour |= static_cast<uint32_t>(clamped) << (8 * c);
        }
        polygon.colour = colour;
        for (int32_t i = 0; i < k; ++i) {
            Corner corner{};
            if (!in.whole(corner.vertex) || !in.whole(corner.texture)) return DddResult::kReadError;
            if (pairCount > 0 && corner.texture >= pairCount) return DddResult::kReadError;
            polygon.corners.push_back(corner);
        }
        perFrame += 1 + k;
        polygons.push_back(std::move(polygon));
    }

    int32_t frameCount = 0;
    if (!in.whole(frameCount) || frameCount == 0) return DddResult::kReadError;
    const int64_t limit = kTextVerticesPerByte * static_cast<int64_t>(size) + 1024;
    int64_t expanded = 0;
    std::vector<FilePoint> points;
    // Each frame takes at least two bytes of the file.
    if (!mesh.frames.reserve(frameCount < static_cast<int64_t>(size / 2) ? frameCount : static_cast<int64_t>(size / 2)))
        return DddResult::kMallocError;
    for (int32_t f = 0; f < frameCount; ++f) {
        int32_t n = 0;
        if (!in.whole(n)) return DddResult::kReadError;
        points.clear();
        for (int32_t i = 0; i < n; ++i) {
            FilePoint point{};
            for (float& c : point.position) {
                if (!in.finite(c)) return DddResult::kReadError;
            }
            if (withNormals) {
                for (float& c : point.normal) {
                    if (!in.finite(c)) return DddResult::kReadError;
                }
            }
            points.push_back(point);
        }
        expanded += perFrame;
        if (expanded > limit) return DddResult::kReadError;
        Frame* frame = mesh.frames.grow();
        if (frame == nullptr || !frame->vertices.reserve(perFrame)) return DddResult::kMallocError;
        for (const Polygon& polygon : polygons) {
            Vertex marker{};
            SetVertexColour(marker, kMarkerFan);
            frame->vertices.push(marker);
            for (const Corner& corner : polygon.corners) {
                if (corner.vertex >= n) return DddResult::kReadError;
                const FilePoint& point = points[static_cast<size_t>(corner.vertex)];
                Vertex v{};
                std::memcpy(v.position, point.position, sizeof v.position);
                std::memcpy(v.normal, point.normal, sizeof v.normal);
                if (!pairs.empty()) {
                    v.uv[0] = pairs[static_cast<size_t>(corner.texture) * 2];
                    v.uv[1] = -pairs[static_cast<size_t>(corner.texture) * 2 + 1];
                }
                SetVertexColour(v, polygon.colour);
                frame->vertices.push(v);
            }
        }
    }
    RebuildColourTable(mesh);
    if (withNormals) mesh.normalsValid = 1;
    return DddResult::kOk;
}

}  // namespace vtx
