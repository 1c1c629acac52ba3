// FileRequest over the desktop's file chooser, run as a separate program.
#include "host/file_requester_internal.h"

#include <algorithm>
#include <cstdio>

#include "host/graphics_backend.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "platform/window.h"

namespace vtx {

namespace {

// The text split at every "|", empty fields kept.
std::vector<std::string> Fields(const std::string& text) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t bar = text.find('|', start);
        fields.push_back(text.substr(start, bar - start));
        if (bar == std::string::npos) return fields;
        start = bar + 1;
    }
}

// The chooser program to run and its path: zenity first, then kdialog.
bool FindChooser(std::string& name, std::string& path) {
    for (const char* candidate : {"zenity", "kdialog"}) {
        if (platform::FindProgram(candidate, path)) {
            name = candidate;
            return true;
        }
    }
    return false;
}

// Runs the chooser and returns the chosen path; empty on cancel or failure.
std::string RunChooser(const std::string& chooser, bool open, const std::string& folder,
                       const std::vector<FileFilter>& filters) {
    const std::vector<std::string> command =
        chooser == "zenity" ? ZenityCommand(open, folder, filters) : KdialogCommand(open, folder, filters);
    std::string output;
    int32_t exitCode = -1;
    if (!platform::RunAndCapture(command, output, exitCode)) return {};
    return ChosenPath(output, exitCode);
}

// Brings the window back as the settings want it: windowed, or the stored
// size in a fullscreen mode.
void RestoreScreen() {
    if (GraphicsBackEnd == nullptr) return;
    if (ProjectSettings.fullscreen == 0)
        SetWindowedMode(*GraphicsBackEnd);
    else
        SetScreenMode(GraphicsBackEnd->width, GraphicsBackEnd->height, 1);
}

}  // namespace

// The whole pairs of the filter text that fit its list.
std::vector<FileFilter> FilterPairs(const char* filter) {
    const std::vector<std::string> fields = Fields(filter != nullptr ? filter : "");
    std::vector<FileFilter> pairs;
    size_t length = 0;  // of the text up to the end of the last pair taken
    for (size_t i = 0; i + 1 < fields.size(); i += 2) {
        if (fields[i].empty() || fields[i + 1].empty()) break;
        const size_t end = length + (length > 0 ? 1 : 0) + fields[i].size() + 1 + fields[i + 1].size();
        if (end > kMaxFilterLength) break;
        length = end;
        pairs.push_back({fields[i], fields[i + 1]});
    }
    return pairs;
}

// Patterns separated by blanks, "*.*" as "*".
std::string ChooserPatterns(const std::string& pattern) {
    std::string patterns;
    size_t start = 0;
    while (start <= pattern.size()) {
        const size_t end = std::min(pattern.find(';', start), pattern.size());
        std::string one = pattern.substr(start, end - start);
        one.erase(0, one.find_first_not_of(" \t"));
        one.erase(one.find_last_not_of(" \t") + 1);
        if (one == "*.*") one = "*";
        if (!one.empty()) patterns += (patterns.empty() ? "" : " ") + one;
        start = end + 1;
    }
    return patterns;
}

// zenity --file-selection with a --file-filter per pair.
std::vector<std::string> ZenityCommand(bool open, const std::string& folder, const std::vector<FileFilter>& filters) {
    std::vector<std::string> command = {"zenity", "--file-selection", open ? "--title=Open" : "--title=Save As"};
    if (!open) command.push_back("--save");
    if (!folder.empty()) command.push_back("--filename=" + folder + (folder.back() == '/' ? "" : "/"));
    for (const FileFilter& filter : filters)
        command.push_back("--file-filter=" + filter.description + " | " + ChooserPatterns(filter.pattern));
    return command;
}

// kdialog with one "patterns|description" line per pair.
std::vector<std::string> KdialogCommand(bool open, const std::string& folder,
                                        const std::vector<FileFilter>& filters) {
    std::vector<std::string> command = {"kdialog", "--title", open ? "Open" : "Save As",
                                        open ? "--getopenfilename" : "--getsavefilename",
                                        folder.empty() ? "." : folder};
    std::string list;
    for (const FileFilter& filter : filters) {
        if (!list.empty()) list += '\n';
        list += ChooserPatterns(filter.pattern);
        list += '|';
        list += filter.description;
    }
    if (!list.empty()) command.push_back(list);
    return command;
}

// The first output line of a chooser that ended with status 0.
std::string ChosenPath(const std::string& output, int32_t exitCode) {
    if (exitCode != 0) return {};
    std::string path = output.substr(0, output.find('\n'));
    if (!path.empty() && path.back() == '\r') path.pop_back();
    if (path.size() > kMaxChosenPath) return {};
    return path;
}

}  // namespace vtx

// The open or save chooser with the window out of the way.
RtString FileRequest(int32_t openFlag, const RtString& filter) {
    using namespace vtx;
    if (!platform::DialogsAllowed()) return RtString("NO_FILE");
    std::string chooser, chooserPath;
    if (!FindChooser(chooser, chooserPath)) {
        std::fprintf(stderr, "Vantrix: FileRequest found no file chooser (zenity or kdialog) on PATH; "
                             "answering NO_FILE\n");
        std::fflush(stderr);
        return RtString("NO_FILE");
    }
    const std::vector<FileFilter> filters = FilterPairs(filter.c_str());      // 1
    std::string folder;                                                       // 2
    const bool haveFolder = platform::CurrentDirectoryPath(folder);
    if (GraphicsBackEnd != nullptr) HideGraphicsWindow(*GraphicsBackEnd);     // 4
    std::string path = RunChooser(chooser, openFlag != 0, folder, filters);   // 3, 5
    if (haveFolder) platform::ChangeDirectory(folder);                        // 6
    RestoreScreen();                                                          // 7
    if (path.empty()) return RtString("NO_FILE");                             // 8
    for (char& c : path)
        if (c == '\\') c = '/';
    return RtString(path.c_str());
}
