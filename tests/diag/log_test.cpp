// The log's line format, its file encoding and its appending.
#include <gtest/gtest.h>

#include "diag/log.h"
#include "support/game_run.h"

using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::Utf8ToCp932;

namespace {

TEST(LogTimestamp, FormatAndEnglishDayNames) {
    const char* expected[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    for (int day = 0; day < 7; ++day) {
        std::tm t{};
        t.tm_year = 2026 - 1900;
        t.tm_mon = 11;
        t.tm_mday = 6 + day;
        t.tm_hour = 4;
        t.tm_min = 2;
        t.tm_sec = 9;
        t.tm_wday = day;
        char want[64];
        std::snprintf(want, sizeof want, "2026/12/%02d(%s) 04:02:09", 6 + day, expected[day]);
        EXPECT_EQ(FormatTimestamp(t), want);
    }
    // The clock's own time stamp is matched by the log line pattern of every test that reads the log.
}

TEST(LogStream, WritesCp932WithCrLfAndAppends) {
    TempFolder folder;
    {
        LogStream log;
        log.open("Log.txt");
        ASSERT_FALSE(log.fail());
        log << "a ||  メモリ確保に失敗しました" << std::endl;
        // Each line is on disk as soon as it is written.
        EXPECT_EQ(ReadFile("Log.txt"), "a ||  " + Utf8ToCp932("メモリ確保に失敗しました") + "\r\n");
        log.close();
    }
    {
        LogStream log;
        log.open("Log.txt");
        log << "b ～" << std::endl;  // U+FF5E is 0x8160 in code page 932 (not in plain Shift_JIS)
        log.close();
    }
    EXPECT_EQ(ReadFile("Log.txt"), "a ||  " + Utf8ToCp932("メモリ確保に失敗しました") + "\r\nb \x81\x60\r\n");
}

TEST(LogStream, ClosedOrFailedStreamDropsLines) {
    TempFolder folder;
    LogStream log;
    log << "never written" << std::endl;
    std::filesystem::create_directory("Log.txt");  // a folder cannot be opened as a file
    log.open("Log.txt");
    EXPECT_TRUE(log.fail());
    log << "dropped" << std::endl;
    EXPECT_TRUE(std::filesystem::is_directory("Log.txt"));
}

TEST(LogStream, OnlyTheGamesTextIsConvertedAndWhatCannotBeBecomesAQuestionMark) {
    TempFolder folder;
    LogStream log;
    log.open("Log.txt");
    log << "x\xF0\x9F\x98\x80y" << std::endl;  // an emoji has no code page 932 form
    // "ｽﾄ.png" in code page 932 is C3 BD C4: valid UTF-8 at its start, yet a name, so never converted.
    const std::string cp932Name = "\xC3\xBD\xC4.png";
    log << "[";
    log.writeRaw(cp932Name);
    log << "] 正常\xFF" << std::endl;  // a byte that is not UTF-8 in the game's own text is a mistake: "?"
    // A character split across two writes survives.
    const std::string end = "終";
    log << end.substr(0, 1);
    log.flush();
    log << end.substr(1) << std::endl;
    log.close();
    EXPECT_EQ(ReadFile("Log.txt"),
              "x?y\r\n[" + cp932Name + "] " + Utf8ToCp932("正常") + "?\r\n" + Utf8ToCp932("終") + "\r\n");
}

}  // namespace
