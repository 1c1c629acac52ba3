// The socket commands against real peers on 127.0.0.1.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "net/loopback_peer.h"
#include "net/net_commands.h"
#include "net/socket_layer.h"

using namespace vtx;
using namespace vtx::test;

namespace {

class SocketsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SocketStart()); }
    void TearDown() override {
        for (int i = 0; i < 64 && SocketLayer.startCount > 0; ++i) SocketStop();
    }
};

int32_t SystemSocketOf(int32_t slot) { return SocketLayer.slots[static_cast<size_t>(slot)].socket; }
uint16_t PortOf(int32_t slot) { return SocketLayer.slots[static_cast<size_t>(slot)].address.port; }
bool IsOpenDescriptor(int fd) { return fcntl(fd, F_GETFD) != -1; }

// Receives until something other than "nothing waiting" comes, polling a
// bounded number of times.
int32_t ReceiveSoon(int32_t slot, RtString& out, int32_t max) {
    int32_t n = -2;
    for (int i = 0; i < 1000 && n == -2; ++i) {
        n = SocketReceive(slot, out, max);
        if (n == -2) WaitFor(SystemSocketOf(slot), POLLIN, 10);
    }
    return n;
}

}  // namespace

TEST_F(SocketsTest, TwoStartsAndOneStopLeaveTheLayerRunning) {
    ASSERT_TRUE(SocketStart());
    const int32_t slot = UdpOpen(0);
    ASSERT_GE(slot, 0);
    const int fd = SystemSocketOf(slot);
    EXPECT_EQ(SocketStop(), 1);
    EXPECT_NE(UsedSlot(slot), nullptr);
    EXPECT_TRUE(IsOpenDescriptor(fd));
    EXPECT_EQ(SocketStop(), 0);  // the last stop closes every slot
    EXPECT_EQ(UsedSlot(slot), nullptr);
    EXPECT_FALSE(IsOpenDescriptor(fd));
}

TEST_F(SocketsTest, NewSocketsTakeTheLowestFreeSlotAndAFullTableGivesCode8) {
    std::vector<int32_t> slots;
    for (int i = 0; i < kSocketSlotCount; ++i) {
        const int32_t s = UdpOpen(0);
        ASSERT_EQ(s, i);
        slots.push_back(s);
    }
    EXPECT_EQ(TcpListen(0), -1);
    EXPECT_EQ(LastSocketError(), 8);
    EXPECT_EQ(UdpOpen(0), -1);
    EXPECT_EQ(TcpConnect(RtString("127.0.0.1"), ClosedPort(), 500), -1);
    EXPECT_EQ(LastSocketError(), 8);
    EXPECT_STREQ(SocketErrorText().c_str(), "8 no free socket slot");

    ASSERT_TRUE(SocketClose(517));
    ASSERT_TRUE(SocketClose(3));
    const int32_t listener = TcpListen(0);
    EXPECT_EQ(listener, 3);
    EXPECT_EQ(UdpOpen(0), 517);
    EXPECT_FALSE(SocketClose(3000));
    EXPECT_FALSE(SocketClose(-1));
}

TEST_F(SocketsTest, ConnectToAClosedPortFailsAndFreesItsSlot) {
    const int32_t refused = TcpConnect(RtString("127.0.0.1"), ClosedPort(), 5000);
    EXPECT_EQ(refused, -1);
    EXPECT_EQ(LastSocketError(), ECONNREFUSED);
    const std::string text = SocketErrorText().c_str();
    EXPECT_EQ(text.rfind(std::to_string(ECONNREFUSED) + " ", 0), 0u) << text;
    EXPECT_GT(text.size(), 4u);
    EXPECT_EQ(UdpOpen(0), 0);  // slot 0 was given back
}

