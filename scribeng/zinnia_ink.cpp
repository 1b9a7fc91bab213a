#include "scribeng/zinnia_ink.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace sw::scribeng {
namespace {

// The margin left around the character (the Japanese model was trained on characters that fill about 70
// per cent of their box).
constexpr double kMargin = 0.15;
// Zinnia splits a piece while its farthest point lies further than this (squared, in units of the space).
constexpr float kSplitError = 0.001F;
// The pen's way from one stroke to the next, joined to it, is at least this long (units of the space; the
// character spans 700; shorter down to kMinSharpWayLength where it turns sharply, below) and no point of it
// lies further from its chord than this share of its length (an arc of a C or G split into pieces of 45
// degrees bulges 0.1 of its chord) or than kWayStraightnessFloor, the rounding of a point to the writer's
// pixels in a character of about a hundred of them.
constexpr float kMinWayLength = 45.0F;
constexpr float kWayStraightness = 0.075F;
constexpr float kWayStraightnessFloor = 10.0F;
// Nor does any point of a way lie further behind its start than this share of its length (or than the
// leeway above): a path that first runs back (the end of the stroke before, which the way then runs back
// over past where that stroke bent) holds a piece of the stroke as well as the way.
constexpr float kWayRunBack = 0.25F;
// Ways are looked for between the vertices of a finer split than Zinnia's: a piece is split while a point
// lies further than this from its chord (units of the space, about 1.4% of the character; Zinnia's 31.6
// leaves a short way and the end of the stroke before it in one piece), down to kWayDepth levels.
constexpr float kWaySplitError = 10.0F;
constexpr int kWayDepth = 10;
// The pen turns where a way begins and ends: the way leaves the stroke before it, and meets the one after
// it, at this many degrees at least, each side's direction taken over kWayTurnReach of the pen path (a
// piece of a stroke's slow bend or of a wobbling hand turns less).
constexpr float kWayMinTurn = 20.0F;
constexpr float kWayTurnReach = 30.0F;
// A way in a direction strokes often go too (kWayLogRatio below kWeakWay: down-left, right and a little up),
// and a way shorter than kMinWayLength down to kMinSharpWayLength (two strokes nearly touching), turns by
// kSharpWayMinTurn at least at both ends: a hand's join from a hook or a stroke's end turns sharply, while a
// stroke curving that way (a t, z or m written in a few strokes, kana in a line) or a small wobble turns
// less. So does a way going where strokes go (right, down-right, down: likelihood 0 or less), at least
// kMinWayLength long: a fast writer's way from the end of a stroke to the start of the next one to its right
// or below it.
constexpr float kWeakWay = 1.0F;
constexpr float kMinSharpWayLength = 30.0F;
constexpr float kSharpWayMinTurn = 60.0F;
// Pieces of the finer split a way may span.
constexpr size_t kWayPieces = 2;
// A way that runs back over the stroke before it or that the next stroke runs back over: that stroke stays
// within kRetraceOffset of the way's length (at least kRetraceOffsetFloor units) of its line over
// kRetraceShare of it (the pen turns back by about 170 degrees or more). A way shorter than kMinWayLength,
// or run back over for only kRetraceHalfShare of it (a short stroke after a long way, 方's bar after the way
// from its dot), turns by kRetraceLooseTurn at both ends: a stroke's sharp corner that the stroke then runs
// back along (ム, 么) turns less.
constexpr float kRetraceOffset = 0.15F;
constexpr float kRetraceOffsetFloor = 20.0F;
constexpr float kRetraceShare = 0.8F;
constexpr float kRetraceHalfShare = 0.5F;
constexpr float kRetraceLooseTurn = 90.0F;
// A way that runs straight on into the next stroke (or straight out of the stroke before it) leaves no
// vertex where it ends; only its other end, where the pen turns back, shows. The stroke is then split at a
// vertex where the pen turns by kSplitMinTurn degrees or more, nothing taken out, where both sides are at
// least kMinWayLength long: a hook's turn back is shorter. Such a split is the least likely cut
// (kSplitLikelihood, below every direction's).
constexpr float kSplitMinTurn = 120.0F;
constexpr float kSplitLikelihood = -4.0F;
// Ways are taken out in order of their likelihood plus this times the natural log of their length over
// kMinWayLength: a long piece going the pen's way is more surely a way than a short one going as likely a
// way (the end of a hook, a kana's turn), and a long way going where strokes go is cut before a short likely
// piece. A split (no length) keeps its likelihood.
constexpr float kWayLengthWeight = 1.0F;

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

// The indexes of the points of `points` (no consecutive repeats) that zinniaVertices keeps, in order; with
// `splitError` (squared, units of the space) and `depth`, those of a split that goes on while a point lies
// further than that from its chord, down to `depth` levels.
std::vector<size_t> vertexIndexes(std::span<const SpacePoint> points, float splitError = kSplitError,
                                  int depth = kVertexDepth) {
    std::vector<size_t> out;
    if (points.size() <= 2) {
        for (size_t i = 0; i < points.size(); ++i) out.push_back(i);
        return out;
    }
    std::vector<Node> nodes;
    nodes.reserve(points.size());
    for (const auto& p : points) {
        nodes.push_back({static_cast<float>(p.x) / kZinniaSpace, static_cast<float>(p.y) / kZinniaSpace});
    }
    std::vector<bool> keep(points.size(), false);
    keep.front() = keep.back() = true;
    // Level by level: the pieces of one level cover the stroke once, so each level is one pass.
    std::vector<std::pair<size_t, size_t>> level{{0, points.size() - 1}}, next;
    for (int d = 0; d < depth && !level.empty(); ++d) {
        next.clear();
        for (const auto& [first, last] : level) {
            if (last - first < 2) continue;
            const auto [at, distance] = farthest(nodes, first, last);
            if (!(distance > splitError)) continue;
            keep[at] = true;
            next.emplace_back(first, at);
            next.emplace_back(at, last);
        }
        std::swap(level, next);
    }
    for (size_t i = 0; i < points.size(); ++i) {
        if (keep[i]) out.push_back(i);
    }
    return out;
}

std::vector<SpacePoint> withoutRepeats(std::span<const SpacePoint> stroke) {
    std::vector<SpacePoint> points;
    points.reserve(stroke.size());
    for (const auto& p : stroke) {
        if (points.empty() || !(points.back() == p)) points.push_back(p);
    }
    return points;
}

// How much more often a piece of pen path going this way is the way from one stroke to the next than part of
// a stroke (natural log of the ratio), every 45 degrees from east (0) clockwise, y down. Counted on 1,500
// random kanji of KanjiVG, strokes simplified to pieces of 3% of the character: strokes go right and down,
// the pen goes back left and up to begin the next one. Two directions are set from real joined writing
// rather than counted: down-left (-0.36 counted) and east (-3.10). A hand's way from a hook or the end of a
// left-falling stroke down-left to the next start, and from the end of a stroke right and a little up to
// the next one (羽's hook to its next stroke), were rated as strokes. Such ways turn sharply at both ends
// (kSharpWayMinTurn), which keeps a stroke curving that way whole.
constexpr std::array<float, 8> kWayLogRatio = {-1.00F, -3.83F, -3.23F, 0.50F, 2.84F, 2.17F, 3.86F, 2.15F};

// The angle in degrees (0..180) between the directions (ax, ay) and (bx, by); 180 where one has no length.
float turnBetween(float ax, float ay, float bx, float by) {
    const float norms = std::hypot(ax, ay) * std::hypot(bx, by);
    if (!(norms > 0)) return 180.0F;
    return std::acos(std::clamp((ax * bx + ay * by) / norms, -1.0F, 1.0F)) * 180.0F /
           std::numbers::pi_v<float>;
}

// The points of `p` kWayTurnReach of pen path before `at` and after it (or its first and last point), over
// which the pen's direction into `at` and out of it is taken.
std::pair<size_t, size_t> turnReach(std::span<const SpacePoint> p, size_t at) {
    const auto apart = [&](size_t a) {
        return std::hypot(static_cast<float>(p[a].x - p[at].x), static_cast<float>(p[a].y - p[at].y));
    };
    size_t before = at;
    while (before > 0 && apart(before) < kWayTurnReach) --before;
    size_t after = at;
    while (after + 1 < p.size() && apart(after) < kWayTurnReach) ++after;
    return {before, after};
}

// The lesser of the pen's turns (degrees) where the piece from..to of `p` begins and where it ends.
float endTurn(std::span<const SpacePoint> p, size_t from, size_t to) {
    const size_t before = turnReach(p, from).first;
    const size_t after = turnReach(p, to).second;
    const auto x = [&](size_t i) { return static_cast<float>(p[i].x); };
    const auto y = [&](size_t i) { return static_cast<float>(p[i].y); };
    const float wayX = x(to) - x(from), wayY = y(to) - y(from);
    return std::min(turnBetween(x(from) - x(before), y(from) - y(before), wayX, wayY),
                    turnBetween(wayX, wayY, x(after) - x(to), y(after) - y(to)));
}

// Whether the pen turns by `least` degrees or more where the piece from..to of `p` begins and where it ends.
bool turnsAtBothEnds(std::span<const SpacePoint> p, size_t from, size_t to, float least) {
    return endTurn(p, from, to) >= least;
}

// How far the pen turns at point `at` of `p` (degrees), its directions taken as turnReach gives them.
float turnAt(std::span<const SpacePoint> p, size_t at) {
    const auto [before, after] = turnReach(p, at);
    return turnBetween(static_cast<float>(p[at].x - p[before].x), static_cast<float>(p[at].y - p[before].y),
                       static_cast<float>(p[after].x - p[at].x), static_cast<float>(p[after].y - p[at].y));
}

float wayLogRatio(float dx, float dy) {
    float t = std::atan2(dy, dx) / (std::numbers::pi_v<float> / 4);
    if (t < 0) t += 8;
    const auto i = std::min<size_t>(7, static_cast<size_t>(t));
    const float frac = t - static_cast<float>(i);
    return kWayLogRatio[i] * (1 - frac) + kWayLogRatio[(i + 1) % 8] * frac;
}

// Whether the pen path of `p` from point `from` to point `to` runs straight: no point of it further from the
// chord than kWayStraightness of its length or kWayStraightnessFloor, nor further behind its start than
// kWayRunBack of its length or that.
bool runsStraight(std::span<const SpacePoint> p, size_t from, size_t to) {
    const float dx = static_cast<float>(p[to].x - p[from].x);
    const float dy = static_cast<float>(p[to].y - p[from].y);
    const float length = std::hypot(dx, dy);
    const float leeway = std::max(kWayStraightness * length, kWayStraightnessFloor);
    const float runBack = std::max(kWayRunBack * length, leeway);
    for (size_t i = from + 1; i < to; ++i) {
        const float x = static_cast<float>(p[i].x - p[from].x), y = static_cast<float>(p[i].y - p[from].y);
        if (std::fabs(dx * y - dy * x) / length > leeway || (dx * x + dy * y) / length < -runBack)
            return false;
    }
    return true;
}

// Whether the pen path of `p` next to point `at` (after it, or before it with `before`) runs over the piece
// between `at` and point `other`: it keeps close to the piece's line for `share` of its length.
bool runsOver(std::span<const SpacePoint> p, size_t at, size_t other, bool before, float share) {
    const float bx = static_cast<float>(p[other].x - p[at].x);
    const float by = static_cast<float>(p[other].y - p[at].y);
    const float length = std::hypot(bx, by);
    if (!(length > 0)) return false;
    const float ux = bx / length, uy = by / length;
    const float offset = std::max(kRetraceOffset * length, kRetraceOffsetFloor);
    for (size_t i = at; before ? i > 0 : i + 1 < p.size();) {
        i = before ? i - 1 : i + 1;
        const float x = static_cast<float>(p[i].x - p[at].x), y = static_cast<float>(p[i].y - p[at].y);
        const float along = x * ux + y * uy;
        if (std::fabs(x * uy - y * ux) > offset || along < -offset) return false;
        if (along >= share * length) return true;
    }
    return false;
}

// A piece of a stroke that may be the pen's way to the next stroke: from point `from` to point `to` of the
// stroke (no repeats); a split where the pen turns back (kSplitMinTurn) is a piece of no length, `from` and
// `to` the same point, which both strokes keep.
struct WayPiece {
    size_t from = 0;
    size_t to = 0;
    float likelihood = 0;  // wayLogRatio of its direction
    float length = 0;
    float turn = 0;  // endTurn: the lesser of the pen's turns at its two ends (0 for a split)
};

// The pieces of `p` (no repeats) that may be ways, as unjoinedVersions describes them, in order of `from`.
std::vector<WayPiece> wayPieces(std::span<const SpacePoint> p) {
    std::vector<WayPiece> out;
    if (p.size() < 4) return out;
    const std::vector<size_t> vertices =
        vertexIndexes(p, (kWaySplitError / kZinniaSpace) * (kWaySplitError / kZinniaSpace), kWayDepth);
    // Both strokes keep at least one piece: the way is neither the first nor the last piece.
    for (size_t v = 1; v + 2 < vertices.size(); ++v) {
        // A way the finer split cut in two (its points rounded to the writer's pixels) is looked for as
        // well: from the vertex through the next one to the one after, where that runs straight.
        for (size_t end = v + 1; end + 1 < vertices.size() && end <= v + kWayPieces; ++end) {
            const size_t from = vertices[v], to = vertices[end];
            if (!runsStraight(p, from, to)) break;
            const float dx = static_cast<float>(p[to].x - p[from].x);
            const float dy = static_cast<float>(p[to].y - p[from].y);
            const float length = std::hypot(dx, dy);
            if (length < kMinSharpWayLength) continue;
            const float likelihood = wayLogRatio(dx, dy);
            const bool sharp = likelihood < kWeakWay || length < kMinWayLength;
            // A way going where strokes go (right or down, likelihood 0 or less) is taken out after every
            // likelier one: only where the character needs more strokes than those give.
            const float turn = endTurn(p, from, to);
            if (likelihood > 0 ? turn >= (sharp ? kSharpWayMinTurn : kWayMinTurn)
                               : length >= kMinWayLength && turn >= kSharpWayMinTurn)
                out.push_back({from, to, likelihood, length, turn});
        }
    }
    // Splits where the pen turns back, both sides kMinWayLength of pen path or more.
    std::vector<float> along(p.size(), 0.0F);  // pen path from the first point
    for (size_t i = 1; i < p.size(); ++i) {
        along[i] = along[i - 1] + std::hypot(static_cast<float>(p[i].x - p[i - 1].x),
                                             static_cast<float>(p[i].y - p[i - 1].y));
    }
    const size_t ways = out.size();
    for (size_t v = 1; v + 1 < vertices.size(); ++v) {
        const size_t at = vertices[v];
        if (along[at] < kMinWayLength || along.back() - along[at] < kMinWayLength ||
            turnAt(p, at) < kSplitMinTurn)
            continue;
        out.push_back({at, at, kSplitLikelihood, 0.0F, 0.0F});
    }
    std::inplace_merge(out.begin(), out.begin() + static_cast<ptrdiff_t>(ways), out.end(),
                       [](const WayPiece& a, const WayPiece& b) { return a.from < b.from; });
    return out;
}

}  // namespace

