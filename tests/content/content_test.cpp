// The generated content: the same bytes on every run, meshes the game can use, sounds that fit their use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

#include "support/game_run.h"
#include "tools/content/generator.h"

namespace {

namespace fs = std::filesystem;
using namespace content;

std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) files[fs::relative(e.path(), dir).string()] = testing_support::ReadFile(e.path());
    return files;
}

const Mesh& Find(const std::vector<NamedMesh>& meshes, const std::string& name) {
    for (const NamedMesh& m : meshes)
        if (m.name == name) return m.mesh;
    static const Mesh none;
    ADD_FAILURE() << "no mesh " << name;
    return none;
}

// Faces whose winding disagrees with their first vertex's normal: the game culls counter-clockwise
// faces, so such a face would show its inside.
int InwardFaces(const Mesh& m) {
    int inward = 0;
    for (size_t t = 0; t < m.triMaterial.size(); ++t) {
        const Vertex& a = m.vertices[m.indices[3 * t]];
        const Vec3 g = Cross(m.vertices[m.indices[3 * t + 1]].p - a.p, m.vertices[m.indices[3 * t + 2]].p - a.p);
        inward += Dot(g, a.n) < 0;
    }
    return inward;
}

TEST(Content, MeshesWithoutFiniteNumbersAreRefused) {
    Mesh m;
    m.AddMaterial(Colour(1, 1, 1));
    const uint32_t a = m.Add({{0, 0, 0}, {0, 1, 0}}), b = m.Add({{0, 0, 1}, {0, 1, 0}});
    const uint32_t c = m.Add({{1, 0, 0}, {0, 1, 0}});
    m.Tri(a, b, c, 0);
    std::string error;
    EXPECT_FALSE(WriteX(m, &error).empty());
    m.vertices[1].p.x = std::nanf("");
    EXPECT_TRUE(WriteX(m, &error).empty());
    EXPECT_EQ(error, "a vertex that is not a finite number");
}

// The build generated data/ in a process of its own; one more run here must write the same bytes.
TEST(Content, TwoRunsWriteTheSameBytes) {
    testing_support::TempFolder folder;
    std::string error;
    ASSERT_TRUE(Generate(std::string(QUILLMOOR_SOURCE_DIR) + "/tools/content/stages", "data", &error)) << error;
    std::map<std::string, std::string> a, b;
    for (const char* sub : {"xfile", "texture", "sound"}) {
        a.merge(Snapshot(fs::path("data") / sub));
        b.merge(Snapshot(fs::path(QUILLMOOR_SOURCE_DIR) / "data" / sub));
    }
    EXPECT_EQ(a.size(), 14u + 14u + 17u);  // sounds, pictures, meshes with the sample stage and four stages
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [name, bytes] : a) EXPECT_TRUE(b.count(name) && b.at(name) == bytes) << name << " differs";
}

TEST(Content, MeshesAreWoundOutwardAndUseEveryMaterial) {
    for (const NamedMesh& nm : Models()) {
        const Mesh& m = nm.mesh;
        std::string error;
        EXPECT_FALSE(WriteX(m, &error).empty()) << nm.name << ": " << error;
        std::vector<int> used(m.materials.size());
        for (uint32_t material : m.triMaterial) ++used[material];
        EXPECT_EQ(InwardFaces(m), 0) << nm.name;
        for (size_t i = 0; i < used.size(); ++i) EXPECT_GT(used[i], 0) << nm.name << " material " << i;
    }
}

