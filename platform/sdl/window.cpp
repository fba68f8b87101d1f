// The real window over SDL2: events become window messages, keys are read from SDL's keyboard state and
// the gamepads, the pointer is captured in relative mode for mouse look, and message boxes are the
// desktop's dialog (SDL's own box where there is none).
// The player may resize the window and switch it to full screen and back with Alt+Enter; the game keeps
// seeing the client size it asked for, and the picture is scaled into whatever the window is.
#include <SDL.h>
#include <iconv.h>
#include <windows.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <set>

#include "desktop/window_icon.h"
#include "gl/control.h"
#include "sdl/sdl_window.h"
#include "seam/window.h"

namespace {

SDL_Window* theWindow = nullptr;
bool focused = false;
int autoAnswer = 0;

// The client size the game asked for, whatever size the player gives the window.
int clientWidth = 0, clientHeight = 0;

// Full screen is the desktop's own mode; the window's place and size before it are kept for the way back.
bool fullScreen = false;
SDL_Rect windowedPlace{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 0, 0};

// Enter pressed together with Alt switches the screen; it reads as up until it is let go.
bool returnSwallowed = false;

// The pads are read at the first poll of each frame; what they did waits here to be polled.
int padSteppedFor = -1;
std::deque<seam::Event> padEvents;

// A replay's input, used instead of the keyboard and mouse while scripted.
struct Script {
    bool on = false;
    std::set<int> held;
    std::deque<seam::Event> events;
    std::deque<int> answers;
    std::function<void(int)> hook;
    int frames = 0;
    int hookRanFor = -1;
    int limit = 0;
} script;

int vkFromKeycode(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    default: return 0;
    }
}

bool scancodeDown(const Uint8* keys, int vk) {
    if (vk >= 'A' && vk <= 'Z') return keys[SDL_SCANCODE_A + (vk - 'A')];
    if (vk >= '1' && vk <= '9') return keys[SDL_SCANCODE_1 + (vk - '1')];
    switch (vk) {
    case '0': return keys[SDL_SCANCODE_0];
    case VK_ESCAPE: return keys[SDL_SCANCODE_ESCAPE];
    case VK_RETURN: return keys[SDL_SCANCODE_RETURN] || keys[SDL_SCANCODE_KP_ENTER];
    case VK_SPACE: return keys[SDL_SCANCODE_SPACE];
    case VK_LEFT: return keys[SDL_SCANCODE_LEFT];
    case VK_RIGHT: return keys[SDL_SCANCODE_RIGHT];
    case VK_UP: return keys[SDL_SCANCODE_UP];
    case VK_DOWN: return keys[SDL_SCANCODE_DOWN];
    default: return false;
    }
}

// SDL's X11 boxes draw UTF-8 only under a UTF-8 locale; give them one when the environment has none.
void ensureUtf8Locale() {
    const char* vars[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    for (const char* v : vars) {
        const char* value = std::getenv(v);
        if (value && *value) {
            if (std::strstr(value, "UTF-8") || std::strstr(value, "utf8") || std::strstr(value, "UTF8")) return;
            break;
        }
    }
    setenv("LC_CTYPE", "C.UTF-8", 1);
}

// Box texts are the game's UTF-8 with, at times, a name taken from a file in code page 932. Desktop
// dialogs refuse text that is not UTF-8, so such bytes are shown as the CP932 characters they are.
std::string displayable(const char* text) {
    std::string out;
    size_t n = std::strlen(text);
    static iconv_t fromCp932 = iconv_open("UTF-8", "CP932");
    for (size_t i = 0; i < n;) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        bool valid = len > 0 && i + len <= n && (len == 1 || c >= 0xC2);
        for (size_t k = 1; valid && k < len; ++k) valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (valid) {
            out.append(text + i, len);
            i += len;
            continue;
        }
        // One CP932 character: a lead byte and its trail byte, or a single byte.
        size_t take = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC) ? 2 : 1;
        if (i + take > n) take = 1;
        char in[2] = {text[i], take == 2 ? text[i + 1] : '\0'};
        char converted[8];
        char* inPtr = in;
        size_t inLeft = take;
        char* outPtr = converted;
        size_t outLeft = sizeof converted;
        if (fromCp932 != reinterpret_cast<iconv_t>(-1) &&
            iconv(fromCp932, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            out.append(converted, sizeof converted - outLeft);
        else
            out += "?";
        i += take;
    }
    return out;
}

bool altEnter(const SDL_KeyboardEvent& key) {
    return (key.keysym.sym == SDLK_RETURN || key.keysym.sym == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT) != 0;
}

}  // namespace

