// Players, requests and texts of a session.
#include <chrono>
#include <thread>

#include "core/text_commands_internal.h"
#include "net/session_commands.h"
#include "net/session_record.h"
#include "net/session_requests.h"

namespace vtx {
namespace {

constexpr int kAnswerPolls = 250;
constexpr auto kPollPause = std::chrono::milliseconds(20);

// Message texts keep any zero bytes they carry.
RtString TextOf(const std::string& bytes) { return vtx::TextOf(bytes.data(), bytes.size()); }

}  // namespace

uint16_t RegisterPlayer(SessionRecord& s, const std::string& name) {
    s.lock.take();
    if (!s.active || s.connectionSlot < 0) {
        s.lock.release();
        return 0;
    }
    SessionPlayer fresh;
    fresh.slot = s.connectionSlot;
    fresh.id = kRegistrationToSend;
    fresh.query = name.empty() ? 1 : 0;
    fresh.name = name.empty() ? std::string("query") : name.substr(0, kLongestPlayerName);
    s.players.push_back(std::move(fresh));
    SessionPlayer* player = &s.players.back();
    s.lock.release();
    uint16_t id = 0;
    for (int i = 0; i < kAnswerPolls; ++i) {
        std::this_thread::sleep_for(kPollPause);
        s.lock.take();
        const bool active = s.active != 0;
        if (active && player->id < kFirstNonPlayerId) id = player->id;
        s.lock.release();
        if (id != 0 || !active) break;
    }
    return id;
}

bool AskHost(SessionRecord& s, uint8_t type, const std::string& payload, std::string& answer) {
    s.lock.take();
    uint16_t query = s.queryPlayerId;
    s.lock.release();
    if (query == 0) query = RegisterPlayer(s, std::string());
    if (query == 0) return false;
    // An answer left over from a request that gave up is not this one's.
    s.lock.take();
    if (SessionPlayer* p = OwnPlayer(s, query)) std::erase_if(p->queue, [type](const QueuedMessage& m) { return m.type == type; });
    s.lock.release();
    if (SendToHost(s, EncodeMessage(type, kHostId, query, payload)) <= 0) return false;
    for (int i = 0; i < kAnswerPolls; ++i) {
        std::this_thread::sleep_for(kPollPause);
        s.lock.take();
        bool found = false;
        if (SessionPlayer* p = OwnPlayer(s, query)) {
            for (auto m = p->queue.begin(); m != p->queue.end(); ++m) {
                if (m->type != type) continue;
                answer = m->payload;
                p->queue.erase(m);
                found = true;
                break;
            }
        }
        const bool active = s.active != 0;
        s.lock.release();
        if (found) return true;
        if (!active) return false;
    }
    return false;
}

}  // namespace vtx

using namespace vtx;

int32_t NetAddPlayer(const RtString& name) {
    SessionRecord& s = EnsureSession();
    return RegisterPlayer(s, std::string(name.c_str(), name.length()));
}

int32_t NetRemovePlayer(int32_t playerId) {
    SessionRecord& s = EnsureSession();
    return SendToHost(s, EncodeMessage(kPlayerLeaves, kHostId, static_cast<uint16_t>(playerId)));
}

int32_t NetPlayerCount() {
    std::string answer;
    uint16_t count = 0;
    if (!AskHost(EnsureSession(), kAskPlayerCount, std::string(), answer) || !DecodeValue(answer, count)) return 0;
    return count;
}

int32_t NetPlayerId(int32_t index) {
    std::string answer;
    uint16_t id = 0;
    if (index < 0 || index > 65535) return 0;
    if (!AskHost(EnsureSession(), kAskPlayerByIndex, EncodeValue(static_cast<uint16_t>(index)), answer) ||
        !DecodeValue(answer, id))
        return 0;
    return id;
}

RtString NetPlayerName(int32_t playerId) {
    std::string answer;
    if (playerId < 0 || playerId > 65535) return RtString("NO_DATA");
    if (!AskHost(EnsureSession(), kAskPlayerName, EncodeValue(static_cast<uint16_t>(playerId)), answer))
        return RtString();
    return TextOf(answer);
}

bool NetSendText(int32_t senderId, int32_t receiverId, const RtString& text) {
    SessionRecord& s = EnsureSession();
    if (text.length() > kLargestPayload || senderId < 0 || senderId > 65535 || receiverId < 0 || receiverId > 65535)
        return false;
    s.lock.take();
    const bool active = s.active != 0;
    s.lock.release();
    if (!active) return false;
    const uint16_t receiver = receiverId == 0 ? kEveryPlayer : static_cast<uint16_t>(receiverId);
    const std::string payload(text.c_str(), text.length());
    return SendToHost(s, EncodeMessage(kTextMessage, receiver, static_cast<uint16_t>(senderId), payload)) > 0;
}

RtString NetGetText(int32_t playerId) {
    SessionRecord& s = EnsureSession();
    std::string text;
    s.lock.take();
    SessionPlayer* p = playerId >= 1 && playerId < kFirstNonPlayerId ? OwnPlayer(s, static_cast<uint16_t>(playerId)) : nullptr;
    if (p != nullptr && !p->queue.empty()) {
        text = std::move(p->queue.front().payload);
        s.lastSender = p->queue.front().sender;
        p->queue.pop_front();
    }
    s.lock.release();
    return TextOf(text);
}

int32_t NetLastSender() {
    SessionRecord& s = EnsureSession();
    s.lock.take();
    const int32_t sender = s.lastSender;
    s.lock.release();
    return sender;
}

int32_t NetPlayerLeft() {
    SessionRecord& s = EnsureSession();
    s.lock.take();
    int32_t id = 0;
    if (s.host && !s.leftPlayers.empty()) {
        id = s.leftPlayers.front();
        s.leftPlayers.pop_front();
    }
    s.lock.release();
    return id;
}
