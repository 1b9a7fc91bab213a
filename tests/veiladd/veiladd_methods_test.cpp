#include "veiladd/veiladd_methods.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/listbox.h"
#include "stroke_cases.h"

namespace sw::veiladd {
namespace {

using namespace testing_data;

const VeilRect kStartRect{INT32_MAX, INT32_MAX, 0, 0};

const std::vector<VeilPoint> kStroke = {{10, 10, 2, 3, 255}, {-5, 20, 0, 3, 255}, {30, -7, 4, 3, 255}};

// Handles that every method must refuse, with the count that goes with them.
struct BadInput {
    const char* name;
    Handle handle;
    int32_t count;
};

std::vector<BadInput> badInputs(const Strokes& good, Handle freed, Handle ptw) {
    return {
        {"null handle", kNullHandle, good.count},
        {"zero count", good.block.handle, 0},
        {"negative count", good.block.handle, -1},
        {"unknown handle", 0x7FFFFFF0, good.count},
        {"freed handle", freed, 1},
        {"count beyond the block", good.block.handle, good.count + 1},
        {"PTW record instead of stroke data", ptw, 1},
    };
}

class VeiladdMethods : public testing::Test {
protected:
    static void SetUpTestSuite() { ensureApplication(); }

    void SetUp() override {
        freed = allocateStrokeData(Owner::Test, 4).handle;
        freeBlock(freed, Owner::Test);
        ptw = allocatePtw(Owner::Test, 3);
    }
    void TearDown() override { freePtw(ptw.handle, Owner::Test); }

    Strokes good{kStroke};
    Handle freed = kNullHandle;
    PtwAllocation ptw;
};

TEST_F(VeiladdMethods, EveryStrokeDataMethodRefusesBadHandlesAndCounts) {
    win::ListBox list;
    const size_t blocksBefore = liveBlockCount();
    for (const BadInput& bad : badInputs(good, freed, ptw.handle)) {
        SCOPED_TRACE(bad.name);
        int32_t result = -1;
        int32_t resultNum = -1;
        EXPECT_FALSE(DeletePattern(bad.handle, bad.count, good.block.handle, good.count, result, resultNum));
        EXPECT_EQ(result, 0);
        EXPECT_EQ(resultNum, 0);
        result = resultNum = -1;
        EXPECT_FALSE(DeletePattern(good.block.handle, good.count, bad.handle, bad.count, result, resultNum));
        EXPECT_EQ(result, 0);
        EXPECT_EQ(resultNum, 0);

        VeilRect rect{1, 2, 3, 4};
        EXPECT_FALSE(GetVeilRect(bad.handle, bad.count, rect));
        EXPECT_EQ(rect, kStartRect);
        EXPECT_FALSE(MoveVeil(bad.handle, bad.count, 5, 5));
        EXPECT_FALSE(VeilListBoxIn(list.handle(), bad.handle, bad.count));
    }
    EXPECT_EQ(liveBlockCount(), blocksBefore) << "a refused call allocates nothing";
    EXPECT_EQ(good.block.data[0].X, 10) << "MoveVeil changed nothing";
    EXPECT_EQ(list.count(), 0) << "VeilListBoxIn left the list box alone";
}

TEST_F(VeiladdMethods, ResultArraysBelongToVeiladdAndOnlyFreePatternDataReleasesThem) {
    int32_t result = 0;
    int32_t resultNum = -1;
    ASSERT_TRUE(
        DeletePattern(good.block.handle, good.count, good.block.handle, good.count, result, resultNum));
    EXPECT_EQ(resultNum, 0);
    ASSERT_NE(result, 0) << "the array is returned even when it holds no point";
    BlockInfo info;
    ASSERT_TRUE(lookupBlock(result, &info));
    EXPECT_EQ(info.owner, Owner::Veiladd);
    EXPECT_FALSE(freeBlock(result, Owner::Penmate));

    FreePatternData(good.block.handle);  // another component's array: ignored
    EXPECT_NE(resolveStrokeData(good.block.handle, good.count), nullptr);
    FreePatternData(0);
    FreePatternData(result);
    EXPECT_FALSE(lookupBlock(result, nullptr));
    FreePatternData(result);  // a second release is ignored
}

TEST_F(VeiladdMethods, GetPtwRectRefusesRecordsItCannotRead) {
    ptw.points[0] = {-3, 4, 0, 0};
    ptw.points[1] = {8, -2, 0, 0};
    ptw.points[2] = {1, 1, 4, 0};
    VeilRect rect;
    ASSERT_TRUE(GetPtwRect(ptw.handle, rect));
    EXPECT_EQ(rect, (VeilRect{-3, -2, 8, 4}));

    struct Row {
        const char* name;
        Handle handle;
        int32_t pointNum;
        bool expected;
    };
    const Row rows[] = {
        {"null record", kNullHandle, 3, false},
        {"stroke data instead of a record", good.block.handle, 3, false},
        {"PointNum 0", ptw.handle, 0, false},
        {"negative PointNum reads nothing", ptw.handle, -2, true},
        {"PointNum beyond the point array", ptw.handle, 4, false},
    };
    for (const Row& row : rows) {
        ptw.record->PointNum = row.pointNum;
        rect = VeilRect{1, 2, 3, 4};
        EXPECT_EQ(GetPtwRect(row.handle, rect), row.expected) << row.name;
        EXPECT_EQ(rect, kStartRect) << row.name;
    }
    ptw.record->PointNum = 3;
    const Handle points = ptw.record->Points;
    ptw.record->Points = freed;
    EXPECT_FALSE(GetPtwRect(ptw.handle, rect)) << "released point array";
    ptw.record->Points = points;
}

TEST_F(VeiladdMethods, ListBoxLinesAreAppendedAndReadBackThroughTheBoundedBuffer) {
    win::ListBox list;
    list.addLineCp932("first line stays");
    ASSERT_TRUE(VeilListBoxIn(list.handle(), good.block.handle, good.count));
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.lineCp932(1), "255 2 3 10 10");
    EXPECT_EQ(list.lineCp932(3), "255 4 3 30 -7");

