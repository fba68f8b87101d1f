// Obj: everything a stage is made of. Objects hang in one list under g_objRoot, in the order of their
// records in the stage file; the game updates and draws them in that order, and the player's collision,
// the gun and the laser traps ray-test them through Intersect.
#pragma once

#include <d3dx9.h>

#include <cstdint>
#include <string>
#include <vector>

// The factory's type codes.
enum : uint16_t {
    TYPE_STAGE = 1,
    TYPE_STEP = 2,
    TYPE_ELEVATOR = 3,
    TYPE_DOOR = 4,
    TYPE_LASER_TRAP = 6,
    TYPE_LEVER = 7,
    TYPE_GOAL = 9,
    TYPE_PLAYER_BODY = 10,
};

// Every stage mesh has 32-byte vertices with the position in the first 12 bytes.
constexpr DWORD kStageVertexSize = 32;

class Obj {
public:
    // The common construction: copies the mesh's vertex positions once. `slices` copies of the working
    // positions are kept (a door keeps one per panel).
    Obj(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch, int slices = 1);
    // Virtual so that ClearObjects destroys each object whole, members of its class included.
    virtual ~Obj() = default;
    Obj(const Obj&) = delete;
    Obj& operator=(const Obj&) = delete;

    virtual void Update() = 0;
    virtual void Draw() = 0;
    // The ray meets the mesh in its current vertex buffer; `distance` is in world units whatever the
    // direction's length; a zero direction meets nothing. `faceIndex` may be null.
    virtual BOOL Intersect(D3DXVECTOR3 rayOrigin, D3DXVECTOR3 rayDirection, float* distance, DWORD* faceIndex);
    // The world normal of triangle `face` of the shape the last Intersect hit: the mesh's vertex buffer
    // as it holds it now, turned by the hit matrix, normalised; zero for a degenerate triangle or a face
    // the mesh does not have. The collision pushes the player along it.
    virtual D3DXVECTOR3 HitNormal(DWORD face);

    // The class's own state in a few words ("open 1 amount 12.0000"), for the replay runner's report.
    virtual std::string DescribeState() const { return ""; }

    // RotationY(yaw) × RotationX(pitch) × Translation(position): what every Draw and the bulge use.
    D3DXMATRIX DrawMatrix() const;
    // RotationYawPitchRoll(yaw, pitch, 0) × Translation(position): what Intersect uses (pitch first).
    D3DXMATRIX HitMatrix() const;
    // Writes workVertices (the first slice) into the mesh's vertex buffer.
    void WriteWorkVertices();
    // Writes slice `slice` of workVertices (a door panel's) into the mesh's vertex buffer.
    void WriteSlice(size_t slice);
    // Copies baseVertices into workVertices and writes them into the mesh: for objects never bent.
    void RestoreBaseVertices();

    Obj* next = nullptr;
    Obj* prev = nullptr;
    std::vector<D3DXVECTOR3> workVertices;  // after the bulge; filled by the first Draw
    std::vector<D3DXVECTOR3> baseVertices;  // as loaded; never changed
    D3DXVECTOR3 position;
    float yaw = 0.0f;    // degrees, about Y
    float pitch = 0.0f;  // degrees, about X
    uint16_t typeCode = 0;
    bool playerOnTop = false;
    ID3DXMesh* mesh = nullptr;  // the cache's; never released here

protected:
    Obj() = default;  // the list head only
};

// The list head: never updated, drawn or tested.
class ORoot : public Obj {
public:
    ORoot() = default;
    ~ORoot() override;  // the objects still listed at program exit go with the head
    void Update() override {}
    void Draw() override {}
};

extern ORoot g_objRoot;

// Creates the object the type code names and appends it to the list. Null, with one warning line in the
// log, for a code that names no class and for a mesh that is missing or not of 32-byte vertices.
Obj* CreateObject(ID3DXMesh* mesh, const std::string& meshName, uint16_t typeCode, D3DXVECTOR3 position, float yaw,
                  float pitch, const float params[5]);

// Destroys every object, last first; g_objRoot stays with next null. A stage load starts here, so the
// record of fixed meshes already warned about is forgotten too.
void ClearObjects();

// The normal of the triangle with these corners, turned by `turn` and normalised (zero if degenerate).
D3DXVECTOR3 TurnedNormal(const D3DXVECTOR3 corner[3], const D3DXMATRIX& turn);
// The three corner indices of triangle `face` (stage meshes keep 16-bit indices); false for a face
// the mesh does not have or an index past its vertices.
bool FaceCorners(ID3DXMesh* mesh, DWORD face, DWORD corner[3]);

// The bulge: workVertices recomputed from baseVertices and the player's four spheres, and written into
// the mesh when at least one sphere is not idle.
void ApplyBulge(Obj* obj);

// The same on one slice of positions with the given world matrix and its rotation part (a door panel).
void ApplySliceBulge(ID3DXMesh* mesh, const D3DXVECTOR3* base, D3DXVECTOR3* work, DWORD count, const D3DXMATRIX& world,
                     const D3DXMATRIX& rotation);
