#include "convert/ConversionThread.h"

#include "app/AppState.h"
#include "capture/ChunkQueues.h"
#include "convert/WavReader.h"

ConversionProgress conversionProgress;

unsigned __stdcall ConversionThread(void *) {
    uint32_t n = DropQueue.count();
    conversionProgress.filesInBatch = static_cast<int>(n);
    conversionProgress.filesStarted = 0;
    conversionProgress.filesRead = 0;
    conversionProgress.soundMicroseconds = 0;

    // The count is taken once; each path is taken in one step, since the close handling may
    // empty the queue from the UI thread at the same time.
    for (uint32_t i = 0; i < n; ++i) {
        wchar_t *path = DropQueue.take();
        if (path == nullptr) {
            continue;
        }
        ++conversionProgress.filesStarted;
        if (WavReader(path)) {
            ++conversionProgress.filesRead;
        }
        delete[] path;
    }

    PostMessageW(appState.mainWindow, WM_COMMAND, CMD_CONVERT_DONE, 0);
    return 0;
}
