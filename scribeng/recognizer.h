// Single-character recognition: strokes in canvas pixels, placed in a frame, converted to code page 932
// codes and filtered by the category mask.
//
// Two scorers: Zinnia's models (stroke order and count matter) and the shape templates (direction
// features, stroke-order-free: see direction_features.h). With templates, recognition is coarse to fine:
// the templates shortlist the classes the mask allows, Zinnia scores only those, and the candidates are
// ranked by the fused score. Without a template file every class of every model is ranked by Zinnia alone.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <unordered_map>
#include <vector>

#include "scribeng/categories.h"
#include "scribeng/geometry.h"
#include "scribeng/template_set.h"
#include "scribeng/zinnia_model.h"

namespace sw::scribeng {

// The template file the engine looks for in its model folders.
inline constexpr const char* kTemplateFile = "slatewise-templates.bin";

struct Candidate {
    CharCode code = 0;
    // Higher is better, on the scale of Zinnia's scores (a clear character about 0.3 to 1). With templates
    // the fused score, Zinnia's score plus the shape term (see FusionWeights); without, Zinnia's score.
    float score = 0;
};

// The fused score is zinnia + shapeRatio x (shape - shapeCentre): `shapeRatio` weighs the shape similarity
// (cosine, 0..1) against Zinnia's SVM score, and `shapeCentre` is the mean similarity of correctly recognised
// characters, so a well-written character keeps about its Zinnia score while a shape unlike every class
// (a piece of a character, two characters together) drops far below it. The ratio is the one that gives the
// best top-1 on synthetic samples written normally and with swapped, joined and reversed strokes; the
// fused score is then a monotone function of the log-odds that the candidate is right,
// logOddsScale x score + logOddsOffset (logistic fit on the same samples). slatewise-templategen calibrate
// fits all four (tools/templategen/README.md).
struct FusionWeights {
    float shapeRatio = 84.70f;
    float shapeCentre = 0.9549f;
    float logOddsScale = 1.5818f;
    float logOddsOffset = -0.2023f;
};

struct RecognizerOptions {
    bool useTemplates = true;  // false: Zinnia alone over every class even when a template file exists
    size_t shortlist = 100;    // classes the templates pass to Zinnia
    FusionWeights weights;
};

// Scores of one candidate, for calibrating the fusion.
struct ScoredCandidate {
    CharCode code = 0;
    float zinnia = 0;
    float shape = 0;
};

class Recognizer {
public:
    // Loads every *.model file of the folders, in order; a model whose file name was already loaded from an
    // earlier folder is skipped, so a model in the engine's own folder takes the place of the system's. The
    // template file comes from the first folder that has one that reads; its classes the models do not know
    // are dropped.
    explicit Recognizer(std::span<const std::filesystem::path> folders, RecognizerOptions options = {});

    bool ready() const { return !m_models.empty(); }
    bool hasTemplates() const { return !m_templates.empty(); }
    const ModelSet& models() const { return m_models; }
    const TemplateSet& templates() const { return m_templates; }

    // Candidates for `strokes` (one character), best first, distinct codes, only those `mask` allows, at most
    // `limit`. The strokes are scaled into Zinnia's space through `frame`, a square around the character:
    // its side is the largest of the frame's and the strokes' width and height, centred on both together.
    // No candidates when no model is loaded, there are no points, or nothing passes the mask.
    std::vector<Candidate> recognize(std::span<const Stroke> strokes, const Box& frame, int32_t mask,
                                     size_t limit) const;

    // The shortlist with both scores, unfused, in shortlist order (empty without templates, and for ink
    // without extent, which recognize() leaves to Zinnia alone).
    std::vector<ScoredCandidate> scoreShortlist(std::span<const Stroke> strokes, const Box& frame,
                                                int32_t mask, size_t count) const;

private:
    std::vector<ScoredCandidate> scoreShortlist(std::span<const Stroke> strokes, const Box& ink,
                                                const FeatureVector& features, const Box& frame, int32_t mask,
                                                size_t count) const;
    std::vector<Candidate> recognizeByZinnia(const ZinniaCharacter& character, int32_t mask,
                                             size_t limit) const;
    // Ink without extent: the marks (、。・ and the like) the mask allows, ranked by Zinnia; every class when
    // it allows none. Scoring a handful of classes keeps a line of many dots cheap.
    std::vector<Candidate> recognizeTap(const ZinniaCharacter& character, int32_t mask, size_t limit) const;
    // Zinnia's scores of the given codes' classes in every model; a code several models know keeps its best.
    std::unordered_map<CharCode, float> zinniaScores(const ZinniaCharacter& character,
                                                     std::span<const CharCode> codes) const;

    RecognizerOptions m_options;
    ModelSet m_models;
    TemplateSet m_templates;
    std::unordered_map<std::string, CharCode> m_codes;  // model label -> code; labels with no code are absent
    // Per code, its classes in each model: (model, class index).
    std::unordered_map<CharCode, std::vector<std::pair<uint32_t, uint32_t>>> m_classes;
};

}  // namespace sw::scribeng
