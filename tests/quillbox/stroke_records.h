// Strokes as pattern records and back, for the recognition box's tests and benchmarks.
#pragma once

#include <span>
#include <vector>

#include "contracts/scribeng.h"
#include "records/handle_table.h"

namespace sw::quillbox::test {

using Strokes = std::vector<std::vector<EnginePoint>>;

// The strokes as a pattern record owned by the test (free with freePtw(handle, Owner::Test)).
inline Handle makePtw(const Strokes& strokes) {
    size_t count = 0;
    for (const auto& s : strokes) count += s.size();
    PtwAllocation ptw = allocatePtw(Owner::Test, static_cast<int64_t>(count));
    size_t i = 0;
    for (const auto& s : strokes) {
        for (const EnginePoint& p : s)
            ptw.points[i++] = PtwPoint{static_cast<int16_t>(p.x), static_cast<int16_t>(p.y), 0, 0};
        ptw.points[i - 1].Flag = kFlagPenUp;
    }
    return ptw.handle;
}

// The strokes of a pattern record (split at the pen-up flags).
inline Strokes strokesOf(Handle ptw) {
    Strokes strokes;
    std::span<const PtwPoint> points;
    if (!ptwPoints(ptw, &points)) return strokes;
    std::vector<EnginePoint> current;
    for (const PtwPoint& p : points) {
        current.push_back(EnginePoint{p.X, p.Y});
        if (p.Flag == kFlagPenUp) {
            strokes.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty()) strokes.push_back(std::move(current));
    return strokes;
}

}  // namespace sw::quillbox::test
