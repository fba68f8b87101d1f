// Message boxes go to the desktop's dialog program: it gets the game's title, the text as plain text and
// one button per answer, and the label it prints back is the answer. Without the program the caller
// falls back to SDL's own box. A stand-in "zenity" on PATH plays the dialog.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "sdl/sdl_window.h"

namespace {

namespace fs = std::filesystem;

class DesktopDialog : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("quillmoor-dialog-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        const char* path = std::getenv("PATH");
        oldPath = path ? path : "";
        setenv("PATH", dir.c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", oldPath.c_str(), 1);
        fs::remove_all(dir);
    }
    // A dialog that records its arguments one per line and prints `reply` as the button pressed.
    void dialogPrints(const std::string& reply, int status = 1) {
        std::ofstream script(dir / "zenity");
        script << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << (dir / "args").string()
               << "'\nprintf '" << reply << "'\nexit " << status << "\n";
        script.close();
        chmod((dir / "zenity").c_str(), 0755);
    }
    std::string arguments() {
        std::ifstream in(dir / "args");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir;
    std::string oldPath;
};

const char* const kYesNo[] = {"はい", "いいえ"};
const char* const kOk[] = {"OK"};

TEST_F(DesktopDialog, TheLabelPrintedIsTheButtonPressed) {
    // Closed with the window's own button or Escape, nothing is printed; something else printed is no
    // button of ours either.
    for (auto [printed, answer] : {std::pair{"いいえ\\n", 1}, {"はい\\n", 0}, {"", sdl::kDialogClosed},
                                   {"OK\\n", sdl::kDialogClosed}}) {
        dialogPrints(printed);
        EXPECT_EQ(sdl::desktopDialog("確認", "フルスクリーンで起動しますか？", kYesNo, 2, false), answer) << printed;
    }
}

TEST_F(DesktopDialog, GetsTheTitlePlainTextAndOneButtonPerAnswerInOrder) {
    dialogPrints("OK\\n");
    EXPECT_EQ(sdl::desktopDialog("ERROR", "a <b> & \"c\"\nline two", kOk, 1, true), 0);
    EXPECT_EQ(arguments(),
              "--question\n--switch\n--no-wrap\n--no-markup\n--icon-name=dialog-error\n--title=ERROR\n"
              "--text=a <b> & \"c\"\nline two\n--extra-button=OK\n");
    dialogPrints("");
    sdl::desktopDialog("確認", "x", kYesNo, 2, false);
    EXPECT_EQ(arguments(), "--question\n--switch\n--no-wrap\n--no-markup\n--icon-name=dialog-information\n"
                           "--title=確認\n--text=x\n--extra-button=はい\n--extra-button=いいえ\n");
}

TEST_F(DesktopDialog, WithoutTheProgramTheCallerFallsBack) {
    EXPECT_EQ(sdl::desktopDialog("確認", "x", kYesNo, 2, false), sdl::kDialogUnavailable);
    // Found but not runnable by the shell that starts it.
    dialogPrints("はい\\n", 127);
    EXPECT_EQ(sdl::desktopDialog("確認", "x", kYesNo, 2, false), sdl::kDialogUnavailable);
}

}  // namespace
