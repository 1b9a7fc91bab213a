// DeletePattern on a full board: a drawing of 100,000 points and a lasso selection of 2,000 points.
//
// The drawing is 5,000 strokes of 20 points. The selection is 100 of those strokes spread over the board;
// in front of each selected stroke sits a decoy that agrees with it on its first 10 points and then leaves
// it, so every selected stroke costs one abandoned run before it matches.
#include <benchmark/benchmark.h>

#include <vector>

#include "records/handle_table.h"
#include "veiladd/veil_ops.h"
#include "veiladd/veiladd_methods.h"

namespace {

using sw::VeilPoint;

constexpr int kStrokes = 5000;
constexpr int kStrokeLength = 20;
constexpr int kSelectedEvery = 50;  // 100 selected strokes
constexpr int kDecoyPrefix = 10;

VeilPoint strokePoint(int stroke, int t) {
    const int16_t state = t == 0 ? sw::kStateFirst : t == kStrokeLength - 1 ? sw::kStateLast : 0;
    return {stroke * 7 % 1900 + t * 3, stroke * 13 % 1000 + t * 2, state, 3, 0xFFFFFF};
}

struct Board {
    std::vector<VeilPoint> drawing;
    std::vector<VeilPoint> selection;
};

Board makeBoard() {
    Board board;
    board.drawing.reserve(kStrokes * kStrokeLength);
    for (int s = 0; s < kStrokes; ++s) {
        const bool selected = s % kSelectedEvery == kSelectedEvery - 1;
        const bool decoy = s % kSelectedEvery == kSelectedEvery - 2;
        for (int t = 0; t < kStrokeLength; ++t) {
            VeilPoint p = strokePoint(decoy ? s + 1 : s, t);
            if (decoy && t >= kDecoyPrefix) p.Y += 500;  // leaves the selected stroke after 10 points
            board.drawing.push_back(p);
            if (selected) board.selection.push_back(p);
        }
    }
    return board;
}

void BM_DeletePatternScan(benchmark::State& state) {
    const Board board = makeBoard();
    std::vector<VeilPoint> out(board.drawing.size());
    size_t kept = 0;
    for (auto _ : state) {
        kept = sw::veiladd::deletePattern(board.drawing, board.selection, out);
        benchmark::DoNotOptimize(out.data());
    }
    if (kept != board.drawing.size() - board.selection.size()) state.SkipWithError("selection not removed");
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(board.drawing.size()));
    state.counters["time_per_1000_points"] =
        benchmark::Counter(static_cast<double>(board.drawing.size()) / 1000.0,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DeletePatternScan)->Unit(benchmark::kMicrosecond);

// The whole method as the board calls it: handles resolved, the result array allocated from the handle table
// and released with FreePatternData.
void BM_DeletePatternMethod(benchmark::State& state) {
    const Board board = makeBoard();
    auto drawing = sw::allocateStrokeData(sw::Owner::Test, static_cast<int64_t>(board.drawing.size()));
    auto selection = sw::allocateStrokeData(sw::Owner::Test, static_cast<int64_t>(board.selection.size()));
    std::copy(board.drawing.begin(), board.drawing.end(), drawing.data);
    std::copy(board.selection.begin(), board.selection.end(), selection.data);
    const auto drawingNum = static_cast<int32_t>(board.drawing.size());
    const auto selectionNum = static_cast<int32_t>(board.selection.size());
    for (auto _ : state) {
        int32_t result = 0;
        int32_t resultNum = 0;
        if (!sw::veiladd::DeletePattern(drawing.handle, drawingNum, selection.handle, selectionNum, result,
                                        resultNum))
            state.SkipWithError("DeletePattern failed");
        sw::veiladd::FreePatternData(result);
    }
    state.SetItemsProcessed(state.iterations() * drawingNum);
    state.counters["time_per_1000_points"] = benchmark::Counter(
        drawingNum / 1000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    sw::freeBlock(drawing.handle, sw::Owner::Test);
    sw::freeBlock(selection.handle, sw::Owner::Test);
}
BENCHMARK(BM_DeletePatternMethod)->Unit(benchmark::kMicrosecond);

}  // namespace
