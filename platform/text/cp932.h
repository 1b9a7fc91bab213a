// Code page 932 (Shift-JIS as Windows uses it) to and from Unicode, over glibc iconv "CP932".
//
// Conversions never fail and never truncate: decoding replaces each invalid or incomplete byte sequence with
// U+FFFD and goes on with the next byte; encoding replaces each character with no code page 932 form with '?'
// (0x3F), one per character (a surrogate pair counts as one). Both are thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace sw::text {

inline constexpr char16_t kReplacementChar = u'\uFFFD';
inline constexpr char kUnmappableByte = '?';

std::u16string cp932ToUtf16(std::string_view bytes);
std::string utf16ToCp932(std::u16string_view text);
std::string cp932ToUtf8(std::string_view bytes);
std::string utf8ToCp932(std::string_view text);

// True when `bytes` is well-formed code page 932 throughout.
bool isValidCp932(std::string_view bytes) noexcept;

// True when the byte starts a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool isLeadByte(unsigned char b) noexcept {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The longest prefix of `bytes` no longer than maxBytes that does not end inside a double-byte character.
std::string_view cp932Prefix(std::string_view bytes, size_t maxBytes) noexcept;

}  // namespace sw::text
