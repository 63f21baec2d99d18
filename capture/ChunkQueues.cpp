#include "capture/ChunkQueues.h"

PcmQueueType PcmQueue;
DropQueueType DropQueue;

void PcmQueueType::discardAll() {
    uint32_t n = count();
    for (uint32_t i = 0; i < n; ++i) {
        PcmChunk chunk = front();
        pop();
        delete[] chunk.data;
    }
}

wchar_t *DropQueueType::take() {
    wchar_t *path = nullptr;
    LockedFifo::take(&path);
    return path;
}

void DropQueueType::discardAll() {
    uint32_t n = count();
    for (uint32_t i = 0; i < n; ++i) {
        delete[] take();
    }
}
