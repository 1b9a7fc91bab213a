#include "evaluate.h"

#include <zinnia.h>

#include <QList>
#include <QString>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <set>

#include "scribeng/categories.h"

namespace sw::modelgen {
namespace {

constexpr double kCleanSpacing = 2.0;
constexpr size_t kShapePoints = 16;

// The ink in the square frame with every stroke resampled to kShapePoints points.
std::vector<Point> shapeSignature(const Glyph& g) {
    const IntInk ink = normaliseToSquare(sampleGlyph(g.strokes, 0.5));
    std::vector<Point> out;
    for (const auto& stroke : ink) {
        for (size_t i = 0; i < kShapePoints; ++i) {
            const size_t j = stroke.size() <= 1 ? 0 : i * (stroke.size() - 1) / (kShapePoints - 1);
            out.push_back({double(stroke[j].x), double(stroke[j].y)});
        }
    }
    return out;
}

// The character of a label, a form class's ("ｌ#2") included; 0 when that is not one character.
char32_t firstCodePoint(const char* utf8) {
    const std::string_view character = scribeng::characterOfLabel(utf8);
    const QList<uint> ucs4 =
        QString::fromUtf8(character.data(), static_cast<qsizetype>(character.size())).toUcs4();
    return ucs4.size() == 1 ? ucs4.front() : 0;
}

const std::vector<char32_t>* groupOf(const TwinGroups& twins, char32_t label) {
    for (const auto& group : twins) {
        if (std::find(group.begin(), group.end(), label) != group.end()) return &group;
    }
    return nullptr;
}

double meanDistance(const std::vector<Point>& a, const std::vector<Point>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += std::hypot(a[i].x - b[i].x, a[i].y - b[i].y);
    return a.empty() ? 0 : sum / a.size();
}

}  // namespace

char32_t classLabelOf(const TwinGroups& twins, char32_t c) {
    const auto* group = groupOf(twins, c);
    return group ? group->front() : c;
}

std::vector<IntInk> trainingSamples(const Glyph& g, const TwinGroups& twins, uint64_t seed, int variations) {
    const auto* group = groupOf(twins, g.label);
    std::vector<IntInk> out;
    const Ink clean = sampleGlyph(g.strokes, kCleanSpacing);
    out.push_back(normaliseToSquare(clean, Frame::Ink));
    out.push_back(normaliseToSquare(clean, Frame::Line));
    Random random = classRandom(seed, g.label);
    // A letter trained together with kana, kanji or marks (ｌ with 丨, ｏ with 。) keeps their slant.
    const bool latinOnly = !group || std::all_of(group->begin(), group->end(), [](char32_t c) {
        return (c >= U'ａ' && c <= U'ｚ') || (c >= U'Ａ' && c <= U'Ｚ') || (c >= U'０' && c <= U'９');
    });
    const Variation variation = latinOnly ? variationFor(g.label) : Variation{};
    for (int i = 0; i < variations; ++i) {
        const Frame frame = i % 2 ? Frame::Line : Frame::Ink;
        out.push_back(normaliseToSquare(synthesise(g.strokes, random, variation), frame));
    }
    return out;
}

std::vector<IntInk> negativeSamples(const Glyph& g, uint64_t seed) {
    Random random = classRandom(seed, g.label);
    const Ink clean = sampleGlyph(g.strokes, kCleanSpacing);
    return {normaliseToSquare(clean, Frame::Ink),
            normaliseToSquare(synthesise(g.strokes, random), Frame::Line)};
}

void writeTrainingData(const std::vector<Glyph>& glyphs, const TwinGroups& twins, uint64_t seed,
                       int variations, std::ostream& out, const std::vector<Glyph>& negatives,
                       const std::vector<std::string>& formLabels) {
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const Glyph& g = glyphs[i];
        const bool apart = i < formLabels.size() && !formLabels[i].empty();
        const std::string label = apart ? std::string(kNegativeLabel) : toUtf8(classLabelOf(twins, g.label));
        for (const IntInk& ink : trainingSamples(g, twins, seed, variations))
            out << zinniaSexp(label, ink) << '\n';
    }
    for (const Glyph& g : negatives) {
        for (const IntInk& ink : negativeSamples(g, seed)) out << zinniaSexp(kNegativeLabel, ink) << '\n';
    }
}

