// The text .x reader behind D3DXLoadMeshFromX: frames flattened, meshes merged, vertices split where
// their corners' normals differ, polygons cut into fans, faces sorted by material.
#include <cstring>
#include <map>
#include <string>
#include <string_view>

#include "d3dx/mesh.h"
#include "d3dx/xtokens.h"

namespace {

using d3dx::Token;
using d3dx::Tokenizer;

struct Material {
    D3DMATERIAL9 d3d;
    std::string texture;  // empty: none
};

Material defaultMaterial() {
    Material m{};
    m.d3d.Diffuse = D3DCOLORVALUE{0.5f, 0.5f, 0.5f, 0.0f};
    m.d3d.Specular = D3DCOLORVALUE{0.5f, 0.5f, 0.5f, 0.0f};
    return m;
}

bool sameBits(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Everything read so far, all meshes merged.
struct Merged {
    std::vector<D3DXVECTOR3> positions, normals;
    std::vector<D3DXVECTOR2> uvs;
    bool anyNormals = false, anyUvs = false;
    std::vector<uint32_t> corners;  // three per triangle
    std::vector<DWORD> attributes;  // one per triangle
    std::vector<Material> materials;
    int64_t defaultMaterialAt = -1;  // the one default material all meshes without a list share
    size_t meshCount = 0;
};

// One Mesh object as the file gives it.
struct MeshData {
    std::vector<D3DXVECTOR3> positions;
    std::vector<uint32_t> faceStart, faceSize, faceCorners;  // polygons, corners flattened
    std::vector<D3DXVECTOR3> normals;
    std::vector<uint32_t> normalCorners;  // parallel to faceCorners, empty without MeshNormals
    std::vector<D3DXVECTOR2> uvs;
    std::vector<uint32_t> faceMaterials;
    std::vector<Material> materials;
    bool hasMaterialList = false;
};

class Parser {
public:
    Parser(const char* data, size_t size) : in(data, size) {}

    bool parseFile(Merged& out) {
        merged = &out;
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        for (;;) {
            Token t = in.next();
            if (t.kind == Token::End) return true;
            if (t.kind == Token::Separator) continue;
            if (t.kind == Token::Open) {
                if (!in.skipReference()) return false;
                continue;
            }
            if (t.kind != Token::Name) return false;
            if (t.text == "template") {
                if (in.next().kind != Token::Name || in.next().kind != Token::Open || !in.skipBody()) return false;
                continue;
            }
            std::string name;
            if (!openObject(&name)) return false;
            bool ok;
            if (t.text == "Mesh") {
                ok = parseMesh(identity);
            } else if (t.text == "Frame") {
                ok = parseFrame(identity);
            } else if (t.text == "Material") {
                Material m;
                ok = parseMaterial(m);
                if (ok && !name.empty()) namedMaterials[name] = m;
            } else {
                ok = in.skipBody();
            }
            if (!ok) return false;
        }
    }

private:
    Tokenizer in;
    Merged* merged = nullptr;
    std::map<std::string, Material> namedMaterials;
    static constexpr int kMaxFrameDepth = 256;
    int frameDepth = 0;

    // After a data object's type name: an optional name, the brace, an optional GUID.
    bool openObject(std::string* name) {
        Token t = in.next();
        if (t.kind == Token::Name) {
            if (name) *name = std::string(t.text);
            t = in.next();
        }
        if (t.kind != Token::Open) return false;
        if (in.peek().kind == Token::Guid) in.next();
        return true;
    }

    // Walks the children of the object being read, up to its closing brace: separators are skipped,
    // { name } references go to onReference, and each named child is opened and handed to onChild
    // (type, name), which reads it up to its own closing brace.
    template <typename Child, typename Reference>
    bool children(Child onChild, Reference onReference) {
        for (;;) {
            Token t = in.next();
            if (t.kind == Token::Close) return true;
            if (t.kind == Token::Separator) continue;
            if (t.kind == Token::Open) {
                if (!onReference()) return false;
                continue;
            }
            std::string name;
            if (t.kind != Token::Name || !openObject(&name) || !onChild(t.text, name)) return false;
        }
    }
    template <typename Child>
    bool children(Child onChild) {
        return children(onChild, [&] { return in.skipReference(); });
    }

    // The rest of an object whose members are read: its unknown children up to the brace.
    bool closeObject() {
        return children([&](std::string_view, const std::string&) { return in.skipBody(); });
    }

    bool vector3(D3DXVECTOR3& v) { return in.number(v.x) && in.number(v.y) && in.number(v.z); }

    bool parseFrame(const D3DXMATRIX& parent) {
        // Frames nest by recursion: a file may not nest them deeper than any model needs.
        if (++frameDepth > kMaxFrameDepth) return false;
        D3DXMATRIX running = parent;
        bool ok = children([&](std::string_view type, const std::string&) {
            if (type == "FrameTransformMatrix") {
                D3DXMATRIX m;
                for (int i = 0; i < 16; ++i)
                    if (!in.number(m.m[i / 4][i % 4])) return false;
                // The frame's own matrix first, then its parent's: it moves only the meshes after it.
                running = m * running;
                return closeObject();
            }
            if (type == "Mesh") return parseMesh(running);
            if (type == "Frame") return parseFrame(running);
            return in.skipBody();
        });
        --frameDepth;
        return ok;
    }

    bool readFaces(std::vector<uint32_t>& start, std::vector<uint32_t>& size, std::vector<uint32_t>& corners,
                   uint32_t limit) {
        uint32_t faceCount;
        if (!in.count(faceCount, 4)) return false;
        start.reserve(faceCount);
        size.reserve(faceCount);
        for (uint32_t f = 0; f < faceCount; ++f) {
            uint32_t n;
            if (!in.count(n, 2) || n < 3) return false;
            start.push_back(static_cast<uint32_t>(corners.size()));
            size.push_back(n);
            for (uint32_t k = 0; k < n; ++k) {
                uint32_t index;
                if (!in.count(index, 0) || index >= limit) return false;
                corners.push_back(index);
            }
        }
        return true;
    }

    bool parseMesh(const D3DXMATRIX& transform) {
        MeshData mesh;
        uint32_t vertexCount;
        if (!in.count(vertexCount, 5)) return false;
        mesh.positions.resize(vertexCount);
        for (auto& p : mesh.positions)
            if (!vector3(p)) return false;
        if (!readFaces(mesh.faceStart, mesh.faceSize, mesh.faceCorners, vertexCount)) return false;
        bool ok = children([&](std::string_view type, const std::string&) {
            if (type == "MeshNormals") return parseNormals(mesh);
            if (type == "MeshTextureCoords") return parseTextureCoords(mesh);
            if (type == "MeshMaterialList") return parseMaterialList(mesh);
            return in.skipBody();
        });
        if (!ok) return false;
        return merge(mesh, transform);
    }

    bool parseNormals(MeshData& mesh) {
        uint32_t count;
        if (!in.count(count, 5)) return false;
        mesh.normals.resize(count);
        for (auto& n : mesh.normals) {
            if (!vector3(n)) return false;
            D3DXVec3Normalize(&n, &n);
        }
        std::vector<uint32_t> start, size;
        mesh.normalCorners.clear();
        if (!readFaces(start, size, mesh.normalCorners, count)) return false;
        // Every face needs its normals, corner for corner.
        if (size != mesh.faceSize) return false;
        return closeObject();
    }

    bool parseTextureCoords(MeshData& mesh) {
        uint32_t count;
        if (!in.count(count, 3) || count != mesh.positions.size()) return false;
        mesh.uvs.resize(count);
        for (auto& uv : mesh.uvs)
            if (!in.number(uv.x) || !in.number(uv.y)) return false;
        return closeObject();
    }

    bool parseMaterialList(MeshData& mesh) {
        uint32_t materialCount, indexCount;
        if (!in.count(materialCount, 1) || !in.count(indexCount, 2)) return false;
        size_t faces = mesh.faceSize.size();
        if (indexCount > faces || (indexCount == 0 && faces > 0)) return false;
        mesh.faceMaterials.resize(faces);
        for (uint32_t f = 0; f < indexCount; ++f)
            if (!in.count(mesh.faceMaterials[f], 0) || mesh.faceMaterials[f] >= materialCount) return false;
        // A short list gives the remaining faces the last material it names.
        for (size_t f = indexCount; f < faces; ++f) mesh.faceMaterials[f] = mesh.faceMaterials[indexCount - 1];
        mesh.materials.clear();
        bool ok = children(
            [&](std::string_view type, const std::string&) {
                if (type != "Material") return in.skipBody();
                Material m;
                if (!parseMaterial(m)) return false;
                mesh.materials.push_back(m);
                return true;
            },
            [&] {
                Token ref = in.next();
                if (ref.kind != Token::Name || in.next().kind != Token::Close) return false;
                auto it = namedMaterials.find(std::string(ref.text));
                if (it == namedMaterials.end()) return false;
                mesh.materials.push_back(it->second);
                return true;
            });
        if (!ok) return false;
        if (mesh.materials.size() != materialCount) return false;
        mesh.hasMaterialList = true;
        return true;
    }

    bool parseMaterial(Material& m) {
        m = Material{};
        D3DCOLORVALUE& d = m.d3d.Diffuse;
        D3DCOLORVALUE& s = m.d3d.Specular;
        D3DCOLORVALUE& e = m.d3d.Emissive;
        if (!in.number(d.r) || !in.number(d.g) || !in.number(d.b) || !in.number(d.a) || !in.number(m.d3d.Power) ||
            !in.number(s.r) || !in.number(s.g) || !in.number(s.b) || !in.number(e.r) || !in.number(e.g) ||
            !in.number(e.b))
            return false;
        s.a = 1.0f;
        e.a = 1.0f;
        m.d3d.Ambient = D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 1.0f};
        return children([&](std::string_view type, const std::string&) {
            if (!d3dx::equalsIgnoringCase(type, "TextureFilename")) return in.skipBody();
            Token name = in.nextValue();
            if (name.kind != Token::String) return false;
            m.texture = std::string(name.text);
            return closeObject();
        });
    }

    // Splits vertices by normal, cuts polygons into fans and appends the mesh to the merged one.
    bool merge(MeshData& mesh, const D3DXMATRIX& transform) {
        Merged& out = *merged;
        size_t base = out.positions.size();
        bool hasNormals = !mesh.normals.empty();
        bool hasUvs = !mesh.uvs.empty();
        size_t count = mesh.positions.size();
        std::vector<int64_t> nextDuplicate(count, -1);
        std::vector<char> assigned(count, 0);
        std::vector<D3DXVECTOR3> vertexNormals(count, D3DXVECTOR3(0, 0, 0));
        std::vector<uint32_t> source(count);  // which file vertex each vertex copies
        for (size_t i = 0; i < count; ++i) source[i] = static_cast<uint32_t>(i);
        std::vector<uint32_t> resolved(mesh.faceCorners);
        if (hasNormals) {
            for (size_t c = 0; c < resolved.size(); ++c) {
                const D3DXVECTOR3& n = mesh.normals[mesh.normalCorners[c]];
                uint32_t v = resolved[c];
                if (!assigned[v]) {
                    assigned[v] = 1;
                    vertexNormals[v] = n;
                    continue;
                }
                // Reuse the first copy of this vertex with the same normal, or append a new one.
                int64_t at = v, last = v;
                while (at >= 0 && !sameBits(vertexNormals[at], n)) {
                    last = at;
                    at = nextDuplicate[at];
                }
                if (at < 0) {
                    at = static_cast<int64_t>(vertexNormals.size());
                    vertexNormals.push_back(n);
                    source.push_back(v);
                    nextDuplicate.push_back(-1);
                    nextDuplicate[last] = at;
                    if (base + vertexNormals.size() > 0xFFFF) return false;
                }
                resolved[c] = static_cast<uint32_t>(at);
            }
        }
        if (base + source.size() > 0xFFFF) return false;
        for (size_t i = 0; i < source.size(); ++i) {
            D3DXVECTOR3 p;
            D3DXVec3TransformCoord(&p, &mesh.positions[source[i]], &transform);
            out.positions.push_back(p);
            D3DXVECTOR3 n(0, 0, 0);
            if (hasNormals) {
                D3DXVec3TransformNormal(&n, &vertexNormals[i], &transform);
                D3DXVec3Normalize(&n, &n);
            }
            out.normals.push_back(n);
            out.uvs.push_back(hasUvs ? mesh.uvs[source[i]] : D3DXVECTOR2(0, 0));
        }
        out.anyNormals = out.anyNormals || hasNormals;
        out.anyUvs = out.anyUvs || hasUvs;

        DWORD materialBase = static_cast<DWORD>(out.materials.size());
        if (mesh.hasMaterialList) {
            out.materials.insert(out.materials.end(), mesh.materials.begin(), mesh.materials.end());
        } else if (out.defaultMaterialAt < 0) {
            out.defaultMaterialAt = materialBase;
            out.materials.push_back(defaultMaterial());
        }
        ++out.meshCount;
        for (size_t f = 0; f < mesh.faceSize.size(); ++f) {
            const uint32_t* c = &resolved[mesh.faceStart[f]];
            DWORD attribute =
                mesh.hasMaterialList ? materialBase + mesh.faceMaterials[f] : static_cast<DWORD>(out.defaultMaterialAt);
            for (uint32_t k = 1; k + 1 < mesh.faceSize[f]; ++k) {
                out.corners.push_back(static_cast<uint32_t>(base + c[0]));
                out.corners.push_back(static_cast<uint32_t>(base + c[k]));
                out.corners.push_back(static_cast<uint32_t>(base + c[k + 1]));
                out.attributes.push_back(attribute);
            }
        }
        return true;
    }
};

HRESULT materialBuffer(const std::vector<Material>& materials, ID3DXBuffer** buffer) {
    size_t size = materials.size() * sizeof(D3DXMATERIAL);
    for (const auto& m : materials)
        if (!m.texture.empty()) size += m.texture.size() + 1;
    HRESULT hr = D3DXCreateBuffer(static_cast<DWORD>(size), buffer);
    if (FAILED(hr)) return hr;
    auto* bytes = static_cast<uint8_t*>((*buffer)->GetBufferPointer());
    auto* out = reinterpret_cast<D3DXMATERIAL*>(bytes);
    char* names = reinterpret_cast<char*>(bytes + materials.size() * sizeof(D3DXMATERIAL));
    for (size_t i = 0; i < materials.size(); ++i) {
        out[i].MatD3D = materials[i].d3d;
        out[i].pTextureFilename = nullptr;
        if (materials[i].texture.empty()) continue;
        std::memcpy(names, materials[i].texture.c_str(), materials[i].texture.size() + 1);
        out[i].pTextureFilename = names;
        names += materials[i].texture.size() + 1;
    }
    return D3D_OK;
}

// "xof 0302txt 0032": the magic, the version (0302 or 0303), the encoding (only text is read: binary
// and compressed files are refused) and the float size (32 or 64 bits), exactly as written.
bool validHeader(const char* h) {
    auto is = [h](int at, const char* four) { return std::memcmp(h + at, four, 4) == 0; };
    return is(0, "xof ") && (is(4, "0302") || is(4, "0303")) && is(8, "txt ") && (is(12, "0032") || is(12, "0064"));
}

}  // namespace

