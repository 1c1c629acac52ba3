// Starting a built Vantrix program from a test and collecting its output.
#pragma once

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

struct ProgramRun {
    int exitCode = -1;
    std::string output;
};

// Runs a shell command line, capturing standard output.
inline ProgramRun RunCommand(const std::string& command) {
    ProgramRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) run.output.append(chunk, n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

inline std::string Quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The value after "key=" on its own line of a program's output.
inline std::string OutputValue(const std::string& output, const std::string& key) {
    const std::string marker = key + "=";
    size_t at = output.find(marker);
    if (at == std::string::npos) return "<missing>";
    at += marker.size();
    return output.substr(at, output.find('\n', at) - at);
}
