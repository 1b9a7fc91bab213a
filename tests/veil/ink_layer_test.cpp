#include "veil/ink_layer.h"

#include <gtest/gtest.h>

#include <vector>

#include "veil_test_support.h"

namespace sw::veil {
namespace {

using test::line;
using test::RecordingListener;

struct SplitCase {
    const char* name;
    std::vector<int16_t> states;
    std::vector<std::pair<int32_t, int32_t>> strokes;  // (first, count)
};

class SplitStrokes : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitStrokes, FollowsStateMarks) {
    const SplitCase& c = GetParam();
    std::vector<VeilPoint> points;
    for (size_t i = 0; i < c.states.size(); ++i)
        points.push_back(VeilPoint{static_cast<int32_t>(i), 0, c.states[i], 2, 0xFFFFFF});
    std::vector<std::pair<int32_t, int32_t>> got;
    for (const StrokeSpan& s : splitStrokes(points)) got.emplace_back(s.first, s.count);
    EXPECT_EQ(got, c.strokes);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitStrokes,
    ::testing::Values(SplitCase{"Empty", {}, {}}, SplitCase{"TwoFinished", {2, 3, 4, 2, 4}, {{0, 3}, {3, 2}}},
                      SplitCase{"UnfinishedBeforeNextFirst", {2, 3, 2, 3, 4}, {{0, 2}, {2, 3}}},
                      SplitCase{"UnfinishedAtEnd", {2, 4, 2, 3}, {{0, 2}, {2, 2}}},
                      SplitCase{"NoFirstMarkAfterLast", {2, 4, 0, 0, 4}, {{0, 2}, {2, 3}}},
                      SplitCase{"SinglePointStroke", {4, 2, 4}, {{0, 1}, {1, 2}}},
                      SplitCase{"NoMarksAtAll", {0, 0, 0}, {{0, 3}}}),
    [](const auto& info) { return std::string(info.param.name); });

// A horizontal stroke of `count` points from (x0, y) step 10.
std::vector<VeilPoint> row(int x0, int y, int count) {
    std::vector<VeilPoint> points;
    for (int i = 0; i < count; ++i) points.push_back(VeilPoint{x0 + 10 * i, y, kStateMove, 2, 0xFFFFFF});
    points.front().State = kStateFirst;
    points.back().State = kStateLast;
    return points;
}

struct LassoCase {
    const char* name;
    int inside;  // points of a 10-point stroke inside the lasso square
    bool selected;
};

class LassoRule : public ::testing::TestWithParam<LassoCase> {};

// The lasso square covers x < 100; a stroke of ten points from x = 100 - 10 * inside.
TEST_P(LassoRule, SelectsStrokesWithFourFifthsOfTheirPointsInside) {
    const LassoCase& c = GetParam();
    const std::vector<VeilPoint> points = row(100 - 10 * c.inside + 5, 50, 10);
    const auto strokes = splitStrokes(points);
    const QPolygon lasso({QPoint(0, 0), QPoint(100, 0), QPoint(100, 100), QPoint(0, 100)});
    EXPECT_EQ(strokesInLasso(points, strokes, lasso).size(), c.selected ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, LassoRule,
                         ::testing::Values(LassoCase{"AllInside", 10, true}, LassoCase{"EightOfTen", 8, true},
                                           LassoCase{"SevenOfTen", 7, false}, LassoCase{"Half", 5, false},
                                           LassoCase{"None", 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LassoRule, UsesTheWindingRuleAndClosesTheLoop) {
    const std::vector<VeilPoint> points = row(40, 50, 3);
    const auto strokes = splitStrokes(points);
    // A loop drawn twice around the stroke: even-odd would call the inside "outside".
    QPolygon twice({QPoint(0, 0), QPoint(100, 0), QPoint(100, 100), QPoint(0, 100)});
    twice << twice;
    EXPECT_EQ(strokesInLasso(points, strokes, twice).size(), 1u);
    // An open "U" is closed from its last point back to its first.
    const QPolygon openU({QPoint(0, 0), QPoint(0, 100), QPoint(100, 100), QPoint(100, 0)});
    EXPECT_EQ(strokesInLasso(points, strokes, openU).size(), 1u);
    EXPECT_TRUE(strokesInLasso(points, strokes, QPolygon({QPoint(0, 0), QPoint(100, 100)})).empty())
        << "two points enclose nothing";
}

TEST(ChangedAreas, ReportsTheStrokesMissingOnEitherSide) {
    const auto a = line({0, 0}, {10, 0}, 2, 2, 1), b = line({0, 50}, {10, 50}, 2, 2, 1),
               c = line({0, 90}, {10, 90}, 2, 2, 1), b2 = line({0, 50}, {10, 51}, 2, 2, 1);
    const auto join = [](std::initializer_list<std::vector<VeilPoint>> strokes) {
        std::vector<VeilPoint> points;
        for (const auto& s : strokes) points.insert(points.end(), s.begin(), s.end());
        return points;
    };
    const auto bounds = [](const std::vector<VeilPoint>& s) { return splitStrokes(s)[0].bounds; };
    const struct {
        const char* name;
        std::vector<VeilPoint> before, after;
        std::vector<QRect> expected;
    } rows[] = {
        {"same", join({a, b, c}), join({a, b, c}), {}},
        {"cut from the middle", join({a, b, c}), join({a, c}), {bounds(b)}},
        {"added at the end", join({a, b}), join({a, b, c}), {bounds(c)}},
        {"one point moved", join({a, b, c}), join({a, b2, c}), {bounds(b), bounds(c), bounds(b2), bounds(c)}},
        {"emptied", join({a, b}), {}, {bounds(a), bounds(b)}},
    };
    for (const auto& row : rows) {
        std::vector<QRect> areas;
        EXPECT_TRUE(
            changedAreas(row.before, splitStrokes(row.before), row.after, splitStrokes(row.after), 8, &areas))
            << row.name;
        EXPECT_EQ(areas, row.expected) << row.name;
    }
    std::vector<QRect> areas;
    EXPECT_FALSE(changedAreas(join({a, b, c}), splitStrokes(join({a, b, c})), {}, {}, 2, &areas))
        << "more rectangles than allowed";
}

TEST(InkLayer, PointDataHandleLivesUntilThePointSetChanges) {
    const size_t blocksBefore = liveBlockCount();
    {
        InkLayer layer;
        EXPECT_EQ(layer.pointData(), kNullHandle) << "an empty set has the null handle";
        layer.appendStroke(line({10, 10}, {50, 10}, 5, 2, 0xFFFFFF));
        const Handle first = layer.pointData();
        ASSERT_NE(resolveStrokeData(first, 5), nullptr);
        EXPECT_EQ(resolveStrokeData(first, 6), nullptr) << "the block holds exactly the points";
        layer.appendStroke(line({10, 30}, {50, 30}, 3, 2, 0xFFFFFF));
        EXPECT_EQ(resolveStrokeData(first, 1), nullptr) << "a stale handle resolves to nothing";
        ASSERT_NE(resolveStrokeData(layer.pointData(), 8), nullptr);
        EXPECT_EQ(resolveStrokeData(layer.pointData(), 8)[5].State, kStateFirst);
    }
    EXPECT_EQ(liveBlockCount(), blocksBefore) << "the layer releases its registration";
}

TEST(InkLayer, SetPointDataRefusesBadInputAndChangesNothing) {
    RecordingListener listener;
    InkLayer layer(&listener);
    layer.appendStroke(line({0, 0}, {30, 0}, 4, 2, 0xFF));
    const Handle before = layer.pointData();
    auto block = allocateStrokeData(Owner::Test, 3);
    ASSERT_TRUE(block);
    listener.areas.clear();
    EXPECT_FALSE(layer.setPointData(block.handle, 4)) << "count larger than the block";
    EXPECT_FALSE(layer.setPointData(block.handle, -1)) << "negative count";
    EXPECT_FALSE(layer.setPointData(0x7FFFFF00, 1)) << "unknown handle";
    EXPECT_EQ(layer.pointCount(), 4);
    EXPECT_EQ(layer.pointData(), before);
    EXPECT_TRUE(listener.areas.empty());
    EXPECT_TRUE(layer.setPointData(kNullHandle, 0)) << "count 0 empties the set";
    EXPECT_EQ(layer.pointCount(), 0);
    EXPECT_EQ(listener.areas.size(), 1u) << "the old ink's area changed";
    freeBlock(block.handle, Owner::Test);
}

TEST(InkLayer, SetPointDataAcceptsItsOwnBlock) {
    InkLayer layer;
    layer.appendStroke(line({0, 0}, {30, 0}, 4, 2, 0xFF));
    layer.appendStroke(line({0, 20}, {30, 20}, 4, 2, 0xFF));
    // Replacing the set by the first half of itself: the source is read before the old block goes.
    EXPECT_TRUE(layer.setPointData(layer.pointData(), 4));
    ASSERT_EQ(layer.pointCount(), 4);
    EXPECT_EQ(layer.points()[3].X, 30);
    EXPECT_EQ(layer.points()[3].Y, 0);
}

TEST(InkLayer, AreaChangedCoversOldAndNewInkInClientPixels) {
    RecordingListener listener;
    InkLayer layer(&listener);
    layer.appendStroke(line({100, 100}, {200, 100}, 3, 4, 0xFF));
    ASSERT_EQ(listener.areas.size(), 1u);
    const QRect stroke = listener.areas[0];
    EXPECT_TRUE(stroke.contains(QRect(QPoint(98, 98), QPoint(202, 102)))) << "covers the pen's width";
    EXPECT_LE(stroke.width(), 110);

    layer.scrollTo(50, 0);
    ASSERT_EQ(listener.areas.size(), 2u);
    EXPECT_TRUE(listener.areas[1].contains(stroke)) << "where the ink was";
    EXPECT_TRUE(listener.areas[1].contains(stroke.translated(-50, 0))) << "and where it is now";
    layer.scrollTo(50, 0);
    EXPECT_EQ(listener.areas.size(), 2u) << "no move, no change";

    layer.setInkDisplay(false);
    ASSERT_EQ(listener.areas.size(), 3u);
    EXPECT_EQ(listener.areas[2], stroke.translated(-50, 0));
}

TEST(InkLayer, ScrollOffsetsAreClamped) {
    InkLayer layer;
    layer.scrollTo(INT32_MAX, INT32_MIN);
    EXPECT_EQ(layer.scroll(), QPoint(kScrollLimit, -kScrollLimit));
}

}  // namespace
}  // namespace sw::veil
