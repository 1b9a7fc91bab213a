#include "kanji_model.h"

#include <gtest/gtest.h>
#include <zinnia.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <memory>
#include <numeric>
#include <optional>
#include <set>
#include <sstream>

#include "kanjivg_glyphs.h"
#include "modelgen_paths.h"

namespace sw::modelgen {
namespace {

using test::kanjiVgGlyphs;

std::string text(const IntInk& ink) { return zinniaSexp("x", ink); }

std::vector<std::string> labelsOf(const std::string& textModel) {
    std::vector<std::string> out;
    std::istringstream in(textModel);
    for (std::string line; std::getline(in, line);) out.push_back(line.substr(0, line.find(' ')));
    return out;
}

// Look-alike groups of 30 kanji, so that each class has hard negatives among the others.
constexpr std::u32string_view kSmallSet = U"土士工干千王玉主日目白百田由甲申人入八大太犬天夫未末本木休体";

KanjiModelOptions smallOptions(int processes) {
    KanjiModelOptions options;
    options.variations = 10;
    options.neighbours = 29;  // every other class of the small set
    options.negativesPerNeighbour = 3;
    options.processes = processes;
    return options;
}

class SmallKanjiModel : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        s_glyphs = new std::vector<Glyph>(kanjiVgGlyphs(kSmallSet));
        s_targets = new std::vector<size_t>(s_glyphs->size());
        std::iota(s_targets->begin(), s_targets->end(), size_t{0});
        std::ostringstream out;
        std::string error;
        s_ok = trainKanjiModel(*s_glyphs, *s_targets, {}, smallOptions(2),
                               s_dir->filePath("work").toStdString(), out, &error);
        s_error = error;
        s_text = out.str();
    }
    static void TearDownTestSuite() {
        delete s_glyphs;
        delete s_targets;
        delete s_dir;
    }

    static inline QTemporaryDir* s_dir = nullptr;
    static inline std::vector<Glyph>* s_glyphs = nullptr;
    static inline std::vector<size_t>* s_targets = nullptr;
    static inline bool s_ok = false;
    static inline std::string s_error;
    static inline std::string s_text;
};

TEST_F(SmallKanjiModel, HasOneLinePerTargetInOrderAndLeavesNoScratchFiles) {
    ASSERT_TRUE(s_ok) << s_error;
    std::vector<std::string> expected;
    for (size_t t : *s_targets) expected.push_back(toUtf8((*s_glyphs)[t].label));
    EXPECT_EQ(labelsOf(s_text), expected);
    EXPECT_FALSE(QFileInfo::exists(s_dir->filePath("work")));
}

// Zinnia's solver draws from rand(): each class is seeded on its own, so the split into processes and the
// order of training do not change the model.
TEST_F(SmallKanjiModel, IsTheSameWhateverTheNumberOfProcesses) {
    ASSERT_TRUE(s_ok) << s_error;
    for (int processes : {1, 3}) {
        std::ostringstream out;
        std::string error;
        ASSERT_TRUE(trainKanjiModel(*s_glyphs, *s_targets, {}, smallOptions(processes),
                                    s_dir->filePath("again").toStdString(), out, &error))
            << error;
        EXPECT_EQ(out.str(), s_text) << processes << " processes";
    }
}

TEST_F(SmallKanjiModel, RecognisesHeldOutSamplesOfItsClasses) {
    ASSERT_TRUE(s_ok) << s_error;
    const std::string text = s_dir->filePath("small.model.txt").toStdString(),
                      binary = s_dir->filePath("small.model").toStdString();
    {
        std::ofstream file(text, std::ios::binary);
        file << s_text;
    }
    ASSERT_TRUE(zinnia::Trainer::convert(text.c_str(), binary.c_str(), 0.001));
    std::unique_ptr<zinnia::Recognizer> model(zinnia::Recognizer::create());
    ASSERT_TRUE(model->open(binary.c_str())) << model->what();
    EXPECT_EQ(model->size(), s_glyphs->size());
    // Another seed than the training's, at the default strength of variation, in both frames.
    for (const Frame frame : {Frame::Ink, Frame::Line}) {
        const Accuracy acc = evaluate(*model, *s_glyphs, {}, 77, 6, frame);
        EXPECT_GE(acc.top1, acc.samples * 90 / 100) << testing::PrintToString(acc.misses);
        EXPECT_GE(acc.top5, acc.samples * 98 / 100);
    }
}

