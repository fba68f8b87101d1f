// Recording the game's sound calls through the sound bank's listener.
#include "support/sound_calls.h"

#include "app/globals.h"
#include "headless/control.h"
#include "sound/sound_bank.h"

namespace testing_support {

std::ostream& operator<<(std::ostream& out, const RecordedSoundCall& c) {
    return out << "{frame " << c.frame << ", " << c.call << " " << c.name << ", volume " << c.volume << ", flags "
               << c.flags << "}";
}

void RecordSoundCalls(std::vector<RecordedSoundCall>& calls) {
    g_soundBank->listener = [&calls](const SoundCall& c) {
        calls.push_back(RecordedSoundCall{headless::frameCount(), c.call, c.name, c.volume, c.flags});
    };
}

}  // namespace testing_support
