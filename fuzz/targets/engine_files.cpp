// The engine's model and template files: any bytes are opened as a model file (Zinnia's binary format) or as
// a shape template file; a file that opens is used to score a character, and what comes back is sound.
//
// Input: one byte, even for a model file and odd for a template file, then the file.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "fuzz/fuzz_input.h"
#include "scribeng/direction_features.h"
#include "scribeng/template_set.h"
#include "scribeng/zinnia_model.h"

namespace {

namespace fs = std::filesystem;
using namespace sw::scribeng;

fs::path g_file;

void scoreModel() {
    ZinniaModel model;
    if (!model.open(g_file)) return;
    const size_t count = model.classCount();
    std::set<std::string> labels;
    for (size_t i = 0; i < count; ++i) labels.insert(model.label(i));
    ZinniaCharacter character(300, 300);
    for (int i = 0; i <= 10; ++i) character.add(0, 30 + 24 * i, 150);
    for (int i = 0; i <= 10; ++i) character.add(1, 150, 30 + 24 * i);
    const auto best = model.classify(character, std::min<size_t>(count, 10));
    FUZZ_CHECK(best.size() <= 10);
    const uint32_t subset[] = {0, static_cast<uint32_t>(count / 2), static_cast<uint32_t>(count - 1),
                               static_cast<uint32_t>(count), 4000000000u};
    const auto scored = model.classifySubset(character, subset);
    for (const auto& list : {best, scored}) {
        for (const ScoredLabel& c : list) FUZZ_CHECK(labels.count(c.label) == 1 && std::isfinite(c.score));
    }
}

void rankTemplates() {
    TemplateSet set;
    const auto codeOf = [](char32_t c) -> std::optional<CharCode> {
        if (c == 0 || c > 0xFFFF) return std::nullopt;
        return static_cast<CharCode>(c);
    };
    if (!set.load(g_file, codeOf)) {
        FUZZ_CHECK(set.empty());
        return;
    }
    const InkStroke strokes[] = {{{0, 50}, {100, 50}}, {{50, 0}, {50, 100}}};
    const std::set<CharCode> codes(set.codes().begin(), set.codes().end());
    for (const uint32_t mostStrokes : {0u, 2u}) {
        const auto ranked = set.rank(directionFeatures(strokes), -1, 20, 0, mostStrokes);
        FUZZ_CHECK(ranked.size() <= std::min<size_t>(20, set.classCount()));
        for (const ShapeMatch& m : ranked) {
            FUZZ_CHECK(codes.count(m.code) == 1);
            FUZZ_CHECK(std::isfinite(m.similarity) && std::fabs(m.similarity) <= 1.01f);
            FUZZ_CHECK(mostStrokes == 0 || set.factsOf(m.code)->minStrokes <= mostStrokes);
        }
    }
    for (CharCode code : codes) {
        const ClassFacts* facts = set.factsOf(code);
        FUZZ_CHECK(facts != nullptr);
        if (!set.hasWritingFacts()) {
            FUZZ_CHECK(facts->minStrokes == 0 && facts->ink == 0);
            continue;
        }
        FUZZ_CHECK(facts->minStrokes >= 1 && facts->minStrokes <= facts->maxStrokes &&
                   facts->maxStrokes <= kMaxFormStrokes);
        FUZZ_CHECK(std::isfinite(facts->ink) && facts->ink >= 0 && facts->ink <= kMaxFormInk);
        FUZZ_CHECK(facts->grade <= 10);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const fs::path shm = "/dev/shm";
    g_file = (fs::is_directory(shm) ? shm : fs::temp_directory_path()) /
             ("slatewise-fuzz-engine-file-" + std::to_string(getpid()));
    std::atexit([] { fs::remove(g_file); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sw::fuzz::Input input(data, size);
    const bool templates = input.take<uint8_t>() & 1;
    const std::string_view file = input.rest();
    if (std::FILE* out = std::fopen(g_file.c_str(), "wb")) {
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
    }
    if (templates) {
        rankTemplates();
    } else {
        scoreModel();
    }
    return 0;
}
