// Accuracy of the engine through its C ABI (libscribeng.so loaded with dlopen, entry points by name) on
// fixed-seed synthetic writing made from the supplementary model's glyphs (KanjiVG kana, digits and letters,
// the hand-made templates of punctuation and symbols). The seed differs from the one the models and
// templates are trained with. Runs are deterministic; the floors sit a margin below the measured figures
// (given beside each) so that better models pass and a real regression does not.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "edit_distance.h"
#include "engine_fixture.h"
#include "platform/text/cp932.h"
#include "samples.h"
#include "sanitized_subset.h"
#include "scribeng/loader.h"

namespace {

namespace fs = std::filesystem;
using sw::templategen::Fault;
using Strokes = std::vector<std::vector<EnginePoint>>;
using sw::scribeng::testing::Runs;

using sw::scribeng::testing::runtimeDir;
constexpr uint64_t kSeed = 2027;
constexpr double kScale = 0.9;  // 109 grid units -> about 100 pixels

uint32_t codeOf(char32_t label) {
    const std::string b = sw::text::utf8ToCp932(sw::modelgen::toUtf8(label));
    return b.size() == 2 ? (static_cast<unsigned char>(b[0]) << 8 | static_cast<unsigned char>(b[1])) : 0;
}

std::vector<uint32_t> codesOf(const char* sjis) {
    std::vector<uint32_t> out;
    for (size_t i = 0; sjis && sjis[i] && sjis[i + 1]; i += 2) {
        out.push_back(static_cast<unsigned char>(sjis[i]) << 8 | static_cast<unsigned char>(sjis[i + 1]));
    }
    return out;
}

bool in(std::u32string_view set, char32_t c) { return set.find(c) != std::u32string_view::npos; }

constexpr std::u32string_view kSmall = U"ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ";
constexpr std::u32string_view kVoiced =
    U"がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽゔガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ"
    U"ヴ";

bool isHiragana(char32_t c) { return c >= U'ぁ' && c <= U'ゖ'; }
bool isKatakana(char32_t c) { return c >= U'ァ' && c <= U'ヶ'; }

// The main form of every glyph of the supplementary model except kanji, read once.
const std::vector<sw::modelgen::Glyph>& glyphs() {
    static const std::vector<sw::modelgen::Glyph> all = [] {
        std::string error;
        auto twins = sw::modelgen::readTwinFile(SCRIBENG_MODELGEN_TWINS, &error);
        EXPECT_TRUE(twins.has_value()) << error;
        auto read = sw::modelgen::readSupplementGlyphs(SCRIBENG_KANJIVG_DIR, SCRIBENG_MODELGEN_TEMPLATES,
                                                       twins.value_or(sw::modelgen::TwinGroups{}), &error);
        EXPECT_TRUE(read.has_value()) << error;
        std::vector<sw::modelgen::Glyph> out;
        for (auto& g : read.value_or(std::vector<sw::modelgen::Glyph>{})) {
            if (g.form == 0 && (g.label < 0x4E00 || g.label > 0x9FFF) && codeOf(g.label) != 0)
                out.push_back(std::move(g));
        }
        return out;
    }();
    return all;
}

// The glyph of a label: the supplementary model's, else (kanji) KanjiVG's, read once.
const sw::modelgen::Glyph* glyphOf(char32_t label) {
    for (const auto& g : glyphs()) {
        if (g.label == label) return &g;
    }
    static std::map<char32_t, sw::modelgen::Glyph> kanji;
    if (auto it = kanji.find(label); it != kanji.end()) return &it->second;
    std::string error;
    auto glyph = sw::modelgen::readKanjiVgFile(
        (fs::path(SCRIBENG_KANJIVG_DIR) / sw::modelgen::kanjiVgFileName(label)).string(), &error);
    EXPECT_TRUE(glyph.has_value()) << error;
    if (!glyph) return nullptr;
    glyph->label = label;
    return &kanji.emplace(label, std::move(*glyph)).first->second;
}

// One fixed-seed handwritten sample of the glyph, with the fault, in pixels from (dx, dy).
Strokes sampleOf(const sw::modelgen::Glyph& glyph, Fault fault, int32_t dx = 0, int32_t dy = 0,
                 double scale = kScale, uint64_t seed = kSeed, double variation = 1.0) {
    sw::modelgen::Random random = sw::modelgen::classRandom(seed, glyph.label);
    sw::modelgen::Random faultRandom = sw::modelgen::classRandom(seed + 1, glyph.label);
    auto ink = sw::templategen::withFault(
        sw::modelgen::synthesise(glyph.strokes, random, sw::templategen::scaledVariation(variation)), fault,
        faultRandom);
    Strokes out;
    for (const auto& stroke : sw::templategen::toEngineStrokes(ink, scale)) {
        auto& s = out.emplace_back();
        for (const auto& p : stroke) s.push_back({p.x + dx, p.y + dy});
    }
    return out;
}

class Accuracy : public sw::scribeng::testing::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (!fs::exists(runtimeDir() / "models" / "slatewise-supplement.model"))
            GTEST_SKIP() << "no supplementary model in " << runtimeDir();
    }
    // RecognizeNF; the characters of the result (none when it fails).
    static std::vector<uint32_t> recognize(int32_t o) {
        if (lib().RecognizeNF(o) != 0) return {};
        return codesOf(lib().GetString(o, 0, nullptr));
    }
};

