// Mesh building for the content generator: vertices with normal and uv, triangles with a material
// each, a few solid primitives placed through a frame, and the text .x writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace content {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Length(Vec3 a);
Vec3 Normalize(Vec3 a);

// A rigid placement: rows of the rotation are where local x, y, z end up (row-vector convention), then t.
struct Frame {
    Vec3 ax{1, 0, 0}, ay{0, 1, 0}, az{0, 0, 1};
    Vec3 t{};
    Vec3 Point(Vec3 p) const { return ax * p.x + ay * p.y + az * p.z + t; }
    Vec3 Dir(Vec3 d) const { return ax * d.x + ay * d.y + az * d.z; }
    static Frame At(float x, float y, float z);
    Frame RotX(float deg) const;  // this frame turned about its own axes, then placed as before
    Frame RotY(float deg) const;
    Frame RotZ(float deg) const;
    Frame Move(float x, float y, float z) const;  // moved along its own axes
};

struct Material {
    float r = 1, g = 1, b = 1, a = 1;
    float power = 0;
    float sr = 0, sg = 0, sb = 0;
    float er = 0, eg = 0, eb = 0;
    std::string texture;  // relative to the game's folder, "" for none
    std::string name;     // written into the file when given: "lamp..." marks a lamp the game recolours
};
Material Colour(float r, float g, float b, float a = 1.0f);
Material Glow(float r, float g, float b, float a = 1.0f);                    // emissive, shows its colour without light
Material Lamp(const char* name, float r, float g, float b, float a = 1.0f);  // a glow the game recolours
Material Shiny(float r, float g, float b, float power);
Material Textured(const char* texture, float r, float g, float b);  // texture path relative to the game

struct Vertex {
    Vec3 p, n;
    float u = 0, v = 0;
};

class Mesh {
public:
    std::vector<Vertex> vertices;
    std::vector<uint32_t> indices;  // three per triangle
    std::vector<uint32_t> triMaterial;
    std::vector<Material> materials;

    int AddMaterial(const Material& m);
    uint32_t Add(const Vertex& v);
    // Front faces wind so that Cross(b - a, c - a) points to the viewer.
    void Tri(uint32_t a, uint32_t b, uint32_t c, int mat);
    void Quad(uint32_t a, uint32_t b, uint32_t c, uint32_t d, int mat);

    // Flat primitives. uvScale: world units per texture repeat (0: the face spans 0..1).
    void Grid(const Frame& f, Vec3 origin, Vec3 edgeU, Vec3 edgeV, int nu, int nv, int mat, float uvScale = 0);
    void Box(const Frame& f, Vec3 lo, Vec3 hi, int mat, float uvScale = 0, float cell = 0);
    // Convex polygon (counter-clockwise in local x-y, seen from +z) extruded from z0 to z1.
    void Prism(const Frame& f, const std::vector<Vec3>& poly, float z0, float z1, int capMat, int sideMat);
    // Surface of revolution about local z: profile points (radius in x, height in z), bottom to top.
    void Lathe(const Frame& f, const std::vector<Vec3>& profile, int segments, int mat, bool smooth = true);
    void Sphere(const Frame& f, float r, int slices, int stacks, int mat);
    void Torus(const Frame& f, float major, float minor, int segs, int sides, int mat, float sweepDeg = 360);
    void Cylinder(const Frame& f, float r, float z0, float z1, int segs, int mat, bool caps = true);

    bool Empty() const { return indices.empty(); }
};

// The text .x file for a mesh: one Mesh with normals, texture coordinates and its material list.
// Returns "" and sets error when the mesh cannot be stored with 16-bit indices.
std::string WriteX(const Mesh& m, std::string* error);

std::string FormatFloat(float v);  // fixed six decimals, never "-0.000000"

}  // namespace content
