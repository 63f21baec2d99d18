#include "encode/Segmenter.h"

#include <cstring>

#include "app/AppState.h"
#include "capture/ChunkQueues.h"
#include "encode/SegmentEncoder.h"
#include "encode/SegmentFiles.h"

const int SegmentSizeTable[12][2] = {
    {600000, 1200000}, // -2
    {480000, 960000},  // -1
    {360000, 720000},  // 0
    {360000, 720000},  // 1
    {320000, 640000},  // 2
    {320000, 560000},  // 3
    {240000, 480000},  // 4
    {200000, 400000},  // 5
    {160000, 320000},  // 6
    {120000, 280000},  // 7
    {120000, 240000},  // 8
    {80000, 200000},   // 9
};

int segmentSize(int, int channelCount, int qualityLevel) {
    int row = qualityLevel + 2;
    if (row < 0) {
        row = 0;
    } else if (row > 11) {
        row = 11;
    }
    return SegmentSizeTable[row][channelCount == 1 ? 0 : 1];
}

namespace {

// Loop numbering is only for recordings with loop recording; conversions always number plainly.
bool loopNumbering() { return appState.converting == 0 && appState.loopRecording == 1; }

} // namespace

void currentNumberingMode(int *startLag, int *modulus) {
    if (loopNumbering()) {
        *startLag = kLoopStartLag;
        *modulus = kLoopModulus;
    } else {
        *startLag = kPlainStartLag;
        *modulus = kPlainModulus;
    }
}

namespace {

int accumulatedSamples() {
    return static_cast<int>((appState.accumWritePos - appState.accumBuffer) / 2);
}

struct SampleFormat {
    int rate;
    int channels;
};

bool operator==(const SampleFormat &a, const SampleFormat &b) {
    return a.rate == b.rate && a.channels == b.channels;
}

// The rate and channel count appState holds now; a conversion may change them between files.
SampleFormat currentFormat() {
    return SampleFormat{appState.sampleRate, appState.channelCount == 1 ? 1 : 2};
}

// The format of the samples appended last, and where the accumulation ended then.
SampleFormat appendedFormat = {0, 0};
const unsigned char *appendedEnd = nullptr;

// The format of what accumBuffer holds: the one it was appended with, as long as nothing else
// has moved the write position since; otherwise the current one.
SampleFormat accumulatedFormat() {
    if (appendedEnd == appState.accumWritePos && appState.accumWritePos != appState.accumBuffer) {
        return appendedFormat;
    }
    return currentFormat();
}

// Maps the chunk in place through the volume curve, frame by frame; only values whose two bytes
// lie inside the chunk are touched. Channel 1 is limited to -32767..32767.
void mapChunk(unsigned char *data, int length, int channels, int *firstPeak, int *secondPeak) {
    const int *curve = appState.volumeCurve;
    int frameBytes = 2 * channels;
    for (int frame = 0; frame < length; frame += frameBytes) {
        for (int channel = 0; channel < channels; ++channel) {
            int offset = frame + 2 * channel;
            if (offset + 2 > length) {
                break;
            }
            unsigned char *bytes = data + offset;
            int value = static_cast<short>(bytes[0] | (bytes[1] << 8));
            int mapped = curve[value + 32768];
            int *peak = firstPeak;
            if (channel == 1) {
                peak = secondPeak;
                if (mapped < -32767) {
                    mapped = -32767;
                } else if (mapped > 32767) {
                    mapped = 32767;
                }
            }
            int magnitude = mapped < 0 ? -mapped : mapped;
            if (magnitude > *peak) {
                *peak = magnitude;
            }
            bytes[0] = static_cast<unsigned char>(mapped & 0xFF);
            bytes[1] = static_cast<unsigned char>((mapped >> 8) & 0xFF);
        }
    }
}

// Encodes the accumulated samples and writes them as the next numbered file; fileCounter counts
// the file once it is written. Returns false when the encoder refused the segment, true when it
// was encoded, whether or not the file could be written.
bool encodeAndWriteSegment(int samples, SampleFormat format, int modulus) {
    int number = appState.fileCounter % modulus;
    int bytes =
        encodeSegmentAs(appState.encodedBuffer, appState.accumBuffer, samples * 2,
                        appState.qualityLevel, format.rate, format.channels, kEncodedBufferSize);
    if (bytes <= 0) {
        recordSegmentFailure(appState.programmeFolder, number, L"the segment could not be encoded",
                             ERROR_NOT_SUPPORTED);
        return false;
    }
    if (writeSegmentFile(appState.programmeFolder, number, appState.encodedBuffer,
                         static_cast<DWORD>(bytes))) {
        ++appState.fileCounter;
    }
    return true;
}

// Cuts the accumulated samples as one segment and rewrites the index. The PCM is gone afterwards
// whether or not it was written.
void cutSegment(int samples, int startLag, int modulus) {
    SampleFormat format = accumulatedFormat();
    if (encodeAndWriteSegment(samples, format, modulus)) {
        int frames = samples / format.channels;
        int counter = appState.fileCounter;
        if (loopNumbering()) {
            int init = 0;
            if (startLag != 0 && startLag <= counter) {
                init = (counter - startLag) % modulus;
            }
            writeIndexFile(appState.programmeFolder, frames, modulus, init);
        } else {
            writeIndexFile(appState.programmeFolder, frames, counter, 0);
        }
    }
    appState.accumWritePos = appState.accumBuffer;
}

// Appends the chunk's bytes. A segment is cut after every chunk that completes it, so the buffer
// cannot fill with the chunk sizes the producers make; should a chunk ever not fit, what is there
// is cut first rather than written past the end.
void appendChunk(const unsigned char *data, int length, int startLag, int modulus) {
    unsigned char *end = appState.accumBuffer + kAccumBufferSize;
    size_t remaining = static_cast<size_t>(length);
    while (remaining > 0) {
        size_t room = static_cast<size_t>(end - appState.accumWritePos);
        if (room == 0) {
            cutSegment(accumulatedSamples(), startLag, modulus);
            continue;
        }
        size_t n = remaining < room ? remaining : room;
        memcpy(appState.accumWritePos, data, n);
        appState.accumWritePos += n;
        data += n;
        remaining -= n;
    }
}

// The final call: what is left becomes a last, shorter file; in plain numbering the index is
// rewritten with the nominal samples per file, also when nothing was left.
void writeRemainder(int modulus) {
    int samples = accumulatedSamples();
    SampleFormat format = accumulatedFormat();
    if (samples > 0) {
        encodeAndWriteSegment(samples, format, modulus);
    }
    appState.accumWritePos = appState.accumBuffer;
    if (!loopNumbering()) {
        int size = segmentSize(format.rate, format.channels, appState.qualityLevel);
        writeIndexFile(appState.programmeFolder, size / format.channels,
                       appState.fileCounter % modulus, 0);
    }
}

} // namespace

