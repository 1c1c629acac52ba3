// A Vantrix program for the platform tests. Each argument is one action:
//   commandline     prints "commandline=" and the stored command line
//   declare=NAME    binds a function of module NAME, prints "bound=0|1"
//   bindexit=PATH   registers an exit handler that prints "exit handler ran",
//                   then binds VtxBoundAdd of module PATH and prints "add=" 2+3
//   shellopen=DOC   hands DOC to the desktop and ends (OpenWithShellAndEnd)
// The quit hook prints "quit hook ran". The program ends after its actions.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <vantrix/vantrix.h>

#include "tests/support/probe_output.h"

namespace {

// The exit handler registered before any module is bound.
void ExitHandler() { Say("exit handler ran"); }

// The quit hook: shows that shutdown ran.
void OnQuit() { Say("quit hook ran"); }

// The value after "name=" when argument starts with it.
bool Value(const std::string& argument, const std::string& name, std::string& value) {
    if (argument.rfind(name + "=", 0) != 0) return false;
    value = argument.substr(name.size() + 1);
    return true;
}

}  // namespace

const NamedFunction* ApplicationFunctionTable() {
    static const NamedFunction table[] = {{&OnQuit, "VTX_ON_QUIT"}, {nullptr, nullptr}};
    return table;
}

void AppMain() {
    for (const std::string& argument : Arguments()) {
        std::string value;
        if (argument == "commandline") {
            Say(std::string("commandline=") + CommandLine().c_str());
        } else if (Value(argument, "declare", value)) {
            RtString module(value.c_str());
            void* function = nullptr;
            BindLibraryFunction(module, RtString("VtxBoundAdd"), function);
            Say(std::string("bound=") + (function != nullptr ? "1" : "0"));
        } else if (Value(argument, "bindexit", value)) {
            std::atexit(ExitHandler);
            RtString module(value.c_str());
            void* function = nullptr;
            BindLibraryFunction(module, RtString("VtxBoundAdd"), function);
            if (function == nullptr) {
                Say("add=missing");
                continue;
            }
            Say("add=" + std::to_string(reinterpret_cast<int (*)(int, int)>(function)(2, 3)));
        } else if (Value(argument, "shellopen", value)) {
            OpenWithShellAndEnd(RtString(value.c_str()));
        }
    }
}
