// The bucketed open list of the indexed search (see bucket_queue.h).
#include "bucket_queue.h"

#include <bit>
#include <cmath>

namespace vtx {

// A window of about one bucket per 4 cells, between 256 and 65536
// buckets: small maps stay cheap to set up, large ones rarely overflow.
void BucketQueue::Reset(QueueEntry* nodes, size_t cells, bool prioritiesFall) {
    size_t window = 256;
    while (window < 65536 && window * 4 < cells) window *= 2;
    buckets_.assign(window, List{});
    filled_.assign(window / 64, 0);
    words_.assign((window / 64 + 63) / 64, 0);
    mask_ = window - 1;
    room_ = prioritiesFall ? static_cast<int64_t>(window / 4) : static_cast<int64_t>(window / 64);
    nodes_ = nodes;
    overflow_.clear();
    overflowLive_ = 0;
    base_ = cursor_ = 0;
    started_ = false;
    size_ = 0;
}

// Adds the newest node of a bucket (sequence above all there): last,
// unless its f is below the tail's (buckets wider than one float value),
// then walking from the tail to its sorted place.
void BucketQueue::InsertSorted(List& list, uint32_t index) {
    if (list.tail == kNone || !(nodes_[index].f < list.tailF)) {
        Append(list, index);
        return;
    }
    uint32_t after = list.tail;
    while (after != kNone && Before(index, after)) after = after == list.head ? kNone : nodes_[after].queuePrevious;
    if (after == list.tail) {
        Append(list, index);
        return;
    }
    QueueEntry& node = nodes_[index];
    const uint32_t before = after == kNone ? list.head : nodes_[after].queueNext;
    node.queuePrevious = after;
    node.queueNext = before;
    nodes_[before].queuePrevious = index;
    if (after != kNone) nodes_[after].queueNext = index;
    else list.head = index;
}

// The head's back link is never read (taking the head leaves the next
// node's back link as it was, which saves touching that node); every other
// node's is kept.
void BucketQueue::Unlink(List& list, uint32_t index) {
    const QueueEntry& node = nodes_[index];
    if (list.head == index) {
        list.head = node.queueNext;
        if (list.head == kNone) list.tail = kNone;
        return;
    }
    nodes_[node.queuePrevious].queueNext = node.queueNext;
    if (node.queueNext != kNone) nodes_[node.queueNext].queuePrevious = node.queuePrevious;
    else {
        list.tail = node.queuePrevious;
        list.tailF = nodes_[list.tail].f;
    }
}

// Push for the first node, a bucket outside the window, or a node whose f
// lies below its bucket's tail.
void BucketQueue::PushElsewhere(uint32_t index, int64_t q) {
    ++size_;
    if (!started_) {
        // Room below the first node: with a heuristic weight above 0.5 the
        // priorities can fall as the search goes on.
        started_ = true;
        base_ = q - Room();
        cursor_ = q;
    }
    if (q < base_) MoveWindowDown(q);
    Place(index, q);
}

void BucketQueue::Place(uint32_t index, int64_t q) {
    if (q >= base_ + Window()) {
        AddToOverflow(index);
        return;
    }
    InsertSorted(At(q), index);
    MarkFilled(q);
    if (q < cursor_) cursor_ = q;
}

void BucketQueue::Remove(uint32_t index) {
    const int64_t q = BucketOf(nodes_[index].f);
    if (q >= base_ + Window()) {
        overflow_[nodes_[index].queuePrevious] = kNone;
        --overflowLive_;
        // Holes beyond the live nodes are closed before they outgrow them.
        if (overflow_.size() > 2 * overflowLive_ + 1024) CloseOverflowHoles();
    } else {
        List& list = At(q);
        Unlink(list, index);
        if (list.head == kNone) MarkEmpty(q);
    }
    --size_;
}

// The first bucket from from on that holds a node, or end. Bits of ring
// positions past end stand for buckets below from, which are all empty.
int64_t BucketQueue::NextFilled(int64_t from, int64_t end) const {
    const size_t wordCount = filled_.size();
    while (from < end) {
        const size_t p = static_cast<size_t>(from) & mask_;
        const uint64_t word = filled_[p >> 6] >> (p & 63);
        if (word) return from + std::countr_zero(word);
        from += static_cast<int64_t>(64 - (p & 63));
        // From a word's start: past the empty words up to the next filled
        // one of this group of 64 words, or to the group's (or ring's) end.
        while (from < end) {
            const size_t w = (static_cast<size_t>(from) & mask_) >> 6;
            const uint64_t group = words_[w >> 6] >> (w & 63);
            if (group) {
                from += static_cast<int64_t>(64 * std::countr_zero(group));
                break;
            }
            const size_t groupEnd = (w | 63) + 1;
            from += static_cast<int64_t>(64 * ((groupEnd < wordCount ? groupEnd : wordCount) - w));
        }
    }
    return end;
}

// Pop when the cursor's bucket is empty: the next filled bucket of the
// window, else the overflow's.
uint32_t BucketQueue::PopAfterSearch() {
    for (;;) {
        const int64_t end = base_ + Window();
        cursor_ = NextFilled(cursor_, end);
        if (cursor_ < end) {
            List& list = At(cursor_);
            const uint32_t index = list.head;
            Unlink(list, index);
            if (list.head == kNone) MarkEmpty(cursor_);
            --size_;
            return index;
        }
        if (!RefillFromOverflow()) return kNone;
    }
}

void BucketQueue::AddToOverflow(uint32_t index) {
    QueueEntry& node = nodes_[index];
    node.queuePrevious = static_cast<uint32_t>(overflow_.size());
    node.queueNext = kNone;
    overflow_.push_back(index);
    ++overflowLive_;
}

void BucketQueue::CloseOverflowHoles() {
    size_t kept = 0;
    for (const uint32_t index : overflow_) {
        if (index == kNone) continue;
        nodes_[index].queuePrevious = static_cast<uint32_t>(kept);
        overflow_[kept++] = index;
    }
    overflow_.resize(kept);
}

// Lowers the window so that bucket q lies Room() above its bottom; the
// buckets that fall off its top join the overflow.
void BucketQueue::MoveWindowDown(int64_t q) {
    const int64_t newBase = q - Room();
    const int64_t keepEnd = newBase + Window();  // first bucket above the new window
    const int64_t from = keepEnd > base_ ? keepEnd : base_;
    for (int64_t b = from; b < base_ + Window(); ++b) {
        List& list = At(b);
        if (list.head == kNone) continue;
        for (uint32_t i = list.head; i != kNone;) {
            const uint32_t next = nodes_[i].queueNext;
            AddToOverflow(i);
            i = next;
        }
        list = List{};
        MarkEmpty(b);
    }
    base_ = newBase;
    if (cursor_ > keepEnd) cursor_ = keepEnd;
}

// The window has run empty: moves it to the lowest node of the overflow
// and takes in every overflow node that falls inside it; the others keep
// their order (and close the holes).
bool BucketQueue::RefillFromOverflow() {
    if (overflowLive_ == 0) {
        overflow_.clear();
        return false;
    }
    float lowest = INFINITY;
    for (const uint32_t index : overflow_)
        if (index != kNone && nodes_[index].f < lowest) lowest = nodes_[index].f;
    base_ = BucketOf(lowest) - Room();
    cursor_ = base_ + Window();
    size_t kept = 0;
    for (const uint32_t index : overflow_) {
        if (index == kNone) continue;
        const int64_t q = BucketOf(nodes_[index].f);
        if (q < base_ + Window()) {
            Place(index, q);
        } else {
            nodes_[index].queuePrevious = static_cast<uint32_t>(kept);
            overflow_[kept++] = index;
        }
    }
    overflow_.resize(kept);
    overflowLive_ = kept;
    return true;
}

}  // namespace vtx
