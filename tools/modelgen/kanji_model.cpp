#include "kanji_model.h"

#include <sys/wait.h>
#include <unistd.h>
#include <zinnia.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numeric>
#include <set>

#include "samples.h"

namespace sw::modelgen {
namespace {

constexpr double kCleanSpacing = 2.0;
constexpr int kFaultEvery = 8;              // every eighth synthetic sample has a stroke-order fault
constexpr int kNeighbourSamples = 4;        // synthetic samples per glyph averaged into its shape features
constexpr size_t kFirstNegativeSample = 2;  // a neighbour's negatives are its first synthetic samples

using Features = scribeng::FeatureVector;

Features meanFeatures(const Glyph& g, uint64_t seed) {
    Features sum = templategen::featuresOf(sampleGlyph(g.strokes, kCleanSpacing));
    Random random = classRandom(seed, g.label);
    for (int i = 0; i < kNeighbourSamples; ++i) {
        const Features f = templategen::featuresOf(synthesise(g.strokes, random));
        for (size_t k = 0; k < f.size(); ++k) sum[k] += f[k];
    }
    double norm = 0;
    for (float v : sum) norm += double(v) * v;
    const float scale = norm > 0 ? static_cast<float>(1 / std::sqrt(norm)) : 0.0f;
    for (float& v : sum) v *= scale;
    return sum;
}

void addInk(zinnia::Character& c, const IntInk& ink) {
    size_t id = 0;
    for (const auto& stroke : ink) {
        if (stroke.empty()) continue;
        // A one-point stroke gets its point twice, so that it has a direction feature (as zinniaSexp).
        for (size_t i = 0; i < std::max<size_t>(stroke.size(), 2); ++i) {
            const IntPoint& p = stroke[std::min(i, stroke.size() - 1)];
            c.add(id, p.x, p.y);
        }
        ++id;
    }
}

// Trains one class against its negatives and returns its line of the text model.
bool trainClass(const std::string& label, const std::vector<IntInk>& positives,
                const std::vector<const IntInk*>& negatives, uint64_t seed, const std::string& scratch,
                std::string* line, std::string* error) {
    std::unique_ptr<zinnia::Trainer> trainer(zinnia::Trainer::create());
    std::unique_ptr<zinnia::Character> character(zinnia::Character::create());
    const auto add = [&](const IntInk& ink, const std::string& value) {
        character->clear();
        character->set_value(value.c_str());
        character->set_width(kSquareSide);
        character->set_height(kSquareSide);
        addInk(*character, ink);
        return trainer->add(*character);
    };
    for (const IntInk& ink : positives) {
        if (!add(ink, label)) {
            *error = "zinnia cannot add a sample of " + label + ": " + trainer->what();
            return false;
        }
    }
    for (const IntInk* ink : negatives) {
        if (!add(*ink, kNegativeLabel)) {
            *error = std::string("zinnia cannot add a negative sample: ") + trainer->what();
            return false;
        }
    }
    // Zinnia's solver visits the samples in an order drawn from rand(): seeded per class, the class's
    // weights do not depend on which process trains it or what it trained before.
    std::srand(static_cast<unsigned>(seed));
    if (!trainer->train(scratch.c_str())) {
        *error = "zinnia cannot train " + label + ": " + trainer->what();
        return false;
    }
    std::ifstream in(scratch + ".txt", std::ios::binary);
    const std::string prefix = label + ' ';
    std::string text;
    while (std::getline(in, text)) {
        if (text.starts_with(prefix)) {
            *line = std::move(text);
            return true;
        }
    }
    *error = "zinnia's text model lacks the class " + label;
    return false;
}

// Trains every `processes`-th target from `first` on and writes their lines, in order, to `partFile`.
bool trainPart(const std::vector<Glyph>& pool, const std::vector<size_t>& targets,
               const std::vector<std::vector<uint32_t>>& neighbours,
               const std::vector<std::vector<IntInk>>& samples, const KanjiModelOptions& options,
               size_t first, const std::string& workFolder, const std::string& partFile, std::string* error,
               const std::function<void(size_t)>& progress) {
    std::ofstream out(partFile, std::ios::binary | std::ios::trunc);
    const std::string scratch = workFolder + "/class-" + std::to_string(first);
    const size_t step = static_cast<size_t>(std::max(options.processes, 1));
    size_t done = 0;
    for (size_t t = first; t < targets.size(); t += step) {
        std::vector<const IntInk*> negatives;
        for (uint32_t n : neighbours[t]) {
            const auto& s = samples[n];
            for (size_t k = 0; k < static_cast<size_t>(options.negativesPerNeighbour); ++k) {
                negatives.push_back(&s[std::min(kFirstNegativeSample + k, s.size() - 1)]);
            }
        }
        const Glyph& g = pool[targets[t]];
        std::string line;
        if (!trainClass(toUtf8(g.label), samples[targets[t]], negatives,
                        classRandom(options.seed + 1, g.label).next(), scratch, &line, error))
            return false;
        const auto shifted = shiftBias(line, options.scoreOffset);
        if (!shifted) {
            *error = "zinnia's line of " + toUtf8(g.label) + " has no bias";
            return false;
        }
        out << *shifted << '\n';
        if (progress) progress(++done);
    }
    std::error_code ignored;
    std::filesystem::remove(scratch, ignored);
    std::filesystem::remove(scratch + ".txt", ignored);
    return static_cast<bool>(out.flush());
}

}  // namespace

std::optional<std::string> shiftBias(const std::string& line, double offset) {
    const size_t space = line.find(' ');
    if (space == std::string::npos) return std::nullopt;
    const size_t end = std::min(line.find(' ', space + 1), line.size());
    double bias = 0;
    const char* first = line.data() + space + 1;
    const char* last = line.data() + end;
    const auto [ptr, ec] = std::from_chars(first, last, bias);
    if (ec != std::errc() || ptr != last || first == last) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", bias + offset);
    return line.substr(0, space + 1) + text + line.substr(end);
}

Variation kanjiVariation() { return {}; }

std::vector<IntInk> kanjiTrainingSamples(const Glyph& glyph, const KanjiModelOptions& options) {
    static constexpr templategen::Fault kFaultCycle[] = {
        templategen::Fault::Swapped, templategen::Fault::Joined, templategen::Fault::Reversed};
    std::vector<IntInk> out;
    out.reserve(2 + static_cast<size_t>(std::max(options.variations, 0)));
    const Ink clean = sampleGlyph(glyph.strokes, kCleanSpacing);
    out.push_back(normaliseToSquare(clean, Frame::Ink));
    out.push_back(normaliseToSquare(clean, Frame::Line));
    const Variation normal = options.variation,
                    strong = templategen::scaledVariation(options.strongVariation, options.variation);
    Random random = classRandom(options.seed, glyph.label);
    for (int i = 0; i < options.variations; ++i) {
        Ink ink = synthesise(glyph, random, i % 2 == 0 ? normal : strong);
        if (i % kFaultEvery == kFaultEvery - 1)
            ink = templategen::withFault(std::move(ink), kFaultCycle[(i / kFaultEvery) % 3], random);
        out.push_back(normaliseToSquare(ink, (i / 2) % 2 == 0 ? Frame::Ink : Frame::Line));
    }
    return out;
}

std::vector<std::vector<uint32_t>> nearestGlyphs(const std::vector<Glyph>& pool,
                                                 const std::vector<size_t>& targets, const TwinGroups& twins,
                                                 int count, uint64_t seed) {
    std::vector<Features> features;
    features.reserve(pool.size());
    for (const Glyph& g : pool) features.push_back(meanFeatures(g, seed));
    const size_t wanted = static_cast<size_t>(std::max(count, 0));
    std::vector<std::vector<uint32_t>> out;
    out.reserve(targets.size());
    std::vector<std::pair<float, uint32_t>> ranked(pool.size());
    for (size_t t : targets) {
        const Glyph& target = pool[t];
        const std::vector<char32_t>* group = nullptr;
        for (const auto& g : twins) {
            if (std::find(g.begin(), g.end(), target.label) != g.end()) group = &g;
        }
        ranked.clear();
        for (uint32_t i = 0; i < pool.size(); ++i) {
            if (pool[i].label == target.label ||
                (group && std::find(group->begin(), group->end(), pool[i].label) != group->end()))
                continue;
            float dot = 0;
            for (size_t k = 0; k < features[t].size(); ++k) dot += features[t][k] * features[i][k];
            ranked.emplace_back(-dot, i);
        }
        std::sort(ranked.begin(), ranked.end());
        // A glyph of the target's shape (same strokes, within the supplementary model's twin tolerance:
        // 力 and カ, 二 and ニ) is no negative either: the engine tells those apart by their neighbours.
        auto& list = out.emplace_back();
        for (const auto& [distance, i] : ranked) {
            if (list.size() == wanted) break;
            if (pool[i].strokes.size() == target.strokes.size() && unlikeAll({pool[i]}, {target}).empty())
                continue;
            list.push_back(i);
        }
    }
    return out;
}

bool trainKanjiModel(const std::vector<Glyph>& pool, const std::vector<size_t>& targets,
                     const TwinGroups& twins, const KanjiModelOptions& options, const std::string& workFolder,
                     std::ostream& out, std::string* error, const std::function<void(size_t)>& progress) {
    std::string ignoredError;
    if (!error) error = &ignoredError;
    for (size_t t : targets) {
        if (t >= pool.size()) {
            *error = "a target beyond the glyphs";
            return false;
        }
    }
    const auto nearest = nearestGlyphs(pool, targets, twins, options.neighbours, options.seed);
    // The samples of every glyph that is trained or serves as a negative, made once before the processes
    // split (a forked process shares them).
    std::vector<std::vector<IntInk>> samples(pool.size());
    for (size_t t = 0; t < targets.size(); ++t) {
        for (size_t i : nearest[t]) {
            if (samples[i].empty()) samples[i] = kanjiTrainingSamples(pool[i], options);
        }
        if (samples[targets[t]].empty())
            samples[targets[t]] = kanjiTrainingSamples(pool[targets[t]], options);
    }
    std::error_code failure;
    std::filesystem::create_directories(workFolder, failure);
    if (failure) {
        *error = "cannot create " + workFolder;
        return false;
    }
    const size_t processes = std::clamp<size_t>(static_cast<size_t>(std::max(options.processes, 1)), 1,
                                                std::max<size_t>(targets.size(), 1));
    const auto partFile = [&](size_t p) { return workFolder + "/part-" + std::to_string(p) + ".txt"; };
    std::vector<pid_t> children;
    bool ok = true;
    for (size_t p = 1; p < processes; ++p) {
        const pid_t pid = fork();
        if (pid == 0) {
            std::string childError;
            const bool ok = trainPart(pool, targets, nearest, samples, options, p, workFolder, partFile(p),
                                      &childError, {});
            if (!ok) std::fprintf(stderr, "slatewise-modelgen: %s\n", childError.c_str());
            std::fflush(stderr);
            _exit(ok ? 0 : 1);
        }
        if (pid < 0) {
            *error = "cannot start a training process";
            ok = false;
            break;
        }
        children.push_back(pid);
    }
    ok = ok &&
         trainPart(pool, targets, nearest, samples, options, 0, workFolder, partFile(0), error, progress);
    for (pid_t pid : children) {
        int status = 0;
        if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            if (ok) *error = "a training process failed";
            ok = false;
        }
    }
    // Interleave the parts back into the order of the targets.
    std::vector<std::ifstream> parts;
    for (size_t p = 0; p < processes; ++p) parts.emplace_back(partFile(p), std::ios::binary);
    for (size_t t = 0; ok && t < targets.size(); ++t) {
        std::string line;
        if (!std::getline(parts[t % processes], line)) {
            *error = "a training process left its part short";
            ok = false;
            break;
        }
        out << line << '\n';
    }
    parts.clear();
    std::error_code ignored;
    for (size_t p = 0; p < processes; ++p) std::filesystem::remove(partFile(p), ignored);
    std::filesystem::remove(workFolder, ignored);
    return ok && static_cast<bool>(out);
}

