// The engine through its C ABI only: libscribeng.so is loaded with dlopen from the runtime folder and every
// entry point is bound by name, as the recognition box does.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "edit_distance.h"
#include "engine_fixture.h"
#include "platform/text/cp932.h"
#include "records/handle_table.h"
#include "scribeng/loader.h"
#include "stroke_file.h"

namespace {

namespace fs = std::filesystem;
using sw::scribeng::StrokeFile;

constexpr int32_t kAll = sw::scribeng::testing::kAllCategories;
using sw::scribeng::testing::runtimeDir;

StrokeFile load(const std::string& name) {
    auto file = sw::scribeng::readStrokeFile(fs::path(SCRIBENG_TEST_DATA) / name);
    EXPECT_TRUE(file.has_value()) << name;
    return file.value_or(StrokeFile{});
}

std::string sjis(const std::string& utf8) { return sw::text::utf8ToCp932(utf8); }

uint32_t codeOf(const std::string& utf8) {
    const std::string b = sjis(utf8);
    return b.size() == 2 ? (static_cast<unsigned char>(b[0]) << 8 | static_cast<unsigned char>(b[1])) : 0;
}

EngineRect boundsOf(const StrokeFile& file, int32_t first, int32_t last) {
    EngineRect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int32_t s = first; s <= last; ++s) {
        for (const auto& p : file.strokes[s]) {
            r = {std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x),
                 std::max(r.bottom, p.y)};
        }
    }
    return r;
}

class Scribeng : public sw::scribeng::testing::EngineTest {
protected:
    int32_t objectWith(const StrokeFile& file) { return EngineTest::objectWith(file.strokes); }
    static std::string result(int32_t o, int32_t* count = nullptr) {
        int32_t n = -1;
        const char* s = lib().GetString(o, 0, &n);
        if (count) *count = n;
        return s ? std::string(s) : std::string("<none>");
    }
    // RecognizeNF, then the result string.
    static std::string recognize(int32_t o) {
        EXPECT_EQ(lib().RecognizeNF(o), 0);
        return result(o);
    }
    static int32_t charCount(int32_t o) {
        int32_t n = -1;
        lib().GetString(o, 0, &n);
        return n;
    }
    // Guided candidates of the whole object's strokes within their own bounds.
    static std::vector<CandidateEntry> guided(int32_t o, int32_t count) {
        std::vector<CandidateEntry> list(static_cast<size_t>(count) + 1, CandidateEntry{-7, -7, 0xFFFF});
        const PtwHandle ptw = lib().GetPatternW(o, 0, lib().GetStrokeCount(o) - 1);
        EXPECT_NE(ptw, 0);
        EXPECT_EQ(lib().RecognizeF(ptw, list.data(), count), 0);
        EXPECT_EQ(lib().DestroyPatternW(ptw), 0);
        // The entry behind the list must be untouched.
        EXPECT_EQ(list.back().code, 0xFFFFu);
        list.pop_back();
        return list;
    }
};

// Characters that clear stroke data must give back as themselves.
TEST_F(Scribeng, SingleCharactersComeBackAsThemselves) {
    for (const char* name :
         {"single_01.txt", "single_03.txt", "single_06.txt", "single_11.txt", "single_12.txt",
          "single_17.txt", "single_26.txt", "single_27.txt", "single_31.txt", "single_36.txt",
          "single_38.txt", "single_41.txt", "single_42.txt", "single_46.txt"}) {
        SCOPED_TRACE(name);
        const StrokeFile file = load(name);
        const int32_t o = objectWith(file);
        EXPECT_EQ(recognize(o), sjis(file.expect));
        EXPECT_EQ(charCount(o), 1);
        EXPECT_EQ(runs(o), (std::vector<std::pair<int32_t, int32_t>>{{0, lib().GetStrokeCount(o) - 1}}));
        EXPECT_EQ(guided(o, 20).front().code, codeOf(file.expect));
    }
}

// Three well-spaced characters: three results with the strokes of each character box and its bounds.
TEST_F(Scribeng, LineOfThreeCharacters) {
    // The text is checked where the model knows the shapes; the digits of line3_d (a one-stroke 1 far from
    // its neighbours) test the grouping only.
    for (const char* name : {"line3_a.txt", "line3_b.txt", "line3_d.txt"}) {
        SCOPED_TRACE(name);
        const StrokeFile file = load(name);
        const int32_t o = objectWith(file);
        const std::string text = recognize(o);
        if (std::string(name) != "line3_d.txt") {
            EXPECT_EQ(text, sjis(file.expect));
        }
        ASSERT_EQ(charCount(o), 3);
        // The generator puts character i in the 100-pixel box starting at x = 20 + 140 i.
        std::vector<std::pair<int32_t, int32_t>> expected;
        for (int32_t s = 0; s < static_cast<int32_t>(file.strokes.size()); ++s) {
            const int slot = (boundsOf(file, s, s).left - 20) / 140;
            if (static_cast<int>(expected.size()) <= slot) expected.emplace_back(s, s);
            expected.back().second = s;
        }
        EXPECT_EQ(runs(o), expected);
        for (int32_t ch = 0; ch < 3; ++ch) {
            EngineRect box{};
            ASSERT_EQ(lib().GetNthCharBound(o, 0, ch, &box), 0);
            const EngineRect want = boundsOf(file, expected[ch].first, expected[ch].second);
            EXPECT_EQ(std::tie(box.left, box.top, box.right, box.bottom),
                      std::tie(want.left, want.top, want.right, want.bottom));
        }
    }
}

