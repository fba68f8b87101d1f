// The game frame on a shipped stage: the stage is loaded straight away (the load frame is timed as the
// stage's load time), three bulges are fired into it and left to grow, and then every frame is timed.
//   quillmoor_stage_bench      [--dir DIR] [--stage N] [--frames N] [--bulges 0..3]   (headless)
//   quillmoor_stage_bench_real [--dir DIR] [--stage N] [--frames N] [--bulges 0..3]   (real, unpaced)
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/scene_manager.h"
#include "player/player_state.h"
#include "tools/replay/driver.h"
#include "tools/replay/start.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// CPU time of this thread in milliseconds: on a machine shared with other work the wall clock also
// counts the time the frame waited for a core.
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = ".";
    int stage = 4, frames = 2000, bulges = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else if (arg == "--stage" && i + 1 < argc)
            stage = std::atoi(argv[++i]);
        else if (arg == "--frames" && i + 1 < argc)
            frames = std::atoi(argv[++i]);
        else if (arg == "--bulges" && i + 1 < argc)
            bulges = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "usage: %s [--dir DIR] [--stage N] [--frames N] [--bulges 0..3]\n", argv[0]);
            return 2;
        }
    }
    if (stage < 1 || stage > 4 || frames < 10 || frames > 1000000 || bulges < 0 || bulges > 3) {
        std::fprintf(stderr, "stage 1 to 4, frames 10 to 1000000, bulges 0 to 3\n");
        return 2;
    }
    std::error_code ec;
    std::filesystem::current_path(dir, ec);
    if (ec) {
        std::fprintf(stderr, "cannot enter %s\n", dir.c_str());
        return 2;
    }

    replay::Driver& driver = replay::PlatformDriver();
    driver.Prepare(true);
    driver.QueueAnswer(IDNO);
    // Set-up: frame 0 loads the stage; the view is tipped down and the shots go out three frames
    // apart, turning a little between them; 45 frames later the last bulge has grown to its full size.
    const int firstTimed = 20 + 3 * bulges + 45;
    driver.SetFrameLimit(firstTimed + frames + 1);
    std::vector<double> times, cpu;
    times.reserve(size_t(frames));
    cpu.reserve(size_t(frames));
    double loadMs = 0;
    int otherScenes = 0;  // frames out of the game scene after the load: a death's reload, or the goal
    Clock::time_point last{};
    double lastCpu = 0, loadCpuMs = 0;
    driver.OnFrame([&](int frame) {
        const Clock::time_point now = Clock::now();
        const double nowCpu = ThreadCpuMs();
        if (frame == 1) loadMs = Ms(now - last), loadCpuMs = nowCpu - lastCpu;
        if (frame > firstTimed) times.push_back(Ms(now - last)), cpu.push_back(nowCpu - lastCpu);
        if (frame > 1 && g_sceneManager && g_sceneManager->current != g_sceneManager->scenes[SCENE_GAME]) ++otherScenes;
        if (frame == 0) replay::StartOnStage(stage);
        if (frame == 10) driver.MoveMouse(0, 300);  // 20 degrees down
        for (int b = 0; b < bulges; ++b) {
            if (frame == 20 + 3 * b) driver.HoldKey(VK_LBUTTON, true);
            if (frame == 21 + 3 * b) {
                driver.HoldKey(VK_LBUTTON, false);
                driver.MoveMouse(150, 0);  // 10 degrees to the right for the next one
            }
        }
        last = Clock::now();
        lastCpu = ThreadCpuMs();
    });
    char commandLine[] = "";
    const int status = WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT);
    int held = 0;
    for (int i = 0; i < 4; ++i) held += g_player.bulgeActive[i];
    std::printf(
        "stage %d %s frames %zu bulges-held %d frames-out-of-game %d load-ms wall %.2f cpu %.2f frame-ms wall "
        "median %.4f p95 %.4f cpu median %.4f p95 %.4f max %.4f exit %d\n",
        stage, driver.Name(), times.size(), held, otherScenes, loadMs, loadCpuMs, Percentile(times, 0.5),
        Percentile(times, 0.95), Percentile(cpu, 0.5), Percentile(cpu, 0.95),
        cpu.empty() ? 0.0 : *std::max_element(cpu.begin(), cpu.end()), status);
    return status;
}
