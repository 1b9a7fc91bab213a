// A character's strokes as handed to Zinnia: placed in Zinnia's square space and reduced to the points its
// feature extraction can see.
//
// Zinnia describes a stroke by the vertices of a recursive split: the chord from the first point to the last,
// split at the point farthest from it while that point lies more than sqrt(0.001) of the space from the
// chord, and so on for both halves, the pieces numbered like a binary heap (0, then 1 and 2, then 3 to 6...).
// Only the pieces numbered up to 50 become features, but Zinnia keeps splitting to the end and sizes its
// table of pieces by the largest number reached, so a stroke that keeps doubling back (shading, crossing out)
// makes it recurse hundreds of levels deep and allocate gigabytes. The vertices of the first kVertexDepth
// levels are every point the features depend on: handing Zinnia only those gives the same features, and the
// recursion ends one level further down. The points of a stroke are thus at most kMaxZinniaPoints, whatever
// its length, density or pixel size, and reducing it costs a few passes over its points.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "scribeng/geometry.h"
#include "scribeng/zinnia_model.h"

namespace sw::scribeng {

// Zinnia's coordinate space.
inline constexpr int kZinniaSpace = 1000;
// Levels of the split whose vertices are kept; pieces 0..50 lie in levels 0..5.
inline constexpr int kVertexDepth = 6;
// The end points and at most one vertex per piece of those levels.
inline constexpr size_t kMaxZinniaPoints = (size_t{1} << kVertexDepth) + 1;

struct SpacePoint {
    int x = 0;
    int y = 0;
    bool operator==(const SpacePoint&) const = default;
};

// The points of `stroke` (in Zinnia's space) that Zinnia's features depend on, in writing order: the first
// and last point and the vertices of the first kVertexDepth levels of the split. Consecutive repeats are
// dropped.
std::vector<SpacePoint> zinniaVertices(std::span<const SpacePoint> stroke);

// Strokes written without lifting the pen between them (a fast writer's joins) hold the pen's way from one
// to the next, which Zinnia's models of the separate strokes do not know. The versions of the character
// with up to `most` pieces most likely to be such a way taken out (each cut stroke becomes the strokes before
// and after the way), every stroke reduced by zinniaVertices, in order of their number of cuts: for each k,
// the k likeliest ways that do not meet, then up to `alternatives` versions with each of them in turn
// replaced by each of the next likeliest that meets none of the others. How likely a piece is goes by its
// direction and, less, its length: of two pieces going about as likely a way, the longer is the likelier.
// A way is a straight piece between two vertices of a split finer than Zinnia's (a short way and the end of
// the stroke before it are one piece of Zinnia's), or two such pieces running straight on, neither the first
// nor the last piece of its stroke, at least 0.065 of the character long, where the pen turns as it begins
// and as it ends, going the way the pen goes between strokes (left and up, where strokes go right and down).
// Ways down-left or right and a little up, and ways down to 0.043 of the character, only where the pen turns
// sharply at both ends; so ways right or down (where strokes go), at least 0.065 of the character long,
// which come after every likelier way and only in ink of two strokes or more (in one stroke they are a
// letter's or a kana's own turns: a u's second stem). A way that runs straight on into the next stroke, or
// straight out of the one before it, shows only where the pen turns back at its other end: a stroke is also
// split, nothing taken out, at a vertex where the pen turns by 120 degrees or more with at least 0.065 of the
// character on both sides (a hook's turn back is shorter), after every way and only in ink of two strokes or
// more (its UnjoinedVersion::shortest is 0).
// Fewer versions where fewer pieces look like one; `placed` as zinniaStrokesOf gives it with every point
// kept.
struct UnjoinedVersion {
    size_t cuts = 0;  // ways taken out
    // The likelihood of its least likely way: how much more often a piece going that way is the pen's way
    // between strokes than part of a stroke (natural log of the ratio; up to about 3.9 for a way straight
    // up, down to about -3.8 for one down and right; -4 with a split).
    float weakest = 0;
    float shortest = 0;  // the length of its shortest way (units of the space; 0 with a split)
    // The least of its ways' turns: the lesser of the pen's turns (degrees) where each way begins and ends
    // (0 with a split).
    float leastTurn = 0;
    std::vector<std::vector<SpacePoint>> strokes;  // each reduced by zinniaVertices
    std::vector<std::vector<SpacePoint>> ink;      // the same strokes with every point kept (no repeats)
};
std::vector<UnjoinedVersion> unjoinedVersions(std::span<const std::vector<SpacePoint>> placed, size_t most,
                                              size_t alternatives = 0);

// A way (as unjoinedVersions finds them, going where the pen goes between strokes, turning by 60 degrees at
// least where it begins and ends) that the stroke after it runs back over, the pen turning back at its end
// (方's dot joined to its horizontal by a way left that the horizontal then covers), leaves no ink of its
// own: taking it out changes how the character looks in nothing; so does a way that runs back over the end of
// the stroke before it. Such a way is at least 0.065 of the character long and covered for 0.8 of it, or,
// where the pen turns by 90 degrees at both ends, of any length and covered for half of it. ひ's first bend,
// which its stroke runs back over, turns less where it begins, and ム's short corner turns less than 90
// degrees. Takes every such way out of `placed` (as zinniaStrokesOf gives it with every point kept; each cut
// stroke becomes the strokes before and after the way, consecutive repeats dropped) and returns how many.
// Strokes without such a way are left as they are.
size_t cutRetracedWays(std::vector<std::vector<SpacePoint>>& placed);

// The strokes (canvas pixels) placed in Zinnia's space: the square around `frame` and the ink (side: the
// largest of their widths and heights, centred on both together) spans the middle 70 per cent of it, every
// stroke reduced by zinniaVertices. Empty strokes are skipped.
ZinniaCharacter zinniaCharacterOf(std::span<const Stroke> strokes, const Box& ink, const Box& frame);

// The size of a canvas pixel in Zinnia's space, placed as zinniaCharacterOf places strokes.
double zinniaPixel(const Box& ink, const Box& frame);

// The strokes placed in Zinnia's space as zinniaCharacterOf places them, every point kept (`reduce` false)
// or reduced by zinniaVertices.
std::vector<std::vector<SpacePoint>> zinniaStrokesOf(std::span<const Stroke> strokes, const Box& ink,
                                                     const Box& frame, bool reduce = true);

}  // namespace sw::scribeng
