// The wave-input calls over SDL2 audio capture. Each open device is one SDL capture device that
// delivers 16-bit little-endian PCM in the asked format (SDL converts where the hardware differs)
// to a callback on SDL's audio thread, which hands the sound to the WaveInDevice.
//
// Handles are serial numbers, never reused, so a call with the handle of a closed device fails
// with MMSYSERR_INVALHANDLE instead of reaching another device.
//
// Lock order: the registry lock, then a device's mutex, then (while posting) the window core's
// locks. SDL's own device lock is taken on the audio thread before it calls us, so SDL calls that
// take it (pause, close) are made here with neither of our locks held.
#include <SDL.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "platform/wavein/WaveInDevice.h"

namespace platform {
namespace {

// What SDL's callback is given: the device and its SDL identifier, written once before the SDL
// device is first unpaused.
struct CallbackData {
    WaveInDevice *device = nullptr;
    SDL_AudioDeviceID sdlId = 0;
};

struct OpenDevice {
    std::shared_ptr<WaveInDevice> device;
    // Lives as long as SDL may call back with it.
    std::shared_ptr<CallbackData> callbackData;
    SDL_AudioDeviceID sdlId = 0;
    SDL_AudioSpec obtained = {};
};

std::mutex registryMutex;
std::map<std::uintptr_t, OpenDevice> registry;
std::uintptr_t nextSerial = 1;

OpenDevice *findLocked(HWAVEIN handle) {
    auto it = registry.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == registry.end() ? nullptr : &it->second;
}

bool lookup(HWAVEIN handle, OpenDevice &out) {
    std::lock_guard<std::mutex> lock(registryMutex);
    OpenDevice *found = findLocked(handle);
    if (found == nullptr) {
        return false;
    }
    out = *found;
    return true;
}

void SDLCALL captureCallback(void *userdata, Uint8 *stream, int length) {
    auto *data = static_cast<CallbackData *>(userdata);
    // A device SDL has given up on keeps calling back with silence; its status says it stopped.
    if (SDL_GetAudioDeviceStatus(data->sdlId) == SDL_AUDIO_STOPPED) {
        data->device->markLost();
        return;
    }
    data->device->deliver(stream, static_cast<size_t>(length));
}

bool formatSupported(const WAVEFORMATEX &format) {
    return format.wFormatTag == WAVE_FORMAT_PCM && format.wBitsPerSample == 16 &&
           (format.nChannels == 1 || format.nChannels == 2) && format.nSamplesPerSec >= 1000 &&
           format.nSamplesPerSec <= 192000 && format.nBlockAlign == format.nChannels * 2 &&
           format.nAvgBytesPerSec == format.nSamplesPerSec * format.nBlockAlign;
}

// Frames per callback: the largest power of two that is at most 30 ms of sound (16 ms at the
// program's rates).
Uint16 framesPerCallback(DWORD rate) {
    Uint16 frames = 128;
    while (frames < 4096 && frames * 2 * 1000u <= rate * 30u) {
        frames = static_cast<Uint16>(frames * 2);
    }
    return frames;
}

} // namespace

std::vector<WaveInState> openWaveInDevices() {
    std::vector<OpenDevice> devices;
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        for (auto &entry : registry) {
            devices.push_back(entry.second);
        }
    }
    std::vector<WaveInState> states;
    for (OpenDevice &open : devices) {
        WaveInState state = {};
        state.handle = open.device->handle();
        state.format = open.device->format();
        state.deviceRate = open.obtained.freq;
        state.deviceChannels = open.obtained.channels;
        state.buffers = open.device->snapshot();
        states.push_back(state);
    }
    return states;
}

bool waveInDeviceLost(HWAVEIN handle) {
    OpenDevice open;
    if (!lookup(handle, open)) {
        return false;
    }
    open.device->markLost();
    return true;
}

} // namespace platform

using platform::OpenDevice;

