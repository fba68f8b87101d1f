// quillmoor_shortcuts: searches the stages for ways round their puzzles, headless, and writes a replay
// of every one it finds.
//   quillmoor_shortcuts [--dir DIR] [--gates DIR] [--stage N] [--seed S] [--runs N] [--seconds N]
//                       [--frames N] [--jobs N] [--first] [--out DIR]
//   quillmoor_shortcuts [--dir DIR] [--gates DIR] [--stage N] --check REPLAY
// DIR holds data/ (default: the current folder); the gates files are --gates/stageN.gates (default:
// DIR/tests/replays/steps). Exit status: 0 nothing found, 1 a gate was met, 2 the search could not be
// made (a bad option or file), 3 a run crashed.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "search.h"

namespace fs = std::filesystem;
using namespace shortcuts;

namespace {

const char* const kUsage =
    "usage: %s [--dir DIR] [--gates DIR] [--stage N] [--seed S] [--runs N] [--seconds N] [--frames N]\n"
    "          [--jobs N] [--first] [--out DIR]\n"
    "       %s [--dir DIR] [--gates DIR] [--stage N] --check REPLAY\n";

struct Options {
    std::string dir = ".", gates, out = "shortcuts-out", check;
    int stage = 0;
    Settings settings;
};

// A whole number from lo to hi, or false.
bool Count(const char* text, long lo, long hi, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return *text && !*end && value >= lo && value <= hi;
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long n = 0;
        if (arg == "--first") {
            o.settings.first = true;
        } else if (!hasValue) {
            return false;
        } else if (arg == "--dir") {
            o.dir = argv[++i];
        } else if (arg == "--gates") {
            o.gates = argv[++i];
        } else if (arg == "--out") {
            o.out = argv[++i];
        } else if (arg == "--check") {
            o.check = argv[++i];
        } else if (arg == "--stage" && Count(argv[i + 1], 1, 4, n)) {
            o.stage = static_cast<int>(n), ++i;
        } else if (arg == "--seed" && Count(argv[i + 1], 0, 4294967295L, n)) {
            o.settings.seed = static_cast<uint32_t>(n), ++i;
        } else if (arg == "--runs" && Count(argv[i + 1], 0, 10000000, n)) {
            o.settings.runs = static_cast<int>(n), ++i;
        } else if (arg == "--seconds" && Count(argv[i + 1], 1, 10000000, n)) {
            o.settings.seconds = static_cast<double>(n), ++i;
        } else if (arg == "--frames" && Count(argv[i + 1], 10, 100000, n)) {
            o.settings.frames = static_cast<int>(n), ++i;
        } else if (arg == "--jobs" && Count(argv[i + 1], 1, 64, n)) {
            o.settings.jobs = static_cast<int>(n), ++i;
        } else {
            return false;
        }
    }
    return true;
}

int Check(const Options& o) {
    replay::Replay script;
    std::string error;
    if (!replay::Load(o.check, script, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    const int stage = o.stage ? o.stage : script.stage;
    if (stage < 1 || stage > 4) {
        std::fprintf(stderr, "%s: the replay starts on no stage from 1 to 4 (a 'stage N' line, or --stage N)\n",
                     o.check.c_str());
        return 2;
    }
    Gates gates;
    if (!LoadGates(GatesPath(o.gates, stage), stage, gates, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    std::error_code ec;
    fs::current_path(o.dir, ec);
    if (ec) {
        std::fprintf(stderr, "cannot enter %s\n", o.dir.c_str());
        return 2;
    }
    return CheckReplay(script, gates);
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fprintf(stderr, kUsage, argv[0], argv[0]);
        return 2;
    }
    // Every path is taken from where the tool was started, before it enters DIR.
    if (o.gates.empty()) o.gates = (fs::path(o.dir) / "tests" / "replays" / "steps").string();
    o.gates = fs::absolute(o.gates).string();
    o.dir = fs::absolute(o.dir).string();
    if (!o.check.empty()) {
        o.check = fs::absolute(o.check).string();
        return Check(o);
    }
    // Without a limit of its own a search plays a fixed number of runs per checkpoint.
    if (o.settings.runs < 0 && o.settings.seconds == 0) o.settings.runs = 16;

    std::vector<int> stages;
    for (int s = 1; s <= 4; ++s)
        if (!o.stage || o.stage == s) stages.push_back(s);
    std::vector<StagePlan> plans(stages.size());
    for (size_t i = 0; i < stages.size(); ++i) {
        std::string error;
        if (!LoadStagePlan(o.gates, stages[i], plans[i], error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
    }
    std::error_code ec;
    fs::create_directories(o.out, ec);
    o.settings.out = fs::absolute(o.out).string();
    if (ec || !fs::is_directory(o.settings.out)) {
        std::fprintf(stderr, "cannot make the folder %s\n", o.out.c_str());
        return 2;
    }
    fs::current_path(o.dir, ec);
    if (ec) {
        std::fprintf(stderr, "cannot enter %s\n", o.dir.c_str());
        return 2;
    }
    // The campaign's time is shared out evenly over the stages (and, in each, over its checkpoints).
    Settings perStage = o.settings;
    perStage.seconds = o.settings.seconds / static_cast<double>(stages.size());

    // Each stage in a process of its own, which runs the game from its start.
    std::vector<Totals> totals(stages.size());
    for (size_t i = 0; i < stages.size(); ++i) {
        int fds[2];
        if (pipe(fds) != 0) return 2;
        std::fflush(stdout);
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            const Totals t = SearchStage(plans[i], perStage);
            std::fflush(stdout);
            const bool sent = write(fds[1], &t, sizeof t) == static_cast<ssize_t>(sizeof t);
            _exit(sent ? 0 : 1);
        }
        close(fds[1]);
        if (pid < 0) return 2;
        int status = 0;
        const ssize_t got = read(fds[0], &totals[i], sizeof totals[i]);
        close(fds[0]);
        waitpid(pid, &status, 0);
        if (got != static_cast<ssize_t>(sizeof totals[i])) {
            std::printf("stage %d: the search ended without its totals\n", stages[i]);
            totals[i].failed = true;
        }
    }

    bool found = false, failed = false, crashed = false;
    for (size_t i = 0; i < stages.size(); ++i) {
        const Totals& t = totals[i];
        std::printf("stage %d runs %d frames %ld seconds %.1f shortcuts %d%s%s\n", stages[i], t.runs, t.frames,
                    t.seconds, t.shortcuts, t.crashes ? (" crashes " + std::to_string(t.crashes)).c_str() : "",
                    t.failed ? " failed" : "");
        found = found || t.shortcuts > 0;
        failed = failed || t.failed;
        crashed = crashed || t.crashes > 0;
    }
    return failed ? 2 : crashed ? 3 : found ? 1 : 0;
}
