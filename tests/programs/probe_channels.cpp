// A Vantrix program for the channel, INI and line-store tests. Each argument
// is one action, done in order; the program ends after the last one (or
// earlier, when an action ends it):
//   setline=N             the current source line becomes N
//   cd=FOLDER             makes FOLDER the current directory
//   open=C:MODE:NAME      OpenChannel; prints "open=1|0 error=CODE"
//   readline=C            ReadLine; prints "line=TEXT"
//   readint8=C            ReadInt8; prints "int8=VALUE"
//   readint32=C           ReadInt32; prints "int32=VALUE"
//   writeline=C:TEXT      WriteLine
//   writeint8=C:VALUE     WriteInt8
//   readchars=C:N         ReadChars; prints "chars=LENGTH"
//   seek=C:DISTANCE:ORIGIN  SeekChannel; prints "seek=RESULT"
//   end=C                 ChannelEnd; prints "end=0|1"
//   iniopen=NAME          IniOpen
//   iniput=SECTION:KEY:VALUE  IniPut
//   lsput=NAME:N:TEXT     LineStorePut
// Lines go straight to standard output, unbuffered, so they are all there
// when an action ends the program.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <vantrix/vantrix.h>

#include "tests/support/probe_output.h"

namespace {

// The argument's fields after "name=", split at ":" into at most count
// fields (the last one keeps any further ":").
bool Fields(const std::string& argument, const std::string& name, size_t count, std::vector<std::string>& fields) {
    if (argument.rfind(name + "=", 0) != 0) return false;
    std::string rest = argument.substr(name.size() + 1);
    fields.clear();
    while (fields.size() + 1 < count) {
        const size_t colon = rest.find(':');
        if (colon == std::string::npos) break;
        fields.push_back(rest.substr(0, colon));
        rest = rest.substr(colon + 1);
    }
    fields.push_back(rest);
    return true;
}

uint32_t Channel(const std::string& text) { return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10)); }
int32_t Number(const std::string& text) { return static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10)); }

}  // namespace

void AppMain() {
    for (const std::string& argument : Arguments()) {
        std::vector<std::string> f;
        if (Fields(argument, "setline", 1, f)) {
            SetSourcePosition(1, Number(f[0]));
        } else if (Fields(argument, "cd", 1, f)) {
            ChangeDirectory(RtString(f[0].c_str()));
        } else if (Fields(argument, "open", 3, f) && f.size() == 3) {
            const bool ok = OpenChannel(Channel(f[0]), RtString(f[2].c_str()), Number(f[1]));
            Say(std::string("open=") + (ok ? "1" : "0") + " error=" + LastErrorText().c_str());
        } else if (Fields(argument, "readline", 1, f)) {
            RtString line;
            ReadLine(Channel(f[0]), line);
            Say(std::string("line=") + line.c_str());
        } else if (Fields(argument, "readint8", 1, f)) {
            int32_t value = 0;
            ReadInt8(Channel(f[0]), value);
            Say("int8=" + std::to_string(value));
        } else if (Fields(argument, "readint32", 1, f)) {
            int32_t value = 0;
            ReadInt32(Channel(f[0]), value);
            Say("int32=" + std::to_string(value));
        } else if (Fields(argument, "readchars", 2, f) && f.size() == 2) {
            RtString text;
            ReadChars(Channel(f[0]), text, Number(f[1]));
            Say("chars=" + std::to_string(text.length()));
        } else if (Fields(argument, "writeline", 2, f) && f.size() == 2) {
            WriteLine(Channel(f[0]), RtString(f[1].c_str()));
        } else if (Fields(argument, "writeint8", 2, f) && f.size() == 2) {
            WriteInt8(Channel(f[0]), Number(f[1]));
        } else if (Fields(argument, "seek", 3, f) && f.size() == 3) {
            Say("seek=" + std::to_string(SeekChannel(Channel(f[0]), Number(f[1]), Number(f[2]))));
        } else if (Fields(argument, "end", 1, f)) {
            Say(std::string("end=") + (ChannelEnd(Channel(f[0])) ? "1" : "0"));
        } else if (Fields(argument, "iniopen", 1, f)) {
            IniOpen(RtString(f[0].c_str()));
        } else if (Fields(argument, "iniput", 3, f) && f.size() == 3) {
            IniPut(RtString(f[0].c_str()), RtString(f[1].c_str()), RtString(f[2].c_str()));
        } else if (Fields(argument, "lsput", 3, f) && f.size() == 3) {
            LineStorePut(RtString(f[0].c_str()), Number(f[1]), RtString(f[2].c_str()));
        } else {
            Say("unknown action " + argument);
        }
    }
    Say("done");
}
