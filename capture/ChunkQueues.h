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

// First-in-first-out queue of chunks from the capture and conversion threads to the UI thread.
// The lock covers only the queue's own bookkeeping, never the chunk bytes.
class PcmQueueType {
public:
    PcmQueueType();
    ~PcmQueueType();
    PcmQueueType(const PcmQueueType &) = delete;
    PcmQueueType &operator=(const PcmQueueType &) = delete;

    void push(PcmChunk chunk);
    // A copy of the front chunk; the queue must not be empty.
    PcmChunk front();
    // Removes the front chunk if there is one; its bytes are not released.
    void pop();
    // A snapshot of the element count, read without the lock.
    uint32_t count() const;
    // Removes and releases every chunk counted at the start; later pushes stay queued.
    void discardAll();

private:
    std::deque<PcmChunk> queue_;
    std::atomic<uint32_t> count_{0};
    CRITICAL_SECTION lock_;
};

// First-in-first-out queue of dropped-file paths, each a new[]-allocated NUL-terminated wide
// string whose ownership passes with the pointer. The drop handler pushes on the UI thread while
// a conversion thread may be popping, so the queue has a lock of its own.
class DropQueueType {
public:
    DropQueueType();
    ~DropQueueType();
    DropQueueType(const DropQueueType &) = delete;
    DropQueueType &operator=(const DropQueueType &) = delete;

    void push(wchar_t *path);
    // The front path; the queue must not be empty.
    wchar_t *front();
    void pop();
    uint32_t count() const;
    // Removes the front path and returns it in one step, or null when the queue is empty. Used
    // where two threads may take paths at once (a running conversion and the close handling).
    wchar_t *take();
    // Removes every path counted at the start and releases it.
    void discardAll();

private:
    std::deque<wchar_t *> queue_;
    std::atomic<uint32_t> count_{0};
    CRITICAL_SECTION lock_;
};

extern PcmQueueType PcmQueue;
extern DropQueueType DropQueue;