bool trainFormClasses(const std::vector<Glyph>& glyphs, const TwinGroups& twins,
                      const std::vector<std::string>& labels, uint64_t seed, int variations,
                      const std::vector<Glyph>& negatives, const std::string& scratch, std::ostream& out,
                      std::string* error) {
    std::string ignoredError;
    if (!error) error = &ignoredError;
    if (labels.size() != glyphs.size()) {
        *error = "a form class label for every glyph is needed";
        return false;
    }
    if (std::all_of(labels.begin(), labels.end(), [](const std::string& l) { return l.empty(); }))
        return true;
    std::vector<std::vector<IntInk>> samples(glyphs.size());
    for (size_t i = 0; i < glyphs.size(); ++i)
        samples[i] = trainingSamples(glyphs[i], twins, seed, variations);
    // The negatives (kanji) clean only, not also varied: a letter is far from every kanji, and each class
    // costs a fourth less to train.
    std::vector<IntInk> unlike;
    for (const Glyph& g : negatives) unlike.push_back(std::move(negativeSamples(g, seed).front()));
    std::set<std::string> done;
    for (size_t first = 0; first < glyphs.size(); ++first) {
        const std::string& label = labels[first];
        if (label.empty() || !done.insert(label).second) continue;
        const char32_t owner = classLabelOf(twins, glyphs[first].label);
        std::vector<IntInk> positives;
        std::vector<const IntInk*> others;
        for (size_t i = 0; i < glyphs.size(); ++i) {
            if (labels[i] == label) {
                positives.insert(positives.end(), samples[i].begin(), samples[i].end());
            } else if (classLabelOf(twins, glyphs[i].label) != owner) {
                for (const IntInk& ink : samples[i]) others.push_back(&ink);
            }
        }
        for (const IntInk& ink : unlike) others.push_back(&ink);
        std::string line;
        const uint64_t classSeed = classRandom(seed + 1, glyphs[first].label).next() + done.size();
        if (!trainClass(label, positives, others, classSeed, scratch, &line, error)) return false;
        out << line << '\n';
    }
    std::error_code ignored;
    std::filesystem::remove(scratch, ignored);
    std::filesystem::remove(scratch + ".txt", ignored);
    return static_cast<bool>(out);
}

std::vector<size_t> kanjiIndices(const std::vector<Glyph>& pool, const TwinGroups& twins) {
    std::set<char32_t> twinned;
    for (const auto& group : twins) twinned.insert(group.begin(), group.end());
    std::vector<size_t> out;
    for (size_t i = 0; i < pool.size(); ++i) {
        const char32_t c = pool[i].label;
        if (twinned.contains(c)) continue;
        const bool again = !out.empty() && pool[out.back()].label == c;  // another form of the same kanji
        if (c >= 0x4E00 && c <= 0x9FFF && hasCp932DoubleByte(c) && !again) out.push_back(i);
    }
    return out;
}

std::vector<size_t> chooseIndices(std::vector<size_t> indices, size_t count, uint64_t seed) {
    if (count == 0 || count >= indices.size()) return indices;
    Random order(seed);
    for (size_t i = indices.size(); i > 1; --i) {
        const auto j = std::min(i - 1, static_cast<size_t>(order.uniform(0, static_cast<double>(i))));
        std::swap(indices[i - 1], indices[j]);
    }
    indices.resize(count);
    std::sort(indices.begin(), indices.end());
    return indices;
}

}  // namespace sw::modelgen
