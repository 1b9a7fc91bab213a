#include "scribeng/char_geometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
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
// A block longer than kTogetherBlock (of the line's thickness) beside blocks of at least kHalfBlock holds
// several characters; beside another block of at least kWholeBlock, so does one longer than kTouchingBlock
// (other writers' tight lines: two characters touching are 1.6 to 2 thicknesses long, while the dot beside
// a tall character, ら, is shorter).
constexpr double kTogetherBlock = 2.0, kHalfBlock = 0.25;
constexpr double kTouchingBlock = 1.6, kWholeBlock = 0.5;
// The lines of one selection are written at one size: a line's blocks say its characters are at most this
// much larger (of the other lines' character size, the middle one) than the other lines' are.
constexpr double kLinesAlike = 1.1;
// Small kana have at most three strokes (ぁ ぉ ゃ ョ ヶ): a run of more, one to spare for a lifted pen, is no
// small kana however small and low it sits (another writer's kanji drawn small, or pieces of two characters).
constexpr int kMostSmallStrokes = 4;
// Blocks at least this large (of the character size) are full-size characters for placing the band.
constexpr double kFullBlock = 0.85;

// A line of at least kThickBlocks blocks at least kThickBlockLength long (of the ink's thickness) takes its
// thickness from theirs, at least kThickShare of the ink's. Other writers' characters wander across the line
// and are shorter along it than the ink is thick (0.6 to 0.7 of it in tight lines at strength 1.5).
constexpr size_t kThickBlocks = 3;
constexpr double kThickShare = 0.8, kThickBlockLength = 0.6;

double middleOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A stroke is at most this long along its line (of the line's thickness): a longer one crosses lines, or the
// band is a piece of a line (the upper strokes of 二 and こ written side by side).
constexpr double kStrokeFit = 2.0;
// A band thinner than this (of the thickest band before joining) is a mark or a piece of a character.
constexpr double kThinBand = 0.35;
// A line at least this long (of its thickness), in at least two blocks, holds more than one character.
constexpr double kSeveralCharacters = 1.6;
// A block of ink along a line this long (of the line's thickness) is a character; at least kSeveralTogether,
// several.
constexpr Interval kCharacterBlock{0.5, 1.6};
constexpr double kSeveralTogether = 2.5;
// A line at least this long (of the thickest line), in at least kLongLineBlocks blocks none longer than a
// character, holds several characters however short its blocks are, where the lines lie at least kLinesApart
// (of the thickest line) apart: another writer's kana and kanji fall apart into pieces each shorter than half
// a character, and two tight characters together fall just short of kSeveralCharacters. The parts of one
// character lying across in bands (the upper stroke of ふ over its dots) sit closer than that.
constexpr double kLongLine = 2.0, kLinesApart = 0.3;
constexpr size_t kLongLineBlocks = 3;
// A single line across the other direction at least this thick (of the thickness of the lines) is those
// lines side by side; a thinner one is a line in which a wide character falls apart into pieces.
constexpr double kStackedLines = 1.8;
// How bands are joined into lines: those closer than lineGap (of the thickest band) are one (lines lie apart,
// the parts of a character close), and a band is measured for the strokes crossing it (kStrokeFit) as at
// least fitShare of the thickest band thick. Lines written close together (another writer's characters
// wander across their line and nearly meet the next one; a last line of 一 and a flat kana is thin) are
// looked for with the close rules where the usual ones find no lines.
struct BandRules {
    double lineGap = 0, fitShare = 0;
};
constexpr BandRules kUsualBands{0.15, 0}, kCloseBands{0.04, 0.5};
// More bands than this before joining is scattered ink (dots, a scribble), read as one line.
constexpr size_t kMaxBands = 256;

// Strokes lying together across the writing direction: a row of a horizontal layout, a column of a vertical
// one.
struct Band {
    Interval across;
    double longest = 0;  // the longest stroke along the band
    std::vector<int32_t> strokes;
};

// The bands of the ink in order across (top to bottom, left to right): strokes merged where they overlap
// across, then every weak band (too thin beside the others, or crossed by a stroke too long for it) joined
// to the nearer neighbour, thinnest first, after bands too close to be lines apart.
std::vector<Band> bandsOf(std::span<const Box> boxes, Direction direction, const BandRules& rules) {
    std::vector<std::pair<Extent, int32_t>> items;
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (!boxes[i].empty()) items.emplace_back(extentIn(direction, boxes[i]), static_cast<int32_t>(i));
    }
    std::sort(items.begin(), items.end(),
              [](const auto& a, const auto& b) { return a.first.across.lo < b.first.across.lo; });
    std::vector<Band> bands;
    for (const auto& [extent, stroke] : items) {
        if (bands.empty() || extent.across.lo > bands.back().across.hi)
            bands.push_back({extent.across, 0, {}});
        Band& band = bands.back();
        band.across.hi = std::max(band.across.hi, extent.across.hi);
        band.longest = std::max(band.longest, extent.along.length());
        band.strokes.push_back(stroke);
    }
    if (bands.size() > kMaxBands) return bands;
    auto weak = [&rules](const Band& band, double thickest) {
        const double thickness = band.across.length();
        return band.longest > kStrokeFit * std::max({thickness, rules.fitShare * thickest, 1.0}) ||
               thickness < kThinBand * thickest;
    };
    // Of the bands as found: joined ones are no measure (joining one thin band would make the next thin).
    double thickest = 0;
    for (const auto& b : bands) thickest = std::max(thickest, b.across.length());
    while (bands.size() > 1) {
        size_t w = bands.size();
        for (size_t i = 0; i < bands.size(); ++i) {
            if (weak(bands[i], thickest) &&
                (w == bands.size() || bands[i].across.length() < bands[w].across.length())) {
                w = i;
            }
        }
        auto gapAfter = [&bands](size_t i) { return bands[i + 1].across.lo - bands[i].across.hi; };
        size_t first = 0;  // the band joined with the one after it
        for (size_t i = 1; i + 1 < bands.size(); ++i) {
            if (gapAfter(i) < gapAfter(first)) first = i;
        }
        if (gapAfter(first) >= rules.lineGap * thickest) {
            if (w == bands.size()) break;
            first = w + 1 == bands.size() || (w > 0 && gapAfter(w - 1) <= gapAfter(w)) ? w - 1 : w;
        }
        Band& a = bands[first];
        const Band& b = bands[first + 1];
        a.across.hi = std::max(a.across.hi, b.across.hi);
        a.longest = std::max(a.longest, b.longest);
        a.strokes.insert(a.strokes.end(), b.strokes.begin(), b.strokes.end());
        bands.erase(bands.begin() + static_cast<std::ptrdiff_t>(first) + 1);
    }
    return bands;
}

