// The stop sequence of the capture window, driven on the test thread: the window belongs to this
// thread, so the device's notifications wait in its queue until the test lets them through, and
// the moment of the stop can be chosen exactly.
#include <gtest/gtest.h>

#include <vector>

#include "app/AppState.h"
#include "capture/CaptureThread.h"
#include "capture/ChunkQueues.h"
#include "platform/wavein/WaveInDevice.h"
#include "platform/win32.h"
#include "tests/platform/wavein_support.h"

using namespace testing_support;

namespace {

bool deviceClosed() { return platform::openWaveInDevices().empty(); }

// The buffers of the one open device, or a snapshot with lost set when none is open.
platform::WaveInDevice::Snapshot deviceBuffers() {
    std::vector<platform::WaveInState> open = platform::openWaveInDevices();
    if (open.size() != 1) {
        platform::WaveInDevice::Snapshot none = {};
        none.lost = true;
        return none;
    }
    return open[0].buffers;
}

class CaptureWindowThreaded : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = CaptureWindowProc;
        windowClass.lpszClassName = kCaptureWindowClass;
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, kCaptureWindowClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        pumpWindow_ = createTestWindow();
        ASSERT_NE(pumpWindow_, nullptr);
        // 1024 bytes of 16000 Hz stereo every 40 ms: a buffer takes about 320 ms to fill, which
        // leaves the test ample time to stop while it is partly filled.
        appState.sampleRate = 16000;
        appState.channelCount = 2;
    }

    void TearDown() override {
        DestroyWindow(window_);
        pumpMessages(pumpWindow_);
        DestroyWindow(pumpWindow_);
        receivedMessages().clear();
        EXPECT_TRUE(deviceClosed());
        PcmQueue.discardAll();
        UnregisterClassW(kCaptureWindowClass, nullptr);
    }

    LRESULT send(int command) { return SendMessageW(window_, WM_COMMAND, command, 0); }

    // Opens the device and lets the open notice through: both buffers are queued and recording.
    void startRecording() {
        ASSERT_EQ(send(CMD_REC), 0);
        ASSERT_TRUE(pumpUntil(pumpWindow_, [] { return deviceBuffers().started; }));
        ASSERT_EQ(deviceBuffers().queuedBuffers, 2u);
    }

    std::vector<unsigned char> takeRecorded(std::vector<int> &lengths) {
        std::vector<unsigned char> bytes;
        takePcmQueue(bytes, lengths);
        return bytes;
    }

    // After a stop: the next recording keeps its first buffer, so stopping was cleared.
    void expectNextRecordingStartsClean() {
        PcmQueue.discardAll();
        ASSERT_NO_FATAL_FAILURE(startRecording());
        ASSERT_TRUE(pumpUntil(pumpWindow_, [] { return PcmQueue.count() > 0; }));
        std::vector<int> lengths;
        std::vector<unsigned char> bytes = takeRecorded(lengths);
        ASSERT_EQ(lengths.size(), 1u);
        EXPECT_EQ(lengths[0], static_cast<int>(kCaptureBufferSize));
        EXPECT_TRUE(matchesSound(bytes, 0));
        ASSERT_EQ(send(CMD_STOP), 0);
        ASSERT_TRUE(pumpUntil(pumpWindow_, deviceClosed));
    }

    DiskSoundInput input_{1 << 20, 40};
    HWND window_ = nullptr;
    // A window of the test thread for pumping its queue.
    HWND pumpWindow_ = nullptr;
};

TEST_F(CaptureWindowThreaded, StopWhileTheFirstBufferFillsDropsItAndPushesNothing) {
    ASSERT_NO_FATAL_FAILURE(startRecording());
    ASSERT_TRUE(waitUntil([] {
        platform::WaveInDevice::Snapshot buffers = deviceBuffers();
        return buffers.queuedBuffers == 2 && buffers.frontBytesRecorded > 0;
    }));
    ASSERT_LT(deviceBuffers().frontBytesRecorded, kCaptureBufferSize / 2);

    ASSERT_EQ(send(CMD_STOP), 0);
    ASSERT_TRUE(pumpUntil(pumpWindow_, deviceClosed));
    pumpMessages(pumpWindow_);
    EXPECT_EQ(PcmQueue.count(), 0u) << "the partly filled buffer closes the device and is dropped";
    expectNextRecordingStartsClean();
}

TEST_F(CaptureWindowThreaded, StopWithAFullBufferWaitingDropsItAndPushesTheOneFilling) {
    ASSERT_NO_FATAL_FAILURE(startRecording());
    // Buffer A comes back full and its notice waits; buffer B fills.
    ASSERT_TRUE(waitUntil([] {
        platform::WaveInDevice::Snapshot buffers = deviceBuffers();
        return buffers.queuedBuffers == 1 && buffers.frontBytesRecorded >= 1024;
    }));

    ASSERT_EQ(send(CMD_STOP), 0);
    ASSERT_TRUE(pumpUntil(pumpWindow_, deviceClosed));
    pumpMessages(pumpWindow_);
    std::vector<int> lengths;
    std::vector<unsigned char> bytes = takeRecorded(lengths);
    ASSERT_EQ(lengths.size(), 1u) << "only the buffer that was filling is pushed";
    EXPECT_GE(lengths[0], 1024);
    EXPECT_LE(lengths[0], static_cast<int>(kCaptureBufferSize));
    EXPECT_TRUE(matchesSound(bytes, kCaptureBufferSize));
    expectNextRecordingStartsClean();
}

TEST_F(CaptureWindowThreaded, StopBeforeTheOpenNoticeClosesTheDeviceAtOnce) {
    ASSERT_EQ(send(CMD_REC), 0);
    ASSERT_EQ(send(CMD_STOP), 0);
    EXPECT_TRUE(deviceClosed());
    pumpMessages(pumpWindow_);
    EXPECT_EQ(PcmQueue.count(), 0u);
    expectNextRecordingStartsClean();
}

TEST_F(CaptureWindowThreaded, CloseDuringAStopClosesTheDeviceAndKeepsTheWindow) {
    ASSERT_NO_FATAL_FAILURE(startRecording());
    ASSERT_EQ(send(CMD_STOP), 0);
    // The buffers the reset returned still wait in the queue, so the stop is in progress.
    ASSERT_FALSE(deviceClosed());
    ASSERT_EQ(send(CMD_CLOSE_CAPTURE), 0);
    EXPECT_TRUE(deviceClosed());
    EXPECT_TRUE(IsWindow(window_));
    pumpMessages(pumpWindow_);
    expectNextRecordingStartsClean();
}

} // namespace
