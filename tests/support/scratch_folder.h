// A private folder for one test inside the test's temporary folder, removed
// when the test ends. Optionally the current directory while it lives.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix, bool enter = false) : entered_(enter) {
        const char* tmp = std::getenv("TMPDIR");
        path_ = std::filesystem::path(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") /
                (prefix + "-" + std::to_string(getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        if (entered_) std::filesystem::current_path(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (entered_) std::filesystem::current_path("/", ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    bool entered_;
};
