// RtLock's owner rules and the thread start the session worker uses.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "net/rt_lock.h"
#include "net/threads.h"

using namespace vtx;

namespace {

struct Shared {
    RtLock lock;
    std::atomic<int> stage{0};
};

uint32_t TakeAndRelease(void* argument) {
    auto* shared = static_cast<Shared*>(argument);
    shared->lock.take();
    shared->stage = 2;
    shared->lock.release();
    return 7;
}

uint32_t ReleaseWithoutOwning(void* argument) {
    static_cast<Shared*>(argument)->lock.release();
    return 0;
}

}  // namespace

TEST(RtLock, TakingTwiceNeedsOneReleaseAndOnlyTheOwnerReleases) {
    Shared shared;
    shared.lock.take();
    shared.lock.take();
    EXPECT_TRUE(shared.lock.ownedByThisThread());

    // Another thread's release does nothing.
    ThreadHandle stranger = StartThread(ReleaseWithoutOwning, &shared);
    uint32_t code = 99;
    ASSERT_TRUE(stranger.wait(code));
    EXPECT_TRUE(shared.lock.ownedByThisThread());

    ThreadHandle other = StartThread(TakeAndRelease, &shared);
    ASSERT_TRUE(other.started());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(shared.stage.load(), 0);  // held while we own it
    shared.lock.release();              // one release frees a double take
    EXPECT_FALSE(shared.lock.ownedByThisThread());
    ASSERT_TRUE(other.wait(code));
    EXPECT_EQ(shared.stage.load(), 2);
    EXPECT_EQ(code, 7u);
    EXPECT_FALSE(other.wait(code));  // waited for already
}

TEST(Threads, AnEmptyHandleHasNothingToWaitFor) {
    ThreadHandle none;
    uint32_t code = 0;
    EXPECT_FALSE(none.started());
    EXPECT_FALSE(none.wait(code));
}
