// CreateObject and ClearObjects: the object list is built from the stage records and torn down whole.
#include "stage/factory.h"

#include <climits>

#include "diag/log.h"
#include "stage/oplycol.h"
#include "stage/ostage.h"

int ParamAsInt(float value) {
    // Truncated toward zero; a value beyond the int range holds at its end and NaN reads as 0, so no
    // stage record can make the conversion itself undefined.
    if (!(value == value)) return 0;
    if (value >= 2147483648.0f) return INT_MAX;
    if (value <= -2147483648.0f) return INT_MIN;
    return static_cast<int>(value);
}

namespace {

// A float parameter taken as an integer, truncated toward zero.
[[maybe_unused]] int AsInt(float value) { return ParamAsInt(value); }

const ObjectClass kClasses[] = {
    {TYPE_STAGE,
     "OStage",
     [](ID3DXMesh* mesh, const std::string& meshName, uint16_t code, const D3DXVECTOR3& position, float yaw,
        float pitch, const float*) -> Obj* { return new OStage(mesh, code, position, yaw, pitch, meshName); },
     nullptr,
     {nullptr, nullptr},
     -1,
     false},
    {TYPE_PLAYER_BODY,
     "OPlyCol",
     [](ID3DXMesh* mesh, const std::string&, uint16_t code, const D3DXVECTOR3& position, float yaw, float pitch,
        const float*) -> Obj* { return new OPlyCol(mesh, code, position, yaw, pitch); },
     nullptr,
     {nullptr, nullptr},
     -1,
     false},
};

}  // namespace

const ObjectClass* FindObjectClass(uint16_t typeCode) {
    for (const ObjectClass& row : kClasses)
        if (row.typeCode == typeCode) return &row;
    return nullptr;
}

Obj* CreateObject(ID3DXMesh* mesh, const std::string& meshName, uint16_t typeCode, D3DXVECTOR3 position, float yaw,
                  float pitch, const float params[5]) {
    const ObjectClass* type = FindObjectClass(typeCode);
    if (!type) {
        WriteLogLine(" ||  Warning:種類" + std::to_string(typeCode) + "のオブジェクトはありません(" + meshName + ")");
        return nullptr;
    }
    if (!mesh) {
        WriteLogLine(" ||  Warning:メッシュ「" + meshName + "」が読み込まれていません");
        return nullptr;
    }
    if (mesh->GetNumBytesPerVertex() != kStageVertexSize) {
        WriteLogLine(" ||  Warning:メッシュ「" + meshName + "」の頂点が32バイトではありません");
        return nullptr;
    }
    Obj* tail = &g_objRoot;
    while (tail->next) tail = tail->next;
    Obj* obj = type->make(mesh, meshName, typeCode, position, yaw, pitch, params);
    tail->next = obj;
    obj->prev = tail;
    obj->next = nullptr;
    return obj;
}

void ClearObjects() {
    if (!g_objRoot.next) return;
    Obj* last = g_objRoot.next;
    while (last->next) last = last->next;
    while (last != &g_objRoot) {
        Obj* prev = last->prev;
        prev->next = last->next;
        if (last->next) last->next->prev = prev;
        delete last;
        last = prev;
    }
}
