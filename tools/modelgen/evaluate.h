// Training data for a list of glyphs, and accuracy of a trained Zinnia model on synthetic samples.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "synth.h"

namespace zinnia {
class Recognizer;
}

namespace sw::modelgen {

// Writes, for every glyph, its clean trajectory in both frames and `variations` synthetic samples drawn
// with `seed` (alternately in the ink frame and the line frame), one Zinnia S-expression per line, labelled
// with the first member of the glyph's twin group (or its own label). `negatives` (kanji) follow, each
// clean in the ink frame and once varied in the line frame, under kNegativeLabel, which expandTwins() drops
// from the model: the classes learn what they are not. The output depends only on the arguments.
// Glyphs with a label in `formLabels` (formClassLabels) are written under kNegativeLabel instead: their
// classes are trained apart (trainFormClasses, kanji_model.h), and the other classes still learn them as
// what they are not.
inline constexpr const char* kNegativeLabel = "__negative__";
void writeTrainingData(const std::vector<Glyph>& glyphs, const TwinGroups& twins, uint64_t seed,
                       int variations, std::ostream& out, const std::vector<Glyph>& negatives = {},
                       const std::vector<std::string>& formLabels = {});

// The class a character is trained under: its twin group's first member, or itself outside any group.
char32_t classLabelOf(const TwinGroups& twins, char32_t c);

// The samples writeTrainingData writes for a glyph (both clean frames, then the variations) and for a
// negative (clean in the ink frame, once varied in the line frame).
std::vector<IntInk> trainingSamples(const Glyph& g, const TwinGroups& twins, uint64_t seed, int variations);
std::vector<IntInk> negativeSamples(const Glyph& g, uint64_t seed);

// A lower-case letter whose forms fall into several families (the same stroke count and shapes chained
// within `tolerance`, shapeTwins' measure: a looped l and a plain l are two) gets a class per family, so
// that each way of writing it has weights of its own instead of one set of weights between them. For
// each glyph, the label of the class it is trained in apart from the rest (trainFormClasses): the family
// of the letter's first form with the letter's twin group, under the group's label ("ｌ" for ｌ Ｉ ｜ 丨),
// and the other families under form labels ("ｌ#2", "ｌ#3": scribeng/categories.h); "" for every glyph of
// the other classes. Letters with one family, and their groups, stay as they are.
inline constexpr double kFamilyTolerance = 45;
std::vector<std::string> formClassLabels(const std::vector<Glyph>& glyphs, const TwinGroups& twins,
                                         double tolerance = kFamilyTolerance);

// The negatives that are not alike (shapeTwins tolerance, same stroke count) to any of `glyphs`: 口 is
// dropped for ロ, 一 for ー, so that no class learns to reject its own shape.
std::vector<Glyph> unlikeAll(const std::vector<Glyph>& negatives, const std::vector<Glyph>& glyphs,
                             double tolerance = 45);

// Copies a text model written by zinnia_learn ("label bias index:weight ...", one class per line),
// repeating each twin group's line for every member of the group under the member's label, the k-th
// member's bias lowered by k * kTwinStep: twins score alike, and the group's first member (the full-size
// or most common form) ranks first until the engine judges size and position. The negatives' class is left
// out. A form class of a group's member ("ｚ#2", formClassLabels) is repeated for every member the same way
// ("Ｚ#2" then "ｚ#2"). Fails (false, *error set) when a group's class is missing from the model; `out` is
// then incomplete and must be dropped.
inline constexpr double kTwinStep = 1e-5;
bool expandTwins(std::istream& textModel, const TwinGroups& twins, std::ostream& out,
                 std::string* error = nullptr);

// Finds candidates for the twin groups: two glyphs are alike when they have the same stroke count and their
// normalised strokes, each resampled to a fixed number of points, lie within `tolerance` (square units, mean
// point distance) of each other. The forms of one class are not twins of each other.
std::map<char32_t, std::vector<char32_t>> shapeTwins(const std::vector<Glyph>& glyphs, double tolerance = 45);
// The same per glyph (per form of a class): the labels of the other classes alike to glyphs[i].
std::vector<std::vector<char32_t>> formTwins(const std::vector<Glyph>& glyphs, double tolerance = 45);

struct Accuracy {
    int samples = 0;
    int top1 = 0;
    int top5 = 0;
    int top1UpToTwins = 0;            // top-1 is the class or a member of its twin group
    std::vector<std::string> misses;  // "expected -> got" for the top-1 misses up to twins
};

// Recognises `variations` synthetic samples of every glyph drawn with `seed` (0 variations: the clean
// trajectory only) in the given frame and counts the ranks of the true class.
Accuracy evaluate(const zinnia::Recognizer& model, const std::vector<Glyph>& glyphs, const TwinGroups& twins,
                  uint64_t seed, int variations, Frame frame = Frame::Ink);

// Top-5 labels of the model for one ink sample in the square frame.
std::vector<char32_t> classify(const zinnia::Recognizer& model, const IntInk& ink, size_t nbest = 5);

// The score of the model's best class for the ink (-infinity when the model gives none).
float bestScore(const zinnia::Recognizer& model, const IntInk& ink);

}  // namespace sw::modelgen
