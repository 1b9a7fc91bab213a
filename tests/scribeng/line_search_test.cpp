#include "scribeng/line_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <ostream>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "hostile_ink.h"
#include "scribeng/categories.h"
#include "scribeng/char_geometry.h"
#include "scribeng/segmentation.h"
#include "stroke_file.h"

namespace sw::scribeng {
void PrintTo(const CharRun& run, std::ostream* out);  // segmentation_test.cpp
}  // namespace sw::scribeng

namespace {

namespace fs = std::filesystem;
using sw::scribeng::CharRun;
using sw::scribeng::Stroke;

constexpr int32_t kAll = 0x1FF;

// The Japanese model alone, from the system's folder.
const sw::scribeng::Recognizer& japanese() {
    static const std::vector<fs::path> folders{"/usr/share/tegaki/models/zinnia"};
    static const sw::scribeng::Recognizer recognizer(folders);
    return recognizer;
}

std::vector<Stroke> strokesOf(const char* name) {
    auto file = sw::scribeng::readStrokeFile(fs::path(SCRIBENG_TEST_DATA) / name);
    EXPECT_TRUE(file.has_value()) << name;
    std::vector<Stroke> out;
    if (file) {
        for (auto& s : file->strokes) out.emplace_back(s.begin(), s.end());
    }
    return out;
}

std::vector<CharRun> runsOf(const std::vector<sw::scribeng::SearchedChar>& chars) {
    std::vector<CharRun> out;
    for (const auto& c : chars) out.push_back(c.run);
    return out;
}

// The search recognises each run once: the candidates of the chosen runs come from the cache afterwards, and
// a mask of its own starts the cache afresh.
TEST(LineSearch, RecognisesEachRunOnceAndReusesTheCache) {
    ASSERT_TRUE(japanese().ready());
    const auto strokes = strokesOf("line3_b.txt");  // あさひ
    sw::scribeng::RunCache cache;
    const auto chars = sw::scribeng::searchLine(japanese(), strokes, std::nullopt, kAll, 5, cache);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_TRUE(sw::scribeng::isPartition(runsOf(chars), static_cast<int32_t>(strokes.size())));
    const size_t recognised = cache.runs.size();
    EXPECT_GE(recognised, chars.size());
    const auto runs = runsOf(chars);
    const auto again = sw::scribeng::recognizeRuns(japanese(), strokes, runs, kAll, 5, cache);
    EXPECT_EQ(cache.runs.size(), recognised);
    ASSERT_EQ(again.size(), chars.size());
    for (size_t i = 0; i < chars.size(); ++i) {
        ASSERT_FALSE(again[i].empty());
        EXPECT_EQ(again[i].front().code, chars[i].candidates.front().code) << i;
        EXPECT_LE(chars[i].candidates.size(), 5u);
    }
    sw::scribeng::searchLine(japanese(), strokes, std::nullopt, 0x001, 5, cache);
    EXPECT_EQ(cache.mask, 0x001);
    EXPECT_LE(cache.runs.size(), recognised);
}

// A forced run is one character whatever its shape, and no other character takes its strokes.
TEST(LineSearch, ForcedRunIsKept) {
    const auto strokes = strokesOf("line6_b.txt");  // 山田さんの字, 19 strokes
    const auto n = static_cast<int32_t>(strokes.size());
    for (CharRun forced : {CharRun{0, 0}, CharRun{2, 9}, CharRun{0, n - 1}, CharRun{n - 1, n - 1}}) {
        sw::scribeng::RunCache cache;
        const auto runs = runsOf(sw::scribeng::searchLine(japanese(), strokes, forced, kAll, 3, cache));
        EXPECT_TRUE(sw::scribeng::isPartition(runs, n)) << forced.first << ".." << forced.last;
        EXPECT_NE(std::find(runs.begin(), runs.end(), forced), runs.end())
            << forced.first << ".." << forced.last;
    }
    sw::scribeng::RunCache cache;
    EXPECT_TRUE(sw::scribeng::searchLine(japanese(), strokes, CharRun{3, n}, kAll, 3, cache).empty());
    EXPECT_TRUE(sw::scribeng::searchLine(japanese(), strokes, CharRun{4, 3}, kAll, 3, cache).empty());
    EXPECT_TRUE(sw::scribeng::searchLine(japanese(), {}, std::nullopt, kAll, 3, cache).empty());
    EXPECT_TRUE(sw::scribeng::recognizeRuns(japanese(), strokes, std::vector<CharRun>{{0, n}}, kAll, 3, cache)
                    .empty());
    // Nothing allowed: no partition.
    EXPECT_TRUE(sw::scribeng::searchLine(japanese(), strokes, std::nullopt, 0, 3, cache).empty());
}

// Strokes of the given files, each placed with its ink's top left corner at the given point.
std::vector<Stroke> placed(std::initializer_list<std::tuple<const char*, int32_t, int32_t>> files) {
    std::vector<Stroke> out;
    for (auto [name, x, y] : files) {
        const auto strokes = strokesOf(name);
        const sw::scribeng::Box ink = sw::scribeng::boundsOf(strokes);
        for (auto s : strokes) {
            for (auto& p : s) p = {p.x - ink.left + x, p.y - ink.top + y};
            out.push_back(std::move(s));
        }
    }
    return out;
}

// Several lines in one selection: every line reads exactly as it reads alone, in writing order, and no
// character takes strokes of two lines (no mark from a line's end, no character across the join).
TEST(LineSearch, SeveralLinesReadAsEachAlone) {
    const struct {
        const char* name;
        std::vector<std::vector<Stroke>> lines;  // each line alone, placed where it is in the selection
    } rows[] = {
        {"two rows", {placed({{"line3_b.txt", 40, 30}}), placed({{"line6_b.txt", 40, 140}})}},
        {"three rows, the last one character",
         {placed({{"line5_a.txt", 40, 30}}), placed({{"line3_c.txt", 60, 140}}),
          placed({{"single_01.txt", 40, 250}})}},
        {"two columns, right to left",
         {placed({{"lines/07_v_tight.txt", 200, 30}}), placed({{"lines/08_v_wide.txt", 60, 30}})}},
        {"rows with wide gaps", {placed({{"line3_a.txt", 40, 30}}), placed({{"line3_d.txt", 40, 150}})}},
    };
    for (const auto& row : rows) {
        std::vector<Stroke> all;
        std::vector<sw::scribeng::SearchedChar> alone;
        for (const auto& line : row.lines) {
            sw::scribeng::RunCache cache;
            const auto offset = static_cast<int32_t>(all.size());
            for (auto c : sw::scribeng::searchLine(japanese(), line, std::nullopt, kAll, 5, cache)) {
                c.run = {c.run.first + offset, c.run.last + offset};
                alone.push_back(std::move(c));
            }
            all.insert(all.end(), line.begin(), line.end());
        }
        sw::scribeng::RunCache cache;
        const auto chars = sw::scribeng::searchLine(japanese(), all, std::nullopt, kAll, 5, cache);
        ASSERT_EQ(chars.size(), alone.size()) << row.name;
        for (size_t i = 0; i < chars.size(); ++i) {
            EXPECT_EQ(chars[i].run, alone[i].run) << row.name << " " << i;
            EXPECT_EQ(chars[i].candidates.front().code, alone[i].candidates.front().code)
                << row.name << " " << i;
        }
        // A regroup reads the characters in the same frames.
        const auto again = sw::scribeng::recognizeRuns(japanese(), all, runsOf(chars), kAll, 5, cache);
        ASSERT_EQ(again.size(), chars.size()) << row.name;
        for (size_t i = 0; i < chars.size(); ++i) {
            EXPECT_EQ(again[i].front().code, chars[i].candidates.front().code) << row.name << " " << i;
        }
    }
}

// A character forced across two lines (a regroup) is one character; the rest of both lines keep theirs.
TEST(LineSearch, ForcedRunAcrossLines) {
    const auto all = placed({{"line3_b.txt", 40, 30}, {"line6_b.txt", 40, 140}});  // あさひ, then 19 strokes
    const CharRun forced{5, 9};
    sw::scribeng::RunCache cache;
    const auto runs = runsOf(sw::scribeng::searchLine(japanese(), all, forced, kAll, 5, cache));
    EXPECT_TRUE(sw::scribeng::isPartition(runs, static_cast<int32_t>(all.size())));
    EXPECT_NE(std::find(runs.begin(), runs.end(), forced), runs.end());
    const auto again = sw::scribeng::recognizeRuns(japanese(), all, runs, kAll, 5, cache);
    EXPECT_EQ(again.size(), runs.size());
}

// Hostile input (many dots, a dense scribble, strokes that all overlap) used to cost thousands of
// recognitions; the search stops at a fixed number and reads the rest in a few pieces, still a partition of
// every stroke.
TEST(LineSearch, HostileInputIsReadWithinABoundedNumberOfRecognitions) {
    namespace hostile = sw::scribeng::hostile;
    std::vector<Stroke> stacked;  // 600 copies of one stroke: no character may begin anywhere
    for (int i = 0; i < 600; ++i) stacked.push_back({{100, 100}, {180, 140}, {120, 190}});
    const struct {
        const char* name;
        hostile::Strokes strokes;
        int32_t mask;
    } rows[] = {
        {"dots_2000", hostile::dots(2000), kAll},
        {"scribble_200", hostile::scribble(200), kAll},
        {"stacked_600", {stacked.begin(), stacked.end()}, kAll},
    };
    for (const auto& row : rows) {
        const std::vector<Stroke> strokes(row.strokes.begin(), row.strokes.end());
        sw::scribeng::RunCache cache;
        const auto chars = sw::scribeng::searchLine(japanese(), strokes, std::nullopt, row.mask, 5, cache);
        const auto runs = runsOf(chars);
        EXPECT_TRUE(sw::scribeng::isPartition(runs, static_cast<int32_t>(strokes.size()))) << row.name;
        EXPECT_LE(cache.runs.size() + cache.chosen.size(), 140u) << row.name;
        // Reading the same characters again (a regroup) costs no more recognitions than the search made.
        EXPECT_EQ(sw::scribeng::recognizeRuns(japanese(), strokes, runs, row.mask, 5, cache).size(),
                  runs.size())
            << row.name;
        EXPECT_LE(cache.runs.size() + cache.chosen.size(), 140u) << row.name;
    }
}

// The UTF-8 characters of `text`, one each.
std::vector<std::string> charactersOf(std::string_view text) {
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        out.emplace_back(text.substr(i, length));
        i += length;
    }
    return out;
}

