#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "app/AppState.h"
#include "capture/ChunkQueues.h"
#include "encode/Segmenter.h"
#include "encode/VolumeCurve.h"
#include "tests/encode/PipelineTestSupport.h"

namespace {

class SegmenterTest : public PipelineTest {
protected:
    void SetUp() override {
        PipelineTest::SetUp();
        // The programme folder does not exist yet: the first file written makes it.
        folder_ = scratch_.path("base") + static_cast<char>(PATH_SEPARATOR) + "prog";
        std::wstring wide(folder_.begin(), folder_.end());
        wcscpy(appState.programmeFolder, wide.c_str());
    }

    std::string file(const std::string &name) const {
        return folder_ + static_cast<char>(PATH_SEPARATOR) + name;
    }
    std::string index() const { return readWholeFile(file("index.txt")); }
    std::vector<std::string> entries() const { return folderEntries(folder_); }
    int accumulated() const {
        return static_cast<int>(appState.accumWritePos - appState.accumBuffer);
    }
    std::wstring failure() const { return appState.lastWriteFailure; }

    // One step in the current numbering mode; returns the two peaks.
    std::pair<int, int> step(int final = 0) {
        int startLag = 0;
        int modulus = 0;
        currentNumberingMode(&startLag, &modulus);
        int first = -1;
        int second = -1;
        Segmenter(&first, &second, final, startLag, modulus);
        return {first, second};
    }

    // Pushes count chunks of chunkBytes taken in turn from pcm, starting at *offset.
    void pushChunks(const std::vector<unsigned char> &pcm, size_t *offset, int chunkBytes,
                    int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_LE(*offset + chunkBytes, pcm.size());
            pushChunk(pcm.data() + *offset, chunkBytes);
            *offset += static_cast<size_t>(chunkBytes);
        }
    }

    // Settings with the shortest segments (80000 values), so that many files are cheap.
    void useShortSegments() {
        appState.sampleRate = 8000;
        appState.channelCount = 1;
        appState.qualityLevel = 9;
    }

    // Pushes one short segment's worth of a tone in 8000-byte chunks.
    void pushShortSegment() {
        static const std::vector<unsigned char> pcm = pcmBytes(makeTone(80000, 1, 8000, 500.0));
        size_t offset = 0;
        pushChunks(pcm, &offset, 8000, 20);
    }

    ScratchFolder scratch_;
    std::string folder_;
};

std::string indexText(int samples, int files, int init) {
    return "SAMPLES\t" + std::to_string(samples) + "\r\nFILES\t" + std::to_string(files) +
           "\r\nINIT\t" + std::to_string(init) + "\r\n";
}

struct CutCase {
    int chunkBytes;
    int chunksToCut;
    int samplesPerFile;
};

class SegmenterCuts : public SegmenterTest, public ::testing::WithParamInterface<CutCase> {};

// 16000 Hz stereo at quality 1: the table says 720,000 values, and a segment is cut only after
// the whole chunk that reaches them.
TEST_P(SegmenterCuts, CutsAfterTheChunkThatReachesTheTableLength) {
    const CutCase &c = GetParam();
    appState.converting = 1;
    std::vector<int16_t> tone = makeTone(c.samplesPerFile, 2, 16000, 440.0);
    std::vector<unsigned char> pcm = pcmBytes(tone);
    size_t offset = 0;

    pushChunks(pcm, &offset, c.chunkBytes, c.chunksToCut - 1);
    step();
    EXPECT_FALSE(fileExists(file("0.ogg")));
    EXPECT_EQ(accumulated(), (c.chunksToCut - 1) * c.chunkBytes);

    pushChunks(pcm, &offset, c.chunkBytes, 1);
    step();
    EXPECT_EQ(appState.fileCounter, 1);
    EXPECT_EQ(accumulated(), 0);
    EXPECT_EQ(entries(), (std::vector<std::string>{"0.ogg", "index.txt"}));
    EXPECT_EQ(index(), indexText(c.samplesPerFile, 1, 0));
    EXPECT_EQ(failure(), L"");

    DecodedStream decoded = decodeOgg(readWholeFile(file("0.ogg")));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.channels, 2);
    EXPECT_EQ(decoded.rate, 16000);
    EXPECT_EQ(decoded.frames(), static_cast<size_t>(c.samplesPerFile));
    // The sound is the sound that went in (the identity curve leaves it as it is).
    double difference = 0;
    double level = 0;
    for (size_t i = 0; i < tone.size(); i += 7) {
        difference += std::abs(tone[i] - decoded.samples[i]);
        level += std::abs(tone[i]);
    }
    EXPECT_LT(difference / level, 0.2);
}

