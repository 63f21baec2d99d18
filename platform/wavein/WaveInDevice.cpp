#include "platform/wavein/WaveInDevice.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// Sound kept while no buffer is queued: ten seconds of the device's format. Past that the newest
// sound is dropped until a buffer is queued again, so the buffers carry the oldest ten seconds
// followed directly by what was recorded after the gap.
constexpr size_t kKeptSeconds = 10;

} // namespace

WaveInDevice::WaveInDevice(HWAVEIN handle, HWND window, const WAVEFORMATEX &format)
    : handle_(handle), window_(window), format_(format),
      kept_(static_cast<size_t>(format.nAvgBytesPerSec) * kKeptSeconds) {}

DWORD WaveInDevice::usableLength(const WAVEHDR *header) const {
    return header->dwBufferLength - header->dwBufferLength % format_.nBlockAlign;
}

void WaveInDevice::deliver(const unsigned char *bytes, size_t length) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!started_ || lost_) {
        return;
    }
    while (length > 0 && !queue_.empty()) {
        size_t taken = fillFront(bytes, length);
        bytes += taken;
        length -= taken;
    }
    if (length > 0) {
        keep(bytes, length);
    }
}

size_t WaveInDevice::fillFront(const unsigned char *bytes, size_t length) {
    WAVEHDR *header = queue_.front();
    size_t room = usableLength(header) - header->dwBytesRecorded;
    size_t taken = std::min(room, length);
    std::memcpy(header->lpData + header->dwBytesRecorded, bytes, taken);
    header->dwBytesRecorded += static_cast<DWORD>(taken);
    if (header->dwBytesRecorded == usableLength(header)) {
        returnFront();
    }
    return taken;
}

void WaveInDevice::returnFront() {
    WAVEHDR *header = queue_.front();
    queue_.pop_front();
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    if (window_ != nullptr) {
        PostMessageW(window_, MM_WIM_DATA, reinterpret_cast<WPARAM>(handle_),
                     reinterpret_cast<LPARAM>(header));
    }
}

void WaveInDevice::keep(const unsigned char *bytes, size_t length) {
    size_t capacity = kept_.size();
    size_t taken = std::min(length, capacity - keptSize_);
    size_t tail = (keptHead_ + keptSize_) % capacity;
    size_t first = std::min(taken, capacity - tail);
    std::memcpy(kept_.data() + tail, bytes, first);
    std::memcpy(kept_.data(), bytes + first, taken - first);
    keptSize_ += taken;
}

void WaveInDevice::drainKept() {
    size_t capacity = kept_.size();
    while (keptSize_ > 0 && !queue_.empty()) {
        // The kept bytes up to the end of the ring are contiguous.
        size_t run = std::min(keptSize_, capacity - keptHead_);
        size_t taken = fillFront(kept_.data() + keptHead_, run);
        keptHead_ = (keptHead_ + taken) % capacity;
        keptSize_ -= taken;
    }
    if (keptSize_ == 0) {
        keptHead_ = 0;
    }
}

MMRESULT WaveInDevice::prepare(WAVEHDR *header) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (header->dwFlags & WHDR_INQUEUE) {
        return WAVERR_STILLPLAYING;
    }
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveInDevice::unprepare(WAVEHDR *header) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (header->dwFlags & WHDR_INQUEUE) {
        return WAVERR_STILLPLAYING;
    }
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveInDevice::add(WAVEHDR *header) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (lost_) {
        return MMSYSERR_NODRIVER;
    }
    if (!(header->dwFlags & WHDR_PREPARED)) {
        return WAVERR_UNPREPARED;
    }
    if (header->dwFlags & WHDR_INQUEUE) {
        return WAVERR_STILLPLAYING;
    }
    if (header->lpData == nullptr || usableLength(header) == 0) {
        return MMSYSERR_INVALPARAM;
    }
    header->dwBytesRecorded = 0;
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    queue_.push_back(header);
    drainKept();
    return MMSYSERR_NOERROR;
}

MMRESULT WaveInDevice::start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (lost_) {
        return MMSYSERR_NODRIVER;
    }
    started_ = true;
    return MMSYSERR_NOERROR;
}

void WaveInDevice::reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    started_ = false;
    keptHead_ = 0;
    keptSize_ = 0;
    while (!queue_.empty()) {
        returnFront();
    }
}

void WaveInDevice::markLost() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (lost_) {
        return;
    }
    lost_ = true;
    started_ = false;
    keptHead_ = 0;
    keptSize_ = 0;
    while (!queue_.empty()) {
        returnFront();
    }
}

bool WaveInDevice::hasQueuedBuffers() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !queue_.empty();
}

WaveInDevice::Snapshot WaveInDevice::snapshot() {
    std::lock_guard<std::mutex> lock(mutex_);
    Snapshot snap = {};
    snap.started = started_;
    snap.lost = lost_;
    snap.queuedBuffers = queue_.size();
    snap.frontBytesRecorded = queue_.empty() ? 0 : queue_.front()->dwBytesRecorded;
    snap.keptBytes = keptSize_;
    snap.keptCapacity = kept_.size();
    return snap;
}

} // namespace platform
