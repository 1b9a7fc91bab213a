// Stroke-order-free shape features of one character: the directions of the pen's path on a coarse grid.
//
// The ink is scaled into a square (its longer side spanning the grid, centred, aspect kept; long ink by its
// moments instead, see featureFrame). Every piece of
// every stroke adds its length to the two nearest of eight pen directions (every 45 degrees: a line drawn
// left to right and one drawn right to left count apart) at its position, spread over the grid by a Gaussian
// of about half a cell. The order of the strokes and where the pen was lifted do not matter; a stroke that
// joins two others only adds its connecting piece. Directions do: people draw a stroke of a given character
// the same way round, and on real handwriting eight directions rank the right kanji first twice as often as
// four line orientations (60% against 33%; within the best 300 always, against 92%). The vector is
// square-rooted (so long strokes do not drown short ones) and scaled to unit length: the similarity of two
// characters is the dot product of their vectors, 1 for the same shape.
#pragma once

#include <array>
#include <span>
#include <vector>

// On x86-64 the hot loops of the shape comparison are compiled twice, for the processor's 256-bit vector unit
// where it has one and for the baseline, and the loader picks one. No clone fuses a multiply with an add, so
// every clone computes the same floats bit for bit.
#if defined(__x86_64__) && defined(__GNUC__)
#define SW_SCRIBENG_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define SW_SCRIBENG_VECTOR_CLONES
#endif

namespace sw::scribeng {

inline constexpr int kFeatureGrid = 8;
inline constexpr int kFeatureOrientations = 8;
inline constexpr int kFeatureSize = kFeatureGrid * kFeatureGrid * kFeatureOrientations;
// The coarse projection: the grid pooled 2 x 2.
inline constexpr int kCoarseGrid = kFeatureGrid / 2;
inline constexpr int kCoarseSize = kCoarseGrid * kCoarseGrid * kFeatureOrientations;

// Index of a feature: orientation-major, then row, then column.
using FeatureVector = std::array<float, kFeatureSize>;
using CoarseVector = std::array<float, kCoarseSize>;

struct InkPoint {
    float x = 0;
    float y = 0;
};
using InkStroke = std::vector<InkPoint>;

// Where the grid lies on the ink: the grid's centre and the span of ink (ink units) its side covers; and the
// ink's momentShare, which placed it.
struct FeatureFrame {
    InkPoint centre;
    float span = 0;
    float share = 0;
};

// How far the grid is placed by the ink's moments rather than its box: 0 where the pen path is at most
// kBoxFrameUpTo times the longer side of the ink's box, 1 from kMomentFrameFrom times on, linear between.
// Short ink (a kanji's few strokes, a letter, a kana) keeps its box, which tells look-alikes that differ in
// proportion only (オ 才, ス 又, ユ エ); in long ink (a kanji of many strokes) one stroke written further off
// or longer than usual would shrink the rest of the character in its box, and the moments move little.
inline constexpr float kBoxFrameUpTo = 2.5f;
inline constexpr float kMomentFrameFrom = 4.5f;
float momentShare(std::span<const InkStroke> strokes);

// The grid's place on the ink, blended by momentShare between the box frame (centred on the box, the longer
// side spanning the grid) and the moment frame: centred on the centroid of the pen path (weighted by length)
// and spanning kMomentSpan standard deviations of the path along the axis where it spreads more (aspect
// kept), held to kLeastMomentSpan..kMostMomentSpan times the box's longer side. The moments only narrow the
// frame: ink that spreads to its box's edges (a ring, 口 日) spans more deviations than the box, and a
// wider frame drew it smaller than the box does. Held to twice the side, ０ (its form of 3.6 sides of
// path) came closer to a lone upright stroke, which under a digits-only mask then read less clearly as
// １ and was joined with the next stroke into ０ (い). A span of 0 for ink without extent.
inline constexpr float kMomentSpan = 4.25f;
inline constexpr float kLeastMomentSpan = 0.5f;
inline constexpr float kMostMomentSpan = 1.0f;
FeatureFrame featureFrame(std::span<const InkStroke> strokes);

// Features of the strokes (any unit, y down), placed on the grid by featureFrame. Ink without any extent (no
// points, or one point only) gives the zero vector, which is similar to nothing.
FeatureVector directionFeatures(std::span<const InkStroke> strokes);
// The same on a frame featureFrame gave for these strokes.
FeatureVector directionFeatures(std::span<const InkStroke> strokes, const FeatureFrame& frame);

// Line orientations of a direction vector: a line drawn either way counts the same (each pair of opposite
// directions joined, as the square root of the sum of their squares), unit length.
inline constexpr int kOrientationSize = kFeatureGrid * kFeatureGrid * kFeatureOrientations / 2;
using OrientationVector = std::array<float, kOrientationSize>;
OrientationVector orientationsOf(const FeatureVector& features);

// The coarse projection of a feature vector, scaled to unit length (zero stays zero).
CoarseVector coarseFeatures(const FeatureVector& features);

// The features spread to the neighbouring cells and directions, for a rough likeness that another writer's
// shifted, slanted or turned strokes keep: each value adds kBlurCells of its four neighbours across the grid
// (kBlurCells^2 of the four diagonal ones) and kBlurTurns of the two directions 45 degrees either side of
// its own (eight directions wrap round). Linear and symmetric, so blurred(a) . blurred(b) equals
// a . blurred(blurred(b)). Not scaled.
inline constexpr float kBlurCells = 0.5f;
inline constexpr float kBlurTurns = 0.3f;
FeatureVector blurred(const FeatureVector& features);

// Scales to unit length in place; the zero vector stays zero.
void normalise(std::span<float> v);

float dot(std::span<const float> a, std::span<const float> b);

}  // namespace sw::scribeng