INSTANTIATE_TEST_SUITE_P(ChunkSizes, SegmenterCuts,
                         ::testing::Values(CutCase{8000, 180, 360000}, CutCase{7000, 206, 360500}));

struct LoopCase {
    int counterBefore;
    const char *written;
    int init;
};

class SegmenterLoop : public SegmenterTest, public ::testing::WithParamInterface<LoopCase> {};

// Loop numbering: a ring of 100 files, the index pointing 15 files behind the next one.
TEST_P(SegmenterLoop, IndexPointsFifteenFilesBehind) {
    const LoopCase &c = GetParam();
    useShortSegments();
    appState.loopRecording = 1;
    appState.fileCounter = c.counterBefore;
    // An older file of the ring is replaced whole.
    std::filesystem::create_directories(folder_);
    writeWholeFile(file(c.written), std::vector<unsigned char>(300000, 'o'));

    pushShortSegment();
    step();
    EXPECT_EQ(appState.fileCounter, c.counterBefore + 1);
    EXPECT_EQ(index(), indexText(80000, 100, c.init));
    EXPECT_EQ(entries(), (std::vector<std::string>{c.written, "index.txt"}));
    EXPECT_EQ(decodeOgg(readWholeFile(file(c.written))).frames(), 80000u);
}

INSTANTIATE_TEST_SUITE_P(Ring, SegmenterLoop,
                         ::testing::Values(LoopCase{0, "0.ogg", 0}, LoopCase{9, "9.ogg", 0},
                                           LoopCase{14, "14.ogg", 0}, LoopCase{15, "15.ogg", 1},
                                           LoopCase{19, "19.ogg", 5}, LoopCase{100, "0.ogg", 86},
                                           LoopCase{257, "57.ogg", 43}));

// Stop with 100,000 values at 2 channels, quality 1: a last file of 50,000 frames, and a final
// index with the nominal samples per file.
TEST_F(SegmenterTest, FinalStepWritesTheRemainderWithTheNominalIndex) {
    appState.fileCounter = 3;
    std::vector<unsigned char> pcm = pcmBytes(makeTone(50000, 2, 16000, 300.0));
    size_t offset = 0;
    pushChunks(pcm, &offset, 8000, 25);

    step(1);
    EXPECT_EQ(appState.fileCounter, 4);
    EXPECT_EQ(accumulated(), 0);
    EXPECT_EQ(index(), indexText(360000, 4, 0));
    EXPECT_EQ(decodeOgg(readWholeFile(file("3.ogg"))).frames(), 50000u);
    EXPECT_EQ(entries(), (std::vector<std::string>{"3.ogg", "index.txt"}));
}

struct FinalCase {
    int converting;
    int loopRecording;
    bool indexWritten;
};

class SegmenterEmptyFinal : public SegmenterTest,
                            public ::testing::WithParamInterface<FinalCase> {};

