// Finding the game's data from the executable's location and choosing the folder the game runs in.
#include "desktop/game_folder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace desktop {

fs::path executableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return {};
    return exe.parent_path();
}

fs::path findDataRoot(const std::vector<fs::path>& candidates) {
    for (const fs::path& c : candidates) {
        if (c.empty()) continue;
        std::error_code ec;
        if (fs::is_directory(c / "data", ec)) return fs::weakly_canonical(c, ec);
    }
    return {};
}

fs::path stateFolder(const char* xdgStateHome, const char* home) {
    // A relative XDG_STATE_HOME is invalid and is ignored, as the base directory rules say.
    if (xdgStateHome && xdgStateHome[0] == '/') return fs::path(xdgStateHome) / "quillmoor";
    if (home && home[0] == '/') return fs::path(home) / ".local" / "state" / "quillmoor";
    return {};
}

bool canWriteLog(const fs::path& folder) {
    std::error_code ec;
    fs::path log = folder / "Log.txt";
    fs::file_status st = fs::status(log, ec);
    if (fs::exists(st)) return fs::is_regular_file(st) && faccessat(AT_FDCWD, log.c_str(), W_OK, AT_EACCESS) == 0;
    return faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

namespace {

// Makes the folder and the missing ones above it private to the user, as the base directory rules ask.
void makeFolders(const fs::path& folder) {
    fs::path made;
    for (const fs::path& part : folder) {
        made /= part;
        mkdir(made.c_str(), 0700);
    }
}

}  // namespace

fs::path chooseRunFolder(const fs::path& dataRoot, const fs::path& state,
                         const std::function<bool(const fs::path&)>& writable, std::string& error) {
    if (writable(dataRoot)) return dataRoot;
    if (state.empty()) {
        error = "neither XDG_STATE_HOME nor HOME names a folder for Log.txt";
        return {};
    }
    std::error_code ec;
    makeFolders(state);
    if (!fs::is_directory(state, ec) || !writable(state)) {
        error = state.string() + ": cannot write Log.txt there";
        return {};
    }
    const fs::path link = state / "data";
    const fs::path target = fs::absolute(dataRoot / "data", ec);
    if (fs::is_symlink(fs::symlink_status(link, ec))) {
        if (fs::read_symlink(link, ec) == target) return state;
        // Another install's data: point the link at this one, replacing it in one step.
        const fs::path fresh = state / (".data-" + std::to_string(getpid()));
        fs::remove(fresh, ec);
        fs::create_directory_symlink(target, fresh, ec);
        if (!ec) fs::rename(fresh, link, ec);
        if (ec) {
            fs::remove(fresh, ec);
            error = link.string() + ": cannot point it at " + target.string();
            return {};
        }
        return state;
    }
    if (fs::exists(fs::symlink_status(link, ec))) {
        error = link.string() + " is in the way: it should be the link to " + target.string();
        return {};
    }
    fs::create_directory_symlink(target, link, ec);
    if (ec) {
        error = link.string() + ": " + ec.message();
        return {};
    }
    return state;
}

fs::path enterGameFolder(const fs::path& installedData, const fs::path& buildData) {
    std::error_code ec;
    const fs::path exeDir = executableFolder();
    std::vector<fs::path> candidates;
    if (!exeDir.empty()) {
        candidates.push_back(exeDir);
        if (!installedData.empty()) candidates.push_back(exeDir / installedData);
    }
    candidates.push_back(buildData);
    const fs::path root = findDataRoot(candidates);
    if (root.empty()) {
        std::fprintf(stderr,
                     "quillmoor: no data/ beside the executable or in its install prefix; using the current folder\n");
        return fs::current_path(ec);
    }
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = getpwuid(getuid());
        if (pw) home = pw->pw_dir;
    }
    std::string error;
    fs::path run = chooseRunFolder(root, stateFolder(std::getenv("XDG_STATE_HOME"), home), canWriteLog, error);
    if (run.empty()) {
        // The game still starts; it reports the log it cannot open in its own words.
        std::fprintf(stderr, "quillmoor: %s\n", error.c_str());
        run = root;
    }
    fs::current_path(run, ec);
    if (ec) std::fprintf(stderr, "quillmoor: cannot enter %s: %s\n", run.c_str(), ec.message().c_str());
    return fs::current_path(ec);
}

}  // namespace desktop
