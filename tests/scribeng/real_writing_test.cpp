// Recognition of real handwriting (people writing with a pen), through libscribeng.so as the recognition box
// loads it, beside plain Zinnia with Tegaki's Japanese model on the same files. The samples live beside the
// repository (../shared/data/handwriting) and are not part of it: the tests are skipped where they are
// absent. Floors are a margin below the measured figures (beside the rows).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine_fixture.h"
#include "evaluate.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSamples = SCRIBENG_REAL_DATA;

struct Row {
    const char* folder;
    double freeTop1;  // per cent, at least
    double guidedTop10;
    bool beatsPlain;  // free top-1 at least plain Zinnia's top-1
};

class RealWriting : public sw::scribeng::testing::EngineTest, public ::testing::WithParamInterface<Row> {};

// Every sample is one character written alone in its box: it must come back as one character (a dot, flick
// or hook inside it is no mark of its own), read right at least as often as the floor, and on kanji at least
// as often as plain Zinnia reads it.
TEST_P(RealWriting, LoneCharactersReadWholeAndRight) {
    const Row& row = GetParam();
    const fs::path folder = kSamples / row.folder;
    if (!fs::is_directory(folder)) GTEST_SKIP() << folder << " is absent";
    sw::scribeng::EvaluationOptions options;
    options.box = EngineRect{10, 10, 110, 110};  // the samples' writing box (README.md beside them)
    const auto figures = sw::scribeng::evaluateFolder(lib(), folder, options);
    ASSERT_TRUE(figures.has_value());
    ASSERT_GT(figures->singles, 0);
    EXPECT_EQ(figures->splits, 0);
    EXPECT_GE(figures->ofSingles(figures->freeTop1), row.freeTop1);
    EXPECT_GE(figures->ofSingles(figures->guidedTop10), row.guidedTop10);
    if (row.beatsPlain) {
        EXPECT_GE(figures->freeTop1, figures->plainTop1);
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, RealWriting,
                         ::testing::Values(Row{"kanji-learner1", 83, 89, true},     // 85.6 91.6, plain 83.6
                                           Row{"hiragana-writer1", 90, 96, true},   // 94.5 98.6, plain 45.2
                                           Row{"katakana-writer1", 78, 96, true}),  // 83.6 100, plain 5.5
                         [](const auto& info) {
                             std::string name = info.param.folder;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

struct LineSet {
    const char* name;
    int seed;
    int lines;  // per file: 1, or several rows or columns in one selection
    int count;  // files, the first of those the README's figures are measured on (80)
    const char* folders;
    double lineCharacters;  // per cent, at least
};

class RealLines : public sw::scribeng::testing::EngineTest, public ::testing::WithParamInterface<LineSet> {};

// Lines composed from the samples (compose_real_lines.py, fixed seeds): character accuracy of single lines,
// and of selections of two and three rows or columns read line by line.
TEST_P(RealLines, CharacterAccuracy) {
    const LineSet& set = GetParam();
    if (!fs::is_directory(kSamples / "kanji-learner1")) GTEST_SKIP() << kSamples << " is absent";
    const sw::scribeng::testing::TempFolder out(std::string("scribeng-real-lines-") + set.name + "-");
    std::string command = std::string("python3 ") + SCRIBENG_COMPOSE_LINES + " --out " + out.path().string() +
                          " --count " + std::to_string(set.count) + " --seed " + std::to_string(set.seed) +
                          " --lines " + std::to_string(set.lines);
    for (std::string folders = set.folders; !folders.empty();) {
        const auto space = folders.find(' ');
        command += " " + (kSamples / folders.substr(0, space)).string();
        folders = space == std::string::npos ? "" : folders.substr(space + 1);
    }
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    sw::scribeng::EvaluationOptions options;
    options.box = EngineRect{10, 10, 110, 110};
    const auto figures = sw::scribeng::evaluateFolder(lib(), out.path(), options);
    ASSERT_TRUE(figures.has_value());
    EXPECT_EQ(figures->lines, set.count);
    EXPECT_GE(figures->lineCharAccuracy(), set.lineCharacters);
}

constexpr const char* kAllFolders = "kanji-learner1 hiragana-writer1 katakana-writer1";

// Figures of the files tested (80 files each: 79.9, 91.5, 80.2, 79.7, 79.3 per cent).
INSTANTIATE_TEST_SUITE_P(Composed, RealLines,
                         ::testing::Values(LineSet{"kanji", 3, 1, 40, "kanji-learner1", 76},  // 79.1
                                           LineSet{"kana", 4, 1, 40, "hiragana-writer1 katakana-writer1",
                                                   89},                                         // 92.2
                                           LineSet{"mixed", 5, 1, 40, kAllFolders, 74},         // 77.4
                                           LineSet{"two_lines", 6, 2, 30, kAllFolders, 79},     // 83.6
                                           LineSet{"three_lines", 6, 3, 30, kAllFolders, 77}),  // 80.9
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
