// The search: the solution played once, forks at the checkpoints, random runs and sweeps as children.
#include "search.h"

#include <sys/wait.h>
#include <unistd.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>

#include "app/globals.h"
#include "explorer.h"
#include "headless/control.h"
#include "player/player_state.h"
#include "tools/replay/driver.h"
#include "tools/replay/start.h"
#include "watch.h"

namespace shortcuts {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kDefaultCheckpoints = 4;
constexpr int kSweepLongest = 600;  // frames a sweep's start plays when its fragment names no length

// What a child hands back through its pipe, in one write.
struct Outcome {
    int32_t frames = 0;  // played from the checkpoint
    int32_t gate = -1;   // the first gate met, or -1
    int32_t frame = -1;  // where it was met, or where a sweep's start got through or died
    float eye[3] = {};
    uint8_t dead = 0;
    uint8_t reached = 0;  // a sweep's region, alive
    char replay[1024] = {};
};

const char* AnswerWord(int answer) { return answer == IDYES ? "yes" : answer == IDNO ? "no" : "ok"; }

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

// The game as the search plays it: one per process, reached from the frame hook.
class StageRun {
public:
    StageRun(const StagePlan& plan, const Settings& settings)
        : plan(plan), settings(settings), gates(plan.gates), watch(plan.gates) {
        forkFrames.insert(gates.checkpoints.begin(), gates.checkpoints.end());
        for (const Sweep& s : gates.sweeps) forkFrames.insert(s.checkpoint);
    }

    Totals Run();

private:
    enum class Role { Prefix, Run, Sweep };

    void Frame(int frame);
    void PrefixFrame(int frame);
    void RunFrame(int frame);
    void SweepFrame(int frame);
    // The runs and sweeps that start at this frame, a few children at a time; true in a child, which
    // plays on from here in its role.
    bool Fork(int frame);
    bool RandomRuns(int frame, long checkpointIndex);
    bool SweepStarts(int frame, size_t sweepIndex);
    // Starts a child that runs `setUp` and plays on; `done` gets its outcome (false: it died without
    // one). True in the child.
    bool Launch(int frame, const std::function<void()>& setUp, std::function<void(const Outcome&, bool)> done);
    void Collect();  // waits for one child
    void Finish(Outcome outcome);
    void Fail(const std::string& why);

    const StagePlan& plan;
    const Settings& settings;
    const Gates& gates;
    Watch watch;
    replay::Driver& driver = replay::PlatformDriver();
    replay::ActionPlayer actions{driver};
    std::set<int> forkFrames;
    std::set<int> held;  // the keys the solution holds
    Totals totals;
    Clock::time_point started;
    bool stop = false;
    int forked = 0;  // fork frames done
    struct Child {
        pid_t pid;
        int fd;
        std::function<void(const Outcome&, bool)> done;
    };
    std::vector<Child> running;

    // In a child.
    Role role = Role::Prefix;
    int start = 0, end = 0;
    int resultFd = -1;
    uint32_t seed = 0;
    std::unique_ptr<Explorer> explorer;
    std::multimap<int, replay::Action> recorded;
    const Sweep* sweep = nullptr;
    const replay::Replay* fragment = nullptr;
    int wait = 0;
};

void StageRun::Fail(const std::string& why) {
    std::printf("stage %d: %s\n", gates.stage, why.c_str());
    totals.failed = true;
    stop = true;
    headless::pushClose();
}

Totals StageRun::Run() {
    started = Clock::now();
    driver.Prepare(true);
    driver.QueueAnswer(IDNO);  // the full-screen question, answered as the replay runner does on a stage
    for (int answer : plan.solution.answers) driver.QueueAnswer(answer);
    driver.SetFrameLimit(*forkFrames.rbegin() + 2);
    driver.OnFrame([this](int frame) { Frame(frame); });
    char commandLine[] = "";
    WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT);
    if (!stop && forked < static_cast<int>(forkFrames.size()))
        Fail("the game ended at frame " + std::to_string(headless::frameCount()) + ", before the checkpoints");
    totals.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    return totals;
}

