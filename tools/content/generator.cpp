// Writes the generated content into a data folder: meshes, pictures and sounds.
#include "tools/content/generator.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace content {

namespace {

namespace fs = std::filesystem;

bool ReadAll(const fs::path& p, std::string& out) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Rewrites a file only when its bytes change, so that an unchanged build leaves the folder untouched.
bool Put(const fs::path& p, const std::string& bytes, std::string* error) {
    std::string old;
    if (ReadAll(p, old) && old == bytes) return true;
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out) {
        if (error) *error = p.string() + ": cannot write";
        return false;
    }
    return true;
}

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

}  // namespace

bool Generate(const std::string& stageDir, const std::string& dataDir, std::string* error) {
    const fs::path root(dataDir);
    std::error_code ec;
    for (const char* sub : {"xfile", "texture", "sound"}) {
        fs::create_directories(root / sub, ec);
        if (ec) {
            if (error) *error = (root / sub).string() + ": " + ec.message();
            return false;
        }
    }
    std::vector<NamedMesh> meshes = Models();
    std::vector<fs::path> sources;
    if (!stageDir.empty() && fs::is_directory(stageDir))
        for (const auto& e : fs::directory_iterator(stageDir))
            if (e.path().extension() == ".geo") sources.push_back(e.path());
    std::sort(sources.begin(), sources.end());
    for (const fs::path& src : sources) {
        std::string text, why;
        if (!ReadAll(src, text)) {
            if (error) *error = src.string() + ": cannot read";
            return false;
        }
        if (!BuildStageGeometry(text, meshes, &why)) {
            if (error) *error = src.string() + ": " + why;
            return false;
        }
    }
    for (const NamedMesh& m : meshes) {
        std::string why;
        const std::string x = WriteX(m.mesh, &why);
        if (x.empty()) {
            if (error) *error = m.name + ": " + why;
            return false;
        }
        if (!Put(root / "xfile" / m.name, x, error)) return false;
    }
    for (const NamedPicture& p : Pictures())
        if (!Put(root / "texture" / p.name, Bytes(EncodePng(p.canvas, p.alpha)), error)) return false;
    for (const NamedSound& s : Sounds())
        if (!Put(root / "sound" / s.name, Bytes(EncodeWave(s.samples, s.rate)), error)) return false;
    return true;
}

}  // namespace content
