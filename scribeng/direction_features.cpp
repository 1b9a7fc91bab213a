#include "scribeng/direction_features.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sw::scribeng {
namespace {

// Pieces are at most this long (grid cells), so that a long straight stroke spreads evenly over its cells.
constexpr float kPiece = 0.25f;
// Spread of a piece over the grid (cells) and how far the spread reaches.
constexpr float kSigma = 0.6f;
constexpr int kReach = 2;
// A stroke of one point (a dot) counts as this much length, shared by every orientation.
constexpr float kDotLength = 0.5f;

// exp(-d^2 / 2 sigma^2) for d = i / kSteps cells, d up to kReach + 1.
constexpr int kSteps = 64;
struct Gaussian {
    std::array<float, (kReach + 1) * kSteps + 2> table{};
    Gaussian() {
        for (size_t i = 0; i < table.size(); ++i) {
            const float d = static_cast<float>(i) / kSteps;
            table[i] = std::exp(-d * d / (2 * kSigma * kSigma));
        }
    }
    float operator()(float d) const {
        const auto i = static_cast<size_t>(std::fabs(d) * kSteps + 0.5f);
        return i < table.size() ? table[i] : 0.0f;
    }
};
const Gaussian gaussian;

// Adds `length` of orientations o0 (share 1 - frac) and o1 (share frac) at grid position (u, v).
void addPiece(FeatureVector& f, float u, float v, int o0, int o1, float frac, float length) {
    std::array<float, kFeatureGrid> gx{}, gy{};
    const int ix = static_cast<int>(std::floor(u)), iy = static_cast<int>(std::floor(v));
    const int x0 = std::max(0, ix - kReach), x1 = std::min(kFeatureGrid - 1, ix + kReach);
    const int y0 = std::max(0, iy - kReach), y1 = std::min(kFeatureGrid - 1, iy + kReach);
    for (int x = x0; x <= x1; ++x) gx[static_cast<size_t>(x)] = gaussian(u - (static_cast<float>(x) + 0.5f));
    for (int y = y0; y <= y1; ++y) gy[static_cast<size_t>(y)] = gaussian(v - (static_cast<float>(y) + 0.5f));
    const float w0 = length * (1 - frac), w1 = length * frac;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float g = gx[static_cast<size_t>(x)] * gy[static_cast<size_t>(y)];
            const auto cell = static_cast<size_t>(y * kFeatureGrid + x);
            f[static_cast<size_t>(o0 * kFeatureGrid * kFeatureGrid) + cell] += w0 * g;
            f[static_cast<size_t>(o1 * kFeatureGrid * kFeatureGrid) + cell] += w1 * g;
        }
    }
}

struct InkBox {
    float left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    float side() const { return std::max(right - left, bottom - top); }
};

// The ink's box and the length of its pen path, in one walk over the points.
struct InkExtent {
    InkBox box;
    float length = 0;
};

InkExtent extentOf(std::span<const InkStroke> strokes) {
    InkExtent e;
    for (const auto& stroke : strokes) {
        for (size_t i = 0; i < stroke.size(); ++i) {
            const InkPoint& p = stroke[i];
            e.box.left = std::min(e.box.left, p.x);
            e.box.right = std::max(e.box.right, p.x);
            e.box.top = std::min(e.box.top, p.y);
            e.box.bottom = std::max(e.box.bottom, p.y);
            if (i > 0) e.length += std::hypot(p.x - stroke[i - 1].x, p.y - stroke[i - 1].y);
        }
    }
    return e;
}

float shareOf(float length, float side) {
    if (!(side > 0) || !std::isfinite(side)) return 0;
    return std::clamp((length / side - kBoxFrameUpTo) / (kMomentFrameFrom - kBoxFrameUpTo), 0.0f, 1.0f);
}

}  // namespace

void normalise(std::span<float> v) {
    float sum = 0;
    for (float x : v) sum += x * x;
    if (sum <= 0) return;
    const float scale = 1.0f / std::sqrt(sum);
    for (float& x : v) x *= scale;
}

