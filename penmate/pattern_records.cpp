#include "penmate/pattern_records.h"

#include <algorithm>
#include <limits>

namespace penmate {

sw::PtwPoint toPtwPoint(const sw::VeilPoint& point) noexcept {
    sw::PtwPoint p{};
    p.X = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(point.X)));
    p.Y = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(point.Y)));
    p.Flag = static_cast<uint8_t>(static_cast<uint16_t>(point.State));
    return p;
}

sw::PtwAllocation allocatePattern(int64_t pointNum) noexcept {
    if (pointNum < 0 || pointNum > std::numeric_limits<int32_t>::max()) return {};
    if (pointNum > 0) return sw::allocatePtw(sw::Owner::Penmate, pointNum);
    void* address = nullptr;
    const Handle record =
        sw::allocateBlock(sw::Owner::Penmate, sw::BlockKind::Ptw, sizeof(sw::PTW), 1, &address);
    if (record == sw::kNullHandle) return {};
    auto* ptw = static_cast<sw::PTW*>(address);
    ptw->Points = sw::kNullHandle;
    ptw->PointNum = 0;
    return {record, ptw, nullptr};
}

Handle createPtw(Handle strokeData, int32_t num) noexcept {
    const int32_t count = std::max(num, 0);
    const sw::VeilPoint* source = nullptr;
    if (count > 0) {
        source = sw::resolveStrokeData(strokeData, count);
        if (!source) return sw::kNullHandle;
    }
    const sw::PtwAllocation pattern = allocatePattern(count);
    if (!pattern) return sw::kNullHandle;
    for (int32_t i = 0; i < count; ++i) pattern.points[i] = toPtwPoint(source[i]);
    return pattern.handle;
}

bool freePtw(Handle ptw) noexcept { return ptw != sw::kNullHandle && sw::freePtw(ptw, sw::Owner::Penmate); }

int32_t strokeValue(Handle strokeData, int32_t index, int32_t type) noexcept {
    if (index < 0 || type < kFieldX || type > kFieldWidth) return 0;
    const sw::VeilPoint* points = sw::resolveStrokeData(strokeData, int64_t{index} + 1);
    if (!points) return 0;
    const sw::VeilPoint& p = points[index];
    switch (type) {
        case kFieldX:
            return p.X;
        case kFieldY:
            return p.Y;
        case kFieldState:
            return p.State;
        case kFieldColor:
            return p.Color;
        case kFieldWidth:
            return p.Width;
        default:
            return 0;
    }
}

bool strokeBounds(Handle strokeData, int32_t num, Bounds* bounds) noexcept {
    Bounds b;
    const sw::VeilPoint* points = num > 0 ? sw::resolveStrokeData(strokeData, num) : nullptr;
    if (points) {
        b = {points[0].X, points[0].Y, points[0].X, points[0].Y};
        for (int32_t i = 1; i < num; ++i) {
            b.left = std::min(b.left, points[i].X);
            b.top = std::min(b.top, points[i].Y);
            b.right = std::max(b.right, points[i].X);
            b.bottom = std::max(b.bottom, points[i].Y);
        }
    }
    if (bounds) *bounds = b;
    return points != nullptr;
}

bool deleteStrokeData(Handle strokeData) noexcept {
    sw::BlockInfo info;
    if (!sw::lookupBlock(strokeData, &info) || info.kind != sw::BlockKind::StrokeData ||
        info.owner != sw::Owner::Penmate)
        return false;
    return sw::freeBlock(strokeData, sw::Owner::Penmate);
}

}  // namespace penmate