std::vector<std::string> formClassLabels(const std::vector<Glyph>& glyphs, const TwinGroups& twins,
                                         double tolerance) {
    // Families of each lower-case letter: a form joins the first family that has a form of its stroke
    // count within `tolerance` of it (single link), in the order of the glyphs.
    std::vector<int> family(glyphs.size(), 0);
    std::map<char32_t, std::vector<std::vector<size_t>>> families;  // letter -> families -> glyphs
    std::vector<std::vector<Point>> signatures(glyphs.size());
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const char32_t c = glyphs[i].label;
        if (c < U'ａ' || c > U'ｚ') continue;
        signatures[i] = shapeSignature(glyphs[i]);
        auto& list = families[c];
        size_t f = 0;
        for (; f < list.size(); ++f) {
            if (std::any_of(list[f].begin(), list[f].end(), [&](size_t j) {
                    return signatures[j].size() == signatures[i].size() &&
                           meanDistance(signatures[j], signatures[i]) <= tolerance;
                }))
                break;
        }
        if (f == list.size()) list.emplace_back();
        list[f].push_back(i);
        family[i] = static_cast<int>(f) + 1;
    }
    // Every glyph of a split letter's twin group (or of the letter alone) is trained apart: the family of
    // the letter's first form with the group, under the group's label; the other families as form classes.
    std::set<char32_t> split;
    for (const auto& [letter, list] : families) {
        if (list.size() > 1) split.insert(classLabelOf(twins, letter));
    }
    std::vector<std::string> out(glyphs.size());
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const char32_t owner = classLabelOf(twins, glyphs[i].label);
        if (!split.contains(owner)) continue;
        out[i] = toUtf8(owner);
        if (family[i] > 1 && families[glyphs[i].label].size() > 1)
            out[i] = toUtf8(glyphs[i].label) + scribeng::kFormMark + std::to_string(family[i]);
    }
    return out;
}

std::vector<Glyph> unlikeAll(const std::vector<Glyph>& negatives, const std::vector<Glyph>& glyphs,
                             double tolerance) {
    std::multimap<size_t, std::vector<Point>> byStrokes;
    for (const Glyph& g : glyphs) byStrokes.emplace(g.strokes.size(), shapeSignature(g));
    std::vector<Glyph> out;
    for (const Glyph& n : negatives) {
        const auto signature = shapeSignature(n);
        const auto [first, last] = byStrokes.equal_range(n.strokes.size());
        if (std::none_of(first, last,
                         [&](const auto& e) { return meanDistance(e.second, signature) <= tolerance; }))
            out.push_back(n);
    }
    return out;
}

std::vector<std::vector<char32_t>> formTwins(const std::vector<Glyph>& glyphs, double tolerance) {
    std::vector<std::vector<Point>> signatures;
    for (const Glyph& g : glyphs) signatures.push_back(shapeSignature(g));
    std::vector<std::vector<char32_t>> twins(glyphs.size());
    for (size_t a = 0; a < glyphs.size(); ++a) {
        for (size_t b = a + 1; b < glyphs.size(); ++b) {
            if (signatures[a].size() != signatures[b].size() || glyphs[a].label == glyphs[b].label) continue;
            if (meanDistance(signatures[a], signatures[b]) <= tolerance) {
                twins[a].push_back(glyphs[b].label);
                twins[b].push_back(glyphs[a].label);
            }
        }
    }
    return twins;
}

std::map<char32_t, std::vector<char32_t>> shapeTwins(const std::vector<Glyph>& glyphs, double tolerance) {
    const auto perForm = formTwins(glyphs, tolerance);
    std::map<char32_t, std::vector<char32_t>> twins;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        auto& list = twins[glyphs[i].label];
        for (char32_t t : perForm[i]) {
            if (std::find(list.begin(), list.end(), t) == list.end()) list.push_back(t);
        }
        if (list.empty()) twins.erase(glyphs[i].label);
    }
    return twins;
}