// The ink read as lines in one direction.
struct Reading {
    Direction direction = Direction::Horizontal;
    std::vector<Band> lines;
    bool several = false;  // two or more lines, at least one holding several characters
    double thickness = 0;  // of the lines (the middle one)
    // Changes of line in writing order to a later line and to an earlier one.
    int32_t forward = 0, backward = 0;
    // Writing moves through the lines in reading order, each line written at once but for one return to an
    // earlier line (a stroke added afterwards): a row written left to right read as columns goes backwards
    // all the time, and the parts of one character (氵 beside 日 over 皿) go back and forth.
    bool inOrder() const {
        return forward > 0 && forward >= backward && forward + backward <= static_cast<int32_t>(lines.size());
    }
    // Changes beyond the one per line.
    int32_t extraTurns() const { return forward + backward - static_cast<int32_t>(lines.size() - 1); }
};

Reading readingOf(std::span<const Box> boxes, Direction direction, const BandRules& rules) {
    Reading r{direction, bandsOf(boxes, direction, rules)};
    if (r.lines.size() > kMaxBands) return r;
    if (r.lines.size() == 1) {
        r.thickness = r.lines.front().across.length();
        return r;
    }
    std::vector<double> thicknesses;
    std::vector<int32_t> lineOf(boxes.size(), -1);
    // The thickest line is the measure of a character: a band of pieces (the 心 under 忘 in a column) is
    // thinner than the characters in it are long.
    double thickest = 1.0;
    for (const auto& line : r.lines) thickest = std::max(thickest, line.across.length());
    double closest = std::numeric_limits<double>::infinity();
    for (size_t l = 0; l + 1 < r.lines.size(); ++l)
        closest = std::min(closest, r.lines[l + 1].across.lo - r.lines[l].across.hi);
    const bool apart = closest >= kLinesApart * thickest;
    for (size_t l = 0; l < r.lines.size(); ++l) {
        const Band& line = r.lines[l];
        thicknesses.push_back(std::max(line.across.length(), 1.0));
        std::vector<Box> own;
        for (int32_t s : line.strokes) {
            own.push_back(boxes[static_cast<size_t>(s)]);
            lineOf[static_cast<size_t>(s)] = static_cast<int32_t>(l);
        }
        // Several characters: two blocks of ink along the line as long as a character (pieces of one are
        // shorter), or one block as long as several written together, or a long line of short blocks.
        const auto blocks = blocksOf(own, direction);
        int characters = 0;
        for (const auto& b : blocks) {
            const double length = b.along.length() / thickest;
            if (length >= kSeveralTogether) characters += 2;
            if (length >= kCharacterBlock.lo && length <= kCharacterBlock.hi) ++characters;
        }
        const double span = blocks.back().along.hi - blocks.front().along.lo;
        const bool pieces =
            blocks.size() >= kLongLineBlocks && std::ranges::all_of(blocks, [thickest](const Extent& b) {
                return b.along.length() <= kCharacterBlock.hi * thickest;
            });
        if ((characters >= 2 && span >= kSeveralCharacters * thickest) ||
            (apart && pieces && span >= kLongLine * thickest))
            r.several = true;
    }
    r.thickness = median(thicknesses);
    // Columns are read right to left: their bands' order across is the reverse of reading order.
    const bool reversed = direction == Direction::Vertical;
    int32_t previous = -1;
    for (int32_t l : lineOf) {
        if (l < 0) continue;
        if (previous >= 0 && l != previous) ++((l > previous) != reversed ? r.forward : r.backward);
        previous = l;
    }
    return r;
}

}  // namespace

