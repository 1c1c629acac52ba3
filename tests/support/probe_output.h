// What the small test programs share: their arguments exactly as the
// process received them, and lines written straight to standard output.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The program's arguments, without the program itself.
inline std::vector<std::string> Arguments() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> arguments;
    size_t start = 0;
    while (start < all.size()) {
        const size_t end = all.find('\0', start);
        arguments.push_back(all.substr(start, end - start));
        start = end == std::string::npos ? all.size() : end + 1;
    }
    if (!arguments.empty()) arguments.erase(arguments.begin());
    return arguments;
}

// Writes a line straight to standard output, unbuffered, so that lines
// written while the program ends (exit handlers, fatal errors) are all there
// and in order.
inline void Say(const std::string& line) {
    std::fflush(stdout);
    const std::string text = line + "\n";
    const ssize_t written = write(1, text.data(), text.size());
    (void)written;
}
