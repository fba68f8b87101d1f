// The DirectSound 8 subset the game is written against, spelt as DirectSound spells it.
// The objects are plain classes of ours rather than COM interfaces: the game calls them the same way.
#pragma once

#include <windows.h>

#define MAKE_DSHRESULT(code) ((HRESULT)(0x88780000u | (code)))
#define DS_OK S_OK
#define DSERR_ALLOCATED MAKE_DSHRESULT(10)
#define DSERR_CONTROLUNAVAIL MAKE_DSHRESULT(30)
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_INVALIDCALL MAKE_DSHRESULT(50)
#define DSERR_PRIOLEVELNEEDED MAKE_DSHRESULT(70)
#define DSERR_BADFORMAT MAKE_DSHRESULT(100)
#define DSERR_NODRIVER MAKE_DSHRESULT(120)
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_NOINTERFACE E_NOINTERFACE
#define DSERR_UNSUPPORTED E_NOTIMPL
#define DSERR_NOAGGREGATION ((HRESULT)0x80040110)

#define WAVE_FORMAT_PCM 1

#pragma pack(push, 1)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
typedef WAVEFORMATEX* LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;

// Cooperative levels
#define DSSCL_NORMAL 0x00000001
#define DSSCL_PRIORITY 0x00000002
#define DSSCL_EXCLUSIVE 0x00000003
#define DSSCL_WRITEPRIMARY 0x00000004

// Buffer capabilities
#define DSBCAPS_PRIMARYBUFFER 0x00000001
#define DSBCAPS_STATIC 0x00000002
#define DSBCAPS_LOCHARDWARE 0x00000004
#define DSBCAPS_LOCSOFTWARE 0x00000008
#define DSBCAPS_CTRLFREQUENCY 0x00000020
#define DSBCAPS_CTRLPAN 0x00000040
#define DSBCAPS_CTRLVOLUME 0x00000080
#define DSBCAPS_GLOBALFOCUS 0x00008000

#define DSBSIZE_MIN 4
#define DSBSIZE_MAX 0x0FFFFFFF
#define DSBFREQUENCY_MIN 100
#define DSBFREQUENCY_MAX 200000
#define DSBVOLUME_MIN -10000
#define DSBVOLUME_MAX 0

#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER 0x00000002

#define DSBPLAY_LOOPING 0x00000001

#define DSBSTATUS_PLAYING 0x00000001
#define DSBSTATUS_BUFFERLOST 0x00000002
#define DSBSTATUS_LOOPING 0x00000004

struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    LPWAVEFORMATEX lpwfxFormat;
    GUID guid3DAlgorithm;
};
typedef DSBUFFERDESC* LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

typedef const GUID* LPCGUID;
typedef void* LPUNKNOWN;

inline constexpr GUID IID_IDirectSoundBuffer = {
    0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr GUID IID_IDirectSoundBuffer8 = {
    0x6825A449, 0x7524, 0x4D82, {0x92, 0x0F, 0x50, 0xE3, 0x6A, 0xB3, 0xAB, 0x1E}};

class IDirectSound8;

// A primary or secondary buffer. Every secondary buffer is also an IDirectSoundBuffer8 (QueryInterface
// gives the same object with one more reference); the primary buffer only mixes and has no version 8.
class IDirectSoundBuffer {
public:
    ULONG AddRef();
    ULONG Release();
    HRESULT QueryInterface(REFIID iid, void** object);

    HRESULT GetStatus(DWORD* status);
    HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor);
    HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, DWORD* sizeWritten);
    HRESULT SetFormat(LPCWAVEFORMATEX format);
    HRESULT GetVolume(LONG* volume);
    HRESULT SetVolume(LONG volume);
    HRESULT Play(DWORD reserved1, DWORD priority, DWORD flags);
    HRESULT Stop();
    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, DWORD* bytes1, LPVOID* audio2, DWORD* bytes2, DWORD flags);
    HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2);

    struct Impl;
    Impl* impl;

protected:
    friend class IDirectSound8;
    explicit IDirectSoundBuffer(Impl* impl) : impl(impl) {}
    ~IDirectSoundBuffer();
};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

// As in DirectSound's own header, a version-8 buffer does not convert to IDirectSoundBuffer by itself:
// callers cast it, which gives the same object.
class IDirectSoundBuffer8 : private IDirectSoundBuffer {
public:
    using IDirectSoundBuffer::AddRef;
    using IDirectSoundBuffer::GetCurrentPosition;
    using IDirectSoundBuffer::GetFormat;
    using IDirectSoundBuffer::GetStatus;
    using IDirectSoundBuffer::GetVolume;
    using IDirectSoundBuffer::impl;
    using IDirectSoundBuffer::Lock;
    using IDirectSoundBuffer::Play;
    using IDirectSoundBuffer::QueryInterface;
    using IDirectSoundBuffer::Release;
    using IDirectSoundBuffer::SetFormat;
    using IDirectSoundBuffer::SetVolume;
    using IDirectSoundBuffer::Stop;
    using IDirectSoundBuffer::Unlock;
    using IDirectSoundBuffer::Impl;

private:
    friend class IDirectSound8;
    friend class IDirectSoundBuffer;
    explicit IDirectSoundBuffer8(Impl* impl) : IDirectSoundBuffer(impl) {}
};
typedef IDirectSoundBuffer8* LPDIRECTSOUNDBUFFER8;

class IDirectSound8 {
public:
    ULONG AddRef();
    ULONG Release();
    HRESULT SetCooperativeLevel(HWND hWnd, DWORD level);
    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer);
    HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate);

    struct Impl;
    Impl* impl;

private:
    friend HRESULT WINAPI DirectSoundCreate8(LPCGUID device, IDirectSound8** ds, LPUNKNOWN outer);
    explicit IDirectSound8(Impl* impl) : impl(impl) {}
    ~IDirectSound8();
};
typedef IDirectSound8* LPDIRECTSOUND8;

// Opens the default output (device must be null) with no aggregation (outer must be null).
HRESULT WINAPI DirectSoundCreate8(LPCGUID device, IDirectSound8** ds, LPUNKNOWN outer);
