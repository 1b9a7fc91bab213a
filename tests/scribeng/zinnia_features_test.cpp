// The engine's own Zinnia scorer against libzinnia's classify: the same scores, bit for bit, and the same
// ranking (equal scores included) for every class of each model the engine loads.
#include "scribeng/zinnia_features.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "hostile_ink.h"
#include "scribeng/zinnia_model.h"
#include "stroke_file.h"

namespace {

namespace fs = std::filesystem;
using sw::scribeng::Box;
using sw::scribeng::SpacePoint;
using sw::scribeng::Stroke;
using sw::scribeng::ZinniaCharacter;
using sw::scribeng::ZinniaFeatures;
using sw::scribeng::ZinniaModel;
using Placed = std::vector<std::vector<SpacePoint>>;

struct Row {
    std::string name;
    Placed strokes;  // in Zinnia's 1000 x 1000 space
};

// As the engine hands them to Zinnia: framed and reduced (zinnia_ink.h).
Placed placed(const std::vector<Stroke>& strokes) {
    return sw::scribeng::zinniaStrokesOf(strokes, sw::scribeng::boundsOf(strokes), Box{});
}

Placed fromHostile(const sw::scribeng::hostile::Strokes& in) {
    return placed(std::vector<Stroke>(in.begin(), in.end()));
}

std::vector<Stroke> spiral(int points, int turns) {
    std::vector<Stroke> out(1);
    for (int i = 0; i < points; ++i) {
        const double t = static_cast<double>(i) / points;
        out[0].push_back({static_cast<int32_t>(std::lround(400 * t * std::cos(2 * M_PI * turns * t))),
                          static_cast<int32_t>(std::lround(400 * t * std::sin(2 * M_PI * turns * t)))});
    }
    return out;
}

std::vector<Row> rows() {
    std::vector<Row> out;
    const auto addFile = [&](const fs::path& file) {
        auto read = sw::scribeng::readStrokeFile(file);
        if (read)
            out.push_back({file.parent_path().filename().string() + "/" + file.filename().string(),
                           placed({read->strokes.begin(), read->strokes.end()})});
    };
    char name[32];
    for (int i = 1; i <= 52; i += 3) {
        std::snprintf(name, sizeof name, "single_%02d.txt", i);
        addFile(fs::path(SCRIBENG_TEST_DATA) / name);
    }
    addFile(fs::path(SCRIBENG_TEST_DATA) / "line6_a.txt");  // a whole line as one character: many strokes
    // Real handwriting where the samples are present (they live beside the repository).
    for (const char* folder : {"kanji-learner1", "hiragana-writer1", "katakana-writer1"}) {
        for (int i = 1; i <= 70; i += 23) {
            std::snprintf(name, sizeof name, "%04d.txt", i);
            const fs::path file = fs::path(SCRIBENG_REAL_DATA) / folder / name;
            if (fs::exists(file)) addFile(file);
        }
    }
    out.push_back({"one point", {{{500, 500}}}});
    out.push_back({"two identical points", {{{300, 700}, {300, 700}}}});
    out.push_back({"closed loop back to its start", {{{200, 200}, {800, 200}, {800, 800}, {200, 200}}}});
    out.push_back({"points outside the space", {{{-8000, 4000}, {8000, -8000}}, {{0, 0}}}});
    out.push_back({"doubling back, 3000 points", fromHostile(sw::scribeng::hostile::doublingBack(3000))});
    out.push_back({"scribble of 40 strokes", fromHostile(sw::scribeng::hostile::scribble(40))});
    // Strokes from 100 on have vertex features where moves of earlier strokes have theirs.
    out.push_back({"120 dots", fromHostile(sw::scribeng::hostile::dots(120))});
    // Piece 50 of a stroke has the indexes of piece 0 of the next: which of the two counts is Zinnia's sort's
    // choice.
    auto spiralThenBar = spiral(3000, 12);
    spiralThenBar.push_back({{-400, 450}, {400, 450}});
    out.push_back({"3000-point spiral, then a bar", placed(spiralThenBar)});
    return out;
}

ZinniaCharacter characterOf(const Placed& strokes) {
    ZinniaCharacter character(sw::scribeng::kZinniaSpace, sw::scribeng::kZinniaSpace);
    for (size_t id = 0; id < strokes.size(); ++id) {
        for (const auto& p : strokes[id]) character.add(id, p.x, p.y);
    }
    return character;
}

class ZinniaScores : public ::testing::TestWithParam<const char*> {};

TEST_P(ZinniaScores, EqualZinniasOwnForEveryClassAndCharacter) {
    const fs::path file = fs::path(SCRIBENG_MODEL_DIR) / GetParam();
    ZinniaModel model;
    ASSERT_TRUE(model.open(file)) << file;
    const size_t count = model.classCount();
    const auto all = rows();
    ASSERT_GE(all.size(), 27u);  // without the real samples
    int withEqualIndexes = 0;
    for (const auto& row : all) {
        const auto vector = sw::scribeng::zinniaFeatureVector(row.strokes, 1000, 1000);
        for (size_t i = 1; i < vector.size(); ++i) {
            if (vector[i].index == vector[i - 1].index) {
                ++withEqualIndexes;
                break;
            }
        }
        const ZinniaCharacter character = characterOf(row.strokes);
        const auto expected = model.classify(character, count);
        const ZinniaFeatures features(row.strokes, sw::scribeng::kZinniaSpace, sw::scribeng::kZinniaSpace);
        ASSERT_TRUE(features.valid()) << row.name;
        const auto got = model.classify(features, count);
        ASSERT_EQ(got.size(), expected.size()) << row.name;
        int wrong = 0;
        for (size_t i = 0; i < got.size() && wrong < 3; ++i) {
            if (got[i].label == expected[i].label && got[i].score == expected[i].score) continue;
            ADD_FAILURE() << row.name << " rank " << i << ": " << got[i].label << " " << got[i].score
                          << ", Zinnia " << expected[i].label << " " << expected[i].score;
            ++wrong;
        }
    }
    EXPECT_GE(withEqualIndexes, 1);  // the spiral's piece 50 and the bar's piece 0
    // Where Zinnia gives no result, neither does the engine.
    for (const auto& [name, width, strokes] : {std::tuple<const char*, size_t, Placed>{"no stroke", 1000, {}},
                                               {"an empty stroke", 1000, {{{1, 1}}, {}, {{5, 5}}}},
                                               {"zero width", 0, {{{1, 1}, {5, 5}}}}}) {
        ZinniaCharacter character(width, 1000);
        for (size_t id = 0; id < strokes.size(); ++id) {
            for (const auto& p : strokes[id]) character.add(id, p.x, p.y);
        }
        EXPECT_TRUE(model.classify(character, 10).empty()) << name;
        const ZinniaFeatures features(strokes, width, 1000);
        EXPECT_FALSE(features.valid()) << name;
        EXPECT_TRUE(model.classify(features, 10).empty()) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(EachModel, ZinniaScores,
                         ::testing::Values("handwriting-ja.model", "slatewise-kanji.model",
                                           "slatewise-supplement.model"));

// A class's weights come from a model file: a list cut short, without its end mark, with indexes far beyond
// the character's features or with wrong places of its sections is read within its bytes.
TEST(ZinniaFeatures, DotReadsOnlyTheGivenNodes) {
    using sw::scribeng::ClassWeights;
    const Placed strokes = {{{100, 100}, {900, 900}}, {{100, 900}, {900, 100}}};
    const ZinniaFeatures features(strokes, 1000, 1000);
    ASSERT_TRUE(features.valid());
    const auto nodes = [](std::vector<std::pair<int32_t, float>> list) {
        std::vector<char> bytes(list.size() * 8);
        for (size_t i = 0; i < list.size(); ++i) {
            std::memcpy(bytes.data() + 8 * i, &list[i].first, 4);
            std::memcpy(bytes.data() + 8 * i + 4, &list[i].second, 4);
        }
        return bytes;
    };
    // Piece 0 of stroke 0 (distance), of stroke 1 (distance), the move to stroke 1 (distance), the count.
    const auto whole = nodes({{1, 1.0F}, {1001, 2.0F}, {100001, 0.5F}, {2000000, 0.25F}, {-1, 0.0F}});
    const double expected = features.dot({whole, 0, 0});
    EXPECT_GT(expected, 0);
    EXPECT_EQ(features.dot({whole, 2, 3}), expected);
    auto unended = whole;
    unended.resize(unended.size() - 8);
    auto ragged = unended;
    ragged.resize(ragged.size() + 5, '\xFF');
    const auto far = nodes({{1, 1.0F},
                            {1001, 2.0F},
                            {90000, 7.0F},
                            {100001, 0.5F},
                            {150000, 3.0F},
                            {2000000, 0.25F},
                            {2100000000, 9.0F}});
    const struct {
        const char* name;
        ClassWeights weights;
        double expected;
    } rows[] = {
        {"no end mark", {unended, 2, 3}, expected},
        {"a node cut short", {ragged, 2, 3}, expected},
        {"indexes beyond the features", {far, 3, 5}, expected},
        {"places past the end",
         {whole, 99, 99},
         features.dot({nodes({{1, 1.0F}, {1001, 2.0F}, {-1, 0.0F}}), 0, 0})},
        {"no nodes", {{}, 0, 0}, 0.0},
    };
    for (const auto& row : rows) EXPECT_EQ(features.dot(row.weights), row.expected) << row.name;
    EXPECT_EQ(ZinniaFeatures().dot({whole, 0, 0}), 0.0);
}

}  // namespace
