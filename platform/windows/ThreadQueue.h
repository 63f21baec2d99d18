// Internal to the layer: the message queue of one thread, and the hooks through which a display
// backend feeds input and waits for events on the thread that owns the screen.
#pragma once

#include <functional>

#include "platform/messages.h"

namespace platform {

// Appends an input message (mouse, key, character, drop) to the queue of the thread that owns
// msg.hwnd. Input is returned by GetMessageW after sent and posted messages, before WM_PAINT and
// WM_TIMER. Callable from any thread.
bool postInputMessage(const MSG &msg);

// A display backend installs these for the thread that owns the screen. waitForEvents is called
// (without any lock held) instead of a plain sleep when the thread's queue has nothing to return;
// it must return within timeoutMs (or at once when wake is called from another thread), having
// turned whatever arrived into input messages. wake may be called from any thread.
struct ThreadPump {
    std::function<void(int timeoutMs)> waitForEvents;
    std::function<void()> wake;
};
void setThreadPump(DWORD threadId, ThreadPump pump);
void clearThreadPump(DWORD threadId);

// Wakes the owner thread of a window (after its update region changed, for example).
void wakeThread(DWORD threadId);

} // namespace platform
