#include "glyph.h"

#include <iconv.h>

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QXmlStreamReader>
#include <algorithm>
#include <map>
#include <set>

namespace sw::modelgen {
namespace {

bool setError(std::string* error, std::string what) {
    if (error) *error = std::move(what);
    return false;
}

bool appendStrokes(std::string_view d, std::vector<Subpath>& strokes, std::string* error) {
    std::string why;
    auto subpaths = parseSvgPath(d, &why);
    if (!subpaths) return setError(error, why);
    for (Subpath& s : *subpaths) strokes.push_back(std::move(s));
    return true;
}

}  // namespace

std::string toUtf8(char32_t c) { return QString::fromUcs4(&c, 1).toStdString(); }

std::string kanjiVgFileName(char32_t code) {
    return QStringLiteral("%1.svg").arg(static_cast<uint>(code), 5, 16, QLatin1Char('0')).toStdString();
}

std::optional<Glyph> readKanjiVgFile(const std::string& path, std::string* error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, path + ": cannot open");
        return std::nullopt;
    }
    bool ok = false;
    const QString stem = QFileInfo(file).completeBaseName().section(QLatin1Char('-'), 0, 0);
    Glyph glyph;
    glyph.label = stem.toUInt(&ok, 16);
    if (!ok || glyph.label == 0 || glyph.label > 0x10FFFF) {
        setError(error, path + ": the file name is not a code point");
        return std::nullopt;
    }
    QXmlStreamReader xml(&file);
    std::vector<Part> groups;  // every <g>, in document order (an enclosing group before its members)
    std::vector<size_t> open;  // the groups the reader is inside
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("g")) {
            open.push_back(groups.size());
            groups.emplace_back();
        } else if (xml.isEndElement() && xml.name() == QLatin1String("g") && !open.empty()) {
            open.pop_back();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("path")) {
            const std::string d = xml.attributes().value(QLatin1String("d")).toString().toStdString();
            std::string why;
            const size_t first = glyph.strokes.size();
            if (!appendStrokes(d, glyph.strokes, &why)) {
                setError(error, path + ": " + why);
                return std::nullopt;
            }
            for (size_t s = first; s < glyph.strokes.size(); ++s) {
                for (size_t g : open) groups[g].strokes.push_back(static_cast<uint32_t>(s));
            }
        }
    }
    if (xml.hasError()) {
        setError(error, path + ": " + xml.errorString().toStdString());
        return std::nullopt;
    }
    if (glyph.strokes.empty()) {
        setError(error, path + ": no strokes");
        return std::nullopt;
    }
    for (Part& g : groups) {
        if (g.strokes.empty() || g.strokes.size() == glyph.strokes.size() ||
            std::any_of(glyph.parts.begin(), glyph.parts.end(),
                        [&](const Part& p) { return p.strokes == g.strokes; }))
            continue;  // the whole glyph, or a group that only names its enclosing one's strokes again
        for (const Part& outer : glyph.parts) {
            if (std::includes(outer.strokes.begin(), outer.strokes.end(), g.strokes.begin(), g.strokes.end()))
                g.depth = std::max(g.depth, outer.depth + 1);
        }
        glyph.parts.push_back(std::move(g));
    }
    return glyph;
}

std::optional<std::vector<Glyph>> readTemplateFile(const std::string& path, std::string* error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        setError(error, path + ": cannot open");
        return std::nullopt;
    }
    std::vector<Glyph> glyphs;
    int lineNo = 0;
    while (!file.atEnd()) {
        ++lineNo;
        const QByteArray raw = file.readLine();
        const auto fail = [&](const std::string& what) {
            setError(error, path + ":" + std::to_string(lineNo) + ": " + what);
            return std::nullopt;
        };
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        if (line.contains(QChar::ReplacementCharacter)) return fail("invalid UTF-8");
        const QList<uint> ucs4 = line.section(QLatin1Char(' '), 0, 0).toUcs4();
        if (ucs4.size() != 1) return fail("the line must start with one character and a space");
        Glyph glyph;
        glyph.label = ucs4.front();
        QString path = line.section(QLatin1Char(' '), 1).trimmed();
        if (path.startsWith(QLatin1Char('+'))) {
            path.remove(0, 1);
            if (path.startsWith(QLatin1Char('.'))) {
                path.remove(0, 1);
                glyph.needsDot = true;
            } else if (path.startsWith(QLatin1Char('~'))) {
                path.remove(0, 1);
                glyph.shapeOnly = true;
            }
            glyph.form =
                1 + static_cast<int>(std::count_if(glyphs.begin(), glyphs.end(), [&](const Glyph& g) {
                    return g.label == glyph.label && g.form > 0;
                }));
        }
        std::string why;
        if (!appendStrokes(path.toStdString(), glyph.strokes, &why)) return fail(why);
        if (glyph.strokes.empty()) return fail("no strokes");
        if (glyph.form == 0 && std::any_of(glyphs.begin(), glyphs.end(), [&](const Glyph& g) {
                return g.label == glyph.label && g.form == 0;
            }))
            return fail("character given twice");
        glyphs.push_back(std::move(glyph));
    }
    return glyphs;
}

