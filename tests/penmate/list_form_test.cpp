#include "penmate/list_form.h"

#include <gtest/gtest.h>

#include <span>

#include "penmate/pattern_records.h"
#include "test_support.h"

namespace penmate {
namespace {

using test::makeStrokes;
using test::release;
using test::VectorLines;

TEST(ListForm, PointLineIsFlagUnsignedThenSignedCoordinates) {
    EXPECT_EQ(pointLine({-5, 12, 4, 0}), "4 -5 12");
    EXPECT_EQ(pointLine({-32768, 32767, 255, 0}), "255 -32768 32767");
    EXPECT_EQ(pointLine({0, 0, 0, 9}), "0 0 0");  // padding never shows
    EXPECT_EQ(countLine(0), "0");
    EXPECT_EQ(countLine(-12), "-12");
}

TEST(ListForm, ParsesLikeScanfDecimal) {
    struct Row {
        const char* line;
        std::optional<int32_t> want;
    };
    const Row rows[] = {
        {"7", 7},
        {"  \t7", 7},
        {"+7", 7},
        {"-0", 0},
        {"12abc", 12},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"+-3", std::nullopt},
        {"- 3", std::nullopt},
        {"+", std::nullopt},
    };
    for (const Row& r : rows) EXPECT_EQ(parseCountLine(r.line), r.want) << '"' << r.line << '"';
}

TEST(ListForm, PointLineKeepsLowBits) {
    struct Row {
        const char* line;
        bool ok;
        sw::PtwPoint want;
    };
    const Row rows[] = {
        {"4 -5 12", true, {-5, 12, 4, 0}},
        {"260 70000 -1", true, {4464, -1, 4, 0}},
        {"-1 32768 65535", true, {-32768, -1, 255, 0}},
        {"1-2-3", true, {-2, -3, 1, 0}},  // "%d %d %d" needs no blank before a sign
        {" 2  3\t4 trailing", true, {3, 4, 2, 0}},
        {"4 5", false, {}},
        {"4 x 5", false, {}},
        {"4 5 99999999999", false, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        const auto p = parsePointLine(r.line);
        ASSERT_EQ(p.has_value(), r.ok);
        if (!p) continue;
        EXPECT_EQ(p->X, r.want.X);
        EXPECT_EQ(p->Y, r.want.Y);
        EXPECT_EQ(p->Flag, r.want.Flag);
    }
}

TEST(ListInPTW, SeveralBlocksRoundTrip) {
    const sw::Handle strokes =
        makeStrokes({{1, 2, 2}, {70000, -3, 0}, {5, 6, 4}, {-40000, 40000, 255}, {0, 9, 260}});
    const sw::Handle first = createPtw(strokes, 3);
    const sw::Handle empty = createPtw(sw::kNullHandle, 0);
    const sw::Handle second = createPtw(strokes, 5);
    VectorLines list;
    list.lines = {"unrelated line"};
    for (sw::Handle h : {first, empty, second}) ASSERT_TRUE(listInPtw(h, list));
    ASSERT_EQ(list.lines.size(), 1u + 4 + 1 + 6);
    EXPECT_EQ(list.lines[1], "3");
    EXPECT_EQ(list.lines[3], "0 4464 -3");
    EXPECT_EQ(list.lines[5], "0");
    EXPECT_EQ(list.lines[10], "255 25536 -25536");

    int32_t index = 1;
    for (sw::Handle original : {first, empty, second}) {
        const sw::Handle copy = listOutPtw(list, index);
        ASSERT_NE(copy, sw::kNullHandle);
        std::span<const sw::PtwPoint> want, got;
        ASSERT_TRUE(sw::ptwPoints(original, &want));
        ASSERT_TRUE(sw::ptwPoints(copy, &got));
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].X, want[i].X);
            EXPECT_EQ(got[i].Y, want[i].Y);
            EXPECT_EQ(got[i].Flag, want[i].Flag);
        }
        if (got.empty()) {
            EXPECT_EQ(sw::resolvePtw(copy)->Points, sw::kNullHandle);
        }
        index += static_cast<int32_t>(got.size()) + 1;
        EXPECT_TRUE(freePtw(copy));
    }
    for (sw::Handle h : {first, empty, second}) freePtw(h);
    release(strokes);
}

TEST(ListInPTW, RefusesBadRecordsAppendingNothing) {
    auto shortArray = sw::allocatePtw(sw::Owner::Quillbox, 2);
    shortArray.record->PointNum = 3;  // claims more points than its array holds
    auto negative = sw::allocatePtw(sw::Owner::Quillbox, 0);
    negative.record->PointNum = -1;
    const sw::Handle strokes = makeStrokes({{1, 1, 2}});
    const sw::Handle stale = createPtw(sw::kNullHandle, 0);
    freePtw(stale);

    VectorLines list;
    for (sw::Handle h : {sw::kNullHandle, shortArray.handle, negative.handle, strokes, stale})
        EXPECT_FALSE(listInPtw(h, list)) << h;
    EXPECT_TRUE(list.lines.empty());

    shortArray.record->PointNum = 2;  // another component's well-formed PTW is read
    EXPECT_TRUE(listInPtw(shortArray.handle, list));
    EXPECT_EQ(list.lines.size(), 3u);

    VectorLines full;
    full.refuseAfter = 1;
    EXPECT_FALSE(listInPtw(shortArray.handle, full));

    negative.record->PointNum = 0;
    sw::freePtw(negative.handle, sw::Owner::Quillbox);
    sw::freePtw(shortArray.handle, sw::Owner::Quillbox);
    release(strokes);
}

TEST(ListOutPTW, RefusesBrokenBlocksAllocatingNothing) {
    struct Row {
        const char* name;
        std::vector<std::string> lines;
        int32_t index;
    };
    const Row rows[] = {
        {"index -1", {"0"}, -1},
        {"index = count", {"0"}, 1},
        {"empty list", {}, 0},
        {"count line not a number", {"x", "4 1 1"}, 0},
        {"negative count", {"-1", "4 1 1"}, 0},
        {"fewer lines than counted", {"3", "2 1 1", "4 2 2"}, 0},
        {"point line short", {"2", "2 1 1", "4 2"}, 0},
        {"point line not numbers", {"1", "pen up"}, 0},
        {"count line over 79 bytes", {"1" + std::string(79, ' '), "4 1 1"}, 0},
        {"point line over 79 bytes", {"1", "4 1 1" + std::string(75, ' ')}, 0},
        {"count out of 32 bits", {"99999999999", "4 1 1"}, 0},
    };
    const size_t before = sw::liveBlockCount();
    for (const Row& r : rows) {
        VectorLines list;
        list.lines = r.lines;
        EXPECT_EQ(listOutPtw(list, r.index), sw::kNullHandle) << r.name;
    }
    EXPECT_EQ(sw::liveBlockCount(), before);

    VectorLines longest;  // 79 bytes still fit the buffer
    longest.lines = {"1", "4 1 1" + std::string(74, ' ')};
    const sw::Handle ok = listOutPtw(longest, 0);
    EXPECT_NE(ok, sw::kNullHandle);
    freePtw(ok);
}

}  // namespace
}  // namespace penmate
