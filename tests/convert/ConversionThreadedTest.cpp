#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppState.h"
#include "capture/ChunkQueues.h"
#include "convert/ConversionThread.h"
#include "convert/WavReader.h"
#include "tests/convert/WavFixture.h"
#include "tests/encode/PipelineTestSupport.h"

namespace {

// What the stand-in main window saw.
struct WindowLog {
    std::vector<uint32_t> queuedAtPaint;
    std::vector<int> rateAtPaint;
    std::vector<unsigned char> drained;
    int doneCount = 0;
};

WindowLog windowLog;
bool drainOnPaint = false;

void drainQueue() {
    uint32_t n = PcmQueue.count();
    for (uint32_t i = 0; i < n; ++i) {
        PcmChunk chunk = PcmQueue.front();
        PcmQueue.pop();
        if (chunk.data != nullptr) {
            windowLog.drained.insert(windowLog.drained.end(), chunk.data,
                                     chunk.data + chunk.length);
            delete[] chunk.data;
        }
    }
}

LRESULT CALLBACK standInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        windowLog.queuedAtPaint.push_back(PcmQueue.count());
        windowLog.rateAtPaint.push_back(appState.sampleRate);
        if (drainOnPaint) {
            drainQueue();
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_COMMAND:
        if (wParam == static_cast<WPARAM>(CMD_CONVERT_DONE)) {
            ++windowLog.doneCount;
            PostQuitMessage(0);
        }
        return 0;
    case WM_TIMER:
        ADD_FAILURE() << "the conversion did not end in time";
        PostQuitMessage(1);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// A message-only stand-in for the main window on the test thread.
class StandInWindowTest : public PipelineTest {
protected:
    void SetUp() override {
        PipelineTest::SetUp();
        windowLog = WindowLog();
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = standInProc;
        windowClass.lpszClassName = L"conversionTestWClass";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, L"conversionTestWClass", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        appState.mainWindow = window_;
    }

    void TearDown() override {
        DestroyWindow(window_);
        UnregisterClassW(L"conversionTestWClass", nullptr);
        drainOnPaint = false;
        PipelineTest::TearDown();
    }

    void queuePath(const std::wstring &path) {
        auto *copy = new wchar_t[path.size() + 1];
        wcscpy(copy, path.c_str());
        DropQueue.push(copy);
    }

    // Runs one batch on its own thread while this thread serves the stand-in window, until the
    // batch is reported done.
    void runBatch() {
        SetTimer(window_, 1, 60000, nullptr);
        testing::internal::CaptureStdout();
        uintptr_t thread = _beginthreadex(nullptr, 0, ConversionThread, nullptr, 0, nullptr);
        ASSERT_NE(thread, 0u);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            DispatchMessageW(&message);
        }
        HANDLE handle = reinterpret_cast<HANDLE>(thread);
        EXPECT_EQ(WaitForSingleObject(handle, 10000), WAIT_OBJECT_0);
        CloseHandle(handle);
        printed_ = testing::internal::GetCapturedStdout();
        KillTimer(window_, 1);
        // Anything still waiting, such as a second report, is handled now.
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        drainQueue();
    }

    ScratchFolder scratch_;
    HWND window_ = nullptr;
    std::string printed_;
};

// Reading 250 chunks after the first makes the window paint three times, before chunks 2, 102
// and 202, each time with everything read so far waiting for it.
TEST_F(StandInWindowTest, ReaderMakesTheWindowPaintEveryHundredChunks) {
    WavSpec spec;
    spec.data = countingBytes(251 * 8000);
    writeWholeFile(scratch_.path("long.wav"), buildWav(spec));
    EXPECT_EQ(WavReader(scratch_.widePath("long.wav").c_str()), 1);
    EXPECT_EQ(windowLog.queuedAtPaint, (std::vector<uint32_t>{1, 101, 201}));
    drainQueue();
    EXPECT_EQ(windowLog.drained, spec.data);
}

// Chunks of a file still waiting when the next file brings another rate are taken while the old
// rate still stands.
TEST_F(StandInWindowTest, ReaderHasTheQueueTakenBeforeTheFormatChanges) {
    WavSpec stereo;
    stereo.data = countingBytes(4000);
    WavSpec mono = stereo;
    mono.rate = 8000;
    mono.channels = 1;
    writeWholeFile(scratch_.path("s.wav"), buildWav(stereo));
    writeWholeFile(scratch_.path("m.wav"), buildWav(mono));
    EXPECT_EQ(WavReader(scratch_.widePath("s.wav").c_str()), 1);
    EXPECT_EQ(WavReader(scratch_.widePath("s.wav").c_str()), 1);
    EXPECT_EQ(WavReader(scratch_.widePath("m.wav").c_str()), 1);
    EXPECT_EQ(windowLog.queuedAtPaint, (std::vector<uint32_t>{1, 2, 2, 3}));
    EXPECT_EQ(windowLog.rateAtPaint, (std::vector<int>{16000, 16000, 16000, 8000}));
}

class ConversionThreaded : public StandInWindowTest {};

// A batch of three, the second refused: the first and third are queued one after the other, and
// the end of the batch is reported once.
TEST_F(ConversionThreaded, ConvertsTheBatchInOrderAndReportsItsEndOnce) {
    drainOnPaint = true;
    WavSpec first;
    first.channels = 1;
    first.rate = 8000;
    first.data = countingBytes(1700000); // enough to make the reader pace itself
    WavSpec refused = first;
    refused.rate = 44100;
    WavSpec third;
    third.data = std::vector<unsigned char>(30000, 0x5A);
    writeWholeFile(scratch_.path("1.wav"), buildWav(first));
    writeWholeFile(scratch_.path("2.wav"), buildWav(refused));
    writeWholeFile(scratch_.path("3.wav"), buildWav(third));
    queuePath(scratch_.widePath("1.wav"));
    queuePath(scratch_.widePath("2.wav"));
    DropQueue.push(nullptr); // a hole left by the close handling is stepped over
    queuePath(scratch_.widePath("3.wav"));

    runBatch();
    EXPECT_EQ(windowLog.doneCount, 1);
    EXPECT_EQ(printed_, "bad wav rate.\n");
    EXPECT_GE(windowLog.queuedAtPaint.size(), 3u);
    std::vector<unsigned char> expected = first.data;
    expected.insert(expected.end(), third.data.begin(), third.data.end());
    EXPECT_EQ(windowLog.drained, expected);
    EXPECT_EQ(DropQueue.count(), 0u);
    EXPECT_EQ(conversionProgress.filesInBatch, 4);
    EXPECT_EQ(conversionProgress.filesRead, 2);
    EXPECT_EQ(appState.sampleRate, 16000);
    EXPECT_EQ(appState.channelCount, 2);
}

TEST_F(ConversionThreaded, EmptyBatchIsReportedDoneAtOnce) {
    runBatch();
    EXPECT_EQ(windowLog.doneCount, 1);
    EXPECT_TRUE(windowLog.drained.empty());
    EXPECT_EQ(printed_, "");
    EXPECT_EQ(conversionProgress.filesRead, 0);
}

} // namespace
