// Mesh building and the text .x writer of the content generator.
#include "tools/content/mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace content {

namespace {
constexpr float kDegToRad = 3.14159265358979f / 180.0f;

Frame Rotated(const Frame& f, Vec3 axisA, Vec3 axisB, float deg, int which) {
    // Turns the frame's two axes other than `keep` within their plane.
    const float c = std::cos(deg * kDegToRad), s = std::sin(deg * kDegToRad);
    Frame r = f;
    const Vec3 a = axisA * c + axisB * s;
    const Vec3 b = axisB * c - axisA * s;
    if (which == 0) {
        r.ay = a;
        r.az = b;
    }
    if (which == 1) {
        r.az = a;
        r.ax = b;
    }
    if (which == 2) {
        r.ax = a;
        r.ay = b;
    }
    return r;
}
}  // namespace

float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
Vec3 Normalize(Vec3 a) {
    const float l = Length(a);
    return l > 0 ? a * (1.0f / l) : Vec3{};
}

Frame Frame::At(float x, float y, float z) {
    Frame f;
    f.t = {x, y, z};
    return f;
}
// Left-handed turns as D3DX makes them: RotX takes y toward z, RotY takes z toward x, RotZ takes x toward y.
Frame Frame::RotX(float deg) const { return Rotated(*this, ay, az, deg, 0); }
Frame Frame::RotY(float deg) const { return Rotated(*this, az, ax, deg, 1); }
Frame Frame::RotZ(float deg) const { return Rotated(*this, ax, ay, deg, 2); }
Frame Frame::Move(float x, float y, float z) const {
    Frame r = *this;
    r.t = Point({x, y, z});
    return r;
}

Material Colour(float r, float g, float b, float a) {
    Material m;
    m.r = r, m.g = g, m.b = b, m.a = a;
    return m;
}
Material Glow(float r, float g, float b, float a) {
    Material m = Colour(r, g, b, a);
    m.er = r, m.eg = g, m.eb = b;
    return m;
}
Material Lamp(const char* name, float r, float g, float b, float a) {
    Material m = Glow(r, g, b, a);
    m.name = name;
    return m;
}

Material Shiny(float r, float g, float b, float power) {
    Material m = Colour(r, g, b);
    m.power = power;
    m.sr = m.sg = m.sb = 0.6f;
    return m;
}

Material Textured(const char* texture, float r, float g, float b) {
    Material m = Colour(r, g, b);
    m.texture = texture;
    return m;
}

int Mesh::AddMaterial(const Material& m) {
    materials.push_back(m);
    return static_cast<int>(materials.size()) - 1;
}

uint32_t Mesh::Add(const Vertex& v) {
    vertices.push_back(v);
    return static_cast<uint32_t>(vertices.size() - 1);
}

void Mesh::Tri(uint32_t a, uint32_t b, uint32_t c, int mat) {
    const Vec3 n = Cross(vertices[b].p - vertices[a].p, vertices[c].p - vertices[a].p);
    if (Length(n) < 1e-9f) return;  // a pole or a collapsed edge adds nothing to see or hit
    indices.insert(indices.end(), {a, b, c});
    triMaterial.push_back(static_cast<uint32_t>(mat));
}

void Mesh::Quad(uint32_t a, uint32_t b, uint32_t c, uint32_t d, int mat) {
    Tri(a, b, c, mat);
    Tri(a, c, d, mat);
}

