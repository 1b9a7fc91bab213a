#include <gtest/gtest.h>

#include <QString>
#include <string>
#include <thread>
#include <vector>

#include "platform/text/cp932.h"

namespace sw::text {
namespace {

std::string sjis(unsigned code) {
    std::string s;
    if (code > 0xFF) s += static_cast<char>(code >> 8);
    s += static_cast<char>(code & 0xFF);
    return s;
}

// Every double-byte code with the given lead byte that decodes to one character, and their count.
int roundTripRow(unsigned char lead, unsigned char firstTrail, unsigned char lastTrail) {
    int mapped = 0;
    for (unsigned trail = firstTrail; trail <= lastTrail; ++trail) {
        if (trail == 0x7F) continue;
        const std::string bytes = sjis(lead << 8 | trail);
        const std::u16string text = cp932ToUtf16(bytes);
        EXPECT_FALSE(text.empty());
        // An unassigned cell is one replacement and the trail byte read again on its own.
        if (text[0] == kReplacementChar) continue;
        EXPECT_EQ(text.size(), 1u) << std::hex << (lead << 8 | trail);
        EXPECT_EQ(utf16ToCp932(text), bytes) << std::hex << (lead << 8 | trail);
        EXPECT_EQ(utf8ToCp932(cp932ToUtf8(bytes)), bytes) << std::hex << (lead << 8 | trail);
        ++mapped;
    }
    return mapped;
}

TEST(Cp932, SymbolRowsRoundTrip) {
    EXPECT_EQ(roundTripRow(0x81, 0x40, 0x9E), 94) << "row 1 is fully assigned";
    EXPECT_EQ(roundTripRow(0x81, 0x9F, 0xFC), 53) << "row 2 has 53 assigned cells";
}

TEST(Cp932, WindowsFormsOfTheSymbolsThatShiftJisMapsDifferently) {
    // Plain Shift_JIS tables give U+301C, U+2016, U+2212, U+00A2, U+00A3, U+00AC, U+005C instead.
    const std::pair<unsigned, char16_t> rows[] = {
        {0x8140, u'\u3000'}, {0x8160, u'\uFF5E'}, {0x8161, u'\u2225'}, {0x817C, u'\uFF0D'},
        {0x8191, u'\uFFE0'}, {0x8192, u'\uFFE1'}, {0x81CA, u'\uFFE2'}, {0x815F, u'\uFF3C'},
        {0x889F, u'\u4E9C'}, {0x8ABF, u'\u6F22'}, {0x8E9A, u'\u5B57'}, {0x989F, u'\u5F0C'},
        {0xEAA4, u'\u7199'}, {0x8740, u'\u2460'}, {0xFBFC, u'\u9AD9'}, {0x5C, u'\\'},
        {0x7E, u'~'},
    };
    for (const auto& [code, ch] : rows) {
        EXPECT_EQ(cp932ToUtf16(sjis(code)), std::u16string(1, ch)) << std::hex << code;
        EXPECT_EQ(utf16ToCp932(std::u16string(1, ch)), sjis(code)) << std::hex << code;
    }
}

TEST(Cp932, KanaMapsToConsecutiveCodePoints) {
    for (unsigned i = 0; i < 83; ++i) {  // ぁ..ん
        EXPECT_EQ(cp932ToUtf16(sjis(0x829F + i)), std::u16string(1, char16_t(0x3041 + i)));
    }
    for (unsigned i = 0; i < 86; ++i) {  // ァ..ヶ, skipping the 0x7F hole in the trail bytes
        const unsigned trail = 0x40 + i + (0x40 + i >= 0x7F ? 1 : 0);
        EXPECT_EQ(cp932ToUtf16(sjis(0x8300 | trail)), std::u16string(1, char16_t(0x30A1 + i)));
        EXPECT_EQ(utf16ToCp932(std::u16string(1, char16_t(0x30A1 + i))), sjis(0x8300 | trail));
    }
    for (unsigned b = 0xA1; b <= 0xDF; ++b) {  // half-width katakana are single bytes
        EXPECT_EQ(cp932ToUtf16(sjis(b)), std::u16string(1, char16_t(0xFF61 + b - 0xA1)));
        EXPECT_EQ(utf16ToCp932(std::u16string(1, char16_t(0xFF61 + b - 0xA1))), sjis(b));
    }
}

TEST(Cp932, InvalidBytesBecomeOneReplacementEachAndDecodingGoesOn) {
    const std::u16string R(1, kReplacementChar);
    const struct {
        const char* name;
        std::string bytes;
        std::u16string text;
    } rows[] = {
        {"lone lead byte at the end", "A\x82", u"A" + R},
        {"lead byte then a control byte",
         std::string("\x82\x0A"
                     "B",
                     3),
         R + u"\nB"},
        {"lead byte then a space", "\x88 x", R + u" x"},
        {"0x80",
         "\x80"
         "a",
         R + u"a"},
        {"0xA0", "a\xA0", u"a" + R},
        {"0xFD 0xFE 0xFF", "\xFD\xFE\xFF", R + R + R},
        {"lead byte then 0x7F", "\x81\x7F", R + u"\x7F"},
        {"unassigned cell then ASCII", "\x85\x40z", R + u"@z"},
        {"embedded NUL kept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"lead byte then an invalid trail then a pair", "\x82\xFD\x82\xA0", R + R + u"\u3042"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(cp932ToUtf16(row.bytes), row.text) << row.name;
        EXPECT_EQ(isValidCp932(row.bytes), row.text.find(kReplacementChar) == std::u16string::npos)
            << row.name;
        EXPECT_EQ(QString::fromUtf8(cp932ToUtf8(row.bytes)), QString::fromStdU16String(row.text))
            << row.name << ": the UTF-8 path agrees";
    }
    EXPECT_TRUE(isValidCp932("abc\x82\xA0\xB1"));
    EXPECT_TRUE(isValidCp932(""));
}

TEST(Cp932, UnmappableCharactersBecomeOneQuestionMarkEach) {
    EXPECT_EQ(utf16ToCp932(u"a\u00E9b"), "a?b");
    EXPECT_EQ(utf16ToCp932(u"\U0001F600\u3042"), "?\x82\xA0") << "a surrogate pair is one character";
    EXPECT_EQ(utf16ToCp932(u"x\xD800y"), "x?y") << "lone high surrogate";
    EXPECT_EQ(utf16ToCp932(std::u16string(u"\xDC00")), "?") << "lone low surrogate";
    EXPECT_EQ(utf16ToCp932(std::u16string(u"z\xD83D")), "z?") << "high surrogate at the end";
    EXPECT_EQ(utf16ToCp932(std::u16string(1, kReplacementChar)), "?");
    EXPECT_EQ(utf8ToCp932("\xC3\xA9\xF0\x9F\x98\x80!"),
              "??"
              "!");
    EXPECT_EQ(utf8ToCp932("\xC3"
                          "a\xE3\x81"),
              "?a??")
        << "malformed UTF-8, byte by byte";
    EXPECT_EQ(utf8ToCp932("\xED\xA0\x80"), "???") << "an encoded surrogate is malformed";
}

TEST(Cp932, LongTextIsNeverTruncated) {
    std::u16string text;
    for (int i = 0; i < 5000; ++i) text += (i % 7 == 0) ? u"\u00E9" : u"\u6F22";
    const std::string bytes = utf16ToCp932(text);
    EXPECT_EQ(bytes.size(), 5000u / 7 * 1 + 1 + (5000 - 5000 / 7 - 1) * 2);
    std::u16string back = cp932ToUtf16(bytes);
    ASSERT_EQ(back.size(), text.size());
    EXPECT_EQ(back[0], u'?');
    EXPECT_EQ(back[1], u'\u6F22');
}

TEST(Cp932, PrefixNeverEndsInsideACharacter) {
    const std::string line =
        "a\x82\xA0\x82\xA2"
        "b";  // a あ い b
    const std::pair<size_t, size_t> rows[] = {{0, 0}, {1, 1}, {2, 1}, {3, 3},
                                              {4, 3}, {5, 5}, {6, 6}, {99, 6}};
    for (const auto& [max, expected] : rows) {
        EXPECT_EQ(cp932Prefix(line, max).size(), expected) << "max " << max;
    }
    EXPECT_EQ(cp932Prefix("\x82", 1).size(), 1u) << "a lone lead byte at the end is one byte";
    EXPECT_EQ(cp932Prefix("\x82 ", 1).size(), 1u) << "a lead byte before an invalid trail is one byte";
    EXPECT_EQ(cp932Prefix("\xB1\x82\xA0", 2).size(), 1u) << "half-width kana is a single byte";
}

TEST(Cp932, ConcurrentConversionsDoNotInterfere) {
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &failures] {
            const std::u16string text = u"\u6F22\u5B57" + std::u16string(static_cast<size_t>(t + 1), u'x');
            for (int i = 0; i < 2000; ++i) {
                if (cp932ToUtf16(utf16ToCp932(text)) != text) ++failures[static_cast<size_t>(t)];
                if (cp932ToUtf16("\x82") != std::u16string(1, kReplacementChar))
                    ++failures[static_cast<size_t>(t)];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int f : failures) EXPECT_EQ(f, 0);
}

}  // namespace
}  // namespace sw::text