SW_SCRIBENG_VECTOR_CLONES float dot(std::span<const float> a, std::span<const float> b) {
    // Eight running sums, so the compiler can keep them in one vector register.
    std::array<float, 8> sums{};
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        for (size_t k = 0; k < 8; ++k) sums[k] += a[i + k] * b[i + k];
    }
    float sum = 0;
    for (; i < n; ++i) sum += a[i] * b[i];
    for (float s : sums) sum += s;
    return sum;
}

float momentShare(std::span<const InkStroke> strokes) {
    const InkExtent extent = extentOf(strokes);
    return shareOf(extent.length, extent.box.side());
}

FeatureFrame featureFrame(std::span<const InkStroke> strokes) {
    const InkExtent extent = extentOf(strokes);
    const InkBox& box = extent.box;
    const float side = box.side();
    if (!(side > 0) || !std::isfinite(side)) return {};
    const float share = shareOf(extent.length, side);
    const FeatureFrame boxFrame{{(box.left + box.right) / 2, (box.top + box.bottom) / 2}, side, share};
    if (share == 0) return boxFrame;
    // The first and second moments of the pen path, each piece a uniform segment: relative to the box's
    // centre, in units of its side, so that far-off ink keeps its precision.
    double length = 0, sx = 0, sy = 0, sxx = 0, syy = 0;
    for (const auto& stroke : strokes) {
        for (size_t i = 1; i < stroke.size(); ++i) {
            const double ax = (stroke[i - 1].x - boxFrame.centre.x) / side;
            const double ay = (stroke[i - 1].y - boxFrame.centre.y) / side;
            const double bx = (stroke[i].x - boxFrame.centre.x) / side;
            const double by = (stroke[i].y - boxFrame.centre.y) / side;
            const double l = std::hypot(bx - ax, by - ay);
            length += l;
            sx += l * (ax + bx) / 2;
            sy += l * (ay + by) / 2;
            sxx += l * (ax * ax + ax * bx + bx * bx) / 3;
            syy += l * (ay * ay + ay * by + by * by) / 3;
        }
    }
    const double mx = sx / length, my = sy / length;
    const double deviation = std::sqrt(std::max({sxx / length - mx * mx, syy / length - my * my, 0.0}));
    const auto span = static_cast<float>(std::clamp(kMomentSpan * deviation, double{kLeastMomentSpan},
                                                    double{kMostMomentSpan})) *
                      side;
    const InkPoint centroid{boxFrame.centre.x + static_cast<float>(mx) * side,
                            boxFrame.centre.y + static_cast<float>(my) * side};
    const auto blend = [share](float a, float b) { return a + share * (b - a); };
    return {{blend(boxFrame.centre.x, centroid.x), blend(boxFrame.centre.y, centroid.y)},
            blend(boxFrame.span, span),
            share};
}

FeatureVector directionFeatures(std::span<const InkStroke> strokes) {
    return directionFeatures(strokes, featureFrame(strokes));
}

