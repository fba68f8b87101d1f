// Recording the game's sound calls through the sound bank's observer.
#include "support/sound_calls.h"

#include "app/globals.h"
#include "headless/control.h"
#include "sound/sound_bank.h"

namespace testing_support {

std::ostream& operator<<(std::ostream& out, const RecordedSoundCall& c) {
    return out << "{frame " << c.frame << ", " << c.call << " " << c.name << ", volume " << c.volume << ", flags "
               << c.flags << "}";
}

namespace {
std::vector<RecordedSoundCall>* recording = nullptr;

void Record(const SoundCall& c) {
    recording->push_back(
        RecordedSoundCall{headless::frameCount(), c.play ? "Play" : "Stop", c.name, c.volume, c.flags});
}
}  // namespace

void RecordSoundCalls(std::vector<RecordedSoundCall>* calls) {
    recording = calls;
    g_soundCallObserver = calls ? Record : nullptr;
}

}  // namespace testing_support
