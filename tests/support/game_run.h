// Running the real game headless inside a test: a fresh temporary folder, a fresh platform, and the
// engine-wide state of a process that has just started.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

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

// Regular expressions for Log.txt as written (CP932, CR LF): one line with its timestamp and the given
// UTF-8 message, and the end of a run (the end line, 96 "=", an empty line).
std::string LiteralPattern(const std::string& text);
extern const std::string kTimestampPattern;
std::string LogLinePattern(const std::string& message);
std::string EndOfRunPattern(const std::string& endLine);

// What the player was shown and what the log got, in the order it happened, from construction on:
// "box TITLE: TEXT" and "log MESSAGE" (the log's lines without their timestamps, in UTF-8). The log is
// "Log.txt" in the current folder; it is read at each box and by Events().
class BoxAndLogSequence {
public:
    BoxAndLogSequence();
    ~BoxAndLogSequence();
    const std::vector<std::string>& Events();

private:
    void TakeLogLines();
    std::vector<std::string> events;
    size_t logRead = 0;
};

}  // namespace testing_support
