// Single-character recognition: strokes in canvas pixels, placed in a frame, classified by every model,
// converted to code page 932 codes and filtered by the category mask.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <unordered_map>
#include <vector>

#include "scribeng/categories.h"
#include "scribeng/geometry.h"
#include "scribeng/zinnia_model.h"

namespace sw::scribeng {

struct Candidate {
    CharCode code = 0;
    float score = 0;  // the models' own score, higher is better
};

class Recognizer {
public:
    // Loads every *.model file of the folders, in order; a model whose file name was already loaded from an
    // earlier folder is skipped, so a model in the engine's own folder takes the place of the system's.
    explicit Recognizer(std::span<const std::filesystem::path> folders);

    bool ready() const { return !m_models.empty(); }
    const ModelSet& models() const { return m_models; }

    // Candidates for `strokes` (one character), best first, distinct codes, only those `mask` allows, at most
    // `limit`. The strokes are scaled into Zinnia's space through `frame`, a square around the character:
    // its side is the largest of the frame's and the strokes' width and height, centred on both together.
    // No candidates when no model is loaded, there are no points, or nothing passes the mask.
    std::vector<Candidate> recognize(std::span<const Stroke> strokes, const Box& frame, int32_t mask,
                                     size_t limit) const;

private:
    ModelSet m_models;
    std::unordered_map<std::string, CharCode> m_codes;  // model label -> code; labels with no code are absent
};

}  // namespace sw::scribeng