TEST(Content, FixedMeshesHaveTheirMaterialsAndShapes) {
    const auto models = Models();
    // The lamps glow by themselves, so that the colours the game gives them read in any light.
    for (int lamp : {4, 5, 6}) EXPECT_GT(Find(models, "gun.x").materials[lamp].eb, 0.5f);
    for (const Vertex& v : Find(models, "sphere.x").vertices) EXPECT_NEAR(Length(v.p), 1.0f, 1e-4f);
    const auto z = std::ranges::minmax(Find(models, "laser.x").vertices, {}, [](const Vertex& v) { return v.p.z; });
    EXPECT_FLOAT_EQ(z.min.p.z, -1.0f);
    EXPECT_FLOAT_EQ(z.max.p.z, 0.0f);
    EXPECT_EQ(Find(models, "laser.x").materials[0].texture, "data/texture/laser.png");
    // One door panel fills the quarter x 0..16, y -16..0, so four turned copies close the doorway.
    for (const Vertex& v : Find(models, "door.x").vertices) EXPECT_TRUE(v.p.x >= -1e-4f && v.p.y <= 1e-4f);
    // The player's body reaches from the feet, 12 below the eye, to above the head.
    const auto y = std::ranges::minmax(Find(models, "plycol.x").vertices, {}, [](const Vertex& v) { return v.p.y; });
    EXPECT_FLOAT_EQ(y.min.p.y, -12.0f);
    EXPECT_GT(y.max.p.y, 0.0f);
}

TEST(Content, StageGeometryIsFinelyDividedSaveWhereACellLineSays) {
    std::vector<NamedMesh> out;
    std::string error;
    // a.x: a 16 x 4 x 8 box at an 8-unit grid with its bottom and west faces left out: top 3 x 2 points
    // (2 cells), east and west 2 x 2 (1 cell), north and south 3 x 2 (2 cells). The next mesh line
    // brings the 2-unit grid back for room.x and the ramp; c.x is a ramp that drops only its bottom;
    // d.x is uncut: a 400 x 10 x 300 box is its eight corners on each face, 4 points and 2 triangles a face.
    ASSERT_TRUE(
        BuildStageGeometry("mesh a.x\nmaterial m - 8 1 1 1\ncell 8\nbox m 0 0 0 16 4 8 skip=-y,-x\n"
                           "mesh room.x\nmaterial m data/texture/stone.png 16 1 1 1\n"
                           "box m -20 -4 -20 20 0 20\nquad m 0 10 0  4 10 0  4 10 4  0 10 4\n"
                           "mesh ramp.x\nmaterial m - 8 1 1 1\nramp m 0 0 0 10 6 8 -z\n"
                           "mesh b.x\nmaterial m - 8 1 1 1\nbox m 0 0 0 2 2 2\n"
                           "mesh c.x\nmaterial m - 8 1 1 1\nramp m 0 0 0 4 2 2 +x skip=-y\n"
                           "mesh d.x\nmaterial m - 8 1 1 1\ncell whole\nbox m -200 0 0 200 10 300\n",
                           out, &error))
        << error;
    ASSERT_EQ(out.size(), 6u);
    auto check = [](const Mesh& m, float most) {
        float longest = 0;
        for (size_t i = 0; i < m.indices.size(); ++i) {  // each corner to the next of its triangle
            const size_t next = i % 3 == 2 ? i - 2 : i + 1;
            longest = std::max(longest, Length(m.vertices[m.indices[i]].p - m.vertices[m.indices[next]].p));
        }
        EXPECT_LE(longest, most);
        EXPECT_EQ(InwardFaces(m), 0);
    };
    check(out[1].mesh, 2.0f * std::sqrt(2.0f) + 1e-3f);  // the diagonal of a 2 x 2 cell
    check(out[2].mesh, 3.3f);                            // the ramp's triangular sides have slanted cells
    // The room's top face alone has 21 x 21 points on a 2-unit grid.
    int top = 0;
    for (const Vertex& v : out[1].mesh.vertices) top += v.p.y == 0 && v.n.y > 0.99f;
    EXPECT_GE(top, 21 * 21);
    const Mesh& a = out[0].mesh;
    EXPECT_EQ(a.vertices.size(), 6u + 4u + 6u + 6u);
    EXPECT_EQ(a.triMaterial.size(), 2u * (2 + 1 + 2 + 2));
    for (const Vertex& v : a.vertices)
        EXPECT_FALSE(v.n.y < -0.5f || v.n.x < -0.5f) << "a bottom or west face was written";
    EXPECT_EQ(out[3].mesh.triMaterial.size(), 6u * 2u);  // six 2 x 2 faces, one cell each
    for (const Vertex& v : out[4].mesh.vertices) EXPECT_FALSE(v.n.y < -0.5f) << "the ramp kept its bottom";
    EXPECT_EQ(out[5].mesh.vertices.size(), 6u * 4u);
    EXPECT_EQ(out[5].mesh.triMaterial.size(), 6u * 2u);
}

