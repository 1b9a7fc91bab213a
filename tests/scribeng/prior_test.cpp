// The recogniser's prior: stroke counts (joined and broken strokes), amount of ink, and how common a class
// is.
#include "scribeng/prior.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "contracts/scribeng.h"

namespace {

using namespace sw::scribeng;

// Ink measured as the templates measure it: pen path over the longer side of the box, in any unit.
TEST(Prior, RelativeInk) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* name;
        std::vector<InkStroke> ink;
        float expected;
    } rows[] = {
        {"one line", {{{0, 0}, {100, 0}}}, 1.0f},
        {"a square outline", {{{0, 0}, {50, 0}, {50, 50}, {0, 50}, {0, 0}}}, 4.0f},
        {"two strokes of a cross", {{{0, 50}, {100, 50}}, {{50, 0}, {50, 100}}}, 2.0f},
        {"scaled", {{{0, 0}, {1000, 0}}, {{0, 0}, {0, 500}}}, 1.5f},
        {"a tap", {{{5, 5}}}, 0.0f},
        {"no ink", {}, 0.0f},
        {"not finite", {{{0, 0}, {inf, 0}}}, 0.0f},
    };
    for (const auto& row : rows) EXPECT_NEAR(relativeInk(row.ink), row.expected, 1e-4f) << row.name;
}

// A class's strokes and ink against the written ones: free within what joined and broken strokes allow,
// dearer the further outside.
TEST(Prior, WritingCost) {
    const struct {
        const char* name;
        WrittenInk written;
        ClassFacts facts;
        float atLeast, atMost;
        bool kanji = false, symbol = false;
    } rows[] = {
        {"as the class is written", {5, 3.0f}, {5, 5, 3.0f}, 0, 0},
        {"half of 16 strokes joined", {8, 6.0f}, {16, 16, 6.5f}, 0, 0},
        {"one stroke of a two-stroke kanji", {1, 1.6f}, {2, 2, 1.64f}, 0, 0},
        {"a form of the class's range", {1, 3.4f}, {1, 2, 3.4f}, 0, 0},
        {"one stroke broken in two", {4, 3.3f}, {3, 3, 3.2f}, 0, 0},
        {"more ink than the class", {5, 9.0f}, {5, 5, 3.0f}, 0, 0},
        {"a little less ink", {5, 2.4f}, {5, 5, 3.0f}, 0, 0},
        {"facts unknown", {1, 1.0f}, {}, 0, 0},
        {"one stroke fewer than joins allow", {3, 5.0f}, {8, 8, 5.0f}, 0.05f, 0.5f},
        {"two strokes too many", {6, 3.0f}, {3, 3, 3.0f}, 0.05f, 1.0f},
        {"a third of the ink", {5, 1.0f}, {5, 5, 3.0f}, 0.2f, 1.0f},
        {"one stroke for a kanji of 16", {1, 3.4f}, {16, 16, 7.8f}, 2.0f, 100},
        {"a cursive e for a kanji of 16", {1, 3.4f}, {14, 16, 6.5f}, 2.0f, 100},
        {"one stroke for the kanji 刀", {1, 1.6f}, {2, 2, 1.64f}, 2.0f, 2.0f, true},
        {"two strokes for the kanji 刀", {2, 1.6f}, {2, 2, 1.64f}, 0, 0, true},
        {"one stroke for the kanji 一", {1, 1.0f}, {1, 1, 1.0f}, 0, 0, true},
        // A symbol's strokes are not joined: each one fewer than its fewest costs.
        {"one stroke for the symbol ＄", {1, 2.4f}, {2, 2, 2.4f}, 0.5f, 0.5f, false, true},
        {"two strokes for the symbol ＄", {2, 2.4f}, {2, 2, 2.4f}, 0, 0, false, true},
    };
    for (const auto& row : rows) {
        const float cost = writingCost(row.written, row.facts, {}, row.kanji, row.symbol);
        EXPECT_GE(cost, row.atLeast) << row.name;
        EXPECT_LE(cost, row.atMost) << row.name;
    }
    // Dearer the more strokes are missing.
    EXPECT_GT(writingCost({1, 3.0f}, {16, 16, 3.0f}), writingCost({1, 3.0f}, {8, 8, 3.0f}));
    EXPECT_GT(writingCost({1, 3.0f}, {8, 8, 3.0f}), writingCost({3, 3.0f}, {8, 8, 3.0f}));
}

