#include "scribeng/char_geometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace sw::scribeng {
namespace {

// Small kana and their full-size forms (code page 932).
constexpr std::array<std::pair<CharCode, CharCode>, 24> kSmallKana{{
    {0x829F, 0x82A0}, {0x82A1, 0x82A2}, {0x82A3, 0x82A4}, {0x82A5, 0x82A6}, {0x82A7, 0x82A8},  // ぁぃぅぇぉ
    {0x82C1, 0x82C2}, {0x82E1, 0x82E2}, {0x82E3, 0x82E4}, {0x82E5, 0x82E6}, {0x82EC, 0x82ED},  // っゃゅょゎ
    {0x8340, 0x8341}, {0x8342, 0x8343}, {0x8344, 0x8345}, {0x8346, 0x8347}, {0x8348, 0x8349},  // ァィゥェォ
    {0x8362, 0x8363}, {0x8383, 0x8384}, {0x8385, 0x8386}, {0x8387, 0x8388}, {0x838E, 0x838F},  // ッャュョヮ
    {0x8395, 0x834A}, {0x8396, 0x8350},                                                        // ヵヶ
}};

// Along, across: the two axes of a box for a line of the given direction.
Extent extentIn(Direction direction, const Box& box) {
    if (direction == Direction::Horizontal) {
        return {{static_cast<double>(box.left), static_cast<double>(box.right)},
                {static_cast<double>(box.top), static_cast<double>(box.bottom)}};
    }
    return {{static_cast<double>(box.top), static_cast<double>(box.bottom)},
            {static_cast<double>(box.left), static_cast<double>(box.right)}};
}

// Lengths of the blocks of ink along one axis: the stroke intervals merged where they overlap.
std::vector<double> blockLengths(std::span<const Box> boxes, Direction direction) {
    std::vector<Interval> intervals;
    for (const auto& box : boxes) {
        if (!box.empty()) intervals.push_back(extentIn(direction, box).along);
    }
    std::sort(intervals.begin(), intervals.end(),
              [](const Interval& a, const Interval& b) { return a.lo < b.lo; });
    std::vector<double> lengths;
    Interval current;
    for (size_t i = 0; i < intervals.size(); ++i) {
        if (i > 0 && intervals[i].lo <= current.hi) {
            current.hi = std::max(current.hi, intervals[i].hi);
            continue;
        }
        if (i > 0) lengths.push_back(current.length());
        current = intervals[i];
    }
    if (!intervals.empty()) lengths.push_back(current.length());
    return lengths;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// A line at least this long (of the character size) holds more than one character.
constexpr double kLineOfMore = 1.4;

}  // namespace

Extent LineFrame::extentOf(const Box& box) const { return extentIn(direction, box); }

Box LineFrame::frameFor(const Extent& extent) const {
    const double side = std::max(across.length(), 1.0);
    const double centre = (extent.along.lo + extent.along.hi) / 2;
    const Interval along{centre - side / 2, centre + side / 2};
    auto clamp = [](double v) {
        return static_cast<int32_t>(std::clamp(std::lround(v), long{INT32_MIN}, long{INT32_MAX}));
    };
    if (direction == Direction::Horizontal) {
        return {clamp(along.lo), clamp(across.lo), clamp(along.hi), clamp(across.hi)};
    }
    return {clamp(across.lo), clamp(along.lo), clamp(across.hi), clamp(along.hi)};
}

LineFrame frameOfLine(std::span<const Box> strokeBoxes) {
    Box ink;
    int strokes = 0;
    for (const auto& box : strokeBoxes) {
        ink.add(box);
        strokes += box.empty() ? 0 : 1;
    }
    LineFrame line;
    const auto rows = blockLengths(strokeBoxes, Direction::Vertical);
    const auto columns = blockLengths(strokeBoxes, Direction::Horizontal);
    // A line runs downwards when its ink is clearly taller than wide and falls apart into pieces top to
    // bottom (a lone tall character such as 1 or i stays horizontal).
    const auto width = static_cast<double>(ink.width()), height = static_cast<double>(ink.height());
    if (height > 1.3 * width && rows.size() >= 2 &&
        (strokes >= 3 || (strokes == 2 && width >= 0.3 * height))) {
        line.direction = Direction::Vertical;
    }
    const Extent all = line.extentOf(ink);
    line.along = all.along;
    line.across = all.across;
    const double blocks = median(line.direction == Direction::Vertical ? rows : columns);
    line.charSize = std::max({all.across.length(), std::min(blocks, all.along.length()), 1.0});
    return line;
}

MarkKind markKindOf(const LineFrame& line, const Extent& extent, int strokeCount) {
    const double size = line.charSize;
    const double along = extent.along.length() / size;
    const double across = extent.across.length() / size;
    // Place across the line, 0 at its start (top or left) and 1 at its end.
    const double thickness = std::max(line.across.length(), 1.0);
    const double start = (extent.across.lo - line.across.lo) / thickness;
    const double centre = ((extent.across.lo + extent.across.hi) / 2 - line.across.lo) / thickness;
    // A line of one character has no place to compare with: only its size counts.
    const bool lineOfMore =
        line.across.length() > extent.across.length() * 1.15 && line.along.length() >= kLineOfMore * size;
    if (strokeCount <= 2 && std::max(along, across) <= 0.3 && (!lineOfMore || centre >= 0.72)) {
        return MarkKind::Dot;
    }
    if (strokeCount == 1 && across <= 0.22 && along >= 0.4 && centre > 0.25 && centre < 0.75) {
        return MarkKind::LongVowel;
    }
    // Small kana begin a good way into the line and sit towards its end (low, or right); the smaller they
    // are, the less far in they need to sit.
    const bool smallSize = along <= 0.85 && across <= 0.85 && std::min(along, across) >= 0.2;
    const bool smallPlace = (start >= 0.3 && centre >= 0.55) || (start >= 0.18 && centre >= 0.6) ||
                            (along <= 0.75 && across <= 0.75 && start >= 0.1 && centre >= 0.55);
    if (lineOfMore && smallSize && smallPlace) return MarkKind::Small;
    if (!lineOfMore || across >= 0.85 || start <= 0.08) return MarkKind::Full;
    return MarkKind::None;
}

std::optional<CharCode> smallFormOf(CharCode code) {
    for (auto [small, full] : kSmallKana) {
        if (full == code) return small;
    }
    return std::nullopt;
}

std::optional<CharCode> fullFormOf(CharCode code) {
    for (auto [small, full] : kSmallKana) {
        if (small == code) return full;
    }
    return std::nullopt;
}

CharCode dotMarkOf(std::span<const Stroke> strokes) {
    if (strokes.size() != 1 || strokes.front().size() < 4) return kIdeographicComma;
    const Stroke& s = strokes.front();
    const Box box = boundsOf(s);
    const double size =
        std::max<double>({static_cast<double>(box.width()), static_cast<double>(box.height()), 1.0});
    const double closing = std::hypot(static_cast<double>(s.front().x) - s.back().x,
                                      static_cast<double>(s.front().y) - s.back().y);
    // A loop: ends close together and a round box (a comma is a short slanted tick).
    const double aspect = static_cast<double>(std::min(box.width(), box.height())) / size;
    return closing < 0.45 * size && aspect > 0.5 ? kIdeographicStop : kIdeographicComma;
}

}  // namespace sw::scribeng
