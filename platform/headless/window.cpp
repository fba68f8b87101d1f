// The headless window: no screen, input from the script, answers from a queue, a clock of frames.
#include <windows.h>

#include <deque>
#include <set>

#include "d3d9/state.h"
#include "headless/control.h"
#include "headless/internal.h"
#include "pad/pad.h"
#include "seam/trace.h"
#include "seam/window.h"
#include "win32/internal.h"

namespace {

struct State {
    bool failWindow = false;
    bool exists = false;
    bool visible = false;
    int width = 0, height = 0;
    bool focused = true;
    bool relative = false;
    int pointerX = 0, pointerY = 0;
    std::set<int> held;
    std::deque<seam::Event> events;
    std::deque<int> answers;
    bool padConnected = false;
    pad::State pad;
    pad::Mapper padMapper;
    int padSteppedFor = -1;
    std::vector<headless::MessageBoxRecord> boxes;
    std::function<void(const headless::MessageBoxRecord&)> boxHook;
    std::function<void(int)> hook;
    int frames = 0;
    int hookRanFor = -1;
    int limit = 200000;
    bool recording = false;
    std::vector<std::string> trace;
};
State s;

void record(const char* what) { s.trace.emplace_back(what); }

}  // namespace

namespace headless {

void reset() {
    s = State{};
    seam::traceHook = nullptr;
    resetRender();
    resetSound();
    win32::resetWindowState();
    win32::resetQueueState();
    win32::resetKeyState();
}

void failWindowCreation(bool fail) { s.failWindow = fail; }
void setFocus(bool focused) {
    if (focused == s.focused) return;
    s.focused = focused;
    s.events.push_back(
        seam::Event{focused ? seam::EventKind::FocusGained : seam::EventKind::FocusLost, 0, false, 0, 0});
}
void holdKey(int vk, bool down) {
    if (down)
        s.held.insert(vk);
    else
        s.held.erase(vk);
}
void pushKeyDown(int vk, bool repeat) { s.events.push_back(seam::Event{seam::EventKind::KeyDown, vk, repeat, 0, 0}); }
void pushClose() { s.events.push_back(seam::Event{seam::EventKind::Close, 0, false, 0, 0}); }
void moveMouse(int dx, int dy) {
    s.pointerX += dx;
    s.pointerY += dy;
    s.events.push_back(seam::Event{seam::EventKind::MouseMotion, 0, false, dx, dy});
}
void setPointer(int x, int y) {
    s.pointerX = x;
    s.pointerY = y;
}
void connectPad(bool connected) {
    s.padConnected = connected;
    s.pad = pad::State{};  // a pad plugged in (again) starts at rest
}
void holdPadButton(int button, bool down) {
    if (button >= 0 && button < pad::kButtonCount) s.pad.buttons[button] = down;
}
void setPadAxis(int axis, int value) {
    if (axis >= 0 && axis < pad::kAxisCount) s.pad.axes[axis] = value;
}
void queueAnswer(int answer) { s.answers.push_back(answer); }
const std::vector<MessageBoxRecord>& messageBoxes() { return s.boxes; }
void onMessageBox(std::function<void(const MessageBoxRecord&)> hook) { s.boxHook = std::move(hook); }
void onFrame(std::function<void(int)> hook) { s.hook = std::move(hook); }
void setFrameLimit(int limit) { s.limit = limit; }
int frameCount() { return s.frames; }
void recordTrace(bool on) {
    s.recording = on;
    seam::traceHook = on ? record : nullptr;
}
const std::vector<std::string>& traceLog() { return s.trace; }
bool windowExists() { return s.exists; }
bool windowVisible() { return s.exists && s.visible; }
void clientSize(int& width, int& height) {
    width = s.width;
    height = s.height;
}
bool relativeMouse() { return s.relative; }

void framePresented() {
    ++s.frames;
    advanceSound(1000.0 / 60.0);
    if (s.frames == s.limit) pushClose();
}

}  // namespace headless

namespace seam {

bool windowCreate(const char*, int clientWidth, int clientHeight) {
    if (s.failWindow) return false;
    s.exists = true;
    s.visible = false;
    s.width = clientWidth;
    s.height = clientHeight;
    return true;
}
void windowDestroy() {
    s.exists = false;
    s.visible = false;
    s.relative = false;
}
bool windowExists() { return s.exists; }
void windowShow() { s.visible = true; }
void windowSetClientSize(int width, int height) {
    s.width = width;
    s.height = height;
}
void windowClientSize(int& width, int& height) {
    width = s.width;
    height = s.height;
}
void windowOrigin(int& x, int& y) {
    // A fixed place on an imaginary desktop, so client and screen coordinates differ as they would.
    x = 100;
    y = 80;
}

bool pollEvent(Event& event) {
    if (s.hook && s.hookRanFor != s.frames) {
        s.hookRanFor = s.frames;
        s.hook(s.frames);
    }
    // The pad is read once a frame, after the script has set it for the frame.
    if (s.padSteppedFor != s.frames) {
        s.padSteppedFor = s.frames;
        s.padMapper.step(s.padConnected && hasFocus() ? &s.pad : nullptr, ticksMs(), s.events);
    }
    if (s.events.empty()) return false;
    event = s.events.front();
    s.events.pop_front();
    return true;
}
bool hasFocus() { return s.exists && s.focused; }
bool isKeyDown(int vk) { return hasFocus() && (s.held.count(vk) != 0 || s.padMapper.holds(vk)); }
void pointerPosition(int& x, int& y) {
    x = s.pointerX;
    y = s.pointerY;
}
void setRelativeMouse(bool on) { s.relative = on; }

int messageBox(const char* text, const char* title, unsigned flags) {
    int answer;
    if (!s.answers.empty()) {
        answer = s.answers.front();
        s.answers.pop_front();
    } else {
        answer = (flags & 0xF) == MB_YESNO ? IDNO : IDOK;
    }
    s.boxes.push_back(headless::MessageBoxRecord{text, title, flags, answer});
    if (s.boxHook) s.boxHook(s.boxes.back());
    return answer;
}

// The clock moves one sixtieth of a second per presented frame.
uint32_t ticksMs() { return static_cast<uint32_t>(static_cast<uint64_t>(s.frames) * 1000 / 60); }

}  // namespace seam
