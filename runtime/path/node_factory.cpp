// NodeFactory: the planner's pre-allocated nodes.
#include <cstdlib>

#include "planner.h"

namespace vtx {

NodeFactory::~NodeFactory() { Free(); }

void NodeFactory::Free() {
    std::free(nodes_);
    nodes_ = nullptr;
    capacity_ = 0;
    next_ = 0;
}

// One block, left uninitialised (every node is filled as it is handed
// out): the system provides its pages as the search first touches them, so
// a search that reaches few cells of a large map costs little memory.
bool NodeFactory::Reserve(int32_t n) {
    if (n <= 0) return true;
    Free();
    nodes_ = static_cast<Node*>(std::malloc(static_cast<size_t>(n) * sizeof(Node)));
    if (!nodes_) return false;
    capacity_ = n;
    next_ = 0;
    return true;
}

}  // namespace vtx
