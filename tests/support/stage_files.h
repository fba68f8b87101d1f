// Stages for tests: small stage meshes (32-byte vertices, as the stage objects need), the fixed meshes
// and textures a stage load reads, and a stage list with stage files, written under data/ of the current
// folder (a TempFolder).
#pragma once

#include <d3dx9.h>

#include <string>
#include <vector>

namespace testing_support {

// A text .x mesh with normals and texture coordinates (32-byte vertices) holding exactly `positions`,
// in order, one triangle per vertex (i, i+1, i+2 wrapping around; at least three positions), all faces
// in material 0 of `materials` plain-coloured materials.
std::string StageMeshX(const std::vector<D3DXVECTOR3>& positions, int materials = 1);

// A flat square floor in the y = 0 plane, centred on the origin, `size` units wide, cut into
// cells × cells quads ((cells + 1)² vertices, row by row from (−size/2, 0, −size/2) along +x), facing up.
std::string FloorMeshX(float size, int cells);

struct Box {
    D3DXVECTOR3 lo, hi;
};
// Boxes, four vertices a side, wound outward (each face's normal points out of its box): walls, steps,
// doors.
std::string BoxesX(const std::vector<Box>& boxes, int materials = 1);
// Triangles given corner by corner, three corners each, as they are, each with its face's normal.
std::string TrianglesX(const std::vector<D3DXVECTOR3>& corners);

// Writes data/xfile/NAME.
void WriteMesh(const std::string& name, const std::string& x);

// Everything a stage load can need besides the stage itself: start content (start textures, sounds,
// title pictures, title.x, gun.x), the stage textures, sphere.x, and the fixed meshes of the object
// classes (door.x, elevator.x, goal.x, ltrap.x, laser.x, leveron.x, leveroff.x, step.x) with the
// material counts the game relies on, plus floor.x (FloorMeshX(200, 20)) and plycol.x (a small box).
void WriteStageContent();

// data/stagedata.txt with exactly these bytes.
void WriteStageList(const std::string& text);
// data/NAME with exactly these bytes.
void WriteStageFile(const std::string& name, const std::string& text);

// A stage list naming "stage1.txt" and a stage 1 that puts the player at (0, 12, -40) on floor.x with
// the player body (code 10, plycol.x): the smallest playable stage.
extern const char* const kSmallStage;
void WriteSmallStage();

}  // namespace testing_support
