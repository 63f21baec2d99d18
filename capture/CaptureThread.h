// The capture thread: owns the sound input through a hidden window of class RecWClass. Every
// wave-input call and notification happens on this thread; each returned buffer is copied into a
// PcmChunk on PcmQueue.
//
// The UI thread drives it with WM_COMMAND at captureWindow (only the low word is read):
//   CMD_REC (sent)   opens the default input with sampleRate and channelCount and starts
//                    recording. The send's result is MMSYSERR_NOERROR (0) when the device was
//                    opened, otherwise the MMRESULT of the call that failed; after a failure
//                    nothing is open and nothing will be recorded, so the caller stays idle.
//   CMD_STOP (sent)  stops the recording; the first buffer the device returns afterwards closes
//                    it and is dropped. Does nothing while no device is open.
//   CMD_CLOSE_CAPTURE (posted)  ends the thread: the window is destroyed (an open device is reset
//                    and closed first) and captureWindow becomes null.
//
// When the device goes away during a recording, or refuses its buffers right after opening, the
// capture window closes it and posts WM_CAPTURE_LOST to appState.mainWindow with the MMRESULT of
// the refusal as the first parameter. The recording has then ended: nothing more is pushed, a
// following CMD_STOP does nothing and the next CMD_REC opens the device afresh.
#pragma once

#include "platform/win32.h"

// Posted by the capture window to the main window when a recording ended because of the device.
inline constexpr UINT WM_CAPTURE_LOST = WM_APP + 0x21;

// Size of each of the two capture buffers.
inline constexpr DWORD kCaptureBufferSize = 8000;

// The class of the capture window; the entry point registers it with CaptureWindowProc.
inline constexpr const wchar_t *kCaptureWindowClass = L"RecWClass";

// The window procedure of class RecWClass.
LRESULT CALLBACK CaptureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Thread entry: creates the capture window, stores it in appState.captureWindow and runs the
// thread's message loop until the window is destroyed. Returns 0. When the window cannot be
// created captureWindow stays null and the thread ends at once.
DWORD WINAPI CaptureThread(LPVOID parameter);

// The recording format for a rate and channel count: 16-bit PCM.
void fillCaptureFormat(WAVEFORMATEX &format, int sampleRate, int channelCount);