// The merge gesture: two neighbouring characters become one, the third keeps its strokes, and a later
// regroup elsewhere keeps the merged character together.
TEST_F(Scribeng, RegroupMergesNeighboursAndKeepsTheRest) {
    const int32_t o = objectWith(load("line3_a.txt"));
    ASSERT_EQ(lib().RecognizeNF(o), 0);
    const auto before = runs(o);
    ASSERT_EQ(before.size(), 3u);
    const char* oldString = lib().GetString(o, 0, nullptr);
    const std::string oldCopy = oldString;
    ASSERT_EQ(lib().GiveStrokeSetInfo(o, 0, before[0].first, before[1].second), 0);
    ASSERT_EQ(lib().RecognizeNF(o), 0);
    // The merge gesture compares the string from before the regroup with the new one: it must still be
    // readable (a use after free under the sanitizer build otherwise).
    EXPECT_EQ(std::string(oldString), oldCopy);
    int32_t count = 0;
    const std::string merged = result(o, &count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(merged.substr(2), sjis("口"));
    const std::vector<std::pair<int32_t, int32_t>> want{{before[0].first, before[1].second}, before[2]};
    EXPECT_EQ(runs(o), want);

    ASSERT_EQ(lib().GiveStrokeSetInfo(o, 0, before[2].first, before[2].second), 0);
    ASSERT_EQ(lib().RecognizeNF(o), 0);
    EXPECT_EQ(runs(o), want);
    // Once used, the regroup is gone: a plain recognition segments afresh.
    ASSERT_EQ(lib().RecognizeNF(o), 0);
    EXPECT_EQ(runs(o), before);
}

// A lasso that takes part of a character: the rest of that character stays one character of its own.
TEST_F(Scribeng, RegroupCuttingACharacterKeepsItsRest) {
    const int32_t o = objectWith(load("line3_a.txt"));
    ASSERT_EQ(lib().RecognizeNF(o), 0);
    const auto before = runs(o);
    ASSERT_EQ(before.size(), 3u);
    const int32_t first = before[1].first + 1, last = before[1].second;  // 川 without its first stroke
    ASSERT_EQ(lib().GiveStrokeSetInfo(o, 0, first, last), 0);
    ASSERT_EQ(lib().RecognizeNF(o), 0);
    const std::vector<std::pair<int32_t, int32_t>> want{
        before[0], {before[1].first, before[1].first}, {first, last}, before[2]};
    EXPECT_EQ(runs(o), want);
}

TEST_F(Scribeng, RegroupRefusesBadRunsAndChangesNothing) {
    const int32_t o = objectWith(load("line3_a.txt"));
    const int32_t n = lib().GetStrokeCount(o);
    for (auto [first, last] :
         std::vector<std::pair<int32_t, int32_t>>{{-1, 0}, {2, 1}, {0, n}, {n, n}, {-5, -3}}) {
        EXPECT_NE(lib().GiveStrokeSetInfo(o, 0, first, last), 0) << first << ".." << last;
    }
    ASSERT_EQ(lib().RecognizeNF(o), 0);
    EXPECT_EQ(runs(o).size(), 3u);
}

int32_t categoryOf(uint32_t code) {
    auto in = [code](uint32_t a, uint32_t b) { return code >= a && code <= b; };
    if (in(0x829F, 0x82F1)) return SCRIBENG_CAT_HIRAGANA;
    if (in(0x824F, 0x8258)) return SCRIBENG_CAT_DIGIT;
    if (in(0x889F, 0x9872)) return SCRIBENG_CAT_KANJI1;
    if (in(0x989F, 0xEAA4)) return SCRIBENG_CAT_KANJI2;
    return -1;
}

// With only some categories allowed every candidate belongs to them, in free and in guided recognition. (The
// free result may group the strokes differently under a mask: every character of it is checked.)
TEST_F(Scribeng, CategoryMaskFilters) {
    const StrokeFile kanji = load("single_26.txt");  // 山
    ASSERT_EQ(kanji.expect, "山");
    for (int32_t mask : {SCRIBENG_CAT_HIRAGANA, SCRIBENG_CAT_DIGIT, SCRIBENG_CAT_KANJI2,
                         SCRIBENG_CAT_HIRAGANA | SCRIBENG_CAT_DIGIT, SCRIBENG_CAT_KANJI1}) {
        SCOPED_TRACE(mask);
        ASSERT_EQ(lib().SetRecCategory(mask), 0);
        const int32_t o = objectWith(kanji);
        ASSERT_EQ(lib().RecognizeNF(o), 0);
        const std::string text = result(o);
        ASSERT_GE(text.size(), 2u);
        for (size_t i = 0; i + 1 < text.size(); i += 2) {
            const uint32_t c =
                static_cast<unsigned char>(text[i]) << 8 | static_cast<unsigned char>(text[i + 1]);
            EXPECT_NE(categoryOf(c) & mask, 0) << std::hex << c;
        }
        const uint32_t code = static_cast<unsigned char>(text[0]) << 8 | static_cast<unsigned char>(text[1]);
        for (const auto& entry : guided(o, 20)) {
            if (entry.code != 0) {
                EXPECT_NE(categoryOf(entry.code) & mask, 0) << std::hex << entry.code;
            }
        }
        if (mask == SCRIBENG_CAT_KANJI1) {
            EXPECT_EQ(text, sjis("山"));
            EXPECT_EQ(code, codeOf("山"));
        }
    }
    // Nothing allowed: no result at all.
    ASSERT_EQ(lib().SetRecCategory(0), 0);
    const int32_t o = objectWith(kanji);
    EXPECT_NE(lib().RecognizeNF(o), 0);
    EXPECT_EQ(lib().GetString(o, 0, nullptr), nullptr);
}

// Guided recognition: 20 distinct candidates best first; a shorter list ends with a zero code.
TEST_F(Scribeng, GuidedCandidatesBestFirst) {
    const StrokeFile file = load("single_01.txt");  // あ
    const int32_t o = objectWith(file);
    const EngineRect box = boundsOf(file, 0, static_cast<int32_t>(file.strokes.size()) - 1);
    lib().SetGuideBox(box.right + 20, box.bottom + 20, box.left - 20, box.top - 20);
    const auto list = guided(o, 20);
    EXPECT_EQ(list.front().code, codeOf("あ"));
    std::set<uint32_t> codes;
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_NE(list[i].code, 0u);
        EXPECT_EQ(list[i].code & 0xFFFF0000u, 0u);
        codes.insert(list[i].code);
        EXPECT_EQ(list[i].rank, static_cast<int32_t>(i) + 1);
        if (i > 0) {
            EXPECT_LE(list[i].score, list[i - 1].score);
        }
    }
    EXPECT_EQ(codes.size(), 20u);

    // Only ten digits exist: they come first and a zero code ends the list.
    lib().SetRecCategory(SCRIBENG_CAT_DIGIT);
    const auto digits = guided(o, 20);
    for (size_t i = 0; i < 10; ++i) EXPECT_EQ(categoryOf(digits[i].code), SCRIBENG_CAT_DIGIT);
    for (size_t i = 10; i < 20; ++i) EXPECT_EQ(digits[i].code, 0u);
    // A one-entry list holds just the best candidate.
    EXPECT_EQ(guided(o, 1).size(), 1u);
}

