// Directory stand-ins: the current directory, listing a folder and the
// user's documents folder.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "platform.h"
#include "system.h"

namespace vtx::platform {

// The current directory as the system names it.
bool CurrentDirectoryPath(std::string& path) {
    path.clear();
    // getcwd with no buffer allocates one of the size the path needs.
    char* current = getcwd(nullptr, 0);
    if (current == nullptr) return false;
    path = current;
    std::free(current);
    return true;
}

namespace {

// True when the entry is a folder; links count by what they point at.
bool EntryIsDirectory(int folder, const dirent& entry) {
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) return false;
    struct stat info {};
    return fstatat(folder, entry.d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

// Every entry of a folder with its kind, "." and ".." included.
bool ReadDirectory(const std::string& folder, std::vector<DirectoryEntry>& entries) {
    entries.clear();
    DIR* listing = opendir(NativePath(folder).c_str());
    if (listing == nullptr) return false;
    // A folder removed while it was open (or current) lists nothing at all.
    struct stat folderInfo {};
    if (fstat(dirfd(listing), &folderInfo) != 0 || folderInfo.st_nlink == 0) {
        closedir(listing);
        return false;
    }
    bool haveSelf = false, haveParent = false;
    while (const dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        haveSelf = haveSelf || name == ".";
        haveParent = haveParent || name == "..";
        entries.push_back({name, EntryIsDirectory(dirfd(listing), *entry)});
    }
    closedir(listing);
    // Every folder lists itself and its parent, whatever the file system reports.
    if (!haveSelf) entries.push_back({".", true});
    if (!haveParent) entries.push_back({"..", true});
    return true;
}

namespace {

// The user's home folder: HOME, else the password entry; empty if neither.
std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != 0) return home;
    const passwd* user = getpwuid(getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

// Strips a trailing "/" (but keeps the root).
std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs.dirs text, with $HOME
// replaced; empty when the file does not set it in a form the XDG rules allow
// ("$HOME/..." or an absolute path, in double quotes). The last setting wins.
std::string DocumentsSetting(std::istream& in, const std::string& home) {
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    std::string line, found;
    while (std::getline(in, line)) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value;
        bool closed = false;
        for (size_t i = start + key.size(); i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                value += line[++i];
            } else if (line[i] == '"') {
                closed = true;
                break;
            } else {
                value += line[i];
            }
        }
        if (!closed) continue;
        if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/')) {
            if (home.empty()) continue;
            found = home + value.substr(5);
        } else if (!value.empty() && value[0] == '/') {
            found = value;
        }
    }
    return found;
}

}  // namespace

// The XDG documents folder, HOME/Documents when none is set, else empty.
std::string DocumentsFolder() {
    const std::string home = WithoutTrailingSlash(HomeFolder());
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string configFolder =
        config != nullptr && *config == '/' ? std::string(config) : (home.empty() ? "" : home + "/.config");
    if (!configFolder.empty()) {
        std::ifstream settings(configFolder + "/user-dirs.dirs");
        if (settings) {
            const std::string documents = WithoutTrailingSlash(DocumentsSetting(settings, home));
            // A folder set to the home folder itself means "no documents folder".
            if (!documents.empty()) return documents == home ? std::string() : documents;
        }
    }
    if (home.empty() || home == "/") return {};
    const std::string fallback = home + "/Documents";
    return IsDirectory(fallback) ? fallback : std::string();
}

}  // namespace vtx::platform
