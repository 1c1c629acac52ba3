// Inline data: the tables of numbers and texts a compiled program defines
// and reads item by item.
#pragma once

#include <cstdint>

#include "rt_string.h"

// One item: a text item when text is not null (number unused), otherwise a
// number item.
struct DataItem {
    double number;
    const char* text;
};

// An inline data table: its items, their count and the index of the next
// item to read. Each block keeps its own read index.
struct DataBlock {
    const DataItem* items;
    int32_t count;
    int32_t readIndex;
};

// Sets the block's read index to 0 and makes it the current data block.
void RestoreData(DataBlock& block);

// The readers take the next item of the current block. Reading with no
// block selected, or past its last item, ends the program with error 20
// ("out of data").

// A text item is copied; a number item becomes its number text.
void ReadDataText(RtString& out);
// A number item as it is; a text item read as a number (text to real).
void ReadDataNumber(double& out);
// As ReadDataNumber, then truncated toward zero (saturating at the 32-bit range).
void ReadDataInteger(int32_t& out);
