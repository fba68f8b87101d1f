// The DirectSound 8 device and buffers: argument checks, the sample memory that a buffer and its
// duplicates share, reference counts, and the hand-over of voices to the audio backend.
#include <dsound.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "seam/audio.h"
#include "seam/trace.h"

namespace {

// Every live device object or buffer holds the output open; the last one to go closes it.
int outputHolders = 0;

bool holdOutput() {
    if (outputHolders == 0 && !seam::audioOpen()) return false;
    ++outputHolders;
    return true;
}

void letGoOfOutput() {
    if (--outputHolders == 0) seam::audioClose();
}

// The sample memory of one secondary buffer, shared by its duplicates and freed with the last of them.
struct Block {
    uint8_t* bytes = nullptr;
    DWORD size = 0;
    WAVEFORMATEX format{};
    uint32_t sample = 0;  // the backend's copy, made when the memory is first unlocked or played

    ~Block() {
        if (sample) seam::audioSampleDestroy(sample);
        std::free(bytes);
    }
    size_t wholeFrames() const { return size - size % format.nBlockAlign; }
    bool upload() {
        if (sample) return seam::audioSampleWrite(sample, bytes, wholeFrames());
        seam::AudioFormat f{format.nChannels, format.wBitsPerSample, format.nSamplesPerSec};
        sample = seam::audioSampleCreate(f, bytes, wholeFrames());
        return sample != 0;
    }
};

bool isPlayableFormat(const WAVEFORMATEX& f) {
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= DSBFREQUENCY_MIN &&
           f.nSamplesPerSec <= DSBFREQUENCY_MAX && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

}  // namespace

struct IDirectSound8::Impl {
    ULONG refs = 1;
    DWORD level = 0;
    IDirectSoundBuffer* primary = nullptr;  // one per device; a second request hands out the same one
};

struct IDirectSoundBuffer::Impl {
    ULONG refs = 1;
    IDirectSound8::Impl* device = nullptr;  // the primary buffer's device, while it lives
    bool primary = false;
    DWORD flags = 0;
    WAVEFORMATEX format{};         // the primary buffer's mixing format
    std::shared_ptr<Block> block;  // secondary buffers only
    LONG volume = 0;
    bool looping = false;
    uint32_t voice = 0;  // made at the first play: a buffer that is only duplicated never takes one
};

// ---- IDirectSound8 ----

HRESULT WINAPI DirectSoundCreate8(LPCGUID device, IDirectSound8** ds, LPUNKNOWN outer) {
    seam::trace("DirectSoundCreate8");
    if (!ds) return DSERR_INVALIDPARAM;
    *ds = nullptr;
    if (outer) return DSERR_NOAGGREGATION;
    if (device) return DSERR_NODRIVER;  // only the default output is offered
    if (!holdOutput()) return DSERR_NODRIVER;
    auto* impl = new (std::nothrow) IDirectSound8::Impl();
    auto* object = impl ? new (std::nothrow) IDirectSound8(impl) : nullptr;
    if (!object) {
        delete impl;
        letGoOfOutput();
        return DSERR_OUTOFMEMORY;
    }
    *ds = object;
    return DS_OK;
}

IDirectSound8::~IDirectSound8() { delete impl; }

ULONG IDirectSound8::AddRef() { return ++impl->refs; }

ULONG IDirectSound8::Release() {
    ULONG left = --impl->refs;
    if (left == 0) {
        // Buffers still held by the caller keep working on their own; only the device's hold goes.
        if (impl->primary) impl->primary->impl->device = nullptr;
        delete this;
        letGoOfOutput();
    }
    return left;
}

HRESULT IDirectSound8::SetCooperativeLevel(HWND hWnd, DWORD level) {
    seam::trace("SetCooperativeLevel");
    if (!hWnd || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
    impl->level = level;
    return DS_OK;
}

HRESULT IDirectSound8::CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) {
    seam::trace("CreateSoundBuffer");
    if (!buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (outer) return DSERR_NOAGGREGATION;
    if (!desc || (desc->dwSize != sizeof(DSBUFFERDESC) && desc->dwSize != offsetof(DSBUFFERDESC, guid3DAlgorithm)))
        return DSERR_INVALIDPARAM;

    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
        if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) return DSERR_INVALIDPARAM;
        if (impl->primary) {
            impl->primary->AddRef();
            *buffer = impl->primary;
            return DS_OK;
        }
    } else {
        if (!desc->lpwfxFormat) return DSERR_INVALIDPARAM;
        if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
        if (!isPlayableFormat(*desc->lpwfxFormat)) return DSERR_BADFORMAT;
    }