// A line of read characters: per character, its candidates as "X score" pairs, best first.
std::vector<sw::scribeng::SearchedChar> lineOf(std::initializer_list<std::string_view> characters) {
    std::vector<sw::scribeng::SearchedChar> out;
    int32_t stroke = 0;
    for (const auto text : characters) {
        sw::scribeng::SearchedChar c{{stroke, stroke}, {}};
        ++stroke;
        std::istringstream in{std::string(text)};
        std::string label;
        float score = 0;
        while (in >> label >> score)
            c.candidates.push_back({sw::scribeng::codeOfLabel(label).value_or(0), score});
        out.push_back(std::move(c));
    }
    return out;
}

// A line read, and the best readings expected of it after a pass over its candidates.
struct PassRow {
    const char* name;
    std::vector<sw::scribeng::SearchedChar> line;
    const char* expected;
};

std::vector<sw::scribeng::CharCode> bestOf(const std::vector<sw::scribeng::SearchedChar>& line) {
    std::vector<sw::scribeng::CharCode> out;
    for (const auto& c : line) out.push_back(c.candidates.front().code);
    return out;
}

std::vector<sw::scribeng::CharCode> codesOf(std::string_view text) {
    std::vector<sw::scribeng::CharCode> out;
    for (const auto& c : charactersOf(text)) out.push_back(*sw::scribeng::codeOfLabel(c));
    return out;
}

