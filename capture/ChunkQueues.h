// The two queues that hand work from one thread to another: PCM blocks to the UI thread, and
// dropped-file paths to the conversion thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>

#include "platform/win32.h"

// One block of interleaved signed 16-bit little-endian PCM. The producer allocates data as an
// array of length bytes; whoever removes the chunk from the queue releases it with delete[].
struct PcmChunk {
    int32_t length;
    unsigned char *data;
};

// A first-in-first-out queue whose own bookkeeping is guarded by one critical section. The lock
// is taken once per operation and never held across operations, so producers on other threads
// wait at most for one push, one copy of the front or one removal.
template <typename T> class LockedFifo {
public:
    LockedFifo() { InitializeCriticalSection(&lock_); }
    ~LockedFifo() { DeleteCriticalSection(&lock_); }
    LockedFifo(const LockedFifo &) = delete;
    LockedFifo &operator=(const LockedFifo &) = delete;

    void push(T item) {
        EnterCriticalSection(&lock_);
        queue_.push_back(item);
        count_.store(static_cast<uint32_t>(queue_.size()));
        LeaveCriticalSection(&lock_);
    }
    // A copy of the front element; the queue must not be empty.
    T front() {
        EnterCriticalSection(&lock_);
        T item = queue_.front();
        LeaveCriticalSection(&lock_);
        return item;
    }
    // Removes the front element if there is one; what it points to is not released.
    void pop() { take(nullptr); }
    // A snapshot of the element count, read without the lock.
    uint32_t count() const { return count_.load(); }

protected:
    // Removes the front element and copies it out in one step; false when the queue is empty.
    bool take(T *out) {
        bool taken = false;
        EnterCriticalSection(&lock_);
        if (!queue_.empty()) {
            if (out != nullptr) {
                *out = queue_.front();
            }
            queue_.pop_front();
            count_.store(static_cast<uint32_t>(queue_.size()));
            taken = true;
        }
        LeaveCriticalSection(&lock_);
        return taken;
    }

private:
    std::deque<T> queue_;
    std::atomic<uint32_t> count_{0};
    CRITICAL_SECTION lock_;
};

// Chunks from the capture and conversion threads to the UI thread, which alone removes them.
class PcmQueueType : public LockedFifo<PcmChunk> {
public:
    // Removes and releases every chunk counted at the start; later pushes stay queued.
    void discardAll();
};

// Dropped-file paths, each a new[]-allocated NUL-terminated wide string whose ownership passes
// with the pointer. The drop handler pushes on the UI thread while a conversion thread may be
// taking paths, and the close handling may empty the queue meanwhile.
class DropQueueType : public LockedFifo<wchar_t *> {
public:
    // Removes the front path and returns it in one step, or null when the queue is empty. Used
    // where two threads may take paths at once (a running conversion and the close handling).
    wchar_t *take();
    // Removes every path counted at the start and releases it.
    void discardAll();
};

extern PcmQueueType PcmQueue;
extern DropQueueType DropQueue;
