// AStarPlanner: the A* search over the normalised cost grid, on the sorted
// list or on the indexed open list (see planner.h).
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "planner.h"

namespace vtx {

namespace {

// The neighbours in the order they are tried; the diagonal ones (first,
// third, sixth, eighth) only when diagonals are allowed.
struct Offset {
    int32_t dx, dy;
    bool diagonal;
};
constexpr Offset kNeighbours[8] = {{-1, -1, true}, {0, -1, false}, {1, -1, true}, {1, 0, false},
                                   {-1, 0, false}, {-1, 1, true},  {0, 1, false}, {1, 1, true}};
// 4-connected searches try the orthogonal ones alone, in the same order:
// up, right, left, down.
constexpr float kDiagonalFactor = 1.4142137f;

int32_t Distance(int32_t a, int32_t b) { return a > b ? a - b : b - a; }

// The indexed search's per-cell block (records, then entries) of the
// planner destroyed last on this thread, kept for the next one: a program
// that plans every frame would otherwise have the system hand out and zero
// the pages of a fresh block on each call. One block at most, of at most
// kLargestKeptBlock bytes (maps of up to 2 M cells; larger ones are rare
// and their memory goes back at once); freed with the thread.
constexpr size_t kLargestKeptBlock = size_t{64} << 20;
struct CellBlockCache {
    void* block = nullptr;
    size_t size = 0;
    ~CellBlockCache() {
        std::free(block);
        block = nullptr;  // a planner destroyed later frees its own block
        size = SIZE_MAX;
    }
};
thread_local CellBlockCache cellBlockCache;

void* TakeCellBlock(size_t size) {
    CellBlockCache& cache = cellBlockCache;
    if (cache.block && cache.size >= size) {
        void* block = cache.block;
        cache.block = nullptr;
        cache.size = 0;
        return block;
    }
    return std::malloc(size);
}

void GiveBackCellBlock(void* block, size_t size) {
    if (!block) return;
    CellBlockCache& cache = cellBlockCache;
    if ((cache.block && cache.size >= size) || size > kLargestKeptBlock ||
        cache.size == SIZE_MAX) {  // the thread is ending
        std::free(block);
        return;
    }
    std::free(cache.block);
    cache.block = block;
    cache.size = size;
}

}  // namespace

AStarPlanner::~AStarPlanner() { GiveBackCellBlock(cellRecords_, cellBlockSize_); }

bool AStarPlanner::ReserveOpenList(size_t capacity) {
    if (kind_ == OpenListKind::kSortedList) return Planner::ReserveOpenList(capacity);
    // The entries are only read for cells whose record holds a g, so they
    // need no initialisation: their pages are touched where the search goes.
    GiveBackCellBlock(cellRecords_, cellBlockSize_);
    cellRecords_ = nullptr;
    entries_ = nullptr;
    const size_t cells = CellCount();
    cellBlockSize_ = cells * (sizeof(CellRecord) + sizeof(QueueEntry));
    void* block = TakeCellBlock(cellBlockSize_);
    if (!block) return false;
    cellRecords_ = static_cast<CellRecord*>(block);
    entries_ = reinterpret_cast<QueueEntry*>(cellRecords_ + cells);
    ResetIndex();
    return true;
}

// Every cell without a node; an empty queue.
void AStarPlanner::ResetIndex() {
    const size_t cells = CellCount();
    for (size_t i = 0; i < cells; ++i) cellRecords_[i] = {costs_[i], INFINITY};
    // 4-connected at a weight up to 0.5, every step raises f (a step costs
    // more than 1, and lowers the distance by 1 at most); diagonal steps
    // and larger weights can lower it.
    const bool prioritiesFall = !(request_.weight <= 0.5f) || request_.diagonalsAllowed;
    queue_.Reset(entries_, cells, prioritiesFall);
    indexDirty_ = false;
}

void AStarPlanner::Begin() {
    Planner::Begin();
    expansions_ = 0;
    reopenings_ = 0;
    sequence_ = 0;
    if (kind_ == OpenListKind::kSortedList) {
        Node* start = pool_.Acquire();
        if (!start) return;
        start->parent = nullptr;
        start->x = request_.startX;
        start->y = request_.startY;
        start->g = 0.0f;
        start->f = 0.0f;
        open_.PushBack(start);
        return;
    }
    if (!cellRecords_) return;
    if (indexDirty_) ResetIndex();
    indexDirty_ = true;
    created_ = 0;
    if (pool_.Capacity() < 1) return;
    created_ = 1;
    const size_t start = Cell(request_.startX, request_.startY);
    QueueEntry& entry = entries_[start];
    entry.f = 0.0f;
    entry.parent = BucketQueue::kNone;
    entry.sequence = sequence_++;
    cellRecords_[start].g = 0.0f;
    queue_.Push(static_cast<uint32_t>(start));
}

bool AStarPlanner::Search() {
    return kind_ == OpenListKind::kSortedList ? SearchSortedList() : SearchIndexed();
}

void AStarPlanner::Release() {
    if (kind_ == OpenListKind::kIndexed) {
        // The pool holds only the path's nodes; the index is reset by the
        // next Begin.
        for (int32_t used = pool_.NextIndex(); used > 0; --used) pool_.GiveBack();
        created_ = 0;
    }
    Planner::Release();
}

// Binary search from the front (largest f) for the first f not above the
// node's: the node goes in front of every node of equal f, so among equal
// f the one inserted first is taken first from the back.
void AStarPlanner::InsertSorted(Node* node) {
    unsigned lo = 0, hi = open_.Size();
    while (lo < hi) {
        const unsigned mid = (lo + hi) / 2;
        if (open_.At(mid)->f > node->f) lo = mid + 1;
        else hi = mid;
    }
    open_.Insert(lo, node);
}

bool AStarPlanner::SearchSortedList() {
    const PathRequest& r = request_;
    while (!open_.Empty()) {
        Node* n = open_.Back();
        open_.PopBack();
        ++expansions_;
        if (n->x == r.goalX && n->y == r.goalY) {
            closed_.Insert(n);
            idle_ = true;
            result_ = n;
            return true;
        }
        for (const Offset& o : kNeighbours) {
            if (o.diagonal && !r.diagonalsAllowed) continue;
            const int32_t x = n->x + o.dx, y = n->y + o.dy;
            if (x < 0 || x >= r.width || y < 0 || y >= r.height) continue;
            const float c = costs_[Cell(x, y)];
            if (c == -1.0f) continue;
            const float step = o.diagonal ? c * (r.diagonalCost ? kDiagonalFactor : 1.0f) : c;
            const float g = n->g + step;
            const float f = Priority(g, r.weight, Distance(r.goalX, x) + Distance(r.goalY, y));
            if (Node* m = closed_.Find(x, y)) {
                if (m->g > g) {
                    closed_.EraseFound();
                    ++reopenings_;
                    m->parent = n;
                    m->g = g;
                    m->f = f;
                    InsertSorted(m);
                }
                continue;
            }
            Node* found = nullptr;
            unsigned at = open_.Size();
            while (at > 0) {
                --at;
                Node* m = open_.At(at);
                if (m->x == x && m->y == y) {
                    found = m;
                    break;
                }
            }
            if (found) {
                if (found->g > g) {
                    open_.Erase(at);
                    found->parent = n;
                    found->g = g;
                    found->f = f;
                    InsertSorted(found);
                }
                continue;
            }
            Node* m = pool_.Acquire();
            if (!m) continue;  // a pool smaller than the map: the cell stays unexplored
            m->parent = n;
            m->x = x;
            m->y = y;
            m->g = g;
            m->f = f;
            InsertSorted(m);
        }
        closed_.Insert(n);
    }
    idle_ = true;
    return true;
}

// The path's nodes from the pool, walked from the goal: each node found
// becomes the parent of the one before it.
Node* AStarPlanner::BuildResult(uint32_t goal) {
    const uint32_t width = static_cast<uint32_t>(request_.width);
    Node* goalNode = nullptr;
    Node* child = nullptr;
    for (uint32_t c = goal; c != BucketQueue::kNone; c = entries_[c].parent) {
        Node* node = pool_.Acquire();
        if (!node) return nullptr;  // cannot happen: the pool holds a node per cell reached
        const uint32_t y = c / width;
        node->parent = nullptr;
        node->x = static_cast<int32_t>(c - y * width);
        node->y = static_cast<int32_t>(y);
        node->f = entries_[c].f;
        node->g = cellRecords_[c].g;
        node->bucketNext = nullptr;
        if (child) child->parent = node;
        else goalNode = node;
        child = node;
    }
    return goalNode;
}

bool AStarPlanner::SearchIndexed() {
    const PathRequest& r = request_;
    if (!cellRecords_) {
        idle_ = true;
        return true;
    }
    const float weight = r.weight;
    const int32_t width = r.width, height = r.height;
    const int32_t goalX = r.goalX, goalY = r.goalY;
    const uint32_t goal = static_cast<uint32_t>(Cell(goalX, goalY));
    const int32_t capacity = pool_.Capacity();
    const float diagonalFactor = r.diagonalCost ? kDiagonalFactor : 1.0f;
    CellRecord* const records = cellRecords_;
    QueueEntry* const entries = entries_;
    uint64_t sequence = sequence_;
    int32_t created = created_;
    uint64_t reopenings = reopenings_;
    uint64_t expansions = expansions_;
    bool found = false;
    for (;;) {
        const uint32_t cell = queue_.Pop();
        if (cell == BucketQueue::kNone) break;
        ++expansions;
        entries[cell].queueNext = kClosedCell;
        if (cell == goal) {
            found = true;
            break;
        }
        // The rows above and below the node likely expanded next, while
        // this one is worked on.
        const uint32_t upcoming = queue_.Peek();
        if (upcoming != BucketQueue::kNone) {
            const uint32_t w = static_cast<uint32_t>(width);
            if (upcoming >= w) {
                __builtin_prefetch(&records[upcoming - w]);
                __builtin_prefetch(&entries[upcoming - w]);
            }
            __builtin_prefetch(&records[upcoming]);
            __builtin_prefetch(&entries[upcoming - (upcoming > 0)]);
            __builtin_prefetch(&entries[upcoming + 1]);
            if (upcoming + w < static_cast<uint32_t>(CellCount())) {
                __builtin_prefetch(&records[upcoming + w]);
                __builtin_prefetch(&entries[upcoming + w]);
            }
        }
        const int32_t y = static_cast<int32_t>(cell / static_cast<uint32_t>(width));
        const int32_t x = static_cast<int32_t>(cell) - y * width;
        const float gn = records[cell].g;
        // Tries neighbour (nx, ny) at cell next, reached at step cost factor x c.
        auto visit = [&](int32_t nx, int32_t ny, uint32_t next, bool diagonal) {
            CellRecord& record = records[next];
            const float c = record.cost;
            if (c == -1.0f) return;
            const float step = diagonal ? c * diagonalFactor : c;
            const float g = gn + step;
            if (!(record.g > g)) return;  // the cell's node is as cheap already
            QueueEntry& entry = entries[next];
            if (record.g != INFINITY) {
                if (entry.queueNext != kClosedCell) queue_.Remove(next);
                else ++reopenings;
            } else {
                if (created >= capacity) return;  // a pool smaller than the map: the cell stays unexplored
                ++created;
            }
            record.g = g;
            entry.parent = cell;
            entry.f = Priority(g, weight, Distance(goalX, nx) + Distance(goalY, ny));
            entry.sequence = sequence++;
            queue_.Push(next);
        };
        const uint32_t w = static_cast<uint32_t>(width);
        if (!r.diagonalsAllowed) {
            if (y > 0) visit(x, y - 1, cell - w, false);
            if (x + 1 < width) visit(x + 1, y, cell + 1, false);
            if (x > 0) visit(x - 1, y, cell - 1, false);
            if (y + 1 < height) visit(x, y + 1, cell + w, false);
            continue;
        }
        for (const Offset& o : kNeighbours) {
            const int32_t nx = x + o.dx, ny = y + o.dy;
            if (static_cast<uint32_t>(nx) >= static_cast<uint32_t>(width) ||
                static_cast<uint32_t>(ny) >= static_cast<uint32_t>(height))
                continue;
            visit(nx, ny, static_cast<uint32_t>(Cell(nx, ny)), o.diagonal);
        }
    }
    sequence_ = sequence;
    created_ = created;
    reopenings_ = reopenings;
    expansions_ = expansions;
    if (found) result_ = BuildResult(goal);
    idle_ = true;
    return true;
}

}  // namespace vtx
