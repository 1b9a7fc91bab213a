// Shape templates of the classes for the stroke-order-free scorer, and the shortlist they give.
//
// File format (little-endian), written by slatewise-templategen:
//
//   char[4]  "SWTS"
//   uint32   version (1)
//   uint32   feature size (kFeatureSize)
//   uint32   prototype count P
//   P times: uint32 Unicode code point of the class, float[kFeatureSize] unit-length direction features
//
// A class may have several prototypes (its mean shape and typical variants); its similarity to a character
// is that of its best prototype: the cosine of their direction features, or of their line orientations
// less a small gap when that is higher (a stroke drawn the other way round).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "scribeng/categories.h"
#include "scribeng/direction_features.h"

namespace sw::scribeng {

struct Prototype {
    char32_t codePoint = 0;
    FeatureVector features{};
};

struct ShapeMatch {
    CharCode code = 0;
    float similarity = 0;  // cosine of the feature vectors, 1 = the same shape
};

class TemplateSet {
public:
    // Reads a template file, keeping the prototypes whose code point `codeOf` maps to a code (the classes
    // the loaded models know). False, leaving the set empty, when the file is missing, truncated, of another
    // format or version, or holds a value that is not finite.
    bool load(const std::filesystem::path& file,
              const std::function<std::optional<CharCode>(char32_t)>& codeOf);
    // Writes the file through a neighbouring partial file, so it appears complete or not at all; false and
    // *error set on failure.
    static bool save(const std::filesystem::path& file, std::span<const Prototype> prototypes,
                     std::string* error = nullptr);

    bool empty() const { return m_codes.empty(); }
    size_t classCount() const { return m_codes.size(); }
    std::span<const CharCode> codes() const { return m_codes; }

    // The `count` classes whose shapes are most like `features`, best first, among those `mask` allows.
    // Coarse to fine: every class is compared on the 4 x 4 projection, the best `coarseKeep` (at least
    // `count`; 0: a few hundred) on the full features.
    std::vector<ShapeMatch> rank(const FeatureVector& features, int32_t mask, size_t count,
                                 size_t coarseKeep = 0) const;

private:
    std::vector<CharCode> m_codes;      // per class
    std::vector<int32_t> m_categories;  // per class, categoryOf its code
    std::vector<uint32_t> m_first;      // per class, its first prototype; one more at the end
    std::vector<float> m_full;          // per prototype, kFeatureSize floats
    std::vector<float> m_orientations;  // per prototype, kOrientationSize floats
    std::vector<float> m_coarse;        // per feature of the projection, one float per prototype
};

}  // namespace sw::scribeng
