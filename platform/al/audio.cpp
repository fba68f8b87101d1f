// The audio backend over OpenAL Soft: one AL buffer per sample block, one source per voice, every
// source flat (no position, no distance), its gain taken from DirectSound's hundredths of a decibel.
// As in DirectSound, a mono sound is heard at full level in both channels: where OpenAL Soft can send
// channels straight to the speakers, mono samples are stored as stereo and played that way, instead of
// being panned to the centre 3 dB down.
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "seam/audio.h"

namespace {

ALCdevice* device = nullptr;
ALCcontext* context = nullptr;
bool directChannels = false;

struct Sample {
    ALuint buffer;
    seam::AudioFormat format;
    bool widened;  // mono stored as stereo
};
std::map<uint32_t, Sample> samples;
std::map<uint32_t, uint32_t> voiceSample;  // voice (the AL source name) → its sample

// The one place AL errors are looked at: reported once each on stderr, the call treated as failed.
bool alOk(const char* what) {
    ALenum e = alGetError();
    if (e == AL_NO_ERROR) return true;
    std::fprintf(stderr, "quillmoor: OpenAL %s failed: %s\n", what, alGetString(e));
    return false;
}

bool fill(const Sample& s, const void* data, size_t bytes) {
    const auto* in = static_cast<const uint8_t*>(data);
    int sampleBytes = s.format.bitsPerSample / 8;
    std::vector<uint8_t> wide;
    if (s.widened) {
        wide.resize(bytes * 2);
        for (size_t i = 0; i + sampleBytes <= bytes; i += sampleBytes) {
            std::copy(in + i, in + i + sampleBytes, wide.data() + 2 * i);
            std::copy(in + i, in + i + sampleBytes, wide.data() + 2 * i + sampleBytes);
        }
        in = wide.data();
        bytes = wide.size();
    }
    bool stereo = s.widened || s.format.channels == 2;
    ALenum format = stereo ? (sampleBytes == 1 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16)
                           : (sampleBytes == 1 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16);
    alBufferData(s.buffer, format, in, static_cast<ALsizei>(bytes), static_cast<ALsizei>(s.format.sampleRate));
    return alOk("alBufferData");
}

ALint sourceState(ALuint source) {
    ALint state = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

}  // namespace

namespace seam {

bool audioOpen() {
    if (device) return false;
    device = alcOpenDevice(nullptr);
    if (!device) return false;
    context = alcCreateContext(device, nullptr);
    if (!context || !alcMakeContextCurrent(context)) {
        if (context) alcDestroyContext(context);
        alcCloseDevice(device);
        context = nullptr;
        device = nullptr;
        return false;
    }
    alGetError();
    directChannels = alIsExtensionPresent("AL_SOFT_direct_channels");
    return true;
}

void audioClose() {
    if (!device) return;
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
    samples.clear();
    voiceSample.clear();
}

uint32_t audioSampleCreate(const AudioFormat& format, const void* data, size_t bytes) {
    if (!device) return 0;
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (!alOk("alGenBuffers")) return 0;
    Sample s{buffer, format, format.channels == 1 && directChannels};
    if (!fill(s, data, bytes)) {
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    samples[buffer] = s;
    return buffer;
}

bool audioSampleWrite(uint32_t sample, const void* data, size_t bytes) {
    auto it = samples.find(sample);
    if (it == samples.end()) return false;
    // AL refuses new data for a buffer that a source holds: take it off every such source, keeping each
    // source's place and state, and put it back afterwards.
    struct Held {
        ALuint source;
        ALint state, offset;
    };
    std::vector<Held> held;
    for (auto [voice, s] : voiceSample) {
        if (s != sample) continue;
        Held h{voice, sourceState(voice), 0};
        alGetSourcei(voice, AL_BYTE_OFFSET, &h.offset);
        alSourceStop(voice);
        alSourcei(voice, AL_BUFFER, 0);
        held.push_back(h);
    }
    bool ok = fill(it->second, data, bytes);
    for (const Held& h : held) {
        alSourcei(h.source, AL_BUFFER, static_cast<ALint>(it->second.buffer));
        if (h.state == AL_PLAYING || h.state == AL_PAUSED) {
            alSourcei(h.source, AL_BYTE_OFFSET, h.offset);
            alSourcePlay(h.source);
            if (h.state == AL_PAUSED) alSourcePause(h.source);
        }
    }
    return ok;
}

void audioSampleDestroy(uint32_t sample) {
    auto it = samples.find(sample);
    if (it == samples.end()) return;
    alDeleteBuffers(1, &it->second.buffer);
    alOk("alDeleteBuffers");
    samples.erase(it);
}

uint32_t audioVoiceCreate(uint32_t sample) {
    auto it = samples.find(sample);
    if (it == samples.end()) return 0;
    ALuint source = 0;
    alGenSources(1, &source);
    if (!alOk("alGenSources")) return 0;
    // Sound effects are heard as recorded: at the listener, no distance fall-off.
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    if (directChannels) alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(it->second.buffer));
    if (!alOk("source set-up")) {
        alDeleteSources(1, &source);
        return 0;
    }
    voiceSample[source] = sample;
    return source;
}

void audioVoiceDestroy(uint32_t voice) {
    if (!voiceSample.erase(voice)) return;
    ALuint source = voice;
    alSourceStop(source);
    alDeleteSources(1, &source);
    alOk("alDeleteSources");
}

void audioVoiceSetVolume(uint32_t voice, long hundredthsDb) {
    if (!voiceSample.count(voice)) return;
    alSourcef(voice, AL_GAIN, static_cast<ALfloat>(std::pow(10.0, hundredthsDb / 2000.0)));
    alOk("AL_GAIN");
}

void audioVoicePlay(uint32_t voice, bool looping) {
    if (!voiceSample.count(voice)) return;
    alSourcei(voice, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    // alSourcePlay on a playing source starts it over; a paused one resumes, a stopped one starts at 0.
    if (sourceState(voice) != AL_PLAYING) alSourcePlay(voice);
    alOk("alSourcePlay");
}

void audioVoiceStop(uint32_t voice) {
    if (!voiceSample.count(voice)) return;
    // A pause keeps the place; an AL stop would send the next play back to the start.
    if (sourceState(voice) == AL_PLAYING) alSourcePause(voice);
    alOk("alSourcePause");
}

bool audioVoicePlaying(uint32_t voice) { return voiceSample.count(voice) && sourceState(voice) == AL_PLAYING; }

size_t audioVoicePosition(uint32_t voice) {
    if (!voiceSample.count(voice)) return 0;
    ALint offset = 0;
    alGetSourcei(voice, AL_BYTE_OFFSET, &offset);
    if (offset <= 0) return 0;
    return samples[voiceSample[voice]].widened ? static_cast<size_t>(offset) / 2 : static_cast<size_t>(offset);
}

}  // namespace seam
