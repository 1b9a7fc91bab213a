#include "edict.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sw::dicgen {
namespace {

std::string pairsOf(const EdictEntry& entry) {
    std::string out;
    for (const KeyPair& p : commonKeyPairs(entry)) out += "[" + p.key1 + " " + p.key2 + "]";
    return out;
}

TEST(EdictLine, KeyPairsAndExplanation) {
    const struct {
        const char* name;
        const char* line;
        const char* pairs;  // the common key pairs, "[key1 key2]..."
        const char* explanation;
    } rows[] = {
        // Lines as Debian's EDICT has them.
        {"headword and reading, numbered senses",
         "聴取 [ちょうしゅ] /(n,vs) (1) hearing (of a statement, opinion, "
         "explanation, etc.)/asking/questioning (e.g. a suspect)/enquiry/(n,vs) (2) listening (e.g. to the "
         "radio)/(P)/",
         "[聴取 ちょうしゅ]",
         "(1) hearing (of a statement, opinion, explanation, etc.); asking; questioning (e.g. a suspect); "
         "enquiry (2) "
         "listening (e.g. to the radio)"},
        {"kana only",
         "ベテラン /(n,adj-no) person with a lot of experience/old hand/veteran (in a particular field)/(P)/",
         "[ベテラン ベテラン]", "person with a lot of experience; old hand; veteran (in a particular field)"},
        {"field tags dropped after the sense number, a word in parentheses kept",
         "マッハ /(n) (1) Mach (number)/(n) (2) (col) (at a) fast speed/(P)/", "[マッハ マッハ]",
         "(1) Mach (number) (2) (at a) fast speed"},
        {"capitalised field tag",
         "世界 [せかい] /(n) (1) the world/(n) (4) (Buddh) realm governed by one Buddha/(P)/",
         "[世界 せかい]", "(1) the world (4) realm governed by one Buddha"},
        {"not common", "ヽ /(unc) repetition mark in katakana/", "", "repetition mark in katakana"},
        {"the file's header line: (P) inside a gloss is no marker",
         "　？？？ /EDICT, EDICT_SUB(P), EDICT2 Japanese-English Electronic Dictionary Files/Created: "
         "2021-02-03/",
         "", "EDICT, EDICT_SUB(P), EDICT2 Japanese-English Electronic Dictionary Files; Created: 2021-02-03"},
        // EDICT2: several headwords and readings, markers on each, restrictions, the entry id.
        {"marked headword pairs with every marked reading",
         "日本(P);日夲(oK) [にほん(P);にっぽん(P);ひのもと] /(n) Japan/(P)/EntL1582710X/",
         "[日本 にほん][日本 にっぽん]", "Japan"},
        {"unmarked entry pairs every headword with its own readings",
         "偸閑;白地 [あからさま(偸閑);あかしま(白地)] /(adj-na) {ling} plain/frank/(P)/EntL1000000/",
         "[偸閑 あからさま][白地 あかしま]", "plain; frank"},
        {"marked headword without a marked reading of its own takes its first reading",
         "遙か(P);遥か(P) [はるか(P)(遙か);はるか] /(adv) far/(P)/EntL1000001/", "[遙か はるか][遥か はるか]",
         "far"},
        {"restriction list with a comma", "端;端っこ(P) [はし(端);はじ(端,端っこ)(P)] /(n) edge/EntL1000002/",
         "[端っこ はじ]", "edge"},
        {"kana only with a second form", "ごろごろ(P);ゴロゴロ /(adv) (on-mim) rumbling/(P)/EntL1009960X/",
         "[ごろごろ ごろごろ]", "rumbling"},
        {"a reading listed twice pairs once", "今日(P) [きょう(P);きょう(P)] /(n) today/(P)/",
         "[今日 きょう]", "today"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto entry = parseEdictLine(row.line);
        ASSERT_TRUE(entry.has_value());
        EXPECT_EQ(pairsOf(*entry), row.pairs);
        EXPECT_EQ(explanationOf(*entry), row.explanation);
    }
}

TEST(EdictLine, NotAnEntry) {
    const struct {
        const char* name;
        const char* line;
    } rows[] = {
        {"empty", ""},
        {"no field list", "漢字 [かんじ]"},
        {"no headword", " [かんじ] /(n) kanji/(P)/"},
        {"unclosed reading", "漢字 [かんじ /(n) kanji/(P)/"},
        {"text after the reading", "漢字 [かんじ] x /(n) kanji/(P)/"},
        {"tags only", "４° [しど] /(n)/(P)/"},
        {"no gloss at all", "４° [しど] /"},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(parseEdictLine(row.line).has_value()) << row.name;
    }
}

}  // namespace
}  // namespace sw::dicgen
