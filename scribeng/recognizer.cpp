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

}  // namespace

Recognizer::Recognizer(std::span<const std::filesystem::path> folders) {
    for (const auto& folder : folders) m_models.loadFolder(folder);
    for (const auto& label : m_models.labels()) {
        if (auto code = codeOfLabel(label)) m_codes.emplace(label, *code);
    }
}

std::vector<Candidate> Recognizer::recognize(std::span<const Stroke> strokes, const Box& frame, int32_t mask,
                                             size_t limit) const {
    std::vector<Candidate> out;
    Box ink = boundsOf(strokes);
    if (!ready() || ink.empty() || limit == 0) return out;

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

}  // namespace sw::scribeng
