// Helpers for running the real game headless inside a test.
#include "support/game_run.h"

#include <iconv.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/globals.h"
#include "app/input.h"
#include "app/fade.h"
#include "app/scene_manager.h"
#include "player/player_state.h"
#include "stage/obj.h"
#include "stage/stage_globals.h"

namespace testing_support {

TempFolder::TempFolder() {
    previous = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "quillmoor-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    dir = pattern;
    std::filesystem::current_path(dir);
}

TempFolder::~TempFolder() {
    std::filesystem::current_path(previous);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

void ResetForNewRun() {
    headless::reset();
    g_input = InputState{};
    g_fadeLevel = 0;
    g_fadeSpeed = 0;
    g_fadeRed = g_fadeGreen = g_fadeBlue = 0;
    g_fatalError = false;
    g_leverStates.clear();
    // A new run starts with no stage: no objects, a player as static initialisation leaves it, no goal,
    // no stage textures (a previous test's device, and what it held, is gone).
    ClearObjects();
    g_player = PlayerState{};
    ResetPlayer();
    g_goalReached = false;
    g_laserTexture = g_hitTexture = g_crosshairTexture = nullptr;
    g_stageIndex = 1;
    g_mouseDivisor = 15.0f;
    g_fullScreen = FALSE;
}

int RunGame() {
    char commandLine[] = "";
    return WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

namespace {
std::string convert(const char* to, const char* from, const std::string& bytes) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    std::string out(bytes.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* o = out.data();
    size_t outLeft = out.size();
    size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1)) throw std::runtime_error("iconv failed");
    out.resize(out.size() - outLeft);
    return out;
}
}  // namespace

std::string Cp932ToUtf8(const std::string& bytes) { return convert("UTF-8", "CP932", bytes); }
std::string Utf8ToCp932(const std::string& text) { return convert("CP932", "UTF-8", text); }

std::string LiteralPattern(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != 0 && std::strchr("\\^$.|?*+()[]{}", c)) out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

const std::string kTimestampPattern = R"(\d{4}/\d\d/\d\d\((Sun|Mon|Tue|Wed|Thu|Fri|Sat)\) \d\d:\d\d:\d\d)";

std::string LogLinePattern(const std::string& message) {
    return kTimestampPattern + LiteralPattern(Utf8ToCp932(message)) + "\r\n";
}

std::string EndOfRunPattern(const std::string& endLine) {
    return LogLinePattern(endLine) + std::string(96, '=') + "\r\n\r\n";
}

}  // namespace testing_support