// Zinnia's score of a kanji written in one stroke is held low (its features miss the class's other strokes),
// and so is that of a kanji whose shape is far from the ink (the kanji model's scores of ink unlike every
// kanji); other classes keep their score, and every reading below the ceiling keeps its own.
TEST(Prior, PlausibleZinnia) {
    const float cap = PriorWeights{}.oneStrokeKanjiZinnia;
    const float kanjiCap = PriorWeights{}.kanjiZinnia;
    const float poor = PriorWeights{}.kanjiShapeBelow - 0.2f, fair = PriorWeights{}.kanjiShapeBelow;
    PriorWeights low;  // a kanji ceiling below the one-stroke one
    low.kanjiZinnia = 0.2f;
    const struct {
        const char* name;
        float zinnia;
        float shape;
        WrittenInk written;
        ClassFacts facts;
        bool kanji;
        PriorWeights weights;
        float expected;
    } rows[] = {
        {"夕 for a one-stroke 8", 3.5f, fair, {1, 3.4f}, {3, 3, 2.4f}, true, {}, cap},
        {"a weak one-stroke kanji reading", -0.5f, fair, {1, 3.4f}, {3, 3, 2.4f}, true, {}, -0.5f},
        {"夕 in three strokes", 3.5f, fair, {3, 2.4f}, {3, 3, 2.4f}, true, {}, 3.5f},
        {"夕 in two strokes", 3.5f, fair, {2, 2.4f}, {3, 3, 2.4f}, true, {}, 3.5f},
        {"the one-stroke kanji 一", 3.5f, fair, {1, 1.0f}, {1, 1, 1.0f}, true, {}, 3.5f},
        {"facts unknown", 3.5f, fair, {1, 3.4f}, {}, true, {}, 3.5f},
        {"八 of a poor shape for a cursive x", 9.4f, poor, {2, 2.4f}, {2, 2, 1.8f}, true, {}, kanjiCap},
        {"丿 of a poor shape for a cursive n", 4.8f, poor, {1, 2.9f}, {1, 1, 1.0f}, true, {}, kanjiCap},
        {"a clear kanji of a poor shape", 0.8f, poor, {3, 2.4f}, {3, 3, 2.4f}, true, {}, 0.8f},
        {"a one-stroke kana of three", 3.5f, poor, {1, 3.4f}, {3, 3, 2.4f}, false, {}, 3.5f},
        {"a letter of a poor shape", 4.1f, poor, {2, 2.4f}, {2, 2, 1.8f}, false, {}, 4.1f},
        {"one stroke of a poor shape, the lower ceiling",
         3.5f,
         poor,
         {1, 3.4f},
         {3, 3, 2.4f},
         true,
         low,
         0.2f},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(plausibleZinnia(row.zinnia, row.shape, row.written, row.facts, row.weights, row.kanji),
                  row.expected)
            << row.name;
    }
    // A floor (a letter's or digit's, letterZinniaFloor) lifts a score below it, then the kanji ceilings
    // hold.
    const struct {
        const char* name;
        float zinnia;
        bool kanji;
        float atLeast;
        float expected;
    } floors[] = {
        {"a q between its forms", -12.5f, false, -1.5f, -1.5f},
        {"a letter above the floor", -1.2f, false, -1.5f, -1.2f},
        {"a floor above a kanji's ceiling", -12.5f, true, 2.0f, kanjiCap},
    };
    for (const auto& row : floors) {
        EXPECT_EQ(plausibleZinnia(row.zinnia, poor, {2, 2.4f}, {2, 2, 1.8f}, {}, row.kanji, row.atLeast),
                  row.expected)
            << row.name;
    }
}

