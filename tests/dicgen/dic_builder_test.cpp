#include "dic_builder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/text/cp932.h"

namespace sw::dicgen {
namespace {

std::string sjis(const char* utf8) { return text::utf8ToCp932(utf8); }

TEST(Cp932Encoder, PlainEquivalentsOrNothing) {
    const struct {
        const char* name;
        std::string utf8;
        std::optional<std::string> cp932;
    } rows[] = {
        {"ASCII with a question mark", "why?", "why?"},
        {"kanji and kana", "漢字かなカナ", sjis("漢字かなカナ")},
        {"wave dash as code page 932 writes it", "〜", "\x81\x60"},
        {"accents dropped", "shōchū café", "shochu cafe"},
        {"ligature spelt out", "ﬁne", "fine"},
        {"sharp s and ae", "Straße æ", "Strasse ae"},
        {"yen sign as the full-width sign, not 0x5C", "¥100",
         "\x81\x8F"
         "100"},
        {"hangul has no form", "한국", std::nullopt},
        {"emoji has no form", "ok 😀", std::nullopt},
        {"control character", "a\tb", std::nullopt},
        {"invalid UTF-8", "a\xFF", std::nullopt},
    };
    Cp932Encoder encoder;
    for (const auto& row : rows) {
        EXPECT_EQ(encoder.encode(row.utf8), row.cp932) << row.name;
        EXPECT_EQ(encoder.encode(row.utf8), row.cp932) << row.name << " (cached)";
    }
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text::cp932ToUtf8(text.substr(start, end - start)));
    }
    EXPECT_EQ(start, text.size()) << "every line ends in CR LF";
    return lines;
}

TEST(DictionaryBuilder, CommonWordsBecomeLines) {
    DictionaryBuilder builder;
    builder.addEdictLine("ヽ /(unc) repetition mark in katakana/");
    builder.addEdictLine("漢字 [かんじ] /(n) kanji/Chinese characters/(P)/");
    builder.addEdictLine("クロス /(n) (1) cloth/(n) (2) tablecloth/(P)/");
    builder.addEdictLine("シャコンヌ /(n) chaconne/(P)/");
    builder.addEdictLine("クロス /(n,vs) (1) cross/(n) (2) crossing/(P)/");
    builder.addEdictLine("Ｘ線 [エックスせん] /(n) X-ray/(P)/");
    builder.addEdictLine("叱る;𠮟る [しかる] /(v5r,vt) to scold/(P)/");
    builder.addEdictLine("ＡＢＣ\u2002ソング [エービーシーソング] /(n) ABC song/(P)/");
    builder.addEdictLine("한국 /(n) Korea/(P)/");
    builder.addEdictLine("malformed");
    builder.addUndecodableLine();

    EXPECT_EQ(linesOf(builder.text()), (std::vector<std::string>{
                                           "漢字 かんじ kanji; Chinese characters",
                                           "クロス クロス (1) cloth (2) tablecloth / (1) cross (2) crossing",
                                           "シャコンヌ シャコンヌ chaconne",
                                           "Ｘ線 エックスせん X-ray",
                                           "叱る しかる to scold",
                                       }));
    const BuildStats& s = builder.stats();
    EXPECT_EQ(s.edictLines, 11);
    EXPECT_EQ(s.notEntries, 2);
    EXPECT_EQ(s.commonEntries, 8);
    EXPECT_EQ(s.lines, 5);
    EXPECT_EQ(s.merged, 1);
    EXPECT_EQ(s.droppedUnmappable, 2) << "𠮟る and 한국";
    EXPECT_EQ(s.droppedBadKey, 1);
    EXPECT_EQ(s.droppedExamples, (std::vector<std::string>{
                                     "𠮟る しかる", "ＡＢＣ\u2002ソング エービーシーソング", "한국 한국"}));
}

TEST(DictionaryBuilder, LineLimitKeepsTheFirstLinesAndStillMerges) {
    DictionaryBuilder builder(2);
    builder.addEdictLine("一 [いち] /(num) one/(P)/");
    builder.addEdictLine("二 [に] /(num) two/(P)/");
    builder.addEdictLine("三 [さん] /(num) three/(P)/");
    builder.addEdictLine("一 [いち] /(n) (1) beginning/(P)/");
    EXPECT_EQ(linesOf(builder.text()),
              (std::vector<std::string>{"一 いち one / (1) beginning", "二 に two"}));
    EXPECT_EQ(builder.stats().droppedOverLimit, 1);
    EXPECT_EQ(builder.stats().merged, 1);
}

// The dictionary the build made from Debian's EDICT: what the board reads at start-up.
TEST(BuiltDictionary, EveryLineIsCodePage932WithTwoKeysAndAnExplanation) {
    const std::filesystem::path folder = std::getenv("SLATEWISE_RUNTIME_DIR");
    std::ifstream in(folder / "dic.txt", std::ios::binary);
    ASSERT_TRUE(in) << "the build makes dic.txt in the runtime folder";
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(std::filesystem::exists(folder / "EDICT-licence.txt"));

    int lines = 0;
    int bad = 0;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2, ++lines) {
        const std::string_view line(bytes.data() + start, end - start);
        const size_t p1 = line.find(' ');
        const size_t p2 = p1 == std::string_view::npos ? p1 : line.find(' ', p1 + 1);
        const bool ok = text::isValidCp932(line) && p1 != std::string_view::npos && p1 > 0 &&
                        p2 != std::string_view::npos && p2 > p1 + 1 && line.size() > p2 + 1 &&
                        line.back() != ' ' && line.find_first_of("\r\n?") > p2;
        if (!ok && ++bad <= 5) ADD_FAILURE() << "line " << lines + 1 << ": " << text::cp932ToUtf8(line);
    }
    EXPECT_EQ(start, bytes.size()) << "every line ends in CR LF";
    EXPECT_EQ(bad, 0);
    // Debian's EDICT of 2021 marks 23,332 entries common; a few merge or have no code page 932 form.
    EXPECT_GT(lines, 23000);
    EXPECT_LE(lines, kMaxDictionaryLines);
    EXPECT_NE(bytes.find(sjis("\r\nベテラン ベテラン ")), std::string::npos) << "a word in kana only";
}

}  // namespace
}  // namespace sw::dicgen
