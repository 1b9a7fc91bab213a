#include "svg_path.h"

#include <gtest/gtest.h>

#include <cmath>

namespace sw::modelgen {
namespace {

struct PathCase {
    const char* name;
    const char* d;
    std::vector<std::vector<Cubic>> expected;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

Cubic line(Point a, Point b) {
    return {a,
            {a.x + (b.x - a.x) / 3, a.y + (b.y - a.y) / 3},
            {a.x + (b.x - a.x) * 2 / 3, a.y + (b.y - a.y) * 2 / 3},
            b};
}

class SvgPathParse : public testing::TestWithParam<PathCase> {};

TEST_P(SvgPathParse, GivesTheExpectedCubics) {
    const PathCase& c = GetParam();
    std::string error;
    const auto subpaths = parseSvgPath(c.d, &error);
    ASSERT_TRUE(subpaths) << error;
    ASSERT_EQ(subpaths->size(), c.expected.size());
    for (size_t s = 0; s < c.expected.size(); ++s) {
        ASSERT_EQ((*subpaths)[s].size(), c.expected[s].size()) << "subpath " << s;
        for (size_t i = 0; i < c.expected[s].size(); ++i) {
            const Cubic& got = (*subpaths)[s][i];
            const Cubic& want = c.expected[s][i];
            const Point g[] = {got.p0, got.p1, got.p2, got.p3}, w[] = {want.p0, want.p1, want.p2, want.p3};
            for (int k = 0; k < 4; ++k) {
                EXPECT_NEAR(g[k].x, w[k].x, 1e-9) << "subpath " << s << " segment " << i << " point " << k;
                EXPECT_NEAR(g[k].y, w[k].y, 1e-9) << "subpath " << s << " segment " << i << " point " << k;
            }
        }
    }
}

// The smooth-curve rows share one expectation: S reflects the previous second control point.
const std::vector<std::vector<Cubic>> kSmooth = {
    {{{10, 20}, {10, 30}, {20, 40}, {30, 40}}, {{30, 40}, {40, 40}, {50, 50}, {60, 40}}}};

INSTANTIATE_TEST_SUITE_P(
    Commands, SvgPathParse,
    testing::Values(
        PathCase{"AbsoluteCubic", "M10,20 C30,40 50,60 70,80", {{{{10, 20}, {30, 40}, {50, 60}, {70, 80}}}}},
        PathCase{"RelativeCubic", "m10,20c20,20 40,40 60,60", {{{{10, 20}, {30, 40}, {50, 60}, {70, 80}}}}},
        PathCase{"AbsoluteSmooth", "M10,20 C10,30 20,40 30,40 S50,50 60,40", kSmooth},
        PathCase{"RelativeSmooth", "M10,20 c0,10 10,20 20,20 s20,10 30,0", kSmooth},
        PathCase{"RepeatedRelativeCubic",
                 "M10,20 c0,10 10,20 20,20 10,0 20,10 30,0",
                 {{{{10, 20}, {10, 30}, {20, 40}, {30, 40}}, {{30, 40}, {40, 40}, {50, 50}, {60, 40}}}}},
        PathCase{"SmoothAfterLineUsesCurrentPoint",
                 "M10,10 L20,10 S30,30 40,10",
                 {{line({10, 10}, {20, 10}), {{20, 10}, {20, 10}, {30, 30}, {40, 10}}}}},
        PathCase{"Lines",
                 "M10,20 L30,20 l0,10 H50 h5 V40 v-5",
                 {{line({10, 20}, {30, 20}), line({30, 20}, {30, 30}), line({30, 30}, {50, 30}),
                   line({50, 30}, {55, 30}), line({55, 30}, {55, 40}), line({55, 40}, {55, 35})}}},
        PathCase{"Quadratics",
                 "M0,0 Q30,30 60,0 t60,0",
                 {{{{0, 0}, {20, 20}, {40, 20}, {60, 0}}, {{60, 0}, {80, -20}, {100, -20}, {120, 0}}}}},
        PathCase{"ImplicitLinetoAndClose",
                 "M0,0 10,0 10,10z",
                 {{line({0, 0}, {10, 0}), line({10, 0}, {10, 10}), line({10, 10}, {0, 0})}}},
        PathCase{"RelativeMovetoAfterClose",
                 "M10,10 l5,0 z m20,0 l5,0",
                 {{line({10, 10}, {15, 10}), line({15, 10}, {10, 10})}, {line({30, 10}, {35, 10})}}},
        PathCase{"NumberForms",
                 "M1e1-5.5.5,2 L+3,.25E1",
                 {{line({10, -5.5}, {0.5, 2}), line({0.5, 2}, {3, 2.5})}}},
        PathCase{"LoneMovetoIsADot", "M5,5", {{line({5, 5}, {5, 5})}}}, PathCase{"Empty", "  ", {}}),
    [](const testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

TEST(SvgPathParse, RejectsMalformedData) {
    for (const char* d :
         {"L10,10", "M10", "M10,10 A5,5 0 0 1 20,20", "M10,10 X5", "10,10", "M1,2 Z 3", "M1,2 C1,2,3",
          "M1,2 L-,3", "M1,2 L1e999,3", "M1,2 L2e6,3", "M1,2 L3,4 \xe3\x81\x82"}) {
        std::string error;
        EXPECT_FALSE(parseSvgPath(d, &error)) << d;
        EXPECT_FALSE(error.empty()) << d;
    }
}

TEST(SampleSubpath, KeepsEndpointsAndSpacesPointsEvenly) {
    const Subpath s = *parseSvgPath("M10,10 C30,0 60,40 90,20 L90,60")->begin();
    for (double spacing : {0.7, 2.0, 3.5}) {
        const Stroke points = sampleSubpath(s, spacing);
        ASSERT_GE(points.size(), 3u);
        EXPECT_EQ(points.front(), (Point{10, 10}));
        EXPECT_EQ(points.back(), (Point{90, 60}));
        double total = 0;
        for (size_t i = 1; i < points.size(); ++i) {
            const double gap = std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
            EXPECT_LE(gap, spacing * 1.5 + 0.05) << "spacing " << spacing << " point " << i;
            EXPECT_GT(gap, spacing * 0.3) << "spacing " << spacing << " point " << i;
            total += gap;
        }
        // The samples follow the curve, not a chord: the polyline is as long as the curve.
        EXPECT_NEAR(total, (sampleSubpath(s, 0.05).size() - 1) * 0.05, total * 0.02);
        // Points run forward along the stroke: the L part comes last, straight down at x = 90.
        EXPECT_NEAR(points[points.size() - 2].x, 90, 1e-6);
    }
}

TEST(SampleSubpath, ShortHugeAndZeroLengthSubpaths) {
    // Regression: a huge path must not become a huge point list.
    const Stroke huge = sampleSubpath(*parseSvgPath("M0,0 l1e6,0 1e6,0 1e6,0")->begin(), 0.5);
    EXPECT_EQ(huge.size(), size_t(kMaxStrokePoints));
    EXPECT_EQ(huge.back(), (Point{3e6, 0}));
    EXPECT_EQ(sampleSubpath(*parseSvgPath("M5,5")->begin(), 2.0), (Stroke{{5, 5}}));
    EXPECT_EQ(sampleSubpath(*parseSvgPath("M5,5 l0.5,0")->begin(), 2.0), (Stroke{{5, 5}, {5.5, 5}}));
}

}  // namespace
}  // namespace sw::modelgen
