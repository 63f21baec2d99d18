// The capture thread and its window, recording from SDL's disk audio driver reading a generated
// file: what reaches PcmQueue can be checked byte for byte against the file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>
#include <vector>

#include "app/AppState.h"
#include "capture/CaptureThread.h"
#include "capture/ChunkQueues.h"
#include "platform/wavein/WaveInDevice.h"
#include "platform/win32.h"
#include "tests/platform/wavein_support.h"

using namespace testing_support;

namespace {

void registerCaptureClass() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = CaptureWindowProc;
    windowClass.lpszClassName = kCaptureWindowClass;
    RegisterClassW(&windowClass);
}

bool deviceClosed() { return platform::openWaveInDevices().empty(); }

// The chunks taken from PcmQueue so far.
struct Recorded {
    std::vector<unsigned char> bytes;
    std::vector<int> lengths;

    void take() { takePcmQueue(bytes, lengths); }
    bool atLeast(size_t count) {
        return waitUntil([&] {
            take();
            return bytes.size() >= count;
        });
    }
    bool chunkSizesValid() const {
        for (int length : lengths) {
            if (length < 1 || length > static_cast<int>(kCaptureBufferSize)) {
                return false;
            }
        }
        return true;
    }
    void clear() {
        bytes.clear();
        lengths.clear();
    }
};

// Runs the real capture thread, with a test window of this thread standing in for the main window.
class CaptureThreadThreaded : public ::testing::Test {
protected:
    void SetUp() override {
        registerCaptureClass();
        receivedMessages().clear();
        mainWindow_ = createTestWindow();
        ASSERT_NE(mainWindow_, nullptr);
        appState.mainWindow = mainWindow_;
        ASSERT_EQ(appState.captureWindow.load(), nullptr);
        thread_ = CreateThread(nullptr, 0, CaptureThread, nullptr, 0, nullptr);
        ASSERT_NE(thread_, nullptr);
        ASSERT_TRUE(waitUntil([] { return appState.captureWindow.load() != nullptr; }));
    }

    void TearDown() override {
        if (thread_ != nullptr) {
            HWND captureWindow = appState.captureWindow.load();
            if (captureWindow != nullptr) {
                PostMessageW(captureWindow, WM_COMMAND, CMD_CLOSE_CAPTURE, 0);
            }
            EXPECT_EQ(WaitForSingleObject(thread_, 2000), WAIT_OBJECT_0);
            CloseHandle(thread_);
        }
        EXPECT_EQ(appState.captureWindow.load(), nullptr);
        EXPECT_TRUE(deviceClosed());
        PcmQueue.discardAll();
        appState.mainWindow = nullptr;
        appState.sampleRate = 16000;
        appState.channelCount = 2;
        pumpMessages(mainWindow_);
        DestroyWindow(mainWindow_);
        receivedMessages().clear();
        UnregisterClassW(kCaptureWindowClass, nullptr);
    }

    LRESULT send(int command) {
        return SendMessageW(appState.captureWindow.load(), WM_COMMAND, command, 0);
    }

    // Posts the close command and waits as the main window does when it closes.
    bool closeCapture() {
        PostMessageW(appState.captureWindow.load(), WM_COMMAND, CMD_CLOSE_CAPTURE, 0);
        bool ended = WaitForSingleObject(thread_, 2000) == WAIT_OBJECT_0;
        if (ended) {
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        return ended;
    }

    // A chunk left over from the previous recording (the buffer that was filling when it
    // stopped) may come before the new recording's sound; it is set aside here.
    static void dropLeftover(Recorded &recorded) {
        if (recorded.lengths.empty() || recorded.bytes.size() < 8 ||
            locateInSound(recorded.bytes) == 0) {
            return;
        }
        size_t first = static_cast<size_t>(recorded.lengths.front());
        recorded.bytes.erase(recorded.bytes.begin(), recorded.bytes.begin() + first);
        recorded.lengths.erase(recorded.lengths.begin());
    }

    HWND mainWindow_ = nullptr;
    HANDLE thread_ = nullptr;
};

TEST_F(CaptureThreadThreaded, RecordsTheDeviceSoundAndEachRecordingTakesTheCurrentFormat) {
    struct Case {
        int rate;
        int channels;
        WORD blockAlign;
        DWORD bytesPerSecond;
    };
    const Case cases[] = {{16000, 2, 4, 64000}, {8000, 1, 2, 16000}};
    DiskSoundInput input(1 << 20, 5);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rate);
        appState.sampleRate = c.rate;
        appState.channelCount = c.channels;
        PcmQueue.discardAll();
        ASSERT_EQ(send(CMD_REC), 0);

        std::vector<platform::WaveInState> open = platform::openWaveInDevices();
        ASSERT_EQ(open.size(), 1u);
        const WAVEFORMATEX &format = open[0].format;
        EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(format.nChannels, c.channels);
        EXPECT_EQ(format.nSamplesPerSec, static_cast<DWORD>(c.rate));
        EXPECT_EQ(format.nBlockAlign, c.blockAlign);
        EXPECT_EQ(format.nAvgBytesPerSec, c.bytesPerSecond);
        EXPECT_EQ(format.wBitsPerSample, 16);
        EXPECT_EQ(format.cbSize, 0);
        EXPECT_EQ(open[0].deviceRate, c.rate);
        EXPECT_EQ(open[0].deviceChannels, c.channels);

