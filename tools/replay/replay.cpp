// Reading replay files, and writing their action lines back.
#include "replay.h"

#include <windows.h>

#include "pad/pad.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace replay {

namespace {

struct NamedKey {
    const char* name;
    int vk;
};
constexpr NamedKey kKeys[] = {
    {"w", 'W'},
    {"a", 'A'},
    {"s", 'S'},
    {"d", 'D'},
    {"e", 'E'},
    {"left", VK_LEFT},
    {"right", VK_RIGHT},
    {"space", VK_SPACE},
    {"enter", VK_RETURN},
    {"escape", VK_ESCAPE},
    {"lbutton", VK_LBUTTON},
    {"rbutton", VK_RBUTTON},
};

int keyCode(const std::string& name) {
    for (const NamedKey& k : kKeys)
        if (name == k.name) return k.vk;
    return 0;
}

bool readInt(std::istringstream& in, int& value) { return static_cast<bool>(in >> value); }

constexpr NamedKey kPadButtons[] = {
    {"a", pad::A},
    {"b", pad::B},
    {"x", pad::X},
    {"y", pad::Y},
    {"back", pad::Back},
    {"start", pad::Start},
    {"lshoulder", pad::LeftShoulder},
    {"rshoulder", pad::RightShoulder},
    {"dup", pad::DpadUp},
    {"ddown", pad::DpadDown},
    {"dleft", pad::DpadLeft},
    {"dright", pad::DpadRight},
};

int padButton(const std::string& name) {
    for (const NamedKey& b : kPadButtons)
        if (name == b.name) return b.vk;
    return -1;
}

std::string padButtonName(int button) {
    for (const NamedKey& b : kPadButtons)
        if (b.vk == button) return b.name;
    return "";
}

// "lstick", "rstick", "ltrigger" or "rtrigger": the word for the first axis an action sets.
const char* axisName(int axis) {
    switch (axis) {
    case pad::LeftX: return "lstick";
    case pad::RightX: return "rstick";
    case pad::LeftTrigger: return "ltrigger";
    default: return "rtrigger";
    }
}

// "pad ..." after "at N": false with the problem in `why`.
bool parsePad(std::istringstream& in, Action& action, std::string& why) {
    std::string what;
    in >> what;
    if (what == "connect" || what == "disconnect") {
        action.kind = what == "connect" ? Action::PadConnect : Action::PadDisconnect;
        return true;
    }
    if (what == "hold" || what == "release") {
        std::string name;
        in >> name;
        action.vk = padButton(name);
        action.kind = what == "hold" ? Action::PadHold : Action::PadRelease;
        if (action.vk < 0) why = "unknown pad button '" + name + "'";
        return action.vk >= 0;
    }
    action.kind = Action::PadAxes;
    if (what == "lstick" || what == "rstick") {
        action.vk = what == "lstick" ? pad::LeftX : pad::RightX;
        action.twoAxes = true;
        const bool ok = readInt(in, action.dx) && readInt(in, action.dy) && action.dx >= -32768 &&
                        action.dx <= pad::kStickMax && action.dy >= -32768 && action.dy <= pad::kStickMax;
        if (!ok) why = what + " needs x and y from -32768 to 32767";
        return ok;
    }
    if (what == "ltrigger" || what == "rtrigger") {
        action.vk = what == "ltrigger" ? pad::LeftTrigger : pad::RightTrigger;
        const bool ok = readInt(in, action.dx) && action.dx >= 0 && action.dx <= pad::kStickMax;
        if (!ok) why = what + " needs a value from 0 to 32767";
        return ok;
    }
    why = "unknown pad action '" + what + "'";
    return false;
}

}  // namespace

bool Replay::Prints(int frame) const {
    if (printEvery > 0 && frame % printEvery == 0) return true;
    return std::find(printAt.begin(), printAt.end(), frame) != printAt.end();
}

bool Replay::ListsObjects(int frame) const {
    if (objectsEvery > 0 && frame % objectsEvery == 0) return true;
    return std::find(objectsAt.begin(), objectsAt.end(), frame) != objectsAt.end();
}

