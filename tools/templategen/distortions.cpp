#include "distortions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace sw::templategen {

namespace {

using modelgen::Cubic;
using modelgen::Point;
using modelgen::Subpath;

struct Box {
    double left = std::numeric_limits<double>::max(), top = std::numeric_limits<double>::max();
    double right = std::numeric_limits<double>::lowest(), bottom = std::numeric_limits<double>::lowest();
    void add(Point p) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    Point middle() const { return {(left + right) / 2, (top + bottom) / 2}; }
};

Box boxOf(const Subpath& stroke) {
    Box box;
    for (const Cubic& c : stroke) {
        for (Point p : {c.p0, c.p1, c.p2, c.p3}) box.add(p);
    }
    return box;
}

template <typename F>
Subpath mapped(const Subpath& stroke, F f) {
    Subpath out = stroke;
    for (Cubic& c : out) c = {f(c.p0), f(c.p1), f(c.p2), f(c.p3)};
    return out;
}

// Each inner control point's offset from its place on the chord scaled by `factor`.
Subpath bulged(const Subpath& stroke, double factor) {
    Subpath out = stroke;
    for (Cubic& c : out) {
        const auto onChord = [&](double t) {
            return Point{c.p0.x + t * (c.p3.x - c.p0.x), c.p0.y + t * (c.p3.y - c.p0.y)};
        };
        const auto scaled = [&](Point p, Point base) {
            return Point{base.x + factor * (p.x - base.x), base.y + factor * (p.y - base.y)};
        };
        c.p1 = scaled(c.p1, onChord(1.0 / 3));
        c.p2 = scaled(c.p2, onChord(2.0 / 3));
    }
    return out;
}

}  // namespace

std::vector<Subpath> distorted(const std::vector<Subpath>& strokes, Distortion distortion) {
    Box whole;
    for (const Subpath& s : strokes) {
        const Box b = boxOf(s);
        if (b.left <= b.right) {
            whole.add({b.left, b.top});
            whole.add({b.right, b.bottom});
        }
    }
    if (whole.left > whole.right) return strokes;
    const Point m = whole.middle();
    const auto affine = [&](double a, double b, double c, double d) {
        std::vector<Subpath> out;
        for (const Subpath& s : strokes) {
            out.push_back(mapped(s, [&](Point p) {
                const double x = p.x - m.x, y = p.y - m.y;
                return Point{m.x + a * x + b * y, m.y + c * x + d * y};
            }));
        }
        return out;
    };
    // The grid's y grows downwards: a forward slant moves the top (negative y) to the right.
    const double turn = kDistortionTurn * std::numbers::pi / 180;
    switch (distortion) {
        case Distortion::SlantedForward:
            return affine(1, -kDistortionShear, 0, 1);
        case Distortion::SlantedBack:
            return affine(1, kDistortionShear, 0, 1);
        case Distortion::TurnedLeft:
            return affine(std::cos(turn), std::sin(turn), -std::sin(turn), std::cos(turn));
        case Distortion::TurnedRight:
            return affine(std::cos(turn), -std::sin(turn), std::sin(turn), std::cos(turn));
        case Distortion::Narrower:
            return affine(1 - kDistortionWidth, 0, 0, 1);
        case Distortion::Wider:
            return affine(1 + kDistortionWidth, 0, 0, 1);
        case Distortion::Spread:
        case Distortion::Gathered: {
            const double k = distortion == Distortion::Spread ? kDistortionSpacing : -kDistortionSpacing;
            std::vector<Subpath> out;
            for (const Subpath& s : strokes) {
                const Point c = boxOf(s).middle();
                const double dx = k * (c.x - m.x), dy = k * (c.y - m.y);
                out.push_back(mapped(s, [&](Point p) { return Point{p.x + dx, p.y + dy}; }));
            }
            return out;
        }
        case Distortion::Rounder:
        case Distortion::Flatter: {
            const double factor =
                distortion == Distortion::Rounder ? 1 + kDistortionBulge : 1 - kDistortionBulge;
            std::vector<Subpath> out;
            for (const Subpath& s : strokes) out.push_back(bulged(s, factor));
            return out;
        }
    }
    return strokes;
}

bool isKana(char32_t label) {
    return (label >= 0x3041 && label <= 0x3096) || (label >= 0x30A1 && label <= 0x30FA);
}

}  // namespace sw::templategen
