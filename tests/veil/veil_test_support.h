// Helpers of the overlay's tests.
#pragma once

#include <QPoint>
#include <QRect>
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

// Records the areas of AreaChanged; the other events are not raised by the layer's own changes.
struct RecordingListener final : VeilListener {
    std::vector<QRect> areas;
    void patternSelected(Handle, int32_t) override {}
    void areaChanged(const QRect& area) override { areas.push_back(area); }
    void mouseForward(uint32_t, uint32_t, int32_t) override {}
};

}  // namespace sw::veil::test
