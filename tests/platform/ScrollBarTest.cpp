// Both kinds of scroll bar: every request a user can make with the mouse (and the keyboard on a
// scroll bar control), and how range, position and disabled arrows govern them.

#include <gtest/gtest.h>

#include "tests/platform/TestWindows.h"

namespace {

class ScrollBars : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ui.ok()) << ui.error();
        main = windows.createTop(L"scroll", 500, 300);
    }
    // (request, position) of every scroll message of the kind recorded since the last call.
    std::vector<std::pair<int, int>> requests(UINT message, HWND window, LPARAM source) {
        std::vector<std::pair<int, int>> out;
        for (const Recorded &r : windows.taken(message)) {
            EXPECT_EQ(r.window, window);
            EXPECT_EQ(r.lParam, source);
            out.emplace_back(LOWORD(r.wParam), static_cast<short>(HIWORD(r.wParam)));
        }
        windows.clear();
        return out;
    }
    ScreenHarness ui;
    TestWindows windows{ui};
    HWND main = nullptr;
};

using Requests = std::vector<std::pair<int, int>>;

} // namespace

TEST_F(ScrollBars, ControlReportsEveryRequestToItsParentWithItsHandle) {
    HWND bar = windows.createChild(main, L"SCROLLBAR", L"", SBS_HORZ, 20, 120, 160, 16, 2050);
    ui.runOnUi([&] {
        SetScrollRange(bar, SB_CTL, 1, 200, FALSE);
        SetScrollPos(bar, SB_CTL, 100, FALSE);
    });
    auto source = reinterpret_cast<LPARAM>(bar);
    struct Case {
        int x;
        Uint8 button;
        int request;
    };
    // Arrows at 0..15 and 144..159; the thumb of position 100 at 71..86.
    const Case cases[] = {{5, SDL_BUTTON_LEFT, SB_LINELEFT},  {150, SDL_BUTTON_LEFT, SB_LINERIGHT},
                          {30, SDL_BUTTON_LEFT, SB_PAGELEFT}, {120, SDL_BUTTON_LEFT, SB_PAGERIGHT},
                          {5, SDL_BUTTON_RIGHT, SB_LEFT},     {150, SDL_BUTTON_RIGHT, SB_RIGHT}};
    for (const Case &c : cases) {
        ui.click(bar, c.x, 8, c.button);
        EXPECT_EQ(requests(WM_HSCROLL, main, source), (Requests{{c.request, 0}, {SB_ENDSCROLL, 0}}))
            << c.x;
    }

    // Dragging the thumb past the right end tracks up to the maximum, then sets it.
    ui.press(bar, 78, 8);
    ui.move(bar, 400, 8);
    ui.release(bar, 400, 8);
    EXPECT_EQ(requests(WM_HSCROLL, main, source),
              (Requests{{SB_THUMBTRACK, 200}, {SB_THUMBPOSITION, 200}, {SB_ENDSCROLL, 0}}));
    // A drag of a few pixels tracks each new position; the last one is set.
    ui.press(bar, 78, 8);
    ui.move(bar, 80, 8);
    ui.move(bar, 60, 8);
    ui.release(bar, 60, 8);
    Requests dragged = requests(WM_HSCROLL, main, source);
    ASSERT_EQ(dragged.size(), 4u);
    EXPECT_EQ(dragged[0].first, SB_THUMBTRACK);
    EXPECT_GT(dragged[0].second, 100);
    EXPECT_LT(dragged[1].second, 100);
    EXPECT_EQ(dragged[2], std::make_pair(SB_THUMBPOSITION, dragged[1].second));

    // The keyboard, once the control has the focus.
    const std::pair<SDL_Keycode, int> keys[] = {
        {SDLK_LEFT, SB_LINELEFT},      {SDLK_RIGHT, SB_LINERIGHT}, {SDLK_PAGEUP, SB_PAGELEFT},
        {SDLK_PAGEDOWN, SB_PAGERIGHT}, {SDLK_HOME, SB_LEFT},       {SDLK_END, SB_RIGHT}};
    ui.runOnUi([&] { SetFocus(bar); });
    for (auto [key, request] : keys) {
        ui.key(key);
        EXPECT_EQ(requests(WM_HSCROLL, main, source), (Requests{{request, 0}, {SB_ENDSCROLL, 0}}));
    }

    // The position stays inside the range.
    EXPECT_EQ(ui.call([&] { return SetScrollPos(bar, SB_CTL, 500, TRUE); }), 100);
    EXPECT_EQ(ui.call([&] { return GetScrollPos(bar, SB_CTL); }), 200);
    ui.runOnUi([&] { SetScrollPos(bar, SB_CTL, -3, TRUE); });
    EXPECT_EQ(ui.call([&] { return GetScrollPos(bar, SB_CTL); }), 1);
}

