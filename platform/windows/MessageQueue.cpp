// Per-thread message queues: posting, sending across threads, and the message loop calls.
#include <chrono>
#include <map>

#include "platform/kernel.h"
#include "platform/windows/ThreadQueueInternal.h"
#include "platform/windows/WindowRecord.h"

namespace platform {
namespace {

std::mutex &queuesMutex() {
    static std::mutex *mutex = new std::mutex;
    return *mutex;
}

std::map<DWORD, std::shared_ptr<ThreadQueue>> &queues() {
    static auto *map = new std::map<DWORD, std::shared_ptr<ThreadQueue>>;
    return *map;
}

thread_local int sendDepth = 0;

// Completes a sent message and wakes its sender.
void completeSent(SentMessage *sent, LRESULT result) {
    std::shared_ptr<ThreadQueue> sender = sent->sender;
    std::lock_guard<std::mutex> lock(sender->mutex);
    sent->result = result;
    sent->done = true;
    sender->notifyLocked();
}

// Ends the queue of a thread when the thread ends.
struct QueueOwner {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueOwner() {
        if (!queue) {
            return;
        }
        std::deque<SentMessage *> pending;
        {
            std::lock_guard<std::mutex> lock(queue->mutex);
            queue->alive = false;
            pending.swap(queue->sent);
            queue->timers.clear();
        }
        for (SentMessage *sent : pending) {
            completeSent(sent, 0);
        }
        forgetThreadWindows(queue->threadId);
        std::lock_guard<std::mutex> lock(queuesMutex());
        queues().erase(queue->threadId);
    }
};
thread_local QueueOwner queueOwner;

LRESULT callWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = nullptr;
    {
        WindowsLock lock;
        WindowRecord *record = lookupWindow(hwnd);
        if (record == nullptr) {
            return 0;
        }
        proc = record->proc;
    }
    return proc != nullptr ? proc(hwnd, message, wParam, lParam) : 0;
}

// Handles one message sent to this thread from another, if one waits. Returns true if it did.
bool handleOneSent(ThreadQueue &queue) {
    SentMessage *sent = nullptr;
    {
        std::lock_guard<std::mutex> lock(queue.mutex);
        if (queue.sent.empty()) {
            return false;
        }
        sent = queue.sent.front();
        queue.sent.pop_front();
    }
    ++sendDepth;
    LRESULT result = callWindow(sent->hwnd, sent->message, sent->wParam, sent->lParam);
    --sendDepth;
    completeSent(sent, result);
    return true;
}

bool matches(const MSG &msg, HWND filter, UINT filterMin, UINT filterMax) {
    if (filter != nullptr && msg.hwnd != filter) {
        return false;
    }
    if (filterMin == 0 && filterMax == 0) {
        return true;
    }
    return msg.message >= filterMin && msg.message <= filterMax;
}

bool takeFrom(std::deque<MSG> &from, HWND filter, UINT filterMin, UINT filterMax, MSG &out,
              bool remove) {
    for (auto it = from.begin(); it != from.end(); ++it) {
        if (matches(*it, filter, filterMin, filterMax)) {
            out = *it;
            if (remove) {
                from.erase(it);
            }
            return true;
        }
    }
    return false;
}

bool inRange(UINT message, UINT filterMin, UINT filterMax) {
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

// One pass over the queue in priority order. Returns true with msg filled when a message is ready.
bool nextMessage(ThreadQueue &queue, HWND filter, UINT filterMin, UINT filterMax, bool remove,
                 MSG &msg, uint64_t &generation, int &timeoutMs) {
    {
        // Read before anything is looked at, so that a change made meanwhile ends the wait.
        std::lock_guard<std::mutex> lock(queue.mutex);
        generation = queue.generation;
    }
    while (handleOneSent(queue)) {
    }
    {
        std::lock_guard<std::mutex> lock(queue.mutex);
        if (takeFrom(queue.posted, filter, filterMin, filterMax, msg, remove)) {
            return true;
        }
        if (queue.quitPosted) {
            msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, 0, {0, 0}};
            msg.time = static_cast<DWORD>(nowMs());
            if (remove) {
                queue.quitPosted = false;
            }
            return true;
        }
        if (takeFrom(queue.input, filter, filterMin, filterMax, msg, remove)) {
            return true;
        }
    }
    if (inRange(WM_PAINT, filterMin, filterMax) && findPaintMessage(queue.threadId, filter, msg)) {
        return true;
    }
    std::lock_guard<std::mutex> lock(queue.mutex);
    if (inRange(WM_TIMER, filterMin, filterMax) && takeDueTimer(queue, filter, msg, remove)) {
        return true;
    }
    timeoutMs = msUntilNextTimer(queue);
    return false;
}

void waitForChange(ThreadQueue &queue, uint64_t generation, int timeoutMs) {
    if (queue.pump.waitForEvents) {
        {
            std::lock_guard<std::mutex> lock(queue.mutex);
            if (queue.generation != generation) {
                return;
            }
        }
        queue.pump.waitForEvents(timeoutMs < 0 ? 100 : std::min(timeoutMs, 100));
        return;
    }
    std::unique_lock<std::mutex> lock(queue.mutex);
    auto changed = [&] { return queue.generation != generation; };
    if (timeoutMs < 0) {
        queue.wakeup.wait(lock, changed);
    } else {
        queue.wakeup.wait_for(lock, std::chrono::milliseconds(timeoutMs), changed);
    }
}

} // namespace

void ThreadQueue::notifyLocked() {
    ++generation;
    wakeup.notify_all();
    if (pump.wake) {
        pump.wake();
    }
}

