// Stock Zinnia on the engine's benchmark input (the Debian model alone, every class ranked: what the engine
// did before its shape shortlist), and the stages of the engine's coarse-to-fine recogniser: direction
// features, the template shortlist, Zinnia's scores for the shortlist, and the whole recognition (also of
// real kanji with a short and a long shortlist).
#include <benchmark/benchmark.h>
#include <zinnia.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "scribeng/recognizer.h"
#include "stroke_file.h"

namespace {

namespace fs = std::filesystem;
using sw::scribeng::Box;
using sw::scribeng::Stroke;

const char* const kStockModel = "/usr/share/tegaki/models/zinnia/handwriting-ja.model";

std::vector<std::vector<Stroke>> files(const std::string& prefix) {
    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(SCRIBENG_BENCHMARK_DATA)) {
        if (entry.path().filename().string().rfind(prefix, 0) == 0) paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    std::vector<std::vector<Stroke>> out;
    for (const auto& path : paths) {
        if (auto file = sw::scribeng::readStrokeFile(path)) out.push_back(file->strokes);
    }
    if (out.empty()) {
        std::fprintf(stderr, "no %s files in %s\n", prefix.c_str(), SCRIBENG_BENCHMARK_DATA);
        std::exit(1);
    }
    return out;
}

// The characters of a line file: its characters stand in boxes 140 pixels apart from x = 20
// (tests/data/scribeng/README.md).
std::vector<std::vector<Stroke>> charactersOfLine(const std::vector<Stroke>& line) {
    std::vector<std::vector<Stroke>> out;
    for (const auto& stroke : line) {
        const Box box = sw::scribeng::boundsOf(stroke);
        const auto index = static_cast<size_t>(std::max<int64_t>(0, ((box.left + box.right) / 2 - 20) / 140));
        if (out.size() <= index) out.resize(index + 1);
        out[index].push_back(stroke);
    }
    std::erase_if(out, [](const auto& c) { return c.empty(); });
    return out;
}

// The character framed into Zinnia's 1000 x 1000 space the way the engine frames a lone character.
std::unique_ptr<zinnia::Character> zinniaCharacter(const std::vector<Stroke>& strokes) {
    std::unique_ptr<zinnia::Character> c(zinnia::Character::create());
    c->set_width(1000);
    c->set_height(1000);
    const Box ink = sw::scribeng::boundsOf(strokes);
    const double side =
        std::max<double>({static_cast<double>(ink.width()), static_cast<double>(ink.height()), 1.0});
    const double cx = (ink.left + ink.right) / 2.0, cy = (ink.top + ink.bottom) / 2.0, scale = 700 / side;
    for (size_t id = 0; id < strokes.size(); ++id) {
        for (const auto& p : strokes[id]) {
            c->add(id, static_cast<int>(std::lround((p.x - cx) * scale + 500)),
                   static_cast<int>(std::lround((p.y - cy) * scale + 500)));
        }
    }
    return c;
}

const zinnia::Recognizer& stockZinnia() {
    static zinnia::Recognizer* r = [] {
        auto* recognizer = zinnia::Recognizer::create();
        if (!recognizer->open(kStockModel)) {
            std::fprintf(stderr, "cannot open %s\n", kStockModel);
            std::exit(1);
        }
        return recognizer;
    }();
    return *r;
}

const sw::scribeng::Recognizer& engineRecognizer() {
    static const auto* r = [] {
        const std::vector<fs::path> folders{SCRIBENG_MODEL_DIR};
        auto* recognizer = new sw::scribeng::Recognizer(folders);
        if (!recognizer->hasTemplates()) {
            std::fprintf(stderr, "no models or templates in %s\n", SCRIBENG_MODEL_DIR);
            std::exit(1);
        }
        return recognizer;
    }();
    return *r;
}

void BM_StockZinniaCharacter(benchmark::State& state) {
    std::vector<std::unique_ptr<zinnia::Character>> set;
    for (const auto& strokes : files("single_")) set.push_back(zinniaCharacter(strokes));
    size_t i = 0;
    for (auto _ : state) {
        std::unique_ptr<zinnia::Result> result(stockZinnia().classify(*set[i++ % set.size()], 20));
        benchmark::DoNotOptimize(result.get());
    }
    state.SetItemsProcessed(state.iterations());
}

// Six characters, already grouped: the recognition alone, no segmentation.
void BM_StockZinniaLineOfSix(benchmark::State& state) {
    std::vector<std::vector<std::unique_ptr<zinnia::Character>>> lines;
    for (const auto& line : files("line6_")) {
        auto& characters = lines.emplace_back();
        for (const auto& strokes : charactersOfLine(line)) characters.push_back(zinniaCharacter(strokes));
    }
    size_t i = 0;
    for (auto _ : state) {
        for (const auto& c : lines[i++ % lines.size()]) {
            std::unique_ptr<zinnia::Result> result(stockZinnia().classify(*c, 20));
            benchmark::DoNotOptimize(result.get());
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_DirectionFeatures(benchmark::State& state) {
    const auto set = files("single_");
    std::vector<std::vector<sw::scribeng::InkStroke>> inks;
    for (const auto& strokes : set) {
        auto& ink = inks.emplace_back();
        for (const auto& s : strokes) {
            auto& stroke = ink.emplace_back();
            for (const auto& p : s) stroke.push_back({static_cast<float>(p.x), static_cast<float>(p.y)});
        }
    }
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(sw::scribeng::directionFeatures(inks[i++ % inks.size()]));
    state.SetItemsProcessed(state.iterations());
}

void BM_TemplateShortlist(benchmark::State& state) {
    const auto& recognizer = engineRecognizer();
    std::vector<sw::scribeng::FeatureVector> features;
    for (const auto& strokes : files("single_")) {
        std::vector<sw::scribeng::InkStroke> ink;
        for (const auto& s : strokes) {
            auto& stroke = ink.emplace_back();
            for (const auto& p : s) stroke.push_back({static_cast<float>(p.x), static_cast<float>(p.y)});
        }
        features.push_back(sw::scribeng::directionFeatures(ink));
    }
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(recognizer.templates().rank(features[i++ % features.size()], 0x1FF, 60));
    }
    state.SetItemsProcessed(state.iterations());
}

// The engine's recogniser for one character (no segmentation, no C ABI): shortlist, Zinnia for the
// shortlist, fusion.
void BM_EngineRecognizerCharacter(benchmark::State& state) {
    const auto& recognizer = engineRecognizer();
    const auto set = files("single_");
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(recognizer.recognize(set[i++ % set.size()], Box{}, 0x1FF, 20));
    state.SetItemsProcessed(state.iterations());
}

// One recognition of a real kanji by the engine's recogniser (no segmentation, no C ABI) with the shortlist
// and coarse sizes of the arguments: what a longer shortlist costs.
void BM_RecognizeRealKanji(benchmark::State& state) {
    std::vector<std::vector<Stroke>> set;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(SCRIBENG_REAL_DATA) / "kanji-learner1", ec), end;
         !ec && it != end; it.increment(ec)) {
        if (auto file = sw::scribeng::readStrokeFile(it->path())) set.push_back(file->strokes);
    }
    if (set.empty()) {
        state.SkipWithError("no real kanji in " SCRIBENG_REAL_DATA);
        return;
    }
    const auto& recognizer = engineRecognizer();
    const auto shortlist = static_cast<size_t>(state.range(0));
    const auto coarse = static_cast<size_t>(state.range(1));
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            recognizer.recognize(set[i++ % set.size()], Box{}, 0x1FF, 10, shortlist, coarse));
    }
    state.SetItemsProcessed(state.iterations());
}

// Loading the engine's models and templates, as the first recognition after start does: the wait of a
// teacher's first selection.
void BM_LoadModels(benchmark::State& state) {
    const std::vector<fs::path> folders{SCRIBENG_MODEL_DIR};
    for (auto _ : state) {
        sw::scribeng::Recognizer recognizer(folders);
        if (!recognizer.hasTemplates()) {
            state.SkipWithError("no models or templates in " SCRIBENG_MODEL_DIR);
            return;
        }
        benchmark::DoNotOptimize(recognizer);
    }
}

BENCHMARK(BM_StockZinniaCharacter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StockZinniaLineOfSix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirectionFeatures)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TemplateShortlist)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineRecognizerCharacter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecognizeRealKanji)->Args({300, 1000})->Args({1000, 3000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadModels)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
