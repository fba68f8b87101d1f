// quillmoor_content_preview OUT.png: a quick software rendering of every generated mesh (lit like the
// game: four directional lights from above and grey ambient), for looking at shapes while authoring.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "tools/content/generator.h"

using namespace content;

namespace {

struct Camera {
    Vec3 eye, at;
    float fovDeg;
};

void Render(Canvas& c, int ox, int oy, int w, int h, const Mesh& m, const Frame& world, const Camera& cam) {
    const Vec3 fwd = Normalize(cam.at - cam.eye);
    const Vec3 right = Normalize(Cross({0, 1, 0}, fwd));
    const Vec3 up = Cross(fwd, right);
    const float f = 1.0f / std::tan(cam.fovDeg * 3.14159265f / 360) * h / 2;
    std::vector<float> depth(size_t(w) * h, 1e30f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) c.At(ox + x, oy + y) = {0.59f, 0.59f, 0.59f, 1};
    const Vec3 lights[4] = {{1, -0.5f, 0}, {0, -0.5f, 1}, {-1, -0.5f, 0}, {0, -0.5f, -1}};
    struct S {
        float x, y, z;
        Rgba col;
    };
    std::vector<S> sv(m.vertices.size());
    for (size_t i = 0; i < m.vertices.size(); ++i) {
        const Vec3 p = world.Point(m.vertices[i].p) - cam.eye;
        const Vec3 n = Normalize(world.Dir(m.vertices[i].n));
        const float z = Dot(p, fwd);
        sv[i] = {w / 2 + Dot(p, right) * f / z, h / 2 - Dot(p, up) * f / z, z, {}};
        float lit = 0;
        for (const Vec3& l : lights) lit += std::max(0.0f, Dot(n, Normalize(l) * -1.0f));
        sv[i].col = {lit, lit, lit, 1};
    }
    for (size_t t = 0; t < m.triMaterial.size(); ++t) {
        const Material& mt = m.materials[m.triMaterial[t]];
        const S* v[3] = {&sv[m.indices[3 * t]], &sv[m.indices[3 * t + 1]], &sv[m.indices[3 * t + 2]]};
        if (v[0]->z < 1 || v[1]->z < 1 || v[2]->z < 1) continue;
        const float area = (v[1]->x - v[0]->x) * (v[2]->y - v[0]->y) - (v[2]->x - v[0]->x) * (v[1]->y - v[0]->y);
        if (area <= 0) continue;  // counter-clockwise on screen: culled, as the game culls
        const int x0 = std::max(0, int(std::min({v[0]->x, v[1]->x, v[2]->x})));
        const int x1 = std::min(w - 1, int(std::max({v[0]->x, v[1]->x, v[2]->x})) + 1);
        const int y0 = std::max(0, int(std::min({v[0]->y, v[1]->y, v[2]->y})));
        const int y1 = std::min(h - 1, int(std::max({v[0]->y, v[1]->y, v[2]->y})) + 1);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                float b[3];
                for (int k = 0; k < 3; ++k) {
                    const S* a = v[(k + 1) % 3];
                    const S* bb = v[(k + 2) % 3];
                    b[k] = ((bb->x - a->x) * (py - a->y) - (px - a->x) * (bb->y - a->y)) / area;
                }
                if (b[0] < 0 || b[1] < 0 || b[2] < 0) continue;
                const float z = b[0] * v[0]->z + b[1] * v[1]->z + b[2] * v[2]->z;
                float& d = depth[size_t(y) * w + x];
                if (z >= d) continue;
                if (mt.a > 0.99f) d = z;
                const float lit = b[0] * v[0]->col.r + b[1] * v[1]->col.r + b[2] * v[2]->col.r;
                const float amb = 0.467f;
                Rgba col{std::min(1.0f, mt.r * (lit + amb) + mt.er), std::min(1.0f, mt.g * (lit + amb) + mt.eg),
                         std::min(1.0f, mt.b * (lit + amb) + mt.eb), 1};
                c.Blend(ox + x, oy + y, col, mt.a);
            }
    }
}

void Append(Mesh& dst, const Mesh& src, const Frame& f) {
    const uint32_t base = uint32_t(dst.vertices.size()), matBase = uint32_t(dst.materials.size());
    for (Vertex v : src.vertices) {
        v.p = f.Point(v.p);
        v.n = f.Dir(v.n);
        dst.vertices.push_back(v);
    }
    for (uint32_t i : src.indices) dst.indices.push_back(base + i);
    for (uint32_t m : src.triMaterial) dst.triMaterial.push_back(matBase + m);
    dst.materials.insert(dst.materials.end(), src.materials.begin(), src.materials.end());
}

Camera Fit(const Mesh& m) {
    Vec3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    for (const Vertex& v : m.vertices) {
        lo = {std::min(lo.x, v.p.x), std::min(lo.y, v.p.y), std::min(lo.z, v.p.z)};
        hi = {std::max(hi.x, v.p.x), std::max(hi.y, v.p.y), std::max(hi.z, v.p.z)};
    }
    const Vec3 centre = (lo + hi) * 0.5f;
    const float r = Length(hi - lo) * 0.5f;
    return {centre + Normalize({-0.8f, 0.7f, -1.2f}) * (r / std::tan(20 * 3.14159265f / 180) * 1.05f), centre, 40};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s STAGE_SOURCE_DIR OUT.png\n", argv[0]);
        return 2;
    }
    std::vector<NamedMesh> meshes = Models();
    std::ifstream in(std::string(argv[1]) + "/sample.geo");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    BuildStageGeometry(text, meshes, nullptr);
    const int tw = 320, th = 240, cols = 4;
    const int tiles = int(meshes.size()) + 2;
    Canvas sheet(tw * cols, th * ((tiles + cols - 1) / cols), {0, 0, 0, 1});
    int k = 0;
    for (const NamedMesh& nm : meshes) {
        Render(sheet, (k % cols) * tw, (k / cols) * th, tw, th, nm.mesh, Frame{}, Fit(nm.mesh));
        ++k;
    }
    const Mesh& gun = meshes[0].mesh;
    Render(sheet, (k % cols) * tw, (k / cols) * th, tw, th, gun, Frame::At(1, -1, 6), {{0, 0, 0}, {0, 0, 1}, 50});
    ++k;
    // The title camera, with the emblem turned a little and the gun circling at 3 units.
    const int tx = (k % cols) * tw, ty = (k / cols) * th;
    Mesh scene;
    Append(scene, meshes[2].mesh, Frame{}.RotY(30));
    Append(scene, gun, Frame::At(0, 20, 0).RotY(30).Move(0, 0, 3));
    Render(sheet, tx, ty, tw, th, scene, Frame{}, {{5, 22, -15}, {5, 20, 0}, 50});
    // Then every picture over a checkerboard, so that transparency shows, in a second file.
    Canvas pics(1300, 1100, {0, 0, 0, 1});
    Shelf shelf(pics, 0);
    for (const NamedPicture& p : Pictures()) shelf.Place(p.canvas);
    const std::vector<uint8_t> picsPng = EncodePng(pics, false);
    std::ofstream(std::string(argv[2]) + ".pictures.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(picsPng.data()), std::streamsize(picsPng.size()));
    std::vector<uint8_t> png = EncodePng(sheet, false);
    std::ofstream(argv[2], std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    return 0;
}
