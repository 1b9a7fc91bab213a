#include "veiladd/veiladd_methods.h"

#include <QObject>
#include <algorithm>

#include "platform/window/listbox.h"
#include "platform/window/window.h"

namespace sw::veiladd {
namespace {

// The points of stroke data passed in, or an empty span when the handle is refused or the count is ≤ 0.
std::span<VeilPoint> strokeData(Handle data, int32_t count) noexcept {
    if (data == kNullHandle || count <= 0) return {};
    VeilPoint* points = resolveStrokeData(data, count);
    if (!points) return {};
    return {points, static_cast<size_t>(count)};
}

}  // namespace

bool DeletePattern(Handle Data1, int32_t Data1Num, Handle Data2, int32_t Data2Num, int32_t& ResultData,
                   int32_t& ResultDataNum) noexcept {
    ResultData = kNullHandle;
    ResultDataNum = 0;
    const std::span<const VeilPoint> drawing = strokeData(Data1, Data1Num);
    const std::span<const VeilPoint> pattern = strokeData(Data2, Data2Num);
    if (drawing.empty() || pattern.empty()) return false;
    const Allocation<VeilPoint> result = allocateStrokeData(Owner::Veiladd, Data1Num);
    if (!result) return false;
    const size_t n = deletePattern(drawing, pattern, {result.data, drawing.size()});
    ResultData = result.handle;
    ResultDataNum = static_cast<int32_t>(n);
    return true;
}

void FreePatternData(Handle Data) noexcept {
    if (Data != kNullHandle) freeBlock(Data, Owner::Veiladd);
}

bool GetVeilRect(Handle Data, int32_t DataNum, VeilRect& rect) noexcept {
    rect = VeilRect{};
    const std::span<const VeilPoint> points = strokeData(Data, DataNum);
    if (points.empty()) return false;
    rect = veilRect(points);
    return true;
}

bool MoveVeil(Handle Data, int32_t DataNum, int32_t Left, int32_t Top) noexcept {
    const std::span<VeilPoint> points = strokeData(Data, DataNum);
    if (points.empty()) return false;
    moveVeil(points, Left, Top);
    return true;
}

bool VeilListBoxIn(ListHandle ListhWnd, Handle Data, int32_t DataNum) noexcept {
    const std::span<const VeilPoint> points = strokeData(Data, DataNum);
    if (points.empty() || !qobject_cast<win::ListBox*>(win::widgetOf(ListhWnd))) return false;
    try {
        char line[kPointLineBuffer];
        for (const VeilPoint& p : points) {
            formatPointLine(p, line);
            if (win::sendMessage(ListhWnd, win::LB_ADDSTRING, 0, reinterpret_cast<intptr_t>(line)) < 0)
                return false;
        }
    } catch (...) {
        return false;
    }
    return true;
}

bool VeilListBoxOut(ListHandle ListhWnd, int32_t& Data, int32_t& DataNum) noexcept {
    Data = kNullHandle;
    DataNum = 0;
    Allocation<VeilPoint> result;
    try {
        const win::LResult count = win::sendMessage(ListhWnd, win::LB_GETCOUNT, 0, 0);
        if (count <= 0) return false;
        result = allocateStrokeData(Owner::Veiladd, count);
        if (!result) return false;
        char line[kPointLineBuffer];
        for (int32_t i = 0; i < count; ++i) {
            // A line that does not fit the buffer is refused, never cut and parsed in part.
            const auto index = static_cast<win::WParam>(i);
            if (win::sendMessage(ListhWnd, win::LB_GETTEXTLEN, index, 0) >=
                static_cast<win::LResult>(kPointLineBuffer)) {
                freeBlock(result.handle, Owner::Veiladd);
                return false;
            }
            // A bad index (LB_ERR) reads as an empty line.
            const win::LResult length = win::getTextBounded(ListhWnd, i, line, sizeof line);
            const size_t bytes = length > 0 ? static_cast<size_t>(length) : 0;
            result.data[i] = parsePointLine({line, std::min(bytes, sizeof line - 1)});
        }
        Data = result.handle;
        DataNum = count;
        return true;
    } catch (...) {
        if (result) freeBlock(result.handle, Owner::Veiladd);
        return false;
    }
}

bool GetPtwRect(Handle ptw, VeilRect& rect) noexcept {
    rect = VeilRect{};
    const PTW* record = ptw == kNullHandle ? nullptr : resolvePtw(ptw);
    if (!record || record->PointNum == 0) return false;
    if (record->PointNum < 0) return true;
    const PtwPoint* points = resolvePtwPoints(record->Points, record->PointNum);
    if (!points) return false;
    rect = ptwRect({points, static_cast<size_t>(record->PointNum)});
    return true;
}

}  // namespace sw::veiladd