HRESULT WINAPI D3DXLoadMeshFromXInMemory(const void* memory, DWORD size, DWORD options, IDirect3DDevice9* device,
                                         ID3DXBuffer** adjacency, ID3DXBuffer** materials,
                                         ID3DXBuffer** effectInstances, DWORD* materialCount, ID3DXMesh** mesh) {
    if (adjacency) *adjacency = nullptr;
    if (materials) *materials = nullptr;
    if (effectInstances) *effectInstances = nullptr;
    if (!memory || !device || !mesh || size == 0) return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    const char* text = static_cast<const char*>(memory);
    if (size < 16 || !validHeader(text)) return D3DXERR_INVALIDDATA;

    Merged merged;
    if (!Parser(text + 16, size - 16).parseFile(merged)) return D3DXERR_INVALIDDATA;
    if (merged.meshCount == 0) return E_FAIL;  // a valid file without a mesh in it
    if (merged.attributes.empty() || merged.positions.empty() || merged.positions.size() > 0xFFFF)
        return D3DXERR_INVALIDDATA;

    DWORD fvf = D3DFVF_XYZ | (merged.anyNormals ? D3DFVF_NORMAL : 0) | (merged.anyUvs ? D3DFVF_TEX1 : 0);
    size_t stride = 12 + (merged.anyNormals ? 12 : 0) + (merged.anyUvs ? 8 : 0);
    std::vector<uint8_t> vertices(merged.positions.size() * stride);
    for (size_t i = 0; i < merged.positions.size(); ++i) {
        uint8_t* v = vertices.data() + i * stride;
        std::memcpy(v, &merged.positions[i], 12);
        if (merged.anyNormals) std::memcpy(v + 12, &merged.normals[i], 12);
        if (merged.anyUvs) std::memcpy(v + stride - 8, &merged.uvs[i], 8);
    }
    ID3DXMesh* made = nullptr;
    HRESULT hr = d3dx::createMesh(device, options, fvf, std::move(vertices), merged.corners, merged.attributes, &made);
    if (FAILED(hr)) return hr;
    if (materials) {
        hr = materialBuffer(merged.materials, materials);
        if (FAILED(hr)) {
            made->Release();
            return hr;
        }
    }
    if (materialCount) *materialCount = static_cast<DWORD>(merged.materials.size());
    *mesh = made;
    return D3D_OK;
}

HRESULT WINAPI D3DXLoadMeshFromXA(LPCSTR filename, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                                  ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* materialCount,
                                  ID3DXMesh** mesh) {
    std::vector<uint8_t> bytes;
    if (!d3dx::readWholeFile(filename, bytes)) {
        if (mesh) *mesh = nullptr;
        return E_FAIL;
    }
    return D3DXLoadMeshFromXInMemory(bytes.data(), static_cast<DWORD>(bytes.size()), options, device, adjacency,
                                     materials, effectInstances, materialCount, mesh);
}
