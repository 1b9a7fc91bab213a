#include "penmate/pattern_records.h"

#include <gtest/gtest.h>

#include <span>

#include "test_support.h"

namespace penmate {
namespace {

using test::makeStrokes;
using test::release;

std::vector<sw::PtwPoint> pointsOf(sw::Handle ptw) {
    std::span<const sw::PtwPoint> points;
    EXPECT_TRUE(sw::ptwPoints(ptw, &points));
    return {points.begin(), points.end()};
}

TEST(CreatePTW, TruncatesCoordinatesAndState) {
    struct Row {
        int32_t x, y;
        int16_t state;
        int16_t wantX, wantY;
        uint8_t wantFlag;
    };
    const Row rows[] = {
        {70000, 5, 260, 4464, 5, 4},
        {32768, -32769, -1, -32768, 32767, 255},
        {-5, 12, 4, -5, 12, 4},
        {65535, -65536, 2, -1, 0, 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.x);
        const sw::Handle strokes = makeStrokes({{r.x, r.y, r.state, 7, 0x123456}});
        const sw::Handle ptw = createPtw(strokes, 1);
        ASSERT_NE(ptw, sw::kNullHandle);
        const auto points = pointsOf(ptw);
        ASSERT_EQ(points.size(), 1u);
        EXPECT_EQ(points[0].X, r.wantX);
        EXPECT_EQ(points[0].Y, r.wantY);
        EXPECT_EQ(points[0].Flag, r.wantFlag);
        EXPECT_TRUE(freePtw(ptw));
        release(strokes);
    }
}

TEST(CreatePTW, EmptyRecordHasNoPointArray) {
    const size_t before = sw::liveBlockCount();
    for (int32_t num : {0, -3}) {
        const sw::Handle ptw = createPtw(sw::kNullHandle, num);
        ASSERT_NE(ptw, sw::kNullHandle) << num;
        const sw::PTW* record = sw::resolvePtw(ptw);
        EXPECT_EQ(record->PointNum, 0);
        EXPECT_EQ(record->Points, sw::kNullHandle);
        EXPECT_TRUE(freePtw(ptw));
    }
    EXPECT_EQ(sw::liveBlockCount(), before);
}

TEST(CreatePTW, RefusesStrokeDataItCannotRead) {
    const sw::Handle strokes = makeStrokes({{1, 2, 2}, {3, 4, 4}});
    const sw::Handle record = createPtw(strokes, 1);
    const sw::Handle freed = makeStrokes({{1, 2, 2}});
    release(freed);
    const size_t before = sw::liveBlockCount();
    EXPECT_EQ(createPtw(strokes, 3), sw::kNullHandle);  // block shorter than Num
    EXPECT_EQ(createPtw(freed, 1), sw::kNullHandle);
    EXPECT_EQ(createPtw(record, 1), sw::kNullHandle);  // a PTW is not stroke data
    EXPECT_EQ(createPtw(sw::kNullHandle, 1), sw::kNullHandle);
    EXPECT_EQ(sw::liveBlockCount(), before);
    freePtw(record);
    release(strokes);
}

TEST(FreePTW, ReleasesOnlyPenmateRecords) {
    const sw::Handle strokes = makeStrokes({{1, 2, 2}});
    auto foreign = sw::allocatePtw(sw::Owner::Quillbox, 1);
    const sw::Handle own = createPtw(strokes, 1);
    const size_t before = sw::liveBlockCount();

    EXPECT_FALSE(freePtw(sw::kNullHandle));
    EXPECT_FALSE(freePtw(foreign.handle));
    EXPECT_FALSE(freePtw(strokes));
    EXPECT_FALSE(freePtw(sw::resolvePtw(own)->Points));  // the point array alone
    EXPECT_EQ(sw::liveBlockCount(), before);

    EXPECT_TRUE(freePtw(own));
    EXPECT_EQ(sw::liveBlockCount(), before - 2);
    EXPECT_FALSE(freePtw(own));  // a second release of the same handle does nothing

    sw::freePtw(foreign.handle, sw::Owner::Quillbox);
    release(strokes);
}

TEST(GetStrokeData, FieldByType) {
    const sw::Handle strokes = makeStrokes({{10, 20, 2, 3, 0x0000FF}, {-7, 8, -2, -5, 0x00ABCDEF}});
    struct Row {
        int32_t index, type, want;
    };
    const Row rows[] = {
        {0, kFieldX, 10},
        {0, kFieldY, 20},
        {0, kFieldState, 2},
        {0, kFieldColor, 0xFF},
        {0, kFieldWidth, 3},
        {1, kFieldX, -7},
        {1, kFieldState, -2},
        {1, kFieldWidth, -5},
        {1, kFieldColor, 0x00ABCDEF},
        {0, 5, 0},
        {0, -1, 0},
        {2, kFieldX, 0},
        {-1, kFieldX, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(strokeValue(strokes, r.index, r.type), r.want) << r.index << "/" << r.type;
    release(strokes);
    EXPECT_EQ(strokeValue(strokes, 0, kFieldX), 0);  // released
}

TEST(SysFuncGetRect, BoundsAndRefusals) {
    const sw::Handle one = makeStrokes({{5, 9, 2}});
    const sw::Handle two = makeStrokes({{5, 9, 2}, {3, 12, 4}});
    const sw::Handle many = makeStrokes({{0, 0, 2}, {-4, 7, 0}, {9, -3, 0}, {2, 2, 4}});
    struct Row {
        sw::Handle strokes;
        int32_t num;
        bool ok;
        Bounds want;
    };
    const Row rows[] = {
        {one, 0, false, {}},
        {one, 1, true, {5, 9, 5, 9}},
        {two, 2, true, {3, 9, 5, 12}},
        {many, 4, true, {-4, -3, 9, 7}},
        {many, 2, true, {-4, 0, 0, 7}},
        {one, -1, false, {}},  // a negative count is refused, not read as point 0
        {one, 2, false, {}},   // more points than the block holds
        {sw::kNullHandle, 1, false, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.num);
        Bounds b{1, 1, 1, 1};
        EXPECT_EQ(strokeBounds(r.strokes, r.num, &b), r.ok);
        EXPECT_EQ(b.left, r.want.left);
        EXPECT_EQ(b.top, r.want.top);
        EXPECT_EQ(b.right, r.want.right);
        EXPECT_EQ(b.bottom, r.want.bottom);
    }
    for (sw::Handle h : {one, two, many}) release(h);
}

TEST(SysFuncDeleteVeil, ReleasesOnlyPenmateStrokeData) {
    const sw::Handle foreign = makeStrokes({{1, 1, 2}});
    auto own = sw::allocateStrokeData(sw::Owner::Penmate, 2);
    const sw::Handle ptw = createPtw(sw::kNullHandle, 0);
    EXPECT_FALSE(deleteStrokeData(sw::kNullHandle));
    EXPECT_FALSE(deleteStrokeData(foreign));
    EXPECT_FALSE(deleteStrokeData(ptw));  // a PTW record is not stroke data
    EXPECT_NE(sw::resolvePtw(ptw), nullptr);
    EXPECT_TRUE(deleteStrokeData(own.handle));
    EXPECT_FALSE(deleteStrokeData(own.handle));
    freePtw(ptw);
    release(foreign);
}

}  // namespace
}  // namespace penmate
