// The error log: "ErrorLog.txt" in the temporary folder, one CR LF line per
// entry, written best effort (a missing or unwritable folder loses lines).
#pragma once

#include <string>

namespace vtx {

// Temporary folder + "ErrorLog.txt".
std::string ErrorLogPath();
// Removes the log left by an earlier run; a missing file is not an error.
void DeleteErrorLog();
// Appends text and CR LF, trying up to five times to open the file.
void AppendErrorLog(const char* text);

}  // namespace vtx
