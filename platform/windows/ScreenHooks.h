// Internal to the layer: how the window core tells a display backend about windows. Every hook is
// optional; without a backend windows live only as records and messages.
#pragma once

#include "platform/windows/WindowRecord.h"

namespace platform {

struct ScreenHooks {
    // After the record exists and before WM_CREATE; a top-level window shown on the screen gets
    // its backend data here or on its first show.
    void (*windowCreated)(WindowRecord &record) = nullptr;
    // After WM_DESTROY and WM_NCDESTROY, before the record is freed.
    void (*windowDestroyed)(WindowRecord &record) = nullptr;
    // After style (visible, enabled), text or rectangle changed.
    void (*windowChanged)(WindowRecord &record) = nullptr;
    // The client area of a window in its own window coordinates (left and top are the widths of
    // the frame and caption), from its window rectangle and styles. Null: the client area is the
    // whole window.
    void (*clientArea)(const WindowRecord &record, RECT &client) = nullptr;
};

// Set once by the backend at start-up, before windows are created.
extern ScreenHooks screenHooks;

} // namespace platform
