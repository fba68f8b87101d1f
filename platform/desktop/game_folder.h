// Where the game runs: the folder that holds data/ is found from the executable's own location, and the
// process enters a folder in which the game's relative "data/..." paths and its Log.txt both resolve.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace desktop {

namespace fs = std::filesystem;

// The folder the running executable was started from (/proc/self/exe); empty when unknown.
fs::path executableFolder();

// The first of `candidates` that holds a data/ folder; empty when none does.
fs::path findDataRoot(const std::vector<fs::path>& candidates);

// XDG_STATE_HOME/quillmoor when XDG_STATE_HOME is an absolute path, else HOME/.local/state/quillmoor;
// empty when neither is known.
fs::path stateFolder(const char* xdgStateHome, const char* home);

// Whether the game can write Log.txt in `folder`: the log itself when it exists, else the folder.
bool canWriteLog(const fs::path& folder);

// Where the game runs: `dataRoot` itself when Log.txt can be written there; otherwise `state`, made on
// demand, with a link named "data" in it that leads to dataRoot/data. Returns the folder to enter, or
// empty with `error` set when neither works.
fs::path chooseRunFolder(const fs::path& dataRoot, const fs::path& state,
                         const std::function<bool(const fs::path&)>& writable, std::string& error);

// The whole start-up step for the executable: finds the data beside the executable or in its install
// prefix (`installedData`, relative to the executable's folder) or in `buildData` (the source folder of a
// build that was never installed), and enters the run folder. Stays in the current folder, with a note
// on stderr, when no data is found. Returns the folder it is in afterwards.
fs::path enterGameFolder(const fs::path& installedData, const fs::path& buildData);

}  // namespace desktop
