#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppState.h"
#include "capture/ChunkQueues.h"
#include "convert/WavReader.h"
#include "tests/convert/WavFixture.h"
#include "tests/encode/PipelineTestSupport.h"

namespace {

class WavReaderTest : public PipelineTest {
protected:
    // Writes the bytes as a file and reads it; the result, with the queued chunks and the line
    // printed taken out.
    int read(const std::vector<unsigned char> &bytes) {
        writeWholeFile(scratch_.path("in.wav"), bytes);
        return readPath(scratch_.widePath("in.wav"));
    }

    int readPath(const std::wstring &path) {
        testing::internal::CaptureStdout();
        int result = WavReader(path.c_str());
        printed_ = testing::internal::GetCapturedStdout();
        chunks_.clear();
        uint32_t n = PcmQueue.count();
        for (uint32_t i = 0; i < n; ++i) {
            PcmChunk chunk = PcmQueue.front();
            PcmQueue.pop();
            EXPECT_NE(chunk.data, nullptr);
            chunks_.emplace_back(chunk.data, chunk.data + chunk.length);
            delete[] chunk.data;
        }
        return result;
    }

    std::vector<size_t> chunkLengths() const {
        std::vector<size_t> lengths;
        for (const auto &chunk : chunks_) {
            lengths.push_back(chunk.size());
        }
        return lengths;
    }

    std::vector<unsigned char> joined() const {
        std::vector<unsigned char> all;
        for (const auto &chunk : chunks_) {
            all.insert(all.end(), chunk.begin(), chunk.end());
        }
        return all;
    }

