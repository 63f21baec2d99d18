// The single-line edit as a user types into it.

#include <gtest/gtest.h>

#include "tests/platform/TestWindows.h"

namespace {

class Edits : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ui.ok()) << ui.error();
        main = windows.createTop(L"edits", 400, 200);
        LOGFONTW spec = {};
        spec.lfHeight = -13;
        wcscpy(spec.lfFaceName, L"ＭＳ 明朝");
        font = CreateFontIndirectW(&spec);
    }
    void TearDown() override {
        ui.runOnUi([&] { DestroyWindow(main); });
        DeleteObject(font);
    }
    HWND edit(DWORD style, int width, int limit) {
        HWND e = windows.createChild(main, L"EDIT", L"", WS_TABSTOP | style, 10, 10, width, 24,
                                     11000, WS_EX_CLIENTEDGE);
        ui.runOnUi([&] {
            SendMessageW(e, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
            SendMessageW(e, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        });
        return e;
    }
    std::wstring text(HWND e) {
        return ui.call([&] {
            wchar_t buffer[64] = {};
            GetWindowTextW(e, buffer, 64);
            return std::wstring(buffer);
        });
    }
    DWORD selection(HWND e) {
        return ui.call([&] { return static_cast<DWORD>(SendMessageW(e, EM_GETSEL, 0, 0)); });
    }
    ScreenHarness ui;
    TestWindows windows{ui};
    HWND main = nullptr;
    HFONT font = nullptr;
};

} // namespace

TEST_F(Edits, TypingStopsAtTheLimitAndWithoutAutoscrollAtTheWidth) {
    struct Case {
        DWORD style;
        int width;
        std::wstring typed, expected;
    };
    const Case cases[] = {
        // The limit counts characters, whatever their width.
        {ES_AUTOHSCROLL, 180, L"abcdefghijklmnopqrstuvwxyz", L"abcdefghijklmnopqrst"},
        {ES_AUTOHSCROLL, 60, L"日本語のタイトルをここに入力します",
         L"日本語のタイトルをここに入力します"},
        // Without autoscroll: only what fits in the width (about 56 pixels: 4 wide glyphs).
        {0, 60, L"日本語のタイトル", L"日本語の"},
        {0, 120, L"prog-01_abcdefghijklmnop", L""},
    };
    for (const Case &c : cases) {
        HWND e = edit(c.style, c.width, 20);
        ui.click(e, 5, 5);
        ui.typeText(c.typed);
        std::wstring got = text(e);
        if (c.expected.empty()) {
            // Narrow Latin text: less than the limit fits, and what fits is a prefix.
            EXPECT_LT(got.size(), 20u);
            EXPECT_GT(got.size(), 8u);
            EXPECT_EQ(c.typed.compare(0, got.size(), got), 0);
        } else {
            EXPECT_EQ(got, c.expected.substr(0, 20)) << int(c.width);
        }
        ui.runOnUi([&] { DestroyWindow(e); });
    }
}

TEST_F(Edits, CaretSelectionDeletionAndTheClipboard) {
    HWND e = edit(ES_AUTOHSCROLL, 200, 20);
    HWND other = edit(ES_AUTOHSCROLL, 200, 20);
    ui.runOnUi([&] { MoveWindow(other, 10, 50, 200, 24, TRUE); });
    ui.click(e, 5, 5);
    ui.typeText(L"abcdef");
    EXPECT_EQ(selection(e), MAKELONG(6, 6));

    ui.key(SDLK_LEFT);
    ui.key(SDLK_LEFT);
    ui.key(SDLK_BACKSPACE); // deletes d
    EXPECT_EQ(text(e), L"abcef");
    ui.key(SDLK_DELETE); // deletes e
    EXPECT_EQ(text(e), L"abcf");
    ui.key(SDLK_HOME);
    ui.typeText(L"録");
    EXPECT_EQ(text(e), L"録abcf");
    ui.key(SDLK_END);
    ui.key(SDLK_LEFT, KMOD_SHIFT);
    ui.key(SDLK_LEFT, KMOD_SHIFT);
    EXPECT_EQ(selection(e), MAKELONG(3, 5));
    ui.typeText(L"Z"); // replaces the selection
    EXPECT_EQ(text(e), L"録abZ");

    // Ctrl+A, Ctrl+C, then paste into the other edit; Ctrl+X empties the first.
    ui.key(SDLK_a, KMOD_CTRL);
    EXPECT_EQ(selection(e), MAKELONG(0, 4));
    ui.key(SDLK_c, KMOD_CTRL);
    ui.key(SDLK_x, KMOD_CTRL);
    EXPECT_EQ(text(e), L"");
    ui.click(other, 5, 5);
    ui.key(SDLK_v, KMOD_CTRL);
    ui.key(SDLK_v, KMOD_CTRL);
    EXPECT_EQ(text(other), L"録abZ録abZ");

    // Typing goes to the edit clicked last, and the caret shows there only.
    ui.click(e, 5, 5);
    ui.typeText(L"x");
    EXPECT_EQ(text(e), L"x");
    EXPECT_EQ(text(other), L"録abZ録abZ");

    // WM_SETTEXT replaces the text and is read back whole.
    ui.runOnUi([&] { SetWindowTextW(e, L"prog-01"); });
    EXPECT_EQ(text(e), L"prog-01");
    EXPECT_EQ(ui.call([&] { return GetWindowTextLengthW(e); }), 7);
}

TEST_F(Edits, TextIsDrawnBlackOnWhiteInsideASunkenEdge) {
    HWND e = edit(ES_AUTOHSCROLL, 120, 20);
    ui.runOnUi([&] { SetWindowTextW(e, L"タイトル"); });
    ui.sync();
    EXPECT_EQ(ui.pixel(main, 10, 10), RGB(128, 128, 128)); // the edge, outside the client area
    EXPECT_EQ(ui.pixel(e, 110, 2), RGB(255, 255, 255));
    EXPECT_GT(ui.countOtherThan(e, RECT{0, 0, 70, 20}, RGB(255, 255, 255)), 30);
    ui.runOnUi([&] { EnableWindow(e, FALSE); });
    EXPECT_EQ(ui.pixel(e, 110, 2), RGB(192, 192, 192));
}
