// Small geometry shared by the engine's parts. Coordinates are canvas pixels; rectangles are inclusive of
// their right and bottom edge (a one-point stroke has left == right).
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "contracts/scribeng.h"

namespace sw::scribeng {

using Stroke = std::vector<EnginePoint>;

struct Box {
    int32_t left = 0, top = 0, right = -1, bottom = -1;  // empty by default

    bool empty() const { return right < left || bottom < top; }
    int64_t width() const { return empty() ? 0 : int64_t{right} - left; }
    int64_t height() const { return empty() ? 0 : int64_t{bottom} - top; }
    void add(int32_t x, int32_t y) {
        if (empty()) {
            *this = {x, y, x, y};
            return;
        }
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
    void add(const Box& other) {
        if (other.empty()) return;
        add(other.left, other.top);
        add(other.right, other.bottom);
    }
};

inline Box boundsOf(std::span<const EnginePoint> points) {
    Box box;
    for (const auto& p : points) box.add(p.x, p.y);
    return box;
}

inline Box boundsOf(std::span<const Stroke> strokes) {
    Box box;
    for (const auto& s : strokes) box.add(boundsOf(s));
    return box;
}

// A character: the strokes first..last (inclusive) in writing order.
struct CharRun {
    int32_t first = 0;
    int32_t last = -1;
    bool operator==(const CharRun&) const = default;
};

}  // namespace sw::scribeng
