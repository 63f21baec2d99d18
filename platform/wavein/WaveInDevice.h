// Internal to the layer: one open wave-input device, the buffers queued with it and the sound kept
// for buffers not yet queued. The sound arrives on the audio thread; every call of the interface
// comes from the thread that opened the device. All state below is guarded by the device's mutex.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/messages.h"
#include "platform/wavein.h"

namespace platform {

class WaveInDevice {
public:
    WaveInDevice(HWAVEIN handle, HWND window, const WAVEFORMATEX &format);
    WaveInDevice(const WaveInDevice &) = delete;
    WaveInDevice &operator=(const WaveInDevice &) = delete;

    HWAVEIN handle() const { return handle_; }
    HWND window() const { return window_; }
    const WAVEFORMATEX &format() const { return format_; }

    // Sound from the audio thread: fills the queued buffers in order, returning each when full,
    // and keeps what no buffer takes. Ignored unless started and not lost.
    void deliver(const unsigned char *bytes, size_t length);

    MMRESULT prepare(WAVEHDR *header);
    MMRESULT unprepare(WAVEHDR *header);
    MMRESULT add(WAVEHDR *header);
    // Marks the device started; the caller then lets the sound flow.
    MMRESULT start();
    // Called after the sound has stopped flowing: returns every queued buffer and drops the kept
    // sound.
    void reset();
    // The device has gone away: returns every queued buffer and refuses further ones.
    void markLost();
    bool hasQueuedBuffers();

    struct Snapshot {
        bool started;
        bool lost;
        size_t queuedBuffers;
        DWORD frontBytesRecorded; // of the buffer being filled, 0 without one
        size_t keptBytes;
        size_t keptCapacity;
    };
    Snapshot snapshot();

private:
    // Usable length of a buffer: whole frames only.
    DWORD usableLength(const WAVEHDR *header) const;
    // Copies into the front buffer as much as fits; returns the bytes taken.
    size_t fillFront(const unsigned char *bytes, size_t length);
    // Hands the front buffer back with MM_WIM_DATA. Called with the mutex held, so that the
    // notifications leave in queue order whichever thread returns the buffer.
    void returnFront();
    void keep(const unsigned char *bytes, size_t length);
    // Moves kept sound into the queued buffers.
    void drainKept();

    const HWAVEIN handle_;
    const HWND window_;
    const WAVEFORMATEX format_;

    std::mutex mutex_;
    std::deque<WAVEHDR *> queue_;
    // Ring of sound recorded while no buffer was queued.
    std::vector<unsigned char> kept_;
    size_t keptHead_ = 0;
    size_t keptSize_ = 0;
    bool started_ = false;
    bool lost_ = false;
};

// ---- Inspection and events of the open devices (tests and the audio backend) -------------------
struct WaveInState {
    HWAVEIN handle;
    WAVEFORMATEX format; // as given to waveInOpen
    int deviceRate;      // what the sound system delivers before conversion
    int deviceChannels;
    WaveInDevice::Snapshot buffers;
};
// Every device currently open, in the order they were opened.
std::vector<WaveInState> openWaveInDevices();

// Treats the device as gone, as when the sound system reports it removed. False for a handle
// that is not open.
bool waveInDeviceLost(HWAVEIN device);

} // namespace platform
