// Buttons and statics as a user works them: radio groups, check boxes, push buttons, look.

#include <gtest/gtest.h>

#include "tests/platform/TestWindows.h"

namespace {

class Buttons : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ui.ok()) << ui.error();
        main = windows.createTop(L"buttons", 400, 300);
    }
    LRESULT check(HWND button) {
        return ui.call([&] { return SendMessageW(button, BM_GETCHECK, 0, 0); });
    }
    ScreenHarness ui;
    TestWindows windows{ui};
    HWND main = nullptr;
};

} // namespace

TEST_F(Buttons, RadioGroupsRunToTheNextGroupStyleAndAClickChecksOneAndClearsTheRest) {
    // Group one: a, b, c (a starts it); group two starts at d.
    HWND a = windows.createChild(main, L"BUTTON", L"8kHz", BS_AUTORADIOBUTTON | WS_GROUP, 10, 10,
                                 80, 20, 1);
    HWND b = windows.createChild(main, L"BUTTON", L"16kHz", BS_AUTORADIOBUTTON, 10, 30, 80, 20, 2);
    HWND label = windows.createChild(main, L"static", L"-", SS_LEFT, 10, 50, 80, 20);
    HWND c = windows.createChild(main, L"BUTTON", L"32kHz", BS_AUTORADIOBUTTON, 10, 70, 80, 20, 3);
    HWND d = windows.createChild(main, L"BUTTON", L"Mono", BS_AUTORADIOBUTTON | WS_GROUP, 10, 90,
                                 80, 20, 4);
    HWND e =
        windows.createChild(main, L"BUTTON", L"Stereo", BS_AUTORADIOBUTTON, 10, 110, 80, 20, 5);
    (void)label;
    ui.runOnUi([&] {
        SendMessageW(b, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageW(e, BM_SETCHECK, BST_CHECKED, 0);
    });

    ui.click(c, 30, 10); // on the text
    EXPECT_EQ(check(a), BST_UNCHECKED);
    EXPECT_EQ(check(b), BST_UNCHECKED);
    EXPECT_EQ(check(c), BST_CHECKED);
    EXPECT_EQ(check(e), BST_CHECKED) << "another group is left alone";

    ui.click(d, 5, 10);
    EXPECT_EQ(check(d), BST_CHECKED);
    EXPECT_EQ(check(e), BST_UNCHECKED);
    EXPECT_EQ(check(c), BST_CHECKED);

    // BM_CLICK acts like a click, notification included.
    windows.clear();
    ui.runOnUi([&] { SendMessageW(a, BM_CLICK, 0, 0); });
    EXPECT_EQ(check(a), BST_CHECKED);
    EXPECT_EQ(check(c), BST_UNCHECKED);
    auto commands = windows.taken(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(1, BN_CLICKED));
}

TEST_F(Buttons, CheckBoxTogglesAndPushButtonsClickOnlyWhenReleasedInside) {
    HWND box =
        windows.createChild(main, L"button", L"ループ録音", BS_AUTOCHECKBOX, 10, 10, 120, 20, 9);
    ui.click(box, 5, 10);
    EXPECT_EQ(check(box), BST_CHECKED);
    ui.click(box, 60, 10);
    EXPECT_EQ(check(box), BST_UNCHECKED);
    EXPECT_EQ(windows.taken(WM_COMMAND).size(), 2u);

    windows.clear();
    HWND push = windows.createChild(main, L"BUTTON", L"Rec", BS_PUSHBUTTON, 10, 50, 80, 30, 40001);
    // Pressed, then released outside: no click. The pressed look shows while it is held.
    ui.press(push, 10, 10);
    COLORREF heldCorner = ui.pixel(push, 0, 0);
    ui.move(push, 200, 10);
    ui.release(push, 200, 10);
    EXPECT_TRUE(windows.taken(WM_COMMAND).empty());
    EXPECT_EQ(heldCorner, RGB(0, 0, 0));
    EXPECT_EQ(ui.pixel(push, 0, 0), RGB(255, 255, 255)) << "raised again";
    ui.click(push, 40, 15);
    auto commands = windows.taken(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, 40001u) << "the whole parameter is the identifier";

    // Disabled: greyed text, and clicks do nothing.
    windows.clear();
    int before = ui.countOtherThan(push, RECT{4, 4, 76, 26}, RGB(192, 192, 192));
    ui.runOnUi([&] { EnableWindow(push, FALSE); });
    ui.click(push, 40, 15);
    EXPECT_TRUE(windows.taken(WM_COMMAND).empty());
    EXPECT_GT(before, 0);
    int dark = 0;
    for (int y = 4; y < 26; ++y)
        for (int x = 4; x < 76; ++x)
            dark += ui.pixel(push, x, y) == RGB(0, 0, 0);
    EXPECT_EQ(dark, 0) << "disabled text is grey, not black";
}

TEST_F(Buttons, StaticTextIsLeftOrCentredAndFollowsItsFont) {
    LOGFONTW spec = {};
    spec.lfHeight = -13;
    wcscpy(spec.lfFaceName, L"ＭＳ 明朝");
    HFONT font = CreateFontIndirectW(&spec);
    HWND left = windows.createChild(main, L"STATIC", L"Quority", SS_LEFT, 10, 10, 160, 20);
    HWND centre = windows.createChild(main, L"static", L"Quority", SS_CENTER, 10, 40, 160, 20);
    ui.runOnUi([&] {
        SendMessageW(left, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        SendMessageW(centre, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    });
    ui.sync();
    EXPECT_EQ(
        ui.call([&] { return reinterpret_cast<HFONT>(SendMessageW(left, WM_GETFONT, 0, 0)); }),
        font);
    const COLORREF face = RGB(192, 192, 192);
    // Left: ink near the left edge, none at the right. Centred: none near either edge.
    EXPECT_GT(ui.countOtherThan(left, RECT{0, 0, 20, 20}, face), 0);
    EXPECT_EQ(ui.countOtherThan(left, RECT{80, 0, 160, 20}, face), 0);
    EXPECT_EQ(ui.countOtherThan(centre, RECT{0, 0, 40, 20}, face), 0);
    EXPECT_GT(ui.countOtherThan(centre, RECT{60, 0, 100, 20}, face), 0);
    EXPECT_EQ(ui.countOtherThan(centre, RECT{120, 0, 160, 20}, face), 0);
    ui.runOnUi([&] {
        DestroyWindow(left);
        DestroyWindow(centre);
    });
    DeleteObject(font);
}
