// Geometry of characters within a line of free writing: the direction of the line, the size of its
// characters, the place of one character across the line, and the classes whose identity depends on size and
// place (small kana, 、 and 。, ー).
//
// Coordinates are taken along the line (x for horizontal lines, y for vertical ones) and across it (the
// other axis, growing downwards or rightwards), so "late across" is low in a horizontal line and right in a
// vertical one: where small kana and 、。 sit in both.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "scribeng/categories.h"
#include "scribeng/geometry.h"

namespace sw::scribeng {

enum class Direction { Horizontal, Vertical };

struct Interval {
    double lo = 0, hi = 0;
    double length() const { return hi - lo; }
};

// A character's box seen along and across the line.
struct Extent {
    Interval along, across;
};

struct LineFrame {
    Direction direction = Direction::Horizontal;
    Interval along, across;  // the line's extent
    double charSize = 1.0;   // the estimated size of a full character, never below 1
    // Where full-size characters lie across the line: the ink's extent across, widened to at least
    // charSize about the full-size characters. Small kana and marks are placed within it.
    Interval band;

    Extent extentOf(const Box& box) const;
    // The square (in canvas pixels) a character of this extent is framed in for recognition: as large as the
    // line is thick, centred on the character along the line.
    Box frameFor(const Extent& extent) const;
};

// The direction of the line from its ink (horizontal unless the strokes clearly progress downwards; or
// `direction` when given), the estimated character size (the line's thickness, or the length of its blocks
// along the line when that is larger: a narrow character such as し in a column, or a flat one such as つ in
// a row, is longer than the line is thick; a block of characters whose ink touches does not count; the
// thickness of a line of several characters is their middle width, not the extent of all the ink) and the
// band of full-size characters.
LineFrame frameOfLine(std::span<const Box> strokeBoxes, std::optional<Direction> direction = std::nullopt);

// The lines of a selection: rows or columns, numbered in reading order (rows top to bottom, columns right to
// left). Empty strokes belong to the line of the stroke before them (or after, for the first).
struct LineLayout {
    Direction direction = Direction::Horizontal;
    int32_t count = 1;
    std::vector<int32_t> lineOf;  // per stroke
};

// The lines of the ink: bands across the writing direction apart from one another, each as thick as a
// character and holding its strokes whole (a stroke much longer than its band is thick, or a band much
// thinner than the others, joins the nearer neighbour: a tall character or a dot is no line of its own), of
// which at least one holds several characters (or, where the lines lie apart, is long in short pieces). Where
// both rows and columns fit (a grid), the one the writing order follows best wins, then the one of fewer
// lines, then rows. One line (count 1) unless such a layout is clearly there: ink that a single line explains
// as well (a column beside rows of one character each) stays one line, and so do more than kMaxLines bands.
// Where no lines are found so, bands closer together count as lines apart (lines written close together).
LineLayout linesOf(std::span<const Box> strokeBoxes);

inline constexpr int32_t kMaxLines = 16;

// The frames of the lines of a layout, each from its own strokes (frameOfLine in the layout's direction),
// except that a line's character size is at most a tenth larger than the other lines' (their middle
// one), though never below its thickness: a line whose ink is one block, two or three characters touching
// in another writer's tight line, says nothing of one character's length. Lines numbered past
// `layout.count` are left out.
std::vector<LineFrame> framesOfLines(std::span<const Box> strokeBoxes, const LineLayout& layout);

// Size-and-place classes.
enum class MarkKind {
    None,       // nothing decided by size and place
    Small,      // small enough, late across and of few strokes: a small kana if the shape is one
    Dot,        // tiny and late across: 、 or 。
    LongVowel,  // long and thin along the line: ー
    Full,       // begins at the start of the line or fills it: no small kana
};

// Which class the extent of `strokeCount` strokes fits, by size and place in the line.
MarkKind markKindOf(const LineFrame& line, const Extent& extent, int strokeCount);

// The small form of a kana (つ -> っ, ヤ -> ャ, カ -> ヵ) or none.
std::optional<CharCode> smallFormOf(CharCode code);
// The full-size form of a small kana (っ -> つ) or none.
std::optional<CharCode> fullFormOf(CharCode code);

inline constexpr CharCode kIdeographicComma = 0x8141;  // 、
inline constexpr CharCode kIdeographicStop = 0x8142;   // 。
inline constexpr CharCode kLongVowelMark = 0x815B;     // ー
// Whether `code` is one of the dot marks 、 and 。.
constexpr bool isDotMark(CharCode code) noexcept {
    return code == kIdeographicComma || code == kIdeographicStop;
}

// 。 for a stroke that closes on itself (start and end close, compared with its size), else 、.
CharCode dotMarkOf(std::span<const Stroke> strokes);
// Whether ink is a tick, as a 、 is: its pen path is at most kTickPath times the diagonal of its box (a
// lower-case letter as small, ｎ ｗ ｍ ｒ ｓ, goes up and down or turns: 1.5 to 3.7 times). Empty ink counts
// as a tick.
inline constexpr double kTickPath = 1.4;
bool isTick(std::span<const Stroke> strokes);

inline constexpr CharCode kEqualsSign = 0x8181;  // ＝
inline constexpr CharCode kKanjiTwo = 0x93F1;    // 二
inline constexpr CharCode kKanjiThree = 0x8E4F;  // 三

// What ink the models read as ＝ is: ＝ itself for two strokes of about equal length (the shorter at least
// 0.85 of the longer, along the way both lie), else 二 (one or two strokes: its upper stroke is the shorter)
// or 三 (three strokes); none for other stroke counts.
std::optional<CharCode> equalsSignReading(std::span<const Stroke> strokes);

}  // namespace sw::scribeng