TEST_F(Scribeng, StrokeStoreCopiesAndReportsStrokes) {
    const int32_t o = lib().CreateNewObject();
    adopt(o);
    std::vector<EnginePoint> points{{1, 2}, {3, 4}, {40000, -40000}};
    ASSERT_EQ(lib().AddStrokeLast(o, points.data(), 3), 0);
    points[0] = {99, 99};
    ASSERT_EQ(lib().AddStrokeLast(o, points.data(), 1), 0);
    EXPECT_EQ(lib().GetStrokeCount(o), 2);
    int32_t count = 0;
    const EnginePoint* first = lib().GetNthStroke(o, 0, &count);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(first[0].x, 1);
    EXPECT_EQ(first[2].y, -40000);

    // The PTW: canvas coordinates clamped to 16 bits, Flag 4 closing each stroke, owned by the engine.
    const PtwHandle ptw = lib().GetPatternW(o, 0, 1);
    std::span<const sw::PtwPoint> p;
    ASSERT_TRUE(sw::ptwPoints(ptw, &p));
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].X, 1);
    EXPECT_EQ(p[2].X, 32767);
    EXPECT_EQ(p[2].Y, -32768);
    EXPECT_EQ(p[3].X, 99);
    EXPECT_EQ(std::vector<int>({p[0].Flag, p[1].Flag, p[2].Flag, p[3].Flag}), std::vector<int>({0, 0, 4, 4}));
    sw::BlockInfo info;
    ASSERT_TRUE(sw::lookupBlock(ptw, &info));
    EXPECT_EQ(info.owner, sw::Owner::Engine);
    EXPECT_FALSE(sw::freePtw(ptw, sw::Owner::Quillbox));
    EXPECT_EQ(lib().DestroyPatternW(ptw), 0);
    EXPECT_NE(lib().DestroyPatternW(ptw), 0);

    // A stroke added or deleted after a result makes the result stale: it is gone.
    const int32_t line = objectWith(load("line3_a.txt"));
    ASSERT_EQ(lib().RecognizeNF(line), 0);
    ASSERT_EQ(lib().DeleteStrokeLast(line), 0);
    EXPECT_EQ(lib().GetString(line, 0, &count), nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(lib().GetPatternWOfNthChar(line, 0, 0), 0);
    ASSERT_EQ(lib().RecognizeNF(line), 0);
    const PtwHandle second = lib().GetPatternWOfNthChar(line, 0, 1);
    ASSERT_TRUE(sw::ptwPoints(second, &p));
    EXPECT_EQ(p.front().X, lib().GetNthStroke(line, runs(line)[1].first, &count)->x);
    EXPECT_EQ(lib().DestroyPatternW(second), 0);
}