LineLayout linesOf(std::span<const Box> strokeBoxes) {
    LineLayout layout;
    layout.lineOf.assign(strokeBoxes.size(), 0);
    // Lines in one direction, unless the other direction reads the ink as one line no thicker than they are.
    auto fits = [](const Reading& lines, const Reading& other) {
        return lines.several && lines.inOrder() && lines.lines.size() <= static_cast<size_t>(kMaxLines) &&
               (other.lines.size() != 1 || other.thickness >= kStackedLines * lines.thickness);
    };
    Reading rows = readingOf(strokeBoxes, Direction::Horizontal, kUsualBands);
    Reading columns = readingOf(strokeBoxes, Direction::Vertical, kUsualBands);
    bool rowsFit = fits(rows, columns), columnsFit = fits(columns, rows);
    if (!rowsFit && !columnsFit) {
        rows = readingOf(strokeBoxes, Direction::Horizontal, kCloseBands);
        columns = readingOf(strokeBoxes, Direction::Vertical, kCloseBands);
        rowsFit = fits(rows, columns);
        columnsFit = fits(columns, rows);
    }
    if (!rowsFit && !columnsFit) return layout;
    const bool useRows = !columnsFit || (rowsFit && (rows.extraTurns() != columns.extraTurns()
                                                         ? rows.extraTurns() < columns.extraTurns()
                                                         : rows.lines.size() <= columns.lines.size()));
    const Reading& chosen = useRows ? rows : columns;
    layout.direction = chosen.direction;
    layout.count = static_cast<int32_t>(chosen.lines.size());
    std::vector<int32_t> lineOf(strokeBoxes.size(), -1);
    for (size_t l = 0; l < chosen.lines.size(); ++l) {
        // Columns are read right to left.
        const auto index = static_cast<int32_t>(useRows ? l : chosen.lines.size() - 1 - l);
        for (int32_t s : chosen.lines[l].strokes) lineOf[static_cast<size_t>(s)] = index;
    }
    // Empty strokes join the line of the stroke before them, or after them at the start.
    int32_t current = -1;
    for (int32_t l : lineOf) {
        if (l >= 0) {
            current = l;
            break;
        }
    }
    for (size_t i = 0; i < lineOf.size(); ++i) {
        if (lineOf[i] >= 0) current = lineOf[i];
        layout.lineOf[i] = current;
    }
    return layout;
}

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

// The thickness of a line of these blocks, whose ink is `across` thick: another writer's characters differ in
// width across the line and wander across it, so the ink's extent overstates a character's size; the middle
// width of the blocks about a character long says it, though never below kThickShare of the ink's.
double thicknessOf(const std::vector<Extent>& blocks, double across) {
    std::vector<double> widths;
    for (const auto& b : blocks) {
        if (b.along.length() >= kThickBlockLength * across) widths.push_back(b.across.length());
    }
    if (widths.size() < kThickBlocks) return across;
    return std::clamp(median(widths), kThickShare * across, across);
}