// ---- Every character of a category, alone in a guide box ----

struct CategoryRow {
    const char* name;
    std::function<bool(char32_t)> member;
    Fault fault;
    double top1, top5;  // per cent, at least (measured figures beside the rows)
};

std::string rowName(const ::testing::TestParamInfo<CategoryRow>& info) {
    return std::string(info.param.name) + "_" + sw::templategen::faultName(info.param.fault);
}

class CategoryCoverage : public Accuracy, public ::testing::WithParamInterface<CategoryRow> {};

// Guided recognition (SetGuideBox with the character's cell, RecognizeF) with every category allowed. A
// candidate scored exactly like the best one counts as the best: look-alikes such as ０ Ｏ ｏ 〇 or ト 卜
// get the same score and only the context tells them apart.
TEST_P(CategoryCoverage, EachCharacterRecognised) {
    const CategoryRow& row = GetParam();
    size_t n = 0, top1 = 0, top5 = 0, members = 0;
    std::string missed;
    for (const auto& g : glyphs()) {
        if (!row.member(g.label)) continue;
        if (members++ % sw::scribeng::testing::kSubsetEvery != 0) continue;
        const auto cell = static_cast<int32_t>(109 * kScale);
        lib().SetGuideBox(cell, cell, 0, 0);
        const int32_t o = objectWith(sampleOf(g, row.fault));
        const PtwHandle ptw = lib().GetPatternW(o, 0, lib().GetStrokeCount(o) - 1);
        ASSERT_NE(ptw, 0);
        CandidateEntry list[20] = {};
        ASSERT_EQ(lib().RecognizeF(ptw, list, 20), 0);
        EXPECT_EQ(lib().DestroyPatternW(ptw), 0);
        ++n;
        const uint32_t want = codeOf(g.label);
        for (size_t i = 0; i < 20 && list[i].code != 0; ++i) {
            if (list[i].code != want) continue;
            const bool best = list[i].score == list[0].score;
            top1 += best ? 1 : 0;
            top5 += best || i < 5 ? 1 : 0;
            if (!best) missed += sw::modelgen::toUtf8(g.label);
            break;
        }
    }
    ASSERT_GT(n, 0u) << row.name;
    const double p1 = 100.0 * static_cast<double>(top1) / static_cast<double>(n);
    const double p5 = 100.0 * static_cast<double>(top5) / static_cast<double>(n);
    std::printf("%-12s %-8s %3zu characters, top-1 %5.1f%%, top-5 %5.1f%%; not first: %s\n", row.name,
                sw::templategen::faultName(row.fault), n, p1, p5, missed.c_str());
    if (!sw::scribeng::testing::kCheckFloors) return;
    EXPECT_GE(p1, row.top1);
    EXPECT_GE(p5, row.top5);
}

