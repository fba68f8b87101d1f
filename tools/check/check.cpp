// The content checker's rules for pictures and sounds, and the walk over a game folder.
#include "tools/check/check.h"

#include <stdlib.h>

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace content_check {

namespace fs = std::filesystem;

const std::vector<PictureRule>& PictureRules() {
    // Pictures drawn over the scene need their transparency; the clear screen covers everything.
    static const std::vector<PictureRule> rules = {
        {"white.png", 3, 3, false},       {"blood.png", 640, 480, true},     {"title.png", 512, 128, true},
        {"pushenter.png", 256, 64, true}, {"clear.png", 640, 480, false},    {"laser.png", 128, 256, true},
        {"efe_hit.png", 256, 64, true},   {"crosshair.png", 128, 128, true},
    };
    return rules;
}

const std::vector<std::string>& SoundNames() {
    static const std::vector<std::string> names = {
        "bosu08.wav", "puu35.wav",   "mecha07.wav", "mecha23_b.wav", "mecha01.wav", "kachi44.wav", "bosu20.wav",
        "bosu05.wav", "mecha32.wav", "beep07.wav",  "cursor37.wav",  "mecha00.wav", "close01.wav", "mecha15.wav",
    };
    return names;
}

const std::vector<MeshRule>& MeshRules() {
    static const std::vector<MeshRule> rules = {
        // The gun's three lamps show the bulges held, the door's and the elevator's their channel.
        {"gun.x", 7, {4, 5, 6}}, {"sphere.x", 1, {}},   {"title.x", 0, {}}, {"door.x", 2, {1}},
        {"elevator.x", 3, {2}},  {"goal.x", 0, {}},     {"ltrap.x", 0, {}}, {"laser.x", 0, {}},
        {"leveron.x", 0, {}},    {"leveroff.x", 0, {}}, {"step.x", 0, {}},
    };
    return rules;
}

namespace {

bool ReadAll(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

uint32_t U32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t U16(const std::string& b, size_t at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }

struct PngReader {
    const std::string* bytes;
    size_t at = 8;
};

}  // namespace

void CheckPicture(const std::string& path, const std::string& name, int width, int height, bool needsAlpha,
                  std::vector<Problem>& out) {
    std::string bytes;
    if (!ReadAll(path, bytes)) {
        out.push_back({name, "missing or unreadable"});
        return;
    }
    if (bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) != 0) {
        out.push_back({name, "not a PNG picture"});
        return;
    }
    // Decode the whole picture: a file cut short or with a broken chunk is found here, not in the game.
    png_structp png = png_create_read_struct(
        PNG_LIBPNG_VER_STRING, nullptr, [](png_structp p, png_const_charp) { png_longjmp(p, 1); },
        [](png_structp, png_const_charp) {});
    png_infop info = png_create_info_struct(png);
    PngReader reader{&bytes};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        out.push_back({name, "damaged PNG data"});
        return;
    }
    png_set_read_fn(png, &reader, [](png_structp p, png_bytep data, png_size_t n) {
        auto* r = static_cast<PngReader*>(png_get_io_ptr(p));
        if (r->at + n > r->bytes->size()) png_error(p, "cut short");
        std::memcpy(data, r->bytes->data() + r->at, n);
        r->at += n;
    });
    png_set_sig_bytes(png, 8);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    const int w = int(png_get_image_width(png, info)), h = int(png_get_image_height(png, info));
    const int type = png_get_color_type(png, info);
    const bool alpha = (type & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    png_destroy_read_struct(&png, &info, nullptr);
    if (w != width || h != height)
        out.push_back({name, std::to_string(w) + " x " + std::to_string(h) + ", the game loads it as " +
                                 std::to_string(width) + " x " + std::to_string(height)});
    if (needsAlpha && !alpha)
        out.push_back({name, "no alpha channel: it is drawn over the scene and must be transparent"});
}

void CheckWave(const std::string& path, const std::string& name, std::vector<Problem>& out) {
    std::string b;
    if (!ReadAll(path, b)) {
        out.push_back({name, "missing or unreadable"});
        return;
    }
    if (b.size() < 36 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 8, "WAVEfmt ") != 0) {
        out.push_back({name, "not a WAVE file: it must start with \"RIFF\", a size and \"WAVEfmt \""});
        return;
    }
    // The game's loader scans for "data" byte by byte from offset 36; a failed match skips the three
    // bytes it read, so the scan here does the same.
    size_t at = 36;
    bool found = false;
    while (at < b.size()) {
        if (b[at++] != 'd') continue;
        if (at + 3 <= b.size() && b.compare(at, 3, "ata") == 0) {
            at += 3;
            found = true;
            break;
        }
        at += 3;
    }
    if (!found) {
        out.push_back({name, "no \"data\" chunk: the game refuses it as not a WAVE file"});
        return;
    }
    if (at + 4 > b.size()) {
        out.push_back({name, "the \"data\" chunk has no size"});
        return;
    }
    const uint32_t size = U32(b, at);
    const uint16_t tag = U16(b, 20), channels = U16(b, 22), align = U16(b, 32), bits = U16(b, 34);
    const uint32_t rate = U32(b, 24), perSecond = U32(b, 28);
    if (tag != 1) out.push_back({name, "format " + std::to_string(tag) + ", not PCM"});
    if (bits != 16) out.push_back({name, std::to_string(bits) + "-bit samples, not 16-bit"});
    if (channels != 1 && channels != 2) out.push_back({name, std::to_string(channels) + " channels"});
    if (rate < 8000 || rate > 48000) out.push_back({name, "sample rate " + std::to_string(rate)});
    if (align != channels * bits / 8 || perSecond != rate * align)
        out.push_back({name, "block align or bytes per second do not match the format"});
    if (size == 0) out.push_back({name, "no samples"});
    if (size > b.size() - at - 4)
        out.push_back({name, "the \"data\" chunk claims " + std::to_string(size) + " bytes, the file holds " +
                                 std::to_string(b.size() - at - 4)});
    else if (align && size % align)
        out.push_back({name, "the sample data ends inside a sample"});
}

