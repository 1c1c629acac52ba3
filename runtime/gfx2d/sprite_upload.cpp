// Turning a decoded picture into a texture: power-of-two padding, vertical
// flip, colour bleeding of transparent texels, filters, normal maps and the
// square mip-mapped copy built on the processor.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "gfx2d/draw_batch.h"
#include "gfx2d/image_buffer.h"
#include "gfx2d/sprite_store.h"

namespace vtx {

// Transparent texels take the average colour of their opaque inner
// neighbours, so linear filtering does not pull black into sprite edges.
void BleedColours(std::vector<uint8_t>& t, int32_t tw, int32_t th) {
    for (int32_t y = 0; y < th; ++y) {
        for (int32_t x = 0; x < tw; ++x) {
            uint8_t* texel = &t[(static_cast<size_t>(y) * tw + x) * 4];
            if (texel[3] != 0) continue;
            int sum[3] = {0, 0, 0};
            int count = 0;
            for (int32_t ny = y - 1; ny <= y + 1; ++ny) {
                if (ny < 1 || ny > th - 2) continue;
                for (int32_t nx = x - 1; nx <= x + 1; ++nx) {
                    if (nx < 1 || nx > tw - 2 || (nx == x && ny == y)) continue;
                    const uint8_t* n = &t[(static_cast<size_t>(ny) * tw + nx) * 4];
                    if (n[3] == 0) continue;
                    sum[0] += n[0];
                    sum[1] += n[1];
                    sum[2] += n[2];
                    ++count;
                }
            }
            for (int c = 0; c < 3; ++c) texel[c] = count != 0 ? static_cast<uint8_t>(sum[c] / count) : 0;
        }
    }
}

void SetUnpackState() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
}

void NewTexture(GLuint& name, GLint magFilter, GLint minFilter) {
    if (name != 0) glDeleteTextures(1, &name);
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
}

namespace {

using Texels = std::vector<uint8_t>;

// Height field (blue) to normal map, neighbours wrapping at the edges.
void ConvertToNormalMap(Texels& t, int32_t w, int32_t h) {
    Texels out(t.size());
    auto height = [&](int32_t x, int32_t y) {
        x = (x % w + w) % w;
        y = (y % h + h) % h;
        return t[(static_cast<size_t>(y) * w + x) * 4 + 2] / 255.0;
    };
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const double gx = -((height(x + 1, y + 1) + 2 * height(x + 1, y) + height(x + 1, y - 1)) -
                                (height(x - 1, y + 1) + 2 * height(x - 1, y) + height(x - 1, y - 1)));
            const double gy = -((height(x - 1, y - 1) + 2 * height(x, y - 1) + height(x + 1, y - 1)) -
                                (height(x - 1, y + 1) + 2 * height(x, y + 1) + height(x + 1, y + 1)));
            const double s = 1.0 / std::sqrt(gx * gx + gy * gy + 1.0);
            const size_t i = (static_cast<size_t>(y) * w + x) * 4;
            out[i] = static_cast<uint8_t>((gx * s + 1) * 0.5 * 255);
            out[i + 1] = static_cast<uint8_t>((gy * s + 1) * 0.5 * 255);
            out[i + 2] = static_cast<uint8_t>((s + 1) * 0.5 * 255);
            out[i + 3] = t[i + 3];
        }
    }
    t.swap(out);
}

// Halves the width: each texel the byte-wise average of two neighbours.
Texels HalveWidth(const Texels& t, int32_t w, int32_t h) {
    const int32_t nw = std::max(w / 2, 1);
    Texels out(static_cast<size_t>(nw) * h * 4);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < nw; ++x)
            for (int c = 0; c < 4; ++c) {
                const size_t a = (static_cast<size_t>(y) * w + std::min(2 * x, w - 1)) * 4 + c;
                const size_t b = (static_cast<size_t>(y) * w + std::min(2 * x + 1, w - 1)) * 4 + c;
                out[(static_cast<size_t>(y) * nw + x) * 4 + c] = static_cast<uint8_t>((t[a] + t[b]) >> 1);
            }
    return out;
}

// Halves the height the same way.
Texels HalveHeight(const Texels& t, int32_t w, int32_t h) {
    const int32_t nh = std::max(h / 2, 1);
    Texels out(static_cast<size_t>(w) * nh * 4);
    for (int32_t y = 0; y < nh; ++y) {
        const size_t a = static_cast<size_t>(std::min(2 * y, h - 1)) * w * 4;
        const size_t b = static_cast<size_t>(std::min(2 * y + 1, h - 1)) * w * 4;
        for (size_t i = 0; i < static_cast<size_t>(w) * 4; ++i)
            out[static_cast<size_t>(y) * w * 4 + i] = static_cast<uint8_t>((t[a + i] + t[b + i]) >> 1);
    }
    return out;
}

// The square copy and its mip levels down to 1 x 1.
void UploadMipTexture(Texels t, int32_t w, int32_t h, GLuint& name) {
    SetUnpackState();
    NewTexture(name, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR);
    while (w > h) {
        t = HalveWidth(t, w, h);
        w = std::max(w / 2, 1);
    }
    while (h > w) {
        t = HalveHeight(t, w, h);
        h = std::max(h / 2, 1);
    }
    for (GLint level = 0;; ++level) {
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, t.data());
        if (w == 1 && h == 1) break;
        if (w > 1) {
            t = HalveWidth(t, w, h);
            w /= 2;
        }
        if (h > 1) {
            t = HalveHeight(t, w, h);
            h /= 2;
        }
    }
}

}  // namespace

int32_t TextureSizeFor(int32_t n) {
    int32_t size = 8;
    do size *= 2;
    while (size < n && size < (1 << 29));
    return size;
}

bool UploadTexture(const ImageBuffer& image, int32_t x0, int32_t y0, int32_t w, int32_t h, GLuint& texture,
                   GLuint* mipTexture, bool normalMap, bool font) {
    FlushDrawBatch();  // binding the new texture ends the batch's GL state
    GLint maxSize = 0;                                                        // 1
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (w == 0) w = image.width - x0;
    if (h == 0) h = image.height - y0;
    if (w < 1 || h < 1) return false;
    w = std::min(w, maxSize);                                                 // 2
    h = std::min(h, maxSize);
    const int32_t tw = TextureSizeFor(w);                                     // 3
    const int32_t th = TextureSizeFor(h);
    Texels t(static_cast<size_t>(tw) * th * 4, 0);                            // 4
    const int32_t xEnd = std::min({image.width, x0 + tw, x0 + w});            // 5
    const int32_t yEnd = std::min({image.height, y0 + th, y0 + h});
    const int32_t xStart = std::max(x0, 0);
    for (int32_t y = std::max(y0, 0); y < yEnd; ++y) {
        if (xEnd <= xStart) break;
        const uint8_t* from = image.pixels + (static_cast<size_t>(y) * image.width + xStart) * 4;
        uint8_t* to = &t[(static_cast<size_t>(h - 1 - (y - y0)) * tw + (xStart - x0)) * 4];
        std::memcpy(to, from, static_cast<size_t>(xEnd - xStart) * 4);
    }
    if (!font) BleedColours(t, tw, th);                                       // 6
    SetUnpackState();                                                         // 7
    const GLint filter = font ? GL_NEAREST : GL_LINEAR;
    NewTexture(texture, filter, filter);
    if (normalMap) ConvertToNormalMap(t, tw, th);                             // 8
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE, t.data());  // 9
    if (mipTexture != nullptr) UploadMipTexture(std::move(t), tw, th, *mipTexture);  // 10
    return true;                                                              // 11
}

}  // namespace vtx