// A letter's floor is a share of the shape ratio (loose for cursive ink, strict for clean ink), and there is
// none while a capital or digit scores clearly.
TEST(Prior, LetterZinniaFloor) {
    const PriorWeights w;
    const float none = std::numeric_limits<float>::lowest();
    const struct {
        const char* name;
        float ratio;
        float clearest;
        float expected;
    } rows[] = {
        {"loose ratio, no capital or digit", 15.0f, none, -1.5f},
        {"strict ratio, a weak capital", 43.37f, -2.0f, -4.337f},
        {"a capital just below clear", 15.0f, w.letterClearZinnia - 0.01f, -1.5f},
        {"a clear 7 (ｚ must not pass it)", 15.0f, w.letterClearZinnia, none},
        {"a clear capital, strict ratio", 43.37f, 2.5f, none},
    };
    for (const auto& row : rows) {
        EXPECT_FLOAT_EQ(letterZinniaFloor(row.ratio, row.clearest, w), row.expected) << row.name;
    }
}

// A letter's form classes count unless a capital or digit is clear by its own classes; then only the
// letter's own classes count.
TEST(Prior, LetterZinniaOfFormClasses) {
    const PriorWeights w;
    const float clear = w.letterClearZinnia;
    const float none = std::numeric_limits<float>::lowest();
    const struct {
        const char* name;
        float best, own, clearest;
        float expected;
    } rows[] = {
        {"no capital or digit", 2.0f, -3.0f, none, 2.0f},
        {"a capital just below clear", 2.0f, -3.0f, clear - 0.01f, 2.0f},
        {"a clear capital: the own classes", 2.0f, -3.0f, clear, -3.0f},
        {"a clear capital, the own class best", 1.5f, 1.5f, 3.0f, 1.5f},
        {"only form classes: the best", 2.0f, none, 1.0f, 2.0f},
    };
    for (const auto& row : rows) {
        EXPECT_FLOAT_EQ(letterZinnia(row.best, row.own, row.clearest, w), row.expected) << row.name;
    }
}

// Kanji cost by how common they are, in tiers; kana and punctuation nothing; symbols a little. Without
// grades and frequency ranks only JIS level 2 costs.
// A kanji lifted by a model that knows no kana stays within a lead of the kana models' score while a kana
// of the same ink is plausible and likelier to them than the kanji; otherwise, or when one kind of model did
// not score it, the best counts.
TEST(Prior, KanjiZinniaBesideKana) {
    const PriorWeights w;
    const float none = std::numeric_limits<float>::lowest();
    const float plausible = w.plausibleKanaZinnia;
    const struct {
        const char* name;
        float withKana, withoutKana, bestKana;
        float expected;
    } rows[] = {
        {"a kana's ink lifted by the kanji model", -1.4f, 1.6f, 0.35f, -1.4f + w.kanaKanjiLead},
        {"the kana just plausible", -1.4f, 1.6f, plausible, -1.4f + w.kanaKanjiLead},
        {"no plausible kana", -1.4f, 1.6f, plausible - 0.01f, 1.6f},
        {"no kana in the list", -1.4f, 1.6f, none, 1.6f},
        {"within the lead", 0.5f, 0.5f + w.kanaKanjiLead / 2, 2.0f, 0.5f + w.kanaKanjiLead / 2},
        {"the kana models score it best", 2.0f, -1.0f, 2.0f, 2.0f},
        {"the kana models prefer the kanji to every kana", 0.6f, 2.0f, 0.5f, 2.0f},
        {"only the kanji model knows it", none, 1.6f, 2.0f, 1.6f},
        {"only kana models know it", 0.7f, none, 2.0f, 0.7f},
        {"no kana score at all (NaN)", -1.4f, 1.6f, std::nanf(""), 1.6f},
    };
    for (const auto& row : rows) {
        EXPECT_FLOAT_EQ(kanjiZinniaBeside(row.withKana, row.withoutKana, row.bestKana, w), row.expected)
            << row.name;
    }
}