void Mesh::Grid(const Frame& f, Vec3 origin, Vec3 edgeU, Vec3 edgeV, int nu, int nv, int mat, float uvScale) {
    const Vec3 n = Normalize(Cross(edgeU, edgeV));
    const uint32_t base = static_cast<uint32_t>(vertices.size());
    for (int j = 0; j <= nv; ++j) {
        for (int i = 0; i <= nu; ++i) {
            const Vec3 p = origin + edgeU * (float(i) / nu) + edgeV * (float(j) / nv);
            Vertex v;
            v.p = f.Point(p);
            v.n = f.Dir(n);
            if (uvScale > 0) {
                // Planar mapping on the dominant axis, so neighbouring faces line up.
                const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
                if (ay >= ax && ay >= az)
                    v.u = p.x / uvScale, v.v = p.z / uvScale;
                else if (ax >= az)
                    v.u = p.z / uvScale, v.v = -p.y / uvScale;
                else
                    v.u = p.x / uvScale, v.v = -p.y / uvScale;
            } else {
                v.u = float(i) / nu;
                v.v = 1.0f - float(j) / nv;
            }
            vertices.push_back(v);
        }
    }
    for (int j = 0; j < nv; ++j) {
        for (int i = 0; i < nu; ++i) {
            const uint32_t a = base + j * (nu + 1) + i;
            Quad(a, a + 1, a + nu + 2, a + nu + 1, mat);
        }
    }
}

void Mesh::Box(const Frame& f, Vec3 lo, Vec3 hi, int mat, float uvScale, float cell) {
    const Vec3 d = hi - lo;
    auto cells = [&](float len) { return cell > 0 ? std::max(1, int(std::ceil(len / cell - 1e-4f))) : 1; };
    const int cx = cells(d.x), cy = cells(d.y), cz = cells(d.z);
    const Vec3 X{d.x, 0, 0}, Y{0, d.y, 0}, Z{0, 0, d.z};
    Grid(f, {hi.x, lo.y, lo.z}, Y, Z, cy, cz, mat, uvScale);
    Grid(f, lo, Z, Y, cz, cy, mat, uvScale);
    Grid(f, {lo.x, hi.y, lo.z}, Z, X, cz, cx, mat, uvScale);
    Grid(f, lo, X, Z, cx, cz, mat, uvScale);
    Grid(f, {lo.x, lo.y, hi.z}, X, Y, cx, cy, mat, uvScale);
    Grid(f, lo, Y, X, cy, cx, mat, uvScale);
}

void Mesh::Prism(const Frame& f, const std::vector<Vec3>& polyIn, float z0, float z1, int capMat, int sideMat) {
    std::vector<Vec3> poly = polyIn;
    float area = 0;
    for (size_t i = 0; i < poly.size(); ++i) {
        const Vec3 a = poly[i], b = poly[(i + 1) % poly.size()];
        area += a.x * b.y - b.x * a.y;
    }
    if (area < 0) std::reverse(poly.begin(), poly.end());  // either winding is accepted
    const size_t n = poly.size();
    Vec3 lo = poly[0], hi = poly[0];
    for (const Vec3& p : poly) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), 0};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), 0};
    }
    for (int cap = 0; cap < 2; ++cap) {
        const float z = cap ? z1 : z0;
        const Vec3 nrm{0, 0, cap ? 1.0f : -1.0f};
        const uint32_t base = static_cast<uint32_t>(vertices.size());
        for (const Vec3& p : poly) {
            Vertex v;
            v.p = f.Point({p.x, p.y, z});
            v.n = f.Dir(nrm);
            v.u = (p.x - lo.x) / std::max(1e-6f, hi.x - lo.x);
            v.v = 1.0f - (p.y - lo.y) / std::max(1e-6f, hi.y - lo.y);
            vertices.push_back(v);
        }
        for (size_t i = 1; i + 1 < n; ++i) {
            if (cap)
                Tri(base, base + i, base + i + 1, capMat);
            else
                Tri(base, base + i + 1, base + i, capMat);
        }
    }
    for (size_t i = 0; i < n; ++i) {
        const Vec3 a = poly[i], b = poly[(i + 1) % n];
        const Vec3 nrm = Normalize({b.y - a.y, a.x - b.x, 0});
        const float len = Length(b - a);
        const uint32_t base = static_cast<uint32_t>(vertices.size());
        const Vec3 corners[4] = {{a.x, a.y, z0}, {b.x, b.y, z0}, {b.x, b.y, z1}, {a.x, a.y, z1}};
        const float us[4] = {0, len, len, 0}, vs[4] = {1, 1, 0, 0};
        for (int k = 0; k < 4; ++k) {
            Vertex v;
            v.p = f.Point(corners[k]);
            v.n = f.Dir(nrm);
            v.u = us[k] / std::max(1e-6f, std::fabs(z1 - z0));
            v.v = vs[k];
            vertices.push_back(v);
        }
        Quad(base, base + 1, base + 2, base + 3, sideMat);
    }
}

