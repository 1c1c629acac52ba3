// A Vantrix program for the inline data and console tests. Each argument is
// one action:
//   data=N      selects a block of three items (text "one", number 2.5,
//               text " 3.7kg") and reads N items, alternating text, number
//               and integer readers, printing each as "item=..."
//   nodata      reads a number with no block selected
//   console     OpenConsole, then "prompt> " on standard output, reads lines
//               until the end of input, echoing each as "line=[...]" on
//               standard output and "err=[...]" on standard error
// Data reads run at source line 30. The quit hook prints "quit hook ran".
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <vantrix/vantrix.h>

#include "tests/support/probe_output.h"

namespace {

void OnQuit() { Say("quit hook ran"); }

const DataItem kItems[] = {{0, "one"}, {2.5, nullptr}, {0, " 3.7kg"}};
DataBlock Block = {kItems, 3, 0};

void ReadItems(int count) {
    RestoreData(Block);
    SetSourcePosition(1, 30);
    for (int i = 0; i < count; ++i) {
        switch (i % 3) {
            case 0: {
                RtString text;
                ReadDataText(text);
                Say(std::string("item=") + text.c_str());
                break;
            }
            case 1: {
                double number = 0;
                ReadDataNumber(number);
                Say("item=" + std::string(RtString(number).c_str()));
                break;
            }
            default: {
                int32_t integer = 0;
                ReadDataInteger(integer);
                Say("item=" + std::to_string(integer));
                break;
            }
        }
    }
}

void EchoConsole() {
    OpenConsole();
    ConsoleWrite(RtString("prompt> "));
    for (;;) {
        const RtString line = ConsoleReadLine();
        if (line.length() == 0 && (std::feof(stdin) || std::ferror(stdin))) break;
        ConsoleWrite(RtString("line=[") + line + "]\n");
        ConsoleWriteError(RtString("err=[") + line + "]\n");
    }
}

}  // namespace

const NamedFunction* ApplicationFunctionTable() {
    static const NamedFunction table[] = {{&OnQuit, "VTX_ON_QUIT"}, {nullptr, nullptr}};
    return table;
}

void AppMain() {
    for (const std::string& argument : Arguments()) {
        if (argument.rfind("data=", 0) == 0) ReadItems(std::stoi(argument.substr(5)));
        else if (argument == "nodata") {
            SetSourcePosition(1, 30);
            double number = 0;
            ReadDataNumber(number);
            Say("read without a block");
        } else if (argument == "console") {
            EchoConsole();
        }
    }
}
