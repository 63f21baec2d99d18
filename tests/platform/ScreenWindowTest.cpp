// Screen windows: SDL windows for shown top-level windows of the UI thread, their client areas,
// painting and clipping, input routing, drops and the close button.

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "platform/sdl/ScreenWindow.h"
#include "tests/platform/TestWindows.h"

namespace {

class ScreenWindowsThreaded : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ui.ok()) << ui.error(); }
    ScreenHarness ui;
    TestWindows windows{ui};
};

const COLORREF face = RGB(192, 192, 192);

} // namespace

TEST_F(ScreenWindowsThreaded, CaptionedWindowHasTheClassicClientAreaAndAnSdlWindowOfThatSize) {
    HWND main = windows.createTop(L"Pellory - Tindle Ver.1.0.0.2", 500, 560);
    RECT client = {};
    ASSERT_TRUE(ui.call([&] { return GetClientRect(main, &client); }));
    EXPECT_EQ(client.right, 494);
    EXPECT_EQ(client.bottom, 535);
    ui.sync();
    std::string title;
    int w = 0, h = 0;
    Uint32 flags = 0;
    ui.runOnUi([&] {
        SDL_Window *sdl = SDL_GetWindowFromID(platform::sdlWindowId(main));
        ASSERT_NE(sdl, nullptr);
        title = SDL_GetWindowTitle(sdl);
        SDL_GetWindowSize(sdl, &w, &h);
        flags = SDL_GetWindowFlags(sdl);
    });
    EXPECT_EQ(title, "Pellory - Tindle Ver.1.0.0.2");
    EXPECT_EQ(w, 494);
    EXPECT_EQ(h, 535);
    EXPECT_FALSE(flags & SDL_WINDOW_RESIZABLE);
    // The class background is the button face.
    EXPECT_EQ(ui.pixel(main, 200, 200), face);

    // A new caption reaches the SDL window.
    ui.runOnUi([&] { SetWindowTextW(main, L"録音中"); });
    ui.sync();
    ui.runOnUi(
        [&] { title = SDL_GetWindowTitle(SDL_GetWindowFromID(platform::sdlWindowId(main))); });
    EXPECT_EQ(title, "録音中");
}

TEST_F(ScreenWindowsThreaded, WindowsOfOtherThreadsAndMessageOnlyWindowsNeverReachTheScreen) {
    HWND messageOnly = ui.call([] {
        HWND w = CreateWindowExW(0, L"TindleTestWindow", L"hidden", 0, 0, 0, 1, 1, HWND_MESSAGE,
                                 nullptr, nullptr, nullptr);
        ShowWindow(w, SW_SHOW);
        return w;
    });
    std::promise<HWND> created;
    std::promise<void> checked;
    std::thread other([&] {
        HWND window = CreateWindowExW(0, L"TindleTestWindow", L"other", WS_CAPTION, 0, 0, 100, 100,
                                      nullptr, nullptr, nullptr, nullptr);
        ShowWindow(window, SW_SHOW);
        created.set_value(window);
        checked.get_future().wait();
        DestroyWindow(window);
    });
    HWND elsewhere = created.get_future().get();
    ui.sync();
    EXPECT_EQ(platform::sdlWindowId(messageOnly), 0u);
    EXPECT_EQ(platform::sdlWindowId(elsewhere), 0u);
    int sdlWindows = ui.call([] {
        int count = 0;
        platform::WindowsLock lock;
        for (platform::WindowRecord *r : platform::allWindows())
            if (r->screen && static_cast<platform::ScreenWindow *>(r->screen)->sdl)
                ++count;
        return count;
    });
    EXPECT_EQ(sdlWindows, 0);
    checked.set_value();
    other.join();
}

