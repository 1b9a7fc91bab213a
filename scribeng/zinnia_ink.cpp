#include "scribeng/zinnia_ink.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace sw::scribeng {
namespace {

// The margin left around the character (the Japanese model was trained on characters that fill about 70
// per cent of their box).
constexpr double kMargin = 0.15;
// Zinnia splits a piece while its farthest point lies further than this (squared, in units of the space).
constexpr float kSplitError = 0.001F;

struct Node {
    float x = 0;
    float y = 0;
};

// The point of nodes[first..last) farthest from the chord first-last (the first of equals) and its squared
// distance, computed as Zinnia computes it so that both pick the same point. A chord of no length splits
// nothing.
std::pair<size_t, float> farthest(std::span<const Node> nodes, size_t first, size_t last) {
    const Node& f = nodes[first];
    const Node& l = nodes[last];
    const float a = l.x - f.x;
    const float b = l.y - f.y;
    const float c = l.y * f.x - l.x * f.y;
    float best = -1.0F;
    size_t at = first;
    for (size_t i = first; i < last; ++i) {
        const float distance = std::fabs(a * nodes[i].y - b * nodes[i].x + c);
        if (distance > best) {
            best = distance;
            at = i;
        }
    }
    const float chord = a * a + b * b;
    if (!(chord > 0)) return {first, 0.0F};
    return {at, best * best / chord};
}

}  // namespace

std::vector<SpacePoint> zinniaVertices(std::span<const SpacePoint> stroke) {
    std::vector<SpacePoint> points;
    points.reserve(stroke.size());
    for (const auto& p : stroke) {
        if (points.empty() || !(points.back() == p)) points.push_back(p);
    }
    if (points.size() <= 2) return points;

    std::vector<Node> nodes;
    nodes.reserve(points.size());
    for (const auto& p : points) {
        nodes.push_back({static_cast<float>(p.x) / kZinniaSpace, static_cast<float>(p.y) / kZinniaSpace});
    }
    std::vector<bool> keep(points.size(), false);
    keep.front() = keep.back() = true;
    // Level by level: the pieces of one level cover the stroke once, so each level is one pass.
    std::vector<std::pair<size_t, size_t>> level{{0, points.size() - 1}}, next;
    for (int depth = 0; depth < kVertexDepth && !level.empty(); ++depth) {
        next.clear();
        for (const auto& [first, last] : level) {
            if (last - first < 2) continue;
            const auto [at, distance] = farthest(nodes, first, last);
            if (!(distance > kSplitError)) continue;
            keep[at] = true;
            next.emplace_back(first, at);
            next.emplace_back(at, last);
        }
        std::swap(level, next);
    }
    std::vector<SpacePoint> out;
    for (size_t i = 0; i < points.size(); ++i) {
        if (keep[i]) out.push_back(points[i]);
    }
    return out;
}

std::vector<std::vector<SpacePoint>> zinniaStrokesOf(std::span<const Stroke> strokes, const Box& ink,
                                                     const Box& frame, bool reduce) {
    Box square = ink;
    square.add(frame);
    const double side =
        std::max<double>({static_cast<double>(square.width()), static_cast<double>(square.height()), 1.0});
    const double cx = (static_cast<double>(square.left) + square.right) / 2;
    const double cy = (static_cast<double>(square.top) + square.bottom) / 2;
    const double scale = kZinniaSpace * (1 - 2 * kMargin) / side;
    // Ink far outside the frame lands far outside the space; clamping keeps the arithmetic finite.
    const auto place = [&](double v, double centre) {
        return static_cast<int>(std::clamp(std::lround((v - centre) * scale + kZinniaSpace / 2.0),
                                           -8L * kZinniaSpace, 8L * kZinniaSpace));
    };
    std::vector<std::vector<SpacePoint>> out;
    std::vector<SpacePoint> placed;
    for (const auto& stroke : strokes) {
        if (stroke.empty()) continue;
        placed.clear();
        for (const auto& p : stroke) placed.push_back({place(p.x, cx), place(p.y, cy)});
        out.push_back(reduce ? zinniaVertices(placed) : placed);
    }
    return out;
}

ZinniaCharacter zinniaCharacterOf(std::span<const Stroke> strokes, const Box& ink, const Box& frame) {
    ZinniaCharacter character(kZinniaSpace, kZinniaSpace);
    size_t id = 0;
    for (const auto& stroke : zinniaStrokesOf(strokes, ink, frame)) {
        for (const auto& p : stroke) character.add(id, p.x, p.y);
        ++id;
    }
    return character;
}

}  // namespace sw::scribeng
