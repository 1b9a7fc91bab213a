#include "veiladd/veil_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "stroke_cases.h"

namespace sw::veiladd {
namespace {

using namespace testing_data;

bool samePoint(const VeilPoint& a, const VeilPoint& b) {
    return a.X == b.X && a.Y == b.Y && a.State == b.State && a.Width == b.Width && a.Color == b.Color;
}

std::vector<VeilPoint> run(const std::vector<VeilPoint>& drawing, const std::vector<VeilPoint>& pattern) {
    std::vector<VeilPoint> out(drawing.size());
    out.resize(deletePattern(drawing, pattern, out));
    return out;
}

class DeletePatternCases : public testing::TestWithParam<DeleteCase> {};

TEST_P(DeletePatternCases, KeepsExactlyTheExpectedPointsUnchanged) {
    const DeleteCase& c = GetParam();
    const std::vector<VeilPoint> result = run(c.drawing, c.pattern);
    ASSERT_EQ(result.size(), c.keptColors.size());
    for (size_t k = 0; k < result.size(); ++k) {
        const auto source = std::find_if(c.drawing.begin(), c.drawing.end(),
                                         [&](const VeilPoint& p) { return p.Color == c.keptColors[k]; });
        ASSERT_NE(source, c.drawing.end());
        EXPECT_TRUE(samePoint(result[k], *source)) << "result point " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(DeletePattern, DeletePatternCases, testing::ValuesIn(deleteCases()),
                         [](const testing::TestParamInfo<DeleteCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(DeletePattern, LongAbandonedRunsAreRescannedWithoutLosingPoints) {
    // Every point opens a run that matches 50 points before failing; the result must still be the drawing.
    std::vector<VeilPoint> drawing(500);
    for (size_t k = 0; k < drawing.size(); ++k) drawing[k] = pt(0, 0, 2, static_cast<int32_t>(k));
    std::vector<VeilPoint> pattern(50, pt(0, 0, 0, 0));
    pattern.push_back(pt(1, 1, 4, 0));
    const std::vector<VeilPoint> result = run(drawing, pattern);
    ASSERT_EQ(result.size(), 450u) << "the last 50 points form a run still open at the end";
    for (size_t k = 0; k < result.size(); ++k) EXPECT_EQ(result[k].Color, static_cast<int32_t>(k));
}

struct RectCase {
    const char* name;
    std::vector<VeilPoint> points;
    VeilRect expected;
};

TEST(VeilRect, StartsFromExtremesSoRightAndBottomNeverGoNegative) {
    const RectCase cases[] = {
        {"negative points", {pt(-5, -7, 2, 0), pt(-1, -2, 4, 0)}, {-5, -7, 0, 0}},
        {"one point", {pt(3, 4, 2, 0)}, {3, 4, 3, 4}},
        {"mixed", {pt(5, 9, 2, 0), pt(-3, 12, 4, 0)}, {-3, 9, 5, 12}},
        {"empty", {}, {INT32_MAX, INT32_MAX, 0, 0}},
    };
    for (const RectCase& c : cases) EXPECT_EQ(veilRect(c.points), c.expected) << c.name;
}

TEST(PtwRect, ReadsCoordinatesAsSigned16BitValues) {
    const std::vector<PtwPoint> points = {{-32768, 7, 4, 0}, {-1, 32767, 0, 0}};
    EXPECT_EQ(ptwRect(points), (VeilRect{-32768, 7, 0, 32767}));
    EXPECT_EQ(ptwRect({}), VeilRect{});
}

TEST(MoveVeil, ThereAndBackRestoresEveryPointAcrossTheWrap) {
    const std::vector<VeilPoint> original = {pt(INT32_MIN, INT32_MAX, 2, 1), pt(15, -20, 4, 2)};
    std::vector<VeilPoint> points = original;
    moveVeil(points, 15, -20);
    EXPECT_EQ(points[1].X, 0);
    EXPECT_EQ(points[1].Y, 0);
    EXPECT_EQ(points[0].X, INT32_MAX - 14) << "wraps";
    moveVeil(points, -15, 20);
    for (size_t k = 0; k < points.size(); ++k) EXPECT_TRUE(samePoint(points[k], original[k]));
}

TEST(PointLine, FormatsColorStateWidthXYAndReadsItBack) {
    const VeilPoint cases[] = {
        {100, -4, 2, 3, 255}, {INT32_MIN, INT32_MAX, -32768, 32767, INT32_MIN}, {0, 0, -1, -2, -1}};
    const char* expected[] = {"255 2 3 100 -4", "-2147483648 -32768 32767 -2147483648 2147483647",
                              "-1 -1 -2 0 0"};
    for (size_t k = 0; k < std::size(cases); ++k) {
        char line[kPointLineBuffer];
        const size_t length = formatPointLine(cases[k], line);
        EXPECT_STREQ(line, expected[k]);
        EXPECT_EQ(length, std::strlen(expected[k]));
        EXPECT_TRUE(samePoint(parsePointLine(line), cases[k])) << expected[k];
    }
    char longest[kPointLineBuffer];
    EXPECT_EQ(formatPointLine({INT32_MIN, INT32_MIN, -32768, -32768, INT32_MIN}, longest), kPointLineMax);
}

TEST(PointLine, LinesThatAreNotFiveNumbersHaveADocumentedValue) {
    struct Row {
        const char* line;
        VeilPoint expected;  // X, Y, State, Width, Color
    };
    const Row rows[] = {
        {" 255\t2  3 100 -4 and more", {100, -4, 2, 3, 255}},
        {"+7 -0 1 2 3", {2, 3, 0, 1, 7}},
        {"1 2 3", {0, 0, 2, 3, 1}},
        {"1 2 x 4 5", {0, 0, 2, 0, 1}},
        {"1 70000 -32769 4 5", {4, 5, 4464, 32767, 1}},
        {"4294967297 0 0 0 -4294967297", {0, -1, 0, 0, 1}},
        {"- 5 1 1 1", {0, 0, 0, 0, 0}},
        {"abc", {0, 0, 0, 0, 0}},
        {"", {0, 0, 0, 0, 0}},
    };
    for (const Row& row : rows) EXPECT_TRUE(samePoint(parsePointLine(row.line), row.expected)) << row.line;
}

}  // namespace
}  // namespace sw::veiladd
