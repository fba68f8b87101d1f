// The headless audio backend: no speaker; voices keep their playing state and place and move on only
// when the clock is advanced (by the test, and by a sixtieth of a second per presented frame).
#include <map>

#include "headless/control.h"
#include "headless/internal.h"
#include "seam/audio.h"

namespace {

struct Sample {
    seam::AudioFormat format;
    size_t bytes;
    size_t frameBytes() const { return static_cast<size_t>(format.channels) * (format.bitsPerSample / 8); }
    double frames() const { return static_cast<double>(bytes / frameBytes()); }
};

struct Voice {
    uint32_t sample;
    bool playing = false;
    bool looping = false;
    long volume = 0;
    double frame = 0;  // the place in the sample, in frames
};

struct State {
    bool failOutput = false;
    bool open = false;
    uint32_t nextHandle = 1;
    std::map<uint32_t, Sample> samples;
    std::map<uint32_t, Voice> voices;
};
State s;

}  // namespace

namespace headless {

void failAudioDevice(bool fail) { s.failOutput = fail; }
bool audioOutputOpen() { return s.open; }
int soundVoiceCount() { return static_cast<int>(s.voices.size()); }
int soundSampleCount() { return static_cast<int>(s.samples.size()); }

void advanceSound(double ms) {
    for (auto& [handle, v] : s.voices) {
        if (!v.playing) continue;
        const Sample& sample = s.samples.at(v.sample);
        double length = sample.frames();
        v.frame += ms * sample.format.sampleRate / 1000.0;
        if (v.frame < length) continue;
        if (v.looping && length > 0) {
            while (v.frame >= length) v.frame -= length;
        } else {
            // A voice that is not looping ends at the last frame and is back at the start.
            v.playing = false;
            v.frame = 0;
        }
    }
}

void resetSound() { s = State{}; }

}  // namespace headless

namespace seam {

bool audioOpen() {
    if (s.failOutput || s.open) return false;
    s.open = true;
    return true;
}

void audioClose() { s.open = false; }

uint32_t audioSampleCreate(const AudioFormat& format, const void*, size_t bytes) {
    if (!s.open) return 0;
    uint32_t h = s.nextHandle++;
    s.samples[h] = Sample{format, bytes};
    return h;
}

bool audioSampleWrite(uint32_t sample, const void*, size_t bytes) {
    auto it = s.samples.find(sample);
    if (it == s.samples.end()) return false;
    it->second.bytes = bytes;
    return true;
}

void audioSampleDestroy(uint32_t sample) { s.samples.erase(sample); }

uint32_t audioVoiceCreate(uint32_t sample) {
    if (!s.samples.count(sample)) return 0;
    uint32_t h = s.nextHandle++;
    s.voices[h] = Voice{sample};
    return h;
}

void audioVoiceDestroy(uint32_t voice) { s.voices.erase(voice); }

void audioVoiceSetVolume(uint32_t voice, long hundredthsDb) {
    if (auto it = s.voices.find(voice); it != s.voices.end()) it->second.volume = hundredthsDb;
}

void audioVoicePlay(uint32_t voice, bool looping) {
    auto it = s.voices.find(voice);
    if (it == s.voices.end()) return;
    it->second.looping = looping;
    it->second.playing = true;
}

void audioVoiceStop(uint32_t voice) {
    if (auto it = s.voices.find(voice); it != s.voices.end()) it->second.playing = false;
}

bool audioVoicePlaying(uint32_t voice) {
    auto it = s.voices.find(voice);
    return it != s.voices.end() && it->second.playing;
}

size_t audioVoicePosition(uint32_t voice) {
    auto it = s.voices.find(voice);
    if (it == s.voices.end()) return 0;
    return static_cast<size_t>(it->second.frame) * s.samples.at(it->second.sample).frameBytes();
}

}  // namespace seam
