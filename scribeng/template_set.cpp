#include "scribeng/template_set.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <tuple>

namespace sw::scribeng {
namespace {

constexpr char kMagic[4] = {'S', 'W', 'T', 'S'};
constexpr uint32_t kVersion = 2;
// Version 2 header flag: the grades and frequency ranks are filled in.
constexpr uint32_t kFlagFrequency = 1;
// Record flag: the form counts only where a dot was written.
constexpr uint8_t kFormNeedsDot = 1;
// Record flag: the form is a distortion of the class's shape.
constexpr uint8_t kFormDistorted = 2;
// Version 2: the bytes of a record between its code point and its features.
constexpr size_t kFactsSize = 12;
// KANJIDIC's grades go up to 10.
constexpr uint8_t kMaxGrade = 10;
// A class's similarity is the better of its pen directions' and its line orientations' less this: a stroke
// drawn the other way round (an O clockwise, a reversed stroke of a kanji) still finds its class, a little
// below the classes whose directions match too. Where the directions match, as in most real writing, they
// decide (0.06: real kanji lose less than a point against directions alone, strokes drawn the other way
// round are read as well as with orientations alone).
constexpr float kOrientationGap = 0.06f;
// The classes whose forms' shape scores count the blur (kBlurGap): the kanji.
constexpr int32_t kBlurredCategories = SCRIBENG_CAT_KANJI1 | SCRIBENG_CAT_KANJI2;
// Prototypes the coarse comparison adds up at once, in vectors of kLanes.
constexpr size_t kLanes = 8;
constexpr size_t kCoarseBlock = 64;
// Classes the coarse comparison passes to the full one unless the caller asks for more.
constexpr size_t kCoarseKeep = 300;
// The full comparison asks for the features of the class this many places ahead, so that reading them from
// memory overlaps the comparisons before it.
constexpr size_t kAhead = 2;
// A quota's classes compared on the full features: this many times the quota, the best by the projection.
constexpr size_t kQuotaCoarse = 3;

// Adds each prototype's coarse similarity to the ink's projection to sums. The projections lie in blocks of
// kCoarseBlock prototypes, each block feature by feature (kCoarseSize rows of kCoarseBlock floats), so a
// block's sums stay in vector registers while its rows are read in turn. Every sum adds its products in
// feature order, from zero, passing the features the ink lacks: the same floats as summed one by one.
using Lanes = float __attribute__((vector_size(kLanes * sizeof(float))));
SW_SCRIBENG_VECTOR_CLONES void project(const CoarseVector& coarse, const float* __restrict blocks,
                                       size_t prototypes, float* __restrict sums) {
    static_assert(kCoarseBlock == 8 * kLanes);
    // The features the ink has (a zero adds nothing), in order.
    std::array<uint32_t, kCoarseSize> at{};
    size_t features = 0;
    for (uint32_t k = 0; k < kCoarseSize; ++k) {
        if (coarse[k] != 0) at[features++] = k;
    }
    for (size_t p = 0; p < prototypes; p += kCoarseBlock) {
        const float* block = blocks + p * kCoarseSize;
        Lanes s0{}, s1{}, s2{}, s3{}, s4{}, s5{}, s6{}, s7{};
        for (size_t i = 0; i < features; ++i) {
            const float q = coarse[at[i]];
            const float* row = block + size_t{at[i]} * kCoarseBlock;
            Lanes r0, r1, r2, r3, r4, r5, r6, r7;
            std::memcpy(&r0, row, sizeof r0);
            std::memcpy(&r1, row + kLanes, sizeof r1);
            std::memcpy(&r2, row + 2 * kLanes, sizeof r2);
            std::memcpy(&r3, row + 3 * kLanes, sizeof r3);
            std::memcpy(&r4, row + 4 * kLanes, sizeof r4);
            std::memcpy(&r5, row + 5 * kLanes, sizeof r5);
            std::memcpy(&r6, row + 6 * kLanes, sizeof r6);
            std::memcpy(&r7, row + 7 * kLanes, sizeof r7);
            s0 += q * r0;
            s1 += q * r1;
            s2 += q * r2;
            s3 += q * r3;
            s4 += q * r4;
            s5 += q * r5;
            s6 += q * r6;
            s7 += q * r7;
        }
        std::memcpy(sums + p, &s0, sizeof s0);
        std::memcpy(sums + p + kLanes, &s1, sizeof s1);
        std::memcpy(sums + p + 2 * kLanes, &s2, sizeof s2);
        std::memcpy(sums + p + 3 * kLanes, &s3, sizeof s3);
        std::memcpy(sums + p + 4 * kLanes, &s4, sizeof s4);
        std::memcpy(sums + p + 5 * kLanes, &s5, sizeof s5);
        std::memcpy(sums + p + 6 * kLanes, &s6, sizeof s6);
        std::memcpy(sums + p + 7 * kLanes, &s7, sizeof s7);
    }
}

// blurred(blurred(features)) over the length of blurred(features): its dot product with a form's features,
// over the length of the form's blurred features, is the cosine of the two blurred. The last ink's is kept
// per thread, since the classes of one character are often scored one by one.
const FeatureVector& twiceBlurredOf(const FeatureVector& features) {
    thread_local struct {
        bool filled = false;
        FeatureVector features{};
        FeatureVector twice{};
    } last;
    if (last.filled && last.features == features) return last.twice;
    const FeatureVector blur = blurred(features);
    last.twice = blurred(blur);
    const float length = std::sqrt(dot(blur, blur));
    if (length > 0) {
        for (float& v : last.twice) v /= length;
    }
    last.features = features;
    last.filled = true;
    return last.twice;
}

}  // namespace

void keepBest(std::vector<std::pair<float, uint32_t>>& entries, size_t keep) {
    if (keep >= entries.size()) return;
    if (keep == 0) {
        entries.clear();
        return;
    }
    // The keep-th highest score, found among the scores alone, then every entry above it and the first
    // (the lowest) of those at it in one pass.
    std::vector<float> scores(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) scores[i] = entries[i].first;
    std::nth_element(scores.begin(), scores.begin() + static_cast<ptrdiff_t>(keep) - 1, scores.end(),
                     std::greater<>());
    const float least = scores[keep - 1];
    size_t atLeast = keep - static_cast<size_t>(std::count_if(
                                scores.begin(), scores.begin() + static_cast<ptrdiff_t>(keep) - 1,
                                [least](float v) { return v > least; }));
    size_t kept = 0;
    for (const auto& entry : entries) {
        if (entry.first > least || (entry.first == least && atLeast > 0)) {
            if (entry.first == least) --atLeast;
            entries[kept++] = entry;
        }
    }
    entries.resize(kept);
}

namespace {

uint32_t readU32(const unsigned char* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
void writeU32(std::ostream& out, uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    out.write(reinterpret_cast<const char*>(b), 4);
}
uint16_t readU16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
float readF32(const unsigned char* p) {
    const uint32_t bits = readU32(p);
    float f = 0;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}
void writeF32(std::ostream& out, float v) {
    uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    writeU32(out, bits);
}

}  // namespace

std::optional<float> dotPlace(std::span<const Stroke> strokes) {
    std::vector<Box> boxes;
    boxes.reserve(strokes.size());
    Box ink;
    for (const auto& s : strokes) ink.add(boxes.emplace_back(boundsOf(s)));
    // The highest and second highest tops: the rest of the ink without one stroke begins at one of them.
    constexpr size_t kNone = static_cast<size_t>(-1);
    int32_t highest = std::numeric_limits<int32_t>::max(), next = highest;
    size_t highestAt = kNone, drawn = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i].empty()) continue;
        ++drawn;
        if (boxes[i].top < highest) {
            next = highest;
            highest = boxes[i].top;
            highestAt = i;
        } else {
            next = std::min(next, boxes[i].top);
        }
    }
    if (drawn < 2) return std::nullopt;
    const float most = kDotExtent * static_cast<float>(std::max(ink.width(), ink.height()));
    for (size_t i = 0; i < boxes.size(); ++i) {
        const Box& dot = boxes[i];
        if (dot.empty() || static_cast<float>(std::max(dot.width(), dot.height())) > most) continue;
        if (dot.bottom >= (i == highestAt ? next : highest)) continue;
        Box rest;
        for (size_t k = 0; k < boxes.size(); ++k) {
            if (k != i) rest.add(boxes[k]);
        }
        const float centre = 0.5f * static_cast<float>(dot.top + dot.bottom);
        return (static_cast<float>(rest.top) - centre) / std::max(static_cast<float>(rest.height()), 1.0f);
    }
    return std::nullopt;
}

