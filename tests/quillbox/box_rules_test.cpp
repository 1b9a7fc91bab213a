// The box's arithmetic and text rules, as tables of named rows.
#include "quillbox/box_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/text/cp932.h"

namespace sw::quillbox {
namespace {

std::string sjis(const char* utf8) { return text::utf8ToCp932(utf8); }

TEST(BoxRules, CharacterBoxGrowsToMinBoundInsideTheCanvas) {
    struct Row {
        const char* name;
        CharBox box;
        int32_t minBound;
        QSize canvas;
        CharBox expected;
    };
    const Row rows[] = {
        {"wide enough stays", {10, 10, 40, 40}, 20, {100, 100}, {10, 10, 40, 40}},
        {"narrow grows by halves", {20, 10, 24, 40}, 10, {100, 100}, {17, 10, 27, 40}},
        {"odd shortfall rounds down", {20, 20, 25, 40}, 10, {100, 100}, {18, 20, 27, 40}},
        {"stops at the canvas edges", {1, 95, 3, 99}, 20, {100, 100}, {0, 87, 12, 100}},
        {"negative bound changes nothing", {5, 5, 6, 6}, -50, {100, 100}, {5, 5, 6, 6}},
        {"huge bound cannot overflow",
         {5, 5, 6, 6},
         std::numeric_limits<int32_t>::max(),
         {100, 100},
         {0, 0, 100, 100}},
    };
    for (const Row& r : rows) EXPECT_EQ(growToMinBound(r.box, r.minBound, r.canvas), r.expected) << r.name;
}

TEST(BoxRules, FrameAndTapSquareOfACharacter) {
    struct Row {
        const char* name;
        CharBox box;
        int32_t foreWidth;
        float tapPointSize;
        QSize canvas;
        CharBox frame;
        QRect tap;  // null for no square
    };
    const Row rows[] = {
        {"half-size square", {20, 20, 60, 60}, 2, 0.5f, {100, 100}, {18, 18, 63, 63}, QRect(41, 41, 20, 20)},
        {"no tap area at 0", {20, 20, 60, 60}, 2, 0.0f, {100, 100}, {18, 18, 63, 63}, QRect()},
        {"pen wider than the square", {20, 20, 30, 30}, 10, 0.2f, {100, 100}, {10, 10, 41, 41}, QRect()},
        {"frame clipped by the canvas",
         {0, 0, 100, 50},
         3,
         0.5f,
         {100, 50},
         {0, 0, 100, 50},
         QRect(50, 25, 47, 22)},
        {"NaN size draws no square",
         {20, 20, 60, 60},
         2,
         std::nanf(""),
         {100, 100},
         {18, 18, 63, 63},
         QRect()},
    };
    for (const Row& r : rows) {
        const CharBox frame = frameOf(r.box, r.foreWidth, r.canvas);
        EXPECT_EQ(frame, r.frame) << r.name;
        const QRect tap = tapSquareOf(frame, r.tapPointSize, r.foreWidth);
        if (r.tap.isNull())
            EXPECT_TRUE(tap.isEmpty()) << r.name;
        else
            EXPECT_EQ(tap, r.tap) << r.name;
    }
}

TEST(BoxRules, TapAreaIsTheBottomRightOfTheWidenedBox) {
    struct Row {
        const char* name;
        CharBox box;
        int32_t foreWidth;
        float size;
        QPoint inside;
        QPoint outside;
    };
    const Row rows[] = {
        {"half", {20, 20, 60, 60}, 2, 0.5f, {62, 62}, {40, 40}},
        {"widened past the box", {20, 20, 60, 60}, 2, 0.5f, {41, 41}, {40, 62}},
        {"left edge clipped at 0", {0, 0, 10, 10}, 4, 0.8f, {14, 14}, {2, 14}},
    };
    for (const Row& r : rows) {
        const CharBox area = tapAreaOf(r.box, r.foreWidth, r.size);
        EXPECT_TRUE(area.contains(r.inside)) << r.name;
        EXPECT_FALSE(area.contains(r.outside)) << r.name;
    }
    EXPECT_FALSE(tapAreaOf({20, 20, 60, 60}, 2, 0.0f).contains({62, 62})) << "empty at size 0";
}

TEST(BoxRules, GlyphOriginCentresFullSizeAndDropsSmallKana) {
    struct Row {
        const char* name;
        CharBox box;
        int s;
        float x, y;
        int pass;
        bool small;
        QPoint expected;
    };
    const Row rows[] = {
        {"centred in a wide box", {10, 20, 70, 50}, 30, 0, 0, 0, false, {25, 20}},
        {"each pass right and up", {10, 20, 70, 50}, 30, 0, 0, 2, false, {27, 18}},
        {"shifted by the fractions", {10, 20, 70, 50}, 30, 0.5f, -0.1f, 0, false, {55, 17}},
        {"small kana at the left and bottom", {10, 20, 70, 50}, 30, 0, 0, 1, true, {11, 19}},
        {"never left of or above the canvas", {0, 0, 10, 10}, 10, -5, -5, 0, false, {0, 0}},
        {"NaN fractions are no shift",
         {10, 20, 70, 50},
         30,
         std::nanf(""),
         std::nanf(""),
         0,
         false,
         {25, 20}},
        {"huge fractions saturate", {10, 20, 70, 50}, 30, 3e38f, 0, 0, false, {(1 << 20) + 25, 20}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(glyphOrigin(r.box, r.s, r.x, r.y, r.pass, r.small), r.expected) << r.name;
}

TEST(BoxRules, BackgroundTextHeightSharesTheWidth) {
    EXPECT_EQ(backTextHeight(400, 200, 8), 100);  // 4 characters: 400 / 4
    EXPECT_EQ(backTextHeight(400, 50, 8), 50);
    EXPECT_EQ(backTextHeight(400, 500, 0), 400);  // at least one character
    EXPECT_EQ(backTextHeight(400, 500, 3), 400);  // one and a half characters count as one
}

TEST(BoxRules, CanvasGrowsThreeViewsAheadWithinLimits) {
    struct Row {
        const char* name;
        QSize canvas;
        int64_t showX, showY;
        QSize client;
        std::optional<QSize> size;
        bool withinLimits;
    };
    const Row rows[] = {
        {"inside: no growth", {700, 400}, 0, 0, {200, 100}, std::nullopt, true},
        {"touching the edge grows", {1, 1}, 0, 0, {200, 100}, QSize(610, 310), true},
        {"offset counts", {610, 310}, 500, 0, {200, 100}, QSize(1110, 310), true},
        {"negative offset of AutoShow", {1, 1}, -2, -2, {200, 100}, QSize(608, 308), true},
        {"side capped at 32767", {610, 310}, 2147483647, 0, {200, 100}, QSize(32767, 310), true},
        {"area beyond the limit", {610, 310}, 2147483647, 2147483647, {200, 100}, QSize(32767, 32767), false},
    };
    for (const Row& r : rows) {
        const auto growth = canvasGrowth(r.canvas, r.showX, r.showY, r.client);
        ASSERT_EQ(growth.has_value(), r.size.has_value()) << r.name;
        if (!growth) continue;
        EXPECT_EQ(growth->size, *r.size) << r.name;
        EXPECT_EQ(growth->withinLimits, r.withinLimits) << r.name;
    }
}

TEST(BoxRules, CandidateCodesMustBeDoubleByteCharacters) {
    struct Row {
        const char* name;
        uint32_t code;
        const char* expected;  // UTF-8, null for no candidate
    };
    const Row rows[] = {
        {"kanji", 0x8E52, "山"},
        {"high bits ignored", 0x12348E52, "山"},
        {"end of list", 0, nullptr},
        {"single-byte code", 0x0041, nullptr},
        {"lead byte not a lead", 0x7F52, nullptr},
        {"trail byte 0x7F", 0x817F, nullptr},
        {"trail byte below 0x40", 0x8E20, nullptr},
        {"half-width katakana as lead", 0xB140, nullptr},
    };
    for (const Row& r : rows) {
        const auto ch = candidateChar(r.code);
        if (!r.expected) {
            EXPECT_FALSE(ch) << r.name;
            continue;
        }
        ASSERT_TRUE(ch) << r.name;
        EXPECT_EQ(std::string(ch->data(), 2), sjis(r.expected)) << r.name;
    }
}

TEST(BoxRules, SmallKanaAreTheEighteenLowCharacters) {
    for (const char* c : {"ぁ", "ぃ", "ぅ", "ぇ", "ぉ", "ァ", "ィ", "ゥ", "ェ", "ォ", "ゃ", "ゅ", "ょ", "っ",
                          "ャ", "ュ", "ョ", "ッ"})
        EXPECT_TRUE(isSmallKana(sjis(c))) << c;
    for (const char* c : {"あ", "つ", "ヵ", "ゎ", "ー", "。"}) EXPECT_FALSE(isSmallKana(sjis(c))) << c;
    EXPECT_FALSE(isSmallKana(""));
}

TEST(BoxRules, ReplacingACharacterNeverReadsPastTheResult) {
    const auto ch = [](const char* utf8) {
        const std::string s = sjis(utf8);
        return std::array<char, 2>{s[0], s[1]};
    };
    struct Row {
        const char* name;
        const char* before;
        int64_t n;
        const char* with;
        const char* after;
        bool changed;
    };
    const Row rows[] = {
        {"middle", "山川口", 2, "田", "山田口", true},
        {"same character", "山川口", 2, "川", "山川口", false},
        {"last", "山川口", 3, "田", "山川田", true},
        {"past the end appends", "山", 3, "田", "山田", true},
        {"empty result", "", 1, "田", "田", true},
        {"index 0 changes nothing", "山", 0, "田", "山", false},
    };
    for (const Row& r : rows) {
        std::string result = sjis(r.before);
        EXPECT_EQ(replaceChar(result, r.n, ch(r.with)), r.changed) << r.name;
        EXPECT_EQ(result, sjis(r.after)) << r.name;
    }
    std::string odd = sjis("山") + "A";  // a result of odd length keeps its whole characters
    EXPECT_TRUE(replaceChar(odd, 2, ch("田")));
    EXPECT_EQ(odd, sjis("山田"));
    EXPECT_FALSE(resultChar(sjis("山") + "A", 2));
}

TEST(BoxRules, MergeKeepsEarlierChoicesBeforeTheFirstChange) {
    struct Row {
        const char* name;
        const char *result, *oldString, *newString, *expected;
    };
    const Row rows[] = {
        {"choice before the change survives", "土川口", "山川口", "山州", "土州"},
        {"change at the start takes all", "土川口", "山川口", "出口", "出口"},
        {"longer new string", "土川", "山川", "山川口", "土川口"},
        {"shorter result than old", "土", "山川口", "山川田", "土田"},
        {"a shared lead byte is no shared character", "土日", "山日", "山田", "土田"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(mergeResult(sjis(r.result), sjis(r.oldString), sjis(r.newString)), sjis(r.expected))
            << r.name;
}

TEST(BoxRules, TrimmingRemovesAsciiBlanksOnly) {
    EXPECT_EQ(trimAscii(sjis(" \t認識\r\n ")), sjis("認識"));
    EXPECT_EQ(trimAscii(sjis("　認識　")), sjis("　認識　"));  // full-width spaces stay
    EXPECT_EQ(trimAscii("   "), "");
}

TEST(BoxRules, CategoryMaskOfTheFlags) {
    EXPECT_EQ(categoryMask({true, true, true, true, true, true, true, true}), 0x1FF);
    EXPECT_EQ(categoryMask({false, false, false, false, false, false, false, false}), 0);
    EXPECT_EQ(categoryMask({false, false, false, false, false, false, true, false}), 0x088);
    EXPECT_EQ(categoryMask({true, false, false, true, false, false, false, true}), 0x103);
}

}  // namespace
}  // namespace sw::quillbox
