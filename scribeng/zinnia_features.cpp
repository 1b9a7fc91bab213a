// Zinnia's feature extraction, ported from feature.cpp of Zinnia 0.06, under Zinnia's licence:
//
//   Zinnia: Online hand recognition system with machine learning
//   Copyright(C) 2008 Taku Kudo <taku@chasen.org>
//   Copyright (c) 2005-2007, Taku Kudo
//   All rights reserved.
//
//   Redistribution and use in source and binary forms, with or without modification, are
//   permitted provided that the following conditions are met:
//
//    * Redistributions of source code must retain the above
//      copyright notice, this list of conditions and the
//      following disclaimer.
//
//    * Redistributions in binary form must reproduce the above
//      copyright notice, this list of conditions and the
//      following disclaimer in the documentation and/or other
//      materials provided with the distribution.
//
//    * Neither the name of Taku Kudo nor the names of its contributors
//      may be used to endorse or promote products derived from this software
//      without specific prior written permission.
//
//   THIS SOFTWARE IS PROVIDED BY THE COPYRIGHT HOLDERS AND CONTRIBUTORS "AS IS" AND ANY EXPRESS OR IMPLIED
//   WARRANTIES, INCLUDING, BUT NOT LIMITED TO, THE IMPLIED WARRANTIES OF MERCHANTABILITY AND FITNESS FOR A
//   PARTICULAR PURPOSE ARE DISCLAIMED. IN NO EVENT SHALL THE COPYRIGHT OWNER OR CONTRIBUTORS BE LIABLE FOR
//   ANY DIRECT, INDIRECT, INCIDENTAL, SPECIAL, EXEMPLARY, OR CONSEQUENTIAL DAMAGES (INCLUDING, BUT NOT
//   LIMITED TO, PROCUREMENT OF SUBSTITUTE GOODS OR SERVICES; LOSS OF USE, DATA, OR PROFITS; OR BUSINESS
//   INTERRUPTION) HOWEVER CAUSED AND ON ANY THEORY OF LIABILITY, WHETHER IN CONTRACT, STRICT LIABILITY, OR
//   TORT (INCLUDING NEGLIGENCE OR OTHERWISE) ARISING IN ANY WAY OUT OF THE USE OF THIS SOFTWARE, EVEN IF
//   ADVISED OF THE POSSIBILITY OF SUCH DAMAGE.
//
// Every expression keeps Zinnia's types and order of operations (float here, double there, atan2f against
// atan2), so the features are the same bits; CMakeLists.txt compiles this file without contracting
// multiplications and additions into fused ones.
#include "scribeng/zinnia_features.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace sw::scribeng {
namespace {

static_assert(std::endian::native == std::endian::little, "the binary model is read in place, little-endian");

// Pieces numbered above this give no features.
constexpr size_t kMaxPiece = 50;
constexpr int32_t kMoveBase = kZinniaMoveBase;
constexpr int32_t kCountBase = kZinniaCountBase;
constexpr size_t kNodeSize = 8;

int32_t indexOf(const char* nodes, size_t k) {
    int32_t index = 0;
    std::memcpy(&index, nodes + k * kNodeSize, sizeof index);
    return index;
}

float weightOf(const char* nodes, size_t k) {
    float weight = 0;
    std::memcpy(&weight, nodes + k * kNodeSize + 4, sizeof weight);
    return weight;
}

struct Node {
    float x;
    float y;
};

float distance(const Node* n1, const Node* n2) {
    const float x = n1->x - n2->x;
    const float y = n1->y - n2->y;
    return std::sqrt(x * x + y * y);
}

float distance2(const Node* n1) {
    const float x = n1->x - 0.5;
    const float y = n1->y - 0.5;
    return std::sqrt(x * x + y * y);
}

// The squared distance (relative to the chord's) of the point of [first, last) farthest from the chord
// first-last, the first of equals in *best. 0 for a piece of one point, NaN for a chord of no length.
float minimumDistance(const Node* first, const Node* last, const Node** best) {
    if (first == last) return 0.0;
    const float a = last->x - first->x;
    const float b = last->y - first->y;
    const float c = last->y * first->x - last->x * first->y;
    float max = -1.0;
    for (const Node* n = first; n != last; ++n) {
        const float dist = std::fabs((a * n->y) - (b * n->x) + c);
        if (dist > max) {
            max = dist;
            *best = n;
        }
    }
    return max * max / (a * a + b * b);
}

struct NodePair {
    const Node* first = nullptr;
    const Node* last = nullptr;
};
using Pieces = std::array<NodePair, kMaxPiece + 1>;

// Zinnia recurses to the end of the split; only the pieces up to kMaxPiece give features, so this stops
// there.
void getVertex(const Node* first, const Node* last, size_t id, Pieces& pieces) {
    pieces[id] = {first, last};
    const Node* best = nullptr;
    const float dist = minimumDistance(first, last, &best);
    static const float error = 0.001;
    if (dist > error && best && id * 2 + 1 <= kMaxPiece) {
        getVertex(first, best, id * 2 + 1, pieces);
        if (id * 2 + 2 <= kMaxPiece) getVertex(best, last, id * 2 + 2, pieces);
    }
}

class FeatureList {
public:
    explicit FeatureList(std::vector<ZinniaFeature>& out) : m_out(out) {}
    void add(int index, float value) { m_out.push_back({index, value}); }

