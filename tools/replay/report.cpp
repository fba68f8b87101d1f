// Frame and log reports of the replay runner.
#include "report.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/globals.h"
#include "app/fade.h"
#include "app/scene_manager.h"
#include "player/player_state.h"
#include "stage/obj.h"

namespace replay {

namespace {
const char* sceneName() {
    if (!g_sceneManager || !g_sceneManager->current) return "-";
    static const char* names[5] = {"title", "load", "game", "clear", "error"};
    for (int i = 0; i < 5; ++i)
        if (g_sceneManager->current == g_sceneManager->scenes[i]) return names[i];
    return "?";
}

std::string toUtf8(const std::string& cp932) {
    if (cp932.empty()) return cp932;
    int length = static_cast<int>(cp932.size());
    int units = MultiByteToWideChar(932, 0, cp932.data(), length, nullptr, 0);
    if (units <= 0) return cp932;
    std::basic_string<WCHAR> wide(static_cast<size_t>(units), WCHAR{});
    MultiByteToWideChar(932, 0, cp932.data(), length, wide.data(), units);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return cp932;
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, out.data(), bytes, nullptr, nullptr);
    return out;
}
}  // namespace

std::string DescribeFrame(int frame) {
    std::ostringstream s;
    s << "frame " << frame << " scene " << sceneName() << " stage " << g_stageIndex << " fade " << g_fadeLevel
      << " speed " << static_cast<int>(g_fadeSpeed) << " colour " << (g_fadeRed & 0xFF) << ',' << (g_fadeGreen & 0xFF)
      << ',' << (g_fadeBlue & 0xFF) << (g_fatalError ? " fatal" : "");
    return s.str();
}

namespace {
std::string Vec(const D3DXVECTOR3& v) {
    char text[96];
    std::snprintf(text, sizeof text, "%.4f,%.4f,%.4f", static_cast<double>(v.x), static_cast<double>(v.y),
                  static_cast<double>(v.z));
    return text;
}
std::string Num(float f) {
    char text[48];
    std::snprintf(text, sizeof text, "%.4f", static_cast<double>(f));
    return text;
}
std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else
            out += c;
    }
    return out + "\"";
}
}  // namespace

std::string DescribePlayer() {
    const PlayerState& p = g_player;
    std::string s = "player pos " + Vec(p.position) + " vel " + Vec(p.velocity) + " yaw " + Num(p.yaw) + " pitch " +
                    Num(p.pitch) + " health " + Num(p.health) + " airborne " + (p.airborne ? "1" : "0") + " dead " +
                    (p.dead ? "1" : "0") + " dip " + Num(p.landingDip) + " bulges";
    for (int i = 0; i < 4; ++i)
        s += " " + Vec(p.bulgeCenter[i]) + " r " + Num(p.bulgeRadius[i]) + (p.bulgeActive[i] ? " on" : " off");
    return s;
}

std::string DescribeObjects() {
    std::string out;
    int n = 0;
    for (Obj* o = g_objRoot.next; o; o = o->next) {
        out += "object " + std::to_string(++n) + " type " + std::to_string(o->typeCode) + " pos " + Vec(o->position) +
               " yaw " + Num(o->yaw) + " pitch " + Num(o->pitch);
        std::string state = o->DescribeState();
        if (!state.empty()) out += " state " + state;
        out += "\n";
    }
    if (n == 0) out = "objects none\n";
    return out;
}

std::string DescribeSound(bool play, const std::string& name, long volume, unsigned long flags) {
    if (!play) return "sound stop " + name;
    return "sound play " + name + " volume " + std::to_string(volume) + " flags " + std::to_string(flags);
}

std::string DescribeBox(const std::string& text, const std::string& caption, unsigned style, int answer) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", style);
    return "box caption " + Quote(caption) + " text " + Quote(text) + " style " + hex + " answer " +
           std::to_string(answer);
}

std::string DescribeNewLog(const std::string& path, std::uintmax_t before) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "";
    file.seekg(static_cast<std::streamoff>(before));
    std::ostringstream bytes;
    bytes << file.rdbuf();
    std::istringstream lines(toUtf8(bytes.str()));
    std::string line, out;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out += "log: " + line + "\n";
    }
    return out;
}

}  // namespace replay
