#include "scribeng/categories.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "contracts/scribeng.h"

namespace {

using sw::scribeng::categoryOf;
using sw::scribeng::codeOfLabel;

TEST(CategoryOf, RangeEdges) {
    const struct {
        uint16_t code;
        int32_t category;
    } rows[] = {
        {0x829F, SCRIBENG_CAT_HIRAGANA},
        {0x82F1, SCRIBENG_CAT_HIRAGANA},  // ぁ ん
        {0x82F2, SCRIBENG_CAT_OTHER},
        {0x8154, SCRIBENG_CAT_HIRAGANA},  // ゝ
        {0x8340, SCRIBENG_CAT_KATAKANA},
        {0x8396, SCRIBENG_CAT_KATAKANA},  // ァ ヶ
        {0x815B, SCRIBENG_CAT_KATAKANA},  // ー
        {0x824F, SCRIBENG_CAT_DIGIT},
        {0x8258, SCRIBENG_CAT_DIGIT},  // ０ ９
        {0x8260, SCRIBENG_CAT_LATIN},
        {0x829A, SCRIBENG_CAT_LATIN},  // Ａ ｚ
        {0x827A, SCRIBENG_CAT_OTHER},  // between the Latin rows
        {0x889F, SCRIBENG_CAT_KANJI1},
        {0x9872, SCRIBENG_CAT_KANJI1},  // 亜 腕
        {0x989F, SCRIBENG_CAT_KANJI2},
        {0xEAA4, SCRIBENG_CAT_KANJI2},  // 弌 熙
        {0xED40, SCRIBENG_CAT_OTHER},   // an extension kanji
        {0x8141, SCRIBENG_CAT_PUNCTUATION},
        {0x8149, SCRIBENG_CAT_PUNCTUATION},  // 、 ！
        {0x8175, SCRIBENG_CAT_PUNCTUATION},  // 「
        {0x8158, SCRIBENG_CAT_OTHER},
        {0x81A8, SCRIBENG_CAT_OTHER},  // 々 →
        {0x0041, 0},
        {0xA0A0, 0},  // no double-byte character
    };
    for (const auto& row : rows) EXPECT_EQ(categoryOf(row.code), row.category) << std::hex << row.code;
    // Other symbols answer to either of their two bits.
    EXPECT_TRUE(sw::scribeng::allowedBy(0x81A8, 0x008));
    EXPECT_TRUE(sw::scribeng::allowedBy(0x81A8, 0x080));
    EXPECT_FALSE(sw::scribeng::allowedBy(0x81A8, 0x177));
}

TEST(CategoryOf, CapitalsAndDigits) {
    const struct {
        uint16_t code;
        bool capitalOrDigit;
    } rows[] = {
        {0x824E, false}, {0x824F, true},  {0x8258, true},   // before ０, ０ ９
        {0x8259, false}, {0x8260, true},  {0x8279, true},   // after ９, Ａ Ｚ
        {0x8281, false}, {0x829A, false}, {0x82A0, false},  // ａ ｚ あ
    };
    for (const auto& row : rows) {
        EXPECT_EQ(sw::scribeng::isCapitalOrDigit(row.code), row.capitalOrDigit) << std::hex << row.code;
    }
}

TEST(CodeOfLabel, FullWidthFormsAndRefusals) {
    EXPECT_EQ(codeOfLabel("0"), 0x824F);
    EXPECT_EQ(codeOfLabel("9"), 0x8258);
    EXPECT_EQ(codeOfLabel("A"), 0x8260);
    EXPECT_EQ(codeOfLabel("?"), 0x8148);
    EXPECT_EQ(codeOfLabel("あ"), 0x82A0);
    EXPECT_EQ(codeOfLabel("山"), 0x8E52);
    EXPECT_EQ(codeOfLabel("０"), 0x824F);
    for (const char* bad : {"", " ", "ab", "あい", "ｱ", "\xE3\x81", "\xF0\x9F\x98\x80", "한"}) {
        EXPECT_FALSE(codeOfLabel(bad).has_value()) << bad;
    }
}

// A form class's label reads as its character; anything else after the mark keeps the whole label.
TEST(CodeOfLabel, FormClassLabels) {
    const std::vector<std::pair<const char*, std::optional<sw::scribeng::CharCode>>> cases = {
        {"ｌ#2", 0x828C},     {"ｌ#12", 0x828C},      {"A#3", 0x8260},         {"山#1", 0x8E52},
        {"#", 0x8194},        {"ｌ#", std::nullopt},  {"ｌ#x", std::nullopt},  {"ｌ#2a", std::nullopt},
        {"#2", std::nullopt}, {"ab#1", std::nullopt}, {"ｌ#-1", std::nullopt}, {"ｌ##2", std::nullopt},
    };
    for (const auto& [label, code] : cases) EXPECT_EQ(codeOfLabel(label), code) << label;
}

}  // namespace
