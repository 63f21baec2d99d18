#include "encode/VolumeCurve.h"

#include <cmath>

namespace {

constexpr int kCurveSize = 65536;
constexpr int kZeroIndex = 32768;
constexpr double kFullScale = 32767.0;

struct CurvePoint {
    double x;
    double y;
};

// One coordinate of a uniform Catmull-Rom segment over p0..p3 at parameter t, evaluated in the
// fixed order the table depends on.
double catmullRom(double p0, double p1, double p2, double p3, double t) {
    double a = ((3.0 * p1 - p0) - 3.0 * p2) + p3;
    double b = ((2.0 * p0 - 5.0 * p1) + 4.0 * p2) - p3;
    double c = p2 - p0;
    double d = 2.0 * p1;
    double t2 = t * t;
    double t3 = t2 * t;
    return (((t3 * a + t2 * b) + t * c) + d) * 0.5;
}

// Rounds half away from zero, then truncates toward zero.
int roundHalfAway(double value) {
    return static_cast<int>(value >= 0.0 ? value + 0.5 : value - 0.5);
}

int clampSample(int value) {
    if (value < 0) {
        return 0;
    }
    if (value > 32767) {
        return 32767;
    }
    return value;
}

// Walks one segment over p[0..3] in steps + 1 points, writing the positive entry and then its
// mirror, so that for input 0 the mirrored value is the one that stays.
void writeSegment(const CurvePoint *p, int steps, int *curve) {
    for (int j = 0; j <= steps; ++j) {
        double t = static_cast<double>(j) / steps;
        double x = catmullRom(p[0].x, p[1].x, p[2].x, p[3].x, t);
        double y = catmullRom(p[0].y, p[1].y, p[2].y, p[3].y, t);
        int k = clampSample(roundHalfAway(x));
        int m = clampSample(roundHalfAway(y));
        curve[kZeroIndex + k] = m;
        curve[kZeroIndex - k] = -m;
    }
}

} // namespace

void buildVolumeCurve(double x, int *curve) {
    for (int i = 0; i < kCurveSize; ++i) {
        curve[i] = 0;
    }

    // The middle point slides along X + Y = full scale; the ends are repeated so that the spline
    // runs from the origin to full scale.
    const CurvePoint points[5] = {
        {0.0, 0.0},
        {0.0, 0.0},
        {kFullScale * (0.75 - 0.25 * x), kFullScale * (0.25 + 0.25 * x)},
        {kFullScale, kFullScale},
        {kFullScale, kFullScale},
    };

    // Twice the distance from the origin to full scale, plus one: close enough steps that every
    // entry of the table receives a value.
    double dx = points[0].x - points[3].x;
    double dy = points[0].y - points[3].y;
    int steps = 2 * static_cast<int>(std::sqrt(dx * dx + dy * dy) + 1.0);

    writeSegment(&points[0], steps, curve);
    writeSegment(&points[1], steps, curve);

    curve[0] = -32768;
}

void fillIdentityCurve(int *curve) {
    for (int i = 0; i < kCurveSize; ++i) {
        curve[i] = i - kZeroIndex;
    }
}
