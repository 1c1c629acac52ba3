// Text commands: parts, search and replace, case, character codes, number
// formatting and splitting.
//
// Texts are counted bytes: positions count bytes from 0, and a zero byte is
// a character like any other. Every command returns a fresh text and none
// fails: positions out of range give the empty text or -1.
#pragma once

#include <cstdint>

#include "rt_array.h"
#include "rt_string.h"

// The count characters from position start. A negative count means up to
// the end; a count that runs past the end is cut there; a start outside the
// text gives the empty text.
RtString MidText(const RtString& text, int32_t start, int32_t count);

// Position of the first occurrence of search at or after start, or -1 (also
// for a start below 0 or beyond the end). An empty search is found at start.
int32_t FindText(const RtString& text, const RtString& search, int32_t start);

// Every occurrence of search replaced by replacement; after a replacement of
// another length the search resumes replacement length - search length + 1
// bytes after the occurrence (never before the start of the text), so an
// occurrence that the replacement completes is replaced too, and a
// replacement holding the search text never loops. An empty search returns
// the text unchanged.
RtString ReplaceText(const RtString& text, const RtString& search, const RtString& replacement);

// A copy in which "A" to "Z" become "a" to "z"; other bytes are unchanged.
RtString LowerText(const RtString& text);
// A copy in which "a" to "z" become "A" to "Z"; other bytes are unchanged.
RtString UpperText(const RtString& text);

// The first byte as an unsigned value 0 to 255; 0 for the empty text.
int32_t CharCode(const RtString& text);
// A text of length 1 holding the low 8 bits of code (code 0 gives one zero byte).
RtString CharText(int32_t code);

// value in fixed-point notation, printf "%<width>.<decimals>f": right-aligned
// in at least width characters (left-aligned for a negative width), rounded
// to decimals places (ties of exactly representable values to even), never
// an exponent. Width and decimals are truncated toward zero; a negative
// decimals counts as 0. Any width and any number of decimals.
RtString FormatNumber(double width, double decimals, double value);

// The length of the number text of value (0.5 gives 3, -12 gives 3).
int32_t NumberTextLength(double value);
int32_t NumberTextLength(int32_t value);

// Empties pieces, then appends every non-empty run of text between
// delimiter characters (any byte of delimiters) and returns their number.
// Runs of delimiters and delimiters at either end make no empty pieces.
int32_t SplitText(const RtString& text, RtArray<RtString>& pieces, const RtString& delimiters);
