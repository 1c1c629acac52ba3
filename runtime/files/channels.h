// File channels: eight numbered channels (0 to 7) over RtFile, read and
// written value by value. Integers and floating values are little-endian,
// with no headers or padding; text lines are written with CR LF and read up
// to LF or CR LF, at most 1024 characters a line.
//
// Opening failures are soft (false, last error 3). A channel number above 7
// (last error 7) and any failed read or write (last error 3) end the
// program through the end sequence, with that code as its exit status.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Opens channel on name. Mode 1 or more reads (disk file, memory name, or an
// entry of the pack archive); 0 writes a new file; negative appends to a file,
// creating it when missing. True when the channel now holds a file.
bool OpenChannel(uint32_t channel, const RtString& name, int32_t mode);
// Closes the channel; last error 0.
void CloseChannel(uint32_t channel);
// The lowest channel that holds no file, or -1 when all eight are in use.
int32_t FreeChannel();
// True when the read position is at or beyond the size; always true for a
// channel opened for writing or appending.
bool ChannelEnd(uint32_t channel);
// The read position: bytes consumed by reads or set by a seek.
int32_t ChannelPosition(uint32_t channel);
// Origin 0: position = distance; above 0: position + distance; below 0:
// size + distance. A disk file's offset moves alike and the new offset is
// returned; a memory file returns the new position.
int32_t SeekChannel(uint32_t channel, int32_t distance, int32_t origin);

// Reads a little-endian integer of 8, 16 or 32 bits, signed or unsigned,
// into value; a read past the end ends the program (last error 3).
void ReadInt8(uint32_t channel, int32_t& value);
void ReadUInt8(uint32_t channel, int32_t& value);
void ReadInt16(uint32_t channel, int32_t& value);
void ReadUInt16(uint32_t channel, int32_t& value);
void ReadInt32(uint32_t channel, int32_t& value);
// The same 32 bits as ReadInt32, delivered in a 32-bit integer.
void ReadUInt32(uint32_t channel, int32_t& value);
// An IEEE single widened to a double.
void ReadFloat32(uint32_t channel, double& value);
void ReadFloat64(uint32_t channel, double& value);
// Reads n bytes as they are (zero bytes stay part of the text); n <= 0
// gives the empty text and reads nothing.
void ReadChars(uint32_t channel, RtString& text, int32_t n);
// Reads one line without its LF or CR LF; a line of more than 1024
// characters comes as lines of 1024. Reading at the end ends the program.
void ReadLine(uint32_t channel, RtString& line);
// A line read as a number or an integer by the text-to-number rules.
void ReadLineNumber(uint32_t channel, double& value);
void ReadLineInteger(uint32_t channel, int32_t& value);

// Writes the low 8, 16 or all 32 bits; signed and unsigned write the same bytes.
void WriteInt8(uint32_t channel, int32_t value);
void WriteUInt8(uint32_t channel, int32_t value);
void WriteInt16(uint32_t channel, int32_t value);
void WriteUInt16(uint32_t channel, int32_t value);
void WriteInt32(uint32_t channel, int32_t value);
void WriteUInt32(uint32_t channel, int32_t value);
// The double narrowed to an IEEE single (4 bytes), or whole (8 bytes).
void WriteFloat32(uint32_t channel, double value);
void WriteFloat64(uint32_t channel, double value);
// The text's bytes, no terminator, no line end.
void WriteChars(uint32_t channel, const RtString& text);
// The text's bytes, then CR LF.
void WriteLine(uint32_t channel, const RtString& text);
// The number text (10 significant digits) or the decimal integer as a line.
void WriteLineNumber(uint32_t channel, double value);
void WriteLineInteger(uint32_t channel, int32_t value);