// Runs `pass` over each row's line and checks the best readings it leaves.
void expectPass(std::span<PassRow> rows, void (*pass)(std::vector<sw::scribeng::SearchedChar>&)) {
    for (auto& row : rows) {
        pass(row.line);
        EXPECT_EQ(bestOf(row.line), codesOf(row.expected)) << row.name;
    }
}

// A kana read as its kanji or kana look-alike takes the reading of its neighbours' script when that scores
// close below, and a symbol among kana or kanji gives way to one of them; beside kanji, or when the scores
// lie apart, the reading stays.
TEST(LineSearch, LookAlikesGoByTheScriptOfTheirNeighbours) {
    PassRow rows[] = {
        {"kanji twin between katakana", lineOf({"タ 0", "才 -1.13 オ -1.25", "ネ 0"}), "タオネ"},
        {"kanji twin between hiragana", lineOf({"ぴ 0", "力 -1.49 カ -1.49 内 -3.5", "は 0"}), "ぴカは"},
        {"kanji twin beside kanji", lineOf({"金 0", "才 -1.13 オ -1.25", "版 0"}), "金才版"},
        {"kana never gives way to a kanji", lineOf({"版 0", "タ -1.0 夕 -1.05", "族 0"}), "版タ族"},
        {"kanji twin scored well apart", lineOf({"ぴ 0", "才 -1.0 オ -1.4", "は 0"}), "ぴ才は"},
        {"katakana twin between hiragana", lineOf({"ふ 0", "ヘ -1 へ -1", "の 0"}), "ふへの"},
        {"hiragana twin between katakana", lineOf({"ネ 0", "べ -1 ベ -1.1", "ツ 0"}), "ネベツ"},
        {"long vowel mark between hiragana", lineOf({"ぎ 0", "ー -1 く -1.2", "ら 0"}), "ぎくら"},
        {"long vowel mark after katakana", lineOf({"ア 0", "ー -1 く -1.2", "ら 0"}), "アーら"},
        {"katakana twin beside katakana and kanji", lineOf({"コ 0", "口 -1 ロ -1", "版 0"}), "コロ版"},
        {"lying long vowel mark beside katakana", lineOf({"メ 0", "一 -1 ニ -1.5 ー -2", "版 0"}), "メー版"},
        {"kanji twin after a long vowel mark", lineOf({"ア 0", "ー 0", "才 -1.13 オ -1.25"}), "アーオ"},
        {"symbol between kanji", lineOf({"二 0", "± -1.76 さ -1.96", "三 0"}), "二さ三"},
        {"symbol between letters", lineOf({"Ａ 0", "± -1.76 さ -1.96", "Ｂ 0"}), "Ａ±Ｂ"},
        {"symbol scored well apart", lineOf({"二 0", "± -1.0 さ -1.5", "三 0"}), "二±三"},
    };
    expectPass(rows, sw::scribeng::preferScriptOfNeighbours);
}

