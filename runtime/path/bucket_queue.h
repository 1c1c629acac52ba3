// BucketQueue: the indexed search's open list. It hands out nodes in the
// order (f, sequence) - the smallest f first and, among equal f, the node
// inserted first - which is the order in which the sorted list expands
// them.
//
// A node's bucket is the bit pattern of its f (ordered so that it grows
// with f): one bucket per float value. Priorities that differ only by
// rounding (sums of the same costs in another order) thus never share a
// bucket; with coarser buckets, a new node had to walk past many such
// near-equal ones. A window of consecutive buckets lives in a ring; each
// bucket is a doubly linked list through the nodes, sorted by (f, sequence)
// and taken from its head. Sequences only grow, so a new node belongs at
// the tail of its bucket. Nodes whose bucket lies above the window wait in
// an overflow until the window has run empty; a node below the window
// moves the window down, and the buckets pushed out of its top join the
// overflow. A node is in the overflow exactly when its bucket lies above
// the window. The overflow is an array of node indices, not a list through
// the nodes: taking the window's part out of it reads the nodes
// independently of one another, where a list would be walked one cache
// miss after the other. A removed node leaves a hole (kNone) there, which
// the next refill closes.
//
// The overflow is unsorted, but the nodes of any one bucket lie there in
// insertion order: while a bucket is in the window none of its nodes is in
// the overflow, a bucket leaves the window whole and in order, and later
// nodes are appended. A refill fills an empty window, so each node taken
// in is again the newest of its bucket and goes to the tail.
//
// A bit per window bucket tells which hold nodes, and a bit per word of
// those which words are not empty, so finding the next bucket skips 64 or
// 4096 empty ones at a time (a maze's few open nodes lie far apart in f).
//
// Removal (a node whose route improved) unlinks the node, so the queue
// never holds more than the open nodes and needs no memory of its own
// beyond the ring of list ends.
//
// The queue works on an array of QueueEntry, one per item (the planner's
// cells): compact records, so a search touches little memory per step.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>


namespace vtx {

// One item of the queue: its priority, its insertion number and its links.
// parent is not the queue's: the owner keeps a word of its own beside the
// links (the planner: the cell a cell was reached from).
struct QueueEntry {
    float f;
    uint32_t queuePrevious;
    uint32_t queueNext;
    uint32_t parent;
    uint64_t sequence;
};

class BucketQueue {
public:
    // A bucket holds the floats whose ordered bit patterns agree but for the
    // low kBucketShift bits.
    static constexpr uint32_t kBucketShift = 0;
    static constexpr uint32_t kNone = UINT32_MAX;

    BucketQueue() { Reset(nullptr, 0); }

    // Empties the queue of the entries at nodes (indices are positions
    // there) and sizes the window for a map of cells cells. prioritiesFall:
    // nodes pushed later may have much lower priorities than those taken
    // (else they fall only by rounding), so the window keeps more room
    // below its lowest node.
    void Reset(QueueEntry* nodes, size_t cells, bool prioritiesFall = true);
    // Adds node index; its f and sequence are set, sequence larger than any
    // before. Inline for the common case: a bucket of the window, where the
    // newest node goes last.
    void Push(uint32_t index) {
        const float f = nodes_[index].f;
        const int64_t q = BucketOf(f);
        if (q >= base_ && q < base_ + Window() && started_) {
            List& list = At(q);
            if (list.tail == kNone || !(f < list.tailF)) {
                ++size_;
                Append(list, index);
                MarkFilled(q);
                if (q < cursor_) cursor_ = q;
                return;
            }
        }
        PushElsewhere(index, q);
    }
    // Takes out a node that Push added and Pop did not return yet.
    void Remove(uint32_t index);
    // Takes the first node, or kNone when the queue is empty. Inline for the
    // common case: the cursor's bucket holds it (Peek has put it there).
    uint32_t Pop() {
        List& list = At(cursor_);
        const uint32_t index = list.head;
        if (index == kNone) return PopAfterSearch();
        list.head = nodes_[index].queueNext;
        if (list.head == kNone) {
            list.tail = kNone;
            MarkEmpty(cursor_);
        }
        --size_;
        return index;
    }
    size_t Size() const { return size_; }
    // Likely the next node Pop returns (the head of the first filled
    // bucket of the window), or kNone; for prefetching. Moves the cursor to
    // that bucket, so Pop need not look for it again.
    uint32_t Peek() {
        const uint32_t head = buckets_[static_cast<size_t>(cursor_) & mask_].head;
        if (head != kNone) return head;
        const int64_t end = base_ + Window();
        cursor_ = NextFilled(cursor_, end);
        return cursor_ < end ? buckets_[static_cast<size_t>(cursor_) & mask_].head : kNone;
    }

private:
    struct List {
        uint32_t head = kNone;
        uint32_t tail = kNone;
        float tailF = 0.0f;  // the tail's f: a push decides without touching the tail
    };

