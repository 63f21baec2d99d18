// A demo window with every standard control, worked as a user would work it, and saved as an
// image (to $TINDLE_GALLERY_PNG when set, for the documentation).

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/platform/TestWindows.h"

namespace {

HWND makeChild(HWND parent, const wchar_t *cls, const wchar_t *text, DWORD style, int x, int y,
               int w, int h, int id, HFONT font, DWORD exStyle = 0) {
    HWND child =
        CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    if (font)
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return child;
}

} // namespace

TEST(ScreenGallery, EveryControlWorksAndTheWindowLooksLikeAClassicDesktopWindow) {
    ScreenHarness ui;
    ASSERT_TRUE(ui.ok()) << ui.error();
    TestWindows windows(ui);
    LOGFONTW spec = {};
    spec.lfHeight = -13;
    spec.lfWeight = FW_NORMAL;
    wcscpy(spec.lfFaceName, L"ＭＳ 明朝");
    HFONT font = CreateFontIndirectW(&spec);
    ASSERT_NE(font, nullptr);

    HWND main = windows.createTop(L"Pellory - Tindle Ver.1.0.0.2", 500, 560,
                                  WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_EX_ACCEPTFILES);
    windows.onPaint(main, [font](HWND, HDC dc, const PAINTSTRUCT &) {
        HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        TextOutW(dc, 12, 40, L"in", 2);
        TextOutW(dc, 55, 40, L"フォルダ名", 5);
        TextOutW(dc, 210, 40, L"タイトル", 4);
        TextOutW(dc, 10, 235, L"in を選択して、録音(Rec)またはファイルドロップしてください", 33);
        Rectangle(dc, 210, 260, 468, 305);
        HBRUSH orange = CreateSolidBrush(RGB(255, 128, 0));
        HPEN none = CreatePen(PS_NULL, 0, 0);
        HGDIOBJ oldBrush = SelectObject(dc, orange);
        HGDIOBJ oldPen = SelectObject(dc, none);
        Rectangle(dc, 211, 265, 210 + 24000 / 128, 280);
        Rectangle(dc, 211, 285, 210 + 16000 / 128, 300);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        Rectangle(dc, 340, 320, 470, 450);
        HPEN orangePen = CreatePen(PS_SOLID, 1, RGB(255, 128, 0));
        oldPen = SelectObject(dc, orangePen);
        MoveToEx(dc, 341, 448, nullptr);
        for (int i = 1; i < 128; ++i)
            LineTo(dc, 341 + i, 448 - i);
        SelectObject(dc, oldPen);
        TextOutW(dc, 335, 455, L"0", 1);
        TextOutW(dc, 430, 457, L"入力", 2);
        TextOutW(dc, 310, 340, L"出力", 2);
        SelectObject(dc, old);
        DeleteObject(orange);
        DeleteObject(none);
        DeleteObject(orangePen);
    });

    HWND load = nullptr, save = nullptr, rec = nullptr, volume = nullptr, rate16 = nullptr,
         rate32 = nullptr, mono = nullptr, stereo = nullptr, combo = nullptr, loop = nullptr,
         list = nullptr;
    HWND folder[3] = {}, title[3] = {}, selector[3] = {};
    ui.runOnUi([&] {
        load = makeChild(main, L"BUTTON", L"Load", BS_DEFPUSHBUTTON, 10, 2, 80, 24, 40006, font);
        save = makeChild(main, L"BUTTON", L"Save", WS_DISABLED, 100, 2, 80, 24, 40007, font);
        rec = makeChild(main, L"BUTTON", L"Rec", 0, 10, 260, 80, 30, 40001, font);
        makeChild(main, L"BUTTON", L"Stop", WS_DISABLED, 100, 260, 80, 30, 40002, font);
        volume = makeChild(main, L"scrollbar", L"", SBS_HORZ, 20, 320, 160, 16, 2050, nullptr);
        SetScrollRange(volume, SB_CTL, 1, 200, FALSE);
        SetScrollPos(volume, SB_CTL, 100, FALSE);
        makeChild(main, L"static", L"小 ← Volume → 大", SS_CENTER, 20, 300, 160, 20, 0, font);
        HWND rates = makeChild(main, L"BUTTON", L"", BS_GROUPBOX, 20, 350, 250, 40, 0, nullptr);
        makeChild(rates, L"BUTTON", L"8kHz", BS_AUTORADIOBUTTON, 10, 15, 60, 20, 1010, font);
        rate16 =
            makeChild(rates, L"BUTTON", L"16kHz", BS_AUTORADIOBUTTON, 80, 15, 60, 20, 1011, font);
        rate32 =
            makeChild(rates, L"BUTTON", L"32kHz", BS_AUTORADIOBUTTON, 150, 15, 60, 20, 1012, font);
        HWND channels = makeChild(main, L"BUTTON", L"", BS_GROUPBOX, 20, 390, 250, 40, 0, nullptr);
        mono =
            makeChild(channels, L"BUTTON", L"Mono", BS_AUTORADIOBUTTON, 10, 15, 70, 20, 1020, font);
        stereo = makeChild(channels, L"BUTTON", L"Stereo", BS_AUTORADIOBUTTON, 100, 15, 90, 20,
                           1021, font);
        makeChild(main, L"static", L"Quority", SS_CENTER, 10, 450, 70, 20, 0, font);
        combo = makeChild(main, L"COMBOBOX", L"", CBS_DROPDOWNLIST, 80, 448, 50, 200, 0, font);
        for (const wchar_t *item :
             {L"-2", L"-1", L" 0", L" 1", L" 2", L" 3", L" 4", L" 5", L" 6", L" 7", L" 8", L" 9"})
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(combo, CB_SETCURSEL, 3, 0);
        loop =
            makeChild(main, L"BUTTON", L"ループ録音", BS_AUTOCHECKBOX, 180, 448, 120, 20, 0, font);
        SendMessageW(rate16, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageW(stereo, BM_SETCHECK, BST_CHECKED, 0);

        list = makeChild(main, L"TindleTestWindow", L"", WS_VSCROLL, 10, 55, 440, 168, 0, nullptr,
                         WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES);
        SetScrollRange(list, SB_VERT, 0, 3, TRUE);
        for (int r = 0; r < 7; ++r) {
            int y = 24 * r;
            HWND s = makeChild(list, L"BUTTON", L"", WS_TABSTOP | BS_AUTORADIOBUTTON, 0, y, 20, 24,
                               10000 + r, nullptr, WS_EX_CLIENTEDGE);
            HWND f = makeChild(list, L"EDIT", L"", WS_TABSTOP, 20, y, 120, 24, 11000 + r, font,
                               WS_EX_CLIENTEDGE);
            HWND t = makeChild(list, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, 140, y, 180, 24,
                               12000 + r, font, WS_EX_CLIENTEDGE);
            SendMessageW(f, EM_LIMITTEXT, 20, 0);
            SendMessageW(t, EM_LIMITTEXT, 20, 0);
            HWND saved = makeChild(list, L"BUTTON", L"", WS_DISABLED | WS_TABSTOP | BS_AUTOCHECKBOX,
                                   330, y, 20, 24, 13000 + r, nullptr, WS_EX_CLIENTEDGE);
            if (r == 0)
                SendMessageW(saved, BM_SETCHECK, BST_CHECKED, 0);
            makeChild(list, L"BUTTON", L"ins", r < 3 ? 0 : WS_DISABLED, 350, y, 30, 24, 14000 + r,
                      font, WS_EX_CLIENTEDGE);
            makeChild(list, L"BUTTON", L"del", r < 3 ? 0 : WS_DISABLED, 380, y, 30, 24, 15000 + r,
                      font, WS_EX_CLIENTEDGE);
            if (r < 3) {
                selector[r] = s;
                folder[r] = f;
                title[r] = t;
            }
        }
        EnableWindow(load, FALSE);
        EnableWindow(save, TRUE);
        InvalidateRect(main, nullptr, TRUE);
    });

    // Work the controls.
    const wchar_t *names[3] = {L"prog-01", L"news", L"A_B.c"};
    const wchar_t *titles[3] = {L"朝のニュース", L"天気予報", L"音楽の時間"};
    for (int r = 0; r < 3; ++r) {
        ui.click(folder[r], 5, 5);
        ui.typeText(names[r]);
        ui.click(title[r], 5, 5);
        ui.typeText(titles[r]);
    }
    ui.click(selector[1], 8, 8);
    ui.click(rate32, 5, 10);
    ui.click(mono, 5, 10);
    ui.click(loop, 5, 10);
    ui.click(combo, 10, 5);
    HWND dropList = dropDownOf(ui, combo);
    ASSERT_NE(dropList, nullptr);
    ui.click(dropList, 10, 5);   // the first item, "-2"
    ui.click(folder[0], 100, 5); // the caret after the text

    EXPECT_EQ(ui.call([&] { return SendMessageW(rate32, BM_GETCHECK, 0, 0); }), BST_CHECKED);
    EXPECT_EQ(ui.call([&] { return SendMessageW(rate16, BM_GETCHECK, 0, 0); }), BST_UNCHECKED);
    EXPECT_EQ(ui.call([&] { return SendMessageW(stereo, BM_GETCHECK, 0, 0); }), BST_UNCHECKED);
    EXPECT_EQ(ui.call([&] { return SendMessageW(selector[1], BM_GETCHECK, 0, 0); }), BST_CHECKED);
    EXPECT_EQ(ui.call([&] { return SendMessageW(loop, BM_GETCHECK, 0, 0); }), BST_CHECKED);
    EXPECT_EQ(ui.call([&] { return SendMessageW(combo, CB_GETCURSEL, 0, 0); }), 0);
    wchar_t typed[32] = {};
    ui.runOnUi([&] { GetWindowTextW(title[2], typed, 32); });
    EXPECT_STREQ(typed, L"音楽の時間");

    // Classic look: grey face, white edits, the default button's black frame, text in the
    // Mincho face inside the heading's box.
    const COLORREF face = RGB(192, 192, 192);
    EXPECT_EQ(ui.pixel(main, 480, 520), face);
    EXPECT_EQ(ui.pixel(title[2], 170, 3), RGB(255, 255, 255));
    EXPECT_EQ(ui.pixel(rec, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(ui.pixel(rec, 79, 29), RGB(0, 0, 0));
    EXPECT_GT(ui.countOtherThan(main, RECT{55, 40, 55 + 65, 40 + 13}, face), 40);
    EXPECT_EQ(ui.pixel(main, 420, 270), RGB(255, 255, 255));
    EXPECT_EQ(ui.pixel(main, 250, 270), RGB(255, 128, 0));
    EXPECT_GT(ui.countOtherThan(folder[0], RECT{0, 0, 60, 20}, RGB(255, 255, 255)), 30);

    const char *out = std::getenv("TINDLE_GALLERY_PNG");
    std::string path = out ? out : ::testing::TempDir() + "control-gallery.png";
    EXPECT_TRUE(ui.snapshot(main, path));
    ui.runOnUi([&] { DestroyWindow(main); });
    DeleteObject(font);
}