bool writtenWithDot(std::span<const Stroke> strokes) { return dotPlace(strokes).has_value(); }

bool TemplateSet::load(const std::filesystem::path& file,
                       const std::function<std::optional<CharCode>(char32_t)>& codeOf) {
    *this = TemplateSet{};
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    unsigned char header[20];
    if (!in.read(reinterpret_cast<char*>(header), 16) || std::memcmp(header, kMagic, 4) != 0 ||
        readU32(header + 8) != kFeatureSize) {
        return false;
    }
    const uint32_t version = readU32(header + 4);
    if (version != 1 && version != kVersion) return false;
    const bool withFacts = version >= 2;
    if (withFacts && !in.read(reinterpret_cast<char*>(header + 16), 4)) return false;
    const size_t headerSize = withFacts ? 20 : 16;
    const uint32_t flags = withFacts ? readU32(header + 16) : 0;
    const uint32_t count = readU32(header + 12);
    const size_t factsSize = withFacts ? kFactsSize : 0;
    const size_t recordSize = 4 + factsSize + 4 * kFeatureSize;
    // The file must hold exactly the records it announces (a huge count fails here, before any allocation).
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || size != headerSize + uint64_t{count} * recordSize) return false;

    // Prototypes grouped by class, classes in code order.
    std::map<CharCode, std::vector<Prototype>> byCode;
    std::vector<unsigned char> record(recordSize);
    for (uint32_t i = 0; i < count; ++i) {
        if (!in.read(reinterpret_cast<char*>(record.data()), static_cast<std::streamsize>(recordSize)))
            return false;
        Prototype p;
        p.codePoint = readU32(record.data());
        if (withFacts) {
            const unsigned char* facts = record.data() + 4;
            p.strokes = readU16(facts);
            p.frequencyRank = readU16(facts + 2);
            p.grade = facts[4];
            p.needsDot = (facts[5] & kFormNeedsDot) != 0;
            p.distorted = (facts[5] & kFormDistorted) != 0;
            p.ink = readF32(facts + 8);
            if (p.strokes == 0 || p.strokes > kMaxFormStrokes || p.grade > kMaxGrade ||
                (facts[5] & ~(kFormNeedsDot | kFormDistorted)) != 0 || !(p.ink >= 0) ||
                !(p.ink <= kMaxFormInk))
                return false;
        }
        for (size_t k = 0; k < kFeatureSize; ++k) {
            p.features[k] = readF32(record.data() + 4 + factsSize + 4 * k);
            if (!std::isfinite(p.features[k])) return false;
        }
        if (auto code = codeOf(p.codePoint)) byCode[*code].push_back(p);
    }
    TemplateSet set;
    set.m_hasWritingFacts = withFacts;
    set.m_hasFrequency = withFacts && (flags & kFlagFrequency) != 0;
    std::vector<CoarseVector> coarse;
    // Sized once: the file holds tens of thousands of prototypes.
    coarse.reserve(count);
    set.m_full.reserve(size_t{count} * kFeatureSize);
    set.m_orientations.reserve(size_t{count} * kOrientationSize);
    for (auto& [code, prototypes] : byCode) {
        set.m_codes.push_back(code);
        set.m_categories.push_back(categoryOf(code));
        set.m_first.push_back(static_cast<uint32_t>(coarse.size()));
        set.m_liftable.push_back(std::ranges::any_of(prototypes, &Prototype::distorted) ? 1 : 0);
        ClassFacts& facts = set.m_facts.emplace_back();
        for (auto& p : prototypes) {
            normalise(p.features);
            coarse.push_back(coarseFeatures(p.features));
            const FeatureVector blur = blurred(p.features);
            set.m_blurLength.push_back(std::sqrt(dot(blur, blur)));
            set.m_full.insert(set.m_full.end(), p.features.begin(), p.features.end());
            const OrientationVector o = orientationsOf(p.features);
            set.m_orientations.insert(set.m_orientations.end(), o.begin(), o.end());
            set.m_needsDot.push_back(p.needsDot ? 1 : 0);
            set.m_distorted.push_back(p.distorted ? 1 : 0);
        }
        if (!withFacts) continue;
        // A class's grade and rank are the same in each of its records; its first record gives them.
        facts = {prototypes.front().strokes, prototypes.front().strokes, prototypes.front().ink,
                 prototypes.front().grade, prototypes.front().frequencyRank};
        for (const auto& p : prototypes) {
            facts.minStrokes = std::min(facts.minStrokes, p.strokes);
            facts.maxStrokes = std::max(facts.maxStrokes, p.strokes);
            facts.ink = std::min(facts.ink, p.ink);
        }
    }
    set.m_first.push_back(static_cast<uint32_t>(coarse.size()));
    for (uint32_t c = 0; c < set.m_codes.size(); ++c) {
        const bool blurs = (set.m_categories[c] & kBlurredCategories) != 0 &&
                           set.m_facts[c].minStrokes >= kBlurredFromStrokes;
        set.m_blurs.push_back(blurs ? 1 : 0);
    }
    set.m_classOf.assign(size_t{std::numeric_limits<CharCode>::max()} + 1, kNoClass);
    for (uint32_t c = 0; c < set.m_codes.size(); ++c) set.m_classOf[set.m_codes[c]] = c;
    // The projection is stored in blocks of kCoarseBlock prototypes, each feature by feature (see project),
    // the last block padded with zeros.
    set.m_coarseStride = (coarse.size() + kCoarseBlock - 1) / kCoarseBlock * kCoarseBlock;
    set.m_coarse.assign(set.m_coarseStride * kCoarseSize, 0.0f);
    for (size_t p = 0; p < coarse.size(); ++p) {
        float* block = set.m_coarse.data() + p / kCoarseBlock * kCoarseBlock * kCoarseSize;
        for (size_t k = 0; k < kCoarseSize; ++k) block[k * kCoarseBlock + p % kCoarseBlock] = coarse[p][k];
    }
    *this = std::move(set);
    return true;
}

