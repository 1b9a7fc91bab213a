#include "scribeng/segmentation.h"

#include <cstdint>
#include <limits>

namespace sw::scribeng {
namespace {

// A character may be this much wider than the line is high before it is split ...
constexpr double kMaxCharWidth = 1.4;
// ... and parts of one character are at most this far apart (both relative to the line height).
constexpr double kMaxInnerGap = 0.6;
// Strokes whose extents overlap or come this close (relative to the line height) form one block.
constexpr double kTouching = 0.04;

struct Block {
    CharRun run;
    int64_t left, right;
};

int64_t gapBetween(const Block& a, const Block& b) { return b.left - a.right; }

}  // namespace

bool isPartition(std::span<const CharRun> runs, int32_t strokeCount) {
    int32_t next = 0;
    for (const auto& run : runs) {
        if (run.first != next || run.last < run.first) return false;
        next = run.last + 1;
    }
    return next == strokeCount;
}

std::vector<CharRun> segmentStrokes(std::span<const Box> strokeBoxes) {
    Box line;
    for (const auto& box : strokeBoxes) line.add(box);
    const double height = std::max<double>(static_cast<double>(line.height()), 1.0);

    // Blocks: consecutive strokes whose horizontal extents overlap.
    std::vector<Block> blocks;
    for (int32_t i = 0; i < static_cast<int32_t>(strokeBoxes.size()); ++i) {
        const Box& box = strokeBoxes[i];
        const int64_t left = box.empty() ? 0 : box.left, right = box.empty() ? 0 : box.right;
        if (!blocks.empty()) {
            Block& current = blocks.back();
            const int64_t overlap = std::min(current.right, right) - std::max(current.left, left);
            if (overlap >= -kTouching * height) {
                current.run.last = i;
                current.left = std::min(current.left, left);
                current.right = std::max(current.right, right);
                continue;
            }
        }
        blocks.push_back({{i, i}, left, right});
    }

    // Join neighbouring blocks, closest first, while the result stays a plausible character.
    for (;;) {
        size_t best = blocks.size();
        int64_t bestGap = std::numeric_limits<int64_t>::max();
        for (size_t i = 0; i + 1 < blocks.size(); ++i) {
            const Block& a = blocks[i];
            const Block& b = blocks[i + 1];
            const int64_t gap = gapBetween(a, b);
            const int64_t width = std::max(a.right, b.right) - std::min(a.left, b.left);
            if (gap <= kMaxInnerGap * height && width <= kMaxCharWidth * height && gap < bestGap) {
                best = i;
                bestGap = gap;
            }
        }
        if (best == blocks.size()) break;
        Block& a = blocks[best];
        const Block& b = blocks[best + 1];
        a.run.last = b.run.last;
        a.left = std::min(a.left, b.left);
        a.right = std::max(a.right, b.right);
        blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(best) + 1);
    }

    std::vector<CharRun> runs;
    runs.reserve(blocks.size());
    for (const auto& block : blocks) runs.push_back(block.run);
    return runs;
}

std::vector<CharRun> regroupStrokes(std::span<const Box> strokeBoxes, std::span<const CharRun> previous,
                                    CharRun forced) {
    const auto count = static_cast<int32_t>(strokeBoxes.size());
    std::vector<CharRun> runs;
    if (isPartition(previous, count)) {
        bool placed = false;
        for (const auto& run : previous) {
            if (run.last < forced.first || run.first > forced.last) {
                if (run.first > forced.last && !placed) {
                    runs.push_back(forced);
                    placed = true;
                }
                runs.push_back(run);
                continue;
            }
            // Cut by the forced run: what lies before it and what lies after it stay one character each.
            if (run.first < forced.first) runs.push_back({run.first, forced.first - 1});
            if (!placed) {
                runs.push_back(forced);
                placed = true;
            }
            if (run.last > forced.last) runs.push_back({forced.last + 1, run.last});
        }
        if (!placed) runs.push_back(forced);
        return runs;
    }
    for (const auto& run : segmentStrokes(strokeBoxes.first(static_cast<size_t>(forced.first))))
        runs.push_back(run);
    runs.push_back(forced);
    for (auto run : segmentStrokes(strokeBoxes.subspan(static_cast<size_t>(forced.last) + 1))) {
        runs.push_back({run.first + forced.last + 1, run.last + forced.last + 1});
    }
    return runs;
}

}  // namespace sw::scribeng