std::string Format(const Problem& p) {
    std::string where = p.line > 0 ? p.file + ":" + std::to_string(p.line) : p.file;
    return where + ": " + (p.note ? "note: " : "") + p.problem;
}

std::vector<Problem> CheckGameFolder(const std::string& gameDir, bool stagesRequired) {
    std::vector<Problem> out;
    const fs::path root(gameDir);
    // The game's loaders read from the current folder: file names inside the content are relative to it.
    std::error_code ec;
    const fs::path before = fs::current_path(ec);
    fs::current_path(root, ec);
    if (ec) {
        out.push_back({gameDir, "cannot enter the folder: " + ec.message()});
        return out;
    }
    for (const PictureRule& r : PictureRules()) {
        const std::string name = std::string("data/texture/") + r.name;
        const size_t already = out.size();
        CheckPicture(name, name, r.width, r.height, r.alpha, out);
        if (out.size() == already) CheckPictureWithGame(name, unsigned(r.width), unsigned(r.height), out);
    }
    for (const std::string& s : SoundNames()) {
        const size_t already = out.size();
        CheckWave("data/sound/" + s, "data/sound/" + s, out);
        // Whatever the bytes look like, the game's own loader must take the file.
        if (out.size() == already) CheckWaveWithGame(s, out);
    }
    std::vector<std::string> meshes;
    for (const MeshRule& r : MeshRules()) {
        CheckMesh(r.name, r.minMaterials, r.lamps, out);
        meshes.push_back(r.name);
    }
    // Stage meshes: every other .x file in data/xfile.
    std::vector<std::string> others;
    if (fs::is_directory("data/xfile", ec))
        for (const auto& e : fs::directory_iterator("data/xfile", ec)) {
            const std::string n = e.path().filename().string();
            if (e.path().extension() == ".x" && std::find(meshes.begin(), meshes.end(), n) == meshes.end())
                others.push_back(n);
        }
    std::sort(others.begin(), others.end());
    for (const std::string& n : others) CheckMesh(n, 0, {}, out);
    CheckStages(stagesRequired, out);
    fs::current_path(before, ec);
    return out;
}

std::vector<Problem> CheckDataFolder(const std::string& dataDir, bool stagesRequired) {
    std::error_code ec;
    // The folder as named, without a trailing separator ("data-test/" is "data-test").
    std::string named = dataDir;
    while (named.size() > 1 && named.back() == '/') named.pop_back();
    const fs::path data = fs::absolute(named, ec).lexically_normal();
    if (named.empty() || !fs::is_directory(data, ec)) return {{named, "not a folder: nothing to check"}};
    const fs::path dataPath = data.filename().empty() ? data.parent_path() : data;
    if (dataPath.filename() == "data") return CheckGameFolder(dataPath.parent_path().string(), stagesRequired);

    // The game only ever reads a folder named data (the meshes name their textures "data/texture/...");
    // a link of that name in a folder of our own makes any data folder the game's.
    fs::path game = fs::temp_directory_path(ec) / "quillmoor-check-XXXXXX";
    std::string pattern = game.string();
    if (!mkdtemp(pattern.data())) return {{named, "cannot make a temporary folder to check it from"}};
    game = pattern;
    fs::create_directory_symlink(dataPath, game / "data", ec);
    std::vector<Problem> out;
    if (ec)
        out.push_back({named, "cannot link to it from a temporary folder: " + ec.message()});
    else
        out = CheckGameFolder(game.string(), stagesRequired);
    fs::remove(game / "data", ec);  // the link only, never what it leads to
    fs::remove(game, ec);
    for (Problem& p : out)
        if (p.file == "data" || p.file.rfind("data/", 0) == 0) p.file = named + p.file.substr(4);
    return out;
}

}  // namespace content_check
