// Window geometry as the screen sees it: frames around client areas, where a window's client
// area lies in its surface and in its top-level window, hit testing, screen coordinates.

#include "platform/sdl/ScreenWindow.h"

namespace platform {

Insets frameInsets(DWORD style, DWORD exStyle, bool child) {
    Insets in;
    int frame = 0;
    if (child) {
        if (exStyle & WS_EX_CLIENTEDGE)
            frame += 2;
        if ((style & WS_CAPTION) == WS_DLGFRAME || (style & WS_CAPTION) == WS_CAPTION)
            frame += 3;
        else if (style & WS_BORDER)
            frame += 1;
    } else {
        if ((style & WS_CAPTION) == WS_CAPTION) {
            frame = (style & WS_THICKFRAME) ? 4 : 3;
            in.top = captionHeight;
        } else if (style & WS_DLGFRAME) {
            frame = 3;
        } else if (style & WS_BORDER) {
            frame = 1;
        }
        if (exStyle & WS_EX_CLIENTEDGE)
            frame += 2;
    }
    in.left += frame;
    in.top += frame;
    in.right += frame;
    in.bottom += frame;
    if (style & WS_VSCROLL)
        in.right += scrollBarWidth;
    return in;
}

Insets frameInsets(const WindowRecord &record) {
    return frameInsets(record.style, record.exStyle, isChild(record));
}

SIZE clientSize(const WindowRecord &record) {
    Insets in = frameInsets(record);
    LONG w = record.rect.right - record.rect.left - in.left - in.right;
    LONG h = record.rect.bottom - record.rect.top - in.top - in.bottom;
    return SIZE{w > 0 ? w : 0, h > 0 ? h : 0};
}

POINT clientOriginInSurface(const WindowRecord &record) {
    if (!isChild(record))
        return POINT{0, 0};
    Insets in = frameInsets(record);
    return POINT{in.left, in.top};
}

WindowRecord *topLevelOf(WindowRecord *record) {
    while (record && record->parent)
        record = record->parent;
    return record;
}

POINT clientOriginInTop(const WindowRecord &record) {
    if (!isChild(record))
        return POINT{0, 0};
    POINT parent = clientOriginInTop(*record.parent);
    POINT inner = clientOriginInSurface(record);
    return POINT{parent.x + record.rect.left + inner.x, parent.y + record.rect.top + inner.y};
}

RECT vscrollRectInSurface(const WindowRecord &record) {
    if (!(record.style & WS_VSCROLL) || !isChild(record))
        return RECT{0, 0, 0, 0};
    Insets in = frameInsets(record);
    int edge = in.top; // the frame is as thick on every side
    LONG w = record.rect.right - record.rect.left;
    LONG h = record.rect.bottom - record.rect.top;
    return RECT{w - edge - scrollBarWidth, edge, w - edge, h - edge};
}

bool acceptsInput(const WindowRecord &record) {
    for (const WindowRecord *r = &record; r; r = r->parent)
        if ((r->style & WS_DISABLED) || r->destroying)
            return false;
    return true;
}

HitResult hitTest(WindowRecord &top, POINT point) {
    WindowRecord *current = &top;
    POINT p = point;
    for (;;) {
        WindowRecord *next = nullptr;
        for (auto it = current->children.rbegin(); it != current->children.rend(); ++it) {
            WindowRecord *child = *it;
            if (!(child->style & WS_VISIBLE) || child->destroying)
                continue;
            const RECT &r = child->rect;
            if (p.x < r.left || p.x >= r.right || p.y < r.top || p.y >= r.bottom)
                continue;
            POINT local = {p.x - r.left, p.y - r.top};
            POINT origin = clientOriginInSurface(*child);
            SIZE size = clientSize(*child);
            POINT inClient = {local.x - origin.x, local.y - origin.y};
            if (inClient.x >= 0 && inClient.y >= 0 && inClient.x < size.cx &&
                inClient.y < size.cy) {
                next = child;
                p = inClient;
                break;
            }
            RECT bar = vscrollRectInSurface(*child);
            bool onBar = local.x >= bar.left && local.x < bar.right && local.y >= bar.top &&
                         local.y < bar.bottom;
            return HitResult{child, inClient, onBar ? HTVSCROLL : HTBORDER};
        }
        if (!next)
            break;
        current = next;
    }
    return HitResult{current, p, HTCLIENT};
}

namespace {

// The screen position of a top-level window's client origin, as the records know it (a window
// that the window manager placed stands where the core put it).
POINT screenOrigin(const WindowRecord &top) {
    Insets in = frameInsets(top);
    return POINT{top.rect.left + in.left, top.rect.top + in.top};
}

bool convert(HWND window, LPPOINT point, int sign) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (!record || !point)
        return false;
    POINT inTop = clientOriginInTop(*record);
    POINT screen = screenOrigin(*topLevelOf(record));
    point->x += sign * (inTop.x + screen.x);
    point->y += sign * (inTop.y + screen.y);
    return true;
}

} // namespace

} // namespace platform

BOOL ClientToScreen(HWND window, LPPOINT point) { return platform::convert(window, point, 1); }
BOOL ScreenToClient(HWND window, LPPOINT point) { return platform::convert(window, point, -1); }
