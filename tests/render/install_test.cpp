// The installed game: `cmake --install` into a temporary prefix, the menu entry and icons it leaves,
// and the installed executable started from another folder with a replay: its window's icon, its
// Log.txt beside its data or, when that folder cannot be written, in the player's state folder.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Result {
    int status;
    std::string output;
};

Result Shell(const std::string& command) {
    Result r{-1, ""};
    std::FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, p)) r.output += buffer;
    int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

fs::path MakeTemp(const char* name) {
    std::string pattern = (fs::temp_directory_path() / name).string() + "-XXXXXX";
    if (!mkdtemp(pattern.data())) return {};
    chmod(pattern.c_str(), 0755);  // the game may run as another user below
    return pattern;
}

// A PNG file's pixels as ARGB words, rows top-down, with libpng's simplified reader; empty if unreadable.
std::vector<uint32_t> ReadPngArgb(const fs::path& path, unsigned& width, unsigned& height) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    std::vector<uint32_t> argb;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return argb;
    png.format = PNG_FORMAT_BGRA;  // B, G, R, A bytes: one little-endian ARGB word
    width = png.width;
    height = png.height;
    argb.resize(size_t(width) * height);
    if (!png_image_finish_read(&png, nullptr, argb.data(), 0, nullptr)) argb.clear();
    png_image_free(&png);
    return argb;
}

// The end of one normal run in Log.txt: its timestamped end line in code page 932, then the rule.
const std::regex kNormalEnd(
    R"(\d{4}/\d\d/\d\d\(\w{3}\) \d\d:\d\d:\d\d \|\|  \x90\xb3\x8f\xed\x8f\x49\x97\xb9\r\n={96}\r\n\r\n)");

class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix = MakeTemp("quillmoor prefix");  // a space, as in many home folders
        ASSERT_FALSE(prefix.empty());
        Result r = Shell(std::string(CMAKE_COMMAND) + " --install " + Quote(QUILLMOOR_BINARY_DIR) + " --prefix " +
                         Quote(prefix));
        ASSERT_EQ(r.status, 0) << r.output;
    }
    static void TearDownTestSuite() {
        std::error_code ec;
        fs::permissions(prefix / "share/quillmoor", fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(prefix, ec);
    }
    void SetUp() override {
        elsewhere = MakeTemp("quillmoor-elsewhere");
        std::ofstream(elsewhere / "escape.replay") << "answer no\nframes 300\nat 30 key escape\nprint at 0 29\n";
        chmod((elsewhere / "escape.replay").c_str(), 0644);
        fs::remove(prefix / "share/quillmoor/Log.txt");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(elsewhere, ec);
    }

    // Starts the installed game from the other folder; `as` runs it as another user.
    Result play(const fs::path& stateHome, const std::string& as = "") {
        std::string env = "ALSOFT_DRIVERS=null XDG_STATE_HOME=" + Quote(stateHome);
        if (const char* auth = std::getenv("XAUTHORITY"); auth && *auth && !as.empty()) {
            // The other user needs to read the X server's cookie too.
            fs::copy_file(auth, elsewhere / "Xauthority", fs::copy_options::overwrite_existing);
            chmod((elsewhere / "Xauthority").c_str(), 0644);
            env += " XAUTHORITY=" + Quote(elsewhere / "Xauthority");
        }
        return Shell("cd " + Quote(elsewhere) + " && env " + env + " " + as + " " + Quote(prefix / "bin/quillmoor") +
                     " --replay escape.replay");
    }
    void expectTitleThenEscape(const Result& r) {
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_NE(r.output.find("frame 29 scene title stage 1 fade 0"), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("end frames 30 exit 0"), std::string::npos) << r.output;
        EXPECT_FALSE(fs::exists(elsewhere / "Log.txt"));
    }

    static fs::path prefix;
    fs::path elsewhere;
};
fs::path Installed::prefix;

