// CurrentDirectory, ChangeDirectory, ListDirectory and the wildcard match.
#include "files/directories_internal.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "files/last_error_internal.h"
#include "platform/platform.h"
#include "platform/system.h"

namespace vtx {

namespace {

// A letter in small form; every other character unchanged.
char Small(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// One pattern character against one name character.
bool CharacterMatches(char pattern, char name) {
    if (pattern == '?') return name != '.';
    return Small(pattern) == Small(name);
}

// Orders names ignoring case; names equal but for case keep byte order, so
// the listing is the same on every run.
bool NameBefore(const std::string& a, const std::string& b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const unsigned char x = static_cast<unsigned char>(Small(a[i]));
        const unsigned char y = static_cast<unsigned char>(Small(b[i]));
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace

// The whole-name match with "*" backtracking one character at a time.
bool WildcardMatch(const char* pattern, const char* name) {
    if (pattern == nullptr || name == nullptr) return false;
    if (std::strcmp(pattern, "*.*") == 0) return true;
    // The pattern position just after the last "*", and the name position
    // that "*" has swallowed up to; a failed character lets it swallow one more.
    const char* afterStar = nullptr;
    const char* swallowed = nullptr;
    while (*name != 0) {
        if (*pattern == '*') {
            while (*pattern == '*') ++pattern;
            afterStar = pattern;
            swallowed = name;
        } else if (*pattern != 0 && CharacterMatches(*pattern, *name)) {
            ++pattern;
            ++name;
        } else if (afterStar != nullptr) {
            pattern = afterStar;
            name = ++swallowed;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == 0;
}

}  // namespace vtx

// The current directory with "/" separators and one trailing "/".
RtString CurrentDirectory() {
    std::string path;
    if (!vtx::platform::CurrentDirectoryPath(path)) return RtString();
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path.empty() || path.back() != '/') path += '/';
    return RtString(path.c_str());
}

// Changes the current directory, reporting through the last error.
bool ChangeDirectory(const RtString& path) {
    if (!vtx::platform::ChangeDirectory(path.c_str())) {
        vtx::SetLastError(3);
        return false;
    }
    vtx::SetLastError(0);
    return true;
}

// Folders first, then matching files, each group sorted ignoring case.
int32_t ListDirectory(const RtString& pattern, RtArray<RtString>& names) {
    std::vector<vtx::platform::DirectoryEntry> entries;
    if (!vtx::platform::ReadDirectory(".", entries)) {
        ResizeArray(names, 0);
        return 0;
    }
    std::vector<std::string> folders, files;
    for (const vtx::platform::DirectoryEntry& entry : entries) {
        if (entry.directory)
            folders.push_back(entry.name);
        else if (vtx::WildcardMatch(pattern.c_str(), entry.name.c_str()))
            files.push_back(entry.name);
    }
    std::sort(folders.begin(), folders.end(), vtx::NameBefore);
    std::sort(files.begin(), files.end(), vtx::NameBefore);
    const size_t total = folders.size() + files.size();
    ResizeArray(names, static_cast<int32_t>(total));
    int32_t index = 0;
    for (const std::vector<std::string>* list : {&folders, &files})
        for (const std::string& name : *list) ArrayElement(names, index++) = name.c_str();
    // The count wraps as the 32-bit sum it is.
    return static_cast<int32_t>(static_cast<uint32_t>(files.size()) +
                                65536u * static_cast<uint32_t>(folders.size()));
}
