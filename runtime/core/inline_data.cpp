// Inline data: the current data block and the three readers.
#include "core/inline_data.h"

#include "core/maths_internal.h"
#include "core/number_text.h"
#include "host/host_state.h"

namespace {

constexpr uint32_t kOutOfData = 20;

// The block the readers take items from; none until RestoreData.
DataBlock* CurrentBlock = nullptr;

// The next item of the current block, advancing its read index; past the
// end (or with no block) the program ends with "out of data".
const DataItem& NextItem() {
    DataBlock* block = CurrentBlock;
    if (block == nullptr || block->items == nullptr || block->readIndex < 0 || block->readIndex >= block->count)
        vtx::FatalError(kOutOfData);
    return block->items[block->readIndex++];
}

double ItemNumber(const DataItem& item) {
    return item.text != nullptr ? vtx::TextToReal(item.text) : item.number;
}

}  // namespace

void RestoreData(DataBlock& block) {
    block.readIndex = 0;
    CurrentBlock = &block;
}

void ReadDataText(RtString& out) {
    const DataItem& item = NextItem();
    if (item.text != nullptr) out = item.text;
    else out = item.number;
}

void ReadDataNumber(double& out) { out = ItemNumber(NextItem()); }

void ReadDataInteger(int32_t& out) { out = vtx::RealToInteger(ItemNumber(NextItem())); }
