// How common each kanji is, from KANJIDIC (the Electronic Dictionary Research and Development Group's kanji
// file, as Debian's kanjidic package installs it at /usr/share/edict/kanjidic, EUC-JP). One kanji a line:
//
//   # KANJIDIC JIS X 0208 Kanji Information File/...
//   亜 3021 U4e9c B1 C7 G8 S7 XJ05033 F1509 J1 N43 ... ア つ.ぐ {Asia} {rank next} ...
//
// the kanji, its JIS code, then fields of a letter and a value: U its Unicode code point (hex), G its
// school grade (1-6 elementary school, 8 the other kanji of common use, 9 and 10 name kanji), F its rank
// among the 2,501 most frequent kanji of newspapers. Readings and meanings follow; only these ASCII fields
// are read, so the file needs no decoding.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sw::templategen {

struct KanjiCommonness {
    uint8_t grade = 0;           // 0: no grade
    uint16_t frequencyRank = 0;  // 0: not among the ranked kanji
};

// The code point and commonness of one line; nothing for a comment or a line without a U field. Fields
// after the first meaning ("{...}") are not read; a grade above 10 or a rank above 65535 counts as none.
std::optional<std::pair<char32_t, KanjiCommonness>> parseKanjidicLine(std::string_view line);

// Every kanji of the file; nullopt and *error set on an unreadable file or one without any kanji.
std::optional<std::map<char32_t, KanjiCommonness>> readKanjidic(const std::string& path,
                                                                std::string* error = nullptr);

}  // namespace sw::templategen