TEST_F(Installed, PrefixHoldsTheGameItsDataAValidMenuEntryAndTheIcons) {
    EXPECT_EQ(access((prefix / "bin/quillmoor").c_str(), X_OK), 0);
    EXPECT_TRUE(fs::is_regular_file(prefix / "share/quillmoor/data/texture/title.png"));
    EXPECT_TRUE(fs::is_regular_file(prefix / "share/quillmoor/data/sound/mecha01.wav"));
    EXPECT_TRUE(fs::is_regular_file(prefix / "share/quillmoor/data/xfile/gun.x"));

    const fs::path entry = prefix / "share/applications/quillmoor.desktop";
    Result valid = Shell("desktop-file-validate " + Quote(entry));
    EXPECT_EQ(valid.status, 0) << valid.output;
    EXPECT_EQ(valid.output, "");
    const std::string text = ReadAll(entry);
    EXPECT_NE(text.find("\nExec=\"" + (prefix / "bin/quillmoor").string() + "\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nIcon=quillmoor\n"), std::string::npos) << text;

    for (unsigned size : {16, 32, 48, 64, 128, 256}) {
        const std::string n = std::to_string(size);
        unsigned width = 0, height = 0;
        const auto icon = ReadPngArgb(prefix / "share/icons/hicolor" / (n + "x" + n) / "apps/quillmoor.png", width, height);
        EXPECT_EQ(icon.size(), size * size) << n;
        EXPECT_EQ(width, size);
        // With an alpha channel: some pixel is see-through.
        EXPECT_TRUE(std::any_of(icon.begin(), icon.end(), [](uint32_t c) { return (c >> 24) < 0xFF; })) << n;
    }
}

// The window shows the game's icon: the installed 64-pixel picture, pixel for pixel, in the window's
// _NET_WM_ICON (xprop prints it as width, height, then one ARGB word per pixel, rows top-down).
TEST_F(Installed, ItsWindowShowsTheGamesIcon) {
    std::ofstream(elsewhere / "icon.replay") << "answer no\nframes 240\n";
    Result r = Shell("cd " + Quote(elsewhere) + " && { ALSOFT_DRIVERS=null " + Quote(prefix / "bin/quillmoor") +
                     " --replay icon.replay > game.txt 2>&1 & pid=$!; "
                     "w=$(timeout 60 xdotool search --sync --pid $pid --name '^Quillmoor$' | head -n 1); "
                     "xprop -id \"$w\" -notype -f _NET_WM_ICON 32c _NET_WM_ICON; wait $pid; }");
    ASSERT_EQ(r.status, 0) << r.output << ReadAll(elsewhere / "game.txt");
    const size_t equals = r.output.find("_NET_WM_ICON = ");
    ASSERT_NE(equals, std::string::npos) << r.output;
    std::vector<uint32_t> words;
    std::istringstream in(r.output.substr(equals + 15));
    for (uint32_t w; in >> w; in.ignore(1)) words.push_back(w);

    unsigned width = 0, height = 0;
    const std::vector<uint32_t> icon =
        ReadPngArgb(prefix / "share/icons/hicolor/64x64/apps/quillmoor.png", width, height);
    ASSERT_EQ(icon.size(), 64u * 64u);
    ASSERT_EQ(words.size(), 2 + icon.size());
    EXPECT_EQ(words[0], width);
    EXPECT_EQ(words[1], height);
    EXPECT_TRUE(std::equal(icon.begin(), icon.end(), words.begin() + 2));
}

TEST_F(Installed, StartedFromAnotherFolderItLogsBesideItsData) {
    const fs::path state = elsewhere / "state";
    Result r = play(state);
    expectTitleThenEscape(r);
    EXPECT_TRUE(std::regex_match(ReadAll(prefix / "share/quillmoor/Log.txt"), kNormalEnd));
    EXPECT_FALSE(fs::exists(state));
}

TEST_F(Installed, WithItsDataFolderReadOnlyItLogsInTheStateFolder) {
    const fs::path state = elsewhere / "state";
    fs::create_directories(state);
    std::string as;
    if (geteuid() == 0) {
        // Root writes through any mode: play as an ordinary user, for whom the prefix is read-only.
        ASSERT_EQ(chown(state.c_str(), 65534, 65534), 0);
        as = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    } else {
        fs::permissions(prefix / "share/quillmoor",
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }
    Result r = play(state, as);
    fs::permissions(prefix / "share/quillmoor", fs::perms::owner_write, fs::perm_options::add);
    expectTitleThenEscape(r);
    EXPECT_FALSE(fs::exists(prefix / "share/quillmoor/Log.txt"));
    EXPECT_TRUE(std::regex_match(ReadAll(state / "quillmoor/Log.txt"), kNormalEnd));
    EXPECT_EQ(fs::read_symlink(state / "quillmoor/data"), prefix / "share/quillmoor/data");
}

}  // namespace
