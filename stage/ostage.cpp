// The level geometry: it only draws, bent by whatever bulges the player holds.
#include "stage/ostage.h"

#include "app/globals.h"
#include "resource/resource_cache.h"

OStage::OStage(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch,
               const std::string& meshName)
    : Obj(mesh, typeCode, position, yaw, pitch), meshName(meshName) {}

void OStage::Draw() {
    g_device->SetTexture(0, nullptr);
    D3DXMATRIX world = DrawMatrix();
    ApplyBulge(this);
    g_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    g_device->SetTransform(D3DTS_WORLD, &world);
    if (MeshRecord* record = g_resourceCache->Find(meshName)) record->Draw();
}
