// The drop-down list combo box as a user works it.

#include <gtest/gtest.h>

#include "tests/platform/TestWindows.h"

namespace {

class ComboBoxes : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ui.ok()) << ui.error();
        main = windows.createTop(L"combo", 500, 560);
        combo = windows.createChild(main, L"combobox", L"", CBS_DROPDOWNLIST, 80, 100, 50, 200, 77);
        ui.runOnUi([&] {
            for (const wchar_t *item : {L"-2", L"-1", L" 0", L" 1", L" 2", L" 3", L" 4", L" 5",
                                        L" 6", L" 7", L" 8", L" 9"})
                SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            SendMessageW(combo, CB_SETCURSEL, 3, 0);
        });
        closedHeight = ui.call([&] {
            RECT r = {};
            GetClientRect(combo, &r);
            return static_cast<int>(r.bottom);
        });
    }
    LRESULT selected() {
        return ui.call([&] { return SendMessageW(combo, CB_GETCURSEL, 0, 0); });
    }
    bool dropped() {
        return ui.call([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; });
    }
    int selectionChanges() {
        int n = 0;
        for (const Recorded &r : windows.taken(WM_COMMAND))
            n += r.wParam == MAKEWPARAM(77, CBN_SELCHANGE);
        return n;
    }
    ScreenHarness ui;
    TestWindows windows{ui};
    HWND main = nullptr, combo = nullptr;
    int closedHeight = 0;
};

} // namespace

TEST_F(ComboBoxes, ClickDropsTheListAndAChoiceSelectsAndClosesIt) {
    EXPECT_EQ(selected(), 3);
    EXPECT_GT(closedHeight, 14);
    EXPECT_LT(closedHeight, 30) << "the given height includes the list";
    ui.click(combo, 10, 5);
    EXPECT_TRUE(dropped());
    // The list lies below the field; its rows are one item high. Pick the sixth item (" 3").
    HWND list = dropDownOf(ui, combo);
    ASSERT_NE(list, nullptr);
    // Items are two pixels taller than the font, the closed field eight.
    int itemHeight = closedHeight - 6;
    EXPECT_EQ(ui.pixel(list, 20, 3 * itemHeight + itemHeight / 2), RGB(0, 0, 128))
        << "the selected item is highlighted";
    ui.move(list, 20, 5 * itemHeight + itemHeight / 2);
    ui.click(list, 20, 5 * itemHeight + itemHeight / 2);
    EXPECT_FALSE(dropped());
    EXPECT_EQ(selected(), 5);
    EXPECT_EQ(selectionChanges(), 1);
    EXPECT_EQ(dropDownOf(ui, combo), nullptr);
}

TEST_F(ComboBoxes, EscapeOrAClickElsewhereClosesWithoutChange) {
    ui.click(combo, 10, 5);
    ASSERT_TRUE(dropped());
    ui.key(SDLK_DOWN);
    ui.key(SDLK_ESCAPE);
    EXPECT_FALSE(dropped());
    EXPECT_EQ(selected(), 3);

    ui.click(combo, 10, 5);
    ASSERT_TRUE(dropped());
    windows.clear();
    ui.click(main, 400, 20); // anywhere outside the list: closes, and does nothing else
    EXPECT_FALSE(dropped());
    EXPECT_EQ(selected(), 3);
    EXPECT_TRUE(windows.taken(WM_LBUTTONDOWN).empty());

    // A second click on the field closes the list too; Enter takes the highlighted item.
    ui.click(combo, 10, 5);
    ui.click(combo, 10, 5);
    EXPECT_FALSE(dropped());
    ui.click(combo, 10, 5);
    ui.key(SDLK_UP);
    ui.key(SDLK_RETURN);
    EXPECT_FALSE(dropped());
    EXPECT_EQ(selected(), 2);
    EXPECT_EQ(selectionChanges(), 1);
}

TEST_F(ComboBoxes, ArrowKeysChangeTheSelectionWithinTheItems) {
    ui.click(combo, 10, 5);
    ui.key(SDLK_ESCAPE); // the combo box keeps the focus
    windows.clear();
    ui.key(SDLK_DOWN);
    EXPECT_EQ(selected(), 4);
    ui.key(SDLK_UP);
    ui.key(SDLK_UP);
    EXPECT_EQ(selected(), 2);
    ui.key(SDLK_END);
    ui.key(SDLK_DOWN);
    EXPECT_EQ(selected(), 11);
    ui.key(SDLK_HOME);
    ui.key(SDLK_UP);
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(selectionChanges(), 5);
    // Out of range: no selection.
    EXPECT_EQ(ui.call([&] { return SendMessageW(combo, CB_SETCURSEL, 12, 0); }), CB_ERR);
    EXPECT_EQ(selected(), CB_ERR);
}

TEST_F(ComboBoxes, NearTheBottomOfTheWindowTheListOpensUpwards) {
    HWND low = windows.createChild(main, L"COMBOBOX", L"", CBS_DROPDOWNLIST, 80, 448, 50, 200, 78);
    ui.runOnUi([&] {
        for (const wchar_t *item : {L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h"})
            SendMessageW(low, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    });
    ui.click(low, 10, 5);
    HWND list = dropDownOf(ui, low);
    ASSERT_NE(list, nullptr);
    RECT r = {};
    ui.runOnUi([&] {
        GetWindowRect(list, &r);
        POINT corner = {r.left, r.bottom};
        ScreenToClient(main, &corner);
        r.left = corner.x;
        r.bottom = corner.y;
    });
    EXPECT_EQ(r.bottom, 448);
    // The first item can be chosen where it is shown.
    ui.click(list, 10, 3);
    EXPECT_EQ(ui.call([&] { return SendMessageW(low, CB_GETCURSEL, 0, 0); }), 0);
}
