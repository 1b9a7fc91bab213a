// Shape templates of the classes for the stroke-order-free scorer, and the shortlist they give.
//
// File format (little-endian), written by slatewise-templategen:
//
//   char[4]  "SWTS"
//   uint32   version (2)
//   uint32   feature size (kFeatureSize)
//   uint32   prototype count P
//   uint32   flags: bit 0, the school grades and frequency ranks are filled in
//   P times: uint32  Unicode code point of the class
//            uint16  strokes the form is written with, 1..kMaxFormStrokes
//            uint16  the class's frequency rank among kanji (1 the most common, 0 unranked)
//            uint8   the class's school grade (0 none, 1-6 elementary school, 8 the other kanji of
//                    common use, 9-10 name kanji)
//            uint8   flags: bit 0, the form counts only where a dot was written (Prototype::needsDot);
//                    bit 1, the form is the class's shape distorted (Prototype::distorted)
//            uint8[2] zero
//            float   ink: the length of the form's pen path over the longer side of its box
//            float[kFeatureSize] unit-length direction features
//
// Version 1 has no flags word and its records only the code point and the features; such a file loads with
// no writing facts (ClassFacts all zero).
//
// A class may have several prototypes (its mean shape and typical variants); its similarity to a character
// is that of its best prototype: the cosine of their direction features, or of their blurred features or
// their line orientations less a gap when that is higher (strokes moved a little, a stroke drawn the other
// way round).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "scribeng/categories.h"
#include "scribeng/direction_features.h"
#include "scribeng/geometry.h"

namespace sw::scribeng {

// The most strokes a form may have in a template file (the most of any JIS kanji is 30).
inline constexpr uint16_t kMaxFormStrokes = 64;
// The most ink a form may have, in longer sides of its box.
inline constexpr float kMaxFormInk = 1000.0f;

struct Prototype {
    char32_t codePoint = 0;
    FeatureVector features{};
    uint16_t strokes = 1;
    float ink = 0;
    uint8_t grade = 0;
    uint16_t frequencyRank = 0;
    // A form told from a like shape of another class by a dot that weighs little in the direction
    // features (a j without its lead-in, a J without its bar): it counts only for ink with a dot.
    bool needsDot = false;
    // The class's shape as some writers distort it (a kana slanted, its strokes spread). In rank() it
    // counts in full where no kanji, digit or Latin class comes within kDistortedNear of it, else
    // kDistortedGap less; similarity() always counts it kDistortedGap less.
    bool distorted = false;
};
inline constexpr float kDistortedGap = 0.02f;
inline constexpr float kDistortedNear = 0.02f;
// A kanji form's shape score is also the cosine of its and the ink's blurred features less kBlurGap, where
// that is higher: another writer's kanji whose parts moved or turned a little (a radical right, the rest
// askew) keeps close to its class, while well-placed strokes score as before, since only a blur far closer
// than the features counts. Only kanji of kBlurredFromStrokes strokes or more count it: the blur makes the
// few strokes of a letter, digit, kana or simple kanji alike (a 7 and 夕, an n and m), where a kanji of more
// strokes keeps its parts apart.
inline constexpr float kBlurGap = 0.11f;
inline constexpr uint16_t kBlurredFromStrokes = 5;
// The categories whose close match holds a distorted form back: kanji, digits and Latin letters.
inline constexpr int32_t kDistortedRivals = 0x010 | 0x020 | 0x002 | 0x040;

// A class's similarity as its distorted forms count: `own`, the best of its own forms, and `distorted`,
// the best of its distorted ones, against `rival`, the best similarity of a kanji, digit or Latin class.
float distortedScore(float own, float distorted, float rival) noexcept;

// Whether the ink has a dot above the rest: a stroke, not the only one, no longer or taller than
// kDotExtent of the ink's taller side, that lies wholly above the other strokes. A dot written as a tap, a
// short dash or a small ring stays well under a quarter of a j's height; the bar of a J is longer and
// crosses the stem's top.
inline constexpr float kDotExtent = 0.25f;
bool writtenWithDot(std::span<const Stroke> strokes);
// How far the dot's middle stands above the rest of the ink, in the rest's heights; none without a dot.
std::optional<float> dotPlace(std::span<const Stroke> strokes);

// How a class is written and how common it is, from its prototypes; all zero when the file does not say.
struct ClassFacts {
    uint16_t minStrokes = 0;  // the fewest and most strokes of its forms
    uint16_t maxStrokes = 0;
    float ink = 0;  // the least ink of its forms, in longer sides of the form's box
    uint8_t grade = 0;
    uint16_t frequencyRank = 0;
};

// Keeps the `keep` entries of the highest scores (.first), of equal scores the earlier ones, in their order;
// all of them where there are no more.
void keepBest(std::vector<std::pair<float, uint32_t>>& entries, size_t keep);

struct ShapeMatch {
    CharCode code = 0;
    float similarity = 0;  // cosine of the feature vectors, 1 = the same shape
    // How much of `similarity` the class's distorted forms add over its own forms (0 where they add none).
    float lift = 0;
};

class TemplateSet {
public:
    // Reads a template file, keeping the prototypes whose code point `codeOf` maps to a code (the classes
    // the loaded models know). False, leaving the set empty, when the file is missing, truncated, of another
    // format or version, holds a value that is not finite, or a stroke count, ink or grade out of range.
    bool load(const std::filesystem::path& file,
              const std::function<std::optional<CharCode>(char32_t)>& codeOf);
    // Writes the file (version 2) through a neighbouring partial file, so it appears complete or not at
    // all; false and *error set on failure. `withFrequency`: the prototypes' grades and frequency ranks are
    // filled in (zero there then means an uncommon kanji, not an unknown one).
    static bool save(const std::filesystem::path& file, std::span<const Prototype> prototypes,
                     std::string* error = nullptr, bool withFrequency = false);