bool plainHiragana(char32_t c) { return isHiragana(c) && !in(kSmall, c) && !in(kVoiced, c); }
bool plainKatakana(char32_t c) { return isKatakana(c) && !in(kSmall, c) && !in(kVoiced, c); }
bool voicedKana(char32_t c) { return in(kVoiced, c); }
bool digit(char32_t c) { return c >= U'０' && c <= U'９'; }
bool upper(char32_t c) { return c >= U'Ａ' && c <= U'Ｚ'; }
bool lower(char32_t c) { return c >= U'ａ' && c <= U'ｚ'; }
bool symbol(char32_t c) {
    return !isHiragana(c) && !isKatakana(c) && !digit(c) && !upper(c) && !lower(c) && !in(kSmall, c);
}

INSTANTIATE_TEST_SUITE_P(
    Categories, CategoryCoverage,
    ::testing::Values(CategoryRow{"hiragana", plainHiragana, Fault::None, 92, 97},     // 100 100
                      CategoryRow{"katakana", plainKatakana, Fault::None, 90, 97},     // 97.9 100
                      CategoryRow{"voiced", voicedKana, Fault::None, 92, 97},          // 100 100
                      CategoryRow{"digits", digit, Fault::None, 70, 90},               // 90 100
                      CategoryRow{"upper", upper, Fault::None, 88, 96},                // 100 100
                      CategoryRow{"lower", lower, Fault::None, 76, 88},                // 88.5 96.2
                      CategoryRow{"symbols", symbol, Fault::None, 78, 88},             // 86.7 95.2
                      CategoryRow{"hiragana", plainHiragana, Fault::Swapped, 92, 97},  // 100 100
                      // ム written with a swapped pair ranks below 厶 and the looped ２, its shape: 93.8
                      CategoryRow{"katakana", plainKatakana, Fault::Swapped, 70, 93},  // 72.9 93.8
                      CategoryRow{"voiced", voicedKana, Fault::Swapped, 86, 96},       // 96.1 100
                      CategoryRow{"symbols", symbol, Fault::Swapped, 74, 88},          // 83.1 95.2
                      CategoryRow{"hiragana", plainHiragana, Fault::Joined, 88, 96},   // 95.8 100
                      // Joined strokes draw the pen's way back to the next stroke, a direction the templates
                      // lack; they are read with the way taken out too (zinnia_ink.h), which won back the
                      // kana (43.8 / 68.8 katakana before). A single stroke is taken apart for kana only
                      // (cursive letters look joined), so capitals joined into one stroke read a little worse
                      // than before (50.0 / 69.2; 88.5 / 100 with line orientations).
                      CategoryRow{"katakana", plainKatakana, Fault::Joined, 85, 93},  // 91.7 97.9
                      CategoryRow{"voiced", voicedKana, Fault::Joined, 90, 97},       // 96.1 100
                      CategoryRow{"upper", upper, Fault::Joined, 42, 60}),            // 46.2 69.2
    rowName);

// ---- Lines composed of synthetic characters ----

constexpr int32_t kLineSize = 100;  // pixels per character

// Writes the characters one after another along a row or a column, each its own size (0.92..1.08 of the line
// size) and shape (half the models' training variation: a size-and-place decision cannot tell a small kana
// from a full one scaled down by a sixth), with `gap` (of the size) between their cells. Small kana and 、。
// keep their place in KanjiVG's cell (low); in a column they move to its right and top, as they are written
// there.
struct Line {
    Strokes strokes;
    Runs runs;
    std::vector<uint32_t> codes;
};

