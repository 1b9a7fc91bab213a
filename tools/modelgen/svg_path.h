// SVG path data ("d" attributes) as cubic Bezier segments, and their sampling into pen points.
//
// Every command of the path grammar is read except the elliptical arc (A/a), which stroke data does not use
// and which is reported as an error: M m L l H h V v C c S s Q q T t Z z, with implicit repetition of the
// last command ("M1,2 3,4" moves then draws a line) and numbers in any SVG form ("-1.5e2", ".5.5", "1-2").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sw::modelgen {

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Cubic {
    Point p0, p1, p2, p3;
};

// One pen-down run: the segments between a moveto and the next moveto (or the end of the data). A subpath
// that is only a moveto has a single zero-length segment, so a dot is still a stroke.
using Subpath = std::vector<Cubic>;

// Parses path data into subpaths in document order. Lines and quadratic curves become exact cubics.
// Returns nullopt and sets *error (when given) on a syntax error, a number beyond +-kMaxCoordinate, an arc
// command or data that draws before its first moveto; an empty or all-whitespace string gives an empty
// list.
inline constexpr double kMaxCoordinate = 1e6;
std::optional<std::vector<Subpath>> parseSvgPath(std::string_view d, std::string* error = nullptr);

using Stroke = std::vector<Point>;

// Samples the subpath into points spaced `spacing` apart along the curve, the way a pen reports a stroke
// written at an even speed. The first and last points are always the subpath's own start and end; a
// subpath shorter than `spacing` gives those two points (one point for a zero-length subpath). A stroke has
// at most kMaxStrokePoints points: a longer one is sampled more sparsely.
inline constexpr int kMaxStrokePoints = 4096;
Stroke sampleSubpath(const Subpath& subpath, double spacing);

}  // namespace sw::modelgen
