#include <gtest/gtest.h>

#include <vector>

#include "encode/VolumeCurve.h"

namespace {

constexpr int kZero = 32768;

std::vector<int> curveFor(double x) {
    std::vector<int> curve(65536, 12345);
    buildVolumeCurve(x, curve.data());
    return curve;
}

// The volume factor as the scroll bar stores it.
double factorAt(int position) { return position * 0.01; }

struct CurvePointCase {
    int position;
    int input;
    int output;
};

class VolumeCurveTable : public ::testing::TestWithParam<CurvePointCase> {};

TEST_P(VolumeCurveTable, MapsInputAndItsMirror) {
    const CurvePointCase &c = GetParam();
    std::vector<int> curve = curveFor(factorAt(c.position));
    EXPECT_EQ(curve[kZero + c.input], c.output) << "x=" << c.position << "% input " << c.input;
    if (c.input > 0) {
        EXPECT_EQ(curve[kZero - c.input], -c.output);
    }
    EXPECT_EQ(curve[0], -32768);
}

INSTANTIATE_TEST_SUITE_P(
    KnownOutputs, VolumeCurveTable,
    ::testing::Values(
        CurvePointCase{1, 0, 0}, CurvePointCase{1, 1, 0}, CurvePointCase{1, 1000, 289},
        CurvePointCase{1, 8192, 1803}, CurvePointCase{1, 16384, 3928},
        CurvePointCase{1, 24576, 8358}, CurvePointCase{1, 32767, 32767}, CurvePointCase{50, 0, 0},
        CurvePointCase{50, 1, 1}, CurvePointCase{50, 1000, 560}, CurvePointCase{50, 8192, 4193},
        CurvePointCase{50, 16384, 8974}, CurvePointCase{50, 24576, 17560},
        CurvePointCase{50, 32767, 32767}, CurvePointCase{100, 0, 0}, CurvePointCase{100, 1, 1},
        CurvePointCase{100, 1000, 1000}, CurvePointCase{100, 8192, 8192},
        CurvePointCase{100, 16384, 16384}, CurvePointCase{100, 24576, 24576},
        CurvePointCase{100, 32767, 32767}, CurvePointCase{150, 0, -1}, CurvePointCase{150, 1, 2},
        CurvePointCase{150, 1000, 1847}, CurvePointCase{150, 8192, 15210},
        CurvePointCase{150, 16384, 23794}, CurvePointCase{150, 24576, 28575},
        CurvePointCase{150, 32767, 32767}, CurvePointCase{200, 0, -1}, CurvePointCase{200, 1, 4},
        CurvePointCase{200, 1000, 4354}, CurvePointCase{200, 8192, 24576},
        CurvePointCase{200, 16384, 28923}, CurvePointCase{200, 24576, 31004},
        CurvePointCase{200, 32767, 32767}));

TEST(VolumeCurve, OneIsExactlyTheIdentity) {
    std::vector<int> curve = curveFor(1.00);
    for (int i = 0; i < 65536; ++i) {
        ASSERT_EQ(curve[i], i - kZero) << "entry " << i;
    }
    // The plot reads every 256th entry of the positive half.
    for (int i = 0; i < 128; ++i) {
        EXPECT_EQ(curve[kZero + 256 * i], 256 * i);
    }
}

// Every one of the 200 settings: a full, mirrored, non-decreasing table from the origin to full
// scale, rewritten whole whatever the table held before.
TEST(VolumeCurve, EverySettingGivesAMirroredMonotonicTable) {
    std::vector<int> curve(65536);
    for (int position = 1; position <= 200; ++position) {
        SCOPED_TRACE(position);
        std::fill(curve.begin(), curve.end(), 777777);
        buildVolumeCurve(factorAt(position), curve.data());

        ASSERT_EQ(curve[0], -32768);
        ASSERT_EQ(curve[65535], 32767);
        ASSERT_EQ(curve[kZero], position <= 111 ? 0 : -1);
        for (int k = 1; k <= 32767; ++k) {
            ASSERT_GE(curve[kZero + k], 0) << "input " << k;
            ASSERT_LE(curve[kZero + k], 32767) << "input " << k;
            ASSERT_GE(curve[kZero + k], curve[kZero + k - 1] < 0 ? 0 : curve[kZero + k - 1])
                << "input " << k;
            ASSERT_EQ(curve[kZero - k], -curve[kZero + k]) << "input " << k;
        }
        if (position < 100) {
            EXPECT_LT(curve[kZero + 16384], 16384);
        } else if (position > 100) {
            EXPECT_GT(curve[kZero + 16384], 16384);
        }
    }
}

TEST(VolumeCurve, FillIdentityMatchesTheCurveAtOne) {
    std::vector<int> identity(65536, 5);
    fillIdentityCurve(identity.data());
    EXPECT_EQ(identity, curveFor(1.00));
}

} // namespace
