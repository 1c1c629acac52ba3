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
    Node* bucketNext;  // the sorted-list search: chain inside the closed set's bucket
};

}  // namespace vtx