void StageRun::Frame(int frame) {
    if (role == Role::Prefix) PrefixFrame(frame);
    if (role == Role::Run) RunFrame(frame);
    if (role == Role::Sweep) SweepFrame(frame);
}

void StageRun::PrefixFrame(int frame) {
    if (stop) return;
    if (frame == 0) replay::StartOnStage(gates.stage);
    for (const Met& m : watch.Observe(frame)) {
        std::printf("shortcut %s stage %d in the solution itself frame %d eye %s replay %s\n",
                    gates.gates[m.gate].name.c_str(), gates.stage, frame, FormatEye(m.eye).c_str(),
                    plan.gates.solution.c_str());
        ++totals.shortcuts;
    }
    if (!watch.Problem().empty()) return Fail(watch.Problem());
    if (forkFrames.count(frame)) {
        if (!watch.Playing())
            return Fail("checkpoint " + std::to_string(frame) + ": the solution is not playing the stage there");
        if (Fork(frame)) return;  // a child: its role plays on from here
        ++forked;
        if (frame == *forkFrames.rbegin()) {
            stop = true;
            headless::pushClose();
            return;
        }
    }
    auto range = plan.solution.actions.equal_range(frame);
    for (auto it = range.first; it != range.second; ++it) {
        actions.Apply(it->second);
        if (it->second.kind == replay::Action::Hold) held.insert(it->second.vk);
        if (it->second.kind == replay::Action::Release) held.erase(it->second.vk);
    }
}

void StageRun::Collect() {
    int status = 0;
    const pid_t pid = waitpid(-1, &status, 0);
    auto it = std::find_if(running.begin(), running.end(), [&](const Child& c) { return c.pid == pid; });
    if (it == running.end()) return;
    Outcome outcome;
    const ssize_t got = read(it->fd, &outcome, sizeof outcome);
    close(it->fd);
    const auto done = std::move(it->done);
    running.erase(it);
    done(outcome, got == static_cast<ssize_t>(sizeof outcome));
}

bool StageRun::Launch(int frame, const std::function<void()>& setUp, std::function<void(const Outcome&, bool)> done) {
    while (static_cast<int>(running.size()) >= settings.jobs) Collect();
    if (stop) return false;
    int fds[2];
    if (pipe(fds) != 0) {
        Fail("cannot start a run: no pipe");
        return false;
    }
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        for (const Child& c : running) close(c.fd);
        running.clear();
        resultFd = fds[1];
        start = frame;
        setUp();
        return true;
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        Fail("cannot start a run: fork failed");
        return false;
    }
    running.push_back(Child{pid, fds[0], std::move(done)});
    return false;
}

bool StageRun::Fork(int frame) {
    const auto checkpoint = std::find(gates.checkpoints.begin(), gates.checkpoints.end(), frame);
    if (checkpoint != gates.checkpoints.end() && RandomRuns(frame, checkpoint - gates.checkpoints.begin())) return true;
    for (size_t s = 0; s < gates.sweeps.size(); ++s)
        if (gates.sweeps[s].checkpoint == frame && SweepStarts(frame, s)) return true;
    while (!running.empty()) Collect();
    if (settings.first && totals.shortcuts > 0) {
        stop = true;
        headless::pushClose();
    }
    return false;
}

