// The one process-wide record of settings, counters, buffers and handles.
#pragma once

#include <atomic>

#include "platform/win32.h"

inline constexpr int kPathCapacity = 1024;
inline constexpr size_t kAccumBufferSize = 9437184;
inline constexpr size_t kEncodedBufferSize = 1048576;
inline constexpr int kVolumeCurveSize = 65536;

// Command identifiers. The main window recognises a command only when the whole first parameter
// equals the identifier; the capture window reads the low word.
inline constexpr int CMD_REC = 40001;
inline constexpr int CMD_STOP = 40002;
inline constexpr int CMD_CLOSE_CAPTURE = 40003;
inline constexpr int CMD_CONVERT = 40004;
inline constexpr int CMD_CONVERT_DONE = 40005;
inline constexpr int CMD_LOAD = 40006;
inline constexpr int CMD_SAVE = 40007;

// The logical font of the main window: 13-pixel Mincho.
LOGFONTW makeMainFontSpec();

struct AppState {
    // Settings and counters. Fields shared between threads are single aligned 32-bit words.
    std::atomic<int> sampleRate{16000};
    std::atomic<int> channelCount{2};
    int qualityLevel = 1;
    double volumeFactor = 1.0;
    int loopRecording = 0;
    int converting = 0;
    int fileCounter = 0;
    const int listRowCount = 7;

    // Paths, zero-terminated.
    wchar_t baseFolder[kPathCapacity] = {};
    wchar_t programmeFolder[kPathCapacity] = {};

    // Buffers.
    int volumeCurve[kVolumeCurveSize] = {};
    unsigned char accumBuffer[kAccumBufferSize] = {};
    unsigned char *accumWritePos = accumBuffer;
    unsigned char encodedBuffer[kEncodedBufferSize] = {};

    // Handles.
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    HWND listWindow = nullptr;
    std::atomic<HWND> captureWindow{nullptr};
    HANDLE captureThreadHandle = nullptr;
    HANDLE conversionThreadHandle = nullptr;
    const LOGFONTW mainFontSpec;
    HFONT mainFont = nullptr;

    HWND loadButton = nullptr;
    HWND saveButton = nullptr;
    HWND recButton = nullptr;
    HWND stopButton = nullptr;
    HWND volumeScroll = nullptr;
    HWND volumeLabel = nullptr;
    HWND rate8kRadio = nullptr;
    HWND rate16kRadio = nullptr;
    HWND rate32kRadio = nullptr;
    HWND monoRadio = nullptr;
    HWND stereoRadio = nullptr;
    HWND qualityLabel = nullptr;
    HWND qualityCombo = nullptr;
    HWND loopCheck = nullptr;

    // Why the last segment file or index could not be written, for the main window to show.
    wchar_t lastWriteFailure[kPathCapacity] = {};

    AppState() : mainFontSpec(makeMainFontSpec()) {}
    AppState(const AppState &) = delete;
    AppState &operator=(const AppState &) = delete;
};

extern AppState appState;

// Invalidates the inner meter rectangle of the main window without erase; any thread may call it.
void invalidateMeter();
