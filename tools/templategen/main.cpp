// slatewise-templategen: the shape templates of the engine's stroke-order-free scorer, and its evaluation.
//
//   slatewise-templategen build --kanjivg DIR --templates FILE --twins FILE --out FILE
//                               [--seed N] [--variations N] [--variation X[,X...]] [--kanjidic FILE]
//   slatewise-templategen evaluate --models DIR --kanjivg DIR --templates FILE --twins FILE
//                               [--seed N] [--classes N] [--shortlist N] [--variation X[,X...]]
//                               [--no-templates] [--as-written] [--fusion RATIO,CENTRE]
//   slatewise-templategen calibrate --models DIR --kanjivg DIR --templates FILE --twins FILE
//                               [--seed N] [--classes N] [--shortlist N] [--variation X[,X...]]
//   slatewise-templategen latin --models DIR --kanjivg DIR --templates FILE --twins FILE
//                               [--seed N] [--samples N] [--variation X[,X...]] [--misses]
//                               [--fusion RATIO,CENTRE]
//
// `build` writes the template file (scribeng/template_set.h): per form of every class (its main shape and
// the allographs of the template file) the mean direction features of its clean trajectory and
// `variations` synthetic samples at each strength of `variation` (seed N), with the form's stroke count
// and ink, and the school grade and frequency rank of KANJIDIC (kanjidic.h) when it is given.
// `evaluate` recognises a fixed-seed development set with the engine's recogniser and the models (and
// templates) of DIR, written normally, with a swapped stroke pair, two strokes joined and a reversed
// stroke, and prints top-1 and top-10 accuracy (`--as-written`: strokes joined without lifting the pen are
// read as written only, not also with the pen's way taken out). `latin` does the same for the digits and
// Latin letters, `samples` per form of each, with every category allowed and with digits and Latin letters
// only. `calibrate` fits the fusion weights (see README.md). Exit status 0 on success, 1 on bad input, 2 on
// bad usage.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <set>
#include <string>

#include "distortions.h"
#include "kanjidic.h"
#include "samples.h"
#include "scribeng/recognizer.h"

