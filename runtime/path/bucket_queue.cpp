// The bucketed open list of the indexed search (see bucket_queue.h).
#include "bucket_queue.h"

#include <bit>
#include <cmath>

namespace vtx {

BucketQueue::BucketQueue() : buckets_(static_cast<size_t>(kWindow)) {}

void BucketQueue::Clear() {
    for (auto& bucket : buckets_) bucket.clear();
    overflow_.clear();
    base_ = cursor_ = 0;
    started_ = false;
    size_ = stale_ = 0;
}

// Flips the bits so that unsigned order is float order (for both signs).
uint32_t BucketQueue::KeyOf(float f) {
    const uint32_t bits = std::bit_cast<uint32_t>(f);
    return (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
}

int64_t BucketQueue::BucketOf(float f) {
    return static_cast<int64_t>(std::floor(static_cast<double>(f) * static_cast<double>(kBucketsPerUnit)));
}

void BucketQueue::HeapPush(std::vector<Entry>& heap, const Entry& e) {
    size_t i = heap.size();
    heap.push_back(e);
    while (i > 0) {
        const size_t parent = (i - 1) / 2;
        if (!Before(e, heap[parent])) break;
        heap[i] = heap[parent];
        i = parent;
    }
    heap[i] = e;
}

BucketQueue::Entry BucketQueue::HeapPop(std::vector<Entry>& heap) {
    const Entry top = heap.front();
    const Entry last = heap.back();
    heap.pop_back();
    const size_t n = heap.size();
    if (n == 0) return top;
    size_t i = 0;
    for (;;) {
        size_t child = 2 * i + 1;
        if (child >= n) break;
        if (child + 1 < n && Before(heap[child + 1], heap[child])) ++child;
        if (!Before(heap[child], last)) break;
        heap[i] = heap[child];
        i = child;
    }
    heap[i] = last;
    return top;
}

void BucketQueue::Push(uint32_t node, float f, uint64_t sequence) {
    const Entry e{KeyOf(f), node, sequence};
    const int64_t q = BucketOf(f);
    ++size_;
    if (!started_) {
        // Room below the first entry: with a heuristic weight above 0.5 the
        // priorities can fall as the search goes on.
        started_ = true;
        base_ = q - kWindow / 4;
        cursor_ = q;
    }
    if (q < base_) MoveWindowDown(q);
    Place(e, q);
}

void BucketQueue::Place(const Entry& e, int64_t q) {
    if (q >= base_ + kWindow) {
        overflow_.push_back(e);
        return;
    }
    HeapPush(Bucket(q), e);
    if (q < cursor_) cursor_ = q;
}

// Lowers the window so that bucket q lies a quarter window above its
// bottom; the buckets that fall off its top go to the overflow.
void BucketQueue::MoveWindowDown(int64_t q) {
    const int64_t newBase = q - kWindow / 4;
    const int64_t keepEnd = newBase + kWindow;  // first bucket above the new window
    const int64_t from = keepEnd > base_ ? keepEnd : base_;
    for (int64_t b = from; b < base_ + kWindow; ++b) {
        auto& bucket = Bucket(b);
        overflow_.insert(overflow_.end(), bucket.begin(), bucket.end());
        bucket.clear();
    }
    base_ = newBase;
    if (cursor_ > keepEnd) cursor_ = keepEnd;
}

// The window has run empty: moves it to the lowest overflow entry and
// takes in every overflow entry that falls inside it.
bool BucketQueue::RefillFromOverflow() {
    if (overflow_.empty()) return false;
    uint32_t lowest = overflow_.front().key;
    for (const Entry& e : overflow_)
        if (e.key < lowest) lowest = e.key;
    const uint32_t bits = (lowest & 0x80000000u) ? lowest & 0x7fffffffu : ~lowest;
    const int64_t q = BucketOf(std::bit_cast<float>(bits));
    base_ = q - kWindow / 4;
    cursor_ = base_ + kWindow;
    size_t out = 0;
    for (const Entry& e : overflow_) {
        const uint32_t eb = (e.key & 0x80000000u) ? e.key & 0x7fffffffu : ~e.key;
        const int64_t eq = BucketOf(std::bit_cast<float>(eb));
        if (eq < base_ + kWindow) Place(e, eq);
        else overflow_[out++] = e;
    }
    overflow_.resize(out);
    return true;
}

}  // namespace vtx