    ScratchFolder scratch_;
    std::string printed_;
    std::vector<std::vector<unsigned char>> chunks_;
};

// A canonical 44-byte header: the first chunk is 980 bytes from the header block and 7020 read,
// then 8000-byte chunks, then the rest of the data length.
TEST_F(WavReaderTest, CanonicalFileInChunksOfEightThousand) {
    WavSpec spec;
    spec.channels = 1;
    spec.rate = 32000;
    spec.data = countingBytes(2 * 8000 + 1234);
    ASSERT_EQ(read(buildWav(spec)), 1);
    EXPECT_EQ(printed_, "");
    EXPECT_EQ(chunkLengths(), (std::vector<size_t>{8000, 8000, 1234}));
    EXPECT_EQ(joined(), spec.data);
    EXPECT_EQ(appState.sampleRate, 32000);
    EXPECT_EQ(appState.channelCount, 1);
}

TEST_F(WavReaderTest, DataEndingInsideTheHeaderBlockIsTakenAlone) {
    WavSpec spec;
    spec.data = countingBytes(100);
    spec.trailer = std::vector<unsigned char>(3000, 0xEE); // never sound
    ASSERT_EQ(read(buildWav(spec)), 1);
    EXPECT_EQ(chunkLengths(), std::vector<size_t>{100});
    EXPECT_EQ(joined(), spec.data);
}

// The data chunk header ends exactly at byte 1024 and nothing follows: one empty chunk, read.
TEST_F(WavReaderTest, DataHeaderAtTheEndOfTheBlockGivesOneEmptyChunk) {
    WavSpec spec;
    spec.between = {{"junk", std::vector<unsigned char>(1024 - 36 - 8 - 8, 0)}};
    spec.declaredDataLength = 1000;
    std::vector<unsigned char> bytes = buildWav(spec);
    ASSERT_EQ(bytes.size(), 1024u);
    ASSERT_EQ(read(bytes), 1);
    EXPECT_EQ(chunkLengths(), std::vector<size_t>{0});
}

TEST_F(WavReaderTest, FileShorterThanItsDataLengthIsReadToItsEnd) {
    WavSpec spec;
    spec.data = countingBytes(10000);
    spec.declaredDataLength = 50000;
    ASSERT_EQ(read(buildWav(spec)), 1);
    EXPECT_EQ(chunkLengths(), (std::vector<size_t>{8000, 2000}));
    EXPECT_EQ(joined(), spec.data);
}

// The data chunk is looked for after the fmt chunk's declared size, so the common 18- and 40-byte
// fmt chunks are read, with other chunks in between stepped over.
TEST_F(WavReaderTest, FmtChunkOfAnyDeclaredSizeIsSteppedOver) {
    for (uint32_t fmtSize : {18u, 40u}) {
        SCOPED_TRACE(fmtSize);
        WavSpec spec;
        spec.fmtSize = fmtSize;
        spec.before = {{"JUNK", std::vector<unsigned char>(28, 0)}};
        spec.between = {{"LIST", std::vector<unsigned char>(26, 'x')}, {"fact", {1, 2, 3, 4}}};
        spec.data = countingBytes(9000);
        ASSERT_EQ(read(buildWav(spec)), 1);
        EXPECT_EQ(joined(), spec.data);
    }
}

struct RefusalCase {
    const char *name;
    WavSpec spec;
    const char *line;
    int rateAfter; // starting from 8000 Hz and 2 channels
    int channelsAfter;
};

WavSpec with(void (*change)(WavSpec *)) {
    WavSpec spec;
    spec.data = countingBytes(4000);
    change(&spec);
    return spec;
}

class WavReaderRefusals : public WavReaderTest,
                          public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(WavReaderRefusals, PrintsTheLineAndQueuesNothing) {
    const RefusalCase &c = GetParam();
    appState.sampleRate = 8000;
    appState.channelCount = 2;
    std::vector<unsigned char> bytes = buildWav(c.spec);
    if (std::string(c.name) == "riff") {
        bytes[3] = 'X';
    } else if (std::string(c.name) == "wave") {
        bytes[11] = 'X';
    }
    EXPECT_EQ(read(bytes), 0);
    EXPECT_EQ(printed_, c.line);
    EXPECT_TRUE(chunks_.empty());
    EXPECT_EQ(appState.sampleRate, c.rateAfter);
    EXPECT_EQ(appState.channelCount, c.channelsAfter);
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, WavReaderRefusals,
    ::testing::Values(
        RefusalCase{"riff", with([](WavSpec *) {}), "bad wav format.(not found RIFF header)\n",
                    8000, 2},
        RefusalCase{"wave", with([](WavSpec *) {}), "bad wav format.(not found WAVE header)\n",
                    8000, 2},
        // Accepted values are kept although the file is refused.
        RefusalCase{"float", with([](WavSpec *s) { s->formatTag = 3, s->channels = 1; }),
                    "bad wav format.(non linear format)\n", 16000, 1},
        RefusalCase{"rate", with([](WavSpec *s) { s->rate = 44100, s->channels = 1; }),
                    "bad wav rate.\n", 8000, 1},
        RefusalCase{"channels", with([](WavSpec *s) { s->channels = 6; }), "bad wav channels.\n",
                    16000, 2},
        RefusalCase{"eightBit", with([](WavSpec *s) { s->bits = 8, s->channels = 1; }),
                    "bad wav bits.\n", 16000, 1},
        RefusalCase{"noBitsField", with([](WavSpec *s) { s->fmtSize = 14; }), "bad wav bits.\n",
                    16000, 2},
        RefusalCase{"fmtBeyondBlock", with([](WavSpec *s) {
                        s->before = {{"junk", std::vector<unsigned char>(1100, 0)}};
                    }),
                    "bad wav format.(not found fmt chunk)\n", 8000, 2},
        RefusalCase{"fmtFieldsCutByBlock", with([](WavSpec *s) {
                        s->before = {{"junk", std::vector<unsigned char>(1024 - 12 - 8 - 20, 0)}};
                    }),
                    "bad wav format.(not found fmt chunk)\n", 8000, 2},
        RefusalCase{"dataBeyondBlock", with([](WavSpec *s) {
                        s->between = {{"LIST", std::vector<unsigned char>(2000, 0)}};
                    }),
                    "bad wav format.(not found data chunk)\n", 16000, 2}));

// Chunk sizes near 4 GiB step out of the header block without wrapping around into it.
TEST_F(WavReaderTest, ChunkSizesThatWouldOverflowAreRefused) {
    WavSpec spec;
    spec.before = {{"junk", {0, 0, 0, 0}}};
    spec.data = countingBytes(3000);
    const std::vector<unsigned char> bytes = buildWav(spec);
    struct Patch {
        size_t sizeOffset;
        const char *line;
    };
    for (Patch patch : {Patch{16, "bad wav format.(not found fmt chunk)\n"},
                        Patch{28, "bad wav format.(not found data chunk)\n"}}) {
        for (unsigned char low : {0xF0, 0xF8, 0xFF}) {
            std::vector<unsigned char> bad = bytes;
            bad[patch.sizeOffset] = low;
            bad[patch.sizeOffset + 1] = bad[patch.sizeOffset + 2] = bad[patch.sizeOffset + 3] =
                0xFF;
            EXPECT_EQ(read(bad), 0);
            EXPECT_EQ(printed_, patch.line);
            EXPECT_TRUE(chunks_.empty());
        }
    }
}

TEST_F(WavReaderTest, ShortAndMissingFilesAreRefused) {
    EXPECT_EQ(read(std::vector<unsigned char>(1000, 0)), 0);
    EXPECT_EQ(printed_, "File less than 1024\n");
    EXPECT_TRUE(chunks_.empty());

    EXPECT_EQ(readPath(scratch_.widePath("missing.wav")), 0);
    EXPECT_EQ(printed_, "open error\n");
    EXPECT_EQ(readPath(scratch_.widePath()), 0); // a folder dropped by mistake
    EXPECT_TRUE(chunks_.empty());
}

} // namespace