std::optional<TwinGroups> readTwinFile(const std::string& path, std::string* error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        setError(error, path + ": cannot open");
        return std::nullopt;
    }
    TwinGroups groups;
    std::set<char32_t> seen;
    int lineNo = 0;
    while (!file.atEnd()) {
        ++lineNo;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        std::vector<char32_t> group;
        for (const QString& token : line.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QList<uint> ucs4 = token.toUcs4();
            if (ucs4.size() != 1 || ucs4.front() == QChar::ReplacementCharacter ||
                !seen.insert(ucs4.front()).second) {
                setError(error, path + ":" + std::to_string(lineNo) + ": bad or repeated character");
                return std::nullopt;
            }
            group.push_back(ucs4.front());
        }
        if (group.size() < 2) {
            setError(error, path + ":" + std::to_string(lineNo) + ": a group needs two characters or more");
            return std::nullopt;
        }
        groups.push_back(std::move(group));
    }
    return groups;
}

std::vector<char32_t> supplementKanjiVgCodes() {
    std::vector<char32_t> codes;
    const auto range = [&](char32_t first, char32_t last) {
        for (char32_t c = first; c <= last; ++c) codes.push_back(c);
    };
    range(U'0', U'9');
    range(U'A', U'Z');
    range(U'a', U'z');
    for (char32_t c : {U'!', U',', U'.', U':', U';', U'?'}) codes.push_back(c);
    for (char32_t c : {U'、', U'。', U'々', U'〆'}) codes.push_back(c);
    range(U'ぁ', U'ん');  // U+3041..U+3093; ゔゕゖ have no code page 932 form
    range(U'゛', U'ゞ');  // U+309B..U+309E
    range(U'ァ', U'ヶ');  // U+30A1..U+30F6
    range(U'・', U'ヾ');  // U+30FB..U+30FE
    return codes;
}

char32_t labelForKanjiVgCode(char32_t code) { return (code >= 0x21 && code <= 0x7E) ? code + 0xFEE0 : code; }

bool hasCp932DoubleByte(char32_t c) {
    const std::string utf8 = toUtf8(c);
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    char out[8] = {};
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* outPtr = out;
    size_t outLeft = sizeof out;
    const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || rc != 0 || sizeof out - outLeft != 2) return false;
    // The round trip must give the character back (iconv maps a few look-alikes onto one code).
    iconv_t back = iconv_open("UTF-8", "CP932");
    if (back == reinterpret_cast<iconv_t>(-1)) return false;
    char decoded[8] = {};
    in = out;
    inLeft = 2;
    outPtr = decoded;
    outLeft = sizeof decoded;
    const size_t rc2 = iconv(back, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(back);
    return rc2 == 0 && std::string(decoded, sizeof decoded - outLeft) == utf8;
}

std::optional<std::vector<Glyph>> readKanjiGlyphs(const std::string& kanjiVgDir, std::string* error) {
    std::vector<Glyph> glyphs;
    for (char32_t c = 0x4E00; c <= 0x9FFF; ++c) {
        const std::string path = kanjiVgDir + "/" + kanjiVgFileName(c);
        if (!QFile::exists(QString::fromStdString(path)) || !hasCp932DoubleByte(c)) continue;
        auto glyph = readKanjiVgFile(path, error);
        if (!glyph) return std::nullopt;
        glyphs.push_back(std::move(*glyph));
    }
    return glyphs;
}

std::vector<Glyph> strokeOrderForms(std::vector<Glyph> glyphs) {
    std::erase_if(glyphs, [](const Glyph& g) { return g.needsDot || g.shapeOnly; });
    return glyphs;
}

std::optional<std::vector<Glyph>> readSupplementGlyphs(const std::string& kanjiVgDir,
                                                       const std::string& templates, const TwinGroups& twins,
                                                       std::string* error) {
    std::map<char32_t, Glyph> byLabel;
    for (char32_t code : supplementKanjiVgCodes()) {
        auto glyph = readKanjiVgFile(kanjiVgDir + "/" + kanjiVgFileName(code), error);
        if (!glyph) return std::nullopt;
        glyph->label = labelForKanjiVgCode(code);
        byLabel[glyph->label] = std::move(*glyph);
    }
    auto extra = readTemplateFile(templates, error);
    if (!extra) return std::nullopt;
    std::vector<Glyph> allographs;
    for (Glyph& g : *extra) {
        if (g.form == 0)
            byLabel[g.label] = std::move(g);
        else
            allographs.push_back(std::move(g));
    }
    for (const auto& group : twins) {
        for (char32_t c : group) {
            if (byLabel.contains(c)) continue;
            auto glyph = readKanjiVgFile(kanjiVgDir + "/" + kanjiVgFileName(c), error);
            if (!glyph) return std::nullopt;
            byLabel[c] = std::move(*glyph);
        }
    }

    for (const Glyph& g : allographs) {
        if (!byLabel.contains(g.label)) {
            setError(error, templates + ": another form of " + toUtf8(g.label) + ", which has no main form");
            return std::nullopt;
        }
    }

    std::vector<Glyph> glyphs;
    for (auto& [label, glyph] : byLabel) {
        if (!hasCp932DoubleByte(label)) {
            setError(error, "U+" + QString::number(static_cast<uint>(label), 16).toUpper().toStdString() +
                                " (" + toUtf8(label) + ") has no code page 932 double-byte form");
            return std::nullopt;
        }
        glyphs.push_back(std::move(glyph));
        for (Glyph& g : allographs) {
            if (g.label == label) glyphs.push_back(std::move(g));
        }
    }
    return glyphs;
}

}  // namespace sw::modelgen
