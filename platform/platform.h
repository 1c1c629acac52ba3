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
// Moves the read/write offset to position bytes from the start.
bool SeekFile(int handle, int64_t position) noexcept;
void CloseFile(int handle) noexcept;
// Creates one directory (the parent must exist).
bool MakeDirectory(const std::string& path) noexcept;
// True when path exists and is a directory.
bool IsDirectory(const std::string& path) noexcept;

}  // namespace vtx::platform