void Mesh::Lathe(const Frame& f, const std::vector<Vec3>& profile, int segments, int mat, bool smooth) {
    // Segment normals in the (radius, height) plane; a repeated profile point makes a crease.
    const size_t n = profile.size();
    std::vector<Vec3> segN(n ? n - 1 : 0);
    std::vector<bool> real(segN.size());
    for (size_t k = 0; k + 1 < n; ++k) {
        const Vec3 d = profile[k + 1] - profile[k];
        real[k] = Length(d) > 1e-6f;
        segN[k] = Normalize({d.y, -d.x, 0});
    }
    for (size_t k = 0; k + 1 < n; ++k) {
        if (!real[k]) continue;
        Vec3 ends[2];
        for (int e = 0; e < 2; ++e) {
            ends[e] = segN[k];
            const size_t other = e == 0 ? k - 1 : k + 1;
            const bool has = e == 0 ? k > 0 : k + 2 < n;
            if (smooth && has && real[other]) ends[e] = Normalize(segN[k] + segN[other]);
        }
        const uint32_t base = static_cast<uint32_t>(vertices.size());
        for (int e = 0; e < 2; ++e) {
            const Vec3 pr = profile[k + e];
            for (int j = 0; j <= segments; ++j) {
                const float th = 2.0f * 3.14159265358979f * float(j) / segments;
                const float c = std::cos(th), s = std::sin(th);
                Vertex v;
                v.p = f.Point({pr.x * c, pr.x * s, pr.y});
                v.n = f.Dir(Normalize({ends[e].x * c, ends[e].x * s, ends[e].y}));
                v.u = float(j) / segments;
                v.v = 1.0f - float(k + e) / float(n - 1);
                vertices.push_back(v);
            }
        }
        const uint32_t row = segments + 1;
        for (int j = 0; j < segments; ++j) Quad(base + j, base + j + 1, base + row + j + 1, base + row + j, mat);
    }
}

void Mesh::Sphere(const Frame& f, float r, int slices, int stacks, int mat) {
    std::vector<Vec3> prof;
    for (int i = 0; i <= stacks; ++i) {
        const float a = -3.14159265358979f / 2 + 3.14159265358979f * float(i) / stacks;
        prof.push_back({r * std::cos(a), r * std::sin(a), 0});
    }
    if (stacks > 0) prof.front().x = prof.back().x = 0;
    Lathe(f, prof, slices, mat, true);
}

void Mesh::Torus(const Frame& f, float major, float minor, int segs, int sides, int mat, float sweepDeg) {
    const uint32_t base = static_cast<uint32_t>(vertices.size());
    for (int j = 0; j <= segs; ++j) {
        const float th = sweepDeg * kDegToRad * float(j) / segs;
        for (int k = 0; k <= sides; ++k) {
            const float ph = 2.0f * 3.14159265358979f * float(k) / sides;
            const Vec3 nrm{std::cos(ph) * std::cos(th), std::cos(ph) * std::sin(th), std::sin(ph)};
            Vertex v;
            v.p = f.Point({(major + minor * std::cos(ph)) * std::cos(th), (major + minor * std::cos(ph)) * std::sin(th),
                           minor * std::sin(ph)});
            v.n = f.Dir(nrm);
            v.u = float(j) / segs;
            v.v = float(k) / sides;
            vertices.push_back(v);
        }
    }
    const uint32_t row = sides + 1;
    for (int j = 0; j < segs; ++j)
        for (int k = 0; k < sides; ++k) {
            const uint32_t a = base + j * row + k;
            Quad(a, a + row, a + row + 1, a + 1, mat);
        }
}

