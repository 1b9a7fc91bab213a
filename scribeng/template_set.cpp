#include "scribeng/template_set.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>

namespace sw::scribeng {
namespace {

constexpr char kMagic[4] = {'S', 'W', 'T', 'S'};
constexpr uint32_t kVersion = 1;
// A class's similarity is the better of its pen directions' and its line orientations' less this: a stroke
// drawn the other way round (an O clockwise, a reversed stroke of a kanji) still finds its class, a little
// below the classes whose directions match too. Where the directions match, as in most real writing, they
// decide (0.06: real kanji lose less than a point against directions alone, strokes drawn the other way
// round are read as well as with orientations alone).
constexpr float kOrientationGap = 0.06f;
// Classes the coarse comparison passes to the full one unless the caller asks for more.
constexpr size_t kCoarseKeep = 300;

uint32_t readU32(const unsigned char* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
void writeU32(std::ostream& out, uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    out.write(reinterpret_cast<const char*>(b), 4);
}
float readF32(const unsigned char* p) {
    const uint32_t bits = readU32(p);
    float f = 0;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

}  // namespace

bool TemplateSet::load(const std::filesystem::path& file,
                       const std::function<std::optional<CharCode>(char32_t)>& codeOf) {
    *this = TemplateSet{};
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    unsigned char header[16];
    if (!in.read(reinterpret_cast<char*>(header), sizeof header) || std::memcmp(header, kMagic, 4) != 0 ||
        readU32(header + 4) != kVersion || readU32(header + 8) != kFeatureSize) {
        return false;
    }
    const uint32_t count = readU32(header + 12);
    constexpr size_t kRecord = 4 + 4 * kFeatureSize;
    // The file must hold exactly the records it announces (a huge count fails here, before any allocation).
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || size != sizeof header + uint64_t{count} * kRecord) return false;

    // Prototypes grouped by class, classes in code order.
    std::map<CharCode, std::vector<FeatureVector>> byCode;
    std::vector<unsigned char> record(kRecord);
    for (uint32_t i = 0; i < count; ++i) {
        if (!in.read(reinterpret_cast<char*>(record.data()), kRecord)) return false;
        FeatureVector f{};
        for (size_t k = 0; k < kFeatureSize; ++k) {
            f[k] = readF32(record.data() + 4 + 4 * k);
            if (!std::isfinite(f[k])) return false;
        }
        if (auto code = codeOf(readU32(record.data()))) byCode[*code].push_back(f);
    }
    TemplateSet set;
    std::vector<CoarseVector> coarse;
    for (auto& [code, prototypes] : byCode) {
        set.m_codes.push_back(code);
        set.m_categories.push_back(categoryOf(code));
        set.m_first.push_back(static_cast<uint32_t>(coarse.size()));
        for (auto& f : prototypes) {
            normalise(f);
            coarse.push_back(coarseFeatures(f));
            set.m_full.insert(set.m_full.end(), f.begin(), f.end());
            const OrientationVector o = orientationsOf(f);
            set.m_orientations.insert(set.m_orientations.end(), o.begin(), o.end());
        }
    }
    set.m_first.push_back(static_cast<uint32_t>(coarse.size()));
    // The projection is stored feature by feature, so the coarse comparison runs over all prototypes at once.
    set.m_coarse.resize(coarse.size() * kCoarseSize);
    for (size_t p = 0; p < coarse.size(); ++p) {
        for (size_t k = 0; k < kCoarseSize; ++k) set.m_coarse[k * coarse.size() + p] = coarse[p][k];
    }
    *this = std::move(set);
    return true;
}

bool TemplateSet::save(const std::filesystem::path& file, std::span<const Prototype> prototypes,
                       std::string* error) {
    const std::filesystem::path partial = file.string() + ".partial";
    bool ok = false;
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(kMagic, 4);
        writeU32(out, kVersion);
        writeU32(out, kFeatureSize);
        writeU32(out, static_cast<uint32_t>(prototypes.size()));
        for (const auto& p : prototypes) {
            writeU32(out, static_cast<uint32_t>(p.codePoint));
            for (float v : p.features) {
                uint32_t bits = 0;
                std::memcpy(&bits, &v, sizeof bits);
                writeU32(out, bits);
            }
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

std::vector<ShapeMatch> TemplateSet::rank(const FeatureVector& features, int32_t mask, size_t count,
                                          size_t coarseKeep) const {
    std::vector<ShapeMatch> out;
    if (count == 0 || empty()) return out;
    const CoarseVector coarse = coarseFeatures(features);

    const size_t prototypes = m_first.back();
    std::vector<float> similarity(prototypes, 0.0f);
    for (size_t k = 0; k < kCoarseSize; ++k) {
        const float q = coarse[k];
        if (q == 0) continue;
        const float* column = m_coarse.data() + k * prototypes;
        for (size_t p = 0; p < prototypes; ++p) similarity[p] += q * column[p];
    }
    std::vector<std::pair<float, uint32_t>> classes;  // coarse similarity, class
    classes.reserve(m_codes.size());
    for (uint32_t c = 0; c < m_codes.size(); ++c) {
        if ((m_categories[c] & mask) == 0) continue;
        float best = -1;
        for (uint32_t p = m_first[c]; p < m_first[c + 1]; ++p) best = std::max(best, similarity[p]);
        classes.emplace_back(best, c);
    }
    const auto byScore = [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    };
    if (classes.empty()) return out;
    const size_t keep = std::min(classes.size(), std::max(coarseKeep != 0 ? coarseKeep : kCoarseKeep, count));
    std::nth_element(classes.begin(), classes.begin() + static_cast<ptrdiff_t>(keep) - 1, classes.end(),
                     byScore);
    classes.resize(keep);
    const OrientationVector orientations = orientationsOf(features);
    for (auto& [score, c] : classes) {
        float best = -1;
        for (uint32_t p = m_first[c]; p < m_first[c + 1]; ++p) {
            best = std::max(best,
                            dot(features, std::span(m_full.data() + size_t{p} * kFeatureSize, kFeatureSize)));
            best = std::max(
                best, dot(orientations,
                          std::span(m_orientations.data() + size_t{p} * kOrientationSize, kOrientationSize)) -
                          kOrientationGap);
        }
        score = best;
    }
    const size_t n = std::min(count, classes.size());
    std::partial_sort(classes.begin(), classes.begin() + static_cast<ptrdiff_t>(n), classes.end(), byScore);
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) out.push_back({m_codes[classes[i].second], classes[i].first});
    return out;
}

}  // namespace sw::scribeng
