// A character's slant and rotation, estimated from drawn strokes, and the ink set upright again.
#include "scribeng/ink_normalise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

using sw::scribeng::InkPose;
using sw::scribeng::Stroke;

// A straight stroke from (x0, y0) to (x1, y1) with a point every 4 pixels.
Stroke line(double x0, double y0, double x1, double y1) {
    Stroke s;
    const int steps = std::max(1, static_cast<int>(std::hypot(x1 - x0, y1 - y0) / 4));
    for (int k = 0; k <= steps; ++k) {
        const double t = static_cast<double>(k) / steps;
        s.push_back({static_cast<int32_t>(std::lround(x0 + t * (x1 - x0))),
                     static_cast<int32_t>(std::lround(y0 + t * (y1 - y0)))});
    }
    return s;
}

// 口 as written: the left side, the top and right side in one stroke, the bottom.
std::vector<Stroke> kuchi() {
    Stroke topRight = line(100, 100, 500, 100);
    const Stroke right = line(500, 100, 500, 500);
    topRight.insert(topRight.end(), right.begin() + 1, right.end());
    return {line(100, 100, 100, 500), topRight, line(100, 500, 500, 500)};
}

std::vector<Stroke> san() {
    return {line(150, 100, 450, 100), line(180, 300, 420, 300), line(100, 500, 500, 500)};
}

// A cursive ｌ: up to the top of a narrow loop and down again.
std::vector<Stroke> loopedL() {
    Stroke s = line(100, 500, 116, 100);
    const Stroke down = line(116, 100, 132, 500);
    s.insert(s.end(), down.begin() + 1, down.end());
    return {s};
}

// The strokes as another hand writes them: sheared by `slant` (horizontal shift per unit of height going
// down), then turned by `rotation` radians, both about (300, 300).
std::vector<Stroke> written(std::vector<Stroke> strokes, double slant, double rotation) {
    const double c = std::cos(rotation), s = std::sin(rotation);
    for (auto& stroke : strokes) {
        for (auto& p : stroke) {
            const double x = p.x - 300 + slant * (p.y - 300), y = p.y - 300;
            p = {static_cast<int32_t>(std::lround(300 + x * c - y * s)),
                 static_cast<int32_t>(std::lround(300 + x * s + y * c))};
        }
    }
    return strokes;
}

struct PoseRow {
    const char* name;
    std::vector<Stroke> strokes;
    double slant, rotation;  // expected
};

TEST(InkPose, EstimatesTheSlantAndRotationOfDrawnStrokes) {
    const double degree = M_PI / 180;
    const PoseRow rows[] = {
        {"upright_kuchi", kuchi(), 0, 0},
        {"kuchi_leaning_forward", written(kuchi(), -0.25, 0), -0.25, 0},
        {"kuchi_leaning_back", written(kuchi(), 0.2, 0), 0.2, 0},
        {"kuchi_turned_clockwise", written(kuchi(), 0, 8 * degree), 0, 8 * degree},
        {"kuchi_sheared_and_turned", written(kuchi(), -0.2, -6 * degree), -0.2, -6 * degree},
        {"san_turned", written(san(), 0, -10 * degree), 0, -10 * degree},
        // Below the smallest pose worth undoing, and beyond the largest undone (clamped; the rotation left
        // over leans the sides, and is read as slant).
        {"kuchi_barely_leaning", written(kuchi(), -0.05, 1.5 * degree), 0, 0},
        {"kuchi_leaning_far", written(kuchi(), -0.5, 0), -0.4, 0},
        {"kuchi_turned_far", written(kuchi(), 0, 20 * degree), -std::tan(20 * degree - 0.21), 0.21},
        // One stroke is no evidence of a hand: the slant of ／ is its identity, and a looped ｌ is left to
        // the models, which know letters over a range of slants.
        {"looped_l_leaning_forward", written(loopedL(), -0.3, 0), 0, 0},
        {"slash", {line(400, 100, 150, 500)}, 0, 0},
        {"steep_slash", {line(350, 100, 200, 500)}, 0, 0},
        {"backslash", {line(150, 100, 400, 500)}, 0, 0},
        {"lone_turned_dash", {line(100, 320, 500, 280)}, 0, 0},
        {"no_strokes", {}, 0, 0},
        {"one_point", {Stroke{{7, 7}}}, 0, 0},
    };
    for (const auto& row : rows) {
        const InkPose pose = sw::scribeng::estimatePose(row.strokes);
        EXPECT_NEAR(pose.slant, row.slant, 0.02) << row.name;
        EXPECT_NEAR(pose.rotation, row.rotation, 0.01) << row.name;
    }
}

TEST(InkPose, SetUprightUndoesTheEstimatedPose) {
    const double degree = M_PI / 180;
    const auto leaning = written(kuchi(), -0.25, 7 * degree);
    const auto upright = sw::scribeng::setUpright(leaning, sw::scribeng::estimatePose(leaning));
    ASSERT_EQ(upright.size(), leaning.size());
    EXPECT_TRUE(sw::scribeng::estimatePose(upright).upright());
    // The left side stands vertical again: its ends within a pixel or two of one another across.
    EXPECT_NEAR(upright[0].front().x, upright[0].back().x, 3);
    // An upright pose hands the strokes back as they are.
    const auto original = kuchi();
    const auto same = sw::scribeng::setUpright(original, InkPose{});
    ASSERT_EQ(same.size(), original.size());
    for (size_t s = 0; s < same.size(); ++s) {
        ASSERT_EQ(same[s].size(), original[s].size());
        for (size_t k = 0; k < same[s].size(); ++k) {
            EXPECT_EQ(same[s][k].x, original[s][k].x);
            EXPECT_EQ(same[s][k].y, original[s][k].y);
        }
    }
}

