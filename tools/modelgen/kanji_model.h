// The kanji model: one Zinnia class per JIS kanji of KanjiVG, each trained against its hard negatives only.
//
// The engine asks Zinnia to rank only the classes of the shape shortlist (the 100 templates nearest the
// ink), so a kanji class needs to tell its own samples from those of the classes that look like it, not from
// every class. Each class is therefore trained one against the rest of a small set: its own synthetic samples
// (both strengths of variation, both frames, some with a stroke-order fault) against a few samples of each
// of its `neighbours` nearest classes by direction features (kanji and the supplementary model's kana and
// symbols alike). Every class sees the same C (Zinnia's 1.0) and the same number of negatives, so the scores
// of different classes stay comparable. The classes' lines are assembled into one text model.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "evaluate.h"
#include "glyph.h"
#include "synth.h"

namespace sw::modelgen {

// The writer variation the kanji model is trained with: the synthesis's default, with the parts (KanjiVG's
// components) as drawn. Wider slant, stroke shift and part variation, and more samples, were measured on
// real and distorted writing and did not do better (tools/modelgen/README.md).
Variation kanjiVariation();

struct KanjiModelOptions {
    uint64_t seed = 1;
    int variations = 48;  // synthetic samples per class besides its two clean ones
    // The writers of the synthetic samples; every other sample varies strongVariation times as much.
    Variation variation = kanjiVariation();
    double strongVariation = 1.6;
    int neighbours = 250;  // nearest classes a class is trained against
    int negativesPerNeighbour = 4;
    int processes = 2;  // classes are trained in this many forked processes
    // Added to every class's bias. Trained against look-alikes only, a class scores its own characters
    // about 1.0 higher than Tegaki's model does (1.16 against 0.16 on average at both strengths of
    // variation) and higher than the supplementary model's kana; the line search then splits characters
    // into confidently scored pieces. Lowered by as much, the models are in balance again.
    double scoreOffset = -1.0;
};

// A line of a text model ("label bias index:weight ...") with `offset` added to its bias (written with nine
// significant digits), the rest unchanged; nullopt for a line without a numeric bias.
std::optional<std::string> shiftBias(const std::string& line, double offset);

// The training samples of a glyph in the recogniser's square: its clean trajectory in the ink frame and in
// the line frame, then `options.variations` synthetic samples drawn with the class's own generator,
// alternating between the default variation and the strong one and between the frames in pairs (ink, ink,
// line, line, ...); every eighth sample has a stroke-order fault (a swapped pair, two strokes joined or one
// stroke reversed, in turn). The same glyph and options give the same samples.
std::vector<IntInk> kanjiTrainingSamples(const Glyph& glyph, const KanjiModelOptions& options);

// For each glyph of `targets` (indices into `pool`), the indices of its `count` nearest other glyphs of
// `pool` by the cosine of mean direction features (the clean trajectory and four synthetic samples), nearest
// first, ties by index. Other forms of the target's label, members of its twin group and glyphs of its shape
// (unlikeAll's tolerance) are left out: they share its shape, and the engine tells them apart by context.
std::vector<std::vector<uint32_t>> nearestGlyphs(const std::vector<Glyph>& pool,
                                                 const std::vector<size_t>& targets, const TwinGroups& twins,
                                                 int count, uint64_t seed);

// Trains a class for each glyph of `targets` (indices into `pool`) against its nearest glyphs' samples, adds
// `options.scoreOffset` to its bias (shiftBias) and writes the text model (Zinnia's: "label bias index:weight
// ...", one class per line, in the order of `targets`). `workFolder` holds the per-process scratch files and
// is left empty. `progress` (may be empty) is called with the number of classes done in the first process.
// The output depends only on the arguments, not on the number of processes. False and *error set on failure;
// `out` is then incomplete.
bool trainKanjiModel(const std::vector<Glyph>& pool, const std::vector<size_t>& targets,
                     const TwinGroups& twins, const KanjiModelOptions& options, const std::string& workFolder,
                     std::ostream& out, std::string* error = nullptr,
                     const std::function<void(size_t)>& progress = {});

// Trains the classes of `labels` (formClassLabels, one per glyph; "" for the glyphs zinnia_learn trains),
// each as zinnia_learn trains a class, against every other glyph's samples of writeTrainingData's but for
// those of its own twin group or letter (a letter's ways of writing are not set against each other), and
// against the negatives' clean samples. Writes their lines of the text model, in the order of each class's
// first glyph; `scratch` is a file path for Zinnia's output, removed after. False and *error set on failure;
// `out` is then incomplete.
bool trainFormClasses(const std::vector<Glyph>& glyphs, const TwinGroups& twins,
                      const std::vector<std::string>& labels, uint64_t seed, int variations,
                      const std::vector<Glyph>& negatives, const std::string& scratch, std::ostream& out,
                      std::string* error = nullptr);

// The indices of `pool` whose labels are JIS kanji (U+4E00..U+9FFF with a code page 932 double-byte form),
// one per label, except the members of twin groups (口 of ロ, 卜 of ト): the supplementary model has them
// with their twins' weights, so that the engine sees twins scored alike and reads them by their neighbours.
std::vector<size_t> kanjiIndices(const std::vector<Glyph>& pool, const TwinGroups& twins);

// `count` of `indices` chosen by a fixed-seed shuffle, in increasing order (all when count is 0 or more).
std::vector<size_t> chooseIndices(std::vector<size_t> indices, size_t count, uint64_t seed);

}  // namespace sw::modelgen
