// How tests and the replay runner drive the headless platform: scripted input per frame, message-box
// answers, failures on demand, and what the game showed and asked.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "d3d9/state.h"

namespace headless {

// Back to the state of a fresh process: no window, no device, no script, the clock at zero.
void reset();

// Failures on demand.
void failWindowCreation(bool fail);
void failDevice(bool fail);
void failPresent(bool fail);

// Sound: no output device (DirectSoundCreate8 then fails), and the clock the voices play on. Each
// presented frame moves it on by a sixtieth of a second; tests move it further with advanceSound.
void failAudioDevice(bool fail);
void advanceSound(double ms);
bool audioOutputOpen();
int soundVoiceCount();   // voices the backend holds (buffers that have been played and not released)
int soundSampleCount();  // sample blocks the backend holds

// Input. Keys are Windows virtual-key codes (mouse buttons included).
void setFocus(bool focused);
void holdKey(int vk, bool down);
void pushKeyDown(int vk, bool repeat = false);
void pushClose();
void moveMouse(int dx, int dy);
void setPointer(int x, int y);  // the absolute pointer, in client coordinates
// A gamepad (pad/pad.h says what it does), read once a frame: plugged in or out (either way it is at
// rest afterwards), its buttons (pad::Button) and axes (pad::Axis, values as in pad::State).
void connectPad(bool connected);
void holdPadButton(int button, bool down);
void setPadAxis(int axis, int value);

// Message boxes: answers are used in order; with none queued MB_YESNO answers IDNO and MB_OK IDOK.
struct MessageBoxRecord {
    std::string text, title;  // UTF-8, as the game passed them
    unsigned flags;
    int answer;
};
void queueAnswer(int answer);
const std::vector<MessageBoxRecord>& messageBoxes();
// Called as each box is shown (after it is recorded), for tests that follow what happens around it.
void onMessageBox(std::function<void(const MessageBoxRecord&)> hook);

// Frames. The hook runs when frame N is about to start, N being the number of presents so far; it is
// where a script changes input. After `limit` frames the window is closed, so no run can hang.
void onFrame(std::function<void(int frame)> hook);
void setFrameLimit(int limit);
int frameCount();

// The order of platform calls, when recording is on.
void recordTrace(bool on);
const std::vector<std::string>& traceLog();

// Draws as the device handed them over, when recording is on: the state at the draw and copies of the
// vertices (vertexCount × stride bytes) and indices (empty for non-indexed draws).
struct RecordedDraw {
    d3d9::DeviceState state;
    D3DPRIMITIVETYPE type;
    unsigned primitiveCount;
    unsigned stride;
    std::vector<uint8_t> vertices;
    std::vector<uint32_t> indices;
};
void recordDraws(bool on);
const std::vector<RecordedDraw>& recordedDraws();
// The clears made while draws are recorded: their flags and colour.
struct RecordedClear {
    DWORD flags;
    D3DCOLOR colour;
};
const std::vector<RecordedClear>& recordedClears();

// What the window looks like now.
bool windowExists();
bool windowVisible();
void clientSize(int& width, int& height);
bool relativeMouse();

}  // namespace headless
