// The mesh cache and the texture loader.
#include "resource/resource_cache.h"

#include <windows.h>

#include "app/globals.h"
#include "diag/log.h"

bool LoadTexture(IDirect3DTexture9** out, std::string file, UINT width, UINT height, D3DCOLOR colorKey) {
    HRESULT hr = D3DXCreateTextureFromFileExA(g_device, file.c_str(), width ? width : D3DX_DEFAULT,
                                              height ? height : D3DX_DEFAULT, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                              D3DX_FILTER_NONE, D3DX_DEFAULT, colorKey, nullptr, nullptr, out);
    if (SUCCEEDED(hr)) return true;
    WriteLogLine(" ||  Error: テクスチャ「", file, "」の読み込みに失敗しました");
    MessageBoxA(nullptr, (file + "の読み込みに失敗しました").c_str(), "Error", MB_OK);
    g_fatalError = true;
    return false;
}

namespace {

bool LoadRecord(const std::string& path, MeshRecord& record) {
    ID3DXBuffer* materialBuffer = nullptr;
    DWORD materialCount = 0;
    ID3DXMesh* mesh = nullptr;
    if (D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_MANAGED, g_device, nullptr, &materialBuffer, nullptr, &materialCount,
                           &mesh) != S_OK) {
        g_fatalError = true;
        WriteLogLine(" ||  Error: メッシュ「", path, "」の読み込みに失敗しました");
        MessageBoxA(nullptr, (path + "の読み込みに失敗しました").c_str(), "Error", MB_OK);
        return false;
    }
    record.mesh = mesh;
    record.materialCount = materialCount;
    record.materials = new D3DMATERIAL9[materialCount];
    record.textures = new IDirect3DTexture9*[materialCount];
    auto* loaded = static_cast<D3DXMATERIAL*>(materialBuffer->GetBufferPointer());
    for (DWORD i = 0; i < materialCount; ++i) {
        record.materials[i] = loaded[i].MatD3D;
        // The files leave ambient black; the game lights its meshes with their own colour.
        record.materials[i].Ambient = record.materials[i].Diffuse;
        record.textures[i] = nullptr;
        const char* textureName = loaded[i].pTextureFilename;
        if (FAILED(D3DXCreateTextureFromFileA(g_device, textureName, &record.textures[i]))) {
            record.textures[i] = nullptr;
            if (textureName) {
                g_fatalError = true;
                std::string name(textureName);
                WriteLogLine(" ||  Error: テクスチャ「", name, "」の読み込みに失敗しました");
                MessageBoxA(nullptr, ("テクスチャ「" + name + "」の読み込みに失敗しました").c_str(), "Error", MB_OK);
            }
        }
    }
    materialBuffer->Release();
    return true;
}

}  // namespace

bool ResourceCache::LoadMesh(std::string name) {
    if (records.count(name)) return true;
    MeshRecord record;
    if (!LoadRecord("data/xfile/" + name, record)) return false;
    records.emplace(name, record);
    return true;
}

MeshRecord* ResourceCache::Find(std::string name) {
    auto it = records.find(name);
    return it == records.end() ? nullptr : &it->second;
}

void ResourceCache::ReleaseAll() {
    for (auto& [name, record] : records) record.Release();
    records.clear();
}

void MeshRecord::Draw() {
    for (DWORD i = 0; i < materialCount; ++i) {
        g_device->SetMaterial(&materials[i]);
        g_device->SetTexture(0, textures[i]);
        mesh->DrawSubset(i);
    }
}

void MeshRecord::Release() {
    if (!mesh) return;
    delete[] materials;
    materials = nullptr;
    for (DWORD i = 0; i < materialCount; ++i) {
        if (textures[i]) textures[i]->Release();
        textures[i] = nullptr;
    }
    delete[] textures;
    textures = nullptr;
    mesh->Release();
    mesh = nullptr;
}