namespace sdl {

SDL_Rect fitRect(int outerW, int outerH, int innerW, int innerH) {
    if (innerW <= 0 || innerH <= 0) return SDL_Rect{0, 0, outerW, outerH};
    if (outerW * innerH == outerH * innerW) return SDL_Rect{0, 0, outerW, outerH};
    int w = outerW, h = outerW * innerH / innerW;
    if (h > outerH) {
        h = outerH;
        w = outerH * innerW / innerH;
    }
    return SDL_Rect{(outerW - w) / 2, (outerH - h) / 2, w, h};
}

// The window is also made a borderless desktop-sized window at the origin first, so that it covers the
// screen even where no window manager acts on the full-screen request (a bare X server).
void setFullScreen(bool on) {
    if (!theWindow || on == fullScreen) return;
    if (on) {
        SDL_GetWindowPosition(theWindow, &windowedPlace.x, &windowedPlace.y);
        SDL_GetWindowSize(theWindow, &windowedPlace.w, &windowedPlace.h);
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(SDL_GetWindowDisplayIndex(theWindow), &desktop) == 0) {
            SDL_SetWindowBordered(theWindow, SDL_FALSE);
            SDL_SetWindowPosition(theWindow, 0, 0);
            SDL_SetWindowSize(theWindow, desktop.w, desktop.h);
        }
        SDL_SetWindowFullscreen(theWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(theWindow, 0);
        SDL_SetWindowBordered(theWindow, SDL_TRUE);
        SDL_SetWindowSize(theWindow, windowedPlace.w > 0 ? windowedPlace.w : clientWidth,
                          windowedPlace.h > 0 ? windowedPlace.h : clientHeight);
        SDL_SetWindowPosition(theWindow, windowedPlace.x, windowedPlace.y);
    }
    fullScreen = on;
}

bool initVideo() {
    static bool done = false;
    if (done) return true;
    SDL_SetHint(SDL_HINT_MOUSE_RELATIVE_MODE_WARP, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) return false;
    sdl::padInit();
    done = true;
    return true;
}

SDL_Window* window() { return theWindow; }

void framePresented() {
    ++script.frames;
    if (script.limit > 0 && script.frames == script.limit)
        script.events.push_back(seam::Event{seam::EventKind::Close, 0, false, 0, 0});
}

}  // namespace sdl

namespace seam {

bool windowCreate(const char* title, int width, int height) {
    if (!sdl::initVideo()) {
        std::fprintf(stderr, "quillmoor: SDL could not start its video: %s\n", SDL_GetError());
        return false;
    }
    // Frames count from the window's creation: a replay's frame 0 is its first.
    script.frames = 0;
    script.hookRanFor = -1;
    padSteppedFor = -1;
    padEvents.clear();
    sdl::padReset();
    theWindow = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                                 SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE);
    if (!theWindow) {
        std::fprintf(stderr, "quillmoor: SDL could not create the window: %s\n", SDL_GetError());
        return false;
    }
    SDL_SetWindowMinimumSize(theWindow, 160, 120);
    // The executable's icon, when it handed one over; the desktop's generic one otherwise.
    if (const d3dx::Image* icon = desktop::windowIcon()) {
        const int w = static_cast<int>(icon->width), h = static_cast<int>(icon->height);
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(icon->argb.data()), w, h, 32,
                                                                  w * 4, SDL_PIXELFORMAT_ARGB8888);
        if (surface) {
            SDL_SetWindowIcon(theWindow, surface);
            SDL_FreeSurface(surface);
        }
    }
    clientWidth = width;
    clientHeight = height;
    fullScreen = false;
    windowedPlace = SDL_Rect{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 0, 0};
    returnSwallowed = false;
    return true;
}

