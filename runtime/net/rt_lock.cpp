// RtLock (see rt_lock.h).
#include "net/rt_lock.h"

namespace vtx {

void RtLock::take() {
    // The owner taking it again gets its extra entry released at once.
    if (ownedByThisThread()) return;
    mutex_.lock();
    owner_.store(std::this_thread::get_id());
}

void RtLock::release() {
    if (!ownedByThisThread()) return;
    owner_.store(std::thread::id{});
    mutex_.unlock();
}

}  // namespace vtx
