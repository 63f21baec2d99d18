#include "capture/CaptureThread.h"

#include <cstring>
#include <new>

#include "app/AppState.h"
#include "capture/ChunkQueues.h"

// Everything here except appState.captureWindow is used only on the capture thread.
namespace {

BOOL exitRequested = FALSE;
// A stop is in progress: the next buffer of the open device closes it.
BOOL stopping = FALSE;
// The open device, null while none is open.
HWAVEIN device = nullptr;
// Buffers queued with the open device whose MM_WIM_DATA has not been handled yet.
int buffersOut = 0;

WAVEFORMATEX format;
WAVEHDR headerA;
WAVEHDR headerB;
unsigned char bufferA[kCaptureBufferSize];
unsigned char bufferB[kCaptureBufferSize];

void resetHeader(WAVEHDR &header, unsigned char *buffer) {
    header.lpData = reinterpret_cast<LPSTR>(buffer);
    header.dwBufferLength = kCaptureBufferSize;
    header.dwBytesRecorded = 0;
    header.dwUser = 0;
    header.dwFlags = 0;
    header.dwLoops = 1;
    header.lpNext = nullptr;
    header.reserved = 0;
}

// Copies the recorded bytes of a returned buffer into a new chunk on PcmQueue.
void pushRecorded(const WAVEHDR *header) {
    DWORD length = header->dwBytesRecorded;
    if (length == 0) {
        return;
    }
    auto *data = new (std::nothrow) unsigned char[length];
    if (data == nullptr) {
        return;
    }
    std::memcpy(data, header->lpData, length);
    PcmQueue.push(PcmChunk{static_cast<int32_t>(length), data});
}

// Resets and closes the open device. Buffers the reset returns come back as notifications of a
// closed device.
void closeDevice() {
    waveInReset(device);
    waveInClose(device);
    device = nullptr;
    buffersOut = 0;
    stopping = FALSE;
}

// The device refused to go on: the recording ends and the main window is told why.
void endLostRecording(MMRESULT reason) {
    closeDevice();
    if (appState.mainWindow != nullptr) {
        PostMessageW(appState.mainWindow, WM_CAPTURE_LOST, reason, 0);
    }
}

void queueBuffer(WAVEHDR &header, MMRESULT &firstFailure) {
    MMRESULT result = waveInAddBuffer(device, &header, sizeof(WAVEHDR));
    if (result == MMSYSERR_NOERROR) {
        ++buffersOut;
    } else if (firstFailure == MMSYSERR_NOERROR) {
        firstFailure = result;
    }
}

LRESULT onRec(HWND window) {
    // A device still open here belongs to a stop whose first buffer has not come back yet (or to
    // a recording that was never stopped); it is finished off before the new one opens.
    if (device != nullptr) {
        closeDevice();
    }
    stopping = FALSE;
    fillCaptureFormat(format, appState.sampleRate.load(), appState.channelCount.load());
    resetHeader(headerA, bufferA);
    resetHeader(headerB, bufferB);

    HWAVEIN opened = nullptr;
    MMRESULT result = waveInOpen(&opened, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(window),
                                 0, CALLBACK_WINDOW);
    if (result != MMSYSERR_NOERROR) {
        return static_cast<LRESULT>(result);
    }
    device = opened;
    buffersOut = 0;
    result = waveInPrepareHeader(device, &headerA, sizeof(WAVEHDR));
    if (result == MMSYSERR_NOERROR) {
        result = waveInPrepareHeader(device, &headerB, sizeof(WAVEHDR));
    }
    if (result != MMSYSERR_NOERROR) {
        closeDevice();
    }
    return static_cast<LRESULT>(result);
}

void onStop() {
    if (device == nullptr) {
        return;
    }
    stopping = TRUE;
    waveInReset(device);
    // Stopped before the open notice was handled: no buffer is out to come back and finish the
    // stop, so it finishes here.
    if (buffersOut == 0) {
        closeDevice();
    }
}

void onCloseCapture(HWND window) {
    if (stopping) {
        closeDevice();
        return;
    }
    DestroyWindow(window);
}

void onOpen(HWAVEIN opened) {
    // The open notice of a device already closed again.
    if (opened != device) {
        return;
    }
    MMRESULT failure = MMSYSERR_NOERROR;
    queueBuffer(headerA, failure);
    queueBuffer(headerB, failure);
    if (failure == MMSYSERR_NOERROR) {
        failure = waveInStart(device);
    }
    if (failure != MMSYSERR_NOERROR) {
        endLostRecording(failure);
    }
}

void onData(HWAVEIN from, WAVEHDR *header) {
    if (from != device) {
        // A buffer that the reset of a closed device returned. While no newer device is open its
        // sound is still the last recording's; once one is, the header is in use again.
        if (device == nullptr) {
            pushRecorded(header);
        }
        return;
    }
    --buffersOut;
    if (stopping) {
        closeDevice();
        return;
    }
    pushRecorded(header);
    MMRESULT failure = MMSYSERR_NOERROR;
    queueBuffer(*header, failure);
    if (failure != MMSYSERR_NOERROR) {
        endLostRecording(failure);
    }
}

void onClose(HWAVEIN closed) {
    waveInUnprepareHeader(closed, &headerA, sizeof(WAVEHDR));
    waveInUnprepareHeader(closed, &headerB, sizeof(WAVEHDR));
}

} // namespace

void fillCaptureFormat(WAVEFORMATEX &target, int sampleRate, int channelCount) {
    target.wFormatTag = WAVE_FORMAT_PCM;
    target.nChannels = static_cast<WORD>(channelCount);
    target.nSamplesPerSec = static_cast<DWORD>(sampleRate);
    target.nBlockAlign = static_cast<WORD>(channelCount * 16 / 8);
    target.nAvgBytesPerSec = target.nSamplesPerSec * target.nBlockAlign;
    target.wBitsPerSample = 16;
    target.cbSize = 0;
}

LRESULT CALLBACK CaptureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case CMD_REC:
            return onRec(window);
        case CMD_STOP:
            onStop();
            return 0;
        case CMD_CLOSE_CAPTURE:
            onCloseCapture(window);
            return 0;
        default:
            return 0;
        }
    case MM_WIM_OPEN:
        onOpen(reinterpret_cast<HWAVEIN>(wParam));
        return 0;
    case MM_WIM_DATA:
        onData(reinterpret_cast<HWAVEIN>(wParam), reinterpret_cast<WAVEHDR *>(lParam));
        return 0;
    case MM_WIM_CLOSE:
        onClose(reinterpret_cast<HWAVEIN>(wParam));
        return 0;
    case WM_DESTROY:
        // The device's notifications have nowhere to go once the window is gone.
        if (device != nullptr) {
            closeDevice();
        }
        exitRequested = TRUE;
        return DefWindowProcW(window, message, wParam, lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

DWORD WINAPI CaptureThread(LPVOID) {
    exitRequested = FALSE;
    // Hidden: the window only receives the device's notifications and never reaches the screen.
    HWND window = CreateWindowExW(0, kCaptureWindowClass, L"", WS_POPUP, 0, 0, 1, 1,
                                  appState.mainWindow, nullptr, nullptr, nullptr);
    if (window == nullptr) {
        return 0;
    }
    appState.captureWindow.store(window);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (exitRequested) {
            break;
        }
    }
    appState.captureWindow.store(nullptr);
    return 0;
}
