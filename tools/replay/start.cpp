// Starting a replay on a stage and applying its actions.
#include "start.h"

#include <cstdio>

#include "app/globals.h"
#include "app/scene_manager.h"

namespace replay {

void StartOnStage(int stage) {
    if (!g_sceneManager || g_fatalError) return;
    g_stageIndex = stage;
    g_sceneManager->current->Leave();
    g_sceneManager->current = g_sceneManager->scenes[SCENE_LOAD];
    g_sceneManager->current->Enter();
}

void ActionPlayer::PlugPad(bool connected) {
    if (connected == padConnected) return;
    padConnected = connected;
    if (!driver.PadConnect(connected) && !padFailed) {
        std::fprintf(stderr, "no gamepad could be plugged in (%s backends)\n", driver.Name());
        padFailed = true;
    }
}

void ActionPlayer::Apply(const Action& a) {
    switch (a.kind) {
    case Action::Hold: driver.HoldKey(a.vk, true); break;
    case Action::Release: driver.HoldKey(a.vk, false); break;
    case Action::KeyDown: driver.PushKeyDown(a.vk); break;
    case Action::Mouse: driver.MoveMouse(a.dx, a.dy); break;
    case Action::Close: driver.PushClose(); break;
    case Action::PadConnect: PlugPad(true); break;
    case Action::PadDisconnect: PlugPad(false); break;
    case Action::PadHold:
    case Action::PadRelease:
        PlugPad(true);
        driver.PadButton(a.vk, a.kind == Action::PadHold);
        break;
    case Action::PadAxes:
        PlugPad(true);
        driver.PadAxis(a.vk, a.dx);
        if (a.twoAxes) driver.PadAxis(a.vk + 1, a.dy);
        break;
    }
}

void ActionPlayer::ApplyFrame(const Replay& script, int frame) {
    auto range = script.actions.equal_range(frame);
    for (auto it = range.first; it != range.second; ++it) Apply(it->second);
}

}  // namespace replay