TEST_F(ScreenWindowsThreaded, PaintingIsClippedToTheUpdateRegion) {
    HWND main = windows.createTop(L"paint", 200, 150);
    std::atomic<int> paints{0};
    windows.onPaint(main, [&](HWND, HDC dc, const PAINTSTRUCT &) {
        ++paints;
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        RECT all = {0, 0, 1000, 1000};
        FillRect(dc, &all, red);
        DeleteObject(red);
    });
    // The first paint covers the whole window.
    ui.runOnUi([&] { InvalidateRect(main, nullptr, TRUE); });
    ui.sync();
    EXPECT_EQ(ui.pixel(main, 100, 100), RGB(255, 0, 0));

    // Only the invalidated rectangle changes; erase paints the class background first.
    windows.onPaint(main, [&](HWND, HDC dc, const PAINTSTRUCT &ps) {
        ++paints;
        EXPECT_EQ(ps.rcPaint.left, 10);
        EXPECT_EQ(ps.rcPaint.bottom, 30);
        HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
        Rectangle(dc, 0, 0, 1000, 1000); // black outline far outside, white fill inside
        RECT inner = {15, 15, 18, 18};
        FillRect(dc, &inner, blue);
        DeleteObject(blue);
    });
    ui.runOnUi([&] {
        RECT area = {10, 10, 20, 30};
        InvalidateRect(main, &area, FALSE);
    });
    ui.sync();
    EXPECT_EQ(ui.pixel(main, 9, 10), RGB(255, 0, 0));
    EXPECT_EQ(ui.pixel(main, 10, 10), RGB(255, 255, 255));
    EXPECT_EQ(ui.pixel(main, 16, 16), RGB(0, 0, 255));
    EXPECT_EQ(ui.pixel(main, 19, 29), RGB(255, 255, 255));
    EXPECT_EQ(ui.pixel(main, 20, 29), RGB(255, 0, 0));
    EXPECT_EQ(ui.pixel(main, 19, 30), RGB(255, 0, 0));

    // A paint sent from another thread with nothing invalid runs the procedure but draws nothing.
    int before = paints;
    windows.onPaint(main, [&](HWND, HDC dc, const PAINTSTRUCT &) {
        ++paints;
        RECT all = {0, 0, 1000, 1000};
        FillRect(dc, &all, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    });
    std::thread sender([&] { SendMessageW(main, WM_PAINT, 0, 0); });
    sender.join();
    ui.sync();
    EXPECT_EQ(paints, before + 1);
    EXPECT_EQ(ui.countOtherThan(main, RECT{0, 0, 194, 125}, RGB(0, 0, 0)), 194 * 125);
}

TEST_F(ScreenWindowsThreaded, ChildrenDrawOverTheirParentAndAreCutToIt) {
    HWND main = windows.createTop(L"children", 200, 150);
    HWND outer = windows.createChild(main, L"static", L"", 0, 20, 20, 60, 40, 0, WS_EX_CLIENTEDGE);
    // Partly outside its parent's client area.
    HWND inner = windows.createChild(outer, L"EDIT", L"", 0, 30, 20, 50, 30);
    ui.sync();
    // The client edge of the outer control: shadow at the top left, then dark shadow.
    EXPECT_EQ(ui.pixel(main, 20, 20), RGB(128, 128, 128));
    EXPECT_EQ(ui.pixel(main, 21, 21), RGB(0, 0, 0));
    EXPECT_EQ(ui.pixel(main, 79, 59), RGB(255, 255, 255));
    // The edit is white inside the outer client area (which ends at 20 + 60 - 2 = 78)...
    EXPECT_EQ(ui.pixel(inner, 5, 5), RGB(255, 255, 255));
    EXPECT_EQ(ui.pixel(main, 77, 50), RGB(255, 255, 255));
    // ...and cut at its edge: the edge and the parent's face stay.
    EXPECT_EQ(ui.pixel(main, 79, 50), RGB(255, 255, 255)); // outer edge's light side
    EXPECT_EQ(ui.pixel(main, 85, 50), face);
}

TEST_F(ScreenWindowsThreaded, MouseGoesToTheDeepestEnabledChildUnderThePointer) {
    HWND main = windows.createTop(L"routing", 300, 200);
    HWND group = windows.createChild(main, L"BUTTON", L"", BS_GROUPBOX, 10, 10, 200, 60);
    HWND radio = windows.createChild(group, L"BUTTON", L"a", BS_AUTORADIOBUTTON, 10, 20, 60, 20, 5);
    HWND button = windows.createChild(main, L"BUTTON", L"ok", BS_PUSHBUTTON, 10, 100, 80, 24, 7);
    HWND disabled = windows.createChild(main, L"BUTTON", L"off", BS_PUSHBUTTON | WS_DISABLED, 100,
                                        100, 80, 24, 8);
    HWND other = windows.createChild(main, L"TindleTestWindow", L"", 0, 200, 100, 50, 50);
    (void)disabled;

    ui.click(button, 5, 5);
    auto commands = windows.taken(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].window, main);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(7, BN_CLICKED));
    EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(button));

    // A disabled control swallows the click; so does the inside of a group box.
    windows.clear();
    ui.click(main, 120, 110);
    ui.click(main, 150, 40);
    EXPECT_TRUE(windows.taken(WM_COMMAND).empty());
    EXPECT_TRUE(windows.taken(WM_LBUTTONDOWN).empty());

    // A radio button inside the group box gets the click; its notice goes to the group box.
    ui.click(radio, 3, 3);
    EXPECT_EQ(ui.call([&] { return SendMessageW(radio, BM_GETCHECK, 0, 0); }), BST_CHECKED);
    EXPECT_TRUE(windows.taken(WM_COMMAND).empty());

    // A click on a plain child arrives in its own client coordinates.
    ui.click(other, 7, 9);
    auto downs = windows.taken(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].window, other);
    EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), 7);
    EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), 9);

    // The wheel goes to the window under the pointer; unhandled, it reaches the parent.
    windows.clear();
    ui.wheel(button, 5, 5, -1);
    auto wheels = windows.taken(WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(wheels[0].window, main);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), -WHEEL_DELTA);
}

