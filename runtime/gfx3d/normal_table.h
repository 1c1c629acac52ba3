// The table of 162 unit directions behind a file's one-byte normal index.
#pragma once

namespace vtx {

inline constexpr int kNormalCount = 162;
extern const float kNormalTable[kNormalCount][3];

// The entry nearest to normal n as the writer picks it: n is normalised
// (taken as 0 when its square is at most 1e-7), then the entry e with the
// smallest |n . (n - e)| wins, later entries winning ties, stopping early
// at an exact 0.
int NearestNormalIndex(const float* n);

}  // namespace vtx
