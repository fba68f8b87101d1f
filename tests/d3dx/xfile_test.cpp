// Text .x meshes: splitting by normals, fans, material order, frames, and every kind of broken file.
#include <d3dx9.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/globals.h"
#include "support/device.h"

using namespace testing_support;

namespace {

const char kHeader[] = "xof 0302txt 0032\n";

// A cube of side 2 around the origin with one normal per face: vertex i is at (x, y, z) from its bits.
const char kCube[] = R"(
template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
// six quads, each with its own normal
Mesh Cube {
  8;
  -1;-1;-1;, 1;-1;-1;, -1;1;-1;, 1;1;-1;,
  -1;-1;1;, 1;-1;1;, -1;1;1;, 1;1;1;;
  6;
  4;0,2,3,1;, 4;4,5,7,6;, 4;0,4,6,2;, 4;1,3,7,5;, 4;0,1,5,4;, 4;2,6,7,3;;
  MeshNormals {
    6;
    0;0;-1;, 0;0;1;, -1;0;0;, 1;0;0;, 0;-1;0;, 0;2;0;;   # not unit length: normalised on load
    6;
    4;0,0,0,0;, 4;1,1,1,1;, 4;2,2,2,2;, 4;3,3,3,3;, 4;4,4,4,4;, 4;5,5,5,5;;
  }
  MeshTextureCoords { 8; 0;0;, 1;0;, 0;1;, 1;1;, 0;0;, 1;0;, 0;1;, 1;1;; }
  MeshMaterialList { 1; 6; 0,0,0,0,0,0;; Material { 1.0;0.5;0.25;1.0;; 8.0; 0.1;0.2;0.3;; 0.0;0.0;0.0;; } }
}
)";

struct Vertex {
    float x, y, z, nx, ny, nz, u, v;
};

class XFile : public DeviceTest {
protected:
    HRESULT loadText(const std::string& text) {
        release();
        return D3DXLoadMeshFromXInMemory(text.data(), static_cast<DWORD>(text.size()), D3DXMESH_MANAGED, g_device,
                                         nullptr, &materials, nullptr, &materialCount, &mesh);
    }
    HRESULT load(const std::string& body) { return loadText(kHeader + body); }
    std::vector<Vertex> vertices() {
        void* data = nullptr;
        EXPECT_EQ(mesh->LockVertexBuffer(0, &data), D3D_OK);
        auto* v = static_cast<Vertex*>(data);
        std::vector<Vertex> out(v, v + mesh->GetNumVertices());
        mesh->UnlockVertexBuffer();
        return out;
    }
    std::vector<uint16_t> indices() {
        void* data = nullptr;
        EXPECT_EQ(mesh->LockIndexBuffer(0, &data), D3D_OK);
        auto* i = static_cast<uint16_t*>(data);
        std::vector<uint16_t> out(i, i + 3 * mesh->GetNumFaces());
        mesh->UnlockIndexBuffer();
        return out;
    }
    std::vector<DWORD> attributes() {
        DWORD* a = nullptr;
        EXPECT_EQ(mesh->LockAttributeBuffer(0, &a), D3D_OK);
        std::vector<DWORD> out(a, a + mesh->GetNumFaces());
        mesh->UnlockAttributeBuffer();
        return out;
    }
    D3DXMATERIAL* material(DWORD i) { return static_cast<D3DXMATERIAL*>(materials->GetBufferPointer()) + i; }
    void release() {
        if (mesh) mesh->Release();
        if (materials) materials->Release();
        mesh = nullptr;
        materials = nullptr;
    }
    void TearDown() override {
        release();
        DeviceTest::TearDown();
    }
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD materialCount = 0;
};

