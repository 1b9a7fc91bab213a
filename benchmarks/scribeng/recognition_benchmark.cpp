// Recognition time per character (free: RecognizeNF of a one-character object; guided: RecognizeF of its
// PTW) and per line of six characters (RecognizeNF), over the engine's development set.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "scribeng/loader.h"
#include "stroke_file.h"

namespace {

namespace fs = std::filesystem;

sw::scribeng::EngineLibrary& engine() {
    static sw::scribeng::EngineLibrary* lib = [] {
        auto* l = new sw::scribeng::EngineLibrary;
        if (!l->load(SCRIBENG_LIBRARY)) {
            std::fprintf(stderr, "%s\n", l->error().c_str());
            std::exit(1);
        }
        return l;
    }();
    return *lib;
}

// One object per stroke file whose name starts with `prefix`.
std::vector<int32_t> objects(const std::string& prefix) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(SCRIBENG_BENCHMARK_DATA)) {
        if (entry.path().filename().string().rfind(prefix, 0) == 0) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<int32_t> out;
    for (const auto& path : files) {
        auto file = sw::scribeng::readStrokeFile(path);
        if (!file) continue;
        const int32_t o = engine().CreateNewObject();
        for (const auto& s : file->strokes)
            engine().AddStrokeLast(o, s.data(), static_cast<int32_t>(s.size()));
        out.push_back(o);
    }
    return out;
}

void recognizeFree(benchmark::State& state, const std::string& prefix) {
    const auto set = objects(prefix);
    engine().SetRecCategory(0x1FF);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine().RecognizeNF(set[i++ % set.size()]));
    }
    state.SetItemsProcessed(state.iterations());
    for (int32_t o : set) engine().DestroyObject(o);
}

void BM_FreeCharacter(benchmark::State& state) { recognizeFree(state, "single_"); }
void BM_FreeLineOfSix(benchmark::State& state) { recognizeFree(state, "line6_"); }

void BM_GuidedCharacter(benchmark::State& state) {
    const auto set = objects("single_");
    std::vector<PtwHandle> patterns;
    for (int32_t o : set) patterns.push_back(engine().GetPatternW(o, 0, engine().GetStrokeCount(o) - 1));
    engine().SetRecCategory(0x1FF);
    engine().SetGuideBox(0, 0, 0, 0);
    CandidateEntry list[20];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine().RecognizeF(patterns[i++ % patterns.size()], list, 20));
    }
    state.SetItemsProcessed(state.iterations());
    for (PtwHandle p : patterns) engine().DestroyPatternW(p);
    for (int32_t o : set) engine().DestroyObject(o);
}

BENCHMARK(BM_FreeCharacter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GuidedCharacter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeLineOfSix)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
