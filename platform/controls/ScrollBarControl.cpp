// "scrollbar": a scroll bar control (SBS_HORZ or SBS_VERT) that reports to its parent with
// WM_HSCROLL or WM_VSCROLL and its own handle. Its range and position are set with the SBM_
// messages, which SetScrollRange, SetScrollPos and GetScrollPos with SB_CTL send.

#include <algorithm>

#include "platform/controls/Controls.h"
#include "platform/controls/ScrollBars.h"

namespace platform {
namespace {

struct ScrollBarState : ControlState {
    ScrollState scroll;
    ScrollTrack track;
};

bool isVertical(HWND window) { return (windowStyle(window) & SBS_VERT) != 0; }

ScrollGeometry geometryOf(HWND window, const ScrollBarState &s) {
    SIZE size = clientSizeOf(window);
    int thumbPos = s.track.dragging ? s.track.thumbPos : s.scroll.pos;
    return scrollGeometry(RECT{0, 0, size.cx, size.cy}, isVertical(window), s.scroll, thumbPos);
}

void paintScrollBar(HWND window, ScrollBarState &s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    drawScrollBar(dc, geometryOf(window, s), s.scroll, s.track.pressed, IsWindowEnabled(window));
    EndPaint(window, &ps);
}

void keyRequest(HWND window, ScrollBarState &s, WPARAM key) {
    int request = -1;
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        request = SB_LINEUP;
        break;
    case VK_RIGHT:
    case VK_DOWN:
        request = SB_LINEDOWN;
        break;
    case VK_PRIOR:
        request = SB_PAGEUP;
        break;
    case VK_NEXT:
        request = SB_PAGEDOWN;
        break;
    case VK_HOME:
        request = SB_TOP;
        break;
    case VK_END:
        request = SB_BOTTOM;
        break;
    default:
        return;
    }
    if (s.scroll.disabled)
        return;
    HWND parent = parentOf(window);
    sendScroll(parent, window, isVertical(window), request, 0);
    sendScroll(parent, window, isVertical(window), SB_ENDSCROLL, 0);
}

void sink(HWND target, HWND source, bool vertical, int request, int pos) {
    sendScroll(target, source, vertical, request, pos);
}

LRESULT CALLBACK scrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        attachControlState(window, new ScrollBarState);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto *s = controlState<ScrollBarState>(window);
    if (!s)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (handleFontMessage(window, *s, message, wParam, lParam, result))
        return result;
    POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_NCDESTROY:
        releaseControlState(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_PAINT:
        paintScrollBar(window, *s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_ENABLE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        if (scrollPress(s->track, geometryOf(window, *s), s->scroll, p, parentOf(window), window,
                        sink)) {
            SetCapture(window);
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (s->track.dragging) {
            scrollDrag(s->track, geometryOf(window, *s), s->scroll, p, parentOf(window), window,
                       sink);
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_LBUTTONUP:
        if (s->track.pressed != partNone) {
            ReleaseCapture();
            scrollRelease(s->track, parentOf(window), window, isVertical(window), sink);
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_RBUTTONDOWN:
        scrollRightPress(geometryOf(window, *s), s->scroll, p, parentOf(window), window, sink);
        return 0;
    case WM_KEYDOWN:
        keyRequest(window, *s, wParam);
        return 0;
    case SBM_SETPOS: {
        int previous = s->scroll.pos;
        s->scroll.pos = std::clamp(static_cast<int>(wParam), s->scroll.min,
                                   std::max(s->scroll.min, s->scroll.max));
        if (lParam)
            InvalidateRect(window, nullptr, FALSE);
        return previous;
    }
    case SBM_GETPOS:
        return s->scroll.pos;
    case SBM_SETRANGE:
        s->scroll.min = static_cast<int>(wParam);
        s->scroll.max = static_cast<int>(lParam);
        s->scroll.pos =
            std::clamp(s->scroll.pos, s->scroll.min, std::max(s->scroll.min, s->scroll.max));
        InvalidateRect(window, nullptr, FALSE);
        return TRUE;
    case SBM_GETRANGE:
        if (wParam)
            *reinterpret_cast<int *>(wParam) = s->scroll.min;
        if (lParam)
            *reinterpret_cast<int *>(lParam) = s->scroll.max;
        return 0;
    case SBM_ENABLE_ARROWS:
        s->scroll.disabled = wParam == ESB_DISABLE_BOTH;
        InvalidateRect(window, nullptr, FALSE);
        return TRUE;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

WNDPROC scrollBarWindowProc() { return scrollBarProc; }

} // namespace platform