bool Parse(const std::string& text, Replay& out, std::string& error) {
    out = Replay{};
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(number) + ": " + why;
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream in(line);
        std::string word;
        if (!(in >> word)) continue;
        if (word == "frames") {
            if (!readInt(in, out.frames) || out.frames <= 0) return fail("frames needs a positive count");
        } else if (word == "answer") {
            std::string a;
            in >> a;
            if (a == "yes")
                out.answers.push_back(IDYES);
            else if (a == "no")
                out.answers.push_back(IDNO);
            else if (a == "ok")
                out.answers.push_back(IDOK);
            else
                return fail("answer is yes, no or ok");
        } else if (word == "at") {
            int frame = 0;
            std::string what;
            if (!readInt(in, frame) || frame < 0 || !(in >> what)) return fail("at needs a frame and an action");
            Action action{};
            if (what == "hold" || what == "release" || what == "key") {
                std::string key;
                in >> key;
                action.vk = keyCode(key);
                if (!action.vk) return fail("unknown key '" + key + "'");
                action.kind = what == "hold" ? Action::Hold : what == "release" ? Action::Release : Action::KeyDown;
            } else if (what == "mouse") {
                action.kind = Action::Mouse;
                if (!readInt(in, action.dx) || !readInt(in, action.dy)) return fail("mouse needs dx and dy");
            } else if (what == "close") {
                action.kind = Action::Close;
            } else if (what == "pad") {
                std::string why;
                if (!parsePad(in, action, why)) return fail(why);
            } else {
                return fail("unknown action '" + what + "'");
            }
            out.actions.emplace(frame, action);
        } else if (word == "print") {
            std::string how;
            in >> how;
            if (how == "every") {
                if (!readInt(in, out.printEvery) || out.printEvery <= 0) return fail("print every needs a count");
            } else if (how == "at") {
                int frame;
                while (readInt(in, frame)) out.printAt.push_back(frame);
            } else {
                return fail("print is 'every N' or 'at N...'");
            }
        } else if (word == "stage") {
            if (!readInt(in, out.stage) || out.stage < 1) return fail("stage needs a stage number from 1");
        } else if (word == "objects") {
            std::string how;
            in >> how;
            if (how == "every") {
                if (!readInt(in, out.objectsEvery) || out.objectsEvery <= 0) return fail("objects every needs a count");
            } else if (how == "at") {
                int frame;
                while (readInt(in, frame)) out.objectsAt.push_back(frame);
            } else {
                return fail("objects is 'every N' or 'at N...'");
            }
        } else if (word == "shot") {
            int frame = 0;
            std::string file;
            if (!readInt(in, frame) || frame < 0 || !(in >> file)) return fail("shot needs a frame and a file");
            out.shots[frame] = file;
        } else {
            return fail("unknown word '" + word + "'");
        }
        std::string rest;
        if (in >> rest) return fail("unexpected '" + rest + "'");
    }
    return true;
}

std::string KeyName(int vk) {
    for (const auto& k : kKeys)
        if (k.vk == vk) return k.name;
    return "";
}

std::string FormatAction(int frame, const Action& action) {
    const std::string at = "at " + std::to_string(frame) + " ";
    switch (action.kind) {
    case Action::Hold: return at + "hold " + KeyName(action.vk);
    case Action::Release: return at + "release " + KeyName(action.vk);
    case Action::KeyDown: return at + "key " + KeyName(action.vk);
    case Action::Mouse: return at + "mouse " + std::to_string(action.dx) + " " + std::to_string(action.dy);
    case Action::Close: return at + "close";
    case Action::PadConnect: return at + "pad connect";
    case Action::PadDisconnect: return at + "pad disconnect";
    case Action::PadHold: return at + "pad hold " + padButtonName(action.vk);
    case Action::PadRelease: return at + "pad release " + padButtonName(action.vk);
    case Action::PadAxes:
        return at + "pad " + axisName(action.vk) + " " + std::to_string(action.dx) +
               (action.twoAxes ? " " + std::to_string(action.dy) : "");
    }
    return at;
}

bool Load(const std::string& path, Replay& out, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (!Parse(text.str(), out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

}  // namespace replay
