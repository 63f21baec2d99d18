// Window state kept in the record: visibility, enabled state, text, geometry, focus, and the
// default window procedure.
#include <algorithm>
#include <atomic>
#include <cwchar>

#include "platform/gdi.h"
#include "platform/kernel.h"
#include "platform/windows/ScreenHooks.h"
#include "platform/windows/WindowRecord.h"

using namespace platform;

namespace {

std::atomic<HWND> focusWindow{nullptr};

void notifyChanged(WindowRecord *record) {
    if (screenHooks.windowChanged != nullptr) {
        screenHooks.windowChanged(*record);
    }
}

// Sets or clears style bits; returns the previous style, or nothing when the window is gone.
bool changeStyle(HWND window, DWORD set, DWORD clear, DWORD &previous) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (record == nullptr) {
        return false;
    }
    previous = record->style;
    record->style = (record->style & ~clear) | set;
    if (record->style != previous) {
        notifyChanged(record);
    }
    return true;
}

} // namespace

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_SETTEXT: {
        WindowsLock lock;
        WindowRecord *record = lookupWindow(window);
        if (record == nullptr) {
            return FALSE;
        }
        auto *text = reinterpret_cast<const wchar_t *>(lParam);
        record->text = text != nullptr ? text : L"";
        notifyChanged(record);
        return TRUE;
    }
    case WM_GETTEXT: {
        auto *buffer = reinterpret_cast<wchar_t *>(lParam);
        if (buffer == nullptr || wParam == 0) {
            return 0;
        }
        WindowsLock lock;
        WindowRecord *record = lookupWindow(window);
        if (record == nullptr) {
            buffer[0] = L'\0';
            return 0;
        }
        size_t count = std::min<size_t>(record->text.size(), wParam - 1);
        wmemcpy(buffer, record->text.data(), count);
        buffer[count] = L'\0';
        return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH: {
        WindowsLock lock;
        WindowRecord *record = lookupWindow(window);
        return record != nullptr ? static_cast<LRESULT>(record->text.size()) : 0;
    }
    default:
        return 0;
    }
}

BOOL ShowWindow(HWND window, int command) {
    DWORD previous = 0;
    bool show = command != SW_HIDE;
    if (!changeStyle(window, show ? WS_VISIBLE : 0, show ? 0 : WS_VISIBLE, previous)) {
        return FALSE;
    }
    bool wasVisible = (previous & WS_VISIBLE) != 0;
    if (show != wasVisible) {
        SendMessageW(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        if (show) {
            InvalidateRect(window, nullptr, TRUE);
        } else if (HWND parent = GetParent(window);
                   parent != nullptr && (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0) {
            // The parent repaints what the hidden child covered.
            InvalidateRect(parent, nullptr, TRUE);
        }
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (record == nullptr) {
        return FALSE;
    }
    for (; record != nullptr; record = record->parent) {
        if ((record->style & WS_VISIBLE) == 0) {
            return FALSE;
        }
    }
    return TRUE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    DWORD previous = 0;
    if (!changeStyle(window, enable ? 0 : WS_DISABLED, enable ? WS_DISABLED : 0, previous)) {
        return FALSE;
    }
    bool wasDisabled = (previous & WS_DISABLED) != 0;
    if (wasDisabled == (enable != FALSE)) {
        if (!enable && GetFocus() == window) {
            SetFocus(nullptr);
        }
        SendMessageW(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
        InvalidateRect(window, nullptr, TRUE);
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    return record != nullptr && (record->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
    if (!IsWindow(window)) {
        return FALSE;
    }
    return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0 ? TRUE : FALSE;
}

int GetWindowTextW(HWND window, LPWSTR text, int maxCount) {
    if (text == nullptr || maxCount <= 0) {
        return 0;
    }
    text[0] = L'\0';
    return static_cast<int>(SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                         reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthW(HWND window) {
    return static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (record == nullptr || rect == nullptr) {
        return FALSE;
    }
    RECT client = clientAreaOf(*record);
    *rect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (record == nullptr || rect == nullptr) {
        return FALSE;
    }
    // Children are placed in their parent's client area; walk up to the screen.
    RECT result = record->rect;
    for (WindowRecord *parent = record->parent; parent != nullptr; parent = parent->parent) {
        RECT client = clientAreaOf(*parent);
        OffsetRect(&result, parent->rect.left + client.left, parent->rect.top + client.top);
    }
    *rect = result;
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    {
        WindowsLock lock;
        WindowRecord *record = lookupWindow(window);
        if (record == nullptr) {
            return FALSE;
        }
        record->rect = RECT{x, y, x + width, y + height};
        record->defaultPosition = false;
        notifyChanged(record);
    }
    SendMessageW(window, WM_MOVE, 0, MAKELPARAM(x, y));
    RECT client;
    GetClientRect(window, &client);
    SendMessageW(window, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    if (repaint) {
        InvalidateRect(window, nullptr, TRUE);
        if (HWND parent = GetParent(window);
            parent != nullptr && (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0) {
            InvalidateRect(parent, nullptr, TRUE);
        }
    }
    return TRUE;
}

HWND SetFocus(HWND window) {
    if (window != nullptr && !IsWindow(window)) {
        return nullptr;
    }
    HWND previous = focusWindow.exchange(window);
    if (previous == window) {
        return previous;
    }
    if (previous != nullptr && IsWindow(previous)) {
        SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    }
    if (window != nullptr) {
        SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

HWND GetFocus() {
    HWND window = focusWindow.load();
    return IsWindow(window) ? window : nullptr;
}
