// The scroll bar of a window with WS_VSCROLL: drawn by the layer beside the client area, pressed
// through the non-client mouse messages that the default window procedure hands here, reporting
// WM_VSCROLL to the window itself. Also the scroll bar calls for both kinds of scroll bar, and
// the drawing of the layer's frames around client areas.

#include <algorithm>

#include "platform/controls/ScrollBars.h"

namespace platform {
namespace {

// Tracking of a window scroll bar; one press at a time on the screen thread.
ScrollTrack windowTrack;
HWND trackedWindow = nullptr;

ScrollGeometry windowGeometry(WindowRecord &record) {
    ScreenWindow &data = screenData(record);
    int thumbPos = trackedWindow == toHandle(&record) && windowTrack.dragging ? windowTrack.thumbPos
                                                                              : data.vscroll.pos;
    return scrollGeometry(vscrollRectInSurface(record), true, data.vscroll, thumbPos);
}

// A screen point in the window's surface coordinates.
POINT surfacePoint(HWND window, LPARAM lParam) {
    POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(window, &p);
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (record) {
        POINT origin = clientOriginInSurface(*record);
        p.x += origin.x;
        p.y += origin.y;
    }
    return p;
}

void sink(HWND target, HWND, bool, int request, int pos) {
    SendMessageW(target, WM_VSCROLL, MAKEWPARAM(request, static_cast<WORD>(pos)), 0);
}

bool withState(HWND window, ScrollGeometry &g, ScrollState &state) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (!record || !(record->style & WS_VSCROLL))
        return false;
    g = windowGeometry(*record);
    state = screenData(*record).vscroll;
    return true;
}

} // namespace

bool defaultNonClientMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ScrollGeometry g;
    ScrollState state;
    switch (message) {
    case WM_NCLBUTTONDOWN:
        if (wParam != HTVSCROLL || !withState(window, g, state))
            return false;
        if (scrollPress(windowTrack, g, state, surfacePoint(window, lParam), window, nullptr,
                        sink)) {
            trackedWindow = window;
            setNonClientCapture(window);
        }
        screenChanged();
        return true;
    case WM_NCMOUSEMOVE:
        if (trackedWindow != window || !withState(window, g, state))
            return false;
        scrollDrag(windowTrack, g, state, surfacePoint(window, lParam), window, nullptr, sink);
        screenChanged();
        return true;
    case WM_NCLBUTTONUP:
        if (trackedWindow != window)
            return false;
        ReleaseCapture();
        trackedWindow = nullptr;
        scrollRelease(windowTrack, window, nullptr, true, sink);
        screenChanged();
        return true;
    case WM_NCRBUTTONDOWN:
        if (wParam != HTVSCROLL || !withState(window, g, state))
            return false;
        scrollRightPress(g, state, surfacePoint(window, lParam), window, nullptr, sink);
        return true;
    default:
        return false;
    }
}

void drawNonClient(WindowRecord &record) {
    ScreenWindow &data = screenData(record);
    if (!data.surface || !isChild(record))
        return;
    bool edge = (record.exStyle & WS_EX_CLIENTEDGE) != 0;
    bool border = (record.style & WS_BORDER) != 0;
    if (!edge && !border && !(record.style & WS_VSCROLL))
        return;
    DeviceContext *dc = createDeviceContext(data.surface, POINT{0, 0},
                                            RECT{0, 0, data.surface->w, data.surface->h});
    HDC hdc = toHdc(dc);
    RECT all = {0, 0, data.surface->w, data.surface->h};
    if (edge) {
        sunkenEdge(hdc, all);
        all = RECT{all.left + 2, all.top + 2, all.right - 2, all.bottom - 2};
    }
    if (border)
        FrameRect(hdc, &all, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (record.style & WS_VSCROLL) {
        bool tracked = trackedWindow == toHandle(&record);
        drawScrollBar(hdc, windowGeometry(record), data.vscroll,
                      tracked ? windowTrack.pressed : partNone, acceptsInput(record));
    }
    deleteDeviceContext(dc);
}

} // namespace platform

using namespace platform;

namespace {

// The state of a window's own scroll bar, under the windows lock.
ScrollState *windowBar(WindowRecord *record, int bar) {
    if (!record || bar != SB_VERT || !(record->style & WS_VSCROLL))
        return nullptr;
    return &screenData(*record).vscroll;
}

int clampPos(const ScrollState &s, int pos) {
    return std::clamp(pos, s.min, std::max(s.min, s.max));
}

} // namespace

int SetScrollPos(HWND window, int bar, int pos, BOOL redraw) {
    if (bar == SB_CTL)
        return static_cast<int>(SendMessageW(window, SBM_SETPOS, static_cast<WPARAM>(pos), redraw));
    WindowsLock lock;
    ScrollState *s = windowBar(lookupWindow(window), bar);
    if (!s)
        return 0;
    int previous = s->pos;
    s->pos = clampPos(*s, pos);
    screenChanged();
    return previous;
}

int GetScrollPos(HWND window, int bar) {
    if (bar == SB_CTL)
        return static_cast<int>(SendMessageW(window, SBM_GETPOS, 0, 0));
    WindowsLock lock;
    ScrollState *s = windowBar(lookupWindow(window), bar);
    return s ? s->pos : 0;
}

BOOL SetScrollRange(HWND window, int bar, int min, int max, BOOL redraw) {
    if (bar == SB_CTL) {
        (void)redraw;
        return static_cast<BOOL>(SendMessageW(window, SBM_SETRANGE, static_cast<WPARAM>(min), max));
    }
    WindowsLock lock;
    ScrollState *s = windowBar(lookupWindow(window), bar);
    if (!s)
        return FALSE;
    s->min = min;
    s->max = max;
    s->pos = clampPos(*s, s->pos);
    screenChanged();
    return TRUE;
}

BOOL GetScrollRange(HWND window, int bar, int *min, int *max) {
    if (bar == SB_CTL) {
        SendMessageW(window, SBM_GETRANGE, reinterpret_cast<WPARAM>(min),
                     reinterpret_cast<LPARAM>(max));
        return TRUE;
    }
    WindowsLock lock;
    ScrollState *s = windowBar(lookupWindow(window), bar);
    if (!s)
        return FALSE;
    if (min)
        *min = s->min;
    if (max)
        *max = s->max;
    return TRUE;
}

BOOL EnableScrollBar(HWND window, UINT bar, UINT arrows) {
    if (bar == SB_CTL)
        return static_cast<BOOL>(SendMessageW(window, SBM_ENABLE_ARROWS, arrows, 0));
    WindowsLock lock;
    ScrollState *s = windowBar(lookupWindow(window), static_cast<int>(bar));
    if (!s)
        return FALSE;
    s->disabled = arrows == ESB_DISABLE_BOTH;
    screenChanged();
    return TRUE;
}
