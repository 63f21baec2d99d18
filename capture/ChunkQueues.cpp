#include "capture/ChunkQueues.h"

PcmQueueType PcmQueue;
DropQueueType DropQueue;

PcmQueueType::PcmQueueType() { InitializeCriticalSection(&lock_); }

PcmQueueType::~PcmQueueType() { DeleteCriticalSection(&lock_); }

void PcmQueueType::push(PcmChunk chunk) {
    EnterCriticalSection(&lock_);
    queue_.push_back(chunk);
    count_.store(static_cast<uint32_t>(queue_.size()));
    LeaveCriticalSection(&lock_);
}

PcmChunk PcmQueueType::front() {
    EnterCriticalSection(&lock_);
    PcmChunk chunk = queue_.front();
    LeaveCriticalSection(&lock_);
    return chunk;
}

void PcmQueueType::pop() {
    EnterCriticalSection(&lock_);
    if (!queue_.empty()) {
        queue_.pop_front();
        count_.store(static_cast<uint32_t>(queue_.size()));
    }
    LeaveCriticalSection(&lock_);
}

uint32_t PcmQueueType::count() const { return count_.load(); }

void PcmQueueType::discardAll() {
    uint32_t n = count();
    for (uint32_t i = 0; i < n; ++i) {
        PcmChunk chunk = front();
        pop();
        delete[] chunk.data;
    }
}

DropQueueType::DropQueueType() { InitializeCriticalSection(&lock_); }

DropQueueType::~DropQueueType() { DeleteCriticalSection(&lock_); }

void DropQueueType::push(wchar_t *path) {
    EnterCriticalSection(&lock_);
    queue_.push_back(path);
    count_.store(static_cast<uint32_t>(queue_.size()));
    LeaveCriticalSection(&lock_);
}

wchar_t *DropQueueType::front() {
    EnterCriticalSection(&lock_);
    wchar_t *path = queue_.front();
    LeaveCriticalSection(&lock_);
    return path;
}

void DropQueueType::pop() {
    EnterCriticalSection(&lock_);
    if (!queue_.empty()) {
        queue_.pop_front();
        count_.store(static_cast<uint32_t>(queue_.size()));
    }
    LeaveCriticalSection(&lock_);
}

uint32_t DropQueueType::count() const { return count_.load(); }

wchar_t *DropQueueType::take() {
    wchar_t *path = nullptr;
    EnterCriticalSection(&lock_);
    if (!queue_.empty()) {
        path = queue_.front();
        queue_.pop_front();
        count_.store(static_cast<uint32_t>(queue_.size()));
    }
    LeaveCriticalSection(&lock_);
    return path;
}

void DropQueueType::discardAll() {
    uint32_t n = count();
    for (uint32_t i = 0; i < n; ++i) {
        delete[] take();
    }
}
