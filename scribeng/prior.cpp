#include "scribeng/prior.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "contracts/scribeng.h"

namespace sw::scribeng {

float relativeInk(std::span<const InkStroke> strokes) {
    float left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    double length = 0;
    for (const auto& stroke : strokes) {
        for (size_t i = 0; i < stroke.size(); ++i) {
            const InkPoint& p = stroke[i];
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) return 0;
            if (!any) {
                left = right = p.x;
                top = bottom = p.y;
                any = true;
            }
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
            if (i > 0) length += std::hypot(p.x - stroke[i - 1].x, p.y - stroke[i - 1].y);
        }
    }
    const float side = std::max(right - left, bottom - top);
    return side > 0 ? static_cast<float>(length / side) : 0.0f;
}

uint32_t mostStrokesFor(size_t written) {
    return static_cast<uint32_t>(
        std::min<size_t>(written, std::numeric_limits<uint32_t>::max() / kJoinedAtMost) * kJoinedAtMost);
}

float freeStrokesUpTo(uint32_t maxStrokes, const PriorWeights& w) {
    const auto most = static_cast<float>(maxStrokes);
    return most + std::max(1.0f, w.extraShare * most);
}

namespace {

bool oneStrokeKanji(const WrittenInk& written, const ClassFacts& facts, bool kanji) {
    return kanji && written.strokes == 1 && facts.minStrokes >= 2;
}

}  // namespace

float writingCost(const WrittenInk& written, const ClassFacts& facts, const PriorWeights& w, bool kanji,
                  bool symbol) {
    if (facts.minStrokes == 0 || written.strokes <= 0) return 0;
    float cost = oneStrokeKanji(written, facts, kanji) ? w.oneStrokeKanjiCost : 0.0f;
    const float fewest = (symbol ? w.symbolJoinShare : w.joinShare) * static_cast<float>(facts.minStrokes);
    const auto strokes = static_cast<float>(written.strokes);
    if (strokes < fewest) cost += w.fewerStrokeCost * (fewest - strokes);
    const float most = freeStrokesUpTo(facts.maxStrokes, w);
    if (strokes > most) cost += w.extraStrokeCost * (strokes - most);
    if (facts.ink > 0 && w.inkShare > 0) {
        const float share = written.ink / facts.ink;
        if (share < w.inkShare) cost += w.inkCost * (w.inkShare - share) / w.inkShare;
    }
    return cost;
}

float plausibleZinnia(float zinnia, float shape, const WrittenInk& written, const ClassFacts& facts,
                      const PriorWeights& w, bool kanji, float atLeast) {
    zinnia = std::max(zinnia, atLeast);
    if (!kanji) return zinnia;
    if (oneStrokeKanji(written, facts, kanji)) zinnia = std::min(zinnia, w.oneStrokeKanjiZinnia);
    if (shape < w.kanjiShapeBelow) zinnia = std::min(zinnia, w.kanjiZinnia);
    return zinnia;
}

float letterZinniaFloor(float shapeRatio, float clearest, const PriorWeights& w) {
    if (clearest >= w.letterClearZinnia) return std::numeric_limits<float>::lowest();
    return -w.letterShapeShare * shapeRatio;
}

float letterZinnia(float best, float own, float clearest, const PriorWeights& w) {
    if (own == std::numeric_limits<float>::lowest() || clearest < w.letterClearZinnia) return best;
    return std::min(best, own);
}

float kanjiZinniaBeside(float withKana, float withoutKana, float bestKana, const PriorWeights& w) {
    constexpr float kNone = std::numeric_limits<float>::lowest();
    if (withKana == kNone || withoutKana == kNone || !(bestKana >= std::max(w.plausibleKanaZinnia, withKana)))
        return std::max(withKana, withoutKana);
    return std::max(withKana, std::min(withoutKana, withKana + w.kanaKanjiLead));
}

float symbolZinniaBeside(float symbol, float bestKana, const PriorWeights& w) {
    if (!(bestKana >= w.plausibleKanaZinnia)) return symbol;
    return std::min(symbol, bestKana + w.kanaSymbolLead);
}

float commonnessCost(CharCode code, const ClassFacts* facts, bool withFrequency, const PriorWeights& w) {
    const int32_t category = categoryOf(code);
    if ((category & SCRIBENG_CAT_OTHER) == SCRIBENG_CAT_OTHER) return w.symbolCost;
    const bool level2 = (category & SCRIBENG_CAT_KANJI2) != 0;
    if ((category & (SCRIBENG_CAT_KANJI1 | SCRIBENG_CAT_KANJI2)) == 0) return 0;
    if (!withFrequency || facts == nullptr) return level2 ? w.rareLevel2Cost : 0.0f;
    if (facts->grade >= 1 && facts->grade <= 6) return 0;
    if (facts->grade == 8) return w.otherCommonCost;
    if (facts->grade >= 9 || facts->frequencyRank != 0) return w.frequentCost;
    return level2 ? w.rareLevel2Cost : w.rareLevel1Cost;
}

}  // namespace sw::scribeng