namespace {

using namespace sw;
using Options = std::map<std::string, std::string>;

int usage() {
    std::cerr << "usage: slatewise-templategen build|evaluate|calibrate|latin --kanjivg DIR --templates FILE "
                 "--twins FILE\n"
                 "       [--out FILE] [--models DIR] [--seed N] [--variations N] [--classes N]\n"
                 "       [--shortlist N] [--samples N] [--variation X[,X...]] [--no-templates]\n       "
                 "[--misses] [--as-written] [--kanjidic FILE]\n";
    return 2;
}

// Shapes at least this similar to the first member of their twin group take its templates.
constexpr float kTwinSimilarity = 0.95f;
// Every this many synthetic samples of a prototype's training set one has two strokes joined.
constexpr int kJoinedEvery = 4;

// The training set of one glyph's prototypes: its clean trajectory, then `variations` synthetic samples at
// each strength, every kJoinedEvery-th with two strokes joined (the only stroke-order fault the features
// see).
std::vector<scribeng::FeatureVector> trainingFeatures(const modelgen::Glyph& g, uint64_t seed, int variations,
                                                      const std::vector<double>& strengths) {
    std::vector<scribeng::FeatureVector> out{templategen::featuresOf(modelgen::sampleGlyph(g.strokes, 2.0))};
    modelgen::Random random = modelgen::classRandom(seed + 1000003 * static_cast<uint64_t>(g.form), g.label);
    for (double strength : strengths) {
        const modelgen::Variation v = templategen::scaledVariation(strength);
        for (int i = 0; i < variations; ++i) {
            modelgen::Ink ink = modelgen::synthesise(g.strokes, random, v);
            if (i % kJoinedEvery == kJoinedEvery - 1)
                ink = templategen::withFault(std::move(ink), templategen::Fault::Joined, random);
            out.push_back(templategen::featuresOf(ink));
        }
    }
    return out;
}

// How the glyph is written: its strokes and its ink (scribeng/prior.h), of its clean trajectory.
void describeForm(const modelgen::Glyph& g, scribeng::Prototype& p) {
    p.strokes = static_cast<uint16_t>(std::clamp<size_t>(g.strokes.size(), 1, scribeng::kMaxFormStrokes));
    p.needsDot = g.needsDot;
    p.ink = std::min(scribeng::relativeInk(templategen::inkStrokesOf(modelgen::sampleGlyph(g.strokes, 2.0))),
                     scribeng::kMaxFormInk);
}

int build(const std::vector<modelgen::Glyph>& glyphs, const modelgen::TwinGroups& twins, uint64_t seed,
          int variations, const std::vector<double>& strengths,
          const std::map<char32_t, templategen::KanjiCommonness>* commonness, const std::string& out) {
    // One prototype per form: the mean of its training set. (Several cluster centres per form, best one
    // counting, ranked the right class lower than the mean: a wrong class's closest centre gains more.)
    std::vector<scribeng::Prototype> prototypes;
    prototypes.reserve(glyphs.size());
    std::map<char32_t, size_t> mainForm;
    const auto add = [&](const modelgen::Glyph& g) {
        scribeng::FeatureVector mean{};
        for (const auto& f : trainingFeatures(g, seed, variations, strengths)) {
            for (size_t k = 0; k < mean.size(); ++k) mean[k] += f[k];
        }
        scribeng::normalise(mean);
        scribeng::Prototype& p = prototypes.emplace_back();
        p.codePoint = g.label;
        p.features = mean;
        describeForm(g, p);
        if (commonness) {
            if (const auto it = commonness->find(g.label); it != commonness->end()) {
                p.grade = it->second.grade;
                p.frequencyRank = it->second.frequencyRank;
            }
        }
    };
    // A twin group's later members take the first's prototypes (below), its distorted shapes with them.
    std::set<char32_t> laterTwins;
    for (const auto& group : twins) laterTwins.insert(group.begin() + 1, group.end());
    for (const auto& g : glyphs) {
        if (g.form == 0) mainForm[g.label] = prototypes.size();
        add(g);
        // A kana's main shape also as other writers distort it, right after it (a class scores as its
        // best prototype). Spreading or gathering a single stroke leaves it as it is.
        if (g.form != 0 || !templategen::isKana(g.label) || laterTwins.contains(g.label)) continue;
        for (const auto d : templategen::kDistortions) {
            const bool moves = d == templategen::Distortion::Spread || d == templategen::Distortion::Gathered;
            if (moves && g.strokes.size() < 2) continue;
            modelgen::Glyph other = g;
            other.strokes = templategen::distorted(g.strokes, d);
            add(other);
            prototypes.back().distorted = true;
        }
    }
    // Twins (う and ぅ, ツ and ッ) differ in size and place only, which the shape features do not see; with
    // the same prototypes they tie on shape, and Zinnia's order within the group (the full-size form first)
    // and the line's geometry decide. A member alike to the group's first takes its main form's prototype
    // and also gets the prototypes of the first's allographs (its own allographs stay).
    for (const auto& group : twins) {
        const auto first = mainForm.find(group.front());
        if (first == mainForm.end()) continue;
        for (size_t m = 1; m < group.size(); ++m) {
            const auto member = mainForm.find(group[m]);
            if (member == mainForm.end()) continue;
            auto& f = prototypes[member->second].features;
            const auto& g = prototypes[first->second].features;
            if (scribeng::dot(f, g) < kTwinSimilarity) continue;
            f = g;
            for (size_t p = first->second + 1;
                 p < prototypes.size() && prototypes[p].codePoint == group.front(); ++p) {
                scribeng::Prototype copy = prototypes[p];
                copy.codePoint = group[m];
                copy.grade = prototypes[member->second].grade;
                copy.frequencyRank = prototypes[member->second].frequencyRank;
                prototypes.push_back(copy);
            }
        }
    }
    std::string error;
    if (!scribeng::TemplateSet::save(out, prototypes, &error, commonness != nullptr)) {
        std::cerr << "slatewise-templategen: " << error << '\n';
        return 1;
    }
    std::cout << mainForm.size() << " classes, " << prototypes.size() << " prototypes\n";
    return 0;
}

// The development set at each strength of variation, one after the other.
std::vector<templategen::Sample> makeSamples(const std::vector<modelgen::Glyph>& glyphs, size_t classes,
                                             uint64_t seed, templategen::Fault fault,
                                             const std::vector<double>& strengths) {
    std::vector<templategen::Sample> out;
    for (double v : strengths) {
        auto part = templategen::makeSamples(glyphs, classes, seed, fault, v);
        out.insert(out.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
    }
    return out;
}

std::optional<scribeng::CharCode> codeOf(char32_t label) {
    return scribeng::codeOfLabel(modelgen::toUtf8(label));
}

int evaluate(const std::vector<modelgen::Glyph>& glyphs, const scribeng::Recognizer& recognizer,
             uint64_t seed, size_t classes, size_t shortlist, const std::vector<double>& strengths) {
    std::printf("%-9s %7s %7s %7s %7s %9s\n", "set", "samples", "top-1", "top-10", "shape-1", "in-list");
    for (auto fault : templategen::kFaults) {
        const auto samples = makeSamples(glyphs, classes, seed, fault, strengths);
        size_t n = 0, top1 = 0, top10 = 0, shape1 = 0, listed = 0;
        for (const auto& s : samples) {
            const auto code = codeOf(s.label);
            if (!code) continue;
            ++n;
            const auto found = recognizer.recognize(s.strokes, scribeng::Box{}, 0x1FF, 10);
            for (size_t i = 0; i < found.size(); ++i) {
                if (found[i].code != *code) continue;
                top1 += i == 0;
                ++top10;
            }
            const auto list = recognizer.scoreShortlist(s.strokes, scribeng::Box{}, 0x1FF, shortlist);
            shape1 += !list.empty() && list.front().code == *code;
            listed += std::any_of(list.begin(), list.end(), [&](const auto& c) { return c.code == *code; });
        }
        const auto pct = [&](size_t k) {
            return n ? 100.0 * static_cast<double>(k) / static_cast<double>(n) : 0.0;
        };
        std::printf("%-9s %7zu %6.1f%% %6.1f%% %6.1f%% %8.1f%%\n", templategen::faultName(fault), n,
                    pct(top1), pct(top10), pct(shape1), pct(listed));
    }
    return 0;
}

// Top-1 on the digits and Latin letters, every form of each, with every category allowed and with digits
// and Latin letters only (a twin of the class counts as right: Ｏ for ｏ, ｌ for Ｉ, which the line's
// geometry tells apart), and on the allographs alone. `misses` lists the wrong answers of the second.
int evaluateLatin(const std::vector<modelgen::Glyph>& glyphs, const modelgen::TwinGroups& twins,
                  const scribeng::Recognizer& recognizer, uint64_t seed, int perForm,
                  const std::vector<double>& strengths, bool misses) {
    constexpr int32_t kAll = 0x1FF, kLatin = 0x042;  // every category; digits and Latin letters
    std::map<scribeng::CharCode, size_t> groupOf;
    for (size_t i = 0; i < twins.size(); ++i) {
        for (char32_t c : twins[i]) {
            if (const auto code = codeOf(c)) groupOf[*code] = i;
        }
    }
    const auto same = [&](scribeng::CharCode a, scribeng::CharCode b) {
        const auto ga = groupOf.find(a), gb = groupOf.find(b);
        return a == b || (ga != groupOf.end() && gb != groupOf.end() && ga->second == gb->second);
    };
    std::printf("%-9s %7s %9s %9s %13s\n", "set", "samples", "top-1", "top-1 Aa1", "allographs");
    for (auto fault : templategen::kFaults) {
        size_t n = 0, all = 0, latin = 0, other = 0, otherLatin = 0;
        for (double v : strengths) {
            for (const auto& s : templategen::makeLatinSamples(glyphs, perForm, seed, fault, v)) {
                const auto code = codeOf(s.label);
                if (!code) continue;
                ++n;
                const auto first = [&](int32_t mask) {
                    const auto found = recognizer.recognize(s.strokes, scribeng::Box{}, mask, 1);
                    return found.empty() ? scribeng::CharCode{0} : found.front().code;
                };
                const scribeng::CharCode a = first(kAll), l = first(kLatin);
                all += same(a, *code);
                latin += same(l, *code);
                other += s.form > 0;
                otherLatin += s.form > 0 && same(l, *code);
                if (misses && !same(l, *code)) {
                    std::printf("%s %s+%d -> U+%04X\n", templategen::faultName(fault),
                                modelgen::toUtf8(s.label).c_str(), s.form, unsigned{l});
                }
            }
        }
        const auto pct = [](size_t k, size_t of) {
            return of ? 100.0 * static_cast<double>(k) / static_cast<double>(of) : 0.0;
        };
        std::printf("%-9s %7zu %8.1f%% %8.1f%% %6zu %5.1f%%\n", templategen::faultName(fault), n, pct(all, n),
                    pct(latin, n), other, pct(otherLatin, other));
    }
    return 0;
}

// The fusion weights: first the ratio of the shape similarity to Zinnia's score that gives the best top-1
// over all four ways of writing, then a logistic fit of "this candidate is right" on the fused score, which
// scales the fused score to log-odds.
int calibrate(const std::vector<modelgen::Glyph>& glyphs, const scribeng::Recognizer& recognizer,
              uint64_t seed, size_t classes, size_t shortlist, const std::vector<double>& strengths) {
    struct Row {
        std::vector<scribeng::ScoredCandidate> list;
        scribeng::CharCode truth = 0;
    };
    std::vector<Row> rows;
    for (auto fault : templategen::kFaults) {
        for (const auto& s : makeSamples(glyphs, classes, seed, fault, strengths)) {
            const auto code = codeOf(s.label);
            if (!code) continue;
            rows.push_back({recognizer.scoreShortlist(s.strokes, scribeng::Box{}, 0x1FF, shortlist), *code});
        }
    }
    const auto top1At = [&](double ratio) {
        size_t top1 = 0;
        for (const auto& row : rows) {
            const auto best =
                std::max_element(row.list.begin(), row.list.end(), [&](const auto& a, const auto& b) {
                    return a.zinnia + ratio * a.shape < b.zinnia + ratio * b.shape;
                });
            top1 += best != row.list.end() && best->code == row.truth;
        }
        return top1;
    };
    double bestRatio = 0;
    size_t bestTop1 = 0;
    for (double ratio = 0.5; ratio < 2000; ratio *= 1.25) {
        if (const size_t top1 = top1At(ratio); top1 > bestTop1) {
            bestTop1 = top1;
            bestRatio = ratio;
        }
    }
    // Logistic regression p = 1 / (1 + exp(-(a x + c))), x = zinnia + ratio x shape, by Newton's method with
    // a small ridge and step halving, so that it converges on any data.
    struct Fit {
        double a = 1, c = 0;
    };
    const auto logLikelihood = [&](Fit f) {
        double sum = -1e-3 * (f.a * f.a + f.c * f.c);
        for (const auto& row : rows) {
            for (const auto& cand : row.list) {
                const double z = f.a * (cand.zinnia + bestRatio * cand.shape) + f.c;
                const double y = cand.code == row.truth ? 1 : 0;
                sum += y * z - (std::max(z, 0.0) + std::log1p(std::exp(-std::fabs(z))));
            }
        }
        return sum;
    };
    // Start from the standardised score: a = 1 / deviation, c = -mean / deviation.
    double n = 0, mean = 0, square = 0;
    for (const auto& row : rows) {
        for (const auto& cand : row.list) {
            const double x = cand.zinnia + bestRatio * cand.shape;
            n += 1;
            mean += x;
            square += x * x;
        }
    }
    mean /= std::max(n, 1.0);
    const double deviation = std::sqrt(std::max(square / std::max(n, 1.0) - mean * mean, 1e-12));
    Fit fit{1 / deviation, -mean / deviation};
    for (int iteration = 0; iteration < 100; ++iteration) {
        double ga = -2e-3 * fit.a, gc = -2e-3 * fit.c, haa = 2e-3, hac = 0, hcc = 2e-3;
        for (const auto& row : rows) {
            for (const auto& cand : row.list) {
                const double x = cand.zinnia + bestRatio * cand.shape;
                const double p = 1 / (1 + std::exp(-(fit.a * x + fit.c)));
                const double y = cand.code == row.truth ? 1 : 0;
                ga += (y - p) * x;
                gc += y - p;
                const double w = p * (1 - p);
                haa += w * x * x;
                hac += w * x;
                hcc += w;
            }
        }
        const double det = haa * hcc - hac * hac;
        if (!(det > 0)) break;
        const double da = (hcc * ga - hac * gc) / det, dc = (haa * gc - hac * ga) / det;
        const double before = logLikelihood(fit);
        double step = 1;
        Fit next{fit.a + da, fit.c + dc};
        while (step > 1e-9 && !(logLikelihood(next) >= before)) {
            step /= 2;
            next = {fit.a + step * da, fit.c + step * dc};
        }
        if (step <= 1e-9) break;
        fit = next;
        if (std::fabs(step * da) < 1e-7 && std::fabs(step * dc) < 1e-7) break;
    }
    std::printf(
        "samples %zu, shape/zinnia ratio %.2f: top-1 %.1f%% (Zinnia alone in the list %.1f%%, shape alone "
        "%.1f%%)\n",
        rows.size(), bestRatio,
        100.0 * static_cast<double>(bestTop1) / static_cast<double>(std::max<size_t>(rows.size(), 1)),
        100.0 * static_cast<double>(top1At(0)) / static_cast<double>(std::max<size_t>(rows.size(), 1)),
        100.0 * static_cast<double>(top1At(1e9)) / static_cast<double>(std::max<size_t>(rows.size(), 1)));
    // The shape term centred on the mean similarity of the right candidates when they rank first.
    double centre = 0;
    size_t right = 0;
    for (const auto& row : rows) {
        const auto best =
            std::max_element(row.list.begin(), row.list.end(), [&](const auto& a, const auto& b) {
                return a.zinnia + bestRatio * a.shape < b.zinnia + bestRatio * b.shape;
            });
        if (best == row.list.end() || best->code != row.truth) continue;
        centre += best->shape;
        ++right;
    }
    centre /= static_cast<double>(std::max<size_t>(right, 1));
    // log-odds = a (zinnia + ratio shape) + c = a (zinnia + ratio (shape - centre)) + c + a ratio centre
    std::printf("shapeRatio %.2f shapeCentre %.4f logOddsScale %.4f logOddsOffset %.4f\n", bestRatio, centre,
                fit.a, fit.c + fit.a * bestRatio * centre);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string mode = argv[1];
    Options opt{{"--seed", "1"},        {"--variations", "10"}, {"--classes", "0"},
                {"--shortlist", "100"}, {"--variation", "1"},   {"--samples", "10"}};
    for (int i = 2; i < argc; ++i) {
        const std::string key = argv[i];
        if (key == "--no-templates" || key == "--misses" || key == "--as-written") {
            opt.insert_or_assign(key, std::string("1"));
        } else if (i + 1 < argc && key.starts_with("--")) {
            opt[key] = argv[++i];
        } else {
            return usage();
        }
    }
    if (!opt.contains("--kanjivg") || !opt.contains("--templates") || !opt.contains("--twins"))
        return usage();
    uint64_t seed = 0;
    int variations = 0, samples = 0;
    size_t classes = 0, shortlist = 0;
    std::vector<double> strengths;
    try {
        seed = std::stoull(opt["--seed"]);
        variations = std::stoi(opt["--variations"]);
        classes = std::stoul(opt["--classes"]);
        shortlist = std::stoul(opt["--shortlist"]);
        samples = std::stoi(opt["--samples"]);
        for (size_t at = 0; at <= opt["--variation"].size();) {
            const size_t comma = std::min(opt["--variation"].find(',', at), opt["--variation"].size());
            strengths.push_back(std::stod(opt["--variation"].substr(at, comma - at)));
            at = comma + 1;
        }
    } catch (const std::exception&) {
        return usage();
    }
    std::string error;
    const auto glyphs =
        templategen::readTemplateGlyphs(opt["--kanjivg"], opt["--templates"], opt["--twins"], &error);
    if (!glyphs) {
        std::cerr << "slatewise-templategen: " << error << '\n';
        return 1;
    }
    if (mode == "build") {
        if (!opt.contains("--out") || variations < 0) return usage();
        auto twins = modelgen::readTwinFile(opt["--twins"], &error);
        if (!twins) {
            std::cerr << "slatewise-templategen: " << error << '\n';
            return 1;
        }
        std::optional<std::map<char32_t, templategen::KanjiCommonness>> commonness;
        if (opt.contains("--kanjidic")) {
            commonness = templategen::readKanjidic(opt["--kanjidic"], &error);
            if (!commonness) {
                std::cerr << "slatewise-templategen: " << error << '\n';
                return 1;
            }
        }
        return build(*glyphs, *twins, seed, variations, strengths, commonness ? &*commonness : nullptr,
                     opt["--out"]);
    }
    if (mode != "evaluate" && mode != "calibrate" && mode != "latin") return usage();
    if (samples < 0) return usage();
    if (!opt.contains("--models")) return usage();
    scribeng::RecognizerOptions options;
    options.useTemplates = !opt.contains("--no-templates");
    options.readJoined = !opt.contains("--as-written");
    options.shortlist = shortlist;
    if (opt.contains("--fusion")) {
        // Fusion weights other than the engine's, to compare template files under the same weights.
        try {
            const std::string& f = opt["--fusion"];
            const size_t comma = f.find(',');
            if (comma == std::string::npos) return usage();
            options.weights.shapeRatio = std::stof(f.substr(0, comma));
            options.weights.shapeCentre = std::stof(f.substr(comma + 1));
        } catch (const std::exception&) {
            return usage();
        }
    }
    const std::filesystem::path folder = opt["--models"];
    scribeng::Recognizer recognizer(std::span(&folder, 1), options);
    if (!recognizer.ready()) {
        std::cerr << "slatewise-templategen: no model in " << folder << '\n';
        return 1;
    }
    std::cout << (recognizer.hasTemplates() ? "with templates" : "without templates") << ", "
              << recognizer.templates().classCount() << " template classes\n";
    if (mode == "latin") {
        const auto twins = modelgen::readTwinFile(opt["--twins"], &error);
        if (!twins) {
            std::cerr << "slatewise-templategen: " << error << '\n';
            return 1;
        }
        return evaluateLatin(*glyphs, *twins, recognizer, seed, samples, strengths, opt.contains("--misses"));
    }
    return mode == "evaluate" ? evaluate(*glyphs, recognizer, seed, classes, shortlist, strengths)
                              : calibrate(*glyphs, recognizer, seed, classes, shortlist, strengths);
}
