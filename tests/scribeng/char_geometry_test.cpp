#include "scribeng/char_geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using sw::scribeng::Box;
using sw::scribeng::Direction;
using sw::scribeng::MarkKind;

// Boxes of strokes in a row or a column of 100-pixel cells, 140 pixels apart.
std::vector<Box> cells(int count, bool vertical, int strokesPerCell) {
    std::vector<Box> out;
    for (int i = 0; i < count; ++i) {
        for (int s = 0; s < strokesPerCell; ++s) {
            const int at = 140 * i + 20 * s;
            out.push_back(vertical ? Box{0, at, 100, at + 20} : Box{at, 0, at + 20, 100});
        }
    }
    return out;
}

TEST(FrameOfLine, DirectionAndSizeFromTheInk) {
    struct Row {
        std::string name;
        std::vector<Box> boxes;
        Direction want;
    };
    const std::vector<Row> rows{
        {"row of four", cells(4, false, 3), Direction::Horizontal},
        {"column of four", cells(4, true, 3), Direction::Vertical},
        {"column of two", cells(2, true, 2), Direction::Vertical},
        // A lone tall character (1, i) is no vertical line.
        {"one tall stroke", {{0, 0, 10, 100}}, Direction::Horizontal},
        {"i", {{0, 0, 10, 10}, {0, 30, 10, 100}}, Direction::Horizontal},
        {"nothing", {}, Direction::Horizontal},
    };
    for (const auto& row : rows) {
        const auto line = sw::scribeng::frameOfLine(row.boxes);
        EXPECT_EQ(line.direction, row.want) << row.name;
        EXPECT_GE(line.charSize, 1.0) << row.name;
        if (row.boxes.size() > 2) {
            EXPECT_NEAR(line.charSize, 100, 1) << row.name;
        }
    }
    // The recognition frame: a square as thick as the line, centred on the character along it.
    const auto column = sw::scribeng::frameOfLine(cells(3, true, 2));
    const Box frame = column.frameFor(column.extentOf(Box{10, 290, 90, 370}));
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.right, 100);
    EXPECT_EQ(frame.top, 280);
    EXPECT_EQ(frame.bottom, 380);
}

TEST(MarkKind, SizeAndPlaceInTheLine) {
    // Horizontal line from y 0 to 100, characters 100 pixels high.
    const auto row = sw::scribeng::frameOfLine(cells(4, false, 3));
    // Vertical line from x 0 to 100.
    const auto column = sw::scribeng::frameOfLine(cells(4, true, 3));
    struct Case {
        std::string name;
        const sw::scribeng::LineFrame& line;
        Box box;
        int strokes;
        MarkKind want;
    };
    // One character, 100 pixels: nothing to place a mark against.
    const auto lone = sw::scribeng::frameOfLine(cells(1, false, 3));
    const std::vector<Case> cases{
        {"full character", row, {0, 5, 90, 95}, 3, MarkKind::Full},
        {"dot in a lone character", lone, {80, 80, 95, 95}, 1, MarkKind::Full},
        {"small kana, low", row, {0, 45, 60, 95}, 1, MarkKind::Small},
        {"same size, high", row, {0, 5, 60, 55}, 1, MarkKind::Full},
        {"comma, low", row, {0, 80, 15, 95}, 1, MarkKind::Dot},
        {"dot, high", row, {0, 5, 15, 20}, 1, MarkKind::Full},
        {"long vowel, lying", row, {0, 48, 80, 53}, 1, MarkKind::LongVowel},
        {"long vowel of two strokes", row, {0, 48, 80, 53}, 2, MarkKind::None},
        {"small kana, right", column, {45, 0, 95, 60}, 1, MarkKind::Small},
        {"small kana size, left", column, {5, 0, 55, 60}, 1, MarkKind::Full},
        {"stop, right", column, {78, 0, 96, 18}, 1, MarkKind::Dot},
        {"long vowel, upright", column, {48, 0, 53, 80}, 1, MarkKind::LongVowel},
        {"long vowel, lying in a column", column, {10, 48, 90, 53}, 1, MarkKind::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<int>(sw::scribeng::markKindOf(c.line, c.line.extentOf(c.box), c.strokes)),
                  static_cast<int>(c.want))
            << c.name;
    }
}

