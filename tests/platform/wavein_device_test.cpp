// Wave input over SDL's disk audio driver: the device reads a generated file, so every byte a
// buffer carries can be checked against where it came from.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>
#include <vector>

#include "platform/wavein/WaveInDevice.h"
#include "platform/win32.h"
#include "tests/platform/wavein_support.h"

using namespace testing_support;

namespace {

WAVEFORMATEX pcmFormat(DWORD rate, WORD channels) {
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.nBlockAlign = static_cast<WORD>(channels * 2);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    format.wBitsPerSample = 16;
    return format;
}

class WaveInThreaded : public ::testing::Test {
protected:
    void SetUp() override {
        receivedMessages().clear();
        window_ = createTestWindow();
        ASSERT_NE(window_, nullptr);
    }

    void TearDown() override {
        for (const platform::WaveInState &state : platform::openWaveInDevices()) {
            waveInReset(state.handle);
            waveInClose(state.handle);
        }
        pumpMessages(window_);
        DestroyWindow(window_);
        receivedMessages().clear();
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "the sound system was left running";
    }

    MMRESULT open(HWAVEIN &device, const WAVEFORMATEX &format) {
        return waveInOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(window_), 0,
                          CALLBACK_WINDOW);
    }

    // The next notification the test window received, pumping until one is there.
    bool next(MSG &msg) {
        if (!pumpUntil(window_, [&] { return receivedMessages().size() > consumed_; })) {
            return false;
        }
        msg = receivedMessages()[consumed_++];
        return true;
    }

    // Expects the next notification to return the given header and appends its bytes.
    void expectReturned(HWAVEIN device, const WAVEHDR &header, std::vector<unsigned char> &bytes) {
        MSG msg;
        ASSERT_TRUE(next(msg));
        ASSERT_EQ(msg.message, static_cast<UINT>(MM_WIM_DATA));
        EXPECT_EQ(msg.wParam, reinterpret_cast<WPARAM>(device));
        ASSERT_EQ(msg.lParam, reinterpret_cast<LPARAM>(&header));
        EXPECT_TRUE(header.dwFlags & WHDR_DONE);
        EXPECT_FALSE(header.dwFlags & WHDR_INQUEUE);
        ASSERT_LE(header.dwBytesRecorded, header.dwBufferLength);
        bytes.insert(bytes.end(), header.lpData, header.lpData + header.dwBytesRecorded);
    }

    void expectNotification(UINT message, HWAVEIN device) {
        MSG msg;
        ASSERT_TRUE(next(msg));
        EXPECT_EQ(msg.message, message);
        EXPECT_EQ(msg.wParam, reinterpret_cast<WPARAM>(device));
    }

    HWND window_ = nullptr;
    size_t consumed_ = 0;
};

struct Buffer {
    explicit Buffer(DWORD length) : bytes(length) {
        header.lpData = reinterpret_cast<LPSTR>(bytes.data());
        header.dwBufferLength = length;
    }
    std::vector<unsigned char> bytes;
    WAVEHDR header = {};
};

