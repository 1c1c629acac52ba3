// The last socket error and its text.
#include <cstdio>
#include <string>

#include "net/net_commands.h"
#include "net/socket_layer.h"

namespace vtx {

void SetLastSocketError(int32_t code) noexcept { SocketLayer.lastError.store(code, std::memory_order_relaxed); }
int32_t LastSocketError() noexcept { return SocketLayer.lastError.load(std::memory_order_relaxed); }
void NoteSocketCall(bool succeeded) noexcept { SetLastSocketError(succeeded ? 0 : platform::SocketErrorCode()); }

}  // namespace vtx

RtString SocketErrorText() {
    const int32_t code = vtx::LastSocketError();
    // Code 8 is the layer's own (every slot in use), not a system code.
    const std::string message =
        code == vtx::kNoFreeSlotError ? std::string("no free socket slot") : vtx::platform::SocketErrorMessage(code);
    if (message.empty()) return RtString();
    std::string text = std::to_string(code);
    text.append(" ").append(message);
    return RtString(text.c_str());
}
