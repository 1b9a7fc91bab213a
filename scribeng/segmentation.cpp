#include "scribeng/segmentation.h"

namespace sw::scribeng {

bool isPartition(std::span<const CharRun> runs, int32_t strokeCount) {
    int32_t next = 0;
    for (const auto& run : runs) {
        if (run.first != next || run.last < run.first) return false;
        next = run.last + 1;
    }
    return next == strokeCount;
}

std::vector<CharRun> regroupStrokes(std::span<const CharRun> previous, CharRun forced) {
    std::vector<CharRun> runs;
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

}  // namespace sw::scribeng
