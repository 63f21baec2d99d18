#include "tests/platform/wavein_support.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "capture/ChunkQueues.h"
#include "capture/CaptureThread.h"

namespace testing_support {

unsigned char soundByte(size_t offset) {
    auto index = static_cast<uint32_t>(offset / 4);
    return static_cast<unsigned char>(index >> (8 * (offset % 4)));
}

bool matchesSound(const std::vector<unsigned char> &bytes, size_t offset) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != soundByte(offset + i)) {
            return false;
        }
    }
    return true;
}

size_t locateInSound(const std::vector<unsigned char> &bytes) {
    if (bytes.size() < 8) {
        return kNotInSound;
    }
    // Try the four positions a group boundary can have in the first bytes.
    for (size_t phase = 0; phase < 4; ++phase) {
        size_t index = 0;
        for (size_t i = 0; i < 4; ++i) {
            index |= static_cast<size_t>(bytes[phase + i]) << (8 * i);
        }
        if (index * 4 < phase) {
            continue;
        }
        size_t offset = index * 4 - phase;
        if (matchesSound(bytes, offset)) {
            return offset;
        }
    }
    return kNotInSound;
}

DiskSoundInput::DiskSoundInput(size_t bytes, int delayMs) {
    char name[] = "/tmp/tindle-sound-XXXXXX";
    int fd = mkstemp(name);
    path_ = name;
    std::vector<unsigned char> data(bytes);
    for (size_t i = 0; i < bytes; ++i) {
        data[i] = soundByte(i);
    }
    size_t written = 0;
    while (fd >= 0 && written < bytes) {
        ssize_t n = write(fd, data.data() + written, bytes - written);
        if (n <= 0) {
            break;
        }
        written += static_cast<size_t>(n);
    }
    if (fd >= 0) {
        close(fd);
    }
    const char *driver = std::getenv("SDL_AUDIODRIVER");
    hadDriver_ = driver != nullptr;
    if (hadDriver_) {
        savedDriver_ = driver;
    }
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILEIN", path_.c_str(), 1);
    setDelay(delayMs);
}

DiskSoundInput::~DiskSoundInput() {
    unlink(path_.c_str());
    unsetenv("SDL_DISKAUDIOFILEIN");
    unsetenv("SDL_DISKAUDIODELAY");
    if (hadDriver_) {
        setenv("SDL_AUDIODRIVER", savedDriver_.c_str(), 1);
    } else {
        unsetenv("SDL_AUDIODRIVER");
    }
}

void DiskSoundInput::setDelay(int delayMs) {
    setenv("SDL_DISKAUDIODELAY", std::to_string(delayMs).c_str(), 1);
}

namespace {

const wchar_t *const kTestWindowClass = L"WaveInTestWindow";
// Posted to the test window to mark the end of what was queued before it.
const UINT kPumpMarker = WM_APP + 0x3F0;
bool markerSeen = false;

LRESULT CALLBACK testWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case MM_WIM_OPEN:
    case MM_WIM_DATA:
    case MM_WIM_CLOSE:
    case WM_CAPTURE_LOST: {
        MSG msg = {};
        msg.hwnd = window;
        msg.message = message;
        msg.wParam = wParam;
        msg.lParam = lParam;
        receivedMessages().push_back(msg);
        return 0;
    }
    case kPumpMarker:
        markerSeen = true;
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

std::vector<MSG> &receivedMessages() {
    static std::vector<MSG> messages;
    return messages;
}

HWND createTestWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = testWindowProc;
        windowClass.lpszClassName = kTestWindowClass;
        registered = RegisterClassW(&windowClass) != 0;
    }
    return CreateWindowExW(0, kTestWindowClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           nullptr, nullptr);
}

void pumpMessages(HWND window) {
    markerSeen = false;
    PostMessageW(window, kPumpMarker, 0, 0);
    MSG msg;
    while (!markerSeen && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool pumpUntil(HWND window, const std::function<bool()> &done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        pumpMessages(window);
        if (done()) {
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(1);
    }
}

bool waitUntil(const std::function<bool()> &done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

void takePcmQueue(std::vector<unsigned char> &out, std::vector<int> &lengths) {
    uint32_t n = PcmQueue.count();
    for (uint32_t i = 0; i < n; ++i) {
        PcmChunk chunk = PcmQueue.front();
        PcmQueue.pop();
        lengths.push_back(chunk.length);
        if (chunk.data != nullptr) {
            out.insert(out.end(), chunk.data, chunk.data + chunk.length);
        }
        delete[] chunk.data;
    }
}

} // namespace testing_support
