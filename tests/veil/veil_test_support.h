// Helpers of the overlay's tests.
#pragma once

#include <QPoint>
#include <QRect>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

#include "veil/ink_layer.h"

namespace sw::veil::test {

// `count` points evenly from `from` to `to` (count >= 2), marked as one finished stroke.
inline std::vector<VeilPoint> line(QPoint from, QPoint to, int count, int16_t width, int32_t color) {
    std::vector<VeilPoint> points;
    for (int i = 0; i < count; ++i) {
        const QPoint p = from + (to - from) * i / (count - 1);
        points.push_back(VeilPoint{p.x(), p.y(), kStateMove, width, color});
    }
    points.front().State = kStateFirst;
    points.back().State = kStateLast;
    return points;
}

struct RecordingListener final : VeilListener {
    std::vector<std::pair<Handle, int32_t>> patterns;
    std::vector<QRect> areas;
    std::vector<std::tuple<uint32_t, uint32_t, int32_t>> forwards;
    std::function<void(Handle, int32_t)> onPattern;

    void patternSelected(Handle data, int32_t count) override {
        patterns.emplace_back(data, count);
        if (onPattern) onPattern(data, count);
    }
    void areaChanged(const QRect& area) override { areas.push_back(area); }
    void mouseForward(uint32_t msg, uint32_t wParam, int32_t lParam) override {
        forwards.emplace_back(msg, wParam, lParam);
    }
};

}  // namespace sw::veil::test
