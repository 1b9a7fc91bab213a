// The board-wide state of one board window: the character table of the clean copy, the look-up path and
// the tool-palette mode. Everything here runs on the user-interface thread.
//
// Counters and coordinates are 32-bit, so a full board or a long drag cannot overflow; inside the 16-bit
// range the values are the same as with 16-bit arithmetic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sw::board {

// The layout of a Win32 RECT: the look-up passes the boxes to a rectangle-in-region test.
struct CharRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const CharRect&) const = default;
};
static_assert(sizeof(CharRect) == 16 && offsetof(CharRect, Bottom) == 12);

// The layout of a Win32 POINT: the look-up passes the path to a polygon-region constructor.
struct PathPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const PathPoint&) const = default;
};
static_assert(sizeof(PathPoint) == 8);

constexpr int32_t MaxInt(int32_t a, int32_t b) noexcept { return a > b ? a : b; }
constexpr int32_t MinInt(int32_t a, int32_t b) noexcept { return a < b ? a : b; }

// The clean copy: four parallel arrays with the same bounds 0..N. Entry 0 never holds a character; entries
// 1..N are committed characters in commit order. The table never shrinks while the window is open; painting
// narrows the boxes in place (see font_fit.h). A width of 0 or less means the entry is neither drawn nor
// selectable.
class CharacterTable {
public:
    CharacterTable() { reset(); }

    // Back to the single zero-filled element 0.
    void reset();

    int32_t upperBound() const noexcept { return static_cast<int32_t>(CharRects.size()) - 1; }

    // Appends one character and returns its index.
    int32_t append(std::u16string text, const CharRect& rect, int32_t color, int32_t width);
    // Grows all four arrays together by `count` zero-filled entries (text empty); returns the old upper
    // bound.
    int32_t grow(int32_t count);

    // Bumped by every change of the table other than the narrowing of boxes by painting, which moves no
    // glyph. A cached picture of the clean copy is current while the version is unchanged.
    uint64_t version() const noexcept { return m_version; }
    // Bumped by every change other than adding entries at the end (reset, touch). While it is unchanged, a
    // picture of entries 1..n stays right and only the entries after n need drawing. Code that changes an
    // entry that may already have been painted calls touch().
    uint64_t rewriteVersion() const noexcept { return m_rewriteVersion; }
    void touch() noexcept {
        ++m_version;
        ++m_rewriteVersion;
    }

    std::vector<CharRect> CharRects;
    std::vector<int32_t> CharColors;
    std::vector<int32_t> CharWidths;
    std::vector<std::u16string> CharTexts;

    // What painting fitted for each entry: the point size, the box it narrowed to and the face. While an
    // entry's box is still that box, later paints draw the same size in the same place instead of fitting
    // again: a box narrowed to a fractional text width rounds to a whole pixel, and a refit to it could pick
    // a smaller size and shrink the character a little at every rebuild of the picture.
    struct Fitted {
        int32_t points = 0;  // 0: not fitted yet
        CharRect box;
        std::u16string face;
    };
    std::vector<Fitted> fitted;

private:
    uint64_t m_version = 0;
    uint64_t m_rewriteVersion = 0;
};

enum PenModes : int16_t { kPenModePen = 0, kPenModeLasso = 1, kPenModeOperate = 2 };

struct BoardState {
    int16_t PenMode = kPenModePen;  // written by the tool palette; start-up does not set it
    CharacterTable table;
    std::vector<PathPoint> LookupPath;  // document coordinates of the look-up path being drawn
    int32_t LookupCount = 0;            // valid points of LookupPath; 0 when no path is drawn
};

}  // namespace sw::board