void windowDestroy() {
    if (!theWindow) return;
    SDL_SetRelativeMouseMode(SDL_FALSE);
    SDL_DestroyWindow(theWindow);
    theWindow = nullptr;
    focused = false;
    fullScreen = false;
}

bool windowExists() { return theWindow != nullptr; }

void windowShow() {
    if (!theWindow) return;
    SDL_ShowWindow(theWindow);
    SDL_RaiseWindow(theWindow);
}

void windowSetClientSize(int width, int height) {
    if (!theWindow) return;
    clientWidth = width;
    clientHeight = height;
    if (fullScreen) {
        windowedPlace.w = width;
        windowedPlace.h = height;
    } else {
        SDL_SetWindowSize(theWindow, width, height);
    }
}

void windowClientSize(int& width, int& height) {
    width = height = 0;
    if (!theWindow) return;
    width = clientWidth;
    height = clientHeight;
}

void windowOrigin(int& x, int& y) {
    x = y = 0;
    if (theWindow) SDL_GetWindowPosition(theWindow, &x, &y);
}

bool pollEvent(Event& event) {
    if (script.hook && script.hookRanFor != script.frames) {
        script.hookRanFor = script.frames;
        script.hook(script.frames);
    }
    if (padSteppedFor != script.frames) {
        padSteppedFor = script.frames;
        sdl::padFrame(hasFocus(), ticksMs(), padEvents);
    }
    if (!padEvents.empty()) {
        event = padEvents.front();
        padEvents.pop_front();
        return true;
    }
    if (script.on) {
        // A script stands in for the keyboard and mouse only: pads still come and go.
        SDL_Event e;
        while (SDL_PollEvent(&e)) sdl::padEvent(e);
        if (script.events.empty()) return false;
        event = script.events.front();
        script.events.pop_front();
        return true;
    }
    if (!theWindow) {
        SDL_PumpEvents();
        return false;
    }
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_QUIT:
            event = Event{EventKind::Close, 0, false, 0, 0};
            return true;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                event = Event{EventKind::Close, 0, false, 0, 0};
                return true;
            }
            if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                focused = true;
                event = Event{EventKind::FocusGained, 0, false, 0, 0};
                return true;
            }
            if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                focused = false;
                event = Event{EventKind::FocusLost, 0, false, 0, 0};
                return true;
            }
            break;
        case SDL_KEYDOWN: {
            if (altEnter(e.key)) {
                if (!e.key.repeat) sdl::setFullScreen(!fullScreen);
                returnSwallowed = true;
                break;
            }
            int vk = vkFromKeycode(e.key.keysym.sym);
            if (vk == 0) break;
            event = Event{EventKind::KeyDown, vk, e.key.repeat != 0, 0, 0};
            return true;
        }
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED: sdl::padEvent(e); break;
        case SDL_MOUSEMOTION:
            if (SDL_GetRelativeMouseMode()) {
                event = Event{EventKind::MouseMotion, 0, false, e.motion.xrel, e.motion.yrel};
                return true;
            }
            break;
        default:
            break;
        }
    }
    return false;
}

bool hasFocus() {
    if (script.on) return theWindow != nullptr;
    // The window manager's word, not only the events: without one (a bare X server) no focus event comes.
    return theWindow && (focused || (SDL_GetWindowFlags(theWindow) & SDL_WINDOW_INPUT_FOCUS) != 0);
}

namespace {
bool keyboardOrMouseDown(int vk) {
    if (script.on) return script.held.count(vk) != 0;
    if (vk == VK_LBUTTON || vk == VK_RBUTTON) {
        Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
        return (buttons & SDL_BUTTON(vk == VK_LBUTTON ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT)) != 0;
    }
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    if (vk == VK_RETURN && returnSwallowed) {
        returnSwallowed = scancodeDown(keys, VK_RETURN);
        return false;
    }
    return scancodeDown(keys, vk);
}
}  // namespace

// Down while any of the keyboard, the mouse and the pads holds it.
bool isKeyDown(int vk) { return hasFocus() && (keyboardOrMouseDown(vk) || sdl::padHolds(vk)); }

