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

// The blocks of ink of a line of the given direction: the strokes merged where they overlap along it, in
// order along the line, each with its extent across.
std::vector<Extent> blocksOf(std::span<const Box> boxes, Direction direction) {
    std::vector<Extent> extents;
    for (const auto& box : boxes) {
        if (!box.empty()) extents.push_back(extentIn(direction, box));
    }
    std::sort(extents.begin(), extents.end(),
              [](const Extent& a, const Extent& b) { return a.along.lo < b.along.lo; });
    std::vector<Extent> blocks;
    for (const auto& e : extents) {
        if (!blocks.empty() && e.along.lo <= blocks.back().along.hi) {
            Extent& b = blocks.back();
            b.along.hi = std::max(b.along.hi, e.along.hi);
            b.across = {std::min(b.across.lo, e.across.lo), std::max(b.across.hi, e.across.hi)};
            continue;
        }
        blocks.push_back(e);
    }
    return blocks;
}

std::vector<double> lengthsOf(const std::vector<Extent>& blocks) {
    std::vector<double> lengths;
    lengths.reserve(blocks.size());
    for (const auto& b : blocks) lengths.push_back(b.along.length());
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
// A block of ink at most this long (of the line's thickness) is taken for one character when estimating the
// character size: longer ones are characters written together.
constexpr double kOneCharacterBlock = 1.4;
// Blocks at least this large (of the character size) are full-size characters for placing the band.
constexpr double kFullBlock = 0.85;

double middleOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

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
    const auto rows = blocksOf(strokeBoxes, Direction::Vertical);
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
    const auto blocks = line.direction == Direction::Vertical ? rows : blocksOf(strokeBoxes, line.direction);
    const double thickness = std::max(all.across.length(), 1.0);
    // The thickness alone underestimates the size where every full-size character is narrow across the line
    // (and a small kana beside them then seems to fill the line): a block of one character's length counts.
    double longest = 0;
    for (const auto& b : blocks) {
        if (b.along.length() <= kOneCharacterBlock * thickness) longest = std::max(longest, b.along.length());
    }
    line.charSize = std::max({thickness, std::min(median(lengthsOf(blocks)), all.along.length()), longest});
    // The band lies about the middle of the full-size blocks (a block's size: its extent across, or its
    // length up to a character's), is as thick as a character and never narrower than the ink.
    std::vector<double> centres;
    for (const auto& b : blocks) {
        const double size = std::max(std::min(b.along.length(), line.charSize), b.across.length());
        if (size >= kFullBlock * line.charSize) centres.push_back((b.across.lo + b.across.hi) / 2);
    }
    const double centre = centres.empty() ? (all.across.lo + all.across.hi) / 2 : middleOf(centres);
    line.band = {std::min(all.across.lo, centre - line.charSize / 2),
                 std::max(all.across.hi, centre + line.charSize / 2)};
    return line;
}

MarkKind markKindOf(const LineFrame& line, const Extent& extent, int strokeCount) {
    const double size = line.charSize;
    const double along = extent.along.length() / size;
    const double across = extent.across.length() / size;
    // Place across the band of full-size characters, 0 at its start (top or left) and 1 at its end.
    const double thickness = std::max(line.band.length(), 1.0);
    const double start = (extent.across.lo - line.band.lo) / thickness;
    const double centre = ((extent.across.lo + extent.across.hi) / 2 - line.band.lo) / thickness;
    // A line of one character has no place to compare with: only its size counts.
    const bool lineOfMore =
        line.band.length() > extent.across.length() * 1.15 && line.along.length() >= kLineOfMore * size;
    // 、 and 。 need a line to be placed in: in a lone character a short dot or flick is part of it.
    if (strokeCount <= 2 && std::max(along, across) <= 0.3 && lineOfMore && centre >= 0.72) {
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
