// RtLock: the lock the network session shares between the application's
// thread and the session worker. It remembers its owner: a thread that
// takes it again while owning it does not nest (one release frees it), and
// a release by a thread that does not own it does nothing.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>

namespace vtx {

class RtLock {
public:
    void take();
    void release();
    bool ownedByThisThread() const noexcept { return owner_.load() == std::this_thread::get_id(); }

private:
    std::mutex mutex_;
    std::atomic<std::thread::id> owner_{};
};

}  // namespace vtx
