// The standard controls keep their state and notify their parents without any screen, so that
// window logic can be tested on a plain thread.

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32.h"

namespace {

std::vector<WPARAM> commands;

LRESULT CALLBACK parentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND)
        commands.push_back(wParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

TEST(ControlsHeadless, ButtonsEditsAndCombosWorkWithoutAScreen) {
    WNDCLASSW cls = {};
    cls.lpfnWndProc = parentProc;
    cls.lpszClassName = L"TindleHeadlessParent";
    RegisterClassW(&cls);
    commands.clear();
    HWND parent = CreateWindowExW(0, L"TindleHeadlessParent", L"", WS_CAPTION, 0, 0, 300, 200,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    auto child = [&](const wchar_t *cls, DWORD style, int id) {
        return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 100, 24, parent,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr,
                               nullptr);
    };
    HWND a = child(L"BUTTON", BS_AUTORADIOBUTTON, 1);
    HWND b = child(L"BUTTON", BS_AUTORADIOBUTTON, 2);
    HWND edit = child(L"EDIT", ES_AUTOHSCROLL, 3);
    HWND combo = child(L"COMBOBOX", CBS_DROPDOWNLIST, 4);
    ASSERT_TRUE(a && b && edit && combo);

    SendMessageW(a, BM_CLICK, 0, 0);
    SendMessageW(b, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(commands, (std::vector<WPARAM>{1, 2}));

    SendMessageW(edit, EM_LIMITTEXT, 4, 0);
    SetWindowTextW(edit, L"ab");
    SendMessageW(edit, EM_SETSEL, 2, 2);
    for (wchar_t c : std::wstring(L"cdef"))
        SendMessageW(edit, WM_CHAR, c, 1);
    wchar_t text[16] = {};
    GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(text, L"abcd");

    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L" 0"));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L" 1"));
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(DestroyWindow(parent));
    EXPECT_FALSE(IsWindow(edit));
}