bool TemplateSet::save(const std::filesystem::path& file, std::span<const Prototype> prototypes,
                       std::string* error, bool withFrequency) {
    const std::filesystem::path partial = file.string() + ".partial";
    bool ok = false;
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(kMagic, 4);
        writeU32(out, kVersion);
        writeU32(out, kFeatureSize);
        writeU32(out, static_cast<uint32_t>(prototypes.size()));
        writeU32(out, withFrequency ? kFlagFrequency : 0);
        for (const auto& p : prototypes) {
            writeU32(out, static_cast<uint32_t>(p.codePoint));
            writeU32(out, uint32_t{p.strokes} | uint32_t{p.frequencyRank} << 16);
            writeU32(out, uint32_t{p.grade} | uint32_t(p.needsDot ? kFormNeedsDot : 0) << 8 |
                              uint32_t(p.distorted ? kFormDistorted : 0) << 8);
            writeF32(out, p.ink);
            for (float v : p.features) writeF32(out, v);
        }
        ok = static_cast<bool>(out.flush());
    }
    std::error_code ec;
    if (ok) std::filesystem::rename(partial, file, ec);
    if (!ok || ec) {
        if (error) *error = "cannot write " + (ok ? file : partial).string();
        std::filesystem::remove(partial, ec);
        return false;
    }
    return true;
}