    list.addLineCp932("7 8 9 10" + std::string(69, ' ') + "11");  // 79 bytes: read whole
    list.addLineCp932("\x82\xa0 1 2 3 4");                        // not a number first
    int32_t data = 0;
    int32_t dataNum = 0;
    ASSERT_TRUE(VeilListBoxOut(list.handle(), data, dataNum));
    ASSERT_EQ(dataNum, 6);
    const VeilPoint* points = resolveStrokeData(data, dataNum);
    ASSERT_NE(points, nullptr);
    EXPECT_EQ(points[0].Color, 0) << "a line without numbers is the zero point";
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(points[1 + k].X, kStroke[k].X);
        EXPECT_EQ(points[1 + k].Y, kStroke[k].Y);
        EXPECT_EQ(points[1 + k].State, kStroke[k].State);
    }
    EXPECT_EQ(points[4].Y, 11);
    EXPECT_EQ(points[5].Color, 0);
    EXPECT_EQ(points[5].X, 0);
    FreePatternData(data);
}

// A line of 80 bytes or more was cut at 79 and its remains parsed: Y -4567 came back as -45.
TEST_F(VeiladdMethods, ListBoxOutRefusesALineLongerThanItsBuffer) {
    for (size_t length : {size_t{80}, size_t{200}}) {
        win::ListBox list;
        list.addLineCp932("1 2 3 4 5");
        std::string line = "255 2 3 100 -4567";
        line.insert(0, length - line.size(), ' ');
        list.addLineCp932(line);
        const size_t blocksBefore = liveBlockCount();
        int32_t data = -1;
        int32_t dataNum = -1;
        EXPECT_FALSE(VeilListBoxOut(list.handle(), data, dataNum)) << length;
        EXPECT_EQ(data, 0);
        EXPECT_EQ(dataNum, 0);
        EXPECT_EQ(liveBlockCount(), blocksBefore) << "nothing stays allocated";
    }
}

TEST_F(VeiladdMethods, ListBoxMethodsRefuseWindowsThatAreNotListBoxes) {
    QWidget plain;
    const win::HWnd plainHandle = win::handleOf(&plain);
    EXPECT_FALSE(VeilListBoxIn(plainHandle, good.block.handle, good.count));
    EXPECT_FALSE(VeilListBoxIn(0, good.block.handle, good.count));

    win::ListBox empty;
    for (win::HWnd handle : {plainHandle, 0, empty.handle()}) {
        int32_t data = -1;
        int32_t dataNum = -1;
        EXPECT_FALSE(VeilListBoxOut(handle, data, dataNum));
        EXPECT_EQ(data, 0);
        EXPECT_EQ(dataNum, 0);
    }
}

}  // namespace
}  // namespace sw::veiladd