// A letter or digit whose neighbours all read kana or kanji gives way to the kana or kanji that fits them
// best within 1.5 below it; beside a letter or digit or two places from one, or with no kana or kanji close
// enough, it stays.
TEST(LineSearch, LettersAmongKanaAndKanjiGiveWayToThem) {
    PassRow rows[] = {
        {"letter between kanji and kana", lineOf({"習 0", "ｒ -4.9 マ -5.17 て -5.93", "へ 0"}), "習てへ"},
        {"digit between kana", lineOf({"ろ 0", "７ -1 て -2", "ら 0"}), "ろてら"},
        {"letter that begins a line", lineOf({"ａ -2.3 ろ -2.4", "近 0"}), "ろ近"},
        {"kana beyond the margin", lineOf({"習 0", "ｒ -1 て -2.6", "水 0"}), "習ｒ水"},
        {"beside a letter", lineOf({"Ａ 0", "ｒ -1 て -1.5", "水 0"}), "Ａｒ水"},
        {"among digits", lineOf({"１ 0", "７ -1 て -1.2", "２ 0"}), "１７２"},
        {"digits about a digit read as a kanji", lineOf({"７ -1 て -1.2", "川 0", "３ -1 ろ -1.2"}),
         "７川３"},
        {"no kana or kanji among the candidates", lineOf({"水 0", "ｒ -1 ｖ -1.2", "水 0"}), "水ｒ水"},
    };
    expectPass(rows, sw::scribeng::preferScriptOfNeighbours);
}

// Letters among digits read as the digit close below them while digits are at least half of the row; rows
// with more letters, a letter without a close digit, or fewer than three characters stay as read.
TEST(LineSearch, LettersAmongDigitsReadAsTheirDigits) {
    PassRow rows[] = {
        {"one letter among digits", lineOf({"１ 0", "Ｚ 0 ２ -1.5", "３ 0"}), "１２３"},
        {"two letters, two digits", lineOf({"Ｚ 0 ２ -0.3", "ｊ 0 ３ -1", "６ 0", "９ 0"}), "２３６９"},
        {"digit beyond the margin", lineOf({"１ 0", "Ｚ 0 ２ -1.7", "３ 0"}), "１Ｚ３"},
        {"one letter without a digit", lineOf({"Ｚ 0 ２ -0.3", "Ａ 0", "６ 0", "９ 0"}), "ＺＡ６９"},
        {"more letters than digits", lineOf({"ｌ 0 １ -0.2", "２ 0", "Ｏ 0 ０ 0"}), "ｌ２Ｏ"},
        {"two characters", lineOf({"Ｚ 0 ２ -0.3", "６ 0"}), "Ｚ６"},
        {"a kana among digits", lineOf({"１ 0", "そ 0 ２ -0.3", "３ 0"}), "１そ３"},
    };
    expectPass(rows, sw::scribeng::preferRowKind);
}