    // Monotone in f: the float's bits, negative ones mirrored, shifted.
    static int64_t BucketOf(float f) {
        const uint32_t bits = std::bit_cast<uint32_t>(f);
        const uint32_t ordered = bits & 0x80000000u ? ~bits : bits | 0x80000000u;
        return static_cast<int64_t>(ordered >> kBucketShift);
    }
    bool Before(uint32_t a, uint32_t b) const {
        const QueueEntry& na = nodes_[a];
        const QueueEntry& nb = nodes_[b];
        return na.f != nb.f ? na.f < nb.f : na.sequence < nb.sequence;
    }
    List& At(int64_t q) { return buckets_[static_cast<size_t>(q) & mask_]; }
    int64_t Window() const { return static_cast<int64_t>(buckets_.size()); }
    // How far below the lowest node a window starts.
    int64_t Room() const { return room_; }
    void MarkFilled(int64_t q) {
        const size_t p = static_cast<size_t>(q) & mask_;
        filled_[p >> 6] |= uint64_t{1} << (p & 63);
        words_[p >> 12] |= uint64_t{1} << ((p >> 6) & 63);
    }
    void MarkEmpty(int64_t q) {
        const size_t p = static_cast<size_t>(q) & mask_;
        uint64_t& word = filled_[p >> 6];
        word &= ~(uint64_t{1} << (p & 63));
        if (!word) words_[p >> 12] &= ~(uint64_t{1} << ((p >> 6) & 63));
    }
    int64_t NextFilled(int64_t from, int64_t end) const;
    void InsertSorted(List& list, uint32_t index);
    void Append(List& list, uint32_t index) {
        QueueEntry& node = nodes_[index];
        node.queuePrevious = list.tail;
        node.queueNext = kNone;
        if (list.tail != kNone) nodes_[list.tail].queueNext = index;
        else list.head = index;
        list.tail = index;
        list.tailF = node.f;
    }
    void PushElsewhere(uint32_t index, int64_t q);
    void AddToOverflow(uint32_t index);
    void CloseOverflowHoles();
    uint32_t PopAfterSearch();
    void Unlink(List& list, uint32_t index);
    void Place(uint32_t index, int64_t q);
    void MoveWindowDown(int64_t q);
    bool RefillFromOverflow();

    QueueEntry* nodes_ = nullptr;
    std::vector<List> buckets_;
    std::vector<uint64_t> filled_;  // bit p: ring bucket p holds a node
    std::vector<uint64_t> words_;   // bit w: word w of filled_ is not 0
    size_t mask_ = 0;
    std::vector<uint32_t> overflow_;  // a node's position there is its queuePrevious
    size_t overflowLive_ = 0;         // the nodes among them (the rest are holes)
    int64_t room_ = 0;
    int64_t base_ = 0;    // first bucket of the window
    int64_t cursor_ = 0;  // no window bucket below it holds a node
    bool started_ = false;
    size_t size_ = 0;
};

}  // namespace vtx
