#include "board/dictionary/dictionary.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <string>

#include "platform/text/cp932.h"

namespace sw::board {
namespace {

// Cuts code page 932 text into lines as it arrives in pieces; a CR at the end of one piece and an LF at
// the start of the next are one line end. LF and CR are never the second byte of a double-byte character,
// so the bytes can be cut before they are decoded.
class LineSplitter {
public:
    bool full() const { return m_lines.size() >= kMaxDictionaryLines; }

    void feed(QByteArrayView bytes) {
        const char* p = bytes.begin();
        const char* const end = bytes.end();
        if (p == end) return;
        if (m_afterCr && *p == '\n') ++p;
        m_afterCr = false;
        while (p != end && !full()) {
            const char* lineEnd = std::find_if(p, end, [](char c) { return c == '\n' || c == '\r'; });
            m_pending.append(p, static_cast<size_t>(lineEnd - p));
            if (lineEnd == end) return;
            endLine();
            p = lineEnd + 1;
            if (*lineEnd == '\r') {
                if (p == end) {
                    m_afterCr = true;
                } else if (*p == '\n') {
                    ++p;
                }
            }
        }
    }

    // The text ended: a last line without a line end is a line too.
    QStringList finish() {
        if (!m_pending.empty() && !full()) endLine();
        return std::move(m_lines);
    }

private:
    void endLine() {
        m_lines.append(QString::fromStdU16String(text::cp932ToUtf16(m_pending)));
        m_pending.clear();
    }

    QStringList m_lines;
    std::string m_pending;
    bool m_afterCr = false;
};

QStringView trimSpaces(QStringView s) {
    while (s.startsWith(u' ')) s = s.sliced(1);
    while (s.endsWith(u' ')) s.chop(1);
    return s;
}

}  // namespace

QStringList readDictionaryFile(const QString& path) {
    if (path.isEmpty()) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    LineSplitter splitter;
    std::array<char, 64 * 1024> buffer;
    qsizetype total = 0;
    while (!splitter.full() && total < kMaxDictionaryBytes) {
        const qint64 wanted =
            std::min<qint64>(static_cast<qint64>(buffer.size()), kMaxDictionaryBytes - total);
        const qint64 got = file.read(buffer.data(), wanted);
        if (got <= 0) break;
        total += got;
        splitter.feed(QByteArrayView(buffer.data(), got));
    }
    return splitter.finish();
}

QStringList splitDictionaryText(QByteArrayView bytes) {
    LineSplitter splitter;
    splitter.feed(bytes.first(std::min(bytes.size(), kMaxDictionaryBytes)));
    return splitter.finish();
}

std::optional<DictionaryLine> parseDictionaryLine(QStringView line) {
    line = trimSpaces(line);
    const qsizetype p1 = line.indexOf(u' ');
    if (p1 < 0) return std::nullopt;
    const qsizetype p2 = line.indexOf(u' ', p1 + 1);
    if (p2 < 0) return std::nullopt;
    return DictionaryLine{line.first(p1), line.sliced(p1 + 1, p2 - p1 - 1), line.sliced(p2 + 1)};
}

std::optional<DictionaryMatch> lookUpWord(const QStringList& lines, QStringView word) {
    if (word.isEmpty()) return std::nullopt;
    const qsizetype count = std::min<qsizetype>(lines.size(), kMaxDictionaryLines);
    for (qsizetype i = 0; i < count; ++i) {
        const auto entry = parseDictionaryLine(lines[i]);
        if (entry && (entry->key1 == word || entry->key2 == word)) {
            return DictionaryMatch{i, entry->explanation.toString()};
        }
    }
    return std::nullopt;
}

}  // namespace sw::board
