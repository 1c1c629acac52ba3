// Starting a background thread with a start routine and one argument, the
// way the session worker is started, and waiting for it with its exit code.
#pragma once

#include <cstdint>
#include <memory>

namespace vtx {

using ThreadRoutine = uint32_t (*)(void* argument);

// A started thread kept for a later wait; empty when none was started.
class ThreadHandle {
public:
    ThreadHandle();
    ThreadHandle(ThreadHandle&&) noexcept;
    ThreadHandle& operator=(ThreadHandle&&) noexcept;
    ~ThreadHandle();  // a thread never waited for runs on by itself

    bool started() const noexcept;
    // Waits for the thread to end; its exit code goes into exitCode. False
    // when there is no thread to wait for.
    bool wait(uint32_t& exitCode);

private:
    friend ThreadHandle StartThread(ThreadRoutine routine, void* argument);
    struct Running;
    std::unique_ptr<Running> running_;
};

// Starts routine(argument) on a new thread; the handle is empty when the
// thread could not be started.
ThreadHandle StartThread(ThreadRoutine routine, void* argument);

// Gives the rest of this thread's time slice to others (a sleep of 0 ms).
void YieldThread();

}  // namespace vtx
