#include "scribeng/ink_normalise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace sw::scribeng {
namespace {

// The path is cut into straight pieces where it bends by more than this fraction of the character from the
// chord (the pen's jitter and a slow wobble stay inside one piece).
constexpr double kBendShare = 0.03;
// The median is refined by the mean of the pieces within this much of it (radians for the rotation, shift
// per height for the slant: both about 6 degrees).
constexpr double kRefineWindow = 0.1;

struct Piece {
    double dx = 0, dy = 0, length = 0;
    size_t stroke = 0;
};

// The straight pieces of each stroke: the chord from its first point to its last, split at the point
// farthest from the chord while that lies more than `bend` from it.
std::vector<Piece> piecesOf(std::span<const Stroke> strokes, double bend) {
    std::vector<Piece> pieces;
    std::vector<std::pair<size_t, size_t>> open;
    for (size_t index = 0; index < strokes.size(); ++index) {
        const auto& stroke = strokes[index];
        if (stroke.size() < 2) continue;
        open.assign(1, {0, stroke.size() - 1});
        while (!open.empty()) {
            const auto [first, last] = open.back();
            open.pop_back();
            const double x0 = stroke[first].x, y0 = stroke[first].y;
            const double dx = stroke[last].x - x0, dy = stroke[last].y - y0;
            const double length = std::hypot(dx, dy);
            double farthest = 0;
            size_t at = first;
            for (size_t k = first + 1; k < last; ++k) {
                const double px = stroke[k].x - x0, py = stroke[k].y - y0;
                const double d = length > 0 ? std::abs(dx * py - dy * px) / length : std::hypot(px, py);
                if (d > farthest) {
                    farthest = d;
                    at = k;
                }
            }
            if (farthest > bend) {
                // The later half first onto the stack: pieces come out in writing order.
                open.push_back({at, last});
                open.push_back({first, at});
            } else if (length > 0) {
                pieces.push_back({dx, dy, length, index});
            }
        }
    }
    return pieces;
}

struct Measure {
    double value = 0, weight = 0;
    size_t stroke = 0;
};

// The weighted median of the values, refined by the weighted mean of those within kRefineWindow of it; the
// weight of the refined ones with it. No weight unless values of at least two strokes agree so: one stroke
// (／, a lone 丨, the side of a コ) is no evidence of a hand's slant.
Measure robustMean(std::vector<Measure> values) {
    double total = 0;
    for (const auto& m : values) total += m.weight;
    if (total <= 0) return {};
    std::sort(values.begin(), values.end(),
              [](const Measure& a, const Measure& b) { return a.value < b.value; });
    double below = 0, median = values.back().value;
    for (const auto& m : values) {
        below += m.weight;
        if (below >= total / 2) {
            median = m.value;
            break;
        }
    }
    Measure out;
    double sum = 0;
    const Measure* first = nullptr;
    bool strokes = false;
    for (const auto& m : values) {
        if (std::abs(m.value - median) > kRefineWindow) continue;
        sum += m.value * m.weight;
        out.weight += m.weight;
        if (!first) first = &m;
        strokes = strokes || m.stroke != first->stroke;
    }
    if (!strokes) return {};
    out.value = sum / out.weight;
    return out;
}

// `value` where it is at least `least` away from 0 (clamped to `most`), else 0.
double boundedOrNothing(double value, double least, double most) {
    if (std::abs(value) < least) return 0;
    return std::clamp(value, -most, most);
}

int32_t toPixel(double v) {
    return static_cast<int32_t>(std::clamp(std::round(v), double{std::numeric_limits<int32_t>::min()},
                                           double{std::numeric_limits<int32_t>::max()}));
}

}  // namespace

