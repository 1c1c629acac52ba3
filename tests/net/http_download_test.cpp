// HttpGetFile and HttpGetText against a server in the test that answers as
// told: well, in pieces, with a reset half-way, never closing, or with a
// broken header.
#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <gtest/gtest.h>

#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "net/loopback_peer.h"
#include "net/net_commands.h"
#include "net/socket_layer.h"

using namespace vtx::test;

namespace {

enum class Ending { Close, Reset, StayOpen };

// One scripted answer: pieces sent one after another (a short pause
// between them so they arrive apart), then the ending.
struct Script {
    std::vector<std::string> pieces;
    Ending ending = Ending::Close;
};

class HttpServer {
public:
    explicit HttpServer(Script script)
        : script_(std::move(script)), server_([this](int c) { answer(c); }) {}
    uint16_t port() const { return server_.port(); }
    int connections() const { return server_.accepted(); }
    std::string request() {
        std::lock_guard<std::mutex> hold(guard_);
        return request_;
    }

private:
    void answer(int c) {
        std::string got;
        char piece[4096];
        while (got.find("\r\n\r\n") == std::string::npos && got.size() < 65536 && WaitFor(c, POLLIN, kPeerWaitMs)) {
            const ssize_t n = recv(c, piece, sizeof piece, 0);
            if (n <= 0) break;
            got.append(piece, static_cast<size_t>(n));
        }
        {
            std::lock_guard<std::mutex> hold(guard_);
            request_ = got;
        }
        for (size_t i = 0; i < script_.pieces.size(); ++i) {
            if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (!SendAll(c, script_.pieces[i])) break;
        }
        if (script_.ending == Ending::Reset) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ResetConnection(c);
            return;
        }
        if (script_.ending == Ending::StayOpen) ReceiveUpTo(c, 1);  // until the client gives up
        close(c);
    }

    Script script_;
    std::mutex guard_;
    std::string request_;
    LoopbackServer server_;
};

const std::string kHeader = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nServer: test\r\n\r\n";

std::string Folder() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp != nullptr ? tmp : "/tmp");
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

// Names in the folder that start with the prefix (temporary files left
// beside a destination would show up here).
std::vector<std::string> NamesStartingWith(const std::string& folder, const std::string& prefix) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name).rfind(prefix, 0) == 0) names.push_back(e->d_name);
        closedir(d);
    }
    return names;
}

const RtString kLocal("127.0.0.1");

}  // namespace

TEST(HttpGetFile, WritesOnlyTheBodyAndSendsTheRequestLine) {
    HttpServer server({{"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 5\r\n\r\nhello"}});
    const std::string path = Folder() + "/five.txt";
    ASSERT_TRUE(HttpGetFile(kLocal, RtString("/five.txt"), server.port(), RtString(path.c_str()), 5000));
    EXPECT_EQ(ReadWhole(path), "hello");
    EXPECT_EQ(server.request(),
              "GET /five.txt HTTP/1.0\r\nHost:127.0.0.1\r\nAccept: */*\r\nUser-Agent: Vantrix\r\n\r\n");
    EXPECT_EQ(vtx::SocketLayer.startCount, 0);  // started and stopped around the transfer
}

TEST(HttpGetFile, AHeaderSplitAcrossPiecesAndBareLineFeedsIsStillDropped) {
    HttpServer server({{"HTTP/1.0 200 OK\r", "\nA: b\n\r", "\nbody ", "in pieces"}});
    const std::string path = Folder() + "/pieces.txt";
    ASSERT_TRUE(HttpGetFile(kLocal, RtString("/"), server.port(), RtString(path.c_str()), 5000));
    EXPECT_EQ(ReadWhole(path), "body in pieces");
}

TEST(HttpGetFile, AResetHalfWayLeavesNoFileAndKeepsAnOldOne) {
    const std::string body(200000, 'b');
    const std::string fresh = Folder() + "/reset-new.bin";
    {
        HttpServer server({{kHeader, body.substr(0, 100000)}, Ending::Reset});
        EXPECT_FALSE(HttpGetFile(kLocal, RtString("/big"), server.port(), RtString(fresh.c_str()), 5000));
        EXPECT_FALSE(Exists(fresh));
    }
    const std::string old = Folder() + "/reset-old.bin";
    std::ofstream(old) << "old contents";
    {
        HttpServer server({{kHeader, body.substr(0, 100000)}, Ending::Reset});
        EXPECT_FALSE(HttpGetFile(kLocal, RtString("/big"), server.port(), RtString(old.c_str()), 5000));
    }
    EXPECT_EQ(ReadWhole(old), "old contents");
    EXPECT_EQ(NamesStartingWith(Folder(), "reset-").size(), 1u);  // no temporary file left
    EXPECT_EQ(vtx::SocketLayer.startCount, 0);
}

TEST(HttpGetFile, AServerThatNeverClosesIsBoundedByTheTimeOut) {
    HttpServer server({{kHeader, "partial"}, Ending::StayOpen});
    const std::string path = Folder() + "/open.txt";
    EXPECT_FALSE(HttpGetFile(kLocal, RtString("/"), server.port(), RtString(path.c_str()), 300));
    EXPECT_FALSE(Exists(path));
}