// A letter or digit whose run of letters and digits is otherwise of the other kind reads as the reading of
// that kind close below it (its twin ０ Ｏ scored alike, ３ for ｊ); a run mixing both kinds, a character
// alone among kanji and one whose other kind scores beyond the margin stay as read.
TEST(LineSearch, LettersAndDigitsTakeTheKindOfTheirRun) {
    PassRow rows[] = {
        {"letter after digits", lineOf({"９ 0", "７ 0", "Ｏ -1 ０ -1", "二 0"}), "９７０二"},
        {"digit between letters", lineOf({"Ｆ 0", "０ -1 Ｏ -1", "Ｔ 0"}), "ＦＯＴ"},
        {"digit after a letter, before a kanji", lineOf({"Ｊ 0", "０ -1 Ｏ -1", "使 0"}), "ＪＯ使"},
        {"digit beginning a run of letters", lineOf({"０ -1 ｏ -1", "Ｚ 0", "Ｚ 0"}), "ｏＺＺ"},
        {"a run mixing both kinds", lineOf({"Ｈ 0", "２ 0", "Ｏ -1 ０ -1"}), "Ｈ２Ｏ"},
        {"alone among kanji", lineOf({"氷 0", "０ -1 Ｏ -1", "温 0"}), "氷０温"},
        {"runs apart", lineOf({"８ 0", "化 0", "Ｏ -1 ０ -1", "Ｘ 0"}), "８化ＯＸ"},
        {"digit close below a letter", lineOf({"４ 0", "ｊ -1 ３ -1.4", "０ 0"}), "４３０"},
        {"other kind beyond the margin", lineOf({"Ｆ 0", "０ -1 Ｏ -1.6", "Ｔ 0"}), "Ｆ０Ｔ"},
    };
    expectPass(rows, sw::scribeng::preferKindOfRun);
}

