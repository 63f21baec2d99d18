// The window core: creation and destruction, the loop, cross-thread sends, timers and quit.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/win32.h"
#include "platform/windows/ThreadQueue.h"

namespace {

std::atomic<DWORD> procThread{0};
std::vector<UINT> *messageLog = nullptr; // per test, touched only on the owner thread

LRESULT CALLBACK recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_USER + 1:
        procThread = GetCurrentThreadId();
        return static_cast<LRESULT>(wParam * 2 + lParam);
    case WM_CREATE:
    case WM_DESTROY:
    case WM_TIMER:
    case WM_USER + 2:
    case WM_USER + 3:
    case WM_PAINT:
        if (messageLog != nullptr) {
            messageLog->push_back(message);
        }
        if (message == WM_PAINT) {
            ValidateRect(hwnd, nullptr);
        }
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void registerTestClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = recordingProc;
        wc.lpszClassName = L"CoreTestClass";
        ASSERT_NE(RegisterClassW(&wc), 0);
        registered = true;
    }
}

class MessageCore : public ::testing::Test {
protected:
    void SetUp() override {
        registerTestClass();
        messageLog = &log;
    }
    void TearDown() override { messageLog = nullptr; }
    std::vector<UINT> log;
};

TEST_F(MessageCore, CreateSendsCreateAndDestroyInvalidatesTheHandle) {
    HWND hwnd = CreateWindowExW(0, L"coretestclass", L"title", 0, 0, 0, 10, 10, HWND_MESSAGE,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(IsWindow(hwnd));
    wchar_t text[16];
    EXPECT_EQ(GetWindowTextW(hwnd, text, 16), 5);
    EXPECT_STREQ(text, L"title");
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(log, (std::vector<UINT>{WM_CREATE, WM_DESTROY}));
    EXPECT_FALSE(PostMessageW(hwnd, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(
        CreateWindowExW(0, L"NoSuchClass", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
}

TEST_F(MessageCore, CloseThroughTheDefaultProcedureDestroysTheWindow) {
    HWND hwnd = CreateWindowExW(0, L"CoreTestClass", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(MessageCore, GetMessageTakesPostedThenInputThenPaintThenTimer) {
    HWND hwnd = CreateWindowExW(0, L"CoreTestClass", L"", WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, nullptr);
    MSG msg;
    // Creation made the whole visible window invalid; let that paint go first.
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    DispatchMessageW(&msg);

    SetTimer(hwnd, 7, 10, nullptr);
    Sleep(30);
    InvalidateRect(hwnd, nullptr, FALSE);
    platform::postInputMessage(MSG{hwnd, WM_USER + 3, 0, 0, 0, {0, 0}});
    PostMessageW(hwnd, WM_USER + 2, 0, 0);
    std::vector<UINT> order;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
        order.push_back(msg.message);
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 2, WM_USER + 3, WM_PAINT, WM_TIMER}));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_TRUE(KillTimer(hwnd, 7));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(hwnd);
}

TEST_F(MessageCore, TimerFiresRepeatedlyUntilKilled) {
    HWND hwnd = CreateWindowExW(0, L"CoreTestClass", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
    SetTimer(hwnd, 1, 20, nullptr);
    MSG msg;
    for (int fired = 0; fired < 3;) {
        ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
        if (msg.message == WM_TIMER && msg.hwnd == hwnd) {
            ++fired;
        }
        DispatchMessageW(&msg);
    }
    KillTimer(hwnd, 1);
    DestroyWindow(hwnd);
    EXPECT_EQ(std::count(log.begin(), log.end(), static_cast<UINT>(WM_TIMER)), 3);
}

TEST_F(MessageCore, PostQuitMessageEndsGetMessageWithItsCode) {
    PostMessageW(nullptr, WM_USER + 9, 0, 0);
    PostQuitMessage(42);
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 9));
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 42u);
}

// A window owned by a thread that runs its own message loop until told to quit.
struct OwnerThread {
    std::atomic<HWND> hwnd{nullptr};
    std::atomic<DWORD> threadId{0};
    std::thread thread;

    OwnerThread() {
        thread = std::thread([this] {
            threadId = GetCurrentThreadId();
            hwnd = CreateWindowExW(0, L"CoreTestClass", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                   nullptr, nullptr);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0)) {
                DispatchMessageW(&msg);
            }
            DestroyWindow(hwnd);
        });
        while (hwnd.load() == nullptr) {
            std::this_thread::yield();
        }
    }
    void quit() {
        PostThreadMessageW(threadId, WM_QUIT, 0, 0);
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
        thread.join();
    }
};