InkPose estimatePose(std::span<const Stroke> strokes, const PoseOptions& options) {
    const Box ink = boundsOf(strokes);
    const double size = static_cast<double>(std::max(ink.width(), ink.height()));
    if (size <= 0) return {};
    const auto pieces = piecesOf(strokes, size * kBendShare);
    const double degree = std::numbers::pi / 180;

    std::vector<Measure> horizontal;
    for (const auto& p : pieces) {
        const double dx = p.dx < 0 ? -p.dx : p.dx, dy = p.dx < 0 ? -p.dy : p.dy;
        const double angle = std::atan2(dy, dx);
        if (std::abs(angle) < options.horizontalWindow * degree)
            horizontal.push_back({angle, p.length, p.stroke});
    }
    InkPose pose;
    const Measure turn = robustMean(std::move(horizontal));
    if (turn.weight >= options.leastHorizontal * size) {
        pose.rotation = boundedOrNothing(turn.value, options.leastRotation, options.mostRotation);
    }

    const double c = std::cos(pose.rotation), s = std::sin(pose.rotation);
    std::vector<Measure> vertical;
    for (const auto& p : pieces) {
        double dx = p.dx * c + p.dy * s, dy = -p.dx * s + p.dy * c;
        if (dy < 0) {
            dx = -dx;
            dy = -dy;
        }
        if (std::abs(std::atan2(dx, dy)) < options.verticalWindow * degree)
            vertical.push_back({dx / dy, p.length, p.stroke});
    }
    const Measure lean = robustMean(std::move(vertical));
    if (lean.weight >= options.leastVertical * size)
        pose.slant = boundedOrNothing(lean.value, options.leastSlant, options.mostSlant);
    return pose;
}

bool levelStrokesOnly(std::span<const Stroke> strokes, double share) {
    const Box ink = boundsOf(strokes);
    const double size = static_cast<double>(std::max(ink.width(), ink.height()));
    if (size <= 0) return false;
    return std::ranges::all_of(strokes, [&](const Stroke& stroke) {
        return static_cast<double>(boundsOf(stroke).height()) <= share * size;
    });
}

std::vector<Stroke> setUpright(std::span<const Stroke> strokes, const InkPose& pose) {
    if (pose.upright()) return {strokes.begin(), strokes.end()};
    const Box ink = boundsOf(strokes);
    const double cx = (static_cast<double>(ink.left) + ink.right) / 2;
    const double cy = (static_cast<double>(ink.top) + ink.bottom) / 2;
    const double c = std::cos(pose.rotation), s = std::sin(pose.rotation);
    std::vector<Stroke> out;
    out.reserve(strokes.size());
    for (const auto& stroke : strokes) {
        Stroke& o = out.emplace_back();
        o.reserve(stroke.size());
        for (const auto& p : stroke) {
            const double dx = p.x - cx, dy = p.y - cy;
            const double x = dx * c + dy * s, y = -dx * s + dy * c;
            o.push_back({toPixel(cx + x - pose.slant * y), toPixel(cy + y)});
        }
    }
    return out;
}

std::vector<Stroke> widened(std::span<const Stroke> strokes, double factor) {
    if (!(factor > 0) || !std::isfinite(factor) || factor == 1) return {strokes.begin(), strokes.end()};
    const Box ink = boundsOf(strokes);
    const double cx = (static_cast<double>(ink.left) + ink.right) / 2;
    std::vector<Stroke> out;
    out.reserve(strokes.size());
    for (const auto& stroke : strokes) {
        Stroke& o = out.emplace_back();
        o.reserve(stroke.size());
        for (const auto& p : stroke) o.push_back({toPixel(cx + (p.x - cx) * factor), p.y});
    }
    return out;
}

std::vector<SmoothPoint> smoothedPixels(std::span<const EnginePoint> stroke, double pixel) {
    std::vector<SmoothPoint> path;
    path.reserve(stroke.size());
    for (size_t i = 0; i < stroke.size(); ++i) {
        if (i > 0 && stroke[i].x == stroke[i - 1].x && stroke[i].y == stroke[i - 1].y) continue;
        path.push_back({static_cast<double>(stroke[i].x), static_cast<double>(stroke[i].y)});
    }
    // Distinct whole pixels lie a pixel apart at least, so within the reach (under two pixels) lie the
    // neighbours at most.
    static_assert(kPixelReach < 2);
    const auto near = [&](size_t a, size_t b) {
        return std::hypot(path[a].x - path[b].x, path[a].y - path[b].y) <= kPixelReach * pixel;
    };
    std::vector<SmoothPoint> out = path;
    for (size_t i = 1; i + 1 < path.size(); ++i) {
        SmoothPoint sum = path[i];
        double n = 1;
        for (const size_t k : {i - 1, i + 1}) {
            if (!near(i, k)) continue;
            sum.x += path[k].x;
            sum.y += path[k].y;
            ++n;
        }
        out[i] = {sum.x / n, sum.y / n};
    }
    return out;
}

}  // namespace sw::scribeng
