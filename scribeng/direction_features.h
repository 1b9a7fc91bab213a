// Stroke-order-free shape features of one character: the directions of the pen's path on a coarse grid.
//
// The ink is scaled into a square (its longer side spanning the grid, centred, aspect kept). Every piece of
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

// Features of the strokes (any unit, y down). Ink without any extent (no points, or one point only) gives
// the zero vector, which is similar to nothing.
FeatureVector directionFeatures(std::span<const InkStroke> strokes);

// Line orientations of a direction vector: a line drawn either way counts the same (each pair of opposite
// directions joined, as the square root of the sum of their squares), unit length.
inline constexpr int kOrientationSize = kFeatureGrid * kFeatureGrid * kFeatureOrientations / 2;
using OrientationVector = std::array<float, kOrientationSize>;
OrientationVector orientationsOf(const FeatureVector& features);

// The coarse projection of a feature vector, scaled to unit length (zero stays zero).
CoarseVector coarseFeatures(const FeatureVector& features);

// Scales to unit length in place; the zero vector stays zero.
void normalise(std::span<float> v);

float dot(std::span<const float> a, std::span<const float> b);

}  // namespace sw::scribeng
