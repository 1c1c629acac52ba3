// A session host for the session tests: hosts on the port given, registers
// "echo" and answers every text sent to it with "echo:" and the text, for
// at most 60 seconds.
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <vantrix/vantrix.h>

int main(int argc, char** argv) {
    if (argc < 2 || !NetHost(std::atoi(argv[1]))) return 1;
    const int32_t echo = NetAddPlayer(RtString("echo"));
    if (echo == 0) return 2;
    for (int i = 0; i < 60000; ++i) {
        const RtString text = NetGetText(echo);
        if (text.length() > 0) NetSendText(echo, NetLastSender(), RtString("echo:") + text);
        else std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    NetLeave();
    return 0;
}
