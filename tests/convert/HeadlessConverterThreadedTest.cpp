#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "convert/HeadlessConverter.h"
#include "tests/convert/WavFixture.h"
#include "tests/encode/PipelineTestSupport.h"

namespace {

class HeadlessConverterThreaded : public PipelineTest {
protected:
    std::string sep() const { return std::string(1, static_cast<char>(PATH_SEPARATOR)); }

    std::string writeWav(const std::string &name, int rate, int channels,
                         const std::vector<int16_t> &samples) {
        WavSpec spec;
        spec.rate = static_cast<uint32_t>(rate);
        spec.channels = channels;
        spec.data = pcmBytes(samples);
        std::string path = scratch_.path(name);
        writeWholeFile(path, buildWav(spec));
        return path;
    }

    // Runs the converter in process with the arguments after the program name.
    int run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "tindle-convert");
        std::vector<char *> argv;
        for (std::string &argument : arguments) {
            argv.push_back(argument.data());
        }
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        int code = runHeadlessConverter(static_cast<int>(argv.size()), argv.data());
        printed_ = testing::internal::GetCapturedStdout();
        errors_ = testing::internal::GetCapturedStderr();
        return code;
    }

    size_t decodedFrames(const std::string &path) {
        DecodedStream decoded = decodeOgg(readWholeFile(path));
        EXPECT_TRUE(decoded.ok) << path;
        return decoded.frames();
    }

    ScratchFolder scratch_;
    std::string printed_;
    std::string errors_;
};

// Two readable files and a refused one in between become one continuous programme in a folder
// whose parents did not exist: 35 s at 16 kHz stereo, quality 9 (100,000 frames per file).
TEST_F(HeadlessConverterThreaded, TurnsABatchIntoAProgrammeFolder) {
    std::string a = writeWav("a.wav", 16000, 2, makeTone(16000 * 30, 2, 16000, 440.0));
    std::string bad = writeWav("b.wav", 44100, 2, makeTone(4410, 2, 44100, 440.0));
    std::string c = writeWav("c.wav", 16000, 2, makeTone(16000 * 5, 2, 16000, 660.0));
    std::string folder = scratch_.path("base" + sep() + "deep" + sep() + "prog");

    ASSERT_EQ(run({"--quality", "9", folder + sep(), a, bad, c}), 0);
    EXPECT_EQ(printed_, "bad wav rate.\n");
    EXPECT_EQ(folderEntries(folder), (std::vector<std::string>{"0.ogg", "1.ogg", "2.ogg", "3.ogg",
                                                               "4.ogg", "5.ogg", "index.txt"}));
    EXPECT_EQ(readWholeFile(folder + sep() + "index.txt"),
              "SAMPLES\t100000\r\nFILES\t6\r\nINIT\t0\r\n");
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(decodedFrames(folder + sep() + std::to_string(i) + ".ogg"), 100000u);
    }
    EXPECT_EQ(decodedFrames(folder + sep() + "5.ogg"), 60000u);
    EXPECT_EQ(appState.mainWindow, nullptr);
}

// Files of different rates and channel counts in one batch each keep their own format.
TEST_F(HeadlessConverterThreaded, MixedFormatsKeepTheirOwnRateAndChannels) {
    std::string stereo = writeWav("s.wav", 16000, 2, makeTone(16000 * 3, 2, 16000, 440.0));
    std::string mono = writeWav("m.wav", 8000, 1, makeTone(8000 * 2, 1, 8000, 300.0));
    std::string folder = scratch_.path("prog");

    ASSERT_EQ(run({folder, stereo, mono}), 0);
    DecodedStream first = decodeOgg(readWholeFile(folder + sep() + "0.ogg"));
    EXPECT_EQ(first.rate, 16000);
    EXPECT_EQ(first.channels, 2);
    EXPECT_EQ(first.frames(), 48000u);
    DecodedStream second = decodeOgg(readWholeFile(folder + sep() + "1.ogg"));
    EXPECT_EQ(second.rate, 8000);
    EXPECT_EQ(second.channels, 1);
    EXPECT_EQ(second.frames(), 16000u);
    EXPECT_EQ(readWholeFile(folder + sep() + "index.txt"),
              "SAMPLES\t360000\r\nFILES\t2\r\nINIT\t0\r\n");
}