FeatureVector directionFeatures(std::span<const InkStroke> strokes, const FeatureFrame& frame) {
    FeatureVector f{};
    if (!(frame.span > 0) || !std::isfinite(frame.span)) return f;
    const float scale = kFeatureGrid / frame.span;
    const float cx = frame.centre.x, cy = frame.centre.y;
    const float half = kFeatureGrid / 2.0f;
    auto toGrid = [&](const InkPoint& p) {
        return InkPoint{(p.x - cx) * scale + half, (p.y - cy) * scale + half};
    };

    for (const auto& stroke : strokes) {
        if (stroke.size() == 1) {
            const InkPoint p = toGrid(stroke.front());
            for (int o = 0; o < kFeatureOrientations; o += 2) {
                addPiece(f, p.x, p.y, o, o + 1, 0.5f, kDotLength * 2 / kFeatureOrientations);
            }
            continue;
        }
        for (size_t i = 1; i < stroke.size(); ++i) {
            const InkPoint a = toGrid(stroke[i - 1]), b = toGrid(stroke[i]);
            const float dx = b.x - a.x, dy = b.y - a.y;
            const float length = std::hypot(dx, dy);
            if (!(length > 0)) continue;
            float angle = std::atan2(dy, dx);
            if (angle < 0) angle += 2 * std::numbers::pi_v<float>;
            float t = angle / (std::numbers::pi_v<float> / 4);
            if (t >= kFeatureOrientations) t -= kFeatureOrientations;
            const int o0 = std::min(kFeatureOrientations - 1, static_cast<int>(t));
            const int o1 = (o0 + 1) % kFeatureOrientations;
            const float frac = t - static_cast<float>(o0);
            const int pieces = std::max(1, static_cast<int>(std::ceil(length / kPiece)));
            const float step = 1.0f / static_cast<float>(pieces);
            for (int k = 0; k < pieces; ++k) {
                const float s = (static_cast<float>(k) + 0.5f) * step;
                addPiece(f, a.x + dx * s, a.y + dy * s, o0, o1, frac, length * step);
            }
        }
    }
    for (float& x : f) x = std::sqrt(x);
    normalise(f);
    return f;
}

OrientationVector orientationsOf(const FeatureVector& features) {
    OrientationVector o{};
    for (size_t i = 0; i < kOrientationSize; ++i) {
        const float a = features[i], b = features[i + kOrientationSize];
        o[i] = std::sqrt(a * a + b * b);
    }
    normalise(o);
    return o;
}

FeatureVector blurred(const FeatureVector& features) {
    constexpr int kCells = kFeatureGrid * kFeatureGrid;
    const auto at = [](int o, int y, int x) {
        return static_cast<size_t>((o * kFeatureGrid + y) * kFeatureGrid + x);
    };
    // Across the directions, then along the rows, then down the columns.
    FeatureVector turned{};
    for (int o = 0; o < kFeatureOrientations; ++o) {
        const int before = (o + kFeatureOrientations - 1) % kFeatureOrientations;
        const int after = (o + 1) % kFeatureOrientations;
        for (int c = 0; c < kCells; ++c) {
            turned[static_cast<size_t>(o * kCells + c)] =
                features[static_cast<size_t>(o * kCells + c)] +
                kBlurTurns * (features[static_cast<size_t>(before * kCells + c)] +
                              features[static_cast<size_t>(after * kCells + c)]);
        }
    }
    const auto spread = [&](const FeatureVector& in, int dx, int dy) {
        FeatureVector out{};
        for (int o = 0; o < kFeatureOrientations; ++o) {
            for (int y = 0; y < kFeatureGrid; ++y) {
                for (int x = 0; x < kFeatureGrid; ++x) {
                    float v = in[at(o, y, x)];
                    if (x - dx >= 0 && y - dy >= 0) v += kBlurCells * in[at(o, y - dy, x - dx)];
                    if (x + dx < kFeatureGrid && y + dy < kFeatureGrid)
                        v += kBlurCells * in[at(o, y + dy, x + dx)];
                    out[at(o, y, x)] = v;
                }
            }
        }
        return out;
    };
    return spread(spread(turned, 1, 0), 0, 1);
}

CoarseVector coarseFeatures(const FeatureVector& features) {
    CoarseVector c{};
    for (int o = 0; o < kFeatureOrientations; ++o) {
        for (int y = 0; y < kFeatureGrid; ++y) {
            for (int x = 0; x < kFeatureGrid; ++x) {
                c[static_cast<size_t>((o * kCoarseGrid + y / 2) * kCoarseGrid + x / 2)] +=
                    features[static_cast<size_t>((o * kFeatureGrid + y) * kFeatureGrid + x)];
            }
        }
    }
    normalise(c);
    return c;
}

}  // namespace sw::scribeng
