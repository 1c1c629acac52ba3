// Network sessions with the host in this process and peers written with raw
// sockets (polite and hostile), and a joined program in another process.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <memory>
#include <string>
#include <vector>

#include "net/net_commands.h"
#include "net/session_commands.h"
#include "net/session_peer.h"
#include "net/socket_layer.h"

using namespace vtx;
using namespace vtx::test;

namespace {

// The oldest text for the player, polling a bounded number of times.
std::string WaitText(int32_t player, int polls = 500) {
    for (int i = 0; i < polls; ++i) {
        const RtString t = NetGetText(player);
        if (t.length() > 0) return std::string(t.c_str(), t.length());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

int32_t WaitLeft(int polls = 500) {
    for (int i = 0; i < polls; ++i) {
        const int32_t id = NetPlayerLeft();
        if (id != 0) return id;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}

class HostedSession : public ::testing::Test {
protected:
    void SetUp() override {
        port_ = ClosedPort();
        ASSERT_TRUE(NetHost(port_));
        alice_ = NetAddPlayer(RtString("alice"));
        ASSERT_EQ(alice_, 101);
    }
    void TearDown() override {
        NetLeave();
        EXPECT_EQ(SocketLayer.startCount, 0);
    }
    // A polite peer registers and trades a message with alice both ways:
    // the host still serves everyone.
    void ExpectHostStillServes() {
        RawPeer peer(port_);
        ASSERT_TRUE(peer.connected());
        const uint16_t id = peer.registerPlayer("polite");
        ASSERT_GE(id, 101);
        ASSERT_LT(id, 0xFF00);
        ASSERT_TRUE(peer.send(kTextMessage, static_cast<uint16_t>(alice_), id, "hello alice"));
        EXPECT_EQ(WaitText(alice_), "hello alice");
        EXPECT_EQ(NetLastSender(), id);
        ASSERT_TRUE(NetSendText(alice_, id, RtString("hello polite")));
        WireMessage m;
        ASSERT_TRUE(peer.receiveType(kTextMessage, m));
        EXPECT_EQ(m.payload, "hello polite");
        EXPECT_EQ(m.sender, alice_);
        EXPECT_EQ(m.receiver, id);
    }
    uint16_t port_ = 0;
    int32_t alice_ = 0;
};

}  // namespace

TEST_F(HostedSession, PlayersNamesCountsAndIds) {
    EXPECT_TRUE(NetIsActive());
    const int32_t bob = NetAddPlayer(RtString("bob"));
    EXPECT_EQ(bob, 102);
    EXPECT_EQ(NetPlayerCount(), 2);  // the hidden query player is not counted
    EXPECT_EQ(NetPlayerId(0), 101);
    EXPECT_EQ(NetPlayerId(1), 102);
    EXPECT_EQ(NetPlayerId(2), 0);
    EXPECT_STREQ(NetPlayerName(102).c_str(), "bob");
    EXPECT_STREQ(NetPlayerName(4321).c_str(), "NO_DATA");
    EXPECT_STREQ(NetGetText(bob).c_str(), "");
    EXPECT_EQ(NetPlayerLeft(), 0);
}

TEST_F(HostedSession, BroadcastReachesEveryoneButTheSenderAndQueryPlayers) {
    const int32_t bob = NetAddPlayer(RtString("bob"));
    ASSERT_GT(NetPlayerCount(), 0);  // registers this program's query player
    RawPeer carol(port_);
    const uint16_t carolId = carol.registerPlayer("carol");
    const uint16_t carolQuery = carol.registerPlayer("query", true);
    ASSERT_GE(carolId, 101);
    ASSERT_GE(carolQuery, 101);

    ASSERT_TRUE(NetSendText(alice_, 0, RtString("to all")));
    EXPECT_EQ(WaitText(bob), "to all");
    EXPECT_EQ(NetLastSender(), alice_);
    WireMessage m;
    ASSERT_TRUE(carol.receiveType(kTextMessage, m));
    EXPECT_EQ(m.receiver, carolId);  // not carol's query player
    EXPECT_EQ(m.payload, "to all");
    // A private message next: alice got nothing of her own broadcast.
    ASSERT_TRUE(carol.send(kTextMessage, static_cast<uint16_t>(alice_), carolId, "just you"));
    EXPECT_EQ(WaitText(alice_), "just you");
    EXPECT_EQ(NetLastSender(), carolId);
    EXPECT_FALSE(carol.receive(m, 100));  // neither did carol's query player
}

TEST_F(HostedSession, ALeavingPlayerIsGoneAndComesOutOfPlayerLeft) {
    RawPeer dave(port_);
    const uint16_t daveId = dave.registerPlayer("dave");
    ASSERT_EQ(NetPlayerCount(), 2);
    ASSERT_TRUE(dave.send(kPlayerLeaves, kHostId, daveId));
    EXPECT_EQ(WaitLeft(), daveId);
    EXPECT_EQ(NetPlayerCount(), 1);
    EXPECT_EQ(NetPlayerLeft(), 0);
    const int32_t bob = NetAddPlayer(RtString("bob"));
    EXPECT_EQ(NetRemovePlayer(bob), 7);
    EXPECT_EQ(WaitLeft(), bob);
}

TEST_F(HostedSession, AnOversizedLengthClosesThatConnectionOnly) {
    RawPeer bad(port_);
    const uint16_t id = bad.registerPlayer("bad");
    ASSERT_GE(id, 101);
    ASSERT_TRUE(bad.sendRaw(std::string("\x03\x07\xD0\x00\x65", 5) + std::string(1, static_cast<char>(id >> 8)) +
                            std::string(1, static_cast<char>(id & 255)) + std::string(3000, 'x')));
    EXPECT_TRUE(bad.closedByHost());
    EXPECT_EQ(WaitLeft(), id);
    ExpectHostStillServes();
}

TEST_F(HostedSession, ANameWithoutTerminatorIsCutAt127Characters) {
    RawPeer peer(port_);
    ASSERT_TRUE(peer.send(kRegisterPlayer, kHostId, 0, std::string(kRegistrationSize, 'N')));
    WireMessage answer;
    ASSERT_TRUE(peer.receiveType(kRegistrationAnswer, answer));
    EXPECT_EQ(std::string(NetPlayerName(answer.receiver).c_str()), std::string(127, 'N'));
    ExpectHostStillServes();
}

TEST_F(HostedSession, NobodySpeaksOrLeavesInAnotherConnectionsName) {
    RawPeer victim(port_);
    const uint16_t victimId = victim.registerPlayer("victim");
    RawPeer liar(port_);
    const uint16_t liarId = liar.registerPlayer("liar");
    ASSERT_TRUE(liar.send(kTextMessage, static_cast<uint16_t>(alice_), victimId, "forged"));
    ASSERT_TRUE(liar.send(kTextMessage, kEveryPlayer, victimId, "forged to all"));
    ASSERT_TRUE(liar.send(kPlayerLeaves, kHostId, victimId));
    ASSERT_TRUE(liar.send(kAskPlayerCount, kHostId, victimId));
    ASSERT_TRUE(liar.send(77, kHostId, liarId, "unknown type"));
    ASSERT_TRUE(liar.send(kTextMessage, static_cast<uint16_t>(alice_), liarId, "honest"));
    EXPECT_EQ(WaitText(alice_), "honest");  // the forged ones never arrived
    EXPECT_EQ(NetLastSender(), liarId);
    EXPECT_EQ(NetPlayerCount(), 3);         // the victim is still there
    EXPECT_EQ(NetPlayerLeft(), 0);
    WireMessage m;
    EXPECT_FALSE(victim.receive(m, 100));
    ExpectHostStillServes();
}

TEST_F(HostedSession, APeerStalledMidMessageHoldsUpNobody) {
    RawPeer staller(port_);
    const uint16_t id = staller.registerPlayer("staller");
    ASSERT_GE(id, 101);
    ASSERT_TRUE(staller.sendRaw(std::string("\x03\x00\x10\x00", 4)));  // and then nothing
    ExpectHostStillServes();
}

TEST_F(HostedSession, AConnectionClosedMidMessageFreesItsPlayers) {
    uint16_t ids[2];
    {
        RawPeer quitter(port_);
        ids[0] = quitter.registerPlayer("one");
        ids[1] = quitter.registerPlayer("two");
        ASSERT_GE(ids[1], 101);
        ASSERT_TRUE(quitter.sendRaw(EncodeMessage(kTextMessage, 101, ids[0], "cut short").substr(0, 10)));
    }
    const int32_t first = WaitLeft();
    const int32_t second = WaitLeft();
    EXPECT_EQ(std::min(first, second), ids[0]);
    EXPECT_EQ(std::max(first, second), ids[1]);
    ExpectHostStillServes();
}

TEST_F(HostedSession, APeerThatNeverReadsIsDroppedNotWaitedFor) {
    RawPeer deaf(port_);
    const int small = 4096;
    setsockopt(deaf.fd(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    const uint16_t deafId = deaf.registerPlayer("deaf");
    ASSERT_GE(deafId, 101);
    const RtString block(std::string(1000, 'f').c_str());
    int32_t left = 0;
    for (int i = 0; i < 20000 && left == 0; ++i) {
        ASSERT_TRUE(NetSendText(alice_, deafId, block));
        if (i % 100 == 99) left = NetPlayerLeft();
    }
    if (left == 0) left = WaitLeft();
    EXPECT_EQ(left, deafId);
    ExpectHostStillServes();
}

TEST_F(HostedSession, TwoHundredConnectionsAtOnce) {
    std::vector<std::unique_ptr<RawPeer>> peers;
    for (int i = 0; i < 200; ++i) {
        peers.push_back(std::make_unique<RawPeer>(port_));
        ASSERT_TRUE(peers.back()->connected());
        ASSERT_TRUE(peers.back()->send(kRegisterPlayer, kHostId, 0, EncodeRegistration(std::string("p").append(std::to_string(i)), false)));
    }
    std::vector<uint16_t> ids;
    for (auto& p : peers) {
        WireMessage answer;
        ASSERT_TRUE(p->receiveType(kRegistrationAnswer, answer));
        ids.push_back(answer.receiver);
    }
    EXPECT_EQ(NetPlayerCount(), 201);
    ASSERT_TRUE(NetSendText(alice_, 0, RtString("everyone")));
    for (size_t i = 0; i < peers.size(); ++i) {
        WireMessage m;
        ASSERT_TRUE(peers[i]->receiveType(kTextMessage, m));
        EXPECT_EQ(m.receiver, ids[i]);
        EXPECT_EQ(m.payload, "everyone");
    }
}

TEST_F(HostedSession, ASecondHostStopsTheFirst) {
    RawPeer old(port_);
    ASSERT_GE(old.registerPlayer("old"), 101);
    const uint16_t second = ClosedPort();
    ASSERT_TRUE(NetHost(second));
    EXPECT_TRUE(old.closedByHost());
    EXPECT_EQ(NetAddPlayer(RtString("fresh")), 101);
    EXPECT_EQ(NetPlayerCount(), 1);
    EXPECT_EQ(SocketLayer.startCount, 1);
}

TEST(SessionWithoutHost, CommandsFailQuietly) {
    EXPECT_FALSE(NetIsActive());
    EXPECT_EQ(NetAddPlayer(RtString("nobody")), 0);
    EXPECT_FALSE(NetSendText(101, 0, RtString("x")));
    EXPECT_EQ(NetPlayerCount(), 0);
    EXPECT_FALSE(NetJoin(RtString("127.0.0.1"), ClosedPort()));
    EXPECT_EQ(SocketLayer.startCount, 0);
    EXPECT_EQ(NetLeave(), 0);
}

namespace {

// A session host in another process: the probe program hosts on the port,
// registers "echo" and answers every text with "echo:" and the text.
class ProbeHost {
public:
    explicit ProbeHost(uint16_t port) {
        pid_ = fork();
        if (pid_ == 0) {
            const std::string p = std::to_string(port);
            execl(PROBE_SESSION, PROBE_SESSION, p.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~ProbeHost() { stop(); }
    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

}  // namespace

TEST(SessionAcrossProcesses, JoinTalkAndSeeTheHostGo) {
    const uint16_t port = ClosedPort();
    ProbeHost host(port);
    bool joined = false;
    for (int i = 0; i < 100 && !joined; ++i) {
        joined = NetJoin(RtString("127.0.0.1"), port);
        if (!joined) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(joined);
    const int32_t me = NetAddPlayer(RtString("visitor"));
    ASSERT_GE(me, 101);
    int32_t echo = 0;
    for (int i = 0; i < 100 && echo == 0; ++i) {
        for (int32_t index = 0; index < NetPlayerCount(); ++index)
            if (std::string(NetPlayerName(NetPlayerId(index)).c_str()) == "echo") echo = NetPlayerId(index);
        if (echo == 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_NE(echo, 0);
    ASSERT_TRUE(NetSendText(me, echo, RtString("ping")));
    EXPECT_EQ(WaitText(me), "echo:ping");
    EXPECT_EQ(NetLastSender(), echo);
    host.stop();
    bool active = true;
    for (int i = 0; i < 500 && active; ++i) {
        active = NetIsActive();
        if (active) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(active);
    EXPECT_EQ(NetPlayerCount(), 0);
    NetLeave();
    EXPECT_EQ(SocketLayer.startCount, 0);
}

TEST_F(HostedSession, OneConnectionRegistersAtMost64Players) {
    RawPeer greedy(port_);
    for (int i = 0; i < 64; ++i) {
        const uint16_t id = greedy.registerPlayer(std::string("g").append(std::to_string(i)));
        ASSERT_GE(id, 101);
        ASSERT_LT(id, 0xFF00);
    }
    EXPECT_EQ(greedy.registerPlayer("one too many"), 0xFF00);  // refused, still answered
    ExpectHostStillServes();
}

TEST_F(HostedSession, ConnectionsBeyondTheBoundAreClosed) {
    std::vector<std::unique_ptr<RawPeer>> peers;
    for (int i = 0; i < 260; ++i) peers.push_back(std::make_unique<RawPeer>(port_));
    int closed = 0;
    for (auto& p : peers) {
        // Registered peers were taken in; the ones past the bound are closed.
        WireMessage answer;
        if (!p->send(kRegisterPlayer, kHostId, 0, EncodeRegistration("many", false)) ||
            (!p->receiveType(kRegistrationAnswer, answer, 2000) && p->closedByHost(0)))
            ++closed;
    }
    EXPECT_GE(closed, 4);  // 256 connections, the host's own among them
    EXPECT_LE(closed, 5);
    peers.clear();
    // Once the host has seen them go (their players leave), it has room again.
    int gone = 0;
    for (int i = 0; i < 1000 && gone < 260 - closed; ++i) {
        if (NetPlayerLeft() != 0) ++gone;
        else std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(gone, 260 - closed);
    ExpectHostStillServes();
}

TEST_F(HostedSession, WhatTheHostSendsJustBeforeLeavingStillArrives) {
    RawPeer carol(port_);
    const uint16_t carolId = carol.registerPlayer("carol");
    ASSERT_GE(carolId, 101);
    ASSERT_EQ(NetPlayerCount(), 2);
    ASSERT_TRUE(NetSendText(alice_, carolId, RtString("goodbye")));
    NetLeave();
    WireMessage m;
    ASSERT_TRUE(carol.receiveType(kTextMessage, m));
    EXPECT_EQ(m.payload, "goodbye");
}