MMRESULT waveInOpen(LPHWAVEIN device, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback,
                    DWORD_PTR, DWORD flags) {
    if (device == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    *device = nullptr;
    if (flags != CALLBACK_NULL && flags != CALLBACK_WINDOW) {
        return MMSYSERR_INVALPARAM;
    }
    HWND window = flags == CALLBACK_WINDOW ? reinterpret_cast<HWND>(callback) : nullptr;
    if (flags == CALLBACK_WINDOW && !IsWindow(window)) {
        return MMSYSERR_INVALPARAM;
    }
    if (deviceId != WAVE_MAPPER && deviceId != 0) {
        return MMSYSERR_BADDEVICEID;
    }
    if (format == nullptr || !platform::formatSupported(*format)) {
        return WAVERR_BADFORMAT;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return MMSYSERR_NODRIVER;
    }

    std::uintptr_t serial;
    {
        std::lock_guard<std::mutex> lock(platform::registryMutex);
        serial = platform::nextSerial++;
    }
    auto handle = reinterpret_cast<HWAVEIN>(serial);
    auto waveIn = std::make_shared<platform::WaveInDevice>(handle, window, *format);
    auto data = std::make_shared<platform::CallbackData>();
    data->device = waveIn.get();

    SDL_AudioSpec want = {};
    want.freq = static_cast<int>(format->nSamplesPerSec);
    want.format = AUDIO_S16LSB;
    want.channels = static_cast<Uint8>(format->nChannels);
    want.samples = platform::framesPerCallback(format->nSamplesPerSec);
    want.callback = platform::captureCallback;
    want.userdata = data.get();
    SDL_AudioSpec obtained = {};
    // No changes allowed: SDL converts whatever the hardware does into exactly this format.
    SDL_AudioDeviceID sdlId = SDL_OpenAudioDevice(nullptr, 1, &want, &obtained, 0);
    if (sdlId == 0) {
        bool noDevice = SDL_GetNumAudioDevices(1) == 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return noDevice ? MMSYSERR_BADDEVICEID : MMSYSERR_ERROR;
    }
    // Still paused, so the callback has not run yet.
    data->sdlId = sdlId;

    {
        std::lock_guard<std::mutex> lock(platform::registryMutex);
        OpenDevice &open = platform::registry[serial];
        open.device = waveIn;
        open.sdlId = sdlId;
        open.callbackData = data;
        open.obtained = obtained;
    }
    *device = handle;
    if (window != nullptr) {
        PostMessageW(window, MM_WIM_OPEN, reinterpret_cast<WPARAM>(handle), 0);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT waveInClose(HWAVEIN device) {
    OpenDevice open;
    {
        std::lock_guard<std::mutex> lock(platform::registryMutex);
        OpenDevice *found = platform::findLocked(device);
        if (found == nullptr) {
            return MMSYSERR_INVALHANDLE;
        }
        if (found->device->hasQueuedBuffers()) {
            return WAVERR_STILLPLAYING;
        }
        open = *found;
        platform::registry.erase(reinterpret_cast<std::uintptr_t>(device));
    }
    // Waits for SDL's audio thread to end; no callback runs after this.
    SDL_CloseAudioDevice(open.sdlId);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    HWND window = open.device->window();
    if (window != nullptr) {
        PostMessageW(window, MM_WIM_CLOSE, reinterpret_cast<WPARAM>(device), 0);
    }
    return MMSYSERR_NOERROR;
}

namespace {

// The checks every header call shares: a live device and a whole header.
MMRESULT withHeader(HWAVEIN device, LPWAVEHDR header, UINT headerSize,
                    MMRESULT (platform::WaveInDevice::*operation)(LPWAVEHDR)) {
    OpenDevice open;
    if (!platform::lookup(device, open)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (header == nullptr || headerSize < sizeof(WAVEHDR)) {
        return MMSYSERR_INVALPARAM;
    }
    return (open.device.get()->*operation)(header);
}

} // namespace

MMRESULT waveInPrepareHeader(HWAVEIN device, LPWAVEHDR header, UINT headerSize) {
    return withHeader(device, header, headerSize, &platform::WaveInDevice::prepare);
}

MMRESULT waveInUnprepareHeader(HWAVEIN device, LPWAVEHDR header, UINT headerSize) {
    return withHeader(device, header, headerSize, &platform::WaveInDevice::unprepare);
}

MMRESULT waveInAddBuffer(HWAVEIN device, LPWAVEHDR header, UINT headerSize) {
    return withHeader(device, header, headerSize, &platform::WaveInDevice::add);
}

MMRESULT waveInStart(HWAVEIN device) {
    OpenDevice open;
    if (!platform::lookup(device, open)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (SDL_GetAudioDeviceStatus(open.sdlId) == SDL_AUDIO_STOPPED) {
        open.device->markLost();
    }
    MMRESULT result = open.device->start();
    if (result == MMSYSERR_NOERROR) {
        SDL_PauseAudioDevice(open.sdlId, 0);
    }
    return result;
}

MMRESULT waveInReset(HWAVEIN device) {
    OpenDevice open;
    if (!platform::lookup(device, open)) {
        return MMSYSERR_INVALHANDLE;
    }
    // Once this returns, SDL calls back no more until the device is unpaused.
    SDL_PauseAudioDevice(open.sdlId, 1);
    open.device->reset();
    return MMSYSERR_NOERROR;
}
