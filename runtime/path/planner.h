// The path planner framework: nodes, the node pool, the closed set, the
// request, the abstract Planner and the A* planner built on it.
//
// Calling order: construct -> Setup(request) -> Begin -> Search -> read the
// chain of parents from Result() -> Release -> destroy.
//
// AStarPlanner runs the same search on one of two open lists:
//  - kSortedList: the FixedDeque kept sorted by f (largest at the front),
//    nodes found by scanning it from the back and the closed set in a
//    NodeHashTable. Insertion and lookup are linear, a search quadratic.
//  - kIndexed: a per-cell index finds every node, and a BucketQueue keeps
//    the same expansion order in logarithmic time.
// Both expand the nodes in exactly the same order and return the same path.
#pragma once

#include <cstddef>
#include <cstdint>

#include "bucket_queue.h"
#include "fixed_deque.h"
#include "node.h"

namespace vtx {

// The planner's configuration, copied into it by Setup.
struct PathRequest {
    int32_t startX = 0, startY = 0;
    int32_t goalX = 0, goalY = 0;
    bool diagonalCost = true;       // diagonal steps cost c x 1.4142137 (else c)
    bool diagonalsAllowed = false;  // whether the four diagonal neighbours are tried
    int32_t nodePoolSize = 0;       // 0 = width x height
    int32_t openListCapacity = 0;   // 0 = width x height
    int32_t hashBits = 8;           // closed set size parameter
    float weight = 0.5f;            // heuristic weight, clamped to 0..1 by Setup
    int32_t width = 0, height = 0;  // map size in cells
    const double* map = nullptr;    // cell (x, y) at x + y * width
};

// The pre-allocated nodes. They live in one block (so that a node's index
// is its position) that is only touched as nodes are handed out.
class NodeFactory {
public:
    NodeFactory() = default;
    NodeFactory(const NodeFactory&) = delete;
    NodeFactory& operator=(const NodeFactory&) = delete;
    virtual ~NodeFactory();

    // Frees the nodes held, then provides n fresh ones (n = 0 does nothing);
    // false when the memory cannot be had.
    bool Reserve(int32_t n);
    // The next free node, or null when all are handed out.
    Node* Acquire() { return next_ < capacity_ ? &nodes_[next_++] : nullptr; }
    // Gives one node back: the next index steps down unless it is 0.
    void GiveBack() {
        if (next_ > 0) --next_;
    }
    int32_t Capacity() const { return capacity_; }
    int32_t NextIndex() const { return next_; }
    Node& At(int32_t index) { return nodes_[index]; }
    int32_t IndexOf(const Node* node) const { return static_cast<int32_t>(node - nodes_); }

private:
    void Free();

    int32_t capacity_ = 0;
    Node* nodes_ = nullptr;
    int32_t next_ = 0;
};

// The closed set: 2^bits buckets of nodes chained through bucketNext, a
// cell's bucket chosen by the low bits of x and y.
class NodeHashTable {
public:
    NodeHashTable() = default;
    NodeHashTable(const NodeHashTable&) = delete;
    NodeHashTable& operator=(const NodeHashTable&) = delete;
    virtual ~NodeHashTable();

    // bits above 24 become 24 and an odd value the even one below; false
    // when the buckets cannot be allocated.
    bool Init(int32_t bits);
    // Links node at the head of its bucket; false when it is there already.
    bool Insert(Node* node);
    // The node of cell (x, y), or null; remembers where it was linked.
    Node* Find(int32_t x, int32_t y);
    // Unlinks the node the last successful Find returned.
    void EraseFound();
    // Empties every bucket, giving each node back to pool.
    void Clear(NodeFactory& pool);
    uint32_t Bits() const { return bits_; }

private:
    size_t BucketOf(int32_t x, int32_t y) const;

    Node** buckets_ = nullptr;
    uint32_t bits_ = 0;
    Node** found_ = nullptr;  // the link that points at the node found last
};

// The abstract planner: the node pool, the request, the normalised cost
// grid, the open list, the closed set and the result.
class Planner {
public:
    Planner() = default;
    Planner(const Planner&) = delete;
    Planner& operator=(const Planner&) = delete;
    virtual ~Planner();

