// Internal to the window core: the message queue record of one thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/windows/ThreadQueue.h"

namespace platform {

struct ThreadQueue;

// A message sent from one thread to a window of another. The sender waits until done is set.
struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    bool done = false; // guarded by the sender's queue mutex
    std::shared_ptr<ThreadQueue> sender;
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    TIMERPROC proc = nullptr;
    uint64_t due = 0; // GetTickCount-style milliseconds
};

struct ThreadQueue {
    DWORD threadId = 0;
    std::mutex mutex;
    std::condition_variable wakeup;
    uint64_t generation = 0; // bumped on every change that may end a wait
    bool alive = true;

    std::deque<SentMessage *> sent;
    std::deque<MSG> posted;
    std::deque<MSG> input;
    bool quitPosted = false;
    int quitCode = 0;
    std::vector<Timer> timers;
    ThreadPump pump;

    // Wakes the thread: call with mutex held after changing the queue.
    void notifyLocked();
};

// The calling thread's queue, created on first use.
std::shared_ptr<ThreadQueue> currentQueue();
// The queue of a thread, or null when that thread has none (or has ended).
std::shared_ptr<ThreadQueue> queueOf(DWORD threadId);

uint64_t nowMs();

// Timer support for GetMessageW: a due timer's message (rescheduling it when remove is true), and
// the milliseconds until the next timer is due (-1 when there is none). Queue mutex held.
bool takeDueTimer(ThreadQueue &queue, HWND filter, MSG &msg, bool remove);
int msUntilNextTimer(const ThreadQueue &queue);
void removeTimersOf(HWND window);

// A WM_PAINT for the first window of the thread with a pending update region, if any.
bool findPaintMessage(DWORD threadId, HWND filter, MSG &msg);

// Called when a thread ends: completes messages still waiting to be sent to it and forgets its
// windows.
void forgetThreadWindows(DWORD threadId);

} // namespace platform
