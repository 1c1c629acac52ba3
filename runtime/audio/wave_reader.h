// The sound slots' own RIFF/WAVE reader: a disk file or a memory name into
// decoded samples.
#pragma once

#include "audio/mixer.h"

namespace vtx {

// Reads the "fmt " and "data" chunks of a WAVE file. Integer PCM of 8, 16,
// 24 or 32 bits (any format tag is read as PCM), IEEE float (tag 3) and
// WAVE_FORMAT_EXTENSIBLE with a PCM or float sub-format; 1 channel, or 2
// (files with more channels are refused). A memory name that ends early
// leaves the rest of the sound silent; a disk file that ends early fails.
bool ReadWave(const char* name, SampleBlock& block);

}  // namespace vtx
