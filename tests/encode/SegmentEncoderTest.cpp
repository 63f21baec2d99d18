#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "encode/SegmentEncoder.h"
#include "tests/encode/PipelineTestSupport.h"

namespace {

class SegmentEncoderTest : public PipelineTest {
protected:
    // Encodes bytes with the given settings into encodedBuffer; the stream, or empty.
    std::string encode(const std::vector<unsigned char> &pcm, int rate, int channels, int quality,
                       int byteCount = -1) {
        appState.sampleRate = rate;
        appState.channelCount = channels;
        int count = byteCount < 0 ? static_cast<int>(pcm.size()) : byteCount;
        int bytes = SegmentEncoder(appState.encodedBuffer, pcm.data(), count, quality);
        EXPECT_GE(bytes, 0);
        return std::string(reinterpret_cast<char *>(appState.encodedBuffer),
                           bytes > 0 ? static_cast<size_t>(bytes) : 0);
    }
};

// The stream is one logical stream: first page begins it, only the last page ends it, the pages
// tile the bytes exactly and the audio starts on a fresh page after the headers.
void expectCompleteStream(const std::string &stream) {
    std::vector<OggPageHeader> pages;
    ASSERT_TRUE(parseOggPages(stream, &pages));
    ASSERT_GE(pages.size(), 3u);
    EXPECT_EQ(pages.front().flags & 2, 2);
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].serial, pages.front().serial);
        EXPECT_EQ(pages[i].sequence, i);
        EXPECT_EQ((pages[i].flags & 4) != 0, i + 1 == pages.size()) << "page " << i;
        if (i > 0) {
            EXPECT_EQ(pages[i].flags & 2, 0);
        }
    }
    EXPECT_LE(pages.front().serial, 32767u);
    // The header pages carry granule 0; the first audio page (if any) does not continue a header
    // packet.
    size_t firstAudio = 0;
    while (firstAudio < pages.size() && pages[firstAudio].granule == 0) {
        ++firstAudio;
    }
    if (firstAudio < pages.size()) {
        EXPECT_EQ(pages[firstAudio].flags & 1, 0);
    }
}

// Root-mean-square difference relative to the signal's level, over the frames present in both.
double relativeError(const std::vector<int16_t> &in, const std::vector<int16_t> &out) {
    double signal = 0;
    double noise = 0;
    size_t n = std::min(in.size(), out.size());
    for (size_t i = 0; i < n; ++i) {
        signal += double(in[i]) * in[i];
        noise += (double(in[i]) - out[i]) * (double(in[i]) - out[i]);
    }
    return std::sqrt(noise / signal);
}

struct ShapeCase {
    int rate;
    int channels;
    int quality;
    int frames;
    int extraBytes; // a trailing partial frame that must be ignored
};

class SegmentEncoderShapes : public SegmentEncoderTest,
                             public ::testing::WithParamInterface<ShapeCase> {};

TEST_P(SegmentEncoderShapes, DecodesToTheFramesThatWentIn) {
    const ShapeCase &c = GetParam();
    std::vector<int16_t> tone = makeTone(c.frames, c.channels, c.rate, 441.0);
    std::vector<unsigned char> pcm = pcmBytes(tone);
    pcm.insert(pcm.end(), static_cast<size_t>(c.extraBytes), 0x7F);

    std::string stream = encode(pcm, c.rate, c.channels, c.quality);
    ASSERT_FALSE(stream.empty());
    expectCompleteStream(stream);

    DecodedStream decoded = decodeOgg(stream);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.channels, c.channels);
    EXPECT_EQ(decoded.rate, c.rate);
    EXPECT_EQ(decoded.frames(), static_cast<size_t>(c.frames));
    EXPECT_LT(relativeError(tone, decoded.samples), 0.35);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SegmentEncoderShapes,
    ::testing::Values(ShapeCase{16000, 2, 1, 16000, 0},
                      // exactly one pass of 1024 frames, then the pass that ends the input
                      ShapeCase{16000, 2, 1, 1024, 0}, ShapeCase{8000, 1, 1, 1024, 0},
                      // trailing bytes of an incomplete frame
                      ShapeCase{16000, 2, 1, 5000, 3}, ShapeCase{8000, 1, 0, 4001, 1},
                      ShapeCase{32000, 2, 9, 40000, 0}, ShapeCase{32000, 1, 5, 7000, 0},
                      ShapeCase{8000, 2, -1, 9000, 2}));

