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
// The orthogonal ones alone, in the same order, for 4-connected searches.
constexpr Offset kOrthogonalNeighbours[4] = {{0, -1, false}, {1, 0, false}, {-1, 0, false}, {0, 1, false}};
constexpr float kDiagonalFactor = 1.4142137f;

int32_t Distance(int32_t a, int32_t b) { return a > b ? a - b : b - a; }

}  // namespace

AStarPlanner::~AStarPlanner() {
    std::free(cellNodes_);
    std::free(cellRecords_);
}

bool AStarPlanner::ReserveOpenList(size_t capacity) {
    if (kind_ == OpenListKind::kSortedList) return Planner::ReserveOpenList(capacity);
    // A zeroed index whose pages are only touched where the search goes.
    std::free(cellNodes_);
    std::free(cellRecords_);
    const size_t cells = CellCount();
    cellNodes_ = static_cast<uint32_t*>(std::calloc(cells, sizeof(uint32_t)));
    cellRecords_ = static_cast<CellRecord*>(std::malloc(cells * sizeof(CellRecord)));
    queue_.Reset(&pool_.At(0), cells);
    if (!cellNodes_ || !cellRecords_) return false;
    for (size_t i = 0; i < cells; ++i) cellRecords_[i] = {costs_[i], INFINITY};
    return true;
}

void AStarPlanner::Begin() {
    Planner::Begin();
    expansions_ = 0;
    reopenings_ = 0;
    sequence_ = 0;
    Node* start = pool_.Acquire();
    if (!start) return;
    start->parent = nullptr;
    start->x = request_.startX;
    start->y = request_.startY;
    start->g = 0.0f;
    start->f = 0.0f;
    if (kind_ == OpenListKind::kSortedList) {
        open_.PushBack(start);
        return;
    }
    start->sequence = sequence_++;
    start->state = kNodeOpen;
    const uint32_t index = static_cast<uint32_t>(pool_.IndexOf(start));
    cellNodes_[Cell(start->x, start->y)] = index + 1;
    cellRecords_[Cell(start->x, start->y)].g = 0.0f;
    queue_.Push(index);
}

bool AStarPlanner::Search() {
    return kind_ == OpenListKind::kSortedList ? SearchSortedList() : SearchIndexed();
}

void AStarPlanner::Release() {
    if (kind_ == OpenListKind::kIndexed) {
        // Every node handed out is open or closed: give them all back.
        const int32_t used = pool_.NextIndex();
        for (int32_t i = 0; i < used; ++i) {
            Node& node = pool_.At(i);
            cellNodes_[Cell(node.x, node.y)] = 0;
            cellRecords_[Cell(node.x, node.y)].g = INFINITY;
            node.state = kNodeUnused;
            pool_.GiveBack();
        }
        queue_.Reset(&pool_.At(0), CellCount());
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

bool AStarPlanner::SearchIndexed() {
    const PathRequest& r = request_;
    const float weight = r.weight;
    const int32_t width = r.width, height = r.height;
    CellRecord* records = cellRecords_;
    uint32_t* cellNodes = cellNodes_;
    const Offset* neighbours = r.diagonalsAllowed ? kNeighbours : kOrthogonalNeighbours;
    const Offset* neighboursEnd = r.diagonalsAllowed ? kNeighbours + 8 : kOrthogonalNeighbours + 4;
    for (;;) {
        const uint32_t index = queue_.Pop();
        if (index == BucketQueue::kNone) break;
        Node* n = &pool_.At(static_cast<int32_t>(index));
        ++expansions_;
        if (n->x == r.goalX && n->y == r.goalY) {
            n->state = kNodeClosed;
            idle_ = true;
            result_ = n;
            return true;
        }
        n->state = kNodeExpanding;
        for (const Offset* o = neighbours; o != neighboursEnd; ++o) {
            const int32_t x = n->x + o->dx, y = n->y + o->dy;
            if (static_cast<uint32_t>(x) >= static_cast<uint32_t>(width) ||
                static_cast<uint32_t>(y) >= static_cast<uint32_t>(height))
                continue;
            const size_t cell = Cell(x, y);
            CellRecord& record = records[cell];
            const float c = record.cost;
            if (c == -1.0f) continue;
            const float step = o->diagonal ? c * (r.diagonalCost ? kDiagonalFactor : 1.0f) : c;
            const float g = n->g + step;
            if (!(record.g > g)) continue;  // the cell's node is as cheap already
            const uint32_t known = cellNodes[cell];
            Node* m;
            if (known) {
                m = &pool_.At(static_cast<int32_t>(known - 1));
                if (m->state == kNodeOpen) queue_.Remove(known - 1);
                else ++reopenings_;
            } else {
                m = pool_.Acquire();
                if (!m) continue;  // a pool smaller than the map: the cell stays unexplored
                m->x = x;
                m->y = y;
                cellNodes[cell] = static_cast<uint32_t>(pool_.IndexOf(m)) + 1;
            }
            m->parent = n;
            m->g = g;
            record.g = g;
            m->f = Priority(g, weight, Distance(r.goalX, x) + Distance(r.goalY, y));
            m->sequence = sequence_++;
            m->state = kNodeOpen;
            queue_.Push(static_cast<uint32_t>(pool_.IndexOf(m)));
        }
        n->state = kNodeClosed;
    }
    idle_ = true;
    return true;
}

}  // namespace vtx
