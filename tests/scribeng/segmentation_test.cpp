#include "scribeng/segmentation.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace sw::scribeng {
void PrintTo(const CharRun& run, std::ostream* out) { *out << run.first << ".." << run.last; }
}  // namespace sw::scribeng

namespace {

using sw::scribeng::CharRun;
using Runs = std::vector<CharRun>;

struct RegroupRow {
    std::string name;
    Runs previous;
    CharRun forced;
    Runs want;
};

TEST(RegroupStrokes, ForcedRunBecomesOneCharacterOthersKept) {
    const std::vector<RegroupRow> rows{
        {"merge two", {{0, 1}, {2, 3}, {4, 5}}, {0, 3}, {{0, 3}, {4, 5}}},
        {"merge at the end", {{0, 1}, {2, 3}, {4, 5}}, {2, 5}, {{0, 1}, {2, 5}}},
        {"same run again", {{0, 1}, {2, 3}, {4, 5}}, {2, 3}, {{0, 1}, {2, 3}, {4, 5}}},
        {"cut out of one character", {{0, 5}}, {2, 3}, {{0, 1}, {2, 3}, {4, 5}}},
        {"across two characters", {{0, 2}, {3, 5}}, {2, 3}, {{0, 1}, {2, 3}, {4, 5}}},
        {"everything", {{0, 1}, {2, 3}, {4, 5}}, {0, 5}, {{0, 5}}},
        {"one stroke at the start", {{0, 2}, {3, 5}}, {0, 0}, {{0, 0}, {1, 2}, {3, 5}}},
    };
    for (const auto& row : rows) {
        const Runs got = sw::scribeng::regroupStrokes(row.previous, row.forced);
        EXPECT_EQ(got, row.want) << row.name;
        EXPECT_TRUE(sw::scribeng::isPartition(got, 6)) << row.name;
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
