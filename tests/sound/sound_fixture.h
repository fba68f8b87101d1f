// A sound bank on the headless output, in a temporary folder with an open log, for the sound tests.
#pragma once

#include <gtest/gtest.h>

#include "app/globals.h"
#include "diag/log.h"
#include "headless/control.h"
#include "sound/sound_bank.h"
#include "support/game_run.h"
#include "support/sound_files.h"

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::ResetForNewRun();
        g_hWnd = reinterpret_cast<HWND>(&windowStandIn);
        g_log.open("Log.txt");
    }
    void TearDown() override {
        delete bank;
        g_log.close();
        g_hWnd = nullptr;
        g_fatalError = false;
        headless::reset();
    }
    SoundBank& openBank() {
        bank = new SoundBank();
        EXPECT_TRUE(bank->CreateDevice());
        return *bank;
    }
    std::string log() {
        g_log.flush();
        return testing_support::ReadFile("Log.txt");
    }

    testing_support::TempFolder folder;
    SoundBank* bank = nullptr;
    int windowStandIn = 0;
};
