// Helpers shared by the encoding and conversion tests: a scratch folder, a clean pipeline state,
// and reading back what the pipeline wrote (files, Ogg pages, decoded PCM).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// A fresh folder below the system's temporary folder, removed with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    // The folder, or a path below it (parts joined with the platform's separator).
    std::string path(const std::string &below = "") const;
    std::wstring widePath(const std::string &below = "") const;

private:
    std::string root_;
};

// Puts every pipeline field of appState back to its start value, with the identity curve, and
// empties both queues.
void resetPipelineState();

// Test base that resets the pipeline state before and after each test.
class PipelineTest : public ::testing::Test {
protected:
    void SetUp() override { resetPipelineState(); }
    void TearDown() override { resetPipelineState(); }
};

bool fileExists(const std::string &path);
std::string readWholeFile(const std::string &path);
void writeWholeFile(const std::string &path, const std::vector<unsigned char> &bytes);
// The names in a folder, sorted.
std::vector<std::string> folderEntries(const std::string &path);

// One page of an Ogg stream as its header describes it.
struct OggPageHeader {
    unsigned char flags; // 1 continued, 2 beginning of stream, 4 end of stream
    int64_t granule;
    uint32_t serial;
    uint32_t sequence;
};

// Walks the pages of bytes; false when they do not tile the bytes exactly.
bool parseOggPages(const std::string &bytes, std::vector<OggPageHeader> *pages);

// A stream decoded with the reference decoder.
struct DecodedStream {
    bool ok = false;
    int channels = 0;
    long rate = 0;
    long nominalBitrate = 0;
    std::vector<int16_t> samples; // interleaved
    size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

DecodedStream decodeOgg(const std::string &bytes);

// Interleaved 16-bit PCM as little-endian bytes, and back.
std::vector<unsigned char> pcmBytes(const std::vector<int16_t> &samples);
std::vector<int16_t> pcmValues(const unsigned char *bytes, size_t byteCount);

// A tone of the given frames, with the channels a little apart, at about a quarter of full
// scale.
std::vector<int16_t> makeTone(int frames, int channels, int rate, double frequency);

// Pushes a chunk holding a copy of bytes onto PcmQueue.
void pushChunk(const unsigned char *bytes, int length);