// A symbol (± for a distorted さ) stays within a lead of the best kana while that kana is plausible;
// otherwise, and for a symbol the kana already outscore, its own score counts.
TEST(Prior, SymbolZinniaBesideKana) {
    const PriorWeights w;
    const float none = std::numeric_limits<float>::lowest();
    const float plausible = w.plausibleKanaZinnia;
    const struct {
        const char* name;
        float symbol, bestKana;
        float expected;
    } rows[] = {
        {"a kana's ink lifted by a symbol class", 2.2f, 0.1f, 0.1f + w.kanaSymbolLead},
        {"the kana just plausible", 2.2f, plausible, plausible + w.kanaSymbolLead},
        {"no plausible kana: a symbol written on purpose", 2.2f, plausible - 0.01f, 2.2f},
        {"no kana in the list", 2.2f, none, 2.2f},
        {"within the lead", 0.3f + w.kanaSymbolLead / 2, 0.3f, 0.3f + w.kanaSymbolLead / 2},
        {"the kana outscores the symbol", -1.0f, 0.3f, -1.0f},
        {"no kana score at all (NaN)", 2.2f, std::nanf(""), 2.2f},
    };
    for (const auto& row : rows)
        EXPECT_FLOAT_EQ(symbolZinniaBeside(row.symbol, row.bestKana, w), row.expected) << row.name;
}

TEST(Prior, CommonnessCost) {
    constexpr CharCode kLevel1 = 0x88EA, kLevel2 = 0x989F, kKana = 0x82A0, kSymbol = 0x8181, kComma = 0x8141;
    const ClassFacts school{1, 1, 1, 3, 9}, otherCommon{1, 1, 1, 8, 1482}, name{1, 1, 1, 9, 0},
        ranked{1, 1, 1, 0, 1800}, rare{1, 1, 1, 0, 0};
    const struct {
        const char* name;
        CharCode code;
        const ClassFacts* facts;
        bool withFrequency;
        int tier;  // 0 free, then strictly dearer
    } rows[] = {
        {"school kanji", kLevel1, &school, true, 0},
        {"school kanji of level 2", kLevel2, &school, true, 0},
        {"kana", kKana, nullptr, true, 0},
        {"punctuation", kComma, nullptr, true, 0},
        {"level 1 without frequency", kLevel1, &rare, false, 0},
        {"other kanji of common use", kLevel1, &otherCommon, true, 1},
        {"name kanji", kLevel1, &name, true, 2},
        {"ranked kanji", kLevel2, &ranked, true, 2},
        {"rare level 1", kLevel1, &rare, true, 3},
        {"rare level 2", kLevel2, &rare, true, 4},
        {"level 2 without frequency", kLevel2, &school, false, 4},
        {"level 2 without templates", kLevel2, nullptr, true, 4},
    };
    float tierCost[5] = {};
    for (const auto& row : rows) {
        if (row.tier > 0) continue;
        EXPECT_EQ(commonnessCost(row.code, row.facts, row.withFrequency), 0.0f) << row.name;
    }
    for (const auto& row : rows) tierCost[row.tier] = commonnessCost(row.code, row.facts, row.withFrequency);
    for (const auto& row : rows) {
        EXPECT_EQ(commonnessCost(row.code, row.facts, row.withFrequency), tierCost[row.tier]) << row.name;
    }
    for (int t = 1; t < 5; ++t) EXPECT_GT(tierCost[t], tierCost[t - 1]) << t;
    // A symbol costs a little, less than a rare kanji.
    const float symbol = commonnessCost(kSymbol, nullptr, true);
    EXPECT_GT(symbol, 0.0f);
    EXPECT_LT(symbol, tierCost[4]);
}

}  // namespace
