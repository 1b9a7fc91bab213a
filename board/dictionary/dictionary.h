// The board's dictionary: the lines of "dic.txt" read at start-up, and the look-up of a circled word.
//
// "dic.txt" is text in code page 932, one entry per line:
//
//   漢字 かんじ kanji; Chinese characters
//
// first key, one half-width space, second key, one half-width space, explanation (which may itself hold
// spaces). Either key finds the entry; the first matching line wins.
//
// Pure functions over Qt values: no state, no windows, safe on any thread. Nothing here throws for bad
// input; only running out of memory does.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace sw::board {

// The board holds and scans at most this many dictionary lines (its list is counted in 16 bits).
inline constexpr int kMaxDictionaryLines = 32767;
// Reading stops after this many bytes of the file, as if the file ended there. Far above any real
// dictionary (the default one is under 2 MB); it bounds the memory a damaged or foreign file can take.
inline constexpr qsizetype kMaxDictionaryBytes = 32 * 1024 * 1024;

// The lines of a dictionary file, as start-up reads "dic.txt":
// - a line ends at LF, CR LF or CR (LF CR is two line ends); the end of the file ends the last line, and a
//   file ending in a line end has no empty line after it ("a\r\n" is one line, "a\r\n\r\n" two, the
//   second empty);
// - lines are kept unchanged: no trimming, empty lines are items;
// - each line is decoded from code page 932 on its own; an invalid or incomplete byte sequence becomes
//   U+FFFD and decoding goes on with the next byte (a NUL byte stays a NUL character);
// - the first kMaxDictionaryLines lines are kept and the rest of the file is not read; only the first
//   kMaxDictionaryBytes bytes are read.
// Returns an empty list when the file is missing, cannot be opened or is not a readable file (a folder,
// say). A read error part-way keeps the lines before it. Nothing is reported.
QStringList readDictionaryFile(const QString& path);

// The same rules for text already in memory (the whole of `bytes` is "the file").
QStringList splitDictionaryText(QByteArrayView bytes);

// The three fields of a dictionary line, as views into the line given.
struct DictionaryLine {
    QStringView key1;
    QStringView key2;  // may be empty (two spaces in a row)
    QStringView explanation;
};

// Splits a line after removing its leading and trailing half-width spaces (U+0020 only: tabs and the
// full-width space U+3000 are text). key1 is the text before the first space, key2 the text between it and
// the next space, the explanation the rest. Returns nothing for a line with fewer than two spaces left
// after trimming (an empty line, one key, two keys and nothing after the second: "漢字 かんじ " is
// trimmed to "漢字 かんじ" and so has no explanation).
std::optional<DictionaryLine> parseDictionaryLine(QStringView line);

struct DictionaryMatch {
    qsizetype line = -1;  // index in the list
    QString explanation;
};

// The first of lines[0 .. kMaxDictionaryLines - 1] that parses and whose first or second key equals
// `word` exactly (UTF-16 code unit by code unit: case, width and kana kind all count). Returns nothing
// for an empty word, an empty list, or when no line matches; lines past kMaxDictionaryLines are never
// looked at.
std::optional<DictionaryMatch> lookUpWord(const QStringList& lines, QStringView word);

}  // namespace sw::board
