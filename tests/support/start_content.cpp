// The content a headless game run needs up to the title screen.
#include "support/start_content.h"

#include <filesystem>
#include <sstream>

#include "support/pictures.h"
#include "support/sound_files.h"

namespace testing_support {

std::string SmallMeshX(int faces) {
    std::ostringstream x;
    x << "xof 0303txt 0032\nMesh {\n " << faces * 3 << ";\n";
    for (int f = 0; f < faces; ++f) {
        float z = static_cast<float>(f);
        x << " 0.0;0.0;" << z << ";,\n 1.0;0.0;" << z << ";,\n 0.0;1.0;" << z << (f + 1 == faces ? ";;\n" : ";,\n");
    }
    x << " " << faces << ";\n";
    for (int f = 0; f < faces; ++f)
        x << " 3;" << f * 3 << "," << f * 3 + 1 << "," << f * 3 + 2 << (f + 1 == faces ? ";;\n" : ";,\n");
    x << " MeshMaterialList {\n  " << faces << ";\n  " << faces << ";\n";
    for (int f = 0; f < faces; ++f) x << "  " << f << (f + 1 == faces ? ";;\n" : ",\n");
    for (int f = 0; f < faces; ++f)
        x << "  Material {\n   0.5;0.5;0.5;1.0;;\n   0.0;\n   0.0;0.0;0.0;;\n   0.0;0.0;0.0;;\n  }\n";
    x << " }\n}\n";
    return x.str();
}

void WriteTitleContent() {
    WritePng("data/texture/title.png", 512, 128, std::vector<uint32_t>(512 * 128, 0xFF3060A0));
    WritePng("data/texture/pushenter.png", 256, 64, std::vector<uint32_t>(256 * 64, 0xFFFFFFFF));
    std::filesystem::create_directories("data/xfile");
    WriteBytes("data/xfile/title.x", SmallMeshX(1));
    WriteBytes("data/xfile/gun.x", SmallMeshX(7));  // materials 4, 5 and 6 are the lamps
}

void WriteStartContent() {
    WriteStartTextures();
    WriteStartSounds();
    WriteTitleContent();
}

}  // namespace testing_support