TEST(KanjiTrainingSamples, CleanInBothFramesThenVariedWithSomeStrokeOrderFaults) {
    const auto glyphs = kanjiVgGlyphs(U"語");
    ASSERT_EQ(glyphs.size(), 1u);
    KanjiModelOptions options;
    options.variations = 24;
    const auto samples = kanjiTrainingSamples(glyphs[0], options);
    ASSERT_EQ(samples.size(), 26u);
    const size_t strokes = glyphs[0].strokes.size();
    EXPECT_EQ(text(samples[0]), text(normaliseToSquare(sampleGlyph(glyphs[0].strokes, 2.0), Frame::Ink)));
    EXPECT_EQ(text(samples[1]), text(normaliseToSquare(sampleGlyph(glyphs[0].strokes, 2.0), Frame::Line)));
    // Samples 2 + 7, 15, 23 carry the faults: swapped, joined (one stroke fewer), reversed.
    for (size_t i = 2; i < samples.size(); ++i) {
        EXPECT_EQ(samples[i].size(), i == 2 + 15 ? strokes - 1 : strokes) << i;
    }
    const auto again = kanjiTrainingSamples(glyphs[0], options);
    for (size_t i = 0; i < samples.size(); ++i) EXPECT_EQ(text(again[i]), text(samples[i])) << i;
    options.seed = 2;
    EXPECT_NE(text(kanjiTrainingSamples(glyphs[0], options)[2]), text(samples[2]));
}

TEST(NearestGlyphs, FindsLookAlikesAndLeavesOutTheClassAndItsTwins) {
    const auto pool = kanjiVgGlyphs(U"土士工口日目田人入八大犬");
    const TwinGroups twins = {{U'口', U'ロ'}, {U'土', U'士'}};
    const auto nearest = nearestGlyphs(pool, {0, 4, 9}, twins, 3, 1);  // 土 日 人
    ASSERT_EQ(nearest.size(), 3u);
    const auto labels = [&](size_t k) {
        std::u32string out;
        for (uint32_t i : nearest[k]) out += pool[i].label;
        return out;
    };
    EXPECT_EQ(labels(0).size(), 3u);
    EXPECT_EQ(labels(0).find(U'土'), std::u32string::npos);
    EXPECT_EQ(labels(0).find(U'士'), std::u32string::npos) << "a twin is no negative";
    EXPECT_NE(labels(1).find(U'目'), std::u32string::npos);
    EXPECT_NE(labels(2).find(U'入'), std::u32string::npos);
    EXPECT_TRUE(nearestGlyphs(pool, {0}, {}, 0, 1)[0].empty());
    // A katakana of the kanji's shape is no negative of it, though it is the nearest.
    const auto lookAlikes = kanjiVgGlyphs(U"力カ刀万方");
    const auto nearestOfPower = nearestGlyphs(lookAlikes, {0}, {}, 10, 1)[0];
    EXPECT_EQ(nearestOfPower.size(), 3u);
    EXPECT_EQ(std::find(nearestOfPower.begin(), nearestOfPower.end(), 1u), nearestOfPower.end());
    EXPECT_EQ(nearestGlyphs(pool, {0}, {}, 100, 1)[0].size(), pool.size() - 1);
}