    void basic(int offset, const Node* first, const Node* last) {
        add(offset + 1, 10 * distance(first, last));
        add(offset + 2, std::atan2(last->y - first->y, last->x - first->x));
        add(offset + 3, 10 * (first->x - 0.5));
        add(offset + 4, 10 * (first->y - 0.5));
        add(offset + 5, 10 * (last->x - 0.5));
        add(offset + 6, 10 * (last->y - 0.5));
        add(offset + 7, std::atan2(first->y - 0.5, first->x - 0.5));
        add(offset + 8, std::atan2(last->y - 0.5, last->x - 0.5));
        add(offset + 9, 10 * distance2(first));
        add(offset + 10, 10 * distance2(last));
        add(offset + 11, 5 * (last->x - first->x));
        add(offset + 12, 5 * (last->y - first->y));
    }

private:
    std::vector<ZinniaFeature>& m_out;
};

}  // namespace

std::vector<ZinniaFeature> zinniaFeatureVector(std::span<const std::vector<SpacePoint>> strokes, size_t width,
                                               size_t height) {
    std::vector<ZinniaFeature> features;
    if (height == 0 || width == 0 || strokes.empty() || strokes.size() > kMaxZinniaStrokes) return features;
    std::vector<std::vector<Node>> nodes(strokes.size());
    for (size_t i = 0; i < strokes.size(); ++i) {
        if (strokes[i].empty()) return features;
        nodes[i].resize(strokes[i].size());
        for (size_t j = 0; j < strokes[i].size(); ++j) {
            nodes[i][j].x = 1.0 * strokes[i][j].x / width;
            nodes[i][j].y = 1.0 * strokes[i][j].y / height;
        }
    }

    FeatureList list(features);
    list.add(0, 1.0);
    const Node* prev = nullptr;
    for (size_t sid = 0; sid < nodes.size(); ++sid) {
        Pieces pieces{};
        const Node* first = &nodes[sid][0];
        const Node* last = &nodes[sid][nodes[sid].size() - 1];
        getVertex(first, last, 0, pieces);
        for (size_t i = 0; i < pieces.size(); ++i) {
            if (!pieces[i].first) continue;
            list.basic(static_cast<int>(sid * 1000 + 20 * i), pieces[i].first, pieces[i].last);
        }
        if (prev) list.basic(static_cast<int>(kMoveBase + sid * 1000), prev, first);
        prev = last;
    }
    list.add(kCountBase, static_cast<float>(nodes.size()));
    list.add(static_cast<int>(kCountBase + nodes.size()), 10);
    std::sort(features.begin(), features.end(),
              [](const ZinniaFeature& a, const ZinniaFeature& b) { return a.index < b.index; });
    return features;
}