std::optional<uint32_t> TemplateSet::classOf(CharCode code) const {
    if (m_classOf.empty() || m_classOf[code] == kNoClass) return std::nullopt;
    return m_classOf[code];
}

const ClassFacts* TemplateSet::factsOf(CharCode code) const {
    const auto c = classOf(code);
    return c ? &m_facts[*c] : nullptr;
}

float distortedScore(float own, float distorted, float rival) noexcept {
    if (distorted <= own) return own;
    return std::max(own, rival >= distorted - kDistortedNear ? distorted - kDistortedGap : distorted);
}

std::pair<float, float> TemplateSet::formScores(const FeatureVector& features,
                                                const FeatureVector* twiceBlurred,
                                                const OrientationVector& orientations, uint32_t c,
                                                bool withDot) const {
    float own = -1, distorted = -1;
    for (uint32_t p = m_first[c]; p < m_first[c + 1]; ++p) {
        if (m_needsDot[p] && !withDot) continue;
        float& best = m_distorted[p] ? distorted : own;
        const float shape =
            twiceBlurred && m_blurs[c] ? shapeScore(features, *twiceBlurred, p) : dot(features, formOf(p));
        best = std::max({best, shape, linesScore(orientations, p)});
    }
    return {own, distorted};
}

float TemplateSet::similarityOf(const FeatureVector& features, const FeatureVector* twiceBlurred,
                                const OrientationVector& orientations, uint32_t c, bool withDot) const {
    const auto [own, distorted] = formScores(features, twiceBlurred, orientations, c, withDot);
    return std::max(own, distorted - kDistortedGap);
}