// The lowest level makes a playable file, and the volume passes the sound through the curve.
TEST_F(HeadlessConverterThreaded, LowestQualityAndVolumeOptions) {
    std::vector<int16_t> tone = makeTone(8000 * 4, 1, 8000, 300.0);
    std::string wav = writeWav("quiet.wav", 8000, 1, tone);
    std::string folder = scratch_.path("prog");

    ASSERT_EQ(run({"--quality=-2", "--volume", "0.01", folder, wav}), 0);
    EXPECT_EQ(readWholeFile(folder + sep() + "index.txt"),
              "SAMPLES\t600000\r\nFILES\t1\r\nINIT\t0\r\n");
    DecodedStream decoded = decodeOgg(readWholeFile(folder + sep() + "0.ogg"));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.frames(), tone.size());
    int inputPeak = 0;
    int outputPeak = 0;
    for (size_t i = 0; i < tone.size(); ++i) {
        inputPeak = std::max(inputPeak, std::abs(int(tone[i])));
        outputPeak = std::max(outputPeak, std::abs(int(decoded.samples[i])));
    }
    // The curve at 0.01 maps 8000 to about 1760.
    EXPECT_LT(outputPeak, inputPeak / 3);
    EXPECT_GT(outputPeak, inputPeak / 8);
}

TEST_F(HeadlessConverterThreaded, NothingReadExitsWithOne) {
    std::string folder = scratch_.path("prog");
    writeWholeFile(scratch_.path("short.wav"), std::vector<unsigned char>(100, 0));
    EXPECT_EQ(run({folder, scratch_.path("short.wav"), scratch_.path("missing.wav")}), 1);
    EXPECT_EQ(printed_, "File less than 1024\nopen error\n");
    EXPECT_EQ(folderEntries(folder), std::vector<std::string>{"index.txt"});

    // A programme folder that cannot be made.
    std::string wav = writeWav("ok.wav", 8000, 1, makeTone(8000, 1, 8000, 300.0));
    writeWholeFile(scratch_.path("file"), {'f'});
    EXPECT_EQ(run({scratch_.path("file") + sep() + "prog", wav}), 1);
    EXPECT_NE(errors_.find("cannot create the programme folder"), std::string::npos);
}

// A segment that cannot be written makes the run fail, though the other files are there.
TEST_F(HeadlessConverterThreaded, ALostSegmentExitsWithThree) {
    std::string wav = writeWav("ok.wav", 8000, 1, makeTone(8000 * 2, 1, 8000, 300.0));
    std::string folder = scratch_.path("prog");
    // A folder where the first file belongs: it can be neither created nor replaced.
    ASSERT_EQ(run({folder, wav}), 0);
    ASSERT_TRUE(DeleteFileW(platform::widePath((folder + sep() + "0.ogg").c_str()).c_str()));
    ASSERT_TRUE(
        CreateDirectoryW(platform::widePath((folder + sep() + "0.ogg").c_str()).c_str(), nullptr));

    EXPECT_EQ(run({folder, wav}), 3);
    EXPECT_NE(errors_.find("a segment was lost"), std::string::npos) << errors_;
    EXPECT_EQ(readWholeFile(folder + sep() + "index.txt"),
              "SAMPLES\t360000\r\nFILES\t0\r\nINIT\t0\r\n");
}

TEST_F(HeadlessConverterThreaded, BadUsageExitsWithTwoAndTouchesNothing) {
    std::string folder = scratch_.path("prog");
    std::string wav = writeWav("ok.wav", 8000, 1, makeTone(8000, 1, 8000, 300.0));
    const std::vector<std::vector<std::string>> bad = {
        {},
        {folder},
        {"--quality", "10", folder, wav},
        {"--quality", "-3", folder, wav},
        {"--quality", "1.5", folder, wav},
        {"--quality"},
        {"--volume", "0", folder, wav},
        {"--volume", "2.01", folder, wav},
        {"--volume", "1.234", folder, wav},
        {"--volume", "loud", folder, wav},
        {"--speed", "2", folder, wav},
    };
    for (const auto &arguments : bad) {
        std::string shown;
        for (const auto &argument : arguments) {
            shown += argument + " ";
        }
        SCOPED_TRACE(shown);
        EXPECT_EQ(run(arguments), 2);
        EXPECT_NE(errors_.find("usage: tindle-convert [--quality N] [--volume X] "
                               "PROGRAMME_FOLDER FILE.wav..."),
                  std::string::npos);
        EXPECT_FALSE(fileExists(folder));
    }
}

} // namespace
