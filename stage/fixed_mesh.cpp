// Looking up the fixed meshes, with one warning per missing name and stage, and the lamp colours.
#include "stage/fixed_mesh.h"

#include <set>
#include <string>

#include "app/globals.h"
#include "diag/log.h"

namespace {
std::set<std::string> warnedNames;

void Tint(D3DCOLORVALUE& colour, float r, float g, float b) {
    colour.r = r;
    colour.g = g;
    colour.b = b;
}
}  // namespace

MeshRecord* FindFixedMesh(const char* name) {
    MeshRecord* record = g_resourceCache ? g_resourceCache->Find(name) : nullptr;
    if (!record && warnedNames.insert(name).second)
        WriteLogLine(std::string(" ||  Warning:メッシュ「") + name +
                     "」がステージで読み込まれていないので描画しません");
    return record;
}

void ForgetFixedMeshWarnings() { warnedNames.clear(); }

void SetLamp(MeshRecord* record, DWORD index, bool on) {
    if (!record || index >= record->materialCount) return;
    D3DMATERIAL9& m = record->materials[index];
    float r = on ? 0.1f : 1.0f, g = on ? 1.0f : 0.1f, b = 0.1f;
    Tint(m.Diffuse, r, g, b);
    Tint(m.Emissive, r, g, b);
    Tint(m.Ambient, r, g, b);
}
