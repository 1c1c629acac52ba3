// The planner's containers: the ring buffer, the closed set, the node pool
// and the bucketed open list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <random>
#include <vector>

#include "path/bucket_queue.h"
#include "path/fixed_deque.h"
#include "path/planner.h"

namespace {

using vtx::BucketQueue;
using vtx::FixedDeque;

std::vector<int> Contents(const FixedDeque<int>& d) {
    std::vector<int> out;
    for (unsigned i = 0; i < d.Size(); ++i) out.push_back(d.At(i));
    return out;
}

TEST(FixedDeque, KeepsLogicalOrderAcrossTheRingsWrap) {
    FixedDeque<int> d;
    ASSERT_TRUE(d.Init(5));
    EXPECT_TRUE(d.Empty());
    EXPECT_FALSE(d.PopBack());
    EXPECT_FALSE(d.Erase(0));
    ASSERT_TRUE(d.PushBack(1));
    ASSERT_TRUE(d.PushFront(0));  // head wraps to the end of the buffer
    ASSERT_TRUE(d.Insert(1, 5));
    ASSERT_TRUE(d.Insert(3, 9));  // i == size: at the back
    EXPECT_EQ(Contents(d), (std::vector<int>{0, 5, 1, 9}));
    EXPECT_EQ(d.Back(), 9);
    EXPECT_FALSE(d.Insert(5, 3));  // beyond the back
    ASSERT_TRUE(d.Insert(2, 7));
    EXPECT_EQ(d.Size(), 5u);
    EXPECT_FALSE(d.PushBack(4));  // full
    EXPECT_FALSE(d.Insert(1, 4));
    EXPECT_EQ(Contents(d), (std::vector<int>{0, 5, 7, 1, 9}));
    ASSERT_TRUE(d.Erase(2));
    ASSERT_TRUE(d.Erase(0));
    ASSERT_TRUE(d.Erase(2));  // the back
    EXPECT_EQ(Contents(d), (std::vector<int>{5, 1}));
    EXPECT_FALSE(d.Erase(2));
    d.Clear();
    EXPECT_EQ(d.Size(), 0u);
}

TEST(FixedDeque, RandomInsertsAndErasesMatchAStandardDeque) {
    std::mt19937 random(5);
    for (unsigned capacity : {1u, 2u, 7u, 16u}) {
        FixedDeque<int> d;
        ASSERT_TRUE(d.Init(capacity));
        std::deque<int> model;
        for (int step = 0; step < 4000; ++step) {
            const unsigned size = static_cast<unsigned>(model.size());
            const unsigned i = random() % (size + 2);
            if (random() % 2) {
                const bool fits = size < capacity && i <= size;
                ASSERT_EQ(d.Insert(i, step), fits);
                if (fits) model.insert(model.begin() + i, step);
            } else {
                const bool there = i < size;
                ASSERT_EQ(d.Erase(i), there);
                if (there) model.erase(model.begin() + i);
            }
            ASSERT_EQ(Contents(d), std::vector<int>(model.begin(), model.end()));
        }
    }
}

TEST(FixedDeque, CapacityZeroHoldsNothing) {
    FixedDeque<int> d;
    ASSERT_TRUE(d.Init(0));
    EXPECT_FALSE(d.PushBack(1));
    EXPECT_FALSE(d.PushFront(1));
    EXPECT_FALSE(d.Insert(0, 1));
    EXPECT_TRUE(d.Empty());
}

TEST(NodeHashTable, BitsAreEvenAndAtMost24) {
    vtx::NodeHashTable table;
    ASSERT_TRUE(table.Init(9));
    EXPECT_EQ(table.Bits(), 8u);
    ASSERT_TRUE(table.Init(31));
    EXPECT_EQ(table.Bits(), 24u);
    ASSERT_TRUE(table.Init(-4));
    EXPECT_EQ(table.Bits(), 0u);
}

TEST(NodeHashTable, FindsErasesAndGivesNodesBack) {
    vtx::NodeFactory pool;
    ASSERT_TRUE(pool.Reserve(4));
    vtx::NodeHashTable table;
    ASSERT_TRUE(table.Init(8));
    vtx::Node* a = pool.Acquire();
    vtx::Node* b = pool.Acquire();
    vtx::Node* c = pool.Acquire();
    a->x = 1, a->y = 2;
    b->x = 17, b->y = 18;  // the same bucket as (1, 2)
    c->x = 3, c->y = 0;
    EXPECT_TRUE(table.Insert(a));
    EXPECT_TRUE(table.Insert(b));
    EXPECT_TRUE(table.Insert(c));
    EXPECT_FALSE(table.Insert(a));
    EXPECT_EQ(table.Find(1, 2), a);
    table.EraseFound();
    EXPECT_EQ(table.Find(1, 2), nullptr);
    EXPECT_EQ(table.Find(17, 18), b);
    EXPECT_EQ(pool.NextIndex(), 3);
    table.Clear(pool);
    EXPECT_EQ(pool.NextIndex(), 1);
    EXPECT_EQ(table.Find(3, 0), nullptr);
}

TEST(NodeFactory, HandsOutItsCapacityThenNull) {
    vtx::NodeFactory pool;
    ASSERT_TRUE(pool.Reserve(2));
    EXPECT_NE(pool.Acquire(), nullptr);
    EXPECT_NE(pool.Acquire(), nullptr);
    EXPECT_EQ(pool.Acquire(), nullptr);
    pool.GiveBack();
    pool.GiveBack();
    pool.GiveBack();  // never below 0
    EXPECT_EQ(pool.NextIndex(), 0);
    ASSERT_TRUE(pool.Reserve(0));  // does nothing
    EXPECT_EQ(pool.Capacity(), 2);
}

// Random pushes, removals and pops against a model that looks for the
// smallest (f, sequence): priorities spread over a wide range (so the
// window moves up and down and the overflow fills and empties), many equal
// priorities, and nodes taken out and pushed again with a new priority.
// Every fifth round holds more nodes and pops seldom, so removals leave
// many holes in the overflow. Each round ends by emptying the queue.
TEST(BucketQueue, PopsInPriorityThenInsertionOrder) {
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        const bool seldomPops = round % 5 == 4;
        const uint32_t count = seldomPops ? 300 : 64;
        const int steps = seldomPops ? 20000 : 3000;
        const uint32_t popEvery = seldomPops ? 2500 : 3;
        std::vector<vtx::QueueEntry> nodes(count);
        std::vector<bool> queued(count, false);
        BucketQueue queue;
        queue.Reset(nodes.data(), round % 2 ? 100 : 1u << 24, round % 3 != 0);  // falls either way
        uint64_t sequence = 0;
        const float spread = round % 4 == 0 ? 3.0f : round % 4 == 1 ? 40.0f : round % 4 == 2 ? 5000.0f : 1e6f;
        // Pops one node and checks it against the smallest (f, sequence);
        // false once the queue is empty.
        auto popAndCheck = [&](int step) {
            int best = -1;
            for (int n = 0; n < static_cast<int>(count); ++n) {
                if (!queued[n]) continue;
                if (best < 0 || nodes[n].f < nodes[best].f ||
                    (nodes[n].f == nodes[best].f && nodes[n].sequence < nodes[best].sequence))
                    best = n;
            }
            const uint32_t got = queue.Pop();
            if (best < 0) {
                EXPECT_EQ(got, BucketQueue::kNone);
                return false;
            }
            EXPECT_EQ(got, static_cast<uint32_t>(best)) << "round " << round << " step " << step;
            if (got >= count) return false;
            queued[got] = false;
            return got == static_cast<uint32_t>(best);
        };
        for (int step = 0; step < steps; ++step) {
            if (random() % popEvery != 0) {
                const uint32_t index = random() % count;
                float f = std::uniform_real_distribution<float>(0, spread)(random);
                if (random() % 4 == 0) f = std::floor(f);  // ties
                if (queued[index]) queue.Remove(index);
                nodes[index].f = f;
                nodes[index].sequence = sequence++;
                queued[index] = true;
                queue.Push(index);
            } else if (!popAndCheck(step) && ::testing::Test::HasFailure()) {
                return;
            }
            ASSERT_EQ(queue.Size(), static_cast<size_t>(std::count(queued.begin(), queued.end(), true)));
        }
        while (popAndCheck(steps)) {
        }
        if (::testing::Test::HasFailure()) return;
        EXPECT_EQ(queue.Size(), 0u);
    }
}

}  // namespace
