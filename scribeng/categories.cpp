#include "scribeng/categories.h"

#include "contracts/scribeng.h"
#include "platform/text/cp932.h"

namespace sw::scribeng {
namespace {

constexpr bool in(CharCode code, CharCode first, CharCode last) { return code >= first && code <= last; }

// Full-width digits ０-９ and capitals Ａ-Ｚ.
constexpr bool isDigit(CharCode code) { return in(code, 0x824F, 0x8258); }
constexpr bool isCapital(CharCode code) { return in(code, 0x8260, 0x8279); }

}  // namespace

int32_t categoryOf(CharCode code) noexcept {
    if (!text::isLeadByte(static_cast<unsigned char>(code >> 8))) return 0;
    if (in(code, 0x829F, 0x82F1) || code == 0x8154 || code == 0x8155) return SCRIBENG_CAT_HIRAGANA;
    if (in(code, 0x8340, 0x8396) || code == 0x8152 || code == 0x8153 || code == 0x815B) {
        return SCRIBENG_CAT_KATAKANA;
    }
    if (isDigit(code)) return SCRIBENG_CAT_DIGIT;
    if (isCapital(code) || in(code, 0x8281, 0x829A)) return SCRIBENG_CAT_LATIN;
    if (in(code, 0x889F, 0x9872)) return SCRIBENG_CAT_KANJI1;
    if (in(code, 0x989F, 0xEAA4)) return SCRIBENG_CAT_KANJI2;
    if (in(code, 0x8141, 0x8149) || in(code, 0x815C, 0x815D) || in(code, 0x8163, 0x817A)) {
        return SCRIBENG_CAT_PUNCTUATION;
    }
    return SCRIBENG_CAT_OTHER;
}

bool isTinyMark(CharCode code) noexcept {
    return (code >= 0x8143 && code <= 0x8147) || code == 0x814A || code == 0x814B ||
           (code >= 0x8165 && code <= 0x8168) || code == 0x818C || code == 0x818D;
}

bool isCapitalOrDigit(CharCode code) noexcept { return isDigit(code) || isCapital(code); }

bool allowedBy(CharCode code, int32_t mask) noexcept { return (categoryOf(code) & mask) != 0; }

std::optional<CharCode> codeOfLabel(std::string_view utf8Label) {
    std::string label(characterOfLabel(utf8Label));
    if (label.size() == 1) {
        const auto c = static_cast<unsigned char>(label[0]);
        if (c < 0x21 || c > 0x7E) return std::nullopt;
        // U+FF01..U+FF5E are the full-width forms of ASCII 0x21..0x7E; three UTF-8 bytes EF BC/BD xx.
        const unsigned full = 0xFF01 + (c - 0x21);
        label = {static_cast<char>(0xE0 | (full >> 12)), static_cast<char>(0x80 | ((full >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (full & 0x3F))};
    }
    const std::string bytes = text::utf8ToCp932(label);
    if (bytes.size() != 2 || !text::isLeadByte(static_cast<unsigned char>(bytes[0]))) return std::nullopt;
    return static_cast<CharCode>((static_cast<unsigned char>(bytes[0]) << 8) |
                                 static_cast<unsigned char>(bytes[1]));
}

}  // namespace sw::scribeng
