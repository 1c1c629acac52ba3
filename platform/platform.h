// The Linux stand-ins for the system services the runtime needs.
//
// Everything that talks to POSIX, SDL or X11 lives behind these functions, so
// the runtime above reads the same whatever the system underneath.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vtx::platform {

// --- Clock (clock.cpp) ------------------------------------------------------
// Frequency of the high-resolution counter in ticks per second; false when
// there is no such counter.
bool CounterFrequency(int64_t& ticksPerSecond) noexcept;
// Current value of the high-resolution counter.
int64_t Counter() noexcept;
// Milliseconds since some fixed point, the low-resolution fallback.
uint32_t TickCount() noexcept;
// Suspends the calling thread for ms milliseconds.
void SleepMilliseconds(uint32_t ms) noexcept;

// --- Process (process.cpp) --------------------------------------------------
// The whole command line, program path included, rebuilt from the process's
// arguments; an argument holding a blank or tab (or an empty one) is quoted.
std::string CommandLine();
// Full path of the running program; empty when it cannot be found.
std::string ProgramPath();
// Makes folder the current directory; false on failure.
bool ChangeDirectory(const std::string& folder) noexcept;
// Starts a command line through the shell without waiting for it; false
// when it could not be started.
bool StartCommand(const std::string& commandLine) noexcept;
// True while a debugger (tracer) is attached to the process.
bool DebuggerAttached() noexcept;
// Sends one text to an attached debugger.
void DebuggerOutput(const std::string& text) noexcept;

// --- Files (filesystem.cpp) -------------------------------------------------
// Both separators are accepted by the runtime: "\\" becomes "/" here.
std::string NativePath(std::string path);
// The temporary folder (TMPDIR, else /tmp), always ending with "/".
std::string TempFolder();
// Removes a file; false when it did not exist or could not be removed.
bool DeleteFile(const std::string& path) noexcept;
// Opens path for writing (created if missing, contents kept), writes size
// bytes at its end and closes it. False when it could not be opened.
bool AppendToFile(const std::string& path, const char* data, size_t size) noexcept;

// --- File handles (filesystem.cpp) -----------------------------------------
// Files opened "without sharing" hold an exclusive advisory lock, so two
// Vantrix programs (or two opens in one program) see each other's opens.
inline constexpr int kNoFile = -1;
// Opens an existing file for reading without sharing; kNoFile on failure.
int OpenExclusiveForReading(const std::string& path) noexcept;
// Deletes any file of that name (unless someone holds it without sharing)
// and creates it anew for reading and writing without sharing.
int CreateExclusive(const std::string& path) noexcept;
// Size of an open file in bytes; -1 on failure.
int64_t FileSize(int handle) noexcept;
// Reads up to size bytes; the number read, -1 on error.
int64_t ReadFromFile(int handle, void* data, size_t size) noexcept;
// Writes all size bytes; false unless all were written.
bool WriteToFile(int handle, const void* data, size_t size) noexcept;
// Opens a file for writing without sharing, creating it when missing, with
// the offset at its end; kNoFile on failure.
int OpenExclusiveForAppending(const std::string& path) noexcept;
// Moves the read/write offset to position bytes from the start.
bool SeekFile(int handle, int64_t position) noexcept;
// Moves the offset by distance from the start, the current offset or the
// end; the new offset, -1 on failure.
enum class SeekOrigin { Start, Current, End };
int64_t SeekFileFrom(int handle, int64_t distance, SeekOrigin origin) noexcept;
void CloseFile(int handle) noexcept;
// Creates one directory (the parent must exist).
bool MakeDirectory(const std::string& path) noexcept;
// True when path exists and is a directory.
bool IsDirectory(const std::string& path) noexcept;
// The path made absolute against the current directory ("\\" becomes "/");
// the path itself when the current directory cannot be read.
std::string AbsolutePath(const std::string& path);

// --- Replacing a file whole (replacement_file.cpp) -------------------------
// A new file takes the place of an old one only when it is complete: it is
// written to a temporary file in the target's folder, flushed to disk and
// renamed over the target. Until the rename the target is untouched.
struct ReplacementFile {
    int handle = kNoFile;
    std::string target;     // the file to replace (symbolic links followed)
    std::string temporary;  // the file being written
    uint64_t written = 0;   // bytes written so far
    uint64_t handedOn = 0;  // bytes whose writing to disk has been started
};
// Creates the temporary file beside target. The new file gets the old one's
// permission bits (and owner, when allowed) when it exists. Fails when the
// folder cannot take a new file, or (unless ignoreLocks, for a caller that
// holds the target itself) when the target is held without sharing.
bool CreateReplacement(const std::string& target, ReplacementFile& file, bool ignoreLocks = false) noexcept;
// Writes all size bytes to the temporary file.
bool WriteReplacement(ReplacementFile& file, const void* data, size_t size) noexcept;
// Flushes the temporary file to disk and renames it over the target; on
// failure the temporary file is removed and the target kept as it was.
bool CommitReplacement(ReplacementFile& file) noexcept;
// Removes the temporary file of a replacement that is not committed.
void DiscardReplacement(ReplacementFile& file) noexcept;

}  // namespace vtx::platform