    bool empty() const { return m_codes.empty(); }
    size_t classCount() const { return m_codes.size(); }
    std::span<const CharCode> codes() const { return m_codes; }
    // Whether the file told the stroke counts and ink of the forms (version 2), and the grades and frequency
    // ranks of the kanji.
    bool hasWritingFacts() const { return m_hasWritingFacts; }
    bool hasFrequency() const { return m_hasFrequency; }
    // The facts of a class; null for a code the set does not have.
    const ClassFacts* factsOf(CharCode code) const;

    // The `count` classes whose shapes are most like `features`, best first, among those `mask` allows and,
    // when `mostStrokes` is not 0, that can be written with at most that many strokes (a class of unknown
    // strokes always can). Coarse to fine: every class is compared on the 4 x 4 projection; the best
    // `coarseKeep` (at least `count`; 0: a few hundred), where they are more than `count`, on the full
    // features and their blur; the best `count` of those (another writer's kanji, whose strokes moved a
    // little, stay among them) are ranked by their similarity, as similarity() scores it. With a `quota`, the
    // best `quota` classes of `quotaCategories` among those allowed (the best 3 x quota of them by the
    // projection compared in full) follow, best first, each unless already listed: up to count + quota
    // classes. The forms that need a dot count only when `withDot` (writtenWithDot of the ink); a kanji's
    // blurred features (kBlurGap) only when `blur`.
    std::vector<ShapeMatch> rank(const FeatureVector& features, int32_t mask, size_t count,
                                 size_t coarseKeep = 0, uint32_t mostStrokes = 0, size_t quota = 0,
                                 int32_t quotaCategories = 0, bool withDot = false, bool blur = true) const;