void TemplateSet::scoreClasses(const FeatureVector& features, const FeatureVector* twiceBlurred,
                               const OrientationVector& orientations,
                               std::vector<std::pair<float, uint32_t>>& classes, bool withDot,
                               float* rival) const {
    std::vector<float> distorted(classes.size(), -1.0f);
    for (size_t i = 0; i < classes.size(); ++i) {
        if (i + kAhead < classes.size()) prefetchClass(classes[i + kAhead].second);
        std::tie(classes[i].first, distorted[i]) =
            formScores(features, twiceBlurred, orientations, classes[i].second, withDot);
        if ((m_categories[classes[i].second] & kDistortedRivals) != 0)
            *rival = std::max(*rival, classes[i].first);
    }
    for (size_t i = 0; i < classes.size(); ++i)
        classes[i].first = distortedScore(classes[i].first, distorted[i], *rival);
}

void TemplateSet::prefetchClass(uint32_t c) const {
    constexpr size_t kLine = 64 / sizeof(float);  // floats per cache line
    for (uint32_t p = m_first[c]; p < m_first[c + 1]; ++p) {
        const float* full = m_full.data() + size_t{p} * kFeatureSize;
        for (size_t i = 0; i < kFeatureSize; i += kLine) __builtin_prefetch(full + i);
        const float* orientations = m_orientations.data() + size_t{p} * kOrientationSize;
        for (size_t i = 0; i < kOrientationSize; i += kLine) __builtin_prefetch(orientations + i);
    }
}

std::span<const float> TemplateSet::formOf(uint32_t p) const {
    return {m_full.data() + size_t{p} * kFeatureSize, kFeatureSize};
}

float TemplateSet::linesScore(const OrientationVector& orientations, uint32_t p) const {
    return dot(orientations,
               std::span(m_orientations.data() + size_t{p} * kOrientationSize, kOrientationSize)) -
           kOrientationGap;
}

float TemplateSet::shapeScore(const FeatureVector& features, const FeatureVector& twiceBlurred,
                              uint32_t p) const {
    const float fine = dot(features, formOf(p));
    return std::max(fine, blurredCosine(twiceBlurred, p, fine) - kBlurGap);
}

float TemplateSet::blurredCosine(const FeatureVector& twiceBlurred, uint32_t p, float fine) const {
    return m_blurLength[p] > 0 ? dot(twiceBlurred, formOf(p)) / m_blurLength[p] : fine;
}

float TemplateSet::shortlistScore(const FeatureVector& features, const FeatureVector& twiceBlurred,
                                  const OrientationVector& orientations, uint32_t p) const {
    const float fine = dot(features, formOf(p));
    return std::max(0.5f * (fine + blurredCosine(twiceBlurred, p, fine)), linesScore(orientations, p));
}

float TemplateSet::similarity(const FeatureVector& features, const OrientationVector& orientations,
                              CharCode code, bool withDot, bool blur) const {
    const auto c = classOf(code);
    return c ? similarityOf(features, blur ? &twiceBlurredOf(features) : nullptr, orientations, *c, withDot)
             : -1;
}

ShapeMatch TemplateSet::match(const FeatureVector& features, const OrientationVector& orientations,
                              CharCode code, bool withDot, bool blur) const {
    const auto c = classOf(code);
    if (!c) return {code, -1};
    const FeatureVector* twice = blur ? &twiceBlurredOf(features) : nullptr;
    return matchOf(features, twice, orientations, *c,
                   similarityOf(features, twice, orientations, *c, withDot), withDot);
}

ShapeMatch TemplateSet::matchOf(const FeatureVector& features, const FeatureVector* twiceBlurred,
                                const OrientationVector& orientations, uint32_t c, float similarity,
                                bool withDot) const {
    // Most classes have no distorted forms, and so no lift: their forms are not scored again.
    if (!m_liftable[c]) return {m_codes[c], similarity};
    const float own = formScores(features, twiceBlurred, orientations, c, withDot).first;
    return {m_codes[c], similarity, std::max(0.0f, similarity - own)};
}

