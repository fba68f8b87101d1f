// Gamepads through SDL's game-controller interface and its mapping database: pads are opened as they
// are plugged in and closed as they are pulled out (SDL's events for pads found at start-up and for
// those plugged in later are the same), and once a frame every pad still attached is read into the
// shared mapping. Tests and replays plug in SDL's own virtual pad.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "gl/control.h"
#include "pad/pad.h"
#include "sdl/sdl_window.h"

namespace {

constexpr bool same(int sdl, int ours) { return sdl == ours; }
static_assert(same(SDL_CONTROLLER_BUTTON_A, pad::A) && same(SDL_CONTROLLER_BUTTON_BACK, pad::Back) &&
              same(SDL_CONTROLLER_BUTTON_START, pad::Start) &&
              same(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, pad::LeftShoulder) &&
              same(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, pad::DpadRight));
static_assert(same(SDL_CONTROLLER_AXIS_LEFTX, pad::LeftX) && same(SDL_CONTROLLER_AXIS_RIGHTY, pad::RightY) &&
              same(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, pad::RightTrigger));

bool available = false;
std::vector<SDL_GameController*> pads;
pad::Mapper mapper;
SDL_GameController* virtualPad = nullptr;

SDL_JoystickID idOf(SDL_GameController* c) { return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c)); }

void openPad(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return;  // a joystick the mapping database does not know
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (SDL_GameController* c : pads)
        if (idOf(c) == id) return;
    if (SDL_GameController* c = SDL_GameControllerOpen(deviceIndex)) pads.push_back(c);
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
    // It is opened by its plug-in event, as any pad is; the event is taken at once rather than with the
    // next frame's, so that it plays from this frame on as a script says.
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
    SDL_Event added[8];
    const int n = SDL_PeepEvents(added, 8, SDL_GETEVENT, SDL_CONTROLLERDEVICEADDED, SDL_CONTROLLERDEVICEADDED);
    for (int i = 0; i < n; ++i) sdl::padEvent(added[i]);
    for (SDL_GameController* c : pads)
        if (idOf(c) == id) virtualPad = c;
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
