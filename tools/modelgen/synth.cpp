#include "synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sw::modelgen {
namespace {

struct Affine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;  // x' = a x + b y + e, y' = c x + d y + f
    Point apply(Point p) const { return {a * p.x + b * p.y + e, c * p.x + d * p.y + f}; }
};

// Rotation by `degrees`, shear and scale about `centre`, then a shift.
Affine around(Point centre, double degrees, double shear, double sx, double sy, Point shift) {
    const double r = degrees * std::numbers::pi / 180;
    const double cs = std::cos(r), sn = std::sin(r);
    // M = R * Shear * S
    Affine m;
    m.a = cs * sx;
    m.b = cs * shear * sy - sn * sy;
    m.c = sn * sx;
    m.d = sn * shear * sy + cs * sy;
    m.e = centre.x - (m.a * centre.x + m.b * centre.y) + shift.x;
    m.f = centre.y - (m.c * centre.x + m.d * centre.y) + shift.y;
    return m;
}

Subpath transformed(const Subpath& s, const Affine& m) {
    Subpath out = s;
    for (Cubic& c : out) {
        for (Point* p : {&c.p0, &c.p1, &c.p2, &c.p3}) *p = m.apply(*p);
    }
    return out;
}

// The box around the ends of the curves of some subpaths.
struct Bounds {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    void add(const Subpath& s) {
        for (const Cubic& c : s) {
            for (const Point& p : {c.p0, c.p3}) {
                minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
            }
        }
    }
    bool empty() const { return minX > maxX; }
    Point centre() const { return {(minX + maxX) / 2, (minY + maxY) / 2}; }
};

Point subpathCentre(const Subpath& s) {
    Bounds b;
    b.add(s);
    return b.centre();
}

}  // namespace

