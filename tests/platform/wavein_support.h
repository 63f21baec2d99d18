// Shared by the wave-input and capture tests: a generated sound file that SDL's disk audio driver
// reads as the input device, and message pumping on the test thread.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace testing_support {

// The byte at a given offset of the generated sound: every four bytes hold their own index as a
// little-endian 32-bit number, so any stretch of it tells where it came from.
unsigned char soundByte(size_t offset);

// True when bytes equal the generated sound from offset on.
bool matchesSound(const std::vector<unsigned char> &bytes, size_t offset);

// Where bytes lie in the generated sound, or kNotInSound when they are not a stretch of it.
inline constexpr size_t kNotInSound = static_cast<size_t>(-1);
size_t locateInSound(const std::vector<unsigned char> &bytes);

// Selects SDL's disk audio driver reading a generated file of the given size, delivering one
// device period every delayMs milliseconds. Restores the environment when destroyed.
class DiskSoundInput {
public:
    explicit DiskSoundInput(size_t bytes, int delayMs);
    ~DiskSoundInput();
    DiskSoundInput(const DiskSoundInput &) = delete;
    DiskSoundInput &operator=(const DiskSoundInput &) = delete;

    const std::string &path() const { return path_; }
    void setDelay(int delayMs);

private:
    std::string path_;
    std::string savedDriver_;
    bool hadDriver_ = false;
};

// Creates a hidden window on the calling thread whose procedure records the wave-input
// notifications and WM_CAPTURE_LOST it receives (in receivedMessages) and passes everything to
// DefWindowProcW.
HWND createTestWindow();
// What the test windows have received, in order; used on the test thread only.
std::vector<MSG> &receivedMessages();

// Dispatches everything queued for the calling thread; window is a test window of that thread.
void pumpMessages(HWND window);

// Pumps the calling thread's messages until done() is true or timeoutMs has passed.
bool pumpUntil(HWND window, const std::function<bool()> &done, DWORD timeoutMs = 10000);

// Waits (without pumping) until done() is true or timeoutMs has passed.
bool waitUntil(const std::function<bool()> &done, DWORD timeoutMs = 10000);

// Takes every chunk now on PcmQueue, appending its bytes to out and its length to lengths.
void takePcmQueue(std::vector<unsigned char> &out, std::vector<int> &lengths);

} // namespace testing_support