// Nothing accumulated: no new file; the final index only in plain numbering, which conversions
// always use whatever the loop check box says.
TEST_P(SegmenterEmptyFinal, RewritesTheIndexOnlyInPlainNumbering) {
    const FinalCase &c = GetParam();
    appState.converting = c.converting;
    appState.loopRecording = c.loopRecording;
    appState.fileCounter = 7;
    appState.qualityLevel = 9;
    step(1);
    EXPECT_EQ(appState.fileCounter, 7);
    if (c.indexWritten) {
        EXPECT_EQ(entries(), std::vector<std::string>{"index.txt"});
        EXPECT_EQ(index(), indexText(100000, 7, 0));
    } else {
        EXPECT_FALSE(fileExists(folder_));
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, SegmenterEmptyFinal,
                         ::testing::Values(FinalCase{0, 0, true}, FinalCase{1, 0, true},
                                           FinalCase{1, 1, true}, FinalCase{0, 1, false}));

TEST_F(SegmenterTest, LoopFinalWritesTheRemainderButKeepsTheIndex) {
    useShortSegments();
    appState.loopRecording = 1;
    appState.fileCounter = 30;
    pushShortSegment();
    step();
    std::vector<unsigned char> rest = pcmBytes(makeTone(1000, 1, 8000, 200.0));
    pushChunk(rest.data(), static_cast<int>(rest.size()));
    step(1);
    EXPECT_EQ(appState.fileCounter, 32);
    EXPECT_EQ(index(), indexText(80000, 100, 16));
    EXPECT_EQ(decodeOgg(readWholeFile(file("31.ogg"))).frames(), 1000u);
}

// A batch may hold files of different rates and channel counts. What one file leaves is written
// as a shorter file of its own with its own format, never encoded with the next file's.
TEST_F(SegmenterTest, FormatChangeClosesTheSegmentOfThePreviousFile) {
    appState.converting = 1;
    appState.qualityLevel = 9;
    std::vector<unsigned char> stereo = pcmBytes(makeTone(20000, 2, 16000, 440.0));
    size_t offset = 0;
    pushChunks(stereo, &offset, 8000, 10);
    step();
    EXPECT_FALSE(fileExists(file("0.ogg")));

    appState.sampleRate = 8000;
    appState.channelCount = 1;
    std::vector<unsigned char> mono = pcmBytes(makeTone(8000, 1, 8000, 300.0));
    offset = 0;
    pushChunks(mono, &offset, 8000, 2);
    step();
    DecodedStream first = decodeOgg(readWholeFile(file("0.ogg")));
    EXPECT_EQ(first.rate, 16000);
    EXPECT_EQ(first.channels, 2);
    EXPECT_EQ(first.frames(), 20000u);
    EXPECT_EQ(index(), indexText(20000, 1, 0));

    step(1);
    DecodedStream second = decodeOgg(readWholeFile(file("1.ogg")));
    EXPECT_EQ(second.rate, 8000);
    EXPECT_EQ(second.channels, 1);
    EXPECT_EQ(second.frames(), 8000u);
    EXPECT_EQ(index(), indexText(80000, 2, 0));
}

// A refused last file may leave its accepted rate and channel count behind; the remainder of the
// file before it keeps its own.
TEST_F(SegmenterTest, FinalStepEncodesTheRemainderWithItsOwnFormat) {
    appState.converting = 1;
    appState.qualityLevel = 9;
    std::vector<unsigned char> stereo = pcmBytes(makeTone(20000, 2, 16000, 440.0));
    size_t offset = 0;
    pushChunks(stereo, &offset, 8000, 10);
    step();
    appState.sampleRate = 8000;
    appState.channelCount = 1;
    step(1);
    DecodedStream last = decodeOgg(readWholeFile(file("0.ogg")));
    EXPECT_EQ(last.rate, 16000);
    EXPECT_EQ(last.channels, 2);
    EXPECT_EQ(last.frames(), 20000u);
    EXPECT_EQ(index(), indexText(100000, 1, 0));
}

// Every value passes through the curve; channel 0 keeps -32768, channel 1 is limited to -32767;
// the peaks cover the chunks of this call only; a trailing incomplete value stays as it was.
TEST_F(SegmenterTest, MapsMetersAndKeepsIncompleteFramesUnmapped) {
    buildVolumeCurve(0.5, appState.volumeCurve);
    std::vector<unsigned char> stereo = pcmBytes({1000, -32768, -32768, 24576, 8192});
    stereo.push_back(0x34); // a lone byte of an incomplete value
    pushChunk(stereo.data(), static_cast<int>(stereo.size()));

    std::pair<int, int> peaks = step();
    EXPECT_EQ(peaks, std::make_pair(32768, 32767));
    ASSERT_EQ(accumulated(), 11);
    EXPECT_EQ(pcmValues(appState.accumBuffer, 10),
              (std::vector<int16_t>{560, -32767, -32768, 17560, 4193}));
    EXPECT_EQ(appState.accumBuffer[10], 0x34);
    EXPECT_EQ(step(), std::make_pair(0, 0));

    // Mono: every value by the channel-0 rule, no second peak.
    appState.accumWritePos = appState.accumBuffer;
    appState.channelCount = 1;
    std::vector<unsigned char> mono = pcmBytes({-32768, 1000, -8192});
    pushChunk(mono.data(), static_cast<int>(mono.size()));
    EXPECT_EQ(step(), std::make_pair(32768, 0));
    EXPECT_EQ(pcmValues(appState.accumBuffer, 6), (std::vector<int16_t>{-32768, 560, -4193}));
}

// A chunk without data is dropped; an empty chunk adds nothing but still runs the segment test.
TEST_F(SegmenterTest, EmptyChunkRunsTheSegmentTestAndNullChunkIsDropped) {
    useShortSegments();
    std::vector<unsigned char> pcm = pcmBytes(makeTone(80000, 1, 8000, 500.0));
    memcpy(appState.accumBuffer, pcm.data(), pcm.size());
    appState.accumWritePos = appState.accumBuffer + pcm.size();

    PcmQueue.push(PcmChunk{4000, nullptr});
    step();
    EXPECT_FALSE(fileExists(file("0.ogg")));
    EXPECT_EQ(PcmQueue.count(), 0u);

    PcmQueue.push(PcmChunk{0, new unsigned char[0]});
    step();
    EXPECT_EQ(appState.fileCounter, 1);
    EXPECT_EQ(decodeOgg(readWholeFile(file("0.ogg"))).frames(), 80000u);
}

// No producer makes chunks this large, but one that did would not be written past the end of the
// accumulation buffer: what fills it is cut first.
TEST_F(SegmenterTest, OversizedChunkIsCutRatherThanOverflowing) {
    useShortSegments();
    std::vector<unsigned char> silence(kAccumBufferSize + 8000, 0);
    pushChunk(silence.data(), static_cast<int>(silence.size()));
    step();
    EXPECT_EQ(appState.fileCounter, 1);
    EXPECT_EQ(decodeOgg(readWholeFile(file("0.ogg"))).frames(), kAccumBufferSize / 2);
    EXPECT_EQ(accumulated(), 8000);
}

// A segment the encoder refuses is lost, but not the following ones; fileCounter only counts files
// written.
TEST_F(SegmenterTest, EncoderRefusalLosesOnlyThatSegment) {
    useShortSegments();
    appState.sampleRate = 1000000;
    pushShortSegment();
    step();
    EXPECT_EQ(appState.fileCounter, 0);
    EXPECT_EQ(accumulated(), 0);
    EXPECT_FALSE(fileExists(folder_));
    EXPECT_NE(failure().find(L"0.ogg"), std::wstring::npos);

    appState.sampleRate = 8000;
    pushShortSegment();
    step();
    EXPECT_EQ(appState.fileCounter, 1);
    EXPECT_EQ(index(), indexText(80000, 1, 0));
}

// A segment file that cannot be created: the segment is lost, the counter stays, the index is
// still rewritten and no partial or temporary file is left.
TEST_F(SegmenterTest, UncreatableSegmentFileKeepsTheCounter) {
    useShortSegments();
    std::filesystem::create_directories(file("0.ogg"));
    pushShortSegment();
    step();
    EXPECT_EQ(appState.fileCounter, 0);
    EXPECT_EQ(index(), indexText(80000, 0, 0));
    EXPECT_EQ(entries(), (std::vector<std::string>{"0.ogg", "index.txt"}));
    EXPECT_NE(failure().find(L"0.ogg"), std::wstring::npos);

    std::filesystem::remove(file("0.ogg"));
    pushShortSegment();
    step();
    EXPECT_EQ(appState.fileCounter, 1);
    EXPECT_EQ(index(), indexText(80000, 1, 0));
}

// An index that cannot be rewritten keeps its previous contents whole; the segment file stays.
TEST_F(SegmenterTest, UnwritableIndexKeepsThePreviousOne) {
    useShortSegments();
    std::filesystem::create_directories(file("index.txt.tmp"));
    writeWholeFile(file("index.txt"), {'o', 'l', 'd'});
    pushShortSegment();
    step();
    EXPECT_EQ(appState.fileCounter, 1);
    EXPECT_EQ(decodeOgg(readWholeFile(file("0.ogg"))).frames(), 80000u);
    EXPECT_EQ(index(), "old");
    EXPECT_NE(failure().find(L"index.txt"), std::wstring::npos);
}

TEST_F(SegmenterTest, UncreatableFolderLosesSegmentsButNotTheRun) {
    useShortSegments();
    writeWholeFile(scratch_.path("base"), {'b'}); // a file where the base folder should be
    pushShortSegment();
    step();
    EXPECT_EQ(appState.fileCounter, 0);
    EXPECT_EQ(accumulated(), 0);
    EXPECT_NE(failure().find(L"index.txt"), std::wstring::npos);

    std::filesystem::remove(scratch_.path("base"));
    pushShortSegment();
    step();
    EXPECT_EQ(appState.fileCounter, 1);
    EXPECT_EQ(entries(), (std::vector<std::string>{"0.ogg", "index.txt"}));
}

// The disk fills up while a segment is written: the short file is removed and treated as a file
// that could not be created. A file size limit makes the write come up short.
TEST_F(SegmenterTest, ShortWriteRemovesThePartialFile) {
    useShortSegments();
    appState.fileCounter = 4;
    std::filesystem::create_directories(folder_);
    writeWholeFile(file("index.txt"), {'o', 'l', 'd'});
    pushShortSegment();

    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit limited = saved;
    limited.rlim_cur = 4096;
    auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    step();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(appState.fileCounter, 4);
    EXPECT_EQ(entries(), std::vector<std::string>{"index.txt"});
    EXPECT_EQ(index(), indexText(80000, 4, 0));
    EXPECT_NE(failure().find(L"4.ogg"), std::wstring::npos);
}

} // namespace
