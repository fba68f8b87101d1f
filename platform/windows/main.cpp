// quillmoor.exe: enters the game's folder (the one that holds the executable and data/, so that a
// double-click or a shortcut from anywhere works), then runs the game's WinMain. The game takes no
// command-line options.
#include <windows.h>

#include "windows/game_folder.h"

int main() {
    windows::enterGameFolder();
    char commandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
}
