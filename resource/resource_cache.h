// The meshes of the game, loaded once by bare file name and shared, and the loader for the 2D
// textures that scenes keep in their own variables.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>

#include <map>
#include <string>

// One loaded mesh with its materials and their textures; owns all of them.
struct MeshRecord {
    ID3DXMesh* mesh = nullptr;
    DWORD materialCount = 0;
    D3DMATERIAL9* materials = nullptr;       // materialCount entries
    IDirect3DTexture9** textures = nullptr;  // materialCount entries, null where a material has none

    void Draw();     // every subset with its material and texture, under the device's current transforms
    void Release();  // releases what the record owns
};

// Meshes from "data/xfile/" by bare file name (case-sensitive keys). A record's address stays valid
// until ReleaseAll.
class ResourceCache {
public:
    bool LoadMesh(std::string name);  // true when the mesh is (now) in the cache
    MeshRecord* Find(std::string name);
    void ReleaseAll();

private:
    std::map<std::string, MeshRecord> records;
};

// A texture of width × height (0: the picture's own size rounded up to a power of two) with the
// picture unscaled at its top left. On failure: logged, shown, g_fatalError set, false.
bool LoadTexture(IDirect3DTexture9** out, std::string file, UINT width, UINT height, D3DCOLOR colorKey);
