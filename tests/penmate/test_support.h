// Helpers shared by the Penmate tests: stroke data owned by another component, and lines in memory.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "penmate/list_form.h"
#include "records/handle_table.h"

namespace penmate::test {

struct Point {
    int32_t x;
    int32_t y;
    int16_t state;
    int16_t width = 2;
    int32_t color = 0x00FFFFFF;
};

// Stroke data as the overlay would hand it over: a StrokeData block owned by Veil. Release with release().
inline sw::Handle makeStrokes(std::initializer_list<Point> points) {
    auto block = sw::allocateStrokeData(sw::Owner::Veil, static_cast<int64_t>(points.size()));
    int i = 0;
    for (const Point& p : points) block.data[i++] = {p.x, p.y, p.state, p.width, p.color};
    return block.handle;
}

inline void release(sw::Handle strokes) { sw::freeBlock(strokes, sw::Owner::Veil); }

// Lines in memory, standing in for a list box in unit tests of the text form.
class VectorLines final : public LineSource, public LineSink {
public:
    std::vector<std::string> lines;
    int refuseAfter = -1;  // addLine fails once this many lines are held (-1: never)

    int32_t lineCount() const override { return static_cast<int32_t>(lines.size()); }
    std::optional<std::string> line(int32_t index) const override {
        if (index < 0 || index >= lineCount() || lines[index].size() >= kListLineBuffer) return std::nullopt;
        return lines[index];
    }
    bool addLine(std::string_view line) override {
        if (refuseAfter >= 0 && static_cast<int>(lines.size()) >= refuseAfter) return false;
        lines.emplace_back(line);
        return true;
    }
};

}  // namespace penmate::test