// Random runs at a checkpoint, as many as asked for or as the checkpoint's share of the time allows.
bool StageRun::RandomRuns(int frame, long index) {
    const double share =
        settings.seconds * static_cast<double>(index + 1) / static_cast<double>(gates.checkpoints.size());
    const Clock::time_point deadline =
        settings.seconds > 0
            ? started + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(share))
            : Clock::time_point::max();
    for (int i = 0; !stop && !(settings.first && totals.shortcuts > 0); ++i) {
        if (settings.runs >= 0 && i >= settings.runs) break;
        if (Clock::now() >= deadline) break;
        const uint32_t runSeed = RunSeed(settings.seed, gates.stage, frame, i);
        auto setUp = [this, frame, runSeed]() {
            role = Role::Run;
            seed = runSeed;
            end = frame + settings.frames;
            explorer = std::make_unique<Explorer>(runSeed);
            explorer->Begin(held);
            headless::setFrameLimit(end + 2);
        };
        auto done = [this, frame, runSeed](const Outcome& o, bool whole) {
            ++totals.runs;
            totals.frames += o.frames;
            if (!whole) {
                ++totals.crashes;
                std::printf("crash stage %d checkpoint %d seed %u: the run ended without an outcome\n", gates.stage,
                            frame, runSeed);
                return;
            }
            if (o.gate < 0) return;
            ++totals.shortcuts;
            std::printf("shortcut %s stage %d checkpoint %d seed %u frame %d eye %s replay %s\n",
                        gates.gates[o.gate].name.c_str(), gates.stage, frame, runSeed, o.frame,
                        FormatEye(D3DXVECTOR3(o.eye[0], o.eye[1], o.eye[2])).c_str(), o.replay);
            std::fflush(stdout);
        };
        if (Launch(frame, setUp, done)) return true;
    }
    return false;
}

// A sweep: every start timing played to its end, then the share of deaths weighed.
bool StageRun::SweepStarts(int frame, size_t index) {
    const Sweep& sw = gates.sweeps[index];
    struct Tally {
        int dead = 0, reached = 0, played = 0;
        int shown = -1, shownUntil = 0;  // the start a replay is written of: the first to reach the region,
        bool shownReached = false;       // or failing that the first to live
    };
    auto tally = std::make_shared<Tally>();
    for (int k = 0; k < sw.starts && !stop; ++k) {
        auto setUp = [this, frame, k, index]() {
            role = Role::Sweep;
            sweep = &gates.sweeps[index];
            fragment = &plan.fragments[index];
            wait = k;
            end = frame + k + (fragment->frames > 0 ? fragment->frames : kSweepLongest);
            headless::setFrameLimit(end + 2);
        };
        auto done = [this, tally, k](const Outcome& o, bool whole) {
            ++tally->played;
            ++totals.runs;
            totals.frames += o.frames;
            if (!whole) {
                ++totals.crashes;
                return;
            }
            tally->dead += o.dead;
            tally->reached += o.reached;
            const bool better = tally->shown < 0 || (o.reached && !tally->shownReached) ||
                                (o.reached == tally->shownReached && k < tally->shown);
            if (!o.dead && better) {
                tally->shown = k;
                tally->shownUntil = o.frame;
                tally->shownReached = o.reached;
            }
        };
        if (Launch(frame, setUp, done)) return true;
    }
    while (!running.empty()) Collect();
    const double share = tally->played ? static_cast<double>(tally->dead) / tally->played : 0.0;
    const bool shortcut = share < sw.deaths;
    std::printf("sweep %s stage %d checkpoint %d starts %d dead %d reached %d share %.2f (at least %.2f)%s",
                sw.name.c_str(), gates.stage, frame, tally->played, tally->dead, tally->reached, share, sw.deaths,
                shortcut ? "" : "\n");
    if (shortcut) {
        ++totals.shortcuts;
        std::string path;
        if (tally->shown >= 0) {
            // A start that got through, written out as it was played.
            std::multimap<int, replay::Action> run;
            for (int vk : held) run.emplace(frame, replay::Action{replay::Action::Release, vk});
            for (const auto& [at, action] : plan.fragments[index].actions)
                run.emplace(frame + tally->shown + at, action);
            path = (fs::path(settings.out) / ("stage" + std::to_string(gates.stage) + "-" + sw.name + "-c" +
                                              std::to_string(frame) + "-w" + std::to_string(tally->shown) + ".replay"))
                       .string();
            const std::string title = "Sweep " + sw.name + " on stage " + std::to_string(gates.stage) +
                                      ": the start after a wait of " + std::to_string(tally->shown) +
                                      " frames at checkpoint " + std::to_string(frame) +
                                      (tally->shownReached ? ", through to the region" : ", alive");
            if (!WriteFile(path, WriteReplay(plan, frame, run, tally->shownUntil, title))) path = "(not written)";
        }
        std::printf(" shortcut%s%s\n", path.empty() ? "" : " replay ", path.c_str());
    }
    std::fflush(stdout);
    return false;
}

