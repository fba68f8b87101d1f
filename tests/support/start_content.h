// Everything a headless game run reads before its first frame: the start pictures and sounds and
// the title's pictures and meshes, small but valid, written under data/ of the current folder.
#pragma once

#include <string>

namespace testing_support {

// A text .x mesh of `faces` triangles, triangle i using material i (each material a plain colour).
std::string SmallMeshX(int faces);

void WriteTitleContent();
void WriteStartContent();  // start textures, start sounds, title content

}  // namespace testing_support
