// The quillmoor executable: the platform's process entry finds the game's folder from the executable's
// own location and hands over to the game's WinMain.
//   quillmoor --replay [--dir DIR] [--unpaced] REPLAY   plays a replay in the same game (see README)
#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "desktop/game_folder.h"
#include "desktop/window_icon.h"
#include "tools/replay/runner.h"

// The generated 64-pixel icon, built in by the build (window_icon.cpp) for the window to show.
extern const unsigned char kWindowIconPng[];
extern const std::size_t kWindowIconPngSize;

namespace {

void EnterGameFolder() { desktop::enterGameFolder(QUILLMOOR_INSTALLED_DATA, QUILLMOOR_BUILD_DATA); }

}  // namespace

int main(int argc, char** argv) {
    if (!desktop::setWindowIcon(kWindowIconPng, kWindowIconPngSize))
        std::fputs("quillmoor: the built-in window icon is no PNG; the window shows the desktop's own\n", stderr);
    if (argc > 1 && std::strcmp(argv[1], "--replay") == 0) {
        std::string name = std::string(argv[0]) + " --replay";
        std::vector<char*> args(argv + 1, argv + argc);
        args[0] = name.data();
        return replay::RunCommandLine(static_cast<int>(args.size()), args.data(), EnterGameFolder);
    }
    EnterGameFolder();
    char commandLine[] = "";
    return WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT);
}