uint64_t nowMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::shared_ptr<ThreadQueue> currentQueue() {
    if (!queueOwner.queue) {
        auto queue = std::make_shared<ThreadQueue>();
        queue->threadId = GetCurrentThreadId();
        std::lock_guard<std::mutex> lock(queuesMutex());
        queues()[queue->threadId] = queue;
        queueOwner.queue = queue;
    }
    return queueOwner.queue;
}

std::shared_ptr<ThreadQueue> queueOf(DWORD threadId) {
    std::lock_guard<std::mutex> lock(queuesMutex());
    auto it = queues().find(threadId);
    return it == queues().end() ? nullptr : it->second;
}

bool postInputMessage(const MSG &msg) {
    DWORD threadId = ownerThreadOf(msg.hwnd);
    if (threadId == 0) {
        return false;
    }
    std::shared_ptr<ThreadQueue> queue = queueOf(threadId);
    if (!queue) {
        return false;
    }
    std::lock_guard<std::mutex> lock(queue->mutex);
    queue->input.push_back(msg);
    queue->notifyLocked();
    return true;
}

void setThreadPump(DWORD threadId, ThreadPump pump) {
    std::shared_ptr<ThreadQueue> queue =
        threadId == GetCurrentThreadId() ? currentQueue() : queueOf(threadId);
    if (queue) {
        std::lock_guard<std::mutex> lock(queue->mutex);
        queue->pump = std::move(pump);
    }
}

void clearThreadPump(DWORD threadId) { setThreadPump(threadId, ThreadPump{}); }

void wakeThread(DWORD threadId) {
    if (std::shared_ptr<ThreadQueue> queue = queueOf(threadId)) {
        std::lock_guard<std::mutex> lock(queue->mutex);
        queue->notifyLocked();
    }
}

} // namespace platform

using namespace platform;

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> queue =
        threadId == GetCurrentThreadId() ? currentQueue() : queueOf(threadId);
    if (!queue) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(queue->mutex);
    if (!queue->alive) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    queue->posted.push_back(MSG{nullptr, message, wParam, lParam, static_cast<DWORD>(nowMs()), {}});
    queue->notifyLocked();
    return TRUE;
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == nullptr) {
        return PostThreadMessageW(GetCurrentThreadId(), message, wParam, lParam);
    }
    DWORD threadId = ownerThreadOf(window);
    if (threadId == 0) {
        return FALSE;
    }
    std::shared_ptr<ThreadQueue> queue = queueOf(threadId);
    if (!queue) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(queue->mutex);
    queue->posted.push_back(MSG{window, message, wParam, lParam, static_cast<DWORD>(nowMs()), {}});
    queue->notifyLocked();
    return TRUE;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD threadId = ownerThreadOf(window);
    if (threadId == 0) {
        return 0;
    }
    if (threadId == GetCurrentThreadId()) {
        return callWindow(window, message, wParam, lParam);
    }
    std::shared_ptr<ThreadQueue> target = queueOf(threadId);
    if (!target) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    std::shared_ptr<ThreadQueue> self = currentQueue();
    SentMessage sent;
    sent.hwnd = window;
    sent.message = message;
    sent.wParam = wParam;
    sent.lParam = lParam;
    sent.sender = self;
    {
        std::lock_guard<std::mutex> lock(target->mutex);
        if (!target->alive) {
            return 0;
        }
        target->sent.push_back(&sent);
        target->notifyLocked();
    }
    // Wait for the reply, handling what other threads send to this one meanwhile.
    for (;;) {
        uint64_t generation = 0;
        {
            std::lock_guard<std::mutex> lock(self->mutex);
            if (sent.done) {
                return sent.result;
            }
            generation = self->generation;
        }
        if (handleOneSent(*self)) {
            continue;
        }
        std::unique_lock<std::mutex> lock(self->mutex);
        self->wakeup.wait(lock, [&] { return sent.done || self->generation != generation; });
    }
}

BOOL InSendMessage() { return sendDepth > 0; }

BOOL GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    std::shared_ptr<ThreadQueue> queue = currentQueue();
    for (;;) {
        uint64_t generation = 0;
        int timeoutMs = -1;
        if (nextMessage(*queue, window, filterMin, filterMax, true, *msg, generation, timeoutMs)) {
            return msg->message == WM_QUIT ? FALSE : TRUE;
        }
        waitForChange(*queue, generation, timeoutMs);
    }
}

BOOL PeekMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
    std::shared_ptr<ThreadQueue> queue = currentQueue();
    uint64_t generation = 0;
    int timeoutMs = -1;
    bool remove = (removeMessage & PM_REMOVE) != 0;
    if (nextMessage(*queue, window, filterMin, filterMax, remove, *msg, generation, timeoutMs)) {
        return TRUE;
    }
    // Give a display backend the chance to turn waiting events into input without blocking.
    if (queue->pump.waitForEvents) {
        queue->pump.waitForEvents(0);
        if (nextMessage(*queue, window, filterMin, filterMax, remove, *msg, generation,
                        timeoutMs)) {
            return TRUE;
        }
    }
    return FALSE;
}

BOOL TranslateMessage(const MSG *) { return FALSE; }

LRESULT DispatchMessageW(const MSG *msg) {
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, static_cast<DWORD>(nowMs()));
        return 0;
    }
    if (msg->hwnd == nullptr) {
        return 0;
    }
    return callWindow(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode) {
    std::shared_ptr<ThreadQueue> queue = currentQueue();
    std::lock_guard<std::mutex> lock(queue->mutex);
    queue->quitPosted = true;
    queue->quitCode = exitCode;
    queue->notifyLocked();
}

LRESULT CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc != nullptr ? proc(window, message, wParam, lParam) : 0;
}
