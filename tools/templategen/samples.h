// Glyphs, synthetic samples and the stroke-order faults the shape scorer must withstand, shared by
// slatewise-templategen and the engine's robustness tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "glyph.h"
#include "scribeng/direction_features.h"
#include "scribeng/geometry.h"
#include "synth.h"

namespace sw::templategen {

// Every class of the engine's models that KanjiVG or the hand-made templates can draw: the JIS kanji of
// KanjiVG and the glyphs of the supplementary model (kana, digits, Latin letters, punctuation, symbols).
// Sorted by label, then form (the allographs of the template file follow their class's main form). Fails
// (nullopt, *error set) on an unreadable source.
std::optional<std::vector<modelgen::Glyph>> readTemplateGlyphs(const std::string& kanjiVgDir,
                                                               const std::string& templates,
                                                               const std::string& twins, std::string* error);

// How a sample is written.
enum class Fault {
    None,      // as synthesised: standard stroke order and directions
    Swapped,   // two neighbouring strokes written in the opposite order
    Joined,    // two neighbouring strokes written without lifting the pen
    Reversed,  // one stroke written from its end to its start
};
inline constexpr Fault kFaults[] = {Fault::None, Fault::Swapped, Fault::Joined, Fault::Reversed};
const char* faultName(Fault fault);

// Applies the fault to a random place of the ink (a character of one stroke is left as it is, except that
// it may be reversed).
modelgen::Ink withFault(modelgen::Ink ink, Fault fault, modelgen::Random& random);

// The ink as engine strokes in canvas pixels: the 109-unit grid scaled by `scale`, rounded.
std::vector<scribeng::Stroke> toEngineStrokes(const modelgen::Ink& ink, double scale = 1.0);

// The ink in the engine's float points.
std::vector<scribeng::InkStroke> inkStrokesOf(const modelgen::Ink& ink);

// Direction features of the ink.
scribeng::FeatureVector featuresOf(const modelgen::Ink& ink);

// One sample of a development set.
struct Sample {
    char32_t label = 0;
    int form = 0;  // of the glyph it was drawn from
    std::vector<scribeng::Stroke> strokes;
};

// The synthesis's writer variation (`base`, by default the default one) with every deviation scaled by
// `strength` (1: as the templates and the model were trained; more: writers further from KanjiVG's shapes).
modelgen::Variation scaledVariation(double strength, const modelgen::Variation& base = {});

// A fixed-seed development set: `classes` main forms (Glyph::form 0) of at least two strokes drawn from
// `glyphs` (all when `classes` is 0 or more than there are), each synthesised once and written with `fault`.
// The same arguments give the same samples, whatever the fault: the glyphs and their shapes depend on the
// seed only. `variation` scales every deviation of the synthesis (1: as the templates and the model were
// trained; more: writers further from KanjiVG's shapes).
std::vector<Sample> makeSamples(const std::vector<modelgen::Glyph>& glyphs, size_t classes, uint64_t seed,
                                Fault fault, double variation = 1.0);

// True for the digits and Latin letters (full-width labels ０-９, Ａ-Ｚ, ａ-ｚ).
bool isLatinOrDigit(char32_t label);

// A fixed-seed development set of the digits and Latin letters as people write them: every form of every
// such glyph (main forms and allographs), `perForm` synthetic samples each, written with `fault`.
std::vector<Sample> makeLatinSamples(const std::vector<modelgen::Glyph>& glyphs, int perForm, uint64_t seed,
                                     Fault fault, double variation = 1.0);

}  // namespace sw::templategen
