// Message boxes: modal to their owner, with their own loop in which timers and paints go on.

#include <gtest/gtest.h>

#include <atomic>
#include <future>

#include "tests/platform/TestWindows.h"

namespace {

class MessageBoxThreaded : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ui.ok()) << ui.error();
        main = windows.createTop(L"Pellory - Tindle Ver.1.0.0.2", 500, 560);
        rec = windows.createChild(main, L"BUTTON", L"Rec", BS_PUSHBUTTON, 10, 260, 80, 30, 40001);
        windows.onMessage([this](HWND window, UINT message, WPARAM wParam, LPARAM) {
            if (window == main && message == WM_TIMER && ++ticks == 3)
                ticked.set_value();
            if (window == main && message == WM_COMMAND && wParam == 40001) {
                ++boxesShown;
                SetTimer(main, 1, 10, nullptr);
                result =
                    MessageBoxW(main, L"フォルダ名が正しくありません\r\n使用可能な文字は英数字です",
                                L"Pellory - Tindle", MB_OK | MB_TOPMOST);
                KillTimer(main, 1);
                return true;
            }
            return false;
        });
    }
    ScreenHarness ui;
    TestWindows windows{ui};
    HWND main = nullptr, rec = nullptr;
    std::atomic<int> ticks{0}, boxesShown{0}, result{-1};
    std::promise<void> ticked;
};

} // namespace

TEST_F(MessageBoxThreaded, TimersRunWhileItIsUpAndItsOwnerTakesNoInput) {
    ui.click(rec, 10, 10);
    HWND box = ui.messageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ui.call([&] {
        wchar_t caption[64] = {};
        GetWindowTextW(box, caption, 64);
        return std::wstring(caption);
    }),
              L"Pellory - Tindle");
    EXPECT_FALSE(ui.call([&] { return IsWindowEnabled(main); }));

    // The modal loop dispatches the owner's timer.
    ASSERT_EQ(ticked.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);

    // Clicks on the owner do nothing while the box is up.
    ui.click(rec, 10, 10);
    EXPECT_EQ(boxesShown, 1);

    // Two lines of text and the OK button are drawn.
    EXPECT_GT(ui.countOtherThan(box, RECT{12, 12, 200, 24}, RGB(192, 192, 192)), 20);
    EXPECT_GT(ui.countOtherThan(box, RECT{12, 26, 200, 38}, RGB(192, 192, 192)), 20);
    ui.snapshot(box, ::testing::TempDir() + "message-box.png");

    ui.key(SDLK_RETURN);
    EXPECT_EQ(ui.messageBox(), nullptr);
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(ui.call([&] { return IsWindowEnabled(main); }));
}

TEST_F(MessageBoxThreaded, EscapeTheCloseButtonAndOkEndItToo) {
    enum Way { escape, closeButton, okButton };
    for (Way way : {escape, closeButton, okButton}) {
        result = -1;
        ui.click(rec, 10, 10);
        HWND box = ui.messageBox();
        ASSERT_NE(box, nullptr);
        if (way == escape) {
            ui.key(SDLK_ESCAPE);
        } else if (way == closeButton) {
            ui.closeButton(box);
        } else {
            HWND ok = ui.call([&] { return GetDlgItem(box, IDOK); });
            ui.click(ok, 20, 10);
        }
        EXPECT_EQ(ui.messageBox(), nullptr) << way;
        EXPECT_EQ(result, IDOK) << way;
    }
    EXPECT_EQ(boxesShown, 3);
    // The owner works again.
    windows.clear();
    ui.click(main, 300, 300);
    EXPECT_EQ(windows.taken(WM_LBUTTONDOWN).size(), 1u);
}
