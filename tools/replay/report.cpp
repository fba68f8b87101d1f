// Frame and log reports of the replay runner.
#include "report.h"

#include <iconv.h>

#include <fstream>
#include <sstream>

#include "app/globals.h"
#include "app/fade.h"
#include "app/scene_manager.h"

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
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return cp932;
    std::string out(cp932.size() * 3 + 4, '\0');
    char* in = const_cast<char*>(cp932.data());
    size_t inLeft = cp932.size();
    char* o = out.data();
    size_t outLeft = out.size();
    iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
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