    // Validates the request, builds the cost grid and takes all memory of
    // the search. False, with nothing changed, when start or goal lies
    // outside the map or they are the same cell; false when no cell is
    // passable or the memory cannot be had.
    bool Setup(const PathRequest& request);
    // Starts a search: clears the idle flag and the result.
    virtual void Begin();
    // Runs the search to the goal or to exhaustion.
    virtual bool Search() = 0;
    // Gives every node in the open list and the closed set back to the pool
    // and empties both.
    virtual void Release();

    // The goal node once Search found it, else null.
    Node* Result() const { return result_; }
    bool Idle() const { return idle_; }
    const PathRequest& Request() const { return request_; }
    // The normalised cost of cell (x, y): above 1 and at most 2, or -1.
    float CostAt(int32_t x, int32_t y) const { return costs_[Cell(x, y)]; }

protected:
    size_t Cell(int32_t x, int32_t y) const {
        return static_cast<size_t>(x) + static_cast<size_t>(y) * static_cast<size_t>(request_.width);
    }
    size_t CellCount() const { return static_cast<size_t>(request_.width) * static_cast<size_t>(request_.height); }
    // Takes the open list's memory for cells cells; the sorted list by default.
    virtual bool ReserveOpenList(size_t capacity);

    bool idle_ = true;
    NodeFactory pool_;
    PathRequest request_;
    float* costs_ = nullptr;  // -1 = blocked
    FixedDeque<Node*> open_;
    NodeHashTable closed_;
    Node* result_ = nullptr;
};

// Which open list an AStarPlanner searches with (see the top of the file).
enum class OpenListKind { kSortedList, kIndexed };

class AStarPlanner : public Planner {
public:
    explicit AStarPlanner(OpenListKind kind = OpenListKind::kIndexed) : kind_(kind) {}
    ~AStarPlanner() override;

    // Begins as the base, then puts the start node alone in the open list.
    void Begin() override;
    bool Search() override;
    void Release() override;

    OpenListKind Kind() const { return kind_; }
    // Nodes taken from the open list and expanded by the last Search.
    uint64_t Expansions() const { return expansions_; }
    // Closed nodes the last Search put back into the open list.
    uint64_t Reopenings() const { return reopenings_; }

protected:
    bool ReserveOpenList(size_t capacity) override;

private:
    bool SearchSortedList();
    bool SearchIndexed();
    void InsertSorted(Node* node);

    OpenListKind kind_;
    uint64_t expansions_ = 0;
    uint64_t reopenings_ = 0;
    // The indexed search keeps its nodes in per-cell arrays: the cost beside
    // the g of the cell's node (+inf while it has none), so one memory
    // access decides about a neighbour, and the queue entry (priority,
    // insertion number, links, parent cell). Nodes of the pool stand only
    // for the path found, built from the parent cells at the end.
    struct CellRecord {
        float cost;
        float g;
    };
    // Marks a popped cell in its entry's queueNext (cells in the queue hold
    // a cell index or BucketQueue::kNone there).
    static constexpr uint32_t kClosedCell = UINT32_MAX - 1;
    void ResetIndex();
    Node* BuildResult(uint32_t goal);
    CellRecord* cellRecords_ = nullptr;  // one block: the records, then the entries
    QueueEntry* entries_ = nullptr;
    size_t cellBlockSize_ = 0;
    BucketQueue queue_;  // linked through entries_
    int32_t created_ = 0;  // cells given a node by this search (bounded by the pool)
    bool indexDirty_ = false;  // a search ran since the index was initialised
    uint64_t sequence_ = 0;
};

// The priority of a node: f = g + weight x (h - g) in 32-bit floats, with
// h the Manhattan distance to the goal. +0 for -0, so the bits order as
// the values.
inline float Priority(float g, float weight, int32_t h) {
    const float f = g + weight * (static_cast<float>(h) - g);
    return f + 0.0f;
}

}  // namespace vtx
