// The soak run: the real game, headless, played for many frames by seeded random input (keys, mouse
// and a gamepad that is now and then pulled out and plugged in again) over all four stages. It fails
// on a crash (by dying), on a player state that is not a finite number, and on resident
// memory that grows by more than 1 MB between the first stage load and the end.
//   quillmoor_soak [--dir DIR] [--frames N] [--seed S]
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/globals.h"
#include "app/scene_manager.h"
#include "headless/control.h"
#include "pad/pad.h"
#include "player/player_state.h"

namespace {

// Resident memory of this process, in kilobytes, after the allocator has handed its free memory back
// (what a leak would keep stays counted; what the allocator merely kept for reuse does not).
long ResidentKb() {
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

bool Finite(const D3DXVECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool PlayerFinite() {
    const PlayerState& p = g_player;
    if (!Finite(p.position) || !Finite(p.lookAt) || !Finite(p.up) || !Finite(p.velocity) || !Finite(p.bobOffset))
        return false;
    for (int i = 0; i < 4; ++i)
        if (!Finite(p.bulgeCenter[i]) || !std::isfinite(p.bulgeRadius[i])) return false;
    return std::isfinite(p.yaw) && std::isfinite(p.pitch) && std::isfinite(p.health) && std::isfinite(p.landingDip) &&
           std::isfinite(p.fallSpin);
}

bool InGame() {
    return g_sceneManager && g_sceneManager->current && g_sceneManager->current == g_sceneManager->scenes[2];
}

// The pad: buttons flip like the keys, sticks and triggers jump to new places now and then. Back is let
// go within half a second, so it never quits; every few thousand frames the pad is pulled out or
// plugged in again.
void PlayPad(std::mt19937& rng) {
    static bool started = false, connected = false;
    static bool held[pad::kButtonCount] = {};
    static int backFrames = 0;
    if (!started || rng() % (connected ? 3000 : 300) == 0) {
        started = true;
        connected = !connected;
        headless::connectPad(connected);
        for (bool& b : held) b = false;
    }
    if (!connected) return;
    for (int b = 0; b < pad::kButtonCount; ++b) {
        if (held[b] ? rng() % 8 == 0 : rng() % 60 == 0) held[b] = !held[b];
        headless::holdPadButton(b, held[b]);
    }
    backFrames = held[pad::Back] ? backFrames + 1 : 0;
    if (backFrames == 30) held[pad::Back] = false, backFrames = 0;  // let go in the next frame
    for (int a = 0; a < pad::kAxisCount; ++a)
        if (rng() % 30 == 0) {
            const bool trigger = a == pad::LeftTrigger || a == pad::RightTrigger;
            headless::setPadAxis(a, trigger ? int(rng() % 32768) : int(rng() % 65536) - 32768);
        }
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = ".";
    long frames = 100000;
    unsigned seed = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else if (arg == "--frames" && i + 1 < argc)
            frames = std::atol(argv[++i]);
        else if (arg == "--seed" && i + 1 < argc)
            seed = unsigned(std::strtoul(argv[++i], nullptr, 10));
        else {
            std::fprintf(stderr, "usage: %s [--dir DIR] [--frames N] [--seed S]\n", argv[0]);
            return 2;
        }
    }
    if (frames < 1000 || frames > 100000000) {
        std::fprintf(stderr, "--frames must be from 1000 to 100000000\n");
        return 2;
    }
    std::error_code ec;
    std::filesystem::current_path(dir, ec);
    if (ec) {
        std::fprintf(stderr, "cannot enter %s\n", dir.c_str());
        return 2;
    }

    headless::reset();
    headless::queueAnswer(IDNO);  // windowed
    headless::setFrameLimit(int(frames));

    // The run is cut into five equal shares, played on stages 1, 2, 3, 4 and 1 again (so that the end
    // is measured on the stage of the first load). When a share is over, the next stage is chosen and
    // the player dies, so that the game's own death and reload bring it in.
    const long share = frames / 5;
    std::mt19937 rng(seed);
    const int keys[] = {'W', 'A', 'S', 'D', VK_SPACE, 'E', VK_LBUTTON, VK_RBUTTON, VK_LEFT, VK_RIGHT};
    bool held[std::size(keys)] = {};
    long firstLoadKb = -1, endKb = -1, badFrame = -1, stagesSeen = 0;
    int lastStage = 0;
    std::string failure;

    headless::onFrame([&](int frame) {
        if (!failure.empty()) return;
        if (InGame()) {
            if (firstLoadKb < 0) firstLoadKb = ResidentKb();
            if (g_stageIndex != lastStage) {
                lastStage = g_stageIndex, ++stagesSeen;
                std::printf("frame %d stage %d rss-kb %ld voices %d\n", frame, g_stageIndex, ResidentKb(),
                            headless::soundVoiceCount());
            }
            if (!PlayerFinite()) {
                failure = "the player's state is not finite";
                badFrame = frame;
                headless::pushClose();
                return;
            }
            const long part = std::min<long>(4, frame / share);
            const int wanted = part == 4 ? 1 : 1 + int(part);
            if (frame >= frames - 2) endKb = ResidentKb();
            if (g_stageIndex != wanted && !g_player.dead) {
                g_stageIndex = wanted;
                g_player.health = 0;
            }
        } else {
            // Leave the title and the clear screen: Enter, pressed now and then.
            headless::holdKey(VK_RETURN, (frame / 7) % 2 == 0);
        }
        // Keys: each flips now and then, so presses last from a frame to a few seconds. The arrow keys
        // (mouse speed) are let go quickly, so the divisor wanders but stays usable.
        for (size_t k = 0; k < std::size(keys); ++k) {
            const unsigned flipOdds = (keys[k] == VK_LEFT || keys[k] == VK_RIGHT) ? 400 : 40;
            if (held[k] ? rng() % 8 == 0 : rng() % flipOdds == 0) {
                held[k] = !held[k];
                headless::holdKey(keys[k], held[k]);
            }
        }
        const int dx = int(rng() % 61) - 30, dy = int(rng() % 41) - 20;
        headless::moveMouse(dx, dy);
        PlayPad(rng);
    });

    char commandLine[] = "";
    const int status = WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT);
    const int ran = headless::frameCount();
    std::printf("soak frames %d seed %u exit %d stages-entered %ld rss-first-load-kb %ld rss-end-kb %ld\n", ran, seed,
                status, stagesSeen, firstLoadKb, endKb);
    if (!failure.empty()) {
        std::printf("FAIL at frame %ld: %s\n", badFrame, failure.c_str());
        return 1;
    }
    if (firstLoadKb < 0 || endKb < 0 || stagesSeen < 5) {
        std::printf("FAIL: the run did not go through all four stages and back to the first\n");
        return 1;
    }
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer holds freed memory in quarantine, so resident memory says nothing here; its leak
    // check at exit does the job instead.
    const bool checkMemory = false;
#else
    const bool checkMemory = true;
#endif
    if (checkMemory && std::labs(endKb - firstLoadKb) > 1024) {
        std::printf("FAIL: resident memory changed by %ld kB\n", endKb - firstLoadKb);
        return 1;
    }
    return 0;
}
