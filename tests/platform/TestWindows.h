// Windows for screen tests: a top-level window class that records the messages a parent sees
// (commands, scrolls, wheel, drops, close) and can be given a paint handler.
#pragma once

#include <functional>
#include <vector>

#include "tests/platform/ScreenHarness.h"

struct Recorded {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class TestWindows {
public:
    explicit TestWindows(ScreenHarness &ui);
    ~TestWindows();

    // A shown top-level window of the test class (on the UI thread).
    HWND createTop(const wchar_t *title, int width, int height,
                   DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, DWORD exStyle = 0);
    // A child control (on the UI thread).
    HWND createChild(HWND parent, const wchar_t *cls, const wchar_t *text, DWORD style, int x,
                     int y, int width, int height, int id = 0, DWORD exStyle = 0);
    // Called instead of the default painting of a test window.
    void onPaint(HWND window, std::function<void(HWND, HDC, const PAINTSTRUCT &)> paint);
    // Called for a message before it is recorded; return true to stop default handling.
    void onMessage(std::function<bool(HWND, UINT, WPARAM, LPARAM)> handler);

    // The messages of one kind recorded so far (read on the UI thread), and forgetting them.
    std::vector<Recorded> taken(UINT message);
    void clear();
    // The dropped paths of each WM_DROPFILES, read while it was handled.
    std::vector<std::vector<std::wstring>> drops();

private:
    ScreenHarness &ui;
};

// The drop-down list of a combo box while it is down.
inline HWND dropDownOf(ScreenHarness &ui, HWND combo) {
    return ui.call([&] {
        COMBOBOXINFO info = {};
        info.cbSize = sizeof(info);
        return GetComboBoxInfo(combo, &info) ? info.hwndList : nullptr;
    });
}
