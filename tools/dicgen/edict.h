// EDICT and EDICT2 lines (already converted from EUC-JP to UTF-8) and the dictionary lines made from them.
//
// EDICT has one headword and at most one reading per line; EDICT2 lists several, each with its own markers,
// and ends in the entry's sequence number:
//
//   KANJI [KANA] /(n,vs) (1) gloss/gloss/(n) (2) gloss/(P)/
//   KANA /(n) gloss/(P)/
//   KANJI-1(P);KANJI-2(iK) [KANA-1(P);KANA-2(KANJI-2)] /(n) {comp} gloss/(See ...) gloss/(P)/EntL1234567X/
//
// (P) marks a common word: as a field of its own for the whole entry, or after a headword or reading. A
// reading may name the headwords it belongs to in parentheses. Glosses start with tags in parentheses or
// braces (part of speech, field, usage: lower-case codes such as (n,vs), (uk), (on-mim), {comp}) and with
// the number of the sense they open ((1), (2) ...).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sw::dicgen {

// A headword or a reading, its markers removed.
struct EdictForm {
    std::string text;
    bool common = false;                    // marked (P)
    std::vector<std::string> restrictedTo;  // a reading's headwords; empty: every headword
};

struct EdictSense {
    std::string number;  // "1", "2" ...; empty when the entry does not number its senses
    std::vector<std::string> glosses;
};

struct EdictEntry {
    std::vector<EdictForm> headwords;
    std::vector<EdictForm> readings;  // empty for a word written in kana only
    std::vector<EdictSense> senses;
    bool common = false;  // the entry has a (P) field
};

// Parses one line (a trailing "\r" or "\n" is ignored). Returns nothing for a line that is not an entry:
// no "/" field list, no headword, an unclosed "[", text after the "]", or no gloss.
std::optional<EdictEntry> parseEdictLine(std::string_view line);

// The key pairs of the common words of an entry, in headword order: each headword with each reading that
// belongs to it (a word in kana only is its own reading). When any headword (or any reading) carries its
// own (P), only the marked ones pair up; a headword without a marked reading of its own takes the first
// reading that belongs to it. Empty when the entry is not common.
struct KeyPair {
    std::string key1;
    std::string key2;
};
std::vector<KeyPair> commonKeyPairs(const EdictEntry& entry);

// The senses as one line: the glosses of a sense joined by "; ", each numbered sense after its number,
// "(1) to rot; to go bad (2) to corrode". Empty when there is no gloss.
std::string explanationOf(const EdictEntry& entry);

}  // namespace sw::dicgen