ZinniaFeatures::ZinniaFeatures(std::span<const std::vector<SpacePoint>> strokes, size_t width,
                               size_t height) {
    const auto features = zinniaFeatureVector(strokes, width, height);
    if (features.empty()) return;
    m_valid = true;
    // The tables' extents: the largest vertex index, and the largest index from kMoveBase on below the
    // stroke count features, within kMaxDenseFeatures together.
    int32_t lastVertex = -1;
    int32_t lastMove = kMoveBase - 1;
    for (const auto& f : features) {
        if (f.index < kMoveBase) lastVertex = std::max(lastVertex, f.index);
        if (f.index >= kMoveBase && f.index < kCountBase) lastMove = std::max(lastMove, f.index);
    }
    m_vertexEnd = static_cast<uint32_t>(lastVertex + 1);
    m_moveEnd = static_cast<uint32_t>(
        std::min<int64_t>(lastMove - kMoveBase + 1, static_cast<int64_t>(kMaxDenseFeatures - m_vertexEnd)));
    m_table.assign(size_t{m_vertexEnd} + m_moveEnd, 0.0F);
    for (size_t i = 0; i < features.size(); ++i) {
        const auto& f = features[i];
        if (i > 0 && features[i - 1].index == f.index) continue;  // Zinnia's dot product meets the first only
        if (static_cast<uint32_t>(f.index) < m_vertexEnd) {
            m_table[static_cast<size_t>(f.index)] = f.value;
        } else if (f.index >= kMoveBase && static_cast<uint32_t>(f.index - kMoveBase) < m_moveEnd) {
            m_table[m_vertexEnd + static_cast<size_t>(f.index - kMoveBase)] = f.value;
        } else {
            m_rest.push_back(f);
        }
    }
}

size_t ZinniaFeatures::addTable(const ClassWeights& weights, size_t at, double& sum, bool moves) const {
    const char* const data = weights.nodes.data();
    const size_t count = weights.nodes.size() / kNodeSize;
    const float* const table = m_table.data() + (moves ? m_vertexEnd : 0);
    const int32_t base = moves ? kMoveBase : 0;
    const uint32_t end = moves ? m_moveEnd : m_vertexEnd;
    // Within a table's range a weight whose index is no feature adds weight x 0, which leaves the sum's value
    // as it is. The range ends at the first weight outside it.
    for (; at < count; ++at) {
        const auto slot = static_cast<uint32_t>(indexOf(data, at) - base);
        if (slot >= end) break;
        sum += weightOf(data, at) * table[slot];
    }
    return at;
}

double ZinniaFeatures::dotFrom(const ClassWeights& weights, size_t k, double sum) const {
    if (!m_valid) return sum;
    k = addTable(weights, k, sum, false);
    return dotFromMoves(weights, k, sum);
}

double ZinniaFeatures::dotFromMoves(const ClassWeights& weights, size_t k, double sum) const {
    const char* const data = weights.nodes.data();
    const size_t count = weights.nodes.size() / kNodeSize;
    const auto indexAt = [data](size_t at) { return indexOf(data, at); };
    // Weights are in increasing index order, so the tables' ranges and the list are met one after the other;
    // the weights between the ranges and between the listed features meet no feature.
    k = std::max(k, std::min(weights.firstMove, count));
    k = addTable(weights, k, sum, true);
    for (const auto& feature : m_rest) {
        if (feature.index >= kCountBase) k = std::max(k, std::min(weights.firstCount, count));
        while (k < count && indexAt(k) >= 0 && indexAt(k) < feature.index) ++k;
        if (k == count || indexAt(k) != feature.index) continue;
        sum += weightOf(data, k) * feature.value;
        ++k;
    }
    return sum;
}