Line compose(std::u32string_view text, bool vertical, double gap, uint64_t seed) {
    Line line;
    sw::modelgen::Random random(seed);
    double pos = 20;
    for (char32_t c : text) {
        const auto* g = glyphOf(c);
        EXPECT_NE(g, nullptr) << static_cast<uint32_t>(c);
        if (!g) continue;
        const double size = kLineSize * random.uniform(0.92, 1.08);
        const double scale = size / 109.0;
        double dx = 0, dy = 0;
        if (vertical && in(kSmall, c)) std::tie(dx, dy) = std::pair{14.0, -22.0};
        if (vertical && (c == U'、' || c == U'。')) std::tie(dx, dy) = std::pair{62.0, -62.0};
        const auto across = static_cast<int32_t>(std::lround(random.uniform(-3, 3)));
        const auto at = static_cast<int32_t>(std::lround(pos));
        const int32_t x = vertical ? 20 + across + static_cast<int32_t>(dx * scale) : at;
        const int32_t y = vertical ? at + static_cast<int32_t>(dy * scale) : 20 + across;
        const auto first = static_cast<int32_t>(line.strokes.size());
        for (auto& s : sampleOf(*g, Fault::None, x, y, scale, seed, 0.5))
            line.strokes.push_back(std::move(s));
        line.runs.emplace_back(first, static_cast<int32_t>(line.strokes.size()) - 1);
        line.codes.push_back(codeOf(c));
        pos += size * (1 + gap);
    }
    return line;
}

// With SCRIBENG_ACCURACY_DUMP set to a folder, the composed line is written there as a stroke file (for
// scribeng-cli).
void dump(const Line& line, std::u32string_view text, const std::string& name) {
    const char* dir = std::getenv("SCRIBENG_ACCURACY_DUMP");
    if (!dir || !*dir) return;
    std::string utf8;
    for (char32_t c : text) utf8 += sw::modelgen::toUtf8(c);
    std::ofstream out(fs::path(dir) / (name + "_" + utf8 + ".txt"));
    out << "expect " << utf8 << "\n";
    for (const auto& stroke : line.strokes) {
        for (const auto& p : stroke) out << p.x << ',' << p.y << ' ';
        out << '\n';
    }
}

using sw::scribeng::testing::editDistance;

// Fixed-seed texts of three to five full-size kana (plain and voiced, hiragana or katakana).
std::vector<std::u32string> kanaTexts(size_t count, uint64_t seed) {
    std::vector<char32_t> pool;
    for (const auto& g : glyphs()) {
        if (plainHiragana(g.label) || plainKatakana(g.label) || voicedKana(g.label)) pool.push_back(g.label);
    }
    sw::modelgen::Random random(seed);
    std::vector<std::u32string> out(count);
    for (auto& text : out) {
        const auto length = 3 + static_cast<size_t>(random.uniform(0, 3));
        for (size_t i = 0; i < length; ++i) {
            text += pool[std::min(pool.size() - 1,
                                  static_cast<size_t>(random.uniform(0, static_cast<double>(pool.size()))))];
        }
    }
    return out;
}

struct SpacingRow {
    const char* name;
    bool vertical;
    double gap;                // of the character size; negative: cells overlap
    double accuracy, grouped;  // character accuracy and share of lines grouped exactly, at least
};
// Measured: rows 0.957 and 12/12 both ways, columns 0.936 and 12/12.

class Spacing : public Accuracy, public ::testing::WithParamInterface<SpacingRow> {};

// Lines of kana written with tight and wide spacing: characters read and strokes grouped as written.
TEST_P(Spacing, LinesSegmentAsWritten) {
    const SpacingRow& row = GetParam();
    size_t chars = 0, errors = 0, grouped = 0, lines = 0;
    uint64_t seed = kSeed;
    for (const auto& text : kanaTexts(12, kSeed + (row.vertical ? 1 : 0))) {
        const Line line = compose(text, row.vertical, row.gap, ++seed);
        const int32_t o = objectWith(line.strokes);
        const auto got = recognize(o);
        chars += line.codes.size();
        errors += editDistance(line.codes, got);
        grouped += runs(o) == line.runs ? 1 : 0;
        ++lines;
    }
    const double accuracy = 1.0 - static_cast<double>(errors) / static_cast<double>(chars);
    const double share = static_cast<double>(grouped) / static_cast<double>(lines);
    std::printf("%-10s character accuracy %.3f, grouped exactly %zu/%zu\n", row.name, accuracy, grouped,
                lines);
    EXPECT_GE(accuracy, row.accuracy);
    EXPECT_GE(share, row.grouped);
}