void StageRun::Finish(Outcome outcome) {
    outcome.frames = headless::frameCount() - start;
    if (write(resultFd, &outcome, sizeof outcome) != static_cast<ssize_t>(sizeof outcome)) _exit(1);
    _exit(0);
}

void StageRun::RunFrame(int frame) {
    // The checkpoint's own frame was looked at before the fork.
    std::vector<Met> met = frame > start ? watch.Observe(frame) : std::vector<Met>{};
    if (!met.empty()) {
        Outcome o;
        o.gate = met.front().gate;
        o.frame = frame;
        o.eye[0] = met.front().eye.x, o.eye[1] = met.front().eye.y, o.eye[2] = met.front().eye.z;
        const std::string name = gates.gates[o.gate].name;
        const std::string path =
            (fs::path(settings.out) / ("stage" + std::to_string(gates.stage) + "-" + name + "-c" +
                                       std::to_string(start) + "-s" + std::to_string(seed) + ".replay"))
                .string();
        const std::string title = "Shortcut " + name + " on stage " + std::to_string(gates.stage) + ": checkpoint " +
                                  std::to_string(start) + ", seed " + std::to_string(seed) + ", met in frame " +
                                  std::to_string(frame) + " with the eye at " + FormatEye(met.front().eye);
        const std::string written = WriteFile(path, WriteReplay(plan, start, recorded, frame, title)) ? path : "";
        std::snprintf(o.replay, sizeof o.replay, "%s", written.empty() ? "(not written)" : written.c_str());
        Finish(o);
    }
    if (frame > start && (!watch.Playing() || frame >= end)) {
        Outcome o;
        o.dead = g_player.dead || g_player.health <= 0.0f;
        Finish(o);
    }
    std::vector<replay::Action> input;
    explorer->Step(frame, input);
    for (const replay::Action& a : input) {
        actions.Apply(a);
        recorded.emplace(frame, a);
    }
}

void StageRun::SweepFrame(int frame) {
    if (frame > start) {
        watch.Observe(frame);
        const bool dead = g_player.dead || g_player.health <= 0.0f;
        const bool reached = !dead && sweep->hasRegion && sweep->region.Contains(g_player.position);
        if (dead || reached || !watch.Playing() || frame >= end) {
            Outcome o;
            o.dead = dead;
            o.reached = reached;
            o.frame = frame;
            Finish(o);
        }
    } else {
        for (int vk : held) driver.HoldKey(vk, false);
    }
    const int at = frame - start - wait;
    if (at >= 0) actions.ApplyFrame(*fragment, at);
}

}  // namespace

uint32_t RunSeed(uint32_t seed, int stage, int checkpoint, int index) {
    std::seed_seq sequence{seed, static_cast<uint32_t>(stage), static_cast<uint32_t>(checkpoint),
                           static_cast<uint32_t>(index)};
    uint32_t out = 0;
    sequence.generate(&out, &out + 1);
    return out;
}

std::string WriteReplay(const StagePlan& plan, int checkpoint, const std::multimap<int, replay::Action>& run, int until,
                        const std::string& title) {
    std::string text = "# " + title + ".\n";
    text += "# Written by quillmoor_shortcuts: the solution " + fs::path(plan.gates.solution).filename().string() +
            " to frame " + std::to_string(checkpoint) + ", then the run.\n";
    text += "stage " + std::to_string(plan.gates.stage) + "\n";
    for (int answer : plan.solution.answers) text += std::string("answer ") + AnswerWord(answer) + "\n";
    for (const auto& [frame, action] : plan.solution.actions)
        if (frame < checkpoint) text += replay::FormatAction(frame, action) + "\n";
    text += "# the run from frame " + std::to_string(checkpoint) + "\n";
    for (const auto& [frame, action] : run) text += replay::FormatAction(frame, action) + "\n";
    text += "print at " + std::to_string(until) + "\n";
    text += "objects at " + std::to_string(until) + "\n";
    text += "frames " + std::to_string(until + 2) + "\n";
    return text;
}