TEST(HttpGetFile, FailuresBeforeTheTransfer) {
    const std::string path = Folder() + "/never.txt";
    EXPECT_FALSE(HttpGetFile(kLocal, RtString("/"), ClosedPort(), RtString(path.c_str()), 2000));
    EXPECT_FALSE(Exists(path));
    EXPECT_FALSE(HttpGetFile(kLocal, RtString("/"), 1234, RtString("mem://00000010.00001000"), 2000));
    EXPECT_FALSE(HttpGetFile(kLocal, RtString("/"), 1234, RtString((Folder() + "/no/such/dir/x").c_str()), 2000));
    EXPECT_EQ(vtx::SocketLayer.startCount, 0);

    // A line break in the path would add request lines: refused unsent.
    HttpServer server({{kHeader, "x"}});
    EXPECT_FALSE(HttpGetFile(kLocal, RtString("/a\r\nX-Evil: 1"), server.port(), RtString(path.c_str()), 2000));
    EXPECT_EQ(server.connections(), 0);
}

TEST(HttpGetText, AShortBodyComesWhole) {
    HttpServer server({{kHeader + "abcd"}});
    const RtString text = HttpGetText(kLocal, RtString("/t"), server.port(), 10, 5000);
    EXPECT_STREQ(text.c_str(), "abcd");
    EXPECT_EQ(text.length(), 4u);
}

TEST(HttpGetText, TheFirstBytesUpToTheMaximumAreKeptHoweverTheBodyIsSplit) {
    HttpServer server({{kHeader + "ab", "cdef", "ghij"}});
    EXPECT_STREQ(HttpGetText(kLocal, RtString("/t"), server.port(), 5, 5000).c_str(), "abcde");
    const std::string big(100000, 'z');
    HttpServer large({{kHeader, big}});
    EXPECT_EQ(HttpGetText(kLocal, RtString("/t"), large.port(), 1000, 5000).length(), 1000u);
}

TEST(HttpGetText, TheTextEndsAtItsFirstZeroByte) {
    HttpServer server({{kHeader + std::string("ab\0cd", 5)}});
    EXPECT_STREQ(HttpGetText(kLocal, RtString("/t"), server.port(), 100, 5000).c_str(), "ab");
}

TEST(HttpGetText, BrokenResponsesGiveTheEmptyText) {
    {
        HttpServer server({{"HTTP/1.0 200 OK\r\nNo-End: of header\r\n"}});
        EXPECT_EQ(HttpGetText(kLocal, RtString("/"), server.port(), 100, 5000).length(), 0u);
    }
    {
        std::string huge = "HTTP/1.0 200 OK\r\n";
        while (huge.size() < 2 * 1024 * 1024) huge += "X-Filler: 0123456789012345678901234567890123456789\r\n";
        HttpServer server({{huge + "\r\nbody"}});
        EXPECT_EQ(HttpGetText(kLocal, RtString("/"), server.port(), 100, 5000).length(), 0u);
    }
    {
        HttpServer server({{kHeader, "part of the body"}, Ending::Reset});
        EXPECT_EQ(HttpGetText(kLocal, RtString("/"), server.port(), 1000, 5000).length(), 0u);
    }
    {
        HttpServer server({{kHeader, "waiting"}, Ending::StayOpen});
        EXPECT_EQ(HttpGetText(kLocal, RtString("/"), server.port(), 1000, 300).length(), 0u);
    }
    EXPECT_EQ(vtx::SocketLayer.startCount, 0);
}

namespace {

// Python's http.server serving a folder on 127.0.0.1, on a port it picks;
// stopped with the test.
class PythonHttpServer {
public:
    explicit PythonHttpServer(const std::string& folder) {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            dup2(out[1], 2);
            close(out[0]);
            execlp("python3", "python3", "-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory",
                   folder.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        // "Serving HTTP on 127.0.0.1 port 41234 (http://127.0.0.1:41234/) ..."
        std::string said;
        char piece[256];
        while (said.find(") ...") == std::string::npos && said.size() < 4096 && WaitFor(out[0], POLLIN, kPeerWaitMs)) {
            const ssize_t n = read(out[0], piece, sizeof piece);
            if (n <= 0) break;
            said.append(piece, static_cast<size_t>(n));
        }
        output_ = out[0];
        const size_t at = said.find(" port ");
        if (at != std::string::npos) port_ = static_cast<uint16_t>(std::atoi(said.c_str() + at + 6));
    }
    ~PythonHttpServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (output_ >= 0) close(output_);
    }
    uint16_t port() const { return port_; }

private:
    pid_t pid_ = -1;
    int output_ = -1;
    uint16_t port_ = 0;
};

}  // namespace

TEST(HttpGetFile, DownloadsFromPythonsHttpServer) {
    const std::string folder = Folder() + "/served";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    std::string content;
    for (int i = 0; i < 300000; ++i) content += static_cast<char>('A' + i % 23);
    std::ofstream(folder + "/data.bin", std::ios::binary) << content;
    PythonHttpServer server(folder);
    ASSERT_NE(server.port(), 0) << "python3 -m http.server did not start";
    const std::string path = Folder() + "/fetched.bin";
    ASSERT_TRUE(HttpGetFile(RtString("localhost"), RtString("/data.bin"), server.port(), RtString(path.c_str()), 5000));
    EXPECT_TRUE(ReadWhole(path) == content);
    EXPECT_STREQ(HttpGetText(kLocal, RtString("/data.bin"), server.port(), 5, 5000).c_str(), "ABCDE");
    // A missing file: the server's error page is the body, as it comes.
    EXPECT_GT(HttpGetText(kLocal, RtString("/missing"), server.port(), 4096, 5000).length(), 0u);
}

TEST(SocketLayerShutdown, StopsTheLayerWhateverItsStartCount) {
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(SocketStart());
    const int32_t slot = UdpOpen(0);
    ASSERT_GE(slot, 0);
    vtx::ReleaseSocketLayer();
    EXPECT_EQ(vtx::SocketLayer.startCount, 0);
    EXPECT_EQ(vtx::UsedSlot(slot), nullptr);
}
