// The regroup rule of GiveStrokeSetInfo over an earlier segmentation.
//
// Free writing is segmented by search (line_search.h); a regroup that has an earlier result to work from
// needs no search: the forced run becomes one character and every other character keeps its strokes.
#pragma once

#include <span>
#include <vector>

#include "scribeng/geometry.h"

namespace sw::scribeng {

// Makes strokes forced.first..forced.last one character. The characters of `previous` (a partition of the
// strokes, see isPartition) that lie wholly outside that run keep their grouping; a previous character cut
// by it keeps its remaining strokes before and after the run as one character each. `forced` must lie
// within the strokes.
std::vector<CharRun> regroupStrokes(std::span<const CharRun> previous, CharRun forced);

// True when `runs` covers strokes 0..strokeCount-1 exactly once, in order, without empty runs.
bool isPartition(std::span<const CharRun> runs, int32_t strokeCount);

}  // namespace sw::scribeng
