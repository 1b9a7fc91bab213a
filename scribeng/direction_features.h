// Stroke-order-free shape features of one character: the directions of the pen's path on a coarse grid.
//
// The ink is scaled into a square (its longer side spanning the grid, centred, aspect kept). Every piece of
// every stroke adds its length to the two nearest of four line orientations (0, 45, 90, 135 degrees; a line
// drawn either way counts the same) at its position, spread over the grid by a Gaussian of about half a cell.
// The order of the strokes, their directions and where the pen was lifted do not matter; a stroke that joins
// two others only adds its connecting piece. The vector is square-rooted (so long strokes do not drown
// short ones) and scaled to unit length: the similarity of two characters is the dot product of their
// vectors, 1 for the same shape.
#pragma once

#include <array>
#include <span>
#include <vector>

namespace sw::scribeng {

inline constexpr int kFeatureGrid = 8;
inline constexpr int kFeatureOrientations = 4;
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

// The coarse projection of a feature vector, scaled to unit length (zero stays zero).
CoarseVector coarseFeatures(const FeatureVector& features);

// Scales to unit length in place; the zero vector stays zero.
void normalise(std::span<float> v);

float dot(std::span<const float> a, std::span<const float> b);

}  // namespace sw::scribeng
