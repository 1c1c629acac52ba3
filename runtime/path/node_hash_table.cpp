// NodeHashTable: the sorted-list search's closed set.
#include <cstdlib>

#include "planner.h"

namespace vtx {

NodeHashTable::~NodeHashTable() { std::free(buckets_); }

bool NodeHashTable::Init(int32_t bits) {
    uint32_t b = bits < 0 ? 0u : static_cast<uint32_t>(bits);
    if (b > 24) b = 24;
    b &= ~1u;
    std::free(buckets_);
    found_ = nullptr;
    buckets_ = static_cast<Node**>(std::calloc(size_t{1} << b, sizeof(Node*)));
    bits_ = buckets_ ? b : 0;
    return buckets_ != nullptr;
}

// The low bits/2 bits of x, and above them the low bits/2 bits of y.
size_t NodeHashTable::BucketOf(int32_t x, int32_t y) const {
    const uint32_t s = bits_ / 2;
    const uint32_t m = (1u << s) - 1;
    return (static_cast<uint32_t>(x) & m) | ((static_cast<uint32_t>(y) & m) << s);
}

bool NodeHashTable::Insert(Node* node) {
    Node** bucket = &buckets_[BucketOf(node->x, node->y)];
    for (Node* n = *bucket; n; n = n->bucketNext)
        if (n == node) return false;
    node->bucketNext = *bucket;
    *bucket = node;
    return true;
}

Node* NodeHashTable::Find(int32_t x, int32_t y) {
    for (Node** link = &buckets_[BucketOf(x, y)]; *link; link = &(*link)->bucketNext) {
        if ((*link)->x == x && (*link)->y == y) {
            found_ = link;
            return *link;
        }
    }
    return nullptr;
}

void NodeHashTable::EraseFound() {
    if (!found_ || !*found_) return;
    *found_ = (*found_)->bucketNext;
    found_ = nullptr;
}

void NodeHashTable::Clear(NodeFactory& pool) {
    if (!buckets_) return;
    const size_t count = size_t{1} << bits_;
    for (size_t i = 0; i < count; ++i) {
        for (Node* n = buckets_[i]; n; n = n->bucketNext) pool.GiveBack();
        buckets_[i] = nullptr;
    }
    found_ = nullptr;
}

}  // namespace vtx
