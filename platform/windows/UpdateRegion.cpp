// The update region of each window and the rectangle helpers.
#include <algorithm>

#include "platform/gdi.h"
#include "platform/kernel.h"
#include "platform/windows/ThreadQueue.h"
#include "platform/windows/WindowRecord.h"

using namespace platform;

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (rect == nullptr) {
        return FALSE;
    }
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT rect) { return SetRect(rect, 0, 0, 0, 0); }

BOOL IsRectEmpty(const RECT *rect) {
    return rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top;
}

BOOL IntersectRect(LPRECT dest, const RECT *a, const RECT *b) {
    RECT result = {std::max(a->left, b->left), std::max(a->top, b->top),
                   std::min(a->right, b->right), std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&result)) {
        SetRectEmpty(dest);
        return FALSE;
    }
    *dest = result;
    return TRUE;
}

BOOL UnionRect(LPRECT dest, const RECT *a, const RECT *b) {
    if (IsRectEmpty(a)) {
        *dest = *b;
    } else if (IsRectEmpty(b)) {
        *dest = *a;
    } else {
        *dest = RECT{std::min(a->left, b->left), std::min(a->top, b->top),
                     std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
    }
    return IsRectEmpty(dest) ? FALSE : TRUE;
}

BOOL OffsetRect(LPRECT rect, int dx, int dy) {
    if (rect == nullptr) {
        return FALSE;
    }
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL PtInRect(const RECT *rect, POINT point) {
    return rect != nullptr && point.x >= rect->left && point.x < rect->right &&
                   point.y >= rect->top && point.y < rect->bottom
               ? TRUE
               : FALSE;
}

BOOL InvalidateRect(HWND window, const RECT *rect, BOOL erase) {
    DWORD threadId = 0;
    {
        WindowsLock lock;
        WindowRecord *record = lookupWindow(window);
        if (record == nullptr) {
            return FALSE;
        }
        RECT client = clientAreaOf(*record);
        RECT area = {0, 0, client.right - client.left, client.bottom - client.top};
        if (rect != nullptr && !IntersectRect(&area, &area, rect)) {
            return TRUE;
        }
        if (IsRectEmpty(&area)) {
            return TRUE;
        }
        if (record->updatePending) {
            UnionRect(&record->updateRect, &record->updateRect, &area);
        } else {
            record->updateRect = area;
            record->updatePending = true;
        }
        record->updateErase = record->updateErase || erase != FALSE;
        threadId = record->threadId;
    }
    wakeThread(threadId);
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT *rect) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (record == nullptr) {
        return FALSE;
    }
    // The region is kept as one rectangle: it is cleared when the validated area covers it.
    if (rect == nullptr ||
        (rect->left <= record->updateRect.left && rect->top <= record->updateRect.top &&
         rect->right >= record->updateRect.right && rect->bottom >= record->updateRect.bottom)) {
        record->updatePending = false;
        record->updateErase = false;
        SetRectEmpty(&record->updateRect);
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (record == nullptr) {
        return FALSE;
    }
    if (rect != nullptr) {
        if (record->updatePending) {
            *rect = record->updateRect;
        } else {
            SetRectEmpty(rect);
        }
    }
    return record->updatePending ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    bool pending = false;
    {
        WindowsLock lock;
        WindowRecord *record = lookupWindow(window);
        if (record == nullptr) {
            return FALSE;
        }
        pending = record->updatePending && isShownOnScreen(record);
    }
    if (pending) {
        SendMessageW(window, WM_PAINT, 0, 0);
    }
    return TRUE;
}

// Painting without a screen: the update region is handed over and validated. The display
// backend replaces this with painting into the window's image.
HDC BeginPaint(HWND window, LPPAINTSTRUCT paint) {
    if (paint == nullptr) {
        return nullptr;
    }
    *paint = PAINTSTRUCT{};
    {
        WindowsLock lock;
        WindowRecord *record = lookupWindow(window);
        if (record == nullptr) {
            return nullptr;
        }
        paint->rcPaint = record->updatePending ? record->updateRect : RECT{0, 0, 0, 0};
        paint->fErase = record->updateErase ? TRUE : FALSE;
    }
    ValidateRect(window, nullptr);
    return nullptr;
}

BOOL EndPaint(HWND, const PAINTSTRUCT *) { return TRUE; }