        Recorded recorded;
        ASSERT_TRUE(recorded.atLeast(40000));
        dropLeftover(recorded);
        EXPECT_TRUE(recorded.chunkSizesValid());
        EXPECT_TRUE(matchesSound(recorded.bytes, 0)) << "the recording is not the device's sound";

        ASSERT_EQ(send(CMD_STOP), 0);
        ASSERT_TRUE(waitUntil(deviceClosed));
    }
}

TEST_F(CaptureThreadThreaded, CloseWhileIdleEndsTheThread) {
    ASSERT_TRUE(closeCapture());
    EXPECT_EQ(appState.captureWindow.load(), nullptr);
}

TEST_F(CaptureThreadThreaded, CloseDuringARecordingEndsTheThreadAndReleasesTheDevice) {
    DiskSoundInput input(1 << 20, 5);
    ASSERT_EQ(send(CMD_REC), 0);
    Recorded recorded;
    ASSERT_TRUE(recorded.atLeast(8000));
    ASSERT_TRUE(closeCapture());
    EXPECT_EQ(appState.captureWindow.load(), nullptr);
    EXPECT_TRUE(deviceClosed());
}

TEST_F(CaptureThreadThreaded, AFailedOpenIsReportedAndLeavesTheCaptureSideIdle) {
    struct Case {
        const char *what;
        const char *driver;
        MMRESULT expected;
    };
    const Case cases[] = {
        {"no such driver", "nosuchdriver", MMSYSERR_NODRIVER},
        {"no input file", "disk", MMSYSERR_ERROR},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        {
            DiskSoundInput input(1 << 16, 5);
            setenv("SDL_AUDIODRIVER", c.driver, 1);
            unlink(input.path().c_str());
            EXPECT_EQ(send(CMD_REC), static_cast<LRESULT>(c.expected));
            EXPECT_TRUE(deviceClosed());
            EXPECT_EQ(send(CMD_STOP), 0);
        }
        // The next recording starts clean: its first buffer is kept, not taken for a stop.
        DiskSoundInput input(1 << 20, 5);
        ASSERT_EQ(send(CMD_REC), 0);
        Recorded recorded;
        ASSERT_TRUE(recorded.atLeast(kCaptureBufferSize));
        EXPECT_TRUE(matchesSound(recorded.bytes, 0));
        ASSERT_EQ(send(CMD_STOP), 0);
        ASSERT_TRUE(waitUntil(deviceClosed));
        PcmQueue.discardAll();
    }
    // A failed open followed by a stop leaves nothing that keeps the close from ending the thread.
    DiskSoundInput input(1 << 16, 5);
    setenv("SDL_AUDIODRIVER", "nosuchdriver", 1);
    EXPECT_NE(send(CMD_REC), 0);
    EXPECT_EQ(send(CMD_STOP), 0);
    EXPECT_TRUE(closeCapture());
    pumpMessages(mainWindow_);
    EXPECT_TRUE(receivedMessages().empty()) << "a refused open is reported by the send alone";
}

TEST_F(CaptureThreadThreaded, ALostDeviceEndsTheRecordingAndTellsTheMainWindow) {
    DiskSoundInput input(1 << 20, 5);
    ASSERT_EQ(send(CMD_REC), 0);
    Recorded recorded;
    ASSERT_TRUE(recorded.atLeast(kCaptureBufferSize));
    std::vector<platform::WaveInState> open = platform::openWaveInDevices();
    ASSERT_EQ(open.size(), 1u);
    ASSERT_TRUE(platform::waveInDeviceLost(open[0].handle));

    ASSERT_TRUE(pumpUntil(mainWindow_, [] { return !receivedMessages().empty(); }));
    ASSERT_EQ(receivedMessages().size(), 1u);
    EXPECT_EQ(receivedMessages()[0].message, WM_CAPTURE_LOST);
    EXPECT_EQ(receivedMessages()[0].wParam, static_cast<WPARAM>(MMSYSERR_NODRIVER));
    EXPECT_TRUE(deviceClosed());
    recorded.take();
    EXPECT_TRUE(recorded.chunkSizesValid());
    EXPECT_TRUE(matchesSound(recorded.bytes, 0));

    // The main window's stop then finds nothing to stop, and the next recording starts afresh.
    EXPECT_EQ(send(CMD_STOP), 0);
    PcmQueue.discardAll();
    ASSERT_EQ(send(CMD_REC), 0);
    recorded.clear();
    ASSERT_TRUE(recorded.atLeast(kCaptureBufferSize));
    dropLeftover(recorded);
    EXPECT_TRUE(matchesSound(recorded.bytes, 0));
    ASSERT_EQ(send(CMD_STOP), 0);
    ASSERT_TRUE(waitUntil(deviceClosed));
}

} // namespace
