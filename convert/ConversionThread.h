// The thread that converts one batch of dropped WAV files into PcmQueue.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/win32.h"

// The conversion thread: converts the paths counted in DropQueue at its start, one after the
// other into one continuous programme, then posts CMD_CONVERT_DONE to the main window.
unsigned __stdcall ConversionThread(void *);

// What the conversion thread has done so far in its batch, for progress reports. Reset by the
// thread when it starts.
struct ConversionProgress {
    std::atomic<int> filesInBatch{0};
    std::atomic<int> filesStarted{0};
    std::atomic<int> filesRead{0};
    // Sound pushed onto PcmQueue, in microseconds.
    std::atomic<int64_t> soundMicroseconds{0};
};

extern ConversionProgress conversionProgress;
