#include "dic_builder.h"

#include <iconv.h>

#include <QString>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>

#include "edict.h"
#include "platform/text/cp932.h"

namespace sw::dicgen {
namespace {

// Plain forms of characters that code page 932 lacks and that compatibility decomposition does not reach.
struct PlainForm {
    char32_t c;
    const char* utf8;
};
constexpr PlainForm kPlainForms[] = {
    {U'\u00A5', "\uFFE5"}, {U'\u203E', "\uFFE3"}, {U'\u00A0', " "},   {U'\u00AD', ""},   {U'\u2010', "-"},
    {U'\u2011', "-"},      {U'\u2012', "-"},      {U'\u2013', "-"},   {U'\u2044', "/"},  {U'\u00DF', "ss"},
    {U'\u00E6', "ae"},     {U'\u00C6', "AE"},     {U'\u0153', "oe"},  {U'\u0152', "OE"}, {U'\u00F8', "o"},
    {U'\u00D8', "O"},      {U'\u0142', "l"},      {U'\u0141', "L"},   {U'\u0111', "d"},  {U'\u0110', "D"},
    {U'\u00F0', "d"},      {U'\u00D0', "D"},      {U'\u00FE', "th"},  {U'\u00DE', "Th"}, {U'\u0131', "i"},
    {U'\u2122', "(TM)"},   {U'\u00A9', "(c)"},    {U'\u00AE', "(R)"},
};

constexpr int kDroppedExamples = 20;

bool isControl(char32_t c) { return c < 0x20 || c == 0x7F; }

std::string utf8Of(char32_t c) { return QString::fromUcs4(&c, 1).toStdString(); }

}  // namespace

std::optional<std::string> Cp932Encoder::encodeChar(char32_t c) {
    if (c < 0x80) {
        if (isControl(c)) return std::nullopt;
        return std::string(1, static_cast<char>(c));
    }
    if (const auto it = m_cache.find(c); it != m_cache.end()) return it->second;

    std::optional<std::string> result;
    const auto plain = std::find_if(std::begin(kPlainForms), std::end(kPlainForms),
                                    [c](const PlainForm& p) { return p.c == c; });
    if (plain != std::end(kPlainForms)) {
        result = encode(plain->utf8);
    } else {
        std::string bytes = text::utf8ToCp932(utf8Of(c));
        // '?' marks a character with no form; a single ASCII byte would read back as another character.
        const bool kept = bytes.size() > 1 || static_cast<unsigned char>(bytes[0]) >= 0x80;
        if (kept) {
            result = std::move(bytes);
        } else {
            // Accents and other marks dropped, compatibility forms spelt out: ō → o, ﬁ → fi, ½ → 1/2.
            const QString decomposed = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD);
            QString base;
            for (QChar ch : decomposed) {
                const auto category = ch.category();
                if (category != QChar::Mark_NonSpacing && category != QChar::Mark_SpacingCombining &&
                    category != QChar::Mark_Enclosing) {
                    base += ch;
                }
            }
            if (!base.isEmpty() && base != QString::fromUcs4(&c, 1)) result = encode(base.toStdString());
        }
    }
    m_cache.emplace(c, result);
    return result;
}

std::optional<std::string> Cp932Encoder::encode(std::string_view utf8) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
    if (decoder.hasError()) return std::nullopt;
    std::string out;
    out.reserve(utf8.size());
    for (char32_t c : text.toStdU32String()) {
        const auto bytes = encodeChar(c);
        if (!bytes) return std::nullopt;
        out += *bytes;
    }
    return out;
}

void DictionaryBuilder::drop(int& counter, std::string_view key1, std::string_view key2) {
    ++counter;
    if (static_cast<int>(m_stats.droppedExamples.size()) < kDroppedExamples) {
        m_stats.droppedExamples.push_back(std::string(key1) + " " + std::string(key2));
    }
}

void DictionaryBuilder::addEdictLine(std::string_view utf8) {
    ++m_stats.edictLines;
    const auto entry = parseEdictLine(utf8);
    if (!entry) {
        ++m_stats.notEntries;
        return;
    }
    const std::vector<KeyPair> pairs = commonKeyPairs(*entry);
    if (pairs.empty()) return;
    ++m_stats.commonEntries;

    // A tab or other control character in a gloss is white space to the reader.
    std::string explanationUtf8 = explanationOf(*entry);
    std::replace_if(
        explanationUtf8.begin(), explanationUtf8.end(),
        [](char c) { return isControl(static_cast<unsigned char>(c)); }, ' ');
    const auto explanation = m_encoder.encode(explanationUtf8);

    for (const KeyPair& pair : pairs) {
        const auto key1 = m_encoder.encode(pair.key1);
        const auto key2 = m_encoder.encode(pair.key2);
        if (!key1 || !key2 || !explanation) {
            drop(m_stats.droppedUnmappable, pair.key1, pair.key2);
            continue;
        }
        // Checked after encoding: a plain equivalent may be a space (U+2002) or nothing (U+00AD). A space
        // byte is always a space in code page 932 (second bytes are 0x40 and above).
        const auto badKey = [](const std::string& key) {
            return key.empty() || key.find(' ') != std::string::npos;
        };
        if (badKey(*key1) || badKey(*key2)) {
            drop(m_stats.droppedBadKey, pair.key1, pair.key2);
            continue;
        }
        std::string keys = *key1 + ' ' + *key2;
        if (const auto it = m_byKeys.find(keys); it != m_byKeys.end()) {
            m_lines[it->second].explanation += " / " + *explanation;
            ++m_stats.merged;
        } else if (static_cast<int>(m_lines.size()) >= m_maxLines) {
            drop(m_stats.droppedOverLimit, pair.key1, pair.key2);
        } else {
            m_byKeys.emplace(keys, m_lines.size());
            m_lines.push_back({std::move(keys), *explanation});
        }
    }
    m_stats.lines = static_cast<int>(m_lines.size());
}

void DictionaryBuilder::addUndecodableLine() {
    ++m_stats.edictLines;
    ++m_stats.notEntries;
}

std::string DictionaryBuilder::text() const {
    std::string out;
    for (const Line& line : m_lines) {
        out += line.keys;
        out += ' ';
        out += line.explanation;
        out += "\r\n";
    }
    return out;
}

EucJpDecoder::EucJpDecoder() : m_cd(iconv_open("UTF-8", "EUC-JP")) {}

EucJpDecoder::~EucJpDecoder() {
    if (valid()) iconv_close(static_cast<iconv_t>(m_cd));
}

bool EucJpDecoder::valid() const noexcept { return m_cd != reinterpret_cast<void*>(-1); }

std::optional<std::string> EucJpDecoder::decode(std::string_view eucJp) {
    if (!valid()) return std::nullopt;
    const auto cd = static_cast<iconv_t>(m_cd);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(eucJp.size() * 2 + 16, '\0');
    // glibc declares the input as char** although it never writes through it.
    char* in = const_cast<char*>(eucJp.data());
    size_t inLeft = eucJp.size();
    size_t used = 0;
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        size_t outLeft = out.size() - used;
        const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        used = static_cast<size_t>(outPtr - out.data());
        if (result != static_cast<size_t>(-1)) break;
        if (errno != E2BIG) return std::nullopt;
        out.resize(out.size() * 2);
    }
    out.resize(used);
    return out;
}

}  // namespace sw::dicgen
