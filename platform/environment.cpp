// Environment stand-ins: reading, listing and assigning variables.
#include <cstdlib>

#include "system.h"

extern char** environ;

namespace vtx::platform {

// The value of a variable; false when it is not set.
bool EnvironmentValue(const std::string& name, std::string& value) {
    value.clear();
    // getenv would match "A=B" against the entry "A=B=C"; such names are never variables.
    if (name.empty() || name.find('=') != std::string::npos) return false;
    const char* found = std::getenv(name.c_str());
    if (found == nullptr) return false;
    value = found;
    return true;
}

// Every entry as name=value plus a line feed.
std::string EnvironmentEntries() {
    std::string all;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        all += *entry;
        all += '\n';
    }
    return all;
}

// One "name=value" assignment; an empty value removes the variable.
bool PutEnvironment(const std::string& assignment) {
    const size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0) return false;
    const std::string name = assignment.substr(0, equals);
    const std::string value = assignment.substr(equals + 1);
    if (value.empty()) return unsetenv(name.c_str()) == 0;
    return setenv(name.c_str(), value.c_str(), 1) == 0;
}

}  // namespace vtx::platform
