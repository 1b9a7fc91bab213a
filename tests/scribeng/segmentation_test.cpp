#include "scribeng/segmentation.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace sw::scribeng {
void PrintTo(const CharRun& run, std::ostream* out) { *out << run.first << ".." << run.last; }
}  // namespace sw::scribeng

namespace {

using sw::scribeng::Box;
using sw::scribeng::CharRun;
using Runs = std::vector<CharRun>;

// Strokes as horizontal extents on a line 100 pixels high (top 0, bottom 100).
std::vector<Box> strokes(std::initializer_list<std::pair<int32_t, int32_t>> extents) {
    std::vector<Box> out;
    for (auto [left, right] : extents) out.push_back({left, 0, right, 100});
    return out;
}

struct SegmentRow {
    std::string name;
    std::vector<Box> boxes;
    Runs want;
};

TEST(SegmentStrokes, GroupsByHorizontalExtents) {
    const std::vector<SegmentRow> rows{
        {"nothing", {}, {}},
        {"one stroke", strokes({{0, 10}}), {{0, 0}}},
        {"three separate characters",
         strokes({{0, 90}, {10, 80}, {150, 240}, {300, 390}, {320, 330}}),
         {{0, 1}, {2, 2}, {3, 4}}},
        // Two parts close together (like い) make one character; the same parts far apart make two.
        {"parts of one character", strokes({{0, 20}, {60, 90}}), {{0, 1}}},
        {"two narrow characters", strokes({{0, 20}, {100, 120}}), {{0, 0}, {1, 1}}},
        // Three close vertical strokes (川) are one character; a fourth would make it too wide.
        {"three strokes", strokes({{0, 10}, {40, 50}, {80, 90}}), {{0, 2}}},
        {"two characters of three strokes",
         strokes({{0, 10}, {40, 50}, {80, 90}, {150, 160}, {190, 200}, {230, 240}}),
         {{0, 2}, {3, 5}}},
        // A stroke written back over an earlier character after another one started is its own run: runs
        // are consecutive strokes.
        {"back to the left", strokes({{0, 90}, {200, 290}, {10, 80}}), {{0, 0}, {1, 1}, {2, 2}}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(sw::scribeng::segmentStrokes(row.boxes), row.want) << row.name;
        EXPECT_TRUE(sw::scribeng::isPartition(row.want, static_cast<int32_t>(row.boxes.size()))) << row.name;
    }
}

struct RegroupRow {
    std::string name;
    Runs previous;
    CharRun forced;
    Runs want;
};

TEST(RegroupStrokes, ForcedRunBecomesOneCharacterOthersKept) {
    // Six strokes far apart: free segmentation would make each its own character.
    const auto boxes = strokes({{0, 90}, {200, 290}, {400, 490}, {600, 690}, {800, 890}, {1000, 1090}});
    const std::vector<RegroupRow> rows{
        {"merge two", {{0, 1}, {2, 3}, {4, 5}}, {0, 3}, {{0, 3}, {4, 5}}},
        {"merge at the end", {{0, 1}, {2, 3}, {4, 5}}, {2, 5}, {{0, 1}, {2, 5}}},
        {"same run again", {{0, 1}, {2, 3}, {4, 5}}, {2, 3}, {{0, 1}, {2, 3}, {4, 5}}},
        {"cut out of one character", {{0, 5}}, {2, 3}, {{0, 1}, {2, 3}, {4, 5}}},
        {"across two characters", {{0, 2}, {3, 5}}, {2, 3}, {{0, 1}, {2, 3}, {4, 5}}},
        {"everything", {{0, 1}, {2, 3}, {4, 5}}, {0, 5}, {{0, 5}}},
        {"no earlier result", {}, {1, 2}, {{0, 0}, {1, 2}, {3, 3}, {4, 4}, {5, 5}}},
        {"earlier result of other strokes", {{0, 3}}, {4, 5}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 5}}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(sw::scribeng::regroupStrokes(boxes, row.previous, row.forced), row.want) << row.name;
    }
}

TEST(IsPartition, RejectsGapsOverlapsAndShortCover) {
    EXPECT_TRUE(sw::scribeng::isPartition(Runs{}, 0));
    EXPECT_TRUE(sw::scribeng::isPartition(Runs{{0, 1}, {2, 2}}, 3));
    EXPECT_FALSE(sw::scribeng::isPartition(Runs{{0, 1}, {3, 3}}, 4));
    EXPECT_FALSE(sw::scribeng::isPartition(Runs{{0, 1}, {1, 2}}, 3));
    EXPECT_FALSE(sw::scribeng::isPartition(Runs{{0, 1}}, 3));
    EXPECT_FALSE(sw::scribeng::isPartition(Runs{{0, 1}, {2, 1}}, 2));
}

}  // namespace
