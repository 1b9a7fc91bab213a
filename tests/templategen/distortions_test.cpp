// The distorted shapes the template generator adds for kana.
#include "distortions.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using namespace sw::templategen;
using sw::modelgen::Cubic;
using sw::modelgen::Point;
using sw::modelgen::Subpath;

// A bar along the top and an arch along the bottom; the control points' box is 20-80 both ways.
const std::vector<Subpath> kBarAndArch = {
    {Cubic{{20, 20}, {40, 20}, {60, 20}, {80, 20}}},
    {Cubic{{20, 80}, {40, 60}, {60, 60}, {80, 80}}},
};

TEST(Distortions, MovePointsAsNamed) {
    const struct {
        const char* name;
        Distortion distortion;
        size_t stroke;
        int point;  // of the stroke's cubic: 0 start, 1 and 2 inner control points, 3 end
        Point expected;
    } rows[] = {
        {"a forward slant moves the top right", Distortion::SlantedForward, 0, 0, {27.5, 20}},
        {"and the bottom left", Distortion::SlantedForward, 1, 0, {12.5, 80}},
        {"a backward slant moves the top left", Distortion::SlantedBack, 0, 0, {12.5, 20}},
        {"turned left, the bar's right end rises", Distortion::TurnedLeft, 0, 3, {74.335, 15.247}},
        {"turned right, it sinks", Distortion::TurnedRight, 0, 3, {84.753, 25.665}},
        {"narrower about the middle", Distortion::Narrower, 0, 0, {26.6, 20}},
        {"wider about the middle", Distortion::Wider, 0, 0, {13.4, 20}},
        {"spread: the bar moves up", Distortion::Spread, 0, 0, {20, 12.5}},
        {"spread: the arch moves down", Distortion::Spread, 1, 3, {80, 85}},
        {"gathered: the bar moves down", Distortion::Gathered, 0, 0, {20, 27.5}},
        {"rounder: the arch bulges further", Distortion::Rounder, 1, 1, {40, 51}},
        {"rounder: its ends stay", Distortion::Rounder, 1, 3, {80, 80}},
        {"rounder: a straight bar stays straight", Distortion::Rounder, 0, 2, {60, 20}},
        {"flatter: the arch bulges less", Distortion::Flatter, 1, 2, {60, 69}},
    };
    for (const auto& row : rows) {
        const auto out = distorted(kBarAndArch, row.distortion);
        ASSERT_EQ(out.size(), kBarAndArch.size()) << row.name;
        ASSERT_EQ(out[row.stroke].size(), 1u) << row.name;
        const Cubic& c = out[row.stroke].front();
        const Point p = std::array{c.p0, c.p1, c.p2, c.p3}[row.point];
        EXPECT_NEAR(p.x, row.expected.x, 1e-3) << row.name;
        EXPECT_NEAR(p.y, row.expected.y, 1e-3) << row.name;
    }
}

TEST(Distortions, KanaAreTheHiraganaAndKatakana) {
    const struct {
        char32_t label;
        bool kana;
    } rows[] = {
        {U'ぁ', true},  {U'す', true},  {U'ゖ', true},  {U'ァ', true}, {U'リ', true},  {U'ヺ', true},
        {U'ー', false}, {U'゛', false}, {U'・', false}, {U'ｱ', false}, {U'木', false}, {U'ａ', false},
    };
    for (const auto& row : rows) EXPECT_EQ(isKana(row.label), row.kana) << static_cast<uint32_t>(row.label);
}

}  // namespace