std::vector<ShapeMatch> TemplateSet::rank(const FeatureVector& features, int32_t mask, size_t count,
                                          size_t coarseKeep, uint32_t mostStrokes, size_t quota,
                                          int32_t quotaCategories, bool withDot, bool blur) const {
    std::vector<ShapeMatch> out;
    if (count == 0 || empty()) return out;
    const CoarseVector coarse = coarseFeatures(features);

    std::vector<float> similarity(m_coarseStride, 0.0f);
    project(coarse, m_coarse.data(), m_coarseStride, similarity.data());
    std::vector<std::pair<float, uint32_t>> classes;  // coarse similarity, class
    classes.reserve(m_codes.size());
    for (uint32_t c = 0; c < m_codes.size(); ++c) {
        if ((m_categories[c] & mask) == 0 || (mostStrokes != 0 && m_facts[c].minStrokes > mostStrokes))
            continue;
        float best = -1;
        for (uint32_t p = m_first[c]; p < m_first[c + 1]; ++p) {
            if (!m_needsDot[p] || withDot) best = std::max(best, similarity[p]);
        }
        classes.emplace_back(best, c);
    }
    const auto byScore = [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    };
    if (classes.empty()) return out;
    // The best classes of the quota's categories by the projection, before the ranking below reorders them.
    std::vector<std::pair<float, uint32_t>> quotaClasses;
    if (quota != 0) {
        for (const auto& entry : classes) {
            if ((m_categories[entry.second] & quotaCategories) != 0) quotaClasses.push_back(entry);
        }
        const size_t quotaKeep = std::min(quotaClasses.size(), quota * kQuotaCoarse);
        if (quotaKeep != 0) {
            std::nth_element(quotaClasses.begin(),
                             quotaClasses.begin() + static_cast<ptrdiff_t>(quotaKeep) - 1, quotaClasses.end(),
                             byScore);
            quotaClasses.resize(quotaKeep);
        }
    }
    const size_t keep = std::min(classes.size(), std::max(coarseKeep != 0 ? coarseKeep : kCoarseKeep, count));
    keepBest(classes, keep);
    const OrientationVector orientations = orientationsOf(features);
    // A copy: the kept one is the last ink's, and a quota's classes are scored after other calls could come.
    const FeatureVector twice = twiceBlurredOf(features);
    if (classes.size() > count) {
        // The classes the full features rank are chosen with the blur too.
        for (size_t i = 0; i < classes.size(); ++i) {
            const uint32_t c = classes[i].second;
            if (i + kAhead < classes.size()) prefetchClass(classes[i + kAhead].second);
            float best = -2;
            for (uint32_t p = m_first[c]; p < m_first[c + 1]; ++p) {
                if (!m_needsDot[p] || withDot)
                    best = std::max(best, shortlistScore(features, twice, orientations, p));
            }
            classes[i].first = best;
        }
        keepBest(classes, count);
    }
    float rival = -1;
    const FeatureVector* scored = blur ? &twice : nullptr;
    scoreClasses(features, scored, orientations, classes, withDot, &rival);
    const size_t n = std::min(count, classes.size());
    std::partial_sort(classes.begin(), classes.begin() + static_cast<ptrdiff_t>(n), classes.end(), byScore);
    out.reserve(n);
    for (size_t i = 0; i < n; ++i)
        out.push_back(matchOf(features, scored, orientations, classes[i].second, classes[i].first, withDot));
    if (quotaClasses.empty()) return out;
    scoreClasses(features, scored, orientations, quotaClasses, withDot, &rival);
    const size_t q = std::min(quota, quotaClasses.size());
    std::partial_sort(quotaClasses.begin(), quotaClasses.begin() + static_cast<ptrdiff_t>(q),
                      quotaClasses.end(), byScore);
    const size_t ranked = out.size();
    for (size_t i = 0; i < q; ++i) {
        const CharCode code = m_codes[quotaClasses[i].second];
        const auto listed = out.begin() + static_cast<ptrdiff_t>(ranked);
        if (std::find_if(out.begin(), listed, [code](const ShapeMatch& m) { return m.code == code; }) ==
            listed)
            out.push_back(matchOf(features, scored, orientations, quotaClasses[i].second,
                                  quotaClasses[i].first, withDot));
    }
    return out;
}

}  // namespace sw::scribeng