TEST_F(XFile, CubeWithFaceNormalsSplitsInto24VerticesAnd12Triangles) {
    ASSERT_EQ(load(kCube), D3D_OK);
    ASSERT_EQ(mesh->GetNumVertices(), 24u);
    // The first two faces claim their vertices; every later corner with another normal gets a copy
    // appended in corner order, and the quads become fans.
    EXPECT_EQ(indices(),
              (std::vector<uint16_t>{0,  2,  3,  0,  3,  1,  4,  5,  7,  4,  7,  6,  8,  9,  10, 8,  10, 11,
                                     12, 13, 14, 12, 14, 15, 16, 17, 18, 16, 18, 19, 20, 21, 22, 20, 22, 23}));
    std::vector<Vertex> v = vertices();
    const int copies[24] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 4, 6, 2, 1, 3, 7, 5, 0, 1, 5, 4, 2, 6, 7, 3};
    for (int i = 0; i < 24; ++i) {
        int s = copies[i];
        const float c[3] = {s & 1 ? 1.0f : -1.0f, s & 2 ? 1.0f : -1.0f, s & 4 ? 1.0f : -1.0f};
        EXPECT_EQ(std::vector<float>({v[i].x, v[i].y, v[i].z, v[i].u, v[i].v}),
                  std::vector<float>({c[0], c[1], c[2], float(s & 1), float((s >> 1) & 1)}))
            << i;
    }
    // The normals of faces 0, 2 and 5, the last (0, 2, 0) normalised.
    EXPECT_EQ(std::vector<float>({v[0].nz, v[8].nx, v[20].ny}), std::vector<float>({-1, -1, 1}));
    ASSERT_EQ(materialCount, 1u);
    // Diffuse and power are read back through the mesh cache; specular and ambient have no alpha in the
    // file, so they are opaque, and ambient is black: specular b and a, ambient r and a.
    const D3DMATERIAL9& m = material(0)->MatD3D;
    EXPECT_EQ(std::vector<float>({m.Specular.b, m.Specular.a, m.Ambient.r, m.Ambient.a}),
              std::vector<float>({0.3f, 1, 0, 1}));
}

TEST_F(XFile, ACornerReusesTheCopyWithItsNormal) {
    ASSERT_EQ(load(R"(Mesh {
        4; 0;0;0;, 1;0;0;, 0;1;0;, 1;1;0;;
        4; 3;0,1,2;, 3;0,2,3;, 3;0,3,1;, 3;0,1,3;;
        MeshNormals { 2; 0;0;1;, 0;1;0;; 4; 3;0,0,0;, 3;1,1,1;, 3;1,1,1;, 3;0,0,0;; }
    })"),
              D3D_OK);
    // Vertex 0 keeps normal 0 and its one copy (4) serves both faces with normal 1; vertex 3 first takes
    // normal 1, so the last face, back on normal 0, needs a copy of it (7).
    EXPECT_EQ(mesh->GetNumVertices(), 8u);
    EXPECT_EQ(indices(), (std::vector<uint16_t>{0, 1, 2, 4, 5, 3, 4, 3, 6, 0, 1, 7}));
    EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL));  // no texture coordinates: 24 bytes
}

TEST_F(XFile, SubsetsFollowTheMaterialsWithFacesInStableOrder) {
    ASSERT_EQ(load(R"(
        Material Shared { 0;0;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { "data/texture/blue.png"; } }
        Mesh {
          5; 0;0;0;, 1;0;0;, 0;1;0;, 1;1;0;, 2;2;0;;
          4; 3;0,1,2;, 3;1,3,2;, 4;0,1,3,4;, 3;2,3,4;;
          MeshMaterialList {
            3; 3; 2,0,1;;
            Material { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; }
            { Shared }
            Material Green { 0;1;0;0.5;; 2; 1;1;1;; 0.5;0;0;; TextureFilename { "first.png"; } TextureFilename { "tex/green.png"; } }
          }
        })"),
              D3D_OK);
    ASSERT_EQ(materialCount, 3u);
    // File triangles: 0 (material 2), 1 (material 0), 2 and 3 (the quad, material 1), and 4, past the
    // short list, with the last listed face's material (1, not the last material, 2).
    EXPECT_EQ(indices(), (std::vector<uint16_t>{1, 3, 2, 0, 1, 3, 0, 3, 4, 2, 3, 4, 0, 1, 2}));
    EXPECT_EQ(attributes(), (std::vector<DWORD>{0, 1, 1, 1, 2}));
    EXPECT_EQ(material(0)->pTextureFilename, nullptr);
    EXPECT_STREQ(material(1)->pTextureFilename, "data/texture/blue.png");
    EXPECT_STREQ(material(2)->pTextureFilename, "tex/green.png");  // the last name wins
    EXPECT_EQ(std::vector<float>({material(2)->MatD3D.Emissive.r, material(2)->MatD3D.Diffuse.a}),
              std::vector<float>({0.5f, 0.5f}));

    // Each subset draws its own faces (that it sets the mesh's vertex format is the device client test's).
    headless::recordDraws(true);
    g_device->BeginScene();
    EXPECT_EQ(mesh->DrawSubset(1), D3D_OK);
    EXPECT_EQ(mesh->DrawSubset(7), D3D_OK);  // no such subset: nothing drawn
    g_device->EndScene();
    ASSERT_EQ(headless::recordedDraws().size(), 1u);
    const auto& draw = headless::recordedDraws()[0];
    EXPECT_EQ(draw.primitiveCount, 3u);
    EXPECT_EQ(draw.indices, (std::vector<uint32_t>{0, 1, 3, 0, 3, 4, 2, 3, 4}));
}

