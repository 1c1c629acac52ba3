// Node: one grid cell reached by the planner's search.
#pragma once

#include <cstdint>

namespace vtx {

struct Node {
    Node* parent;  // the node this one was reached from; null for the start
    int32_t x;     // column
    int32_t y;     // row
    float f;       // priority: smaller is expanded earlier
    float g;       // cost of the best known route from the start
    union {
        Node* bucketNext;  // the sorted-list search: chain inside the closed set's bucket
        struct {           // the indexed search: neighbours in the open list's bucket
            uint32_t queuePrevious;
            uint32_t queueNext;
        };
    };
    uint64_t sequence;  // the indexed search: when the node last entered the open list
    uint8_t state;      // the indexed search: kNodeOpen, ...
};

// The node states of the indexed search.
enum : uint8_t { kNodeUnused = 0, kNodeOpen = 1, kNodeExpanding = 2, kNodeClosed = 3 };

}  // namespace vtx
