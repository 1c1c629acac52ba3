// Chat over a session: started once it hosts a session, started again (in a
// second window) it joins it; each window edits a line at the bottom, Enter
// sends it to every other player, and the conversation above shows each
// line with its player's name.
//
//   chat [host|join] [port=N] [name=NAME] [at=ADDRESS] [FRAMES [SHOT]]
//
// Without host or join it hosts, or joins when the port is already taken by
// a session on this machine. The port defaults to 27911, next to the
// sessions' own default, the address to 127.0.0.1, the name to "Host" or
// "Guest". Escape leaves the session and ends it; FRAMES and SHOT as in
// unattended.h. Every conversation line is also written to standard output.
#include <vantrix/vantrix.h>

#include "unattended.h"

namespace {

// What the command line asks for.
struct ChatOptions {
    RtString role;  // "host", "join", or empty: host, else join
    int32_t port = 27911;
    RtString name;
    RtString address = "127.0.0.1";
    UnattendedRun run;
};

// The command line's words after the program's path (quoted when it holds a
// blank), read into options.
ChatOptions ReadOptions() {
    RtString line = CommandLine();
    const int32_t pathEnd = MidText(line, 0, 1) == "\"" ? FindText(line, "\"", 1) : 0;
    const int32_t blank = pathEnd < 0 ? -1 : FindText(line, " ", pathEnd);
    line = blank < 0 ? RtString() : MidText(line, blank + 1, -1);

    ChatOptions options;
    RtArray<RtString> words;
    const int32_t count = SplitText(line, words, " ");
    int32_t unnamed = 0;  // the words FRAMES and SHOT seen so far
    for (int32_t i = 0; i < count; ++i) {
        const RtString& word = ArrayElement(words, i);
        if (word == "host" || word == "join") {
            options.role = word;
        } else if (MidText(word, 0, 5) == "port=") {
            options.port = static_cast<int32_t>(MidText(word, 5, -1));
        } else if (MidText(word, 0, 5) == "name=") {
            options.name = MidText(word, 5, -1);
        } else if (MidText(word, 0, 3) == "at=") {
            options.address = MidText(word, 3, -1);
        } else if (unnamed++ == 0) {
            options.run.frames = static_cast<int32_t>(word);
            if (options.run.frames < 0) options.run.frames = 0;
        } else {
            options.run.shot = word.c_str();
        }
    }
    return options;
}

// Read when the runtime has the command line, before the window opens.
ChatOptions Options;

// Lines of the conversation kept and shown; the longest line one can type.
constexpr int32_t kShownLines = 17;
constexpr int32_t kLongestLine = 70;
// A text that starts with this byte is a note about a player (joined,
// left), not a line someone typed: InKey never gives it.
RtString Note() { return CharText(1); }

// The conversation, oldest line first.
RtArray<RtString> Conversation;

// The names of the players heard from, by id: asked of the host once, so a
// player's last words still have its name after it left.
RtArray<int32_t> KnownIds;
RtArray<RtString> KnownNames;

RtString NameOf(int32_t id) {
    for (int32_t i = 0; i < ArrayBounds(KnownIds, 0); ++i)
        if (ArrayElement(KnownIds, i) == id) return ArrayElement(KnownNames, i);
    const RtString name = NetPlayerName(id);
    if (name == "") return "?";  // no answer this time: asked again next time
    ArrayAppend(KnownIds, id);
    ArrayAppend(KnownNames, name);
    return name;
}

// Adds a line to the conversation on screen and to standard output.
void AddLine(const RtString& text) {
    ArrayAppend(Conversation, text);
    ConsoleWrite(text + "\n");
}

// The names of the session's players, asked of the host, joined by commas.
RtString PlayerNames() {
    RtString names;
    const int32_t count = NetPlayerCount();
    for (int32_t i = 0; i < count; ++i) {
        if (i > 0) names += ", ";
        names += NameOf(NetPlayerId(i));
    }
    return names;
}

void DrawChat(const RtString& heading, const RtString& players, const RtString& typing) {
    int32_t cellWidth = 0, cellHeight = 0;
    GetFontSize(cellWidth, cellHeight);
    const int32_t step = cellHeight + 6;
    ClearScreen(0x302010);
    DrawRect(0, 0, 640, 2 * step + 8, 0x604020);
    PrintText(heading, 12, 6);
    PrintText(RtString("players: ") + players, 12, 6 + step);

    const int32_t lines = ArrayBounds(Conversation, 0);
    const int32_t first = lines > kShownLines ? lines - kShownLines : 0;
    for (int32_t i = first; i < lines; ++i) PrintText(ArrayElement(Conversation, i), 12, 2 * step + 20 + (i - first) * step);

    DrawRect(0, 480 - step - 12, 640, step + 12, 0x1C1008);
    PrintText(RtString("> ") + typing + "_", 12, 480 - step - 4);
}

}  // namespace

