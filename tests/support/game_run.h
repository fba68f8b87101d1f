// Running the real game headless inside a test: a fresh temporary folder, a fresh platform, and the
// engine-wide state of a process that has just started.
#pragma once

#include <filesystem>
#include <string>

#include "headless/control.h"

namespace testing_support {

// Makes and enters a temporary folder; leaves and removes it on destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::filesystem::path& path() const { return dir; }

private:
    std::filesystem::path dir;
    std::filesystem::path previous;
};

// Platform and game state as at process start.
void ResetForNewRun();

// Runs WinMain to its end and returns its result.
int RunGame();

std::string ReadFile(const std::filesystem::path& path);

// The Log.txt text converted from code page 932 to UTF-8, line ends kept as they are.
std::string Cp932ToUtf8(const std::string& bytes);
std::string Utf8ToCp932(const std::string& text);

}  // namespace testing_support
