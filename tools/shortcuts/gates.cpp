// Reading gates files.
#include "gates.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace shortcuts {

namespace fs = std::filesystem;

bool Box::Contains(const D3DXVECTOR3& p) const {
    return p.x >= lo.x && p.x <= hi.x && p.y >= lo.y && p.y <= hi.y && p.z >= lo.z && p.z <= hi.z;
}

namespace {

// The words of one line, read one by one; every read says whether it found what was asked for.
class Words {
public:
    explicit Words(const std::string& line) : in(line) {}
    bool Word(std::string& w) { return static_cast<bool>(in >> w); }
    bool Int(int& v) {
        std::string w;
        if (!(in >> w)) return false;
        char* end = nullptr;
        const long n = std::strtol(w.c_str(), &end, 10);
        if (*end || n < 0 || n > 1000000000) return false;
        v = static_cast<int>(n);
        return true;
    }
    bool Number(float& v) {
        std::string w;
        if (!(in >> w)) return false;
        char* end = nullptr;
        v = std::strtof(w.c_str(), &end);
        return !*end && std::isfinite(v);
    }
    bool Box(shortcuts::Box& box) {
        float a[6];
        for (float& f : a)
            if (!Number(f)) return false;
        box.lo = D3DXVECTOR3(std::min(a[0], a[3]), std::min(a[1], a[4]), std::min(a[2], a[5]));
        box.hi = D3DXVECTOR3(std::max(a[0], a[3]), std::max(a[1], a[4]), std::max(a[2], a[5]));
        return true;
    }

private:
    std::istringstream in;
};

bool GoodName(const std::string& name) {
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_'; });
}

// The conditions after a gate's event, to the end of the line.
bool ReadConditions(Words& words, std::vector<Condition>& out, std::string& why) {
    std::string w;
    while (words.Word(w)) {
        Condition c;
        if (w == "never" || w == "off" || w == "on" || w == "unridden") {
            c.kind = w == "never" ? Condition::Never
                     : w == "off" ? Condition::Off
                     : w == "on"  ? Condition::On
                                  : Condition::Unridden;
            if (!words.Int(c.number)) {
                why = w + (c.kind == Condition::Unridden ? " needs an object number" : " needs a channel number");
                return false;
            }
            if (c.kind == Condition::Unridden && c.number < 1) {
                why = "objects are numbered from 1";
                return false;
            }
        } else if (w == "unshot") {
            c.kind = Condition::Unshot;
            if (!words.Box(c.box)) {
                why = "unshot needs a box: x0 y0 z0 x1 y1 z1";
                return false;
            }
        } else if (w == "grounded") {
            c.kind = Condition::Grounded;
        } else {
            why = "unknown condition '" + w + "'";
            return false;
        }
        out.push_back(c);
    }
    return true;
}

bool ReadSweep(Words& words, Sweep& s, std::string& why) {
    if (!words.Word(s.fragment)) {
        why = "sweep needs a name and a fragment file";
        return false;
    }
    bool haveCheckpoint = false, haveDeaths = false;
    std::string w;
    while (words.Word(w)) {
        if (w == "checkpoint") {
            if (!words.Int(s.checkpoint) || s.checkpoint < 1) {
                why = "checkpoint needs a frame from 1";
                return false;
            }
            haveCheckpoint = true;
        } else if (w == "starts") {
            if (!words.Int(s.starts) || s.starts < 1 || s.starts > 1000) {
                why = "starts needs a count from 1 to 1000";
                return false;
            }
        } else if (w == "deaths") {
            float share = 0;
            if (!words.Number(share) || share < 0 || share > 1) {
                why = "deaths needs a share from 0 to 1";
                return false;
            }
            s.deaths = share;
            haveDeaths = true;
        } else if (w == "region") {
            if (!words.Box(s.region)) {
                why = "region needs a box: x0 y0 z0 x1 y1 z1";
                return false;
            }
            s.hasRegion = true;
        } else {
            why = "unknown sweep word '" + w + "'";
            return false;
        }
    }
    if (!haveCheckpoint || !haveDeaths) {
        why = "a sweep needs its checkpoint and its deaths share";
        return false;
    }
    return true;
}

}  // namespace

bool ParseGates(const std::string& text, int stage, const std::string& folder, Gates& out, std::string& error) {
    out = Gates{};
    out.stage = stage;
    out.folder = folder;
    std::istringstream lines(text);
    std::string line, why;
    std::set<std::string> names;
    int number = 0;
    bool haveSolution = false;
    auto fail = [&](const std::string& problem) {
        error = "line " + std::to_string(number) + ": " + problem;
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        Words words(line);
        std::string word;
        if (!words.Word(word)) continue;
        if (word == "solution") {
            std::string path, rest;
            if (!words.Word(path)) return fail("solution needs a replay file");
            if (words.Word(rest)) return fail("unexpected '" + rest + "'");
            if (haveSolution) return fail("a second solution line");
            out.solution = (fs::path(folder) / path).lexically_normal().string();
            haveSolution = true;
        } else if (word == "checkpoint") {
            std::string w;
            bool any = false;
            while (words.Word(w)) {
                Words one(w);
                int frame = 0;
                if (!one.Int(frame) || frame < 1) return fail("checkpoints are frames from 1, not '" + w + "'");
                out.checkpoints.push_back(frame);
                any = true;
            }
            if (!any) return fail("checkpoint needs frames of the solution");
        } else if (word == "gate" || word == "sweep") {
            std::string name;
            if (!words.Word(name)) return fail(word + " needs a name");
            if (!GoodName(name)) return fail("a name is letters, digits, - and _: '" + name + "'");
            if (!names.insert(name).second) return fail("a second gate named '" + name + "'");
            if (word == "sweep") {
                Sweep s;
                s.name = name;
                if (!ReadSweep(words, s, why)) return fail(why);
                out.sweeps.push_back(s);
                continue;
            }
            Gate g;
            g.name = name;
            std::string kind;
            words.Word(kind);
            if (kind == "goal") {
                g.kind = Gate::Goal;
            } else if (kind == "enter") {
                g.kind = Gate::Enter;
                if (!words.Box(g.box)) return fail("enter needs a box: x0 y0 z0 x1 y1 z1");
            } else if (kind == "door") {
                g.kind = Gate::Door;
                if (!words.Int(g.object) || g.object < 1) return fail("door needs its object number (from 1)");
            } else {
                return fail("a gate is goal, enter or door, not '" + kind + "'");
            }
            if (!ReadConditions(words, g.conditions, why)) return fail(why);
            out.gates.push_back(g);
        } else {
            return fail("unknown word '" + word + "'");
        }
    }
    if (out.gates.empty() && out.sweeps.empty()) {
        error = "names no gate and no sweep";
        return false;
    }
    if (!haveSolution)
        out.solution =
            (fs::path(folder) / ".." / ("stage" + std::to_string(stage) + ".replay")).lexically_normal().string();
    return true;
}

bool LoadGates(const std::string& path, int stage, Gates& out, std::string& error) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        error = path + ": a folder, not a gates file";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot be read";
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    const std::string folder = fs::absolute(fs::path(path)).parent_path().string();
    if (!ParseGates(text.str(), stage, folder, out, error)) {
        // "line N: ..." becomes "PATH:N: ...", as compilers say it.
        error = path + (error.rfind("line ", 0) == 0 ? ":" + error.substr(5) : ": " + error);
        return false;
    }
    return true;
}

std::string GatesPath(const std::string& folder, int stage) {
    return (fs::path(folder) / ("stage" + std::to_string(stage) + ".gates")).string();
}

}  // namespace shortcuts
