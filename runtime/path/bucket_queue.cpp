// The bucketed open list of the indexed search (see bucket_queue.h).
#include "bucket_queue.h"

#include <bit>
#include <cmath>

namespace vtx {

// A window of about one bucket per 4 cells, between 256 and 65536
// buckets: small maps stay cheap to set up, large ones rarely overflow.
void BucketQueue::Reset(QueueEntry* nodes, size_t cells) {
    size_t window = 256;
    while (window < 65536 && window * 4 < cells) window *= 2;
    buckets_.assign(window, List{});
    filled_.assign(window / 64, 0);
    words_.assign((window / 64 + 63) / 64, 0);
    mask_ = window - 1;
    nodes_ = nodes;
    overflow_ = List{};
    base_ = cursor_ = 0;
    started_ = false;
    size_ = 0;
}

void BucketQueue::Append(List& list, uint32_t index) {
    QueueEntry& node = nodes_[index];
    node.queuePrevious = list.tail;
    node.queueNext = kNone;
    if (list.tail != kNone) nodes_[list.tail].queueNext = index;
    else list.head = index;
    list.tail = index;
    list.tailF = node.f;
}

// Walks from the tail, where new nodes belong, to the node's sorted place.
// The newest node (sequence above all) goes last unless its f is below the
// tail's.
void BucketQueue::InsertSorted(List& list, uint32_t index, bool newest) {
    if (newest && (list.tail == kNone || !(nodes_[index].f < list.tailF))) {
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

void BucketQueue::Push(uint32_t index) {
    const int64_t q = BucketOf(nodes_[index].f);
    ++size_;
    if (!started_) {
        // Room below the first node: with a heuristic weight above 0.5 the
        // priorities can fall as the search goes on.
        started_ = true;
        base_ = q - Window() / 4;
        cursor_ = q;
    }
    if (q < base_) MoveWindowDown(q);
    Place(index, q, true);
}

void BucketQueue::Place(uint32_t index, int64_t q, bool newest) {
    if (q >= base_ + Window()) {
        Append(overflow_, index);
        return;
    }
    InsertSorted(At(q), index, newest);
    MarkFilled(q);
    if (q < cursor_) cursor_ = q;
}

void BucketQueue::Remove(uint32_t index) {
    const int64_t q = BucketOf(nodes_[index].f);
    if (q >= base_ + Window()) {
        Unlink(overflow_, index);
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

uint32_t BucketQueue::Pop() {
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

// Lowers the window so that bucket q lies a quarter window above its
// bottom; the buckets that fall off its top join the overflow.
void BucketQueue::MoveWindowDown(int64_t q) {
    const int64_t newBase = q - Window() / 4;
    const int64_t keepEnd = newBase + Window();  // first bucket above the new window
    const int64_t from = keepEnd > base_ ? keepEnd : base_;
    for (int64_t b = from; b < base_ + Window(); ++b) {
        List& list = At(b);
        if (list.head == kNone) continue;
        if (overflow_.tail != kNone) {
            nodes_[overflow_.tail].queueNext = list.head;
            nodes_[list.head].queuePrevious = overflow_.tail;
        } else {
            overflow_.head = list.head;
        }
        overflow_.tail = list.tail;
        overflow_.tailF = list.tailF;
        list = List{};
        MarkEmpty(b);
    }
    base_ = newBase;
    if (cursor_ > keepEnd) cursor_ = keepEnd;
}

// The window has run empty: moves it to the lowest node of the overflow
// and takes in every overflow node that falls inside it.
bool BucketQueue::RefillFromOverflow() {
    if (overflow_.head == kNone) return false;
    float lowest = nodes_[overflow_.head].f;
    for (uint32_t i = overflow_.head; i != kNone; i = nodes_[i].queueNext)
        if (nodes_[i].f < lowest) lowest = nodes_[i].f;
    base_ = BucketOf(lowest) - Window() / 4;
    cursor_ = base_ + Window();
    for (uint32_t i = overflow_.head; i != kNone;) {
        const uint32_t next = nodes_[i].queueNext;
        const int64_t q = BucketOf(nodes_[i].f);
        if (q < base_ + Window()) {
            Unlink(overflow_, i);
            Place(i, q, false);
        }
        i = next;
    }
    return true;
}

}  // namespace vtx