TEST(TrainKanjiModel, RefusesATargetBeyondTheGlyphs) {
    const auto pool = kanjiVgGlyphs(U"土士");
    QTemporaryDir dir;
    std::ostringstream out;
    std::string error;
    EXPECT_FALSE(
        trainKanjiModel(pool, {0, 2}, {}, smallOptions(1), dir.filePath("w").toStdString(), out, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(out.str().empty());
}

// A letter's form classes are trained against every other class's samples but not against each other: the
// plain l's weights are the same with or without the looped l beside it, and the looped l gets its own line.
TEST(TrainFormClasses, TrainsEachFamilyWithoutItsSiblingsAsNegatives) {
    const auto glyph = [](char32_t label, const char* d, int form) {
        return Glyph{label, *parseSvgPath(d), form};
    };
    const Glyph plain = glyph(U'ｌ', "M50,15 L50,92", 0);
    const Glyph looped =
        glyph(U'ｌ', "M34,86 C44,66 56,34 54,22 C52,14 42,14 42,30 L42,84 C42,92 50,94 60,88", 1);
    const Glyph x = glyph(U'ｘ', "M30,40 L70,90 M70,40 L30,90", 0);
    const Glyph seven = glyph(U'７', "M30,20 L75,20 L45,92", 0);
    const auto train = [](const std::vector<Glyph>& glyphs, const std::vector<std::string>& labels) {
        QTemporaryDir dir;
        std::ostringstream out;
        std::string error;
        EXPECT_TRUE(trainFormClasses(glyphs, {}, labels, 1, 3, {}, dir.filePath("scratch").toStdString(), out,
                                     &error))
            << error;
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("scratch")));
        return out.str();
    };
    const std::string both = train({plain, looped, x, seven}, {"ｌ", "ｌ#2", "", ""});
    EXPECT_EQ(labelsOf(both), (std::vector<std::string>{"ｌ", "ｌ#2"}));
    const std::string plainOnly = train({plain, x, seven}, {"ｌ", "", ""});
    EXPECT_EQ(both.substr(0, both.find('\n')), plainOnly.substr(0, plainOnly.find('\n')));
    // The other classes do count: without the 7 the plain l's line is another.
    const std::string withoutSeven = train({plain, x}, {"ｌ", ""});
    EXPECT_NE(plainOnly.substr(0, plainOnly.find('\n')), withoutSeven.substr(0, withoutSeven.find('\n')));

    std::string error;
    std::ostringstream out;
    EXPECT_FALSE(trainFormClasses({plain, looped}, {}, {"ｌ"}, 1, 3, {}, "unused", out, &error));
    EXPECT_FALSE(error.empty());
}

TEST(ShiftBias, MovesTheBiasAndKeepsTheWeights) {
    struct Row {
        std::string line;
        std::optional<std::string> shifted;
    };
    const Row rows[] = {
        {"字 0.25 1:0.5 7:-0.125", "字 -0.25 1:0.5 7:-0.125"},
        {"字 7.0953e-05", "字 -0.499929047"},
        {"字 -1 3:1", "字 -1.5 3:1"},
        {"字", std::nullopt},
        {"字 x 1:0.5", std::nullopt},
        {"字  1:0.5", std::nullopt},
        {"字 0.5x 1:0.5", std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(shiftBias(row.line, -0.5), row.shifted) << row.line;
}

TEST(ChooseIndices, AFixedSortedSubsetOrAll) {
    std::vector<size_t> all(50);
    std::iota(all.begin(), all.end(), size_t{100});
    const auto some = chooseIndices(all, 10, 3);
    EXPECT_EQ(some.size(), 10u);
    EXPECT_TRUE(std::is_sorted(some.begin(), some.end()));
    EXPECT_EQ(std::set<size_t>(some.begin(), some.end()).size(), 10u);
    EXPECT_EQ(chooseIndices(all, 10, 3), some);
    EXPECT_NE(chooseIndices(all, 10, 4), some);
    EXPECT_EQ(chooseIndices(all, 0, 3), all);
    EXPECT_EQ(chooseIndices(all, 51, 3), all);
}

// The model the build unpacks: one class for every JIS kanji of KanjiVG but the twins of the supplementary
// model, nothing else.
TEST(BuiltKanjiModel, HasExactlyOneClassPerJisKanjiOfKanjiVgButTheTwins) {
    std::unique_ptr<zinnia::Recognizer> model(zinnia::Recognizer::create());
    ASSERT_TRUE(model->open(test::kKanjiModel)) << model->what();
    std::string error;
    const auto kanji = readKanjiGlyphs(test::kKanjiVgDir, &error);
    ASSERT_TRUE(kanji) << error;
    const auto twins = readTwinFile(test::kTwins, &error);
    ASSERT_TRUE(twins) << error;
    std::set<char32_t> twinned;
    for (const auto& group : *twins) twinned.insert(group.begin(), group.end());
    std::set<std::string> expected;
    for (const Glyph& g : *kanji) {
        if (!twinned.contains(g.label)) expected.insert(toUtf8(g.label));
    }
    EXPECT_GT(expected.size(), 6300u);
    EXPECT_LT(expected.size(), kanji->size());
    std::set<std::string> labels;
    for (size_t i = 0; i < model->size(); ++i) labels.insert(model->value(i));
    EXPECT_EQ(labels.size(), model->size()) << "a label twice";
    EXPECT_EQ(labels, expected);
}

}  // namespace
}  // namespace sw::modelgen