TEST(MessageCoreThreaded, SendFromAnotherThreadRunsOnTheOwnerAndReturnsItsResult) {
    registerTestClass();
    OwnerThread owner;
    procThread = 0;
    EXPECT_EQ(SendMessageW(owner.hwnd, WM_USER + 1, 20, 2), 42);
    EXPECT_EQ(procThread.load(), owner.threadId.load());
    EXPECT_NE(procThread.load(), GetCurrentThreadId());
    owner.quit();
}

TEST(MessageCoreThreaded, ManySendersAllGetTheirOwnResults) {
    registerTestClass();
    OwnerThread owner;
    std::vector<std::thread> senders;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t) {
        senders.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                if (SendMessageW(owner.hwnd, WM_USER + 1, static_cast<WPARAM>(i), t) != i * 2 + t) {
                    ++wrong;
                }
            }
        });
    }
    for (auto &s : senders) {
        s.join();
    }
    EXPECT_EQ(wrong.load(), 0);
    owner.quit();
}

// While a thread waits for its own send to be answered, it handles what is sent to it.
LRESULT CALLBACK relayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 5) {
        // Ask the sender's window, which can answer only while its thread waits in this send.
        return SendMessageW(reinterpret_cast<HWND>(lParam), WM_USER + 1, wParam, 1);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(MessageCoreThreaded, SenderHandlesMessagesSentToItWhileWaiting) {
    registerTestClass();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = relayProc;
    wc.lpszClassName = L"CoreRelayClass";
    RegisterClassW(&wc);
    HWND mine = CreateWindowExW(0, L"CoreTestClass", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
    std::atomic<HWND> relay{nullptr};
    std::thread other([&] {
        relay = CreateWindowExW(0, L"CoreRelayClass", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0)) {
            DispatchMessageW(&msg);
        }
    });
    while (relay.load() == nullptr) {
        std::this_thread::yield();
    }
    EXPECT_EQ(SendMessageW(relay, WM_USER + 5, 10, reinterpret_cast<LPARAM>(mine)), 21);
    DWORD relayThread = GetWindowThreadProcessId(relay, nullptr);
    PostMessageW(relay, WM_CLOSE, 0, 0);
    PostThreadMessageW(relayThread, WM_QUIT, 0, 0);
    other.join();
    DestroyWindow(mine);
}

TEST(MessageCoreThreaded, SendToAWindowWhoseThreadEndsDoesNotHang) {
    registerTestClass();
    std::atomic<HWND> hwnd{nullptr};
    std::atomic<bool> release{false};
    std::thread owner([&] {
        hwnd = CreateWindowExW(0, L"CoreTestClass", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                               nullptr, nullptr);
        while (!release) {
            std::this_thread::yield();
        }
        // Ends without ever running a loop.
    });
    while (hwnd.load() == nullptr) {
        std::this_thread::yield();
    }
    std::thread sender([&] { EXPECT_EQ(SendMessageW(hwnd, WM_USER + 1, 1, 1), 0); });
    Sleep(20);
    release = true;
    owner.join();
    sender.join();
    EXPECT_FALSE(IsWindow(hwnd));
}

} // namespace