TEST_F(WaveInThreaded, FillsBuffersInQueueOrderWithTheDeviceSoundAndNoGaps) {
    DiskSoundInput input(1 << 20, 5);
    HWAVEIN device = nullptr;
    ASSERT_EQ(open(device, pcmFormat(16000, 2)), MMSYSERR_NOERROR);
    expectNotification(MM_WIM_OPEN, device);
    std::vector<platform::WaveInState> states = platform::openWaveInDevices();
    ASSERT_EQ(states.size(), 1u);
    EXPECT_EQ(states[0].deviceRate, 16000);
    EXPECT_EQ(states[0].deviceChannels, 2);

    std::vector<Buffer> buffers;
    for (int i = 0; i < 3; ++i) {
        buffers.emplace_back(3000);
    }
    for (Buffer &buffer : buffers) {
        ASSERT_EQ(waveInPrepareHeader(device, &buffer.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        EXPECT_TRUE(buffer.header.dwFlags & WHDR_PREPARED);
        ASSERT_EQ(waveInAddBuffer(device, &buffer.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    ASSERT_EQ(waveInStart(device), MMSYSERR_NOERROR);

    std::vector<unsigned char> recorded;
    size_t front = 0;
    for (int returned = 1; recorded.size() < 60000; ++returned) {
        WAVEHDR &header = buffers[front].header;
        ASSERT_NO_FATAL_FAILURE(expectReturned(device, header, recorded));
        EXPECT_EQ(header.dwBytesRecorded, 3000u);
        if (returned % 4 == 0) {
            // The window's thread is busy for a while; the device goes on recording.
            Sleep(100);
        }
        ASSERT_EQ(waveInAddBuffer(device, &header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        front = (front + 1) % buffers.size();
    }

    // The reset hands back all three queued buffers in queue order, filled or not.
    ASSERT_EQ(waveInReset(device), MMSYSERR_NOERROR);
    for (size_t i = 0; i < buffers.size(); ++i) {
        ASSERT_NO_FATAL_FAILURE(
            expectReturned(device, buffers[(front + i) % buffers.size()].header, recorded));
    }
    EXPECT_TRUE(matchesSound(recorded, 0));

    ASSERT_EQ(waveInClose(device), MMSYSERR_NOERROR);
    expectNotification(MM_WIM_CLOSE, device);
    EXPECT_EQ(waveInAddBuffer(device, &buffers[0].header, sizeof(WAVEHDR)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInStart(device), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInClose(device), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveInThreaded, KeepsBuffersWhileQueuedAndReturnsThemEmptyOnReset) {
    DiskSoundInput input(1 << 16, 5);
    HWAVEIN device = nullptr;
    ASSERT_EQ(open(device, pcmFormat(8000, 1)), MMSYSERR_NOERROR);
    expectNotification(MM_WIM_OPEN, device);
    Buffer a(8000), b(8000), partFrame(1);

    EXPECT_EQ(waveInAddBuffer(device, &a.header, sizeof(WAVEHDR)), WAVERR_UNPREPARED);
    EXPECT_EQ(waveInPrepareHeader(device, &a.header, 32), MMSYSERR_INVALPARAM);
    ASSERT_EQ(waveInPrepareHeader(device, &a.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInPrepareHeader(device, &b.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInPrepareHeader(device, &partFrame.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    // Buffers take whole frames only; one byte cannot hold a frame.
    EXPECT_EQ(waveInAddBuffer(device, &partFrame.header, sizeof(WAVEHDR)), MMSYSERR_INVALPARAM);
    ASSERT_EQ(waveInAddBuffer(device, &a.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInAddBuffer(device, &b.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInAddBuffer(device, &a.header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveInUnprepareHeader(device, &a.header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveInClose(device), WAVERR_STILLPLAYING);

    ASSERT_EQ(waveInReset(device), MMSYSERR_NOERROR);
    std::vector<unsigned char> recorded;
    ASSERT_NO_FATAL_FAILURE(expectReturned(device, a.header, recorded));
    ASSERT_NO_FATAL_FAILURE(expectReturned(device, b.header, recorded));
    EXPECT_TRUE(recorded.empty());

    EXPECT_EQ(waveInUnprepareHeader(device, &a.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_FALSE(a.header.dwFlags & WHDR_PREPARED);
    EXPECT_EQ(waveInAddBuffer(device, &a.header, sizeof(WAVEHDR)), WAVERR_UNPREPARED);
    ASSERT_EQ(waveInClose(device), MMSYSERR_NOERROR);
    expectNotification(MM_WIM_CLOSE, device);
}

struct RefusedOpen {
    const char *what;
    UINT deviceId;
    WAVEFORMATEX format;
    DWORD flags;
    MMRESULT expected;
};

WAVEFORMATEX changed(WAVEFORMATEX format, void (*change)(WAVEFORMATEX &)) {
    change(format);
    return format;
}

TEST_F(WaveInThreaded, RefusesFormatsDevicesAndCallbacksItCannotServe) {
    DiskSoundInput input(1 << 16, 5);
    const WAVEFORMATEX good = pcmFormat(16000, 2);
    const RefusedOpen cases[] = {
        {"device 1", 1, good, CALLBACK_WINDOW, MMSYSERR_BADDEVICEID},
        {"function callback", WAVE_MAPPER, good, 0x00030000u, MMSYSERR_INVALPARAM},
        {"8-bit", WAVE_MAPPER,
         changed(good, [](WAVEFORMATEX &f) { f.wBitsPerSample = 8, f.nBlockAlign = 2; }),
         CALLBACK_WINDOW, WAVERR_BADFORMAT},
        {"not PCM", WAVE_MAPPER, changed(good, [](WAVEFORMATEX &f) { f.wFormatTag = 3; }),
         CALLBACK_WINDOW, WAVERR_BADFORMAT},
        {"three channels", WAVE_MAPPER,
         changed(good, [](WAVEFORMATEX &f) { f.nChannels = 3, f.nBlockAlign = 6; }),
         CALLBACK_WINDOW, WAVERR_BADFORMAT},
        {"block align disagrees", WAVE_MAPPER,
         changed(good, [](WAVEFORMATEX &f) { f.nBlockAlign = 2; }), CALLBACK_WINDOW,
         WAVERR_BADFORMAT},
        {"byte rate disagrees", WAVE_MAPPER,
         changed(good, [](WAVEFORMATEX &f) { f.nAvgBytesPerSec = 32000; }), CALLBACK_WINDOW,
         WAVERR_BADFORMAT},
        {"no rate", WAVE_MAPPER,
         changed(good, [](WAVEFORMATEX &f) { f.nSamplesPerSec = 0, f.nAvgBytesPerSec = 0; }),
         CALLBACK_WINDOW, WAVERR_BADFORMAT},
    };
    for (const RefusedOpen &c : cases) {
        SCOPED_TRACE(c.what);
        HWAVEIN device = reinterpret_cast<HWAVEIN>(1);
        EXPECT_EQ(waveInOpen(&device, c.deviceId, &c.format, reinterpret_cast<DWORD_PTR>(window_),
                             0, c.flags),
                  c.expected);
        EXPECT_EQ(device, nullptr);
    }
    HWAVEIN device = nullptr;
    EXPECT_EQ(waveInOpen(nullptr, WAVE_MAPPER, &good, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveInOpen(&device, WAVE_MAPPER, &good, 0, 0, CALLBACK_WINDOW), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveInOpen(&device, WAVE_MAPPER, nullptr, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);

    pumpMessages(window_);
    EXPECT_TRUE(receivedMessages().empty());
    EXPECT_TRUE(platform::openWaveInDevices().empty());
}

TEST_F(WaveInThreaded, ReportsASoundSystemOrDeviceThatCannotBeOpened) {
    struct Case {
        const char *what;
        const char *driver;
        bool removeInput;
        MMRESULT expected;
    };
    const Case cases[] = {
        {"no such driver", "nosuchdriver", false, MMSYSERR_NODRIVER},
        {"input that cannot be read", "disk", true, MMSYSERR_ERROR},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        DiskSoundInput input(1 << 16, 5);
        setenv("SDL_AUDIODRIVER", c.driver, 1);
        if (c.removeInput) {
            unlink(input.path().c_str());
        }
        WAVEFORMATEX format = pcmFormat(16000, 2);
        HWAVEIN device = nullptr;
        EXPECT_EQ(open(device, format), c.expected);
        EXPECT_EQ(device, nullptr);
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    }
    pumpMessages(window_);
    EXPECT_TRUE(receivedMessages().empty());
    EXPECT_TRUE(platform::openWaveInDevices().empty());
}

TEST_F(WaveInThreaded, ALostDeviceReturnsItsBuffersAndRefusesMore) {
    DiskSoundInput input(1 << 20, 20);
    HWAVEIN device = nullptr;
    ASSERT_EQ(open(device, pcmFormat(16000, 2)), MMSYSERR_NOERROR);
    expectNotification(MM_WIM_OPEN, device);
    Buffer a(8000), b(8000);
    for (Buffer *buffer : {&a, &b}) {
        ASSERT_EQ(waveInPrepareHeader(device, &buffer->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(device, &buffer->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    ASSERT_EQ(waveInStart(device), MMSYSERR_NOERROR);
    ASSERT_TRUE(waitUntil([] {
        std::vector<platform::WaveInState> states = platform::openWaveInDevices();
        return states.size() == 1 && states[0].buffers.frontBytesRecorded > 0;
    }));

    ASSERT_TRUE(platform::waveInDeviceLost(device));
    std::vector<unsigned char> recorded;
    ASSERT_NO_FATAL_FAILURE(expectReturned(device, a.header, recorded));
    ASSERT_NO_FATAL_FAILURE(expectReturned(device, b.header, recorded));
    EXPECT_FALSE(recorded.empty());
    EXPECT_TRUE(matchesSound(recorded, 0));
    EXPECT_EQ(waveInAddBuffer(device, &a.header, sizeof(WAVEHDR)), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveInStart(device), MMSYSERR_NODRIVER);

    ASSERT_EQ(waveInClose(device), MMSYSERR_NOERROR);
    expectNotification(MM_WIM_CLOSE, device);
}

TEST_F(WaveInThreaded, KeepsTenSecondsOfSoundWhileNoBufferIsQueued) {
    DiskSoundInput input(4 << 20, 1);
    HWAVEIN device = nullptr;
    ASSERT_EQ(open(device, pcmFormat(8000, 1)), MMSYSERR_NOERROR);
    expectNotification(MM_WIM_OPEN, device);
    ASSERT_EQ(waveInStart(device), MMSYSERR_NOERROR);
    const size_t capacity = 10 * 16000;
    ASSERT_TRUE(waitUntil([&] {
        std::vector<platform::WaveInState> states = platform::openWaveInDevices();
        return states.size() == 1 && states[0].buffers.keptBytes == capacity;
    }));
    EXPECT_EQ(platform::openWaveInDevices()[0].buffers.keptCapacity, capacity);
    // Let the device record well past the limit.
    Sleep(100);

    Buffer kept(capacity), later(8000);
    for (Buffer *buffer : {&kept, &later}) {
        ASSERT_EQ(waveInPrepareHeader(device, &buffer->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(device, &buffer->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    std::vector<unsigned char> first, second;
    ASSERT_NO_FATAL_FAILURE(expectReturned(device, kept.header, first));
    ASSERT_NO_FATAL_FAILURE(expectReturned(device, later.header, second));
    // The oldest ten seconds come first; what followed them was dropped until buffers came.
    EXPECT_TRUE(matchesSound(first, 0));
    ASSERT_EQ(second.size(), 8000u);
    size_t resumedAt = locateInSound(second);
    EXPECT_NE(resumedAt, kNotInSound);
    EXPECT_GT(resumedAt, capacity);
}

} // namespace
