// The pure operations of the overlay add-in on stroke data: removing a selection from a drawing, bounding
// rectangles, shifting, and the list-box text form of one point. No handles, no windows: the control
// (veiladd_methods.h) resolves its arguments and calls these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

#include "records/records.h"

namespace sw::veiladd {

// Removes from `drawing` every stroke that matches, point by point (X and Y only) and in order, the next
// stretch of `pattern`, and writes the kept points, unchanged, to `out` in drawing order. A stroke runs from
// a point with State kStateFirst to the next point with State kStateLast. Returns the number of points
// written.
//
// The pattern position is never reset, so the strokes of `pattern` must appear in `drawing` in the same
// order. A run that stops matching is abandoned: its first point is kept and the scan resumes behind it with
// the pattern position of the run's start. A run still open at the end of the drawing stays out.
//
// `out` must hold at least drawing.size() points. Linear in the drawing for ordinary stroke data; a drawing
// full of State kStateFirst points that keep reopening long runs costs up to drawing × pattern comparisons.
size_t deletePattern(std::span<const VeilPoint> drawing, std::span<const VeilPoint> pattern,
                     std::span<VeilPoint> out) noexcept;

// A rectangle as the rectangle methods report it. Left and Top start at the largest 32-bit value and Right
// and Bottom at 0, so Right and Bottom never come out negative and an empty set keeps the start values.
struct VeilRect {
    int32_t Left = std::numeric_limits<int32_t>::max();
    int32_t Top = std::numeric_limits<int32_t>::max();
    int32_t Right = 0;
    int32_t Bottom = 0;
    friend bool operator==(const VeilRect&, const VeilRect&) = default;
};

VeilRect veilRect(std::span<const VeilPoint> points) noexcept;
VeilRect ptwRect(std::span<const PtwPoint> points) noexcept;  // Flag is not read

// Subtracts (left, top) from every point, 32-bit wrapping: a point at (left, top) ends at (0, 0).
void moveVeil(std::span<VeilPoint> points, int32_t left, int32_t top) noexcept;

// The point line: "Color State Width X Y", plain signed decimal numbers separated by single spaces.
// The longest line has 49 characters (three 32-bit and two 16-bit fields), so it always fits the 80-byte
// read buffer.
inline constexpr size_t kPointLineBuffer = 80;
inline constexpr size_t kPointLineMax = 49;

// Writes the line and a terminating NUL into `buffer`; returns the line's length.
size_t formatPointLine(const VeilPoint& point, char (&buffer)[kPointLineBuffer]) noexcept;

// Reads a point line the way "%d %d %d %d %d" reads it: each number may be preceded by white space and carry
// a sign, and anything after the fifth number is ignored. A number is taken modulo 2^32; State and Width keep
// their low 16 bits. Parsing stops at the first field that is missing or not a number, and that field and
// all that follow it are 0; a line without a single number gives the all-zero point.
VeilPoint parsePointLine(std::string_view line) noexcept;

}  // namespace sw::veiladd
