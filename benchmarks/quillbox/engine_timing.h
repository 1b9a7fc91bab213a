// The engine's own time for a whole line, timed the same way wherever the box or the board is compared with
// it: a fresh object with the strokes added outside the timing, then the category mask and RecognizeNF.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "contracts/scribeng.h"
#include "quillbox/engine_binding.h"

namespace sw::quillbox {

inline void timeEngineRecognition(benchmark::State& state, const EngineApi& e,
                                  const std::vector<std::vector<EnginePoint>>& strokes) {
    int32_t characters = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const int32_t object = e.CreateNewObject();
        for (const auto& s : strokes) e.AddStrokeLast(object, s.data(), static_cast<int32_t>(s.size()));
        state.ResumeTiming();
        e.SetRecCategory(0x1FF);
        if (e.RecognizeNF(object) == 0) benchmark::DoNotOptimize(e.GetString(object, 0, &characters));
        state.PauseTiming();
        e.DestroyObject(object);
        state.ResumeTiming();
    }
    state.counters["characters"] = characters;
}

}  // namespace sw::quillbox
