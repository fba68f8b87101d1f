// Where the Windows build runs: beside its data when Log.txt can be written there, otherwise in the
// user's own folder, which then leads to the data through a junction.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "windows/game_folder.h"

namespace {

namespace fs = std::filesystem;

class WindowsFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / "quillmoor_folder_test";
        fs::remove_all(root);
        fs::create_directories(root / "game" / "data");
        std::ofstream(root / "game" / "data" / "stagedata.txt") << "stage1.txt\n";
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path root;
};

TEST_F(WindowsFolder, TheGamesOwnFolderWhenTheLogCanBeWrittenThere) {
    std::string error;
    std::wstring game = (root / "game").wstring();
    EXPECT_TRUE(windows::canWriteLog(game));
    EXPECT_FALSE(fs::exists(root / "game" / "Log.txt.probe"));  // the probe is gone again
    EXPECT_EQ(windows::chooseRunFolder(game, L"", [](const std::wstring&) { return true; }, error), game);
    // A Log.txt that is a folder cannot be written.
    fs::create_directories(root / "game" / "Log.txt");
    EXPECT_FALSE(windows::canWriteLog(game));
}

TEST_F(WindowsFolder, TheUsersFolderWithItsDataJunctionOtherwise) {
    std::string error;
    std::wstring game = (root / "game").wstring(), state = (root / "Quillmoor").wstring();
    auto onlyState = [&](const std::wstring& f) { return f == state; };
    EXPECT_EQ(windows::chooseRunFolder(game, L"", onlyState, error), L"");
    EXPECT_NE(error.find("LOCALAPPDATA"), std::string::npos);

    error.clear();
    std::wstring run = windows::chooseRunFolder(game, state, onlyState, error);
    if (run.empty() && error.find("cannot make a junction") != std::string::npos)
        GTEST_SKIP() << "this system makes no junctions (Wine): " << error;
    ASSERT_EQ(run, state) << error;
    std::ifstream list(root / "Quillmoor" / "data" / "stagedata.txt");
    std::string line;
    EXPECT_TRUE(std::getline(list, line));
    EXPECT_EQ(line, "stage1.txt");
    // Something else in the way of the junction is reported, not replaced.
    fs::remove(root / "Quillmoor" / "data");
    fs::create_directories(root / "Quillmoor" / "data");
    EXPECT_EQ(windows::chooseRunFolder(game, state, onlyState, error), L"");
    EXPECT_NE(error.find("in the way"), std::string::npos);
}

}  // namespace
