// The narrow audio seam under DirectSound: one output, sample blocks holding PCM data, and voices that
// play a block. Implemented by al/ (OpenAL Soft) and headless/ (silent voices on a clock the caller moves).
//
// Call order: audioOpen() before anything else here, and nothing after audioClose() until the next
// audioOpen(). A sample is created with its data and may be written again later (voices playing it keep
// their place); a voice is created on a sample that outlives it; voices are destroyed before their
// sample, and every voice and sample before audioClose(). Handles are never 0; 0 means "failed".
#pragma once

#include <cstddef>
#include <cstdint>

namespace seam {

struct AudioFormat {
    int channels;       // 1 or 2
    int bitsPerSample;  // 8 (unsigned) or 16 (signed), interleaved, little-endian
    uint32_t sampleRate;
};

// The default output. False when there is none.
bool audioOpen();
void audioClose();

// `bytes` is a whole number of frames.
uint32_t audioSampleCreate(const AudioFormat& format, const void* data, size_t bytes);
bool audioSampleWrite(uint32_t sample, const void* data, size_t bytes);
void audioSampleDestroy(uint32_t sample);

// A new voice is stopped at the start of its sample, at full volume.
uint32_t audioVoiceCreate(uint32_t sample);
void audioVoiceDestroy(uint32_t voice);
// Volume in hundredths of a decibel, 0 = full, -10000 = silence; the backend turns it into a gain.
void audioVoiceSetVolume(uint32_t voice, long hundredthsDb);
// Starts a stopped voice where it stands; on a playing voice only the looping changes. A voice that is
// not looping stops by itself at the end of its sample and goes back to the start.
void audioVoicePlay(uint32_t voice, bool looping);
// Stops where it is: the next play goes on from there.
void audioVoiceStop(uint32_t voice);
bool audioVoicePlaying(uint32_t voice);
size_t audioVoicePosition(uint32_t voice);  // in bytes from the start of the sample

}  // namespace seam