// A small kana written right in a column of narrow characters (ゃくえ, し): it reaches further right than
// they do, so the ink's extent across is no measure of the line. The character size comes from the length of
// the characters and the band from where the full-size ones lie.
TEST(MarkKind, SmallKanaBesideNarrowCharacters) {
    struct Case {
        std::string name;
        std::vector<Box> line;
        size_t mark;  // index of the small kana's box
        double size;  // expected character size
        MarkKind want;
    };
    const std::vector<Case> cases{
        {"small kana first, two narrow",
         {{58, 34, 118, 89}, {56, 147, 80, 226}, {55, 256, 115, 336}},
         0,
         80,
         MarkKind::Small},
        {"small kana last, two narrow",
         {{56, 20, 80, 99}, {55, 129, 115, 209}, {58, 240, 118, 295}},
         2,
         80,
         MarkKind::Small},
        {"full size, as long as the others",
         {{40, 34, 118, 112}, {56, 147, 80, 226}, {55, 256, 115, 336}},
         0,
         80,
         MarkKind::Full},
    };
    for (const auto& c : cases) {
        const auto line = sw::scribeng::frameOfLine(c.line);
        ASSERT_EQ(line.direction, Direction::Vertical) << c.name;
        EXPECT_NEAR(line.charSize, c.size, 1) << c.name;
        EXPECT_EQ(static_cast<int>(sw::scribeng::markKindOf(line, line.extentOf(c.line[c.mark]), 3)),
                  static_cast<int>(c.want))
            << c.name;
    }
}

TEST(SmallForms, BothWaysForEveryPair) {
    const std::vector<std::pair<std::string, std::string>> pairs{
        {"ぁ", "あ"}, {"っ", "つ"}, {"ゃ", "や"}, {"ゅ", "ゆ"}, {"ょ", "よ"}, {"ゎ", "わ"},
        {"ァ", "ア"}, {"ッ", "ツ"}, {"ョ", "ヨ"}, {"ヵ", "カ"}, {"ヶ", "ケ"}};
    for (const auto& [small, full] : pairs) {
        const auto s = sw::scribeng::codeOfLabel(small);
        const auto f = sw::scribeng::codeOfLabel(full);
        ASSERT_TRUE(s && f) << small;
        EXPECT_EQ(sw::scribeng::smallFormOf(*f), s) << full;
        EXPECT_EQ(sw::scribeng::fullFormOf(*s), f) << small;
        EXPECT_EQ(sw::scribeng::smallFormOf(*s), std::nullopt) << small;
    }
    EXPECT_EQ(sw::scribeng::smallFormOf(*sw::scribeng::codeOfLabel("山")), std::nullopt);
    EXPECT_EQ(sw::scribeng::fullFormOf(*sw::scribeng::codeOfLabel("ー")), std::nullopt);
}

TEST(DotMark, LoopIsStopTickIsComma) {
    using sw::scribeng::Stroke;
    const std::vector<Stroke> loop{{{10, 0}, {0, 10}, {10, 20}, {20, 10}, {11, 1}}};
    const std::vector<Stroke> tick{{{0, 0}, {5, 6}, {10, 12}, {12, 16}}};
    const std::vector<Stroke> two{{{0, 0}, {1, 1}}, {{3, 3}, {4, 4}}};
    EXPECT_EQ(sw::scribeng::dotMarkOf(loop), sw::scribeng::kIdeographicStop);
    EXPECT_EQ(sw::scribeng::dotMarkOf(tick), sw::scribeng::kIdeographicComma);
    EXPECT_EQ(sw::scribeng::dotMarkOf(two), sw::scribeng::kIdeographicComma);
    EXPECT_EQ(sw::scribeng::dotMarkOf({}), sw::scribeng::kIdeographicComma);
}

}  // namespace