namespace {

std::unique_ptr<zinnia::Result> recognise(const zinnia::Recognizer& model, const IntInk& ink, size_t nbest) {
    std::unique_ptr<zinnia::Character> character(zinnia::Character::create());
    character->set_width(kSquareSide);
    character->set_height(kSquareSide);
    for (size_t s = 0; s < ink.size(); ++s) {
        for (const IntPoint& p : ink[s]) character->add(s, p.x, p.y);
    }
    return std::unique_ptr<zinnia::Result>(model.classify(*character, nbest));
}

}  // namespace

float bestScore(const zinnia::Recognizer& model, const IntInk& ink) {
    const auto result = recognise(model, ink, 1);
    return result && result->size() > 0 ? result->score(0) : -INFINITY;
}

std::vector<char32_t> classify(const zinnia::Recognizer& model, const IntInk& ink, size_t nbest) {
    const auto result = recognise(model, ink, nbest);
    std::vector<char32_t> labels;
    for (size_t i = 0; result && i < result->size(); ++i) labels.push_back(firstCodePoint(result->value(i)));
    return labels;
}

bool expandTwins(std::istream& textModel, const TwinGroups& twins, std::ostream& out, std::string* error) {
    std::set<char32_t> found;
    std::string line;
    while (std::getline(textModel, line)) {
        const size_t space = line.find(' ');
        if (line.compare(0, space, kNegativeLabel) == 0) continue;
        const std::string text = line.substr(0, space);
        const char32_t label = firstCodePoint(text.c_str());
        const auto* group = groupOf(twins, label);
        // A form class ("ｚ#2") is copied to every member too ("Ｚ#2"), so that twins keep scoring alike.
        const std::string_view character = scribeng::characterOfLabel(text);
        const std::string form = text.substr(character.size());
        if (!group || (form.empty() && group->front() != label) || space == std::string::npos) {
            out << line << '\n';
            continue;
        }
        const size_t biasEnd = line.find(' ', space + 1);
        double bias = 0;
        const char* begin = line.data() + space + 1;
        const char* end = line.data() + (biasEnd == std::string::npos ? line.size() : biasEnd);
        if (std::from_chars(begin, end, bias).ptr != end) {
            if (error) *error = "bad bias in the line of " + toUtf8(label);
            return false;
        }
        if (form.empty()) found.insert(label);
        for (size_t k = 0; k < group->size(); ++k) {
            char lowered[32];
            std::snprintf(lowered, sizeof lowered, "%.9g", bias - static_cast<double>(k) * kTwinStep);
            out << toUtf8((*group)[k]) << form << ' ' << lowered
                << (biasEnd == std::string::npos ? "" : line.substr(biasEnd)) << '\n';
        }
    }
    for (const auto& group : twins) {
        if (!found.contains(group.front())) {
            if (error) *error = "the model has no class " + toUtf8(group.front());
            return false;
        }
    }
    return true;
}

Accuracy evaluate(const zinnia::Recognizer& model, const std::vector<Glyph>& glyphs, const TwinGroups& twins,
                  uint64_t seed, int variations, Frame frame) {
    Accuracy acc;
    for (const Glyph& g : glyphs) {
        Random random = classRandom(seed, g.label);
        for (int i = 0; i < std::max(variations, 1); ++i) {
            const Ink ink =
                variations == 0 ? sampleGlyph(g.strokes, kCleanSpacing) : synthesise(g.strokes, random);
            const std::vector<char32_t> top = classify(model, normaliseToSquare(ink, frame), 5);
            ++acc.samples;
            if (top.empty()) {
                acc.misses.push_back(toUtf8(g.label) + " -> nothing");
                continue;
            }
            if (top.front() == g.label) ++acc.top1;
            if (std::find(top.begin(), top.end(), g.label) != top.end()) ++acc.top5;
            const auto* group = groupOf(twins, g.label);
            const bool twin = group && std::find(group->begin(), group->end(), top.front()) != group->end();
            if (top.front() == g.label || twin)
                ++acc.top1UpToTwins;
            else
                acc.misses.push_back(toUtf8(g.label) + " -> " + toUtf8(top.front()));
        }
    }
    return acc;
}

}  // namespace sw::modelgen
