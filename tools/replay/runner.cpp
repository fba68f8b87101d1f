// The replay runner: plays the real game (its start-up, frames and shutdown) from a replay file and
// reports what happened frame by frame.
#include "runner.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/globals.h"
#include "driver.h"
#include "seam/trace.h"
#include "sound/sound_bank.h"
#include "replay.h"
#include "report.h"
#include "screenshot.h"
#include "start.h"

namespace {

int g_reportFrame = -1;  // the frame being run; -1 during start-up

void ReportSound(const SoundCall& call) {
    std::printf("frame %d %s\n", g_reportFrame,
                replay::DescribeSound(call.play, call.name, call.volume, call.flags).c_str());
}

void ReportBox(const char* text, const char* caption, unsigned type, int answer) {
    std::string line = replay::DescribeBox(text, caption, type, answer);
    if (g_reportFrame < 0)
        std::printf("start %s\n", line.c_str());
    else
        std::printf("frame %d %s\n", g_reportFrame, line.c_str());
}

const char* const kUsage = "usage: %s [--dir DIR] [--unpaced] [--stage N] REPLAY\n";

}  // namespace

int replay::RunCommandLine(int argc, char** argv, void (*enterGameFolder)()) {
    auto processStart = std::chrono::steady_clock::now();
    std::string dir, path;
    bool unpaced = false;
    int stage = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else if (arg == "--stage" && i + 1 < argc && std::atoi(argv[i + 1]) >= 1)
            stage = std::atoi(argv[++i]);
        else if (arg == "--unpaced")
            unpaced = true;
        else if (path.empty() && arg[0] != '-')
            path = arg;
        else {
            std::fprintf(stderr, kUsage, argv[0]);
            return 2;
        }
    }
    if (path.empty()) {
        std::fprintf(stderr, kUsage, argv[0]);
        return 2;
    }
    replay::Replay script;
    std::string error;
    if (!replay::Load(std::filesystem::absolute(path).string(), script, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (!dir.empty()) {
        std::error_code ec;
        std::filesystem::current_path(dir, ec);
        if (ec) {
            std::fprintf(stderr, "cannot enter %s\n", dir.c_str());
            return 2;
        }
    } else if (enterGameFolder) {
        enterGameFolder();
    }

    if (stage == 0) stage = script.stage;

    replay::Driver& driver = replay::PlatformDriver();
    driver.Prepare(unpaced);
    // A stage replay has no full-screen question to answer: the runner says no (windowed) itself.
    if (stage > 0) driver.QueueAnswer(IDNO);
    for (int answer : script.answers) driver.QueueAnswer(answer);
    g_soundCallObserver = ReportSound;
    seam::messageBoxHook = ReportBox;
    if (script.frames > 0) driver.SetFrameLimit(script.frames);
    std::uintmax_t logBefore = std::filesystem::exists("Log.txt") ? std::filesystem::file_size("Log.txt") : 0;

    bool shotsFailed = false;
    replay::ActionPlayer actions(driver);
    double firstFrameMs = 0;
    std::chrono::steady_clock::time_point firstFrameAt{};
    driver.OnFrame([&](int frame) {
        g_reportFrame = frame;
        if (frame == 0 && stage > 0) replay::StartOnStage(stage);
        if (frame == 1) {
            firstFrameAt = std::chrono::steady_clock::now();
            firstFrameMs = std::chrono::duration<double, std::milli>(firstFrameAt - processStart).count();
        }
        // The picture of the frame just presented is still in the back buffer.
        auto shot = script.shots.find(frame - 1);
        if (shot != script.shots.end()) {
            std::vector<uint32_t> pixels;
            if (!driver.Capture(pixels) || !replay::WritePng(shot->second, pixels, 640, 480)) {
                std::fprintf(stderr, "no screenshot for frame %d (%s backends)\n", shot->first, driver.Name());
                shotsFailed = true;
            }
        }
        actions.ApplyFrame(script, frame);
        if (script.Prints(frame))
            std::printf("%s\n%s\n", replay::DescribeFrame(frame).c_str(), replay::DescribePlayer().c_str());
        if (script.ListsObjects(frame)) std::printf("%s", replay::DescribeObjects().c_str());
    });

    auto start = std::chrono::steady_clock::now();
    char commandLine[] = "";
    int status = WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT);
    g_reportFrame = driver.FrameCount();
    std::fflush(stdout);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int frames = driver.FrameCount();
    // The pace of the frames after the first, without start-up and shutdown.
    double running =
        frames > 1 ? std::chrono::duration<double>(std::chrono::steady_clock::now() - firstFrameAt).count() : 0;
    std::printf("end frames %d exit %d seconds %.3f fps %.1f first-frame-ms %.1f (%s)\n", frames, status, seconds,
                running > 0 ? (frames - 1) / running : 0.0, firstFrameMs, driver.Name());
    std::printf("%s", replay::DescribeNewLog("Log.txt", logBefore).c_str());
    return shotsFailed || actions.PadFailed() ? 3 : status;
}
