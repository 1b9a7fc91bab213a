// Character codes of results and their category bits.
//
// A code is a code page 932 double-byte character as lead byte * 256 + trail byte. Categories use the bits
// of SetRecCategory (contracts/scribeng.h); "other symbols" carries both of its bits, so either bit allows
// it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace sw::scribeng {

using CharCode = uint16_t;

// The category bits of a code page 932 double-byte character:
//   hiragana     0x829F-0x82F1 (ぁ-ん) and ゝ ゞ
//   katakana     0x8340-0x8396 (ァ-ヶ), ヽ ヾ and the long vowel mark ー
//   digits       0x824F-0x8258 (０-９)
//   Latin        0x8260-0x8279 (Ａ-Ｚ), 0x8281-0x829A (ａ-ｚ)
//   kanji 1      0x889F-0x9872 (JIS level 1)
//   kanji 2      0x989F-0xEAA4 (JIS level 2)
//   punctuation  0x8141-0x8149 (、。，．・：；？！), 0x815C-0x815D (dashes), 0x8163-0x817A (ellipses,
//                quotes and brackets)
//   other        every other double-byte character
// A code that is no double-byte character (lead byte outside 0x81-0x9F, 0xE0-0xFC) has no category: 0.
int32_t categoryOf(CharCode code) noexcept;

// Categories of wide characters (kana and kanji), as opposed to digits, letters and symbols.
inline constexpr int32_t kWideCategories = 0x001 | 0x004 | 0x010 | 0x020;

// Marks that are always small: ， ． ・ ： ； ゛ ゜ quotes and primes (、。 have a place in the line as
// well).
bool isTinyMark(CharCode code) noexcept;

// Full-width capitals Ａ-Ｚ and digits ０-９: the Latin classes that Zinnia's forms cover well, where cursive
// lower case varies most.
bool isCapitalOrDigit(CharCode code) noexcept;

// True when the category of `code` is allowed by `mask`.
bool allowedBy(CharCode code, int32_t mask) noexcept;

// A model may keep one character as several classes, one per way of writing it (a looped and a plain ｌ),
// so that each way gets weights of its own. Such a form class is labelled with the character followed by
// kFormMark and a number ("ｌ#2"); the engine reads it as the character and keeps its best class's score.
inline constexpr char kFormMark = '#';

// The character part of a model label: what precedes kFormMark when the label is a form class's (one or
// more characters, the mark, then one or more ASCII digits), else the whole label ("#" alone, "ｌ#", "ｌ#x"
// and "#2" are whole labels).
constexpr std::string_view characterOfLabel(std::string_view label) noexcept {
    const size_t mark = label.find(kFormMark);
    if (mark == std::string_view::npos || mark == 0 || mark + 1 == label.size()) return label;
    for (size_t i = mark + 1; i < label.size(); ++i) {
        if (label[i] < '0' || label[i] > '9') return label;
    }
    return label.substr(0, mark);
}

// The code page 932 double-byte character of a model label (one UTF-8 character, or a form class's label:
// characterOfLabel). ASCII labels become their full-width forms (the Japanese model writes digits as ASCII
// "0"-"9": they come out as ０-９). None when the label is not exactly one character or has no double-byte
// form in code page 932.
std::optional<CharCode> codeOfLabel(std::string_view utf8Label);

}  // namespace sw::scribeng
