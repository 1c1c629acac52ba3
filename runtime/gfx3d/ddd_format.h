// The .ddd object file: a binary form (version 2.0, and the older versions
// 1.02 up to 2.0 with quantised positions) and a text form headed "DDDA".
// The readers and the writer work on byte buffers so they can be tested and
// fuzzed without files; LoadDDD and SaveDDD (mesh.h) add the file and the
// error log.
//
// Every count and index of a file is checked against what the file and the
// mesh hold before anything is allocated for it: a file can never make the
// reader allocate more than a small multiple of its own size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "mesh.h"

namespace vtx {

inline constexpr int32_t kDddMagic = 13021975;  // bytes 17 B3 C6 00
inline constexpr double kDddVersion = 2.0;
inline constexpr double kDddOldestVersion = 1.02;
inline constexpr double kDddTextVersion = 1.1;
// A text file's polygons are repeated in every frame; its expansion is
// capped at this many vertices per byte of the file.
inline constexpr int64_t kTextVerticesPerByte = 8;

enum class DddResult {
    kOk,
    kNotDdd,        // text without the "DDDA" line or above its version: fails silently
    kWrongVersion,  // binary version outside 1.02 .. 2.0
    kReadError,     // short, or a count or index beyond what the file or mesh holds
    kMallocError,   // a list could not grow
};

// True when the bytes start with the binary magic.
bool HasDddMagic(const uint8_t* data, size_t size);
// Reads a binary file into an empty mesh (frames, colour table, normals
// valid). On failure the mesh may hold part of the file: the caller empties it.
DddResult ReadBinaryDdd(MeshObject& mesh, const uint8_t* data, size_t size);
// Reads a text file into an empty mesh: each polygon becomes a fan.
DddResult ReadTextDdd(MeshObject& mesh, const uint8_t* data, size_t size);
// Either of the two, by the magic.
DddResult ReadDdd(MeshObject& mesh, const uint8_t* data, size_t size);
// The version 2.0 bytes of a mesh; false (nothing to write) for a mesh
// without frames, with more colour values than an 8-bit index can name, or
// with a colour index beyond its colour table.
bool EncodeDdd(const MeshObject& mesh, std::vector<uint8_t>& bytes);

}  // namespace vtx
