#include "records/handle_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace sw {
namespace {

TEST(HandleTable, RegisteredBlockResolvesOnlyForItsKindAndSize) {
    std::vector<VeilPoint> points(3);
    const Handle h =
        registerBlock(points.data(), points.size() * sizeof(VeilPoint), Owner::Veil, BlockKind::StrokeData);
    ASSERT_NE(h, kNullHandle);
    EXPECT_EQ(resolveStrokeData(h, 3), points.data());
    EXPECT_EQ(resolveStrokeData(h, 0), points.data());
    EXPECT_EQ(resolveStrokeData(h, 4), nullptr) << "a count larger than the block";
    EXPECT_EQ(resolveStrokeData(h, -1), nullptr) << "a negative count";
    EXPECT_EQ(resolvePtw(h), nullptr) << "wrong kind";
    EXPECT_EQ(blockElementCount(h, BlockKind::StrokeData, sizeof(VeilPoint)), 3);
    EXPECT_FALSE(unregisterBlock(h, Owner::Veiladd)) << "only the owner releases";
    EXPECT_NE(resolveStrokeData(h, 3), nullptr);
    EXPECT_FALSE(freeBlock(h, Owner::Veil)) << "the table never frees memory it did not allocate";
    EXPECT_TRUE(unregisterBlock(h, Owner::Veil));
    EXPECT_EQ(resolveStrokeData(h, 1), nullptr) << "a released handle resolves to nothing";
    EXPECT_FALSE(unregisterBlock(h, Owner::Veil));
}

TEST(HandleTable, NullUnknownAndStaleHandlesResolveToNothing) {
    EXPECT_EQ(resolve(kNullHandle, BlockKind::StrokeData, 0), nullptr);
    EXPECT_EQ(resolve(0x7FFFFFF0, BlockKind::StrokeData, 0), nullptr);
    EXPECT_EQ(resolve(-5, BlockKind::Ptw, 0), nullptr);
    const Handle h = allocateStrokeData(Owner::Penmate, 2).handle;
    ASSERT_NE(h, kNullHandle);
    ASSERT_TRUE(freeBlock(h, Owner::Penmate));
    EXPECT_EQ(resolveStrokeData(h, 0), nullptr);
    EXPECT_FALSE(freeBlock(h, Owner::Penmate)) << "double free is refused";
}

TEST(HandleTable, HandlesAreNotReusedWhileLive) {
    std::vector<Handle> handles;
    for (int i = 0; i < 1000; ++i) handles.push_back(allocateStrokeData(Owner::Test, 1).handle);
    for (size_t i = 0; i < handles.size(); i += 2) ASSERT_TRUE(freeBlock(handles[i], Owner::Test));
    for (int i = 0; i < 1000; ++i) {
        const Handle h = allocateStrokeData(Owner::Test, 1).handle;
        for (size_t j = 1; j < handles.size(); j += 2) ASSERT_NE(h, handles[j]);
        ASSERT_TRUE(freeBlock(h, Owner::Test));
    }
    for (size_t i = 1; i < handles.size(); i += 2) ASSERT_TRUE(freeBlock(handles[i], Owner::Test));
}

TEST(HandleTable, AllocationRefusesBadCountsAndZeroesMemory) {
    EXPECT_FALSE(allocateStrokeData(Owner::Test, -1));
    EXPECT_FALSE(allocateStrokeData(Owner::Test, int64_t{1} << 40));
    auto empty = allocateStrokeData(Owner::Test, 0);
    ASSERT_TRUE(empty);
    EXPECT_NE(resolveStrokeData(empty.handle, 0), nullptr);
    EXPECT_EQ(resolveStrokeData(empty.handle, 1), nullptr);
    EXPECT_TRUE(freeBlock(empty.handle, Owner::Test));

    auto some = allocateStrokeData(Owner::Test, 4);
    ASSERT_TRUE(some);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(some.data[i].X | some.data[i].State | some.data[i].Color, 0);
    EXPECT_TRUE(freeBlock(some.handle, Owner::Test));
}

TEST(HandleTable, PtwIsTwoBlocksFreedTogetherByItsOwner) {
    const size_t before = liveBlockCount();
    PtwAllocation ptw = allocatePtw(Owner::Penmate, 3);
    ASSERT_TRUE(ptw);
    EXPECT_EQ(liveBlockCount(), before + 2);
    EXPECT_EQ(ptw.record->PointNum, 3);
    EXPECT_EQ(resolvePtwPoints(ptw.record->Points, 3), ptw.points);
    std::span<const PtwPoint> points;
    ASSERT_TRUE(ptwPoints(ptw.handle, &points));
    EXPECT_EQ(points.size(), 3u);

    EXPECT_FALSE(freePtw(ptw.handle, Owner::Engine));
    EXPECT_FALSE(freePtw(ptw.record->Points, Owner::Penmate)) << "the point array is not a PTW";
    EXPECT_TRUE(freePtw(ptw.handle, Owner::Penmate));
    EXPECT_EQ(liveBlockCount(), before);
}

TEST(HandleTable, PtwReadersCheckPointNumAgainstTheArray) {
    PtwAllocation ptw = allocatePtw(Owner::Test, 2);
    ASSERT_TRUE(ptw);
    std::span<const PtwPoint> points;
    ptw.record->PointNum = 3;  // claims more points than its array holds
    EXPECT_FALSE(ptwPoints(ptw.handle, &points));
    ptw.record->PointNum = -1;
    EXPECT_FALSE(ptwPoints(ptw.handle, &points));
    ptw.record->PointNum = 0;
    const Handle array = ptw.record->Points;
    ptw.record->Points = kNullHandle;  // an empty pattern may have no array
    EXPECT_TRUE(ptwPoints(ptw.handle, &points));
    EXPECT_TRUE(points.empty());
    ptw.record->Points = array;
    ptw.record->PointNum = 2;
    EXPECT_TRUE(freePtw(ptw.handle, Owner::Test));
}

}  // namespace
}  // namespace sw