TEST_F(XFile, FramesMoveOnlyTheMeshesAfterTheirMatrixAndMeshesAreMerged) {
    const std::string tri = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";
    const std::string z2 = "FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,2,1;; }\n";
    const std::string z3 = "FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,3,1;; }\n";
    const std::string yaw = "FrameTransformMatrix { 0,0,-1,0, 0,1,0,0, 1,0,0,0, 10,0,0,1;; }\n";
    ASSERT_EQ(load(tri + "Frame Root {\n" + tri + z2 + tri + z3 + tri + "Frame Child {" + yaw + tri + "}\n}\n" + tri),
              D3D_OK);
    ASSERT_EQ(mesh->GetNumVertices(), 18u);
    void* data = nullptr;
    mesh->LockVertexBuffer(0, &data);
    const float* f = static_cast<const float*>(data);
    DWORD stride = mesh->GetNumBytesPerVertex() / 4;
    // The second corner (1, 0, 0): top level, in the frame before its matrix, after z+2, after z+3 more,
    // in the child frame (a quarter turn to (0, 0, -1) and x+10, then the parent's z+5: (10, 0, 4); the
    // parent's first would give (15, 0, -1)), and at top level again.
    const float expectedX[6] = {1, 1, 1, 1, 10, 1}, expectedZ[6] = {0, 0, 2, 5, 4, 0};
    for (int m = 0; m < 6; ++m) {
        const float* second = f + (m * 3 + 1) * stride;
        EXPECT_EQ(std::pair(second[0], second[2]), std::pair(expectedX[m], expectedZ[m])) << "mesh " << m;
    }
    mesh->UnlockVertexBuffer();
    // Meshes without a material list share one default material, so the whole is one subset; indices
    // are offset by vertex count.
    ASSERT_EQ(materialCount, 1u);
    EXPECT_EQ(std::vector<float>({material(0)->MatD3D.Diffuse.r, material(0)->MatD3D.Diffuse.a}),
              std::vector<float>({0.5f, 0}));
    EXPECT_EQ(material(0)->pTextureFilename, nullptr);
    EXPECT_EQ(attributes(), std::vector<DWORD>(6, 0));  // six faces, one subset
    EXPECT_EQ(indices()[12], 12u);
}

TEST_F(XFile, CommentsTemplatesAndUnknownObjectsAreSkipped) {
    ASSERT_EQ(load(R"(# a comment
        template Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> DWORD nVertices; [...] }
        Header { 1; 0; 1; }
        AnimationSet { Animation { { Root } AnimationKey { 0; 1; 0; 4; 1.0, 0.0, 0.0, 0.0;;; } } }
        Mesh Tri { <00000000-0000-0000-0000-000000000000>
          3; 0.0;0.0;0.0;, 1.0e0;0;0;, 0;1;-0.0;;  // the three corners
          1; 3;0,1,2;;
          VertexDuplicationIndices { 3; 3; 0, 1, 2; }
        })"),
              D3D_OK);
    EXPECT_EQ(std::pair(mesh->GetNumFaces(), mesh->GetFVF()), std::pair(DWORD(1), DWORD(D3DFVF_XYZ)));
}