TEST_F(SocketsTest, ReceiveSaysNothingWaitingThenDataThenClosed) {
    std::atomic<bool> sendNow{false};
    LoopbackServer server([&](int c) {
        for (int i = 0; i < 1000 && !sendNow; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        SendAll(c, std::string("he\0lo", 5));
        ReceiveUpTo(c, 1);  // until the client says it has the bytes
        close(c);
    });
    const int32_t slot = TcpConnect(RtString("127.0.0.1"), server.port(), 5000);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(SocketLayer.slots[static_cast<size_t>(slot)].address.address, kLoopback);
    RtString out("left over");
    EXPECT_EQ(SocketReceive(slot, out, 100), -2);
    EXPECT_EQ(out.length(), 0u);
    sendNow = true;
    ASSERT_EQ(ReceiveSoon(slot, out, 100), 5);
    EXPECT_EQ(out.length(), 5u);  // the zero byte stays inside
    EXPECT_EQ(std::memcmp(out.c_str(), "he\0lo", 6), 0);
    EXPECT_EQ(SocketSend(slot, RtString("k")), 1);
    EXPECT_EQ(ReceiveSoon(slot, out, 100), 0);
    EXPECT_EQ(out.length(), 0u);
    EXPECT_TRUE(SocketClose(slot));
}

// A peer that resets the connection once the client has said something (a
// reset before the connect is checked would make the connect fail).
void ResetAfterOneByte(int c) {
    ReceiveUpTo(c, 1);
    ResetConnection(c);
}

TEST_F(SocketsTest, AResetPeerCountsAsClosed) {
    LoopbackServer server(ResetAfterOneByte);
    const int32_t slot = TcpConnect(RtString("127.0.0.1"), server.port(), 5000);
    ASSERT_GE(slot, 0);
    ASSERT_EQ(SocketSend(slot, RtString("x")), 1);
    RtString out;
    EXPECT_EQ(ReceiveSoon(slot, out, 16), 0);
}

TEST_F(SocketsTest, OneMegabyteIsEchoedByteForByte) {
    LoopbackServer echo([](int c) {
        char piece[65536];
        while (WaitFor(c, POLLIN, kPeerWaitMs)) {
            const ssize_t n = recv(c, piece, sizeof piece, 0);
            if (n <= 0 || !SendAll(c, std::string(piece, static_cast<size_t>(n)))) break;
        }
        close(c);
    });
    const int32_t slot = TcpConnect(RtString("127.0.0.1"), echo.port(), 5000);
    ASSERT_GE(slot, 0);
    std::string sent(1 << 20, 0);
    for (size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>((i * 7919u) >> 3);
    sent[0] = 'x';  // an RtString built from text needs a non-zero start
    RtString text;
    char* block = text.getBuffer(static_cast<uint32_t>(sent.size()));
    std::memcpy(block, sent.data(), sent.size());
    text.truncate(static_cast<int32_t>(sent.size()));

    int32_t sentCount = 0;
    std::thread sender([&] { sentCount = SocketSend(slot, text); });
    std::string back;
    RtString piece;
    for (int i = 0; i < 100000 && back.size() < sent.size(); ++i) {
        const int32_t n = ReceiveSoon(slot, piece, 65536);
        if (n <= 0) break;
        back.append(piece.c_str(), static_cast<size_t>(n));
    }
    sender.join();
    EXPECT_TRUE(SocketClose(slot));
    EXPECT_EQ(sentCount, 1 << 20);
    ASSERT_EQ(back.size(), sent.size());
    EXPECT_TRUE(back == sent);
}

TEST_F(SocketsTest, SendingToAPeerThatHasGoneFailsWithoutKillingTheProgram) {
    LoopbackServer server(ResetAfterOneByte);
    const int32_t slot = TcpConnect(RtString("127.0.0.1"), server.port(), 5000);
    ASSERT_GE(slot, 0);
    ASSERT_EQ(SocketSend(slot, RtString("x")), 1);
    RtString out;
    ASSERT_EQ(ReceiveSoon(slot, out, 16), 0);
    int32_t result = 0;
    for (int i = 0; i < 100 && result >= 0; ++i) result = SocketSend(slot, RtString("data after the end"));
    EXPECT_EQ(result, -1);
    EXPECT_NE(LastSocketError(), 0);
}

TEST_F(SocketsTest, ListenAcceptsALocalClientAndReportsItsAddress) {
    const int32_t listener = TcpListen(0);
    ASSERT_GE(listener, 0);
    int32_t address = 0;
    EXPECT_EQ(TcpAccept(listener, address), -1);  // nothing pending: at once
    const int client = ConnectLoopback(PortOf(listener));
    ASSERT_GE(client, 0);
    int32_t accepted = -1;
    for (int i = 0; i < 500 && accepted < 0; ++i) {
        accepted = TcpAccept(listener, address);
        if (accepted < 0) WaitFor(SystemSocketOf(listener), POLLIN, 10);
    }
    ASSERT_GE(accepted, 0);
    EXPECT_EQ(address, 2130706433);
    EXPECT_STREQ(AddressText(address).c_str(), "127.0.0.1");
    EXPECT_EQ(SocketSend(accepted, RtString("welcome")), 7);
    EXPECT_EQ(ReceiveUpTo(client, 7), "welcome");
    close(client);
    RtString out;
    EXPECT_EQ(ReceiveSoon(accepted, out, 16), 0);
}

TEST_F(SocketsTest, UdpDatagramsGoBothWays) {
    const int peer = socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in at = LoopbackAddress(0);
    ASSERT_EQ(bind(peer, reinterpret_cast<const sockaddr*>(&at), sizeof at), 0);
    const uint16_t peerPort = BoundPort(peer);

    const int32_t slot = UdpOpen(0);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(UdpSendTo(slot, RtString("ping"), 0, 0), -1);  // no destination
    ASSERT_EQ(UdpSendTo(slot, RtString("ping"), static_cast<int32_t>(kLoopback), peerPort), 4);
    ASSERT_TRUE(WaitFor(peer, POLLIN, kPeerWaitMs));
    char got[16];
    sockaddr_in from{};
    socklen_t size = sizeof from;
    const ssize_t n = recvfrom(peer, got, sizeof got, 0, reinterpret_cast<sockaddr*>(&from), &size);
    ASSERT_EQ(n, 4);
    EXPECT_EQ(std::string(got, 4), "ping");
    ASSERT_EQ(sendto(peer, "pong!", 5, 0, reinterpret_cast<const sockaddr*>(&from), size), 5);
    RtString out;
    EXPECT_EQ(ReceiveSoon(slot, out, 64), 5);
    EXPECT_STREQ(out.c_str(), "pong!");
    close(peer);

    // A slot bound to a port the system picked receives there.
    const int32_t bound = UdpOpen(ClosedPort());
    ASSERT_GE(bound, 0);
    EXPECT_EQ(UdpSendTo(slot, RtString("to bound"), static_cast<int32_t>(kLoopback), PortOf(bound)), 8);
    EXPECT_EQ(ReceiveSoon(bound, out, 64), 8);
    EXPECT_STREQ(out.c_str(), "to bound");
    int32_t address = 0;
    EXPECT_EQ(TcpAccept(bound, address), -1);
    EXPECT_EQ(LastSocketError(), 0);
}

TEST_F(SocketsTest, BadArgumentsFailWithAnError) {
    RtString out("x");
    EXPECT_EQ(SocketReceive(5, out, 10), -1);
    EXPECT_EQ(out.length(), 0u);
    EXPECT_EQ(SocketSend(-3, RtString("a")), -1);
    EXPECT_EQ(TcpListen(70000), -1);
    EXPECT_EQ(UdpOpen(-1), -1);
    const int32_t slot = UdpOpen(0);
    EXPECT_EQ(SocketReceive(slot, out, 0), -1);
    EXPECT_EQ(SocketSend(slot, RtString("")), -1);  // a UDP slot needs a destination
}

TEST(Addresses, NumbersAndTexts) {
    EXPECT_STREQ(AddressText(2130706433).c_str(), "127.0.0.1");
    EXPECT_STREQ(AddressText(-1).c_str(), "255.255.255.255");
    EXPECT_EQ(HostAddress(RtString("10.1.2.3")), 167838211);
    EXPECT_EQ(HostAddress(RtString("127.0.0.1")), 2130706433);
    EXPECT_EQ(HostAddress(RtString("localhost")), 2130706433);
}

TEST(Addresses, LocalAddressesLeaveOutLoopBackAndTheEmptyNameIsThisMachine) {
    const std::string list = LocalAddresses().c_str();
    std::vector<std::string> parts;
    for (size_t start = 0; !list.empty() && start <= list.size();) {
        const size_t bar = list.find('|', start);
        parts.push_back(list.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    for (const std::string& p : parts) {
        EXPECT_NE(p.rfind("127.", 0), 0u) << list;
        EXPECT_NE(HostAddress(RtString(p.c_str())), -1) << p;
    }
    const int32_t own = HostAddress(RtString(""));
    if (parts.empty()) EXPECT_EQ(own, 2130706433);
    else EXPECT_EQ(own, HostAddress(RtString(parts[0].c_str())));
}
