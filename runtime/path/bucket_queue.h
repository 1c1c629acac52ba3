// BucketQueue: the indexed search's open list. It hands out entries in
// the order (f, sequence) - the smallest f first and, among equal f, the
// entry inserted first - which is the order in which the sorted list
// expands its nodes.
//
// Entries fall into buckets of width 1 / kBucketsPerUnit of f. A window of
// kWindow consecutive buckets lives in a ring; each bucket is a small
// binary heap on (f, sequence). Entries above the window wait in an
// overflow list until the window has run empty; an entry below the window
// moves the window down (the entries pushed out of its top go to the
// overflow). A node whose f improves is pushed again with a new sequence;
// its old entry stays behind, is recognised by its sequence and skipped.
// Stale entries are swept out once they outnumber the live ones, so the
// memory stays within a small multiple of the open nodes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vtx {

class BucketQueue {
public:
    struct Entry {
        uint32_t key;       // f as an unsigned number that orders as f does
        uint32_t node;      // pool index of the node
        uint64_t sequence;  // insertion number
    };

    static constexpr int kWindowBits = 12;
    static constexpr int64_t kWindow = int64_t{1} << kWindowBits;
    static constexpr float kBucketsPerUnit = 8.0f;

    BucketQueue();

    // Empties the queue (keeps the memory).
    void Clear();
    // Adds the entry for node with priority f; sequence must grow with
    // every push.
    void Push(uint32_t node, float f, uint64_t sequence);
    // Takes the smallest live entry. isLive(node, sequence) tells whether
    // an entry still stands for its node. False when the queue is empty.
    template <typename IsLive>
    bool Pop(uint32_t& node, IsLive&& isLive);
    // Counts one entry as stale (its node was pushed again).
    void MarkStale() { ++stale_; }
    // Removes stale entries when they outnumber live ones.
    template <typename IsLive>
    void SweepIfStale(IsLive&& isLive);
    // Entries held, live and stale.
    size_t Size() const { return size_; }

private:
    static uint32_t KeyOf(float f);
    static int64_t BucketOf(float f);
    static bool Before(const Entry& a, const Entry& b) {
        return a.key != b.key ? a.key < b.key : a.sequence < b.sequence;
    }
    std::vector<Entry>& Bucket(int64_t q) { return buckets_[static_cast<size_t>(q & (kWindow - 1))]; }
    void HeapPush(std::vector<Entry>& heap, const Entry& e);
    Entry HeapPop(std::vector<Entry>& heap);
    void Place(const Entry& e, int64_t q);
    void MoveWindowDown(int64_t q);
    bool RefillFromOverflow();
    template <typename IsLive>
    void Sweep(IsLive&& isLive);

    std::vector<std::vector<Entry>> buckets_;
    std::vector<Entry> overflow_;  // entries whose bucket lies above the window
    int64_t base_ = 0;             // first bucket of the window
    int64_t cursor_ = 0;           // no window bucket below it holds an entry
    bool started_ = false;
    size_t size_ = 0;
    size_t stale_ = 0;
};

template <typename IsLive>
bool BucketQueue::Pop(uint32_t& node, IsLive&& isLive) {
    for (;;) {
        while (cursor_ < base_ + kWindow && Bucket(cursor_).empty()) ++cursor_;
        if (cursor_ == base_ + kWindow) {
            if (!RefillFromOverflow()) return false;
            continue;
        }
        const Entry e = HeapPop(Bucket(cursor_));
        --size_;
        if (isLive(e.node, e.sequence)) {
            node = e.node;
            return true;
        }
        if (stale_ > 0) --stale_;
    }
}

template <typename IsLive>
void BucketQueue::SweepIfStale(IsLive&& isLive) {
    if (stale_ > 4096 && stale_ * 2 > size_) Sweep(isLive);
}

template <typename IsLive>
void BucketQueue::Sweep(IsLive&& isLive) {
    std::vector<Entry> kept;
    for (auto& bucket : buckets_) {
        if (bucket.empty()) continue;
        kept.clear();
        for (const Entry& e : bucket)
            if (isLive(e.node, e.sequence)) kept.push_back(e);
        bucket.clear();
        for (const Entry& e : kept) HeapPush(bucket, e);
    }
    size_t out = 0;
    for (const Entry& e : overflow_)
        if (isLive(e.node, e.sequence)) overflow_[out++] = e;
    overflow_.resize(out);
    size_ = 0;
    for (const auto& bucket : buckets_) size_ += bucket.size();
    size_ += overflow_.size();
    stale_ = 0;
}

}  // namespace vtx