// Every entry point with bad handles, destroyed objects, negative counts, null pointers and empty objects.
TEST_F(Scribeng, SurvivesBadArguments) {
    const int32_t empty = lib().CreateNewObject();
    adopt(empty);
    const int32_t dead = lib().CreateNewObject();
    ASSERT_EQ(lib().DestroyObject(dead), 0);
    EnginePoint pt{5, 5};
    EngineRect box{};
    int32_t a = 7, b = 7;
    for (int32_t o : {0, -1, 0x7FFFFFFF, dead, empty}) {
        SCOPED_TRACE(o);
        if (o != empty) {
            EXPECT_NE(lib().DestroyObject(o), 0);
            EXPECT_NE(lib().AddStrokeLast(o, &pt, 1), 0);
        }
        EXPECT_NE(lib().DeleteStrokeLast(o), 0);
        EXPECT_EQ(lib().GetStrokeCount(o), 0);
        EXPECT_EQ(lib().GetNthStroke(o, 0, &a), nullptr);
        EXPECT_EQ(a, 0);
        EXPECT_NE(lib().RecognizeNF(o), 0);
        EXPECT_NE(lib().GiveStrokeSetInfo(o, 0, 0, 0), 0);
        EXPECT_EQ(lib().GetString(o, 0, &a), nullptr);
        EXPECT_NE(lib().GetStrokeNoOfNthChar(o, 0, 0, &a, &b), 0);
        EXPECT_NE(lib().GetNthCharBound(o, 0, 0, &box), 0);
        EXPECT_EQ(lib().GetPatternW(o, 0, 0), 0);
        EXPECT_EQ(lib().GetPatternWOfNthChar(o, 0, 0), 0);
    }
    EXPECT_NE(lib().AddStrokeLast(empty, nullptr, 1), 0);
    EXPECT_NE(lib().AddStrokeLast(empty, &pt, 0), 0);
    EXPECT_NE(lib().AddStrokeLast(empty, &pt, -3), 0);
    EXPECT_EQ(lib().GetStrokeCount(empty), 0);

    const int32_t o = objectWith(load("single_01.txt"));
    ASSERT_EQ(lib().RecognizeNF(o), 0);
    EXPECT_EQ(lib().GetNthStroke(o, -1, &a), nullptr);
    EXPECT_EQ(lib().GetNthStroke(o, 3, &a), nullptr);
    EXPECT_NE(lib().GetNthStroke(o, 0, nullptr), nullptr);
    EXPECT_NE(lib().GetString(o, 0, nullptr), nullptr);
    for (int32_t ch : {-1, 1, 1000}) {
        EXPECT_NE(lib().GetStrokeNoOfNthChar(o, 0, ch, &a, &b), 0);
        EXPECT_NE(lib().GetNthCharBound(o, 0, ch, &box), 0);
        EXPECT_EQ(lib().GetPatternWOfNthChar(o, 0, ch), 0);
    }
    EXPECT_NE(lib().GetStrokeNoOfNthChar(o, 0, 0, nullptr, &b), 0);
    EXPECT_NE(lib().GetNthCharBound(o, 0, 0, nullptr), 0);
    EXPECT_EQ(lib().GetPatternW(o, 0, -1), 0);
    EXPECT_EQ(lib().GetPatternW(o, 0, 3), 0);

    // RecognizeF with bad records and lists.
    CandidateEntry list[20];
    const PtwHandle good = lib().GetPatternW(o, 0, 2);
    EXPECT_NE(lib().RecognizeF(good, nullptr, 20), 0);
    EXPECT_NE(lib().RecognizeF(good, list, 0), 0);
    EXPECT_NE(lib().RecognizeF(good, list, -20), 0);
    EXPECT_EQ(lib().DestroyPatternW(good), 0);
    EXPECT_NE(lib().RecognizeF(good, list, 20), 0);  // freed
    EXPECT_EQ(list[0].code, 0u);
    EXPECT_NE(lib().RecognizeF(0, list, 20), 0);
    const auto strokeData = sw::allocateStrokeData(sw::Owner::Test, 4);  // a handle of another kind
    EXPECT_NE(lib().RecognizeF(strokeData.handle, list, 20), 0);
    sw::freeBlock(strokeData.handle, sw::Owner::Test);
    for (int64_t points : {0, 3}) {  // empty, and points without a closing Flag 4
        const auto ptw = sw::allocatePtw(sw::Owner::Test, points);
        EXPECT_NE(lib().RecognizeF(ptw.handle, list, 20), 0);
        EXPECT_NE(lib().DestroyPatternW(ptw.handle), 0);  // not the engine's
        EXPECT_TRUE(sw::freePtw(ptw.handle, sw::Owner::Test));
    }
    EXPECT_NE(lib().DestroyPatternW(0), 0);
    EXPECT_NE(lib().DestroyPatternW(-5), 0);

    // Coordinates at both ends of the 32-bit range: no overflow anywhere (the sanitizer build checks).
    const int32_t far = lib().CreateNewObject();
    adopt(far);
    const EnginePoint extremes[] = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, {0, 0}};
    ASSERT_EQ(lib().AddStrokeLast(far, extremes, 2), 0);
    ASSERT_EQ(lib().AddStrokeLast(far, extremes + 2, 1), 0);
    if (lib().RecognizeNF(far) == 0) {
        EXPECT_EQ(lib().GetNthCharBound(far, 0, 0, &box), 0);
    }
    const PtwHandle clamped = lib().GetPatternW(far, 0, 1);
    lib().SetGuideBox(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
    lib().RecognizeF(clamped, list, 20);
    EXPECT_EQ(lib().DestroyPatternW(clamped), 0);
}

// ---- Lines: segmentation by search over the line set (tests/data/scribeng/lines, fixed seed) ----

// The line set holds katakana, voiced and small kana that only the supplementary model (built with the
// engine, tools/modelgen) knows.
bool hasSupplementaryModel() { return fs::exists(runtimeDir() / "models" / "slatewise-supplement.model"); }

// Characters of a code page 932 result, two bytes each.
std::vector<uint32_t> codesOf(const std::string& sjisText) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i + 1 < sjisText.size(); i += 2) {
        out.push_back(static_cast<unsigned char>(sjisText[i]) << 8 |
                      static_cast<unsigned char>(sjisText[i + 1]));
    }
    return out;
}

using sw::scribeng::testing::editDistance;

