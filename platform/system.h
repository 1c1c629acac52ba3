// The Linux stand-ins for the system questions and actions of a program:
// environment, directories, machine facts, processes, the desktop's file
// chooser and dynamic libraries.
//
// Like platform.h, this is the only place the runtime above meets POSIX for
// these services; nothing here knows about RtString or the last error.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vtx::platform {

// --- Environment (environment.cpp) ------------------------------------------
// The value of a variable; false when it is not set (or the name cannot be
// one: empty or holding "=").
bool EnvironmentValue(const std::string& name, std::string& value);
// Every entry of the environment as name=value, each followed by "\n".
std::string EnvironmentEntries();
// Reads "name=value" as one assignment split at its first "=": sets the
// variable, or removes it when the value is empty. False when the text has
// no "=" or the name is empty.
bool PutEnvironment(const std::string& assignment);

// --- Directories (directories.cpp) ------------------------------------------
// The current directory as the system names it; false when it has none
// (removed while current, or not reachable).
bool CurrentDirectoryPath(std::string& path);

struct DirectoryEntry {
    std::string name;
    bool directory = false;  // a folder, or a link to one
};
// Every entry of folder, "." and ".." included; false when it cannot be read.
bool ReadDirectory(const std::string& folder, std::vector<DirectoryEntry>& entries);
// The user's documents folder from the XDG user directories (the file
// user-dirs.dirs under XDG_CONFIG_HOME, else ~/.config), else HOME/Documents
// when that folder exists; empty when there is none.
std::string DocumentsFolder();

// --- Machine facts (machine.cpp) --------------------------------------------
// The machine's identity text (/etc/machine-id, else the D-Bus copy);
// empty when neither can be read.
std::string MachineIdText();
// Charge of the system's batteries under a power-supply folder (normally
// /sys/class/power_supply) in percent, 0 to 100; -1 when no battery tells.
int32_t BatteryPercent(const std::string& powerSupplyFolder);
// Last change of the running program's file in seconds since 1970; false
// when it cannot be found.
bool ProgramFileTime(int64_t& seconds);
// The locale that names the user's language: the first entry of LANGUAGE,
// else LC_ALL, LC_MESSAGES, LANG, whichever is first set and not empty.
std::string MessagesLocale();

// --- Processes (shell.cpp) --------------------------------------------------
// Runs a command line through /bin/sh -c with the standard streams kept and
// no other descriptors inherited. With wait, waits for the end and gives the
// exit status (128 + signal number for a process ended by a signal). False
// when the shell could not be started.
bool RunShellCommand(const std::string& commandLine, bool wait, int32_t& exitCode);
// Asks the desktop to open a document with its associated program
// (xdg-open) without waiting; false when that could not be started.
bool OpenWithDesktop(const std::string& document);
// The full path of an executable program found through PATH; false if none.
bool FindProgram(const std::string& name, std::string& path);
// Runs a program with arguments (argv[0] is the program, found through
// PATH), collects its standard output and waits for its end. False when it
// could not be started.
bool RunAndCapture(const std::vector<std::string>& argv, std::string& output, int32_t& exitCode);

// --- Dynamic libraries (dynamic_library.cpp) --------------------------------
// Loads a module through the system's library search (a name holding "/" is
// a path); null when it cannot be loaded.
void* LoadModule(const std::string& name);
// The address of a symbol of a loaded module (or of the modules it needs);
// null when there is none.
void* ModuleSymbol(void* module, const std::string& name);
// Gives back one load of a module.
void ReleaseModule(void* module);

}  // namespace vtx::platform