TEST_F(ScreenWindowsThreaded, TwoDroppedFilesArriveAsOneDropAtTheWindowThatAcceptsFiles) {
    HWND accepting =
        windows.createTop(L"drop", 200, 150, WS_CAPTION | WS_SYSMENU, WS_EX_ACCEPTFILES);
    ui.dropFiles(accepting, {"/tmp/録音 1.wav", "/tmp/b.wav"});
    auto drops = windows.drops();
    ASSERT_EQ(drops.size(), 1u);
    ASSERT_EQ(drops[0].size(), 2u);
    EXPECT_EQ(drops[0][0], L"/tmp/録音 1.wav");
    EXPECT_EQ(drops[0][1], L"/tmp/b.wav");

    HWND refusing = windows.createTop(L"no drop", 200, 150);
    ui.dropFiles(refusing, {"/tmp/c.wav"});
    EXPECT_EQ(windows.drops().size(), 1u);
}

TEST(ScreenDrops, QueryingCopiesWithinTheBufferAndCountsWithoutTerminator) {
    HDROP drop = platform::createDrop({L"/a/bc.wav", L"/d"}, POINT{3, 4});
    EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFFu, nullptr, 0), 2u);
    EXPECT_EQ(DragQueryFileW(drop, 0, nullptr, 0), 9u);
    wchar_t buffer[5];
    EXPECT_EQ(DragQueryFileW(drop, 0, buffer, 5), 4u);
    EXPECT_STREQ(buffer, L"/a/b");
    EXPECT_EQ(DragQueryFileW(drop, 2, buffer, 5), 0u);
    POINT p{};
    EXPECT_TRUE(DragQueryPoint(drop, &p));
    EXPECT_EQ(p.x, 3);
    DragFinish(drop);
}

TEST_F(ScreenWindowsThreaded, TheCloseButtonSendsCloseAndADisabledWindowIgnoresIt) {
    HWND main = windows.createTop(L"close", 200, 150);
    ui.runOnUi([&] { EnableWindow(main, FALSE); });
    ui.closeButton(main);
    EXPECT_TRUE(windows.taken(WM_CLOSE).empty());
    ui.runOnUi([&] { EnableWindow(main, TRUE); });
    ui.closeButton(main);
    EXPECT_EQ(windows.taken(WM_CLOSE).size(), 1u);
    EXPECT_FALSE(ui.call([&] { return IsWindow(main); }));

    // A window that ends the loop with a quit message: the harness notes it and goes on.
    ui.runOnUi([] { PostQuitMessage(3); });
    ui.sync();
    EXPECT_EQ(ui.quitMessages(), 1);
    EXPECT_EQ(ui.lastQuitCode(), 3);
    EXPECT_EQ(ui.call([] { return 42; }), 42);
}

TEST(ScreenStart, WithoutADisplayTheScreenSaysWhyInOneLine) {
    const char *saved = std::getenv("SDL_VIDEODRIVER");
    std::string previous = saved ? saved : "";
    setenv("SDL_VIDEODRIVER", "no-such-display", 1);
    bool opened = true;
    std::string why;
    std::thread ui([&] {
        opened = platform::initScreen();
        why = platform::screenError();
        if (opened)
            platform::shutdownScreen();
    });
    ui.join();
    if (saved)
        setenv("SDL_VIDEODRIVER", previous.c_str(), 1);
    else
        unsetenv("SDL_VIDEODRIVER");
    EXPECT_FALSE(opened);
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(why.find('\n'), std::string::npos);
}
