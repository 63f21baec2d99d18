#include "convert/HeadlessConverter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/AppState.h"
#include "capture/ChunkQueues.h"
#include "convert/ConversionThread.h"
#include "encode/OutputFile.h"
#include "encode/Segmenter.h"
#include "encode/VolumeCurve.h"

namespace {

const wchar_t kConverterClass[] = L"tindleConvertWClass";
constexpr UINT_PTR kDrainTimer = 1;
constexpr UINT kDrainPeriodMs = 300;
constexpr int kExitRead = 0;
constexpr int kExitNothingRead = 1;
constexpr int kExitUsage = 2;
// Files were read but a segment could not be written: the programme is incomplete, and a script
// must not take the run for a success (and, say, delete its recordings).
constexpr int kExitSegmentLost = 3;

const char kUsage[] =
    "usage: tindle-convert [--quality N] [--volume X] PROGRAMME_FOLDER FILE.wav...\n"
    "  N: Vorbis quality level from -2 to 9 (default 1)\n"
    "  X: volume from 0.01 to 2.00 in steps of 0.01 (default 1.00)\n"
    "exit status: 0 done, 1 no file read, 2 bad usage, 3 a segment could not be written\n";

struct ConverterOptions {
    int qualityLevel = 1;
    int volumePosition = 100;
    const char *folder = nullptr;
    std::vector<const char *> files;
};

bool parseQuality(const char *text, int *level) {
    char *end = nullptr;
    long value = strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < -2 || value > 9) {
        return false;
    }
    *level = static_cast<int>(value);
    return true;
}

// The volume as the position of the main window's scroll bar: hundredths from 1 to 200.
bool parseVolume(const char *text, int *position) {
    char *end = nullptr;
    double value = strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(value)) {
        return false;
    }
    double hundredths = value * 100.0;
    long rounded = std::lround(hundredths);
    if (std::fabs(hundredths - static_cast<double>(rounded)) > 1e-6 || rounded < 1 ||
        rounded > 200) {
        return false;
    }
    *position = static_cast<int>(rounded);
    return true;
}

// The value of an option given as "--name VALUE" or "--name=VALUE"; null when it is not this
// option. *i moves past a separate value; *missing is set when there is none.
const char *optionValue(const char *name, int argc, char **argv, int *i, bool *missing) {
    const char *argument = argv[*i];
    size_t length = strlen(name);
    if (strncmp(argument, name, length) != 0) {
        return nullptr;
    }
    if (argument[length] == '=') {
        return argument + length + 1;
    }
    if (argument[length] != '\0') {
        return nullptr;
    }
    if (*i + 1 >= argc) {
        *missing = true;
        return nullptr;
    }
    *i += 1;
    return argv[*i];
}

bool parseArguments(int argc, char **argv, ConverterOptions *options) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        if (!optionsEnded && argument[0] == '-' && argument[1] != '\0') {
            bool missing = false;
            if (strcmp(argument, "--") == 0) {
                optionsEnded = true;
            } else if (const char *q = optionValue("--quality", argc, argv, &i, &missing)) {
                if (!parseQuality(q, &options->qualityLevel)) {
                    fprintf(stderr, "tindle-convert: bad quality '%s'\n", q);
                    return false;
                }
            } else if (const char *v = optionValue("--volume", argc, argv, &i, &missing)) {
                if (!parseVolume(v, &options->volumePosition)) {
                    fprintf(stderr, "tindle-convert: bad volume '%s'\n", v);
                    return false;
                }
            } else {
                fprintf(stderr, "tindle-convert: %s '%s'\n",
                        missing ? "no value for" : "unknown option", argument);
                return false;
            }
        } else if (options->folder == nullptr) {
            options->folder = argument;
        } else {
            options->files.push_back(argument);
        }
    }
    return options->folder != nullptr && !options->files.empty();
}

// Makes the folder, with any missing parents, the programme folder.
bool prepareProgrammeFolder(const char *folder) {
    std::wstring path = platform::widePath(folder);
    while (path.size() > 1 && path.back() == PATH_SEPARATOR) {
        path.pop_back();
    }
    if (path.empty() || path.size() + 1 >= static_cast<size_t>(kPathCapacity)) {
        fprintf(stderr, "tindle-convert: bad programme folder '%s'\n", folder);
        return false;
    }
    std::wstring withSeparator = path + PATH_SEPARATOR;
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (createPathFolders(withSeparator.c_str())) {
        attributes = GetFileAttributesW(path.c_str());
    }
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        fprintf(stderr, "tindle-convert: cannot create the programme folder '%s'\n", folder);
        return false;
    }
    wcscpy(appState.programmeFolder, path.c_str());
    return true;
}

