// Deterministic distortions of a glyph's strokes of the kinds people write a printed shape with: a slant,
// a turn, a narrower or wider box, strokes set further apart or closer together, curves drawn rounder or
// flatter. The template generator adds a kana's distorted shapes to its prototypes, so the shape scorer
// still knows a kana written further from KanjiVG's shape than the synthesis strays.
#pragma once

#include <vector>

#include "svg_path.h"

namespace sw::templategen {

enum class Distortion {
    SlantedForward,  // tops lean right
    SlantedBack,     // tops lean left
    TurnedLeft,      // the whole shape turned anticlockwise
    TurnedRight,     // and clockwise
    Narrower,        // horizontally squashed
    Wider,           // horizontally stretched
    Spread,          // each stroke moved away from the shape's middle
    Gathered,        // each stroke moved towards it
    Rounder,         // every curve bulges further from its chord
    Flatter,         // every curve bulges less
};
inline constexpr Distortion kDistortions[] = {
    Distortion::SlantedForward, Distortion::SlantedBack, Distortion::TurnedLeft, Distortion::TurnedRight,
    Distortion::Narrower,       Distortion::Wider,       Distortion::Spread,     Distortion::Gathered,
    Distortion::Rounder,        Distortion::Flatter,
};

// How far each distortion goes: beyond the synthesis's own variation (scaledVariation(1)), short of
// making another class's shape.
inline constexpr double kDistortionShear = 0.25;    // horizontal shift per unit of height
inline constexpr double kDistortionTurn = 10;       // degrees
inline constexpr double kDistortionWidth = 0.22;    // share of the width taken away or added
inline constexpr double kDistortionSpacing = 0.25;  // share of each stroke's distance from the middle
inline constexpr double kDistortionBulge = 0.45;    // share of each curve's bulge added or taken away

// The strokes distorted about the middle of their control points' box (the curves stay cubics: every
// distortion but Rounder and Flatter is affine; those two move the inner control points only). A
// distortion that would leave the strokes as they are (Spread or Gathered of one stroke) gives them back
// unchanged.
std::vector<modelgen::Subpath> distorted(const std::vector<modelgen::Subpath>& strokes,
                                         Distortion distortion);

// True for the hiragana and katakana (U+3041-U+3096, U+30A1-U+30FA), which get distorted templates.
bool isKana(char32_t label);

}  // namespace sw::templategen