// How many of `wanted`'s characters that satisfy `counts` a longest common subsequence with `got` matches.
size_t matchedWhere(const std::vector<uint32_t>& wanted, const std::vector<uint32_t>& got,
                    const std::function<bool(uint32_t)>& counts) {
    const size_t n = wanted.size(), m = got.size();
    std::vector<std::vector<size_t>> lcs(n + 1, std::vector<size_t>(m + 1, 0));
    for (size_t i = n; i-- > 0;) {
        for (size_t j = m; j-- > 0;) {
            lcs[i][j] = wanted[i] == got[j] ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
        }
    }
    size_t matched = 0;
    for (size_t i = 0, j = 0; i < n && j < m;) {
        if (wanted[i] == got[j]) {
            matched += counts(wanted[i]) ? 1 : 0;
            ++i;
            ++j;
        } else if (lcs[i + 1][j] >= lcs[i][j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    return matched;
}

struct LineSample {
    std::string name;
    StrokeFile file;
    std::vector<std::pair<int32_t, int32_t>> runs;  // the strokes of each written character
};

// The line set with each file's true grouping (its "# strokes per character" line).
std::vector<LineSample> lineSet() {
    std::vector<LineSample> out;
    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(fs::path(SCRIBENG_TEST_DATA) / "lines"))
        paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    for (const auto& path : paths) {
        LineSample sample{path.filename().string(), load("lines/" + path.filename().string()), {}};
        std::ifstream in(path);
        std::string line;
        const std::string key = "# strokes per character:";
        while (std::getline(in, line)) {
            if (line.rfind(key, 0) != 0) continue;
            std::istringstream counts(line.substr(key.size()));
            int32_t first = 0, count = 0;
            while (counts >> count) {
                sample.runs.emplace_back(first, first + count - 1);
                first += count;
            }
        }
        out.push_back(std::move(sample));
    }
    return out;
}

bool isSmallOrMark(uint32_t code) {
    static const std::set<uint32_t> codes = [] {
        std::set<uint32_t> s;
        for (const char* c : {"ぁ", "ぃ", "ぅ", "ぇ", "ぉ", "っ", "ゃ", "ゅ", "ょ", "ァ", "ィ",
                              "ゥ", "ェ", "ォ", "ッ", "ャ", "ュ", "ョ", "、", "。", "ー"})
            s.insert(codeOf(c));
        return s;
    }();
    return codes.count(code) != 0;
}

// Character accuracy (1 - edit distance / length) and exact grouping per kind of line, and how many of the
// small kana, 、。 and ー come out. The floors sit a margin below the figures measured with the engine's
// models and shape templates as the build makes them.
TEST_F(Scribeng, LineSetAccuracy) {
    if (!hasSupplementaryModel()) GTEST_SKIP() << "no supplementary model in " << runtimeDir();
    struct Group {
        size_t chars = 0, errors = 0, lines = 0, grouped = 0, marks = 0, marksFound = 0;
    };
    std::map<std::string, Group> groups;
    for (const auto& sample : lineSet()) {
        SCOPED_TRACE(sample.name);
        const int32_t o = objectWith(sample.file);
        ASSERT_EQ(lib().RecognizeNF(o), 0);
        const auto wanted = codesOf(sjis(sample.file.expect));
        const auto got = codesOf(result(o));
        const std::string kind = sample.name.substr(3, sample.name.find('.') - 3);  // h_tight, v_wide, ...
        for (Group* g : {&groups[kind], &groups["all"]}) {
            g->chars += wanted.size();
            g->errors += editDistance(wanted, got);
            g->lines += 1;
            g->grouped += runs(o) == sample.runs ? 1 : 0;
            g->marks += static_cast<size_t>(std::count_if(wanted.begin(), wanted.end(), isSmallOrMark));
            g->marksFound += matchedWhere(wanted, got, isSmallOrMark);
        }
    }
    const std::map<std::string, std::pair<double, double>> floors{
        // kind: character accuracy, share of lines grouped exactly (measured: 0.98 0.93 0.98 0.98 0.97, all
        // lines grouped exactly)
        {"h_tight", {0.92, 0.85}}, {"h_wide", {0.85, 0.85}}, {"v_tight", {0.92, 0.85}},
        {"v_wide", {0.90, 0.85}},  {"all", {0.90, 0.9}},
    };
    for (const auto& [kind, g] : groups) {
        const double accuracy = 1.0 - static_cast<double>(g.errors) / static_cast<double>(g.chars);
        const double grouped = static_cast<double>(g.grouped) / static_cast<double>(g.lines);
        std::printf("%-8s character accuracy %.3f, grouped exactly %zu/%zu, small kana and marks %zu/%zu\n",
                    kind.c_str(), accuracy, g.grouped, g.lines, g.marksFound, g.marks);
        ASSERT_TRUE(floors.count(kind)) << kind;
        EXPECT_GE(accuracy, floors.at(kind).first) << kind;
        EXPECT_GE(grouped, floors.at(kind).second) << kind;
    }
    const Group& all = groups["all"];
    EXPECT_GE(static_cast<double>(all.marksFound), 0.75 * static_cast<double>(all.marks));  // measured 28/32
}

// The same characters written down a column read as they do along a row.
TEST_F(Scribeng, VerticalLineReadsLikeTheHorizontalOne) {
    for (const char* name : {"line6_a.txt", "line3_b.txt", "line3_a.txt"}) {
        SCOPED_TRACE(name);
        const StrokeFile row = load(name);
        // Character i sits in the box starting at x = 20 + 140 i: move it to y = 20 + 140 i instead.
        StrokeFile column = row;
        for (auto& stroke : column.strokes) {
            const int32_t left =
                std::min_element(stroke.begin(), stroke.end(), [](const auto& a, const auto& b) {
                    return a.x < b.x;
                })->x;
            const int32_t slot = (left - 20) / 140;
            for (auto& p : stroke) p = {p.x - 140 * slot, p.y + 140 * slot};
        }
        const int32_t h = objectWith(row), v = objectWith(column);
        EXPECT_EQ(recognize(v), recognize(h));
        EXPECT_EQ(recognize(v), sjis(row.expect));
        EXPECT_EQ(runs(v), runs(h));
    }
}

// The category mask takes part in the search: the two strokes of い are one hiragana but two digits, and
// digits written edge to edge stay apart under a digits-only mask.
TEST_F(Scribeng, MaskChangesTheGrouping) {
    const StrokeFile file = load("single_02.txt");  // い
    ASSERT_EQ(file.strokes.size(), 2u);
    lib().SetRecCategory(SCRIBENG_CAT_HIRAGANA);
    const int32_t kana = objectWith(file);
    EXPECT_EQ(recognize(kana), sjis("い"));

    lib().SetRecCategory(SCRIBENG_CAT_DIGIT);
    const int32_t split = objectWith(file);
    ASSERT_EQ(lib().RecognizeNF(split), 0);
    EXPECT_EQ(runs(split), (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 1}}));
    for (uint32_t code : codesOf(result(split)))
        EXPECT_EQ(categoryOf(code), SCRIBENG_CAT_DIGIT) << std::hex << code;

    const int32_t digits = objectWith(load("digits_tight.txt"));  // 1010, each a single stroke
    ASSERT_EQ(lib().RecognizeNF(digits), 0);
    EXPECT_EQ(runs(digits), (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    for (uint32_t code : codesOf(result(digits)))
        EXPECT_EQ(categoryOf(code), SCRIBENG_CAT_DIGIT) << std::hex << code;
}

// A character written as two stacked parts (the fourth written Latin set: an 8 as two rings, a Y as a V
// over a stick) is one character with every category allowed, while the same parts lying side by side in a
// row, or two such characters written side by side, stay two. `copies` places the file's strokes again at
// the ink's own width or height times `step` further on.
TEST_F(Scribeng, StackedPartsAreOneCharacterTwoCopiesTwo) {
    const struct {
        const char* name;
        const char* file;
        int32_t mask;
        int copies;   // -1: the file once, lying on its side
        bool across;  // copies to the right, else below
        double step;
        int32_t chars;
    } rows[] = {
        {"eight_as_two_rings", "latin-written4/digits/8_6.txt", kAll, 1, true, 0, 1},
        {"y_as_v_over_stick", "latin-written4/upper/YY_2.txt", kAll, 1, true, 0, 1},
        {"y_as_v_over_stick_small", "latin-written4/upper/YY_3.txt", kAll, 1, true, 0, 1},
        {"eight_lying_on_its_side", "latin-written4/digits/8_6.txt", kAll, -1, true, 0, 2},
        {"eights_side_by_side_digits", "latin-written4/digits/8_6.txt", SCRIBENG_CAT_DIGIT, 2, true, 2.0, 2},
    };
    for (const auto& row : rows) {
        lib().SetRecCategory(row.mask);
        const StrokeFile one = load(row.file);
        ASSERT_FALSE(one.strokes.empty()) << row.name;
        const EngineRect ink = boundsOf(one, 0, static_cast<int32_t>(one.strokes.size()) - 1);
        StrokeFile file;
        if (row.copies < 0) {
            for (auto stroke : one.strokes) {
                for (auto& p : stroke) std::swap(p.x, p.y);
                file.strokes.push_back(std::move(stroke));
            }
        }
        for (int i = 0; i < row.copies; ++i) {
            const auto shift = static_cast<int32_t>(
                i * row.step * (row.across ? ink.right - ink.left : ink.bottom - ink.top));
            for (auto stroke : one.strokes) {
                for (auto& p : stroke) (row.across ? p.x : p.y) += shift;
                file.strokes.push_back(std::move(stroke));
            }
        }
        const int32_t o = objectWith(file);
        ASSERT_EQ(lib().RecognizeNF(o), 0) << row.name;
        EXPECT_EQ(charCount(o), row.chars) << row.name << ": " << result(o);
    }
    lib().SetRecCategory(kAll);
}

// Letters and digits of a narrow hand written side by side, each narrower than half its height, with gaps of
// about a sixth of a character between them: each reads as itself, two of them never as one kanji (3 and 6
// together look like 凡), unless the writer groups them. Every sample is scaled to the same size and placed
// after the ink before it.
TEST_F(Scribeng, RowOfNarrowLatinReadsAsItsCharacters) {
    const struct {
        const char* name;
        std::vector<const char*> files;
        const char* text;
    } rows[] = {
        {"fifth_digits",
         {"latin-written5/digits/2_6.txt", "latin-written5/digits/3_4.txt", "latin-written5/digits/6_2.txt",
          "latin-written5/digits/9_2.txt"},
         "２３６９"},
        // Other forms of the 3 and 6: 3 + 6 read as 五, and 2 + 3 as 乃 whose 2 alone reads as ２ with Ｚ
        // close behind (split once the 6 and 9 after it are digits).
        {"fifth_digits_other_3_6",
         {"latin-written5/digits/2_6.txt", "latin-written5/digits/3_1.txt", "latin-written5/digits/6_1.txt",
          "latin-written5/digits/9_2.txt"},
         "２３６９"},
        {"fifth_digits_2_3_together",
         {"latin-written5/digits/2_6.txt", "latin-written5/digits/3_4.txt", "latin-written5/digits/6_3.txt",
          "latin-written5/digits/9_2.txt"},
         "２３６９"},
        // This 3 alone scores ｊ above ３: among digits it is the digit.
        {"fifth_digits_3_as_j",
         {"latin-written5/digits/2_6.txt", "latin-written5/digits/3_3.txt", "latin-written5/digits/6_4.txt",
          "latin-written5/digits/9_2.txt"},
         "２３６９"},
        {"first_digits",
         {"latin-written/digits/5_4.txt", "latin-written/digits/9_3.txt", "latin-written/digits/3_2.txt",
          "latin-written/digits/5_1.txt"},
         "５９３５"},
        {"first_lower",
         {"latin-written/lower/d_3.txt", "latin-written/lower/b_5.txt", "latin-written/lower/f_6.txt",
          "latin-written/lower/i_3.txt"},
         "ｄｂｆｉ"},
    };
    constexpr double kSide = 200, kGap = 30;
    for (const auto& row : rows) {
        StrokeFile line;
        double at = 0;
        for (const char* name : row.files) {
            const StrokeFile one = load(name);
            ASSERT_TRUE(one.box.has_value()) << name;
            const double scale = kSide / std::max(one.box->right - one.box->left, 1);
            const EngineRect ink = boundsOf(one, 0, static_cast<int32_t>(one.strokes.size()) - 1);
            for (const auto& stroke : one.strokes) {
                std::vector<EnginePoint> moved;
                for (const auto& p : stroke) {
                    moved.push_back({static_cast<int32_t>(std::lround(at + (p.x - ink.left) * scale)),
                                     static_cast<int32_t>(std::lround((p.y - one.box->top) * scale))});
                }
                line.strokes.push_back(std::move(moved));
            }
            at += (ink.right - ink.left) * scale + kGap;
        }
        const int32_t o = objectWith(line);
        EXPECT_EQ(recognize(o), sjis(row.text)) << row.name;
        // The first two grouped by the writer (before any result: the search runs around them) stay one
        // character.
        const auto read = runs(o);
        ASSERT_GE(read.size(), 2u) << row.name;
        const int32_t again = objectWith(line);
        ASSERT_EQ(lib().GiveStrokeSetInfo(again, 0, read[0].first, read[1].second), 0) << row.name;
        ASSERT_EQ(lib().RecognizeNF(again), 0) << row.name;
        const auto regrouped = runs(again);
        ASSERT_FALSE(regrouped.empty()) << row.name;
        EXPECT_EQ(regrouped.front(), std::make_pair(read[0].first, read[1].second)) << row.name;
    }
}

// A column that begins with a dot standing apart from the rest of its character (う's dot up and to the
// right): the dot is the character's first stroke, never a 、 before it. Below う, another character 70
// units down.
TEST_F(Scribeng, DotBeginningTheInkIsNoComma) {
    const struct {
        const char* below;  // file of the character below
        int32_t dx, dy;     // the dot moved by
        const char* text;
    } rows[] = {
        {"single_17.txt", 15, -20, "うの"},
        {"single_24.txt", 15, -10, "うり"},
        {"single_24.txt", 25, -20, "うり"},
        {"single_26.txt", 25, -20, "う山"},
    };
    const StrokeFile u = load("single_03.txt");
    ASSERT_EQ(u.strokes.size(), 2u);
    for (const auto& row : rows) {
        StrokeFile column = u;
        for (auto& p : column.strokes.front()) p = {p.x + row.dx, p.y + row.dy};
        for (auto stroke : load(row.below).strokes) {
            for (auto& p : stroke) p.y += 70;
            column.strokes.push_back(std::move(stroke));
        }
        EXPECT_EQ(recognize(objectWith(column)), sjis(row.text))
            << row.below << " " << row.dx << " " << row.dy;
    }
}

// The last dot of 忘 (the right dot of 心) moved right and down, beyond the rest of the character along the
// row, 山 after it: a dot close to the ink before it is that character's stroke; with a clear gap it is 、.
TEST_F(Scribeng, DotCloseToTheInkBeforeIsNoComma) {
    const struct {
        int32_t dx, dy;  // the dot moved by
        const char* text;
    } rows[] = {
        {6, 8, "忘山"},     // 1 unit clear of the hook
        {10, 8, "忘山"},    // 5 units
        {30, 8, "忘、山"},  // a quarter of the character
    };
    const StrokeFile line = load("line2_a.txt");  // 忘山
    ASSERT_EQ(line.strokes.size(), 10u);
    for (const auto& row : rows) {
        StrokeFile moved = line;
        for (auto& p : moved.strokes[6]) p = {p.x + row.dx, p.y + row.dy};
        EXPECT_EQ(recognize(objectWith(moved)), sjis(row.text)) << row.dx << " " << row.dy;
    }
}

// A row (`gap` apart) whose middle character has its first `left` strokes moved `apart` further left: a part
// a little apart (木 of 校, ノ of 人, 12 of 80 units) is one with the rest; far apart, it and characters
// written tight stay apart.
TEST_F(Scribeng, PartsALittleApartAreOneCharacter) {
    const struct {
        std::vector<const char*> files;
        int32_t gap;
        size_t left;
        int32_t apart;
        const char* text;
    } rows[] = {
        {{"single_26.txt", "single_38.txt", "single_29.txt"}, 30, 4, 12, "山校日"},
        {{"single_26.txt", "single_34.txt", "single_29.txt"}, 30, 1, 12, "山人日"},
        {{"single_26.txt", "single_38.txt", "single_29.txt"}, 30, 4, 26, "山木交日"},
        {{"single_31.txt", "single_35.txt", "single_27.txt", "single_34.txt"}, 2, 0, 0, "木口川人"},
    };
    for (const auto& row : rows) {
        StrokeFile line;
        int32_t at = 20;
        for (size_t i = 0; i < row.files.size(); ++i) {
            const StrokeFile one = load(row.files[i]);
            const EngineRect ink = boundsOf(one, 0, static_cast<int32_t>(one.strokes.size()) - 1);
            const int32_t apart = i == 1 ? row.apart : 0;
            for (size_t k = 0; k < one.strokes.size(); ++k) {
                line.strokes.push_back(one.strokes[k]);
                for (auto& p : line.strokes.back()) p.x += at - ink.left + (k < row.left ? 0 : apart);
            }
            at += ink.right - ink.left + apart + row.gap;
        }
        EXPECT_EQ(recognize(objectWith(line)), sjis(row.text)) << row.text;
    }
}

// A kana written alone with two ticks at its upper right (their top left `dx` right of the ink and `dy` below
// its top, `scale` times 14 units wide, slanting or upright) reads as its marks place it: the strokes before
// them read alone say which kana they voice (つ with ticks is づ, never ブ or ゴ). It stays one character.
TEST_F(Scribeng, ALoneVoicedKanaGoesByItsMarks) {
    const struct {
        const char* file;
        int32_t dx, dy;
        double scale;
        bool slanted;
        const char* text;
    } rows[] = {
        {"single_13.txt", 12, 0, 1, true, "づ"},      {"single_13.txt", -4, 0, 2.2, true, "づ"},
        {"single_14.txt", -12, -10, 2.2, true, "で"}, {"single_14.txt", 4, 0, 1, false, "で"},
        {"single_05.txt", 4, 0, 1, false, "が"},      {"single_15.txt", 4, 0, 1.6, true, "ど"},
    };
    const std::vector<std::vector<EnginePoint>> slanted{{{0, 0}, {5, 4}, {9, 8}},
                                                        {{5, -5}, {10, -1}, {14, 3}}};
    const std::vector<std::vector<EnginePoint>> upright{{{0, 0}, {3, 6}, {5, 13}},
                                                        {{9, -2}, {12, 4}, {14, 11}}};
    for (const auto& row : rows) {
        StrokeFile kana = load(row.file);
        const EngineRect ink = boundsOf(kana, 0, static_cast<int32_t>(kana.strokes.size()) - 1);
        for (const auto& tick : row.slanted ? slanted : upright) {
            auto& stroke = kana.strokes.emplace_back();
            for (const auto& p : tick) {
                stroke.push_back({ink.right + row.dx + static_cast<int32_t>(p.x * row.scale),
                                  ink.top + row.dy + static_cast<int32_t>(p.y * row.scale)});
            }
        }
        const int32_t o = objectWith(kana);
        EXPECT_EQ(recognize(o), sjis(row.text)) << row.file << " " << row.dx << " " << row.dy;
        EXPECT_EQ(charCount(o), 1) << row.file << " " << row.dx << " " << row.dy;
    }
}

// GiveStrokeSetInfo before any result: the forced run is one character whatever it holds, and the strokes
// before and after it are segmented by the search as usual.
TEST_F(Scribeng, RegroupWithoutEarlierResultSearchesTheRest) {
    const StrokeFile file = load("line6_b.txt");  // 山田さんの字
    const int32_t plain = objectWith(file);
    ASSERT_EQ(recognize(plain), sjis("山田さんの字"));
    const auto truth = runs(plain);
    // 田 together with the first stroke of さ.
    const std::pair<int32_t, int32_t> forced{truth[1].first, truth[2].first};
    const int32_t o = objectWith(file);
    ASSERT_EQ(lib().GiveStrokeSetInfo(o, 0, forced.first, forced.second), 0);
    ASSERT_EQ(lib().RecognizeNF(o), 0);
    const auto got = runs(o);
    ASSERT_GE(got.size(), 5u);
    EXPECT_EQ(got[0], truth[0]);
    EXPECT_EQ(got[1], forced);
    EXPECT_EQ(got[2].first, forced.second + 1);
    EXPECT_EQ(std::vector(got.end() - 3, got.end()), std::vector(truth.end() - 3, truth.end()));
    // Then a merge of the last two characters keeps the rest as it was.
    const auto before = got;
    ASSERT_EQ(lib().GiveStrokeSetInfo(o, 0, before[before.size() - 2].first, before.back().second), 0);
    ASSERT_EQ(lib().RecognizeNF(o), 0);
    auto want = before;
    want.pop_back();
    want.back().second = before.back().second;
    EXPECT_EQ(runs(o), want);
}

// Hundreds of dots close together: many possible groupings, a bounded number of recognitions, and still a
// result that covers every stroke once.
TEST_F(Scribeng, ManyStrokesStillGiveAPartition) {
    const int32_t o = lib().CreateNewObject();
    adopt(o);
    constexpr int32_t kDots = 120;
    for (int32_t i = 0; i < kDots; ++i) {
        const EnginePoint dot[] = {{10 * i, 50 + (i % 7) * 8}, {10 * i + 3, 53 + (i % 7) * 8}};
        ASSERT_EQ(lib().AddStrokeLast(o, dot, 2), 0);
    }
    ASSERT_EQ(lib().RecognizeNF(o), 0);
    const auto got = runs(o);
    ASSERT_FALSE(got.empty());
    int32_t next = 0;
    for (const auto& [first, last] : got) {
        EXPECT_EQ(first, next);
        EXPECT_GE(last, first);
        next = last + 1;
    }
    EXPECT_EQ(next, kDots);
}

// A 1 written as a plain stick, upright or leaning forward, is among the first five guided candidates with
// the stick look-alikes (ｌ Ｉ ｜ 丨) that ink alone cannot tell it from. `lean`: the top's shift to the
// right over the stick's 150 units.
TEST_F(Scribeng, PlainStickIsOfferedAsOne) {
    for (const int lean : {0, 15, 30}) {
        std::vector<EnginePoint> stick;
        for (int k = 0; k <= 30; ++k) stick.push_back({200 + lean * (30 - k) / 30, 100 + 5 * k});
        const int32_t o = EngineTest::objectWith({stick});
        const auto list = guided(o, 5);
        EXPECT_TRUE(std::ranges::any_of(list, [](const CandidateEntry& c) { return c.code == codeOf("１"); }))
            << "lean " << lean;
    }
}

// An install tree: the engine, its records library and its models copied elsewhere load and recognise
// from a process with an empty environment.
TEST_F(Scribeng, LoadsFromACopiedRuntimeFolder) {
    const fs::path dir = fs::temp_directory_path() / ("scribeng_install_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "models");
    for (const char* name : {"libscribeng.so", "libslatewise_records.so"})
        fs::copy_file(runtimeDir() / name, dir / name);
    for (const auto& model : fs::directory_iterator(runtimeDir() / "models")) {
        fs::copy_file(fs::canonical(model.path()), dir / "models" / model.path().filename());
    }
    const std::string lib = (dir / "libscribeng.so").string();
    const std::string data = (fs::path(SCRIBENG_TEST_DATA) / "single_01.txt").string();
    const char* argv[] = {SCRIBENG_LOAD_CHECK, lib.c_str(), data.c_str(), nullptr};
    char* envp[] = {nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, SCRIBENG_LOAD_CHECK, nullptr, nullptr, const_cast<char**>(argv), envp), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    fs::remove_all(dir);
}

}  // namespace