TEST_F(ScrollBars, WindowScrollBarSendsVerticalRequestsToTheWindowItself) {
    HWND list = windows.createChild(main, L"TindleTestWindow", L"", WS_VSCROLL, 10, 55, 440, 168, 0,
                                    WS_EX_CLIENTEDGE);
    RECT client = {};
    ui.runOnUi([&] {
        GetClientRect(list, &client);
        SetScrollRange(list, SB_VERT, 0, 10, TRUE);
        SetScrollPos(list, SB_VERT, 0, TRUE);
    });
    EXPECT_EQ(client.right, 420);
    EXPECT_EQ(client.bottom, 164);
    // The bar lies right of the client area: x 420..435, arrows at y 0..15 and 148..163.
    struct Case {
        int y;
        Uint8 button;
        int request;
    };
    const Case cases[] = {{5, SDL_BUTTON_LEFT, SB_LINEUP},
                          {158, SDL_BUTTON_LEFT, SB_LINEDOWN},
                          {100, SDL_BUTTON_LEFT, SB_PAGEDOWN},
                          {5, SDL_BUTTON_RIGHT, SB_TOP},
                          {158, SDL_BUTTON_RIGHT, SB_BOTTOM}};
    for (const Case &c : cases) {
        ui.click(list, 428, c.y, c.button);
        EXPECT_EQ(requests(WM_VSCROLL, list, 0), (Requests{{c.request, 0}, {SB_ENDSCROLL, 0}}))
            << c.y;
    }
    ui.runOnUi([&] { SetScrollPos(list, SB_VERT, 10, TRUE); });
    ui.click(list, 428, 50);
    EXPECT_EQ(requests(WM_VSCROLL, list, 0), (Requests{{SB_PAGEUP, 0}, {SB_ENDSCROLL, 0}}));

    // The thumb, now at the bottom, dragged to the top.
    ui.press(list, 428, 140);
    ui.move(list, 428, -50);
    ui.release(list, 428, -50);
    EXPECT_EQ(requests(WM_VSCROLL, list, 0),
              (Requests{{SB_THUMBTRACK, 0}, {SB_THUMBPOSITION, 0}, {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(ui.call([&] { return GetScrollPos(list, SB_VERT); }), 10);

    // Disabled arrows: nothing happens, and the arrows are drawn grey.
    ui.runOnUi([&] { EnableScrollBar(list, SB_VERT, ESB_DISABLE_BOTH); });
    for (const Case &c : cases)
        ui.click(list, 428, c.y, c.button);
    EXPECT_TRUE(requests(WM_VSCROLL, list, 0).empty());
    // Inside the upper arrow's edge: a black glyph when enabled, none when disabled.
    EXPECT_EQ(ui.countOtherThan(list, RECT{422, 2, 434, 14}, RGB(0, 0, 0)), 12 * 12);
    ui.runOnUi([&] { EnableScrollBar(list, SB_VERT, ESB_ENABLE_BOTH); });
    EXPECT_LT(ui.countOtherThan(list, RECT{422, 2, 434, 14}, RGB(0, 0, 0)), 12 * 12);
    ui.click(list, 428, 5);
    EXPECT_EQ(requests(WM_VSCROLL, list, 0).size(), 2u);
}