    // The similarity of the class `code` to `features` (and their line orientations) as rank() scores it; -1
    // for a code the set does not have. match() gives it with the part of it the distorted forms lift.
    ShapeMatch match(const FeatureVector& features, const OrientationVector& orientations, CharCode code,
                     bool withDot = false, bool blur = true) const;
    float similarity(const FeatureVector& features, const OrientationVector& orientations, CharCode code,
                     bool withDot = false, bool blur = true) const;

private:
    // Asks the processor for the features of the class `c` ahead of their use.
    void prefetchClass(uint32_t c) const;
    float similarityOf(const FeatureVector& features, const FeatureVector* twiceBlurred,
                       const OrientationVector& orientations, uint32_t c, bool withDot) const;
    // The match of class `c` scored `similarity`: its lift over the class's own forms.
    ShapeMatch matchOf(const FeatureVector& features, const FeatureVector* twiceBlurred,
                       const OrientationVector& orientations, uint32_t c, float similarity,
                       bool withDot) const;
    // Prototype `p`'s full features.
    std::span<const float> formOf(uint32_t p) const;
    // How like prototype `p` the ink's line orientations are, less kOrientationGap: a form matched by a
    // stroke drawn the other way round scores by this where it beats the full features.
    float linesScore(const OrientationVector& orientations, uint32_t p) const;
    // How like prototype `p` the ink is for choosing which classes the full features rank: the mean of the
    // cosines of their features and of their blurred features (which another writer's shifted, slanted or
    // turned strokes change less), or their line orientations' less the gap where that is higher.
    // `twiceBlurred` is blurred(blurred(features)) over the length of blurred(features).
    float shortlistScore(const FeatureVector& features, const FeatureVector& twiceBlurred,
                         const OrientationVector& orientations, uint32_t p) const;
    // How like prototype `p` of a kanji of kBlurredFromStrokes or more the ink's features are: their cosine,
    // or that of their blurred features less kBlurGap where that is higher. `twiceBlurred` as above.
    float shapeScore(const FeatureVector& features, const FeatureVector& twiceBlurred, uint32_t p) const;
    // The cosine of the ink's and prototype `p`'s blurred features (`twiceBlurred` as above), or `fine` for a
    // prototype without blurred features.
    float blurredCosine(const FeatureVector& twiceBlurred, uint32_t p, float fine) const;
    // The best of the class's own forms and of its distorted forms (-1 where it has none).
    std::pair<float, float> formScores(const FeatureVector& features, const FeatureVector* twiceBlurred,
                                       const OrientationVector& orientations, uint32_t c, bool withDot) const;
    // Scores the classes by formScores(), first raising `*rival` to the best kanji, digit or Latin class
    // among them; a distorted form counts as distortedScore() against it.
    void scoreClasses(const FeatureVector& features, const FeatureVector* twiceBlurred,
                      const OrientationVector& orientations, std::vector<std::pair<float, uint32_t>>& classes,
                      bool withDot, float* rival) const;

    // The class of a code, if the set has one.
    std::optional<uint32_t> classOf(CharCode code) const;

    static constexpr uint32_t kNoClass = UINT32_MAX;
    std::vector<CharCode> m_codes;      // per class
    std::vector<uint32_t> m_classOf;    // per code, its class or kNoClass (empty while nothing is loaded)
    std::vector<int32_t> m_categories;  // per class, categoryOf its code
    std::vector<ClassFacts> m_facts;    // per class
    std::vector<uint32_t> m_first;      // per class, its first prototype; one more at the end
    std::vector<float> m_full;          // per prototype, kFeatureSize floats
    std::vector<float> m_orientations;  // per prototype, kOrientationSize floats
    std::vector<float> m_blurLength;    // per prototype, the length of its blurred features
    std::vector<uint8_t> m_needsDot;    // per prototype, 1 for a form that needs a dot
    std::vector<uint8_t> m_distorted;   // per prototype, 1 for a distorted form
    std::vector<uint8_t> m_liftable;    // per class, 1 where it has a distorted form
    std::vector<uint8_t> m_blurs;       // per class, 1 where its forms' shape scores count the blur
    std::vector<float> m_coarse;        // the projections, in blocks of prototypes (template_set.cpp)
    size_t m_coarseStride = 0;          // the prototypes, padded to whole blocks
    bool m_hasWritingFacts = false;
    bool m_hasFrequency = false;
};

}  // namespace sw::scribeng
