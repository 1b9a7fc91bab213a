#include "scribeng/recognizer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <ranges>
#include <unordered_map>
#include <unordered_set>

#include "scribeng/char_geometry.h"
#include "scribeng/ink_normalise.h"
#include "scribeng/prior.h"
#include "scribeng/zinnia_ink.h"

namespace sw::scribeng {
namespace {

// Classes ranked before the category mask is applied; all are ranked when these leave too few candidates.
constexpr size_t kFirstRanking = 200;
constexpr int32_t kKana = SCRIBENG_CAT_HIRAGANA | SCRIBENG_CAT_KATAKANA;
constexpr int32_t kKanji = SCRIBENG_CAT_KANJI1 | SCRIBENG_CAT_KANJI2;

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

// The strokes (canvas pixels, or units of which a canvas pixel is `pixel`) as ink for directionFeatures and
// the prior, their pixel steps smoothed.
std::vector<InkStroke> inkOf(std::span<const Stroke> strokes, double pixel = 1) {
    std::vector<InkStroke> ink;
    ink.reserve(strokes.size());
    for (const auto& stroke : strokes) {
        if (stroke.empty()) continue;
        InkStroke& s = ink.emplace_back();
        s.reserve(stroke.size());
        for (const auto& p : smoothedPixels(stroke, pixel))
            s.push_back({static_cast<float>(p.x), static_cast<float>(p.y)});
    }
    return ink;
}

// The strokes in Zinnia's space as ink for directionFeatures.
std::vector<InkStroke> inkOf(std::span<const std::vector<SpacePoint>> strokes) {
    std::vector<InkStroke> ink;
    ink.reserve(strokes.size());
    for (const auto& stroke : strokes) {
        auto& s = ink.emplace_back();
        s.reserve(stroke.size());
        for (const auto& p : stroke) s.push_back({static_cast<float>(p.x), static_cast<float>(p.y)});
    }
    return ink;
}

// The strokes in Zinnia's space, every point of the canvas kept (a canvas pixel `pixel` units), as ink for
// directionFeatures, their pixel steps smoothed as the canvas's are.
std::vector<InkStroke> inkOf(std::span<const std::vector<SpacePoint>> strokes, double pixel) {
    std::vector<Stroke> points(strokes.size());
    for (size_t k = 0; k < strokes.size(); ++k) {
        points[k].reserve(strokes[k].size());
        for (const auto& p : strokes[k]) points[k].push_back({p.x, p.y});
    }
    return inkOf(points, pixel);
}

// The weight of the shape term for ink whose closest template has similarity `closest`: the full ratio where
// the ink matches a template closely (from closeFrom on), the real-writing ratio where it matches none well
// (up to looseBelow), in between linearly.
float shapeRatioFor(float closest, const FusionWeights& w) {
    const float t = std::clamp((closest - w.looseBelow) / (w.closeFrom - w.looseBelow), 0.0F, 1.0F);
    return w.looseRatio + t * (w.shapeRatio - w.looseRatio);
}

// Zinnia's features of the strokes placed in its space, computed once for every model.
ZinniaFeatures zinniaFeaturesOf(std::span<const Stroke> strokes, const Box& ink, const Box& frame) {
    return ZinniaFeatures(zinniaStrokesOf(strokes, ink, frame), kZinniaSpace, kZinniaSpace);
}

// Keeps in `z` the better of its scores and `s`'s less `cost`, each of the two on its own.
template <typename Score>
void keepBetter(std::optional<Score>& z, const Score& s, float cost) {
    const auto less = [cost](float v) { return v == std::numeric_limits<float>::lowest() ? v : v - cost; };
    if (!z) {
        z = Score{less(s.best), less(s.own)};
        return;
    }
    z->best = std::max(z->best, less(s.best));
    z->own = std::max(z->own, less(s.own));
}

bool hasShape(const FeatureVector& features) {
    return std::any_of(features.begin(), features.end(), [](float v) { return v != 0; });
}

}  // namespace

bool sharplyJoined(const UnjoinedVersion& version, size_t written, bool kanji,
                   const RecognizerOptions& options) {
    const float least = kanji ? options.sharpWayLength : options.likelyWayLength;
    if (written < 2 || version.shortest < least) return false;
    return version.leastTurn >= (version.cuts < 2 ? options.sharpOneWayTurn : options.sharpWayTurn);
}

float sureWaysLeft(std::span<const float> sureAt, size_t missing, float from) {
    float total = 0, left = 0;
    for (size_t cuts = 0; cuts < sureAt.size(); ++cuts) {
        total += sureAt[cuts];
        if (cuts > missing) left += sureAt[cuts];
    }
    return total >= from ? left : 0.0F;
}

Recognizer::Recognizer(std::span<const std::filesystem::path> folders, RecognizerOptions options)
    : m_options(options) {
    for (const auto& folder : folders) m_models.loadFolder(folder);
    const auto models = m_models.models();
    struct Class {
        CharCode code;
        std::pair<uint32_t, uint32_t> at;  // model, class
        bool form;
    };
    std::vector<Class> classes;
    for (uint32_t m = 0; m < models.size(); ++m) {
        for (uint32_t i = 0; i < models[m].classCount(); ++i) {
            std::string label = models[m].label(i);
            auto code = codeOfLabel(label);
            if (!code) continue;
            const bool form = characterOfLabel(label).size() != label.size();
            m_codes.emplace(std::move(label), *code);
            classes.push_back({*code, {m, i}, form});
        }
    }
    m_knowsKana.assign(models.size(), false);
    for (const auto& c : classes) {
        if ((categoryOf(c.code) & kKana) != 0) m_knowsKana[c.at.first] = true;
    }
    std::stable_sort(classes.begin(), classes.end(),
                     [](const Class& a, const Class& b) { return a.code < b.code; });
    m_classFirst.assign(size_t{std::numeric_limits<CharCode>::max()} + 2, 0);
    for (const auto& [code, c, form] : classes) {
        ++m_classFirst[size_t{code} + 1];
        m_classes.push_back(c);
        m_formClass.push_back(form);
        if ((isTinyMark(code) || isDotMark(code)) && (m_marks.empty() || m_marks.back() != code))
            m_marks.push_back(code);
    }
    for (size_t c = 1; c < m_classFirst.size(); ++c) m_classFirst[c] += m_classFirst[c - 1];
    if (!m_options.useTemplates || !ready()) return;
    // A character some model has a class for (its own label or only form classes: ｌ#2).
    const auto codeOf = [this](char32_t c) -> std::optional<CharCode> {
        const auto code = codeOfLabel(utf8(c));
        if (!code || m_classFirst[*code] == m_classFirst[size_t{*code} + 1]) return std::nullopt;
        return code;
    };
    for (const auto& folder : folders) {
        if (m_templates.load(folder / kTemplateFile, codeOf)) break;
    }
    for (CharCode code : m_templates.codes()) {
        const ClassFacts* facts = m_templates.factsOf(code);
        if ((categoryOf(code) & kKana) == 0) continue;
        m_kanaCodes.push_back(code);
        if (facts) m_kanaStrokes = std::max(m_kanaStrokes, facts->maxStrokes);
    }
}

std::vector<Candidate> Recognizer::recognizeByZinnia(const ZinniaFeatures& features, int32_t mask,
                                                     size_t limit) const {
    std::vector<Candidate> out;
    // Most characters find their candidates among the best few hundred classes; only a mask that leaves few
    // classes makes it worth ranking them all.
    for (size_t nbest : {kFirstRanking, std::numeric_limits<size_t>::max()}) {
        const auto ranked = m_models.classify(features, nbest);
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

std::vector<std::optional<Recognizer::ZinniaScore>> Recognizer::zinniaScores(const ZinniaFeatures& features,
                                                                             std::span<const CharCode> codes,
                                                                             bool besideKana) const {
    // Zinnia scores the classes of each model; a code known to several models keeps its best.
    std::vector<std::optional<ZinniaScore>> zinnia(codes.size());
    if (!features.valid()) return zinnia;
    const auto models = m_models.models();
    std::vector<std::vector<uint32_t>> classes(models.size());  // per model, its classes to score
    std::vector<std::vector<size_t>> of(models.size());         // and the place of each one's code
    std::vector<std::vector<bool>> form(models.size());         // and whether it is a form class
    for (size_t k = 0; k < codes.size(); ++k) {
        for (uint32_t c = m_classFirst[codes[k]]; c < m_classFirst[size_t{codes[k]} + 1]; ++c) {
            classes[m_classes[c].first].push_back(m_classes[c].second);
            of[m_classes[c].first].push_back(k);
            form[m_classes[c].first].push_back(m_formClass[c]);
        }
    }
    // Each model's score of a code is its best class of that code (a model may keep several forms of one
    // character); the code's score is the best model's, at most modelLead above the lowest model's. The
    // score of its own classes alone is kept beside it, under the same bound.
    constexpr float kNone = std::numeric_limits<float>::lowest();
    std::vector<float> scores;
    std::vector<std::optional<ZinniaScore>> byModel(codes.size());
    std::vector<float> lowest(codes.size(), std::numeric_limits<float>::max());
    // A kanji's best score by the models that know kana and by those that know none (for `besideKana`).
    std::vector<float> withKana(codes.size(), kNone), withoutKana(codes.size(), kNone);
    for (size_t m = 0; m < models.size(); ++m) {
        scores.resize(classes[m].size());
        models[m].score(features, classes[m], scores);
        std::fill(byModel.begin(), byModel.end(), std::nullopt);
        for (size_t c = 0; c < scores.size(); ++c) {
            auto& b = byModel[of[m][c]];
            if (!b) b = ZinniaScore{scores[c], kNone};
            b->best = std::max(b->best, scores[c]);
            if (!form[m][c]) b->own = std::max(b->own, scores[c]);
        }
        for (size_t k = 0; k < codes.size(); ++k) {
            if (!byModel[k]) continue;
            auto& z = zinnia[k];
            if (!z) z = ZinniaScore{kNone, kNone};
            z->best = std::max(z->best, byModel[k]->best);
            z->own = std::max(z->own, byModel[k]->own);
            lowest[k] = std::min(lowest[k], byModel[k]->best);
            if (besideKana && (categoryOf(codes[k]) & kKanji) != 0) {
                auto& side = m_knowsKana[m] ? withKana[k] : withoutKana[k];
                side = std::max(side, byModel[k]->best);
            }
        }
    }
    for (size_t k = 0; k < codes.size(); ++k) {
        if (zinnia[k]) zinnia[k]->best = std::min(zinnia[k]->best, lowest[k] + m_options.modelLead);
    }
    // While the ink could be a kana, a symbol (symbolZinniaBeside) and a kanji's score of a model that knows
    // no kana (kanjiZinniaBeside) count only so far above the best kana's.
    if (besideKana) {
        float bestKana = kNone, bestLetter = kNone;
        for (size_t k = 0; k < codes.size(); ++k) {
            if (!zinnia[k]) continue;
            const int32_t category = categoryOf(codes[k]);
            if ((category & kKana) != 0) bestKana = std::max(bestKana, zinnia[k]->best);
            if ((category & (SCRIBENG_CAT_LATIN | SCRIBENG_CAT_DIGIT)) != 0)
                bestLetter = std::max(bestLetter, zinnia[k]->best);
        }
        // Symbols are held beside the kana whatever the letters score.
        for (size_t k = 0; k < codes.size(); ++k) {
            if (zinnia[k] && categoryOf(codes[k]) == SCRIBENG_CAT_OTHER)
                zinnia[k]->best = symbolZinniaBeside(zinnia[k]->best, bestKana, m_options.prior);
        }
        if (bestLetter > bestKana) bestKana = kNone;  // letters or digits rather than a kana
        for (size_t k = 0; k < codes.size(); ++k) {
            if (!zinnia[k] || (categoryOf(codes[k]) & kKanji) == 0) continue;
            zinnia[k]->best = std::min(
                zinnia[k]->best, kanjiZinniaBeside(withKana[k], withoutKana[k], bestKana, m_options.prior));
        }
    }
    for (auto& z : zinnia) {
        if (z) z->own = std::min(z->own, z->best);
    }
    return zinnia;
}

std::vector<Candidate> Recognizer::recognizeTap(const ZinniaFeatures& features, int32_t mask,
                                                size_t limit) const {
    std::vector<CharCode> marks;
    for (CharCode code : m_marks) {
        if (allowedBy(code, mask)) marks.push_back(code);
    }
    if (marks.empty()) return recognizeByZinnia(features, mask, limit);
    std::vector<Candidate> out;
    const auto scores = zinniaScores(features, marks);
    for (size_t k = 0; k < marks.size(); ++k) {
        if (scores[k]) out.push_back({marks[k], scores[k]->best});
    }
    std::sort(out.begin(), out.end(), [](const Candidate& a, const Candidate& b) {
        return a.score != b.score ? a.score > b.score : a.code < b.code;
    });
    if (out.size() > limit) out.resize(limit);
    return out;
}

// Per shortlisted class, the strokes its forms need beyond the `written` ones. A single stroke is taken apart
// for kana only: a kanji written in one movement is implausible (prior.h), and letters, digits and symbols
// are written in one stroke with pieces that look like the pen's way (a cursive q read as 夕 with its stem
// taken out).
std::vector<size_t> Recognizer::missingStrokes(size_t written, std::span<const ShapeMatch> shortlist) const {
    std::vector<size_t> missing(shortlist.size(), 0);
    for (size_t k = 0; k < shortlist.size(); ++k) {
        if (written == 1 && (categoryOf(shortlist[k].code) & kKana) == 0) continue;
        const ClassFacts* facts = m_templates.factsOf(shortlist[k].code);
        if (facts && facts->minStrokes > written) missing[k] = facts->minStrokes - written;
    }
    return missing;
}

std::vector<UnjoinedVersion> Recognizer::unjoinedVersionsFor(std::span<const std::vector<SpacePoint>> placed,
                                                             std::span<const size_t> missing) const {
    if (!m_options.readJoined || !m_templates.hasWritingFacts()) return {};
    const size_t most = missing.empty() ? 0 : *std::max_element(missing.begin(), missing.end());
    if (most == 0) return {};
    return unjoinedVersions(placed, std::min(most, kMostUnjoined), kUnjoinedAlternatives);
}

float Recognizer::surenessOf(const UnjoinedVersion& version, size_t written) const {
    if (written < 2 || version.shortest < m_options.likelyWayLength) return 0;
    return std::clamp(
        (version.weakest - m_options.likelyWayFrom) / (m_options.likelyWayTo - m_options.likelyWayFrom), 0.0F,
        1.0F);
}

std::vector<float> Recognizer::surenessByCuts(std::span<const UnjoinedVersion> versions,
                                              size_t written) const {
    std::vector<float> sureAt;
    for (const auto& version : versions) {
        if (version.cuts >= sureAt.size()) sureAt.resize(version.cuts + 1, 0.0F);
        sureAt[version.cuts] = std::max(sureAt[version.cuts], surenessOf(version, written));
    }
    return sureAt;
}

void Recognizer::unjoinedScores(size_t written, double pixel, std::span<const UnjoinedVersion> versions,
                                std::span<const size_t> missing, std::span<ShapeMatch> shortlist,
                                std::vector<std::optional<ZinniaScore>>& zinnia, bool besideKana, bool blur,
                                float frameCost) const {
    if (versions.empty()) return;
    std::vector<CharCode> codes;
    for (const auto& m : shortlist) codes.push_back(m.code);
    const size_t deepest = versions.back().cuts;
    for (const auto& version : versions) {
        // A class missing more strokes than there are likely joins takes the versions with all of them.
        std::vector<CharCode> some;
        std::vector<size_t> at;
        for (size_t k = 0; k < codes.size(); ++k) {
            if (missing[k] == version.cuts || (version.cuts == deepest && missing[k] > deepest)) {
                some.push_back(codes[k]);
                at.push_back(k);
            }
        }
        if (some.empty()) continue;
        const auto scores =
            zinniaScores(ZinniaFeatures(version.strokes, kZinniaSpace, kZinniaSpace), some, besideKana);
        // The shape from every point, as the ink as written: Zinnia's few vertices make a curve a polygon.
        const FeatureVector features = directionFeatures(inkOf(version.ink, pixel));
        const OrientationVector orientations = orientationsOf(features);
        // Ways that are surely the pen's ease the cost (RecognizerOptions::likelyWayCost).
        const float sure = surenessOf(version, written);
        const bool many = version.cuts >= m_options.manyWaysFrom;
        const float plainCost = many ? m_options.manyWaysCost : m_options.unjoinedCost;
        const float sureCost = many ? m_options.manyWaysLikelyCost : m_options.likelyWayCost;
        const float plainGap = many ? m_options.manyWaysShapeGap : m_options.unjoinedShapeGap;
        const float sureGap = many ? m_options.manyWaysLikelyShapeGap : m_options.likelyWayShapeGap;
        const float cost = plainCost + sure * (sureCost - plainCost);
        const float gap = plainGap + sure * (sureGap - plainGap);
        // Ways where the pen turns sharply at both ends are the pen's (RecognizerOptions::sharpWayCost);
        // those shorter than a likely way only for a kanji (in kana such a piece is as often a mark's: プ's
        // circle).
        const bool sharpForAny = sharplyJoined(version, written, false, m_options);
        const bool sharpForKanji = sharplyJoined(version, written, true, m_options);
        for (size_t i = 0; i < some.size(); ++i) {
            const bool eased = (categoryOf(some[i]) & kKanji) != 0 ? sharpForKanji : sharpForAny;
            const float classCost = eased ? std::min(cost, m_options.sharpWayCost) : cost;
            const float classGap = eased ? std::min(gap, m_options.sharpWayShapeGap) : gap;
            auto& shape = shortlist[at[i]].similarity;
            shape = std::max(shape,
                             m_templates.similarity(features, orientations, some[i], false, blur) - classGap);
            if (scores[i]) keepBetter(zinnia[at[i]], *scores[i], classCost + frameCost);
        }
    }
}

void holdBackLifts(std::span<ShapeMatch> shortlist, std::span<const float> zinnia, size_t rivals) {
    constexpr int32_t kLetters = SCRIBENG_CAT_LATIN | SCRIBENG_CAT_DIGIT;
    rivals = std::min(rivals, shortlist.size());
    for (size_t k = 0; k < shortlist.size(); ++k) {
        auto& m = shortlist[k];
        if (m.lift <= 0 || (categoryOf(m.code) & kKana) == 0) continue;
        const bool held = std::ranges::any_of(std::views::iota(size_t{0}, rivals), [&](size_t j) {
            const int32_t category = categoryOf(shortlist[j].code);
            if ((category & (kKanji | kLetters)) == 0) return false;
            const float above = shortlist[j].similarity - m.similarity;
            return above > kDistortedBehind ||
                   (zinnia[j] > zinnia[k] && ((category & kLetters) != 0 || above > 0));
        });
        if (held) {
            m.similarity -= m.lift;
            m.lift = 0;
        }
    }
}

void Recognizer::addKanaByZinnia(const ZinniaFeatures& features, const FeatureVector& shape, int32_t mask,
                                 std::vector<ShapeMatch>& shortlist) const {
    if (m_options.kanaZinniaQuota == 0) return;
    std::unordered_set<CharCode> listed;
    for (const auto& match : shortlist) listed.insert(match.code);
    std::vector<CharCode> kana;
    for (CharCode code : m_kanaCodes) {
        if (allowedBy(code, mask) && listed.count(code) == 0) kana.push_back(code);
    }
    const auto scores = zinniaScores(features, kana);
    std::vector<std::pair<float, CharCode>> best;
    for (size_t k = 0; k < kana.size(); ++k) {
        if (scores[k]) best.emplace_back(scores[k]->best, kana[k]);
    }
    const size_t n = std::min(m_options.kanaZinniaQuota, best.size());
    std::partial_sort(best.begin(), best.begin() + static_cast<ptrdiff_t>(n), best.end(),
                      [](const auto& a, const auto& b) {
                          return a.first != b.first ? a.first > b.first : a.second < b.second;
                      });
    const OrientationVector orientations = orientationsOf(shape);
    for (size_t i = 0; i < n; ++i)
        shortlist.push_back(m_templates.match(shape, orientations, best[i].second));
}

std::vector<ScoredCandidate> Recognizer::scoreShortlist(std::span<const Stroke> strokes, const Box& frame,
                                                        int32_t mask, size_t count) const {
    const Box ink = boundsOf(strokes);
    if (!ready() || !hasTemplates() || ink.empty() || count == 0) return {};
    const FeatureVector features = directionFeatures(inkOf(strokes));
    if (!hasShape(features)) return {};
    return scoreShortlist(strokes, ink, features, frame, mask, count, m_options.coarse);
}

std::vector<ScoredCandidate> Recognizer::scoreShortlist(std::span<const Stroke> strokes, const Box& ink,
                                                        const FeatureVector& features, const Box& frame,
                                                        int32_t mask, size_t count, size_t coarse,
                                                        bool inkFrame) const {
    std::vector<ScoredCandidate> out;
    // Classes that no joining of strokes could write with this few are left out before any are compared,
    // unless the mask allows no other.
    const size_t written =
        std::count_if(strokes.begin(), strokes.end(), [](const Stroke& s) { return !s.empty(); });
    // A full reading (not a trial run's short list) also takes the best kana by shape, unless more strokes
    // were written than the prior lets any kana have without a cost.
    const bool kanaWritable =
        m_kanaStrokes == 0 || static_cast<float>(written) <= freeStrokesUpTo(m_kanaStrokes, m_options.prior);
    const size_t quota = fullReading(count) && kanaWritable ? m_options.kanaQuota : 0;
    // A way the next stroke runs back over leaves no ink of its own (zinnia_ink.h, cutRetracedWays): ink of
    // more than one stroke is ranked and read without it. A letter written in one stroke keeps its climb
    // back up the stem (ｈ ｎ).
    auto placed = zinniaStrokesOf(strokes, ink, frame, false);
    FeatureVector ranked = features;
    if (placed.size() >= 2 && cutRetracedWays(placed) > 0) ranked = directionFeatures(inkOf(placed));
    // A dotted form tells its class from a like one only by the dot (j and a J without its bar).
    const bool withDot = writtenWithDot(strokes);
    // The blur of a kanji's many strokes is left to full readings: in a trial run's pieces the strokes of a
    // neighbour with part of a character look, blurred, like a kanji of many strokes (一 of 三 with 板, 病).
    const bool blur = fullReading(count);
    auto shortlist =
        m_templates.rank(ranked, mask, count, coarse, mostStrokesFor(written), quota, kKana, withDot, blur);
    if (shortlist.empty())
        shortlist = m_templates.rank(ranked, mask, count, coarse, 0, quota, kKana, withDot, blur);
    if (shortlist.empty()) return out;

    std::vector<std::vector<SpacePoint>> reduced;
    reduced.reserve(placed.size());
    for (const auto& stroke : placed) reduced.push_back(zinniaVertices(stroke));
    const ZinniaFeatures zinniaFeatures(reduced, kZinniaSpace, kZinniaSpace);
    if (quota > 0) addKanaByZinnia(zinniaFeatures, ranked, mask, shortlist);
    const auto missing = missingStrokes(placed.size(), shortlist);
    const auto versions = unjoinedVersionsFor(placed, missing);
    // Per number of ways taken out, how surely the ways of the surest version with that many are the pen's:
    // a kanji read with fewer taken out leaves the rest in its ink (RecognizerOptions::sureWayLeftCost).
    // Full readings only: a trial run's short list weighs where characters end.
    const std::vector<float> sureAt =
        fullReading(count) ? surenessByCuts(versions, placed.size()) : std::vector<float>{};
    std::vector<CharCode> codes;
    codes.reserve(shortlist.size());
    for (const auto& match : shortlist) codes.push_back(match.code);
    // A full reading's kanji are held beside the kana (kanjiZinniaBeside); a trial run's short list keeps
    // the scores the line search weighs character ends by.
    const bool besideKana = quota > 0;
    auto zinnia = zinniaScores(zinniaFeatures, codes, besideKana);
    unjoinedScores(placed.size(), zinniaPixel(ink, frame), versions, missing, shortlist, zinnia, besideKana,
                   blur);
    if (inkFrame && !frame.empty()) {
        // Ways are told by their length in Zinnia's space, where the ink spans 70% of it: in a writing box
        // larger than the ink every way is shorter, so a kanji's joins are also looked for, and its versions
        // read, in the ink's own frame, at the cost of that frame. Not a kana's: the box tells a small kana
        // or a lower-case letter from a kana written large, which blown up to the frame takes a letter's
        // turns for joins (ｎ read as れ).
        auto own = zinniaStrokesOf(strokes, ink, Box{}, false);
        if (own.size() >= 2) cutRetracedWays(own);
        auto ownMissing = missingStrokes(own.size(), shortlist);
        for (size_t k = 0; k < shortlist.size(); ++k) {
            if ((categoryOf(shortlist[k].code) & kKanji) == 0) ownMissing[k] = 0;
        }
        unjoinedScores(own.size(), zinniaPixel(ink, Box{}), unjoinedVersionsFor(own, ownMissing), ownMissing,
                       shortlist, zinnia, besideKana, blur, m_options.weights.inkFrameCost);
    }
    if (inkFrame) {
        const auto own = zinniaScores(zinniaFeaturesOf(strokes, ink, Box{}), codes, besideKana);
        for (size_t k = 0; k < zinnia.size(); ++k) {
            if (own[k]) keepBetter(zinnia[k], *own[k], m_options.weights.inkFrameCost);
        }
    }
    std::vector<float> best(zinnia.size(), std::numeric_limits<float>::lowest());
    for (size_t k = 0; k < zinnia.size(); ++k) {
        if (zinnia[k]) best[k] = zinnia[k]->best;
    }
    holdBackLifts(shortlist, best);
    out.reserve(shortlist.size());
    for (size_t k = 0; k < shortlist.size(); ++k) {
        if (!zinnia[k]) continue;
        const float waysLeft = (categoryOf(shortlist[k].code) & kKanji) != 0
                                   ? sureWaysLeft(sureAt, missing[k], m_options.sureWaysFrom)
                                   : 0.0F;
        out.push_back(
            {shortlist[k].code, zinnia[k]->best, shortlist[k].similarity, zinnia[k]->own, waysLeft});
    }
    return out;
}

std::vector<Candidate> Recognizer::recognize(std::span<const Stroke> strokes, const Box& frame, int32_t mask,
                                             size_t limit, size_t shortlist, size_t coarse,
                                             bool upright) const {
    return readCharacter(strokes, frame, mask, limit, shortlist, coarse, false, upright);
}

std::vector<Candidate> Recognizer::recognizeInBox(std::span<const Stroke> strokes, const Box& box,
                                                  int32_t mask, size_t limit, size_t shortlist,
                                                  size_t coarse) const {
    return readCharacter(strokes, box, mask, limit, shortlist, coarse, !box.empty(), true);
}

std::vector<Candidate> Recognizer::readCharacter(std::span<const Stroke> strokes, const Box& frame,
                                                 int32_t mask, size_t limit, size_t shortlist, size_t coarse,
                                                 bool inkFrame, bool upright) const {
    const Box ink = boundsOf(strokes);
    if (!ready() || ink.empty() || limit == 0) return {};
    // Ink without extent (taps) is a dot: Zinnia ranks the marks (every class when the mask allows none).
    if (ink.width() == 0 && ink.height() == 0) {
        return recognizeTap(zinniaFeaturesOf(strokes, ink, frame), mask, limit);
    }
    // Without templates Zinnia alone ranks every class.
    const std::vector<InkStroke> inkStrokes = hasTemplates() ? inkOf(strokes) : std::vector<InkStroke>{};
    const FeatureFrame gridFrame = featureFrame(inkStrokes);
    const FeatureVector features = directionFeatures(inkStrokes, gridFrame);
    if (!hasShape(features)) {
        return recognizeByZinnia(zinniaFeaturesOf(strokes, ink, frame), mask, limit);
    }

    const size_t count = std::max(limit, shortlist != 0 ? shortlist : m_options.shortlist);
    if (coarse == 0) coarse = m_options.coarse;
    const float shift = m_options.weights.momentShift * gridFrame.share;
    auto out = fusedReading(strokes, ink, inkStrokes, features, frame, mask, count, coarse, inkFrame, shift);
    const auto byScore = [](const Candidate& a, const Candidate& b) { return a.score > b.score; };
    std::stable_sort(out.begin(), out.end(), byScore);
    // A leaning hand, unless the reading as written is clear.
    const float lead = out.size() > 1 ? out[0].score - out[1].score : 0.0f;
    const bool clear = out.size() > 1 && lead >= m_options.uprightLead;
    const InkPose pose =
        m_options.readUpright && upright && !clear ? estimatePose(strokes, m_options.pose) : InkPose{};
    std::vector<Stroke> setStrokes;
    if (!pose.upright()) {
        setStrokes = setUpright(strokes, pose);
        addReadingOf(setStrokes, frame, mask, count, coarse, inkFrame, shift, out, m_options.uprightCost, ~0);
    }
    // A weak reading led by a kanji is also read sheared either way, for its kanji and kana (a katakana twin
    // stays beside its kanji, カ 力): the pose tells a slant only from upright pieces of two strokes or more
    // that agree, which many kanji lack (忘 近), and another writer's moved strokes hide it. Not level
    // strokes alone, which the shear only moves sideways.
    if (m_options.readUpright && upright && m_options.shearBy > 0 && out.size() > 1 &&
        lead < m_options.shearedLead && (categoryOf(out[0].code) & kKanji) != 0 &&
        !levelStrokesOnly(strokes, m_options.levelStrokeHeight)) {
        const std::span<const Stroke> set = pose.upright() ? strokes : std::span<const Stroke>(setStrokes);
        for (const double slant : {-m_options.shearBy, m_options.shearBy}) {
            addReadingOf(setUpright(set, InkPose{slant, 0}), frame, mask, count, coarse, inkFrame, shift, out,
                         m_options.shearedCost, kKanji | kKana);
        }
    }
    // Latin letters and digits only: kana and kanji are written in a square, and a narrow one (う り) widened
    // reads as another (ラ).
    // A mark or symbol clearly first (a tall 6 read as ‘) does not make the reading clear for letters and
    // digits.
    const bool clearLetter =
        clear && (categoryOf(out[0].code) & (SCRIBENG_CAT_OTHER | SCRIBENG_CAT_PUNCTUATION)) == 0;
    if (m_options.readWidened && upright && !clearLetter &&
        (mask & (SCRIBENG_CAT_DIGIT | SCRIBENG_CAT_LATIN)) != 0) {
        const std::span<const Stroke> set = pose.upright() ? strokes : std::span<const Stroke>(setStrokes);
        const Box setInk = boundsOf(set);
        // Narrower than a letter's usual width is narrow enough where the reading as written leads with a
        // letter or digit (a narrow n read as h, a narrow u as d).
        const bool letterFirst =
            !out.empty() && (categoryOf(out[0].code) & (SCRIBENG_CAT_DIGIT | SCRIBENG_CAT_LATIN)) != 0;
        const float narrow = letterFirst ? std::max(m_options.narrowWidth, m_options.narrowLetterWidth)
                                         : m_options.narrowWidth;
        if (static_cast<double>(setInk.width()) < narrow * static_cast<double>(setInk.height())) {
            addReadingOf(widened(set, m_options.widenBy), frame, mask, count, coarse, inkFrame, shift, out,
                         m_options.widenedCost, SCRIBENG_CAT_DIGIT | SCRIBENG_CAT_LATIN);
        }
    }
    std::stable_sort(out.begin(), out.end(), byScore);
    preferJByItsDot(strokes, out);
    setRingsBehindCrossedInk(strokes, out);
    if (out.size() > limit) out.resize(limit);
    return out;
}

void preferJByItsDot(std::span<const Stroke> strokes, std::vector<Candidate>& out) {
    // The list is looked at first: the dot is placed only where both letters are on it, which is rare.
    const auto i = std::ranges::find(out, kLatinSmallI, &Candidate::code);
    const auto j = std::ranges::find(out, kLatinSmallJ, &Candidate::code);
    if (i == out.end() || j == out.end() || j < i) return;
    const auto place = dotPlace(strokes);
    if (!place || *place >= kLowDotPlace) return;
    std::swap(i->score, j->score);
    std::swap(*i, *j);
}

void preferCommonerTwin(std::vector<Candidate>& out) {
    // Each twin the models put first, and the one that leads alone.
    static constexpr std::pair<CharCode, CharCode> kCommonerTwin[] = {
        {0x8CFB, 0x838D},  // 口 ロ
        {0x97CD, 0x834A},  // 力 カ
        {0x8D48, 0x8347},  // 工 エ
        {0x90E7, 0x8360},  // 千 チ
        {0x82D8, 0x8379},  // ぺ ペ
    };
    if (out.size() < 2) return;
    const auto pair =
        std::ranges::find(kCommonerTwin, out.front().code, &std::pair<CharCode, CharCode>::first);
    if (pair == std::end(kCommonerTwin)) return;
    const float least = out.front().score - kTwinScoreGap;
    for (auto it = out.begin() + 1; it != out.end() && it->score >= least; ++it) {
        if (it->code != pair->second) continue;
        std::swap(it->code, out.front().code);  // the scores stay in place, alike within the gap
        return;
    }
}

bool crossesItselfMidway(const Stroke& stroke) {
    if (stroke.size() < 4) return false;
    std::vector<double> at(stroke.size(), 0.0);  // the path's length up to each point
    for (size_t k = 1; k < stroke.size(); ++k) {
        at[k] = at[k - 1] + std::hypot(static_cast<double>(stroke[k].x) - stroke[k - 1].x,
                                       static_cast<double>(stroke[k].y) - stroke[k - 1].y);
    }
    const double from = kMidwayShare * at.back(), to = at.back() - from;
    const auto midway = [&](size_t k) { return at[k] >= from && at[k + 1] <= to; };
    // Which side of the line through a and b the point p lies on (twice the signed area).
    const auto side = [](const EnginePoint& a, const EnginePoint& b, const EnginePoint& p) {
        return (static_cast<double>(b.x) - a.x) * (static_cast<double>(p.y) - a.y) -
               (static_cast<double>(b.y) - a.y) * (static_cast<double>(p.x) - a.x);
    };
    for (size_t i = 0; i + 1 < stroke.size(); ++i) {
        if (!midway(i)) continue;
        for (size_t j = i + 2; j + 1 < stroke.size(); ++j) {
            if (!midway(j) || at[j] - at[i + 1] < from) continue;
            const auto &a = stroke[i], &b = stroke[i + 1], &c = stroke[j], &d = stroke[j + 1];
            if (side(c, d, a) * side(c, d, b) < 0 && side(a, b, c) * side(a, b, d) < 0) return true;
        }
    }
    return false;
}

bool isRing(CharCode code) noexcept {
    switch (code) {
        case 0x824F:  // ０
        case 0x826E:  // Ｏ
        case 0x828F:  // ｏ
        case 0x819B:  // ○
        case 0x8142:  // 。
        case 0x814B:  // ゜
        case 0x818B:  // °
        case 0x8145:  // ・
        case 0x8144:  // ．
            return true;
        default:
            return false;
    }
}

void setRingsBehindCrossedInk(std::span<const Stroke> strokes, std::vector<Candidate>& out) {
    const auto other = std::ranges::find_if(out, [](const Candidate& c) { return !isRing(c.code); });
    if (other == out.end() || other == out.begin() || strokes.size() != 1 || !crossesItselfMidway(strokes[0]))
        return;
    const float most = other->score - kCrossedRingLead;
    for (auto& c : out) {
        if (isRing(c.code)) c.score = std::min(c.score, most);
    }
    std::ranges::stable_sort(out, [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
}

void Recognizer::addReadingOf(std::span<const Stroke> strokes, const Box& frame, int32_t mask, size_t count,
                              size_t coarse, bool inkFrame, float shapeShift, std::vector<Candidate>& out,
                              float cost, int32_t categories) const {
    const Box ink = boundsOf(strokes);
    const auto inkStrokes = inkOf(strokes);
    const FeatureVector features = directionFeatures(inkStrokes);
    if (ink.empty() || !hasShape(features)) return;
    std::unordered_map<CharCode, size_t> at;
    for (size_t k = 0; k < out.size(); ++k) at.emplace(out[k].code, k);
    for (const auto& c :
         fusedReading(strokes, ink, inkStrokes, features, frame, mask, count, coarse, inkFrame, shapeShift)) {
        if ((categoryOf(c.code) & categories) == 0) continue;
        const float score = c.score - cost;
        const auto [it, added] = at.emplace(c.code, out.size());
        if (added) {
            out.push_back({c.code, score});
        } else {
            out[it->second].score = std::max(out[it->second].score, score);
        }
    }
}

std::vector<Candidate> Recognizer::fusedReading(std::span<const Stroke> strokes, const Box& ink,
                                                std::span<const InkStroke> inkStrokes,
                                                const FeatureVector& features, const Box& frame, int32_t mask,
                                                size_t count, size_t coarse, bool inkFrame,
                                                float shapeShift) const {
    const auto& w = m_options.weights;
    std::vector<Candidate> out;
    auto scored = scoreShortlist(strokes, ink, features, frame, mask, count, coarse, inkFrame);
    for (auto& c : scored) c.shape -= shapeShift;
    float closest = 0;
    CharCode closestCode = 0;
    // The best Zinnia score of a capital or digit by its own classes (a capital's form classes are a
    // lower-case letter's, copied to its shape twin).
    float clearest = std::numeric_limits<float>::lowest();
    for (const auto& c : scored) {
        if (c.shape > closest) {
            closest = c.shape;
            closestCode = c.code;
        }
        if (isCapitalOrDigit(c.code)) clearest = std::max(clearest, c.ownZinnia);
    }
    // The loose ratio is calibrated on real kana and kanji; digits, letters and symbols alone keep the ratio
    // of clean writing (no real samples of them yet). In a full reading (not a trial run's short list, which
    // weighs where characters end), ink most like a lower-case letter weighs the shape more
    // (FusionWeights::letterRatio).
    float ratio = (mask & kWideCategories) != 0 ? shapeRatioFor(closest, w) : w.shapeRatio;
    const bool lowerCaseClosest =
        (categoryOf(closestCode) & SCRIBENG_CAT_LATIN) != 0 && !isCapitalOrDigit(closestCode);
    if (lowerCaseClosest && clearest < m_options.prior.letterClearZinnia && fullReading(count))
        ratio = std::max(ratio, w.letterRatio);
    const WrittenInk written{static_cast<int>(inkStrokes.size()), relativeInk(inkStrokes)};
    const float letterFloor = letterZinniaFloor(ratio, clearest, m_options.prior);
    for (const auto& c : scored) {
        const int32_t category = categoryOf(c.code);
        const ClassFacts* facts = m_templates.factsOf(c.code);
        const bool kanji = (category & (SCRIBENG_CAT_KANJI1 | SCRIBENG_CAT_KANJI2)) != 0;
        const float prior =
            (facts ? writingCost(written, *facts, m_options.prior, kanji, category == SCRIBENG_CAT_OTHER)
                   : 0.0f) +
            commonnessCost(c.code, facts, m_templates.hasFrequency(), m_options.prior) +
            c.waysLeft * m_options.sureWayLeftCost;
        const bool letter = (category & (SCRIBENG_CAT_LATIN | SCRIBENG_CAT_DIGIT)) != 0;
        const float best = letter ? letterZinnia(c.zinnia, c.ownZinnia, clearest, m_options.prior) : c.zinnia;
        const float zinnia =
            facts ? plausibleZinnia(best, c.shape, written, *facts, m_options.prior, kanji,
                                    letter ? letterFloor : std::numeric_limits<float>::lowest())
                  : best;
        out.push_back({c.code, zinnia + ratio * (c.shape - w.shapeCentre) - prior});
    }
    return out;
}

}  // namespace sw::scribeng
