// Pen trajectories from glyph outlines: clean sampling, synthetic writer variation with a fixed seed,
// normalisation into the square the recogniser sees, and Zinnia's training S-expression.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "glyph.h"

namespace sw::modelgen {

using Ink = std::vector<Stroke>;

// A small deterministic generator (splitmix64) whose sequences are the same on every platform and standard
// library, unlike the <random> distributions.
class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    uint64_t next();
    double uniform(double lo, double hi);  // [lo, hi)
    double normal();                       // mean 0, deviation 1

private:
    uint64_t m_state;
};

// The generator for one class of one run: independent of the other classes, so adding a class leaves the
// samples of every other class as they were.
Random classRandom(uint64_t seed, char32_t label);

// Writer variation, in units of the 109 x 109 grid and degrees.
struct Variation {
    double rotation = 7;     // whole character, +-
    double shear = 0.14;     // horizontal shear (slant), +-
    double scaleMin = 0.84;  // independent horizontal and vertical scale
    double scaleMax = 1.16;
    double strokeShift = 2.8;   // each stroke moved by up to this, independently
    double strokeScale = 0.10;  // each stroke scaled about its centre by 1 +- this
    double strokeRotation = 5;  // each stroke turned about its centre, +-
    double trim = 0.04;         // each stroke end shortened by up to this share of the stroke's points
    double pointNoise = 0.45;   // deviation of the smoothed noise added to each sampled point
    double spacingMin = 1.4;    // pen sample spacing, chosen per character
    double spacingMax = 3.6;
    // Proportions, for a glyph with parts (Glyph::parts): each part moved as a unit by up to partShift and
    // scaled about its centre by 1 +- partScale, horizontally and vertically apart; a part within a part
    // varies by 1 / depth of that. Zero leaves the parts as drawn and draws nothing from the generator.
    double partShift = 0;
    double partScale = 0;
};

// The variation a class is trained with: the default, and for Latin letters and digits a slant of up to
// kLatinShear either way, since people write them upright, leaning back or slanted far forward, while
// kana and kanji keep the narrow slant that separates their look-alikes (ノ ソ ン, ハ ル). Digits take the
// letters' slant too: trained narrower, a slanted 6 or 9 reads as the slanted b or q beside it.
// writeTrainingData() keeps the default for a letter whose twin group holds other characters.
inline constexpr double kLatinShear = 0.3;
Variation variationFor(char32_t label);

// Samples every stroke at `spacing` (grid units): the clean trajectory of the glyph.
Ink sampleGlyph(const std::vector<Subpath>& strokes, double spacing);

// One synthetic handwritten sample of the glyph: per-stroke shift, scale and rotation of the curves, a global
// rotation, slant and aspect change about the grid centre, resampling at a random pen spacing, slightly
// short stroke ends and smoothed point noise. Stroke count, order and directions are kept.
Ink synthesise(const std::vector<Subpath>& strokes, Random& random, const Variation& variation = {});

// The same for a glyph, with its parts moved and scaled first (outer parts before the parts within them):
// a radical written larger or smaller, the parts of a character set closer or further apart.
Ink synthesise(const Glyph& glyph, Random& random, const Variation& variation = {});

// The recogniser's frame, the same as the engine's (scribeng/recognizer.cpp: a square around the ink and
// its frame, its longer side spanning 1 - 2 x 0.15 of Zinnia's 1000 x 1000 space, centred). Characters
// come in two frames:
// - `Frame::Ink`: the ink's own bounding box (a character alone, or one wider than its line);
// - `Frame::Line`: a square as high as a line of text, centred on the ink horizontally, with the line's
//   top and bottom at kLineTop and kLineBottom of the grid (where KanjiVG's tallest characters reach), so
//   small kana and punctuation keep their size and height in the line.
// Coordinates are rounded to integers; ink that is a single point in the ink frame lands on the centre.
inline constexpr int kSquareSide = 1000;
inline constexpr int kInkSpan = 700;
inline constexpr double kLineTop = 12;
inline constexpr double kLineBottom = 95;
enum class Frame { Ink, Line };
struct IntPoint {
    int x = 0;
    int y = 0;
};
using IntInk = std::vector<std::vector<IntPoint>>;
IntInk normaliseToSquare(const Ink& ink, Frame frame = Frame::Ink);

// One line of Zinnia training data:
//   (character (value あ) (width 1000) (height 1000) (strokes ((x y) (x y) ...) ((x y) ...)))
// A one-point stroke is written with its point twice so that every stroke has a direction feature.
std::string zinniaSexp(std::string_view label, const IntInk& ink);
std::string zinniaSexp(char32_t label, const IntInk& ink);

}  // namespace sw::modelgen
