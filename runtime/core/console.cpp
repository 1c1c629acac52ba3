// Console commands: standard output, standard error and standard input.
#include "core/console.h"

#include <cstdio>
#include <string>

#include "core/text_commands_internal.h"

namespace {

constexpr size_t kLongestLine = 4094;

void WriteAll(std::FILE* stream, const RtString& text) {
    if (text.length() != 0) std::fwrite(text.c_str(), 1, text.length(), stream);
    std::fflush(stream);
}

}  // namespace

void ConsoleWrite(const RtString& text) { WriteAll(stdout, text); }

void ConsoleWriteError(const RtString& text) { WriteAll(stderr, text); }

RtString ConsoleReadLine() {
    std::string line;
    while (line.size() < kLongestLine) {
        const int c = std::getc(stdin);
        if (c == EOF || c == '\n') break;
        line.push_back(static_cast<char>(c));
    }
    // A line of exactly the longest length: its line feed belongs to it.
    if (line.size() == kLongestLine) {
        const int c = std::getc(stdin);
        if (c != '\n' && c != EOF) std::ungetc(c, stdin);
    }
    return vtx::TextOf(line.data(), line.size());
}

// There is no console window to make here: a process has its terminal, or
// whatever its standard streams were redirected to, from its start.
void OpenConsole() { std::fflush(stdout); }