uint64_t Random::next() {
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double Random::uniform(double lo, double hi) {
    return lo + (hi - lo) * static_cast<double>(next() >> 11) * 0x1.0p-53;
}

double Random::normal() {
    // Box-Muller; u1 in (0, 1] keeps the logarithm finite.
    const double u1 = 1.0 - uniform(0, 1);
    const double u2 = uniform(0, 1);
    return std::sqrt(-2 * std::log(u1)) * std::cos(2 * std::numbers::pi * u2);
}

Random classRandom(uint64_t seed, char32_t label) {
    Random mix(seed * 0x100000001B3ULL ^ (static_cast<uint64_t>(label) << 1));
    return Random(mix.next());
}

Variation variationFor(char32_t label) {
    Variation v;
    const bool latin = (label >= U'ａ' && label <= U'ｚ') || (label >= U'Ａ' && label <= U'Ｚ') ||
                       (label >= U'０' && label <= U'９');
    if (latin) v.shear = kLatinShear;
    return v;
}

Ink synthesise(const Glyph& glyph, Random& random, const Variation& v) {
    if (glyph.parts.empty() || (v.partShift <= 0 && v.partScale <= 0))
        return synthesise(glyph.strokes, random, v);
    std::vector<Subpath> strokes = glyph.strokes;
    for (const Part& part : glyph.parts) {
        const double share = 1.0 / std::max(part.depth, 1);
        const auto pm = [&](double range) { return random.uniform(-range, range) * share; };
        Bounds box;
        for (uint32_t s : part.strokes) {
            if (s < strokes.size()) box.add(strokes[s]);
        }
        const double sx = 1 + pm(v.partScale), sy = 1 + pm(v.partScale);
        const Point shift{pm(v.partShift), pm(v.partShift)};
        if (box.empty()) continue;
        const Affine m = around(box.centre(), 0, 0, sx, sy, shift);
        for (uint32_t s : part.strokes) {
            if (s < strokes.size()) strokes[s] = transformed(strokes[s], m);
        }
    }
    return synthesise(strokes, random, v);
}

Ink sampleGlyph(const std::vector<Subpath>& strokes, double spacing) {
    Ink ink;
    for (const Subpath& s : strokes) ink.push_back(sampleSubpath(s, spacing));
    return ink;
}

Ink synthesise(const std::vector<Subpath>& strokes, Random& random, const Variation& v) {
    const auto pm = [&](double range) { return random.uniform(-range, range); };
    std::vector<Subpath> moved;
    moved.reserve(strokes.size());
    for (const Subpath& s : strokes) {
        const double k = 1 + pm(v.strokeScale);
        moved.push_back(transformed(s, around(subpathCentre(s), pm(v.strokeRotation), 0, k, k,
                                              {pm(v.strokeShift), pm(v.strokeShift)})));
    }
    const Affine global =
        around({kGridSize / 2, kGridSize / 2}, pm(v.rotation), pm(v.shear),
               random.uniform(v.scaleMin, v.scaleMax), random.uniform(v.scaleMin, v.scaleMax), {});
    const double spacing = random.uniform(v.spacingMin, v.spacingMax);
    Ink ink;
    for (const Subpath& s : moved) {
        Stroke points = sampleSubpath(transformed(s, global), spacing);
        const auto trimmed = [&] { return static_cast<size_t>(random.uniform(0, v.trim * points.size())); };
        const size_t head = trimmed(), tail = trimmed();
        if (points.size() > head + tail + 2) {
            points.erase(points.end() - static_cast<std::ptrdiff_t>(tail), points.end());
            points.erase(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(head));
        }
        // Hand tremor: white noise smoothed over three neighbours, so the line wobbles instead of jagging.
        std::vector<Point> noise(points.size());
        for (Point& n : noise) n = {random.normal() * v.pointNoise, random.normal() * v.pointNoise};
        for (size_t i = 0; i < points.size(); ++i) {
            const Point& prev = noise[i > 0 ? i - 1 : i];
            const Point& next = noise[i + 1 < noise.size() ? i + 1 : i];
            points[i].x += (prev.x + 2 * noise[i].x + next.x) / 2;
            points[i].y += (prev.y + 2 * noise[i].y + next.y) / 2;
        }
        ink.push_back(std::move(points));
    }
    return ink;
}

IntInk normaliseToSquare(const Ink& ink, Frame frame) {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (const Stroke& s : ink) {
        for (const Point& p : s) {
            minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
        }
    }
    if (frame == Frame::Line && minX <= maxX) {
        const double half = (kLineBottom - kLineTop) / 2, cx = (minX + maxX) / 2;
        minX = std::min(minX, cx - half), maxX = std::max(maxX, cx + half);
        minY = std::min(minY, kLineTop), maxY = std::max(maxY, kLineBottom);
    }
    const double extent = std::max(maxX - minX, maxY - minY);
    const double scale = extent > 1e-9 ? kInkSpan / extent : 0.0;
    const double cx = (minX + maxX) / 2, cy = (minY + maxY) / 2;
    IntInk out;
    out.reserve(ink.size());
    for (const Stroke& s : ink) {
        std::vector<IntPoint>& o = out.emplace_back();
        o.reserve(s.size());
        for (const Point& p : s) {
            o.push_back({static_cast<int>(std::lround(kSquareSide / 2.0 + (p.x - cx) * scale)),
                         static_cast<int>(std::lround(kSquareSide / 2.0 + (p.y - cy) * scale))});
        }
    }
    return out;
}

std::string zinniaSexp(char32_t label, const IntInk& ink) { return zinniaSexp(toUtf8(label), ink); }

std::string zinniaSexp(std::string_view label, const IntInk& ink) {
    std::string out = "(character (value " + std::string(label) + ") (width " + std::to_string(kSquareSide) +
                      ") (height " + std::to_string(kSquareSide) + ") (strokes";
    for (const auto& stroke : ink) {
        if (stroke.empty()) continue;
        out += " (";
        for (size_t i = 0; i < std::max<size_t>(stroke.size(), 2); ++i) {
            const IntPoint& p = stroke[std::min(i, stroke.size() - 1)];
            if (i > 0) out += ' ';
            out += '(' + std::to_string(p.x) + ' ' + std::to_string(p.y) + ')';
        }
        out += ')';
    }
    out += "))";
    return out;
}

}  // namespace sw::modelgen
