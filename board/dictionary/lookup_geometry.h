// The geometry of a dictionary look-up: which clean-copy characters a closed look-up path takes in, and
// where the dictionary window opens.
//
// Pure functions over Qt values: no state, no windows. Nothing here throws for bad input.
#pragma once

#include <QPoint>
#include <QPolygon>
#include <QRegion>
#include <QSize>
#include <QString>
#include <algorithm>
#include <concepts>
#include <cstdint>
#include <span>

namespace sw::board {

// A record with the members of a Win32 RECT (the board's CharRect): exclusive right and bottom edges.
template <class R>
concept RectRecord = requires(const R& r) {
    { r.Left } -> std::convertible_to<int64_t>;
    { r.Top } -> std::convertible_to<int64_t>;
    { r.Right } -> std::convertible_to<int64_t>;
    { r.Bottom } -> std::convertible_to<int64_t>;
};

// A record with the members of a Win32 POINT (the board's PathPoint).
template <class P>
concept PointRecord = requires(const P& p) {
    { p.X } -> std::convertible_to<int>;
    { p.Y } -> std::convertible_to<int>;
};

// A path wider or taller than this (in document pixels) encloses nothing. A pen cannot draw such a path on
// a board whose window sizes are 16-bit; the limit keeps the region's scan conversion, whose cost grows
// with the height, bounded for damaged input.
inline constexpr int64_t kMaxLookupPathExtent = 65535;

// The area a closed look-up path encloses under the non-zero winding rule: a point is inside when the path
// winds around it (once or more, either way), so a loop drawn twice round a word still takes it in. The path
// is closed from its last point back to its first. Fewer than three points, or a path whose points all lie
// on one line, enclose nothing. Coordinates may be anywhere in the 32-bit range; the region is kept
// relative to the path's own bounding box, so nothing overflows.
class LookupRegion {
public:
    explicit LookupRegion(const QPolygon& path);

    bool isEmpty() const { return m_region.isEmpty(); }
    // True when any part of the box [left, right) x [top, bottom) lies in the area. A box with its edges
    // given in the wrong order is taken with them swapped; a box without area (left = right or
    // top = bottom) has no part and is never in the area.
    bool touches(int64_t left, int64_t top, int64_t right, int64_t bottom) const;

private:
    QRegion m_region;
    int64_t m_originX = 0;
    int64_t m_originY = 0;
};

// The selection text of a look-up: the texts of the characters that the closed path takes in, joined in
// table order (the order they were committed, not the order the path passes them). `path` is the path's
// points in document coordinates; `rects`, `widths` and `texts` are the board's character table, whose
// element 0 is never a character and is never looked at. A character is taken when its width is above 0
// and any part of its box lies in the region (LookupRegion). When the three spans differ in length, only
// the indexes all three have are looked at. Empty when the path encloses nothing or takes no character in.
// With the record types named, the board's arrays convert to the spans:
//   selectCharacters<PathPoint, CharRect>(std::span(LookupPath).first(LookupCount), CharRects, CharWidths,
//                                         CharTexts)
template <PointRecord P, RectRecord R>
QString selectCharacters(std::span<const P> path, std::span<const R> rects, std::span<const int32_t> widths,
                         std::span<const QString> texts) {
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(path.size()));
    for (const P& p : path) polygon.append(QPoint(p.X, p.Y));
    const LookupRegion region(polygon);
    QString selection;
    if (region.isEmpty()) return selection;
    const size_t count = std::min({rects.size(), widths.size(), texts.size()});
    for (size_t i = 1; i < count; ++i) {
        const R& r = rects[i];
        if (widths[i] > 0 && region.touches(r.Left, r.Top, r.Right, r.Bottom)) selection += texts[i];
    }
    return selection;
}

// The top-left corner of the dictionary window, in screen twips, for a look-up released at `release`
// (the pen-up point in screen twips): the release point itself, moved left and up just enough for the
// whole window to lie on a screen of `screen` twips, and never left of or above the screen's top-left
// corner (so a window larger than the screen sits at 0). That is, with the board's 16-bit helpers,
//   left = MaxInt(0, MinInt(screen width - window width, release x)), and top likewise.
// For values within 16 bits the result is exactly that; larger screens (above 32767 twips, 2184 pixels at
// 15 twips per pixel) are computed in full instead of overflowing. Negative sizes count as they are (a
// negative screen width puts the window at 0). The result always fits in an int.
QPoint dictionaryWindowPosition(QPoint release, QSize screen, QSize window);

}  // namespace sw::board
