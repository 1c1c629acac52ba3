// Background threads (see threads.h).
#include "net/threads.h"

#include <system_error>
#include <thread>

namespace vtx {

struct ThreadHandle::Running {
    std::thread thread;
    // Shared with the thread, which may outlive a handle that let it go.
    std::shared_ptr<uint32_t> exitCode = std::make_shared<uint32_t>(0);
};

ThreadHandle::ThreadHandle() = default;
ThreadHandle::ThreadHandle(ThreadHandle&&) noexcept = default;
ThreadHandle& ThreadHandle::operator=(ThreadHandle&& other) noexcept {
    if (this != &other) {
        if (running_ && running_->thread.joinable()) running_->thread.detach();
        running_ = std::move(other.running_);
    }
    return *this;
}

ThreadHandle::~ThreadHandle() {
    if (running_ && running_->thread.joinable()) running_->thread.detach();
}

bool ThreadHandle::started() const noexcept { return running_ != nullptr; }

bool ThreadHandle::wait(uint32_t& exitCode) {
    if (!running_ || !running_->thread.joinable()) return false;
    running_->thread.join();
    exitCode = *running_->exitCode;
    return true;
}

ThreadHandle StartThread(ThreadRoutine routine, void* argument) {
    ThreadHandle handle;
    auto running = std::make_unique<ThreadHandle::Running>();
    try {
        running->thread = std::thread([code = running->exitCode, routine, argument] { *code = routine(argument); });
    } catch (const std::system_error&) {
        return handle;
    }
    handle.running_ = std::move(running);
    return handle;
}

void YieldThread() { std::this_thread::yield(); }

}  // namespace vtx