TEST(InkPose, HugeCoordinatesStayWithinRange) {
    const int32_t big = std::numeric_limits<int32_t>::max();
    const std::vector<Stroke> strokes = {{{-big, -big}, {-big, big}}, {{big, -big}, {big, big}}};
    const auto upright = sw::scribeng::setUpright(strokes, InkPose{-0.4, 0.2});
    ASSERT_EQ(upright.size(), 2u);
    for (const auto& s : upright) EXPECT_EQ(s.size(), 2u);
    const InkPose pose = sw::scribeng::estimatePose(strokes);
    EXPECT_TRUE(std::isfinite(pose.slant) && std::isfinite(pose.rotation));
}

struct LevelRow {
    const char* name;
    std::vector<Stroke> strokes;
    bool level;  // expected at a share of 0.2
};

// Ink whose strokes are all level: none higher than the share of the ink's size (口 spans 400 pixels).
TEST(InkPose, LevelStrokesOnlyAreNoHigherThanTheirShare) {
    const LevelRow rows[] = {
        {"san", san(), true},
        {"san_tilted_strokes",
         {line(150, 100, 450, 160), line(180, 300, 420, 340), line(100, 500, 500, 500)},
         true},
        {"a_stroke_rising_past_the_share", {line(150, 100, 450, 190), line(100, 500, 500, 500)}, false},
        {"kuchi", kuchi(), false},
        {"a_lone_dash", {line(100, 300, 500, 310)}, true},
        {"no_strokes", {}, false},
        {"one_point", {Stroke{{7, 7}}}, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(sw::scribeng::levelStrokesOnly(row.strokes, 0.2), row.level) << row.name;
}

struct WidenRow {
    double factor;
    int32_t left, right;  // expected x of the first stroke's ends (口's left side stays at x = 100 otherwise)
};

TEST(InkPose, WidenedStretchesAboutTheInksCentre) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // 口 spans x 100..500 about x = 300; a factor that is 1, not positive or not finite changes nothing.
    for (const WidenRow& row :
         {WidenRow{1.5, 0, 0}, WidenRow{0.5, 200, 200}, WidenRow{1, 100, 100}, WidenRow{0, 100, 100},
          WidenRow{-2, 100, 100}, WidenRow{nan, 100, 100}, WidenRow{INFINITY, 100, 100}}) {
        SCOPED_TRACE(row.factor);
        const auto original = kuchi();
        const auto wide = sw::scribeng::widened(original, row.factor);
        ASSERT_EQ(wide.size(), original.size());
        EXPECT_EQ(wide[0].front().x, row.left);
        EXPECT_EQ(wide[0].back().x, row.right);
        for (size_t s = 0; s < wide.size(); ++s) {
            ASSERT_EQ(wide[s].size(), original[s].size());
            for (size_t k = 0; k < wide[s].size(); ++k) EXPECT_EQ(wide[s][k].y, original[s][k].y);
        }
    }
    const int32_t big = std::numeric_limits<int32_t>::max();
    const auto huge = sw::scribeng::widened(std::vector<Stroke>{{{-big, 0}, {big, 9}}}, 3);
    ASSERT_EQ(huge.size(), 1u);
    EXPECT_EQ(huge[0][0].x, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(huge[0][1].x, big);
}

// Pixel rounding is smoothed out of the ink the shape features see: a staircase of single pixels along a
// slant comes out as the slant, while points further apart than a pixel or so, and a stroke's ends, stay
// where they are; so for pixels scaled to several units (ink placed in Zinnia's space).
TEST(InkNormalise, PixelStepsAreSmoothedAndNothingElse) {
    const double third = 1.0 / 3;
    const struct {
        const char* name;
        sw::scribeng::Stroke stroke;
        std::vector<sw::scribeng::SmoothPoint> expected;
        double pixel = 1;
    } cases[] = {
        {"a staircase along a slant",
         {{0, 0}, {1, 0}, {1, 1}, {2, 1}, {2, 2}},
         {{0, 0}, {2 * third, third}, {4 * third, 2 * third}, {5 * third, 4 * third}, {2, 2}}},
        {"a pen resting on its pixels", {{5, 5}, {5, 5}, {6, 5}, {6, 5}}, {{5, 5}, {6, 5}}},
        {"a corner of points three pixels apart", {{0, 0}, {3, 0}, {3, 3}}, {{0, 0}, {3, 0}, {3, 3}}},
        {"one point", {{7, 8}}, {{7, 8}}},
        {"no point", {}, {}},
        {"a staircase of pixels 9 units wide",
         {{0, 0}, {9, 0}, {9, 9}, {18, 9}, {18, 18}},
         {{0, 0}, {6, 3}, {12, 6}, {15, 12}, {18, 18}},
         9},
        {"a corner of points three pixels of 9 units apart",
         {{0, 0}, {27, 0}, {27, 27}},
         {{0, 0}, {27, 0}, {27, 27}},
         9},
    };
    for (const auto& c : cases) {
        const auto smoothed = sw::scribeng::smoothedPixels(c.stroke, c.pixel);
        ASSERT_EQ(smoothed.size(), c.expected.size()) << c.name;
        for (size_t i = 0; i < smoothed.size(); ++i) {
            EXPECT_NEAR(smoothed[i].x, c.expected[i].x, 1e-9) << c.name << " point " << i;
            EXPECT_NEAR(smoothed[i].y, c.expected[i].y, 1e-9) << c.name << " point " << i;
        }
    }
}

}  // namespace