INSTANTIATE_TEST_SUITE_P(Lines, Spacing,
                         ::testing::Values(SpacingRow{"row_tight", false, -0.04, 0.88, 0.8},
                                           SpacingRow{"row_wide", false, 0.45, 0.88, 0.8},
                                           SpacingRow{"column_tight", true, -0.04, 0.86, 0.8},
                                           SpacingRow{"column_wide", true, 0.45, 0.86, 0.8}),
                         [](const auto& info) { return std::string(info.param.name); });

// A regroup under the search: merging two neighbours gives one character of exactly their strokes and keeps
// every other character's strokes; cutting a character keeps the rest of it as a character of its own.
TEST_F(Accuracy, RegroupKeepsTheOtherCharacters) {
    uint64_t seed = kSeed + 10;
    size_t checked = 0;
    for (const auto& text : kanaTexts(6, kSeed + 10)) {
        SCOPED_TRACE(sw::modelgen::toUtf8(text[0]));
        const Line line = compose(text, false, 0.3, ++seed);
        const int32_t o = objectWith(line.strokes);
        ASSERT_EQ(lib().RecognizeNF(o), 0);
        const Runs before = runs(o);
        if (before.size() < 3) continue;
        ++checked;
        ASSERT_EQ(lib().GiveStrokeSetInfo(o, 0, before[1].first, before[2].second), 0);
        ASSERT_EQ(lib().RecognizeNF(o), 0);
        Runs merged = before;
        merged[1].second = before[2].second;
        merged.erase(merged.begin() + 2);
        EXPECT_EQ(runs(o), merged);
        // The first character without its first stroke.
        if (before[0].second > before[0].first) {
            ASSERT_EQ(lib().GiveStrokeSetInfo(o, 0, before[0].first + 1, before[0].second), 0);
            ASSERT_EQ(lib().RecognizeNF(o), 0);
            Runs cut = merged;
            cut[0] = {before[0].first + 1, before[0].second};
            cut.insert(cut.begin(), {before[0].first, before[0].first});
            EXPECT_EQ(runs(o), cut);
        }
    }
    EXPECT_GE(checked, 4u);
}

// ---- Small kana, 、 and 。 by size and place ----

struct MarkRow {
    const char* name;
    bool vertical;
    bool first;    // the mark begins the line (else it sits between two full-size characters)
    double found;  // share of the marks read as themselves in their place, at least
};

class SmallKanaAndMarks : public Accuracy, public ::testing::WithParamInterface<MarkRow> {};

TEST_P(SmallKanaAndMarks, ReadBySizeAndPlace) {
    const MarkRow& row = GetParam();
    const std::u32string marks =
        row.first ? U"ぁぃぅぇぉっゃゅょァィゥェォッャュョ" : U"ぁぃぅぇぉっゃゅょァィゥェォッャュョ、。";
    size_t found = 0;
    std::string missed;
    uint64_t seed = kSeed + 20;
    for (char32_t mark : marks) {
        const bool katakana = isKatakana(mark);
        std::u32string text;
        if (!row.first) text += katakana ? U'キ' : U'き';
        text += mark;
        text += katakana ? U'ス' : U'し';
        const Line line = compose(text, row.vertical, 0.2, ++seed);
        dump(line, text, row.name);
        const int32_t o = objectWith(line.strokes);
        const auto got = recognize(o);
        const size_t at = row.first ? 0 : 1;
        const bool ok = got.size() == line.codes.size() && got[at] == line.codes[at];
        found += ok ? 1 : 0;
        if (!ok) {
            missed += sw::modelgen::toUtf8(mark) + "(";
            for (uint32_t c : got)
                missed += sw::text::cp932ToUtf8(
                    std::string{static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)});
            missed += ") ";
        }
    }
    const double share = static_cast<double>(found) / static_cast<double>(marks.size());
    std::printf("%-14s %zu/%zu; missed: %s\n", row.name, found, marks.size(), missed.c_str());
    EXPECT_GE(share, row.found);
}

