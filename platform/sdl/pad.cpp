// Gamepads through SDL's game-controller interface and its mapping database: pads are opened as they
// are plugged in and closed as they are pulled out, while the game runs, and once a frame every pad
// still attached is read into the shared mapping. Tests and replays plug in SDL's own virtual pad.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "gl/control.h"
#include "pad/pad.h"
#include "sdl/sdl_window.h"

namespace {

static_assert(SDL_CONTROLLER_BUTTON_A == pad::A && SDL_CONTROLLER_BUTTON_BACK == pad::Back &&
              SDL_CONTROLLER_BUTTON_START == pad::Start && SDL_CONTROLLER_BUTTON_LEFTSHOULDER == pad::LeftShoulder &&
              SDL_CONTROLLER_BUTTON_DPAD_RIGHT == pad::DpadRight);
static_assert(SDL_CONTROLLER_AXIS_LEFTX == pad::LeftX && SDL_CONTROLLER_AXIS_RIGHTY == pad::RightY &&
              SDL_CONTROLLER_AXIS_TRIGGERRIGHT == pad::RightTrigger);

bool available = false;
std::vector<SDL_GameController*> pads;
pad::Mapper mapper;
SDL_GameController* virtualPad = nullptr;

SDL_JoystickID idOf(SDL_GameController* c) { return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c)); }

SDL_GameController* openPad(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return nullptr;  // a joystick the mapping database does not know
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (SDL_GameController* c : pads)
        if (idOf(c) == id) return c;
    SDL_GameController* c = SDL_GameControllerOpen(deviceIndex);
    if (c) pads.push_back(c);
    return c;
}

void closePad(SDL_JoystickID id) {
    auto it = std::find_if(pads.begin(), pads.end(), [id](SDL_GameController* c) { return idOf(c) == id; });
    if (it == pads.end()) return;
    if (*it == virtualPad) virtualPad = nullptr;
    SDL_GameControllerClose(*it);
    pads.erase(it);
}

// The virtual pad's triggers are plain axes from -32768 to 32767 that the mapping halves into 0 to 32767.
int rawTrigger(int value) { return 2 * std::clamp(value, 0, pad::kStickMax) - pad::kStickMax; }

}  // namespace

namespace sdl {

void padInit() {
    // SDL keeps every pad's state true even without focus; the game only reads it while focused.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "quillmoor: no gamepads (%s); the keyboard and mouse still play\n", SDL_GetError());
        return;
    }
    available = true;
}

void padEvent(const SDL_Event& e) {
    if (e.type == SDL_CONTROLLERDEVICEADDED)
        openPad(e.cdevice.which);
    else if (e.type == SDL_CONTROLLERDEVICEREMOVED)
        closePad(e.cdevice.which);
}

void padFrame(bool focused, uint32_t nowMs, std::deque<seam::Event>& events) {
    pad::State merged;
    bool any = false;
    if (available && focused) {
        SDL_GameControllerUpdate();
        for (SDL_GameController* c : pads) {
            if (!SDL_GameControllerGetAttached(c)) continue;  // pulled out; its removal event is on its way
            pad::State s;
            for (int b = 0; b < pad::kButtonCount; ++b)
                s.buttons[b] = SDL_GameControllerGetButton(c, static_cast<SDL_GameControllerButton>(b)) != 0;
            for (int a = 0; a < pad::kAxisCount; ++a)
                s.axes[a] = SDL_GameControllerGetAxis(c, static_cast<SDL_GameControllerAxis>(a));
            pad::merge(merged, s);
            any = true;
        }
    }
    mapper.step(any ? &merged : nullptr, nowMs, events);
}

bool padHolds(int vk) { return mapper.holds(vk); }

void padReset() { mapper = pad::Mapper{}; }

}  // namespace sdl

namespace real {

bool attachVirtualPad() {
    if (virtualPad) return true;
    if (!sdl::initVideo() || !available) return false;
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Quillmoor virtual pad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) return false;
    // Opened at once rather than on its event, so that it plays from this frame on as a script says.
    virtualPad = openPad(index);
    if (!virtualPad) return false;
    SDL_Joystick* j = SDL_GameControllerGetJoystick(virtualPad);
    SDL_JoystickSetVirtualAxis(j, SDL_CONTROLLER_AXIS_TRIGGERLEFT, rawTrigger(0));
    SDL_JoystickSetVirtualAxis(j, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, rawTrigger(0));
    return true;
}

void detachVirtualPad() {
    if (!virtualPad) return;
    const SDL_JoystickID id = idOf(virtualPad);
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    // Closed when its removal event comes, as a pad pulled out of its socket is.
    virtualPad = nullptr;
}

void setVirtualPadButton(int button, bool down) {
    if (virtualPad && button >= 0 && button < pad::kButtonCount)
        SDL_JoystickSetVirtualButton(SDL_GameControllerGetJoystick(virtualPad), button, down ? 1 : 0);
}

void setVirtualPadAxis(int axis, int value) {
    if (!virtualPad || axis < 0 || axis >= pad::kAxisCount) return;
    const bool trigger = axis == pad::LeftTrigger || axis == pad::RightTrigger;
    SDL_JoystickSetVirtualAxis(SDL_GameControllerGetJoystick(virtualPad), axis, trigger ? rawTrigger(value) : value);
}

}  // namespace real
