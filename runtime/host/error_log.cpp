// Error log: best-effort CR LF lines in the temporary folder.
#include "host/error_log.h"

#include <cstring>

#include "platform/platform.h"

namespace vtx {

std::string ErrorLogPath() { return platform::TempFolder() + "ErrorLog.txt"; }

void DeleteErrorLog() { platform::DeleteFile(ErrorLogPath()); }

void AppendErrorLog(const char* text) {
    const std::string path = ErrorLogPath();
    std::string line = text != nullptr ? text : "";
    line += "\r\n";
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (path.compare(0, 6, "mem://") == 0) continue;  // never a memory name
        if (platform::AppendToFile(path, line.data(), line.size())) return;
    }
}

}  // namespace vtx