void Mesh::Cylinder(const Frame& f, float r, float z0, float z1, int segs, int mat, bool caps) {
    std::vector<Vec3> prof;
    if (caps) prof.insert(prof.end(), {{0, z0, 0}, {r, z0, 0}});
    prof.insert(prof.end(), {{r, z0, 0}, {r, z1, 0}});
    if (caps) prof.insert(prof.end(), {{r, z1, 0}, {0, z1, 0}});
    Lathe(f, prof, segs, mat, true);
}

std::string FormatFloat(float v) {
    if (std::fabs(v) < 5e-7f) v = 0.0f;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.6f", double(v));
    return buf;
}

std::string WriteX(const Mesh& m, std::string* error) {
    if (m.vertices.size() > 65535) {
        if (error) *error = "more than 65535 vertices (" + std::to_string(m.vertices.size()) + ")";
        return "";
    }
    for (const Vertex& v : m.vertices)
        for (float f : {v.p.x, v.p.y, v.p.z, v.n.x, v.n.y, v.n.z, v.u, v.v})
            if (!std::isfinite(f)) {
                if (error) *error = "a vertex that is not a finite number";
                return "";
            }
    const size_t nf = m.triMaterial.size();
    std::string s = "xof 0303txt 0032\n\nMesh {\n";
    auto vecList = [&](auto&& item, size_t count) {
        for (size_t i = 0; i < count; ++i) s += " " + item(i) + (i + 1 < count ? ",\n" : ";\n");
    };
    auto faces = [&] {
        s += " " + std::to_string(nf) + ";\n";
        vecList(
            [&](size_t i) {
                return "3;" + std::to_string(m.indices[3 * i]) + "," + std::to_string(m.indices[3 * i + 1]) + "," +
                       std::to_string(m.indices[3 * i + 2]) + ";";
            },
            nf);
    };
    auto v3 = [](Vec3 p) { return FormatFloat(p.x) + ";" + FormatFloat(p.y) + ";" + FormatFloat(p.z) + ";"; };
    s += " " + std::to_string(m.vertices.size()) + ";\n";
    vecList([&](size_t i) { return v3(m.vertices[i].p); }, m.vertices.size());
    faces();
    s += "\n MeshNormals {\n " + std::to_string(m.vertices.size()) + ";\n";
    vecList([&](size_t i) { return v3(Normalize(m.vertices[i].n)); }, m.vertices.size());
    faces();
    s += " }\n\n MeshTextureCoords {\n " + std::to_string(m.vertices.size()) + ";\n";
    vecList([&](size_t i) { return FormatFloat(m.vertices[i].u) + ";" + FormatFloat(m.vertices[i].v) + ";"; },
            m.vertices.size());
    s += " }\n\n MeshMaterialList {\n " + std::to_string(m.materials.size()) + ";\n " + std::to_string(nf) + ";\n";
    for (size_t i = 0; i < nf; ++i) s += " " + std::to_string(m.triMaterial[i]) + (i + 1 < nf ? ",\n" : ";\n");
    for (const Material& mt : m.materials) {
        s += "\n  Material " + (mt.name.empty() ? "" : mt.name + " ") + "{\n   " + FormatFloat(mt.r) + ";" +
             FormatFloat(mt.g) + ";" + FormatFloat(mt.b) + ";" + FormatFloat(mt.a) + ";;\n   " + FormatFloat(mt.power) +
             ";\n   " + FormatFloat(mt.sr) + ";" + FormatFloat(mt.sg) + ";" + FormatFloat(mt.sb) + ";;\n   " +
             FormatFloat(mt.er) + ";" + FormatFloat(mt.eg) + ";" + FormatFloat(mt.eb) + ";;\n";
        if (!mt.texture.empty()) s += "   TextureFilename {\n    \"" + mt.texture + "\";\n   }\n";
        s += "  }\n";
    }
    s += " }\n}\n";
    return s;
}

}  // namespace content
