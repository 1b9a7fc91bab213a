#include "samples.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace sw::templategen {

std::optional<std::vector<modelgen::Glyph>> readTemplateGlyphs(const std::string& kanjiVgDir,
                                                               const std::string& templates,
                                                               const std::string& twins, std::string* error) {
    auto groups = modelgen::readTwinFile(twins, error);
    if (!groups) return std::nullopt;
    auto supplement = modelgen::readSupplementGlyphs(kanjiVgDir, templates, *groups, error);
    if (!supplement) return std::nullopt;
    auto kanji = modelgen::readKanjiGlyphs(kanjiVgDir, error);
    if (!kanji) return std::nullopt;
    // Every form of a class: the supplement's forms replace a kanji of the same label (the look-alikes).
    std::map<char32_t, std::vector<modelgen::Glyph>> byLabel;
    for (auto& g : *kanji) byLabel[g.label].push_back(std::move(g));
    for (auto& g : *supplement) {
        auto& forms = byLabel[g.label];
        if (g.form == 0) forms.clear();
        forms.push_back(std::move(g));
    }
    std::vector<modelgen::Glyph> out;
    out.reserve(byLabel.size());
    for (auto& [label, forms] : byLabel) {
        for (auto& g : forms) out.push_back(std::move(g));
    }
    return out;
}

const char* faultName(Fault fault) {
    switch (fault) {
        case Fault::None:
            return "normal";
        case Fault::Swapped:
            return "swapped";
        case Fault::Joined:
            return "joined";
        case Fault::Reversed:
            return "reversed";
    }
    return "?";
}

modelgen::Ink withFault(modelgen::Ink ink, Fault fault, modelgen::Random& random) {
    if (ink.empty()) return ink;
    const auto pick = [&](size_t n) {
        return std::min(n - 1, static_cast<size_t>(random.uniform(0, static_cast<double>(n))));
    };
    switch (fault) {
        case Fault::None:
            break;
        case Fault::Swapped:
            if (ink.size() >= 2) {
                const size_t i = pick(ink.size() - 1);
                std::swap(ink[i], ink[i + 1]);
            }
            break;
        case Fault::Joined:
            if (ink.size() >= 2) {
                const size_t i = pick(ink.size() - 1);
                ink[i].insert(ink[i].end(), ink[i + 1].begin(), ink[i + 1].end());
                ink.erase(ink.begin() + static_cast<ptrdiff_t>(i) + 1);
            }
            break;
        case Fault::Reversed: {
            auto& stroke = ink[pick(ink.size())];
            std::reverse(stroke.begin(), stroke.end());
            break;
        }
    }
    return ink;
}

std::vector<scribeng::Stroke> toEngineStrokes(const modelgen::Ink& ink, double scale) {
    std::vector<scribeng::Stroke> out;
    out.reserve(ink.size());
    for (const auto& stroke : ink) {
        auto& s = out.emplace_back();
        for (const auto& p : stroke) {
            s.push_back({static_cast<int32_t>(std::lround(p.x * scale)),
                         static_cast<int32_t>(std::lround(p.y * scale))});
        }
    }
    return out;
}

std::vector<scribeng::InkStroke> inkStrokesOf(const modelgen::Ink& ink) {
    std::vector<scribeng::InkStroke> strokes;
    strokes.reserve(ink.size());
    for (const auto& stroke : ink) {
        auto& s = strokes.emplace_back();
        for (const auto& p : stroke) s.push_back({static_cast<float>(p.x), static_cast<float>(p.y)});
    }
    return strokes;
}

scribeng::FeatureVector featuresOf(const modelgen::Ink& ink) {
    return scribeng::directionFeatures(inkStrokesOf(ink));
}

modelgen::Variation scaledVariation(double strength, const modelgen::Variation& base) {
    modelgen::Variation v = base;
    v.rotation *= strength;
    v.shear *= strength;
    v.scaleMin = 1 - (1 - v.scaleMin) * strength;
    v.scaleMax = 1 + (v.scaleMax - 1) * strength;
    v.strokeShift *= strength;
    v.strokeScale *= strength;
    v.strokeRotation *= strength;
    v.pointNoise *= strength;
    v.partShift *= strength;
    v.partScale *= strength;
    return v;
}

std::vector<Sample> makeSamples(const std::vector<modelgen::Glyph>& glyphs, size_t classes, uint64_t seed,
                                Fault fault, double variation) {
    const modelgen::Variation v = scaledVariation(variation);
    std::vector<const modelgen::Glyph*> pool;
    for (const auto& g : glyphs) {
        if (g.strokes.size() >= 2 && g.form == 0) pool.push_back(&g);
    }
    // A fixed-seed shuffle (Fisher-Yates on the project's generator, the same on every platform).
    modelgen::Random order(seed);
    for (size_t i = pool.size(); i > 1; --i) {
        const auto j = std::min(i - 1, static_cast<size_t>(order.uniform(0, static_cast<double>(i))));
        std::swap(pool[i - 1], pool[j]);
    }
    if (classes != 0 && classes < pool.size()) pool.resize(classes);
    std::vector<Sample> out;
    out.reserve(pool.size());
    for (const auto* g : pool) {
        modelgen::Random random = modelgen::classRandom(seed, g->label);
        modelgen::Ink ink = modelgen::synthesise(g->strokes, random, v);
        modelgen::Random faultRandom = modelgen::classRandom(seed + 1, g->label);
        out.push_back({g->label, 0, toEngineStrokes(withFault(std::move(ink), fault, faultRandom))});
    }
    return out;
}

bool isLatinOrDigit(char32_t label) {
    return (label >= U'０' && label <= U'９') || (label >= U'Ａ' && label <= U'Ｚ') ||
           (label >= U'ａ' && label <= U'ｚ');
}

std::vector<Sample> makeLatinSamples(const std::vector<modelgen::Glyph>& glyphs, int perForm, uint64_t seed,
                                     Fault fault, double variation) {
    const modelgen::Variation v = scaledVariation(variation);
    std::vector<Sample> out;
    for (const auto& g : glyphs) {
        if (!isLatinOrDigit(g.label)) continue;
        // Each form its own stream, so adding an allograph leaves the samples of the others as they were.
        const uint64_t formSeed = seed + 1000003 * static_cast<uint64_t>(g.form);
        modelgen::Random random = modelgen::classRandom(formSeed, g.label);
        modelgen::Random faultRandom = modelgen::classRandom(formSeed + 1, g.label);
        for (int i = 0; i < perForm; ++i) {
            modelgen::Ink ink = modelgen::synthesise(g.strokes, random, v);
            out.push_back({g.label, g.form, toEngineStrokes(withFault(std::move(ink), fault, faultRandom))});
        }
    }
    return out;
}

}  // namespace sw::templategen