std::vector<SpacePoint> zinniaVertices(std::span<const SpacePoint> stroke) {
    std::vector<SpacePoint> points = withoutRepeats(stroke);
    if (points.size() <= 2) return points;
    std::vector<SpacePoint> out;
    for (size_t i : vertexIndexes(points)) out.push_back(points[i]);
    return out;
}

std::vector<UnjoinedVersion> unjoinedVersions(std::span<const std::vector<SpacePoint>> placed, size_t most,
                                              size_t alternatives) {
    struct Cut {
        size_t stroke = 0;
        size_t from = 0;  // the way runs from point `from` to point `to` of the stroke (no repeats)
        size_t to = 0;
        float likelihood = 0;
        float length = 0;
        float turn = 0;
    };
    std::vector<std::vector<SpacePoint>> points;
    std::vector<Cut> cuts;
    for (size_t s = 0; s < placed.size(); ++s) {
        points.push_back(withoutRepeats(placed[s]));
        for (const WayPiece& w : wayPieces(points.back())) {
            // Ink of one stroke (a letter or kana written in one movement: a u's second stem) has no way
            // where strokes go; only the ink of two strokes or more does.
            if (!(w.likelihood > 0) && placed.size() < 2) continue;
            cuts.push_back({s, w.from, w.to, w.likelihood, w.length, w.turn});
        }
    }
    const auto order = [](const Cut& c) {
        return c.length > 0 ? c.likelihood + kWayLengthWeight * std::log(c.length / kMinWayLength)
                            : c.likelihood;
    };
    std::stable_sort(cuts.begin(), cuts.end(),
                     [&](const Cut& a, const Cut& b) { return order(a) > order(b); });
    // Two ways do not meet: a stroke between them keeps at least one piece.
    const auto meets = [](const std::vector<Cut>& chosen, const Cut& c) {
        return std::any_of(chosen.begin(), chosen.end(), [&](const Cut& o) {
            return o.stroke == c.stroke && o.from <= c.to && c.from <= o.to;
        });
    };
    std::vector<Cut> chosen;
    std::vector<size_t> chosenAt;  // the place of each in `cuts`
    for (size_t c = 0; c < cuts.size() && chosen.size() < most; ++c) {
        if (meets(chosen, cuts[c])) continue;
        chosen.push_back(cuts[c]);
        chosenAt.push_back(c);
    }
    std::vector<UnjoinedVersion> out;
    const auto add = [&](std::vector<Cut> made) {
        std::sort(made.begin(), made.end(), [](const Cut& a, const Cut& b) {
            return a.stroke != b.stroke ? a.stroke < b.stroke : a.from < b.from;
        });
        auto& version = out.emplace_back();
        version.cuts = made.size();
        version.weakest = std::numeric_limits<float>::max();
        version.shortest = std::numeric_limits<float>::max();
        version.leastTurn = std::numeric_limits<float>::max();
        for (const Cut& c : made) {
            version.weakest = std::min(version.weakest, c.likelihood);
            version.shortest = std::min(version.shortest, c.length);
            version.leastTurn = std::min(version.leastTurn, c.turn);
        }
        size_t next = 0;
        for (size_t s = 0; s < points.size(); ++s) {
            const auto& p = points[s];
            size_t begin = 0;
            for (; next < made.size() && made[next].stroke == s; ++next) {
                const auto piece = std::span(p).subspan(begin, made[next].from + 1 - begin);
                version.strokes.push_back(zinniaVertices(piece));
                version.ink.emplace_back(piece.begin(), piece.end());
                begin = made[next].to;
            }
            const auto rest = std::span(p).subspan(begin);
            version.strokes.push_back(zinniaVertices(rest));
            version.ink.emplace_back(rest.begin(), rest.end());
        }
    };
    for (size_t k = 1; k <= chosen.size(); ++k) {
        std::vector<Cut> made(chosen.begin(), chosen.begin() + static_cast<ptrdiff_t>(k));
        add(made);
        // Each of the k ways in turn, the least likely first, replaced by the next likeliest that meet none
        // of the others: a piece of a stroke that looks more like a way than the ways themselves may rank
        // anywhere among them.
        for (size_t drop = k; drop-- > 0;) {
            std::vector<Cut> rest(chosen.begin(), chosen.begin() + static_cast<ptrdiff_t>(k));
            rest.erase(rest.begin() + static_cast<ptrdiff_t>(drop));
            size_t tried = 0;
            for (size_t c = chosenAt[k - 1] + 1; c < cuts.size() && tried < alternatives; ++c) {
                const Cut& other = cuts[c];
                if (meets(rest, other)) continue;
                rest.push_back(other);
                add(rest);
                rest.pop_back();
                ++tried;
            }
        }
    }
    return out;
}

