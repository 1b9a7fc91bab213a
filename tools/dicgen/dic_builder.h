// The board's dictionary file made from EDICT: one line per common word,
//
//   key1 key2 explanation
//
// in code page 932, lines ended by CR LF: the headword, one half-width space, the reading (the word again
// for a word in kana only), one half-width space, the senses (edict.h explanationOf). The board takes the
// first line whose first or second key equals the circled text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sw::dicgen {

// The board holds at most this many dictionary lines.
inline constexpr int kMaxDictionaryLines = 32767;

// UTF-8 to code page 932 where every character code page 932 lacks becomes a plain equivalent: accents
// dropped (ō → o), typographic quotes and dashes made plain (“ → ", – → -), ligatures and letters spelt
// out (ß → ss, æ → ae, ﬁ → fi), ¥ as the full-width ￥ (code page 932's 0x5C reads back as '\'). Characters
// that code page 932 writes as a look-alike of another code point (〜 → ～) are kept. Returns nothing for
// text that is not valid UTF-8, holds a control character, or holds a character with neither form: the
// result never contains a '?' that was not in the text.
class Cp932Encoder {
public:
    std::optional<std::string> encode(std::string_view utf8);

private:
    std::optional<std::string> encodeChar(char32_t c);
    std::unordered_map<char32_t, std::optional<std::string>> m_cache;
};

// Counts of one build, for the build log and the tests.
struct BuildStats {
    int edictLines = 0;         // lines given
    int notEntries = 0;         // not an EDICT entry (the header line, malformed or undecodable lines)
    int commonEntries = 0;      // entries marked (P)
    int lines = 0;              // dictionary lines made
    int merged = 0;             // key pairs that were already there: explanations joined into that line
    int droppedUnmappable = 0;  // a control character, or one with no code page 932 form nor plain equivalent
    int droppedBadKey = 0;      // a key with a half-width space in it, or empty once encoded
    int droppedOverLimit = 0;   // new key pairs after the line limit was reached
    std::vector<std::string> droppedExamples;  // the first few dropped key pairs (UTF-8), for the log
};

class DictionaryBuilder {
public:
    explicit DictionaryBuilder(int maxLines = kMaxDictionaryLines) : m_maxLines(maxLines) {}

    // Adds the common words of one EDICT line (UTF-8). A key pair already present gets this entry's
    // explanation appended to its line after " / ", so homographs with the same reading stay reachable.
    void addEdictLine(std::string_view utf8);
    // An EDICT line that could not be decoded from EUC-JP.
    void addUndecodableLine();

    const BuildStats& stats() const { return m_stats; }
    // The file's contents: every line in code page 932 followed by CR LF.
    std::string text() const;

private:
    struct Line {
        std::string keys;  // key1, space, key2 (code page 932)
        std::string explanation;
    };
    void drop(int& counter, std::string_view key1, std::string_view key2);

    int m_maxLines;
    Cp932Encoder m_encoder;
    std::vector<Line> m_lines;
    std::unordered_map<std::string, size_t> m_byKeys;
    BuildStats m_stats;
};

// EUC-JP (as EDICT is distributed) to UTF-8; nothing for an invalid or incomplete sequence.
class EucJpDecoder {
public:
    EucJpDecoder();
    ~EucJpDecoder();
    EucJpDecoder(const EucJpDecoder&) = delete;
    EucJpDecoder& operator=(const EucJpDecoder&) = delete;

    bool valid() const noexcept;
    std::optional<std::string> decode(std::string_view eucJp);

private:
    void* m_cd;
};

}  // namespace sw::dicgen
