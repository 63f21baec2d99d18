// Wave input: the default sound input, opened for a PCM format, filling the buffers the caller
// queues and handing each back as a window message. Implemented over SDL2 audio capture.
#pragma once

#include "platform/win32_types.h"

// ---- Results ----------------------------------------------------------------------------------
using MMRESULT = UINT;

#define MMSYSERR_NOERROR 0u
#define MMSYSERR_ERROR 1u
#define MMSYSERR_BADDEVICEID 2u
#define MMSYSERR_ALLOCATED 4u
#define MMSYSERR_INVALHANDLE 5u
#define MMSYSERR_NODRIVER 6u
#define MMSYSERR_NOMEM 7u
#define MMSYSERR_INVALPARAM 11u
#define WAVERR_BADFORMAT 32u
#define WAVERR_STILLPLAYING 33u
#define WAVERR_UNPREPARED 34u

// ---- Devices, formats and opening -------------------------------------------------------------
// The default input device. Device 0 is the same device: this layer knows only the default one.
#define WAVE_MAPPER ((UINT)-1)

#define WAVE_FORMAT_PCM 1

// How notifications are delivered: not at all, or posted to the window given as the callback.
#define CALLBACK_NULL 0x00000000u
#define CALLBACK_WINDOW 0x00010000u

// Notifications posted to the callback window. The first parameter is the device handle; for
// MM_WIM_DATA the second is the returned WAVEHDR.
#define MM_WIM_OPEN 0x3BE
#define MM_WIM_CLOSE 0x3BF
#define MM_WIM_DATA 0x3C0

struct WAVEFORMATEX {
    WORD wFormatTag;       // WAVE_FORMAT_PCM
    WORD nChannels;        // 1 or 2
    DWORD nSamplesPerSec;  // frames per second
    DWORD nAvgBytesPerSec; // nSamplesPerSec * nBlockAlign
    WORD nBlockAlign;      // bytes per frame: nChannels * wBitsPerSample / 8
    WORD wBitsPerSample;   // 16
    WORD cbSize;           // extra format bytes after the structure; 0 for PCM
};
using LPWAVEFORMATEX = WAVEFORMATEX *;
using LPCWAVEFORMATEX = const WAVEFORMATEX *;

using LPHWAVEIN = HWAVEIN *;

// ---- Buffers ----------------------------------------------------------------------------------
#define WHDR_DONE 0x00000001u     // the device has returned the buffer
#define WHDR_PREPARED 0x00000002u // prepared with waveInPrepareHeader
#define WHDR_BEGINLOOP 0x00000004u
#define WHDR_ENDLOOP 0x00000008u
#define WHDR_INQUEUE 0x00000010u // queued with the device and not yet returned

// One buffer and its bookkeeping. On a 32-bit build the structure is 32 bytes; here pointers and
// pointer-sized fields are 8 bytes wide, so callers pass sizeof(WAVEHDR) as the header size.
struct WAVEHDR {
    LPSTR lpData;          // the caller's buffer
    DWORD dwBufferLength;  // its length in bytes
    DWORD dwBytesRecorded; // bytes filled when the buffer comes back
    DWORD_PTR dwUser;      // the caller's own value, never touched
    DWORD dwFlags;         // WHDR_ flags
    DWORD dwLoops;         // output only; ignored by input
    WAVEHDR *lpNext;       // reserved
    DWORD_PTR reserved;    // reserved
};
using LPWAVEHDR = WAVEHDR *;

// ---- Calls ------------------------------------------------------------------------------------
// Opens the default input for a 16-bit PCM format (1 or 2 channels, 1000 to 192000 frames per
// second). The device delivers exactly that format; where the hardware differs the sound is
// converted. With CALLBACK_WINDOW, callback is the window (an HWND) that receives the
// notifications; MM_WIM_OPEN is posted on success. Errors: MMSYSERR_INVALPARAM (no handle
// pointer, unknown callback kind or no window), MMSYSERR_BADDEVICEID (a device other than the
// default, or no input device at all), WAVERR_BADFORMAT (a format other than the above, or fields
// that do not agree), MMSYSERR_NODRIVER (the sound system cannot be started), MMSYSERR_ERROR (the
// input device cannot be opened), MMSYSERR_NOMEM.
MMRESULT waveInOpen(LPHWAVEIN device, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback,
                    DWORD_PTR instance, DWORD flags);

// Closes the device and posts MM_WIM_CLOSE. Fails with WAVERR_STILLPLAYING while buffers are
// still queued (reset first); the handle is invalid afterwards.
MMRESULT waveInClose(HWAVEIN device);

// Marks a buffer usable by the device and clears it for use again. Unpreparing a queued buffer
// fails with WAVERR_STILLPLAYING. headerSize must be at least sizeof(WAVEHDR).
MMRESULT waveInPrepareHeader(HWAVEIN device, LPWAVEHDR header, UINT headerSize);
MMRESULT waveInUnprepareHeader(HWAVEIN device, LPWAVEHDR header, UINT headerSize);

// Queues a prepared buffer behind the others. Buffers are filled in queue order, and each comes
// back as MM_WIM_DATA with dwBytesRecorded set, WHDR_DONE set and WHDR_INQUEUE cleared. Errors:
// WAVERR_UNPREPARED, WAVERR_STILLPLAYING (already queued), MMSYSERR_INVALPARAM (no data or no
// length), MMSYSERR_NODRIVER (the device has gone away).
MMRESULT waveInAddBuffer(HWAVEIN device, LPWAVEHDR header, UINT headerSize);

// Begins recording into the queued buffers. Sound recorded while no buffer is queued is kept
// (up to ten seconds of it) and goes into the next buffers queued.
MMRESULT waveInStart(HWAVEIN device);

// Stops recording and returns every queued buffer, filled or not, each with its own MM_WIM_DATA,
// in queue order. Sound kept for buffers not yet queued is discarded.
MMRESULT waveInReset(HWAVEIN device);

// When the input device goes away while it is open (unplugged, or the sound server ends), every
// queued buffer comes back at once with what it holds, each with its own MM_WIM_DATA, and from then
// on waveInAddBuffer and waveInStart fail with MMSYSERR_NODRIVER. The handle stays valid until
// waveInClose.