bool LoadStagePlan(const std::string& gatesFolder, int stage, StagePlan& plan, std::string& error) {
    plan = StagePlan{};
    const std::string path = GatesPath(gatesFolder, stage);
    if (!LoadGates(path, stage, plan.gates, error)) return false;
    if (!replay::Load(plan.gates.solution, plan.solution, error)) {
        error = path + ": the solution: " + error;
        return false;
    }
    if (plan.solution.stage != stage) {
        error = path + ": the solution " + plan.gates.solution + " does not start with 'stage " +
                std::to_string(stage) + "'";
        return false;
    }
    if (plan.solution.frames <= 0) {
        error = path + ": the solution " + plan.gates.solution + " has no frames line";
        return false;
    }
    std::vector<int>& checkpoints = plan.gates.checkpoints;
    if (checkpoints.empty())
        for (int i = 0; i < kDefaultCheckpoints; ++i)
            checkpoints.push_back(std::max(1, plan.solution.frames * i / kDefaultCheckpoints));
    std::sort(checkpoints.begin(), checkpoints.end());
    checkpoints.erase(std::unique(checkpoints.begin(), checkpoints.end()), checkpoints.end());
    auto inside = [&](int frame, const std::string& what) {
        if (frame < plan.solution.frames) return true;
        error = path + ": " + what + " " + std::to_string(frame) + " is not within the solution's " +
                std::to_string(plan.solution.frames) + " frames";
        return false;
    };
    for (int c : checkpoints)
        if (!inside(c, "checkpoint")) return false;
    for (const Sweep& s : plan.gates.sweeps) {
        if (!inside(s.checkpoint, "sweep " + s.name + ": checkpoint")) return false;
        plan.fragments.emplace_back();
        const std::string fragment = (fs::path(plan.gates.folder) / s.fragment).lexically_normal().string();
        if (!replay::Load(fragment, plan.fragments.back(), error)) {
            error = path + ": sweep " + s.name + ": " + error;
            return false;
        }
    }
    return true;
}

Totals SearchStage(const StagePlan& plan, const Settings& settings) { return StageRun(plan, settings).Run(); }

int CheckReplay(const replay::Replay& script, const Gates& gates) {
    Watch watch(gates);
    replay::Driver& driver = replay::PlatformDriver();
    replay::ActionPlayer actions(driver);
    driver.Prepare(true);
    driver.QueueAnswer(IDNO);
    for (int answer : script.answers) driver.QueueAnswer(answer);
    if (script.frames > 0) driver.SetFrameLimit(script.frames);
    driver.OnFrame([&](int frame) {
        if (frame == 0) replay::StartOnStage(gates.stage);
        for (const Met& m : watch.Observe(frame))
            std::printf("gate %s met stage %d frame %d eye %s\n", gates.gates[m.gate].name.c_str(), gates.stage, frame,
                        FormatEye(m.eye).c_str());
        if (!watch.Problem().empty()) headless::pushClose();
        actions.ApplyFrame(script, frame);
    });
    char commandLine[] = "";
    WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT);
    if (!watch.Problem().empty()) {
        std::printf("stage %d: %s\n", gates.stage, watch.Problem().c_str());
        return 2;
    }
    std::printf("check stage %d: %zu of %zu gates met\n", gates.stage, watch.AllMet().size(), gates.gates.size());
    return watch.AllMet().empty() ? 0 : 1;
}

}  // namespace shortcuts
