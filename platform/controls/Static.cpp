// "static": text on the button face, left-aligned (SS_LEFT), centred (SS_CENTER) or
// right-aligned (SS_RIGHT). CR LF and LF break lines; a line too wide for the control wraps at
// its last space, or between characters where it has none (as Japanese text needs).

#include <vector>

#include "platform/controls/ControlCommon.h"
#include "platform/controls/Controls.h"

namespace platform {

// Splits text into the lines a static control of the given width shows.
std::vector<std::wstring> wrapLines(HFONT font, const std::wstring &text, int width) {
    std::vector<std::wstring> lines;
    std::wstring current;
    auto flush = [&] {
        lines.push_back(current);
        current.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\r')
            continue;
        if (c == L'\n') {
            flush();
            continue;
        }
        current.push_back(c);
        if (width > 0 && current.size() > 1 && textExtent(font, current).cx > width) {
            size_t space = current.find_last_of(L' ', current.size() - 2);
            std::wstring rest;
            if (space != std::wstring::npos && space > 0) {
                rest = current.substr(space + 1);
                current.erase(space);
            } else {
                rest = current.substr(current.size() - 1);
                current.pop_back();
            }
            flush();
            current = rest;
        }
    }
    flush();
    return lines;
}

namespace {

struct StaticState : ControlState {};

void paintStatic(HWND window, StaticState &state) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    SIZE size = clientSizeOf(window);
    fillSolid(dc, RECT{0, 0, size.cx, size.cy}, GetSysColor(COLOR_BTNFACE));
    HFONT font = effectiveFont(state);
    DWORD align = windowStyle(window) & 0x3u;
    bool enabled = IsWindowEnabled(window);
    int lineHeight = fontHeight(font);
    int y = 0;
    for (const std::wstring &line : wrapLines(font, windowText(window), size.cx)) {
        int width = textExtent(font, line).cx;
        int x = align == SS_CENTER  ? (size.cx - width) / 2
                : align == SS_RIGHT ? size.cx - width
                                    : 0;
        drawLabel(dc, font, x, y, line, enabled);
        y += lineHeight;
    }
    EndPaint(window, &ps);
}

LRESULT CALLBACK staticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        attachControlState(window, new StaticState);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto *state = controlState<StaticState>(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (handleFontMessage(window, *state, message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_NCDESTROY:
        releaseControlState(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_PAINT:
        paintStatic(window, *state);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT:
    case WM_ENABLE:
        result = DefWindowProcW(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

WNDPROC staticWindowProc() { return staticProc; }

} // namespace platform
