// Window timers: WM_TIMER is generated for a due timer when the queue has nothing else.
#include <algorithm>
#include <atomic>

#include "platform/kernel.h"
#include "platform/windows/ThreadQueueInternal.h"
#include "platform/windows/WindowRecord.h"

namespace platform {

bool takeDueTimer(ThreadQueue &queue, HWND filter, MSG &msg, bool remove) {
    uint64_t now = nowMs();
    for (Timer &timer : queue.timers) {
        if (timer.due > now || (filter != nullptr && timer.hwnd != filter)) {
            continue;
        }
        msg = MSG{timer.hwnd,
                  WM_TIMER,
                  timer.id,
                  reinterpret_cast<LPARAM>(timer.proc),
                  static_cast<DWORD>(now),
                  {0, 0}};
        if (remove) {
            timer.due = now + timer.elapse;
        }
        return true;
    }
    return false;
}

int msUntilNextTimer(const ThreadQueue &queue) {
    if (queue.timers.empty()) {
        return -1;
    }
    uint64_t now = nowMs();
    uint64_t next = UINT64_MAX;
    for (const Timer &timer : queue.timers) {
        next = std::min(next, timer.due);
    }
    return next <= now ? 0 : static_cast<int>(std::min<uint64_t>(next - now, 1u << 30));
}

void removeTimersOf(HWND window) {
    if (std::shared_ptr<ThreadQueue> queue = queueOf(ownerThreadOf(window))) {
        std::lock_guard<std::mutex> lock(queue->mutex);
        std::erase_if(queue->timers, [&](const Timer &t) { return t.hwnd == window; });
    }
}

} // namespace platform

using namespace platform;

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC timerFunc) {
    std::shared_ptr<ThreadQueue> queue;
    if (window == nullptr) {
        queue = currentQueue();
    } else {
        DWORD threadId = ownerThreadOf(window);
        if (threadId == 0) {
            return 0;
        }
        if (threadId != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return 0;
        }
        queue = currentQueue();
    }
    elapse = std::max<UINT>(elapse, 10);
    std::lock_guard<std::mutex> lock(queue->mutex);
    if (window == nullptr) {
        // Thread timers get an identifier of their own.
        static std::atomic<UINT_PTR> nextId{0x7000};
        id = ++nextId;
    }
    for (Timer &timer : queue->timers) {
        if (timer.hwnd == window && timer.id == id) {
            timer.elapse = elapse;
            timer.proc = timerFunc;
            timer.due = nowMs() + elapse;
            queue->notifyLocked();
            return window == nullptr ? id : 1;
        }
    }
    queue->timers.push_back(Timer{window, id, elapse, timerFunc, nowMs() + elapse});
    queue->notifyLocked();
    return window == nullptr ? id : 1;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    std::shared_ptr<ThreadQueue> queue = currentQueue();
    std::lock_guard<std::mutex> lock(queue->mutex);
    auto before = queue->timers.size();
    std::erase_if(queue->timers, [&](const Timer &t) { return t.hwnd == window && t.id == id; });
    return queue->timers.size() != before ? TRUE : FALSE;
}
