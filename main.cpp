// The quillmoor executable: the platform's process entry hands over to the game's WinMain.
#include <windows.h>

int main(int, char**) {
    char commandLine[] = "";
    return WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT);
}
