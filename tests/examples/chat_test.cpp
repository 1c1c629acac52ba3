// The chat example as two people use it: one window hosts, a second joins,
// each types a line with the keyboard and the other window shows it with
// the writer's name. The session runs on 127.0.0.1 on a port the system
// picked; the host's last frame is compared with its gallery picture.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "examples/driven_example.h"
#include "examples/screenshots.h"
#include "net/loopback_peer.h"
#include "support/running_program.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;
using example_test::Focus;
using example_test::Tap;
using example_test::Picture;
using example_test::PixelsOff;
using example_test::PrintsLine;
using example_test::ReadPng;
using example_test::TypeText;

namespace {

// Each program's output in a folder of its own.
struct ChatWindow {
    ChatWindow(const fs::path& scratch, const std::string& name, const std::string& arguments)
        : folder(scratch / name), program((fs::create_directories(folder), CHAT), arguments, folder.string()) {}
    fs::path folder;
    RunningProgram program;
};

// At most so many frames, should a test fail before it ends the windows.
constexpr int kMostFrames = 3600;

}  // namespace

TEST(ChatExample, TwoWindowsTradeLinesWithTheirNames) {
    ScratchFolder scratch("chat");
    const std::string port = std::to_string(vtx::test::ClosedPort());
    const fs::path shot = scratch.path() / "host.png";

    // Started twice with the same port: the first hosts, the second joins.
    ChatWindow ann(scratch.path(), "ann",
                   std::string("port=").append(port).append(" name=Ann ").append(std::to_string(kMostFrames))
                       .append(" ").append(Quoted(shot.string())));
    ASSERT_TRUE(PrintsLine(ann.program, std::string("hosting on port ").append(port).append(" as Ann")))
        << ann.program.Stdout() << ann.program.Stderr();
    ChatWindow bob(scratch.path(), "bob",
                   std::string("port=").append(port).append(" name=Bob ").append(std::to_string(kMostFrames)));
    ASSERT_TRUE(PrintsLine(bob.program, std::string("joined port ").append(port).append(" as Bob")))
        << bob.program.Stdout() << bob.program.Stderr();
    EXPECT_TRUE(PrintsLine(ann.program, "* Bob joined")) << ann.program.Stdout();

    // Bob types; Backspace mends a typo before Enter sends the line.
    const std::string bobWindow = FindWindow("Vantrix chat: Bob");
    ASSERT_FALSE(bobWindow.empty());
    ASSERT_TRUE(Focus(bobWindow));
    TypeText("hello annx");
    Tap("BackSpace");
    Tap("Return");
    EXPECT_TRUE(PrintsLine(ann.program, "Bob: hello ann")) << ann.program.Stdout();
    EXPECT_TRUE(PrintsLine(bob.program, "Bob: hello ann")) << bob.program.Stdout();

    // Ann answers from the host's window.
    const std::string annWindow = FindWindow("Vantrix chat: Ann");
    ASSERT_FALSE(annWindow.empty());
    ASSERT_TRUE(Focus(annWindow));
    TypeText("hi bob");
    Tap("Return");
    EXPECT_TRUE(PrintsLine(bob.program, "Ann: hi bob")) << bob.program.Stdout();
    EXPECT_TRUE(PrintsLine(ann.program, "Ann: hi bob")) << ann.program.Stdout();

    // Escape ends the host, which saves its last frame (as the X server
    // shows it: its window raised above Bob's); Bob hears of it.
    RunCommand("xdotool windowraise " + annWindow);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Tap("Escape");
    ASSERT_EQ(ann.program.WaitForExit(10000), 0) << ann.program.Stderr();
    EXPECT_TRUE(PrintsLine(bob.program, "* Ann left")) << bob.program.Stdout();
    EXPECT_TRUE(PrintsLine(bob.program, "* the session ended")) << bob.program.Stdout();
    ASSERT_TRUE(Focus(bobWindow));
    Tap("Escape");
    EXPECT_EQ(bob.program.WaitForExit(10000), 0) << bob.program.Stderr();

    // Lines nobody typed never appear: each side shows the conversation once.
    EXPECT_EQ(CountLines(ann.program.Stdout(), "Bob: hello ann"), 1) << ann.program.Stdout();
    EXPECT_EQ(CountLines(bob.program.Stdout(), "Ann: hi bob"), 1) << bob.program.Stdout();

    // The host's window as the gallery shows it (the port is not drawn).
    Picture picture, reference;
    ASSERT_TRUE(ReadPng(shot.string(), picture)) << shot;
    ASSERT_TRUE(ReadPng(REFERENCE_DIR "/chat.png", reference));
    ASSERT_EQ(picture.width, reference.width);
    ASSERT_EQ(picture.height, reference.height);
    EXPECT_LE(PixelsOff(picture, reference, 8), picture.width * picture.height / 200);
}

// A window asked to join where no session runs says so and ends by itself.
TEST(ChatExample, JoiningWithoutAHostSaysSoAndEnds) {
    ScratchFolder scratch("chat-alone");
    const std::string port = std::to_string(vtx::test::ClosedPort());
    ChatWindow lone(scratch.path(), "lone", std::string("join port=").append(port).append(" 600"));
    EXPECT_EQ(lone.program.WaitForExit(15000), 0) << lone.program.Stderr();
    EXPECT_EQ(lone.program.Stdout(), std::string("no session at 127.0.0.1:").append(port).append("\n"));
}

// Asked to host on a port another program listens on, it says so and ends.
TEST(ChatExample, HostingOnATakenPortSaysSoAndEnds) {
    ScratchFolder scratch("chat-taken");
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = vtx::test::LoopbackAddress(0);
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    const std::string port = std::to_string(vtx::test::BoundPort(listener));
    ChatWindow taken(scratch.path(), "taken", std::string("host port=").append(port).append(" 600"));
    EXPECT_EQ(taken.program.WaitForExit(15000), 0) << taken.program.Stderr();
    close(listener);
    EXPECT_EQ(taken.program.Stdout(), std::string("cannot host on port ").append(port).append("\n"));
}