void pointerPosition(int& x, int& y) {
    SDL_GetMouseState(&x, &y);
    if (!theWindow) return;
    // From the window's pixels to the game's client area, through the scaled picture.
    int w = 0, h = 0;
    SDL_GetWindowSize(theWindow, &w, &h);
    SDL_Rect r = sdl::fitRect(w, h, clientWidth, clientHeight);
    if (r.w <= 0 || r.h <= 0) return;
    x = static_cast<int>(std::floor((x - r.x) * static_cast<double>(clientWidth) / r.w));
    y = static_cast<int>(std::floor((y - r.y) * static_cast<double>(clientHeight) / r.h));
}

void setRelativeMouse(bool on) { SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE); }

int messageBox(const char* text, const char* title, unsigned flags) {
    if (!script.answers.empty()) {
        int answer = script.answers.front();
        script.answers.pop_front();
        std::fprintf(stderr, "%s: %s (answered %d)\n", title, text, answer);
        return answer;
    }
    if (autoAnswer) {
        std::fprintf(stderr, "%s: %s (answered %d)\n", title, text, autoAnswer);
        return autoAnswer;
    }
    const bool haveVideo = sdl::initVideo();
    ensureUtf8Locale();
    bool yesNo = (flags & 0xF) == MB_YESNO;
    std::string shownText = displayable(text), shownTitle = displayable(title);
    // The desktop's dialog first, where there is a display for it: "はい" takes Enter, Tab moves on.
    if (haveVideo) {
        const char* const yesNoLabels[] = {"はい", "いいえ"};
        const char* const okLabel[] = {"OK"};
        int pressed = sdl::desktopDialog(shownTitle, shownText, yesNo ? yesNoLabels : okLabel, yesNo ? 2 : 1,
                                         (flags & MB_ICONERROR) != 0);
        if (pressed != sdl::kDialogUnavailable) {
            if (pressed == sdl::kDialogClosed) return yesNo ? IDNO : IDOK;
            return yesNo ? (pressed == 0 ? IDYES : IDNO) : IDOK;
        }
    }
    const SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "はい"},
        {0, IDNO, "いいえ"},
    };
    const SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"},
    };
    SDL_MessageBoxData data{};
    data.flags = (flags & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    // Without the desktop's dialog, SDL's own box: no parent, as the game asks for.
    data.window = nullptr;
    data.title = shownTitle.c_str();
    data.message = shownText.c_str();
    data.numbuttons = yesNo ? 2 : 1;
    data.buttons = yesNo ? yesNoButtons : okButton;
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) {
        // No way to show a box at all (no display): say it on the console with the answer taken, the
        // safe one.
        int answer = yesNo ? IDNO : IDOK;
        std::fprintf(stderr, "%s: %s\n(no message box could be shown: %s; answered %s)\n", shownTitle.c_str(),
                     shownText.c_str(), SDL_GetError(), answer == IDNO ? "いいえ" : "OK");
        return answer;
    }
    if (pressed < 0) return yesNo ? IDNO : IDOK;  // closed without a button
    return pressed;
}

uint32_t ticksMs() {
    sdl::initVideo();
    return static_cast<uint32_t>(SDL_GetTicks64());
}

}  // namespace seam

namespace real {
void autoAnswerMessageBoxes(int answer) { autoAnswer = answer; }
void scriptInput(bool on) { script.on = on; }
void holdKey(int vk, bool down) {
    if (down)
        script.held.insert(vk);
    else
        script.held.erase(vk);
}
void pushKeyDown(int vk) { script.events.push_back(seam::Event{seam::EventKind::KeyDown, vk, false, 0, 0}); }
void pushClose() { script.events.push_back(seam::Event{seam::EventKind::Close, 0, false, 0, 0}); }
void moveMouse(int dx, int dy) { script.events.push_back(seam::Event{seam::EventKind::MouseMotion, 0, false, dx, dy}); }
void queueAnswer(int answer) { script.answers.push_back(answer); }
void onFrame(std::function<void(int)> hook) { script.hook = std::move(hook); }
void setFrameLimit(int limit) { script.limit = limit; }
int frameCount() { return script.frames; }
}  // namespace real
