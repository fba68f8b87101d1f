// CreateObject and ClearObjects: the object list is built from the stage records and torn down whole.
#include "stage/factory.h"

#include <climits>

#include "diag/log.h"
#include "stage/fixed_mesh.h"
#include "stage/odoor.h"
#include "stage/oelevator.h"
#include "stage/ogoal.h"
#include "stage/olasertrap.h"
#include "stage/olever.h"
#include "stage/oplycol.h"
#include "stage/ostage.h"
#include "stage/ostep.h"

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
int AsInt(float value) { return ParamAsInt(value); }

D3DXVECTOR3 AsPoint(const float* params) { return D3DXVECTOR3(params[0], params[1], params[2]); }

using Position = const D3DXVECTOR3&;

const ObjectClass kClasses[] = {
    {TYPE_STAGE,
     "OStage",
     [](ID3DXMesh* mesh, const std::string& meshName, uint16_t code, const D3DXVECTOR3& position, float yaw,
        float pitch, const float*) -> Obj* { return new OStage(mesh, code, position, yaw, pitch, meshName); },
     nullptr,
     {nullptr, nullptr},
     -1,
     false},
    {TYPE_STEP,
     "OStep",
     [](ID3DXMesh* mesh, const std::string&, uint16_t code, Position position, float yaw, float pitch,
        const float* params) -> Obj* {
         return new OStep(mesh, code, position, yaw, pitch, AsPoint(params), params[3]);
     },
     nullptr,
     {"step.x", nullptr},
     -1,
     false},
    {TYPE_ELEVATOR,
     "OElevator",
     [](ID3DXMesh* mesh, const std::string&, uint16_t code, Position position, float yaw, float pitch,
        const float* params) -> Obj* {
         return new OElevator(mesh, code, position, yaw, pitch, AsPoint(params), params[3], AsInt(params[4]));
     },
     "elevator.x",
     {"elevator.x", nullptr},
     4,
     false},
    {TYPE_DOOR,
     "ODoor",
     [](ID3DXMesh* mesh, const std::string&, uint16_t code, Position position, float yaw, float pitch,
        const float* params) -> Obj* { return new ODoor(mesh, code, position, yaw, pitch, AsInt(params[0])); },
     "door.x",
     {"door.x", nullptr},
     0,
     false},
    {TYPE_LASER_TRAP,
     "OLaserTrap",
     [](ID3DXMesh* mesh, const std::string&, uint16_t code, Position position, float yaw, float pitch,
        const float* params) -> Obj* {
         return new OLaserTrap(mesh, code, position, yaw, pitch, AsInt(params[0]), params[1], params[2]);
     },
     nullptr,
     {"ltrap.x", "laser.x"},
     0,
     false},
    {TYPE_LEVER,
     "OLever",
     [](ID3DXMesh* mesh, const std::string&, uint16_t code, Position position, float yaw, float pitch,
        const float* params) -> Obj* {
         return new OLever(mesh, code, position, yaw, pitch, AsInt(params[0]), AsInt(params[1]));
     },
     nullptr,
     {"leveron.x", "leveroff.x"},
     0,
     true},
    {TYPE_GOAL,
     "OGoal",
     [](ID3DXMesh* mesh, const std::string&, uint16_t code, Position position, float yaw, float pitch,
        const float* params) -> Obj* { return new OGoal(mesh, code, position, yaw, pitch, AsInt(params[0])); },
     nullptr,
     {"goal.x", nullptr},
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
    ForgetFixedMeshWarnings();  // a new stage: a mesh it lacks is reported afresh
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