TEST_F(XFile, BrokenFilesFailWithoutAMesh) {
    const std::string tri = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }";
    const std::string open = tri.substr(0, tri.size() - 1);  // the triangle, its brace still open
    const std::string material = "Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; ";
    std::vector<std::string> cases = {
        "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,3;; }",              // index past the vertices
        "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 2;0,1;; }",                // a face of two corners
        open,                                                            // no closing brace
        "Mesh { 3; 0;0;0;, 1;0;0;; 1; 3;0,1,2;; }",                      // too few vertices
        "Mesh { 4000000000; 0;0;0;; }",                                  // a count the file cannot hold
        open + "MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; } }",    // more normal faces than faces
        open + "MeshNormals { 1; 0;0;1;; 1; 4;0,0,0,0;; } }",            // a normal face of another size
        open + "MeshTextureCoords { 2; 0;0;, 1;1;; } }",                 // fewer coordinates than vertices
        open + "MeshMaterialList { 1; 1; 1;; " + material + "} } }",     // a material past the list
        open + "MeshMaterialList { 2; 1; 0;; " + material + "} } }",     // fewer materials than declared
        open + "MeshMaterialList { 1; 1; 0;; { Missing } } }",           // a reference to nothing
        open + "MeshMaterialList { 1; 1; 0;; Material { 1;1;1;; } } }",  // a short colour
        open + "MeshMaterialList { 1; 1; 0;; " + material + "TextureFilename { \"open } } } }",  // open string
        "Mesh { 3; 0;0;0;, 1;0;zero;, 0;1;0;; 1; 3;0,1,2;; }",                                   // not a number
        "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,-1,2;; }",                                     // a negative index
        "Frame { FrameTransformMatrix { 1,0,0; } " + tri + " }",                                 // a short matrix
        "Mesh { 0;; 0;; }",                                                                      // nothing to draw
        tri + " @",                                                                              // a stray character
        tri.substr(0, 40),                                                                       // cut short
    };
    std::string deep;  // frames nested past any sensible model
    for (int i = 0; i < 100000; ++i) deep += "Frame{";
    cases.push_back(deep + tri + std::string(100000, '}'));
    for (const auto& body : cases) {
        EXPECT_EQ(load(body), D3DXERR_INVALIDDATA) << body;
        EXPECT_EQ(mesh, nullptr) << body;
    }
}

TEST_F(XFile, TheHeaderIsCheckedInFullAndAnEmptyFileIsAnInvalidCall) {
    const std::string tri = "\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }";
    for (const char* header : {"xof 0302txt 0032", "xof 0303txt 0064"}) {
        EXPECT_EQ(loadText(header + tri), D3D_OK) << header;
        EXPECT_NE(mesh, nullptr) << header;
    }
    for (const char* header :
         {"XOF 0302txt 0032", "xof 0301txt 0032", "xof 0304txt 0032", "xof 0302TXT 0032", "xof 0303bin 0032",
          "xof 0303tzip0032", "xof 0303bzip0032", "xof 0302txt 0016", "xof 0302txt 032 ", "xof 03", ""}) {
        EXPECT_EQ(loadText(header + tri), D3DXERR_INVALIDDATA) << header;
        EXPECT_EQ(mesh, nullptr) << header;
    }
    // A header alone, or with nothing but a template, holds no mesh; no bytes at all is no file.
    EXPECT_EQ(loadText("xof 0302txt 0032"), E_FAIL);
    EXPECT_EQ(loadText("xof 0302txt 0032\ntemplate Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; }"),
              E_FAIL);
    EXPECT_EQ(D3DXLoadMeshFromXInMemory("xof 0302txt 0032", 0, D3DXMESH_MANAGED, g_device, nullptr, &materials, nullptr,
                                        &materialCount, &mesh),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
}

TEST_F(XFile, MoreThan65535VerticesAfterSplittingFail) {
    // 32,769 positions, all but one used by two triangles with different normals: 65,538 after the split.
    std::string body = "Mesh { 32769;\n";
    for (int i = 0; i < 32769; ++i) body += std::to_string(i) + ";0;0;" + (i < 32768 ? ",\n" : ";\n");
    body += "32768;\n";
    for (int i = 0; i < 32768; i += 2) {
        body += "3;" + std::to_string(i) + "," + std::to_string(i + 1) + ",32768;,\n";
        body += "3;" + std::to_string(i + 1) + "," + std::to_string(i) + ",32768;" + (i + 2 < 32768 ? ",\n" : ";\n");
    }
    std::string normals = "MeshNormals { 2; 0;0;1;, 0;1;0;; 32768;\n";
    for (int i = 0; i < 32768; i += 2) normals += std::string("3;0,0,0;,\n3;1,1,1;") + (i + 2 < 32768 ? ",\n" : ";\n");
    EXPECT_EQ(load(body + "}"), D3D_OK);  // unsplit it fits
    EXPECT_EQ(mesh->GetNumVertices(), 32769u);
    EXPECT_EQ(load(body + normals + "} }"), D3DXERR_INVALIDDATA);
    EXPECT_EQ(mesh, nullptr);
}

}  // namespace