void Segmenter(int *firstPeak, int *secondPeak, int final, int startLag, int modulus) {
    int peak0 = 0;
    int peak1 = 0;
    if (modulus <= 0) {
        modulus = kPlainModulus;
    }

    uint32_t n = PcmQueue.count();
    for (uint32_t i = 0; i < n; ++i) {
        PcmChunk chunk = PcmQueue.front();
        PcmQueue.pop();
        if (chunk.data == nullptr) {
            continue;
        }
        if (chunk.length > 0) {
            SampleFormat format = currentFormat();
            // The first chunk of a file with another rate or channel count: what the previous
            // file left becomes a shorter file of its own instead of being played at the wrong
            // rate or with its channels mixed up.
            if (appState.accumWritePos != appState.accumBuffer &&
                !(accumulatedFormat() == format)) {
                cutSegment(accumulatedSamples(), startLag, modulus);
            }
            mapChunk(chunk.data, chunk.length, format.channels, &peak0, &peak1);
            appendChunk(chunk.data, chunk.length, startLag, modulus);
            appendedFormat = format;
            appendedEnd = appState.accumWritePos;
        }
        delete[] chunk.data;

        int samples = accumulatedSamples();
        if (samples >=
            segmentSize(appState.sampleRate, appState.channelCount, appState.qualityLevel)) {
            cutSegment(samples, startLag, modulus);
        }
    }

    if (final) {
        writeRemainder(modulus);
    }

    if (firstPeak != nullptr) {
        *firstPeak = peak0;
    }
    if (secondPeak != nullptr) {
        *secondPeak = peak1;
    }
}
