// The content checker's last word on a sound: the game's own WAVE loader, on the silent sound device.
#include <dsound.h>
#include <windows.h>

#include "app/globals.h"
#include "sound/sound_bank.h"
#include "tools/check/check.h"

namespace content_check {

void CheckWaveWithGame(const std::string& name, std::vector<Problem>& out) {
    // The loader reads "data/sound/" + name from the current folder, as the game does.
    int windowStandIn = 0;
    const HWND previousWindow = g_hWnd;
    const bool previousFatal = g_fatalError;
    if (!g_hWnd) g_hWnd = reinterpret_cast<HWND>(&windowStandIn);
    {
        SoundBank bank;
        if (!bank.CreateDevice()) {
            out.push_back({"data/sound/" + name, "no sound device to load it with"});
        } else {
            SoundEntry entry;
            if (!LoadWaveFile(entry, name, bank.device))
                out.push_back({"data/sound/" + name, "the game's WAVE loader refuses it"});
            for (IDirectSoundBuffer8*& v : entry.voices)
                if (v) v->Release(), v = nullptr;
            if (entry.master) entry.master->Release();
        }
    }
    // A refused file marks the run as ending; the checker is not a run.
    g_fatalError = previousFatal;
    g_hWnd = previousWindow;
}

}  // namespace content_check
