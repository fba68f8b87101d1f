// The content generator: every mesh, picture and sound of the game, made from the sources in tools/content.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/content/mesh.h"
#include "tools/content/picture.h"

namespace content {

struct NamedMesh {
    std::string name;
    Mesh mesh;
};
struct NamedPicture {
    std::string name;
    Canvas canvas;
    bool alpha;
};
struct NamedSound {
    std::string name;
    std::vector<int16_t> samples;  // mono
    int rate;
    bool loop;  // played looping by the game: its end joins its start
};

std::vector<NamedMesh> Models();  // the fixed meshes the game names, and the player's body
std::vector<NamedPicture> Pictures();
std::vector<NamedSound> Sounds();

// Stage geometry from a description text (see tools/content/stages/README.md). Appends one mesh per
// "mesh" line; false with "line N: problem" in error on a bad line.
bool BuildStageGeometry(const std::string& text, std::vector<NamedMesh>& out, std::string* error);

std::vector<uint8_t> EncodeWave(const std::vector<int16_t>& samples, int rate);

// Writes data/xfile, data/texture and data/sound below dataDir, reading stage descriptions (*.geo) from
// stageDir. Files are rewritten only when their bytes change. False with a message on any failure.
bool Generate(const std::string& stageDir, const std::string& dataDir, std::string* error);

// The desktop icon: square, straight alpha, at each size desktop menus use (16 to 256 pixels).
std::vector<int> IconSizes();
Canvas Icon(int size);
// Writes iconDir/NxN/apps/quillmoor.png for every icon size (iconDir is a hicolor theme folder).
bool GenerateIcons(const std::string& iconDir, std::string* error);

}  // namespace content
