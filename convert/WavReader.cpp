#include "convert/WavReader.h"

#include <cstdio>
#include <cstring>

#include "app/AppState.h"
#include "capture/ChunkQueues.h"
#include "convert/ConversionThread.h"

namespace {

constexpr int kHeaderBlockSize = 1024;
constexpr int kChunkBufferSize = 8000;
constexpr int kChunksPerPaint = 100;
constexpr DWORD kPaintPauseMs = 50;

uint32_t readU32(const unsigned char *p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int readS16(const unsigned char *p) { return static_cast<short>(p[0] | (p[1] << 8)); }

// Prints the line that tells why the file is refused and closes it; the result for the caller.
int refuse(FILE *file, const char *line) {
    fputs(line, stdout);
    fflush(stdout);
    if (file != nullptr) {
        fclose(file);
    }
    return 0;
}

// Finds the chunk with the given id inside the header block, starting at the chunk header at
// offset and stepping over other chunks by their declared size. Only headers whose 8 bytes lie
// wholly in the block are examined. Returns the offset of the header, or -1.
int findChunk(const unsigned char *block, uint64_t offset, const char *id) {
    while (offset + 8 <= kHeaderBlockSize) {
        if (memcmp(block + offset, id, 4) == 0) {
            return static_cast<int>(offset);
        }
        offset += 8 + static_cast<uint64_t>(readU32(block + offset + 4));
    }
    return -1;
}

bool acceptedRate(uint32_t rate) { return rate == 8000 || rate == 16000 || rate == 32000; }

bool acceptedChannels(int channels) { return channels == 1 || channels == 2; }

// Pushes a chunk holding a copy of the bytes, and counts the sound it carries.
void pushCopy(const unsigned char *bytes, uint32_t length, int64_t bytesPerSecond) {
    auto *data = new unsigned char[length];
    if (length > 0) {
        memcpy(data, bytes, length);
    }
    PcmQueue.push(PcmChunk{static_cast<int32_t>(length), data});
    conversionProgress.soundMicroseconds += static_cast<int64_t>(length) * 1000000 / bytesPerSecond;
}

// Makes the UI thread paint, which drains the queue through the segmenter, and waits for it.
void drainQueue() {
    invalidateMeter();
    SendMessageW(appState.mainWindow, WM_PAINT, 0, 0);
}

// Drains the queue and lets the encoder catch up.
void letTheEncoderCatchUp() {
    drainQueue();
    Sleep(kPaintPauseMs);
}

} // namespace

int WavReader(LPCWSTR path) {
    FILE *file = _wfsopen(path, L"rb", _SH_DENYNO);
    if (file == nullptr) {
        return refuse(nullptr, "open error\n");
    }

    unsigned char block[kHeaderBlockSize];
    if (fread(block, 1, kHeaderBlockSize, file) < kHeaderBlockSize) {
        char line[32];
        snprintf(line, sizeof line, "File less than %d\n", kHeaderBlockSize);
        return refuse(file, line);
    }
    if (memcmp(block, "RIFF", 4) != 0) {
        return refuse(file, "bad wav format.(not found RIFF header)\n");
    }
    if (memcmp(block + 8, "WAVE", 4) != 0) {
        return refuse(file, "bad wav format.(not found WAVE header)\n");
    }

    // The fmt fields through the bits per sample (offset 23 of its header) must lie in the block.
    int fmt = findChunk(block, 12, "fmt ");
    if (fmt < 0 || fmt + 24 > kHeaderBlockSize) {
        return refuse(file, "bad wav format.(not found fmt chunk)\n");
    }
    int formatTag = readS16(block + fmt + 8);
    int channels = readS16(block + fmt + 10);
    uint32_t rate = readU32(block + fmt + 12);
    uint32_t fmtSize = readU32(block + fmt + 4);
    int bitsPerSample = readS16(block + fmt + 22);

    // Accepted values are taken at once, before the checks. Chunks of the previous file still
    // waiting were read with its values, so they are taken by the segmenter before the values
    // change.
    bool newChannels = acceptedChannels(channels) && channels != appState.channelCount;
    bool newRate = acceptedRate(rate) && static_cast<int>(rate) != appState.sampleRate;
    if (newChannels || newRate) {
        drainQueue();
    }
    if (acceptedChannels(channels)) {
        appState.channelCount = channels;
    }
    if (acceptedRate(rate)) {
        appState.sampleRate = static_cast<int>(rate);
    }
    if (formatTag != 1) {
        return refuse(file, "bad wav format.(non linear format)\n");
    }
    if (!acceptedRate(rate)) {
        return refuse(file, "bad wav rate.\n");
    }
    if (!acceptedChannels(channels)) {
        return refuse(file, "bad wav channels.\n");
    }
    // The data is read as 16-bit values; anything else would play as noise.
    if (fmtSize < 16 || bitsPerSample != 16) {
        return refuse(file, "bad wav bits.\n");
    }

    // The data chunk is looked for after the fmt chunk as its declared size says.
    int data = findChunk(block, static_cast<uint64_t>(fmt) + 8 + fmtSize, "data");
    if (data < 0) {
        return refuse(file, "bad wav format.(not found data chunk)\n");
    }
    uint32_t dataLength = readU32(block + data + 4);
    uint32_t p = static_cast<uint32_t>(data) + 8;
    uint32_t inBlock = kHeaderBlockSize - p;
    int64_t bytesPerSecond = static_cast<int64_t>(rate) * channels * 2;

    // The first chunk: what the block holds of the data, topped up from the file to 8000 bytes.
    unsigned char buffer[kChunkBufferSize];
    uint32_t first = dataLength;
    if (dataLength > inBlock) {
        uint32_t wanted = dataLength - inBlock;
        if (wanted > p + (kChunkBufferSize - kHeaderBlockSize)) {
            wanted = p + (kChunkBufferSize - kHeaderBlockSize);
        }
        memcpy(buffer, block + p, inBlock);
        first = inBlock + static_cast<uint32_t>(fread(buffer + inBlock, 1, wanted, file));
    } else {
        memcpy(buffer, block + p, dataLength);
    }
    pushCopy(buffer, first, bytesPerSecond);
    uint32_t consumed = first;

    for (int i = 0;; ++i) {
        if (i % kChunksPerPaint == 0) {
            letTheEncoderCatchUp();
        }
        uint32_t wanted = dataLength - consumed;
        if (wanted > kChunkBufferSize) {
            wanted = kChunkBufferSize;
        }
        uint32_t got = static_cast<uint32_t>(fread(buffer, 1, wanted, file));
        if (got == 0) {
            break;
        }
        pushCopy(buffer, got, bytesPerSecond);
        consumed += got;
        if (got < kChunkBufferSize) {
            break;
        }
    }

    fclose(file);
    return 1;
}
