// The content checker's last word on meshes and pictures: the game's own .x and picture loaders, on a
// device without a screen.
#include <d3d9.h>
#include <d3dx9.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "app/globals.h"
#include "tools/common/game_device.h"
#include "tools/check/check.h"

namespace content_check {

namespace {

// The device the loaders need: the one the caller has, or one of our own for as long as the check runs.
class DeviceForLoading {
public:
    DeviceForLoading() {
        if (g_device) return;
        window = game_device::OpenWindow("content check");
        if (window && game_device::CreateDevice(window, true, d3d, own)) g_device = own;
    }
    ~DeviceForLoading() {
        if (own) {
            own->Release();
            g_device = nullptr;
        }
        if (d3d) d3d->Release();
        if (window) DestroyWindow(window);
    }
    DeviceForLoading(const DeviceForLoading&) = delete;
    DeviceForLoading& operator=(const DeviceForLoading&) = delete;

private:
    HWND window = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* own = nullptr;
};

}  // namespace

void CheckPictureWithGame(const std::string& path, UINT width, UINT height, std::vector<Problem>& out) {
    DeviceForLoading device;
    IDirect3DTexture9* texture = nullptr;
    // The same call the game makes: unscaled, one level, no colour key.
    if (!g_device ||
        D3DXCreateTextureFromFileExA(g_device, path.c_str(), width, height, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                     D3DX_FILTER_NONE, D3DX_DEFAULT, 0, nullptr, nullptr, &texture) != D3D_OK)
        out.push_back({path, "the game's picture loader refuses it"});
    if (texture) texture->Release();
}

namespace {

// The materials named "lamp..." in a text .x file, by their index in the material list. The game's loader
// keeps no names, so the file's text is read for them.
std::vector<unsigned> NamedLamps(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    static const std::regex material(R"(\bMaterial\s+([A-Za-z_][A-Za-z0-9_]*)?\s*\{)");
    std::vector<unsigned> lamps;
    unsigned index = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), material); it != std::sregex_iterator();
         ++it, ++index)
        if ((*it)[1].str().rfind("lamp", 0) == 0) lamps.push_back(index);
    return lamps;
}

std::string List(const std::vector<unsigned>& v) {
    std::string s;
    for (unsigned i : v) s += (s.empty() ? "" : ", ") + std::to_string(i);
    return s.empty() ? "none" : s;
}

}  // namespace

void CheckMesh(const std::string& name, unsigned minMaterials, const std::vector<unsigned>& lamps,
               std::vector<Problem>& out) {
    const std::string path = "data/xfile/" + name;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        out.push_back({path, "missing or unreadable"});
        return;
    }
    DeviceForLoading device;
    if (!g_device) {
        out.push_back({path, "no device to load it with"});
        return;
    }
    ID3DXBuffer* materials = nullptr;
    DWORD count = 0;
    ID3DXMesh* mesh = nullptr;
    if (D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_MANAGED, g_device, nullptr, &materials, nullptr, &count, &mesh) !=
            S_OK ||
        !mesh) {
        out.push_back({path, "the game's .x loader refuses it"});
        if (materials) materials->Release();
        return;
    }
    // Objects copy and bend positions at a 32-byte stride; the cache draws with 16-bit indices.
    if (mesh->GetNumBytesPerVertex() != 32)
        out.push_back({path, "vertices of " + std::to_string(mesh->GetNumBytesPerVertex()) +
                                 " bytes; the game needs 32 (position, normal, texture coordinates)"});
    if (mesh->GetOptions() & D3DXMESH_32BIT) out.push_back({path, "32-bit indices; the game needs 16-bit"});
    if (count < minMaterials)
        out.push_back(
            {path, std::to_string(count) + " materials; the game needs at least " + std::to_string(minMaterials)});
    if (!lamps.empty() && NamedLamps(path) != lamps)
        out.push_back({path, "the lamps (materials named lamp...) are materials " + List(NamedLamps(path)) +
                                 "; the game recolours exactly " + List(lamps)});
    const auto* m = materials ? static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer()) : nullptr;
    for (DWORD i = 0; m && i < count; ++i) {
        if (!m[i].pTextureFilename) continue;
        IDirect3DTexture9* texture = nullptr;
        if (D3DXCreateTextureFromFileA(g_device, m[i].pTextureFilename, &texture) != D3D_OK)
            out.push_back(
                {path, "material " + std::to_string(i) + ": texture \"" + m[i].pTextureFilename + "\" does not load"});
        if (texture) texture->Release();
    }
    if (materials) materials->Release();
    mesh->Release();
}

}  // namespace content_check