TEST(Content, StageGeometryNamesTheBadLine) {
    const std::string m = "mesh a.x\nmaterial m - 4 1 1 1\n";
    const std::pair<std::string, const char*> bad[] = {
        {"box m 0 0 0 1 1 1\n", "line 1: \"box\" before the first mesh line"},
        {"mesh a.x\n# note\nbox stone 0 0 0 1 1 1\n", "line 3: unknown material \"stone\""},
        {m + "ramp m 0 0 0 4 4 4 up\n", "line 3: ramp direction must be +x, -x, +z or -z"},
        {m + "box m 0 0 0 4 4\n", "line 3: box needs six numbers"},
        {m + "box m 0 0 0 4 4 4 skip=up\n", "line 3: \"skip=up\" is not skip=SIDE,..."},
        {m + "cell 0.1\n", "line 3: cell needs a size from 0.5 to 64, or whole"},
        {m + "cell 8x\n", "line 3: cell needs a size from 0.5 to 64, or whole"},
        // 300 x 300 units of floor is far more than 65,535 vertices at a 2-unit grid.
        {"mesh big.x\nmaterial m - 4 1 1 1\nbox m 0 0 0 600 2 600\n", "line 3: big.x has more than 65535 vertices"},
    };
    for (const auto& [text, why] : bad) {
        std::vector<NamedMesh> out;
        std::string error;
        EXPECT_FALSE(BuildStageGeometry(text, out, &error)) << text;
        EXPECT_EQ(error, why);
    }
}

TEST(Content, SoundsFitTheirUseNeverClipAndLoopWithoutAStep) {
    const auto sounds = Sounds();
    EXPECT_EQ(sounds.size(), 14u);
    int loops = 0;
    for (const NamedSound& s : sounds) {
        const auto& v = s.samples;
        const float seconds = float(v.size()) / s.rate;
        int peak = 0;
        for (int16_t x : v) peak = std::max(peak, std::abs(int(x)));
        EXPECT_LT(peak, 32767) << s.name;
        EXPECT_GT(peak, 32767 / 4) << s.name << " is nearly silent";
        if (s.loop) {
            ++loops;
            // The jump from the last sample back to the first must look like any step inside the loop.
            double mean = 0;
            for (size_t i = 1; i < v.size(); ++i) mean += std::abs(int(v[i]) - int(v[i - 1]));
            mean /= double(v.size() - 1);
            const int seam = std::abs(int(v.front()) - int(v.back()));
            EXPECT_LE(seam, 4 * mean + 2) << s.name << " seam " << seam << ", mean step " << mean;
            EXPECT_GE(seconds, 1.0f) << s.name;
            continue;
        }
        EXPECT_GE(seconds, 0.05f) << s.name;
        EXPECT_LE(seconds, 3.0f) << s.name;
        // Starting and stopping at rest: no click at either end.
        EXPECT_LT(std::abs(int(v.front())), 200) << s.name;
        EXPECT_EQ(v.back(), 0) << s.name;
    }
    EXPECT_EQ(loops, 2);  // the elevator ride and the background
}

// The chunks are the game's own loader's to check (the content checker runs it on every sound); here
// the plain 44-byte header and the samples' little-endian order, which no loader can tell from noise.
TEST(Content, WaveFilesUseThePlainLayout) {
    const std::vector<uint8_t> w = EncodeWave({1, -2, 3}, 22050);
    // From byte 40: the data chunk's length, 6 bytes, then 1, -2 and 3 low byte first.
    EXPECT_EQ(std::vector<uint8_t>(w.begin() + 40, w.end()),
              (std::vector<uint8_t>{6, 0, 0, 0, 1, 0, 0xFE, 0xFF, 3, 0}));
}

}  // namespace
