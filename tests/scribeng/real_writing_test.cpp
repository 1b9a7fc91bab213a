// Recognition of real handwriting (people writing with a pen), through libscribeng.so as the recognition box
// loads it, beside plain Zinnia with Tegaki's Japanese model on the same files. The samples live beside the
// repository (../shared/data/handwriting) and are not part of it: the tests are skipped where they are
// absent. Floors are a margin below the measured figures (beside the rows).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "engine_fixture.h"
#include "evaluate.h"

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
                         ::testing::Values(Row{"kanji-learner1", 85, 97, true},     // 87.6 99.2, plain 78.8
                                           Row{"hiragana-writer1", 92, 96, true},   // 94.5 98.6, plain 45.2
                                           Row{"katakana-writer1", 82, 97, true}),  // 84.9 100, plain 5.5
                         [](const auto& info) {
                             std::string name = info.param.folder;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
