// Machine facts: identity, battery charge, the program file's time and the
// user's language.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "system.h"

namespace vtx::platform {

namespace {

// The first line of a small text file (at most 127 bytes of it), without its
// line end; false when the file cannot be read.
bool ReadFirstLine(const std::string& path, std::string& line) {
    line.clear();
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) return false;
    char text[128];
    const bool read = std::fgets(text, sizeof text, file) != nullptr;
    std::fclose(file);
    if (!read) return false;
    line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return true;
}

// A whole line of decimal digits as a number; false for anything else
// (empty, signs, blanks, letters, more than 18 digits).
bool ParseCount(const std::string& text, int64_t& value) {
    if (text.empty() || text.size() > 18) return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// One battery's charge in percent; false when it does not say.
bool BatteryCharge(const std::string& folder, double& percent) {
    std::string text;
    int64_t value = 0;
    if (ReadFirstLine(folder + "/capacity", text) && ParseCount(text, value)) {
        percent = value > 100 ? 100.0 : static_cast<double>(value);
        return true;
    }
    // Without a capacity file, the charge follows from what is stored now
    // against what the battery holds when full.
    for (const char* unit : {"energy", "charge"}) {
        int64_t now = 0, full = 0;
        if (ReadFirstLine(folder + "/" + unit + "_now", text) && ParseCount(text, now) &&
            ReadFirstLine(folder + "/" + unit + "_full", text) && ParseCount(text, full) && full > 0) {
            percent = now >= full ? 100.0 : 100.0 * static_cast<double>(now) / static_cast<double>(full);
            return true;
        }
    }
    return false;
}

}  // namespace

// The first machine identity file that can be read.
std::string MachineIdText() {
    std::string text;
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"})
        if (ReadFirstLine(path, text) && !text.empty()) return text;
    return {};
}

// The mean charge of the system batteries, rounded; -1 when none tells.
int32_t BatteryPercent(const std::string& powerSupplyFolder) {
    DIR* listing = opendir(powerSupplyFolder.c_str());
    if (listing == nullptr) return -1;
    double total = 0;
    int32_t batteries = 0;
    while (const dirent* entry = readdir(listing)) {
        if (entry->d_name[0] == '.') continue;
        const std::string folder = powerSupplyFolder + "/" + entry->d_name;
        std::string text;
        if (!ReadFirstLine(folder + "/type", text) || text != "Battery") continue;
        // Batteries of a mouse or a headset are "Device" scope, not the system's.
        if (ReadFirstLine(folder + "/scope", text) && text == "Device") continue;
        if (ReadFirstLine(folder + "/present", text) && text == "0") continue;
        double percent = 0;
        if (!BatteryCharge(folder, percent)) continue;
        total += percent;
        ++batteries;
    }
    closedir(listing);
    if (batteries == 0) return -1;
    return static_cast<int32_t>(total / batteries + 0.5);
}

// When the running program's file was last written.
bool ProgramFileTime(int64_t& seconds) {
    struct stat info {};
    if (stat("/proc/self/exe", &info) != 0) return false;
    seconds = static_cast<int64_t>(info.st_mtime);
    return true;
}

// The locale that names the language of messages.
std::string MessagesLocale() {
    const char* language = std::getenv("LANGUAGE");
    if (language != nullptr && *language != 0) {
        // A priority list "fr:de:en": the first entry that is not empty.
        std::string list = language;
        size_t start = 0;
        while (start <= list.size()) {
            const size_t end = std::min(list.find(':', start), list.size());
            if (end > start) return list.substr(start, end - start);
            start = end + 1;
        }
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != 0) return value;
    }
    return {};
}

}  // namespace vtx::platform