// Ink read as pieces is one character where the whole reads as clearly as the pieces on average, or scores no
// more than 0.4 below them and leads its next class by 0.3: another writer's kanji scores below the
// confidence's floor whole and in pieces, which lead clearly (金 東 of 錬, イ 七 of 代) where the whole has
// look-alikes. Two characters read together as one kanji of many strokes score further below their pieces,
// or close below with rivals about alike.
TEST(LineSearch, WholeReadsAsWellAsItsPieces) {
    struct Row {
        const char* name;
        std::vector<sw::scribeng::SearchedChar> whole;  // one character
        std::vector<sw::scribeng::SearchedChar> pieces;
        bool readWhole;
    };
    const Row rows[] = {
        {"whole with a clear lead", lineOf({"錬 -3.0 鋳 -4.5"}),
         lineOf({"金 -1.0 全 -1.2", "東 -1.0 束 -1.2"}), true},
        {"pieces that lead clearly", lineOf({"錬 -2.12 鋳 -2.73"}),
         lineOf({"金 -1.15 全 -2.64", "東 -2.49 束 -3.55"}), true},
        {"whole with a look-alike", lineOf({"代 -2.05 伐 -2.5"}),
         lineOf({"イ -1.27 ノ -2.77", "七 -2.67 匕 -3.26"}), true},
        {"two characters read as one", lineOf({"驚 -2.47 警 -3.08"}),
         lineOf({"歯 -1.26 菌 -2.76", "駅 -1.21 馭 -2.7"}), false},
        {"half a point below", lineOf({"糖 -2.96 精 -2.97"}),
         lineOf({"ザ -3.03 サ -3.96", "育 -1.89 肯 -2.98"}), false},
        {"close below without a lead", lineOf({"幕 -2.3 募 -2.4"}),
         lineOf({"妄 -1.92 亡 -2.9", "妨 -1.89 坊 -2.5"}), false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(sw::scribeng::wholeReadsAsWell(row.whole.front().candidates, row.pieces), row.readWhole)
            << row.name;
    }
}

// Lone ink is one character where its whole reads as well as its pieces as read or, compared alike, as
// written only: a piece's weak reading lifted sheared (月 of 育) does not split a whole that reads as well as
// written. Pieces that read more clearly both ways, or a whole not read as written, split it.
TEST(LineSearch, LoneReadsWholeAsWrittenToo) {
    struct Row {
        const char* name;
        std::vector<sw::scribeng::SearchedChar> whole, pieces, writtenWhole, writtenPieces;
        bool readWhole;
    };
    const Row rows[] = {
        {"a piece lifted sheared", lineOf({"育 -2.2 肯 -2.45"}),
         lineOf({"ね -2.9 ぬ -2.95", "月 -1.2 内 -2.3"}), lineOf({"育 -2.2 肯 -2.45"}),
         lineOf({"ね -2.9 ぬ -2.95", "月 -2.3 円 -2.4"}), true},
        {"pieces clearer both ways", lineOf({"柞 -2.68 杵 -3.06"}),
         lineOf({"方 -1.95 友 -2.54", "央 -2.04 距 -2.68"}), lineOf({"殊 -3.45 柞 -3.58"}),
         lineOf({"方 -1.95 友 -2.54", "中 -2.76 鍋 -3.15"}), false},
        {"not read as written",
         lineOf({"育 -2.2 肯 -2.45"}),
         lineOf({"ね -2.9 ぬ -2.95", "月 -1.2 内 -2.3"}),
         {},
         {},
         false},
    };
    for (const auto& row : rows) {
        const std::span<const sw::scribeng::Candidate> written =
            row.writtenWhole.empty() ? std::span<const sw::scribeng::Candidate>{}
                                     : std::span(row.writtenWhole.front().candidates);
        EXPECT_EQ(sw::scribeng::loneReadsWhole(row.whole.front().candidates, row.pieces, written,
                                               row.writtenPieces),
                  row.readWhole)
            << row.name;
    }
}

// Two pieces of lone ink that without their gap are no longer than a lone character may stand further apart
// (ル as ノ and ム 0.3 apart) than two characters side by side (泣 over ザ) or three pieces.
TEST(LineSearch, WidestUnsplitGap) {
    const std::tuple<const char*, double, size_t, double, double> rows[] = {
        {"a wide kana's narrow strokes", 1.71, 2, 1.42, 0.3042},
        {"two characters side by side", 1.98, 2, 1.8, 0.155},
        {"three pieces", 1.7, 3, 1.4, 0.1},
    };
    for (const auto& [name, length, pieces, piecesLength, gap] : rows) {
        EXPECT_NEAR(sw::scribeng::widestUnsplitGap(length, pieces, piecesLength), gap, 1e-3) << name;
    }
}

// A small kana or ー read where none can stand (after a kanji or an a-row kana; ー also first in the line) is
// read full size or as its next reading; っ stands after anything, ー after any kana.
TEST(LineSearch, SmallKanaAndLongVowelOnlyWhereTheyCanStand) {
    PassRow rows[] = {
        {"small ya after an i-row kana", lineOf({"き 0", "ゃ -1"}), "きゃ"},
        {"small yu after te", lineOf({"テ 0", "ュ -1"}), "テュ"},
        {"small yu after an a-row kana", lineOf({"ガ 0", "ュ -1"}), "ガユ"},
        {"small yo after a kanji", lineOf({"防 0", "ョ -1 ヨ -1.5", "発 0"}), "防ヨ発"},
        {"small vowel after katakana", lineOf({"フ 0", "ァ -1"}), "ファ"},
        {"small vowel beginning the line", lineOf({"ィ -1", "が 0"}), "ィが"},
        {"small vowel after a long vowel mark", lineOf({"ー 0", "ォ -1"}), "ーオ"},
        {"small tsu after a kanji", lineOf({"立 0", "っ -1", "て 0"}), "立って"},
        {"long vowel mark after katakana", lineOf({"ピ 0", "ー 0.6 一 -1", "近 0"}), "ピー近"},
        {"long vowel mark after hiragana", lineOf({"や 0", "ー 0.6 一 -1"}), "やー"},
        {"long vowel mark after a kanji", lineOf({"象 0", "ー 0.6 － 0.5 一 -1", "ダ 0"}), "象一ダ"},
        {"long vowel mark beginning the line", lineOf({"ー 0.6 ｜ -1 丿 -1.2 ノ -1.5", "の 0"}), "ノの"},
        {"long vowel marks after a kanji", lineOf({"撃 0", "ー 0.6 一 -1", "ー 0.6 一 -1"}), "撃一一"},
    };
    for (auto& row : rows) {
        sw::scribeng::preferFullSizeKana(row.line, kAll);
        sw::scribeng::preferNoLongVowelAfterNoKana(row.line);
        EXPECT_EQ(bestOf(row.line), codesOf(row.expected)) << row.name;
        // The full form is not listed again further down.
        for (const auto& c : row.line) {
            EXPECT_EQ(std::count_if(c.candidates.begin(), c.candidates.end(),
                                    [&](const auto& k) { return k.code == c.candidates.front().code; }),
                      1)
                << row.name;
        }
    }
}

// A row written piece by piece: each piece's ink begins `gap` pixels after the ink before it, its top at
// y 30. A piece is a stroke file, or "゛" / "゜" for voicing marks: two ticks or a small ring, their top a
// little above the ink before them.
std::vector<Stroke> row(std::initializer_list<std::pair<const char*, int32_t>> pieces) {
    std::vector<Stroke> out;
    int32_t right = 0, top = 30;
    for (auto [name, gap] : pieces) {
        const int32_t x = right + gap;
        std::vector<Stroke> strokes;
        if (std::string_view(name) == "゛") {
            strokes = {{{x, top - 8}, {x + 3, top - 2}, {x + 5, top + 5}},
                       {{x + 9, top - 10}, {x + 12, top - 4}, {x + 14, top + 3}}};
        } else if (std::string_view(name) == "゜") {
            strokes = {
                {{x + 6, top - 10}, {x, top - 4}, {x + 6, top + 2}, {x + 12, top - 4}, {x + 6, top - 10}}};
        } else {
            strokes = placed({{name, x, 30}});
            top = sw::scribeng::boundsOf(strokes).top;
        }
        right = sw::scribeng::boundsOf(strokes).right;
        out.insert(out.end(), strokes.begin(), strokes.end());
    }
    return out;
}

// Voicing marks stand at the upper right of their kana, written last: marks nearer the character before them
// than the rest of the next character are the marks of the character before (で then い, not て then marks
// and い read together), in a row of any spacing. The characters' strokes, per character, in writing order.
TEST(LineSearch, VoicingMarksGoWithTheCharacterBeforeThem) {
    const struct {
        const char* name;
        std::vector<Stroke> strokes;
        std::vector<int32_t> counts;
    } rows[] = {
        {"te mo",
         row({{"single_10.txt", 0}, {"single_14.txt", 30}, {"゛", 12}, {"single_21.txt", 26}}),
         {3, 3, 3}},
        {"te i",
         row({{"single_10.txt", 0}, {"single_14.txt", 30}, {"゛", 12}, {"single_02.txt", 26}}),
         {3, 3, 2}},
        {"te ku",
         row({{"single_10.txt", 0}, {"single_14.txt", 30}, {"゛", 12}, {"single_07.txt", 26}}),
         {3, 3, 1}},
        {"ka i",
         row({{"single_05.txt", 0}, {"゛", 10}, {"single_02.txt", 24}, {"single_07.txt", 30}}),
         {5, 2, 1}},
        {"ka ku",
         row({{"single_05.txt", 0}, {"゛", 10}, {"single_07.txt", 24}, {"single_02.txt", 30}}),
         {5, 1, 2}},
        {"ki ri",
         row({{"single_06.txt", 0}, {"゛", 10}, {"single_24.txt", 24}, {"single_02.txt", 30}}),
         {6, 2, 2}},
        {"shi te", row({{"single_11.txt", 0}, {"゛", 10}, {"single_14.txt", 24}}), {3, 1}},
        {"to na", row({{"single_15.txt", 0}, {"゛", 10}, {"single_16.txt", 24}}), {4, 4}},
        {"ta yo", row({{"single_12.txt", 0}, {"゛", 10}, {"single_23.txt", 24}}), {6, 2}},
        {"tsu yo", row({{"single_13.txt", 0}, {"゛", 10}, {"single_23.txt", 24}}), {3, 2}},
        {"te i, a ring",
         row({{"single_10.txt", 0}, {"single_14.txt", 30}, {"゜", 12}, {"single_02.txt", 26}}),
         {3, 2, 2}},
        {"no marks", row({{"single_10.txt", 0}, {"single_14.txt", 30}, {"single_21.txt", 38}}), {3, 1, 3}},
    };
    for (const auto& r : rows) {
        sw::scribeng::RunCache cache;
        std::vector<int32_t> counts;
        for (const auto& c : sw::scribeng::searchLine(japanese(), r.strokes, std::nullopt, kAll, 5, cache))
            counts.push_back(c.run.last - c.run.first + 1);
        EXPECT_EQ(counts, r.counts) << r.name;
    }
}

// A voiced reading goes by the marks: with marks, the voicing of what the strokes before them read as (close
// below); without, the best reading that is no voiced kana (close below); else the reading stays.
TEST(LineSearch, VoicedReadingsGoByTheirMarks) {
    const struct {
        const char* name;
        const char* list;
        bool marked;
        const char* base;
        const char* expected;
    } rows[] = {
        {"marks on te", "ず -3.2 ブ -3.2 で -3.6 す -4.3", true, "て", "で"},
        {"marks on a small tsu", "ぶ -1 づ -1.3", true, "っ", "づ"},
        {"marks on te, its voicing far below", "ず 0 で -0.8", true, "て", "ず"},
        {"marks on the kana read", "ず 0 で -0.1", true, "す", "ず"},
        {"marks, the strokes before them no kana", "ず 0 で -0.1", true, "山", "ず"},
        {"no marks", "ど -4.85 ぼ -5 も -5.54 と -6", false, "", "も"},
        {"no marks, the others far below", "ど 0 も -1", false, "", "ど"},
        {"no voiced reading", "も 0 ど -0.1", false, "", "も"},
        {"katakana", "ヅ -1 ゾ -1.1 ツ -1.5", false, "", "ツ"},
    };
    for (const auto& row : rows) {
        auto line = lineOf({row.list});
        const auto base = *row.base ? sw::scribeng::codeOfLabel(row.base) : std::nullopt;
        sw::scribeng::preferVoicingOfMarks(line.front().candidates, row.marked, base);
        EXPECT_EQ(bestOf(line), codesOf(row.expected)) << row.name;
    }
}

// A tick (、) has a pen path hardly longer than the diagonal of its box; a lower-case letter as small goes up
// and down or turns.
TEST(LineSearch, TickByItsPath) {
    const struct {
        const char* name;
        std::vector<Stroke> strokes;
        bool tick;
    } rows[] = {
        {"straight tick", {{{0, 0}, {6, 8}}}, true},
        {"curved tick", {{{0, 0}, {4, 3}, {7, 7}, {8, 12}}}, true},
        {"tap", {{{5, 5}}}, true},
        {"n", {{{0, 0}, {0, 20}, {0, 8}, {4, 2}, {9, 2}, {13, 8}, {13, 20}}}, false},
        {"w", {{{0, 0}, {4, 14}, {7, 4}, {10, 14}, {14, 0}}}, false},
        {"s", {{{12, 2}, {6, 0}, {1, 3}, {3, 7}, {10, 10}, {12, 14}, {6, 17}, {0, 15}}}, false},
    };
    for (const auto& row : rows) EXPECT_EQ(sw::scribeng::isTick(row.strokes), row.tick) << row.name;
}

// The strokes before the marks lead with their kana above the one the leading reading voices: so much further
// above it the voicing of their kana still takes its place, up to kBaseLeadMost more.
TEST(LineSearch, MarksGoFurtherByHowClearlyTheStrokesBeforeThemRead) {
    const struct {
        const char* name;
        const char* list;
        const char* base;  // the readings of the strokes before the marks
        const char* expected;
    } rows[] = {
        {"te far above fu", "ブ -3.8 ず -4.2 で -4.9", "て -1.1 Ｔ -4.5 ７ -4.9", "で"},
        {"te just above fu", "ブ -3.8 で -4.9", "て -1.1 フ -1.2", "ブ"},
        {"te far above fu, its voicing too far below", "ブ -3.8 で -5.4", "て -1.1 ７ -4.9", "ブ"},
        {"a small tsu above su", "ず -1 づ -2.2", "っ 0 す -2", "づ"},
        {"ke read in the other script", "げ 0 ゲ -1", "ケ 0 け -3", "げ"},
    };
    for (const auto& row : rows) {
        auto line = lineOf({row.list});
        const auto base = lineOf({row.base}).front().candidates;
        sw::scribeng::preferVoicingOfMarks(
            line.front().candidates, true, base.front().code,
            sw::scribeng::baseLeadOf(base, line.front().candidates.front().code));
        EXPECT_EQ(bestOf(line), codesOf(row.expected)) << row.name;
    }
}

}  // namespace