// The frame of a line whose characters are at most `most` large by their blocks (see framesOfLines).
LineFrame frameWithin(std::span<const Box> strokeBoxes, std::optional<Direction> direction, double most) {
    Box ink;
    int strokes = 0;
    // Two strokes whose second lies wholly above the first (a dot written last over its stem: i, j).
    bool upwards = false;
    for (const auto& box : strokeBoxes) {
        if (box.empty()) continue;
        upwards = strokes == 1 && box.bottom < ink.top;
        ink.add(box);
        ++strokes;
    }
    LineFrame line;
    const auto rows = blocksOf(strokeBoxes, Direction::Vertical);
    // A line runs downwards when its ink is clearly taller than wide and falls apart into pieces top to
    // bottom (a lone tall character such as 1 or i stays horizontal). Two strokes written upwards are no
    // column, however wide: a column is written from its top.
    const auto width = static_cast<double>(ink.width()), height = static_cast<double>(ink.height());
    if (direction) {
        line.direction = *direction;
    } else if (height > 1.3 * width && rows.size() >= 2 &&
               (strokes >= 3 || (strokes == 2 && !upwards && width >= 0.3 * height))) {
        line.direction = Direction::Vertical;
    }
    const Extent all = line.extentOf(ink);
    line.along = all.along;
    line.across = all.across;
    const auto blocks = line.direction == Direction::Vertical ? rows : blocksOf(strokeBoxes, line.direction);
    const double thickness = thicknessOf(blocks, std::max(all.across.length(), 1.0));
    // The thickness alone underestimates the size where every full-size character is narrow across the line
    // (and a small kana beside them then seems to fill the line): a block of one character's length counts.
    // Blocks of several lengths of that beside blocks of about one are characters whose ink touches and say
    // nothing of one character's length (a single block may be one wide character, a cursive m; one beside a
    // dot a tall one, an i).
    const auto whole = std::ranges::count_if(
        blocks, [thickness](const Extent& b) { return b.along.length() >= kWholeBlock * thickness; });
    const double together = whole >= 2 ? kTouchingBlock : kTogetherBlock;
    double longest = 0;
    std::vector<double> lengths, shorter;
    for (const auto& b : blocks) {
        if (b.along.length() <= kOneCharacterBlock * thickness) longest = std::max(longest, b.along.length());
        lengths.push_back(b.along.length());
        if (b.along.length() >= kHalfBlock * thickness && b.along.length() <= together * thickness)
            shorter.push_back(b.along.length());
    }
    // Whole blocks none of which is one character long are all characters touching: the thickness says it.
    const double typical = !shorter.empty() ? median(shorter) : whole >= 2 ? 0.0 : median(lengths);
    line.charSize =
        std::max(thickness, std::min(std::max(std::min(typical, all.along.length()), longest), most));
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

LineFrame frameOfLine(std::span<const Box> strokeBoxes, std::optional<Direction> direction) {
    return frameWithin(strokeBoxes, direction, std::numeric_limits<double>::infinity());
}

std::vector<LineFrame> framesOfLines(std::span<const Box> strokeBoxes, const LineLayout& layout) {
    const auto count = static_cast<size_t>(std::max(layout.count, 1));
    std::vector<std::vector<Box>> lines(count);
    for (size_t i = 0; i < strokeBoxes.size() && i < layout.lineOf.size(); ++i) {
        const auto line = static_cast<size_t>(layout.lineOf[i]);
        if (line < count) lines[line].push_back(strokeBoxes[i]);
    }
    std::vector<LineFrame> frames;
    for (const auto& line : lines) frames.push_back(frameOfLine(line, layout.direction));
    if (count < 2) return frames;
    for (size_t l = 0; l < count; ++l) {
        std::vector<double> others;
        for (size_t o = 0; o < count; ++o) {
            if (o != l && !lines[o].empty()) others.push_back(frames[o].charSize);
        }
        const double most = kLinesAlike * median(others);
        if (!others.empty() && frames[l].charSize > most)
            frames[l] = frameWithin(lines[l], layout.direction, most);
    }
    return frames;
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
    if (lineOfMore && smallSize && smallPlace && strokeCount <= kMostSmallStrokes) return MarkKind::Small;
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

bool isTick(std::span<const Stroke> strokes) {
    Box box;
    double path = 0;
    for (const auto& stroke : strokes) {
        box.add(boundsOf(stroke));
        for (size_t k = 1; k < stroke.size(); ++k)
            path += std::hypot(static_cast<double>(stroke[k].x - stroke[k - 1].x),
                               static_cast<double>(stroke[k].y - stroke[k - 1].y));
    }
    if (box.empty()) return true;
    return path <=
           kTickPath * std::hypot(static_cast<double>(box.width()), static_cast<double>(box.height()));
}

std::optional<CharCode> equalsSignReading(std::span<const Stroke> strokes) {
    // Writers' 二 have an upper stroke 0.5 to 0.8 as long as the lower, 三 a middle one shorter still.
    constexpr double kEqualLengths = 0.85;
    if (strokes.size() == 3) return kKanjiThree;
    if (strokes.size() == 1) return kKanjiTwo;
    if (strokes.size() != 2) return std::nullopt;
    const Box a = boundsOf(strokes[0]), b = boundsOf(strokes[1]);
    const bool lying = a.width() + b.width() >= a.height() + b.height();
    const auto first = static_cast<double>(lying ? a.width() : a.height());
    const auto second = static_cast<double>(lying ? b.width() : b.height());
    const double longer = std::max(first, second);
    return longer > 0 && std::min(first, second) >= kEqualLengths * longer ? kEqualsSign : kKanjiTwo;
}

}  // namespace sw::scribeng
