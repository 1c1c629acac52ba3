// A Vantrix program that shows frames until something ends it. Arguments:
//   noescape      Escape does not end the program
//   frames=N      end with EndProgram after N frames
//   assert        fail an assertion after the first frame
//   fatal=N       end on fatal error N after the first frame
//   endandrun=C   end and start the shell command C
//   breakpoint    ask for a debugger breakpoint before the first frame
//   callmissing   call a function name the program does not have
// Every frame it writes the frame count to $TMPDIR/probe-frames.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <vantrix/vantrix.h>

#include "host/host_state.h"
#include "host/lifecycle.h"

namespace {

void OnQuit() {
    std::printf("quit hook ran\n");
    std::fflush(stdout);
}

// The message hook sees every window event before the runtime does.
int hookCalls = 0;
void CountMessages(void*) { ++hookCalls; }

std::string Option(const std::string& line, const std::string& name) {
    const size_t at = line.find(" " + name);
    if (at == std::string::npos) return "";
    const size_t start = at + 1 + name.size();
    return line.substr(start, line.find(' ', start) - start);
}

void WriteFrameCount(long frames) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp ? tmp : "/tmp") + "/probe-frames";
    if (FILE* f = std::fopen((path + ".new").c_str(), "w")) {
        std::fprintf(f, "%ld %d\n", frames, hookCalls);
        std::fclose(f);
        std::rename((path + ".new").c_str(), path.c_str());
    }
}

}  // namespace

void ApplyProjectSettings() {
    ProjectSettings.title = "probe window";
}

const NamedFunction* ApplicationFunctionTable() {
    static const NamedFunction table[] = {{&OnQuit, "VTX_ON_QUIT"},
                                          {reinterpret_cast<void (*)()>(&CountMessages), "VTX_WIN32_MSG"},
                                          {nullptr, nullptr}};
    return table;
}

void AppMain() {
    const std::string line = vtx::Host.commandLine.c_str();
    if (line.find(" noescape") != std::string::npos) SetEscapeEnds(0);
    const std::string frames = Option(line, "frames=");
    const long limit = frames.empty() ? -1 : std::atol(frames.c_str());
    if (line.find(" breakpoint") != std::string::npos)
        std::printf("breakpoint=%d\n", DebugBreakpoint(0x2a));
    if (line.find(" callmissing") != std::string::npos)
        std::printf("callmissing=%s\n", RtString(CallByName(RtString("Nope"))).c_str());
    std::printf("started\n");
    std::fflush(stdout);
    for (long frame = 1;; ++frame) {
        ShowScreen();
        WriteFrameCount(frame);
        if (frame == limit) EndProgram();
        if (line.find(" assert") != std::string::npos) {
            SetSourcePosition(1, 77);
            Assert(0);
        }
        if (const std::string code = Option(line, "fatal="); !code.empty()) {
            SetSourcePosition(1, 12);
            vtx::FatalError(static_cast<uint32_t>(std::atoi(code.c_str())));
        }
        if (const std::string command = Option(line, "endandrun="); !command.empty()) EndAndRun(RtString(command.c_str()));
    }
}
