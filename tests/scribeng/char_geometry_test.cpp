#include "scribeng/char_geometry.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
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

// Boxes of strokes of `count` characters 80 wide and 100 high in a row, 75 pixels apart (each touches the
// next), then `apart` more 160 pixels apart.
std::vector<Box> touching(int count, int apart) {
    std::vector<Box> out;
    for (int i = 0; i < count + apart; ++i) {
        const int at = i < count ? 75 * i : 75 * count + 160 * (i - count + 1);
        out.insert(out.end(), {{at, 10, at + 80, 20}, {at + 35, 0, at + 45, 100}, {at, 80, at + 80, 90}});
    }
    return out;
}

// Boxes of `count` characters `length` long and 100 high in a row, 140 pixels apart, every other one 20
// pixels lower.
std::vector<Box> wandering(int count, int length = 100) {
    std::vector<Box> out;
    for (int i = 0; i < count; ++i) {
        const int at = 140 * i, low = 20 * (i % 2), mid = at + length / 2;
        out.insert(out.end(), {{at, low, at + length, low + 10}, {mid - 5, low, mid + 5, low + 100}});
    }
    return out;
}

TEST(FrameOfLine, DirectionAndSizeFromTheInk) {
    struct Row {
        std::string name;
        std::vector<Box> boxes;
        Direction want;
        double size = 100;  // the character size, checked for more than two boxes or when given
    };
    const std::vector<Row> rows{
        {"row of four", cells(4, false, 3), Direction::Horizontal},
        {"column of four", cells(4, true, 3), Direction::Vertical},
        {"column of two", cells(2, true, 2), Direction::Vertical},
        // A lone tall character (1, i) is no vertical line.
        {"one tall stroke", {{0, 0, 10, 100}}, Direction::Horizontal},
        {"i", {{0, 0, 10, 10}, {0, 30, 10, 100}}, Direction::Horizontal},
        // A wide stem (lead-in and exit) with its dot written last, above it: no column written upwards.
        {"wide i dotted last", {{0, 30, 40, 100}, {15, 0, 25, 10}}, Direction::Horizontal},
        {"nothing", {}, Direction::Horizontal},
        // Characters written so close that their ink touches make one block of several characters' length: it
        // says nothing of one character's length.
        {"three touching, one apart", touching(3, 1), Direction::Horizontal},
        // A pair touching (1.75 thicknesses) beside a character apart: the pair is two characters, not one.
        {"two touching, one apart",
         {{0, 0, 90, 100}, {85, 0, 175, 100}, {320, 0, 410, 100}},
         Direction::Horizontal},
        // Two such pairs and nothing else: the thickness says the size.
        {"two touching pairs",
         {{0, 0, 90, 100}, {85, 0, 175, 100}, {320, 0, 410, 100}, {405, 0, 495, 100}},
         Direction::Horizontal},
        // A long block beside a short piece is one character with its dot (ら lying in a row): its length.
        {"long block beside a short piece", {{0, 0, 30, 100}, {50, 0, 230, 100}}, Direction::Horizontal, 180},
        // A single block may be one wide character (a cursive m), a long block beside a dot a tall one (an
        // i).
        {"one wide block", {{0, 0, 300, 100}, {100, 10, 200, 90}}, Direction::Horizontal, 300},
        {"tall block beside a dot", {{0, 0, 10, 1}, {0, 10, 9, 33}}, Direction::Vertical, 23},
        // Characters wandering across the line make its ink thicker than any of them: their own width counts.
        {"row of four wandering", wandering(4), Direction::Horizontal},
        // ... also where they are a little shorter along the line than its ink is thick.
        {"row of four short ones wandering", wandering(4, 75), Direction::Horizontal},
    };
    for (const auto& row : rows) {
        const auto line = sw::scribeng::frameOfLine(row.boxes);
        EXPECT_EQ(line.direction, row.want) << row.name;
        EXPECT_GE(line.charSize, 1.0) << row.name;
        if (row.boxes.size() > 2 || row.size != 100) {
            EXPECT_NEAR(line.charSize, row.size, 1) << row.name;
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

// A character of three strokes (一 over 丨 over 一) in the 100-pixel cell at (x, y).
void character(std::vector<Box>& out, int x, int y) {
    out.push_back({x + 10, y + 10, x + 90, y + 20});
    out.push_back({x + 45, y + 10, x + 55, y + 90});
    out.push_back({x + 10, y + 80, x + 90, y + 90});
}

// Cells of a layout written in the order given: {column, row} on a 140-pixel grid.
std::vector<Box> written(std::initializer_list<std::pair<int, int>> cells) {
    std::vector<Box> out;
    for (auto [column, row] : cells) character(out, 140 * column, 140 * row);
    return out;
}

// Lines of a selection: found from the boxes, numbered in reading order (rows top to bottom, columns right to
// left), with the writing order deciding a grid; one line wherever a single line explains the ink.
TEST(LinesOf, RowsAndColumnsInReadingOrder) {
    struct Row {
        std::string name;
        std::vector<Box> boxes;
        int lines;
        Direction direction;
        std::vector<int> lineOfCell;  // per character (three strokes each); empty: not checked
    };
    std::vector<Box> tall = written({{0, 0}, {2, 0}});  // a character as tall as two rows, in a row
    tall.insert(tall.begin() + 3, {{150, -20, 240, 130}, {185, 130, 200, 230}});
    // A column ending in a character whose lower part falls apart into dots wider than the column (忘).
    std::vector<Box> apart = written({{0, 0}, {0, 1}});
    apart.insert(apart.end(), {{30, 290, 70, 300},
                               {20, 300, 80, 330},
                               {-20, 345, 0, 375},
                               {30, 340, 50, 370},
                               {70, 345, 90, 375},
                               {110, 340, 125, 360}});
    std::vector<Box> narrow;  // ｌ１ｌ１: one upright stroke each
    for (int i = 0; i < 4; ++i) narrow.push_back({40 * i, 0, 40 * i + 8, 100});
    // Rows 80 thick written 8 apart: another writer's lines nearly meet.
    std::vector<Box> close;
    for (int i = 0; i < 6; ++i) character(close, 140 * (i % 3), i < 3 ? 0 : 88);
    // A second row of 一 and a flat character under a dot: 一 is more than twice as long as its row is thick.
    std::vector<Box> flat = written({{0, 0}, {1, 0}, {2, 0}});
    flat.insert(flat.end(), {{0, 180, 75, 185}, {120, 170, 200, 200}, {205, 165, 215, 175}});
    // Another writer's column 二さ三 beside フ: every stroke of the column is a block of its own, each
    // shorter than half the column is thick.
    const std::vector<Box> flatColumn{{215, 0, 285, 5},     {205, 30, 295, 35},   {230, 150, 270, 165},
                                      {245, 140, 255, 190}, {220, 290, 280, 295}, {225, 310, 275, 315},
                                      {205, 330, 295, 335}, {0, 0, 80, 70}};
    // Two tight characters in a row, under them a row of one character and pieces of others.
    const std::vector<Box> tightRows{{0, 0, 100, 100},     {105, 10, 160, 90},   {0, 200, 90, 290},
                                     {120, 210, 150, 280}, {170, 200, 190, 290}, {205, 230, 220, 260},
                                     {235, 210, 260, 280}};
    // ふ: its upper stroke a band of its own close over three pieces spanning more than twice their band.
    const std::vector<Box> fu{{100, 0, 220, 60}, {0, 80, 25, 120}, {60, 80, 170, 226}, {270, 100, 330, 150}};
    std::vector<Box> late = written({{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}});
    late.push_back({300, 70, 310, 80});  // a dot added to the first row after the second
    const std::vector<Row> rows{
        {"two rows",
         written({{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}),
         2,
         Direction::Horizontal,
         {0, 0, 0, 1, 1, 1}},
        {"three columns, right to left",
         written({{2, 0}, {2, 1}, {1, 0}, {1, 1}, {1, 2}, {0, 0}, {0, 1}}),
         3,
         Direction::Vertical,
         {0, 0, 1, 1, 1, 2, 2}},
        {"a line of one character",
         written({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}}),
         2,
         Direction::Horizontal,
         {0, 0, 0, 0, 1}},
        {"grid written row by row",
         written({{0, 0}, {1, 0}, {0, 1}, {1, 1}}),
         2,
         Direction::Horizontal,
         {0, 0, 1, 1}},
        {"grid written column by column",
         written({{1, 0}, {1, 1}, {0, 0}, {0, 1}}),
         2,
         Direction::Vertical,
         {0, 0, 1, 1}},
        {"rows close together", close, 2, Direction::Horizontal, {0, 0, 0, 1, 1, 1}},
        {"a row of flat characters under a row", flat, 2, Direction::Horizontal, {0, 0, 0}},
        {"rows with wide gaps",
         written({{0, 0}, {4, 0}, {9, 0}, {0, 1}, {5, 1}}),
         2,
         Direction::Horizontal,
         {0, 0, 0, 1, 1}},
        {"a column of flat strokes beside a character", flatColumn, 2, Direction::Vertical, {}},
        {"tight rows of pieces", tightRows, 2, Direction::Horizontal, {}},
        {"a character in bands close together", fu, 1, Direction::Horizontal, {}},
        {"a row", written({{0, 0}, {1, 0}, {2, 0}, {3, 0}}), 1, Direction::Horizontal, {}},
        {"a column", written({{0, 0}, {0, 1}, {0, 2}, {0, 3}}), 1, Direction::Horizontal, {}},
        {"a row with wide gaps", written({{0, 0}, {5, 0}, {11, 0}}), 1, Direction::Horizontal, {}},
        {"a tall character in a row", tall, 1, Direction::Horizontal, {}},
        {"a character falling apart across a column", apart, 1, Direction::Horizontal, {}},
        {"a row of narrow characters", narrow, 1, Direction::Horizontal, {}},
        // 温 written 氵 first, then 日 over 皿: its rows of parts are visited back and forth.
        {"a character written back and forth across its parts",
         {{26, 30, 38, 42},
          {24, 56, 39, 63},
          {28, 74, 43, 88},
          {53, 26, 54, 43},
          {54, 25, 74, 43},
          {53, 35, 73, 36},
          {55, 43, 72, 44},
          {49, 57, 51, 77},
          {50, 55, 83, 78},
          {61, 56, 62, 75},
          {72, 55, 72, 74},
          {45, 75, 96, 77}},
         1,
         Direction::Horizontal,
         {}},
        {"one character", written({{0, 0}}), 1, Direction::Horizontal, {}},
        {"nothing", {}, 1, Direction::Horizontal, {}},
    };
    for (const auto& row : rows) {
        const auto layout = sw::scribeng::linesOf(row.boxes);
        EXPECT_EQ(layout.count, row.lines) << row.name;
        ASSERT_EQ(layout.lineOf.size(), row.boxes.size()) << row.name;
        if (row.lines > 1) {
            EXPECT_EQ(layout.direction, row.direction) << row.name;
        }
        for (size_t c = 0; c < row.lineOfCell.size(); ++c) {
            for (size_t s = 0; s < 3; ++s) {
                EXPECT_EQ(layout.lineOf[3 * c + s], row.lineOfCell[c]) << row.name << c;
            }
        }
    }
    // A stroke added to a line after the next one was written belongs to its line.
    const auto layout = sw::scribeng::linesOf(late);
    ASSERT_EQ(layout.count, 2);
    EXPECT_EQ(layout.lineOf.back(), 0);
    EXPECT_EQ(layout.lineOf[late.size() - 2], 1);
}

// Boxes moved down by `dy` and grown `scale` times.
std::vector<Box> placed(std::vector<Box> boxes, int dy, double scale = 1.0) {
    for (auto& b : boxes) {
        b = {static_cast<int>(b.left * scale), static_cast<int>(b.top * scale) + dy,
             static_cast<int>(b.right * scale), static_cast<int>(b.bottom * scale) + dy};
    }
    return boxes;
}

// The frames of a layout's lines: a line's blocks say no more of its character size than the other lines'
// characters allow, its thickness always does.
TEST(FramesOfLines, SizeBoundedByTheOtherLines) {
    struct Row {
        std::string name;
        std::vector<std::vector<Box>> lines;  // rows, in order
        std::vector<double> sizes;
    };
    const std::vector<Row> rows{
        // Three characters touching make one block 230 long in a row 100 thick.
        {"touching characters under a row apart",
         {cells(3, false, 3), placed(touching(3, 0), 150)},
         {100, 110}},
        {"a row apart under touching characters",
         {touching(3, 0), placed(cells(3, false, 3), 150)},
         {110, 100}},
        {"a row of larger characters",
         {cells(3, false, 3), placed(cells(3, false, 3), 150, 1.3)},
         {100, 130}},
        {"one row of touching characters", {touching(3, 0)}, {230}},
    };
    for (const auto& row : rows) {
        sw::scribeng::LineLayout layout{Direction::Horizontal, static_cast<int32_t>(row.lines.size()), {}};
        std::vector<Box> boxes;
        for (size_t l = 0; l < row.lines.size(); ++l) {
            boxes.insert(boxes.end(), row.lines[l].begin(), row.lines[l].end());
            layout.lineOf.insert(layout.lineOf.end(), row.lines[l].size(), static_cast<int32_t>(l));
        }
        const auto frames = sw::scribeng::framesOfLines(boxes, layout);
        ASSERT_EQ(frames.size(), row.sizes.size()) << row.name;
        for (size_t l = 0; l < frames.size(); ++l)
            EXPECT_NEAR(frames[l].charSize, row.sizes[l], 1) << row.name << l;
    }
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
        {"small kana of four strokes, low", row, {0, 45, 60, 95}, 4, MarkKind::Small},
        // A kanji drawn small and low, or pieces of two characters: no small kana has that many strokes.
        {"five strokes, small and low", row, {0, 45, 60, 95}, 5, MarkKind::None},
        {"five strokes, small and right", column, {45, 0, 95, 60}, 5, MarkKind::None},
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

// Ink the models read as ＝: ＝ only for two strokes of about equal length, else what the strokes are.
TEST(EqualsSign, NeedsTwoStrokesOfEqualLength) {
    using sw::scribeng::Stroke;
    const struct {
        std::string name;
        std::vector<Stroke> strokes;
        std::optional<sw::scribeng::CharCode> want;
    } rows[]{
        {"equal lying strokes", {{{0, 0}, {100, 2}}, {{4, 40}, {98, 41}}}, sw::scribeng::kEqualsSign},
        {"equal upright strokes", {{{0, 0}, {2, 100}}, {{40, 3}, {41, 99}}}, sw::scribeng::kEqualsSign},
        {"short upper stroke", {{{20, 0}, {80, 2}}, {{0, 40}, {100, 41}}}, sw::scribeng::kKanjiTwo},
        {"upper stroke 0.8 of the lower",
         {{{10, 0}, {90, 2}}, {{0, 40}, {100, 41}}},
         sw::scribeng::kKanjiTwo},
        {"joined in one stroke", {{{20, 0}, {80, 2}, {0, 40}, {100, 41}}}, sw::scribeng::kKanjiTwo},
        {"three strokes",
         {{{20, 0}, {80, 0}}, {{30, 30}, {70, 30}}, {{0, 60}, {100, 60}}},
         sw::scribeng::kKanjiThree},
        {"four strokes",
         {{{0, 0}, {9, 0}}, {{0, 3}, {9, 3}}, {{0, 6}, {9, 6}}, {{0, 9}, {9, 9}}},
         std::nullopt},
        {"two taps", {{{5, 5}}, {{5, 9}}}, sw::scribeng::kKanjiTwo},
        {"nothing", {}, std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(sw::scribeng::equalsSignReading(row.strokes), row.want) << row.name;
}

}  // namespace
