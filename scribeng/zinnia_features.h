// Zinnia's features of a character, computed once and shared by every model, and the dot product of a class's
// weights with them, both exactly as libzinnia computes them (so every score equals Zinnia's own classify).
//
// The feature extraction is a port of feature.cpp of Zinnia 0.06 (zinnia_features.cpp carries its licence).
//
// A character is a list of strokes in a width x height space. Each stroke is described by the pieces of a
// recursive split (zinnia_ink.h); piece i of stroke s gives twelve features at s*1000 + 20*i + 1..12 (i up
// to 50), the move from the end of stroke s-1 to the start of stroke s twelve at 100000 + s*1000 + 1..12,
// and the stroke count two more: 2000000 (value: the count) and 2000000 + count (value 10); index 0 is the
// bias feature (value 1). Piece 50 of a stroke shares its indexes with piece 0 of the next one: Zinnia sorts
// the features by index (std::sort, which keeps no order among equal indexes) and its dot product meets only
// the first of equal indexes, so the port sorts the same list the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "scribeng/zinnia_ink.h"

namespace sw::scribeng {

struct ZinniaFeature {
    int32_t index = 0;
    float value = 0;
};

// Where the move features and the stroke count features begin.
inline constexpr int32_t kZinniaMoveBase = 100000;
inline constexpr int32_t kZinniaCountBase = 2000000;

// A class's weights as the binary model stores them: {int32 index, float weight} pairs (little-endian),
// indexes strictly increasing and ended by index -1 (the model loader checks both), with the places of the
// first node whose index is at least kZinniaMoveBase and kZinniaCountBase (or of the end mark), which the
// loader notes so that scoring can pass over the weights of strokes the character does not have.
struct ClassWeights {
    std::span<const char> nodes;
    size_t firstMove = 0;   // in nodes
    size_t firstCount = 0;  // in nodes
};

// Zinnia's feature vector of the character, sorted by index as Zinnia sorts it (equal indexes included).
// Empty where Zinnia's classify gives no result: no stroke, an empty stroke, a zero width or height; and
// for more strokes than Zinnia's int feature indexes can number (kMaxZinniaStrokes).
std::vector<ZinniaFeature> zinniaFeatureVector(std::span<const std::vector<SpacePoint>> strokes, size_t width,
                                               size_t height);

inline constexpr size_t kMaxZinniaStrokes = 2'000'000;

// The features of one character laid out for scoring many classes: two dense tables, of the vertex
// features (indexes below the largest of them) and of the move features (from 100000 on), with a zero where
// the character has no feature and, of equal indexes, the value Zinnia's dot product meets; what lies beyond
// both (the stroke count features, and the moves of characters of more than 100 strokes) in a short sorted
// list. The tables take about 8 KB per stroke (240 KB for 30 strokes), at most kMaxDenseFeatures floats; the
// sorted list holds whatever lies beyond.
class ZinniaFeatures {
public:
    ZinniaFeatures() = default;  // no character: valid() is false
    ZinniaFeatures(std::span<const std::vector<SpacePoint>> strokes, size_t width, size_t height);

    // False where Zinnia's classify gives no result (see zinniaFeatureVector); dot() is then 0.
    bool valid() const { return m_valid; }

    // Zinnia's dot product of a class's weights with these features: the product weight x value of every
    // weight whose index is a feature, summed in increasing index order in double, as Zinnia sums it.
    // Nothing outside `weights.nodes` is read, whatever it and the places hold.
    double dot(const ClassWeights& weights) const { return dotFrom(weights, 0, 0.0); }
    // The dot products of several classes at once, the same as dot() of each, bit for bit: four classes are
    // summed side by side, so that none waits for another's additions. `sums` has one per class.
    void dot(std::span<const ClassWeights> weights, std::span<double> sums) const;

    static constexpr size_t kMaxDenseFeatures = 200'000;

private:
    // dot() of the weights from node `k` on, the vertex weights before it having given `sum`.
    double dotFrom(const ClassWeights& weights, size_t k, double sum) const;
    // The same from node `k` on within or after the move weights, the vertex weights all added.
    double dotFromMoves(const ClassWeights& weights, size_t k, double sum) const;
    // Adds to `sum` the weights from node `at` on within the vertex table (or the move table), up to the
    // first weight outside it, which it returns.
    size_t addTable(const ClassWeights& weights, size_t at, double& sum, bool moves) const;

    std::vector<float> m_table;  // [0, m_vertexEnd) vertex features, then [kMoveBase, kMoveBase + m_moveEnd)
    uint32_t m_vertexEnd = 0;
    uint32_t m_moveEnd = 0;
    std::vector<ZinniaFeature> m_rest;  // sorted, the first of equal indexes only
    bool m_valid = false;
};

}  // namespace sw::scribeng