void ZinniaFeatures::dot(std::span<const ClassWeights> weights, std::span<double> sums) const {
    const size_t n = std::min(weights.size(), sums.size());
    if (!m_valid) {
        for (size_t c = 0; c < n; ++c) sums[c] = 0.0;
        return;
    }
    const float* const table = m_table.data();
    const uint32_t end = m_vertexEnd;
    const float* const moves = table + m_vertexEnd;
    const uint32_t moveEnd = m_moveEnd;
    constexpr auto kMoveBaseSlot = static_cast<uint32_t>(kMoveBase);
    // Four classes are summed side by side while each is within the vertex table, their sums in registers;
    // then each goes on alone. Classes of about as many weights within the table are put together, so that
    // little is left to go on alone: by where their weights leave the table, found by halving (increasing
    // indexes; for others any order is as right).
    std::vector<std::pair<size_t, size_t>> order(n);  // weights within the table, class
    for (size_t c = 0; c < n; ++c) {
        const char* const nodes = weights[c].nodes.data();
        size_t low = 0, high = weights[c].nodes.size() / kNodeSize;
        while (low < high) {
            const size_t mid = low + (high - low) / 2;
            if (static_cast<uint32_t>(indexOf(nodes, mid)) < end) {
                low = mid + 1;
            } else {
                high = mid;
            }
        }
        order[c] = {low, c};
    }
    std::sort(order.begin(), order.end());
    size_t g = 0;
    for (; g + 4 <= n; g += 4) {
        const ClassWeights& w0 = weights[order[g].second];
        const ClassWeights& w1 = weights[order[g + 1].second];
        const ClassWeights& w2 = weights[order[g + 2].second];
        const ClassWeights& w3 = weights[order[g + 3].second];
        const char* const n0 = w0.nodes.data();
        const char* const n1 = w1.nodes.data();
        const char* const n2 = w2.nodes.data();
        const char* const n3 = w3.nodes.data();
        const size_t all =
            std::min({w0.nodes.size(), w1.nodes.size(), w2.nodes.size(), w3.nodes.size()}) / kNodeSize;
        double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        size_t k = 0;
        for (; k < all; ++k) {
            const auto i0 = static_cast<uint32_t>(indexOf(n0, k));
            const auto i1 = static_cast<uint32_t>(indexOf(n1, k));
            const auto i2 = static_cast<uint32_t>(indexOf(n2, k));
            const auto i3 = static_cast<uint32_t>(indexOf(n3, k));
            if (std::max({i0, i1, i2, i3}) >= end) break;
            s0 += weightOf(n0, k) * table[i0];
            s1 += weightOf(n1, k) * table[i1];
            s2 += weightOf(n2, k) * table[i2];
            s3 += weightOf(n3, k) * table[i3];
        }
        // Each finishes its vertex weights alone, then the four go on side by side over the move table,
        // each from its own first move weight, while each is within it.
        size_t k0 = addTable(w0, k, s0, false), k1 = addTable(w1, k, s1, false);
        size_t k2 = addTable(w2, k, s2, false), k3 = addTable(w3, k, s3, false);
        k0 = std::max(k0, std::min(w0.firstMove, w0.nodes.size() / kNodeSize));
        k1 = std::max(k1, std::min(w1.firstMove, w1.nodes.size() / kNodeSize));
        k2 = std::max(k2, std::min(w2.firstMove, w2.nodes.size() / kNodeSize));
        k3 = std::max(k3, std::min(w3.firstMove, w3.nodes.size() / kNodeSize));
        const char* const m0 = n0 + k0 * kNodeSize;
        const char* const m1 = n1 + k1 * kNodeSize;
        const char* const m2 = n2 + k2 * kNodeSize;
        const char* const m3 = n3 + k3 * kNodeSize;
        const size_t steps = std::min({w0.nodes.size() / kNodeSize - k0, w1.nodes.size() / kNodeSize - k1,
                                       w2.nodes.size() / kNodeSize - k2, w3.nodes.size() / kNodeSize - k3});
        size_t t = 0;
        for (; t < steps; ++t) {
            const auto i0 = static_cast<uint32_t>(indexOf(m0, t)) - kMoveBaseSlot;
            const auto i1 = static_cast<uint32_t>(indexOf(m1, t)) - kMoveBaseSlot;
            const auto i2 = static_cast<uint32_t>(indexOf(m2, t)) - kMoveBaseSlot;
            const auto i3 = static_cast<uint32_t>(indexOf(m3, t)) - kMoveBaseSlot;
            if (std::max({i0, i1, i2, i3}) >= moveEnd) break;
            s0 += weightOf(m0, t) * moves[i0];
            s1 += weightOf(m1, t) * moves[i1];
            s2 += weightOf(m2, t) * moves[i2];
            s3 += weightOf(m3, t) * moves[i3];
        }
        sums[order[g].second] = dotFromMoves(w0, k0 + t, s0);
        sums[order[g + 1].second] = dotFromMoves(w1, k1 + t, s1);
        sums[order[g + 2].second] = dotFromMoves(w2, k2 + t, s2);
        sums[order[g + 3].second] = dotFromMoves(w3, k3 + t, s3);
    }
    for (; g < n; ++g) sums[order[g].second] = dot(weights[order[g].second]);
}

}  // namespace sw::scribeng