void ApplyProjectSettings() {
    Options = ReadOptions();
    ProjectSettings.screenWidth = 640;
    ProjectSettings.screenHeight = 480;
    // Debug mode keeps a window running while the other one has the focus
    // (otherwise it pauses until it gets it back).
    ProjectSettings.debugMode = 1;
    const RtString who = Options.name == "" ? RtString("") : RtString(": ") + Options.name;
    ProjectSettings.title = RtString("Vantrix chat") + who;
}

void AppMain() {
    const UnattendedRun& run = Options.run;
    LimitFps(60);
    SetEscapeEnds(0);  // Escape leaves the session first (below)

    // Host, or join the session that holds the port already.
    bool hosting = false;
    if (Options.role != "join") hosting = NetHost(Options.port);
    if (!hosting && Options.role != "host" && !NetJoin(Options.address, Options.port)) {
        ConsoleWrite(RtString("no session at ") + Options.address + ":" + Options.port + "\n");
        return;
    }
    if (!NetIsActive()) {
        ConsoleWrite(RtString("cannot host on port ") + Options.port + "\n");
        return;
    }
    const RtString name = Options.name != "" ? Options.name : RtString(hosting ? "Host" : "Guest");
    const int32_t me = NetAddPlayer(name);
    if (me == 0) {
        ConsoleWrite("the host did not answer\n");
        return;
    }
    ConsoleWrite(RtString(hosting ? "hosting on port " : "joined port ") + Options.port + " as " + name + "\n");
    if (!hosting) NetSendText(me, 0, Note() + "joined");
    const RtString heading = name + (hosting ? " hosts the chat" : " in the chat");
    RtString players = PlayerNames();

    RtString typing;
    bool ended = false;       // the host left: nothing more to send
    int32_t askPlayers = -1;  // the frame to ask for the players again
    for (int frame = 0; run.Continues(frame); ++frame) {
        // The line being typed: characters from the keyboard, Backspace (8)
        // removes the last one, Enter (10) sends the line to everyone.
        for (RtString c = InKey(); c != ""; c = InKey()) {
            const int32_t code = CharCode(c);
            if (code == 8) {
                typing = MidText(typing, 0, static_cast<int32_t>(typing.length()) - 1);
            } else if (code == 10) {
                if (typing != "" && !ended && NetSendText(me, 0, typing)) AddLine(name + ": " + typing);
                typing = "";
            } else if (code >= 32 && typing.length() < kLongestLine) {
                typing += c;
            }
        }
        if (KeyState(KEY_ESCAPE)) break;

        // Every message that came, with its sender's name; a note changes
        // who takes part.
        for (RtString text = NetGetText(me); text != ""; text = NetGetText(me)) {
            const RtString sender = NameOf(NetLastSender());
            if (MidText(text, 0, 1) == Note()) {
                AddLine(RtString("* ") + sender + " " + MidText(text, 1, -1));
                players = PlayerNames();
                askPlayers = frame + 30;  // once more when a leaver is gone from the host too
            } else {
                AddLine(sender + ": " + text);
            }
        }
        // A player that left without saying so (the host learns of it).
        if ((hosting && NetPlayerLeft() != 0) || (frame == askPlayers && !ended)) players = PlayerNames();
        if (!ended && !NetIsActive()) {
            AddLine("* the session ended");
            ended = true;
        }

        DrawChat(heading, players, typing);
        ShowScreen();
    }
    run.Finish();
    if (!ended) {
        // Leaving sends what is still on its way, so the others see this.
        NetSendText(me, 0, Note() + "left");
        NetRemovePlayer(me);
        NetLeave();
    }
}
