// quillmoor_content STAGE_SOURCES DATA_DIR: writes the game's meshes, pictures and sounds.
// quillmoor_content --icons ICON_DIR: writes the desktop icon in its sizes into a hicolor theme folder.
#include <cstdio>
#include <string>

#include "tools/content/generator.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s STAGE_SOURCE_DIR DATA_DIR | --icons ICON_DIR\n", argv[0]);
        return 2;
    }
    std::string error;
    bool icons = std::string(argv[1]) == "--icons";
    if (!(icons ? content::GenerateIcons(argv[2], &error) : content::Generate(argv[1], argv[2], &error))) {
        std::fprintf(stderr, "quillmoor_content: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
