// What the runtime shares about file requester beyond its commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "file_requester.h"

namespace vtx {

// The longest filter text the list holds (1024 bytes less two terminators).
inline constexpr size_t kMaxFilterLength = 1022;
// The longest path a chooser may return (260 characters with the terminator).
inline constexpr size_t kMaxChosenPath = 259;

struct FileFilter {
    std::string description;
    std::string pattern;  // as the program wrote it, for example "*.png;*.jpg"
};

// The list of description/pattern pairs of a filter text. A text longer than
// kMaxFilterLength keeps only the whole pairs that fit; an empty field ends
// the list, as does a description without a pattern.
std::vector<FileFilter> FilterPairs(const char* filter);
// A pattern list in the choosers' form: ";" becomes a blank, blanks around
// patterns go, and "*.*" (every file) becomes "*".
std::string ChooserPatterns(const std::string& pattern);
// The zenity command for a chooser starting in folder.
std::vector<std::string> ZenityCommand(bool open, const std::string& folder, const std::vector<FileFilter>& filters);
// The kdialog command for a chooser starting in folder.
std::vector<std::string> KdialogCommand(bool open, const std::string& folder,
                                        const std::vector<FileFilter>& filters);
// The path in a chooser's output: its first line; empty unless the chooser
// ended with status 0, and empty when longer than kMaxChosenPath.
std::string ChosenPath(const std::string& output, int32_t exitCode);

}  // namespace vtx
