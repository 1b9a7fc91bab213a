#include "veiladd/veil_ops.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace sw::veiladd {
namespace {

// Color numbers every point, so a test sees which point of the drawing landed where.
VeilPoint pt(int32_t x, int32_t y, int16_t state, int32_t color) { return VeilPoint{x, y, state, 3, color}; }

// The selection as the overlay hands it over, compared by X and Y only: State, Width and Color differ.
std::vector<VeilPoint> selectionOf(const std::vector<VeilPoint>& points) {
    std::vector<VeilPoint> selection;
    for (const VeilPoint& p : points) selection.push_back({p.X, p.Y, 9, 7, 0x123456});
    return selection;
}

bool samePoint(const VeilPoint& a, const VeilPoint& b) {
    return a.X == b.X && a.Y == b.Y && a.State == b.State && a.Width == b.Width && a.Color == b.Color;
}

std::vector<VeilPoint> run(const std::vector<VeilPoint>& drawing, const std::vector<VeilPoint>& pattern) {
    std::vector<VeilPoint> out(drawing.size());
    out.resize(deletePattern(drawing, pattern, out));
    return out;
}

const std::vector<VeilPoint> kA = {pt(10, 10, 2, 1), pt(11, 12, 0, 2), pt(12, 14, 4, 3)};
const std::vector<VeilPoint> kB = {pt(30, 30, 2, 4), pt(31, 33, 4, 5)};

std::vector<VeilPoint> join(std::initializer_list<std::vector<VeilPoint>> parts) {
    std::vector<VeilPoint> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct DeleteCase {
    const char* name;
    std::vector<VeilPoint> drawing;
    std::vector<VeilPoint> pattern;
    std::vector<int32_t> keptColors;  // the drawing points expected in the result, in this order
};

void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.name; }

class DeletePatternCases : public testing::TestWithParam<DeleteCase> {};

TEST_P(DeletePatternCases, KeepsExactlyTheExpectedPointsUnchanged) {
    const DeleteCase& c = GetParam();
    const std::vector<VeilPoint> result = run(c.drawing, c.pattern);
    ASSERT_EQ(result.size(), c.keptColors.size());
    for (size_t k = 0; k < result.size(); ++k) {
        const VeilPoint* source = nullptr;
        for (const VeilPoint& p : c.drawing)
            if (p.Color == c.keptColors[k]) source = &p;
        ASSERT_NE(source, nullptr);
        EXPECT_TRUE(samePoint(result[k], *source)) << "result point " << k;
    }
}

// The abandoned-run rows: stroke S agrees with the pattern on two points but not on its third.
const std::vector<VeilPoint> kS = {pt(0, 0, 2, 11), pt(1, 1, 0, 12), pt(2, 2, 4, 13)};
const std::vector<VeilPoint> kC = {pt(0, 0, 2, 14), pt(1, 1, 0, 15), pt(3, 3, 4, 16)};
// Two stroke starts at the same place; only rescanning from the run's second point finds the match.
const std::vector<VeilPoint> kX = {pt(0, 0, 2, 21), pt(0, 0, 2, 22), pt(0, 0, 0, 23), pt(5, 5, 4, 24)};

INSTANTIATE_TEST_SUITE_P(
    DeletePattern, DeletePatternCases,
    testing::Values(
        DeleteCase{"BRemoved", join({kA, kB}), selectionOf(kB), {1, 2, 3}},
        DeleteCase{"BothRemoved", join({kA, kB}), selectionOf(join({kA, kB})), {}},
        DeleteCase{"ReverseOrderRemovesOnlyB", join({kA, kB}), selectionOf(join({kB, kA})), {1, 2, 3}},
        DeleteCase{"AbandonedRunKeepsItsPointsInOrder", join({kS, kC}), selectionOf(kC), {11, 12, 13}},
        DeleteCase{"AbandonedRunResumesBehindItsFirstPoint",
                   kX,
                   selectionOf({pt(0, 0, 0, 0), pt(0, 0, 0, 0), pt(5, 5, 0, 0)}),
                   {21}},
        DeleteCase{"UnfinishedLastStrokeStaysOut",
                   join({kA, {pt(30, 30, 2, 4), pt(31, 33, 0, 5)}}),
                   selectionOf(kB),
                   {1, 2, 3}},
        DeleteCase{"UsedUpPatternMatchesNothing",
                   join({kB, {pt(30, 30, 2, 6), pt(31, 33, 4, 7)}}),
                   selectionOf(kB),
                   {6, 7}},
        DeleteCase{"MatchOnAPointInsideAStrokeOpensNoRun", kA, selectionOf({kA[1], kA[2]}), {1, 2, 3}},
        DeleteCase{
            "NoMatchKeepsEverything", join({kA, kB}), selectionOf({pt(99, 99, 2, 0)}), {1, 2, 3, 4, 5}}),
    [](const testing::TestParamInfo<DeleteCase>& info) { return std::string(info.param.name); });

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