void printWide(FILE *stream, const wchar_t *text) {
    char bytes[4 * kPathCapacity];
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr) > 0) {
        fputs(bytes, stream);
    }
}

// The progress line on a terminal: which file of the batch, and how much sound so far.
void reportProgress(bool last) {
    if (!isatty(fileno(stderr))) {
        return;
    }
    int total = conversionProgress.filesInBatch;
    int started = conversionProgress.filesStarted;
    double seconds = static_cast<double>(conversionProgress.soundMicroseconds) / 1e6;
    fprintf(stderr, "\rfile %d of %d, %.1f s of sound converted", started, total, seconds);
    if (last) {
        fputc('\n', stderr);
    }
    fflush(stderr);
}

// One segmenter step in the numbering mode of a conversion (plain); the peaks are not shown.
void runSegmenterStep(int final) {
    int startLag = 0;
    int modulus = 0;
    currentNumberingMode(&startLag, &modulus);
    int firstPeak = 0;
    int secondPeak = 0;
    Segmenter(&firstPeak, &secondPeak, final, startLag, modulus);
}

void finishConversion(HWND window) {
    WaitForSingleObject(appState.conversionThreadHandle, INFINITE);
    CloseHandle(appState.conversionThreadHandle);
    appState.conversionThreadHandle = nullptr;
    runSegmenterStep(1);
    KillTimer(window, kDrainTimer);
    PcmQueue.discardAll();
    reportProgress(true);
    DestroyWindow(window);
}

LRESULT CALLBACK converterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        runSegmenterStep(0);
        EndPaint(window, &paint);
        reportProgress(false);
        return 0;
    }
    case WM_TIMER:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_COMMAND:
        if (wParam == static_cast<WPARAM>(CMD_CONVERT_DONE)) {
            finishConversion(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The state a dropped batch starts from: plain numbering, the chosen quality and curve, an empty
// accumulation, the paths queued.
void startBatch(const ConverterOptions &options) {
    PcmQueue.discardAll();
    appState.converting = 1;
    appState.loopRecording = 0;
    appState.qualityLevel = options.qualityLevel;
    appState.volumeFactor = options.volumePosition * 0.01;
    buildVolumeCurve(appState.volumeFactor, appState.volumeCurve);
    appState.accumWritePos = appState.accumBuffer;
    appState.fileCounter = 0;
    appState.lastWriteFailure[0] = L'\0';
    conversionProgress.filesInBatch = static_cast<int>(options.files.size());
    conversionProgress.filesStarted = 0;
    conversionProgress.filesRead = 0;
    conversionProgress.soundMicroseconds = 0;
    for (const char *file : options.files) {
        std::wstring path = platform::widePath(file);
        auto *queued = new wchar_t[path.size() + 1];
        wcscpy(queued, path.c_str());
        DropQueue.push(queued);
    }
}

HWND createConverterWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = converterWindowProc;
    windowClass.lpszClassName = kConverterClass;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, kConverterClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                           nullptr);
}

} // namespace

int runHeadlessConverter(int argc, char **argv) {
    ConverterOptions options;
    if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        fputs(kUsage, stdout);
        return kExitRead;
    }
    if (!parseArguments(argc, argv, &options)) {
        fputs(kUsage, stderr);
        return kExitUsage;
    }
    if (!prepareProgrammeFolder(options.folder)) {
        return kExitNothingRead;
    }

    HWND window = createConverterWindow();
    if (window == nullptr) {
        fprintf(stderr, "tindle-convert: cannot create the converter window\n");
        UnregisterClassW(kConverterClass, nullptr);
        return kExitNothingRead;
    }
    appState.mainWindow = window;
    startBatch(options);

    SetTimer(window, kDrainTimer, kDrainPeriodMs, nullptr);
    uintptr_t thread = _beginthreadex(nullptr, 0, ConversionThread, nullptr, 0, nullptr);
    if (thread == 0) {
        fprintf(stderr, "tindle-convert: cannot start the conversion thread\n");
        DropQueue.discardAll();
        KillTimer(window, kDrainTimer);
        DestroyWindow(window);
    } else {
        appState.conversionThreadHandle = reinterpret_cast<HANDLE>(thread);
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    appState.mainWindow = nullptr;
    UnregisterClassW(kConverterClass, nullptr);

    bool segmentLost = appState.lastWriteFailure[0] != L'\0';
    if (segmentLost) {
        fputs("tindle-convert: a segment was lost: ", stderr);
        printWide(stderr, appState.lastWriteFailure);
        fputc('\n', stderr);
    }
    if (thread == 0 || conversionProgress.filesRead == 0) {
        return kExitNothingRead;
    }
    return segmentLost ? kExitSegmentLost : kExitRead;
}
