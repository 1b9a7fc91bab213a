#include "scribeng/recognizer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

namespace sw::scribeng {
namespace {

// Zinnia's coordinate space and the margin left around the character inside it (the Japanese model was
// trained on characters that fill about 70 per cent of their box).
constexpr int kSpace = 1000;
constexpr double kMargin = 0.15;
// Classes ranked before the category mask is applied; all are ranked when these leave too few candidates.
constexpr size_t kFirstRanking = 200;

std::string utf8(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x110000) {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

ZinniaCharacter frameCharacter(std::span<const Stroke> strokes, const Box& ink, const Box& frame) {
    Box square = ink;
    square.add(frame);
    const double side =
        std::max<double>({static_cast<double>(square.width()), static_cast<double>(square.height()), 1.0});
    const double cx = (static_cast<double>(square.left) + square.right) / 2;
    const double cy = (static_cast<double>(square.top) + square.bottom) / 2;
    const double scale = kSpace * (1 - 2 * kMargin) / side;

    ZinniaCharacter character(kSpace, kSpace);
    size_t id = 0;
    for (const auto& stroke : strokes) {
        if (stroke.empty()) continue;
        for (const auto& p : stroke) {
            const auto x = static_cast<int>(std::lround((p.x - cx) * scale + kSpace / 2.0));
            const auto y = static_cast<int>(std::lround((p.y - cy) * scale + kSpace / 2.0));
            character.add(id, x, y);
        }
        ++id;
    }
    return character;
}

FeatureVector featuresOf(std::span<const Stroke> strokes) {
    std::vector<InkStroke> ink;
    ink.reserve(strokes.size());
    for (const auto& stroke : strokes) {
        if (stroke.empty()) continue;
        InkStroke& s = ink.emplace_back();
        s.reserve(stroke.size());
        for (const auto& p : stroke) s.push_back({static_cast<float>(p.x), static_cast<float>(p.y)});
    }
    return directionFeatures(ink);
}

bool hasShape(const FeatureVector& features) {
    return std::any_of(features.begin(), features.end(), [](float v) { return v != 0; });
}

}  // namespace

Recognizer::Recognizer(std::span<const std::filesystem::path> folders, RecognizerOptions options)
    : m_options(options) {
    for (const auto& folder : folders) m_models.loadFolder(folder);
    const auto models = m_models.models();
    for (uint32_t m = 0; m < models.size(); ++m) {
        for (uint32_t i = 0; i < models[m].classCount(); ++i) {
            std::string label = models[m].label(i);
            auto code = codeOfLabel(label);
            if (!code) continue;
            m_codes.emplace(std::move(label), *code);
            m_classes[*code].emplace_back(m, i);
        }
    }
    if (!m_options.useTemplates || !ready()) return;
    const auto codeOf = [this](char32_t c) -> std::optional<CharCode> {
        auto it = m_codes.find(utf8(c));
        if (it == m_codes.end()) return std::nullopt;
        return it->second;
    };
    for (const auto& folder : folders) {
        if (m_templates.load(folder / kTemplateFile, codeOf)) break;
    }
}

std::vector<Candidate> Recognizer::recognizeByZinnia(const ZinniaCharacter& character, int32_t mask,
                                                     size_t limit) const {
    std::vector<Candidate> out;
    // Most characters find their candidates among the best few hundred classes; only a mask that leaves few
    // classes makes it worth ranking them all.
    for (size_t nbest : {kFirstRanking, std::numeric_limits<size_t>::max()}) {
        const auto ranked = m_models.classify(character, nbest);
        out.clear();
        std::unordered_set<CharCode> seen;
        for (const auto& candidate : ranked) {
            auto it = m_codes.find(candidate.label);
            if (it == m_codes.end() || !allowedBy(it->second, mask) || !seen.insert(it->second).second)
                continue;
            out.push_back({it->second, candidate.score});
            if (out.size() == limit) return out;
        }
        if (ranked.size() < nbest) break;  // every class was ranked
    }
    return out;
}

std::vector<ScoredCandidate> Recognizer::scoreShortlist(std::span<const Stroke> strokes, const Box& frame,
                                                        int32_t mask, size_t count) const {
    const Box ink = boundsOf(strokes);
    if (!ready() || !hasTemplates() || ink.empty() || count == 0) return {};
    const FeatureVector features = featuresOf(strokes);
    if (!hasShape(features)) return {};
    return scoreShortlist(strokes, ink, features, frame, mask, count);
}

std::vector<ScoredCandidate> Recognizer::scoreShortlist(std::span<const Stroke> strokes, const Box& ink,
                                                        const FeatureVector& features, const Box& frame,
                                                        int32_t mask, size_t count) const {
    std::vector<ScoredCandidate> out;
    const auto shortlist = m_templates.rank(features, mask, count);
    if (shortlist.empty()) return out;

    // Zinnia scores the shortlisted classes of each model; a code known to several models keeps its best.
    const auto models = m_models.models();
    std::vector<std::vector<uint32_t>> subsets(models.size());
    for (const auto& match : shortlist) {
        if (auto it = m_classes.find(match.code); it != m_classes.end()) {
            for (const auto& [m, i] : it->second) subsets[m].push_back(i);
        }
    }
    const ZinniaCharacter character = frameCharacter(strokes, ink, frame);
    std::unordered_map<CharCode, float> zinnia;
    for (size_t m = 0; m < models.size(); ++m) {
        if (subsets[m].empty()) continue;
        for (const auto& scored : models[m].classifySubset(character, subsets[m])) {
            auto it = m_codes.find(scored.label);
            if (it == m_codes.end()) continue;
            auto [z, inserted] = zinnia.try_emplace(it->second, scored.score);
            if (!inserted) z->second = std::max(z->second, scored.score);
        }
    }
    out.reserve(shortlist.size());
    for (const auto& match : shortlist) {
        auto z = zinnia.find(match.code);
        if (z != zinnia.end()) out.push_back({match.code, z->second, match.similarity});
    }
    return out;
}

std::vector<Candidate> Recognizer::recognize(std::span<const Stroke> strokes, const Box& frame, int32_t mask,
                                             size_t limit) const {
    const Box ink = boundsOf(strokes);
    if (!ready() || ink.empty() || limit == 0) return {};
    // Ink without extent (a tap) has no shape: Zinnia alone ranks it.
    const FeatureVector features = hasTemplates() ? featuresOf(strokes) : FeatureVector{};
    if (!hasShape(features)) {
        return recognizeByZinnia(frameCharacter(strokes, ink, frame), mask, limit);
    }

    const auto& w = m_options.weights;
    std::vector<Candidate> out;
    for (const auto& c :
         scoreShortlist(strokes, ink, features, frame, mask, std::max(limit, m_options.shortlist))) {
        out.push_back({c.code, c.zinnia + w.shapeRatio * (c.shape - w.shapeCentre)});
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
    if (out.size() > limit) out.resize(limit);
    return out;
}

}  // namespace sw::scribeng
