// How a character leans: the slant and rotation of a hand, estimated from the pen's path, and the ink set
// upright again.
//
// Writers slant, rotate and stretch their characters; the models and templates know them upright. The
// estimate looks at the straight pieces of the path (cut where it bends by more than 3% of the character, so
// the pen's jitter stays inside a piece): the near-horizontal ones tell the rotation (a kanji's horizontal
// strokes rise only a little), and, with the rotation taken out, the near-vertical ones the slant (a stroke
// written down and one written up count alike). Each is the length-weighted median of its pieces, refined by
// the mean of those close to it, and counts only where the pieces add up to enough of the character and
// agree: a lone ／ or ノ has no near- vertical evidence to speak of, and their slant stays theirs.
#pragma once

#include <span>
#include <vector>

#include "scribeng/geometry.h"

namespace sw::scribeng {

struct InkPose {
    // Horizontal shift per unit of height going down, of the near-vertical pieces: negative for a hand that
    // leans forward (tops to the right), positive for one that leans back. 0 when the evidence is unclear.
    double slant = 0;
    // Radians, y down: positive where horizontal pieces fall to the right (turned clockwise on the screen).
    // 0 when the evidence is unclear.
    double rotation = 0;
    bool upright() const { return slant == 0 && rotation == 0; }
};

struct PoseOptions {
    // Pieces that count: within this many degrees of horizontal (rotation) or vertical (slant).
    double horizontalWindow = 25;
    double verticalWindow = 30;
    // Evidence: the pieces' length together, in character sizes (the larger of the ink's width and height).
    double leastHorizontal = 0.8;
    double leastVertical = 0.6;
    // Smallest pose worth undoing, and the largest undone (a larger estimate is clamped to it).
    // Upright writing is taken to have no rotation: a kanji's horizontal strokes rise about 1 degree (the
    // real samples), well under leastRotation.
    double leastRotation = 0.05;  // radians, about 3 degrees
    double mostRotation = 0.21;   // about 12 degrees
    double leastSlant = 0.08;
    double mostSlant = 0.4;
};

// The pose of one character's strokes (canvas pixels). Upright for ink with too little evidence, empty ink,
// and ink without extent.
InkPose estimatePose(std::span<const Stroke> strokes, const PoseOptions& options = {});

// Whether every stroke is level: none higher than `share` of the ink's size (the larger of its width and
// height), as in 一, 二 or 三. Shearing such ink moves its strokes sideways and changes none of their shapes.
// False for ink without strokes or without extent.
bool levelStrokesOnly(std::span<const Stroke> strokes, double share);

// The strokes turned back by the pose's rotation and sheared back by its slant, about the centre of their
// bounds; coordinates are rounded and kept within the 32-bit range. The strokes themselves when the pose is
// upright.
std::vector<Stroke> setUpright(std::span<const Stroke> strokes, const InkPose& pose);

// The strokes stretched horizontally by `factor` about the centre of their bounds (a narrow hand made as wide
// as the models know it); coordinates are rounded and kept within the 32-bit range. The strokes themselves
// for a factor of 1 or one that is not positive and finite.
std::vector<Stroke> widened(std::span<const Stroke> strokes, double factor);

// A point of a stroke in canvas pixels, no longer on whole pixels.
struct SmoothPoint {
    double x = 0;
    double y = 0;
};

// The stroke (canvas pixels) with its rounding to whole pixels smoothed out, for the shape features: repeats
// of a point dropped, and every point but the two ends moved to the mean of itself and the points within
// kPixelReach of pen path on either side. Where the pen moves a pixel at a time, a slanted line comes as a
// staircase of level and upright steps, which the direction features read as such in writing of 30 to 50
// pixels a character; the mean makes it a line again. Points further apart, as a faster pen or a coarser
// tablet gives them, stay where they are, and so does a corner's shape beyond a pixel. (Zinnia is handed the
// points as written: smoothed there too, small kana and joined kanji read worse.) `pixel`: the size of a
// pixel in the stroke's units, for a stroke scaled from canvas pixels (kPixelReach times it is the reach).
inline constexpr double kPixelReach = 1.5;
std::vector<SmoothPoint> smoothedPixels(std::span<const EnginePoint> stroke, double pixel = 1);

}  // namespace sw::scribeng
