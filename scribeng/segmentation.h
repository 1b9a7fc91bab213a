// Segmentation of free writing into characters.
//
// Input is the bounding box of every stroke in writing order; output is a partition of the strokes into
// runs of consecutive strokes, one run per character, in order. This first version looks only at horizontal
// extents (one line written left to right); it is meant to be replaced by a search that also weighs
// recognition scores, so the engine only depends on these two functions.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "scribeng/geometry.h"

namespace sw::scribeng {

// Groups all strokes into characters. Empty input gives no runs.
std::vector<CharRun> segmentStrokes(std::span<const Box> strokeBoxes);

// Makes strokes forced.first..forced.last one character. The characters of `previous` that lie wholly
// outside that run keep their grouping; a previous character cut by it keeps its remaining strokes as one
// character. When `previous` is not a partition of all strokes (no earlier result), the strokes before and
// after the forced run are segmented afresh. `forced` must lie within the strokes.
std::vector<CharRun> regroupStrokes(std::span<const Box> strokeBoxes, std::span<const CharRun> previous,
                                    CharRun forced);

// True when `runs` covers strokes 0..strokeCount-1 exactly once, in order, without empty runs.
bool isPartition(std::span<const CharRun> runs, int32_t strokeCount);

}  // namespace sw::scribeng
