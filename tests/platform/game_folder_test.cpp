// Where the game runs: its data found from candidate folders, the state folder, the log's writability,
// and the run folder that Log.txt lands in (a
// writable data folder is where the installed game runs, as the install tests check).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "desktop/game_folder.h"
#include "support/game_run.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

void WriteText(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

// What the game's own log open does: append, creating the file.
bool LogOpens(const fs::path& folder) {
    bool existed = fs::exists(folder / "Log.txt");
    std::FILE* f = std::fopen((folder / "Log.txt").c_str(), "ab");
    if (!f) return false;
    std::fclose(f);
    if (!existed) fs::remove(folder / "Log.txt");
    return true;
}

TEST(GameFolder, DataRootIsTheFirstCandidateHoldingADataFolder) {
    TempFolder t;
    fs::create_directories(t.path() / "bin");
    WriteText(t.path() / "file/data", "a file, not a folder");
    fs::create_directories(t.path() / "share/quillmoor/data");
    fs::create_directories(t.path() / "source/data");
    const fs::path bin = t.path() / "bin";
    EXPECT_EQ(desktop::findDataRoot({"", bin, t.path() / "file", bin / "../share/quillmoor", t.path() / "source"}),
              fs::canonical(t.path() / "share/quillmoor"));
    EXPECT_EQ(desktop::findDataRoot({bin, t.path() / "source"}), fs::canonical(t.path() / "source"));
    EXPECT_TRUE(desktop::findDataRoot({bin, t.path() / "file", t.path() / "missing"}).empty());
}

TEST(GameFolder, StateFolderFollowsXdgStateHomeThenHome) {
    EXPECT_EQ(desktop::stateFolder("/var/x/state", "/home/ann"), fs::path("/var/x/state/quillmoor"));
    // A relative XDG_STATE_HOME does not count.
    EXPECT_EQ(desktop::stateFolder("state", "/home/ann"), fs::path("/home/ann/.local/state/quillmoor"));
    EXPECT_EQ(desktop::stateFolder("", "/home/ann"), fs::path("/home/ann/.local/state/quillmoor"));
    EXPECT_EQ(desktop::stateFolder(nullptr, "/home/ann"), fs::path("/home/ann/.local/state/quillmoor"));
    EXPECT_TRUE(desktop::stateFolder(nullptr, nullptr).empty());
    EXPECT_TRUE(desktop::stateFolder("", "home").empty());
}

TEST(GameFolder, LogWritabilityAgreesWithOpeningTheLog) {
    TempFolder t;
    const fs::path plain = t.path() / "plain", folderLog = t.path() / "folder-log", locked = t.path() / "locked",
                   lockedLog = t.path() / "locked-log";
    fs::create_directories(plain);
    fs::create_directories(folderLog / "Log.txt");
    fs::create_directories(locked);
    chmod(locked.c_str(), 0555);
    WriteText(lockedLog / "Log.txt", "old\r\n");
    chmod((lockedLog / "Log.txt").c_str(), 0444);

    EXPECT_TRUE(desktop::canWriteLog(plain));
    EXPECT_TRUE(LogOpens(plain));
    EXPECT_FALSE(desktop::canWriteLog(folderLog));
    EXPECT_FALSE(desktop::canWriteLog(t.path() / "missing"));
    // Read-only modes stop everyone but root: whoever runs this, the answer is what the open does.
    EXPECT_EQ(desktop::canWriteLog(locked), LogOpens(locked));
    EXPECT_EQ(desktop::canWriteLog(lockedLog), LogOpens(lockedLog));
    chmod(locked.c_str(), 0755);
}

class RunFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root = t.path() / "share/quillmoor";
        state = t.path() / "state/quillmoor";
        WriteText(root / "data/stagedata.txt", "stage1.txt\n");
    }
    fs::path choose(const fs::path& dataRoot) {
        error.clear();
        // Only the state folder can be written to.
        return desktop::chooseRunFolder(
            dataRoot, state, [&](const fs::path& p) { return p == state; }, error);
    }
    TempFolder t;
    fs::path root, state;
    std::string error;
};

TEST_F(RunFolder, ReadOnlyDataRootRunsInTheStateFolderThroughALink) {
    ASSERT_EQ(choose(root), state) << error;
    // The folders it made are the user's own.
    EXPECT_EQ(fs::status(state).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(state.parent_path()).permissions(), fs::perms::owner_all);
    ASSERT_TRUE(fs::is_symlink(state / "data"));
    EXPECT_EQ(fs::read_symlink(state / "data"), root / "data");
    EXPECT_EQ(ReadFile(state / "data/stagedata.txt"), "stage1.txt\n");

    // Again: the link stays as it is.
    ASSERT_EQ(choose(root), state) << error;
    EXPECT_EQ(fs::read_symlink(state / "data"), root / "data");

    // Another install: the link follows it and nothing else is left in the state folder.
    const fs::path other = t.path() / "opt/share/quillmoor";
    WriteText(other / "data/stagedata.txt", "other.txt\n");
    ASSERT_EQ(choose(other), state) << error;
    EXPECT_EQ(ReadFile(state / "data/stagedata.txt"), "other.txt\n");
    int entries = 0;
    for (const auto& e : fs::directory_iterator(state)) entries += e.path().filename() != "data";
    EXPECT_EQ(entries, 0);
}

TEST_F(RunFolder, SomethingElseNamedDataInTheStateFolderIsLeftAlone) {
    WriteText(state / "data/mine.txt", "keep me");
    EXPECT_TRUE(choose(root).empty());
    EXPECT_NE(error.find("in the way"), std::string::npos) << error;
    EXPECT_EQ(ReadFile(state / "data/mine.txt"), "keep me");

    EXPECT_TRUE(desktop::chooseRunFolder(
                    root, "", [](const fs::path&) { return false; }, error)
                    .empty());
    EXPECT_NE(error.find("XDG_STATE_HOME"), std::string::npos) << error;
}

}  // namespace
