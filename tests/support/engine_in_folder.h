// Starting the engine inside a test process.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "host/lifecycle.h"
#include "host/project_settings.h"

// Starts the engine with the default settings (the 640 x 480 window), then
// makes folder the current directory.
inline ::testing::AssertionResult StartEngineIn(const std::filesystem::path& folder) {
    ApplyProjectSettings();
    InitEngine(nullptr, 10, ProjectSettings.title);
    if (!EngineWindowCreated()) return ::testing::AssertionFailure() << "the engine made no window";
    std::filesystem::current_path(folder);
    return ::testing::AssertionSuccess();
}
