// Recognition time per character (free: RecognizeNF of a one-character object; guided: RecognizeF of its
// PTW), per line of six characters and per selection of three rows (RecognizeNF), over the engine's
// development set; free recognition of real handwriting (the kanji folder of the shared samples, when
// present); and the worst inputs known: a dense scribble of 600 strokes, one stroke of 600 points doubling
// back, 2,000 dots.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "hostile_ink.h"
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

int32_t objectOf(const std::vector<std::vector<EnginePoint>>& strokes) {
    const int32_t o = engine().CreateNewObject();
    for (const auto& s : strokes) engine().AddStrokeLast(o, s.data(), static_cast<int32_t>(s.size()));
    return o;
}

// One object per stroke file of `folder` whose name starts with `prefix`.
std::vector<int32_t> objects(const std::string& prefix, const fs::path& folder = SCRIBENG_BENCHMARK_DATA) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename().string().rfind(prefix, 0) == 0) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    std::vector<int32_t> out;
    for (const auto& path : files) {
        if (auto file = sw::scribeng::readStrokeFile(path)) out.push_back(objectOf(file->strokes));
    }
    return out;
}

void recognizeFree(benchmark::State& state, const std::vector<int32_t>& set) {
    if (set.empty()) {
        state.SkipWithError("no input");
        return;
    }
    engine().SetRecCategory(0x1FF);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine().RecognizeNF(set[i++ % set.size()]));
    }
    state.SetItemsProcessed(state.iterations());
    for (int32_t o : set) engine().DestroyObject(o);
}

void BM_FreeCharacter(benchmark::State& state) { recognizeFree(state, objects("single_")); }
void BM_FreeLineOfSix(benchmark::State& state) { recognizeFree(state, objects("line6_")); }
// Three rows in one selection: the lines of six and seven characters, one under the other, written in turn.
void BM_FreeThreeRows(benchmark::State& state) {
    std::vector<std::vector<EnginePoint>> strokes;
    int32_t top = 0;
    for (const char* name : {"line6_a.txt", "line6_b.txt", "line7_a.txt"}) {
        const auto file = sw::scribeng::readStrokeFile(fs::path(SCRIBENG_BENCHMARK_DATA) / name);
        if (!file) {
            state.SkipWithError("no input");
            return;
        }
        for (auto s : file->strokes) {
            for (auto& p : s) p.y += top;
            strokes.push_back(std::move(s));
        }
        top += 120;
    }
    recognizeFree(state, {objectOf(strokes)});
}
// Real writing: the shared samples beside the repository (SkipWithError where they are absent).
void BM_FreeRealKanji(benchmark::State& state) {
    recognizeFree(state, objects("", SCRIBENG_REAL_DATA "/kanji-learner1"));
}
void BM_WorstScribble600(benchmark::State& state) {
    recognizeFree(state, {objectOf(sw::scribeng::hostile::scribble(600))});
}
void BM_WorstDoublingBack600(benchmark::State& state) {
    recognizeFree(state, {objectOf(sw::scribeng::hostile::doublingBack(600))});
}
void BM_WorstDots2000(benchmark::State& state) {
    recognizeFree(state, {objectOf(sw::scribeng::hostile::dots(2000))});
}

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
BENCHMARK(BM_FreeThreeRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeRealKanji)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorstScribble600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorstDoublingBack600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorstDots2000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
