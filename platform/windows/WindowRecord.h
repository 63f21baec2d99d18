// Internal to the layer: the record behind every window handle, and the registry of windows.
#pragma once

#include <string>
#include <vector>

#include "platform/messages.h"

namespace platform {

struct WindowClass {
    std::wstring name; // compared case-insensitively
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

struct WindowRecord {
    WindowClass cls;
    WNDPROC proc = nullptr;
    DWORD threadId = 0;             // the thread that created the window and owns its messages
    WindowRecord *parent = nullptr; // parent for child windows
    HWND owner = nullptr;           // owner of a top-level or popup window
    bool messageOnly = false;       // parent HWND_MESSAGE: never reaches a screen
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect = {};               // window rectangle: in the parent's client area for children,
                                  // on the screen for top-level windows
    bool defaultPosition = false; // created with CW_USEDEFAULT: the window manager places it
    std::wstring text;
    UINT_PTR id = 0; // child identifier (the menu argument of a child)
    LONG_PTR userData = 0;
    HINSTANCE instance = nullptr;
    bool destroying = false;
    std::vector<WindowRecord *> children; // in creation (z) order

    // Update region, kept as its bounding rectangle in client coordinates.
    bool updatePending = false;
    RECT updateRect = {};
    bool updateErase = false;

    void *screen = nullptr; // the display backend's data for this window, if any
};

// Window handles are record pointers; these check liveness under the registry lock.
WindowRecord *lookupWindow(HWND window);
inline HWND toHandle(WindowRecord *record) { return reinterpret_cast<HWND>(record); }
// The thread that owns a window, or 0 (with ERROR_INVALID_WINDOW_HANDLE) when it is gone.
DWORD ownerThreadOf(HWND window);

// The registry lock guards every window record field above. Recursive.
void lockWindows();
void unlockWindows();
struct WindowsLock {
    WindowsLock() { lockWindows(); }
    ~WindowsLock() { unlockWindows(); }
    WindowsLock(const WindowsLock &) = delete;
    WindowsLock &operator=(const WindowsLock &) = delete;
};

// All live windows, in creation order (under the lock).
const std::vector<WindowRecord *> &allWindows();

// The client area of a window in its own window coordinates (see ScreenHooks::clientArea).
RECT clientAreaOf(const WindowRecord &record);

// True when the window and all its ancestors have WS_VISIBLE and it is not message-only.
bool isShownOnScreen(const WindowRecord *record);

} // namespace platform