    auto* b = new (std::nothrow) IDirectSoundBuffer::Impl();
    if (!b) return DSERR_OUTOFMEMORY;
    b->flags = desc->dwFlags;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
        b->primary = true;
        b->format = WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 22050, 44100, 2, 8, 0};  // DirectSound's starting mix
    } else {
        b->block = std::shared_ptr<Block>(new (std::nothrow) Block(), std::default_delete<Block>());
        // A new buffer holds silence: zero for 16-bit samples (calloc leaves untouched pages to the
        // system), the middle value for unsigned 8-bit ones.
        bool eightBit = desc->lpwfxFormat->wBitsPerSample == 8;
        uint8_t* bytes = !b->block  ? nullptr
                         : eightBit ? static_cast<uint8_t*>(std::malloc(desc->dwBufferBytes))
                                    : static_cast<uint8_t*>(std::calloc(desc->dwBufferBytes, 1));
        if (!bytes) {
            delete b;
            return DSERR_OUTOFMEMORY;
        }
        b->block->bytes = bytes;
        b->block->size = desc->dwBufferBytes;
        b->block->format = *desc->lpwfxFormat;
        b->block->format.cbSize = 0;
        if (eightBit) std::memset(bytes, 0x80, desc->dwBufferBytes);
    }
    IDirectSoundBuffer* object =
        b->primary ? new (std::nothrow) IDirectSoundBuffer(b) : new (std::nothrow) IDirectSoundBuffer8(b);
    if (!object) {
        delete b;
        return DSERR_OUTOFMEMORY;
    }
    holdOutput();  // cannot fail: this device already holds it
    if (b->primary) {
        b->device = impl;
        impl->primary = object;
    }
    *buffer = object;
    return DS_OK;
}

HRESULT IDirectSound8::DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) {
    seam::trace("DuplicateSoundBuffer");
    if (!original || !duplicate) return DSERR_INVALIDPARAM;
    *duplicate = nullptr;
    if (original->impl->primary) return DSERR_INVALIDCALL;
    auto* b = new (std::nothrow) IDirectSoundBuffer::Impl();
    auto* object = b ? new (std::nothrow) IDirectSoundBuffer8(b) : nullptr;
    if (!object) {
        delete b;
        return DSERR_OUTOFMEMORY;
    }
    // Same memory, format and volume; its own play state, stopped at the start.
    b->flags = original->impl->flags;
    b->block = original->impl->block;
    b->volume = original->impl->volume;
    holdOutput();
    *duplicate = object;
    return DS_OK;
}

// ---- IDirectSoundBuffer ----

IDirectSoundBuffer::~IDirectSoundBuffer() {
    if (impl->voice) seam::audioVoiceDestroy(impl->voice);
    if (impl->primary && impl->device) impl->device->primary = nullptr;
    impl->block.reset();
    delete impl;
    letGoOfOutput();
}

ULONG IDirectSoundBuffer::AddRef() { return ++impl->refs; }

ULONG IDirectSoundBuffer::Release() {
    ULONG left = --impl->refs;
    if (left == 0) {
        if (impl->primary)
            delete this;
        else
            delete static_cast<IDirectSoundBuffer8*>(this);
    }
    return left;
}

HRESULT IDirectSoundBuffer::QueryInterface(REFIID iid, void** object) {
    if (!object) return DSERR_INVALIDPARAM;
    *object = nullptr;
    if (iid == IID_IDirectSoundBuffer || (iid == IID_IDirectSoundBuffer8 && !impl->primary)) {
        AddRef();
        *object = this;
        return DS_OK;
    }
    return DSERR_NOINTERFACE;
}