TEST_F(SegmentEncoderTest, FullScaleValuesEncode) {
    std::vector<int16_t> square(8000 * 2);
    for (size_t i = 0; i < square.size(); ++i) {
        square[i] = (i / 40) % 2 ? 32767 : -32768;
    }
    std::string stream = encode(pcmBytes(square), 8000, 2, 3);
    DecodedStream decoded = decodeOgg(stream);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.frames(), 8000u);
    EXPECT_LT(relativeError(square, decoded.samples), 0.35);
}

TEST_F(SegmentEncoderTest, NoFramesStillMakesACompleteStream) {
    std::vector<unsigned char> pcm(3, 0);
    std::string stream = encode(pcm, 16000, 2, 1);
    ASSERT_FALSE(stream.empty());
    expectCompleteStream(stream);
    DecodedStream decoded = decodeOgg(stream);
    EXPECT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.frames(), 0u);
}

// The library refuses the base quality -0.2 at every rate and channel count; level -2 then uses
// the lowest quality it accepts (-0.1), and so encodes exactly like level -1.
TEST_F(SegmentEncoderTest, LowestLevelFallsBackToTheLowestAcceptedQuality) {
    for (int rate : {8000, 16000, 32000}) {
        for (int channels : {1, 2}) {
            SCOPED_TRACE(std::to_string(rate) + " Hz, " + std::to_string(channels) + " ch");
            std::vector<unsigned char> pcm = pcmBytes(makeTone(rate, channels, rate, 300.0));
            std::string lowest = encode(pcm, rate, channels, -2);
            std::string minusOne = encode(pcm, rate, channels, -1);
            std::string zero = encode(pcm, rate, channels, 0);
            ASSERT_FALSE(lowest.empty());
            DecodedStream decoded = decodeOgg(lowest);
            ASSERT_TRUE(decoded.ok);
            EXPECT_EQ(decoded.frames(), static_cast<size_t>(rate));
            EXPECT_EQ(decoded.nominalBitrate, decodeOgg(minusOne).nominalBitrate);
            EXPECT_NE(decoded.nominalBitrate, decodeOgg(zero).nominalBitrate);
        }
    }
}

TEST_F(SegmentEncoderTest, RefusedSettingsGiveZero) {
    std::vector<unsigned char> pcm = pcmBytes(makeTone(2000, 1, 8000, 300.0));
    EXPECT_TRUE(encode(pcm, 1000000, 1, 1).empty()); // no quality accepted at this rate
    EXPECT_TRUE(encode(pcm, 16000, 0, 1).empty());
    EXPECT_TRUE(encode(pcm, 16000, 3, 1).empty());
}

// A stream that would not fit stops at the page that does not fit: result 0 and not one byte
// written past the capacity.
TEST_F(SegmentEncoderTest, NeverWritesPastTheOutputBuffer) {
    appState.sampleRate = 32000;
    appState.channelCount = 2;
    std::vector<int16_t> noise(32000 * 2 * 2);
    uint32_t seed = 1;
    for (auto &v : noise) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<int16_t>(seed >> 16);
    }
    std::vector<unsigned char> pcm = pcmBytes(noise);
    int full = SegmentEncoder(appState.encodedBuffer, pcm.data(), static_cast<int>(pcm.size()), 9);
    ASSERT_GT(full, 0);

    for (size_t capacity : {size_t(100), size_t(full / 2), size_t(full - 1)}) {
        SCOPED_TRACE(capacity);
        std::vector<unsigned char> out(capacity + 64, 0xA5);
        int bytes =
            SegmentEncoder(out.data(), pcm.data(), static_cast<int>(pcm.size()), 9, capacity);
        EXPECT_EQ(bytes, 0);
        for (size_t i = capacity; i < out.size(); ++i) {
            ASSERT_EQ(out[i], 0xA5) << "byte " << i;
        }
    }
    std::vector<unsigned char> exact(static_cast<size_t>(full));
    EXPECT_EQ(
        SegmentEncoder(exact.data(), pcm.data(), static_cast<int>(pcm.size()), 9, exact.size()),
        full);
}

} // namespace
