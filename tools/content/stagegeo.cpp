// Stage geometry: boxes, ramps and quads from a small description text, cut into a fine grid so that
// the gun's bulges bend the surfaces smoothly.
#include <array>
#include <cmath>
#include <map>
#include <sstream>

#include "tools/content/generator.h"

namespace content {

namespace {

constexpr float kCell = 2.0f;  // grid spacing of stage surfaces unless a "cell" line says otherwise

struct StageMaterial {
    int index;
    float uvScale;
    float cell = kCell;  // the grid spacing of the shape being cut
};

// Faces of a box or ramp that a "skip=" word leaves out, one bit per side.
enum FaceBit : unsigned { kPosX = 1, kNegX = 2, kPosY = 4, kNegY = 8, kPosZ = 16, kNegZ = 32 };

bool ParseSkip(const std::string& word, unsigned& mask) {
    if (word.rfind("skip=", 0) != 0) return false;
    std::istringstream list(word.substr(5));
    std::string side;
    while (std::getline(list, side, ',')) {
        static const std::map<std::string, unsigned> bits = {{"+x", kPosX}, {"-x", kNegX}, {"+y", kPosY},
                                                             {"-y", kNegY}, {"+z", kPosZ}, {"-z", kNegZ}};
        const auto it = bits.find(side);
        if (it == bits.end()) return false;
        mask |= it->second;
    }
    return true;
}

// A flat four-cornered face (two corners may coincide for a triangle), divided into cells of about
// kCell, wound so that it is seen from the side `normal` points to.
void Face(Mesh& m, Vec3 p00, Vec3 p10, Vec3 p11, Vec3 p01, Vec3 normal, const StageMaterial& mat) {
    // A cell of 0 ("cell whole") leaves the face uncut: its only vertices are its corners.
    const float cell = mat.cell;
    auto cuts = [cell](float length) { return cell > 0 ? std::max(1, int(std::ceil(length / cell - 1e-4f))) : 1; };
    const int nu = cuts(std::max(Length(p10 - p00), Length(p11 - p01)));
    const int nv = cuts(std::max(Length(p01 - p00), Length(p11 - p10)));
    const Vec3 n = Normalize(normal);
    const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    const uint32_t base = uint32_t(m.vertices.size());
    for (int j = 0; j <= nv; ++j)
        for (int i = 0; i <= nu; ++i) {
            const float s = float(i) / nu, t = float(j) / nv;
            const Vec3 p = (p00 * (1 - s) + p10 * s) * (1 - t) + (p01 * (1 - s) + p11 * s) * t;
            Vertex v{p, n, 0, 0};
            // Planar mapping on the dominant axis: neighbouring faces and boxes line up.
            if (ay >= ax && ay >= az)
                v.u = p.x / mat.uvScale, v.v = p.z / mat.uvScale;
            else if (ax >= az)
                v.u = p.z / mat.uvScale, v.v = -p.y / mat.uvScale;
            else
                v.u = p.x / mat.uvScale, v.v = -p.y / mat.uvScale;
            m.vertices.push_back(v);
        }
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            const uint32_t a = base + j * (nu + 1) + i, b = a + 1, c = a + nu + 2, d = a + nu + 1;
            for (const auto& tri : {std::array<uint32_t, 3>{a, b, c}, std::array<uint32_t, 3>{a, c, d}}) {
                const Vec3 g =
                    Cross(m.vertices[tri[1]].p - m.vertices[tri[0]].p, m.vertices[tri[2]].p - m.vertices[tri[0]].p);
                if (Dot(g, n) >= 0)
                    m.Tri(tri[0], tri[1], tri[2], mat.index);
                else
                    m.Tri(tri[0], tri[2], tri[1], mat.index);
            }
        }
}

void Box(Mesh& m, Vec3 a, Vec3 b, const StageMaterial& mat, unsigned skip) {
    const Vec3 lo{std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
    const Vec3 hi{std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
    auto c = [&](int x, int y, int z) { return Vec3{x ? hi.x : lo.x, y ? hi.y : lo.y, z ? hi.z : lo.z}; };
    if (!(skip & kPosY)) Face(m, c(0, 1, 0), c(1, 1, 0), c(1, 1, 1), c(0, 1, 1), {0, 1, 0}, mat);
    if (!(skip & kNegY)) Face(m, c(0, 0, 0), c(1, 0, 0), c(1, 0, 1), c(0, 0, 1), {0, -1, 0}, mat);
    if (!(skip & kPosX)) Face(m, c(1, 0, 0), c(1, 0, 1), c(1, 1, 1), c(1, 1, 0), {1, 0, 0}, mat);
    if (!(skip & kNegX)) Face(m, c(0, 0, 0), c(0, 0, 1), c(0, 1, 1), c(0, 1, 0), {-1, 0, 0}, mat);
    if (!(skip & kPosZ)) Face(m, c(0, 0, 1), c(1, 0, 1), c(1, 1, 1), c(0, 1, 1), {0, 0, 1}, mat);
    if (!(skip & kNegZ)) Face(m, c(0, 0, 0), c(1, 0, 0), c(1, 1, 0), c(0, 1, 0), {0, 0, -1}, mat);
}

// A solid wedge over the footprint of the two corners: its top climbs from the lower y at the side
// opposite `dir` to the upper y at the side `dir` names.
bool Ramp(Mesh& m, Vec3 a, Vec3 b, const std::string& dir, const StageMaterial& mat, unsigned skip) {
    const float x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x), z0 = std::min(a.z, b.z), z1 = std::max(a.z, b.z);
    const float y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
    Vec3 L0, L1, H0, H1, d;  // low and high edges on the ground, and the climbing direction
    if (dir == "+x")
        L0 = {x0, y0, z0}, L1 = {x0, y0, z1}, H0 = {x1, y0, z0}, H1 = {x1, y0, z1}, d = {1, 0, 0};
    else if (dir == "-x")
        L0 = {x1, y0, z0}, L1 = {x1, y0, z1}, H0 = {x0, y0, z0}, H1 = {x0, y0, z1}, d = {-1, 0, 0};
    else if (dir == "+z")
        L0 = {x0, y0, z0}, L1 = {x1, y0, z0}, H0 = {x0, y0, z1}, H1 = {x1, y0, z1}, d = {0, 0, 1};
    else if (dir == "-z")
        L0 = {x0, y0, z1}, L1 = {x1, y0, z1}, H0 = {x0, y0, z0}, H1 = {x1, y0, z0}, d = {0, 0, -1};
    else
        return false;
    const Vec3 up{0, y1 - y0, 0};
    const Vec3 T0 = H0 + up, T1 = H1 + up;
    const Vec3 across = Normalize(L1 - L0);
    Vec3 slopeN = Normalize(Cross(T0 - L0, across));
    if (slopeN.y < 0) slopeN = slopeN * -1.0f;
    if (!(skip & kNegY)) Face(m, L0, L1, H1, H0, {0, -1, 0}, mat);
    Face(m, L0, L1, T1, T0, slopeN, mat);
    Face(m, H0, H1, T1, T0, d, mat);
    Face(m, L0, H0, T0, L0, across * -1.0f, mat);
    Face(m, L1, H1, T1, L1, across, mat);
    return true;
}

}  // namespace

bool BuildStageGeometry(const std::string& text, std::vector<NamedMesh>& out, std::string* error) {
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    NamedMesh* cur = nullptr;
    std::map<std::string, StageMaterial> mats;
    float cell = kCell;
    auto fail = [&](const std::string& why) {
        if (error) *error = "line " + std::to_string(lineNo) + ": " + why;
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (const size_t hash = line.find('#'); hash != std::string::npos) line.resize(hash);
        std::istringstream ls(line);
        std::string word;
        if (!(ls >> word)) continue;
        if (word == "mesh") {
            std::string name;
            if (!(ls >> name)) return fail("mesh needs a file name");
            out.push_back({name, Mesh{}});
            cur = &out.back();
            mats.clear();
            cell = kCell;
            continue;
        }
        if (!cur) return fail("\"" + word + "\" before the first mesh line");
        if (word == "cell") {
            std::string size;
            ls >> size;
            if (size == "whole") {
                cell = 0;
                continue;
            }
            std::istringstream number(size);
            if (!(number >> cell) || !number.eof() || !(cell >= 0.5f && cell <= 64.0f))
                return fail("cell needs a size from 0.5 to 64, or whole");
            continue;
        }
        if (word == "material") {
            std::string name, texture;
            float scale, r, g, b, a = 1;
            if (!(ls >> name >> texture >> scale >> r >> g >> b)) return fail("material NAME TEXTURE SCALE R G B [A]");
            ls >> a;
            if (scale <= 0) return fail("the texture scale must be above 0");
            Material mt = Colour(r, g, b, a);
            if (texture != "-") mt.texture = texture;
            mats[name] = {cur->mesh.AddMaterial(mt), scale};
            continue;
        }
        std::string matName;
        if (!(ls >> matName)) return fail(word + " needs a material");
        auto it = mats.find(matName);
        if (it == mats.end()) return fail("unknown material \"" + matName + "\"");
        StageMaterial mat = it->second;
        mat.cell = cell;
        Vec3 p[4];
        if (word == "box" || word == "ramp") {
            if (!(ls >> p[0].x >> p[0].y >> p[0].z >> p[1].x >> p[1].y >> p[1].z))
                return fail(word + " needs six numbers");
            if (p[0].x == p[1].x || p[0].y == p[1].y || p[0].z == p[1].z) return fail(word + " has no volume");
            std::string dir, extra;
            if (word == "ramp") ls >> dir;
            unsigned skip = 0;
            if (ls >> extra && !ParseSkip(extra, skip)) return fail("\"" + extra + "\" is not skip=SIDE,...");
            if (word == "box") {
                Box(cur->mesh, p[0], p[1], mat, skip);
            } else if (!Ramp(cur->mesh, p[0], p[1], dir, mat, skip)) {
                return fail("ramp direction must be +x, -x, +z or -z");
            }
        } else if (word == "quad") {
            for (Vec3& q : p)
                if (!(ls >> q.x >> q.y >> q.z)) return fail("quad needs twelve numbers");
            const Vec3 n = Cross(p[1] - p[0], p[3] - p[0]);
            if (Length(n) <= 0) return fail("quad has no area");
            Face(cur->mesh, p[0], p[1], p[2], p[3], n, mat);
        } else {
            return fail("unknown shape \"" + word + "\"");
        }
        if (cur->mesh.vertices.size() > 65535) return fail(cur->name + " has more than 65535 vertices");
    }
    return true;
}

}  // namespace content
