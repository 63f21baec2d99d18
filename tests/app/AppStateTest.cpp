// The process-wide state starts from its defaults.
#include <gtest/gtest.h>

#include <memory>

#include "app/AppState.h"

TEST(AppState, StartsFromItsDefaults) {
    auto state = std::make_unique<AppState>();
    const AppState &fresh = *state;
    EXPECT_EQ(fresh.sampleRate, 16000);
    EXPECT_EQ(fresh.channelCount, 2);
    EXPECT_EQ(fresh.qualityLevel, 1);
    EXPECT_DOUBLE_EQ(fresh.volumeFactor, 1.0);
    EXPECT_EQ(fresh.loopRecording, 0);
    EXPECT_EQ(fresh.converting, 0);
    EXPECT_EQ(fresh.fileCounter, 0);
    EXPECT_EQ(fresh.listRowCount, 7);
    EXPECT_EQ(fresh.baseFolder[0], L'\0');
    EXPECT_EQ(fresh.programmeFolder[0], L'\0');
    EXPECT_EQ(fresh.accumWritePos, fresh.accumBuffer);
    EXPECT_EQ(sizeof(fresh.accumBuffer), 9437184u);
    EXPECT_EQ(sizeof(fresh.encodedBuffer), 1048576u);
    EXPECT_EQ(sizeof(fresh.volumeCurve) / sizeof(fresh.volumeCurve[0]), 65536u);
    EXPECT_EQ(fresh.captureWindow.load(), nullptr);
    EXPECT_EQ(fresh.mainFont, nullptr);
}

TEST(AppState, MainFontIsThirteenPixelMincho) {
    const LOGFONTW &font = appState.mainFontSpec;
    EXPECT_EQ(font.lfHeight, -13);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_EQ(font.lfItalic, 0);
    EXPECT_EQ(font.lfCharSet, 0);
    EXPECT_STREQ(font.lfFaceName, L"\xFF2D\xFF33 \x660E\x671D");
}