INSTANTIATE_TEST_SUITE_P(Lines, SmallKanaAndMarks,
                         ::testing::Values(MarkRow{"row_between", false, false, 0.6},
                                           MarkRow{"column_between", true, false, 0.4},
                                           MarkRow{"row_first", false, true, 0.35},
                                           MarkRow{"column_first", true, true, 0.25}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The mask inside the search ----

struct MaskRow {
    char32_t label;
    int32_t mask;
    bool split;  // the strokes of the one written character make several characters under the mask
};

class MaskInSearch : public Accuracy, public ::testing::WithParamInterface<MaskRow> {};

// The mask takes part in the search: a character whose pieces read as allowed classes falls apart into them.
TEST_P(MaskInSearch, ChangesTheGrouping) {
    const MaskRow& row = GetParam();
    const auto* glyph = glyphOf(row.label);
    ASSERT_NE(glyph, nullptr);
    lib().SetRecCategory(row.mask);
    const int32_t o = objectWith(sampleOf(*glyph, Fault::None, 20, 20));
    const auto got = recognize(o);
    if (row.split) {
        EXPECT_GE(got.size(), 2u);
    } else {
        EXPECT_EQ(got, std::vector<uint32_t>{codeOf(row.label)});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MaskInSearch,
    ::testing::Values(MaskRow{U'川', SCRIBENG_CAT_KANJI1, false}, MaskRow{U'川', SCRIBENG_CAT_LATIN, true},
                      MaskRow{U'い', SCRIBENG_CAT_HIRAGANA, false}, MaskRow{U'い', SCRIBENG_CAT_DIGIT, true},
                      MaskRow{U'け', SCRIBENG_CAT_HIRAGANA, false}, MaskRow{U'ハ', SCRIBENG_CAT_DIGIT, true},
                      MaskRow{U'二', SCRIBENG_CAT_KANJI1, false}));

// ---- Look-alikes of katakana read by their neighbours ----

// Words with a katakana that has a kanji look-alike the models score alike (ト 卜, ロ 口, ニ 二, エ 工, カ
// 力, タ 夕, ハ 八), and kanji words with the kanji: each look-alike is read as its neighbours suggest.
TEST_F(Accuracy, LookAlikesReadByTheirNeighbours) {
    struct Word {
        std::u32string text;
        size_t at;  // the look-alike
    };
    const std::vector<Word> katakana{{U"テスト", 2}, {U"ロケット", 0}, {U"ニュース", 0}, {U"エンジン", 0},
                                     {U"カメラ", 0}, {U"タクシー", 0}, {U"ハサミ", 0},   {U"メロン", 1},
                                     {U"ノート", 2}, {U"アニメ", 1}};
    const std::vector<Word> kanji{{U"人口", 1}, {U"二日", 0}, {U"工場", 0}, {U"力学", 0}, {U"八月", 0}};
    auto read = [&](const std::vector<Word>& words, uint64_t seed) {
        size_t right = 0;
        std::string missed;
        for (const auto& word : words) {
            const Line line = compose(word.text, false, 0.3, ++seed);
            const int32_t o = objectWith(line.strokes);
            const auto got = recognize(o);
            const bool ok = got.size() == line.codes.size() && got[word.at] == line.codes[word.at];
            right += ok ? 1 : 0;
            if (!ok) missed += sw::modelgen::toUtf8(word.text[word.at]);
        }
        std::printf("%zu/%zu read as written; missed: %s\n", right, words.size(), missed.c_str());
        return right;
    };
    EXPECT_GE(read(katakana, kSeed + 40), 7u);  // measured 9 (2 when the neighbours are not asked)
    EXPECT_GE(read(kanji, kSeed + 60), 4u);     // measured 5
}

}  // namespace