HRESULT IDirectSoundBuffer::GetStatus(DWORD* status) {
    if (!status) return DSERR_INVALIDPARAM;
    *status = 0;
    if (impl->voice && seam::audioVoicePlaying(impl->voice))
        *status = DSBSTATUS_PLAYING | (impl->looping ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) {
    if (impl->primary) return DSERR_INVALIDCALL;
    DWORD at = impl->voice ? static_cast<DWORD>(seam::audioVoicePosition(impl->voice)) : 0;
    if (playCursor) *playCursor = at;
    if (writeCursor) *writeCursor = at;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, DWORD* sizeWritten) {
    if (sizeWritten) *sizeWritten = sizeof(WAVEFORMATEX);
    if (!format) return sizeWritten ? DS_OK : DSERR_INVALIDPARAM;
    if (sizeAllocated < sizeof(WAVEFORMATEX)) return DSERR_INVALIDPARAM;
    *format = impl->primary ? impl->format : impl->block->format;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetFormat(LPCWAVEFORMATEX format) {
    if (!impl->primary) return DSERR_INVALIDCALL;
    if (!format) return DSERR_INVALIDPARAM;
    if (!impl->device || impl->device->level < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
    if (!isPlayableFormat(*format)) return DSERR_BADFORMAT;
    // The backend mixes at its own rate; the format is remembered for GetFormat.
    impl->format = *format;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetVolume(LONG* volume) {
    if (!volume) return DSERR_INVALIDPARAM;
    if (!(impl->flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    *volume = impl->volume;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetVolume(LONG volume) {
    if (!(impl->flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    impl->volume = volume;
    if (impl->voice) seam::audioVoiceSetVolume(impl->voice, volume);
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Play(DWORD reserved1, DWORD, DWORD flags) {
    if (reserved1 != 0) return DSERR_INVALIDPARAM;
    if (impl->primary) return DS_OK;  // the primary buffer mixes whenever the output is open
    if (!impl->voice) {
        if (!impl->block->sample && !impl->block->upload()) return DSERR_OUTOFMEMORY;
        impl->voice = seam::audioVoiceCreate(impl->block->sample);
        if (!impl->voice) return DSERR_OUTOFMEMORY;
        seam::audioVoiceSetVolume(impl->voice, impl->volume);
    }
    impl->looping = (flags & DSBPLAY_LOOPING) != 0;
    seam::audioVoicePlay(impl->voice, impl->looping);
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Stop() {
    if (impl->voice) seam::audioVoiceStop(impl->voice);
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* audio1, DWORD* bytes1, LPVOID* audio2,
                                 DWORD* bytes2, DWORD flags) {
    if (impl->primary) return DSERR_PRIOLEVELNEEDED;  // writing the mix needs DSSCL_WRITEPRIMARY
    if (!audio1 || !bytes1) return DSERR_INVALIDPARAM;
    const Block& block = *impl->block;
    if (flags & DSBLOCK_ENTIREBUFFER) bytes = block.size;
    if (offset >= block.size || bytes == 0 || bytes > block.size) return DSERR_INVALIDPARAM;
    // A region that runs past the end goes on at the start, as the second region.
    DWORD first = bytes < block.size - offset ? bytes : block.size - offset;
    DWORD second = bytes - first;
    if (second && (!audio2 || !bytes2)) return DSERR_INVALIDPARAM;
    *audio1 = block.bytes + offset;
    *bytes1 = first;
    if (audio2) *audio2 = second ? block.bytes : nullptr;
    if (bytes2) *bytes2 = second;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) {
    if (impl->primary) return DSERR_INVALIDCALL;
    Block& block = *impl->block;
    auto inside = [&](LPVOID p, DWORD n) {
        auto* at = static_cast<uint8_t*>(p);
        return !p ||
               (at >= block.bytes && n <= block.size && at - block.bytes <= static_cast<ptrdiff_t>(block.size - n));
    };
    if (!audio1 || !inside(audio1, bytes1) || !inside(audio2, bytes2)) return DSERR_INVALIDPARAM;
    // The backend keeps its own copy of the memory; hand it the new contents.
    if (!block.upload()) return DSERR_OUTOFMEMORY;
    return DS_OK;
}
