// Where the game runs on Windows: the folder that holds the executable (and data/), or, when Log.txt
// cannot be written there, %LOCALAPPDATA%\Quillmoor with a junction named "data" that leads to the
// game's data/.
#pragma once

#include <functional>
#include <string>

namespace windows {

// The folder of the running executable (GetModuleFileName), without a trailing backslash.
std::wstring executableFolder();

// Whether the game can write Log.txt in `folder`: the log itself when it exists, else a new file there.
bool canWriteLog(const std::wstring& folder);

// %LOCALAPPDATA%\Quillmoor, or empty when LOCALAPPDATA is not set.
std::wstring stateFolder();

// Where the game runs: `gameFolder` itself when Log.txt can be written there; otherwise `state`, made on
// demand, with a junction named "data" in it that leads to gameFolder\data. Returns the folder to enter,
// or empty with `error` set when neither works.
std::wstring chooseRunFolder(const std::wstring& gameFolder, const std::wstring& state,
                             const std::function<bool(const std::wstring&)>& writable, std::string& error);

// The whole start-up step: enters the run folder for the executable's own folder. When there is no
// choice that works the game stays in its own folder and reports the log it cannot open itself.
void enterGameFolder();

}  // namespace windows
