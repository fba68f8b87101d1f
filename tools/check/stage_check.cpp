// The content checker's stage rules: the stage list and every stage it names, read with the game's own
// reader, against what the stage data must keep to and what would silently break a stage.
#include <d3dx9.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "stage/factory.h"
#include "stage/obj.h"
#include "stage/stage_file.h"
#include "tools/check/check.h"

namespace content_check {

namespace {

constexpr int kStageCount = 4;       // the game plays stages 1 to 4; a goal elsewhere leads to the clear screen
constexpr int kMaxListLines = 99;    // lines of the stage list looked at
constexpr int kStageListLine = 125;  // characters a stage list line may hold

const char* const kList = "data/stagedata.txt";

// A name as the problem line shows it: control bytes written as \xNN, long names cut.
std::string Quoted(const std::string& name) {
    std::string out = "\"";
    for (size_t i = 0; i < name.size() && i < 80; ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + (name.size() > 80 ? "...\"" : "\"");
}

std::string Number(float value) {
    char text[48];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

// Runs a step along its path exactly as the step moves in the game, and says what goes wrong, if anything:
// the ends are recognised only within 0.1, so a step can pass an end and never turn.
std::string StepProblem(const D3DXVECTOR3& origin, const D3DXVECTOR3& target, float speed) {
    D3DXVECTOR3 path = target - origin;
    const float length = D3DXVec3Length(&path);
    if (speed == 0.0f) return "a step with speed 0 never moves";
    const float given = speed;
    D3DXVECTOR3 dir;
    D3DXVec3Normalize(&dir, &path);
    D3DXVECTOR3 position = origin;
    bool reachedTarget = false;
    const double frames =
        std::fmin(2.0 * static_cast<double>(length) / std::fabs(static_cast<double>(speed)) + 16.0, 1e6);
    for (long frame = 0; frame < static_cast<long>(frames); ++frame) {
        position += dir * speed;
        D3DXVECTOR3 toTarget = target - position;
        if (D3DXVec3Length(&toTarget) < 0.1f) {
            speed = -speed;
            position = target;
            reachedTarget = true;
        }
        D3DXVECTOR3 toOrigin = origin - position;
        if (D3DXVec3Length(&toOrigin) < 0.1f) {
            speed = -speed;
            position = origin;
            if (reachedTarget) return "";
        }
    }
    const std::string what = "step with speed " + Number(given) + " on a path of length " + Number(length);
    if (!reachedTarget) {
        if (std::fabs(given) < 0.1f) return what + " never leaves its start: a move shorter than 0.1 turns it back";
        if (given < 0.0f) return what + " moves away from its target and never comes back";
        return what + " passes its target without turning (ends are found only within 0.1; speeds up to 0.2 land)";
    }
    return what + " passes its start on the way back without turning (ends are found only within 0.1)";
}

struct ChannelUse {
    int line;
    const char* className;
    int channel;
};

class StageChecker {
public:
    StageChecker(std::vector<Problem>& out, const ObjectClass* (*findClass)(uint16_t))
        : out(out), findClass(findClass) {}

    void Add(const std::string& file, int line, const std::string& text, bool note = false) {
        out.push_back({file, text, line, note});
    }

    // One stage file; `levers` counts the levers of the stages played before it and is moved on.
    void CheckStage(const std::string& path, int& levers, std::vector<std::pair<int, int>>& goalStages) {
        std::FILE* file = OpenStageText(path);
        if (!file) return;  // reported by the list
        StageFileReader reader(file);
        StageStart start;
        if (!reader.ReadStart(start)) {
            Add(path, 0, "the file ends before the colon that closes the start position: the game stops here");
            std::fclose(file);
            return;
        }
        if (start.numbers < 3) {
            if (start.textBeforeColon)
                Add(path, start.colonLine,
                    "start position: number " + std::to_string(start.numbers + 1) +
                        " is ended by the colon, not by a comma or line feed, so it is not read (it stays 0)");
            else
                Add(path, start.colonLine,
                    "start position gives " + std::to_string(start.numbers) + " of its three numbers (the rest are 0)");
        }
        if (start.afterColon != '\n')
            Add(path, start.colonLine,
                "the character after the start position's colon is not a line feed; it is dropped");

        std::set<std::string> listed = {"gun.x", "sphere.x"};  // the load adds these two itself
        std::string name;
        bool cut = false;
        int line = 0;
        StageFileReader::MeshResult result;
        while ((result = reader.NextMesh(name, cut, line)) == StageFileReader::Mesh) {
            std::error_code ec;
            if (name.empty())
                Add(path, line, "blank line in the mesh list: the game tries to load a mesh with no name and stops");
            else if (cut)
                Add(path, line, "mesh name longer than " + std::to_string(kMaxNameLength) + " characters");
            else if (!std::filesystem::is_regular_file("data/xfile/" + name, ec))
                Add(path, line, "mesh " + Quoted(name) + " is not in data/xfile: the game stops at this load");
            listed.insert(name);
        }
        if (result == StageFileReader::FileEnd) {
            Add(path, line, "the file ends before the colon that closes the mesh list: the game stops here");
            std::fclose(file);
            return;
        }
        if (reader.listEndAfterColon != '\n')
            Add(path, line, "the character after the mesh list's colon is not a line feed; it is dropped");

        std::set<std::string> fixedReported;
        int ownLevers = 0;
        std::vector<ChannelUse> channels;
        StageRecord record;
        while (reader.NextRecord(record)) {
            const int at = record.line;
            if (record.numberCut)
                Add(path, at,
                    "a number longer than " + std::to_string(kMaxNumberLength) + " characters: only its start is read");
            if (record.fields == 1 && record.meshName.empty()) {
                Add(path, at, "empty line among the records: it is skipped");
                continue;
            }
            const ObjectClass* type = findClass(record.typeCode);
            if (!type) {
                Add(path, at,
                    "type code " + std::to_string(record.typeCode) + " names no kind of object: the record is skipped");
                continue;
            }
            if (record.meshNameCut || !listed.count(record.meshName)) {
                Add(path, at, "mesh " + Quoted(record.meshName) + " is not in the mesh list: the record is skipped");
                continue;
            }
            if (type->recordMesh && record.meshName != type->recordMesh)
                Add(path, at,
                    std::string(type->name) + " records must name " + type->recordMesh + ", not " +
                        Quoted(record.meshName));
            for (const char* fixed : type->fixedMeshes)
                if (fixed && !listed.count(fixed) && fixedReported.insert(fixed).second)
                    Add(path, at, std::string(type->name) + " draws " + fixed + ", which is not in the mesh list");
            if (type->addsChannel) {
                ++levers;
                ++ownLevers;
            }
            if (type->channelParam >= 0)
                channels.push_back({at, type->name, ParamAsInt(record.params[type->channelParam])});
            switch (record.typeCode) {
                case TYPE_STEP: {
                    std::string problem =
                        StepProblem(record.position, D3DXVECTOR3(record.params[0], record.params[1], record.params[2]),
                                    record.params[3]);
                    if (!problem.empty()) Add(path, at, problem);
                    break;
                }
                case TYPE_ELEVATOR: {
                    D3DXVECTOR3 between =
                        D3DXVECTOR3(record.params[0], record.params[1], record.params[2]) - record.position;
                    if (D3DXVec3Length(&between) < 0.001f) Add(path, at, "the elevator's two stops coincide");
                    break;
                }
                case TYPE_GOAL: {
                    int next = ParamAsInt(record.params[0]);
                    if (next < 1 || next > kStageCount)
                        Add(path, at,
                            "the goal leads to stage " + std::to_string(next) +
                                ", outside 1 to 4: the clear screen follows",
                            true);
                    else
                        goalStages.push_back({at, next});
                    break;
                }
                default: break;
            }
        }
        // Objects read and write their channels from their first update on, when every lever of the
        // stage has been made: channel 0 from start-up plus one per lever so far in the run.
        const int length = 1 + levers;
        for (const ChannelUse& use : channels) {
            if (use.channel < 0 || use.channel >= length)
                Add(path, use.line,
                    std::string(use.className) + " on channel " + std::to_string(use.channel) +
                        ", not below the lever-state list's length " + std::to_string(length) +
                        " here (channel 0 and one per lever made so far, stages played in list order)");
            else if (use.channel > ownLevers)
                // Fine in a run from stage 1, but a run that starts on this stage (a stage replay) has
                // only this stage's levers.
                Add(path, use.line,
                    std::string(use.className) + " on channel " + std::to_string(use.channel) +
                        " relies on levers of earlier stages: started on this stage the list has length " +
                        std::to_string(1 + ownLevers),
                    true);
        }
        if (reader.droppedRecordLine)
            Add(path, reader.droppedRecordLine, "the last line has no line feed: its record is never made");
        if (reader.sawNul()) Add(path, 0, "the file holds NUL bytes");
        std::fclose(file);
    }

private:
    std::vector<Problem>& out;
    const ObjectClass* (*findClass)(uint16_t);
};

}  // namespace

void CheckStages(bool required, std::vector<Problem>& out, const ObjectClass* (*findClass)(uint16_t)) {
    std::error_code ec;
    if (!std::filesystem::exists(kList, ec)) {
        if (required) out.push_back({kList, "missing: the game cannot load any stage"});
        return;
    }
    StageChecker checker(out, findClass);
    std::vector<StageListLine> lines;
    for (int index = 1; index <= kMaxListLines; ++index) {
        std::FILE* list = OpenStageText(kList);
        if (!list) {
            checker.Add(kList, 0, "cannot be opened");
            return;
        }
        StageListLine entry = ReadStageListLine(list, index);
        std::fclose(list);
        if (!entry.present) break;
        lines.push_back(entry);
    }
    if (lines.empty()) checker.Add(kList, 0, "no line for stage 1");
    int levers = 0;
    std::vector<std::pair<std::string, std::pair<int, int>>> goalsByFile;  // file, (line, stage)
    for (size_t i = 0; i < lines.size(); ++i) {
        const StageListLine& entry = lines[i];
        const int stage = static_cast<int>(i) + 1;
        if (entry.path.size() - 5 > kStageListLine)
            checker.Add(kList, entry.line,
                        "line longer than 125 characters: the game counts it as two lines, so later stages shift");
        if (entry.nul) {
            checker.Add(kList, entry.line, "the line holds a NUL byte: no file can have that name");
            continue;
        }
        if (entry.cut) {
            checker.Add(kList, entry.line, "the line is longer than any file name");
            continue;
        }
        std::FILE* file = OpenStageText(entry.path);
        if (!file) {
            checker.Add(
                kList, entry.line,
                "stage " + std::to_string(stage) + ": " + Quoted(entry.path) + " does not exist (or is a folder)");
            continue;
        }
        std::fclose(file);
        std::vector<std::pair<int, int>> stageGoals;
        checker.CheckStage(entry.path, levers, stageGoals);
        for (auto& g : stageGoals) goalsByFile.push_back({entry.path, g});
    }
    for (const auto& [path, goal] : goalsByFile)
        if (goal.second > static_cast<int>(lines.size()))
            checker.Add(
                path, goal.first,
                "the goal leads to stage " + std::to_string(goal.second) + ", which the stage list does not have");
}

}  // namespace content_check