size_t cutRetracedWays(std::vector<std::vector<SpacePoint>>& placed) {
    std::vector<std::vector<SpacePoint>> out;
    size_t count = 0;
    for (const auto& stroke : placed) {
        const std::vector<SpacePoint> p = withoutRepeats(stroke);
        // A retraced way turns sharply where it begins (a kana's stroke turning back on its way up, ひ's
        // first bend, turns less) and goes where the pen goes between strokes; a short one (a dot joined to
        // the bar beside it), or one run back over for only half of it, turns by a right angle at both ends.
        // Ways of one stroke do not meet.
        std::vector<std::pair<size_t, size_t>> ways;
        for (const WayPiece& w : wayPieces(p)) {
            if (!(w.likelihood > 0) || (!ways.empty() && w.from <= ways.back().second) ||
                !turnsAtBothEnds(p, w.from, w.to, kSharpWayMinTurn))
                continue;
            const auto covered = [&](float share) {
                return runsOver(p, w.to, w.from, false, share) || runsOver(p, w.from, w.to, true, share);
            };
            if (!(w.length >= kMinWayLength && covered(kRetraceShare)) &&
                !(covered(kRetraceHalfShare) && turnsAtBothEnds(p, w.from, w.to, kRetraceLooseTurn)))
                continue;
            ways.emplace_back(w.from, w.to);
        }
        if (ways.empty()) {
            out.push_back(stroke);
            continue;
        }
        count += ways.size();
        size_t begin = 0;
        for (const auto& [from, to] : ways) {
            out.emplace_back(p.begin() + static_cast<ptrdiff_t>(begin),
                             p.begin() + static_cast<ptrdiff_t>(from) + 1);
            begin = to;
        }
        out.emplace_back(p.begin() + static_cast<ptrdiff_t>(begin), p.end());
    }
    if (count > 0) placed = std::move(out);
    return count;
}

double zinniaPixel(const Box& ink, const Box& frame) {
    Box square = ink;
    square.add(frame);
    const double side =
        std::max<double>({static_cast<double>(square.width()), static_cast<double>(square.height()), 1.0});
    return kZinniaSpace * (1 - 2 * kMargin) / side;
}

std::vector<std::vector<SpacePoint>> zinniaStrokesOf(std::span<const Stroke> strokes, const Box& ink,
                                                     const Box& frame, bool reduce) {
    Box square = ink;
    square.add(frame);
    const double cx = (static_cast<double>(square.left) + square.right) / 2;
    const double cy = (static_cast<double>(square.top) + square.bottom) / 2;
    const double scale = zinniaPixel(ink, frame);
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
